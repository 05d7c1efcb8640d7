#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>

namespace lumivo {

// What the openMSX Setup window keeps, in openmsx.cfg beside the other settings files.
struct OpenMsxSettings {
    QString Program;   // the openMSX program; "" finds openmsx on the PATH
    QString Machine;   // a machine name of openMSX; "" leaves openMSX's own default
    QString Arguments; // more arguments, split like a command line (quotes group words)

    bool operator==(const OpenMsxSettings& other) const
    {
        return Program == other.Program && Machine == other.Machine && Arguments == other.Arguments;
    }
};

[[nodiscard]] QString OpenMsxSettingsPath(const QString& launcherFolder);

// The file that keeps which openMSX machines can start, beside the openMSX settings.
[[nodiscard]] QString MachineCheckCachePath(const QString& launcherFolder);

// The record: a 16-bit format number (1), then the three texts as 16-bit length and the file
// system's bytes. It is always written whole, so anything else is damage.
[[nodiscard]] QByteArray EncodeOpenMsxSettings(const OpenMsxSettings& settings);
// The settings, or why the bytes are not a record of this format.
[[nodiscard]] common::Result<OpenMsxSettings> DecodeOpenMsxSettings(const QByteArray& bytes);

// A missing file gives the defaults (all empty); an unreadable or damaged one fails with the
// reason, and the caller uses the defaults without writing over the file.
[[nodiscard]] common::Result<OpenMsxSettings> LoadOpenMsxSettings(const QString& launcherFolder);
// Atomic; in a folder that takes no new files a writable file is written in place.
[[nodiscard]] common::Status SaveOpenMsxSettings(const QString& launcherFolder, const OpenMsxSettings& settings);

} // namespace lumivo
