#pragma once

#include "ModMSX.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

namespace lumivo {

// Looks after a started run for its first moments without waiting for it: when the run ends
// within the window with a non-zero status (the emulator refused its arguments, a file was
// missing), it reports the last lines the run printed. A run still going after the window, or one
// that ended well, is left alone. It deletes itself when done.
class RunWatch final : public QObject {
    Q_OBJECT
public:
    // How long after the start an exit counts as failing at once.
    static constexpr int kQuickFailureMs = 3000;

    RunWatch(StartedRun run, int windowMs, QObject* parent = nullptr);

signals:
    void failedAtOnce(int exitStatus, const QString& lastLines);

private:
    void poll();

    StartedRun m_run;
    QDeadlineTimer m_deadline;
    QTimer m_timer;
};

// The last `count` non-empty lines of a run's output, as text.
[[nodiscard]] QString LastLines(const QByteArray& output, int count);

// Reads "<process id> <status>" from a status file written for the run `pid` (0 accepts any run);
// false while there is no such status.
[[nodiscard]] bool ReadRunStatus(const QByteArray& bytes, qint64 pid, int* status);

} // namespace lumivo
