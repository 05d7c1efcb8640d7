#pragma once

#include <QHash>
#include <QLabel>
#include <QStringList>

namespace lumivo {

// A word-wrapped status line that keeps room for the longest of the texts it may show, so the
// controls around it stay where they are whichever text it shows. Its height follows only its
// width, never its text, and the window's minimum size takes it into account.
class HelpLabel final : public QLabel {
public:
    explicit HelpLabel(QWidget* parent = nullptr);

    // Keeps room for `text` from now on.
    void reserve(const QString& text);

    bool hasHeightForWidth() const override { return false; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int neededHeight() const;

    bool m_placed = false; // laid out in its window at least once
    QStringList m_reserved;
    mutable QHash<int, int> m_heightByWidth;
};

} // namespace lumivo
