#include "shell/CodeEditor.h"

#include "core/TextFile.h"
#include "shell/FindReplaceDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscidocument.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>

#include <memory>

namespace {

// Marker slot for the highlighted line. Markers belong to the shared document, so one marker
// shows in both panes; each pane defines how it is drawn.
constexpr int kHighlightMarker = 8;
const QColor kHighlightColour(255, 190, 190);

// The built-in command behind number 129, the one whose keys the main window frees at start.
// Of QScintilla's default bindings only Undo's Ctrl+Z collides with a key Tarvel handles
// itself: Ctrl+Z reaches the program's own Undo command through the key events, which checks
// the modified flag first, so the editor must not undo a second time for the same key.
// Freeing both of its bindings (Ctrl+Z and Alt+Backspace) leaves undo to the program.
constexpr QsciCommand::Command kFreedCommand = QsciCommand::Undo;

QFont editorFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    // 12 pixels high at 96 dots per inch. QScintilla takes style sizes in points only (a
    // pixel-sized font reaches it as size -1), and points also print at a readable size.
    font.setPointSizeF(9.0);
    return font;
}

QsciLexerPascal* createLexer(QObject* parent)
{
    auto* lexer = new QsciLexerPascal(parent);
    const QFont font = editorFont();
    lexer->setDefaultFont(font);
    lexer->setFont(font); // every style
    lexer->setDefaultPaper(Qt::white);
    lexer->setPaper(Qt::white);
    lexer->setDefaultColor(Qt::black);

    const struct {
        int style;
        QColor colour;
    } scheme[] = {
        {QsciLexerPascal::Default, Qt::black},
        {QsciLexerPascal::Identifier, Qt::black},
        {QsciLexerPascal::Comment, QColor(0, 128, 0)},
        {QsciLexerPascal::CommentParenthesis, QColor(0, 128, 0)},
        {QsciLexerPascal::CommentLine, QColor(0, 128, 0)},
        {QsciLexerPascal::PreProcessor, QColor(0, 112, 112)},
        {QsciLexerPascal::PreProcessorParenthesis, QColor(0, 112, 112)},
        {QsciLexerPascal::Number, QColor(160, 0, 160)},
        {QsciLexerPascal::HexNumber, QColor(160, 0, 160)},
        {QsciLexerPascal::Keyword, QColor(0, 0, 140)},
        {QsciLexerPascal::SingleQuotedString, QColor(163, 21, 21)},
        {QsciLexerPascal::UnclosedString, QColor(163, 21, 21)},
        {QsciLexerPascal::Character, QColor(163, 21, 21)},
        {QsciLexerPascal::Operator, QColor(64, 64, 64)},
        {QsciLexerPascal::Asm, QColor(127, 63, 0)},
    };
    for (const auto& entry : scheme)
        lexer->setColor(entry.colour, entry.style);
    lexer->setPaper(QColor(255, 230, 230), QsciLexerPascal::UnclosedString);
    return lexer;
}

// Alt without Ctrl: a menu key, never typing. (Ctrl+Alt is AltGr on some keyboards and types.)
bool isAltCombination(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
}

// The character a key types, as a terminal keyboard produces it; -1 when it types none.
int characterOf(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int key = event->key();
    const bool ctrl = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ctrl ? 10 : 13;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    // Other Ctrl combinations and Alt combinations type nothing.
    const QString text = event->text();
    if (ctrl || isAltCombination(event) || text.isEmpty() || !text.at(0).isPrint())
        return -1;
    return text.at(0).unicode();
}

constexpr Qt::KeyboardModifiers kShiftState =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// Writes every line end (CR LF, LF or a lone CR) as CR LF.
QByteArray withCrLf(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

// The document is 8-bit: a character above 255 can be neither in it nor put into it. Converting
// such text would turn it into "?", which matches and writes a real question mark.
bool documentCanHold(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

QByteArray bytesBetween(const QsciScintilla* view, long from, long to)
{
    if (to <= from)
        return QByteArray();
    QByteArray buffer(to - from + 1, '\0');
    view->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, from, to, buffer.data());
    buffer.truncate(to - from);
    return buffer;
}

} // namespace

