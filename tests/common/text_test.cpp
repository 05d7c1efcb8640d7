#include "core/Text.h"

#include <gtest/gtest.h>

using namespace common;

TEST(Text, RemoveTextIgnoresCaseAndRemovesJoinedOccurrences)
{
    EXPECT_EQ(RemoveText("Main.PAS", ".pas"), "Main");
    EXPECT_EQ(RemoveText("my.pascal.pas", ".pas"), "mycal");
    EXPECT_EQ(RemoveText("ppasas", "pas"), "");
    EXPECT_EQ(RemoveText("", ".pas"), "");
    EXPECT_EQ(RemoveText("{$I GRAPH.INC}", "{$I"), " GRAPH.INC}");
}

TEST(Text, ReplaceTextRespectsCaseAndDoesNotRescanReplacements)
{
    EXPECT_EQ(ReplaceText("-diska %dsk -msx2", "%dsk", "/k/d.dsk"), "-diska /k/d.dsk -msx2");
    EXPECT_EQ(ReplaceText("%dsk %dsk", "%dsk", "x"), "x x");
    EXPECT_EQ(ReplaceText("%DSK", "%dsk", "x"), "%DSK");
    EXPECT_EQ(ReplaceText("a", "a", "aa"), "aa");
    EXPECT_EQ(ReplaceText("no placeholder", "%dsk", "x"), "no placeholder");
}

TEST(Text, SplitText)
{
    struct Row { const char* in; QStringList out; };
    const Row rows[] = {
        {"a b", {"a", "b"}},
        {"a  b", {"a", "", "b"}},
        {"a b ", {"a", "b"}},
        {"", {""}},
        {" ", {""}},
        {"single", {"single"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.in);
        EXPECT_EQ(SplitText(row.in, " "), row.out);
    }
}

TEST(Text, TrimAtNull)
{
    EXPECT_EQ(TrimAtNull(QString("  abc  ") + QChar(0) + "rest"), "abc");
    EXPECT_EQ(TrimAtNull("   "), "");
    EXPECT_EQ(TrimAtNull(""), "");
    EXPECT_EQ(TrimAtNull(" path "), "path");
}

TEST(Text, ShiftLeftWrapsAt32Bits)
{
    EXPECT_EQ(ShiftLeft(3, 4), 48);
    EXPECT_EQ(ShiftLeft(1, 31), std::numeric_limits<qint32>::min());
    EXPECT_EQ(ShiftLeft(-1, 1), -2);
}

TEST(Text, OnlyAsciiLettersChangeCase)
{
    EXPECT_EQ(AsciiUpper(QString::fromUtf8("straße.pas")), QString::fromUtf8("STRAßE.PAS"));
    EXPECT_EQ(AsciiUpper(QString::fromUtf8("спрайт.inc")), QString::fromUtf8("спрайт.INC"));
    EXPECT_EQ(AsciiUpper(QString::fromUtf8("é-z{")), QString::fromUtf8("é-Z{"));
    EXPECT_TRUE(AsciiEqualsNoCase("Graph.Inc", "GRAPH.INC"));
    EXPECT_FALSE(AsciiEqualsNoCase(QString::fromUtf8("é.inc"), QString::fromUtf8("É.INC")));
    EXPECT_FALSE(AsciiEqualsNoCase(QString::fromUtf8("straße"), "STRASSE"));
}
