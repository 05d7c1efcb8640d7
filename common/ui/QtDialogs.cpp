#include "ui/QtDialogs.h"

#include "ui/OpenDialogFilter.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSortFilterProxyModel>

namespace common {

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    case Dialogs::Icon::Exclamation: return QMessageBox::Warning;
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok: return QMessageBox::Ok;
    case Dialogs::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Dialogs::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Hides the files without the executable bit while a filter of programs is chosen; folders stay.
class ExecutablesOnly final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setActive(bool active)
    {
        m_active = active;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!m_active || !files)
            return true;
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }

private:
    bool m_active = false;
};

// The Open dialog with a filter of programs: Qt's own dialog, whose listing a proxy can filter.
QString openProgram(QWidget* owner, const QString& title, const QString& initialDirectory,
                    const QList<Dialogs::Filter>& filters)
{
    QFileDialog dialog(owner, title, initialDirectory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    auto* proxy = new ExecutablesOnly(&dialog);
    dialog.setProxyModel(proxy);
    const QStringList names = QtFilterStrings(filters);
    dialog.setNameFilters(names);
    const auto choose = [&](const QString& name) {
        const qsizetype index = names.indexOf(name);
        proxy->setActive(index >= 0 && filters.at(index).executables);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, choose);
    choose(names.value(0));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget* owner, const QString& text, const QString& title, Icon icon,
                                   Buttons buttons)
{
    QMessageBox box(toQt(icon), title, text, toQt(buttons), owner);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return Answer::Cancel;
    }
}

QString QtDialogs::openFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                            const QList<Filter>& filters)
{
    for (const Filter& filter : filters) {
        if (filter.executables)
            return openProgram(owner, title, initialDirectory, filters);
    }
    return QFileDialog::getOpenFileName(owner, title, initialDirectory, QtFilterStrings(filters).join(QStringLiteral(";;")));
}

QString QtDialogs::saveFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                            const QString& presetName, const QList<Filter>& filters)
{
    QString start = initialDirectory;
    if (!presetName.isEmpty())
        start = presetName.contains(QLatin1Char('/')) ? presetName : initialDirectory + QLatin1Char('/') + presetName;
    return QFileDialog::getSaveFileName(owner, title, start, QtFilterStrings(filters).join(QStringLiteral(";;")));
}

QString QtDialogs::pickFolder(QWidget* owner, const QString& title)
{
    QString folder = QFileDialog::getExistingDirectory(owner, title);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace common
