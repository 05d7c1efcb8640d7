#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

namespace lumivo {

// The status line of a window: shows a help text for the control under the mouse, or for the
// control that gets the focus where that is the moment asked for. A control without a text leaves the line alone;
// an empty text clears it.
class HelpLine final : public QObject {
public:
    explicit HelpLine(QLabel* line);

    enum class Moment { MouseOver, Focus };

    // A fixed text; it also becomes the control's tooltip.
    void attach(QWidget* control, const QString& text, Moment moment = Moment::MouseOver);
    // A text that depends on the window's state when the mouse arrives.
    void attach(QWidget* control, std::function<QString()> text);

    void show(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        std::function<QString()> text;
        Moment moment = Moment::MouseOver;
    };

    QLabel* m_line;
    QHash<QObject*, Entry> m_entries;
};

} // namespace lumivo
