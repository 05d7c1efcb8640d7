#include "shell/CodeEditor.h"
#include "shell/FindReplaceDialog.h"

#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QContextMenuEvent>
#include <QTest>

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

class CodeEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_editor = std::make_unique<CodeEditor>();
        m_editor->resize(500, 400);
        m_editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_editor.get()));
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Loads a file the way the main window does: empty, insert at the start, clear the flag.
    void load(const QByteArray& bytes)
    {
        testfiles::write(path("in.pas"), bytes);
        m_editor->setText(QString());
        ASSERT_TRUE(m_editor->insertFile(path("in.pas"), 0, 0));
        m_editor->setModified(false);
    }

    void focusEditor()
    {
        m_editor->activateWindow();
        QApplication::setActiveWindow(m_editor.get());
        m_editor->setFocus();
        QCoreApplication::processEvents();
    }

    QsciScintilla* pane(int n) const { return m_editor->view(n); }

    QTemporaryDir m_dir;
    std::unique_ptr<CodeEditor> m_editor;
};

QByteArray everyByte()
{
    QByteArray bytes("program T;\r\n");
    for (int c = 1; c < 256; ++c) {
        if (c != '\r' && c != '\n')
            bytes += char(c);
    }
    bytes += "\r\nend.\r\n";
    return bytes;
}

// ---- files ----

TEST_F(CodeEditorTest, LoadAndSaveKeepEveryByteAndCrLf)
{
    const QByteArray original = everyByte();
    load(original);
    EXPECT_EQ(m_editor->lineCount(), 4);
    EXPECT_EQ(m_editor->lineText(0), "program T;");
    EXPECT_EQ(m_editor->lineText(1).size(), 253);
    EXPECT_EQ(m_editor->lineText(1).at(252), QChar(0xFF));
    EXPECT_EQ(m_editor->text(), QString::fromLatin1(original));
    int line = -1, column = -1;
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 0);

    ASSERT_TRUE(m_editor->saveFile(path("out.pas"), false));
    const QByteArray saved = testfiles::read(path("out.pas"));
    EXPECT_EQ(saved, original) << qPrintable(testfiles::hex(saved));

    // Through setText as well: characters 0x80..0xFF and NUL stay single bytes.
    const QString latin = QString::fromLatin1(QByteArray("a\0b\xE9\xFF\x80", 6));
    m_editor->setText(latin);
    EXPECT_EQ(m_editor->text(), latin);
    m_editor->setText(QString());
    EXPECT_EQ(m_editor->text(), QString());
    EXPECT_EQ(m_editor->lineCount(), 1);
}

TEST_F(CodeEditorTest, LineEndsAreSavedAsCrLf)
{
    load("a\nb\rc\r\nd");
    EXPECT_EQ(m_editor->lineCount(), 4);
    EXPECT_EQ(m_editor->lineText(1), "b");
    ASSERT_TRUE(m_editor->saveFile(path("out.pas"), false));
    EXPECT_EQ(testfiles::read(path("out.pas")), QByteArray("a\r\nb\r\nc\r\nd"));

    m_editor->setText("x\ny\n");
    ASSERT_TRUE(m_editor->saveFile(path("out.pas"), false));
    EXPECT_EQ(testfiles::read(path("out.pas")), QByteArray("x\r\ny\r\n"));
}

TEST_F(CodeEditorTest, InsertFileAndTextAtPosition)
{
    m_editor->setText("begin\r\nend.");
    testfiles::write(path("inc.pas"), "{x}");
    ASSERT_TRUE(m_editor->insertFile(path("inc.pas"), 1, 3));
    EXPECT_EQ(m_editor->lineText(1), "end{x}.");
    m_editor->insertText("{$i a.inc }", 0, 99); // column past the end: at the line end
    EXPECT_EQ(m_editor->lineText(0), "begin{$i a.inc }");
    m_editor->insertText("!", 7, 0); // line past the end: at the end of the text
    EXPECT_TRUE(m_editor->text().endsWith("{x}.!"));

    const QString before = m_editor->text();
    EXPECT_FALSE(m_editor->insertFile(path("missing.pas"), 0, 0));
    EXPECT_FALSE(m_editor->insertFile(m_dir.path(), 0, 0));
    EXPECT_EQ(m_editor->text(), before);
}

