#include "tools/PaletteConverter.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

QByteArray jasc(const QList<QByteArray>& colourLines, const QByteArray& version = "0100", const QByteArray& count = "16")
{
    QByteArray bytes = "JASC-PAL\r\n" + version + "\r\n" + count + "\r\n";
    for (const QByteArray& line : colourLines)
        bytes += line + "\r\n";
    return bytes;
}

QList<QByteArray> sixteen(const QByteArray& first = "0 0 0")
{
    QList<QByteArray> lines{first};
    while (lines.size() < 16)
        lines.append(QByteArray::number(lines.size()) + " 0 0");
    return lines;
}

void putLe(QByteArray& bytes, int offset, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

// A bitmap: file header, information header of `headerSize` bytes, colour table, four bytes of
// pixels. Entry i of the table is (red i*16, green 255-i, blue i).
QByteArray bmp(quint32 headerSize = 40, int bitsPerPixel = 4, quint32 coloursUsed = 0, int entries = 16)
{
    const bool core = headerSize == 12;
    const int entrySize = core ? 3 : 4;
    QByteArray bytes(14 + int(headerSize), '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLe(bytes, 14, headerSize, 4);
    if (core) {
        putLe(bytes, 14 + 4, 2, 2);
        putLe(bytes, 14 + 6, 2, 2);
        putLe(bytes, 14 + 8, 1, 2);
        putLe(bytes, 14 + 10, quint32(bitsPerPixel), 2);
    } else {
        putLe(bytes, 14 + 4, 2, 4);
        putLe(bytes, 14 + 8, 2, 4);
        putLe(bytes, 14 + 12, 1, 2);
        putLe(bytes, 14 + 14, quint32(bitsPerPixel), 2);
        if (headerSize >= 40)
            putLe(bytes, 14 + 32, coloursUsed, 4);
    }
    for (int i = 0; i < entries; ++i) {
        bytes.append(char(i));       // blue
        bytes.append(char(255 - i)); // green
        bytes.append(char(i * 16));  // red
        if (entrySize == 4)
            bytes.append('\0');
    }
    putLe(bytes, 10, quint32(bytes.size()), 4);
    bytes.append(QByteArray(4, '\x11'));
    putLe(bytes, 2, quint32(bytes.size()), 4);
    return bytes;
}

} // namespace

TEST(PaletteLevels, EveryValueFollowsTheLevelTableWithBothDivisors)
{
    const int firstOfLevel[] = {0, 19, 55, 92, 128, 164, 201, 237, 256};
    for (int level = 0; level < 8; ++level) {
        for (int v = firstOfLevel[level]; v < firstOfLevel[level + 1]; ++v) {
            SCOPED_TRACE(v);
            EXPECT_EQ(PaletteLevel(v, TextDivisor), level);
            EXPECT_EQ(PaletteLevel(v, FileDivisor), level);
        }
    }
}

TEST(PaletteText, SixteenSetPaletteLinesWithTwoDigitIndexes)
{
    MsxPalette16 palette{};
    palette[0] = {7, 7, 7};
    palette[9] = {0, 1, 7};
    palette[15] = {3, 0, 5};
    const QString text = SetPaletteText(palette);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17) << "sixteen lines, each ended by CR LF";
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(lines[0], "SetPalette(00,7,7,7);");
    EXPECT_EQ(lines[1], "SetPalette(01,0,0,0);");
    EXPECT_EQ(lines[9], "SetPalette(09,0,1,7);");
    EXPECT_EQ(lines[15], "SetPalette(15,3,0,5);");
}

TEST(PaletteFile, Pl5HeaderAndRegisterBytes)
{
    struct Row {
        const char* name;
        MsxColor colour;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"white", {7, 7, 7}, QByteArray("\x77\x07", 2)},
        {"18 19 237", {0, 1, 7}, QByteArray("\x07\x01", 2)},
        {"red only", {5, 0, 0}, QByteArray("\x50\x00", 2)},
        {"green only", {0, 6, 0}, QByteArray("\x00\x06", 2)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MsxPalette16 palette{};
        palette[3] = row.colour;
        const QByteArray bytes = Pl5Bytes(palette);
        ASSERT_EQ(bytes.size(), 39);
        EXPECT_EQ(bytes.left(7), QByteArray("\xFE\x80\x76\x9F\x76\x00\x00", 7));
        EXPECT_EQ(bytes.mid(7 + 6, 2), row.bytes);
        EXPECT_EQ(bytes.mid(7, 6), QByteArray(6, '\0'));
    }
}

