#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

using Icon = common::Dialogs::Icon;
using Answer = common::Dialogs::Answer;

namespace {

// A project folder with a main file, two includes and a nested include.
struct GameProject {
    explicit GameProject(const TarvelKit& kit)
        : dir(kit.path("work/game dir") + "/")
    {
        testfiles::write(dir + "game.pas", "program game;\r\n{$I a.inc}\r\n{$I B.INC}\r\n{$I missing.inc}\r\n{$I-}\r\nbegin\r\nend.\r\n");
        testfiles::write(dir + "a.inc", "procedure a;\r\nbegin\r\nend;\r\n");
        testfiles::write(dir + "b.inc", "{$I c.inc}\r\nprocedure b;\r\nbegin\r\nend;\r\n");
        testfiles::write(dir + "c.inc", "{$I d.inc}\r\nprocedure c;\r\nbegin end;\r\n");
        testfiles::write(dir + "d.inc", "procedure d;\r\nbegin end;\r\n");
        testfiles::write(dir + "game.tpj", "Demo\r\n100\r\nF93C\r\nC:\\OTHER\\MACHINE\\GAME.PAS\r\n");
    }
    QString dir;
};

QAction* item(Form1& form, const char* name)
{
    return form.findChild<QAction*>(QString::fromLatin1(name));
}

void click(Form1& form, int index)
{
    form.TV_NodeClick(form.node(index));
}

// A click of the mouse on a node of the tree, as a user makes it.
void mouseClick(Form1& form, int index, Qt::MouseButton button = Qt::LeftButton)
{
    QTreeWidget* tree = form.tree();
    QTreeWidgetItem* item = form.node(index);
    ASSERT_NE(item, nullptr);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), button, Qt::NoModifier, tree->visualItemRect(item).center());
}

} // namespace

// The game project, opened.
class OpenGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = kit.startForm(dialogs);
        ASSERT_TRUE(form->OpenProjectFile(game.dir + "game.tpj"));
    }

    TarvelKit kit;
    GameProject game{kit};
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};

class SaveNamedProject : public OpenGame {};
class SwitchDocuments : public OpenGame {};
class Refresh : public OpenGame {};

TEST(OpenProject, BuildsTheTreeTwoLevelsDeepWithKeysImagesAndParents)
{
    TarvelKit kit;
    GameProject game(kit);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(game.dir + "game.tpj");
    item(*form, "mnuOpenProject")->trigger();

    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].title, "Open File");
    EXPECT_EQ(dialogs.calls()[0].filters[0].patterns, QStringList{"*.tpj"});
    EXPECT_EQ(dialogs.calls()[0].initialDirectory, kit.dir() + "/");

    struct Node { const char* key; const char* text; int image; int parent; };
    const Node expected[] = {
        {"r", "Demo", 1, 0}, {"game.pas0", "GAME.PAS", 1, 1}, {"A.INC1", "A.INC", 3, 2},
        {"B.INC2", "B.INC", 2, 2}, {"C.INC4", "C.INC", 3, 4},
    };
    ASSERT_EQ(form->nodeCount(), 5) << "d.inc sits three levels down and is not shown";
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(expected[i].key);
        QTreeWidgetItem* n = form->node(i + 1);
        const tarvel::ProjectNode& state = form->project().node(i + 1);
        EXPECT_EQ(state.key, expected[i].key);
        EXPECT_EQ(state.text, expected[i].text);
        EXPECT_EQ(state.image, expected[i].image);
        EXPECT_EQ(state.parent, expected[i].parent);
        EXPECT_EQ(n->text(0), expected[i].text);
        EXPECT_EQ(n->parent(), expected[i].parent ? form->node(expected[i].parent) : nullptr);
    }
    EXPECT_EQ(form->project().projectDir(), game.dir);
    EXPECT_EQ(form->browseDir(), game.dir);
    EXPECT_EQ(form->project().currentKey(), "game.pas0");
    EXPECT_EQ(form->tree()->currentItem(), form->node(2));
    EXPECT_EQ(form->panel(2)->text(), "Current View: GAME.PAS");
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(form->project().caret(i), tarvel::CaretPosition{}) << i;
    EXPECT_EQ(form->project().fileCount(), 4) << "one routine list per file node";
    EXPECT_EQ(quint16(form->projectInfo().StartAddress), 0x100);
    EXPECT_EQ(quint16(form->projectInfo().EndAddress), 0xF93C);
    EXPECT_TRUE(form->editor()->text().startsWith("program game;"));
    EXPECT_FALSE(form->editor()->isModified());
    for (const char* name : {"mnuSave", "mnuPrint", "mnuCompile", "mnuCompileRun", "mnuProp", "mnuRefresh", "mnuNewInc",
                             "mnuOpenIncfile", "mnuCompileCHN"})
        EXPECT_TRUE(item(*form, name)->isEnabled()) << name;
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "game.tpj");
}

