#include "core/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace common {

QStringList SplitLines(const QByteArray& bytes)
{
    QStringList lines;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < size) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            lines.append(QString::fromLatin1(data + start, i - start));
            if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < size)
        lines.append(QString::fromLatin1(data + start, size - start));
    return lines;
}

QByteArray JoinCrLf(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

Result<QByteArray> ReadFileBytes(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        return Result<QByteArray>::failure(QStringLiteral("%1 is a folder, not a file.").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

Result<QStringList> ReadTextLines(const QString& path)
{
    Result<QByteArray> bytes = ReadFileBytes(path);
    if (!bytes)
        return Result<QStringList>::failure(bytes.error());
    return SplitLines(bytes.value());
}

Status WriteFileAtomic(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.isDir())
        return Failure(QStringLiteral("Cannot write %1: it is a folder.").arg(path));
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return Failure(QStringLiteral("Cannot write %1: the file is read-only.").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failure(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Failure(QStringLiteral("Cannot write %1: %2").arg(path, reason));
    }
    if (!file.commit())
        return Failure(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return Success();
}

Status WriteTextLinesAtomic(const QString& path, const QStringList& lines)
{
    return WriteFileAtomic(path, JoinCrLf(lines));
}

} // namespace common
