#pragma once

#include <QString>

namespace lumivo {

// What the browser cannot show of a folder, read from the file system's own entries.
struct FolderCheck {
    QString problem;     // why the folder cannot be read ("Permission denied"); "" when it can
    int unshownNames = 0; // entries whose names are not valid text (UTF-8), which no list can show
};

[[nodiscard]] FolderCheck CheckFolder(const QString& folder);

// The note the browser shows for a check, or "" when everything can be shown.
[[nodiscard]] QString FolderCheckNote(const QString& folder, const FolderCheck& check);

} // namespace lumivo
