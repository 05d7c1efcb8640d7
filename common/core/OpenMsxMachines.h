#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace common {

// The folders where openMSX keeps its machine descriptions (*.xml): the system's (beside the
// program, or where OPENMSX_SYSTEM_DATA points) and the user's (~/.openMSX/share, or where
// OPENMSX_USER_DATA points). Only folders that exist are listed.
[[nodiscard]] QStringList OpenMsxMachineFolders(const QString& programPath);

// The machine names found in `folders` (the *.xml file names without ".xml", and the subfolders
// that hold a hardwareconfig.xml), sorted, each once.
[[nodiscard]] QStringList ListOpenMsxMachines(const QStringList& folders);

// The description of machine `name`: <folder>/<name>.xml, or <folder>/<name>/hardwareconfig.xml,
// from the first folder that has one; "" when none does.
[[nodiscard]] QString OpenMsxMachineFile(const QStringList& folders, const QString& name);

// Whether a machine description has a disk drive: a device (a floppy disk controller) that
// declares <drives> with a number above 0. openMSX's own descriptions are not all well-formed
// XML; those are searched as text. Nothing when a description is neither, so the caller cannot
// tell.
[[nodiscard]] std::optional<bool> MachineHasDiskDrive(const QByteArray& machineXml);

} // namespace common
