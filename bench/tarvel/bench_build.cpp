// The build pipeline's own cost and the window's responsiveness during a build.
//
// Pipeline overhead: one Compile of a 300-file project with a stand-in compiler that exits at
// once, minus the time the build script with that compiler takes when run on its own.
// Responsiveness: the main window's 100 ms timer ticks counted during a stand-in compile that
// takes 2 seconds.

#include "BenchSupport.h"

#include "build/BuildScript.h"
#include "build/Form2.h"
#include "build/RunCommands.h"
#include "core/Process.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// A compiler that writes the chain file and a summary and exits; it sleeps when asked to.
const QByteArray QuickCompiler = "#!/bin/sh\n"
                                 "[ -n \"$TP3_SLEEP\" ] && sleep \"$TP3_SLEEP\"\n"
                                 "printf 'CHN' > \"$1.chn\"\n"
                                 "printf 'Code: 3 bytes (2E9B-2E9D)\\r\\nFree: 1 bytes\\r\\nData: 0 bytes\\r\\n'\n";

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir kit;
    writeFile(kit.path() + "/compiler/TP3", QuickCompiler, true);
    writeFile(kit.path() + "/compiler/runtime.com", "RT");
    QTemporaryDir project;
    QByteArray main = "program big;\r\n";
    for (int i = 0; i < 299; ++i) {
        const QString name = QStringLiteral("unit%1.inc").arg(i, 3, 10, QLatin1Char('0'));
        main += QStringLiteral("{$I %1}\r\n").arg(name).toLatin1();
        writeFile(project.path() + "/" + name, QByteArray("procedure p;\r\nbegin\r\nend;\r\n").repeated(20));
    }
    main += "begin\r\nend.\r\n";
    writeFile(project.path() + "/big.pas", main);

    common::QtDialogs dialogs;
    Form1 window(kit.path(), dialogs, QString());
    window.Settings.AutoTooltip = false;
    window.show();
    window.LoadProject(project.path() + "/big.pas");

    const int runs = 15;
    QList<double> totals;
    for (int i = 0; i < runs + 1; ++i) {
        QElapsedTimer clock;
        clock.start();
        window.DoCompilation(false);
        if (i > 0)
            totals.append(clock.nsecsElapsed() / 1e6);
    }
    // The same script with the same compiler, run on its own.
    const tarvel::CommandLine script = tarvel::BuildScriptCommand(tarvel::BuildScriptPath(kit.path()));
    QList<double> compiler;
    for (int i = 0; i < runs + 1; ++i) {
        QElapsedTimer clock;
        clock.start();
        common::RunProgram(script.program, script.arguments, true);
        if (i > 0)
            compiler.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("Compile of a %d-file project (median of %d runs)\n", window.nodeCount() - 1, runs);
    std::printf("  whole Compile:                 %7.1f ms\n", median(totals));
    std::printf("  build script and compiler:     %7.1f ms\n", median(compiler));
    std::printf("  pipeline overhead:             %7.1f ms\n", median(totals) - median(compiler));

    qputenv("TP3_SLEEP", "2");
    QTimer* timer = window.findChild<QTimer*>(QStringLiteral("Timer1"));
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    window.DoCompilation(false);
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("During a %.2f s compile the 100 ms timer fired %d times: %.1f ticks per second\n", seconds, ticks,
                ticks / seconds);
    return 0;
}