CodeEditor::CodeEditor(QWidget* parent) : QWidget(parent)
{
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("paneSplitter"));
    m_views[0] = createView(QStringLiteral("upperPane"), tr("Source editor"));
    m_splitter->addWidget(m_views[0]);
    configureView(m_views[0]);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    connect(m_splitter, &QSplitter::splitterMoved, this, [this](int pos, int) { m_splitPosition = pos; });
    connect(m_views[0], &QsciScintilla::modificationChanged, this, &CodeEditor::reportModified);
    setFocusProxy(m_views[0]);
}

CodeEditor::~CodeEditor() = default;

QsciScintilla* CodeEditor::createView(const QString& objectName, const QString& accessibleName)
{
    auto* view = new QsciScintilla(m_splitter);
    view->setObjectName(objectName);
    view->setAccessibleName(accessibleName);
    return view;
}

void CodeEditor::configureView(QsciScintilla* view)
{
    // Settings that live in the document (code page, line ends, lexer) are made after a pane
    // shares it; style settings are made in each pane.
    view->setLexer(createLexer(view));
    // 8-bit text: each character 0..255 is one byte of the document, so text read from and
    // written to files passes through unchanged.
    view->setUtf8(false);
    view->setEolMode(QsciScintilla::EolWindows);
    view->setAutoIndent(true);
    view->setAutoCompletionSource(QsciScintilla::AcsNone);
    view->setMarginsFont(editorFont());
    view->setMarginLineNumbers(0, true);
    view->setMarginWidth(0, QStringLiteral("00000"));
    view->setMarginWidth(1, 0);
    view->markerDefine(QsciScintilla::Background, kHighlightMarker);
    view->setMarkerBackgroundColor(kHighlightColour, kHighlightMarker);
    // The right button belongs to the program (its Edit menu opens on mouseDown), so
    // QScintilla's own context menu stays closed.
    view->setContextMenuPolicy(Qt::PreventContextMenu);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
}

QsciScintilla* CodeEditor::lowerPane()
{
    // Made when the view is first split: most sessions never split it, and a pane costs as much
    // to make as the rest of the editor.
    if (m_views[1])
        return m_views[1];
    QsciScintilla* view = createView(QStringLiteral("lowerPane"), tr("Source editor, lower pane"));
    m_splitter->addWidget(view);
    // When the editor grows, the lower pane takes the extra height and the divider stays.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    view->setDocument(m_views[0]->document());
    configureView(view);
    // Key bindings taken from the upper pane are taken from this one as well.
    const QsciCommand* upper = freedCommand(m_views[0]);
    if (QsciCommand* lower = freedCommand(view); upper && lower) {
        lower->setKey(upper->key());
        lower->setAlternateKey(upper->alternateKey());
    }
    view->hide();
    m_views[1] = view;
    return view;
}

// ---- text ----

QString CodeEditor::text() const
{
    const long length = m_views[0]->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    return QString::fromLatin1(bytesBetween(m_views[0], 0, length));
}

void CodeEditor::setText(const QString& text)
{
    // A marker on a removed line would move to a line of the new text.
    setHighlightedLine(-1);
    QsciScintilla* view = m_views[0];
    const QByteArray bytes = text.toLatin1();
    // Replacing through the target takes a length, so NUL characters survive.
    view->SendScintilla(QsciScintillaBase::SCI_TARGETWHOLEDOCUMENT);
    view->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, uintptr_t(bytes.size()), bytes.constData());
    for (QsciScintilla* v : m_views) {
        if (v)
            v->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    }
}

void CodeEditor::insertBytes(long position, const QByteArray& bytes)
{
    QsciScintilla* view = m_views[0];
    view->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(position));
    view->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(position));
    view->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, uintptr_t(bytes.size()), bytes.constData());
}

bool CodeEditor::insertFile(const QString& path, int line, int column)
{
    const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
    if (!bytes)
        return false;
    QsciScintilla* view = m_views[0];
    const bool load = view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == 0;
    const bool wasModified = isModified();
    insertBytes(positionAt(line, column), bytes.value());
    if (load) {
        // Loading a document: its undo history starts here. Otherwise undoing past the load
        // would bring back the previous document's text, which a save would then write
        // into this document's file.
        view->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        if (wasModified || !bytes.value().isEmpty())
            m_forcedModified = true;
    }
    reportModified();
    return true;
}

void CodeEditor::loadBytes(const QByteArray& bytes)
{
    endPressInOldDocument();
    setHighlightedLine(-1);
    QsciScintilla* view = m_views[0];
    view->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    insertBytes(0, bytes);
    // A new document: undoing must never bring back the text of the one shown before.
    view->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    for (QsciScintilla* v : m_views) {
        if (v)
            v->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
    }
    setModified(false);
}

