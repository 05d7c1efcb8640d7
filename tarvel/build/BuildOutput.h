#pragma once

#include <QString>
#include <QStringList>

namespace tarvel {

struct BuildOutcome;
struct BuildRequest;
struct FoundCompiler;

// The most a project directory may hold: what fits a 720 KB MSX disk (737,280 bytes is accepted).
inline constexpr qint64 kMaxProjectBytes = 720 * 1024;

// The size check before a build of <baseName>: the files directly in the project directory,
// hidden ones included, subdirectories and the build's working files (IsWorkingFile) not. A file
// reached by several links counts once.
struct ProjectSizeCheck {
    qint64 bytes = 0;
    QStringList largest; // when too large: the largest counted files (LargestFiles)
    bool tooLarge() const { return bytes > kMaxProjectBytes; }
};
[[nodiscard]] ProjectSizeCheck CheckProjectSize(const QString& projectDir, const QString& baseName);

// Deletes the file `name` from the folder in every letter case it exists in (MYFILE.TXT and
// MyFile.txt alike). True when no entry of that name remains; a folder of that name stays.
[[nodiscard]] bool RemoveFileNoCase(const QString& folder, const QString& name);

// Deletes the output a build is about to make (<base>.chn for a CHN build, else <base>.com),
// in every letter case it exists in, so it is neither counted by the size check nor taken for
// this build's output. The other kind of output is left alone. True when nothing of that name
// remains.
[[nodiscard]] bool RemoveOldOutput(const QString& projectDir, const QString& baseName, bool makeChn);

// What to put into the compiler folder, for messages about a compiler that is missing or unfit.
inline constexpr char kPutCompilerThere[] =
    "Copy your kit's Turbo Pascal 3 compiler TP3.EXE and its runtime.com into that folder; Tarvel runs it "
    "in DOSBox or Wine, whichever it needs (see README.md in that folder).";

// Why the compiler FindCompiler found cannot be started: a readable reason with what to do, or ""
// when it can. A DOS compiler needs DOSBox (`dosbox`, "" when it is not installed).
[[nodiscard]] QString CompilerProblem(const FoundCompiler& compiler, const QString& dosbox);

// The verdict on a finished build of `request` that started without errors.txt, <base>.chn and
// (for a .com build) <base>.com in the project directory. It failed when the compiler left
// errors.txt (the error report, as CollectBuildOutcome gives it), when it left no <base>.chn
// (it did not run or wrote nothing; result.txt stays, it may say why), or when a .com build
// has no <base>.com (the join did not happen), or one whose size is not that of the run-time file
// and <base>.chn together (the join was cut short, as on a full disk; that program is deleted).
// Otherwise it succeeded, with the summary of result.txt.
[[nodiscard]] BuildOutcome JudgeBuild(const BuildRequest& request);

} // namespace tarvel
