#include "projects/OpenProject.h"
#include "projects/ProjectTree.h"

#include "TestFiles.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

struct Expected {
    const char* key;
    const char* text;
    int image;
    int parent;
};

void expectTree(const ProjectTree& tree, std::initializer_list<Expected> nodes)
{
    ASSERT_EQ(tree.count(), int(nodes.size()));
    int index = 1;
    for (const Expected& n : nodes) {
        SCOPED_TRACE(n.key);
        EXPECT_EQ(tree.node(index).key, QString::fromUtf8(n.key));
        EXPECT_EQ(tree.node(index).text, QString::fromUtf8(n.text));
        EXPECT_EQ(tree.node(index).image, n.image);
        EXPECT_EQ(tree.node(index).parent, n.parent);
        EXPECT_EQ(tree.indexOfKey(QString::fromUtf8(n.key)), index);
        ++index;
    }
}

// A project folder holding the given files.
class Folder {
public:
    Folder(std::initializer_list<std::pair<const char*, QByteArray>> files)
    {
        for (const auto& [name, bytes] : files)
            testfiles::write(m_dir.filePath(QString::fromUtf8(name)), bytes);
    }
    QString path() const { return m_dir.path() + "/"; }
    ProjectTree build(const QByteArray& mainText, const QString& mainName = "game.pas") const
    {
        return BuildProjectTree("Demo", mainName, mainText, common::FolderIndex(path()));
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(ProjectTreeBuilding, MainIncludesAndNestedIncludesWithTheirKeysImagesAndParents)
{
    const Folder folder{{"game.pas", ""},
                        {"graph.inc", "{$I deep.inc}\r\n{$I gone.inc}\r\n"},
                        {"UTIL.INC", "x := 1; {$I deep.inc}\r\n"},
                        {"b.inc", "{$I c.inc}\r\n{$I deep.inc}\r\n"},
                        {"c.inc", "{$I graph.inc}\r\n"},
                        {"deep.inc", "{$I b.inc}\r\n"}};
    const ProjectTree tree = folder.build("program game;\r\n{$I graph.inc}\r\n{$i  util.inc }\r\n{$I missing.inc}\r\n"
                                          "{$I-}\r\nwriteln; {$I b.inc}\r\n{$I B.INC}\r\n");
    // Counters: includes of the main text count up after each node (1, 2, 3), nested ones before
    // each node, so the first nested include is 5.
    expectTree(tree, {{"r", "Demo", ImageClosed, 0},
                      {"game.pas0", "GAME.PAS", ImageClosed, 1},
                      {"GRAPH.INC1", "GRAPH.INC", ImageOpen, 2},
                      {"UTIL.INC2", "UTIL.INC", ImageFile, 2},
                      {"B.INC3", "B.INC", ImageOpen, 2},
                      {"DEEP.INC5", "DEEP.INC", ImageFile, 3},
                      {"C.INC6", "C.INC", ImageFile, 5},
                      {"DEEP.INC7", "DEEP.INC", ImageFile, 5}});
}

TEST(ProjectTreeBuilding, EachIncludeIsReadOnceAndOneThatFailsIsListedWithoutItsIncludes)
{
    const Folder folder{{"game.pas", ""}, {"a.inc", "{$I deep.inc}\r\n"}, {"locked.inc", "{$I deep.inc}\r\n"},
                        {"b.inc", "{$I deep.inc}\r\n"}, {"deep.inc", ""}};
    // The listing found the file, but reading it fails: it is listed, its own includes are not.
    QMap<QString, int> reads;
    const auto read = [&](const QString& path) {
        ++reads[common::ExtractFileName(path)];
        return path.endsWith("locked.inc") ? common::Result<QByteArray>::failure("Permission denied")
                                           : common::ReadFileBytes(path);
    };
    const ProjectTree tree = BuildProjectTree("Demo", "game.pas", "{$I a.inc}\r\n{$I locked.inc}\r\n{$I b.inc}\r\n"
                                              "{$I A.INC}\r\n{$I locked.inc}\r\n", common::FolderIndex(folder.path()), read);
    expectTree(tree, {{"r", "Demo", ImageClosed, 0},
                      {"game.pas0", "GAME.PAS", ImageClosed, 1},
                      {"A.INC1", "A.INC", ImageOpen, 2},
                      {"LOCKED.INC2", "LOCKED.INC", ImageFile, 2},
                      {"B.INC3", "B.INC", ImageOpen, 2},
                      {"A.INC4", "A.INC", ImageOpen, 2},
                      {"LOCKED.INC5", "LOCKED.INC", ImageFile, 2},
                      {"DEEP.INC7", "DEEP.INC", ImageFile, 3},
                      {"DEEP.INC8", "DEEP.INC", ImageFile, 5},
                      {"DEEP.INC9", "DEEP.INC", ImageFile, 6}});
    // Included twice, read once; the nested include is not scanned, so not read.
    EXPECT_EQ(reads, (QMap<QString, int>{{"a.inc", 1}, {"locked.inc", 1}, {"b.inc", 1}}));
}

TEST(ProjectTreeBuilding, OnlyTheMainNodeWhenNothingIsIncluded)
{
    const Folder folder{{"Main.PAS", "{$I x.inc}\r\n"}};
    expectTree(folder.build("begin end.", "Main.PAS"),
               {{"r", "Demo", ImageClosed, 0}, {"Main.PAS0", "MAIN.PAS", ImageClosed, 1}});
}

TEST(ProjectTreeBuilding, NamesChangeCaseInAsciiOnly)
{
    // Sources are 8-bit text; the file names on disk are the file system's (UTF-8) names.
    const Folder folder{{"straße.pas", ""}, {"straße.inc", ""}, {"café.inc", ""}};
    expectTree(folder.build("{$I stra\xDF" "e.inc}\r\n{$I caf\xE9.inc}\r\n", QString::fromUtf8("straße.pas")),
               {{"r", "Demo", ImageClosed, 0},
                {"straße.pas0", "STRAßE.PAS", ImageClosed, 1},
                {"STRAßE.INC1", "STRAßE.INC", ImageFile, 2},
                {"CAFé.INC2", "CAFé.INC", ImageFile, 2}});
}

TEST(ProjectTreeKeys, NamesAndCountersThatCollideGetUniqueKeys)
{
    // F1 with counter 1 and F with counter 11 both make "F11"; so do X with 11 and X1 with 1.
    QByteArray main = "{$I F1}\r\n";
    for (int i = 0; i < 10; ++i)
        main += "{$I F}\r\n";
    const Folder folder{{"f1", ""}, {"f", ""}, {"m.pas", ""}};
    const ProjectTree tree = folder.build(main, "m.pas");
    ASSERT_EQ(tree.count(), 2 + 11);
    EXPECT_EQ(tree.node(3).key, "F11");
    EXPECT_EQ(tree.node(13).key, "F11#2");
    QSet<QString> keys;
    for (int i = 1; i <= tree.count(); ++i) {
        keys.insert(tree.node(i).key);
        EXPECT_EQ(tree.indexOfKey(tree.node(i).key), i);
    }
    EXPECT_EQ(keys.size(), tree.count());

    ProjectTree direct;
    EXPECT_EQ(direct.add("A12", "A1", ImageFile, 0), 1);
    EXPECT_EQ(direct.add("A12", "A", ImageFile, 0), 2);
    EXPECT_EQ(direct.add("A12#2", "B", ImageFile, 0), 3) << "a key taken by a suffix is made unique too";
    EXPECT_EQ(direct.node(2).key, "A12#2");
    EXPECT_EQ(direct.node(3).key, "A12#2#2");
    EXPECT_EQ(direct.indexOfKey("none"), 0);
}

class OpenProjectState : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::make_unique<Folder>(std::initializer_list<std::pair<const char*, QByteArray>>{
            {"game.pas", ""}, {"graph.inc", "{$I deep.inc}\r\n"}, {"deep.inc", ""}});
        ProjectInfo info;
        info.ProjectName = "Demo";
        state.setInfo(info);
        ASSERT_TRUE(state.open(folder->path(), folder->build("{$I GRAPH.INC}\r\n")));
    }

