#include "shell/Form1.h"

#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "projects/ProjectReading.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
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
    // F1 with counter 1 and F with counter 11 make the same name plus counter, "F11".
    QByteArray main = "{$I F1}\r\n";
    for (int i = 0; i < 10; ++i)
        main += "{$I F}\r\n";
    main += "{$I A.INC}\r\n";
    testfiles::write(dir + "m.pas", main);
    testfiles::write(dir + "f1", "{$I F1}\r\n");
    testfiles::write(dir + "f", "");
    testfiles::write(dir + "a.inc", "{$I B.INC}\r\n");
    testfiles::write(dir + "b.inc", "{$I A.INC}\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->LoadProject(dir + "m.pas"));
    // Root, main, 12 includes, and one nested node under F1 and under A.INC.
    ASSERT_EQ(form->nodeCount(), 2 + 12 + 2);
    EXPECT_EQ(form->project().node(3).key, "F11");
    EXPECT_EQ(form->project().node(13).text, "F");
    EXPECT_NE(form->project().node(13).key, "F11");
    QSet<QString> keys;
    for (int i = 1; i <= form->nodeCount(); ++i)
        keys.insert(form->project().node(i).key);
    EXPECT_EQ(keys.size(), form->nodeCount()) << "every key is unique";
    for (int i = 1; i <= form->nodeCount(); ++i)
        EXPECT_EQ(form->project().indexOfKey(form->project().node(i).key), i);
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
    clickTreeNode(*form, 1);
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
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to GAME.PAS?");
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

TEST_F(Refresh, AsksToSaveTheShownIncludeThenRebuildsFromTheMainFile)
{
    click(*form, 3);
    form->editor()->setText("{$I d.inc}\r\nprocedure a;\r\n");
    dialogs.queueAnswer(Answer::Yes);
    item(*form, "mnuRefresh")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to A.INC?");
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

namespace {

const char* const ProjectItems[] = {"mnuSave", "mnuPrint", "mnuCompile", "mnuCompileRun", "mnuProp",
                                    "mnuRefresh", "mnuNewInc", "mnuOpenIncfile", "mnuCompileCHN"};

} // namespace

TEST_F(SwitchDocuments, AKeyboardMoveSwitchesDocumentsLikeAClick)
{
    const QByteArray aBefore = testfiles::read(game.dir + "a.inc");
    const QByteArray bBefore = testfiles::read(game.dir + "b.inc");
    clickTreeNode(*form, 3);
    ASSERT_TRUE(form->editor()->text().startsWith("procedure a;"));
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_P, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), form->tree());

    QTest::keyClick(form->tree(), Qt::Key_Down);
    EXPECT_EQ(form->tree()->currentItem(), form->node(4));
    EXPECT_TRUE(form->editor()->text().startsWith("{$I c.inc}")) << "B.INC is shown";
    EXPECT_EQ(form->panel(2)->text(), "Current View: B.INC");
    EXPECT_EQ(QApplication::focusWidget(), form->tree()) << "the next key moves on";
    QTest::keyClick(form->tree(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(testfiles::read(game.dir + "a.inc"), aBefore);
    EXPECT_EQ(testfiles::read(game.dir + "b.inc"), bBefore);

    // Changed text brings the question a click brings; Cancel puts the highlight back.
    form->editor()->setText("changed b");
    dialogs.queueAnswer(Answer::Cancel);
    QTest::keyClick(form->tree(), Qt::Key_Up);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to B.INC?");
    EXPECT_EQ(form->tree()->currentItem(), form->node(4));
    EXPECT_EQ(form->editor()->text(), "changed b");
    dialogs.queueAnswer(Answer::Yes);
    QTest::keyClick(form->tree(), Qt::Key_Up);
    EXPECT_EQ(testfiles::read(game.dir + "b.inc"), "changed b");
    EXPECT_EQ(form->tree()->currentItem(), form->node(3));
    EXPECT_TRUE(form->editor()->text().startsWith("procedure a;"));
}

TEST_F(SwitchDocuments, TheRightButtonChangesNeitherTheHighlightNorTheShownDocument)
{
    const QByteArray a = testfiles::read(game.dir + "a.inc");
    clickTreeNode(*form, 3, Qt::RightButton);
    EXPECT_EQ(form->tree()->currentItem(), form->node(2));
    EXPECT_EQ(form->panel(2)->text(), "Current View: GAME.PAS");
    EXPECT_TRUE(form->editor()->text().startsWith("program game;"));
    form->editor()->setText("program edited;\r\n");
    item(*form, "mnuSaveFile")->trigger();
    EXPECT_EQ(testfiles::read(game.dir + "game.pas"), "program edited;\r\n");
    EXPECT_EQ(testfiles::read(game.dir + "a.inc"), a);
}

TEST_F(OpenGame, AProjectWhoseMainFileCannotBeFoundLeavesNoProject)
{
    const QString other = kit.path("other") + "/";
    testfiles::write(other + "other.tpj", "Other\r\n2E9B\r\nD200\r\nMISSING.PAS\r\n");
    const QByteArray main = testfiles::read(game.dir + "game.pas");
    dialogs.queuePath(other + "other.tpj"); // the where-is dialog that follows is cancelled
    item(*form, "mnuOpenProject")->trigger();
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_EQ(dialogs.messages().last().title, "Fatal Error");

    EXPECT_EQ(form->tree()->topLevelItemCount(), 0);
    EXPECT_EQ(form->nodeCount(), 0);
    EXPECT_EQ(form->editor()->text(), "");
    EXPECT_FALSE(form->editor()->isModified());
    EXPECT_EQ(form->panel(2)->text(), "Current View: no file");
    for (const char* name : ProjectItems)
        EXPECT_FALSE(item(*form, name)->isEnabled()) << name;
    form->activateWindow();
    form->editor()->setFocus();
    QTest::keyClick(form->editor()->activeView(), Qt::Key_S, Qt::ControlModifier);
    item(*form, "mnuSaveFile")->trigger();
    EXPECT_EQ(testfiles::read(game.dir + "game.pas"), main) << "nothing is saved over the old main file";
    EXPECT_EQ(QDir(other).entryList(QDir::Files), QStringList{"other.tpj"});
    EXPECT_EQ(form->Settings.RecentFiles[0], other + "other.tpj") << "the project file itself was fine";
}

TEST_F(OpenGame, AFullDiskFailsEverySaveAndKeepsTheOldFilesAndTheEdits)
{
    const QByteArray main = testfiles::read(game.dir + "game.pas");
    testfiles::write(game.dir + "Demo.tpj", "old");
    const QStringList filesBefore = QDir(game.dir).entryList(QDir::Files | QDir::Hidden);
    const QString edited = "program game; { a change that does not fit on the disk }\r\n";
    form->editor()->setText(edited);
    {
        FileSizeLimit full(16);
        ASSERT_TRUE(full.active());
        item(*form, "mnuSaveFile")->trigger();
        item(*form, "mnuSavePrj")->trigger();
        dialogs.queueAnswer(Answer::Yes);
        clickTreeNode(*form, 3);
    }
    const QList<ScriptedDialogs::Call> messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 4);
    EXPECT_TRUE(messages[0].text.startsWith("The file could not be saved")) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains(game.dir + "game.pas"));
    EXPECT_TRUE(messages[1].text.startsWith("The project could not be saved")) << messages[1].text.toStdString();
    EXPECT_TRUE(messages[1].text.contains("Demo.tpj"));
    EXPECT_EQ(messages[2].text, "Save changes to GAME.PAS?");
    EXPECT_TRUE(messages[3].text.startsWith("The file could not be saved"));

    EXPECT_EQ(testfiles::read(game.dir + "game.pas"), main);
    EXPECT_EQ(testfiles::read(game.dir + "Demo.tpj"), "old");
    EXPECT_EQ(QDir(game.dir).entryList(QDir::Files | QDir::Hidden), filesBefore) << "no temporary file is left";
    EXPECT_EQ(form->editor()->text(), edited);
    EXPECT_TRUE(form->editor()->isModified());
    EXPECT_EQ(form->panel(2)->text(), "Current View: GAME.PAS");
    EXPECT_NE(form->Settings.RecentFiles[0], game.dir + "Demo.tpj");

    // With room again, the same save goes through.
    item(*form, "mnuSaveFile")->trigger();
    EXPECT_EQ(testfiles::read(game.dir + "game.pas"), edited.toLatin1());
    EXPECT_FALSE(form->editor()->isModified());
}

