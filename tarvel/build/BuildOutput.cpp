#include "build/BuildOutput.h"

#include "core/Paths.h"

#include <QFile>
#include <QFileInfo>

namespace tarvel {

bool ProjectDirectoryTooLarge(const QString& projectDir)
{
    QString directory = projectDir;
    return common::DirectorySize(directory, QStringLiteral("*.*"), false) > kMaxProjectBytes;
}

bool RemoveOldOutput(const QString& projectDir, const QString& baseName, bool makeChn)
{
    const QString name = baseName + (makeChn ? QStringLiteral(".chn") : QStringLiteral(".com"));
    const QString path = common::FindFileNoCase(projectDir, name);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return path.isEmpty();
    return QFile::remove(path);
}

} // namespace tarvel