    std::unique_ptr<Folder> folder;
    OpenProject state;
};

TEST_F(OpenProjectState, OpeningShowsTheMainFileWithFreshCaretsAndRoutineLists)
{
    EXPECT_TRUE(state.isOpen());
    EXPECT_EQ(state.projectDir(), folder->path());
    EXPECT_EQ(state.nodeCount(), 4);
    EXPECT_EQ(state.shownNode(), 2);
    EXPECT_EQ(state.selectedNode(), 2);
    EXPECT_EQ(state.currentKey(), "game.pas0");
    EXPECT_EQ(state.shownName(), "GAME.PAS");
    EXPECT_EQ(state.shownFilePath(), folder->path() + "game.pas");
    EXPECT_EQ(state.filePath(3), folder->path() + "graph.inc") << "found without regard to case";
    EXPECT_EQ(state.filePath(1), "") << "the root has no file";
    EXPECT_EQ(state.fileCount(), 3);
    for (int i = 0; i <= 4; ++i)
        EXPECT_EQ(state.caret(i), CaretPosition{});
}

TEST_F(OpenProjectState, TheShownDocumentIsAlwaysAFileNode)
{
    state.rememberCaret({4, 7});
    EXPECT_TRUE(state.show(4));
    EXPECT_EQ(state.currentKey(), "DEEP.INC3");
    EXPECT_EQ(state.selectedNode(), 4);
    EXPECT_EQ(state.caret(2), (CaretPosition{4, 7}));
    state.rememberCaret({-3, 2});
    EXPECT_EQ(state.caret(4), (CaretPosition{0, 2})) << "never negative";

    for (int bad : {0, 1, 5, -1}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(state.show(bad));
        EXPECT_EQ(state.shownNode(), 4);
    }
    state.selectRoot();
    EXPECT_EQ(state.selectedNode(), 1);
    EXPECT_EQ(state.shownNode(), 4) << "highlighting the root keeps the document";
    state.selectShown();
    EXPECT_EQ(state.selectedNode(), 4);
}

