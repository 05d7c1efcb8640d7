#include "shell/Form1.h"

#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>


using Answer = common::Dialogs::Answer;
using Icon = common::Dialogs::Icon;
using Kind = ScriptedDialogs::Kind;

namespace {

const QByteArray DemoMain = "program Demo;\r\n\r\nbegin\r\nend.\r\n";
const QString CopyQuestion =
    "Files included must be on the same path as the PAS file\r\nDo you wish to copy this file to the project dir?";

// The Demo project in work/ (main file only, or with a.inc), opened, the caret on the empty line.
class IncludeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = kit.path("work") + "/";
        testfiles::write(dir + "demo.pas", DemoMain);
        form = kit.startForm(dialogs);
    }
    void open()
    {
        form->setProjectName("Demo");
        ASSERT_TRUE(form->LoadProject(dir + "demo.pas"));
        form->editor()->setCaret(1, 0);
    }
    void trigger(const char* name) { form->findChild<QAction*>(QString::fromLatin1(name))->trigger(); }
    QString insertQuestion(const QString& name) const
    {
        return "Insert {$i " + name + "} at the current cursor position?";
    }
    void expectQuestion(int call, const QString& text, const QString& title) const
    {
        ASSERT_GT(dialogs.calls().size(), call);
        const ScriptedDialogs::Call& c = dialogs.calls()[call];
        EXPECT_EQ(c.kind, Kind::Message);
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.title, title);
        EXPECT_EQ(c.icon, Icon::Question);
        EXPECT_EQ(c.buttons, common::Dialogs::Buttons::YesNo);
    }
    QStringList files(const QString& folder) const
    {
        QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        names.sort();
        return names;
    }

    TarvelKit kit;
    QString dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};

} // namespace

TEST_F(IncludeTest, NewIncludeAnsweredYesGoesAtTheCaretAndTheNewFileIsShown)
{
    open();
    dialogs.queuePath(dir + "util.inc");
    dialogs.queueAnswer(Answer::Yes);
    trigger("mnuNewInc");

    ASSERT_EQ(dialogs.calls().size(), 2);
    const ScriptedDialogs::Call& save = dialogs.calls()[0];
    EXPECT_EQ(save.kind, Kind::Save);
    EXPECT_EQ(save.title, "New Include file");
    EXPECT_EQ(save.initialDirectory, dir);
    ASSERT_EQ(save.filters.size(), 1);
    EXPECT_EQ(save.filters[0].description, "Include files (*.inc, *.lib) ");
    EXPECT_EQ(save.filters[0].patterns, (QStringList{"*.inc", "*.lib"}));
    expectQuestion(1, insertQuestion("util.inc"), "Tarvel");

    EXPECT_EQ(testfiles::read(dir + "demo.pas"), "program Demo;\r\n{$i util.inc }\r\nbegin\r\nend.\r\n");
    EXPECT_TRUE(QFile::exists(dir + "util.inc"));
    EXPECT_EQ(testfiles::read(dir + "util.inc"), "");
    ASSERT_EQ(form->nodeCount(), 3);
    EXPECT_EQ(form->node(3)->text(0), "UTIL.INC");
    EXPECT_EQ(form->node(3)->parent(), form->node(2));
    EXPECT_EQ(form->project().shownNode(), 3);
    EXPECT_EQ(form->tree()->currentItem(), form->node(3));
    EXPECT_EQ(form->editor()->text(), "");
    EXPECT_FALSE(form->editor()->isModified());
    EXPECT_EQ(form->panel(2)->text(), "Current View: UTIL.INC");
}

