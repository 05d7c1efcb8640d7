#pragma once

#include "build/DiskCheck.h"
#include "core/Result.h"

#include <QString>
#include <QStringList>

namespace tarvel {

// A program and its arguments, kept apart so no shell ever splits or expands them.
// Start one with common::RunProgram(command.program, command.arguments, wait).
struct CommandLine {
    QString program;
    QStringList arguments;

    bool operator==(const CommandLine& other) const
    {
        return program == other.program && arguments == other.arguments;
    }
};

// Runs the build script: /bin/sh <script>.
[[nodiscard]] CommandLine BuildScriptCommand(const QString& scriptPath);

// The disk image Compile and Run makes: <disk-image directory>/d.dsk.
[[nodiscard]] QString DiskImagePath(const QString& diskImageDir);

// Whether the disk image folder is the project folder or a folder inside it, links resolved. The
// image would then be made among the files it is made of.
[[nodiscard]] bool DiskImageFolderInProject(const QString& diskImageDir, const QString& projectDir);

// The size of the 720 KB MSX disk dsktool makes.
inline constexpr qint64 kDiskImageBytes = 737280;

// Whether `imagePath` holds the disk image that dsktool was to make: a regular file (not a link)
// of kDiskImageBytes. The failure says what is there instead.
[[nodiscard]] common::Status CheckDiskImage(const QString& imagePath);

// Makes in `stagingFolder` a link to each of `files` of `folder`, under its own name, so that a
// tool that copies a whole folder copies these files and nothing else.
[[nodiscard]] common::Status LinkFilesInto(const QString& folder, const QList<DiskFile>& files, const QString& stagingFolder);

// <appDir>/dsk/dsktool a <image> <projectDir>/*.* — the pattern is one argument that dsktool
// expands itself, so nothing in the project path is ever seen by a shell.
[[nodiscard]] CommandLine DsktoolCommand(const QString& appDir, const QString& imagePath, const QString& projectDir);

// The emulator: the program is `emulatorPath` whole (blanks in it are part of the path), and the
// arguments are `emulatorCommandLine` split into words the way QProcess::splitCommand does, with
// every "%dsk" (case-sensitive) replaced by the image path afterwards. The image path therefore
// stays inside its word however many blanks, quotes or $(...) it holds.
[[nodiscard]] CommandLine EmulatorCommand(const QString& emulatorPath, const QString& emulatorCommandLine,
                                          const QString& imagePath);

// The emulator program to start: `path` when it names a file that may be run (a name without a
// folder is looked up on PATH); "" when there is none.
[[nodiscard]] QString FindEmulatorProgram(const QString& path);

} // namespace tarvel