TEST_F(CodeEditorTest, FailedSaveKeepsTextFlagAndOldFile)
{
    load("begin end.\r\n");
    QTest::keyClicks(pane(0), "x");
    ASSERT_TRUE(m_editor->isModified());
    const QString text = m_editor->text();

    QString error;
    EXPECT_FALSE(m_editor->saveFile(path("no/such/folder/out.pas"), false, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(m_editor->isModified());
    EXPECT_EQ(m_editor->text(), text);

    testfiles::write(path("ro.pas"), "old");
    QFile::setPermissions(path("ro.pas"), QFile::ReadOwner);
    error.clear();
    EXPECT_FALSE(m_editor->saveFile(path("ro.pas"), false, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(testfiles::read(path("ro.pas")), QByteArray("old"));
    EXPECT_TRUE(m_editor->isModified());
    EXPECT_EQ(m_editor->text(), text);
}

TEST_F(CodeEditorTest, ModifiedFlagFollowsEditsLoadsAndSaves)
{
    load("begin end.\r\n");
    EXPECT_FALSE(m_editor->isModified());
    QTest::keyClicks(pane(0), "ab");
    QKeyEvent eacute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
    QApplication::sendEvent(pane(0), &eacute);
    EXPECT_TRUE(m_editor->isModified());
    // A typed 8-bit character is one character (one byte in the file), not UTF-8.
    EXPECT_EQ(m_editor->lineText(0), QString::fromLatin1("ab\xE9" "begin end."));

    ASSERT_TRUE(m_editor->saveFile(path("keep.pas"), true));
    EXPECT_TRUE(m_editor->isModified());
    ASSERT_TRUE(m_editor->saveFile(path("clear.pas"), false));
    EXPECT_FALSE(m_editor->isModified());

    m_editor->setModified(true);
    EXPECT_TRUE(m_editor->isModified());
    m_editor->setModified(false);
    EXPECT_FALSE(m_editor->isModified());
}

TEST_F(CodeEditorTest, UndoRedoAndUndoNeverReachesThePreviousDocument)
{
    m_editor->setText("OLD DOCUMENT");
    m_editor->setModified(false);
    load("new\r\n");
    EXPECT_FALSE(m_editor->canUndo());

    QTest::keyClicks(pane(0), "x");
    EXPECT_TRUE(m_editor->canUndo());
    EXPECT_FALSE(m_editor->canRedo());
    m_editor->undo();
    EXPECT_EQ(m_editor->text(), "new\r\n");
    EXPECT_TRUE(m_editor->canRedo());
    m_editor->redo();
    EXPECT_EQ(m_editor->text(), "xnew\r\n");

    for (int i = 0; i < 5; ++i)
        m_editor->undo();
    EXPECT_EQ(m_editor->text(), "new\r\n");
}

// ---- positions, words and the highlighted line ----

TEST_F(CodeEditorTest, SelectionStartCaretAndWord)
{
    m_editor->setText("program P;\r\n  writeln(Total_1, x);\r\n");
    m_editor->setCaret(1, 5);
    int line = -1, column = -1;
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 5);
    EXPECT_EQ(m_editor->wordAtCaret(), "writeln");

    m_editor->setCaret(1, 17); // right after Total_1
    EXPECT_EQ(m_editor->wordAtCaret(), "Total_1");
    m_editor->setCaret(1, 1); // between the two blanks
    EXPECT_EQ(m_editor->wordAtCaret(), "");

    // A selection made backwards reports its lower end.
    pane(0)->setSelection(1, 9, 0, 3);
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 3);

    m_editor->setCaret(0, 50);
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 10);
}

TEST_F(CodeEditorTest, HighlightedLineIsOneLineInBothPanes)
{
    m_editor->setText("a\r\nb\r\nc\r\nd\r\n");
    m_editor->setSplit(true);
    const unsigned highlight = 1u << 8;
    EXPECT_EQ(m_editor->highlightedLine(), -1);

    m_editor->setHighlightedLine(2);
    EXPECT_EQ(m_editor->highlightedLine(), 2);
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(pane(p)->markersAtLine(2) & highlight);
        EXPECT_EQ(pane(p)->SendScintilla(QsciScintillaBase::SCI_MARKERSYMBOLDEFINED, 8UL),
                  long(QsciScintilla::Background));
    }

    m_editor->setHighlightedLine(0);
    EXPECT_EQ(m_editor->highlightedLine(), 0);
    EXPECT_FALSE(pane(1)->markersAtLine(2) & highlight);

    m_editor->setHighlightedLine(-1);
    EXPECT_EQ(m_editor->highlightedLine(), -1);
    m_editor->setHighlightedLine(99);
    EXPECT_EQ(m_editor->highlightedLine(), -1);

    // Replacing the text does not leave the mark on a line of the new text.
    m_editor->setHighlightedLine(3);
    m_editor->setText("x\r\ny\r\n");
    EXPECT_EQ(m_editor->highlightedLine(), -1);
}

