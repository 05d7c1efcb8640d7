// The main window's editor services: what the editor's keys and mouse buttons do, the routine
// signature hints and the routine lists behind them, the include-file commands and the Edit menu.

#include "shell/Form1.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "editor/FindInFilesDialog.h"
#include "editor/IncludeFiles.h"
#include "editor/PaneCycling.h"
#include "editor/RoutineHeaders.h"
#include "editor/SignatureLookup.h"
#include "projects/ProjectFile.h"
#include "shell/CodeEditor.h"
#include "shell/GoToLineDialog.h"
#include "ui/Dialogs.h"
#include "ui/OpenDialogFilter.h"
#include "ui/Windows.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QTimer>

#include <Qsci/qsciscintilla.h>

#include <functional>

using common::Dialogs;

namespace {

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

// The open project's routine lists as a lookup reads them; an empty list met in the scan
// rebuilds the selected document's list.
class ProjectRoutines final : public tarvel::RoutineSource {
public:
    ProjectRoutines(const tarvel::OpenProject& project, std::function<void()> refresh)
        : m_project(project), m_refresh(std::move(refresh))
    {
    }
    int fileCount() const override { return m_project.fileCount(); }
    const QStringList& routines(int index) const override { return m_project.routines(index); }
    void emptyListMet() override { m_refresh(); }

private:
    const tarvel::OpenProject& m_project;
    std::function<void()> m_refresh;
};

const QString IncludeFilter = QStringLiteral("Include files (*.inc, *.lib) | *.inc; *.lib");

} // namespace

// Keys, mouse and panes.

void Form1::Code1_KeyDown(int key, Qt::KeyboardModifiers shift, bool* cancel)
{
    // F8 and Shift+F8 are also the Errors menu's shortcuts; the editor keeps them (setOwnKeys).
    if (key == Qt::Key_F8 && (shift == Qt::NoModifier || shift == Qt::ShiftModifier)) {
        if (shift == Qt::NoModifier)
            mnuNextError_Click();
        else
            mnuPreviousError_Click();
        *cancel = true;
        return;
    }
    if (shift == Qt::NoModifier && key == Qt::Key_F12) {
        int line = 0;
        int column = 0;
        m_code->selectionStart(&line, &column);
        ShowIncludeOnLine(line);
        *cancel = true;
        return;
    }
    // These keys are also menu shortcuts; the editor keeps them (CodeEditor::setOwnKeys) and the
    // key is done here, so one press runs its command once.
    if (shift == Ctrl) {
        switch (key) {
        case Qt::Key_Tab:
            m_code->setActivePane(tarvel::NextPane(m_code->paneCount(), m_code->activePane()));
            break;
        case Qt::Key_F2:
            mnuCalc_Click();
            break;
        case Qt::Key_F3:
            mnuImgConv_Click();
            break;
        case Qt::Key_S:
            mnuSaveFile_Click();
            break;
        default:
            return;
        }
        *cancel = true;
    } else if (shift == CtrlShift && key == Qt::Key_Tab) {
        m_code->setActivePane(tarvel::PreviousPane(m_code->paneCount(), m_code->activePane()));
        *cancel = true;
    }
}

void Form1::Code1_KeyPress(int character, Qt::KeyboardModifiers shift, bool* cancel)
{
    // Ctrl+Z (Ctrl alone) is Edit > Undo with its test of the modified flag; the editor's own
    // binding is freed at start and the key goes no further, so nothing is undone twice.
    // Ctrl+Shift+Z, Redo on Linux desktops, is Edit > Redo.
    if (character == 26 && shift == Ctrl) {
        mnuUndo_Click();
        *cancel = true;
        return;
    }
    if (character == 26 && shift == CtrlShift) {
        mnuRedo_Click();
        *cancel = true;
        return;
    }
    if (!Settings.AutoTooltip)
        return;
    if (character == 10) { // Ctrl+Enter
        m_panels[2]->clear();
        RefreshTooltips();
    } else if (character == '(' || character == '[') {
        // Before the editor inserts the character, which it then does as usual.
        signatureLookup();
    }
}

void Form1::Code1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (button == Qt::RightButton)
        m_editMenu->popup(m_code->mapToGlobal(QPoint(x, y)));
    if (button != Qt::LeftButton || shift != Ctrl)
        return;
    // Ctrl+click on an include directive shows that include. The editor handles the press
    // first (it places the caret), then the document changes.
    for (int pane = 0; pane < m_code->paneCount(); ++pane) {
        QsciScintilla* view = m_code->view(pane);
        const QPoint at = view->viewport()->mapFrom(m_code, QPoint(x, y));
        if (!view->viewport()->rect().contains(at))
            continue;
        const int line = view->lineAt(at);
        if (line >= 0 && tarvel::IncludeDirectiveFile(m_code->lineText(line)))
            QTimer::singleShot(0, this, [this, line] { ShowIncludeOnLine(line); });
        return;
    }
}