TEST_F(IncludeTest, NewIncludeAnsweredNoGoesBeforeTheFirstCharacterAndIsCreatedInTheProjectFolder)
{
    open();
    dialogs.queuePath(kit.path("other") + "/util.inc");
    dialogs.queueAnswer(Answer::No);
    trigger("mnuNewInc");

    EXPECT_EQ(testfiles::read(dir + "demo.pas"), "{$i util.inc }program Demo;\r\n\r\nbegin\r\nend.\r\n");
    EXPECT_TRUE(QFile::exists(dir + "util.inc"));
    EXPECT_FALSE(QFile::exists(kit.path("other") + "/util.inc"));
    EXPECT_EQ(form->nodeCount(), 2) << "not a line of its own: the tree scan does not see it";
    EXPECT_EQ(form->project().shownNode(), 2);
    EXPECT_EQ(form->panel(2)->text(), "Current View: DEMO.PAS");
}

TEST_F(IncludeTest, NewIncludeAsksBeforeEmptyingAFileThatHoldsText)
{
    testfiles::write(dir + "Util.inc", "procedure keep;\r\n");
    open();
    const QString question = QStringLiteral("The file %1 already exists in the project folder.\n"
                                            "Empty it to make it the new include file?").arg(dir + "Util.inc");
    dialogs.queuePath(dir + "util.inc");
    dialogs.queueAnswer(Answer::No);
    trigger("mnuNewInc");
    ASSERT_EQ(dialogs.calls().size(), 2);
    expectQuestion(1, question, "Tarvel");
    EXPECT_EQ(testfiles::read(dir + "Util.inc"), "procedure keep;\r\n");
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), DemoMain);
    EXPECT_EQ(form->editor()->text(), QString::fromLatin1(DemoMain));
    EXPECT_EQ(files(dir), (QStringList{"Util.inc", "demo.pas"}));

    dialogs.clear();
    dialogs.queuePath(dir + "util.inc");
    dialogs.queueAnswer(Answer::Yes);
    dialogs.queueAnswer(Answer::Yes);
    trigger("mnuNewInc");
    ASSERT_EQ(dialogs.calls().size(), 3);
    expectQuestion(2, insertQuestion("util.inc"), "Tarvel");
    EXPECT_EQ(testfiles::read(dir + "Util.inc"), "");
    EXPECT_EQ(files(dir), (QStringList{"Util.inc", "demo.pas"})) << "no second file in another letter case";
    EXPECT_EQ(form->panel(2)->text(), "Current View: UTIL.INC");

    // An empty file of that name loses nothing: no question.
    dialogs.clear();
    dialogs.queuePath(dir + "util.inc");
    trigger("mnuNewInc");
    EXPECT_EQ(dialogs.calls().size(), 2);
}

TEST_F(IncludeTest, WithTheProjectNodeSelectedTheShownDocumentIsSaved)
{
    testfiles::write(dir + "demo.pas", "program Demo;\r\n{$I a.inc}\r\nbegin\r\nend.\r\n");
    testfiles::write(dir + "a.inc", "procedure a;\r\n");
    open();
    clickTreeNode(*form, 3);
    clickTreeNode(*form, 1);
    ASSERT_EQ(form->project().selectedNode(), 1);
    dialogs.queuePath(dir + "new.inc");
    dialogs.queueAnswer(Answer::No);
    trigger("mnuNewInc");

    EXPECT_EQ(testfiles::read(dir + "a.inc"), "{$i new.inc }procedure a;\r\n");
    EXPECT_EQ(files(dir), (QStringList{"a.inc", "demo.pas", "new.inc"})) << "nothing saved under the project's name";
}

TEST_F(IncludeTest, NewIncludeWhoseSaveFailsKeepsTheEditsAndTheProject)
{
    open();
    dialogs.queuePath(dir + "util.inc");
    dialogs.queueAnswer(Answer::Yes);
    {
        FileSizeLimit full(16);
        ASSERT_TRUE(full.active());
        trigger("mnuNewInc");
    }
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].text.startsWith("The file could not be saved")) << dialogs.messages()[1].text.toStdString();
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), DemoMain);
    EXPECT_EQ(form->editor()->lineText(1), "{$i util.inc }");
    EXPECT_TRUE(form->editor()->isModified());
    EXPECT_EQ(form->nodeCount(), 2);
    EXPECT_EQ(files(dir), (QStringList{"demo.pas", "util.inc"})) << "no temporary file left";
}

