#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

using Answer = common::Dialogs::Answer;

namespace {

const QByteArray Main = "program Demo;\r\n"   // 0
                        "{$I A.INC}\r\n"      // 1
                        "{$i later.inc }\r\n" // 2: made after the tree was built
                        "{$I gone.inc}\r\n"   // 3: no such file
                        "{$I sub}\r\n"        // 4: a folder
                        "begin\r\n"           // 5
                        "end.\r\n";

class IncludeJump : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = kit.path("work") + "/";
        testfiles::write(dir + "demo.pas", Main);
        testfiles::write(dir + "a.inc", "procedure a;\r\nbegin end;\r\n");
        QDir().mkpath(dir + "sub");
        form = kit.startForm(dialogs);
        form->setProjectName("Demo");
        ASSERT_TRUE(form->LoadProject(dir + "demo.pas"));
        ASSERT_EQ(form->nodeCount(), 3);
    }
    // F12 with the caret on `line` of the shown text.
    void f12(int line)
    {
        form->editor()->setCaret(line, 2);
        QTest::keyClick(form->editor()->activeView(), Qt::Key_F12);
    }
    QString shown() const { return form->project().shownName(); }

    TarvelKit kit;
    QString dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};

} // namespace

TEST_F(IncludeJump, F12OnADirectiveShowsItsNodeThroughTheDocumentSwitch)
{
    f12(1);
    EXPECT_EQ(shown(), "A.INC");
    EXPECT_EQ(form->tree()->currentItem(), form->node(3));
    EXPECT_EQ(form->editor()->text(), "procedure a;\r\nbegin end;\r\n");
    EXPECT_EQ(form->panel(2)->text(), "Current View: A.INC");
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Back in the main file with an edit: the switch asks first, and Cancel stays.
    clickTreeNode(*form, 2);
    form->editor()->insertText("{ edit }", 0, 0);
    dialogs.queueAnswer(Answer::Cancel);
    f12(1);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to DEMO.PAS?");
    EXPECT_EQ(shown(), "DEMO.PAS");
    dialogs.queueAnswer(Answer::Yes);
    f12(1);
    EXPECT_EQ(shown(), "A.INC");
    EXPECT_TRUE(testfiles::read(dir + "demo.pas").startsWith("{ edit }"));

    // A line without a directive says so and stays.
    f12(0);
    EXPECT_EQ(form->panel(3)->text(), "No include directive on this line.");
    EXPECT_EQ(shown(), "A.INC");
}

TEST_F(IncludeJump, CtrlClickOnADirectiveShowsItsInclude)
{
    QsciScintilla* view = form->editor()->activeView();
    const auto pointOf = [view](int line) {
        const long position = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        const int x = int(view->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, position));
        const int y = int(view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, position));
        return QPoint(x + 4, y + int(view->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line)) / 2);
    };
    // A plain click and a Ctrl+click elsewhere change nothing.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, pointOf(1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, pointOf(5));
    // A jump is queued behind the click; a step queued after the clicks runs after it.
    bool queuedStepsRan = false;
    QTimer::singleShot(0, form.get(), [&] { queuedStepsRan = true; });
    ASSERT_TRUE(testfiles::waitUntil([&] { return queuedStepsRan; }));
    EXPECT_EQ(shown(), "DEMO.PAS");

    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, pointOf(1));
    ASSERT_TRUE(testfiles::waitUntil([&] { return shown() == "A.INC"; }));
    EXPECT_EQ(form->editor()->text(), "procedure a;\r\nbegin end;\r\n");
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(IncludeJump, AFileOutsideTheTreeIsShownAfterARefreshTheUserAgreesTo)
{
    testfiles::write(dir + "later.inc", "{ later }\r\n");
    dialogs.queueAnswer(Answer::No);
    f12(2);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              "LATER.INC is in the project folder but not in the project tree.\nRefresh the project tree to show it?");
    EXPECT_EQ(dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNo);
    EXPECT_EQ(form->nodeCount(), 3) << "No leaves the tree as it is";
    EXPECT_EQ(shown(), "DEMO.PAS");

    dialogs.queueAnswer(Answer::Yes);
    f12(2);
    EXPECT_EQ(form->nodeCount(), 4);
    EXPECT_EQ(shown(), "LATER.INC");
    EXPECT_EQ(form->editor()->text(), "{ later }\r\n");
}

