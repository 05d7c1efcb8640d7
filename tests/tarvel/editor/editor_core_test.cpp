#include "editor/IncludeFiles.h"
#include "editor/PaneCycling.h"
#include "editor/RoutineHeaders.h"
#include "editor/SignatureLookup.h"

#include "TestFiles.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tarvel;

TEST(RoutineHeader, TheHeaderRuleLineByLine)
{
    const struct {
        const char* name;
        QString line;
        std::optional<QString> header;
    } rows[] = {
        {"function", "function Max(a, b: Integer): Integer;", "Max(a, b: Integer): Integer;"},
        {"procedure, blanks trimmed", "  PROCEDURE Init;  ", "Init;"},
        {"keyword in any case, header as written", "Function FooBar(X: Real): Real; { comment }", "FooBar(X: Real): Real; { comment }"},
        {"extra blanks after the keyword stay", "   function   Twice(i: Integer): Integer;", "  Twice(i: Integer): Integer;"},
        {"tab indent is not trimmed", "\tprocedure P;", std::nullopt},
        {"tab after the keyword", "function\tF;", std::nullopt},
        {"keyword at the line end", "procedure", std::nullopt},
        {"keyword and trailing blanks", "function   ", std::nullopt},
        {"later occurrence", "FUNCTIONS FUNCTION X", "X"},
        {"later occurrence, procedure", "procedures procedure Y(a);", "Y(a);"},
        {"not at the start", "x := 1; function F;", std::nullopt},
        {"other keyword after procedure", "PROCEDURE FUNCTION Z", "FUNCTION Z"},
        {"forward declaration counts", "procedure Later; forward;", "Later; forward;"},
        {"plain statement", "WriteLn('function x');", std::nullopt},
        {"empty", "", std::nullopt},
        {"8-bit bytes kept", QString::fromLatin1("procedure Gr\xfc\xdf(\xe9);"), QString::fromLatin1("Gr\xfc\xdf(\xe9);")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RoutineHeader(row.line), row.header);
        // The file scan applies the same rule to each line.
        EXPECT_EQ(RoutineHeadersOf(row.line.toLatin1()), row.header ? QStringList{*row.header} : QStringList{});
    }
}

TEST(RoutineHeader, AFileGivesItsHeadersInOrderWhateverItsLineEnds)
{
    EXPECT_EQ(RoutineHeadersOf("function Add(x, y: Integer): Integer;\r\nbegin end;\nprocedure Show(s: Str80);\rprocedure Last;"),
              (QStringList{"Add(x, y: Integer): Integer;", "Show(s: Str80);", "Last;"}));
    EXPECT_TRUE(RoutineHeadersOf("").isEmpty());
    EXPECT_TRUE(RoutineHeadersOf("\r\n\r\n\n").isEmpty());
    // A header continued on the next line keeps only its first line; a NUL byte is an ordinary byte.
    static const char withNul[] = "procedure A(x,\r\n  y: Byte);\r\nfunction B\0C;\r\n";
    EXPECT_EQ(RoutineHeadersOf(QByteArray(withNul, sizeof(withNul) - 1)),
              (QStringList{"A(x,", QString("B") + QChar(0) + "C;"}));

    // Thousands of routines, and a header line of 100,000 characters.
    QByteArray many;
    for (int i = 0; i < 5000; ++i)
        many += "procedure P" + QByteArray::number(i) + ";\r\n  x := 1;\r\n";
    const QByteArray longName(100000, 'L');
    many += "function " + longName;
    const QStringList headers = RoutineHeadersOf(many);
    ASSERT_EQ(headers.size(), 5001);
    EXPECT_EQ(headers[4999], "P4999;");
    EXPECT_EQ(headers.last(), QString::fromLatin1(longName));
}

TEST(RoutineHeader, LineBreaksAreFoundWhereverTheyFallInALongLine)
{
    // Lines of every length around the scanner's 16- and 32-byte steps, each ended by CR LF,
    // LF or CR, give the same headers as the lines split one by one.
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        QByteArray text;
        QStringList expected;
        for (int length = 0; length < 40; ++length) {
            const QByteArray name = QByteArray(length, 'n') + QByteArray::number(length);
            text += (length % 2 ? "  procedure " : "function ") + name + lineEnd + "  x := " + QByteArray(length, 'y') + lineEnd;
            expected.append(QString::fromLatin1(name));
        }
        SCOPED_TRACE(QByteArray(lineEnd).toHex().toStdString());
        EXPECT_EQ(RoutineHeadersOf(text), expected);
        EXPECT_EQ(RoutineHeadersOf(text.chopped(QByteArray(lineEnd).size())), expected);
    }
}

