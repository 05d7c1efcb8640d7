#include "HelpLabel.h"

#include <QEvent>

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

int HelpLabel::heightForWidth(int width) const
{
    // A text shown without being reserved (a note naming a path) may still need more room.
    const int current = QLabel::heightForWidth(width);
    const auto known = m_heightByWidth.constFind(width);
    if (known != m_heightByWidth.constEnd())
        return qMax(*known, current);
    // A label of the same kind measures each text exactly as this one would lay it out.
    QLabel probe;
    probe.setFont(font());
    probe.setWordWrap(true);
    probe.setAlignment(alignment());
    probe.setContentsMargins(contentsMargins());
    probe.setMargin(margin());
    probe.setIndent(indent());
    int height = 0;
    for (const QString& text : m_reserved) {
        probe.setText(text);
        height = qMax(height, probe.heightForWidth(width));
    }
    m_heightByWidth.insert(width, height);
    return qMax(height, current);
}

QSize HelpLabel::sizeHint() const
{
    const QSize own = QLabel::sizeHint();
    return {own.width(), heightForWidth(own.width())};
}

QSize HelpLabel::minimumSizeHint() const
{
    const QSize own = QLabel::minimumSizeHint();
    return {own.width(), qMax(own.height(), fontMetrics().height())};
}

void HelpLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_heightByWidth.clear();
    QLabel::changeEvent(event);
}

} // namespace lumivo
