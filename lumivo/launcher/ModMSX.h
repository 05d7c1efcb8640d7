#pragma once

#include "BrmsxOptions.h"
#include "FrontEndConfig.h"

#include "core/Result.h"
#include "core/RunWatch.h"

#include <QString>

namespace lumivo {

struct EmulatorCommand;
class ProgramRunner;

// The launcher's two settings files and the run script, all in the launcher's own folder.

[[nodiscard]] QString FrontEndConfigPath(const QString& launcherFolder);
[[nodiscard]] QString BrmsxOptionsPath(const QString& launcherFolder);
[[nodiscard]] QString ExecuteScriptPath(const QString& launcherFolder);
// What the last run printed, and its exit status once it ended ("<process id> <status>").
[[nodiscard]] QString ExecuteLogPath(const QString& launcherFolder);
[[nodiscard]] QString ExecuteStatusPath(const QString& launcherFolder);

// Reads feconfig.cfg. Fields a short or damaged file does not hold take the first-start values.
[[nodiscard]] common::Result<FrontEndConfig> LoadFrontEndConfig(const QString& launcherFolder);

// Reads brmsx.cfg over `current`. When the file is shorter than one record, the fields it lacks
// take the defaults of InitBrmsxOptions, except that the folders and the kept fields (Ciel,
// TrueVSync, Spare4) stay as they are in `current`.
[[nodiscard]] common::Result<BrmsxOptions> LoadBrmsxOptions(const QString& launcherFolder,
                                                            const BrmsxOptions& current);

// Write the record over the start of the file. A longer old file keeps its tail behind the new
// record (reading ignores it). The file is replaced atomically, so a failed write leaves it
// intact; in a folder that takes no new files a writable file is written in place instead.
[[nodiscard]] common::Status SaveFrontEndConfig(const QString& launcherFolder, const FrontEndConfig& config);
[[nodiscard]] common::Status SaveBrmsxOptions(const QString& launcherFolder, const BrmsxOptions& options);

// A run that was started: the process that runs execute.sh, and the files it leaves.
using common::StartedRun;

// Writes execute.sh for the command and starts it with /bin/sh, detached, in the launcher's folder.
// The run gets its own output, execute.log, instead of Lumivo's terminal, and leaves its exit
// status in execute.status when it ends. Nothing waits for it.
[[nodiscard]] common::Result<StartedRun> RunEmulatorCommand(const QString& launcherFolder,
                                                           const EmulatorCommand& command, ProgramRunner& runner);

// The arguments for /bin/sh that run `script` with its output in `log` and then write
// "<its process id> <exit status>" into `status`. Paths are passed as arguments, never as shell text.
[[nodiscard]] QStringList RunWrapperArguments(const QString& script, const QString& log, const QString& status);

// The bytes to store: `record` over the start of `old`, the rest of `old` behind it.
[[nodiscard]] QByteArray OverlayRecord(const QByteArray& old, const QByteArray& record);

} // namespace lumivo