TEST(PaletteFile, TheReferencePaletteGivesTheReferenceTextAndFile)
{
    const QString data = testfiles::testDataDir() + "/tools/";
    const PaletteRead read = ReadJascPalette(testfiles::read(data + "msx.pal"));
    ASSERT_TRUE(read.ok()) << read.problem.message.toStdString();
    EXPECT_EQ(SetPaletteText(ToMsxPalette(*read.palette, TextDivisor)).toLatin1(),
              testfiles::read(data + "msx-setpalette.txt"));
    const QByteArray expected = testfiles::read(data + "msx.pl5");
    const QByteArray actual = Pl5Bytes(ToMsxPalette(*read.palette, FileDivisor));
    EXPECT_EQ(actual, expected) << testfiles::hex(actual).toStdString() << "\n" << testfiles::hex(expected).toStdString();
}

TEST(JascReader, ChecksAndTheirMessages)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        const char* message; // "" when the file is accepted
        const char* title;
    };
    const char* notPsp = "Not a valid PSP palette file!";
    const char* version = "Incorrect palette version!";
    const char* count = "Palette must have 16 colors!";
    const Row rows[] = {
        {"valid", jasc(sixteen("255 255 255")), "", ""},
        {"version written 100", jasc(sixteen(), "100"), "", ""},
        {"LF line ends", jasc(sixteen()).replace("\r\n", "\n"), "", ""},
        {"lines after the sixteenth colour are ignored", jasc(sixteen() + QList<QByteArray>{"junk", "999"}), "", ""},
        {"lower-case header", jasc(sixteen()).replace("JASC-PAL", "jasc-pal"), notPsp, "Erro"},
        {"empty file", QByteArray(), notPsp, "Erro"},
        {"a bitmap", bmp(), notPsp, "Erro"},
        {"binary", QByteArray("\x00\xFF\x10JASC-PAL", 11), notPsp, "Erro"},
        {"version 0101", jasc(sixteen(), "0101"), version, "Erro"},
        {"version missing", QByteArray("JASC-PAL\r\n"), version, "Erro"},
        {"fifteen colours", jasc(sixteen(), "0100", "15"), count, "Erro"},
        {"count missing", QByteArray("JASC-PAL\r\n0100\r\n"), count, "Erro"},
        {"ends before the 16th colour", jasc(sixteen().mid(0, 15)), "The palette file ends before its 16th color (it has 15).", "Error"},
        {"two numbers", jasc(sixteen("255 255")), "Line 4 of the palette file does not hold three numbers.", "Error"},
        {"trailing blank adds no field", jasc(sixteen("255 255 ")), "Line 4 of the palette file does not hold three numbers.", "Error"},
        {"a word", jasc(sixteen("255 red 0")), "Line 4 of the palette file does not hold three numbers.", "Error"},
        {"above 255", jasc(sixteen("256 0 0")), "Line 4 of the palette file holds a value outside 0 to 255.", "Error"},
        {"negative", jasc(sixteen("0 -1 0")), "Line 4 of the palette file holds a value outside 0 to 255.", "Error"},
        {"huge number", jasc(sixteen("0 0 " + QByteArray(400, '9'))), "Line 4 of the palette file holds a value outside 0 to 255.", "Error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PaletteRead read = ReadJascPalette(row.bytes);
        EXPECT_EQ(read.ok(), QByteArray(row.message).isEmpty());
        EXPECT_EQ(read.problem.message, QString::fromLatin1(row.message));
        EXPECT_EQ(read.problem.title, QString::fromLatin1(row.title));
    }
}

TEST(JascReader, ColourValues)
{
    QList<QByteArray> lines = sixteen("18 19 237");
    lines[1] = "10  20";       // two blanks: an empty field reads as 0
    lines[2] = " 7 8 9 extra"; // a leading blank is an empty first field
    lines[3] = "1.6 254.5 3x"; // the leading number of each field, rounded halves to even
    const PaletteRead read = ReadJascPalette(jasc(lines));
    ASSERT_TRUE(read.ok()) << read.problem.message.toStdString();
    const Palette16& p = *read.palette;
    EXPECT_EQ(p[0], (PaletteColor{18, 19, 237}));
    EXPECT_EQ(p[1], (PaletteColor{10, 0, 20}));
    EXPECT_EQ(p[2], (PaletteColor{0, 7, 8}));
    EXPECT_EQ(p[3], (PaletteColor{2, 254, 3}));
    EXPECT_EQ(p[15], (PaletteColor{15, 0, 0}));
    const MsxPalette16 levels = ToMsxPalette(p, TextDivisor);
    EXPECT_EQ(levels[0].red, 0);
    EXPECT_EQ(levels[0].green, 1);
    EXPECT_EQ(levels[0].blue, 7);
}

