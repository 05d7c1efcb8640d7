#include "HelpLine.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace lumivo {

HelpLine::HelpLine(QLabel* line) : QObject(line), m_line(line) {}

void HelpLine::attach(QWidget* control, const QString& text, Moment moment)
{
    m_entries.insert(control, Entry{[text] { return text; }, moment});
    if (!text.isEmpty())
        control->setToolTip(text);
    control->installEventFilter(this);
}

void HelpLine::attach(QWidget* control, std::function<QString()> text)
{
    m_entries.insert(control, Entry{std::move(text), Moment::MouseOver});
    control->installEventFilter(this);
}

void HelpLine::show(const QString& text)
{
    m_line->setText(text);
}

bool HelpLine::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = m_entries.constFind(watched);
    if (found != m_entries.constEnd()) {
        const QEvent::Type wanted = found->moment == Moment::Focus ? QEvent::FocusIn : QEvent::Enter;
        if (event->type() == wanted)
            show(found->text());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumivo
