#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"
#include "shell/FindReplaceDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <Qsci/qsciscintilla.h>

#include <functional>

#include <gtest/gtest.h>

using Answer = common::Dialogs::Answer;

namespace {

const QByteArray GameMain = "program game;\r\n{$I a.inc}\r\nbegin\r\n  Go; Go;\r\n  Stop;\r\nend.\r\n";
const QByteArray GameInclude = "procedure Go;\r\nbegin end;\r\nprocedure Stop;\r\nbegin Go end;\r\n";

// Acts on the next modal window once it is open; gives up when `scope` goes.
void whenModal(QObject* scope, std::function<void(QWidget*)> act, int triesLeft = 200)
{
    QTimer::singleShot(10, scope, [scope, act, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(modal);
        else if (triesLeft > 0)
            whenModal(scope, act, triesLeft - 1);
    });
}

// A kit with the project game.tpj (game.pas and a.inc) in its "work" folder.
class EditorHabits : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = kit.path("work") + "/";
        testfiles::write(dir + "game.pas", GameMain);
        testfiles::write(dir + "a.inc", GameInclude);
        testfiles::write(dir + "game.tpj", "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
    }

    void start(bool openProject = true)
    {
        form = kit.startForm(dialogs);
        if (openProject) {
            ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
        }
        activate(form.get());
    }
    void restart(bool openProject = false)
    {
        form->close();
        form.reset();
        start(openProject);
    }
    static void activate(QWidget* window)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
    }
    // A key pressed in the editor, as the user types it.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!form->isActiveWindow())
            activate(form.get());
        QTest::keyClick(form->editor()->activeView(), key, modifiers);
    }
    QPoint caret() const
    {
        int line = -1, column = -1;
        form->editor()->selectionStart(&line, &column);
        return {column, line};
    }
    bool editorHasFocus() const { return QApplication::focusWidget() == form->editor()->activeView(); }
    template <typename T>
    T* child(const char* name) const
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String(name))
                return qobject_cast<T*>(top);
            if (T* found = top->findChild<T*>(QString::fromLatin1(name)))
                return found;
        }
        return nullptr;
    }
    void trigger(const char* name) { form->findChild<QAction*>(QString::fromLatin1(name))->trigger(); }

    bool waitForEditorFocus() const
    {
        return QTest::qWaitFor([this] { return editorHasFocus(); });
    }
    // The editor takes the keys once the main window is active again (after a modal dialog the
    // window system gives it back).
    bool editorIsFocusWidget() const { return form->focusWidget() == form->editor()->activeView(); }

    QObject scope; // pending answers to modal windows end with the test
    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    QString dir;
};

} // namespace

TEST_F(EditorHabits, KeysOpenTheToolWindowsAndEscClosesEachOfThem)
{
    start();
    const struct {
        const char* window;
        std::function<void()> open;
    } windows[] = {
        {"FindReplaceDialog", [&] { press(Qt::Key_F, Qt::ControlModifier); }},
        {"FindReplaceDialog", [&] { press(Qt::Key_H, Qt::ControlModifier); }},
        {"FindInFilesDialog", [&] { press(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier); }},
        {"frmConvPal", [&] { press(Qt::Key_F4, Qt::ControlModifier); }},
        {"Form6", [&] { trigger("mnuAbout"); }},
        {"Form7", [&] {
             trigger("mnuAbout");
             QLabel* history = child<QLabel>("Label3");
             QTest::mouseClick(history, Qt::LeftButton, {}, history->rect().center());
         }},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.window);
        w.open();
        QWidget* window = child<QWidget>(w.window);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->isVisible());
        activate(window);
        QWidget* target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_TRUE(!child<QWidget>(w.window) || !child<QWidget>(w.window)->isVisible());
    }
    EXPECT_TRUE(child<FindReplaceDialog>("FindReplaceDialog")->isReplaceMode()) << "Ctrl+H opened Replace";

    // The modal ones: a change, then Esc, keeps nothing, as Cancel.
    const tarvel::ConfigSettings settings = form->Settings;
    whenModal(&scope, [](QWidget* preferences) {
        QTest::mouseClick(preferences->findChild<QCheckBox*>("Check2"), Qt::LeftButton);
        QTest::keyClick(preferences, Qt::Key_Escape);
    });
    trigger("mnupreferences");
    EXPECT_EQ(form->Settings, settings);
    whenModal(&scope, [](QWidget* properties) {
        QTest::keyClicks(properties->findChild<QLineEdit*>("Text1"), "Other");
        QTest::keyClick(properties, Qt::Key_Escape);
    });
    trigger("mnuProp");
    EXPECT_EQ(form->projectInfo().ProjectName, "Demo");

    // Ctrl+O is File > Open > Project file.
    press(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls().at(0).kind, ScriptedDialogs::Kind::Open);
    EXPECT_EQ(dialogs.calls().at(0).filters.value(0).patterns, QStringList{"*.tpj"});
}