TEST(BmpReader, ColourTableAndRefusals)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        const char* message; // "" when accepted
        int entries;         // entries read from the table when accepted
    };
    QByteArray lyingHeader = bmp();
    putLe(lyingHeader, 14, 0xFFFFFFF0u, 4);
    const Row rows[] = {
        {"Windows header", bmp(), "", 16},
        {"OS/2 header with 3-byte entries", bmp(12), "", 16},
        {"version 5 header", bmp(124), "", 16},
        {"two colours used", bmp(40, 4, 2, 2), "", 2},
        {"more colours used than 16", bmp(40, 4, 300), "", 16},
        {"256 colours", bmp(40, 8), "Not 16 color image", 0},
        {"one bit per pixel", bmp(40, 1, 0, 2), "Not 16 color image", 0},
        {"cut in the colour table", bmp().left(100), "The BMP file is cut short.", 0},
        {"cut in the header", bmp().left(27), "The BMP file is cut short.", 0},
        {"empty", QByteArray(), "The BMP file is cut short.", 0},
        {"header size lies", lyingHeader, "The BMP file is cut short.", 0},
        {"odd header size", bmp(20), "Not a valid BMP file.", 0},
        {"not a bitmap", jasc(sixteen()), "Not a valid BMP file.", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PaletteRead read = ReadBmpPalette(row.bytes);
        EXPECT_EQ(read.problem.message, QString::fromLatin1(row.message));
        if (QByteArray(row.message).isEmpty()) {
            ASSERT_TRUE(read.ok());
            for (int i = 0; i < 16; ++i) {
                const PaletteColor expected =
                    i < row.entries ? PaletteColor{i * 16, 255 - i, i} : PaletteColor{0, 0, 0};
                EXPECT_EQ((*read.palette)[i], expected) << "entry " << i;
            }
        } else {
            EXPECT_FALSE(read.ok());
            EXPECT_EQ(read.problem.title, "Error");
        }
    }
}

TEST(PaletteSource, ByTheLastThreeLettersInAnyCase)
{
    EXPECT_EQ(PaletteSourceOf("/a/x.pal"), PaletteSource::Jasc);
    EXPECT_EQ(PaletteSourceOf("/a/X.Pal"), PaletteSource::Jasc);
    EXPECT_EQ(PaletteSourceOf("/a/xbmp"), PaletteSource::Bmp);
    EXPECT_EQ(PaletteSourceOf("/a/x.png"), PaletteSource::Other);
    EXPECT_EQ(PaletteSourceOf(""), PaletteSource::Other);
}

TEST(PaletteFile, WritingOverTheStartKeepsTheRestOfALongerFile)
{
    QTemporaryDir dir;
    const QByteArray data(39, '\x42');
    const QString fresh = dir.filePath("new.pl5");
    ASSERT_TRUE(WriteOverFileStart(fresh, data));
    EXPECT_EQ(testfiles::read(fresh), data);

    const QString longer = dir.filePath("longer.pl5");
    testfiles::write(longer, QByteArray(50, 'x'));
    ASSERT_TRUE(WriteOverFileStart(longer, data));
    EXPECT_EQ(testfiles::read(longer), data + QByteArray(11, 'x'));

    const QString shorter = dir.filePath("shorter.pl5");
    testfiles::write(shorter, "abc");
    ASSERT_TRUE(WriteOverFileStart(shorter, data));
    EXPECT_EQ(testfiles::read(shorter), data);

    const QString readOnly = dir.filePath("locked.pl5");
    testfiles::write(readOnly, "old contents");
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const common::Status refused = WriteOverFileStart(readOnly, data);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.error().isEmpty());
    EXPECT_EQ(testfiles::read(readOnly), "old contents");

    QDir().mkpath(dir.filePath("folder.pl5"));
    EXPECT_FALSE(WriteOverFileStart(dir.filePath("folder.pl5"), data));
}

TEST(PaletteFile, ReadFileHeadReadsAtMostTheLimit)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("big.bmp"), QByteArray(5000, 'z'));
    const common::Result<QByteArray> head = ReadFileHead(dir.filePath("big.bmp"), 1000);
    ASSERT_TRUE(head);
    EXPECT_EQ(head.value().size(), 1000);
    EXPECT_FALSE(ReadFileHead(dir.filePath("missing.bmp"), 1000));
    EXPECT_FALSE(ReadFileHead(dir.path(), 1000));
}