bool CodeEditor::loadFile(const QString& path, QString* error)
{
    const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
    if (!bytes) {
        if (error)
            *error = bytes.error();
        return false;
    }
    loadBytes(bytes.value());
    return true;
}

bool CodeEditor::saveFile(const QString& path, bool keepModifiedFlag, QString* error)
{
    const long length = m_views[0]->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const common::Status written = common::WriteFileAtomic(path, withCrLf(bytesBetween(m_views[0], 0, length)));
    if (!written) {
        if (error)
            *error = written.error();
        return false;
    }
    if (!keepModifiedFlag)
        setModified(false);
    return true;
}

bool CodeEditor::isModified() const
{
    return m_forcedModified || m_views[0]->isModified();
}

void CodeEditor::setModified(bool modified)
{
    if (modified) {
        m_forcedModified = true;
    } else {
        m_forcedModified = false;
        m_views[0]->setModified(false);
    }
    reportModified();
}

void CodeEditor::reportModified()
{
    const bool modified = isModified();
    if (modified == m_reportedModified)
        return;
    m_reportedModified = modified;
    emit modificationChanged(modified);
}

int CodeEditor::lineCount() const
{
    return int(m_views[0]->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT));
}

QString CodeEditor::lineText(int line) const
{
    if (line < 0 || line >= lineCount())
        return QString();
    const QsciScintilla* view = m_views[0];
    const long start = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = view->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    return QString::fromLatin1(bytesBetween(view, start, end));
}

long CodeEditor::positionAt(int line, int column) const
{
    const QsciScintilla* view = m_views[0];
    if (line < 0)
        return 0;
    if (line >= lineCount())
        return view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long start = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = view->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    return start + qBound(0L, long(column), end - start);
}

void CodeEditor::selectionStart(int* line, int* column) const
{
    const QsciScintilla* view = activeView();
    const long pos = view->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long l = view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
    const long start = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(l));
    if (line)
        *line = int(l);
    if (column)
        *column = int(pos - start);
}

void CodeEditor::setCaret(int line, int column)
{
    activeView()->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(positionAt(line, column)));
}

void CodeEditor::setHighlightedLine(int line)
{
    QsciScintilla* view = m_views[0];
    view->markerDeleteAll(kHighlightMarker);
    if (line >= 0 && line < lineCount())
        view->markerAdd(line, kHighlightMarker);
}

int CodeEditor::highlightedLine() const
{
    return m_views[0]->markerFindNext(0, 1u << kHighlightMarker);
}

void CodeEditor::insertText(const QString& text, int line, int column)
{
    insertBytes(positionAt(line, column), text.toLatin1());
}

// ---- clipboard and undo ----

bool CodeEditor::canCut() const
{
    return !activeView()->isReadOnly() && activeView()->hasSelectedText();
}

bool CodeEditor::canCopy() const
{
    return activeView()->hasSelectedText();
}

bool CodeEditor::canPaste() const
{
    if (activeView()->isReadOnly())
        return false;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText();
}

bool CodeEditor::canUndo() const
{
    return m_views[0]->isUndoAvailable();
}

bool CodeEditor::canRedo() const
{
    return m_views[0]->isRedoAvailable();
}

void CodeEditor::cut()
{
    activeView()->cut();
}

void CodeEditor::copy()
{
    activeView()->copy();
}

void CodeEditor::paste()
{
    activeView()->paste();
}

void CodeEditor::undo()
{
    activeView()->undo();
}

void CodeEditor::redo()
{
    activeView()->redo();
}

void CodeEditor::deleteSelection()
{
    // Only the selection: with none, nothing is deleted (not the character after the caret).
    activeView()->removeSelectedText();
}

// ---- built-in commands ----

QsciCommand* CodeEditor::freedCommand(QsciScintilla* view) const
{
    return view->standardCommands()->find(kFreedCommand);
}

bool CodeEditor::executeCommand(int command)
{
    switch (command) {
    case CmdFind:
        showFindDialog(false);
        return true;
    case CmdFindReplace:
        showFindDialog(true);
        return true;
    case CmdFindNext:
        if (m_search.text.isEmpty())
            showFindDialog(false);
        else if (!findNext())
            QApplication::beep();
        return true;
    case CmdFreedAtStart:
        if (QsciCommand* c = freedCommand(activeView()))
            c->execute();
        return true;
    default:
        return false;
    }
}