TEST(OpenProject, IncludesAreFoundWithoutRegardToCaseAndSavedUnderTheirOwnName)
{
    TarvelKit kit;
    const QString dir = kit.path("p") + "/";
    testfiles::write(dir + "Main.pas", "program m;\r\n{$I GRAPH.INC}\r\nbegin end.\r\n");
    testfiles::write(dir + "graph.inc", "procedure g;\r\nbegin end;\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->setProjectName("Project");
    ASSERT_TRUE(form->LoadProject(dir + "Main.pas"));
    ASSERT_EQ(form->nodeCount(), 3);
    EXPECT_EQ(form->node(3)->text(0), "GRAPH.INC");

    click(*form, 3);
    EXPECT_EQ(form->editor()->text(), "procedure g;\r\nbegin end;\r\n");
    form->editor()->setText("procedure g2;\r\n");
    form->mnuSaveFile_Click();
    EXPECT_EQ(testfiles::read(dir + "graph.inc"), "procedure g2;\r\n");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2) << "no second file beside graph.inc";
}

TEST(OpenProject, SelfAndMutualIncludesDoNotLoopAndKeysStayUnique)
{
    TarvelKit kit;
    const QString dir = kit.path("loop") + "/";
    testfiles::write(dir + "m.pas", "{$I A1.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n"
                                    "{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n{$I A.INC}\r\n");
    testfiles::write(dir + "a1.inc", "{$I A1.INC}\r\n");
    testfiles::write(dir + "a.inc", "{$I B.INC}\r\n");
    testfiles::write(dir + "b.inc", "{$I A.INC}\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->LoadProject(dir + "m.pas"));
    // Main, 12 includes, and one nested node under each of them.
    EXPECT_EQ(form->nodeCount(), 2 + 12 + 12);
    QSet<QString> keys;
    for (int i = 1; i <= form->nodeCount(); ++i)
        keys.insert(form->project().node(i).key);
    EXPECT_EQ(keys.size(), form->nodeCount()) << "A1.INC with counter 2 and A.INC with 12 must differ";
}

TEST(OpenProject, AnIncludeWithAFolderPartThatCannotBeOpenedByNameIsLeftOut)
{
    TarvelKit kit;
    const QString dir = kit.path("lib") + "/";
    testfiles::write(dir + "m.pas", "{$I LIB\\X.INC}\r\n{$I sub}\r\n");
    testfiles::write(dir + "lib/x.inc", "procedure x;\r\n");
    QDir().mkpath(dir + "sub");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->LoadProject(dir + "m.pas"));
    EXPECT_EQ(form->nodeCount(), 2);
}

