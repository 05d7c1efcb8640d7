#include "launcher/Form1.h"
#include "launcher/ProgramRunner.h"

#include "core/AppFolders.h"
#include "ui/QtDialogs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumivo"));
    // The options and About windows may still be open: closing the main window ends Lumivo anyway.
    QApplication::setQuitOnLastWindowClosed(false);

    const common::AppFolders folders = common::DecideAppFolders(
        QCoreApplication::applicationDirPath(), QStringLiteral("lumivo"), common::UserHomes::fromEnvironment());
    common::QtDialogs dialogs;
    lumivo::SystemProgramRunner runner;
    lumivo::Form1 form(folders, dialogs, runner);
    QObject::connect(&form, &lumivo::Form1::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    form.show();
    return app.exec();
}