TEST(RoutineHeader, AKeywordIsFoundAtEveryPlaceOfTheScannersSteps)
{
    // After a first line of every length to past twice the widest step (64 bytes), the keywords
    // start at every place of a step, their second letter also in the next step.
    for (int shift = 0; shift < 140; ++shift) {
        const QByteArray text = QByteArray(shift, 'x') + "\nfunction F;\n" + QByteArray(shift, ' ') + "PROCEDURE p";
        EXPECT_EQ(RoutineHeadersOf(text), (QStringList{"F;", "p"})) << shift;
    }
}

TEST(RoutineHeader, ReadingAFile)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("a.inc"), "procedure A;\r\n");
    ASSERT_TRUE(ReadRoutineHeaders(dir.filePath("a.inc")));
    EXPECT_EQ(ReadRoutineHeaders(dir.filePath("a.inc")).value(), QStringList{"A;"});
    EXPECT_FALSE(ReadRoutineHeaders(dir.filePath("gone.inc")));
    EXPECT_FALSE(ReadRoutineHeaders(dir.path())) << "a folder is no file";
}

TEST(SignatureLookup, TheWordIsUpperCasedAndCutAfterTheFirstCommaThenSemicolon)
{
    const struct {
        const char* word;
        const char* expected;
    } rows[] = {{"write", "WRITE"}, {"", ""}, {"a,b,foo", "B,FOO"}, {"x;foo", "FOO"}, {"a;b,c", "C"},
                {"a,b;c;d", "C;D"}, {"stra\xdf" "e", "STRA\xdf" "E"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.word);
        EXPECT_EQ(SignatureWord(QString::fromLatin1(row.word)), QString::fromLatin1(row.expected));
    }
}

namespace {

// Routine lists for a lookup; counts the calls for empty lists and can fill a list then.
class Lists final : public RoutineSource {
public:
    QList<QStringList> files;
    int emptyCalls = 0;
    std::function<void()> onEmpty;
    int fileCount() const override { return int(files.size()); }
    const QStringList& routines(int index) const override { return files.at(index); }
    void emptyListMet() override
    {
        ++emptyCalls;
        if (onEmpty)
            onEmpty();
    }
};

} // namespace

TEST(SignatureLookup, WordListFirstThenTheFilesInOrderFirstMatchWins)
{
    const QStringList words{"WriteLn(items)", "Write(items)", "Foo(x)", "", "ClrScr"};
    Lists lists;
    lists.files = {{"FooBar(a: Integer): Integer;"}, {"Show(s: Str80);", "ShowAll;"}};
    const struct {
        const char* word;
        std::optional<QString> hint;
    } rows[] = {
        {"", "WriteLn(items)"},               // the empty word matches the first entry
        {"WRITE", "WriteLn(items)"},          // the first entry that begins with it
        {"FOO", "Foo(x)"},                    // the word list before the headers
        {"FOOBAR", "FooBar(a: Integer): Integer;"},
        {"SHOWA", "ShowAll;"},
        {"WRITELN(ITEMS)X", std::nullopt},    // longer than every entry
        {"NONE", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.word);
        EXPECT_EQ(FindSignature(row.word, words, &lists), row.hint);
    }
    EXPECT_EQ(lists.emptyCalls, 0);
    EXPECT_EQ(FindSignature("FOOBAR", {}, nullptr), std::nullopt) << "no project: the word list only";
    EXPECT_TRUE(SignatureMatches(QString::fromLatin1("stra\xdf" "e"), QString::fromLatin1("STRA\xdf")));
    EXPECT_FALSE(SignatureMatches(QString::fromLatin1("\xc9t\xe9"), QString::fromLatin1("\xe9T")))
        << "only ASCII letters change case";
}