TEST(OpenProject, AMissingMainFileAsksWhereItIsThenGivesUp)
{
    TarvelKit kit;
    GameProject game(kit);
    QFile::remove(game.dir + "game.pas");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(game.dir + "game.tpj");
    item(*form, "mnuOpenProject")->trigger();

    ASSERT_EQ(dialogs.calls().size(), 3);
    const auto& ask = dialogs.calls()[1];
    EXPECT_EQ(ask.kind, ScriptedDialogs::Kind::Open);
    EXPECT_EQ(ask.title, "Show where the file GAME.PAS is");
    EXPECT_EQ(ask.filters[0].patterns, QStringList{"GAME.PAS"});
    EXPECT_EQ(ask.initialDirectory, game.dir);
    const auto& fatal = dialogs.calls()[2];
    EXPECT_EQ(fatal.text, "Could not find the file GAME.PAS");
    EXPECT_EQ(fatal.title, "Fatal Error");
    EXPECT_EQ(fatal.icon, Icon::Critical);
    EXPECT_EQ(form->editor()->text(), "");
    EXPECT_EQ(form->nodeCount(), 0);
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "game.tpj") << "still added to the recent list";
    EXPECT_EQ(form->browseDir(), game.dir);
}

TEST(OpenProject, AMovedMainFileCanBeShownAndIncludesStayInTheProjectFolder)
{
    TarvelKit kit;
    GameProject game(kit);
    const QString elsewhere = kit.path("moved/game.pas");
    testfiles::write(elsewhere, "program moved;\r\n{$I a.inc}\r\n");
    QFile::remove(game.dir + "game.pas");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(elsewhere);
    ASSERT_TRUE(form->OpenProjectFile(game.dir + "game.tpj"));
    EXPECT_TRUE(form->editor()->text().startsWith("program moved;"));
    EXPECT_EQ(form->project().projectDir(), game.dir);
    EXPECT_EQ(form->nodeCount(), 3);
}

TEST(OpenProject, AnUnreadableProjectFileChangesNothing)
{
    TarvelKit kit;
    GameProject game(kit);
    testfiles::write(game.dir + "bad.tpj", "Demo\r\nZZZZ\r\nD200\r\nGAME.PAS\r\n");
    testfiles::write(game.dir + "short.tpj", "Demo\r\n2E9B\r\n");
    testfiles::write(game.dir + "binary.tpj", QByteArray("\x7F" "ELF\x02\x01\x01\x00\x00\x00", 10));
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(game.dir + "game.tpj");
    item(*form, "mnuOpenProject")->trigger();
    const QString text = form->editor()->text();
    const auto recent = form->Settings.RecentFiles;

    for (const char* name : {"bad.tpj", "short.tpj", "binary.tpj"}) {
        SCOPED_TRACE(name);
        dialogs.clear();
        dialogs.queuePath(game.dir + name);
        item(*form, "mnuOpenProject")->trigger();
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_TRUE(dialogs.messages()[0].text.contains("is not a readable project file")) << dialogs.messages()[0].text.toStdString();
        EXPECT_TRUE(dialogs.messages()[0].text.contains(name));
        EXPECT_EQ(dialogs.messages()[0].title, "Error");
        EXPECT_EQ(form->projectInfo().ProjectName, "Demo");
        EXPECT_EQ(form->nodeCount(), 5);
        EXPECT_EQ(form->editor()->text(), text);
        EXPECT_EQ(form->Settings.RecentFiles, recent);
    }
}

TEST(OpenProject, ACommandLineProjectOpensAtStartInAnyLetterCase)
{
    TarvelKit kit;
    GameProject game(kit);
    QFile::rename(game.dir + "game.tpj", game.dir + "game.Tpj");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs, game.dir + "game.Tpj");
    EXPECT_EQ(form->projectInfo().ProjectName, "Demo");
    EXPECT_EQ(form->nodeCount(), 5);
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "game.Tpj");
    EXPECT_EQ(form->browseDir(), game.dir);
}

