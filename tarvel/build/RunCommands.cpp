#include "build/RunCommands.h"

#include "core/Paths.h"
#include "core/Text.h"

#include <QProcess>

namespace tarvel {

CommandLine BuildScriptCommand(const QString& scriptPath)
{
    return {QStringLiteral("/bin/sh"), {scriptPath}};
}

QString DiskImagePath(const QString& diskImageDir)
{
    return common::AddBackslash(diskImageDir) + QStringLiteral("d.dsk");
}

CommandLine DsktoolCommand(const QString& appDir, const QString& imagePath, const QString& projectDir)
{
    return {common::AddBackslash(appDir) + QStringLiteral("dsk/dsktool"),
            {QStringLiteral("a"), imagePath, common::AddBackslash(projectDir) + QStringLiteral("*.*")}};
}

CommandLine EmulatorCommand(const QString& emulatorPath, const QString& emulatorCommandLine, const QString& imagePath)
{
    QStringList arguments = QProcess::splitCommand(emulatorCommandLine);
    for (QString& argument : arguments)
        argument = common::ReplaceText(argument, QStringLiteral("%dsk"), imagePath);
    return {emulatorPath, arguments};
}

} // namespace tarvel