// ---- panes ----

TEST_F(CodeEditorTest, SplitPanesShareTheDocumentAndTrackTheActivePane)
{
    focusEditor();
    QSignalSpy changes(m_editor.get(), &CodeEditor::viewChange);
    EXPECT_FALSE(m_editor->isSplit());
    EXPECT_EQ(m_editor->paneCount(), 1);
    EXPECT_FALSE(pane(1)->isVisible());
    EXPECT_EQ(pane(0)->accessibleName(), "Source editor");
    EXPECT_EQ(pane(1)->accessibleName(), "Source editor, lower pane");

    m_editor->setActivePane(1); // no second pane yet
    EXPECT_EQ(m_editor->activePane(), 0);
    EXPECT_EQ(changes.count(), 0);

    m_editor->setSplit(true);
    EXPECT_TRUE(m_editor->isSplit());
    EXPECT_EQ(m_editor->paneCount(), 2);
    EXPECT_TRUE(pane(1)->isVisible());

    m_editor->setActivePane(1);
    EXPECT_EQ(m_editor->activePane(), 1);
    EXPECT_EQ(m_editor->activeView(), pane(1));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), pane(1));

    QTest::keyClicks(pane(1), "lower");
    EXPECT_EQ(m_editor->text(), "lower");

    pane(0)->setFocus(); // the user clicks into the upper pane
    QCoreApplication::processEvents();
    EXPECT_EQ(m_editor->activePane(), 0);
    EXPECT_EQ(changes.count(), 2);

    m_editor->setActivePane(1);
    m_editor->setSplit(false);
    EXPECT_EQ(m_editor->paneCount(), 1);
    EXPECT_EQ(m_editor->activePane(), 0);
    EXPECT_EQ(changes.count(), 4);
    EXPECT_FALSE(pane(1)->isVisible());

    // Focus given to the editor lands in the active pane.
    QWidget other;
    other.show();
    other.setFocus();
    m_editor->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), pane(0));
}

TEST_F(CodeEditorTest, SplitPositionIsTheTopPaneHeight)
{
    m_editor->setSplit(true);
    m_editor->setSplitPosition(120);
    EXPECT_EQ(m_editor->splitPosition(), 120);
    EXPECT_EQ(pane(0)->height(), 120);
    m_editor->setSplitPosition(200);
    EXPECT_EQ(pane(0)->height(), 200);
    m_editor->resize(500, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_editor->splitPosition(), 200);

    // Set before the editor is shown, applied when it is.
    CodeEditor hidden;
    hidden.resize(300, 300);
    hidden.setSplit(true);
    hidden.setSplitPosition(90);
    EXPECT_EQ(hidden.splitPosition(), 90);
    hidden.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hidden));
    EXPECT_EQ(hidden.view(0)->height(), 90);
}

// ---- built-in commands ----

TEST_F(CodeEditorTest, FreeingCommand129UnbindsCtrlZInBothPanes)
{
    ASSERT_EQ(m_editor->commandKeyCount(CodeEditor::CmdFreedAtStart), 2);
    const QsciCommand* undo = pane(0)->standardCommands()->find(QsciCommand::Undo);
    EXPECT_EQ(undo->key(), (Qt::CTRL | Qt::Key_Z).toCombined());
    EXPECT_EQ(m_editor->commandKeyCount(CodeEditor::CmdFind), 0);

    // While bound, Ctrl+Z undoes in the editor itself.
    load("abc");
    QTest::keyClicks(pane(0), "x");
    QTest::keyClick(pane(0), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m_editor->text(), "abc");

    const int count = m_editor->commandKeyCount(CodeEditor::CmdFreedAtStart);
    for (int i = 0; i < count; ++i)
        m_editor->removeCommandKey(CodeEditor::CmdFreedAtStart);
    EXPECT_EQ(m_editor->commandKeyCount(CodeEditor::CmdFreedAtStart), 0);
    m_editor->removeCommandKey(CodeEditor::CmdFreedAtStart); // nothing left: harmless

    m_editor->setSplit(true); // the lower pane is made now, after the keys were freed
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        const QsciCommand* freed = pane(p)->standardCommands()->find(QsciCommand::Undo);
        EXPECT_EQ(freed->key(), 0);
        EXPECT_EQ(freed->alternateKey(), 0);
        QTest::keyClicks(pane(p), "y");
        QTest::keyClick(pane(p), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(pane(p), Qt::Key_Backspace, Qt::AltModifier);
        EXPECT_TRUE(m_editor->text().contains('y'));
        EXPECT_FALSE(m_editor->text().contains('z'));
    }
    EXPECT_TRUE(m_editor->canUndo());
}