TEST_F(IncludeTest, OpenIncludeFromTheProjectFolderAsksOnlyWhereToInsert)
{
    testfiles::write(dir + "gfx.inc", "procedure gfx;\r\n");
    open();
    dialogs.queuePath(dir + "gfx.inc");
    dialogs.queueAnswer(Answer::Yes);
    trigger("mnuOpenIncfile");

    ASSERT_EQ(dialogs.calls().size(), 2);
    const ScriptedDialogs::Call& choose = dialogs.calls()[0];
    EXPECT_EQ(choose.kind, Kind::Open);
    EXPECT_EQ(choose.title, "Open include file");
    EXPECT_EQ(choose.initialDirectory, dir);
    ASSERT_EQ(choose.filters.size(), 2);
    EXPECT_EQ(choose.filters[0].patterns, (QStringList{"*.inc", "*.lib"}));
    EXPECT_EQ(choose.filters[1].description, " All files (*.*) ");
    EXPECT_EQ(choose.filters[1].patterns, QStringList{"*.*"});
    expectQuestion(1, insertQuestion("gfx.inc"), "Tarvel");
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), "program Demo;\r\n{$i gfx.inc }\r\nbegin\r\nend.\r\n");
    ASSERT_EQ(form->nodeCount(), 3);
    EXPECT_EQ(form->node(3)->text(0), "GFX.INC");
    EXPECT_EQ(form->project().shownNode(), 2) << "the main file is shown after the refresh";
    EXPECT_EQ(testfiles::read(dir + "gfx.inc"), "procedure gfx;\r\n");
}

TEST_F(IncludeTest, OpenIncludeFromElsewhereCopiesOnlyWhenTheUserSaysSo)
{
    testfiles::write(dir + "GFX.INC", "procedure old;\r\n");
    testfiles::write(kit.path("lib/gfx.inc"), "procedure gfx;\r\n");
    open();
    dialogs.queuePath(kit.path("lib/gfx.inc"));
    dialogs.queueAnswer(Answer::No);
    trigger("mnuOpenIncfile");
    ASSERT_EQ(dialogs.calls().size(), 2);
    expectQuestion(1, CopyQuestion, " Error");
    EXPECT_EQ(testfiles::read(dir + "GFX.INC"), "procedure old;\r\n");
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), DemoMain);
    EXPECT_EQ(form->editor()->text(), QString::fromLatin1(DemoMain));
    EXPECT_FALSE(form->editor()->isModified());

    dialogs.clear();
    dialogs.queuePath(kit.path("lib/gfx.inc"));
    dialogs.queueAnswer(Answer::Yes);
    dialogs.queueAnswer(Answer::Yes);
    trigger("mnuOpenIncfile");
    ASSERT_EQ(dialogs.calls().size(), 3);
    expectQuestion(2, insertQuestion("gfx.inc"), "Tarvel");
    EXPECT_EQ(testfiles::read(dir + "GFX.INC"), "procedure gfx;\r\n") << "the older file is replaced";
    EXPECT_EQ(files(dir), (QStringList{"GFX.INC", "demo.pas"}));
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), "program Demo;\r\n{$i gfx.inc }\r\nbegin\r\nend.\r\n");
    EXPECT_EQ(form->nodeCount(), 3);
}

TEST_F(IncludeTest, OpenIncludeThroughALinkToTheProjectFolderDoesNotCopyTheFileOntoItself)
{
    testfiles::write(dir + "gfx.inc", "procedure gfx;\r\n");
    ASSERT_TRUE(QFile::link(kit.path("work"), kit.path("alias")));
    open();
    dialogs.queuePath(kit.path("alias/gfx.inc"));
    dialogs.queueAnswer(Answer::Yes);
    dialogs.queueAnswer(Answer::Yes);
    trigger("mnuOpenIncfile");
    expectQuestion(1, CopyQuestion, " Error");
    EXPECT_EQ(dialogs.messages().size(), 2) << "no failure";
    EXPECT_EQ(testfiles::read(dir + "gfx.inc"), "procedure gfx;\r\n");
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), "program Demo;\r\n{$i gfx.inc }\r\nbegin\r\nend.\r\n");
}

