// The build pipeline's own cost, the window's responsiveness during a build, and the cost of a
// runaway errors.txt.
//
// Pipeline overhead: one Compile of a 300-file project with a stand-in compiler that exits at
// once, minus the time the build script with that compiler takes when run on its own.
// Responsiveness: the main window's 100 ms timer ticks counted during a stand-in compile that
// takes 2 seconds.
// errors.txt: reading the outcome of a build that left a 100 MB errors.txt (records, or one
// endless field), its time and how far it raised the process's peak memory; beside it, the
// cost of reading such a file whole first, as a build once did, and of parsing 50 MB held in
// memory.
// DOSBox: the same Compile with a DOS stand-in compiler (tests/tools/tp3dos.asm, assembled with
// nasm) run in DOSBox, against the native stand-in.

#include "BenchSupport.h"

#include "build/BuildScript.h"
#include "build/CompilerResults.h"
#include "build/Form2.h"
#include "build/RunCommands.h"
#include "core/Process.h"
#include "core/TextFile.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
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

constexpr qint64 kHundredMegabytes = 100 * 1024 * 1024;

// The process's peak resident memory so far, in MB (VmHWM).
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// A 100 MB errors.txt in `dir`: `pattern` repeated.
void writeErrors(const QString& dir, const QByteArray& pattern)
{
    QFile file(dir + QStringLiteral("/errors.txt"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QByteArray block = pattern.repeated(qMax<qsizetype>(1, (1 << 20) / pattern.size()));
    for (qint64 written = 0; written < kHundredMegabytes; written += block.size())
        file.write(block);
}

void benchErrorsFile(const char* name, const QByteArray& pattern)
{
    QTemporaryDir dir;
    const int runs = 5;
    QList<double> times;
    const double peakBefore = peakMegabytes();
    int listed = 0;
    for (int i = 0; i < runs; ++i) {
        writeErrors(dir.path(), pattern);
        QElapsedTimer clock;
        clock.start();
        const tarvel::BuildOutcome outcome = tarvel::CollectBuildOutcome(dir.path());
        times.append(clock.nsecsElapsed() / 1e6);
        listed = outcome.errors.errors.size();
    }
    std::printf("  %-30s %7.1f ms  %4d records listed  peak memory +%.1f MB\n", name, median(times), listed,
                peakMegabytes() - peakBefore);
}

void benchWholeRead(const QByteArray& pattern)
{
    QTemporaryDir dir;
    writeErrors(dir.path(), pattern);
    const double peakBefore = peakMegabytes();
    QElapsedTimer clock;
    clock.start();
    const common::Result<QByteArray> bytes = common::ReadFileBytes(dir.path() + QStringLiteral("/errors.txt"));
    const tarvel::CompilerErrorList list = tarvel::ReadCompilerErrors(bytes.value());
    std::printf("  %-30s %7.1f ms  %4d records listed  peak memory +%.1f MB\n", "records",
                clock.nsecsElapsed() / 1e6, int(list.errors.size()), peakMegabytes() - peakBefore);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // First, while the process is small, so that the peak memory shows what the reading adds.
    const QByteArray record = "GAME.PAS,12,5,36,\"Type mismatch\"\r\n";
    std::printf("Outcome of a build that left a 100 MB errors.txt (median of 5)\n");
    benchErrorsFile("records", record);
    benchErrorsFile("one endless field", "x");
    std::printf("For comparison, the same file read whole first (as a build once did)\n");
    benchWholeRead(record);
    {
        const QByteArray big = record.repeated(50 * 1024 * 1024 / record.size());
        QList<double> times;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer clock;
            clock.start();
            const tarvel::CompilerErrorList list = tarvel::ReadCompilerErrors(big);
            times.append(clock.nsecsElapsed() / 1e6);
            Q_UNUSED(list)
        }
        std::printf("errors.txt held in memory (median of 5)\n  %-30s %7.1f ms\n", "50 MB of records, 1,000 listed",
                    median(times));
    }

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
        if (!window.DoCompilation(false)) {
            std::printf("the build failed: %s\n", qPrintable(window.monitor()->text()));
            return 1;
        }
        if (i > 0)
            totals.append(clock.nsecsElapsed() / 1e6);
    }
    // The same script with the same compiler, run on its own.
    const tarvel::CommandLine script = tarvel::BuildScriptCommand(tarvel::BuildScriptPath(kit.path()));
    QList<double> compiler;
    for (int i = 0; i < runs + 1; ++i) {
        QElapsedTimer clock;
        clock.start();
        const common::ShellOutcome ran = common::RunProgram(script.program, script.arguments, true);
        if (!ran.finished)
            return 1;
        if (i > 0)
            compiler.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("Compile of a %d-file project (median of %d runs)\n", window.nodeCount() - 1, runs);
    std::printf("  whole Compile:                 %7.1f ms\n", median(totals));
    std::printf("  build script and compiler:     %7.1f ms\n", median(compiler));
    std::printf("  pipeline overhead:             %7.1f ms\n", median(totals) - median(compiler));

    qputenv("TP3_SLEEP", "2");
    QTimer* timer = window.findChild<QTimer*>(QStringLiteral("Timer1"), Qt::FindDirectChildrenOnly);
    int ticks = 0;
    QObject::connect(timer, &QTimer::timeout, [&] { ++ticks; });
    QElapsedTimer clock;
    clock.start();
    const bool built = window.DoCompilation(false);
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("During a %.2f s compile (%s) the 100 ms timer fired %d times: %.1f ticks per second\n", seconds,
                built ? "built" : "failed", ticks, ticks / seconds);
    qunsetenv("TP3_SLEEP");

    const QString nasm = common::FindOnPath({QStringLiteral("nasm")});
    if (nasm.isEmpty() || common::FindOnPath({QStringLiteral("dosbox")}).isEmpty()) {
        std::printf("Compile in DOSBox: not measured (needs dosbox and nasm)\n");
        return 0;
    }
    QFile::remove(kit.path() + "/compiler/TP3");
    if (QProcess::execute(nasm, {QStringLiteral("-f"), QStringLiteral("bin"), QStringLiteral(TP3DOS_ASM),
                                 QStringLiteral("-o"), kit.path() + "/compiler/TP3.EXE"})
        != 0)
        return 1;
    const int dosRuns = 5;
    QList<double> dos;
    for (int i = 0; i < dosRuns; ++i) {
        QElapsedTimer dosClock;
        dosClock.start();
        if (!window.DoCompilation(false)) {
            std::printf("the DOSBox build failed: %s\n", qPrintable(window.monitor()->text()));
            return 1;
        }
        dos.append(dosClock.nsecsElapsed() / 1e6);
    }
    std::printf("Compile of the same project with a DOS compiler in DOSBox (median of %d runs)\n", dosRuns);
    std::printf("  whole Compile in DOSBox:       %7.1f ms  (native: %.1f ms, %.0fx)\n", median(dos), median(totals),
                median(dos) / median(totals));
    return 0;
}
