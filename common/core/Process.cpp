#include "core/Process.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

#include <signal.h>
#include <unistd.h>

namespace common {

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
    // ended as a whole.
    process.setChildProcessModifier([] { ::setsid(); });

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
