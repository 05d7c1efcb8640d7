#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

namespace tarvel {

// What the main window remembers between runs beyond config.cfg: its place and size, the
// panes, how tall the user made the compilation monitor, and two start-up choices. Kept in a small
// text file of its own beside config.cfg, one "key=value" line per field, so config.cfg keeps
// its layout.
struct WindowState {
    QRect geometry;              // the window's normal (not maximised) place and size; null: none saved
    bool maximised = false;
    int treeWidth = 0;           // pixels; 0: the default width
    bool split = false;          // the editor split into two panes
    int splitPosition = 0;       // pixels of the upper pane; 0: half
    int monitorHeight = 0;       // pixels of the monitor docked under the editor; 0: the default
    bool reopenLastProject = false;
    QString lastProjectFolder;   // the folder of the last project opened or created

    bool operator==(const WindowState& other) const;
};

// The state file beside the settings file at `settingsFilePath`.
[[nodiscard]] QString WindowStateFilePath(const QString& settingsFilePath);

[[nodiscard]] QByteArray EncodeWindowState(const WindowState& state);
// A field that is missing or cannot be read keeps its default; unknown lines are skipped.
[[nodiscard]] WindowState DecodeWindowState(const QByteArray& bytes);

// The defaults when the file is missing or unreadable.
[[nodiscard]] WindowState LoadWindowState(const QString& path);
// Replaces the file atomically; on failure the old file stays whole.
[[nodiscard]] common::Status SaveWindowState(const QString& path, const WindowState& state);

// True when enough of `window` (its top edge, where it is grabbed) lies on one of `screens` for
// the user to reach it.
[[nodiscard]] bool ReachableOnScreens(const QRect& window, const QList<QRect>& screens);

} // namespace tarvel
