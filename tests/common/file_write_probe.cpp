// Writes a file the way the programs save, under conditions a test cannot set up in its own
// process: a file-size limit (a disk that fills up) or an unprivileged user (so that a read-only
// folder really refuses new files, also when the tests run as root).
//
// Usage: file_write_probe [--fsize BYTES] [--unprivileged] atomic|record PATH SIZE
// Writes SIZE bytes of 'n'; prints the error and exits 1 when the write reports failure.

#include "core/TextFile.h"

#include <QByteArray>
#include <QString>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    int arg = 1;
    long fsize = -1;
    bool unprivileged = false;
    while (arg < argc && std::strncmp(argv[arg], "--", 2) == 0) {
        if (std::strcmp(argv[arg], "--fsize") == 0 && arg + 1 < argc) {
            fsize = std::atol(argv[arg + 1]);
            arg += 2;
        } else if (std::strcmp(argv[arg], "--unprivileged") == 0) {
            unprivileged = true;
            ++arg;
        } else {
            return 2;
        }
    }
    if (argc - arg != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[arg]);
    const QString path = QString::fromLocal8Bit(argv[arg + 1]);
    const QByteArray bytes(std::atoi(argv[arg + 2]), 'n');

    if (unprivileged && geteuid() == 0) {
        // "nobody": root would write into a read-only folder.
        if (setgid(65534) != 0 || setuid(65534) != 0)
            return 3;
    }
    if (fsize >= 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = static_cast<rlim_t>(fsize);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
    }
    const common::Status status = mode == QLatin1String("record") ? common::WriteSettingsRecord(path, bytes)
                                                                    : common::WriteFileAtomic(path, bytes);
    if (!status) {
        std::printf("%s\n", status.error().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