TEST(SaveProject, ANamedProjectWritesItsProjectFileInAnyLetterCase)
{
    TarvelKit kit;
    GameProject game(kit);
    QFile::rename(game.dir + "game.tpj", game.dir + "demo.tpj");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(game.dir + "demo.tpj");
    item(*form, "mnuOpenProject")->trigger();
    item(*form, "mnuSavePrj")->trigger();
    EXPECT_EQ(testfiles::read(game.dir + "demo.tpj"), "Demo\r\n100\r\nF93C\r\nGAME.PAS\r\n");
    EXPECT_FALSE(QFile::exists(game.dir + "Demo.tpj")) << "no second project file beside demo.tpj";
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "demo.tpj");
}

TEST(SaveProject, ANameWithFolderPartsIsSavedInsideTheProjectFolder)
{
    TarvelKit kit;
    GameProject game(kit);
    testfiles::write(game.dir + "game.tpj", "../../escaped\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(game.dir + "game.tpj");
    item(*form, "mnuOpenProject")->trigger();
    ASSERT_EQ(form->node(1)->text(0), "../../escaped");
    item(*form, "mnuSavePrj")->trigger();
    EXPECT_FALSE(QFile::exists(kit.path("escaped.tpj"))) << "two folders above the project";
    EXPECT_EQ(testfiles::read(game.dir + "escaped.tpj"), "../../escaped\r\n2E9B\r\nD200\r\nGAME.PAS\r\n")
        << "the record keeps its name";
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(SaveProject, NamesKeepTheirNonAsciiLettersThroughASaveAndAReopen)
{
    TarvelKit kit;
    const QString dir = kit.path(QString::fromUtf8("straße")) + "/";
    testfiles::write(dir + QString::fromUtf8("straße.pas"), "program s;\r\n{$I stra\xDF" "e.inc}\r\nbegin end.\r\n");
    testfiles::write(dir + QString::fromUtf8("straße.inc"), "procedure s;\r\nbegin end;\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(dir + QString::fromUtf8("straße.pas"));
    item(*form, "mnuFileOpen")->trigger();
    ASSERT_EQ(form->nodeCount(), 3) << "the include is found";
    EXPECT_EQ(form->node(2)->text(0), QString::fromUtf8("STRAßE.PAS"));
    EXPECT_EQ(form->node(3)->text(0), QString::fromUtf8("STRAßE.INC"));

    dialogs.queuePath(dir + QString::fromUtf8("straße.tpj"));
    item(*form, "mnuSavePrj")->trigger();
    EXPECT_EQ(testfiles::read(dir + QString::fromUtf8("straße.tpj")), "Project\r\n2E9B\r\nD200\r\nSTRA\xC3\x9F" "E.PAS\r\n");

    dialogs.clear();
    dialogs.queuePath(dir + QString::fromUtf8("straße.tpj"));
    item(*form, "mnuOpenProject")->trigger();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(form->nodeCount(), 3);
    EXPECT_TRUE(form->editor()->text().startsWith("program s;"));
}

TEST(CommandLine, ARelativeProjectPathIsTakenFromTheWorkingFolder)
{
    TarvelKit kit;
    GameProject game(kit);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(game.dir));
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs, "game.tpj");
    QDir::setCurrent(before);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(form->nodeCount(), 5);
    EXPECT_TRUE(form->editor()->text().startsWith("program game;"));
    EXPECT_EQ(form->Settings.RecentFiles[0], QDir(game.dir).canonicalPath() + "/game.tpj");
}

TEST(CommandLine, TheProjectFileIsFoundWithoutRegardToCase)
{
    TarvelKit kit;
    GameProject game(kit);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs, game.dir + "GAME.TPJ");
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(form->nodeCount(), 5);
    EXPECT_EQ(form->Settings.RecentFiles[0], game.dir + "game.tpj");
}

