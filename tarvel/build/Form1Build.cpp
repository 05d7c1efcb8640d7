// The main window's build commands: Compile, Compile to CHN and Compile and Run, the report in the
// compilation monitor and the jump to the first error.

#include "shell/Form1.h"

#include "build/BootDisk.h"
#include "build/BuildOutput.h"
#include "build/BuildScript.h"
#include "build/CompilerKind.h"
#include "build/CompilerResults.h"
#include "build/DiskCheck.h"
#include "build/DosRunner.h"
#include "build/Form2.h"
#include "build/RunCommands.h"
#include "build/SetupCheck.h"
#include "build/WineRun.h"
#include "core/Paths.h"
#include "core/Process.h"
#include "core/RunWatch.h"
#include "core/TextFile.h"
#include "core/Text.h"
#include "shell/CodeEditor.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

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

bool Form1::refuseWhileBuilding()
{
    if (!m_building)
        return false;
    // The running build's script, project folder and tree must not change under it: it reports
    // into them when the compiler ends.
    m_dialogs.message(this, QStringLiteral("A build is still running. Wait until it has finished."),
                      QStringLiteral("Tarvel"), Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    return true;
}

bool Form1::stopBuildToExit()
{
    return m_dialogs.message(this, QStringLiteral("A build is still running.\nStop it and exit Tarvel?"),
                             QStringLiteral("Tarvel"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo)
           == Dialogs::Answer::Yes;
}

bool Form1::saveBeforeBuild()
{
    // The document shown is saved, also while the root is highlighted.
    if (!m_code->isModified() || !m_project.isOpen())
        return true;
    return saveShownDocument() != SaveOutcome::NotSaved;
}

void Form1::mnuCompile_Click()
{
    if (refuseWhileBuilding() || !saveBeforeBuild())
        return;
    DoCompilation(false);
}

void Form1::mnuCompileCHN_Click()
{
    if (refuseWhileBuilding() || !saveBeforeBuild())
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
    if (refuseWhileBuilding())
        return false;
    BusyFlag busy(m_building);
    // The errors of the last build are gone with it.
    dropErrorRecords();

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
        addDockWidget(Qt::BottomDockWidgetArea, m_monitor);
        connect(m_monitor, &Form2::recordActivated, this, [this](int index) {
            if (index < m_errors.count() && !m_building)
                goToError(index);
        });
    }
    const auto bringUpMonitor = [&] {
        m_monitor->bringUp(project.ProjectName);
        sizeMonitor();
    };
    const bool oldOutputGone = tarvel::RemoveOldOutput(projectDir, baseName, makeChn);
    const tarvel::ProjectSizeCheck size = tarvel::CheckProjectSize(projectDir, baseName);
    if (size.tooLarge()) {
        bringUpMonitor();
        m_monitor->showSizeError(projectDir, size.largest);
        return false;
    }
    bringUpMonitor();

    // A build is judged by the files it leaves, so none of them may be left from before: the
    // output, the chain file a .com is joined from, and an error list nobody read.
    const auto cannotDelete = [&](const QString& name) {
        m_monitor->showErrors(QStringLiteral("The old file %1 in\r\n%2\r\ncould not be deleted, so this build "
                                             "could not be told from it.\r\n")
                                  .arg(name, projectDir));
        return false;
    };
    if (!oldOutputGone)
        return cannotDelete(baseName + (makeChn ? QStringLiteral(".chn") : QStringLiteral(".com")));
    if (!makeChn && !tarvel::RemoveOldOutput(projectDir, baseName, true))
        return cannotDelete(baseName + QStringLiteral(".chn"));
    // A compiler under DOS or Windows writes its files in its own letter case: RESULT.TXT from
    // before would be found as well as this build's result.txt.
    for (const char* name : {tarvel::kErrorsFileName, tarvel::kResultFileName}) {
        if (!tarvel::RemoveFileNoCase(projectDir, QLatin1String(name)))
            return cannotDelete(QLatin1String(name));
    }

    const tarvel::FoundCompiler compiler = tarvel::FindCompiler(tarvel::CompilerFolder(m_folders.userData));
    const QString dosbox = compiler.kind == tarvel::CompilerKind::Dos ? common::FindOnPath({QStringLiteral("dosbox")})
                                                                      : QString();
    const QString compilerProblem = tarvel::CompilerProblem(compiler, dosbox);
    const bool underWine = compiler.kind == tarvel::CompilerKind::Windows;
    if (!compilerProblem.isEmpty()) {
        m_monitor->showErrors(compilerProblem + QLatin1String(tarvel::kSeeCheckSetup) + QStringLiteral("\r\n"));
        return false;
    }

    tarvel::BuildRequest request;
    request.projectDir = projectDir;
    request.appDir = m_folders.userData;
    request.baseName = baseName;
    request.startAddress = project.StartAddress;
    request.endAddress = project.EndAddress;
    request.makeChn = makeChn;
    request.compiler = compiler;
    request.dosbox = dosbox;
    tarvel::WinePrograms wine;
    const tarvel::WineFolders wineFolders = tarvel::WineFoldersIn(m_folders.state);
    switch (compiler.kind) {
    case tarvel::CompilerKind::Dos: {
        // What DOS cannot reach is told before DOSBox starts.
        QStringList includes;
        for (int i = 3; i <= m_project.nodeCount(); ++i)
            includes << m_project.node(i).text;
        const QString dosProblem =
            tarvel::DosRunProblem(request, mainOnDisk.isEmpty() ? mainName : common::ExtractFileName(mainOnDisk), includes);
        if (!dosProblem.isEmpty()) {
            m_monitor->showErrors(dosProblem + QStringLiteral("\r\n"));
            return false;
        }
        const common::Status config = common::WriteFileAtomic(tarvel::DosboxConfigPath(m_folders.userData),
                                                              tarvel::DosboxConfig());
        if (!config) {
            m_monitor->showErrors(QStringLiteral("The DOSBox settings could not be written:\r\n") + config.error());
            return false;
        }
        break;
    }
    case tarvel::CompilerKind::Windows:
        wine = tarvel::FindWine();
        if (!wine.found()) {
            m_monitor->showErrors(QLatin1String(tarvel::kWineMissing) + QStringLiteral("\r\n"));
            return false;
        }
        break;
    case tarvel::CompilerKind::Native:
    case tarvel::CompilerKind::Missing:
    case tarvel::CompilerKind::Unknown:
        break;
    }
    const QList<tarvel::BuildStep> steps = tarvel::BuildSteps(request);
    const QString script = tarvel::BuildScriptPath(m_folders.userData);
    const common::Status written = underWine ? tarvel::WriteWineScript(script, steps, wine, wineFolders)
                                             : tarvel::WriteBuildScript(script, steps);
    if (!written) {
        m_monitor->showErrors(QStringLiteral("The build script could not be written:\r\n") + written.error());
        return false;
    }
    // Wine's first start in its prefix takes a while; the status bar says why the build waits.
    const bool makingPrefix = underWine && !tarvel::WinePrefixReady(wineFolders.prefix);
    const QString oldStatus = m_panels[2]->text();
    if (makingPrefix)
        m_panels[2]->setText(QStringLiteral("Preparing Wine for TP3.EXE (only before the first build; this may take a minute)..."));
    const tarvel::CommandLine run = tarvel::BuildScriptCommand(script);
    const common::ShellOutcome ran = common::RunProgram(run.program, run.arguments, true);
    if (makingPrefix)
        m_panels[2]->setText(oldStatus);
    if (ran.stopped) {
        // Wine's server and helpers run in sessions of their own: they are ended apart.
        if (underWine)
            tarvel::StopWine(wine, wineFolders);
        // Tarvel is exiting: the compiler has been ended, and what it left tells nothing.
        m_monitor->showErrors(QStringLiteral("The build was stopped.\r\n"));
        return false;
    }
    m_code->setHighlightedLine(-1);
    // The outcome is shown also when the monitor was closed during the compile.
    bringUpMonitor();
    if (!ran.started) {
        m_monitor->showErrors(QStringLiteral("The build script could not be run:\r\n%1 %2\r\n")
                                  .arg(run.program, run.arguments.join(QLatin1Char(' '))));
        return false;
    }
    if (underWine && !tarvel::WinePrefixReady(wineFolders.prefix)) {
        const QString said = tarvel::LastLinesOfFile(wineFolders.log);
        m_monitor->showErrors(QStringLiteral("Wine could not prepare its folder for TP3.EXE:\r\n%1\r\n%2")
                                  .arg(QDir::toNativeSeparators(wineFolders.prefix),
                                       said.isEmpty() ? QString() : QStringLiteral("Wine said:\r\n") + said + QStringLiteral("\r\n")));
        return false;
    }
    // The join is the same whichever way the compiler ran; what it failed to make is judged below.
    for (const tarvel::BuildStep& step : steps) {
        const common::Status joined =
            step.kind == tarvel::BuildStep::Kind::JoinFiles ? tarvel::JoinFiles(projectDir, step) : common::Done{};
        if (!joined) {
            m_monitor->showErrors(QStringLiteral("The program %1 could not be made:\r\n%2\r\n").arg(step.output, joined.error()));
            return false;
        }
    }

    tarvel::BuildOutcome outcome = tarvel::JudgeBuild(request);
    // A compiler Wine could not start leaves nothing; Wine's own words tell why.
    if (underWine && !outcome.succeeded && outcome.errors.errors.isEmpty()
        && common::FindFileNoCase(projectDir, baseName + QStringLiteral(".chn")).isEmpty()) {
        QStringList said{tarvel::LastLinesOfFile(wineFolders.log),
                         tarvel::LastLinesOfFile(common::FindFileNoCase(projectDir, QLatin1String(tarvel::kResultFileName)))};
        said.removeAll(QString());
        if (!said.isEmpty())
            outcome.report += QStringLiteral("\r\nWine said:\r\n") + said.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
        if (compiler.windows32)
            outcome.report += QStringLiteral("\r\n") + QLatin1String(tarvel::kWine32Needed) + QStringLiteral(".\r\n");
    }
    if (outcome.succeeded) {
        m_monitor->showSuccess(outcome.report);
        return true;
    }
    m_errors.set(outcome.errors.errors);
    m_monitor->showErrorList(outcome.report, m_errors.count());
    if (!m_errors.isEmpty()) {
        const ErrorJump jump = jumpToError(m_errors.at(0));
        if (jump.done) {
            m_errors.setCurrent(0);
            showErrorStatus(0, jump);
        }
    }
    return false;
}

Form1::ErrorJump Form1::jumpToError(const tarvel::CompilerError& error)
{
    const QString& file = error.file;
    const int line = error.line;
    ErrorJump jump;
    bool named = false;
    int target = 0;
    for (int i = 2; i <= m_project.nodeCount() && !target; ++i) {
        if (m_project.node(i).text != file)
            continue;
        named = true;
        // A node whose file has gone is not made current: the editor keeps the document it
        // shows, and that document stays the one every save writes.
        if (common::FileExists(m_project.filePath(i)))
            target = m_project.nodeToShow(i);
    }
    const bool found = target != 0;
    if (found && target != m_project.shownNode()) {
        if (!mayDropEdits(false)) {
            m_project.selectShown();
            renderSelection();
            jump.done = false;
            return jump;
        }
        showDocument(target);
    } else if (found) {
        // The file shown already keeps its edits and is not read again, unless it changed on disk.
        checkShownDocumentOnDisk();
    }
    if (found) {
        m_project.selectShown();
        renderSelection();
    }
    if (line > 0) {
        m_code->setHighlightedLine(line - 1);
        // The record's column counts from 1; none (or 0) is the start of the line.
        m_code->setCaret(line - 1, qMax(0, tarvel::LeadingNumber(error.column) - 1));
    }
    // The user goes on typing where the error is, also after a click in the monitor.
    activateWindow();
    m_code->setFocus(Qt::OtherFocusReason);
    QStringList missing;
    if (!named)
        missing << QStringLiteral("%1 is not in the project tree").arg(file);
    else if (!found)
        missing << QStringLiteral("%1 no longer exists").arg(file);
    if (line <= 0)
        missing << QStringLiteral("the record gives no line");
    else if (line > m_code->lineCount())
        missing << QStringLiteral("line %1 is past the end of %2").arg(line).arg(m_project.shownName());
    jump.missing = missing.join(QStringLiteral("; "));
    return jump;
}

void Form1::goToError(int index)
{
    const tarvel::CompilerError error = m_errors.at(index);
    // As a build does before its jump: the line of the error gone to before is no longer marked.
    const int marked = m_code->highlightedLine();
    m_code->setHighlightedLine(-1);
    const ErrorJump jump = jumpToError(error);
    if (!jump.done) {
        m_code->setHighlightedLine(marked);
        return;
    }
    m_errors.setCurrent(index);
    showErrorStatus(index, jump);
    if (m_monitor && m_monitor->isVisible())
        m_monitor->markRecord(index);
}

void Form1::showErrorStatus(int index, const ErrorJump& jump)
{
    QString status = tarvel::ErrorPositionText(index, m_errors.count(), m_errors.at(index).message);
    if (!jump.missing.isEmpty())
        status += QStringLiteral(" (") + jump.missing + QLatin1Char(')');
    m_panels[2]->setText(status);
    m_errorStatus = status;
}

void Form1::dropErrorRecords()
{
    m_errors.clear();
    // The status bar no longer speaks of a record that is gone; what else it shows stays.
    if (!m_errorStatus.isEmpty() && m_panels[2]->text() == m_errorStatus)
        m_panels[2]->clear();
    m_errorStatus.clear();
}

void Form1::mnuNextError_Click()
{
    stepToError(true);
}

void Form1::mnuPreviousError_Click()
{
    stepToError(false);
}

void Form1::stepToError(bool forward)
{
    if (m_building)
        return;
    if (m_errors.isEmpty()) {
        m_panels[2]->setText(QStringLiteral("The last build left no errors to go to."));
        return;
    }
    goToError(forward ? m_errors.next() : m_errors.previous());
}

void Form1::mnuCompileRun_Click()
{
    if (refuseWhileBuilding() || !saveBeforeBuild())
        return;
    if (!DoCompilation(false))
        return;
    BusyFlag busy(m_building);
    runAndStartEmulator();
}

void Form1::runAndStartEmulator()
{
    // A boot disk that is there but cannot be used is told before anything is made or started;
    // the files must fit beside what it holds.
    const tarvel::BootDisk boot = tarvel::ReadBootDisk(Settings.DiskImagePath);
    if (boot.present && !boot.usable()) {
        if (m_monitor)
            m_monitor->close();
        m_dialogs.message(this,
                          QStringLiteral("The boot disk\n%1\ncannot be used: %2.\n\nNothing was started. Replace it "
                                         "with a 720 KB MSX-DOS disk that holds MSXDOS.SYS and COMMAND.COM, or remove it.%3")
                              .arg(tarvel::BootDiskPath(Settings.DiskImagePath), boot.problem,
                                   QLatin1String(tarvel::kSeeCheckSetup)),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    // What cannot go onto the disk, or could not be opened there, is told before anything is
    // made or started.
    const QString projectDir = m_project.projectDir();
    const QString mainName = m_project.node(2).text;
    const QString mainOnDisk = common::FindFileNoCase(projectDir, mainName);
    const QString baseName = tarvel::MainFileBaseName(mainOnDisk.isEmpty() ? mainName : common::ExtractFileName(mainOnDisk));
    const QList<tarvel::DiskFile> files = tarvel::FilesForDisk(projectDir, baseName);
    const QString problems = tarvel::DiskProblemText(tarvel::CheckDiskFiles(files, boot.rootEntries, boot.clusters));
    if (!problems.isEmpty()) {
        if (m_monitor)
            m_monitor->close();
        m_dialogs.message(this, problems, QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }

    QDir().mkpath(Settings.DiskImagePath);
    const QString shortDir = common::GetShortPath(Settings.DiskImagePath);
    const QString image = tarvel::DiskImagePath(shortDir.isEmpty() ? Settings.DiskImagePath : shortDir);
    const QString oldImage = common::AddBackslash(Settings.DiskImagePath) + QStringLiteral("d.dsk");
    if (common::FileExists(oldImage))
        QFile::remove(oldImage);

    // dsktool copies a whole folder: it is given one that holds links to the files checked above
    // and nothing else, so the build's working files (and a disk image kept there) stay off the disk.
    QTemporaryDir staging;
    const common::Status staged = staging.isValid() ? tarvel::LinkFilesInto(projectDir, files, staging.path())
                                                    : common::Failure(staging.errorString());
    if (!staged) {
        if (m_monitor)
            m_monitor->close();
        m_dialogs.message(this, QStringLiteral("The files for the disk could not be gathered:\n%1").arg(staged.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    const tarvel::CommandLine dsktool = tarvel::DsktoolCommand(m_appDir, image, staging.path());
    if (m_monitor)
        m_monitor->close();
    common::ShellOutcome made;
    {
        WaitCursor hourglass;
        made = common::RunProgram(dsktool.program, dsktool.arguments, true);
    }
    if (made.stopped)
        return; // Tarvel is exiting
    // Only a whole disk at the expected place goes to the emulator.
    const common::Status disk = tarvel::CheckDiskImage(image);
    if (!made.started || !made.finished || made.exitCode != 0 || !disk) {
        const QString reason = !made.started    ? dsktool.program + QStringLiteral(" could not be started.")
                               : !made.finished ? dsktool.program + QStringLiteral(" did not end normally.")
                               : made.exitCode != 0
                                   ? dsktool.program + QStringLiteral(" failed (exit status %1).").arg(made.exitCode)
                                   : disk.error();
        m_dialogs.message(this,
                          QStringLiteral("The disk image could not be made:\n%1\n\n%2%3")
                              .arg(image, reason, QLatin1String(tarvel::kSeeCheckSetup)),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    if (!boot.present && !m_toldNoBootDisk) {
        m_toldNoBootDisk = true;
        m_dialogs.message(this, tarvel::NoBootDiskText(Settings.DiskImagePath), QStringLiteral("Tarvel"),
                          Dialogs::Icon::Information, Dialogs::Buttons::Ok);
    }

    const tarvel::CommandLine emulator = tarvel::EmulatorCommand(Settings.EmulatorPath, Settings.EmulatorCommandLine, image);
    watchEmulator(emulator.program, emulator.arguments);
}

void Form1::watchEmulator(const QString& program, const QStringList& arguments)
{
    const auto cannotStart = [&] {
        m_dialogs.message(this,
                          QStringLiteral("The emulator could not be started:\n%1\n\nSet its path in Edit > Preferences.%2")
                              .arg(Settings.EmulatorPath.isEmpty() ? QStringLiteral("(no emulator set)") : Settings.EmulatorPath,
                                   QLatin1String(tarvel::kSeeCheckSetup)),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    };
    // The emulator runs under a small shell that keeps the end of its output and its exit status,
    // so a program that is not there is found out here, before the shell starts.
    const QString found = tarvel::FindEmulatorProgram(program);
    if (found.isEmpty()) {
        cannotStart();
        return;
    }
    if (!m_runFiles)
        m_runFiles = std::make_unique<QTemporaryDir>();
    common::Result<common::StartedRun> run =
        m_runFiles->isValid() ? common::StartWatchedRun(found, arguments, m_runFiles->filePath(QStringLiteral("emulator.log")),
                                                        m_runFiles->filePath(QStringLiteral("emulator.status")))
                              : common::Result<common::StartedRun>::failure(m_runFiles->errorString());
    if (!run) {
        // Without a place for its output the emulator is still started, only not watched.
        if (!common::RunProgram(found, arguments, false).started)
            cannotStart();
        return;
    }
    // Nothing waits for the emulator: the watch only looks at what it left, now and then.
    auto* watch = new common::RunWatch(run.value(), m_emulatorWatchMs, this);
    connect(watch, &common::RunWatch::failedAtOnce, this, [this](int status, const QString& lastLines) {
        m_dialogs.message(this, common::QuickFailureText(status, lastLines), QStringLiteral("Error"),
                          Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    });
}
