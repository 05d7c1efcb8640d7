#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <Qsci/qsciscintilla.h>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QAction* item(Form1& form, const char* name)
{
    QAction* action = form.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QString caption(QAction* action)
{
    return action->text().remove(QLatin1Char('&'));
}

const char* const ProjectItems[] = {"mnuSave", "mnuPrint", "mnuCompile", "mnuCompileRun", "mnuProp",
                                    "mnuRefresh", "mnuNewInc", "mnuOpenIncfile", "mnuCompileCHN"};

} // namespace

TEST(Form1Startup, TheWindowOpensEmptyWithTheProjectItemsDisabled)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->windowTitle(), "Tarvel[*]");
    EXPECT_FALSE(form->isWindowModified());
    for (const char* name : ProjectItems)
        EXPECT_FALSE(item(*form, name)->isEnabled()) << name;
    EXPECT_EQ(form->panel(2)->text(), "Current View: no file");
    EXPECT_EQ(form->tree()->topLevelItemCount(), 0);
    EXPECT_EQ(form->autoCompleteCount(), 2);
    EXPECT_EQ(form->autoCompleteWords().at(1), "GotoXY(x, y: integer)");
    EXPECT_EQ(form->browseDir(), kit.dir() + "/");
    EXPECT_FALSE(form->splitOn());
    EXPECT_EQ(form->projectInfo().ProjectName, "Project");
    EXPECT_EQ(quint16(form->projectInfo().EndAddress), 0xD200);
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_TRUE(QApplication::focusWidget() && form->editor()->isAncestorOf(QApplication::focusWidget()));
}

TEST(Form1Startup, MenusCarryTheirCaptionsShortcutsAndNames)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    struct Row { const char* name; const char* caption; QKeySequence shortcut; };
    const Row rows[] = {
        {"mnuNew", "Project", {}}, {"mnuNewInc", "Include file", {}}, {"mnuOpenProject", "Project file", QKeySequence("Ctrl+O")},
        {"mnuFileOpen", "Pascal file", {}}, {"mnuOpenIncfile", "Include file", {}},
        {"mnuSavePrj", "Save Project", {}}, {"mnuSaveFile", "Save Current File", QKeySequence("Ctrl+S")},
        {"mnuRefresh", "Refresh Project Tree", {}}, {"mnuProp", "Project Properties", {}},
        {"mnuCompile", "Compile", QKeySequence("F6")}, {"mnuCompileCHN", "Compile to CHN", QKeySequence("F7")},
        {"mnuCompileRun", "Compile and Run", QKeySequence("F5")}, {"mnuPrint", "Print", {}}, {"mnuExit", "Exit", {}},
        {"mnuCut", "Cut", {}}, {"mnuCopy", "Copy", {}}, {"mnuPaste", "Paste", {}}, {"mnuDelete", "Delete", {}},
        {"mnuFind", "Find", QKeySequence("Ctrl+F")}, {"mnuFindNext", "Find Next", QKeySequence("F3")},
        {"mnuReplace", "Replace", QKeySequence("Ctrl+H")},
        {"mnuUndo", "Undo", {}}, {"mnuRedo", "Redo", {}}, {"mnuClear", "Clear", {}},
        {"mnupreferences", "Preferences", {}}, {"mnuConvPal", "Palette Converter", QKeySequence("Ctrl+F4")},
        {"mnuImgConv", "Image Converter", QKeySequence("Ctrl+F3")}, {"mnuCalc", "Calc", QKeySequence("Ctrl+F2")},
        {"mnuSplit", "Split", QKeySequence("Ctrl+F6")}, {"mnuShowProjectTree", "Show Project Tree", QKeySequence("Ctrl+F5")},
        {"mnuRefHelp", "Pascal Reference", QKeySequence("F1")}, {"mnuAbout", "About", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QAction* action = item(*form, row.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(caption(action), row.caption);
        EXPECT_EQ(action->shortcut(), row.shortcut);
    }
    for (const char* menu : {"mnuFile", "mnuEdit", "mnuTools", "mnuWindow", "mnuHelp"})
        EXPECT_NE(form->findChild<QMenu*>(menu), nullptr) << menu;
    EXPECT_FALSE(item(*form, "mnuSplit")->isChecked());
    EXPECT_TRUE(item(*form, "mnuShowProjectTree")->isChecked());
    EXPECT_FALSE(item(*form, "mnseparator1")->isVisible());
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("mnurecent_%1").arg(i))->isVisible());
    EXPECT_EQ(form->tree()->accessibleName(), "Project tree");
    EXPECT_FALSE(form->editor()->accessibleName().isEmpty());
}

