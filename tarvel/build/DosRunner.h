#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarvel {

struct BuildRequest;
struct BuildStep;

// A DOS compiler runs in DOSBox without a window and without sound: the project folder is drive
// C: and the current drive, the compiler's folder drive D:. DOSBox reads Tarvel's own settings
// (dosbox.conf beside the build script, never the user's DOSBox settings or [autoexec]) and
// writes its console text into dosbox.log there.
[[nodiscard]] QString DosboxConfigPath(const QString& appDir);
[[nodiscard]] QString DosboxLogPath(const QString& appDir);

// The settings: the fastest CPU DOSBox emulates, and no sound, MIDI, joystick or serial ports.
[[nodiscard]] QByteArray DosboxConfig();

// The step that runs the compiler of `request` in DOSBox with `compilerArguments`, its standard
// output into result.txt as DOS names it (RESULT.TXT), DOSBox's own into dosbox.log.
[[nodiscard]] BuildStep DosboxCompilerStep(const BuildRequest& request, const QStringList& compilerArguments);

// Why the DOS compiler of `request` cannot compile this project, with the message Lumivo gives
// for the same case; "" when it can. Checked before anything starts: DOSBox installed, both
// folders mountable, and the main file `mainFile` and the included files `includeFiles` (names
// relative to the project folder) reachable under DOS names that no other name clashes with.
[[nodiscard]] QString DosRunProblem(const BuildRequest& request, const QString& mainFile, const QStringList& includeFiles);

} // namespace tarvel
