#include "build/BuildOutput.h"

#include "build/BuildScript.h"
#include "build/CompilerKind.h"
#include "build/DosRunner.h"
#include "build/CompilerResults.h"
#include "build/DiskCheck.h"
#include "core/Dosbox.h"
#include "core/Paths.h"
#include "core/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace tarvel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The file of that name in the project directory, found without regard to case; "" when there
// is none (or it is no file).
QString ExistingOutput(const QString& projectDir, const QString& name)
{
    const QString path = common::FindFileNoCase(projectDir, name);
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

ProjectSizeCheck CheckProjectSize(const QString& projectDir, const QString& baseName)
{
    ProjectSizeCheck check;
    QList<DiskFile> counted;
    QSet<QString> seen;
    const QFileInfoList entries = QDir(projectDir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString canonical = entry.canonicalFilePath();
        if (canonical.isEmpty() || IsWorkingFile(entry.fileName(), baseName) || seen.contains(canonical))
            continue;
        seen.insert(canonical);
        counted.append({entry.fileName(), entry.size()});
        check.bytes += entry.size();
    }
    if (check.tooLarge())
        check.largest = LargestFiles(counted);
    return check;
}

bool RemoveOldOutput(const QString& projectDir, const QString& baseName, bool makeChn)
{
    return RemoveFileNoCase(projectDir, baseName + (makeChn ? QStringLiteral(".chn") : QStringLiteral(".com")));
}

bool RemoveFileNoCase(const QString& folderPath, const QString& name)
{
    const QDir folder(folderPath);
    bool gone = true;
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& entry : entries) {
        if (!common::AsciiEqualsNoCase(entry, name))
            continue;
        const QString path = folder.filePath(entry);
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            gone = false;
            continue;
        }
        gone = QFile::remove(path) && gone;
    }
    return gone;
}

QString CompilerProblem(const FoundCompiler& compiler, const QString& dosbox)
{
    const QString name = QFileInfo(compiler.path).fileName();
    QString reason = compiler.problem;
    if (reason.isEmpty() && compiler.kind == CompilerKind::Dos && dosbox.isEmpty())
        reason = common::DosboxProblemText(common::DosboxProblem::NotFound, QString(), name);
    if (reason.isEmpty())
        return QString();
    QString text = QStringLiteral("The compiler could not be started:") + kCrLf + Native(compiler.path) + kCrLf + reason
                   + kCrLf;
    // Only where no compiler could be found, or not the one that fits, is the advice what to put there.
    if (compiler.kind != CompilerKind::Dos && compiler.kind != CompilerKind::Windows)
        text += kCrLf + QLatin1String(kPutCompilerThere) + kCrLf;
    return text;
}

BuildOutcome JudgeBuild(const BuildRequest& request)
{
    const QString projectDir = request.projectDir;
    if (!ExistingOutput(projectDir, QLatin1String(kErrorsFileName)).isEmpty())
        return CollectBuildOutcome(projectDir);

    BuildOutcome outcome;
    const QString chn = request.baseName + QStringLiteral(".chn");
    if (ExistingOutput(projectDir, chn).isEmpty()) {
        const QString compiler = request.compiler.path.isEmpty() ? CompilerPath(request.appDir) : request.compiler.path;
        outcome.report = QStringLiteral("The compiler left no result: neither errors.txt nor ") + chn
                         + QStringLiteral(" was written.") + kCrLf + Native(compiler) + kCrLf + kCrLf
                         + QStringLiteral("The compiler there must write ") + chn
                         + QStringLiteral(" into the project folder, or errors.txt when the source has errors "
                                          "(see README.md in that folder).")
                         + kCrLf;
        const QString result = ExistingOutput(projectDir, QLatin1String(kResultFileName));
        if (!result.isEmpty() && QFileInfo(result).size() > 0)
            outcome.report += QStringLiteral("What it printed is in ") + Native(result) + kCrLf;
        if (request.compiler.kind == CompilerKind::Dos)
            outcome.report += QStringLiteral("What DOSBox printed is in ") + Native(DosboxLogPath(request.appDir)) + kCrLf;
        return outcome;
    }
    const QString com = request.baseName + QStringLiteral(".com");
    if (!request.makeChn && ExistingOutput(projectDir, com).isEmpty()) {
        const QString runtime = RuntimePath(request.appDir);
        outcome.report = QStringLiteral("The program ") + com + QStringLiteral(" could not be made from ") + chn
                         + QStringLiteral(" and the run-time file:") + kCrLf + Native(runtime) + kCrLf;
        outcome.report += QFileInfo(runtime).isFile()
                              ? QStringLiteral("Joining the two files failed.") + kCrLf
                              : kCrLf
                                    + QStringLiteral("Put the Turbo Pascal 3 run-time file there: copy your kit's "
                                                     "runtime.com, in any letter case (see README.md in that folder).")
                                    + kCrLf + QStringLiteral("Tools > Check Setup... lists what Build needs.") + kCrLf;
        return outcome;
    }
    if (!request.makeChn) {
        // A join cut short (a full disk) leaves a program that would crash the MSX.
        const QString program = ExistingOutput(projectDir, com);
        const qint64 runtime = QFileInfo(RuntimePath(request.appDir)).size();
        const qint64 chain = QFileInfo(ExistingOutput(projectDir, chn)).size();
        const qint64 made = QFileInfo(program).size();
        if (made != runtime + chain) {
            const bool deleted = QFile::remove(program);
            outcome.report = QStringLiteral("The program %1 is incomplete: it holds %2 bytes, not the %3 of the run-time "
                                            "file (%4 bytes) and %5 (%6 bytes) joined.")
                                 .arg(com)
                                 .arg(made)
                                 .arg(runtime + chain)
                                 .arg(runtime)
                                 .arg(chn)
                                 .arg(chain)
                             + kCrLf + QStringLiteral("Is the disk of the project folder full?") + kCrLf
                             + Native(projectDir) + kCrLf
                             + (deleted ? QStringLiteral("The incomplete program was deleted.")
                                        : QStringLiteral("The incomplete program could not be deleted."))
                             + kCrLf;
            return outcome;
        }
    }
    return CollectBuildOutcome(projectDir);
}

} // namespace tarvel
