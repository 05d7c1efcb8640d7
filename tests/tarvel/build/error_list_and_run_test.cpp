#include "BuildProjectFixture.h"
#include "TestFiles.h"
#include "core/RunWatch.h"
#include "shell/CodeEditor.h"
#include "shell/ShellLayout.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

using Answer = common::Dialogs::Answer;

namespace {

const QByteArray Include = "procedure a;\r\nbegin end;\r\n";

// A kit that builds, with a project game.pas (+ a.inc) in it.
class ErrorsFixture : public BuildProjectFixture {
protected:
    void SetUp() override
    {
        BuildProjectFixture::SetUp();
        qputenv("EMULATOR_LOG", kit.path("emulator-args.txt").toLocal8Bit());
    }
    void TearDown() override { qunsetenv("EMULATOR_LOG"); }

    int marked() const { return form->editor()->highlightedLine(); }
    QPlainTextEdit* monitorEdit() const { return form->monitor()->findChild<QPlainTextEdit*>("Text1"); }
    // The middle of text line `line` of the monitor, in its viewport.
    QPoint lineInMonitor(int line) const
    {
        QPlainTextEdit* text = monitorEdit();
        const QRect rect = text->cursorRect(QTextCursor(text->document()->findBlockByNumber(line)));
        return rect.center() + QPoint(20, 0);
    }

    // The docked monitor's place in the main window.
    QRect monitorArea() const { return form->monitor()->geometry(); }
    // Drags the border between the editor and the monitor `dy` pixels down with the mouse, as the
    // user does.
    void dragMonitorEdge(int dy)
    {
        const int border = (form->centralWidget()->geometry().bottom() + monitorArea().top()) / 2;
        const QPoint grip(form->width() / 2, border);
        QTest::mousePress(form.get(), Qt::LeftButton, {}, grip);
        const int before = form->monitor()->height();
        QTest::mouseMove(form.get(), grip + QPoint(0, dy));
        // The window follows the pointer from its event loop, before the button is let go.
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->monitor()->height() != before; }));
        QTest::mouseRelease(form.get(), Qt::LeftButton, {}, grip + QPoint(0, dy));
    }
};

// Three records in two files: line 3 of A.INC... and so on, as the stand-in compiler writes them.
const QByteArray ThreeErrors = "program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,1,10,\"first\"}\r\n"
                               "{ERR GAME.PAS,5,1,11,\"second\"}\r\n{ERR A.INC,1,1,12,\"third\"}\r\nbegin end.\r\n";

} // namespace

TEST_F(ErrorsFixture, F8AndShiftF8GoThroughTheErrorsOfTheLastBuildAndWrapAround)
{
    open(ThreeErrors);
    trigger("mnuCompile");
    ASSERT_EQ(form->lastErrors().count(), 3);
    EXPECT_EQ(shown(), "A.INC") << "the build went to the first error";
    EXPECT_EQ(marked(), 1);

    const struct {
        const char* name;
        Qt::KeyboardModifiers modifiers;
        const char* status;
        const char* file;
        int line;
    } steps[] = {
        {"F8", Qt::NoModifier, "Error 2 of 3: second", "GAME.PAS", 4},
        {"F8", Qt::NoModifier, "Error 3 of 3: third", "A.INC", 0},
        {"F8 wraps to the first", Qt::NoModifier, "Error 1 of 3: first", "A.INC", 1},
        {"Shift+F8 wraps to the last", Qt::ShiftModifier, "Error 3 of 3: third", "A.INC", 0},
        {"Shift+F8", Qt::ShiftModifier, "Error 2 of 3: second", "GAME.PAS", 4},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        key(Qt::Key_F8, step.modifiers);
        EXPECT_EQ(status(), step.status);
        EXPECT_EQ(shown(), step.file);
        EXPECT_EQ(form->tree()->currentItem()->text(0), step.file);
        EXPECT_EQ(marked(), step.line);
        int line = -1, column = -1;
        form->editor()->selectionStart(&line, &column);
        EXPECT_EQ(line, step.line);
        EXPECT_EQ(column, 0);
    }
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // The next build clears the list, also when it succeeds.
    testfiles::write(dir + "game.pas", "program game;\r\n{$I A.INC}\r\nbegin end.\r\n");
    clickTreeNode(*form, 2);
    trigger("mnuCompile");
    EXPECT_TRUE(form->monitor()->text().contains("No errors - Sucessfully compiled"));
    EXPECT_TRUE(form->lastErrors().isEmpty());
    key(Qt::Key_F8);
    EXPECT_EQ(status(), "The last build left no errors to go to.");
    EXPECT_EQ(shown(), "GAME.PAS");
}

