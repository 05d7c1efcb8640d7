#pragma once

#include "core/OpenMsxMachineCheck.h"

#include <QList>
#include <QString>

#include <optional>

namespace tarvel {

struct ConfigSettings;

// Added to a message when Build or Compile and Run stops because something it needs is missing.
inline constexpr char kSeeCheckSetup[] = "\n\nTools > Check Setup... lists what Build and Compile and Run need.";

// One thing Build or Compile and Run needs: whether it is ready, what was found, and what to do.
struct SetupRow {
    QString item;
    bool ready = false;
    QString state;
    QString action; // "" when ready
};

// The openMSX machine a command line chooses and what is known about it; nothing when the
// emulator is not openMSX.
struct ChosenMachine {
    QString name; // "" for openMSX's default machine
    common::MachineCheck check;
};

// The rows of the setup check, made by the same functions Build and Compile and Run use: the
// compiler and its run-time file (in `userDataDir`), dsktool (in `kitDir`) and mtools, the
// emulator program, the chosen machine, the boot disk and the disk image folder (which must be
// writable and outside the project).
[[nodiscard]] QList<SetupRow> CheckSetup(const QString& kitDir, const QString& userDataDir, const ConfigSettings& settings,
                                         const QString& projectDir, const std::optional<ChosenMachine>& machine);

// Whether `folder` is `projectDir` or lies inside it (both as they are on disk).
[[nodiscard]] bool FolderInside(const QString& folder, const QString& projectDir);

} // namespace tarvel
