#include "core/Process.h"

#include "TestFiles.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>

using namespace common;

TEST(Process, WaitingReturnsAfterTheProcessEndedWhileEventsKeepRunning)
{
    QTemporaryDir dir;
    const QString go = dir.filePath("go");
    const QString marker = dir.filePath("done");
    // The process ends only after a timer of this program, which must keep firing during the
    // wait, has ticked three times and let it go on.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 3)
            testfiles::write(go, "");
    });
    timer.start(20);
    const ShellOutcome outcome = ShellAndWait(
        QStringLiteral("/bin/sh -c \"i=0; while [ ! -e '%1' ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done; echo x > '%2'\"")
            .arg(go, marker),
        false, true);
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.finished);
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(QFile::exists(go)) << "the timer fired during the wait";
    EXPECT_TRUE(QFile::exists(marker)) << "the wait returned only after the process ended";
}

TEST(Process, NotWaitingReturnsAtOnce)
{
    QTemporaryDir dir;
    const QString go = dir.filePath("go");
    const QString marker = dir.filePath("late");
    // The process goes on only when this test lets it, after the call has returned.
    const ShellOutcome outcome = ShellAndWait(
        QStringLiteral("/bin/sh -c \"i=0; while [ ! -e '%1' ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done; echo x > '%2'\"")
            .arg(go, marker),
        true, false);
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(QFile::exists(marker)) << "the call waited for the process";
    testfiles::write(go, "");
    EXPECT_TRUE(testfiles::waitUntil([&] { return QFile::exists(marker); }, 20000));
}

TEST(Process, AProgramThatCannotStartReturnsAtOnce)
{
    const ShellOutcome outcome = ShellAndWait("/no/such/program --flag", false, true);
    EXPECT_FALSE(outcome.started);
    EXPECT_FALSE(ShellAndWait("", false, true).started);
}

TEST(Process, QuotedWordsReachTheProgramWholeAndNoShellExpandsThem)
{
    QTemporaryDir dir;
    const QString script = dir.filePath("args.sh");
    const QString out = dir.filePath("args");
    testfiles::write(script, QStringLiteral("printf '%s|' \"$@\" > '%1'\n").arg(out).toUtf8());
    const ShellOutcome outcome =
        ShellAndWait(QStringLiteral("/bin/sh \"%1\" \"a b\" \"$(touch %2/x)\" `id`").arg(script, dir.path()), false, true);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(testfiles::read(out), QStringLiteral("a b|$(touch %1/x)|`id`|").arg(dir.path()).toUtf8());
    EXPECT_FALSE(QFile::exists(dir.filePath("x")));
}

TEST(Process, AWaitCutShortEndsTheWholeProcessGroupAndIsNoSuccess)
{
    QTemporaryDir dir;
    const QString pids = dir.filePath("pids");
    // A shell that starts a program of its own and waits for it; both would run for minutes.
    const QString script = QStringLiteral("sleep 300 & echo $! > '%1.part'; echo $$ >> '%1.part'; mv '%1.part' '%1'; wait")
                               .arg(pids);
    ShellOutcome outcome;
    bool returned = false;
    QTimer::singleShot(0, [&] {
        outcome = RunProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}, true);
        returned = true;
    });
    // Once both run, the application quits, which ends every event loop and so the wait.
    QTimer quit;
    QObject::connect(&quit, &QTimer::timeout, [&] {
        if (QFile::exists(pids))
            QApplication::exit(0);
    });
    quit.start(10);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
    guard.start(60000);
    EXPECT_EQ(QApplication::exec(), 0);

    ASSERT_TRUE(returned);
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.finished) << "a wait cut short is no success";
    EXPECT_TRUE(outcome.stopped);
    const QList<QByteArray> ids = testfiles::read(pids).split('\n');
    ASSERT_GE(ids.size(), 2);
    for (const QByteArray& id : ids) {
        if (id.trimmed().isEmpty())
            continue;
        EXPECT_TRUE(testfiles::waitUntil([&] { return testfiles::processEnded(id.trimmed().toLongLong()); }, 20000))
            << "process " << id.toStdString() << " still runs";
    }
}

TEST(Process, AWaitingProgramKilledForRealTakesTheWholeProcessGroupWithIt)
{
    QTemporaryDir dir;
    const QString pids = dir.filePath("pids");
    // A shell with a program in the background and one in the foreground, as a build script
    // runs the compiler; each writes its id, and all would run for minutes.
    const QString script = QStringLiteral("sleep 300 & echo $! > '%1.part'; echo $$ >> '%1.part'; "
                                          "sh -c 'echo $$ >> \"$1.part\"; mv \"$1.part\" \"$1\"; exec sleep 300' x '%1'")
                               .arg(pids);
    QProcess probe;
    probe.start(QStringLiteral(WAITING_PROBE), {script});
    ASSERT_TRUE(probe.waitForStarted());
    ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(pids); }));
    ::kill(pid_t(probe.processId()), SIGKILL);
    ASSERT_TRUE(probe.waitForFinished());

    const QList<QByteArray> ids = testfiles::read(pids).split('\n');
    ASSERT_EQ(ids.size(), 4) << testfiles::read(pids).toStdString();
    for (const QByteArray& id : ids) {
        if (id.trimmed().isEmpty())
            continue;
        const qint64 pid = id.trimmed().toLongLong();
        EXPECT_TRUE(testfiles::waitUntil([&] { return testfiles::processEnded(pid); }))
            << "process " << pid << " outlived the program that waited for it";
        ::kill(pid_t(pid), SIGKILL);
    }
}
