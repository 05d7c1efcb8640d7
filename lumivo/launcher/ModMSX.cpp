#include "ModMSX.h"

#include "EmulatorCommand.h"
#include "ExecuteScript.h"
#include "ProgramRunner.h"

#include "core/BinaryRecord.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace lumivo {

namespace {

common::Status writeOverlaid(const QString& path, const QByteArray& record)
{
    QByteArray old;
    if (QFileInfo::exists(path)) {
        const common::Result<QByteArray> existing = common::ReadFileBytes(path);
        if (!existing)
            return common::Failure(existing.error());
        old = existing.value();
    }
    return common::WriteSettingsRecord(path, OverlayRecord(old, record));
}

} // namespace

QString FrontEndConfigPath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("feconfig.cfg");
}

QString BrmsxOptionsPath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("brmsx.cfg");
}

QString ExecuteScriptPath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("execute.sh");
}

QString ExecuteLogPath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("execute.log");
}

QString ExecuteStatusPath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("execute.status");
}

QStringList RunWrapperArguments(const QString& script, const QString& log, const QString& status)
{
    // $$ is this shell's process id, which the starter reports, so a late status of an earlier
    // run is not taken for this one's.
    return {QStringLiteral("-c"),
            QStringLiteral("/bin/sh \"$1\" >\"$2\" 2>&1 </dev/null; echo \"$$ $?\" >\"$3\""),
            QStringLiteral("lumivo-run"), script, log, status};
}

QByteArray OverlayRecord(const QByteArray& old, const QByteArray& record)
{
    if (old.size() <= record.size())
        return record;
    return record + old.mid(record.size());
}

common::Result<FrontEndConfig> LoadFrontEndConfig(const QString& launcherFolder)
{
    const common::Result<std::unique_ptr<QFile>> file = common::OpenRegularFile(FrontEndConfigPath(launcherFolder));
    if (!file)
        return common::Result<FrontEndConfig>::failure(file.error());
    common::RecordReader reader(*file.value());
    return DecodeFrontEndConfig(reader, FrontEndConfig::defaults());
}

common::Result<BrmsxOptions> LoadBrmsxOptions(const QString& launcherFolder, const BrmsxOptions& current)
{
    const common::Result<std::unique_ptr<QFile>> file = common::OpenRegularFile(BrmsxOptionsPath(launcherFolder));
    if (!file)
        return common::Result<BrmsxOptions>::failure(file.error());
    BrmsxOptions base = current;
    // An empty launcher folder leaves the folder fields as they are.
    InitBrmsxOptions(base, QString());
    common::RecordReader reader(*file.value());
    return DecodeBrmsxOptions(reader, base);
}

common::Status SaveFrontEndConfig(const QString& launcherFolder, const FrontEndConfig& config)
{
    return writeOverlaid(FrontEndConfigPath(launcherFolder), EncodeFrontEndConfig(config));
}

common::Status SaveBrmsxOptions(const QString& launcherFolder, const BrmsxOptions& options)
{
    return writeOverlaid(BrmsxOptionsPath(launcherFolder), EncodeBrmsxOptions(options));
}

common::Result<StartedRun> RunEmulatorCommand(const QString& launcherFolder, const EmulatorCommand& command,
                                              ProgramRunner& runner)
{
    using Outcome = common::Result<StartedRun>;
    const QString script = ExecuteScriptPath(launcherFolder);
    const common::Status written = common::WriteFileAtomic(script, RenderExecuteScript(command));
    if (!written)
        return Outcome::failure(written.error());
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner | QFile::ExeUser);

    StartedRun run;
    run.logPath = ExecuteLogPath(launcherFolder);
    run.statusPath = ExecuteStatusPath(launcherFolder);
    // An earlier run that still goes on keeps writing into its own (unlinked) log.
    QFile::remove(run.logPath);
    QFile::remove(run.statusPath);
    if (!runner.startDetached(QStringLiteral("/bin/sh"), RunWrapperArguments(script, run.logPath, run.statusPath),
                              launcherFolder, &run.pid))
        return Outcome::failure(QStringLiteral("Cannot start %1.").arg(script));
    return run;
}

} // namespace lumivo
