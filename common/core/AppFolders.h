#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

namespace common {

// Where a program finds its data and keeps its user's state. A portable kit (the executable's
// folder is writable) keeps everything in that one folder. An installed kit reads its data from
// the kit folder and keeps the state in the user's freedesktop folders:
//   settings  $XDG_CONFIG_HOME/<program>/   (default ~/.config/<program>/)
//   userData  $XDG_DATA_HOME/<program>/     (default ~/.local/share/<program>/)
//   state     $XDG_STATE_HOME/<program>/    (default ~/.local/state/<program>/)
struct AppFolders {
    QString kit;      // the kit's data: word list, templates, history, tools, art
    QString settings; // the settings records
    QString userData; // the compiler folder and the default disk image folder
    QString state;    // run scripts and their logs
    bool installed = false;
    // Why some of the state is kept for this session only; "" when every folder is usable.
    QString problem;
    // The private folder that stands in for unusable ones; it is removed when the last copy goes.
    std::shared_ptr<QTemporaryDir> session;
};

// The user's base folders as the environment names them.
struct UserHomes {
    QString home;
    QString configHome; // XDG_CONFIG_HOME as set, possibly empty or relative
    QString dataHome;
    QString stateHome;

    [[nodiscard]] static UserHomes fromEnvironment();
};

// A file in the kit folder that marks a kit installed for a system or a user (cmake --install):
// it is installed even where the folder happens to be writable, such as for root or in ~/.local.
inline const QString InstalledKitMarker = QStringLiteral("installed-kit");

// Every role in one folder, exactly as a portable kit has it.
[[nodiscard]] AppFolders PortableFolders(const QString& kitFolder);

// Decides, once at start, which case applies to the kit in `kitFolder` and, for an installed kit,
// makes the per-user folders of `program` ("tarvel", "lumivo"). A folder that cannot be made or
// written is replaced by a private session folder (its existing files copied in, so the user's
// settings still load) and `problem` says which and why; nothing already on disk is changed.
[[nodiscard]] AppFolders DecideAppFolders(const QString& kitFolder, const QString& program, const UserHomes& homes);

} // namespace common