TEST_F(SaveNamedProject, GoesToItsNameInTheProjectFolder)
{
    item(*form, "mnuSavePrj")->trigger();
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(testfiles::read(game.dir + "Demo.tpj"), "Demo\r\n100\r\nF93C\r\nGAME.PAS\r\n");
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "Demo.tpj");
}

TEST(SaveProject, AnUnnamedProjectAsksForANameAndKeepsBeingUnnamed)
{
    TarvelKit kit;
    GameProject game(kit);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->setProjectName("Project");
    ASSERT_TRUE(form->LoadProject(game.dir + "game.pas"));

    item(*form, "mnuSavePrj")->trigger();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Save);
    EXPECT_EQ(dialogs.calls()[0].title, "Save Project");
    EXPECT_EQ(dialogs.calls()[0].presetName, game.dir + "GAME.tpj");
    EXPECT_EQ(dialogs.calls()[0].filters[0].patterns, QStringList{"*.tpj"});
    EXPECT_FALSE(QFile::exists(game.dir + "GAME.tpj")) << "cancelled: nothing written";

    dialogs.queuePath(game.dir + "mine.tpj");
    mouseClick(*form, 1);
    EXPECT_EQ(form->tree()->currentItem(), form->node(1));
    form->mnuSaveFile_Click(); // the root selected: Save Current File saves the project
    EXPECT_EQ(testfiles::read(game.dir + "mine.tpj"), "Project\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
    EXPECT_EQ(form->projectInfo().ProjectName, "Project");
}

TEST(SaveProject, AFailedWriteIsReportedAndNotAddedToTheRecentList)
{
    TarvelKit kit;
    GameProject game(kit);
    testfiles::write(game.dir + "Demo.tpj", "old");
    QFile::setPermissions(game.dir + "Demo.tpj", QFileDevice::ReadOwner);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->OpenProjectFile(game.dir + "game.tpj"));
    form->mnuSavePrj_Click();
    QFile::setPermissions(game.dir + "Demo.tpj", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("Demo.tpj"));
    EXPECT_EQ(testfiles::read(game.dir + "Demo.tpj"), "old");
    EXPECT_NE(form->Settings.RecentFiles[0], game.dir + "Demo.tpj");
}

TEST_F(SwitchDocuments, CaretsAreRememberedPerDocument)
{
    CodeEditor* code = form->editor();
    code->setCaret(5, 2);
    click(*form, 3);
    EXPECT_EQ(form->project().currentKey(), "A.INC1");
    EXPECT_EQ(form->panel(2)->text(), "Current View: A.INC");
    EXPECT_TRUE(code->text().startsWith("procedure a;"));
    int line = -1, column = -1;
    code->selectionStart(&line, &column);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 0);
    code->setCaret(1, 3);
    click(*form, 2);
    code->selectionStart(&line, &column);
    EXPECT_EQ(line, 5);
    EXPECT_EQ(column, 2);
    click(*form, 3);
    code->selectionStart(&line, &column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 3);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(SwitchDocuments, TheSaveQuestionAnswers)
{
    CodeEditor* code = form->editor();
    const QByteArray original = testfiles::read(game.dir + "game.pas");

    // Cancel: the edits, the shown document and its selected node stay.
    code->setText("edited");
    dialogs.queueAnswer(Answer::Cancel);
    click(*form, 3);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "This file has changed. Save it?");
    EXPECT_EQ(dialogs.messages()[0].title, "Save changes");
    EXPECT_EQ(dialogs.messages()[0].icon, Icon::Question);
    EXPECT_EQ(dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNoCancel);
    EXPECT_EQ(code->text(), "edited");
    EXPECT_TRUE(code->isModified());
    EXPECT_EQ(form->project().currentKey(), "game.pas0");
    EXPECT_EQ(form->tree()->currentItem(), form->node(2));

    // No: the edits are dropped.
    dialogs.queueAnswer(Answer::No);
    click(*form, 3);
    EXPECT_EQ(form->project().currentKey(), "A.INC1");
    EXPECT_EQ(testfiles::read(game.dir + "game.pas"), original);

    // Yes: the previous document is saved before the switch.
    code->setText("procedure a2;");
    dialogs.queueAnswer(Answer::Yes);
    click(*form, 2);
    EXPECT_EQ(testfiles::read(game.dir + "a.inc"), "procedure a2;");
    EXPECT_EQ(form->project().currentKey(), "game.pas0");

    // AutoSave: no question.
    dialogs.clear();
    form->Settings.AutoSave = true;
    code->setText("program auto;");
    click(*form, 4);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(testfiles::read(game.dir + "game.pas"), "program auto;");
}

