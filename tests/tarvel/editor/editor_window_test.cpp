#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "ToolsTestSupport.h"
#include "shell/CodeEditor.h"
#include "shell/FindReplaceDialog.h"
#include "tools/SystemProgramStarter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

using Answer = common::Dialogs::Answer;
using Icon = common::Dialogs::Icon;

namespace {

// Starts the stand-in programs and counts every start, as it happens.
class CountingStarter final : public tarvel::ProgramStarter {
public:
    explicit CountingStarter(const QString& bin) : m_system(QStringList{bin}) {}
    QString findProgram(const QStringList& names) const override { return m_system.findProgram(names); }
    bool start(const QString& program, const QStringList& arguments) override
    {
        started.append(QFileInfo(program).fileName());
        return m_system.start(program, arguments);
    }
    bool open(const QUrl& url) override { return m_system.open(url); }

    QStringList started;

private:
    tarvel::SystemProgramStarter m_system;
};

const QByteArray DemoMain = "program Demo;\r\n{$I show.inc}\r\nfunction FooBar(a: Integer): Integer;\r\nbegin FooBar := a end;\r\n"
                            "\r\nbegin\r\nend.\r\n";

// A kit whose word list holds WriteLn before Write, and the Demo project: a main file with the
// routine FooBar and an include with Show.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Also an empty line, a very long line and 8-bit characters.
        testfiles::write(kit.path("help/autocomplete.txt"), "WriteLn(items)\r\nWrite(items)\r\nFoo(x)\r\n\r\nClrScr\r\n"
                                                             "LongWord" + QByteArray(100000, 'w') + "\r\nGr\xfc\xdf(x)\r\n");
        dir = kit.path("work") + "/";
        testfiles::write(dir + "demo.pas", DemoMain);
        testfiles::write(dir + "show.inc", "procedure Show(s: Str80);\r\nbegin end;\r\n");
        form = kit.startForm(dialogs);
    }

    void open(bool autoTooltip = true)
    {
        form->Settings.AutoTooltip = autoTooltip;
        ASSERT_TRUE(form->LoadProject(dir + "demo.pas"));
        code()->setFocus();
    }
    CodeEditor* code() const { return form->editor(); }
    QsciScintilla* view() const { return code()->activeView(); }
    QString hint() const { return form->panel(3)->text(); }
    // Types at the end of line `line`.
    void typeAt(int line, const QString& text)
    {
        code()->setCaret(line, 1 << 20);
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClicks(view(), QString(c));
            else // a key of a national keyboard: its key code and the character it types
                QTest::sendKeyEvent(QTest::Click, view(), Qt::Key(QChar(c).toUpper().unicode()), QString(c), Qt::NoModifier);
        }
    }
    QAction* item(const char* name) const { return form->findChild<QAction*>(QString::fromLatin1(name)); }

    TarvelKit kit;
    QString dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};

} // namespace

