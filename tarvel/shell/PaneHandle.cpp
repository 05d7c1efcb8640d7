#include "shell/PaneHandle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

PaneHandle::PaneHandle(QWidget* parent, std::function<void(int left)> dragged)
    : QWidget(parent), m_dragged(std::move(dragged))
{
    setCursor(Qt::SplitHCursor);
    setFixedWidth(kWidth);
}

void PaneHandle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}

void PaneHandle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_grab = event->position().toPoint().x();
    event->accept();
}

void PaneHandle::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        m_dragged(mapToParent(event->position().toPoint()).x() - m_grab);
    event->accept();
}