void Form1::Code1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    Q_UNUSED(button)
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
}

void Form1::Code1_ViewChange()
{
    m_code->setFocus();
}

// Signature hints.

void Form1::signatureLookup()
{
    m_panels[2]->clear();
    const QString word = tarvel::SignatureWord(m_code->wordBeforeCaret());
    // A lookup that meets an empty list rebuilds the selected document's list without a
    // message: the user typed a bracket and asked for no refresh.
    ProjectRoutines files(m_project, [this] { refreshRoutines(true); });
    if (const std::optional<QString> hint = tarvel::FindSignature(word, AutoCompleteWords, &files))
        m_panels[2]->setText(*hint);
}

void Form1::GetFileFunctions(int fileIndex, const QString& path)
{
    if (!Settings.AutoTooltip)
        return;
    // A file that cannot be read adds nothing; its hints are missing, nothing else is.
    const common::Result<QStringList> headers = tarvel::ReadRoutineHeaders(path);
    if (headers)
        m_project.addRoutines(fileIndex, headers.value());
}

void Form1::RefreshTooltips()
{
    refreshRoutines(false);
}

void Form1::refreshRoutines(bool quiet)
{
    if (!Settings.AutoTooltip || m_project.nodeCount() < 2)
        return;
    // The selected node is the shown document's or the project's, which has no document.
    const int selected = m_project.selectedNode();
    if (!m_project.isFileNode(selected)) {
        if (!quiet) {
            m_dialogs.message(this, QStringLiteral("Error refreshing tooltips"), QStringLiteral("Tarvel"),
                              Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        }
        return;
    }
    // A file included twice has a node in each place; both stand for the one file.
    const QString name = m_project.node(selected).text;
    const QStringList headers = tarvel::RoutineHeadersOf(m_code->text().toLatin1());
    for (int i = 2; i <= m_project.nodeCount(); ++i) {
        if (m_project.node(i).text == name)
            m_project.setRoutines(i - 2, headers);
    }
}

// Include files.

void Form1::ShowIncludeOnLine(int line)
{
    if (!m_project.isOpen())
        return;
    // The name as the tree scan reads it from a line, and the node it gives.
    const std::optional<QString> name = tarvel::IncludeDirectiveFile(m_code->lineText(line));
    if (!name) {
        m_panels[2]->setText(QStringLiteral("No include directive on this line."));
        return;
    }
    const QString nodeText = common::ExtractFileName(*name);
    const auto nodeOfInclude = [&] {
        for (int i = 2; i <= m_project.nodeCount(); ++i) {
            if (m_project.node(i).text == nodeText)
                return i;
        }
        return 0;
    };
    if (const int index = nodeOfInclude()) {
        TV_NodeClick(node(index));
        return;
    }

    const auto tell = [this](const QString& text) {
        m_dialogs.message(this, text, QStringLiteral("Tarvel"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
    };
    const QString projectDir = m_project.projectDir();
    const QString path = common::FindFileNoCase(projectDir, *name);
    const QFileInfo file(path);
    // A FIFO or a device is no file to edit: it counts as missing.
    if (path.isEmpty() || !file.exists() || (!file.isDir() && !common::IsRegularFile(path))) {
        tell(QStringLiteral("The include file %1 is missing: there is no such file in the project folder\n%2")
                 .arg(*name, projectDir));
        return;
    }
    if (file.isDir()) {
        tell(QStringLiteral("The include directive names a folder, not a file:\n%1").arg(path));
        return;
    }
    if (!common::FileExists(path)) {
        tell(QStringLiteral("The include file %1 cannot be read:\n%2").arg(*name, path));
        return;
    }
    // The tree holds only files of the project folder itself; a refresh cannot add others.
    const QString folder = QDir::cleanPath(file.absolutePath());
    const QString project = QDir::cleanPath(QDir(projectDir).absolutePath());
    if (folder != project) {
        const bool inside = folder.startsWith(project + QLatin1Char('/'));
        tell(QStringLiteral("%1 is %2 the project folder:\n%3\n\nThe project tree shows only the files of the project "
                            "folder itself, so it cannot be shown as a project document.")
                 .arg(*name, inside ? QStringLiteral("in a subfolder of") : QStringLiteral("outside"), path));
        return;
    }
    // The tree lists the includes of the main file and of its includes; the includes of a file
    // two levels down are not read, so a refresh cannot add them either.
    int depth = 0;
    for (int at = m_project.shownNode(); at > 2 && depth < m_project.nodeCount(); at = m_project.node(at).parent)
        ++depth;
    if (depth >= 2) {
        tell(QStringLiteral("%1 is included from %2, which is itself included two levels below the main file. The "
                            "project tree shows includes only down to that level, so it cannot be shown as a "
                            "project document.")
                 .arg(*name, m_project.shownName()));
        return;
    }
    // The directive is newer than the tree: a refresh reads it.
    const Dialogs::Answer refresh = m_dialogs.message(
        this, QStringLiteral("%1 is in the project folder but not in the project tree.\nRefresh the project tree to show it?").arg(*name),
        QStringLiteral("Tarvel"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    if (refresh != Dialogs::Answer::Yes)
        return;
    if (refuseWhileBuilding())
        return;
    mnuRefresh_Click();
    if (const int index = nodeOfInclude()) {
        TV_NodeClick(node(index));
        return;
    }
    tell(QStringLiteral("%1 is still not in the project tree: the tree reads only include directives that stand "
                        "alone on their line.").arg(*name));
}

bool Form1::insertIncludeDirective(const QString& fileName)
{
    const Dialogs::Answer answer =
        m_dialogs.message(this, QStringLiteral("Insert {$i ") + fileName + QStringLiteral("} at the current cursor position?"),
                          QStringLiteral("Tarvel"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    int line = 0;
    int column = 0;
    m_code->selectionStart(&line, &column);
    const tarvel::TextPosition at = tarvel::IncludeInsertPosition(answer == Dialogs::Answer::Yes, {line, column});
    m_code->insertText(tarvel::IncludeDirective(fileName), at.line, at.column);
    // Into the shown document's file, also while the project node is selected. When the save
    // fails the project is not reloaded, which would throw the edited text away.
    return saveShownDocument() == SaveOutcome::Saved;
}

void Form1::mnuNewInc_Click()
{
    if (refuseWhileBuilding() || !m_project.isOpen())
        return;
    const QString chosen = m_dialogs.saveFile(this, QStringLiteral("New Include file"), BrowseDir, QString(),
                                              common::ParseDialogFilter(IncludeFilter))
                               .trimmed();
    if (chosen.isEmpty())
        return;
    BrowseDir = m_project.projectDir();
    // Always created in the project folder, under the chosen name.
    const QString name = common::ExtractFileName(chosen);
    const QString target = tarvel::NewIncludePath(chosen, m_project.projectDir());
    const QFileInfo existing(target);
    if (existing.isFile() && existing.size() > 0) {
        const Dialogs::Answer empty = m_dialogs.message(
            this, QStringLiteral("The file %1 already exists in the project folder.\nEmpty it to make it the new include file?").arg(target),
            QStringLiteral("Tarvel"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        if (empty != Dialogs::Answer::Yes)
            return;
    }
    const common::Status created = common::WriteFileAtomic(target, QByteArray());
    if (!created) {
        m_dialogs.message(this, QStringLiteral("The include file could not be created:\n") + created.error(),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    // Emptying the shown document's own file is this command's doing, not an outside change.
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(m_project.document().path()).canonicalFilePath())
        attachShownDocument(m_project.document().path());
    if (!insertIncludeDirective(name))
        return;
    if (!reloadProject())
        return;
    // The new file is shown when the rebuilt tree holds it (its directive stands alone on a line
    // the tree scan reads); else the main file stays.
    int shown = 0;
    for (int i = 2; i <= m_project.nodeCount(); ++i) {
        if (common::AsciiEqualsNoCase(m_project.node(i).text, name))
            shown = i;
    }
    if (shown)
        showDocument(shown);
}

void Form1::mnuOpenIncfile_Click()
{
    if (refuseWhileBuilding() || !m_project.isOpen())
        return;
    const QString path = common::ShowOpenDialog(m_dialogs, this, IncludeFilter + QStringLiteral(" | All files (*.*) | *.*"),
                                                QStringLiteral("Open include file"), BrowseDir, false);
    if (path.isEmpty())
        return;
    BrowseDir = common::ExtractPath(path);
    const QString name = common::ExtractFileName(path);
    if (common::ExtractPath(path) != m_project.projectDir()) {
        const Dialogs::Answer copy = m_dialogs.message(
            this,
            QStringLiteral("Files included must be on the same path as the PAS file\r\nDo you wish to copy this file to the project dir?"),
            QStringLiteral(" Error"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        if (copy != Dialogs::Answer::Yes)
            return;
        // The same folder reached another way copies the file onto itself: nothing to do then.
        const common::Status copied = tarvel::CopyFileOver(path, common::ResolveFileNoCase(m_project.projectDir(), name));
        if (!copied) {
            m_dialogs.message(this, QStringLiteral("The include file could not be copied into the project folder:\n") + copied.error(),
                              QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
            return;
        }
    }
    if (!insertIncludeDirective(name))
        return;
    mnuRefresh_Click();
}

// Edit commands.

void Form1::mnuCut_Click()
{
    if (m_code->canCut())
        m_code->cut();
}

void Form1::mnuCopy_Click()
{
    if (m_code->canCopy())
        m_code->copy();
}

void Form1::mnuPaste_Click()
{
    if (m_code->canPaste())
        m_code->paste();
}

void Form1::mnuDelete_Click()
{
    m_code->deleteSelection();
}

void Form1::mnuFind_Click()
{
    m_code->executeCommand(CodeEditor::CmdFind);
}

void Form1::mnuFindNext_Click()
{
    m_code->executeCommand(CodeEditor::CmdFindNext);
}

void Form1::mnuReplace_Click()
{
    m_code->executeCommand(CodeEditor::CmdFindReplace);
}

void Form1::mnuFindPrevious_Click()
{
    m_code->findPrevious();
}

void Form1::mnuGoToLine_Click()
{
    int line = 0;
    int column = 0;
    m_code->selectionStart(&line, &column);
    GoToLineDialog dialog(m_code->lineCount(), line + 1, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_code->setCaret(dialog.line() - 1, 0);
    m_code->setFocus(Qt::OtherFocusReason);
}

void Form1::mnuFindInFiles_Click()
{
    if (!m_project.isOpen())
        return;
    if (!m_findInFiles) {
        m_findInFiles = new FindInFilesDialog(this);
        connect(m_findInFiles, &FindInFilesDialog::searchRequested, this, [this](const tarvel::SearchRequest& request) {
            // The shown document as edited; every other file as it is on disk.
            const QString shownName = m_project.isFileNode(m_project.shownNode()) ? m_project.shownName() : QString();
            const QByteArray edited = m_code->text().toLatin1();
            QList<tarvel::SearchFile> files;
            for (int i = 2; i <= m_project.nodeCount(); ++i) {
                tarvel::SearchFile file{m_project.node(i).text, m_project.filePath(i), std::nullopt};
                if (file.name == shownName)
                    file.edited = edited;
                files << file;
            }
            m_findInFiles->showResults(tarvel::SearchFiles(files, request));
        });
        connect(m_findInFiles, &FindInFilesDialog::hitActivated, this,
                [this](const tarvel::SearchHit& hit) { showFileAt(hit.file, hit.line, hit.column); });
    }
    QString seed = m_code->activeView()->selectedText();
    if (seed.isEmpty() || seed.contains(QLatin1Char('\n')) || seed.contains(QLatin1Char('\r')))
        seed = m_code->wordAtCaret();
    m_findInFiles->setFindText(seed);
    m_findInFiles->show();
    m_findInFiles->raise();
    m_findInFiles->activateWindow();
}

bool Form1::showFileAt(const QString& name, int line, int column)
{
    int index = 0;
    for (int i = 2; i <= m_project.nodeCount() && !index; ++i) {
        if (m_project.node(i).text == name)
            index = i;
    }
    if (!index)
        return false;
    const auto shown = [&] {
        return m_project.isFileNode(m_project.shownNode()) && m_project.node(m_project.shownNode()).text == name;
    };
    if (!shown()) {
        TV_NodeClick(node(index));
        if (!shown())
            return false; // cancelled, or the file could not be read
    }
    m_code->setCaret(line, column);
    activateWindow();
    m_code->setFocus(Qt::OtherFocusReason);
    return true;
}

void Form1::mnuUndo_Click()
{
    // Right after a load the flag is clear and nothing is undone, whatever the editor holds.
    if (m_code->canUndo() && m_code->isModified())
        m_code->undo();
}

void Form1::mnuRedo_Click()
{
    if (m_code->canRedo())
        m_code->redo();
}

void Form1::mnuClear_Click()
{
    m_code->setText(QString());
}

void Form1::mnuPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    if (printer.isValid() && m_code->print(&printer, 0))
        return;
    m_dialogs.message(this, QStringLiteral("Printing failed: no printer is available, or the printer could not be started."),
                      QStringLiteral("Tarvel"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
}