TEST(CommandLine, AnUnreadableProjectFileChangesNothing)
{
    TarvelKit kit;
    GameProject game(kit);
    testfiles::write(game.dir + "bad.tpj", "Demo\r\nZZZZ\r\nD200\r\nGAME.PAS\r\n");
    const QByteArray config = testfiles::read(kit.path("config.cfg"));
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs, game.dir + "bad.tpj");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("is not a readable project file"));
    EXPECT_EQ(form->nodeCount(), 0);
    EXPECT_EQ(form->Settings.RecentFiles[0], "") << "not added to the recent list";
    EXPECT_EQ(testfiles::read(kit.path("config.cfg")), config);
}

TEST(CommandLine, AProjectReadWhileTheWindowIsBuiltOpensAsIfReadAtTheStart)
{
    TarvelKit kit;
    GameProject game(kit);
    testfiles::write(kit.path("other") + "/other.pas", "{$I a.inc}\r\nprocedure other;\r\n");
    testfiles::write(kit.path("other") + "/a.inc", "procedure elsewhere;\r\n");
    testfiles::write(kit.path("other") + "/other.tpj", "Other\r\n100\r\nF93C\r\nOTHER.PAS\r\n");
    ScriptedDialogs dialogs;
    // The tree's nodes (key, text, image) and every file's routines, as the window holds them.
    const auto opened = [&](tarvel::ProjectPreload* preload) {
        Form1 form(kit.dir(), dialogs, game.dir + "game.tpj");
        form.start(preload);
        QStringList seen;
        for (int i = 1; i <= form.project().nodeCount(); ++i) {
            const tarvel::ProjectNode& n = form.project().node(i);
            seen << QStringLiteral("%1 %2 %3").arg(n.key, n.text).arg(n.image);
        }
        for (int i = 0; i < form.project().fileCount(); ++i)
            seen << form.project().routines(i).join(QLatin1Char('|'));
        return seen;
    };
    const QStringList expected = opened(nullptr);
    ASSERT_EQ(expected.size(), 5 + 4) << expected.join('\n').toStdString();

    // The main file is named GAME.PAS in the project file and found as game.pas.
    tarvel::ProjectPreload same(game.dir + "GAME.TPJ");
    EXPECT_EQ(opened(&same), expected);
    EXPECT_FALSE(same.take(game.dir, game.dir + "game.pas")) << "the load took what was read ahead";

    tarvel::ProjectPreload other(kit.path("other") + "/other.tpj");
    EXPECT_EQ(opened(&other), expected) << "another project read ahead is not taken";
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(RecentFiles, AnAmpersandInAPathIsShownAndOpenedAsItIs)
{
    TarvelKit kit;
    const QString dir = kit.path("R&D") + "/";
    testfiles::write(dir + "m.pas", "program m;\r\nbegin end.\r\n");
    testfiles::write(dir + "m.tpj", "Lab\r\n2E9B\r\nD200\r\nM.PAS\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->AddRecentFile(dir + "m.tpj");
    QAction* recent = item(*form, "mnurecent_0");
    EXPECT_EQ(recent->iconText(), dir + "m.tpj") << "shown as it is, not as a mnemonic";
    recent->trigger();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(form->nodeCount(), 2);
    EXPECT_EQ(form->node(1)->text(0), "Lab");
}

TEST_F(SwitchDocuments, TreeNamesAreShownWhole)
{
    const QString dir = kit.path("long") + "/";
    testfiles::write(dir + "m.pas", "{$I A_RATHER_LONG_INCLUDE_NAME.INC}\r\n");
    testfiles::write(dir + "a_rather_long_include_name.inc", "{$I ANOTHER_EVEN_LONGER_NESTED_NAME.INC}\r\n");
    testfiles::write(dir + "another_even_longer_nested_name.inc", "");
    dialogs.queuePath(dir + "m.pas");
    item(*form, "mnuFileOpen")->trigger();
    ASSERT_EQ(form->nodeCount(), 4);
    QTreeWidget* tree = form->tree();
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(form->node(i)->toolTip(0), form->node(i)->text(0)) << i;
    QApplication::processEvents();
    for (int i = 1; i <= 4; ++i) {
        QTreeWidgetItem* node = form->node(i);
        const int needed = tree->fontMetrics().horizontalAdvance(node->text(0)) + tree->iconSize().width();
        EXPECT_GE(tree->visualItemRect(node).width(), needed) << "cut off: " << node->text(0).toStdString();
    }
    EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0) << "the tree scrolls sideways to the longest name";
}

TEST_F(SwitchDocuments, TheTreeColumnIsAsWideAsTheViewMeasuresTheLongestName)
{
    // Names whose width the advances of their letters alone misjudge (kerned pairs, narrow and
    // wide letters, letters beyond ASCII), at two depths, then one in a bold italic font.
    const QString dir = kit.path("widths") + "/";
    testfiles::write(dir + QString::fromUtf8("straße.pas"),
                     "{$I AVAVAVAVAVAV.INC}\r\n{$I WWWWWWW.INC}\r\n{$I stra\xDF" "e.inc}\r\n{$I T.INC}\r\n");
    testfiles::write(dir + "avavavavavav.inc", "");
    testfiles::write(dir + "wwwwwww.inc", "");
    testfiles::write(dir + QString::fromUtf8("straße.inc"), "");
    testfiles::write(dir + "t.inc", "{$I IIIIIIIIIIIIIIIIIIIIIIII.INC}\r\n");
    testfiles::write(dir + "iiiiiiiiiiiiiiiiiiiiiiii.inc", "");
    dialogs.queuePath(dir + QString::fromUtf8("straße.pas"));
    item(*form, "mnuFileOpen")->trigger();
    ASSERT_EQ(form->nodeCount(), 7);
    QTreeWidget* tree = form->tree();
    const auto expectFitted = [tree](const char* when) {
        QApplication::processEvents();
        const QAbstractItemView* view = tree; // its measure of a column is public there
        EXPECT_EQ(tree->header()->sectionSize(0), view->sizeHintForColumn(0)) << when;
    };
    expectFitted("opened");

    QTest::keyClicks(form->editor()->activeView(), "x");
    ASSERT_TRUE(form->node(2)->font(0).bold());
    expectFitted("the shown file's name in bold italic");

    clickTreeNode(*form, 2);
    QTest::keyClick(tree, Qt::Key_Left);
    ASSERT_FALSE(form->node(2)->isExpanded());
    expectFitted("a node folded");
}

TEST_F(SwitchDocuments, FoldingTheNodeAboveTheShownDocumentKeepsItFoldedAndShown)
{
    clickTreeNode(*form, 3);
    QTreeWidget* tree = form->tree();
    QTreeWidgetItem* main = form->node(2);
    // The fold arrow sits in the indentation just left of the item.
    const QRect rect = tree->visualItemRect(main);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(rect.left() - tree->indentation() / 2, rect.center().y()));
    EXPECT_FALSE(main->isExpanded());
    EXPECT_EQ(form->project().node(2).image, 1);
    EXPECT_EQ(form->panel(2)->text(), "Current View: A.INC");
    form->editor()->setText("procedure a2;\r\n");
    item(*form, "mnuSaveFile")->trigger();
    EXPECT_EQ(testfiles::read(game.dir + "a.inc"), "procedure a2;\r\n");
    EXPECT_FALSE(main->isExpanded());
}

TEST_F(SwitchDocuments, APressThatEndsOnAnotherNodeChoosesNothing)
{
    QTreeWidget* tree = form->tree();
    const QPoint from = tree->visualItemRect(form->node(3)).center();
    const QPoint to = tree->visualItemRect(form->node(4)).center();
    QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(tree->viewport(), to);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(form->panel(2)->text(), "Current View: GAME.PAS");
    EXPECT_EQ(tree->currentItem(), form->node(2)) << "the highlight is back on the shown document";
    EXPECT_TRUE(form->node(2)->isSelected());
}
