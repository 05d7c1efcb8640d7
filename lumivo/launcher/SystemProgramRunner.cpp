#include "ProgramRunner.h"

#include "core/Process.h"

#include <QProcess>

namespace lumivo {

QString SystemProgramRunner::findProgram(const QStringList& names)
{
    return common::FindOnPath(names);
}

bool SystemProgramRunner::startDetached(const QString& program, const QStringList& arguments,
                                        const QString& workingDirectory, qint64* pid)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    // Nothing of Lumivo's own terminal reaches the started program.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached(pid);
}

} // namespace lumivo
