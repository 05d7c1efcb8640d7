#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Running a DOS program in DOSBox: what DOS and DOSBox's mount command can take, the command line
// that mounts folders as drives and runs commands there, and the messages for what cannot be run.
// Lumivo runs BR-MSX this way, Tarvel a DOS compiler.
namespace common {

// A name DOS can reach as it is: up to eight characters, optionally a dot and up to three more,
// of the characters DOS allows in names (no blanks, no second dot, ASCII only).
[[nodiscard]] bool IsDosName(const QString& name);

// A folder that DOSBox's mount command can take in double quotes: no double quote, no percent
// sign (its shell expands %NAME%), no control character.
[[nodiscard]] bool CanMountInDosbox(const QString& folder);

// The longest folder (in bytes, without a trailing separator) that DOSBox 0.74 mounts: one byte
// more overflows a buffer inside DOSBox and aborts it.
constexpr int kDosboxMountPathMax = 238;
[[nodiscard]] bool FitsDosboxMount(const QString& folder);

// DOS names have no letter case: the names of `folder` that DOS cannot tell from `name`, `name`
// among them; for an empty `name`, every such group of the folder. Empty when there are none.
[[nodiscard]] QStringList DosNameClashes(const QString& folder, const QString& name);

// The longest command tail DOS passes to a program.
constexpr int kDosCommandTailMax = 126;

// Why a DOS program cannot be run in DOSBox.
enum class DosboxProblem {
    None,
    NotFound,            // DOSBox is not installed
    NotReachableFromDos, // detail: a file name that is not a DOS (8.3) name
    CannotMount,         // detail: a folder DOSBox's mount command cannot take
    PathTooLong,         // detail: a folder longer than DOSBox can mount
    NameClash,           // detail: the names that DOS would take for one, joined by " and "
};

struct DosboxCheck {
    DosboxProblem problem = DosboxProblem::None;
    QString detail;
    bool ok() const { return problem == DosboxProblem::None; }
};

// The first folder of `folders` that DOSBox cannot mount (CannotMount or PathTooLong), else None.
[[nodiscard]] DosboxCheck CheckDosboxMounts(const QStringList& folders);

// The message for a problem, as the user reads it; `program` names the DOS program ("BR-MSX").
[[nodiscard]] QString DosboxProblemText(DosboxProblem problem, const QString& detail, const QString& program);

// The folder as DOSBox mounts it: no trailing separator except for the root.
[[nodiscard]] QString DosboxMountFolder(const QString& folder);

struct DosboxMount {
    char drive = 'c'; // lower-case drive letter
    QString folder;
};

// DOSBox's arguments: `options` first, then without the [autoexec] of any configuration, one
// "-c" per mount (the folder in double quotes), then one per DOS command, and "exit" last so
// that DOSBox closes when they are done.
[[nodiscard]] QStringList DosboxArguments(const QStringList& options, const QList<DosboxMount>& mounts,
                                          const QStringList& dosCommands);

} // namespace common