TEST(Form1Startup, TheChooserOpensOverTheVisibleWindowWhenTheSettingsAskForIt)
{
    TarvelKit kit(false); // no config.cfg: the defaults ask for the chooser
    ScriptedDialogs dialogs;
    bool sawChooser = false;
    bool mainWasVisible = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawChooser = modal && modal->objectName() == "Form5";
        mainWasVisible = modal && modal->parentWidget() && modal->parentWidget()->isVisible();
        if (modal)
            QTest::mouseClick(modal->findChild<QWidget*>("Command2"), Qt::LeftButton);
    });
    auto form = kit.startForm(dialogs);
    EXPECT_TRUE(sawChooser);
    EXPECT_TRUE(mainWasVisible);
    EXPECT_FALSE(QFile::exists(kit.path("config.cfg"))) << "nothing is written at a first start";
}

TEST(Form1Startup, CommandLineRules)
{
    TarvelKit kit(false);
    ScriptedDialogs dialogs;
    // A .pas argument loads nothing and opens no chooser, even when the settings ask for one.
    auto form = kit.startForm(dialogs, kit.path("game.pas"));
    EXPECT_EQ(form->tree()->topLevelItemCount(), 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST(Form1Startup, AMissingProjectArgumentOpensTheChooserWithoutAMessage)
{
    TarvelKit kit(false);
    ScriptedDialogs dialogs;
    bool sawChooser = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawChooser = modal && modal->objectName() == "Form5";
        if (modal)
            QTest::mouseClick(modal->findChild<QWidget*>("Command2"), Qt::LeftButton);
    });
    auto form = kit.startForm(dialogs, kit.path("Gone.Tpj"));
    EXPECT_TRUE(sawChooser);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST(Form1Startup, AnArgumentThatIsNoValidPathIsReported)
{
    // A folder name written in an 8-bit code page: "lat\xE9in" is not UTF-8.
    TarvelKit kit;
    const QByteArray folder = QFile::encodeName(kit.dir()) + "/lat\xE9in";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    testfiles::write(kit.path("odd.tpj"), "Odd\r\n2E9B\r\nF93C\r\nodd.pas\r\n");
    ASSERT_EQ(::rename(QFile::encodeName(kit.path("odd.tpj")).constData(), (folder + "/odd.tpj").constData()), 0);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs, QByteArrayList{folder + "/odd.tpj"});
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("odd.tpj"));
    EXPECT_TRUE(dialogs.messages()[0].text.contains("not valid"));
    EXPECT_EQ(form->tree()->topLevelItemCount(), 0);
    // QTemporaryDir cannot remove what it cannot name.
    ::unlink((folder + "/odd.tpj").constData());
    ::rmdir(folder.constData());

    // A valid name in the same way opens as before.
    ScriptedDialogs quiet;
    testfiles::write(kit.path("ok.pas"), "program ok;\r\nbegin\r\nend.\r\n");
    testfiles::write(kit.path("ok.tpj"), "Ok\r\n2E9B\r\nF93C\r\nok.pas\r\n");
    auto opened = kit.startForm(quiet, QByteArrayList{QFile::encodeName(kit.path("ok.tpj"))});
    EXPECT_TRUE(quiet.messages().isEmpty());
    EXPECT_EQ(opened->node(1)->text(0), "Ok");
}

TEST(Form1Startup, AMissingWordListGivesAnEmptyList)
{
    TarvelKit kit;
    QFile::remove(kit.path("help/autocomplete.txt"));
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    EXPECT_EQ(form->autoCompleteCount(), -1);
    EXPECT_TRUE(form->autoCompleteWords().isEmpty());
}

TEST(Form1Timer, ShowsTheCaretAndKeepsTheEditMenuCurrent)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    CodeEditor* code = form->editor();
    form->Timer1_Timer();
    EXPECT_EQ(form->panel(1)->text(), "Line: 1 Col: 1");
    EXPECT_FALSE(item(*form, "mnuUndo")->isEnabled());
    EXPECT_FALSE(item(*form, "mnuCopy")->isEnabled());

    code->setText("program x;\nbegin\nend.\n");
    code->setModified(false);
    code->setCaret(1, 3);
    code->setHighlightedLine(2);
    form->Timer1_Timer();
    EXPECT_EQ(form->panel(1)->text(), "Line: 2 Col: 4");
    EXPECT_EQ(code->highlightedLine(), 2) << "an unmodified text keeps the highlight";

    code->setFocus();
    QTest::keyClicks(code->activeView(), "ab");
    EXPECT_TRUE(testfiles::waitUntil([&] { return code->highlightedLine() == -1; }, 2000))
        << "the 100 ms timer removes the highlight once the text is edited";
    EXPECT_TRUE(testfiles::waitUntil([&] { return item(*form, "mnuUndo")->isEnabled(); }, 2000));
    EXPECT_EQ(form->panel(1)->text(), "Line: 2 Col: 6");
}

