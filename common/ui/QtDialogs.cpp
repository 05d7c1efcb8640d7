#include "ui/QtDialogs.h"

#include "ui/OpenDialogFilter.h"

#include <QFileDialog>
#include <QMessageBox>

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