TEST_F(IncludeJump, AMissingFileOrAFolderIsNamed)
{
    f12(3);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              "The include file GONE.INC is missing: there is no such file in the project folder\n" + dir);
    EXPECT_EQ(dialogs.messages()[0].icon, common::Dialogs::Icon::Exclamation);
    f12(4);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[1].text, "The include directive names a folder, not a file:\n" + dir + "sub");
    EXPECT_EQ(shown(), "DEMO.PAS");
    EXPECT_EQ(form->nodeCount(), 3);
}

TEST_F(IncludeJump, ACtrlClickJumpLeavesNothingSelectedInTheDocumentItShows)
{
    QsciScintilla* view = form->editor()->activeView();
    const long start = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1);
    const QPoint onDirective(int(view->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, start)) + 4,
                             int(view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, start))
                                 + int(view->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 1)) / 2);
    // The document changes while the button is still down; the hand moves on before letting go.
    QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::ControlModifier, onDirective);
    ASSERT_TRUE(testfiles::waitUntil([&] { return shown() == "A.INC"; }));
    QTest::mouseMove(view->viewport(), onDirective + QPoint(80, 0));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::ControlModifier, onDirective + QPoint(80, 0));
    EXPECT_FALSE(view->hasSelectedText());

    QTest::keyClicks(view, "x");
    EXPECT_EQ(form->editor()->text(), "xprocedure a;\r\nbegin end;\r\n") << "the next key replaced nothing";
}

TEST_F(IncludeJump, AnIncludeOutsideTheFolderOrBelowWhatTheTreeReadsIsExplainedWithoutARefresh)
{
    testfiles::write(kit.path("outside/x.inc"), "{ x }\r\n");
    const QString deep = kit.path("deep") + "/";
    testfiles::write(deep + "main.pas", "program M;\r\n{$I b.inc}\r\n{$I ../outside/x.inc}\r\nbegin end.\r\n");
    testfiles::write(deep + "b.inc", "{$I c.inc}\r\n");
    testfiles::write(deep + "c.inc", "{$I d.inc}\r\n");
    testfiles::write(deep + "d.inc", "{ d }\r\n");
    ASSERT_TRUE(form->LoadProject(deep + "main.pas"));
    const int nodes = form->nodeCount();
    int nodeOfC = 0;
    for (int i = 2; i <= nodes; ++i) {
        if (form->project().node(i).text == "C.INC")
            nodeOfC = i;
    }
    ASSERT_NE(nodeOfC, 0) << "two levels down is the deepest the tree shows";

    const struct {
        const char* name;
        int node;
        int line;
        const char* says;
    } cases[] = {
        {"outside the project folder", 2, 2, "outside the project folder"},
        {"included three levels down", nodeOfC, 0, "two levels below the main file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clickTreeNode(*form, c.node);
        form->editor()->insertText("{ edit }", form->editor()->lineCount(), 0);
        dialogs.clear();
        f12(c.line);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_TRUE(dialogs.messages()[0].text.contains(c.says)) << dialogs.messages()[0].text.toStdString();
        EXPECT_EQ(dialogs.messages()[0].buttons, common::Dialogs::Buttons::Ok) << "no refresh that cannot help";
        EXPECT_EQ(form->nodeCount(), nodes);
        EXPECT_TRUE(form->editor()->isModified()) << "nothing was saved";
        form->editor()->setModified(false);
    }
    EXPECT_EQ(testfiles::read(deep + "c.inc"), "{$I d.inc}\r\n");
}