TEST(Form1Edit, UndoNeedsTheModifiedFlag)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    CodeEditor* code = form->editor();
    code->setText("begin end.");
    code->setModified(false);
    ASSERT_TRUE(code->canUndo()) << "setting text leaves an undo step";
    form->mnuUndo_Click();
    EXPECT_EQ(code->text(), "begin end.") << "nothing is undone right after a load";
    code->setCaret(0, 0);
    code->setFocus();
    QTest::keyClicks(code->activeView(), "x");
    form->mnuUndo_Click();
    EXPECT_EQ(code->text(), "begin end.");
    form->mnuClear_Click();
    EXPECT_EQ(code->text(), "");
}

TEST(Form1Window, SplitTwiceReturnsToOnePaneAndResizeKeepsTheDividerCentred)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    CodeEditor* code = form->editor();
    item(*form, "mnuSplit")->trigger();
    EXPECT_TRUE(form->splitOn());
    EXPECT_TRUE(item(*form, "mnuSplit")->isChecked());
    EXPECT_EQ(code->paneCount(), 2);
    EXPECT_NEAR(code->splitPosition(), code->height() / 2, 3);

    form->resize(800, 700);
    QApplication::processEvents();
    EXPECT_NEAR(code->splitPosition(), code->height() / 2, 3);

    item(*form, "mnuSplit")->trigger();
    EXPECT_FALSE(form->splitOn());
    EXPECT_FALSE(item(*form, "mnuSplit")->isChecked());
    EXPECT_EQ(code->paneCount(), 1);
}

TEST(Form1Window, HidingTheTreeGivesTheEditorTheWholeWidth)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->resize(700, 500);
    QApplication::processEvents();
    CodeEditor* code = form->editor();
    QWidget* client = form->centralWidget();
    EXPECT_TRUE(form->tree()->isVisible());
    EXPECT_EQ(code->x(), 160);
    EXPECT_NEAR(code->width(), client->width() - 161, 1);
    EXPECT_NEAR(code->height(), client->height() + form->statusBar()->height() - form->statusBar()->height() - 5, 1);

    item(*form, "mnuShowProjectTree")->trigger();
    EXPECT_FALSE(item(*form, "mnuShowProjectTree")->isChecked());
    EXPECT_FALSE(form->tree()->isVisible());
    EXPECT_EQ(code->x(), 0);
    EXPECT_NEAR(code->width(), client->width() - 1, 1);

    form->mnuShowProjectTree_Click();
    EXPECT_TRUE(item(*form, "mnuShowProjectTree")->isChecked());
    EXPECT_TRUE(form->tree()->isVisible());
    EXPECT_EQ(code->x(), 160);
}

TEST(Form1RecentFiles, OpeningFilesFillsTheMenuAndSavesTheList)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->AddRecentFile("/w/a.tpj");
    form->AddRecentFile("/w/b.pas");
    QAction* first = item(*form, "mnurecent_0");
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->text(), "/w/b.pas");
    EXPECT_EQ(item(*form, "mnurecent_1")->text(), "/w/a.tpj");
    EXPECT_FALSE(item(*form, "mnurecent_2")->isVisible());
    EXPECT_TRUE(item(*form, "mnseparator1")->isVisible());

    tarvel::ConfigSettings saved;
    tarvel::LoadSettingsFile(saved, kit.dir());
    EXPECT_EQ(saved.RecentFiles[0], "/w/b.pas");
    EXPECT_EQ(saved.RecentFiles[1], "/w/a.tpj");
}

