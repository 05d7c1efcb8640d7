#pragma once

#include "build/CompilerKind.h"
#include "core/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tarvel {

// What one build needs to know. Addresses are the project's 16-bit values as stored
// (0xD200 may arrive as -11776); they are written unsigned.
struct BuildRequest {
    QString projectDir;  // the project directory (a trailing separator is optional)
    QString appDir;      // the IDE's application directory, which holds compiler/
    QString baseName;    // the main file's name without ".pas"
    qint16 startAddress = 0;
    qint16 endAddress = 0;
    bool makeChn = false; // true: leave a chain file; false: join runtime.com and the .chn into a .com
    // The compiler FindCompiler found; with no path, <appDir>/compiler/TP3 run directly.
    FoundCompiler compiler{};
    QString dosbox{}; // the DOSBox program, for a DOS compiler
};

// One step of a build, kept as data so that every rendering runs the same steps in the same order.
struct BuildStep {
    enum class Kind {
        ChangeDirectory, // enter `path`
        RunCompiler,     // run `path` with `arguments` and `environment` added, console output into `output`
        JoinFiles,       // write the bytes of `arguments` (in order) into `output`
    };
    Kind kind = Kind::ChangeDirectory;
    QString path;
    QStringList arguments;
    QString output;
    QStringList environment{}; // "NAME=value"

    bool operator==(const BuildStep& other) const
    {
        return kind == other.kind && path == other.path && arguments == other.arguments && output == other.output
               && environment == other.environment;
    }
    bool operator!=(const BuildStep& other) const { return !(*this == other); }
};

// How paths are joined: Linux paths for the running program, or Windows paths for the batch file.
enum class PathStyle { Posix, Windows };

// The file names the compiler is told to use, relative to the project directory.
inline constexpr char kErrorsFileName[] = "errors.txt";
inline constexpr char kResultFileName[] = "result.txt";

// The base name of a main file: every ".pas" removed without regard to case (Demo.PAS -> Demo).
[[nodiscard]] QString MainFileBaseName(const QString& mainFileName);

// The steps of a build: enter the project directory, run the compiler, and for a .com build join
// compiler/runtime.com and <base>.chn into <base>.com. The compiler runs as it is (Native), for
// a DOS compiler in DOSBox (DosboxCompilerStep), and a Windows compiler's step is the compiler
// with its arguments, which the script for Wine runs under Wine (RenderWineScript).
[[nodiscard]] QList<BuildStep> BuildSteps(const BuildRequest& request, PathStyle style = PathStyle::Posix);

// The steps as a POSIX shell script for /bin/sh. Lines end in LF (sh would read a CR as part of
// a word). Every path and name is single-quoted and written in its file-system bytes, so no
// name can run anything but the compiler. If the directory cannot be entered the script stops
// instead of compiling elsewhere. The join is not in the script: Tarvel does it when the
// script has ended (JoinFiles), whichever way the compiler ran.
[[nodiscard]] QByteArray RenderShellScript(const QList<BuildStep>& steps);

// The first lines of every build script.
inline constexpr char kShellScriptHeader[] = "#!/bin/sh\n# Written by Tarvel before every build; changes are overwritten.\n";

// One step as the script's line for it ("" for a join).
[[nodiscard]] QByteArray RenderShellStep(const BuildStep& step);

// Carries out a JoinFiles step in `projectDir`: its inputs (relative names are in `projectDir`)
// and the compiler's error list are found without regard to letter case, as a DOS or Windows
// compiler writes names in its own case. The output is written only when every input exists and
// there is no error list, so a failed compile never leaves a .com made of the run-time file
// alone or of an old chain file; false when it was to be written and could not be.
[[nodiscard]] common::Status JoinFiles(const QString& projectDir, const BuildStep& step);

// The steps as the Windows batch file (drive line, "cd", compiler line, copy line), each line
// ended by CR LF, in 8-bit Latin-1. Meant for steps built with PathStyle::Windows from short
// (8.3) paths, which hold no blanks or quotes.
[[nodiscard]] QByteArray RenderBatchFile(const QList<BuildStep>& steps);

// The outside compiler's folder, <appDir>/compiler; the native compiler's place in it, TP3; and
// the run-time file, runtime.com in any letter case (that name when there is none).
[[nodiscard]] QString CompilerFolder(const QString& appDir);
[[nodiscard]] QString CompilerPath(const QString& appDir);
[[nodiscard]] QString RuntimePath(const QString& appDir);

// Where the build script lives: <appDir>/compiler/turbopc.sh.
[[nodiscard]] QString BuildScriptPath(const QString& appDir);

// Writes the script atomically, so a script still being read by a running shell is never
// changed under it.
[[nodiscard]] common::Status WriteBuildScript(const QString& scriptPath, const QList<BuildStep>& steps);

} // namespace tarvel