TEST_F(OpenProjectState, RecordChangesRenameTheRootAndOutliveTheTree)
{
    state.setProjectName("Renamed");
    EXPECT_EQ(state.info().ProjectName, "Renamed");
    EXPECT_EQ(state.node(1).text, "Renamed");
    state.setAddresses(qint16(0x100), qint16(0xF93C));
    EXPECT_EQ(quint16(state.info().StartAddress), 0x100);
    EXPECT_EQ(quint16(state.info().EndAddress), 0xF93C);

    state.setNodeImage(2, ImageOpen);
    EXPECT_EQ(state.node(2).image, ImageOpen);
    state.setNodeImage(2, 7);
    EXPECT_EQ(state.node(2).image, ImageOpen) << "no such image";

    state.setRoutines(1, {"procedure g;"});
    EXPECT_EQ(state.routines(1), QStringList{"procedure g;"});
    EXPECT_TRUE(state.routines(3).isEmpty());
    state.setRoutines(9, {"ignored"});
    EXPECT_TRUE(state.routines(9).isEmpty());

    state.close();
    EXPECT_EQ(state.info().ProjectName, "Renamed") << "the record stays for the next project";
    EXPECT_EQ(quint16(state.info().StartAddress), 0x100);
}

TEST_F(OpenProjectState, WithNoProjectNothingCanBeSaved)
{
    state.show(3);
    state.close();
    EXPECT_FALSE(state.isOpen());
    EXPECT_EQ(state.nodeCount(), 0);
    EXPECT_EQ(state.shownNode(), 0);
    EXPECT_EQ(state.selectedNode(), 0);
    EXPECT_EQ(state.currentKey(), "");
    EXPECT_EQ(state.shownFilePath(), "");
    EXPECT_EQ(state.projectDir(), "");
    EXPECT_EQ(state.fileCount(), 0);
    EXPECT_FALSE(state.show(2));
    state.selectRoot();
    EXPECT_EQ(state.selectedNode(), 0);
    state.rememberCaret({1, 1}); // entry 0: no document
    EXPECT_EQ(state.caret(0), (CaretPosition{1, 1}));

    ProjectTree rootOnly;
    rootOnly.add(RootKey, "Demo", ImageClosed, 0);
    EXPECT_FALSE(state.open(folder->path(), rootOnly)) << "a tree without a main file is no project";
    EXPECT_FALSE(state.isOpen());
}