TEST_F(ErrorsFixture, ADoubleClickOrEnterOnAnErrorLineOfTheMonitorGoesToThatError)
{
    open(ThreeErrors);
    trigger("mnuCompile");
    QPlainTextEdit* text = monitorEdit();
    ASSERT_TRUE(form->monitor()->isVisible());
    ASSERT_EQ(text->document()->blockCount(), 7) << "two lines per record and an empty last one";

    // The second line of record 2 ("Error : 11 - second").
    QTest::mouseDClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, lineInMonitor(3));
    EXPECT_EQ(shown(), "GAME.PAS");
    EXPECT_EQ(marked(), 4);
    EXPECT_EQ(status(), "Error 2 of 3: second");
    EXPECT_EQ(text->textCursor().selectedText(), QString("file  : GAME.PAS: line 5, column 1") + QChar::ParagraphSeparator
                                                     + "Error : 11 - second")
        << "the record is marked in the list";
    EXPECT_EQ(form->monitor()->text().split("\r\n").value(2), "file  : GAME.PAS: line 5, column 1") << "the text stays";

    // The caret put on the first line of record 3, then Enter.
    QTest::mouseClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, lineInMonitor(4));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(shown(), "A.INC");
    EXPECT_EQ(marked(), 0);
    EXPECT_EQ(status(), "Error 3 of 3: third");
    key(Qt::Key_F8);
    EXPECT_EQ(status(), "Error 1 of 3: first") << "F8 goes on from the error chosen in the list";

    // Below the records nothing is chosen.
    QTest::mouseDClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, lineInMonitor(6));
    EXPECT_EQ(status(), "Error 1 of 3: first");
}

TEST_F(ErrorsFixture, GoingToAnErrorAsksAboutEditsOnlyWhenAnotherFileIsLoaded)
{
    open(ThreeErrors);
    trigger("mnuCompile");
    ASSERT_EQ(shown(), "A.INC");
    form->editor()->insertText("{ fixed }", 0, 0);

    // Error 3 is in the file shown: the edit stays and nothing is asked.
    key(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(status(), "Error 3 of 3: third");
    EXPECT_TRUE(form->editor()->text().startsWith("{ fixed }"));
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // Error 2 is in GAME.PAS: the first error's save question. Cancel stays where it is.
    dialogs.queueAnswer(Answer::Cancel);
    key(Qt::Key_F8, Qt::ShiftModifier);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, "Save changes to A.INC?");
    EXPECT_EQ(dialogs.messages()[0].title, "Save changes");
    EXPECT_EQ(shown(), "A.INC");
    EXPECT_EQ(status(), "Error 3 of 3: third");
    EXPECT_EQ(form->lastErrors().current(), 2);
    EXPECT_EQ(marked(), 0) << "the error's line stays marked";

    dialogs.queueAnswer(Answer::Yes);
    key(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(status(), "Error 2 of 3: second");
    EXPECT_EQ(shown(), "GAME.PAS");
    EXPECT_TRUE(testfiles::read(dir + "a.inc").startsWith("{ fixed }"));
}

TEST_F(ErrorsFixture, AnIncludeNamedTwiceInTheTreeIsOneFileForTheErrorJumps)
{
    // A.INC is included by GAME.PAS and by B.INC: two nodes, one file, two records in it.
    testfiles::write(kit.path("work/b.inc"), "{$I A.INC}\r\n");
    open("program game;\r\n{$I A.INC}\r\n{$I B.INC}\r\n{ERR A.INC,2,1,10,\"first\"}\r\n"
         "{ERR A.INC,1,1,11,\"second\"}\r\nbegin end.\r\n");
    ASSERT_EQ(form->nodeCount(), 5);
    trigger("mnuCompile");
    ASSERT_EQ(shown(), "A.INC");
    form->editor()->setCaret(0, 0);
    QTest::keyClicks(form->editor()->activeView(), "{ fix }");
    for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        key(Qt::Key_F8, modifiers);
        EXPECT_TRUE(dialogs.calls().isEmpty());
        EXPECT_TRUE(form->editor()->text().startsWith("{ fix }")) << "the fix stays";
        EXPECT_TRUE(form->editor()->isModified());
        EXPECT_EQ(form->project().shownNode(), 3);
    }
    EXPECT_EQ(testfiles::read(dir + "a.inc"), Include);
}