TEST_F(EditorHabits, F3AndShiftF3RepeatTheSearchForwardAndBackward)
{
    start();
    press(Qt::Key_F, Qt::ControlModifier);
    auto* find = child<FindReplaceDialog>("FindReplaceDialog");
    QLineEdit* what = find->findChild<QLineEdit*>("findWhat");
    what->clear();
    QTest::keyClicks(what, "go");
    QTest::mouseClick(find->findChild<QPushButton*>("findNext"), Qt::LeftButton);
    QTest::keyClick(what, Qt::Key_Escape);
    ASSERT_FALSE(find->isVisible());
    EXPECT_EQ(caret(), QPoint(2, 3));

    const struct {
        Qt::KeyboardModifiers modifiers;
        QPoint at;
    } steps[] = {{Qt::NoModifier, {6, 3}}, {Qt::NoModifier, {2, 3}}, {Qt::ShiftModifier, {6, 3}}, {Qt::ShiftModifier, {2, 3}}};
    for (const auto& step : steps) {
        press(Qt::Key_F3, step.modifiers);
        EXPECT_EQ(caret(), step.at) << (step.modifiers == Qt::NoModifier ? "F3" : "Shift+F3");
        EXPECT_EQ(form->editor()->activeView()->selectedText(), "Go");
    }
}

TEST_F(EditorHabits, CtrlGGoesToTheTypedLineWithinTheDocument)
{
    start();
    const int last = form->editor()->lineCount() - 1;
    const struct {
        const char* typed;
        int line;
    } cases[] = {{"4", 3}, {"999", last}, {"0", 0}, {"3", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        whenModal(&scope, [&](QWidget* dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit*>("lineNumber"), c.typed);
            QTest::keyClick(dialog->findChild<QLineEdit*>("lineNumber"), Qt::Key_Return);
        });
        press(Qt::Key_G, Qt::ControlModifier);
        EXPECT_EQ(caret(), QPoint(0, c.line));
        EXPECT_TRUE(editorIsFocusWidget());
    }
    whenModal(&scope, [](QWidget* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>("lineNumber"), "1");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(caret(), QPoint(0, 2)) << "Esc goes nowhere";
}

TEST_F(EditorHabits, FindInProjectFilesListsTheEditedTextAndTheFilesOnDiskAndShowsTheChosenLine)
{
    start();
    press(Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(form->editor()->activeView(), "{go} ");
    press(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QWidget* search = child<QWidget>("FindInFilesDialog");
    ASSERT_NE(search, nullptr);
    QLineEdit* what = search->findChild<QLineEdit*>("findWhat");
    what->clear();
    QTest::keyClicks(what, "Go");
    QTest::mouseClick(search->findChild<QCheckBox*>("wholeWord"), Qt::LeftButton);
    QTest::keyClick(what, Qt::Key_Return);

    auto* results = search->findChild<QTreeWidget*>("results");
    QStringList rows;
    for (int i = 0; i < results->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = results->topLevelItem(i);
        rows << row->text(0) + ":" + row->text(1) + ":" + row->text(2);
    }
    EXPECT_EQ(rows, (QStringList{"GAME.PAS:1:{go} program game;", "GAME.PAS:4:Go; Go;", "A.INC:1:procedure Go;",
                                 "A.INC:4:begin Go end;"}));

    QTest::mouseClick(search->findChild<QCheckBox*>("matchCase"), Qt::LeftButton);
    QTest::keyClick(what, Qt::Key_Return);
    EXPECT_EQ(results->topLevelItemCount(), 3) << "{go} differs in case";

    // Enter on a line of the other file: the edited document's save question, then that line.
    dialogs.queueAnswer(Answer::No);
    results->setCurrentItem(results->topLevelItem(2));
    QTest::keyClick(results, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(form->project().shownName(), "A.INC");
    EXPECT_EQ(caret(), QPoint(6, 3));
    ASSERT_TRUE(waitForEditorFocus());
    QTest::keyClicks(QApplication::focusWidget(), "x");
    EXPECT_EQ(form->editor()->lineText(3), "begin xGo end;") << "the next key goes to the editor";
}

TEST_F(EditorHabits, SizePlaceMaximisedStateTreeWidthAndSplitSurviveARestart)
{
    const QByteArray config = testfiles::read(kit.path("config.cfg"));
    start(false);
    const QRect place(QPoint(30, 40), QSize(620, 440));
    form->setGeometry(place);
    QWidget* handle = form->findChild<QWidget*>("TreeHandle");
    ASSERT_TRUE(handle && handle->isVisible());
    const int treeBefore = form->tree()->width();
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 40));
    QTest::mouseMove(handle, QPoint(62, 40));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(62, 40));
    EXPECT_EQ(form->tree()->width(), treeBefore + 60);
    EXPECT_EQ(form->editor()->x(), form->tree()->width() + 4) << "the editor gives way";
    EXPECT_NE(form->findChild<QWidget*>("PicBKG")->palette().color(QPalette::Window), QColor(0, 0, 255))
        << "no blue bar above the status bar";
    press(Qt::Key_F6, Qt::ControlModifier);
    ASSERT_TRUE(form->splitOn());
    const int tree = form->tree()->width();

    restart();
    EXPECT_EQ(form->geometry(), place);
    EXPECT_EQ(form->tree()->width(), tree);
    EXPECT_TRUE(form->splitOn());
    EXPECT_TRUE(form->editor()->isSplit());
    EXPECT_TRUE(form->findChild<QAction*>("mnuSplit")->isChecked());

    form->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->isMaximized(); }));
    press(Qt::Key_F6, Qt::ControlModifier);
    restart();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_FALSE(form->splitOn());
    EXPECT_EQ(form->normalGeometry(), place) << "the size to go back to";
    form->close();
    EXPECT_EQ(testfiles::read(kit.path("config.cfg")), config) << "config.cfg keeps its layout";
}