TEST(Form1RecentFiles, AMissingFileIsReportedAndRemoved)
{
    TarvelKit kit;
    testfiles::write(kit.path("a.pas"), "program a;\r\nbegin\r\nend.\r\n");
    testfiles::write(kit.path("c.pas"), "program c;\r\nbegin\r\nend.\r\n");
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = false;
    settings.RecentFiles = {kit.path("a.pas"), kit.path("b.pas"), kit.path("c.pas"), "", ""};
    kit.writeConfig(settings);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);

    form->mnurecent_Click(1);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Tarvel cannot find this file!");
    EXPECT_EQ(dialogs.messages()[0].title, "Error");
    EXPECT_EQ(dialogs.messages()[0].icon, common::Dialogs::Icon::Critical);
    EXPECT_EQ(item(*form, "mnurecent_1")->text(), kit.path("c.pas"));
    EXPECT_FALSE(item(*form, "mnurecent_2")->isVisible());
    tarvel::ConfigSettings saved;
    tarvel::LoadSettingsFile(saved, kit.dir());
    EXPECT_EQ(saved.RecentFiles, (std::array<QString, 5>{kit.path("a.pas"), kit.path("c.pas"), "", "", ""}));

    // A recent Pascal file opens as an unnamed project.
    form->mnurecent_Click(1);
    EXPECT_EQ(form->projectInfo().ProjectName, "Project");
    EXPECT_EQ(form->node(2)->text(0), "C.PAS");
}

TEST(Form1RecentFiles, RemovingFromAListWithAGapKeepsTheLaterEntries)
{
    TarvelKit kit;
    testfiles::write(kit.path("b.pas"), "program b;\r\nbegin\r\nend.\r\n");
    testfiles::write(kit.path("e.pas"), "program e;\r\nbegin\r\nend.\r\n");
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = false;
    settings.RecentFiles = {kit.path("a.pas"), kit.path("b.pas"), "", kit.path("e.pas"), ""};
    kit.writeConfig(settings);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    EXPECT_TRUE(item(*form, "mnurecent_3")->isVisible());

    item(*form, "mnurecent_0")->trigger(); // a.pas is gone
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Tarvel cannot find this file!");
    tarvel::ConfigSettings saved;
    tarvel::LoadSettingsFile(saved, kit.dir());
    EXPECT_EQ(saved.RecentFiles, (std::array<QString, 5>{kit.path("b.pas"), kit.path("e.pas"), "", "", ""}));
    EXPECT_EQ(item(*form, "mnurecent_0")->text(), kit.path("b.pas"));
    EXPECT_EQ(item(*form, "mnurecent_1")->text(), kit.path("e.pas"));
    for (const char* name : {"mnurecent_0", "mnurecent_1"})
        EXPECT_TRUE(item(*form, name)->isVisible()) << name;
    for (const char* name : {"mnurecent_2", "mnurecent_3", "mnurecent_4"})
        EXPECT_FALSE(item(*form, name)->isVisible()) << name;

    item(*form, "mnurecent_1")->trigger();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(form->node(2)->text(0), "E.PAS");
}

TEST(Form1RecentFiles, AnItemOpensItsSlotsPathWhateverItsLabelShows)
{
    // "&" marks a menu mnemonic, so a label shows a path only with each "&" doubled; the path
    // itself must come from the slot after the items moved up, whatever the label holds.
    TarvelKit kit;
    testfiles::write(kit.path("R&D/m.pas"), "program m;\r\nbegin\r\nend.\r\n");
    testfiles::write(kit.path("A&&B/x.pas"), "program x;\r\nbegin\r\nend.\r\n");
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = false;
    settings.RecentFiles = {kit.path("gone.pas"), kit.path("R&D/m.pas"), kit.path("A&&B/x.pas"), "", ""};
    kit.writeConfig(settings);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);

    item(*form, "mnurecent_0")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(item(*form, "mnurecent_0")->text(), QString(kit.path("R&D/m.pas")).replace("&", "&&"));
    EXPECT_EQ(item(*form, "mnurecent_1")->text(), QString(kit.path("A&&B/x.pas")).replace("&", "&&"));

    item(*form, "mnurecent_1")->trigger();
    EXPECT_EQ(dialogs.messages().size(), 1) << dialogs.messages().last().text.toStdString();
    ASSERT_EQ(form->nodeCount(), 2);
    EXPECT_EQ(form->node(2)->text(0), "X.PAS");
    item(*form, "mnurecent_0")->trigger();
    EXPECT_EQ(form->node(2)->text(0), "M.PAS");
    tarvel::ConfigSettings saved;
    tarvel::LoadSettingsFile(saved, kit.dir());
    EXPECT_EQ(saved.RecentFiles, (std::array<QString, 5>{kit.path("R&D/m.pas"), kit.path("A&&B/x.pas"), "", "", ""}));
}

