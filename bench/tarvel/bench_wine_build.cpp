// How long a Compile takes when the compiler is a Windows program run under Wine, against the same
// Compile with a native compiler. Both compilers are the tests' stand-ins (tests/tools/tp3, a shell
// script, and tests/tools/tp3win.c built with the MinGW cross compiler), so the difference is what
// Wine adds: its start in the prefix and the wait for its server to end. The first Wine build,
// which makes the prefix, is timed apart.

#include "BenchSupport.h"

#include "build/Form2.h"
#include "build/WineRun.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QByteArray kMain = "program game;\r\nbegin\r\n  WriteLn('hello');\r\nend.\r\n";

// Waits until Wine's server of the kit's prefix and its helpers have ended by themselves.
void waitForWineToEnd(const QString& kitDir)
{
    QProcess server;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), tarvel::WineFoldersIn(kitDir).prefix);
    server.setProcessEnvironment(environment);
    server.start(tarvel::FindWine().wineserver, {QStringLiteral("-w")});
    server.waitForFinished(-1);
}

// Median of `runs` Compile to CHN in a kit, after one untimed build; -1 when a build fails.
// With `coldWine`, every build starts after Wine has ended, as when builds are seconds apart.
double medianCompile(const QString& kitDir, const QString& projectDir, int runs, double* first, bool coldWine = false)
{
    common::QtDialogs dialogs;
    Form1 window(kitDir, dialogs, QString());
    window.Settings.AutoTooltip = false;
    window.show();
    window.LoadProject(projectDir + QStringLiteral("/game.pas"));
    QList<double> times;
    for (int i = 0; i < runs + 1; ++i) {
        if (coldWine)
            waitForWineToEnd(kitDir);
        QElapsedTimer clock;
        clock.start();
        if (!window.DoCompilation(true)) {
            std::printf("the build failed: %s\n", qPrintable(window.monitor()->text()));
            return -1;
        }
        if (i == 0 && first)
            *first = clock.nsecsElapsed() / 1e6;
        if (i > 0)
            times.append(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!tarvel::FindWine().found()) {
        std::printf("Wine is not installed: nothing to measure\n");
        return 0;
    }

    QTemporaryDir native;
    QTemporaryDir windows;
    QDir().mkpath(native.filePath(QStringLiteral("compiler")));
    QFile::copy(QStringLiteral(TESTS_TOOLS_DIR "/tp3"), native.filePath(QStringLiteral("compiler/TP3")));
    QFile::setPermissions(native.filePath(QStringLiteral("compiler/TP3")), QFile::ReadOwner | QFile::ExeOwner);
    QDir().mkpath(windows.filePath(QStringLiteral("compiler")));
    QProcess gcc;
    gcc.setProcessChannelMode(QProcess::ForwardedChannels);
    gcc.start(QStringLiteral("x86_64-w64-mingw32-gcc"),
              {QStringLiteral("-O2"), QStringLiteral("-o"), windows.filePath(QStringLiteral("compiler/TP3.EXE")),
               QStringLiteral(TESTS_TOOLS_DIR "/tp3win.c")});
    if (!gcc.waitForFinished(-1) || gcc.exitCode() != 0) {
        std::printf("x86_64-w64-mingw32-gcc could not build the stand-in: nothing to measure\n");
        return 0;
    }
    for (const QTemporaryDir* kit : {&native, &windows})
        writeFile(kit->filePath(QStringLiteral("projects/game/game.pas")), kMain);

    const int runs = 5;
    double prefixBuild = 0;
    const double nativeMs =
        medianCompile(native.path(), native.filePath(QStringLiteral("projects/game")), runs, nullptr);
    const double coldMs =
        medianCompile(windows.path(), windows.filePath(QStringLiteral("projects/game")), runs, &prefixBuild, true);
    const double warmMs =
        medianCompile(windows.path(), windows.filePath(QStringLiteral("projects/game")), runs, nullptr);
    if (nativeMs < 0 || coldMs < 0 || warmMs < 0)
        return 1;
    std::printf("Compile to CHN of a one-file project (median of %d runs)\n", runs);
    std::printf("  native stand-in:                              %8.1f ms\n", nativeMs);
    std::printf("  Windows stand-in under Wine, Wine started:    %8.1f ms  (%.1f times native)\n", coldMs,
                coldMs / nativeMs);
    std::printf("  the same, builds back to back (Wine running): %8.1f ms  (%.1f times native)\n", warmMs,
                warmMs / nativeMs);
    std::printf("  first Wine build, which makes the prefix:     %8.1f ms\n", prefixBuild);
    tarvel::StopWine(tarvel::FindWine(), tarvel::WineFoldersIn(windows.path()));
    return 0;
}
