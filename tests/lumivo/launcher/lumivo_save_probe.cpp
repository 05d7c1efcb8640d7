// Saves one of Lumivo's settings records as an unprivileged user, so that a read-only launcher
// folder really refuses new files also when the tests run as root.
//
// Usage: lumivo_save_probe frontend|brmsx FOLDER
// frontend writes the first-start front-end record; brmsx the default options with the folder
// "/b". Prints the error and exits 1 when the save reports failure.

#include "launcher/ModMSX.h"

#include <QString>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 3; // "nobody"
    const QString record = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    common::Status saved = common::Failure(QStringLiteral("unknown record"));
    if (record == QLatin1String("frontend")) {
        saved = lumivo::SaveFrontEndConfig(folder, lumivo::FrontEndConfig::defaults());
    } else if (record == QLatin1String("brmsx")) {
        lumivo::BrmsxOptions options;
        lumivo::InitBrmsxOptions(options, QStringLiteral("/b"));
        saved = lumivo::SaveBrmsxOptions(folder, options);
    }
    if (!saved) {
        std::printf("%s\n", saved.error().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
