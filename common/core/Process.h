#pragma once

#include <QString>
#include <QStringList>

namespace common {

struct ShellOutcome {
    bool started = false;  // false when the program could not be started
    bool finished = false; // true when waited for and the program ended by itself (no signal)
    bool stopped = false;  // true when the wait was cut short; the program was ended, see below
    int exitCode = -1;     // valid when finished
};

// Starts a command line as a new process. The line is split into program and arguments the way
// QProcess::splitCommand does (quotes group words); no shell sees it. `show` needs nothing here.
// With `wait`, a local event loop runs until the process ends, so windows repaint, timers tick
// and clicks are handled meanwhile; there is no overall time limit. Without `wait` the process is
// started detached and the call returns at once.
//
// A waited-for program runs in a session (and process group) of its own. When the wait is cut
// short before the program ended (the application quits: QCoreApplication::exit ends every event
// loop), that whole process group is killed, so nothing the program started lives on to write
// its files later, and the outcome is `stopped`, never `finished`. When this program dies during
// the wait without ending the group (SIGKILL, a crash), a watcher in the group ends it.
[[nodiscard]] ShellOutcome ShellAndWait(const QString& commandLine, bool show, bool wait);

// The same with the program and its arguments given apart.
[[nodiscard]] ShellOutcome RunProgram(const QString& program, const QStringList& arguments, bool wait,
                                      const QString& workingDirectory = QString());

// The first of `candidates` found on PATH, or "".
[[nodiscard]] QString FindOnPath(const QStringList& candidates);

} // namespace common
