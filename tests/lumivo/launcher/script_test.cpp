#include "../QtPrinting.h"
#include "core/RunWatch.h"
#include "core/Text.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/ExecuteScript.h"
#include "launcher/ImageKind.h"
#include "launcher/OpenMsxCommand.h"
#include "launcher/OpenMsxSettings.h"
#include "launcher/ModMSX.h"
#include "launcher/ProgramRunner.h"

#include "../RecordingRunner.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumivo;
using common::LastLines;
using common::ReadRunStatus;
using common::RunWatch;


TEST(ExecuteScript, WorkedExampleInShellForm)
{
    EmulatorCommand command;
    command.folder = QStringLiteral("/opt/BRMSX/");
    command.program = QStringLiteral("./brmsx.exe");
    command.arguments = QStringList{QStringLiteral("-diska"), QStringLiteral("/home/me/My Games/GAME.DSK"),
                                    QStringLiteral("-msx2"), QStringLiteral("-mapper"), QStringLiteral("2"),
                                    QStringLiteral("-noenter")};
    EXPECT_EQ(RenderExecuteScript(command).toStdString(),
              "#!/bin/sh\n"
              "if [ -t 1 ]; then clear 2>/dev/null; fi\n"
              "cd '/opt/BRMSX/' || exit 1\n"
              "'./brmsx.exe' -diska '/home/me/My Games/GAME.DSK' -msx2 -mapper 2 -noenter\n");
}

TEST(ExecuteScript, QuotesEveryPath)
{
    EXPECT_EQ(common::ShellQuote(QStringLiteral("it's")), QStringLiteral("'it'\\''s'"));
    EmulatorCommand command;
    command.folder = QStringLiteral("/a b/");
    command.program = QStringLiteral("/usr/games/fmsx");
    command.arguments = QStringList{QStringLiteral("/plain/path.rom"), QStringLiteral("-msx2+")};
    EXPECT_EQ(RenderExecuteScript(command).split('\n').at(3).toStdString(),
              "'/usr/games/fmsx' '/plain/path.rom' -msx2+");
}

TEST(RunEmulatorCommand, WritesTheScriptAndStartsItDetached)
{
    QTemporaryDir launcher;
    EmulatorCommand command;
    command.folder = QStringLiteral("/opt/brmsx/");
    command.program = QStringLiteral("./brmsx.exe");
    command.arguments = QStringList{QStringLiteral("-noenter")};
    RecordingRunner runner;
    const auto started = RunEmulatorCommand(launcher.path(), command, runner);
    ASSERT_TRUE(started.ok());
    const QString script = launcher.path() + QStringLiteral("/execute.sh");
    EXPECT_EQ(testfiles::read(script), RenderExecuteScript(command));
    EXPECT_TRUE(QFileInfo(script).isExecutable());
    ASSERT_EQ(runner.starts.size(), 1);
    EXPECT_EQ(runner.starts[0].program, QStringLiteral("/bin/sh"));
    EXPECT_EQ(started->logPath, launcher.path() + QStringLiteral("/execute.log"));
    EXPECT_EQ(started->statusPath, launcher.path() + QStringLiteral("/execute.status"));
    EXPECT_EQ(runner.starts[0].arguments, RunWrapperArguments(script, started->logPath, started->statusPath));
    EXPECT_EQ(runner.starts[0].folder, launcher.path());

    runner.startWorks = false;
    EXPECT_FALSE(RunEmulatorCommand(launcher.path(), command, runner).ok());
}

TEST(RunEmulatorCommand, AWriteFailureStartsNothing)
{
    QTemporaryDir launcher;
    QDir(launcher.path()).mkdir(QStringLiteral("execute.sh"));
    RecordingRunner runner;
    EXPECT_FALSE(RunEmulatorCommand(launcher.path(), EmulatorCommand(), runner).ok());
    EXPECT_TRUE(runner.starts.isEmpty());
}

