#include "core/TextFile.h"

#include "TestFiles.h"

#include <QFile>
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
