#include "core/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

QString notRegularReason(const QString& path, mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("%1 is a folder, not a file.").arg(path);
    return QStringLiteral("%1 is not a regular file (a pipe, a device or a socket).").arg(path);
}

QString systemReason(const QString& path, int error)
{
    return QStringLiteral("Cannot read %1: %2").arg(path, QString::fromLocal8Bit(strerror(error)));
}

// Opens a regular file for reading and returns its descriptor, blocking reads on. The kind is
// looked at before the open, so a FIFO is never opened, and again on the opened file, in case
// the name was replaced in between; the open itself does not wait.
Result<int> openRegularDescriptor(const QString& path, struct stat& opened)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat before {};
    if (path.isEmpty() || ::stat(native.constData(), &before) != 0)
        return Result<int>::failure(systemReason(path, path.isEmpty() ? ENOENT : errno));
    if (!S_ISREG(before.st_mode))
        return Result<int>::failure(notRegularReason(path, before.st_mode));
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Result<int>::failure(systemReason(path, errno));
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        const int error = errno;
        ::close(fd);
        return Result<int>::failure(S_ISREG(opened.st_mode) ? systemReason(path, error) : notRegularReason(path, opened.st_mode));
    }
    return fd;
}

} // namespace

Result<std::unique_ptr<QFile>> OpenRegularFile(const QString& path)
{
    using Outcome = Result<std::unique_ptr<QFile>>;
    struct stat info {};
    const Result<int> opened = openRegularDescriptor(path, info);
    if (!opened)
        return Outcome::failure(opened.error());
    const int fd = opened.value();
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Outcome::failure(QStringLiteral("Cannot read %1: %2").arg(path, file->errorString()));
    }
    return Outcome(std::move(file));
}

Result<QByteArray> ReadFileBytes(const QString& path, qint64 limit)
{
    // Read straight from the descriptor: a project load reads hundreds of files, and a QFile
    // around each costs several system calls more than the reading itself.
    struct stat info {};
    const Result<int> opened = openRegularDescriptor(path, info);
    if (!opened)
        return Result<QByteArray>::failure(opened.error());
    const int fd = opened.value();
    const auto failure = [fd](const QString& reason) {
        ::close(fd);
        return Result<QByteArray>::failure(reason);
    };
    const auto tooLarge = [&path, limit, &failure] {
        return failure(QStringLiteral("%1 is larger than %2 MB, too large to open.").arg(path).arg(limit / (1024 * 1024)));
    };
    const qint64 size = info.st_size;
    if (size > limit)
        return tooLarge();
    // Room for the size the file has now and one byte more: a file read whole takes only its own
    // memory (a buffer for the whole limit would be mapped and unmapped for every file). A file
    // that grew meanwhile, or one whose size is not known beforehand, is read on in pieces; one
    // byte more than the limit tells a file too large from one that fits.
    QByteArray bytes(qMin(size, limit) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        const ssize_t got = ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure(systemReason(path, errno));
        filled += got;
        if (got == 0 || filled > limit)
            break;
        if (filled == bytes.size())
            bytes.resize(qMin(bytes.size() + qMax<qint64>(bytes.size(), 64 * 1024), limit + 1));
    }
    if (filled > limit)
        return tooLarge();
    ::close(fd);
    bytes.truncate(filled);
    return bytes;
}

Result<QStringList> ReadTextLines(const QString& path)
{
    Result<QByteArray> bytes = ReadFileBytes(path);
    if (!bytes)
        return Result<QStringList>::failure(bytes.error());
    return SplitLines(bytes.value());
}

namespace {

Status writeFailure(const QString& path, const QString& reason)
{
    return Failure(QStringLiteral("Cannot write %1: %2").arg(path, reason));
}

// Writes every byte through the device's buffer to the disk. QSaveFile::commit() on Qt 6.4 can
// report success after its final flush failed, so the flush and the sync are checked here.
bool writeAllToDisk(QFileDevice& file, const QByteArray& bytes)
{
    if (file.write(bytes) != bytes.size())
        return false;
    if (!file.flush())
        return false;
    return ::fsync(file.handle()) == 0;
}

QString lastError(const QFileDevice& file)
{
    return file.error() == QFileDevice::NoError || file.errorString().isEmpty()
        ? QString::fromLocal8Bit(strerror(errno))
        : file.errorString();
}

} // namespace

Status WriteFileAtomic(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.isDir())
        return Failure(QStringLiteral("Cannot write %1: it is a folder.").arg(path));
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return Failure(QStringLiteral("Cannot write %1: the file is read-only.").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return writeFailure(path, file.errorString());
    errno = 0;
    if (!writeAllToDisk(file, bytes)) {
        const QString reason = lastError(file);
        file.cancelWriting();
        return writeFailure(path, reason);
    }
    if (!file.commit())
        return writeFailure(path, file.errorString());
    return Success();
}

Status WriteFileInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return writeFailure(path, file.errorString());
    errno = 0;
    if (!writeAllToDisk(file, bytes) || !file.resize(bytes.size()))
        return writeFailure(path, lastError(file));
    file.close();
    return Success();
}

Status WriteSettingsRecord(const QString& path, const QByteArray& bytes)
{
    const Status atomic = WriteFileAtomic(path, bytes);
    if (atomic)
        return atomic;
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    // Only a folder that refuses new files is worked around; a full disk or a read-only record
    // stays a failure.
    if (!info.isFile() || folder.isWritable() || !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))
        return atomic;
    return WriteFileInPlace(path, bytes);
}

Status WriteTextLinesAtomic(const QString& path, const QStringList& lines)
{
    return WriteFileAtomic(path, JoinCrLf(lines));
}

} // namespace common
