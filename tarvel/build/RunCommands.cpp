#include "build/RunCommands.h"

#include "core/Paths.h"
#include "core/Text.h"

#include <QDir>
#include <QFile>
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

namespace {

// The folder's path with links resolved where it exists, cleaned where it does not; ends in '/'.
QString ResolvedFolder(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return common::AddBackslash(canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical);
}

} // namespace

bool DiskImageFolderInProject(const QString& diskImageDir, const QString& projectDir)
{
    if (diskImageDir.isEmpty() || projectDir.isEmpty())
        return false;
    return ResolvedFolder(diskImageDir).startsWith(ResolvedFolder(projectDir));
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

common::Status LinkFilesInto(const QString& folder, const QList<DiskFile>& files, const QString& stagingFolder)
{
    const QDir source(folder);
    const QDir staging(stagingFolder);
    for (const DiskFile& file : files) {
        const QString target = source.absoluteFilePath(file.name);
        if (!QFile::link(target, staging.filePath(file.name)))
            return common::Failure(QStringLiteral("%1 could not be linked into %2.").arg(target, stagingFolder));
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