TEST(SignatureLookup, AnEmptyListIsSkippedInThisPassAndReportedOncePerLookup)
{
    Lists lists;
    lists.files = {{}, {}, {"Later;"}};
    // What the report rebuilds (here file 0) is not searched in this pass; later files are.
    lists.onEmpty = [&] {
        lists.files[0] = {"Early;"};
        lists.files[1] = {};
    };
    EXPECT_EQ(FindSignature("", {}, &lists), "Later;");
    EXPECT_EQ(lists.emptyCalls, 1) << "two empty lists, one report";
    EXPECT_EQ(FindSignature("", {}, &lists), "Early;");
    EXPECT_EQ(lists.emptyCalls, 1) << "found before the empty list";
    EXPECT_EQ(FindSignature("NOTHING", {}, &lists), std::nullopt);
    EXPECT_EQ(lists.emptyCalls, 2);
}

TEST(PaneCycling, NextAndPreviousWrapAround)
{
    const struct {
        int count, active, next, previous;
    } rows[] = {{1, 0, 0, 0}, {2, 0, 1, 1}, {2, 1, 0, 0}, {3, 1, 2, 0}, {3, 2, 0, 1}, {0, 0, 0, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.count << " panes, active " << row.active);
        EXPECT_EQ(NextPane(row.count, row.active), row.next);
        EXPECT_EQ(PreviousPane(row.count, row.active), row.previous);
    }
}

TEST(IncludeFiles, DirectiveAndInsertPosition)
{
    EXPECT_EQ(IncludeDirective("util.inc"), "{$i util.inc }");
    EXPECT_EQ(IncludeDirective("My Lib.LIB"), "{$i My Lib.LIB }");
    EXPECT_EQ(IncludeInsertPosition(true, {4, 7}), (TextPosition{4, 7}));
    EXPECT_EQ(IncludeInsertPosition(false, {4, 7}), (TextPosition{0, 0}));
}

TEST(IncludeFiles, NewIncludesGoIntoTheProjectFolderUnderAnExistingSpelling)
{
    QTemporaryDir dir;
    const QString project = dir.path() + "/work/";
    testfiles::write(project + "GFX.INC", "old");
    EXPECT_EQ(NewIncludePath("/elsewhere/x.inc", project), project + "x.inc");
    EXPECT_EQ(NewIncludePath(project + "util.inc", project), project + "util.inc");
    EXPECT_EQ(NewIncludePath("/other/gfx.inc", project), project + "GFX.INC");
}

TEST(IncludeFiles, CopyingOntoTheSameFileThroughALinkLeavesItWhole)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("work/gfx.inc"), "procedure gfx;\r\n");
    testfiles::write(dir.filePath("lib/gfx.inc"), "procedure newer;\r\n");
    ASSERT_TRUE(QFile::link(dir.filePath("work"), dir.filePath("alias")));
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath("work/gfx.inc")).constData(),
                     QFile::encodeName(dir.filePath("hard.inc")).constData()), 0);

    EXPECT_TRUE(IsSameFile(dir.filePath("alias/gfx.inc"), dir.filePath("work/gfx.inc")));
    EXPECT_TRUE(IsSameFile(dir.filePath("hard.inc"), dir.filePath("work/gfx.inc")));
    EXPECT_FALSE(IsSameFile(dir.filePath("lib/gfx.inc"), dir.filePath("work/gfx.inc")));
    EXPECT_FALSE(IsSameFile(dir.filePath("gone.inc"), dir.filePath("gone.inc")));

    for (const char* source : {"alias/gfx.inc", "hard.inc", "work/gfx.inc"}) {
        SCOPED_TRACE(source);
        EXPECT_TRUE(CopyFileOver(dir.filePath(source), dir.filePath("work/gfx.inc")));
        EXPECT_EQ(testfiles::read(dir.filePath("work/gfx.inc")), "procedure gfx;\r\n");
    }
    EXPECT_TRUE(IsSameFile(dir.filePath("hard.inc"), dir.filePath("work/gfx.inc"))) << "the hard link stays one file";

    EXPECT_TRUE(CopyFileOver(dir.filePath("lib/gfx.inc"), dir.filePath("work/gfx.inc")));
    EXPECT_EQ(testfiles::read(dir.filePath("work/gfx.inc")), "procedure newer;\r\n");
    EXPECT_FALSE(CopyFileOver(dir.filePath("lib/gone.inc"), dir.filePath("work/new.inc")));
    EXPECT_FALSE(QFile::exists(dir.filePath("work/new.inc")));
}
