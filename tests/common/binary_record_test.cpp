#include "core/BinaryRecord.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

using namespace common;

TEST(BinaryRecord, WritesLittleEndianFieldsAndLengthPrefixedStrings)
{
    RecordWriter writer;
    writer.writeString("C:\\");
    writer.writeInt16(-2);
    writer.writeBool16(true);
    writer.writeBool16(false);
    writer.writeInt32(45455);
    writer.writeString("");
    EXPECT_EQ(writer.bytes(), QByteArray::fromHex("03 00 43 3A 5C FE FF FF FF 00 00 8F B1 00 00 00 00"));
}

TEST(BinaryRecord, ReadsBackWhatWasWritten)
{
    RecordWriter writer;
    writer.writeString(QString::fromLatin1("\xE9t\xE9"));
    writer.writeInt16(-11776);
    writer.writeInt32(-5);
    writer.writeBool16(true);
    RecordReader reader(writer.bytes());
    QString text;
    qint16 word = 0;
    qint32 dword = 0;
    bool flag = false;
    EXPECT_TRUE(reader.readString(text));
    EXPECT_TRUE(reader.readInt16(word));
    EXPECT_TRUE(reader.readInt32(dword));
    EXPECT_TRUE(reader.readBool16(flag));
    EXPECT_EQ(text, QString::fromLatin1("\xE9t\xE9"));
    EXPECT_EQ(word, -11776);
    EXPECT_EQ(dword, -5);
    EXPECT_TRUE(flag);
    EXPECT_TRUE(reader.complete());
}

TEST(BinaryRecord, AnyNonZeroBooleanIsTrue)
{
    RecordReader reader(QByteArray::fromHex("01 00"));
    bool flag = false;
    EXPECT_TRUE(reader.readBool16(flag));
    EXPECT_TRUE(flag);
}

TEST(BinaryRecord, AShortRecordStopsAtTheFirstIncompleteFieldAndKeepsTheRest)
{
    // A string whose length runs past the end, followed by nothing.
    RecordReader reader(QByteArray::fromHex("02 00 41 42 10 00 41"));
    QString first = "default1";
    QString second = "default2";
    qint16 third = 7;
    EXPECT_TRUE(reader.readString(first));
    EXPECT_FALSE(reader.readString(second));
    EXPECT_FALSE(reader.readInt16(third));
    EXPECT_EQ(first, "AB");
    EXPECT_EQ(second, "default2");
    EXPECT_EQ(third, 7);
    EXPECT_FALSE(reader.complete());

    RecordReader empty{QByteArray()};
    bool flag = true;
    EXPECT_FALSE(empty.readBool16(flag));
    EXPECT_TRUE(flag);
    qint32 wide = 3;
    RecordReader odd(QByteArray::fromHex("01 02 03"));
    EXPECT_FALSE(odd.readInt32(wide));
    EXPECT_EQ(wide, 3);
}

TEST(BinaryRecord, PathsKeepTheFileSystemsBytes)
{
    const QString folder = QString::fromUtf8("/home/ana/проект/спрайт.pas");
    RecordWriter writer;
    writer.writePath(folder);
    const QByteArray utf8 = folder.toUtf8();
    EXPECT_EQ(writer.bytes().mid(2), utf8);
    EXPECT_EQ(quint8(writer.bytes().at(0)) | quint8(writer.bytes().at(1)) << 8, utf8.size());

    QString back;
    RecordReader reader(writer.bytes());
    ASSERT_TRUE(reader.readPath(back));
    EXPECT_EQ(back, folder);

    // A path written on Windows in its 8-bit code page (é is the byte E9) reads as before.
    RecordReader windows(QByteArray("\x09\x00" "C:\\Jeux\xE9\\", 11));
    ASSERT_TRUE(windows.readPath(back));
    EXPECT_EQ(back, QString::fromLatin1("C:\\Jeux\xE9\\"));
}

TEST(BinaryRecord, FromADeviceOnlyTheBytesOfTheFieldsAreTaken)
{
    RecordWriter writer;
    writer.writeString("C:\\TP\\");
    writer.writeInt16(7);
    writer.writeBool16(true);
    QByteArray data = writer.bytes() + QByteArray(1 << 20, 'x');
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    RecordReader reader(buffer);
    QString text;
    qint16 word = 0;
    bool flag = false;
    EXPECT_TRUE(reader.readString(text) && reader.readInt16(word) && reader.readBool16(flag));
    EXPECT_EQ(text, "C:\\TP\\");
    EXPECT_EQ(reader.consumed(), writer.bytes());
    EXPECT_FALSE(reader.atEnd());
    EXPECT_EQ(buffer.pos(), writer.bytes().size() + 1) << "the record and one byte to see that more follows";

    // A source without end costs only the record.
    QFile zero("/dev/zero");
    ASSERT_TRUE(zero.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    RecordReader endless(zero);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(endless.readString(text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(endless.consumed().size(), 16);
}
