#pragma once

#include <QTreeWidget>

// The project tree's widget. The main window decides which node is highlighted (the shown
// document's, or the root), so the widget reports the user's moves instead of keeping its own:
// a keyboard move is reported as a choice, only the left button selects, and every mouse
// release is reported so the highlight can be put back where the window wants it.
class ProjectTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit ProjectTreeWidget(QWidget* parent = nullptr);
    ~ProjectTreeWidget() override;

    // Makes the column as wide as the longest name shown. Done by itself when names are added,
    // removed, changed, unfolded or folded; expandAll() reports nothing, so call it after.
    void fitColumnToNames();

signals:
    // The current item was moved by a key (arrows, Home, End, a typed name...).
    void keyboardMoved(QTreeWidgetItem* item);
    // A mouse button went up over the tree, after any click it made was reported.
    void mouseReleased();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The width the longest shown name needs, its indentation and icon included.
    int widestShownName() const;
};
