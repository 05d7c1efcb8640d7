#include "projects/ProjectTreeWidget.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

ProjectTreeWidget::ProjectTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Names are shown whole: the column is as wide as its longest name and the tree scrolls
    // sideways when that is wider than the tree. The width is measured when the names shown
    // change, not at every layout of the view (each measure lays out every name's text).
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QAbstractItemModel* names = model();
    connect(names, &QAbstractItemModel::rowsInserted, this, &ProjectTreeWidget::fitColumnToNames);
    connect(names, &QAbstractItemModel::rowsRemoved, this, &ProjectTreeWidget::fitColumnToNames);
    connect(names, &QAbstractItemModel::modelReset, this, &ProjectTreeWidget::fitColumnToNames);
    connect(names, &QAbstractItemModel::dataChanged, this, &ProjectTreeWidget::fitColumnToNames);
    connect(names, &QAbstractItemModel::layoutChanged, this, &ProjectTreeWidget::fitColumnToNames);
    connect(this, &QTreeWidget::itemExpanded, this, &ProjectTreeWidget::fitColumnToNames);
    connect(this, &QTreeWidget::itemCollapsed, this, &ProjectTreeWidget::fitColumnToNames);
}

ProjectTreeWidget::~ProjectTreeWidget()
{
    // The model is removed with the view's children, after this part of it is gone.
    disconnect(model(), nullptr, this, nullptr);
}

void ProjectTreeWidget::fitColumnToNames()
{
    header()->resizeSection(0, qMax(0, sizeHintForColumn(0)));
}

void ProjectTreeWidget::changeEvent(QEvent* event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitColumnToNames();
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
