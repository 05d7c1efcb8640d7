#pragma once

#include <QString>

namespace tarvel {

// The most a project directory may hold: what fits a 720 KB MSX disk (737,280 bytes is accepted).
inline constexpr qint64 kMaxProjectBytes = 720 * 1024;

// True when the files directly in the project directory (hidden ones included, subdirectories
// not) add up to more than kMaxProjectBytes.
[[nodiscard]] bool ProjectDirectoryTooLarge(const QString& projectDir);

// Deletes the output a build is about to make (<base>.chn for a CHN build, else <base>.com),
// found without regard to case, so it is neither counted by the size check nor left stale.
// The other kind of output is left alone. True when nothing of that name remains.
bool RemoveOldOutput(const QString& projectDir, const QString& baseName, bool makeChn);

} // namespace tarvel
