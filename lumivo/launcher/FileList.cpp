#include "FileList.h"

#include <QDir>

namespace lumivo {

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void FileList::setPath(const QString& path)
{
    if (path == m_path)
        return;
    m_path = path;
    fill();
}

void FileList::setPattern(const QString& pattern)
{
    if (pattern == m_pattern)
        return;
    m_pattern = pattern;
    fill();
}

QString FileList::fileName() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void FileList::fill()
{
    clear();
    if (m_path.isEmpty())
        return;
    const QStringList filters = m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    const QStringList names = QDir(m_path).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    addItems(names);
}

} // namespace lumivo