TEST_F(CodeEditorTest, FindDialogFindsAndFindNextRepeats)
{
    m_editor->setText("Write(a);\r\nwriteln(b);\r\nWRITE(c);\r\n");
    EXPECT_FALSE(m_editor->executeCommand(999));

    // Find Next with no search yet opens the find dialog.
    ASSERT_TRUE(m_editor->executeCommand(CodeEditor::CmdFindNext));
    FindReplaceDialog* dialog = m_editor->findChild<FindReplaceDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog, m_editor->findReplaceDialog());
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();

    ASSERT_TRUE(m_editor->executeCommand(CodeEditor::CmdFind));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isReplaceMode());
    EXPECT_FALSE(dialog->findChild<QLineEdit*>("replaceWith")->isVisibleTo(dialog));
    for (const char* name : {"findWhat", "matchCase", "wholeWord", "findNext", "close"}) {
        auto* control = dialog->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
        EXPECT_NE(control->focusPolicy() & Qt::TabFocus, 0) << name;
    }

    auto* findWhat = dialog->findChild<QLineEdit*>("findWhat");
    findWhat->setText("write");
    dialog->findChild<QCheckBox*>("wholeWord")->setChecked(true);
    QTest::mouseClick(dialog->findChild<QPushButton*>("findNext"), Qt::LeftButton);
    int line = -1, column = -1;
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(pane(0)->selectedText(), "Write");

    // Whole word skips "writeln"; the search wraps back to the top.
    ASSERT_TRUE(m_editor->executeCommand(CodeEditor::CmdFindNext));
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 2);
    m_editor->executeCommand(CodeEditor::CmdFindNext);
    m_editor->selectionStart(&line, &column);
    EXPECT_EQ(line, 0);

    dialog->findChild<QCheckBox*>("matchCase")->setChecked(true);
    findWhat->setText("nothere");
    QTest::mouseClick(dialog->findChild<QPushButton*>("findNext"), Qt::LeftButton);
    EXPECT_TRUE(dialog->status().contains("nothere"));

    findWhat->clear();
    EXPECT_FALSE(dialog->findChild<QPushButton*>("findNext")->isEnabled());
}

TEST_F(CodeEditorTest, ReplaceDialogReplacesOneOrAll)
{
    m_editor->setText("a := a + aa;\r\nA := 1;\r\n");
    ASSERT_TRUE(m_editor->executeCommand(CodeEditor::CmdFindReplace));
    FindReplaceDialog* dialog = m_editor->findReplaceDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isReplaceMode());
    auto* replaceWith = dialog->findChild<QLineEdit*>("replaceWith");
    ASSERT_TRUE(replaceWith->isVisible());
    EXPECT_FALSE(replaceWith->accessibleName().isEmpty());

    dialog->findChild<QLineEdit*>("findWhat")->setText("a");
    replaceWith->setText("aa"); // the replacement contains the search text
    dialog->findChild<QCheckBox*>("matchCase")->setChecked(true);
    QTest::mouseClick(dialog->findChild<QPushButton*>("replaceAll"), Qt::LeftButton);
    EXPECT_EQ(m_editor->text(), "aa := aa + aaaa;\r\nA := 1;\r\n");
    EXPECT_EQ(dialog->status(), "4 replaced.");
    m_editor->undo(); // one step for the whole replacement
    EXPECT_EQ(m_editor->text(), "a := a + aa;\r\nA := 1;\r\n");

    // Replace: the first press finds, the next replaces that match and finds the next one.
    m_editor->setCaret(0, 0);
    dialog->findChild<QCheckBox*>("matchCase")->setChecked(false);
    dialog->findChild<QCheckBox*>("wholeWord")->setChecked(true);
    replaceWith->setText("b");
    auto* replace = dialog->findChild<QPushButton*>("replace");
    QTest::mouseClick(replace, Qt::LeftButton);
    EXPECT_EQ(m_editor->text(), "a := a + aa;\r\nA := 1;\r\n");
    QTest::mouseClick(replace, Qt::LeftButton);
    QTest::mouseClick(replace, Qt::LeftButton);
    QTest::mouseClick(replace, Qt::LeftButton);
    EXPECT_EQ(m_editor->text(), "b := b + aa;\r\nb := 1;\r\n");
}