TEST_F(ErrorsFixture, WhatAnErrorNamesThatIsGoneIsSaid)
{
    open("program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,1,10,\"in a file that goes\"}\r\n"
         "{ERR GAME.PAS,40,1,11,\"past the end\"}\r\n{ERR NOPE.INC,3,1,12,\"not in the tree\"}\r\n"
         "{ERR GAME.PAS,x,1,13,\"no line\"}\r\nbegin end.\r\n");
    trigger("mnuCompile");
    ASSERT_EQ(form->lastErrors().count(), 4);
    ASSERT_EQ(shown(), "A.INC");
    clickTreeNode(*form, 2);
    QFile::remove(dir + "a.inc");
    const int mainLines = form->editor()->lineCount();

    key(Qt::Key_F8);
    EXPECT_EQ(status(), "Error 2 of 4: past the end (line 40 is past the end of GAME.PAS)");
    int line = -1, column = -1;
    form->editor()->selectionStart(&line, &column);
    EXPECT_EQ(line, mainLines - 1) << "the caret goes as far as the text does";

    key(Qt::Key_F8);
    EXPECT_EQ(status(), "Error 3 of 4: not in the tree (NOPE.INC is not in the project tree)");
    EXPECT_EQ(shown(), "GAME.PAS");
    EXPECT_EQ(marked(), 2) << "the line is marked in the file shown, as after a build";

    key(Qt::Key_F8);
    EXPECT_EQ(status(), "Error 4 of 4: no line (the record gives no line)");
    EXPECT_EQ(marked(), -1);

    key(Qt::Key_F8);
    EXPECT_EQ(status(), "Error 1 of 4: in a file that goes (A.INC no longer exists)");
    EXPECT_EQ(shown(), "GAME.PAS");
    EXPECT_EQ(marked(), 1);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

// Before Compile and Run makes the disk, what will not fit on it or cannot be opened there is told
// in one message, and nothing is made or started.
TEST_F(ErrorsFixture, TheDiskCheckListsEveryProblemAndStartsNothing)
{
    const QByteArray main = "program game;\r\n{$I A.INC}\r\nbegin end.\r\n";
    dir = kit.path("work") + "/";
    for (int i = 1; i <= 120; ++i)
        testfiles::write(dir + QStringLiteral("f%1.dat").arg(i, 3, 10, QLatin1Char('0')), QByteArray(5121, 'd'));
    testfiles::write(dir + "long-name.txt", "notes");
    testfiles::write(dir + QString::fromUtf8("stra\xC3\x9F" "e.inc"), "x");
    testfiles::write(dir + ".hidden", QByteArray(50000, 'h')); // not copied, not counted
    testfiles::write(dir + "sub/big.bin", QByteArray(50000, 'b'));
    testfiles::write(kit.path("dsk/d.dsk"), "old image");
    open(main);
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    trigger("mnuCompileRun");

    ASSERT_TRUE(QFile::exists(dir + "game.com")) << "the program was built";
    ASSERT_EQ(dialogs.messages().size(), 1);
    // game.pas, a.inc, game.tpj, game.com, 120 data files: one entry and one cluster each, the
    // data files six clusters; the two long names two entries and one cluster each. The chain
    // file game.chn is the build's own and stays off the disk.
    EXPECT_EQ(dialogs.messages()[0].text,
              "The project folder does not fit on the MSX disk, so nothing was started:\n"
              "- MSX-DOS cannot open these files by their names (up to 8 letters or digits, a dot and up to 3 more): "
              "long-name.txt, " + QString::fromUtf8("stra\xC3\x9F" "e.inc") + "\n"
              "- The files need 128 root directory entries; the disk has 112.\n"
              "- The files need 726 KB in 1 KB clusters; the disk has 713 KB free. The largest: f001.dat (6 KB), "
              "f002.dat (6 KB), f003.dat (6 KB).");
    EXPECT_EQ(dialogs.messages()[0].title, "Error");
    EXPECT_EQ(testfiles::read(kit.path("dsk/d.dsk")), "old image") << "no disk is made";
    // The command is over when it returns; a started emulator would be watched by now.
    EXPECT_TRUE(form->findChildren<common::RunWatch*>().isEmpty()) << "no emulator is started";
    EXPECT_FALSE(QFile::exists(kit.path("emulator-args.txt"))) << "no emulator is started";
}

// An emulator that stops at once with a non-zero status is shown with the end of its output.
// Tarvel does not wait for it: Compile and Run is over while the emulator still runs.
TEST_F(ErrorsFixture, AnEmulatorThatFailsAtOnceIsShownWithTheEndOfItsOutput)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    ASSERT_TRUE(buildtest::makeBootDisk(kit.path("dsk/boot.dsk")));
    open("program game;\r\n{$I A.INC}\r\nbegin end.\r\n");
    QTemporaryDir tools;
    const QString emulator = tools.filePath("openmsx");
    testfiles::write(emulator, "#!/bin/sh\n"
                               "i=0\n"
                               "while [ ! -e \"$GO\" ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i+1)); done\n"
                               "i=0\n"
                               "while [ $i -lt 30 ]; do head -c 100000 /dev/zero | tr '\\0' 'x'; echo; i=$((i+1)); done\n"
                               "echo 'openMSX 19.1'\n"
                               "echo \"Error parsing command line: $3\" >&2\n"
                               "exit 1\n");
    QFile::setPermissions(emulator, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString go = tools.filePath("go");
    qputenv("GO", QFile::encodeName(go));
    form->Settings.EmulatorPath = emulator;
    form->setEmulatorWatchWindow(120000); // a slow machine must not miss it
    trigger("mnuCompileRun");

    EXPECT_TRUE(dialogs.calls().isEmpty()) << "Compile and Run ended while the emulator runs";
    testfiles::write(go, "");
    ASSERT_TRUE(testfiles::waitUntil([&] { return !dialogs.messages().isEmpty(); }, 60000));
    qunsetenv("GO");
    const ScriptedDialogs::Call message = dialogs.messages()[0];
    EXPECT_EQ(message.title, "Error");
    EXPECT_EQ(message.icon, common::Dialogs::Icon::Critical);
    EXPECT_TRUE(message.text.startsWith("The emulator stopped right after it started (exit status 1).\nIts last output:\n\n"))
        << message.text.left(200).toStdString();
    EXPECT_TRUE(message.text.endsWith("openMSX 19.1\nError parsing command line: -msx2")) << message.text.right(200).toStdString();
    EXPECT_LT(message.text.size(), 4000) << "the tail only";
}

TEST(ErrorListCore, NextAndPreviousWrapAndStartAtTheEnds)
{
    tarvel::ErrorList list;
    EXPECT_EQ(list.next(), -1);
    EXPECT_EQ(list.previous(), -1);
    list.set({tarvel::CompilerError{}, tarvel::CompilerError{}, tarvel::CompilerError{}});
    EXPECT_EQ(list.next(), 0);
    EXPECT_EQ(list.previous(), 2);
    list.setCurrent(2);
    EXPECT_EQ(list.next(), 0);
    EXPECT_EQ(list.previous(), 1);
    list.setCurrent(7);
    EXPECT_EQ(list.current(), 2) << "no such record";
    list.set({tarvel::CompilerError{}});
    EXPECT_EQ(list.current(), -1);
    list.setCurrent(0);
    EXPECT_EQ(list.next(), 0);
    EXPECT_EQ(list.previous(), 0);
    EXPECT_EQ(tarvel::ErrorPositionText(1, 5, "bad\r\nthing"), "Error 2 of 5: bad  thing");
}

// The real openMSX on the command line of the settings' default: its default machine (C-BIOS)
// has no disk drive, so it stops at once, and the user reads why.
TEST_F(ErrorsFixture, RealOpenMsxWithTheDefaultCommandLineSaysWhyItStopped)
{
    const QString openMsx = QStandardPaths::findExecutable("openmsx");
    if (openMsx.isEmpty() || QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "openMSX or mtools is not installed";
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path())); // openMSX writes its settings there
    qputenv("SDL_VIDEODRIVER", "dummy");
    qputenv("SDL_AUDIODRIVER", "dummy");
    ASSERT_TRUE(buildtest::makeBootDisk(kit.path("dsk/boot.dsk")));
    open("program game;\r\n{$I A.INC}\r\nbegin end.\r\n");
    form->Settings.EmulatorPath = openMsx;
    ASSERT_EQ(form->Settings.EmulatorCommandLine, "-diska %dsk -msx2");
    form->setEmulatorWatchWindow(120000);
    trigger("mnuCompileRun");
    const bool told = testfiles::waitUntil([&] { return !dialogs.messages().isEmpty(); }, 60000);
    qputenv("HOME", oldHome);
    qunsetenv("SDL_VIDEODRIVER");
    qunsetenv("SDL_AUDIODRIVER");
    ASSERT_TRUE(told);
    const QString text = dialogs.messages()[0].text;
    EXPECT_TRUE(text.startsWith("The emulator stopped right after it started (exit status 1).\nIts last output:")) << text.toStdString();
    EXPECT_TRUE(text.contains("Fatal error:")) << text.toStdString();
}

