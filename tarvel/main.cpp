#include "core/AppFolders.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvel"));
    QApplication::setApplicationVersion(QStringLiteral(TARVEL_VERSION));

    // The whole argument text is one path: a project path with blanks arrives whole even when
    // the caller did not quote it.
    QStringList words = QApplication::arguments();
    words.removeFirst();
    const QString commandLine = words.join(QLatin1Char(' '));

    const common::AppFolders folders = common::DecideAppFolders(
        QApplication::applicationDirPath(), QStringLiteral("tarvel"), common::UserHomes::fromEnvironment());
    common::QtDialogs dialogs;
    Form1 window(folders, dialogs, commandLine);
    window.start();
    return app.exec();
}