TEST_F(CodeEditorTest, TextASourceCannotHoldIsNeitherFoundNorWritten)
{
    // Keys that type characters beyond Latin-1, such as "€" on a European keyboard.
    const auto type = [](QWidget* field, const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
    };
    // Sources are 8-bit: "€" is in no source, and no replacement may write it as "?".
    const QString source = QString::fromLatin1("{ why? how? caf\xE9 }\r\n");
    struct Row {
        const char* find;
        const char* replace;
        const char* status;
    };
    const Row rows[] = {
        {"€", "EURO", "Cannot find \"€\"."},
        {"?", "€", "The replacement holds characters that a source file cannot hold."},
    };
    ASSERT_TRUE(m_editor->executeCommand(CodeEditor::CmdFindReplace));
    FindReplaceDialog* dialog = m_editor->findReplaceDialog();
    auto* findWhat = dialog->findChild<QLineEdit*>("findWhat");
    auto* replaceWith = dialog->findChild<QLineEdit*>("replaceWith");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.find);
        m_editor->setText(source);
        m_editor->setModified(false);
        findWhat->clear();
        type(findWhat, QString::fromUtf8(row.find));
        replaceWith->clear();
        type(replaceWith, QString::fromUtf8(row.replace));
        QTest::mouseClick(dialog->findChild<QPushButton*>("replaceAll"), Qt::LeftButton);
        EXPECT_EQ(m_editor->text(), source);
        EXPECT_EQ(dialog->status(), QString::fromUtf8(row.status));
        QTest::mouseClick(dialog->findChild<QPushButton*>("replace"), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>("replace"), Qt::LeftButton);
        EXPECT_EQ(m_editor->text(), source);
        EXPECT_FALSE(m_editor->isModified());
    }
    findWhat->clear();
    type(findWhat, QString::fromUtf8("€"));
    m_editor->setCaret(0, 0);
    QTest::mouseClick(dialog->findChild<QPushButton*>("findNext"), Qt::LeftButton);
    EXPECT_FALSE(pane(0)->hasSelectedText());
}

// ---- events ----

