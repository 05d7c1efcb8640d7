#include "projects/ProjectTreeWidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ProjectTreeWidget::ProjectTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Names are shown whole: the column is as wide as its longest name and the tree scrolls
    // sideways when that is wider than the tree.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void ProjectTreeWidget::keyPressEvent(QKeyEvent* event)
{
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after && after != before)
        emit keyboardMoved(after);
}

void ProjectTreeWidget::mousePressEvent(QMouseEvent* event)
{
    // The right and middle buttons neither select nor switch documents.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void ProjectTreeWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void ProjectTreeWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QTreeWidget::mouseReleaseEvent(event);
    else
        event->accept();
    emit mouseReleased();
}