TEST_F(SwitchDocuments, AFailedSaveKeepsTheEditsAndTheShownDocument)
{
    QFile::setPermissions(game.dir + "game.pas", QFileDevice::ReadOwner);
    form->editor()->setText("precious");
    dialogs.queueAnswer(Answer::Yes);
    click(*form, 3);
    QFile::setPermissions(game.dir + "game.pas", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].text.contains("game.pas"));
    EXPECT_EQ(form->editor()->text(), "precious");
    EXPECT_TRUE(form->editor()->isModified());
    EXPECT_EQ(form->project().currentKey(), "game.pas0");
}

TEST_F(SwitchDocuments, RootShownAndVanishedNodesChangeNothing)
{
    CodeEditor* code = form->editor();
    code->setHighlightedLine(1);
    const QString text = code->text();
    click(*form, 1);
    click(*form, 2);
    EXPECT_EQ(code->highlightedLine(), -1);
    EXPECT_EQ(code->text(), text);

    QFile::remove(game.dir + "a.inc");
    click(*form, 3);
    EXPECT_EQ(form->project().currentKey(), "game.pas0") << "the shown document stays current";
    EXPECT_EQ(form->tree()->currentItem(), form->node(2));
    EXPECT_EQ(code->text(), text);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(SwitchDocuments, ExpandAndCollapseSwapContainerImages)
{
    form->node(2)->setExpanded(false);
    form->node(2)->setExpanded(true);
    EXPECT_EQ(form->project().node(2).image, 2);
    form->node(2)->setExpanded(false);
    EXPECT_EQ(form->project().node(2).image, 1);
    form->TV_Expand(form->node(3));
    EXPECT_EQ(form->project().node(3).image, 3);
}

TEST_F(Refresh, SavesTheShownIncludeThenRebuildsFromTheMainFile)
{
    click(*form, 3);
    form->editor()->setText("{$I d.inc}\r\nprocedure a;\r\n");
    item(*form, "mnuRefresh")->trigger();
    EXPECT_EQ(testfiles::read(game.dir + "a.inc"), "{$I d.inc}\r\nprocedure a;\r\n");
    EXPECT_EQ(form->project().currentKey(), "game.pas0");
    EXPECT_TRUE(form->editor()->text().startsWith("program game;"));
    EXPECT_EQ(form->projectInfo().ProjectName, "Demo");
    EXPECT_EQ(form->nodeCount(), 6) << "a.inc now includes d.inc";
}

TEST(OpenPascalFile, MakesAnUnnamedProject)
{
    TarvelKit kit;
    GameProject game(kit);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->setProjectAddresses(0x4000, form->projectInfo().EndAddress);
    dialogs.queuePath(game.dir + "game.pas");
    item(*form, "mnuFileOpen")->trigger();
    EXPECT_EQ(dialogs.calls()[0].filters[0].patterns, QStringList{"*.pas"});
    EXPECT_EQ(form->node(1)->text(0), "Project");
    EXPECT_EQ(form->nodeCount(), 5);
    EXPECT_EQ(form->projectInfo().StartAddress, 0x4000);
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "game.pas");
    EXPECT_TRUE(item(*form, "mnuNewInc")->isEnabled());
}
