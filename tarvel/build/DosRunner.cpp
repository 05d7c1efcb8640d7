#include "build/DosRunner.h"

#include "build/BuildScript.h"
#include "core/Dosbox.h"
#include "core/Paths.h"
#include "core/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace tarvel {

namespace {

QString CompilerFileName(const BuildRequest& request)
{
    return QFileInfo(request.compiler.path).fileName();
}

QString CompilerDir(const BuildRequest& request)
{
    return QFileInfo(request.compiler.path).absolutePath();
}

// The names of each folder that DOS cannot tell apart, listed once per folder however many files
// of the project lie in it.
class DosClashes {
public:
    QStringList of(const QString& folder, const QString& name)
    {
        auto groups = m_byFolder.find(folder);
        if (groups == m_byFolder.end()) {
            QHash<QString, QStringList> byDosName;
            for (const QString& entry : common::DosNameClashes(folder, QString()))
                byDosName[common::AsciiUpper(entry)].append(entry);
            groups = m_byFolder.insert(folder, byDosName);
        }
        return groups->value(common::AsciiUpper(name));
    }

private:
    QHash<QString, QHash<QString, QStringList>> m_byFolder;
};

// The problem with one name relative to the project folder: each of its parts must be a DOS
// name that no other entry of its folder clashes with.
common::DosboxCheck CheckDosPath(const QString& projectDir, const QString& relative, DosClashes& clashes)
{
    QString folder = projectDir;
    const QStringList parts = relative.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (!common::IsDosName(part))
            return {common::DosboxProblem::NotReachableFromDos, relative};
        const QStringList same = clashes.of(folder, part);
        if (!same.isEmpty())
            return {common::DosboxProblem::NameClash, same.join(QStringLiteral(" and "))};
        if (i + 1 < parts.size()) {
            folder = common::FindFileNoCase(folder, part);
            if (folder.isEmpty())
                break; // a file that is not there is the compiler's to report
        }
    }
    return {};
}

} // namespace

QString DosboxConfigPath(const QString& appDir)
{
    return QDir(CompilerFolder(appDir)).filePath(QStringLiteral("dosbox.conf"));
}

QString DosboxLogPath(const QString& appDir)
{
    return QDir(CompilerFolder(appDir)).filePath(QStringLiteral("dosbox.log"));
}

QByteArray DosboxConfig()
{
    return "# Written by Tarvel before every build in DOSBox; changes are overwritten.\n"
           "[sdl]\nfullscreen=false\n"
           "[cpu]\ncore=auto\ncycles=max\n"
           "[mixer]\nnosound=true\n"
           "[speaker]\npcspeaker=false\ntandy=off\ndisney=false\n"
           "[sblaster]\nsbtype=none\noplmode=none\n"
           "[gus]\ngus=false\n"
           "[midi]\nmpu401=none\nmididevice=none\n"
           "[joystick]\njoysticktype=none\n"
           "[serial]\nserial1=disabled\nserial2=disabled\nserial3=disabled\nserial4=disabled\n"
           "[dos]\nkeyboardlayout=none\n";
}

BuildStep DosboxCompilerStep(const BuildRequest& request, const QStringList& compilerArguments)
{
    const QString command = QStringLiteral("D:\\") + CompilerFileName(request) + QLatin1Char(' ')
                            + compilerArguments.join(QLatin1Char(' ')) + QStringLiteral(" > ")
                            + QLatin1String(kResultFileName);
    BuildStep step;
    step.kind = BuildStep::Kind::RunCompiler;
    step.path = request.dosbox;
    step.arguments = common::DosboxArguments({QStringLiteral("-conf"), DosboxConfigPath(request.appDir)},
                                             {{'c', request.projectDir}, {'d', CompilerDir(request)}},
                                             {QStringLiteral("c:"), command});
    step.output = DosboxLogPath(request.appDir);
    // No window and no sound: SDL's drivers that show and play nothing.
    step.environment = QStringList{QStringLiteral("SDL_VIDEODRIVER=dummy"), QStringLiteral("SDL_AUDIODRIVER=dummy")};
    return step;
}

QString DosRunProblem(const BuildRequest& request, const QString& mainFile, const QStringList& includeFiles)
{
    const QString program = CompilerFileName(request);
    if (request.dosbox.isEmpty())
        return common::DosboxProblemText(common::DosboxProblem::NotFound, QString(), program);
    common::DosboxCheck check = common::CheckDosboxMounts({request.projectDir, CompilerDir(request)});
    DosClashes clashes;
    for (const QString& file : QStringList{mainFile} + includeFiles) {
        if (!check.ok())
            break;
        check = CheckDosPath(request.projectDir, file, clashes);
    }
    return common::DosboxProblemText(check.problem, check.detail, program);
}

} // namespace tarvel
