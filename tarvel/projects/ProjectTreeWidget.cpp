#include "projects/ProjectTreeWidget.h"

#include <QHeaderView>
#include <QStyleOptionViewItem>
#include <QKeyEvent>
#include <QMouseEvent>

#include <array>
#include <vector>

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
    header()->resizeSection(0, widestShownName());
}

int ProjectTreeWidget::widestShownName() const
{
    // The width the view itself would measure (its sizeHintForColumn), for every shown name.
    // Laying a name out the way the view measures a cell is costly, and a project may list
    // hundreds of names, so each is first estimated from its characters' advances, which differ
    // from the laid-out width only by kerning, ligatures and rounding. Only the names whose
    // estimate comes within a margin of the widest one are laid out; a name in a font of its
    // own, or with characters beyond printable ASCII, always is.
    ensurePolished();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QFontMetrics metrics(option.font);
    const int margin = 3 * metrics.averageCharWidth() + 4;
    const int iconWidth = iconSize().isValid() ? iconSize().width()
                                               : style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    std::array<int, 128> advances;
    advances.fill(-1);

    struct Shown {
        QTreeWidgetItem* item;
        int indent;
        int estimate;
        bool measure; // laid out whatever its estimate
    };
    std::vector<Shown> shown;
    int widestEstimate = 0;
    const auto add = [&](QTreeWidgetItem* item, int level, const auto& self) -> void {
        if (item->isHidden())
            return;
        const int indent = (level + (rootIsDecorated() ? 1 : 0)) * indentation();
        int estimate = indent + (item->icon(0).isNull() ? 0 : iconWidth);
        bool measure = item->data(0, Qt::FontRole).isValid();
        const QString text = item->text(0);
        for (const QChar c : text) {
            if (measure || c.unicode() < 0x20 || c.unicode() >= advances.size()) {
                measure = true;
                break;
            }
            int& advance = advances[c.unicode()];
            if (advance < 0)
                advance = metrics.horizontalAdvance(c);
            estimate += advance;
        }
        shown.push_back(Shown{item, indent, estimate, measure});
        if (!measure)
            widestEstimate = qMax(widestEstimate, estimate);
        if (item->isExpanded()) {
            for (int i = 0; i < item->childCount(); ++i)
                self(item->child(i), level + 1, self);
        }
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        add(topLevelItem(i), 0, add);

    int widest = 0;
    for (const Shown& s : shown) {
        if (!s.measure && s.estimate < widestEstimate - margin)
            continue;
        const QModelIndex index = indexFromItem(s.item, 0);
        widest = qMax(widest, itemDelegateForIndex(index)->sizeHint(option, index).width() + s.indent);
    }
    return widest;
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
