#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

namespace lumivo {

// The status line of a window: shows the help text of the control under the mouse pointer, or of
// the control that gets the focus where that is the moment asked for.
//
// It follows the pointer itself: every mouse move inside the window is looked at, and the widget
// under the pointer, or its nearest ancestor that has a text, decides. So moving from a control
// onto its frame or the window's background shows the frame's (often empty) text, although Qt
// sends the frame no enter event then. A control marked quiet leaves the line as it is; an empty
// text clears it.
class HelpLine final : public QObject {
public:
    explicit HelpLine(QLabel* line);
    ~HelpLine() override;

    enum class Moment { MouseOver, Focus };

    // A fixed text; it also becomes the control's tooltip.
    void attach(QWidget* control, const QString& text, Moment moment = Moment::MouseOver);
    // A text that depends on the window's state when the pointer arrives.
    void attach(QWidget* control, std::function<QString()> text);
    // The pointer over this control (or its inner parts) leaves the line as it is.
    void quiet(QWidget* control);

    void show(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointerAt(QWidget* under);

    QLabel* m_line;
    QHash<QObject*, std::function<QString()>> m_mouseOver;
    QHash<QObject*, std::function<QString()>> m_focus;
    QSet<QObject*> m_quiet;
};

} // namespace lumivo
