#include "shell/Form1.h"

#include "FindControl.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <functional>

using Answer = common::Dialogs::Answer;
using Buttons = common::Dialogs::Buttons;

namespace {

const QByteArray Game = "program game;\r\n{$I A.INC}\r\nbegin\r\nend.\r\n";
const QByteArray Include = "procedure a;\r\nbegin end;\r\n";

// Acts on the modal window the next command opens, once it is open.
void whenModalOpens(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [=] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(modal);
    });
}

// Runs the application's event loop as main() does, starting it with `act`; returns its exit
// code (99 when nothing ended it).
int runUntilEnded(QObject* context, const std::function<void()>& act)
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
    guard.start(60000);
    QTimer::singleShot(0, context, act);
    return QApplication::exec();
}

// The game project (GAME.PAS including A.INC, project "Demo") opened, and a second project.
class UnsavedEdits : public ::testing::Test {
public: // the command table below acts through these
    void SetUp() override { open(); }

    void open(bool autoSave = false)
    {
        dir = kit.path("work") + "/";
        testfiles::write(dir + "game.pas", Game);
        testfiles::write(dir + "a.inc", Include);
        testfiles::write(dir + "game.tpj", "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
        testfiles::write(kit.path("other/other.pas"), "program other;\r\nbegin end.\r\n");
        testfiles::write(kit.path("other/other.tpj"), "Other\r\n2E9B\r\nD200\r\nOTHER.PAS\r\n");
        tarvel::ConfigSettings settings = kit.defaults();
        settings.ShowNewProjectDialog = false;
        settings.AutoSave = autoSave;
        settings.RecentFiles[0] = kit.path("other/other.tpj");
        kit.writeConfig(settings);
        form = kit.startForm(dialogs);
        ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
    }
    void trigger(const char* name) { control<QAction>(form.get(), name)->trigger(); }
    // Typed at the start of the shown text.
    void type(const QString& text)
    {
        form->editor()->setCaret(0, 0);
        QTest::keyClicks(form->editor()->activeView(), text);
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(form->editor()->activeView(), key, modifiers);
    }
    QString shown() const { return form->project().shownName(); }
    // Leaves the window for another one and comes back, as a user does after using another program.
    void comeBack()
    {
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    TarvelKit kit;
    QString dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};

} // namespace

TEST_F(UnsavedEdits, ExitAndTheCloseBoxAskToSaveTheShownFile)
{
    const struct {
        const char* name;
        bool closeBox;
        bool autoSave;
        Answer answer;
        bool ends;
        bool saved;
    } cases[] = {
        {"File > Exit, Cancel", false, false, Answer::Cancel, false, false},
        {"close box, Cancel", true, false, Answer::Cancel, false, false},
        {"File > Exit, No", false, false, Answer::No, true, false},
        {"close box, Yes", true, false, Answer::Yes, true, true},
        {"close box with AutoSave", true, true, Answer::Ok, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        dialogs.clear();
        open(c.autoSave);
        type("x");
        if (!c.autoSave)
            dialogs.queueAnswer(c.answer);
        const auto act = [&] {
            if (c.closeBox)
                form->close();
            else
                trigger("mnuExit");
        };
        if (c.ends) {
            EXPECT_EQ(runUntilEnded(form.get(), act), 0) << "the program ends";
        } else {
            act();
            EXPECT_TRUE(form->isVisible());
            EXPECT_EQ(form->editor()->text(), "x" + Game);
            EXPECT_TRUE(form->editor()->isModified());
        }
        if (c.autoSave) {
            EXPECT_TRUE(dialogs.calls().isEmpty());
        } else {
            ASSERT_EQ(dialogs.messages().size(), 1);
            EXPECT_EQ(dialogs.messages()[0].text, "Save changes to GAME.PAS?");
            EXPECT_EQ(dialogs.messages()[0].buttons, Buttons::YesNoCancel);
        }
        EXPECT_EQ(testfiles::read(dir + "game.pas"), c.saved ? "x" + Game : Game);
    }
}

TEST_F(UnsavedEdits, EveryCommandThatReplacesTheShownFileAsksFirst)
{
    const struct {
        const char* name;
        std::function<void(UnsavedEdits&)> act;
    } commands[] = {
        {"File > Open > Project file",
         [](UnsavedEdits& t) {
             t.dialogs.queuePath(t.kit.path("other/other.tpj"));
             t.trigger("mnuOpenProject");
         }},
        {"File > Open > Pascal file",
         [](UnsavedEdits& t) {
             t.dialogs.queuePath(t.kit.path("other/other.pas"));
             t.trigger("mnuFileOpen");
         }},
        {"a recent item", [](UnsavedEdits& t) { t.trigger("mnurecent_0"); }},
        {"Refresh Project Tree", [](UnsavedEdits& t) { t.trigger("mnuRefresh"); }},
        {"a click on another node", [](UnsavedEdits& t) { clickTreeNode(*t.form, 3); }},
        {"F12 on an include line",
         [](UnsavedEdits& t) {
             t.form->editor()->setCaret(1, 3);
             t.key(Qt::Key_F12);
         }},
    };
    for (const auto& command : commands) {
        for (const Answer answer : {Answer::Cancel, Answer::No, Answer::Yes}) {
            SCOPED_TRACE(command.name);
            SCOPED_TRACE(answer == Answer::Cancel ? "Cancel" : answer == Answer::No ? "No" : "Yes");
            form.reset();
            dialogs.clear();
            open();
            type("x");
            dialogs.queueAnswer(answer);
            command.act(*this);
            ASSERT_GE(dialogs.messages().size(), 1);
            EXPECT_EQ(dialogs.messages()[0].text, "Save changes to GAME.PAS?");
            EXPECT_EQ(testfiles::read(dir + "game.pas"), answer == Answer::Yes ? "x" + Game : Game);
            if (answer == Answer::Cancel) {
                EXPECT_EQ(shown(), "GAME.PAS");
                EXPECT_EQ(form->projectInfo().ProjectName, "Demo");
                EXPECT_EQ(form->editor()->text(), "x" + Game);
                EXPECT_TRUE(form->editor()->isModified());
                EXPECT_EQ(form->tree()->currentItem(), form->node(2));
            } else {
                EXPECT_FALSE(form->editor()->isModified()) << "the command went on";
            }
        }
    }
}

TEST_F(UnsavedEdits, ChangedPropertiesAreAskedAboutOnOpeningAnotherProjectAndOnExit)
{
    whenModalOpens([](QWidget* modal) {
        auto* name = control<QLineEdit>(modal, "Text1");
        name->selectAll();
        QTest::keyClicks(name, "Racer");
        QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    trigger("mnuProp");
    ASSERT_EQ(form->projectInfo().ProjectName, "Racer");

    dialogs.queuePath(kit.path("other/other.tpj"));
    dialogs.queueAnswer(Answer::Cancel);
    trigger("mnuOpenProject");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to the properties of project Racer?");
    EXPECT_EQ(form->projectInfo().ProjectName, "Racer");
    EXPECT_EQ(shown(), "GAME.PAS");

    dialogs.clear();
    dialogs.queueAnswer(Answer::Yes);
    EXPECT_EQ(runUntilEnded(form.get(), [&] { trigger("mnuExit"); }), 0);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to the properties of project Racer?");
    EXPECT_TRUE(testfiles::read(dir + "Racer.tpj").startsWith("Racer\r\n"));
}

TEST_F(UnsavedEdits, TheTitleAndTheShownNodeShowUnsavedEdits)
{
    const auto marked = [&] { return form->node(2)->font(0).italic(); };
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_FALSE(marked());
    type("x");
    EXPECT_TRUE(form->isWindowModified());
    EXPECT_TRUE(form->windowTitle().contains("[*]"));
    EXPECT_TRUE(marked());
    EXPECT_FALSE(form->node(3)->font(0).italic());
    EXPECT_EQ(form->node(2)->text(0), "GAME.PAS") << "node texts are keys";
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_FALSE(marked());
}

TEST_F(UnsavedEdits, ASaveOntoAFileChangedOnDiskAsksFirst)
{
    const struct {
        const char* name;
        bool secondInstance;
        QList<Answer> answers;
        bool overwritten;
        bool reloaded;
    } cases[] = {
        {"a plain write, Cancel", false, {Answer::Cancel}, false, false},
        {"a plain write, overwrite", false, {Answer::Yes}, true, false},
        {"another instance's save, Cancel", true, {Answer::Cancel}, false, false},
        {"another instance's save, reload", true, {Answer::No, Answer::Yes}, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        dialogs.clear();
        open();
        type("mine ");
        QByteArray outside = Game + "{ theirs }\r\n";
        if (c.secondInstance) {
            ScriptedDialogs otherDialogs;
            auto other = kit.startForm(otherDialogs);
            ASSERT_TRUE(other->OpenProjectFile(dir + "game.tpj"));
            other->editor()->setCaret(0, 0);
            QTest::keyClicks(other->editor()->activeView(), "theirs ");
            QTest::keyClick(other->editor()->activeView(), Qt::Key_S, Qt::ControlModifier);
            outside = "theirs " + Game;
            ASSERT_EQ(testfiles::read(dir + "game.pas"), outside);
        } else {
            QFile file(dir + "game.pas");
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write("{ theirs }\r\n");
        }
        for (const Answer answer : c.answers)
            dialogs.queueAnswer(answer);
        key(Qt::Key_S, Qt::ControlModifier);

        ASSERT_EQ(dialogs.messages().size(), c.answers.size());
        EXPECT_TRUE(dialogs.messages()[0].text.startsWith("GAME.PAS has been changed on disk"));
        EXPECT_EQ(dialogs.messages()[0].buttons, Buttons::YesNoCancel);
        EXPECT_EQ(testfiles::read(dir + "game.pas"), c.overwritten ? "mine " + Game : outside);
        EXPECT_EQ(form->editor()->text(), c.reloaded ? outside : "mine " + Game);
        EXPECT_EQ(form->editor()->isModified(), !c.overwritten && !c.reloaded);
    }
}

TEST_F(UnsavedEdits, ComingBackReloadsAnUneditedFileChangedOnDiskAndAsksAboutAnEditedOne)
{
    // Unedited: read again, the caret where it was.
    form->editor()->setCaret(2, 3);
    testfiles::write(dir + "game.pas", "{ new }\r\n" + Game);
    comeBack();
    ASSERT_TRUE(testfiles::waitUntil([&] { return form->editor()->text() == "{ new }\r\n" + Game; }));
    int line = -1, column = -1;
    form->editor()->selectionStart(&line, &column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 3);
    EXPECT_FALSE(form->editor()->isModified());
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Edited: asked; No keeps the edits and the same change is not asked about again.
    type("x");
    testfiles::write(dir + "game.pas", Game);
    dialogs.queueAnswer(Answer::No);
    comeBack();
    ASSERT_TRUE(testfiles::waitUntil([&] { return dialogs.messages().size() == 1; }));
    EXPECT_EQ(dialogs.messages()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(form->editor()->text(), "x{ new }\r\n" + Game);
    comeBack();
    clickTreeNode(*form, 2); // showing the document again asks nothing either
    EXPECT_EQ(dialogs.messages().size(), 1);

    // Another change, and Yes: the file as it is on disk now.
    testfiles::write(dir + "game.pas", "{ newer }\r\n");
    dialogs.queueAnswer(Answer::Yes);
    clickTreeNode(*form, 2);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(form->editor()->text(), "{ newer }\r\n");
    EXPECT_FALSE(form->editor()->isModified());
}

TEST_F(UnsavedEdits, PreferencesOfOneInstanceKeepTheRecentEntriesOfAnother)
{
    const QString p1 = kit.path("other/other.tpj");
    const QString p2 = dir + "game.tpj";
    form.reset();
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = false;
    kit.writeConfig(settings);
    ScriptedDialogs dialogsB;
    auto a = kit.startForm(dialogs);
    auto b = kit.startForm(dialogsB);
    dialogs.queuePath(p1);
    control<QAction>(a.get(), "mnuOpenProject")->trigger();
    dialogsB.queuePath(p2);
    control<QAction>(b.get(), "mnuOpenProject")->trigger();

    whenModalOpens([](QWidget* modal) { QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton); });
    control<QAction>(a.get(), "mnupreferences")->trigger();

    tarvel::ConfigSettings stored = kit.defaults();
    tarvel::LoadSettingsFile(stored, kit.dir());
    EXPECT_EQ(stored.RecentFiles[0], p2) << "B's entry is kept";
    EXPECT_EQ(stored.RecentFiles[1], p1);
    EXPECT_EQ(stored.RecentFiles[2], "");
}
