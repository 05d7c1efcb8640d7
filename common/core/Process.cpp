#include "core/Process.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace common {

namespace {

// The lifeline of a waited program's process group: a socket pair whose one end only this program
// holds. A watcher process in the group waits on the other end. One byte means the wait is over
// and the group may stay as it is; the end of the stream without a byte means this program died
// without ending the group (a SIGKILL, a crash), and the watcher ends the whole group.
class GroupLifeline {
public:
    GroupLifeline()
    {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0) {
            m_watched = ends[0];
            m_held = ends[1];
        }
    }
    ~GroupLifeline()
    {
        for (const int end : {m_watched, m_held}) {
            if (end >= 0)
                ::close(end);
        }
    }
    GroupLifeline(const GroupLifeline&) = delete;
    GroupLifeline& operator=(const GroupLifeline&) = delete;

    // Runs in the started child after setsid(), before the program is run: starts the watcher in
    // the child's group. It is forked twice, so it is no child of the program, which might wait
    // for all its children. Only async-signal-safe calls, as this program may have other threads.
    void startWatcher() const
    {
        if (m_watched < 0)
            return;
        const pid_t middle = ::fork();
        if (middle < 0)
            return;
        if (middle > 0) {
            while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
            }
            return;
        }
        if (::fork() != 0)
            ::_exit(0);
        // The watcher keeps its own end only: the other one must close with this program.
        if (m_watched > 0)
            ::close_range(0, unsigned(m_watched) - 1, 0);
        ::close_range(unsigned(m_watched) + 1, ~0U, 0);
        char byte = 0;
        ssize_t got = 0;
        do
            got = ::recv(m_watched, &byte, 1, 0);
        while (got < 0 && errno == EINTR);
        if (got == 0)
            ::kill(0, SIGKILL); // the group, the watcher with it
        ::_exit(0);
    }

    // The wait is over: the watcher goes without ending anything. (A watcher already gone,
    // ended with the group by the program itself, raises no SIGPIPE here.)
    void release()
    {
        if (m_held < 0)
            return;
        const char byte = 1;
        while (::send(m_held, &byte, 1, MSG_NOSIGNAL) < 0 && errno == EINTR) {
        }
        ::close(m_held);
        m_held = -1;
    }

private:
    int m_watched = -1;
    int m_held = -1;
};

} // namespace

ShellOutcome ShellAndWait(const QString& commandLine, bool show, bool wait)
{
    Q_UNUSED(show)
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return {};
    const QString program = words.takeFirst();
    return RunProgram(program, words, wait);
}

ShellOutcome RunProgram(const QString& program, const QStringList& arguments, bool wait,
                        const QString& workingDirectory)
{
    ShellOutcome outcome;
    if (program.isEmpty())
        return outcome;
    if (!wait) {
        outcome.started = QProcess::startDetached(program, arguments, workingDirectory);
        return outcome;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    // A session of its own: its process group holds the program and all it starts, and can be
    // ended as a whole, also by the watcher when this program dies during the wait.
    GroupLifeline lifeline;
    process.setChildProcessModifier([&lifeline] {
        ::setsid();
        lifeline.startWatcher();
    });

    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    process.start();
    if (!process.waitForStarted(-1))
        return outcome;
    outcome.started = true;
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        // The wait was cut short. The program is still running; it and everything it started
        // end now, while its group id cannot have been reused (the leader is not yet reaped).
        const qint64 group = process.processId();
        if (group > 0)
            ::kill(-static_cast<pid_t>(group), SIGKILL);
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished(-1);
        outcome.stopped = true;
        return outcome;
    }
    lifeline.release();
    outcome.finished = process.exitStatus() == QProcess::NormalExit;
    outcome.exitCode = process.exitCode();
    return outcome;
}

QString FindOnPath(const QStringList& candidates)
{
    for (const QString& name : candidates) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

} // namespace common
