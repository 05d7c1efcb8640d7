#include "build/BuildScript.h"

#include "build/DosRunner.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/ProjectFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarvel {

namespace {

QString JoinPath(const QString& directory, const QString& name, PathStyle style)
{
    if (directory.endsWith(QLatin1Char('/')) || directory.endsWith(QLatin1Char('\\')))
        return directory + name;
    return directory + (style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/')) + name;
}

// A word for sh in the file system's bytes: single quotes keep every byte literal.
QByteArray ShellWord(const QString& text)
{
    return QFile::encodeName(common::ShellQuote(text));
}

QByteArray ShellWords(const QStringList& words)
{
    QByteArray line;
    for (const QString& word : words) {
        if (!line.isEmpty())
            line += ' ';
        line += ShellWord(word);
    }
    return line;
}

} // namespace

QString MainFileBaseName(const QString& mainFileName)
{
    return common::RemoveText(mainFileName, QStringLiteral(".pas"));
}

QList<BuildStep> BuildSteps(const BuildRequest& request, PathStyle style)
{
    const QString compilerDir = JoinPath(request.appDir, QStringLiteral("compiler"), style);

    QList<BuildStep> steps;
    steps.append({BuildStep::Kind::ChangeDirectory, request.projectDir, {}, {}});

    QStringList arguments{request.baseName};
    if (request.makeChn)
        arguments << QStringLiteral("/H");
    arguments << QStringLiteral("/S") + FormatAddress(request.startAddress)
              << QStringLiteral("/E") + FormatAddress(request.endAddress)
              << QStringLiteral("/R") + QLatin1String(kErrorsFileName);
    switch (request.compiler.kind) {
    case CompilerKind::Dos:
        steps.append(DosboxCompilerStep(request, arguments));
        break;
    case CompilerKind::Windows:
        // The compiler's own step: the script for Wine (RenderWineScript) runs it under Wine.
    case CompilerKind::Native:
    case CompilerKind::Missing:
    case CompilerKind::Unknown: {
        const QString compiler =
            request.compiler.path.isEmpty() ? JoinPath(compilerDir, QStringLiteral("TP3"), style) : request.compiler.path;
        steps.append({BuildStep::Kind::RunCompiler, compiler, arguments, QLatin1String(kResultFileName)});
        break;
    }
    }

    if (!request.makeChn) {
        steps.append({BuildStep::Kind::JoinFiles,
                      {},
                      {style == PathStyle::Posix ? RuntimePath(request.appDir)
                                                 : JoinPath(compilerDir, QStringLiteral("runtime.com"), style),
                       request.baseName + ".chn"},
                      request.baseName + ".com"});
    }
    return steps;
}

QByteArray RenderShellStep(const BuildStep& step)
{
    switch (step.kind) {
    case BuildStep::Kind::ChangeDirectory:
        return "cd -- " + ShellWord(step.path) + " || exit 1\n";
    case BuildStep::Kind::RunCompiler: {
        // Each variable as NAME='value': the name stays a word sh takes for an assignment.
        QByteArray line;
        for (const QString& variable : step.environment) {
            const qsizetype equals = variable.indexOf(QLatin1Char('='));
            line += QFile::encodeName(variable.left(equals + 1)) + ShellWord(variable.mid(equals + 1)) + ' ';
        }
        return line + ShellWords(QStringList{step.path} + step.arguments) + " > " + ShellWord(step.output) + '\n';
    }
    case BuildStep::Kind::JoinFiles:
        break; // Tarvel's own step once the script has ended (JoinFiles)
    }
    return QByteArray();
}

QByteArray RenderShellScript(const QList<BuildStep>& steps)
{
    QByteArray script = kShellScriptHeader;
    for (const BuildStep& step : steps)
        script += RenderShellStep(step);
    return script;
}

QByteArray RenderBatchFile(const QList<BuildStep>& steps)
{
    QStringList lines;
    for (const BuildStep& step : steps) {
        switch (step.kind) {
        case BuildStep::Kind::ChangeDirectory:
            lines << step.path.left(2) << QStringLiteral("cd ") + step.path;
            break;
        case BuildStep::Kind::RunCompiler:
            lines << (QStringList{step.path} + step.arguments).join(QLatin1Char(' ')) + QStringLiteral(" > ")
                         + step.output;
            break;
        case BuildStep::Kind::JoinFiles:
            lines << QStringLiteral("copy ") + step.arguments.join(QStringLiteral("/b + ")) + QStringLiteral("/b ")
                         + step.output;
            break;
        }
    }
    return common::JoinCrLf(lines);
}

common::Status JoinFiles(const QString& projectDir, const BuildStep& step)
{
    const auto inProject = [&](const QString& name) {
        return QFileInfo(name).isAbsolute() ? name : QDir(projectDir).filePath(name);
    };
    // A relative name is looked up in any letter case in its folder; an absolute one as it is.
    const auto find = [&](const QString& name) {
        const QFileInfo info(inProject(name));
        const QString found = common::FindFileNoCase(info.absolutePath(), info.fileName());
        return !found.isEmpty() && QFileInfo(found).isFile() ? found : QString();
    };
    if (!find(QLatin1String(kErrorsFileName)).isEmpty())
        return common::Done{};
    QByteArray joined;
    for (const QString& input : step.arguments) {
        const QString path = find(input);
        if (path.isEmpty())
            return common::Done{};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return common::Status::failure(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
        joined += file.readAll();
    }
    return common::WriteFileAtomic(inProject(step.output), joined);
}

QString CompilerFolder(const QString& appDir)
{
    return JoinPath(appDir, QStringLiteral("compiler"), PathStyle::Posix);
}

QString CompilerPath(const QString& appDir)
{
    return JoinPath(CompilerFolder(appDir), QStringLiteral("TP3"), PathStyle::Posix);
}

QString RuntimePath(const QString& appDir)
{
    const QString folder = CompilerFolder(appDir);
    const QString found = common::FindFileNoCase(folder, QStringLiteral("runtime.com"));
    return found.isEmpty() ? JoinPath(folder, QStringLiteral("runtime.com"), PathStyle::Posix) : found;
}

QString BuildScriptPath(const QString& appDir)
{
    return JoinPath(CompilerFolder(appDir), QStringLiteral("turbopc.sh"), PathStyle::Posix);
}

common::Status WriteBuildScript(const QString& scriptPath, const QList<BuildStep>& steps)
{
    return common::WriteFileAtomic(scriptPath, RenderShellScript(steps));
}

} // namespace tarvel
