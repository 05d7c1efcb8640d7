#pragma once

#include <QByteArray>
#include <QString>

namespace lumivo {

struct EmulatorCommand;

// execute.sh for one run: a header, clearing the screen when it is a terminal, changing to the command's folder and
// the command itself. Every path and the program are single-quoted, so no name can inject shell
// syntax; option words and numbers stand bare. Lines end in LF; names are in the file system's
// encoding, so the script opens exactly the files the browser showed.
[[nodiscard]] QByteArray RenderExecuteScript(const EmulatorCommand& command);

// The same command as one line a user can paste into a shell: "cd '<folder>' && <command>".
[[nodiscard]] QString RenderCommandLine(const EmulatorCommand& command);

} // namespace lumivo
