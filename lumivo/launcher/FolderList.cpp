#include "FolderList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace lumivo {

namespace {

constexpr int kPathRole = Qt::UserRole;

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        setPath(item->data(kPathRole).toString());
    });
    connect(this, &QListWidget::currentRowChanged, this, &FolderList::currentFolderChanged);
}

QString FolderList::currentFolder() const
{
    const QListWidgetItem* item = currentItem();
    return item ? item->data(kPathRole).toString() : m_path;
}

void FolderList::setPath(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    if (clean == m_path)
        return;
    m_path = clean;
    fill();
    emit pathChanged(m_path);
}

void FolderList::keyboardSearch(const QString& search)
{
    if (search.isEmpty() || count() == 0) {
        m_typed.clear();
        return;
    }
    // Keys typed in quick succession spell one name; a pause starts a new one.
    const bool continued = m_sinceTyped.isValid() && m_sinceTyped.elapsed() <= QApplication::keyboardInputInterval();
    m_sinceTyped.start();
    m_typed = continued ? m_typed + search : search;
    // A new name is looked for after the highlighted entry, so typing one letter again steps on.
    const int start = qMax(0, currentRow()) + (continued ? 0 : 1);
    for (int step = 0; step < count(); ++step) {
        const int row = (start + step) % count();
        // The shown text is indented by the depth; the name is the path's last part.
        const QString name = QFileInfo(item(row)->data(kPathRole).toString()).fileName();
        if (name.startsWith(m_typed, Qt::CaseInsensitive)) {
            setCurrentRow(row);
            scrollToItem(item(row));
            return;
        }
    }
}

void FolderList::fill()
{
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QStringList ancestors;
    for (QString folder = m_path;;) {
        ancestors.prepend(folder);
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    int depth = 0;
    for (const QString& folder : ancestors) {
        const QString name = QDir(folder).isRoot() ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);

    const QDir current(m_path);
    const QStringList subfolders =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closed, indent + name, this);
        item->setData(kPathRole, current.absoluteFilePath(name));
    }
}

} // namespace lumivo