int CodeEditor::commandKeyCount(int command) const
{
    if (command != CmdFreedAtStart)
        return 0;
    const QsciCommand* c = freedCommand(m_views[0]);
    if (!c)
        return 0;
    return (c->key() != 0 ? 1 : 0) + (c->alternateKey() != 0 ? 1 : 0);
}

void CodeEditor::removeCommandKey(int command)
{
    if (command != CmdFreedAtStart)
        return;
    // Key tables are per pane; both panes lose the same binding.
    for (QsciScintilla* view : m_views) {
        QsciCommand* c = view ? freedCommand(view) : nullptr;
        if (!c)
            continue;
        if (c->key() != 0)
            c->setKey(0);
        else if (c->alternateKey() != 0)
            c->setAlternateKey(0);
    }
}

// ---- find and replace ----

void CodeEditor::showFindDialog(bool replace)
{
    if (!m_findDialog) {
        m_findDialog = new FindReplaceDialog(this);
        connect(m_findDialog, &FindReplaceDialog::findNextRequested, this, [this] {
            takeSearchFromDialog();
            if (!findNext())
                m_findDialog->setStatus(tr("Cannot find \"%1\".").arg(m_search.text));
        });
        const auto refuseReplacement = [this] {
            if (documentCanHold(m_findDialog->replaceText()))
                return false;
            m_findDialog->setStatus(tr("The replacement holds characters that a source file cannot hold."));
            return true;
        };
        connect(m_findDialog, &FindReplaceDialog::replaceRequested, this, [this, refuseReplacement] {
            takeSearchFromDialog();
            if (refuseReplacement())
                return;
            if (!replaceOne(m_findDialog->replaceText()))
                m_findDialog->setStatus(tr("Cannot find \"%1\".").arg(m_search.text));
        });
        connect(m_findDialog, &FindReplaceDialog::replaceAllRequested, this, [this, refuseReplacement] {
            takeSearchFromDialog();
            if (refuseReplacement())
                return;
            const int count = replaceAll(m_findDialog->replaceText());
            m_findDialog->setStatus(count == 0 ? tr("Cannot find \"%1\".").arg(m_search.text)
                                               : tr("%n replaced.", nullptr, count));
        });
    }
    m_findDialog->setReplaceMode(replace);

    // Start from the selected text when it is a single line, else from the last search.
    QString seed = activeView()->selectedText();
    if (seed.contains(QLatin1Char('\n')) || seed.contains(QLatin1Char('\r')))
        seed.clear();
    if (seed.isEmpty())
        seed = m_search.text;
    if (seed.isEmpty())
        seed = wordAtCaret();
    m_findDialog->setFindText(seed);
    m_findDialog->setStatus(QString());

    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void CodeEditor::takeSearchFromDialog()
{
    m_search.text = m_findDialog->findText();
    m_search.matchCase = m_findDialog->matchCase();
    m_search.wholeWord = m_findDialog->wholeWord();
    m_findDialog->setStatus(QString());
}

bool CodeEditor::findNext()
{
    if (m_search.text.isEmpty() || !documentCanHold(m_search.text))
        return false;
    // From the caret on, wrapping at the end; the match is selected and scrolled into view.
    return activeView()->findFirst(m_search.text, false, m_search.matchCase, m_search.wholeWord,
                                   true, true, -1, -1, true);
}

bool CodeEditor::findPrevious()
{
    if (m_search.text.isEmpty()) {
        showFindDialog(false);
        return false;
    }
    // From the start of the selection, so the match shown now is not found again.
    int line = 0;
    int column = 0;
    selectionStart(&line, &column);
    const bool found = activeView()->findFirst(m_search.text, false, m_search.matchCase, m_search.wholeWord, true,
                                               false, line, column, true);
    if (!found)
        QApplication::beep();
    return found;
}

int CodeEditor::searchFlags() const
{
    return (m_search.matchCase ? QsciScintillaBase::SCFIND_MATCHCASE : 0)
        | (m_search.wholeWord ? QsciScintillaBase::SCFIND_WHOLEWORD : 0);
}

bool CodeEditor::selectionIsMatch() const
{
    const QsciScintilla* view = activeView();
    const long start = view->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = view->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    const QByteArray needle = m_search.text.toLatin1();
    if (needle.isEmpty() || !documentCanHold(m_search.text) || end - start != needle.size())
        return false;
    view->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags()));
    view->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    view->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(end));
    return view->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, uintptr_t(needle.size()), needle.constData())
        == start;
}

