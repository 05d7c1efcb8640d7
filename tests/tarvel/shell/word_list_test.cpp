#include "shell/ShellLayout.h"
#include "shell/WordList.h"

#include "TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

TEST(WordList, OneEntryPerLineAndNoEmptyEntryAfterTheLastLineEnd)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("help/autocomplete.txt"), "WriteLn(x)\r\nRead(x)\r\nGotoXY(x, y)\r\n");
    EXPECT_EQ(ReadWordList(dir.path()), (QStringList{"WriteLn(x)", "Read(x)", "GotoXY(x, y)"}));
    testfiles::write(dir.filePath("help/autocomplete.txt"), "A\nB");
    EXPECT_EQ(ReadWordList(dir.path()), (QStringList{"A", "B"}));
}

TEST(WordList, AMissingOrEmptyFileGivesAnEmptyList)
{
    QTemporaryDir dir;
    EXPECT_TRUE(ReadWordList(dir.path()).isEmpty());
    testfiles::write(dir.filePath("help/autocomplete.txt"), "");
    EXPECT_TRUE(ReadWordList(dir.path()).isEmpty());
}

TEST(ShellLayout, TreeShownOrHidden)
{
    const ShellLayout start;
    const ShellLayout shown = ComputeShellLayout(8910, 6750, 375, true, start);
    EXPECT_TRUE(shown.treeVisible);
    EXPECT_EQ(shown.editorLeft, 2400);
    EXPECT_EQ(shown.editorWidth, 8910 - 2415);
    EXPECT_EQ(shown.editorHeight, 6750 - 375 - 70);
    EXPECT_EQ(shown.treeHeight, 6750 - 375 - 70);

    const ShellLayout hidden = ComputeShellLayout(8910, 6750, 375, false, shown);
    EXPECT_FALSE(hidden.treeVisible);
    EXPECT_EQ(hidden.editorLeft, 0);
    EXPECT_EQ(hidden.editorWidth, 8900);
    EXPECT_EQ(hidden.treeHeight, shown.treeHeight);
}

TEST(ShellLayout, SizesThatWouldGoNegativeAreLeftAlone)
{
    ShellLayout current;
    current.editorWidth = 1234;
    current.editorHeight = 999;
    current.treeHeight = 888;
    const ShellLayout narrow = ComputeShellLayout(5, 6750, 375, false, current);
    EXPECT_EQ(narrow.editorWidth, 1234) << "a window under 10 twips wide keeps the editor's width";
    const ShellLayout small = ComputeShellLayout(2000, 400, 375, true, current);
    EXPECT_EQ(small.editorWidth, 1234);
    EXPECT_EQ(small.editorHeight, 999);
    EXPECT_EQ(small.treeHeight, 888);
    const ShellLayout exact = ComputeShellLayout(2416, 445, 375, true, current);
    EXPECT_EQ(exact.editorWidth, 1);
    EXPECT_EQ(exact.editorHeight, 0);
}

TEST(ShellLayout, HalfHeightRoundsHalvesToEven)
{
    EXPECT_EQ(HalfHeightPixels(6305), 210); // 420.33 px / 2
    EXPECT_EQ(HalfHeightPixels(75), 2);     // 5 px / 2 = 2.5 -> 2
    EXPECT_EQ(HalfHeightPixels(105), 4);    // 7 px / 2 = 3.5 -> 4
    EXPECT_EQ(HalfHeightPixels(0), 0);
}