TEST_F(IncludeTest, ACopyThatFailsDamagesNeitherFileNorTheDocument)
{
    const QByteArray source = "procedure gfx; { " + QByteArray(200, 'x') + " }\r\n";
    testfiles::write(kit.path("lib/gfx.inc"), source);
    testfiles::write(kit.path("lib/ro.inc"), "procedure ro;\r\n");
    testfiles::write(dir + "ro.inc", "procedure old;\r\n");
    QFile::setPermissions(dir + "ro.inc", QFileDevice::ReadOwner);
    open();
    const struct {
        const char* name;
        const char* file;
        rlim_t limit;
    } rows[] = {{"read-only include of that name", "ro.inc", RLIM_INFINITY}, {"full disk", "gfx.inc", 64}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.clear();
        dialogs.queuePath(kit.path("lib/") + row.file);
        dialogs.queueAnswer(Answer::Yes);
        {
            FileSizeLimit full(row.limit);
            if (row.limit != RLIM_INFINITY) {
                ASSERT_TRUE(full.active());
            }
            trigger("mnuOpenIncfile");
        }
        ASSERT_EQ(dialogs.messages().size(), 2);
        EXPECT_TRUE(dialogs.messages()[1].text.startsWith("The include file could not be copied")) << dialogs.messages()[1].text.toStdString();
        EXPECT_EQ(dialogs.messages()[1].title, "Error");
        EXPECT_EQ(dialogs.messages()[1].icon, Icon::Critical);
    }
    EXPECT_EQ(testfiles::read(dir + "ro.inc"), "procedure old;\r\n");
    EXPECT_EQ(testfiles::read(kit.path("lib/gfx.inc")), source);
    EXPECT_EQ(files(dir), (QStringList{"demo.pas", "ro.inc"}));
    EXPECT_EQ(testfiles::read(dir + "demo.pas"), DemoMain);
    EXPECT_EQ(form->editor()->text(), QString::fromLatin1(DemoMain));
}

TEST_F(IncludeTest, CancelledDialogsChangeNothing)
{
    open();
    trigger("mnuNewInc");
    trigger("mnuOpenIncfile");
    EXPECT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(files(dir), QStringList{"demo.pas"});
    EXPECT_EQ(form->editor()->text(), QString::fromLatin1(DemoMain));
}

TEST_F(IncludeTest, BothCommandsWaitForARunningBuild)
{
    // The stand-in compiler sleeps a second on this marker, long enough to act meanwhile.
    QFile::copy(testfiles::testToolsDir() + "/tp3", kit.path("compiler/TP3"));
    QFile::setPermissions(kit.path("compiler/TP3"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    testfiles::write(kit.path("compiler/runtime.com"), "RUNTIME");
    testfiles::write(dir + "demo.pas", "program Demo;\r\n{SLEEP:1}\r\nbegin end.\r\n");
    open();
    bool tried = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (tried || !form->isBuilding())
            return;
        tried = true;
        dialogs.queuePath(dir + "util.inc");
        dialogs.queuePath(dir + "demo.pas");
        trigger("mnuNewInc");
        trigger("mnuOpenIncfile");
    });
    poll.start(10);
    trigger("mnuCompile");
    ASSERT_TRUE(tried);
    const QList<ScriptedDialogs::Call> refusals = dialogs.calls();
    ASSERT_GE(refusals.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(refusals[i].text, "A build is still running. Wait until it has finished.");
        EXPECT_EQ(refusals[i].title, "Tarvel");
        EXPECT_EQ(refusals[i].icon, Icon::Information);
    }
    EXPECT_FALSE(QFile::exists(dir + "util.inc"));
}
