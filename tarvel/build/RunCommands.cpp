#include "build/RunCommands.h"

#include "core/Paths.h"
#include "core/Text.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tarvel {

CommandLine BuildScriptCommand(const QString& scriptPath)
{
    return {QStringLiteral("/bin/sh"), {scriptPath}};
}

QString DiskImagePath(const QString& diskImageDir)
{
    return common::AddBackslash(diskImageDir) + QStringLiteral("d.dsk");
}

common::Status CheckDiskImage(const QString& imagePath)
{
    const QFileInfo image(imagePath);
    if (image.isSymLink() || (image.exists() && !image.isFile()))
        return common::Failure(QStringLiteral("%1 is not a plain file.").arg(imagePath));
    if (!image.exists())
        return common::Failure(QStringLiteral("No disk image was made at %1.").arg(imagePath));
    if (image.size() != kDiskImageBytes) {
        return common::Failure(QStringLiteral("%1 holds %2 bytes, not the %3 of a 720 KB disk.")
                                   .arg(imagePath)
                                   .arg(image.size())
                                   .arg(kDiskImageBytes));
    }
    return common::Success();
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

QString FindEmulatorProgram(const QString& path)
{
    if (path.isEmpty())
        return {};
    if (!path.contains(QLatin1Char('/')))
        return QStandardPaths::findExecutable(path);
    const QFileInfo program(path);
    return program.isFile() && program.isExecutable() ? program.absoluteFilePath() : QString();
}

} // namespace tarvel
