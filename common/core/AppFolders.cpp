#include "core/AppFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace common {

namespace {

bool writableFolder(const QString& path)
{
    return QFileInfo(path).isDir() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// The base folder a freedesktop variable names; a relative or empty value counts as unset.
QString baseFolder(const QString& configured, const QString& home, const QString& fallback)
{
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        return QString();
    return QDir::cleanPath(home + QLatin1Char('/') + fallback);
}

// Why `folder` cannot hold the program's files after trying to make it; "" when it can.
QString prepareFolder(const QString& folder)
{
    if (folder.isEmpty())
        return QStringLiteral("no home folder is known (HOME is not set)");
    // The first part of the path that exists must be a folder, or nothing can be made below it.
    QString existing = folder;
    while (!QFileInfo::exists(existing) && QFileInfo(existing).path() != existing)
        existing = QFileInfo(existing).path();
    if (!QFileInfo(existing).isDir())
        return QStringLiteral("%1 is not a folder").arg(existing);
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return QStringLiteral("it cannot be created");
    if (!writableFolder(folder))
        return QStringLiteral("it is read-only");
    return QString();
}

struct Role {
    QString* path;
    const char* what;
};

} // namespace

UserHomes UserHomes::fromEnvironment()
{
    return {qEnvironmentVariable("HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"), qEnvironmentVariable("XDG_DATA_HOME"),
            qEnvironmentVariable("XDG_STATE_HOME")};
}

AppFolders PortableFolders(const QString& kitFolder)
{
    AppFolders folders;
    folders.kit = kitFolder;
    folders.settings = kitFolder;
    folders.userData = kitFolder;
    folders.state = kitFolder;
    return folders;
}

AppFolders DecideAppFolders(const QString& kitFolder, const QString& program, const UserHomes& homes)
{
    if (writableFolder(kitFolder) && !QFileInfo(kitFolder + QLatin1Char('/') + InstalledKitMarker).exists())
        return PortableFolders(kitFolder);

    AppFolders folders;
    folders.kit = kitFolder;
    folders.installed = true;
    auto under = [&](const QString& base) { return base.isEmpty() ? QString() : base + QLatin1Char('/') + program; };
    folders.settings = under(baseFolder(homes.configHome, homes.home, QStringLiteral(".config")));
    folders.userData = under(baseFolder(homes.dataHome, homes.home, QStringLiteral(".local/share")));
    folders.state = under(baseFolder(homes.stateHome, homes.home, QStringLiteral(".local/state")));

    QStringList problems;
    const Role roles[] = {{&folders.settings, "settings"}, {&folders.userData, "data"}, {&folders.state, "run files"}};
    for (const Role& role : roles) {
        const QString why = prepareFolder(*role.path);
        if (why.isEmpty())
            continue;
        if (!folders.session)
            folders.session = std::make_shared<QTemporaryDir>();
        const QString stand = folders.session->isValid()
            ? folders.session->path() + QLatin1Char('/') + QString::fromLatin1(role.what).replace(QLatin1Char(' '), QLatin1Char('-'))
            : QString();
        problems.append(QStringLiteral("The folder for %1 (%2) cannot be used: %3.")
                            .arg(QString::fromLatin1(role.what),
                                 role.path->isEmpty() ? QStringLiteral("unknown") : QDir::toNativeSeparators(*role.path), why));
        // What the folder already holds still loads; changes stay in the session folder.
        if (!stand.isEmpty() && QDir().mkpath(stand)) {
            const QFileInfoList files = QDir(*role.path).entryInfoList(QDir::Files | QDir::Readable);
            for (const QFileInfo& file : files)
                QFile::copy(file.absoluteFilePath(), stand + QLatin1Char('/') + file.fileName());
            *role.path = stand;
        }
    }
    if (!problems.isEmpty()) {
        problems.append(folders.session && folders.session->isValid()
                            ? QStringLiteral("Changes to them are kept for this session only and are not saved.")
                            : QStringLiteral("Changes to them cannot be saved."));
        folders.problem = problems.join(QLatin1Char('\n'));
    }
    return folders;
}

} // namespace common
