#include "HelpLabel.h"

#include <QEvent>
#include <QResizeEvent>

namespace lumivo {

HelpLabel::HelpLabel(QWidget* parent) : QLabel(parent)
{
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void HelpLabel::reserve(const QString& text)
{
    if (text.isEmpty() || m_reserved.contains(text))
        return;
    m_reserved.append(text);
    m_heightByWidth.clear();
    updateGeometry();
}

int HelpLabel::neededHeight() const
{
    // Before the window's layout has placed the line, the window's width is the best guess.
    const int width = m_placed || window() == this ? this->width() : window()->width() - 24;
    // A text shown without being reserved (a note naming a path) may still need more room.
    const int current = QLabel::heightForWidth(width);
    const auto known = m_heightByWidth.constFind(width);
    if (known != m_heightByWidth.constEnd())
        return qMax(*known, current);
    // A label of the same kind measures each text exactly as this one lays it out.
    QLabel probe;
    probe.setFont(font());
    probe.setWordWrap(true);
    probe.setAlignment(alignment());
    probe.setContentsMargins(contentsMargins());
    probe.setMargin(margin());
    probe.setIndent(indent());
    int height = fontMetrics().height();
    for (const QString& text : m_reserved) {
        probe.setText(text);
        height = qMax(height, probe.heightForWidth(width));
    }
    m_heightByWidth.insert(width, height);
    return qMax(height, current);
}

QSize HelpLabel::sizeHint() const
{
    return {QLabel::minimumSizeHint().width(), neededHeight()};
}

QSize HelpLabel::minimumSizeHint() const
{
    return {QLabel::minimumSizeHint().width(), neededHeight()};
}

void HelpLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    m_placed = true;
    if (event->oldSize().width() != event->size().width())
        updateGeometry(); // the room the texts need follows the width
}

void HelpLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_heightByWidth.clear();
    QLabel::changeEvent(event);
}

} // namespace lumivo
