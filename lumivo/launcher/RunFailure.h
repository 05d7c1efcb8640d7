#pragma once

#include <QByteArray>
#include <QString>

namespace lumivo {

// What the user is told about an emulator that ended at once with `exitStatus`, from the end of
// what it printed (`output`, kept whole in `logPath`). The emulator's own lines that say why
// ("Fatal error: ...", "Couldn't find ...") come first, before the noise of the libraries it
// loads; the last lines follow, and the log holds the rest.
[[nodiscard]] QString RunFailureText(int exitStatus, const QByteArray& output, const QString& logPath);

// The end of a run's log, at most `limit` bytes.
[[nodiscard]] QByteArray ReadLogTail(const QString& logPath, qint64 limit);

} // namespace lumivo