bool CodeEditor::replaceOne(const QString& replacement)
{
    // The first press finds; each further press replaces the match shown and finds the next.
    if (selectionIsMatch())
        activeView()->replaceSelectedText(replacement);
    return findNext();
}

int CodeEditor::replaceAll(const QString& replacement)
{
    const QByteArray needle = m_search.text.toLatin1();
    if (needle.isEmpty() || !documentCanHold(m_search.text) || !documentCanHold(replacement))
        return 0;
    const QByteArray with = replacement.toLatin1();
    QsciScintilla* view = activeView();
    view->SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags()));
    int count = 0;
    long from = 0;
    view->beginUndoAction();
    for (;;) {
        const long length = view->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        view->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, static_cast<unsigned long>(from));
        view->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(length));
        if (view->SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, uintptr_t(needle.size()), needle.constData()) < 0)
            break;
        view->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, uintptr_t(with.size()), with.constData());
        // Go on after the replacement, so text it brought in is not searched again.
        from = view->SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
        ++count;
    }
    view->endUndoAction();
    return count;
}

// ---- printing ----

bool CodeEditor::print(QPrinter* printer, int flags)
{
    Q_UNUSED(flags);
    if (!printer)
        return false;
    auto* target = dynamic_cast<QsciPrinter*>(printer);
    std::unique_ptr<QsciPrinter> own;
    if (!target) {
        // QsciPrinter lays out the pages on itself, so it takes over the caller's printer
        // settings and prints to the same device or file.
        own = std::make_unique<QsciPrinter>(QPrinter::HighResolution);
        own->setOutputFormat(printer->outputFormat());
        if (printer->outputFormat() == QPrinter::NativeFormat)
            own->setPrinterName(printer->printerName());
        own->setOutputFileName(printer->outputFileName());
        own->setResolution(printer->resolution());
        own->setPageLayout(printer->pageLayout());
        own->setFullPage(printer->fullPage());
        own->setCopyCount(printer->copyCount());
        own->setCollateCopies(printer->collateCopies());
        own->setDuplex(printer->duplex());
        own->setColorMode(printer->colorMode());
        own->setDocName(printer->docName());
        own->setPageOrder(printer->pageOrder());
        own->setFromTo(printer->fromPage(), printer->toPage());
        target = own.get();
    }
    target->setWrapMode(QsciScintilla::WrapWord);
    // QsciPrinter reports success even when its painter could not start on the device (no
    // printer): the painter is started here so that such a failure is seen.
    QPainter painter;
    if (!painter.begin(target))
        return false;
    const bool printed = target->printRange(m_views[0], painter) != 0;
    return painter.end() && printed;
}

QString CodeEditor::wordBeforeCaret() const
{
    const QsciScintilla* view = activeView();
    const unsigned long pos = static_cast<unsigned long>(view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const long start = view->SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, pos, 1L);
    return QString::fromLatin1(bytesBetween(view, start, long(pos)));
}

void CodeEditor::setOwnKeys(const QList<QKeyCombination>& keys)
{
    m_ownKeys = keys;
}

