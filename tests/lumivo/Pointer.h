#pragma once

#include <QCheckBox>
#include <QCursor>
#include <QPoint>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

// The mouse as a user moves it: moves go through the window system, so Qt delivers them (and its
// enter and leave events) to whatever widget is under the pointer, exactly as on a desktop.
namespace pointer {

// A point of `widget` that none of its children covers (its own background), or (-1, -1).
inline QPoint bareSpot(const QWidget* widget)
{
    for (int y = 2; y < widget->height() - 2; y += 3) {
        for (int x = 2; x < widget->width() - 2; x += 3) {
            if (!widget->childAt(x, y))
                return {x, y};
        }
    }
    return {-1, -1};
}

// Moves the pointer onto `widget` (its centre unless a point is given).
inline void moveTo(QWidget* widget, QPoint at = QPoint())
{
    if (at.isNull())
        at = widget->rect().center();
    // The window system reports no move to where the pointer already is (an earlier test may
    // have left it there), so it first moves a pixel aside.
    if (QCursor::pos() == widget->mapToGlobal(at))
        QTest::mouseMove(widget, at + QPoint(at.x() > 0 ? -1 : 1, 0));
    QTest::mouseMove(widget, at);
}

// Moves the pointer onto a bare spot of `widget`, off every child.
inline bool moveToBackground(QWidget* widget)
{
    const QPoint spot = bareSpot(widget);
    if (spot.x() < 0)
        return false;
    moveTo(widget, spot);
    return true;
}

// A left click, pressed and released at the same point: the given one, else the indicator of an
// option button or check box (only it and the caption take clicks), else the widget's centre.
inline void click(QWidget* widget, QPoint at = QPoint())
{
    if (at.isNull()) {
        at = qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget)
                 ? QPoint(qMin(8, widget->width() / 2), widget->height() / 2)
                 : widget->rect().center();
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace pointer
