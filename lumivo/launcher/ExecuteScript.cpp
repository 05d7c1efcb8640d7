#include "ExecuteScript.h"

#include "EmulatorCommand.h"

#include "core/Text.h"

#include <QFile>
#include <QRegularExpression>

namespace lumivo {

namespace {

// Option words, their numbers and machine names ("-msx2+", "-mapper", "2", "C-BIOS_MSX2") need
// no quotes: none of their characters means anything to the shell.
bool isBareWord(const QString& word)
{
    static const QRegularExpression bare(QStringLiteral("^-?[A-Za-z0-9+_.][A-Za-z0-9+_.-]*$"));
    return bare.match(word).hasMatch();
}

// The program and its arguments as one shell line.
QString programLine(const EmulatorCommand& command)
{
    QString line = common::ShellQuote(command.program);
    for (const QString& argument : command.arguments)
        line += QLatin1Char(' ') + (isBareWord(argument) ? argument : common::ShellQuote(argument));
    return line;
}

} // namespace

QString RenderCommandLine(const EmulatorCommand& command)
{
    return QStringLiteral("cd ") + common::ShellQuote(command.folder) + QStringLiteral(" && ") + programLine(command);
}

QByteArray RenderExecuteScript(const EmulatorCommand& command)
{
    const QString line = programLine(command);
    QString script;
    script += QStringLiteral("#!/bin/sh\n");
    // Clears only a terminal the output goes to. Lumivo gives each run its own output (execute.log),
    // so the terminal Lumivo was started from is never touched.
    script += QStringLiteral("if [ -t 1 ]; then clear 2>/dev/null; fi\n");
    script += QStringLiteral("cd ") + common::ShellQuote(command.folder) + QStringLiteral(" || exit 1\n");
    script += line + QLatin1Char('\n');
    return QFile::encodeName(script);
}

} // namespace lumivo
