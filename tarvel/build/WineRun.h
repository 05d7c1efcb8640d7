#pragma once

#include "build/BuildScript.h"
#include "core/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarvel {

// What a build of a Windows compiler says when Wine is not installed.
inline constexpr char kWineMissing[] = "TP3.EXE is a Windows program: install Wine (Debian package wine)";
// What a 32-bit compiler needs beyond Debian's default Wine, which runs 64-bit programs only.
inline constexpr char kWine32Needed[] =
    "TP3.EXE is a 32-bit Windows program: Wine runs it only with its 32-bit part installed (as root: "
    "dpkg --add-architecture i386; apt-get update; apt-get install wine32:i386)";

// The Wine programs a build runs: the loader and the server, whose -w and -k wait for and end
// every process of a prefix.
struct WinePrograms {
    QString wine;
    QString wineserver;
    [[nodiscard]] bool found() const { return !wine.isEmpty() && !wineserver.isEmpty(); }
};

// Looks wine and wineserver up in the folders of `searchPath`, a PATH value (folders parted by
// ':'); an empty folder is the current one, as for the shell. A program not found is "".
[[nodiscard]] WinePrograms FindWine(const QString& searchPath);
// The same on this program's PATH.
[[nodiscard]] WinePrograms FindWine();

// Where Wine keeps what it needs for the builds: a prefix of its own (so the user's ~/.wine is
// never touched or needed) and the log of Wine's own messages, both in the per-user state folder.
struct WineFolders {
    QString prefix;
    QString log;
};
[[nodiscard]] WineFolders WineFoldersIn(const QString& stateDir);

// Whether the prefix was made whole by an earlier build. One that is not is made (again) by the
// next build before the compiler runs.
[[nodiscard]] bool WinePrefixReady(const QString& prefix);

// The build as a POSIX shell script that runs the compiler step under Wine: `wine <compiler>
// <arguments> > result.txt` in the project directory, all other steps as RenderShellScript has
// them. Wine runs without a window (no display), without its debug channels, without the .NET
// and HTML engines it would offer to download, and without adding menu entries to the desktop;
// what Wine itself writes goes to the log. A prefix not ready yet is made first (its messages
// going to the log only, never to result.txt), and the script waits for Wine to finish with it;
// the script stops with kWinePrefixFailed when that fails. The script ends with the compiler's
// exit status as soon as the compiler has ended. Wine's server and helpers, which run in sessions
// of their own, end by themselves moments later (or are reused by a build started before then);
// a stopped build ends them with StopWine.
[[nodiscard]] QByteArray RenderWineScript(const QList<BuildStep>& steps, const WinePrograms& wine,
                                          const WineFolders& folders);
inline constexpr int kWinePrefixFailed = 125;

// Writes that script atomically (see WriteBuildScript).
[[nodiscard]] common::Status WriteWineScript(const QString& scriptPath, const QList<BuildStep>& steps,
                                             const WinePrograms& wine, const WineFolders& folders);

// The last `lines` non-empty lines of `bytes` (text in the locale's encoding), each trimmed,
// control characters (C0 but tab, DEL, C1) shown as '?', joined by CR LF; "" when it holds none.
[[nodiscard]] QString LastLines(const QByteArray& bytes, int lines = 10);
// The same for a file, read from its last 16 KB: for Wine's log, and for result.txt, where Wine
// prints that it could not start a program. "" when the file cannot be read.
[[nodiscard]] QString LastLinesOfFile(const QString& path, int lines = 10);

// Ends every process of the prefix at once (wineserver -k) and waits a few seconds at most for
// that. Needs no event loop, so it works while the application is quitting.
void StopWine(const WinePrograms& wine, const WineFolders& folders);

} // namespace tarvel
