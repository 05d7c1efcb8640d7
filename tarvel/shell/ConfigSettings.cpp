#include "shell/ConfigSettings.h"

#include "core/BinaryRecord.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"

#include <QFile>

namespace tarvel {

bool ConfigSettings::operator==(const ConfigSettings& other) const
{
    return EmulatorPath == other.EmulatorPath && EmulatorCommandLine == other.EmulatorCommandLine
        && RecentFiles == other.RecentFiles && DiskImagePath == other.DiskImagePath
        && RegisterTpj == other.RegisterTpj && AutoSave == other.AutoSave
        && ShowNewProjectDialog == other.ShowNewProjectDialog && AutoTooltip == other.AutoTooltip;
}

QString SettingsFilePath(const QString& applicationDirectory)
{
    return common::AddBackslash(applicationDirectory) + QStringLiteral("config.cfg");
}

QString MachineCheckCachePath(const QString& applicationDirectory)
{
    return common::AddBackslash(applicationDirectory) + QStringLiteral("machines.cache");
}

void SetDefaultSettings(ConfigSettings& settings, const QString& applicationDirectory)
{
    settings.EmulatorPath.clear();
    settings.EmulatorCommandLine = QStringLiteral("-diska %dsk -msx2");
    for (QString& slot : settings.RecentFiles)
        slot.clear();
    settings.DiskImagePath = common::AddBackslash(applicationDirectory) + QStringLiteral("dsk/");
    settings.RegisterTpj = false;
    settings.AutoSave = false;
    settings.ShowNewProjectDialog = true;
    settings.AutoTooltip = true;
}

QByteArray EncodeSettings(const ConfigSettings& settings)
{
    common::RecordWriter writer;
    // Paths, and the emulator's command line that may hold paths, are stored in the file
    // system's own bytes so that no character of a folder name is lost.
    writer.writePath(settings.EmulatorPath);
    writer.writePath(settings.EmulatorCommandLine);
    for (const QString& slot : settings.RecentFiles)
        writer.writePath(slot);
    writer.writePath(settings.DiskImagePath);
    writer.writeBool16(settings.RegisterTpj);
    writer.writeBool16(settings.AutoSave);
    writer.writeBool16(settings.ShowNewProjectDialog);
    writer.writeBool16(settings.AutoTooltip);
    return writer.bytes();
}

namespace {

bool decodeSettings(common::RecordReader& reader, ConfigSettings& settings)
{
    reader.readPath(settings.EmulatorPath);
    reader.readPath(settings.EmulatorCommandLine);
    for (QString& slot : settings.RecentFiles)
        reader.readPath(slot);
    reader.readPath(settings.DiskImagePath);
    reader.readBool16(settings.RegisterTpj);
    reader.readBool16(settings.AutoSave);
    reader.readBool16(settings.ShowNewProjectDialog);
    reader.readBool16(settings.AutoTooltip);
    return reader.complete();
}

} // namespace

bool DecodeSettings(const QByteArray& bytes, ConfigSettings& settings)
{
    common::RecordReader reader(bytes);
    return decodeSettings(reader, settings);
}

void LoadSettingsFile(ConfigSettings& settings, const QString& applicationDirectory)
{
    LoadSettingsFile(settings, applicationDirectory, applicationDirectory);
}

void LoadSettingsFile(ConfigSettings& settings, const QString& settingsFolder, const QString& userDataFolder)
{
    SetDefaultSettings(settings, userDataFolder);
    ReadSettingsFileOver(settings, settingsFolder);
}

bool ReadSettingsFileOver(ConfigSettings& settings, const QString& settingsFolder)
{
    const QString path = SettingsFilePath(settingsFolder);
    if (!common::FileExists(path))
        return false;
    const common::Result<std::unique_ptr<QFile>> file = common::OpenRegularFile(path);
    if (!file)
        return false;
    common::RecordReader reader(*file.value());
    decodeSettings(reader, settings);
    return true;
}

common::Status SaveSettingsFile(const ConfigSettings& settings, const QString& applicationDirectory)
{
    return common::WriteSettingsRecord(SettingsFilePath(applicationDirectory), EncodeSettings(settings));
}

namespace {

bool HoldsPath(const std::array<QString, 5>& recent, const QString& path)
{
    for (const QString& slot : recent) {
        if (common::AsciiEqualsNoCase(slot, path))
            return true;
    }
    return false;
}

template <typename T>
void TakeChanged(const T& base, const T& ours, T& merged)
{
    if (!(ours == base))
        merged = ours;
}

} // namespace

ConfigSettings MergeSettings(const ConfigSettings& base, const ConfigSettings& ours, const ConfigSettings& theirs)
{
    ConfigSettings merged = theirs;
    TakeChanged(base.EmulatorPath, ours.EmulatorPath, merged.EmulatorPath);
    TakeChanged(base.EmulatorCommandLine, ours.EmulatorCommandLine, merged.EmulatorCommandLine);
    TakeChanged(base.DiskImagePath, ours.DiskImagePath, merged.DiskImagePath);
    TakeChanged(base.RegisterTpj, ours.RegisterTpj, merged.RegisterTpj);
    TakeChanged(base.AutoSave, ours.AutoSave, merged.AutoSave);
    TakeChanged(base.ShowNewProjectDialog, ours.ShowNewProjectDialog, merged.ShowNewProjectDialog);
    TakeChanged(base.AutoTooltip, ours.AutoTooltip, merged.AutoTooltip);

    // Removed here: gone from the file's list too, the later entries closing up.
    for (const QString& old : base.RecentFiles) {
        if (old.isEmpty() || HoldsPath(ours.RecentFiles, old))
            continue;
        for (int i = 0; i < RecentFileSlots; ++i) {
            if (!merged.RecentFiles[i].isEmpty() && common::AsciiEqualsNoCase(merged.RecentFiles[i], old)) {
                RemoveRecentSlot(merged.RecentFiles, i);
                break;
            }
        }
    }
    // Added here: in front, in this program's order (its newest first).
    for (int i = RecentFileSlots - 1; i >= 0; --i) {
        const QString& added = ours.RecentFiles[i];
        if (!added.isEmpty() && !HoldsPath(base.RecentFiles, added))
            AddRecentPath(merged.RecentFiles, added);
    }
    return merged;
}

bool AddRecentPath(std::array<QString, 5>& recent, const QString& path)
{
    for (const QString& slot : recent) {
        if (common::AsciiEqualsNoCase(slot, path))
            return false;
    }
    for (int i = RecentFileSlots - 1; i > 0; --i)
        recent[i] = recent[i - 1];
    recent[0] = path;
    return true;
}

int RemoveRecentSlot(std::array<QString, 5>& recent, int index)
{
    // The entries after `index` move up one place, and every other non-empty entry is kept in its
    // order. In a list without gaps that is the plain shift that empties the last used slot; a
    // list with gaps (a damaged or hand-edited config.cfg) closes up instead of losing entries.
    std::array<QString, 5> kept;
    int count = 0;
    for (int i = 0; i < RecentFileSlots; ++i) {
        if (i != index && !recent[i].isEmpty())
            kept[count++] = recent[i];
    }
    recent = kept;
    return count < RecentFileSlots ? count : RecentFileSlots - 1;
}

} // namespace tarvel
