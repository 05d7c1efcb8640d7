#pragma once

#include <QKeyCombination>
#include <QList>
#include <QString>
#include <QWidget>

class QPrinter;
class QsciCommand;
class QsciScintilla;
class QsciDocument;
class QSplitter;
class FindReplaceDialog;

// Tarvel's source editor: QScintilla with the Pascal lexer. One document is shown in one pane,
// or in two panes stacked vertically when the view is split. Lines and columns count from 0.
class CodeEditor : public QWidget {
    Q_OBJECT
public:
    // Built-in command numbers that the program runs or unbinds.
    enum Command {
        CmdFindReplace = 169, // the find-and-replace dialog
        CmdFindNext = 176,    // repeat the last search
        CmdFind = 178,        // the find dialog
        CmdFreedAtStart = 129 // the command whose key bindings the program frees at start
    };

    explicit CodeEditor(QWidget* parent = nullptr);
    ~CodeEditor() override;

    // Whole text. Setting it is one undoable edit and removes the highlighted line.
    QString text() const;
    void setText(const QString& text);

    // Inserts the whole (8-bit) text of a file at a position; false when it cannot be read.
    // Into an empty editor this is a load: the undo history starts afresh, so undoing can
    // never bring back the text of the document shown before.
    bool insertFile(const QString& path, int line, int column);

    // Replaces the whole text with a document's (8-bit) bytes: the highlighted line goes, the
    // caret is at the start, the undo history starts afresh and the text counts as unmodified.
    void loadBytes(const QByteArray& bytes);
    // loadBytes with a file's bytes; false, with the editor untouched, when it cannot be read.
    bool loadFile(const QString& path, QString* error = nullptr);

    // Writes the whole text to `path` atomically as 8-bit text with CR LF line ends.
    // On failure `error` receives a readable reason and the file is left as it was.
    // A successful save clears the modified flag (the text now equals the file) unless
    // `keepModifiedFlag` is true.
    bool saveFile(const QString& path, bool keepModifiedFlag, QString* error = nullptr);

    bool isModified() const;
    void setModified(bool modified);

    int lineCount() const;
    QString lineText(int line) const; // without its line end

    // Start of the selection (the caret when nothing is selected).
    void selectionStart(int* line, int* column) const;
    void setCaret(int line, int column);

    // One whole line marked with a visible full-line background; -1 for none.
    void setHighlightedLine(int line);
    int highlightedLine() const;

    // Positions past the end of a line or of the text are clamped to that end.
    void insertText(const QString& text, int line, int column);

    bool canCut() const;
    bool canCopy() const;
    bool canPaste() const;
    bool canUndo() const;
    bool canRedo() const;
    void cut();
    void copy();
    void paste();
    void undo();
    void redo();
    void deleteSelection();

    // Runs a built-in command by number (find, find next, find and replace); false if unknown.
    bool executeCommand(int command);
    // The number of key bindings of a built-in command, and removal of its first binding.
    int commandKeyCount(int command) const;
    void removeCommandKey(int command);

    // Repeats the last search backwards from the start of the selection, wrapping at the top;
    // opens the find dialog when nothing was searched yet. False when nothing was found.
    bool findPrevious();

    // The find / replace dialog once a find command has opened it, else null.
    FindReplaceDialog* findReplaceDialog() const { return m_findDialog; }

    // Prints the whole text with its colours; `flags` is reserved for print options. False when
    // nothing could be printed (no printer, or the printer refused to start).
    bool print(QPrinter* printer, int flags = 0);

    QString wordAtCaret() const;
    // The part of the word at the caret that ends at the caret ("" after a blank).
    QString wordBeforeCaret() const;

    // Keys the program handles in keyDown although they are also window shortcuts (menu items):
    // while a pane has the focus they go to keyDown and no shortcut fires, so one press is one
    // action. Shift+Tab counts as Tab with Shift, as keyDown reports it.
    void setOwnKeys(const QList<QKeyCombination>& keys);

    int paneCount() const;  // 1, or 2 when split
    int activePane() const; // 0 or 1
    void setActivePane(int pane);

    bool isSplit() const;
    void setSplit(bool on);
    // Height in pixels of the top pane when split.
    void setSplitPosition(int pixels);
    int splitPosition() const;

    // The pane that has, or last had, the focus.
    QsciScintilla* activeView() const;
    // Pane 0 (upper) or 1 (lower). The lower pane is made when it is first needed: when the
    // view is split, or asked for here.
    QsciScintilla* view(int pane);

signals:
    // Key and mouse events of either pane. `cancel` starts false; setting it true swallows the key.
    // `key` is a Qt::Key (Shift+Tab arrives as Qt::Key_Tab with Shift); `shift` holds only
    // Shift, Control, Alt and Meta. `character` is the code the key types: Ctrl+A..Ctrl+Z give
    // 1..26, Ctrl+Enter gives 10 (line feed), Enter 13, Tab 9, Backspace 8, Esc 27.
    // Mouse x and y are in this widget's coordinates.
    void keyDown(int key, Qt::KeyboardModifiers shift, bool* cancel);
    void keyPress(int character, Qt::KeyboardModifiers shift, bool* cancel);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // The active pane changed.
    void viewChange();
    // isModified() changed.
    void modificationChanged(bool modified);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Search {
        QString text;
        bool matchCase = false;
        bool wholeWord = false;
    };

    QsciScintilla* createView(const QString& objectName, const QString& accessibleName);
    void configureView(QsciScintilla* view);
    QsciScintilla* lowerPane();
    void makeActive(int pane);
    int paneOf(const QObject* object) const;
    long positionAt(int line, int column) const;
    void insertBytes(long position, const QByteArray& bytes);
    QsciCommand* freedCommand(QsciScintilla* view) const;
    void applySplitPosition();
    void reportModified();
    // A document replaced while a mouse button is down ends that press in the old document, and
    // the rest of the gesture (moves, release) selects nothing in the new one.
    void endPressInOldDocument();

    void showFindDialog(bool replace);
    void takeSearchFromDialog();
    bool findNext();
    int searchFlags() const;
    bool selectionIsMatch() const;
    bool replaceOne(const QString& replacement);
    int replaceAll(const QString& replacement);

    QSplitter* m_splitter = nullptr;
    QsciScintilla* m_views[2] = {nullptr, nullptr};
    int m_active = 0;
    bool m_split = false;
    int m_splitPosition = 0;
    // QScintilla can only clear the modified flag; this holds a flag set by setModified(true)
    // or by a load that restarted the undo history.
    bool m_forcedModified = false;
    bool m_reportedModified = false;
    // The pane a mouse button went down in and where, until its release; -1 for none.
    int m_pressedPane = -1;
    QPoint m_pressedAt;
    bool m_ignoringPress = false;
    bool m_endingPress = false;
    Search m_search;
    FindReplaceDialog* m_findDialog = nullptr;
    QList<QKeyCombination> m_ownKeys;
};
