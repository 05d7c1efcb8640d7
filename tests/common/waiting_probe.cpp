// Waits for a shell command the way the programs wait for their outside programs, so that a test
// can kill this process for real (SIGKILL) in the middle of the wait.
//
// Usage: waiting_probe COMMAND   runs /bin/sh -c COMMAND and waits for it; exits with its status.

#include "core/Process.h"

#include <QCoreApplication>
#include <QString>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const common::ShellOutcome outcome =
        common::RunProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLocal8Bit(argv[1])}, true);
    return outcome.finished ? outcome.exitCode : 3;
}
