#include "core/AppFolders.h"
#include "core/Paths.h"
#include "projects/ProjectReading.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QFontDatabase>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <future>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The system's font list takes milliseconds to read. It is read on a worker thread (the font
    // database may be used from any thread) while the window's first parts, which need no fonts,
    // are made.
    const auto fontList = std::async(std::launch::async, [] { QFontDatabase::families(); });
    QApplication::setApplicationName(QStringLiteral("Tarvel"));
    QApplication::setApplicationVersion(QStringLiteral(TARVEL_VERSION));

    // The whole argument text is one path: a project path with blanks arrives whole even when
    // the caller did not quote it. The arguments are taken as the system passed them (Qt has
    // removed its own), so a name that is not valid in the file system's encoding is noticed.
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));

    const common::AppFolders folders = common::DecideAppFolders(
        QApplication::applicationDirPath(), QStringLiteral("tarvel"), common::UserHomes::fromEnvironment());
    common::QtDialogs dialogs;
    // The project the command line names is read while the window is built.
    const common::Result<QString> commandLine = common::CommandLineFromArguments(arguments);
    tarvel::ProjectPreload preload(commandLine ? commandLine.value() : QString());
    Form1 window(folders, dialogs, arguments);
    window.start(&preload);
    // TARVEL_QUIT_WHEN_IDLE=1 ends the program as soon as the event loop has nothing left to do
    // after the start, and prints when that was ("idle-at" and the monotonic clock in ns): the
    // start-up benchmark measures start to idle this way. Unset, nothing changes.
    if (qEnvironmentVariableIntValue("TARVEL_QUIT_WHEN_IDLE") == 1) {
        QTimer::singleShot(0, &app, [] {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("idle-at %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
