#include "HelpLine.h"

#include "HelpLabel.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace lumivo {

HelpLine::HelpLine(HelpLabel* line) : QObject(line), m_line(line)
{
    // Qt offers moves over widgets without mouse tracking only to application-wide filters.
    qApp->installEventFilter(this);
}

HelpLine::~HelpLine()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void HelpLine::attach(QWidget* control, const QString& text, Moment moment)
{
    const auto shown = [text] { return text; };
    if (moment == Moment::Focus)
        m_focus.insert(control, shown);
    else
        m_mouseOver.insert(control, shown);
    if (!text.isEmpty())
        control->setToolTip(text);
    m_line->reserve(text);
}

void HelpLine::attach(QWidget* control, std::function<QString()> text, const QStringList& reserved)
{
    m_mouseOver.insert(control, std::move(text));
    for (const QString& each : reserved)
        m_line->reserve(each);
}

void HelpLine::quiet(QWidget* control)
{
    m_quiet.insert(control);
}

void HelpLine::show(const QString& text)
{
    m_line->setText(text.isEmpty() ? m_restingNote : text);
}

void HelpLine::setRestingNote(const QString& note)
{
    m_restingNote = note;
    show(note);
}

void HelpLine::pointerAt(QWidget* under)
{
    // A disabled control still explains itself: the text tells what it would do.
    for (QWidget* widget = under; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        if (m_quiet.contains(widget))
            return;
        const auto found = m_mouseOver.constFind(widget);
        if (found != m_mouseOver.constEnd()) {
            show((*found)());
            return;
        }
    }
}

bool HelpLine::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
        QWidget* window = m_line->window();
        auto* receiver = static_cast<QWidget*>(watched);
        if (receiver->window() == window) {
            // The widget under the pointer, whichever widget the move was offered to first.
            const QPointF global = static_cast<QMouseEvent*>(event)->globalPosition();
            QWidget* under = window->childAt(window->mapFromGlobal(global.toPoint()));
            pointerAt(under ? under : window);
        }
    } else if (event->type() == QEvent::FocusIn) {
        const auto found = m_focus.constFind(watched);
        if (found != m_focus.constEnd())
            show((*found)());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lumivo
