#include "core/Process.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

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
