#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace common {

// Text files are 8-bit and byte-transparent (Latin-1: every byte read is written back unchanged).
// Reading accepts CR LF, LF or CR line ends; writing ends every line with CR LF.

// The lines of the file; a last line ended by a line end adds no empty entry.
[[nodiscard]] Result<QStringList> ReadTextLines(const QString& path);

// The lines of a byte buffer under the same rules.
[[nodiscard]] QStringList SplitLines(const QByteArray& bytes);

// The bytes of `lines`, each followed by CR LF.
[[nodiscard]] QByteArray JoinCrLf(const QStringList& lines);

// Reads a whole file; fails with a readable reason.
[[nodiscard]] Result<QByteArray> ReadFileBytes(const QString& path);

// Replaces the file with `bytes` atomically: the data goes to a temporary file in the same
// directory that is then renamed over the target, so a failure leaves the old file intact.
// A file that exists but is read-only is not replaced.
[[nodiscard]] Status WriteFileAtomic(const QString& path, const QByteArray& bytes);

// WriteFileAtomic of the lines joined with CR LF.
[[nodiscard]] Status WriteTextLinesAtomic(const QString& path, const QStringList& lines);

} // namespace common
