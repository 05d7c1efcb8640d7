#pragma once

#include "launcher/ProgramRunner.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/types.h>

// Really starts what it is asked to (detached, as Lumivo does) and remembers each process id, so
// a test can find the emulator among the started process's descendants and end them all by id.
// Whatever is still running when the runner goes is ended then.
class StartingRunner final : public lumivo::ProgramRunner {
public:
    ~StartingRunner() override
    {
        // Only a run that is still Lumivo's (a process id may have been given to another
        // program since) is ended.
        for (qint64 pid : std::as_const(pids)) {
            if (commandLine(pid).contains(QStringLiteral("lumivo-run")))
                endTree(pid);
        }
    }

    QString findProgram(const QStringList& names) override { return m_system.findProgram(names); }

    bool startDetached(const QString& program, const QStringList& arguments, const QString& folder,
                       qint64* pid = nullptr) override
    {
        qint64 started = 0;
        const bool ok = m_system.startDetached(program, arguments, folder, &started);
        if (ok)
            pids.append(started);
        if (pid)
            *pid = started;
        return ok;
    }

    // The running processes below `pid` (children, their children, ...), from /proc.
    static QList<qint64> descendants(qint64 pid)
    {
        QList<qint64> found;
        QList<qint64> parents{pid};
        while (!parents.isEmpty()) {
            const qint64 parent = parents.takeFirst();
            const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                bool numeric = false;
                const qint64 child = entry.toLongLong(&numeric);
                if (numeric && parentOf(child) == parent && !found.contains(child)) {
                    found.append(child);
                    parents.append(child);
                }
            }
        }
        return found;
    }

    // The command line of a running process, one entry per argument.
    static QStringList commandLine(qint64 pid)
    {
        QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList words;
        for (const QByteArray& word : file.readAll().split('\0')) {
            if (!word.isEmpty())
                words.append(QFile::decodeName(word));
        }
        return words;
    }

    // Ends the process and everything below it, by process id.
    static void endTree(qint64 pid)
    {
        const QList<qint64> below = descendants(pid);
        for (qint64 each : below)
            ::kill(static_cast<pid_t>(each), SIGKILL);
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }

    QList<qint64> pids;

private:
    static qint64 parentOf(qint64 pid)
    {
        QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray stat = file.readAll();
        const qsizetype close = stat.lastIndexOf(')');
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
    }

    lumivo::SystemProgramRunner m_system;
};
