#include "core/RunWatch.h"

#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace common;

namespace {

// A program for the wrapper to run: a shell script with the given body.
QString script(const QTemporaryDir& dir, const char* name, const QByteArray& body)
{
    const QString path = dir.filePath(QLatin1String(name));
    testfiles::write(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

struct Watched {
    int reports = 0;
    int status = -1;
    QString lastLines;
};

// Starts `program` watched, with a window long enough for any machine, and waits until the
// watch has given up or reported.
Watched startAndWatch(const QTemporaryDir& dir, const QString& program, const QStringList& arguments)
{
    const Result<StartedRun> run =
        StartWatchedRun(program, arguments, dir.filePath(QStringLiteral("run.log")), dir.filePath(QStringLiteral("run.status")));
    EXPECT_TRUE(run.ok()) << run.error().toStdString();
    Watched watched;
    if (!run)
        return watched;
    QPointer<RunWatch> watch = new RunWatch(run.value(), 120000);
    QObject::connect(watch, &RunWatch::failedAtOnce, [&](int status, const QString& lines) {
        ++watched.reports;
        watched.status = status;
        watched.lastLines = lines;
    });
    EXPECT_TRUE(testfiles::waitUntil([&] { return watch.isNull(); }, 60000));
    return watched;
}

} // namespace

// A program that prints megabytes and then fails: only the end of its output is kept and shown.
TEST(WatchedRun, AFailureAfterMegabytesOfOutputShowsItsLastLinesOnly)
{
    QTemporaryDir dir;
    const QString program = script(dir, "chatty",
                                   "i=0\n"
                                   "while [ $i -lt 40 ]; do head -c 100000 /dev/zero | tr '\\0' 'x'; echo; i=$((i+1)); done\n"
                                   "echo \"arguments: $*\"\n"
                                   "echo 'Error parsing command line: -msx2' >&2\n"
                                   "exit 1\n");
    const Watched watched = startAndWatch(dir, program, {"-diska", "my disk.dsk", "-msx2"});
    ASSERT_EQ(watched.reports, 1);
    EXPECT_EQ(watched.status, 1);
    const QStringList lines = watched.lastLines.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.last(), "Error parsing command line: -msx2");
    EXPECT_EQ(lines.at(lines.size() - 2), "arguments: -diska my disk.dsk -msx2") << "each argument reached the program whole";
    EXPECT_LE(QFileInfo(dir.filePath("run.log")).size(), kKeptOutputBytes) << "the log keeps the end only";
    EXPECT_LE(watched.lastLines.size(), 12 * 243 + 11);
}

TEST(WatchedRun, SuccessAndSilentFailure)
{
    QTemporaryDir dir;
    EXPECT_EQ(startAndWatch(dir, script(dir, "fine", "echo fine\nexit 0\n"), {}).reports, 0);

    const Watched silent = startAndWatch(dir, script(dir, "silent", "exit 3\n"), {});
    ASSERT_EQ(silent.reports, 1);
    EXPECT_EQ(silent.status, 3);
    EXPECT_EQ(QuickFailureText(silent.status, silent.lastLines),
              "The emulator stopped right after it started (exit status 3).\nIt printed nothing.");
    EXPECT_EQ(QuickFailureText(1, "a\nb"), "The emulator stopped right after it started (exit status 1).\nIts last output:\n\na\nb");
}

// Names and arguments that a shell would act on reach the program literally.
TEST(WatchedRun, ArgumentsAreNeverShellText)
{
    QTemporaryDir dir;
    const QString program = script(dir, "args", "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\nexit 2\n");
    const QStringList arguments{"$(touch PWNED)", "`touch PWNED`", "a b", "'q'", ";touch PWNED"};
    const Watched watched = startAndWatch(dir, program, arguments);
    EXPECT_EQ(watched.status, 2);
    EXPECT_EQ(QString::fromUtf8(testfiles::read(dir.filePath("args.txt"))), arguments.join('\n') + '\n');
    EXPECT_FALSE(QFile::exists(dir.filePath("PWNED")));
    EXPECT_FALSE(QFile::exists("PWNED"));
}
