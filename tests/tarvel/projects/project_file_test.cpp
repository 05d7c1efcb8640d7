#include "projects/ProjectFile.h"
#include "projects/SourceOutline.h"

#include <gtest/gtest.h>

using namespace tarvel;

TEST(ProjectAddresses, PrintAsUnsignedHexWithoutLeadingZeros)
{
    struct Row { quint16 value; const char* text; };
    const Row rows[] = {{0x2E9B, "2E9B"}, {0xD200, "D200"}, {0x0100, "100"}, {0xF93C, "F93C"}, {0, "0"}, {0xFFFF, "FFFF"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(FormatAddress(qint16(row.value)), row.text);
        const auto parsed = ParseAddress(row.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(quint16(*parsed), row.value);
    }
    EXPECT_EQ(*ParseAddress("d200"), qint16(-11776));
}

TEST(ProjectAddresses, OnlyOneToFourHexDigitsAreAccepted)
{
    for (const char* bad : {"", "12345", "G1", "2E 9", "-1", "&HD200", "0x10", "+1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(ParseAddress(bad).has_value());
    }
}

TEST(ProjectFileFormat, ReadsFourLinesAndIgnoresTheRest)
{
    const auto parsed = ParseProjectFile("Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\nextra\r\n");
    ASSERT_TRUE(parsed.ok()) << parsed.error().toStdString();
    EXPECT_EQ(parsed->info.ProjectName, "Demo");
    EXPECT_EQ(quint16(parsed->info.StartAddress), 0x2E9B);
    EXPECT_EQ(quint16(parsed->info.EndAddress), 0xD200);
    EXPECT_EQ(parsed->mainFileEntry, "GAME.PAS");
    EXPECT_EQ(ProjectFileBytes(parsed->info, "GAME.PAS"), "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
}

TEST(ProjectFileFormat, NameAndMainFileAreTheFileSystemsBytes)
{
    // A project named and kept in a Cyrillic folder: written as the file system has the names
    // (not as "?"), and read back unchanged.
    ProjectInfo info;
    info.ProjectName = QString::fromUtf8("Спрайт");
    const QString main = QString::fromUtf8("/home/u/проект/спрайт.pas");
    const QByteArray bytes = ProjectFileBytes(info, main);
    EXPECT_EQ(bytes, QByteArray("\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB9\xD1\x82\r\n2E9B\r\nD200\r\n/home/u/"
                                "\xD0\xBF\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82/\xD1\x81\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB9\xD1\x82.pas\r\n"));
    const auto parsed = ParseProjectFile(bytes);
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed->info.ProjectName, info.ProjectName);
    EXPECT_EQ(parsed->mainFileEntry, main);

    // A file written on Windows holds its 8-bit code page: those bytes still read as before.
    const auto windows = ParseProjectFile("Caf\xE9\r\n2E9B\r\nD200\r\nC:\\Jeux\\CAF\xC9.PAS\r\n");
    ASSERT_TRUE(windows.ok());
    EXPECT_EQ(windows->info.ProjectName, QString::fromUtf8("Café"));
    EXPECT_EQ(windows->mainFileEntry, QString::fromUtf8("C:\\Jeux\\CAFÉ.PAS"));
}

TEST(ProjectFileFormat, SaveProjectNamesStayInsideTheProjectFolder)
{
    struct Row { const char* name; const char* base; };
    const Row rows[] = {
        {"Demo", "Demo"}, {"../../escaped", "escaped"}, {"..\\..\\win", "win"}, {"/etc/passwd", "passwd"},
        {"..", "GAME"}, {".", "GAME"}, {"a/..", "GAME"}, {"dir/", "GAME"}, {"Demo..v2", "Demo..v2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ProjectFileBaseName(row.name, "GAME.PAS"), row.base);
    }
}

TEST(ProjectFileFormat, UnreadableFilesGiveAReason)
{
    struct Row { const char* name; QByteArray bytes; const char* reasonPart; };
    const Row rows[] = {
        {"three lines", "Demo\r\n2E9B\r\nD200\r\n", "of the four lines"},
        {"empty", "", "of the four lines"},
        {"bad start", "Demo\r\nXYZ\r\nD200\r\nA.PAS\r\n", "start address"},
        {"five digits", "Demo\r\n2E9B\r\n1D200\r\nA.PAS\r\n", "end address"},
        {"binary", QByteArray("MZ\x90\x00\x03\x00\r\n\r\n\r\n\r\n", 14), "binary"},
        {"no main file", "Demo\r\n2E9B\r\nD200\r\nC:\\dir\\\r\n", "main Pascal file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto parsed = ParseProjectFile(row.bytes);
        ASSERT_FALSE(parsed.ok());
        EXPECT_TRUE(parsed.error().contains(row.reasonPart)) << parsed.error().toStdString();
    }
}

TEST(IncludeDirectives, TheWholeLineMustBeTheDirective)
{
    struct Row { const char* line; const char* file; };
    const Row rows[] = {
        {"{$I graph.inc}", "GRAPH.INC"}, {"{$i  UTIL.INC }", "UTIL.INC"}, {"  {$I lib\\x.inc}  ", "LIB\\X.INC"},
        {"{$I-}", nullptr}, {"{$I+}", nullptr}, {"writeln('x');", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const auto file = IncludeDirectiveFile(row.line);
        if (row.file) {
            ASSERT_TRUE(file.has_value());
            EXPECT_EQ(*file, row.file);
        } else {
            EXPECT_FALSE(file.has_value());
        }
    }
    // Other text beside the directive stays in the name, which then names no file.
    EXPECT_EQ(*IncludeDirectiveFile("x := 1; {$I a.inc}"), "X := 1;  A.INC");
    // Only ASCII letters change case: ß must not become SS, or straße.inc is never found.
    EXPECT_EQ(*IncludeDirectiveFile(QString::fromUtf8("{$I straße.inc}")), QString::fromUtf8("STRAßE.INC"));
    EXPECT_EQ(*IncludeDirectiveFile(QString::fromUtf8("{$I café.inc}")), QString::fromUtf8("CAFé.INC"));
}

TEST(IncludeDirectives, OnlyAsciiLettersAreUpperCased)
{
    // Names are matched with the files in ASCII case only, so any other letter must keep its
    // case (and its length: ß is not SS), or the include is never found.
    struct Row { const char* bytes; QString file; };
    const Row rows[] = {
        {"{$I stra\xdf" "e.inc}", QString::fromUtf8("STRAßE.INC")},
        {"{$i \xe9t\xe9.inc}", QString::fromUtf8("éTé.INC")},
        {"{$I \xff\xb5.inc}", QString::fromUtf8("ÿµ.INC")},
        {"y${$II x.in\xee", QString::fromUtf8("Y$I X.INî")}, // found by the include-scan fuzz target
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(IncludeDirectiveFiles(row.bytes), QStringList{row.file});
        EXPECT_EQ(IncludeDirectiveFile(QString::fromLatin1(row.bytes)), row.file);
    }
}

TEST(SortStrings, BinaryOrderUpperCaseFirst)
{
    QStringList names{"beta", "Alpha", "Zed"};
    SortStrings(names, false);
    EXPECT_EQ(names, (QStringList{"Alpha", "Zed", "beta"}));
    SortStrings(names, true);
    EXPECT_EQ(names, (QStringList{"beta", "Zed", "Alpha"}));

    QStringList many;
    for (int i = 0; i < 100; ++i)
        many.append(QString::number((i * 37) % 100).rightJustified(3, '0'));
    QStringList expected = many;
    std::sort(expected.begin(), expected.end());
    SortStrings(many, false);
    EXPECT_EQ(many, expected);
    QStringList none;
    SortStrings(none, false);
    EXPECT_TRUE(none.isEmpty());
}

TEST(IncludeDirectives, AWholeTextIsScannedLineByLine)
{
    const QByteArray text = "program x;\r\n{$I a.inc}\r\n  {$i B.INC }\n{$I-}\rx := 1; {$I c.inc}\r\n{$I d.inc}";
    EXPECT_EQ(IncludeDirectiveFiles(text), (QStringList{"A.INC", "B.INC", "X := 1;  C.INC", "D.INC"}));
    EXPECT_TRUE(IncludeDirectiveFiles("").isEmpty());
    EXPECT_TRUE(IncludeDirectiveFiles(QByteArray("\0\xFF{$", 4)).isEmpty());
    // Braces that open no directive, one right before a directive, and one as the last byte.
    const std::optional<QString> onItsLine = IncludeDirectiveFile("{ c }{{$I e.inc}");
    ASSERT_TRUE(onItsLine);
    EXPECT_EQ(IncludeDirectiveFiles("{ c }{{$I e.inc}\r\n{\r\n$I f.inc}\r\n{"), QStringList{*onItsLine});
}

TEST(IncludeDirectives, OnePassFindsDirectivesAndHeadersAtEveryPlaceOfTheScannersSteps)
{
    // After a first line of every length to past twice the widest step (64 bytes), the marks
    // start at every place of a step, their second byte also in the next step.
    for (int shift = 0; shift < 140; ++shift) {
        SCOPED_TRACE(shift);
        const QByteArray text = QByteArray(shift, 'x') + "\n{$I a.inc}\nprocedure P; {$I not.inc}\n" + QByteArray(shift, ' ')
            + "{$i B.INC}";
        const SourceOutline both = OutlineOf(text);
        // A directive beside other text takes that text along, as IncludeDirectiveFile does.
        EXPECT_EQ(both.includes, (QStringList{"A.INC", "PROCEDURE P;  NOT.INC", "B.INC"}));
        EXPECT_EQ(both.headers, QStringList{"P; {$I not.inc}"});
        EXPECT_EQ(OutlineOf(text, OutlineIncludes).includes, both.includes);
        EXPECT_TRUE(OutlineOf(text, OutlineIncludes).headers.isEmpty());
        EXPECT_EQ(OutlineOf(text, OutlineHeaders).headers, both.headers);
        EXPECT_TRUE(OutlineOf(text, OutlineHeaders).includes.isEmpty());
    }
}
