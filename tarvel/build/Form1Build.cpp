// The main window's build commands: Compile, Compile to CHN and Compile and Run, the report in the
// compilation monitor and the jump to the first error.

#include "shell/Form1.h"

#include "build/BuildOutput.h"
#include "build/BuildScript.h"
#include "build/CompilerResults.h"
#include "build/Form2.h"
#include "build/RunCommands.h"
#include "core/Paths.h"
#include "core/Process.h"
#include "core/Text.h"
#include "shell/CodeEditor.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

using common::Dialogs;

namespace {

// The hourglass for the whole application while it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Marks the window busy while an outside program of a build runs.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& m_flag;
};

} // namespace

bool Form1::refuseSecondBuild()
{
    if (!m_building)
        return false;
    // The running build's script and output files must not be rewritten under it.
    m_dialogs.message(this, QStringLiteral("A build is still running. Wait until it has finished."),
                      QStringLiteral("Tarvel"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    return true;
}

bool Form1::saveBeforeBuild()
{
    // The document shown is saved, also while the root is highlighted.
    if (!m_code->isModified() || !m_project.isOpen())
        return true;
    return saveEditorTo(m_project.shownFilePath(), false);
}

void Form1::mnuCompile_Click()
{
    if (refuseSecondBuild() || !saveBeforeBuild())
        return;
    DoCompilation(false);
}

void Form1::mnuCompileCHN_Click()
{
    if (refuseSecondBuild() || !saveBeforeBuild())
        return;
    DoCompilation(true);
}

bool Form1::DoCompilation(bool makeChn)
{
    m_code->setHighlightedLine(-1);
    if (!m_project.isOpen()) {
        m_dialogs.message(this, QStringLiteral("No project loaded!"), QStringLiteral("Error"), Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
        return false;
    }
    if (refuseSecondBuild())
        return false;
    BusyFlag busy(m_building);

    const QString projectDir = m_project.projectDir();
    const tarvel::ProjectInfo project = m_project.info();
    // The name on disk gives the output's name: GAME.PAS in the tree may be game.pas here.
    const QString mainName = m_project.node(2).text;
    const QString mainOnDisk = common::FindFileNoCase(projectDir, mainName);
    const QString baseName = tarvel::MainFileBaseName(mainOnDisk.isEmpty() ? mainName : common::ExtractFileName(mainOnDisk));
    WaitCursor hourglass;

    if (!m_monitor) {
        m_monitor = new Form2(this);
        m_monitor->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    tarvel::RemoveOldOutput(projectDir, baseName, makeChn);
    if (tarvel::ProjectDirectoryTooLarge(projectDir)) {
        m_monitor->bringUp(this, project.ProjectName);
        m_monitor->showSizeError(projectDir);
        return false;
    }
    m_monitor->bringUp(this, project.ProjectName);

    tarvel::BuildRequest request;
    request.projectDir = projectDir;
    request.appDir = m_appDir;
    request.baseName = baseName;
    request.startAddress = project.StartAddress;
    request.endAddress = project.EndAddress;
    request.makeChn = makeChn;
    const QString script = tarvel::BuildScriptPath(m_appDir);
    const common::Status written = tarvel::WriteBuildScript(script, tarvel::BuildSteps(request));
    if (!written) {
        m_monitor->showErrors(QStringLiteral("The build script could not be written:\r\n") + written.error());
        return false;
    }
    // An errors.txt left by an earlier run that never got read would turn this build into a failure.
    const QString staleErrors = common::FindFileNoCase(projectDir, QStringLiteral("errors.txt"));
    if (!staleErrors.isEmpty())
        QFile::remove(staleErrors);
    const tarvel::CommandLine run = tarvel::BuildScriptCommand(script);
    common::RunProgram(run.program, run.arguments, true);

    m_code->setHighlightedLine(-1);
    const tarvel::BuildOutcome outcome = tarvel::CollectBuildOutcome(projectDir);
    if (outcome.succeeded) {
        m_monitor->showSuccess(outcome.report);
        return true;
    }
    m_monitor->showErrors(outcome.report);
    if (!outcome.errors.errors.isEmpty())
        jumpToError(outcome.errors.errors.first().file, outcome.errors.errors.first().line);
    return false;
}

bool Form1::jumpToError(const QString& file, int line)
{
    for (int i = 2; i <= m_project.nodeCount(); ++i) {
        if (m_project.node(i).text != file)
            continue;
        // A node whose file has gone is not made current: the editor keeps the document it
        // shows, and that document stays the one every save writes.
        if (!common::FileExists(m_project.filePath(i)))
            continue;
        if (m_code->isModified()) {
            const Dialogs::Answer answer =
                m_dialogs.message(this, QStringLiteral("This file has changed. Save it?"), QStringLiteral("Save changes"),
                                  Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
            if (answer == Dialogs::Answer::Cancel
                || (answer == Dialogs::Answer::Yes && !saveEditorTo(m_project.shownFilePath(), true))) {
                m_project.selectShown();
                renderSelection();
                return false;
            }
        }
        showDocument(i);
    }
    if (line > 0) {
        m_code->setHighlightedLine(line - 1);
        m_code->setCaret(line - 1, 0);
    }
    return true;
}

void Form1::mnuCompileRun_Click()
{
    if (refuseSecondBuild() || !saveBeforeBuild())
        return;
    if (!DoCompilation(false))
        return;
    BusyFlag busy(m_building);
    runAndStartEmulator();
}

void Form1::runAndStartEmulator()
{
    QDir().mkpath(Settings.DiskImagePath);
    const QString shortDir = common::GetShortPath(Settings.DiskImagePath);
    const QString image = tarvel::DiskImagePath(shortDir.isEmpty() ? Settings.DiskImagePath : shortDir);
    const QString oldImage = common::AddBackslash(Settings.DiskImagePath) + QStringLiteral("d.dsk");
    if (common::FileExists(oldImage))
        QFile::remove(oldImage);

    const QString projectShort = common::GetShortPath(m_project.projectDir());
    const tarvel::CommandLine dsktool =
        tarvel::DsktoolCommand(m_appDir, image, projectShort.isEmpty() ? m_project.projectDir() : projectShort);
    if (m_monitor)
        m_monitor->close();
    common::ShellOutcome made;
    {
        WaitCursor hourglass;
        made = common::RunProgram(dsktool.program, dsktool.arguments, true);
    }
    if (!made.started || !made.finished || made.exitCode != 0 || !common::FileExists(image)) {
        m_dialogs.message(this,
                          QStringLiteral("The disk image could not be made:\n%1\n\n%2 %3")
                              .arg(image, dsktool.program, made.started ? QStringLiteral("failed.") : QStringLiteral("could not be started.")),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }

    const tarvel::CommandLine emulator = tarvel::EmulatorCommand(Settings.EmulatorPath, Settings.EmulatorCommandLine, image);
    if (!common::RunProgram(emulator.program, emulator.arguments, false).started) {
        m_dialogs.message(this,
                          QStringLiteral("The emulator could not be started:\n%1\n\nSet its path in Edit > Preferences.")
                              .arg(Settings.EmulatorPath.isEmpty() ? QStringLiteral("(no emulator set)") : Settings.EmulatorPath),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
}
