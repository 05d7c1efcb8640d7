#include "ExecuteScript.h"

#include "EmulatorCommand.h"

#include "core/Text.h"

#include <QFile>
#include <QRegularExpression>

namespace lumivo {

namespace {

// Option words and their numbers ("-msx2+", "-mapper", "2") need no quotes.
bool isBareWord(const QString& word)
{
    static const QRegularExpression bare(QStringLiteral("^-?[A-Za-z0-9+]+$"));
    return bare.match(word).hasMatch();
}

} // namespace

QByteArray RenderExecuteScript(const EmulatorCommand& command)
{
    QString line = common::ShellQuote(command.program);
    for (const QString& argument : command.arguments)
        line += QLatin1Char(' ') + (isBareWord(argument) ? argument : common::ShellQuote(argument));

    QString script;
    script += QStringLiteral("#!/bin/sh\n");
    // Only a terminal of the run's own is cleared, never the one Lumivo was started from.
    script += QStringLiteral("if [ -t 1 ]; then clear 2>/dev/null; fi\n");
    script += QStringLiteral("cd ") + common::ShellQuote(command.folder) + QStringLiteral(" || exit 1\n");
    script += line + QLatin1Char('\n');
    return QFile::encodeName(script);
}

} // namespace lumivo
