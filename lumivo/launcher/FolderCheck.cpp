#include "FolderCheck.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace lumivo {

FolderCheck CheckFolder(const QString& folder)
{
    FolderCheck check;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) {
        check.problem = QString::fromLocal8Bit(std::strerror(errno));
        return check;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        // A name that does not come back as the same bytes cannot be shown, nor opened by its text.
        if (QFile::encodeName(QFile::decodeName(name)) != name)
            ++check.unshownNames;
    }
    ::closedir(dir);
    return check;
}

QString FolderCheckNote(const QString& folder, const FolderCheck& check)
{
    if (!check.problem.isEmpty())
        return QStringLiteral("The folder %1 cannot be read: %2.").arg(folder, check.problem);
    if (check.unshownNames == 0)
        return QString();
    return QStringLiteral("%1 of this folder cannot be shown: %2 not valid UTF-8 text. Rename %3 "
                          "(for example with convmv) to see %3 here.")
        .arg(check.unshownNames == 1 ? QStringLiteral("1 entry") : QStringLiteral("%1 entries").arg(check.unshownNames),
             check.unshownNames == 1 ? QStringLiteral("its name is") : QStringLiteral("their names are"),
             check.unshownNames == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

} // namespace lumivo