QString CodeEditor::wordAtCaret() const
{
    const QsciScintilla* view = activeView();
    const unsigned long pos = static_cast<unsigned long>(view->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    const long start = view->SendScintilla(QsciScintillaBase::SCI_WORDSTARTPOSITION, pos, 1L);
    const long end = view->SendScintilla(QsciScintillaBase::SCI_WORDENDPOSITION, pos, 1L);
    return QString::fromLatin1(bytesBetween(view, start, end));
}

// ---- panes ----

int CodeEditor::paneCount() const
{
    return m_split ? 2 : 1;
}

int CodeEditor::activePane() const
{
    return m_active;
}

void CodeEditor::makeActive(int pane)
{
    if (pane == m_active)
        return;
    m_active = pane;
    setFocusProxy(m_views[pane]);
    emit viewChange();
}

void CodeEditor::setActivePane(int pane)
{
    if (pane < 0 || pane >= paneCount())
        return;
    makeActive(pane);
    m_views[pane]->setFocus(Qt::OtherFocusReason);
}

bool CodeEditor::isSplit() const
{
    return m_split;
}

void CodeEditor::setSplit(bool on)
{
    if (on == m_split)
        return;
    m_split = on;
    if (on) {
        QsciScintilla* lower = lowerPane();
        lower->setFirstVisibleLine(m_views[0]->firstVisibleLine());
        lower->show();
        if (m_splitPosition <= 0)
            m_splitPosition = height() / 2;
        applySplitPosition();
    } else {
        const bool hadFocus = m_views[1]->hasFocus();
        makeActive(0);
        m_views[1]->hide();
        if (hadFocus)
            m_views[0]->setFocus(Qt::OtherFocusReason);
    }
}

void CodeEditor::setSplitPosition(int pixels)
{
    m_splitPosition = qMax(0, pixels);
    applySplitPosition();
}

int CodeEditor::splitPosition() const
{
    if (m_split && m_views[1]->isVisible())
        return m_splitter->sizes().value(0);
    return m_splitPosition;
}

void CodeEditor::applySplitPosition()
{
    if (!m_split)
        return;
    const int available = m_splitter->height() - m_splitter->handleWidth();
    if (available <= 0)
        return; // applied when the editor is shown
    const int top = qMin(m_splitPosition, available);
    m_splitter->setSizes({top, available - top});
}

QsciScintilla* CodeEditor::activeView() const
{
    return m_views[m_active];
}

QsciScintilla* CodeEditor::view(int pane)
{
    if (pane == 1)
        return lowerPane();
    return pane == 0 ? m_views[0] : nullptr;
}

int CodeEditor::paneOf(const QObject* object) const
{
    for (int i = 0; i < 2; ++i) {
        if (m_views[i] && (object == m_views[i] || object == m_views[i]->viewport()))
            return i;
    }
    return -1;
}

// ---- events ----

void CodeEditor::endPressInOldDocument()
{
    if (m_pressedPane < 0 || m_ignoringPress)
        return;
    QWidget* viewport = m_views[m_pressedPane]->viewport();
    QMouseEvent release(QEvent::MouseButtonRelease, m_pressedAt, viewport->mapToGlobal(m_pressedAt), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    m_endingPress = true;
    QCoreApplication::sendEvent(viewport, &release);
    m_endingPress = false;
    m_ignoringPress = true;
}

void CodeEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applySplitPosition();
}

bool CodeEditor::eventFilter(QObject* watched, QEvent* event)
{
    const int pane = paneOf(watched);
    if (pane < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == m_views[pane])
            makeActive(pane);
        break;
    case QEvent::ShortcutOverride: {
        // Accepting the override keeps the window's shortcut from firing: the key press then
        // comes here and goes to keyDown.
        if (watched != m_views[pane])
            break;
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = key->key() == Qt::Key_Backtab ? int(Qt::Key_Tab) : key->key();
        if (m_ownKeys.contains(QKeyCombination(key->modifiers() & kShiftState, Qt::Key(code)))) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        if (watched != m_views[pane])
            break;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers shift = key->modifiers() & kShiftState;
        const int code = key->key() == Qt::Key_Backtab ? int(Qt::Key_Tab) : key->key();
        bool cancel = false;
        emit keyDown(code, shift, &cancel);
        if (cancel)
            return true;
        const int character = characterOf(key);
        if (character >= 0) {
            emit keyPress(character, shift, &cancel);
            if (cancel)
                return true;
        }
        // An Alt combination that no menu took (no such mnemonic, or the window inactive) would
        // reach QScintilla as text; it inserts nothing. Alt with keys that type nothing (arrows
        // for a rectangular selection) still goes through.
        if (isAltCombination(key) && !key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
        break;
    }
    case QEvent::MouseMove:
        if (watched == m_views[pane]->viewport() && m_ignoringPress)
            return true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        if (watched != m_views[pane]->viewport() || m_endingPress)
            break;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonRelease) {
            m_pressedPane = -1;
            if (m_ignoringPress && mouse->buttons() == Qt::NoButton) {
                m_ignoringPress = false;
                return true;
            }
        } else {
            m_pressedPane = pane;
            m_pressedAt = mouse->position().toPoint();
        }
        const QPoint at = m_views[pane]->viewport()->mapTo(this, mouse->position().toPoint());
        const Qt::KeyboardModifiers shift = mouse->modifiers() & kShiftState;
        if (event->type() == QEvent::MouseButtonRelease)
            emit mouseUp(mouse->button(), shift, at.x(), at.y());
        else
            emit mouseDown(mouse->button(), shift, at.x(), at.y());
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
