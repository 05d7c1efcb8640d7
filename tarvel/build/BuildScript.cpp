#include "build/BuildScript.h"

#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/ProjectFile.h"

#include <QFile>

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
    steps.append({BuildStep::Kind::RunCompiler, JoinPath(compilerDir, QStringLiteral("TP3"), style), arguments,
                  QLatin1String(kResultFileName)});

    if (!request.makeChn) {
        steps.append({BuildStep::Kind::JoinFiles,
                      {},
                      {JoinPath(compilerDir, QStringLiteral("runtime.com"), style), request.baseName + ".chn"},
                      request.baseName + ".com"});
    }
    return steps;
}

QByteArray RenderShellStep(const BuildStep& step)
{
    switch (step.kind) {
    case BuildStep::Kind::ChangeDirectory:
        return "cd -- " + ShellWord(step.path) + " || exit 1\n";
    case BuildStep::Kind::RunCompiler:
        return ShellWords(QStringList{step.path} + step.arguments) + " > " + ShellWord(step.output) + '\n';
    case BuildStep::Kind::JoinFiles: {
        QByteArray guard;
        for (const QString& input : step.arguments)
            guard += "[ -f " + ShellWord(input) + " ] && ";
        guard += "[ ! -e " + ShellWord(QLatin1String(kErrorsFileName)) + " ]";
        return "if " + guard + "; then cat -- " + ShellWords(step.arguments) + " > " + ShellWord(step.output)
               + "; fi\n";
    }
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

QString CompilerPath(const QString& appDir)
{
    return JoinPath(JoinPath(appDir, QStringLiteral("compiler"), PathStyle::Posix), QStringLiteral("TP3"),
                    PathStyle::Posix);
}

QString RuntimePath(const QString& appDir)
{
    return JoinPath(JoinPath(appDir, QStringLiteral("compiler"), PathStyle::Posix), QStringLiteral("runtime.com"),
                    PathStyle::Posix);
}

QString BuildScriptPath(const QString& appDir)
{
    return JoinPath(JoinPath(appDir, QStringLiteral("compiler"), PathStyle::Posix), QStringLiteral("turbopc.sh"),
                    PathStyle::Posix);
}

common::Status WriteBuildScript(const QString& scriptPath, const QList<BuildStep>& steps)
{
    return common::WriteFileAtomic(scriptPath, RenderShellScript(steps));
}

} // namespace tarvel
