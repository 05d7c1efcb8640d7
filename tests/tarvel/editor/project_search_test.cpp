#include "editor/ProjectSearch.h"

#include "TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using tarvel::SearchFile;
using tarvel::SearchHit;
using tarvel::SearchRequest;

TEST(ProjectSearch, FindsEachLineOnceWithTheOptionsAndEveryKindOfLineEnd)
{
    // Lines: 0 "Writeln(count);", 1 "count:=Count+1;", 2 "recount", 3 "x" (lone CR before), 4 "COUNT_2 count"
    const QByteArray text = "Writeln(count);\r\ncount:=Count+1;\nrecount\rx\r\nCOUNT_2 count\xe9";
    const struct {
        const char* name;
        SearchRequest request;
        QList<int> lines;
        QList<int> columns;
    } cases[] = {
        {"any case, part of words", {"count", false, false}, {0, 1, 2, 4}, {8, 0, 2, 0}},
        {"case", {"Count", true, false}, {1}, {7}},
        {"whole word", {"count", false, true}, {0, 1}, {8, 0}},
        {"whole word: underscore and 8-bit letters join words", {"count", true, true}, {0, 1}, {8, 0}},
        {"8-bit letters fold", {QString(QChar(0xc9)), false, false}, {4}, {13}},
        {"not there", {"zebra", false, false}, {}, {}},
        {"nothing to look for", {"", false, false}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<SearchHit> hits = tarvel::SearchText(text, "A.INC", c.request);
        QList<int> lines, columns;
        for (const SearchHit& hit : hits) {
            lines << hit.line;
            columns << hit.column;
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(columns, c.columns);
    }
    const QList<SearchHit> hits = tarvel::SearchText(text, "A.INC", {"x", true, true});
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0], (SearchHit{"A.INC", 3, 0, "x"})) << "a lone CR ends a line";
    EXPECT_EQ(tarvel::SearchText(text, "A.INC", {"count", false, false}).value(1).lineText, "count:=Count+1;");
}

TEST(ProjectSearch, SearchesEditedTextOrTheDiskOnceAFileAndReportsWhatItCouldNotRead)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("main.pas"), "begin Go end.\r\n");
    testfiles::write(dir.filePath("a.inc"), "procedure Go;\r\n");
    const QList<SearchFile> files = {
        {"MAIN.PAS", dir.filePath("main.pas"), QByteArray("{ edited }\r\nbegin Go; Go end.\r\n")},
        {"A.INC", dir.filePath("a.inc"), std::nullopt},
        {"A.INC", dir.filePath("a.inc"), std::nullopt}, // included twice
        {"GONE.INC", dir.filePath("gone.inc"), std::nullopt},
    };
    const tarvel::SearchResults results = tarvel::SearchFiles(files, {"go", false, true});
    ASSERT_EQ(results.hits.size(), 2);
    EXPECT_EQ(results.hits[0], (SearchHit{"MAIN.PAS", 1, 6, "begin Go; Go end."}));
    EXPECT_EQ(results.hits[1], (SearchHit{"A.INC", 0, 10, "procedure Go;"}));
    EXPECT_EQ(results.unreadable, QStringList{"GONE.INC"});
    EXPECT_FALSE(results.cutShort);

    bool cut = false;
    const QByteArray many = QByteArray("go\n").repeated(5);
    EXPECT_EQ(tarvel::SearchText(many, "A", {"go", false, false}, 3, &cut).size(), 3);
    EXPECT_TRUE(cut);
}