TEST(Form1RecentFiles, ASettingsFileThatCannotBeWrittenIsReportedAndKept)
{
    TarvelKit kit;
    const QByteArray before = testfiles::read(kit.path("config.cfg"));
    QFile::setPermissions(kit.path("config.cfg"), QFileDevice::ReadOwner);
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->AddRecentFile("/w/a.tpj");
    QFile::setPermissions(kit.path("config.cfg"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains("config.cfg"));
    EXPECT_EQ(dialogs.messages()[0].title, "Error");
    EXPECT_EQ(testfiles::read(kit.path("config.cfg")), before);
    EXPECT_EQ(item(*form, "mnurecent_0")->text(), "/w/a.tpj") << "the program goes on";
}

TEST(Form1Window, ExitAsksAboutUnsavedEditsThenEndsTheProgramWritingNothingElse)
{
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "the window's close box" : "File > Exit");
        TarvelKit kit;
        const QByteArray before = testfiles::read(kit.path("config.cfg"));
        testfiles::write(kit.path("p/game.pas"), "begin end.\r\n");
        ScriptedDialogs dialogs;
        auto form = kit.startForm(dialogs);
        ASSERT_TRUE(form->LoadProject(kit.path("p/game.pas")));
        QTest::keyClicks(form->editor()->activeView(), "unsaved ");
        dialogs.queueAnswer(common::Dialogs::Answer::No);
        // The application's event loop, as main() runs it; the guard ends it with 99.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
        guard.start(60000);
        QTimer::singleShot(0, form.get(), [&] {
            if (closeBox)
                form->close();
            else
                item(*form, "mnuExit")->trigger();
        });
        EXPECT_EQ(QApplication::exec(), 0) << "the program ends";
        EXPECT_FALSE(form->isVisible());
        ASSERT_EQ(dialogs.calls().size(), 1);
        EXPECT_EQ(dialogs.calls()[0].text, "Save changes to GAME.PAS?");
        EXPECT_EQ(testfiles::read(kit.path("p/game.pas")), "begin end.\r\n") << "No gives the edits up";
        EXPECT_EQ(testfiles::read(kit.path("config.cfg")), before);
    }
}

TEST(Form1Edit, CtrlZInTheEditorIsEditUndo)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    CodeEditor* code = form->editor();
    code->setText("begin end.");
    code->setModified(false);
    code->setFocus();
    QTest::keyClick(code->activeView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code->text(), "begin end.") << "nothing to undo after a load";
    code->setCaret(0, 0);
    QTest::keyClicks(code->activeView(), "x");
    EXPECT_EQ(code->text(), "xbegin end.");
    QTest::keyClick(code->activeView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code->text(), "begin end.");
}

TEST(Form1Window, TheTreeAndTheEditorAreReachableByKeyboard)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->tree());
    QTest::keyClick(form->tree(), Qt::Key_Tab);
    EXPECT_TRUE(form->editor()->isAncestorOf(QApplication::focusWidget()));
}

TEST(Form1Edit, CtrlShiftZIsTheEditorsRedoNotUndo)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    CodeEditor* code = form->editor();
    code->setText("begin end.");
    code->setModified(false);
    code->setFocus();
    code->setCaret(0, 0);
    QTest::keyClicks(code->activeView(), "x");
    QTest::keyClick(code->activeView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(code->text(), "xbegin end.") << "nothing to redo, and nothing undone";
    QTest::keyClick(code->activeView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code->text(), "begin end.");
    QTest::keyClick(code->activeView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(code->text(), "xbegin end.") << "redone";
}

TEST(Form1Edit, AltCombinationsTypeNothing)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    CodeEditor* code = form->editor();
    code->setText("begin end.");
    code->setModified(false);
    code->setFocus();
    code->setCaret(0, 0);
    int typed = 0;
    QObject::connect(code, &CodeEditor::keyPress, [&](int, Qt::KeyboardModifiers, bool*) { ++typed; });
    // Alt+D has no menu; with the window inactive no menu takes Alt+F either, and the keys
    // reach the editor directly.
    QTest::keyClick(code->activeView(), Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(code->activeView(), Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(code->activeView(), Qt::Key_2, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(code->text(), "begin end.");
    EXPECT_FALSE(code->isModified());
    EXPECT_EQ(typed, 0) << "no character was typed";
    QTest::keyClicks(code->activeView(), "d");
    EXPECT_EQ(code->text(), "dbegin end.") << "plain keys still type";
}

TEST(Form1Print, APrinterThatCannotBeUsedIsReported)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    if (QPrinter(QPrinter::HighResolution).isValid() && !QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a printer is installed here";
    form->editor()->setText("program p;\r\n");
    form->mnuPrint_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("Printing failed")) << dialogs.messages()[0].text.toStdString();
    EXPECT_EQ(dialogs.messages()[0].icon, common::Dialogs::Icon::Exclamation);
}