TEST_F(ErrorsFixture, TheMonitorCoversNoneOfTheEditorEveryJumpLandsInTheEditorAtTheColumnAndASuccessClearsOldErrors)
{
    open("program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,7,10,\"first\"}\r\n{ERR GAME.PAS,5,5,11,\"second\"}\r\nbegin end.\r\n");
    form->resize(600, 450);
    trigger("mnuCompile");
    ASSERT_TRUE(form->monitor()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return monitorArea().height() > 0; }));
    const auto coversNothing = [&] {
        const QRect monitor = monitorArea();
        for (QWidget* pane : {static_cast<QWidget*>(form->editor()), static_cast<QWidget*>(form->tree())}) {
            const QRect area(pane->mapTo(form.get(), QPoint()), pane->size());
            EXPECT_TRUE(form->rect().contains(area)) << "in sight";
            EXPECT_FALSE(monitor.intersects(area));
            EXPECT_GT(monitor.top(), area.bottom()) << "docked below";
        }
    };
    coversNothing();
    EXPECT_LE(form->monitor()->height(), form->height() / 3) << "a third of the window at most on first use";
    const auto caretAndFocus = [&](int line, int column) {
        int atLine = -1, atColumn = -1;
        form->editor()->selectionStart(&atLine, &atColumn);
        EXPECT_EQ(atLine, line);
        EXPECT_EQ(atColumn, column);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form->editor()->activeView(); }));
    };
    {
        SCOPED_TRACE("after the build");
        caretAndFocus(1, 6);
    }
    {
        SCOPED_TRACE("double click in the monitor");
        QTest::mouseClick(monitorEdit()->viewport(), Qt::LeftButton, Qt::NoModifier, lineInMonitor(2));
        ASSERT_EQ(QApplication::focusWidget(), monitorEdit());
        QTest::mouseDClick(monitorEdit()->viewport(), Qt::LeftButton, Qt::NoModifier, lineInMonitor(2));
        caretAndFocus(4, 4);
        QTest::keyClicks(QApplication::focusWidget(), "x");
        EXPECT_EQ(form->editor()->lineText(4), "begixn end.") << "the next key goes to the editor";
    }
    {
        SCOPED_TRACE("F8");
        dialogs.queueAnswer(Answer::No); // the edit just made is not kept
        key(Qt::Key_F8);
        caretAndFocus(1, 6);
    }

    // Dragged taller by the user, the monitor keeps that height when it comes back, also after a
    // restart; however far it is dragged, the editor keeps room for some lines.
    const int dragged = form->monitor()->height() + 40;
    dragMonitorEdge(-40);
    ASSERT_EQ(form->monitor()->height(), dragged);
    QTest::keyClick(monitorEdit(), Qt::Key_Escape);
    EXPECT_FALSE(form->monitor()->isVisible());
    testfiles::write(dir + "game.pas", "program game;\r\n{$I A.INC}\r\nbegin end.\r\n");
    clickTreeNode(*form, 2);
    trigger("mnuCompile");
    ASSERT_TRUE(form->monitor()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->monitor()->height() == dragged; }));
    EXPECT_FALSE(form->monitor()->text().contains("first")) << "no error of the build before";
    EXPECT_TRUE(form->monitor()->text().contains("No errors - Sucessfully compiled"));

    form->close();
    form = kit.startForm(dialogs);
    ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
    trigger("mnuCompile");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->monitor()->height() == dragged; }));
    coversNothing();
    dragMonitorEdge(-form->height());
    EXPECT_GE(form->editor()->height(), tarvel::EditorMinimumHeightPixels);
    coversNothing();
}

TEST_F(ErrorsFixture, AStateFileWithoutAUsableMonitorHeightOpensItAtAThirdOfTheWindowAtMost)
{
    open("program game;\r\nbegin end.\r\n");
    const QString state = form->windowStateFilePath();
    form->close();
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"written when the monitor was a window of its own", "geometry=10 20 600 450\nmonitor=5 700\n"},
        {"damaged", "geometry=10 20 600 450\nmonitor-height=400x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testfiles::write(state, c.bytes);
        form = kit.startForm(dialogs);
        ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
        trigger("mnuCompile");
        ASSERT_TRUE(QTest::qWaitFor([&] { return monitorArea().height() > 0; }));
        EXPECT_LE(form->monitor()->height(), form->height() / 3);
        form->close();
    }
}