// The script really runs: hostile folder and file names reach the emulator as single arguments
// and none of their shell syntax is executed.
TEST(RunEmulatorCommand, HostileNamesReachTheEmulatorUnchanged)
{
    QTemporaryDir root;
    const QString hostile = QStringLiteral("x'; touch PWNED; echo '$(touch PWNED2) `touch PWNED3` a;b \"q\" \xe9");
    const QString emulatorFolder = root.path() + QStringLiteral("/BR MSX ") + hostile;
    const QString gameFolder = root.path() + QStringLiteral("/games ") + hostile;
    ASSERT_TRUE(QDir().mkpath(emulatorFolder));
    ASSERT_TRUE(QDir().mkpath(gameFolder));
    ASSERT_TRUE(QFile::copy(testfiles::testToolsDir() + QStringLiteral("/lumivo/brmsx.exe"),
                            emulatorFolder + QStringLiteral("/brmsx.exe")));
    QFile::setPermissions(emulatorFolder + QStringLiteral("/brmsx.exe"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString gameName = QStringLiteral("game ") + hostile + QStringLiteral(".dsk");
    testfiles::write(gameFolder + QLatin1Char('/') + gameName, QByteArray("disk"));

    BrmsxOptions options;
    InitBrmsxOptions(options, emulatorFolder);
    options.Msx2 = true;
    const CommandOutcome outcome = BuildBrmsxCommand({0, gameFolder, gameName}, options);
    ASSERT_EQ(outcome.problem, RunProblem::None);

    const QString launcher = root.path() + QStringLiteral("/launcher $(x)");
    ASSERT_TRUE(QDir().mkpath(launcher));
    RecordingRunner runner;
    ASSERT_TRUE(RunEmulatorCommand(launcher, outcome.command, runner).ok());
    QProcess shell;
    ASSERT_EQ(runner.starts.size(), 1);
    shell.setWorkingDirectory(runner.starts[0].folder);
    shell.start(runner.starts[0].program, runner.starts[0].arguments);
    ASSERT_TRUE(shell.waitForFinished(20000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();

    const QByteArray recorded = testfiles::read(emulatorFolder + QStringLiteral("/args.txt"));
    const QStringList lines = QFile::decodeName(recorded).split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 5) << recorded.toStdString();
    EXPECT_EQ(lines.at(0), emulatorFolder);
    EXPECT_EQ(lines.at(1), QStringLiteral("-diska"));
    EXPECT_EQ(lines.at(2), gameFolder + QLatin1Char('/') + gameName);
    EXPECT_EQ(lines.at(3), QStringLiteral("-msx2"));
    EXPECT_EQ(lines.at(4), QStringLiteral("-noenter"));
    for (const QString& folder : {root.path(), launcher, emulatorFolder, gameFolder}) {
        for (const char* marker : {"PWNED", "PWNED2", "PWNED3"})
            EXPECT_FALSE(QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(marker))) << marker;
    }
}

namespace {

// Runs the script the runner was asked to start, with standard output and error captured.
struct ScriptRun {
    int exitCode = -1;
    QByteArray output;
};

ScriptRun runRecordedStart(const RecordingRunner& runner, const QProcessEnvironment& environment)
{
    ScriptRun run;
    if (runner.starts.size() != 1)
        return run;
    QProcess shell;
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(runner.starts[0].folder);
    shell.start(runner.starts[0].program, runner.starts[0].arguments);
    if (!shell.waitForFinished(20000)) {
        shell.kill();
        shell.waitForFinished();
        return run;
    }
    run.exitCode = shell.exitCode();
    run.output = shell.readAllStandardOutput() + shell.readAllStandardError();
    return run;
}

// A native stand-in for BR-MSX under the given name in a new folder of `root`.
QString installStandIn(const QString& root, const QString& name)
{
    const QString folder = root + QStringLiteral("/brmsx");
    QDir().mkpath(folder);
    const QString program = folder + QLatin1Char('/') + name;
    QFile::copy(testfiles::testToolsDir() + QStringLiteral("/lumivo/brmsx.exe"), program);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

// The terminal Lumivo was started from is not cleared by a run, and BR-MSX copied from FAT media
// as BRMSX.EXE runs under the name it has on disk.
TEST(RunEmulatorCommand, UpperCaseBrmsxRunsAndTheTerminalIsLeftAlone)
{
    QTemporaryDir root;
    const QString folder = installStandIn(root.path(), QStringLiteral("BRMSX.EXE"));
    BrmsxOptions options;
    InitBrmsxOptions(options, folder);
    const CommandOutcome outcome = BuildBrmsxCommand({3, root.path(), QString()}, options);
    ASSERT_EQ(outcome.problem, RunProblem::None);
    EXPECT_EQ(outcome.command.program, QStringLiteral("./BRMSX.EXE"));

    RecordingRunner runner;
    ASSERT_TRUE(RunEmulatorCommand(root.path(), outcome.command, runner).ok());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TERM"), QStringLiteral("xterm"));
    const ScriptRun run = runRecordedStart(runner, environment);
    EXPECT_EQ(run.exitCode, 0);
    // Nothing reaches the output the run was started with (Lumivo's terminal); the run has its own.
    EXPECT_TRUE(run.output.isEmpty()) << testfiles::hex(run.output).toStdString();
    EXPECT_FALSE(testfiles::read(ExecuteLogPath(root.path())).contains('\x1b'));
    int status = -1;
    EXPECT_TRUE(ReadRunStatus(testfiles::read(ExecuteStatusPath(root.path())), 0, &status));
    EXPECT_EQ(status, 0);
    const QStringList lines = QFile::decodeName(testfiles::read(folder + QStringLiteral("/args.txt"))).split('\n');
    EXPECT_EQ(lines.value(0), folder);
    EXPECT_EQ(lines.value(1), QStringLiteral("-mount"));
}

TEST(RunWatch, StatusAndLastLines)
{
    struct StatusRow {
        const char* name;
        QByteArray bytes;
        qint64 pid;
        bool read;
        int status;
    };
    const StatusRow rows[] = {
        {"failure of this run", "4242 1\n", 4242, true, 1},
        {"success", "4242 0\n", 4242, true, 0},
        {"any run", "17 127\n", 0, true, 127},
        {"an earlier run", "17 1\n", 4242, false, 0},
        {"half written", "4242", 4242, false, 0},
        {"garbage", "x y\n", 0, false, 0},
        {"empty", "", 0, false, 0},
    };
    for (const StatusRow& row : rows) {
        SCOPED_TRACE(row.name);
        int status = -1;
        EXPECT_EQ(ReadRunStatus(row.bytes, row.pid, &status), row.read);
        if (row.read) {
            EXPECT_EQ(status, row.status);
        }
    }

    QByteArray output;
    for (int i = 1; i <= 20; ++i)
        output += "line " + QByteArray::number(i) + "\r\n\n";
    EXPECT_EQ(LastLines(output, 3), QStringLiteral("line 18\nline 19\nline 20"));
    EXPECT_EQ(LastLines(QByteArray(), 3), QString());
    EXPECT_EQ(LastLines(QByteArray(300, 'x'), 1), QString(240, QLatin1Char('x')) + QStringLiteral("..."));
}

// Only a quick non-zero exit of this very run is reported.
TEST(RunWatch, ReportsOnlyAQuickFailureOfItsOwnRun)
{
    QTemporaryDir dir;
    StartedRun run{4242, dir.filePath(QStringLiteral("execute.log")), dir.filePath(QStringLiteral("execute.status"))};
    testfiles::write(run.logPath, "booting\nFatal error: no such machine\n");
    struct Row {
        const char* name;
        QByteArray status;
        bool reported;
    };
    const Row rows[] = {
        {"ended well", "4242 0\n", false},
        {"an earlier run's failure", "17 1\n", false},
        {"this run failed", "4242 3\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testfiles::write(run.statusPath, row.status);
        QPointer<RunWatch> watch = new RunWatch(run, 600);
        QSignalSpy failed(watch.data(), &RunWatch::failedAtOnce);
        ASSERT_TRUE(testfiles::waitUntil([&] { return watch.isNull(); }));
        ASSERT_EQ(failed.count(), row.reported ? 1 : 0);
        if (row.reported) {
            EXPECT_EQ(failed.at(0).at(0).toInt(), 3);
            EXPECT_EQ(failed.at(0).at(1).toString(), QStringLiteral("booting\nFatal error: no such machine"));
        }
    }
}

// openMSX's extra arguments reach the program word by word, literally: nothing in them runs.
TEST(RunEmulatorCommand, OpenMsxExtraArgumentsArePassedLiterally)
{
    QTemporaryDir root;
    const QString games = root.path() + QStringLiteral("/games $(touch PWNED0)");
    QDir().mkpath(games);
    const QString log = root.path() + QStringLiteral("/recorded.txt");
    const OpenMsxSettings settings{QString(), QStringLiteral("C-BIOS_MSX2"),
                                   QStringLiteral("-command \"set x $(touch PWNED1)\" `touch PWNED2` ';touch PWNED3' *")};
    const CommandOutcome outcome = BuildOpenMsxCommand({KindRom, games, QStringLiteral("a b.rom")}, settings,
                                                       testfiles::testToolsDir() + QStringLiteral("/emulator"), {});
    ASSERT_EQ(outcome.problem, RunProblem::None);
    RecordingRunner runner;
    ASSERT_TRUE(RunEmulatorCommand(root.path(), outcome.command, runner).ok());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("EMULATOR_LOG"), log);
    EXPECT_EQ(runRecordedStart(runner, environment).exitCode, 0);
    EXPECT_EQ(QFile::decodeName(testfiles::read(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{"-machine", "C-BIOS_MSX2", "-command", "set x $(touch PWNED1)", "`touch", "PWNED2`",
                           ";touch PWNED3", "*", "-cart", games + "/a b.rom"}));
    for (const QString& folder : {root.path(), games}) {
        for (const char* marker : {"PWNED0", "PWNED1", "PWNED2", "PWNED3"})
            EXPECT_FALSE(QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(marker))) << marker;
    }
}
