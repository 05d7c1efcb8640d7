#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QFile;

namespace common {

// The largest file read whole: a source, an include, a word list or a program's own output file.
inline constexpr qint64 MaxReadBytes = 64 * 1024 * 1024;

// Opens a regular file, or a link to one, for reading. A FIFO, a device or a folder is refused
// without being waited on, so nothing a project names can block the program or feed it without
// end. The failure names the path.
[[nodiscard]] Result<std::unique_ptr<QFile>> OpenRegularFile(const QString& path);

// Text files are 8-bit and byte-transparent (Latin-1: every byte read is written back unchanged).
// Reading accepts CR LF, LF or CR line ends; writing ends every line with CR LF.

// The lines of the file; a last line ended by a line end adds no empty entry.
[[nodiscard]] Result<QStringList> ReadTextLines(const QString& path);

// The lines of a byte buffer under the same rules.
[[nodiscard]] QStringList SplitLines(const QByteArray& bytes);

// The bytes of `lines`, each followed by CR LF.
[[nodiscard]] QByteArray JoinCrLf(const QStringList& lines);

// Reads a whole regular file; fails with a readable reason that names the file, also when it is
// larger than `limit` bytes.
[[nodiscard]] Result<QByteArray> ReadFileBytes(const QString& path, qint64 limit = MaxReadBytes);

// Replaces the file with `bytes` atomically: the data goes to a temporary file in the same
// directory, is flushed and synced to the disk, and only then renamed over the target. Any byte
// that does not reach the disk (a full disk, a size limit) is a failure and leaves the old file
// whole. A file that exists but is read-only is not replaced.
[[nodiscard]] Status WriteFileAtomic(const QString& path, const QByteArray& bytes);

// Overwrites an existing file from its first byte, then cuts it to the length of `bytes`; the
// data is flushed and synced before it counts as written. For small records only: a failure
// part-way leaves the file damaged.
[[nodiscard]] Status WriteFileInPlace(const QString& path, const QByteArray& bytes);

// Saves a small settings record: atomically when the folder can take the temporary file, else
// (a read-only folder holding a writable file) in place. Fails only when both ways fail.
[[nodiscard]] Status WriteSettingsRecord(const QString& path, const QByteArray& bytes);

// WriteFileAtomic of the lines joined with CR LF.
[[nodiscard]] Status WriteTextLinesAtomic(const QString& path, const QStringList& lines);

} // namespace common