TEST_F(EditorHabits, ADamagedStateFileOrAPlaceOffEveryScreenGivesTheDefaults)
{
    start(false);
    const QSize defaultSize = form->size();
    const int defaultTree = form->tree()->width();
    form->close();
    form.reset();
    const QString state = QFileInfo(kit.path("config.cfg")).dir().filePath("window.cfg");
    ASSERT_TRUE(QFile::exists(state)) << "written beside config.cfg";

    const struct {
        const char* name;
        QByteArray bytes;
        QSize size;
    } cases[] = {
        {"damaged", QByteArray("geometry=1 2 x\ntree-width=-4\n") + QByteArray("\xff\xfe\0\n", 4), defaultSize},
        {"off every screen", "geometry=-40000 -30000 600 420\ntree-width=200\n", QSize(600, 420)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testfiles::write(state, c.bytes);
        start(false);
        EXPECT_EQ(form->size(), c.size);
        bool reachable = false;
        for (const QScreen* screen : QGuiApplication::screens())
            reachable = reachable || screen->availableGeometry().intersects(form->frameGeometry());
        EXPECT_TRUE(reachable);
        if (c.size == defaultSize) {
            EXPECT_EQ(form->tree()->width(), defaultTree);
        }
        form->close();
        form.reset();
    }
}

TEST_F(EditorHabits, TheLastProjectReopensAtStartWhenChosenAndTheChooserStaysAway)
{
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = true;
    settings.RecentFiles[0] = dir + "game.tpj";
    kit.writeConfig(settings);
    int choosers = 0;
    const auto cancelChooser = [&] {
        whenModal(&scope, [&](QWidget* chooser) {
            ++choosers;
            QTest::keyClick(chooser, Qt::Key_Escape);
        });
    };

    cancelChooser();
    start(false);
    EXPECT_EQ(choosers, 1) << "off by default: the chooser as before";
    EXPECT_FALSE(form->project().isOpen());
    whenModal(&scope, [](QWidget* preferences) {
        auto* reopen = preferences->findChild<QCheckBox*>("chkReopen");
        ASSERT_NE(reopen, nullptr);
        EXPECT_FALSE(reopen->isChecked());
        QTest::mouseClick(reopen, Qt::LeftButton);
        QTest::mouseClick(preferences->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
    trigger("mnupreferences");

    cancelChooser();
    restart();
    EXPECT_TRUE(form->project().isOpen());
    EXPECT_EQ(form->projectInfo().ProjectName, "Demo");
    EXPECT_EQ(choosers, 1) << "the chooser would have come up during the start";
}

TEST_F(EditorHabits, NewProjectAsksForItsFileInTheLastProjectFolderOrTheHomeFolder)
{
    testfiles::write(kit.path("projects/Blank/blank.pas"), "begin end.\r\n");
    const auto newProjectFolder = [&] {
        whenModal(&scope, [](QWidget* chooser) {
            chooser->findChild<QListWidget*>("LVProjects")->setCurrentRow(0);
            QTest::mouseClick(chooser->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        dialogs.clear();
        trigger("mnuNew");
        return dialogs.calls().isEmpty() ? QString("no dialog") : QDir::cleanPath(dialogs.calls().last().initialDirectory);
    };
    start(false);
    EXPECT_EQ(newProjectFolder(), QDir::cleanPath(QDir::homePath()));
    ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
    EXPECT_EQ(newProjectFolder(), QDir::cleanPath(dir));
    restart();
    EXPECT_EQ(newProjectFolder(), QDir::cleanPath(dir)) << "remembered";
}
