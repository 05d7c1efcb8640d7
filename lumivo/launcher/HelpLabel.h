#pragma once

#include <QHash>
#include <QLabel>
#include <QStringList>

namespace lumivo {

// A word-wrapped status line that keeps room for the longest of the texts it may show, so the
// controls above it stay where they are whichever text it shows.
class HelpLabel final : public QLabel {
public:
    explicit HelpLabel(QWidget* parent = nullptr);

    // Keeps room for `text` from now on.
    void reserve(const QString& text);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    QStringList m_reserved;
    mutable QHash<int, int> m_heightByWidth;
};

} // namespace lumivo
