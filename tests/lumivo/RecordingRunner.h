#pragma once

#include "launcher/ProgramRunner.h"

#include <QList>
#include <QString>
#include <QStringList>

// Stands in for the program runner: finds what the test says is installed and records each start
// instead of starting anything.
class RecordingRunner final : public lumivo::ProgramRunner {
public:
    struct Start {
        QString program;
        QStringList arguments;
        QString folder;
    };

    QString findProgram(const QStringList& names) override
    {
        for (const QString& name : names) {
            if (installed.contains(name))
                return QStringLiteral("/usr/games/") + name;
        }
        return QString();
    }

    bool startDetached(const QString& program, const QStringList& arguments, const QString& folder,
                       qint64* pid = nullptr) override
    {
        starts.append({program, arguments, folder});
        if (pid)
            *pid = 0;
        return startWorks;
    }

    QStringList installed;
    bool startWorks = true;
    QList<Start> starts;
};
