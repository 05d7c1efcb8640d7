#pragma once

#include "core/Dosbox.h"

#include <QString>
#include <QStringList>

namespace lumivo {

struct BrmsxOptions;
struct OpenMsxSettings;

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
    QString folder;        // the folder to run from: the open folder, or for DIR the highlighted one
    QString fileName;      // the file selected in the file list, "" when none
};

// Why no command could be built; the window tells the user (ProblemText).
enum class RunProblem {
    None,
    BrmsxNotConfigured,
    NoFileSelected,
    FmsxNotFound,
    FmsxCannotRunFolder,
    DosboxNotFound,       // BR-MSX is a DOS program and DOSBox is not installed
    NotReachableFromDos,  // detail: a file name that is not a DOS (8.3) name
    CannotMountInDosbox,  // detail: a folder DOSBox's mount command cannot take
    DosboxPathTooLong,    // detail: a folder longer than DOSBox can mount
    DosNameClash,         // detail: the names that DOS would take for one, joined by " and "
    DosCommandTooLong,    // detail: the command tail as DOS would get it
    OpenMsxNotFound,      // detail: the program set in the setup window, or "" for the PATH
    OpenMsxMachineMissing // detail: the machine name
};

struct CommandOutcome {
    RunProblem problem = RunProblem::None;
    QString detail;          // what the problem is about, see RunProblem
    EmulatorCommand command; // valid when problem is None
};

// The message for a problem, as the user reads it.
[[nodiscard]] QString ProblemText(const CommandOutcome& outcome);

// The path of BR-MSX's program in `folder`: brmsx.exe in any letter case (copies from FAT media
// are often BRMSX.EXE), as it is named on disk; "" when the folder holds none.
[[nodiscard]] QString FindBrmsx(const QString& folder);

// True for a program this system runs itself: an ELF executable or a script with a "#!" line.
// BR-MSX proper is a DOS program and is not.
[[nodiscard]] bool IsNativeProgram(const QString& path);

// What DOS and DOSBox can take, shared with Tarvel's DOS compiler runner.
using common::CanMountInDosbox;
using common::DosNameClashes;
using common::FitsDosboxMount;
using common::IsDosName;
using common::kDosboxMountPathMax;
using common::kDosCommandTailMax;

// BR-MSX: the image option for the chosen kind, then the options of `options` in BR-MSX's order.
// The emulator runs in options.BrmsxFolder as it is (a folder holding blanks is fine), under the
// name its program has there. When that program is a DOS program it runs inside DOSBox
// (`dosboxPath`, "" when not installed): the BR-MSX folder as C:, the image's folder as D:, and
// the image given as a D: path.
[[nodiscard]] CommandOutcome BuildBrmsxCommand(const RunSelection& selection, const BrmsxOptions& options,
                                               const QString& dosboxPath = QString());

// The option words that `options` gives, in order, starting with " -msx2"'s "-msx2" and always
// holding "-noenter". Values follow their option as a word of their own ("-mapper", "2").
[[nodiscard]] QStringList BrmsxOptionArguments(const BrmsxOptions& options);

// F-MSX (`fmsxPath` as found on PATH, "" when not found): a disk image goes to drive A, a tape
// to the tape drive, a ROM in as the cartridge. It cannot run a folder. It runs in the image's folder.
[[nodiscard]] CommandOutcome BuildFmsxCommand(const RunSelection& selection, const QString& fmsxPath);

} // namespace lumivo
