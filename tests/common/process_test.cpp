#include "core/Process.h"

#include "TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace common;

TEST(Process, WaitingReturnsAfterTheProcessEndedWhileEventsKeepRunning)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath("done");
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    const ShellOutcome outcome =
        ShellAndWait(QStringLiteral("/bin/sh -c \"sleep 0.6; echo x > '%1'\"").arg(marker), false, true);
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_GE(ticks, 5) << "the timer must keep firing while the process runs";
}

TEST(Process, NotWaitingReturnsAtOnce)
{
    QTemporaryDir dir;
    const QString marker = dir.filePath("late");
    QElapsedTimer clock;
    clock.start();
    const ShellOutcome outcome =
        ShellAndWait(QStringLiteral("/bin/sh -c \"sleep 0.5; echo x > '%1'\"").arg(marker), true, false);
    EXPECT_LT(clock.elapsed(), 400);
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(testfiles::waitUntil([&] { return QFile::exists(marker); }, 5000));
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
    ShellAndWait(QStringLiteral("/bin/sh \"%1\" \"a b\" \"$(touch %2/x)\" `id`").arg(script, dir.path()), false, true);
    EXPECT_EQ(testfiles::read(out), QStringLiteral("a b|$(touch %1/x)|`id`|").arg(dir.path()).toUtf8());
    EXPECT_FALSE(QFile::exists(dir.filePath("x")));
}
