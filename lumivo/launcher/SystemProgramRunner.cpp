#include "ProgramRunner.h"

#include "core/Process.h"

namespace lumivo {

QString SystemProgramRunner::findProgram(const QStringList& names)
{
    return common::FindOnPath(names);
}

bool SystemProgramRunner::startDetached(const QString& program, const QStringList& arguments,
                                        const QString& workingDirectory)
{
    return common::RunProgram(program, arguments, false, workingDirectory).started;
}

} // namespace lumivo
