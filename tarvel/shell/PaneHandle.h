#pragma once

#include <QWidget>

#include <functional>

// A thin vertical bar between two panes that the user drags to move the border; drawn as the
// style draws a splitter handle. `dragged` receives the pointer's x in the parent's coordinates
// less where in the bar it was grabbed, that is where the bar's left edge should go.
class PaneHandle : public QWidget {
public:
    explicit PaneHandle(QWidget* parent, std::function<void(int left)> dragged);

    static constexpr int kWidth = 5;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::function<void(int)> m_dragged;
    int m_grab = 0;
};
