#include "OpenMsxCommand.h"

#include "ImageKind.h"
#include "OpenMsxSettings.h"

#include "core/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace lumivo {

QStringList SplitArguments(const QString& text)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

CommandOutcome BuildOpenMsxCommand(const RunSelection& selection, const OpenMsxSettings& settings,
                                   const QString& programPath, const QStringList& machines)
{
    CommandOutcome outcome;
    const bool dir = selection.kind == KindDir;
    if (!dir && selection.fileName.isEmpty()) {
        outcome.problem = RunProblem::NoFileSelected;
        return outcome;
    }
    if (programPath.isEmpty()) {
        outcome.problem = RunProblem::OpenMsxNotFound;
        outcome.detail = settings.Program;
        return outcome;
    }
    if (!settings.Machine.isEmpty() && !machines.isEmpty() && !machines.contains(settings.Machine)) {
        outcome.problem = RunProblem::OpenMsxMachineMissing;
        outcome.detail = settings.Machine;
        return outcome;
    }
    const QString shown = common::GetShortPath(selection.folder);
    const QString folder = common::AddBackslash(shown.isEmpty() ? selection.folder : shown);

    EmulatorCommand& command = outcome.command;
    command.folder = folder;
    command.program = programPath;
    if (!settings.Machine.isEmpty())
        command.arguments << QStringLiteral("-machine") << settings.Machine;
    command.arguments << SplitArguments(settings.Arguments);
    switch (selection.kind) {
    case KindRom:
        command.arguments << QStringLiteral("-cart") << folder + selection.fileName;
        break;
    case KindCas:
        command.arguments << QStringLiteral("-cassetteplayer") << folder + selection.fileName;
        break;
    case KindDir:
        // openMSX mounts a folder as a disk.
        command.arguments << QStringLiteral("-diska") << QDir::cleanPath(folder);
        break;
    default:
        command.arguments << QStringLiteral("-diska") << folder + selection.fileName;
        break;
    }
    return outcome;
}

} // namespace lumivo
