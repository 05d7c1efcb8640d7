#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QWidget;

namespace lumivo {

class HelpLabel;

// The status line of a window: shows the help text of the control under the mouse pointer, or of
// the control that gets the focus where that is the moment asked for.
//
// It follows the pointer itself: every mouse move inside the window is looked at, and the widget
// under the pointer, or its nearest ancestor that has a text, decides. So moving from a control
// onto its frame or the window's background shows the frame's (often empty) text, although Qt
// sends the frame no enter event then. A control marked quiet leaves the line as it is; an empty
// text clears it, down to the resting note when one is set. The line keeps room for every fixed
// text, so nothing around it moves when the text changes.
class HelpLine final : public QObject {
public:
    explicit HelpLine(HelpLabel* line);
    ~HelpLine() override;

    enum class Moment { MouseOver, Focus };

    // A fixed text; it also becomes the control's tooltip.
    void attach(QWidget* control, const QString& text, Moment moment = Moment::MouseOver);
    // A text that depends on the window's state when the pointer arrives; `reserved` lists the
    // texts it can give.
    void attach(QWidget* control, std::function<QString()> text, const QStringList& reserved);
    // The pointer over this control (or its inner parts) leaves the line as it is.
    void quiet(QWidget* control);

    void show(const QString& text);
    // What the line says when a control clears it: something the user must know about the
    // window's state (a folder that cannot be read), or "".
    void setRestingNote(const QString& note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointerAt(QWidget* under);

    HelpLabel* m_line;
    QString m_restingNote;
    QHash<QObject*, std::function<QString()>> m_mouseOver;
    QHash<QObject*, std::function<QString()>> m_focus;
    QSet<QObject*> m_quiet;
};

} // namespace lumivo
