#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace tarvel {

// Tarvel's preferences and recent files, stored whole in config.cfg in the application folder.
struct ConfigSettings {
    QString EmulatorPath;
    QString EmulatorCommandLine;
    std::array<QString, 5> RecentFiles; // slot 0 the most recent; "" marks an unused slot
    QString DiskImagePath;
    bool RegisterTpj = false;
    bool AutoSave = false;
    bool ShowNewProjectDialog = false;
    bool AutoTooltip = false;

    bool operator==(const ConfigSettings& other) const;
    bool operator!=(const ConfigSettings& other) const { return !(*this == other); }
};

inline constexpr int RecentFileSlots = 5;

// The path of config.cfg in an application folder.
[[nodiscard]] QString SettingsFilePath(const QString& applicationDirectory);

// The file that keeps which openMSX machines can start, beside the settings.
[[nodiscard]] QString MachineCheckCachePath(const QString& applicationDirectory);

// The defaults of a first start; nothing is written.
void SetDefaultSettings(ConfigSettings& settings, const QString& applicationDirectory);

// The record as stored: the fields in order, strings as a 16-bit length and their bytes (paths
// and the command line in the file system's own bytes), booleans as 16-bit 0 / -1.
[[nodiscard]] QByteArray EncodeSettings(const ConfigSettings& settings);

// Reads a record into `settings`. A record cut short (an older or damaged file) fills the fields
// it holds completely; the first incomplete field and every field after it keep the values
// `settings` had. Bytes after the record are ignored. Returns true when the record was complete.
bool DecodeSettings(const QByteArray& bytes, ConfigSettings& settings);

// Loads config.cfg when it can be read, else the defaults. A short file keeps the defaults for
// the fields it lacks. Never writes.
void LoadSettingsFile(ConfigSettings& settings, const QString& applicationDirectory);
// The same with config.cfg in `settingsFolder` and the defaults' folders under `userDataFolder`.
void LoadSettingsFile(ConfigSettings& settings, const QString& settingsFolder, const QString& userDataFolder);

// Reads config.cfg in `settingsFolder` over `settings`: the fields the file holds replace theirs, the others are
// kept. False, with `settings` untouched, when there is no file or it cannot be read.
bool ReadSettingsFileOver(ConfigSettings& settings, const QString& settingsFolder);

// Writes config.cfg atomically (in place when the folder takes no new file but the file is
// writable): on failure the old file is left as it was.
[[nodiscard]] common::Status SaveSettingsFile(const ConfigSettings& settings, const QString& applicationDirectory);

// The record to write when this program changed `base` (the record it last read or wrote) into
// `ours` while another program may have written `theirs` to the file meanwhile: every field this
// program changed takes its value, every other field keeps the file's. Recent entries this
// program added go to the front of the file's list, entries it removed leave it, and the
// entries the other program added stay.
[[nodiscard]] ConfigSettings MergeSettings(const ConfigSettings& base, const ConfigSettings& ours, const ConfigSettings& theirs);

// Puts `path` into slot 0 and moves the others down, the oldest dropping out. A path already in
// the list (compared without regard to ASCII letter case) changes nothing; returns false then.
bool AddRecentPath(std::array<QString, 5>& recent, const QString& path);

// Removes the entry at `index`: the later entries move up one place and the last used slot is
// emptied. Entries after a gap (an empty slot between used ones) close up too, so every other
// entry is kept. Returns the first empty slot, which was the last one used.
int RemoveRecentSlot(std::array<QString, 5>& recent, int index);

} // namespace tarvel
