#pragma once

#include <QString>
#include <QStringList>

namespace lumivo {

struct BrmsxOptions;

// One emulator start as data: the folder to change to, the program and its arguments. The
// script renderer turns it into text; nothing here splits or joins a command line.
struct EmulatorCommand {
    QString folder;        // with a trailing '/'
    QString program;       // "./name" for a program inside `folder`, or a full path
    QStringList arguments;
};

// What the browser has chosen when Run is pressed.
struct RunSelection {
    int kind = 0;          // the selected kind button, 0..3 (see ImageKind.h)
    QString folder;        // the folder shown in the folder list
    QString fileName;      // the file selected in the file list, "" when none
};

// Why no command could be built; the window tells the user.
enum class RunProblem { None, BrmsxNotConfigured, NoFileSelected, FmsxNotFound, FmsxCannotRunFolder };

struct CommandOutcome {
    RunProblem problem = RunProblem::None;
    EmulatorCommand command; // valid when problem is None
};

// The path of BR-MSX's program in `folder`: brmsx.exe in any letter case (copies from FAT media
// are often BRMSX.EXE), as it is named on disk; "" when the folder holds none.
[[nodiscard]] QString FindBrmsx(const QString& folder);

// BR-MSX: the image option for the chosen kind, then the options of `options` in BR-MSX's order.
// The emulator runs in options.BrmsxFolder as it is (a folder holding blanks is fine), under the
// name its program has there.
[[nodiscard]] CommandOutcome BuildBrmsxCommand(const RunSelection& selection, const BrmsxOptions& options);

// The option words that `options` gives, in order, starting with " -msx2"'s "-msx2" and always
// holding "-noenter". Values follow their option as a word of their own ("-mapper", "2").
[[nodiscard]] QStringList BrmsxOptionArguments(const BrmsxOptions& options);

// F-MSX (`fmsxPath` as found on PATH, "" when not found): a disk image goes to drive A, a tape
// to the tape drive, a ROM in as the cartridge. It cannot run a folder. It runs in the image's folder.
[[nodiscard]] CommandOutcome BuildFmsxCommand(const RunSelection& selection, const QString& fmsxPath);

} // namespace lumivo
