#pragma once

#include <QString>
#include <QStringList>

namespace tarvel {

// The emulators Preferences can fill in for the user: the path and the command line that start
// them on the disk image ("%dsk"). Custom leaves both as typed.
enum class EmulatorPreset { OpenMsx, Fmsx, Custom };

// The names shown for the presets, in this order.
[[nodiscard]] QStringList EmulatorPresetNames();

// The program names a preset looks for on PATH (none for Custom).
[[nodiscard]] QStringList PresetProgramNames(EmulatorPreset preset);

// Said when a preset's program is not on PATH: that it was not found, and the Debian package
// that installs it.
[[nodiscard]] QString PresetProgramMissingText(EmulatorPreset preset);

// openMSX: "-machine <machine> -diska %dsk"; without a machine, openMSX's own default machine
// ("-diska %dsk"). A machine name with a blank is quoted.
[[nodiscard]] QString OpenMsxCommandLine(const QString& machine);
// fMSX: "-diska %dsk -msx2".
[[nodiscard]] QString FmsxCommandLine();

// The preset a path and command line stand for: the program's name starts with "openmsx" or
// "fmsx" (any case) and the command line is that preset's, word for word; otherwise Custom.
[[nodiscard]] EmulatorPreset DetectEmulatorPreset(const QString& emulatorPath, const QString& commandLine);

// The machine an openMSX command line names ("-machine X"); "" when none.
[[nodiscard]] QString OpenMsxMachineOf(const QString& commandLine);

// Whether the program's file name starts with `name` (any case).
[[nodiscard]] bool ProgramNamed(const QString& path, const QString& name);

} // namespace tarvel
