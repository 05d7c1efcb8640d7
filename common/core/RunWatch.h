#pragma once

#include "core/Result.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace common {

// A program that was started without waiting for it, and the files its wrapper leaves.
struct StartedRun {
    qint64 pid = 0;     // the wrapper's process id; 0 when the starter could not tell
    QString logPath;    // the run's standard output and error
    QString statusPath; // "<process id> <exit status>", written when the run ends
};

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

// The last `count` non-empty lines of a run's output, as text; long lines are cut.
[[nodiscard]] QString LastLines(const QByteArray& output, int count);

// Reads "<process id> <status>" from a status file written for the run `pid` (0 accepts any run);
// false while there is no such status.
[[nodiscard]] bool ReadRunStatus(const QByteArray& bytes, qint64 pid, int* status);

// What the user is told about a run that failed at once.
[[nodiscard]] QString QuickFailureText(int exitStatus, const QString& lastLines);

// How much of a run's output a watched start keeps: its end, enough for the lines shown.
inline constexpr qint64 kKeptOutputBytes = 64 * 1024;

// The arguments for /bin/sh that run `program` with `arguments` (standard input from /dev/null),
// keep the last kKeptOutputBytes of what it prints in `log`, and then write
// "<the shell's process id> <exit status>" into `status`. However much the program prints, the
// log stays that small. Paths and arguments are passed as arguments, never as shell text.
[[nodiscard]] QStringList WatchedRunArguments(const QString& program, const QStringList& arguments,
                                              const QString& log, const QString& status);

// Starts `program` through that wrapper, detached: nothing waits for it. Old log and status files
// are removed first. Fails when the wrapper could not be started.
[[nodiscard]] Result<StartedRun> StartWatchedRun(const QString& program, const QStringList& arguments,
                                                 const QString& log, const QString& status);

} // namespace common