TEST_F(EditorTest, CtrlTabCyclesThePanesAndTheActivePaneHasTheFocus)
{
    code()->setText("begin end.");
    code()->setModified(false);
    code()->setFocus();
    QTest::keyClick(view(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(code()->activePane(), 0) << "one pane: index 0 again";
    QTest::keyClick(view(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(code()->activePane(), 0);

    item("mnuSplit")->trigger();
    code()->setFocus();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers shift;
        int pane;
    } presses[] = {{Qt::Key_Tab, Qt::ControlModifier, 1}, {Qt::Key_Tab, Qt::ControlModifier, 0},
                   {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1},
                   {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0}};
    for (const auto& press : presses) {
        QTest::keyClick(QApplication::focusWidget(), press.key, press.shift);
        EXPECT_EQ(code()->activePane(), press.pane);
        EXPECT_EQ(QApplication::focusWidget(), code()->view(press.pane));
    }
    EXPECT_EQ(code()->text(), "begin end.") << "no tab typed";
    EXPECT_FALSE(code()->isModified());
}

TEST_F(EditorTest, CtrlF2AndCtrlF3StartTheirProgramOncePerPress)
{
    StandIns tools;
    tools.add("kcalc");
    tools.add("msximg", kit.dir());
    tools.release();
    auto owned = std::make_unique<CountingStarter>(tools.bin());
    CountingStarter* starter = owned.get();
    form->setProgramStarter(std::move(owned));
    code()->setFocus();

    QTest::keyClick(view(), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(starter->started, QStringList{"kcalc"});
    QTest::keyClick(view(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(starter->started, (QStringList{"kcalc", "msximg"}));
    EXPECT_EQ(tools.waitForLines(2).size(), 2) << "the stand-ins ran";

    // Other combinations with F2 do nothing in the editor.
    QTest::keyClick(view(), Qt::Key_F2);
    QTest::keyClick(view(), Qt::Key_F2, Qt::ShiftModifier);
    QTest::keyClick(view(), Qt::Key_F2, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(starter->started.size(), 2);

    // Outside the editor the menu shortcut does it, once as well.
    form->tree()->setFocus();
    QTest::keyClick(form->tree(), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(starter->started, (QStringList{"kcalc", "msximg", "kcalc"}));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(EditorTest, CtrlSSavesOncePerPress)
{
    open();
    typeAt(0, " { edited }");
    QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(testfiles::read(dir + "demo.pas").startsWith("program Demo; { edited }\r\n"));
    EXPECT_FALSE(code()->isModified());

    // Each save of a read-only file is reported: one press, one message.
    QFile::setPermissions(dir + "demo.pas", QFileDevice::ReadOwner);
    QTest::keyClick(view(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("The file could not be saved"));
}

TEST_F(EditorTest, CtrlZUndoesOneStepOnlyWhenTheTextIsModified)
{
    open(false);
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code()->text(), QString::fromLatin1(DemoMain)) << "nothing is undone after a load";

    typeAt(0, "x");
    typeAt(6, "y");
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code()->lineText(0), "program Demo;x") << "one press undoes one step";
    EXPECT_EQ(code()->lineText(6), "end.");
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(code()->text(), QString::fromLatin1(DemoMain));
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(code()->lineText(0), "program Demo;x") << "Ctrl+Shift+Z redoes";
}

TEST_F(EditorTest, TheRightButtonOpensTheEditMenuAtTheMouse)
{
    code()->setText("copy me");
    code()->setFocus();
    auto* edit = form->findChild<QMenu*>("mnuEdit");
    const QPoint at(60, 25);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(edit->isVisible());
    view()->selectAll();
    QTest::mouseClick(view()->viewport(), Qt::RightButton, {}, at);
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->geometry().topLeft(), view()->viewport()->mapToGlobal(at));

    // Its items work like the menu bar's.
    QApplication::clipboard()->clear();
    QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(item("mnuCopy")).center());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(QApplication::clipboard()->text(), "copy me");
}

TEST_F(EditorTest, BracketsShowTheFirstMatchWordListBeforeHeaders)
{
    open();
    const struct {
        const char* typed;
        const char* hint;
    } rows[] = {
        {" (", "WriteLn(items)"},   // the empty word matches the first entry
        {" write(", "WriteLn(items)"},
        {" foo(", "Foo(x)"},
        {" foobar(", "FooBar(a: Integer): Integer;"},
        {" show[", "Show(s: Str80);"}, // from the include file
        {" nothing(", ""},
        {" gr\xfc(", "Gr\xfc\xdf(x)"},
        {" longword(", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        typeAt(5, QString::fromLatin1(row.typed));
        EXPECT_EQ(hint(), row.hint ? QString::fromLatin1(row.hint) : "LongWord" + QString(100000, 'w'));
        EXPECT_TRUE(code()->lineText(5).endsWith(QString::fromLatin1(row.typed))) << "the bracket is typed as well";
    }
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(EditorTest, CtrlEnterReadsTheShownDocumentsRoutinesAgain)
{
    open();
    EXPECT_EQ(form->project().routines(0), QStringList{"FooBar(a: Integer): Integer;"});
    EXPECT_EQ(form->project().routines(1), QStringList{"Show(s: Str80);"});
    typeAt(4, "procedure Added(x: Byte);");
    typeAt(5, " added(");
    EXPECT_EQ(hint(), "") << "not read yet";
    QTest::keyClick(view(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(form->project().routines(0), (QStringList{"FooBar(a: Integer): Integer;", "Added(x: Byte);"}));
    typeAt(5, " added(");
    EXPECT_EQ(hint(), "Added(x: Byte);");

    // With the project node selected there is no document to read.
    clickTreeNode(*form, 1);
    code()->setFocus();
    QTest::keyClick(view(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(hint(), "") << "cleared";
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Error refreshing tooltips");
    EXPECT_EQ(dialogs.messages()[0].title, "Tarvel");
    EXPECT_EQ(dialogs.messages()[0].icon, Icon::Critical);
    EXPECT_EQ(dialogs.messages()[0].buttons, common::Dialogs::Buttons::Ok);
    EXPECT_EQ(form->project().routines(0).size(), 2) << "unchanged";
}

TEST_F(EditorTest, AFileIncludedTwiceHasTheSameRoutinesInBothPlaces)
{
    testfiles::write(dir + "demo.pas", "{$I show.inc}\r\n{$I other.inc}\r\n{$I show.inc}\r\n");
    testfiles::write(dir + "other.inc", "procedure Other;\r\n");
    open();
    ASSERT_EQ(form->nodeCount(), 5);
    clickTreeNode(*form, 3);
    code()->setFocus();
    typeAt(2, "procedure ShowMore;");
    QTest::keyClick(view(), Qt::Key_Return, Qt::ControlModifier);
    const QStringList both{"Show(s: Str80);", "ShowMore;"};
    EXPECT_EQ(form->project().routines(1), both);
    EXPECT_EQ(form->project().routines(3), both);
    EXPECT_EQ(form->project().routines(2), QStringList{"Other;"});
}

TEST_F(EditorTest, IncludesOfIncludesHaveTheirRoutinesInEveryPlace)
{
    // The tree's scan reads the includes of the main file; the nested ones are read afterwards.
    testfiles::write(dir + "demo.pas", "{$I outer.inc}\r\nprocedure Main;\r\n{$I outer.inc}\r\n");
    testfiles::write(dir + "outer.inc", "{$I inner.inc}\r\nprocedure Outer;\r\n");
    testfiles::write(dir + "inner.inc", "function Inner: Byte;\r\n");
    open();
    ASSERT_EQ(form->nodeCount(), 6);
    const QStringList expected[] = {{"Main;"}, {"Outer;"}, {"Outer;"}, {"Inner: Byte;"}, {"Inner: Byte;"}};
    for (int file = 0; file < 5; ++file)
        EXPECT_EQ(form->project().routines(file), expected[file]) << form->node(file + 2)->text(0).toStdString();
}

TEST_F(EditorTest, WithAutoTooltipOffNothingIsReadAndBracketsChangeNothing)
{
    open(false);
    EXPECT_TRUE(form->project().routines(0).isEmpty());
    EXPECT_TRUE(form->project().routines(1).isEmpty());
    form->panel(3)->setText("kept");
    typeAt(5, " write(");
    QTest::keyClick(view(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(hint(), "kept");
    clickTreeNode(*form, 1);
    code()->setFocus();
    QTest::keyClick(view(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Switched on after the load: the lists are empty, not missing. A lookup that meets one
    // rebuilds the shown document's list for the next lookup, without a message even while the
    // project node is selected.
    form->Settings.AutoTooltip = true;
    typeAt(5, " foobar(");
    EXPECT_EQ(hint(), "");
    EXPECT_TRUE(dialogs.calls().isEmpty());
    clickTreeNode(*form, 2);
    code()->setFocus();
    typeAt(5, " foobar(");
    EXPECT_EQ(hint(), "") << "the list is rebuilt now, searched next time";
    typeAt(5, " foobar(");
    EXPECT_EQ(hint(), "FooBar(a: Integer): Integer;");
    EXPECT_TRUE(form->project().routines(1).isEmpty()) << "other files are read at the next load";
}

TEST_F(EditorTest, NoProjectSearchesTheWordListOnly)
{
    form->Settings.AutoTooltip = true;
    code()->setText("");
    code()->setFocus();
    QTest::keyClicks(view(), "clrscr(");
    EXPECT_EQ(hint(), "ClrScr");
    QTest::keyClick(view(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(EditorTest, AVeryLongHeaderIsShownWholeWithoutWideningTheWindow)
{
    const QString longHeader = "Huge" + QString(100000, 'x') + ";";
    testfiles::write(dir + "show.inc", "procedure " + longHeader.toLatin1() + "\r\n");
    open();
    const int width = form->width();
    typeAt(5, " huge(");
    EXPECT_EQ(hint(), longHeader);
    QApplication::processEvents();
    EXPECT_EQ(form->width(), width);
    form->panel(3)->setText("<b>bold</b>");
    EXPECT_EQ(form->panel(3)->textFormat(), Qt::PlainText);
}

TEST_F(EditorTest, EditCommandsAndTheirEnabledState)
{
    code()->loadBytes("alpha beta");
    code()->setFocus();
    QApplication::clipboard()->clear();
    form->Timer1_Timer();
    for (const char* name : {"mnuCut", "mnuCopy", "mnuPaste", "mnuUndo", "mnuRedo"})
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    form->mnuCut_Click();
    form->mnuDelete_Click();
    EXPECT_EQ(code()->text(), "alpha beta") << "nothing selected: nothing cut or deleted";

    view()->setSelection(0, 0, 0, 6);
    form->Timer1_Timer();
    EXPECT_TRUE(item("mnuCut")->isEnabled());
    EXPECT_TRUE(item("mnuCopy")->isEnabled());
    item("mnuCut")->trigger();
    EXPECT_EQ(code()->text(), "beta");
    form->Timer1_Timer();
    EXPECT_TRUE(item("mnuPaste")->isEnabled());
    EXPECT_TRUE(item("mnuUndo")->isEnabled());
    EXPECT_FALSE(item("mnuCut")->isEnabled());
    code()->setCaret(0, 4);
    item("mnuPaste")->trigger();
    EXPECT_EQ(code()->text(), "betaalpha ");
    item("mnuUndo")->trigger();
    EXPECT_EQ(code()->text(), "beta");
    form->Timer1_Timer();
    EXPECT_TRUE(item("mnuRedo")->isEnabled());
    item("mnuRedo")->trigger();
    EXPECT_EQ(code()->text(), "betaalpha ");
    view()->setSelection(0, 0, 0, 4);
    item("mnuDelete")->trigger();
    EXPECT_EQ(code()->text(), "alpha ");

    // Find Next with no search text yet asks for one; Find and Replace open their dialogs.
    item("mnuFindNext")->trigger();
    ASSERT_NE(code()->findReplaceDialog(), nullptr);
    EXPECT_TRUE(code()->findReplaceDialog()->isVisible());
    EXPECT_FALSE(code()->findReplaceDialog()->isReplaceMode());
    code()->findReplaceDialog()->close();
    item("mnuReplace")->trigger();
    EXPECT_TRUE(code()->findReplaceDialog()->isVisible());
    EXPECT_TRUE(code()->findReplaceDialog()->isReplaceMode());
    item("mnuFind")->trigger();
    EXPECT_FALSE(code()->findReplaceDialog()->isReplaceMode());
    code()->findReplaceDialog()->close();

    item("mnuClear")->trigger();
    EXPECT_EQ(code()->text(), "");
    EXPECT_TRUE(dialogs.calls().isEmpty());
}
