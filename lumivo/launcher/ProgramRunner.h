#pragma once

#include <QString>
#include <QStringList>

namespace lumivo {

// Finds and starts outside programs. The windows take one through their constructor so that
// tests can see what would be started without starting it.
class ProgramRunner {
public:
    virtual ~ProgramRunner() = default;

    // The full path of the first of `names` found on PATH, or "".
    virtual QString findProgram(const QStringList& names) = 0;

    // Starts the program without waiting for it; false when it could not be started. `pid`, when
    // given, receives the started process's id.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingDirectory, qint64* pid = nullptr) = 0;
};

// The real thing: PATH look-up and detached processes.
class SystemProgramRunner final : public ProgramRunner {
public:
    QString findProgram(const QStringList& names) override;
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory, qint64* pid = nullptr) override;
};

} // namespace lumivo