TEST_F(CodeEditorTest, KeyEventsCarryKeyCharacterAndShiftState)
{
    struct Seen {
        int key;
        Qt::KeyboardModifiers shift;
    };
    QList<Seen> downs, presses;
    bool cancelDown = false, cancelPress = false;
    QObject::connect(m_editor.get(), &CodeEditor::keyDown, m_editor.get(),
            [&](int key, Qt::KeyboardModifiers shift, bool* cancel) {
                EXPECT_FALSE(*cancel);
                downs.append({key, shift});
                *cancel = cancelDown;
            });
    QObject::connect(m_editor.get(), &CodeEditor::keyPress, m_editor.get(),
            [&](int character, Qt::KeyboardModifiers shift, bool* cancel) {
                EXPECT_FALSE(*cancel);
                presses.append({character, shift});
                *cancel = cancelPress;
            });

    // Like a keyboard, the modifier key itself goes down first.
    QTest::keyClick(pane(0), 'A', Qt::ShiftModifier);
    ASSERT_EQ(downs.size(), 2);
    EXPECT_EQ(downs[0].key, Qt::Key_Shift);
    EXPECT_EQ(downs[1].key, Qt::Key_A);
    EXPECT_EQ(downs[1].shift, Qt::ShiftModifier);
    ASSERT_EQ(presses.size(), 1);
    EXPECT_EQ(presses[0].key, 'A');
    EXPECT_EQ(m_editor->text(), "A");

    QTest::keyClick(pane(0), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(presses.last().key, 10);
    EXPECT_EQ(presses.last().shift, Qt::ControlModifier);
    QTest::keyClick(pane(0), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(presses.last().key, 26);
    QTest::keyClick(pane(0), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(downs.last().key, Qt::Key_Tab);
    EXPECT_EQ(downs.last().shift, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(pane(0), Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(downs.last().key, Qt::Key_F2);
    EXPECT_EQ(presses.size(), 4); // F2 types no character

    m_editor->setText("");
    cancelPress = true;
    QTest::keyClick(pane(0), Qt::Key_B);
    EXPECT_EQ(m_editor->text(), "");
    cancelPress = false;
    cancelDown = true;
    const int before = presses.size();
    QTest::keyClick(pane(0), Qt::Key_C);
    EXPECT_EQ(m_editor->text(), "");
    EXPECT_EQ(presses.size(), before);
    cancelDown = false;
    QTest::keyClick(pane(0), Qt::Key_D);
    EXPECT_EQ(m_editor->text(), "d");
}

TEST_F(CodeEditorTest, MouseEventsReportButtonShiftAndPosition)
{
    m_editor->setSplit(true);
    m_editor->setSplitPosition(100);
    QList<std::tuple<Qt::MouseButton, Qt::KeyboardModifiers, int, int>> downs, ups;
    QObject::connect(m_editor.get(), &CodeEditor::mouseDown, m_editor.get(),
            [&](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) { downs.append({b, s, x, y}); });
    QObject::connect(m_editor.get(), &CodeEditor::mouseUp, m_editor.get(),
            [&](Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) { ups.append({b, s, x, y}); });

    QWidget* lower = pane(1)->viewport();
    const QPoint at(40, 10);
    const QPoint expected = lower->mapTo(m_editor.get(), at);
    QTest::mouseClick(lower, Qt::RightButton, Qt::ShiftModifier, at);
    ASSERT_EQ(downs.size(), 1);
    ASSERT_EQ(ups.size(), 1);
    EXPECT_EQ(std::get<0>(downs[0]), Qt::RightButton);
    EXPECT_EQ(std::get<1>(downs[0]), Qt::ShiftModifier);
    EXPECT_EQ(std::get<2>(downs[0]), expected.x());
    EXPECT_EQ(std::get<3>(downs[0]), expected.y());
    EXPECT_GT(expected.y(), 100); // below the upper pane
    EXPECT_EQ(std::get<0>(ups[0]), Qt::RightButton);

    // No menu of the editor's own competes with the program's.
    QWidget* popup = nullptr;
    QTimer::singleShot(0, m_editor.get(), [&] {
        popup = QApplication::activePopupWidget();
        if (popup)
            popup->close();
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, lower->mapToGlobal(at));
    QApplication::sendEvent(lower, &menu);
    QCoreApplication::processEvents();
    EXPECT_EQ(popup, nullptr);
}

// ---- look and printing ----

TEST_F(CodeEditorTest, PascalColouringAndFontInBothPanes)
{
    m_editor->setSplit(true);
    m_editor->setText("begin x := 1 end.");
    for (int p = 0; p < 2; ++p) {
        SCOPED_TRACE(p);
        QsciScintilla* view = pane(p);
        ASSERT_NE(qobject_cast<QsciLexerPascal*>(view->lexer()), nullptr);
        EXPECT_FALSE(view->isUtf8());
        view->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 0UL), long(QsciLexerPascal::Keyword));
        EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 11UL), long(QsciLexerPascal::Number));
        const QFont font = view->lexer()->font(QsciLexerPascal::Keyword);
        EXPECT_TRUE(font.bold());
        EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        // What the pane draws: narrow and wide letters take the same width in every style used.
        for (const int style : {int(QsciLexerPascal::Keyword), int(QsciLexerPascal::Default), int(QsciLexerPascal::Comment)}) {
            const auto width = [view, style](const char* text) {
                return view->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH, static_cast<unsigned long>(style), text);
            };
            EXPECT_GT(width("iiiiiiii"), 0);
            for (const char* letters : {"WWWWWWWW", "llllllll", "MMMMMMMM", "........", "mmmmmmmm"})
                EXPECT_EQ(width(letters), width("iiiiiiii")) << style << " " << letters;
        }
        EXPECT_EQ(view->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 0UL + QsciLexerPascal::Keyword), 9);
        EXPECT_NE(view->lexer()->color(QsciLexerPascal::Keyword), view->lexer()->color(QsciLexerPascal::Comment));
    }
}

TEST_F(CodeEditorTest, PrintsTheWholeTextToAPdf)
{
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("writeln('line %1');\r\n").arg(i);
    m_editor->setText(text);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("out.pdf"));
    ASSERT_TRUE(m_editor->print(&printer));
    const QByteArray pdf = testfiles::read(path("out.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    // 200 lines do not fit one page.
    EXPECT_GE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2);

    EXPECT_FALSE(m_editor->print(nullptr));
}

TEST_F(CodeEditorTest, APrinterThatCannotStartIsAFailure)
{
    m_editor->setText("writeln('x');\r\n");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("no such folder/out.pdf"));
    EXPECT_FALSE(m_editor->print(&printer));
}

} // namespace
