#pragma once

#include "EmulatorCommand.h"

#include <QString>
#include <QStringList>

namespace lumivo {

struct OpenMsxSettings;

// Splits the extra arguments the way a user writes them on a command line: blanks separate words,
// double or single quotes group a word (and are dropped). Nothing else is special: "$(...)", ';'
// or '*' stay part of a word, so nothing can run.
[[nodiscard]] QStringList SplitArguments(const QString& text);

// openMSX: [-machine NAME] [extra arguments] then the image: a disk or a folder to drive A
// ("-diska"), a ROM as cartridge ("-cart"), a tape into the cassette player ("-cassetteplayer").
// It runs in the image's folder. `programPath` is the program to start ("" when none was found);
// `machines` the machine names openMSX has, or empty when they are not known (then any machine
// name is passed on).
[[nodiscard]] CommandOutcome BuildOpenMsxCommand(const RunSelection& selection, const OpenMsxSettings& settings,
                                                 const QString& programPath, const QStringList& machines);

} // namespace lumivo
