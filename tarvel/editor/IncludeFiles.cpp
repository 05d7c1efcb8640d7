#include "editor/IncludeFiles.h"

#include "core/Paths.h"
#include "core/TextFile.h"

#include <QFile>

#include <sys/stat.h>

namespace tarvel {

QString IncludeDirective(const QString& fileName)
{
    return QStringLiteral("{$i ") + fileName + QStringLiteral(" }");
}

TextPosition IncludeInsertPosition(bool atSelection, TextPosition selectionStart)
{
    return atSelection ? selectionStart : TextPosition{};
}

QString NewIncludePath(const QString& chosenPath, const QString& projectDir)
{
    return common::ResolveFileNoCase(common::AddBackslash(projectDir), common::ExtractFileName(chosenPath));
}

bool IsSameFile(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    if (::stat(QFile::encodeName(a).constData(), &first) != 0 || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

common::Status CopyFileOver(const QString& source, const QString& target)
{
    // The source reached another way (a link, another spelling of its folder): nothing is
    // written. A write would gain nothing, could still fail on a full disk, and would make a
    // hard-linked name a separate copy.
    if (IsSameFile(source, target))
        return common::Success();
    const common::Result<QByteArray> bytes = common::ReadFileBytes(source);
    if (!bytes)
        return common::Failure(bytes.error());
    return common::WriteFileAtomic(target, bytes.value());
}

} // namespace tarvel
