#include "core/TextFile.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace common;

TEST(TextFile, LinesAcceptEveryLineEndAndNoTrailingEmptyEntry)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\nb\r\nc\r\n"), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitLines(""), QStringList{});
}

TEST(TextFile, EightBitTextSurvivesARoundTrip)
{
    QTemporaryDir dir;
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(char(b));
    }
    const QString path = dir.filePath("bytes.txt");
    ASSERT_TRUE(WriteTextLinesAtomic(path, SplitLines(all)));
    EXPECT_EQ(testfiles::read(path), all + "\r\n");
}

TEST(TextFile, ReadingAMissingFileFailsWithAReason)
{
    QTemporaryDir dir;
    const auto lines = ReadTextLines(dir.filePath("none.txt"));
    ASSERT_FALSE(lines.ok());
    EXPECT_TRUE(lines.error().contains("none.txt"));
    EXPECT_FALSE(ReadTextLines(dir.path()).ok());
}

TEST(TextFile, AFileIsReadWholeUpToTheLimitAndRefusedBeyondIt)
{
    QTemporaryDir dir;
    const struct {
        int size;
        bool fits;
    } cases[] = {{0, true}, {1, true}, {99, true}, {100, true}, {101, false}, {5000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        QByteArray bytes(c.size, 'x');
        for (int i = 0; i < c.size; ++i)
            bytes[i] = char('a' + i % 26);
        const QString path = dir.filePath("f.txt");
        testfiles::write(path, bytes);
        const Result<QByteArray> read = ReadFileBytes(path, 100);
        ASSERT_EQ(read.ok(), c.fits);
        if (c.fits)
            EXPECT_EQ(read.value(), bytes);
        else
            EXPECT_TRUE(read.error().contains("too large"));
    }
}

TEST(TextFile, AFileWhoseSizeIsNotKnownBeforehandIsReadWhole)
{
    // The system's process files report a size of 0 and hold text all the same.
    const QString path = QStringLiteral("/proc/self/cmdline");
    if (!QFile::exists(path))
        GTEST_SKIP() << "no /proc";
    const Result<QByteArray> read = ReadFileBytes(path);
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(read.value(), file.readAll());
    EXPECT_FALSE(read.value().isEmpty());
}

TEST(TextFile, AFailedWriteLeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    testfiles::write(path, "old");
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const Status status = WriteFileAtomic(path, "new contents");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_FALSE(status.ok());
    EXPECT_TRUE(status.error().contains("config.cfg"));
    EXPECT_EQ(testfiles::read(path), "old");

    EXPECT_FALSE(WriteFileAtomic(dir.filePath("missing/sub/file.txt"), "x").ok());
}

namespace {

struct ProbeRun {
    int exitCode = -1;
    QString output;
};

// Runs the write in a child process (see file_write_probe.cpp for why).
ProbeRun runProbe(const QStringList& arguments)
{
    QProcess probe;
    probe.start(QStringLiteral(FILE_WRITE_PROBE), arguments);
    EXPECT_TRUE(probe.waitForFinished(30000));
    return {probe.exitStatus() == QProcess::NormalExit ? probe.exitCode() : -1,
            QString::fromLocal8Bit(probe.readAllStandardOutput())};
}

// A folder the unprivileged probe can enter and a file it may write.
void openToEveryone(const QString& folder, const QString& file)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                      | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther
                                    | QFileDevice::WriteOther);
}

} // namespace

TEST(TextFile, AWriteThatDoesNotReachTheDiskFailsAndKeepsTheOldFile)
{
    // Small writes sit in a buffer until the final flush; large ones fail while writing. Both
    // must be reported, and the old file must stay whole.
    for (const int size : {3000, 200000}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        const QString path = dir.filePath("game.pas");
        testfiles::write(path, "old text");
        const ProbeRun run = runProbe({"--fsize", "1024", "atomic", path, QString::number(size)});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.output.contains("game.pas")) << run.output.toStdString();
        EXPECT_EQ(testfiles::read(path), "old text");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"game.pas"}) << "no temporary file left behind";
    }
    // Within the limit the same write succeeds.
    QTemporaryDir dir;
    const QString path = dir.filePath("game.pas");
    EXPECT_EQ(runProbe({"--fsize", "100000", "atomic", path, "3000"}).exitCode, 0);
    EXPECT_EQ(testfiles::read(path), QByteArray(3000, 'n'));
}

TEST(TextFile, ASettingsRecordInAReadOnlyFolderIsWrittenInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    testfiles::write(path, "an old and longer record");
    openToEveryone(dir.path(), path);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                          | QFileDevice::ExeOther);

    // The atomic way needs a new file in the folder, which the folder refuses.
    const ProbeRun atomic = runProbe({"--unprivileged", "atomic", path, "5"});
    EXPECT_EQ(atomic.exitCode, 1);
    EXPECT_EQ(testfiles::read(path), "an old and longer record");

    const ProbeRun record = runProbe({"--unprivileged", "record", path, "5"});
    EXPECT_EQ(record.exitCode, 0) << record.output.toStdString();
    EXPECT_EQ(testfiles::read(path), "nnnnn");

    // A read-only record in that folder still fails, and is left alone.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    EXPECT_EQ(runProbe({"--unprivileged", "record", path, "3"}).exitCode, 1);
    EXPECT_EQ(testfiles::read(path), "nnnnn");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(TextFile, ASettingsRecordOnAFullDiskIsNotWrittenInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    testfiles::write(path, "old");
    EXPECT_EQ(runProbe({"--fsize", "10", "record", path, "50"}).exitCode, 1);
    EXPECT_EQ(testfiles::read(path), "old");
}

TEST(TextFile, AFolderThatCannotBeWrittenIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString path = dir.filePath("config.cfg");
    testfiles::write(path, "old");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const Status status = WriteFileAtomic(path, "new");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(testfiles::read(path), "old");
}
