#include "EmulatorCommand.h"

#include "BrmsxOptions.h"
#include "ImageKind.h"

#include "core/Paths.h"

#include <QFileInfo>

namespace lumivo {

namespace {

// The folder as the emulator gets it: absolute, ending in '/'. When it cannot be resolved (it
// vanished meanwhile) the folder is passed as the browser showed it.
QString resolvedFolder(const QString& folder)
{
    const QString resolved = common::GetShortPath(folder);
    return common::AddBackslash(resolved.isEmpty() ? folder : resolved);
}

void appendFlag(QStringList& words, bool set, const char* option)
{
    if (set)
        words << QString::fromLatin1(option);
}

void appendValue(QStringList& words, bool when, const char* option, qint16 value)
{
    if (when)
        words << QString::fromLatin1(option) << QString::number(value);
}

} // namespace

QString FindBrmsx(const QString& folder)
{
    const QString found = common::FindFileNoCase(folder, QStringLiteral("brmsx.exe"));
    return common::FileExists(found) ? found : QString();
}

QStringList BrmsxOptionArguments(const BrmsxOptions& o)
{
    QStringList w;
    appendFlag(w, o.Msx2, "-msx2");
    appendFlag(w, o.Msx2Plus, "-msx2+");
    appendFlag(w, o.FastSpeed, "-fast");
    appendFlag(w, o.TurboSpeed, "-turbo");
    appendFlag(w, o.Ciel, "-ciel");
    appendFlag(w, o.AdvRam, "-advram");
    appendFlag(w, o.Korean, "-korean");
    appendValue(w, o.MapperSize != 1, "-mapper", o.MapperSize);
    appendValue(w, o.MegaRamSize != 1, "-megaram", o.MegaRamSize);
    appendValue(w, o.RamSlot != 2, "-ramslot", o.RamSlot);
    appendFlag(w, o.AllSprites, "-allspr");
    appendFlag(w, o.CpuGraph, "-cpugraph");
    appendFlag(w, o.Green, "-green");
    appendFlag(w, o.NoCache, "-nocache");
    appendFlag(w, o.NoSpriteCollision, "-nosprcol");
    appendFlag(w, o.PsgGraph, "-psggraph");
    appendValue(w, o.Resolution != 0, "-res", o.Resolution);
    appendFlag(w, o.VdpTiming, "-vdptiming");
    appendFlag(w, o.VSync, "-vsync");
    appendFlag(w, o.FmPac, "-fmpac");
    appendFlag(w, o.NoSound, "-nosound");
    appendFlag(w, o.Scc, "-scc");
    appendFlag(w, o.Speaker, "-speaker");
    appendFlag(w, o.AutoFire, "-autofire");
    appendFlag(w, o.AutoRun, "-autorun");
    appendFlag(w, o.DiskHigh, "-diskhigh");
    appendFlag(w, o.FakeJoy, "-fakejoy");
    appendFlag(w, o.Joystick, "-joy");
    appendFlag(w, o.SnesPad, "-snespad");
    const bool anyJoystick = o.Joystick || o.SnesPad || o.FakeJoy;
    appendValue(w, anyJoystick && o.JoySensitivity != 3, "-joysens", o.JoySensitivity);
    appendFlag(w, o.Multiplayer && o.MultiClient, "-client");
    appendFlag(w, o.Multiplayer && o.MultiServer, "-server");
    appendValue(w, o.Multiplayer, "-com", o.ComPort);
    w << QStringLiteral("-noenter");
    appendFlag(w, o.NoLed, "-noled");
    appendFlag(w, o.NoMmx, "-nommx");
    appendFlag(w, o.NoMouse, "-nomouse");
    appendFlag(w, o.NoPentium, "-nopentium");
    appendFlag(w, o.NoVesa, "-novesa");
    return w;
}

CommandOutcome BuildBrmsxCommand(const RunSelection& selection, const BrmsxOptions& options)
{
    CommandOutcome outcome;
    if (options.BrmsxFolder.isEmpty()) {
        outcome.problem = RunProblem::BrmsxNotConfigured;
        return outcome;
    }
    if (selection.kind != KindDir && selection.fileName.isEmpty()) {
        outcome.problem = RunProblem::NoFileSelected;
        return outcome;
    }
    const QString folder = resolvedFolder(selection.folder);
    EmulatorCommand& command = outcome.command;
    command.folder = common::AddBackslash(options.BrmsxFolder);
    const QString program = FindBrmsx(options.BrmsxFolder);
    command.program = QStringLiteral("./") +
                      (program.isEmpty() ? QStringLiteral("brmsx.exe") : QFileInfo(program).fileName());
    command.arguments << ImageKindBrmsxOption(selection.kind)
                      << (selection.kind == KindDir ? folder : folder + selection.fileName);
    command.arguments << BrmsxOptionArguments(options);
    return outcome;
}

CommandOutcome BuildFmsxCommand(const RunSelection& selection, const QString& fmsxPath)
{
    CommandOutcome outcome;
    if (selection.kind == KindDir) {
        outcome.problem = RunProblem::FmsxCannotRunFolder;
        return outcome;
    }
    if (selection.fileName.isEmpty()) {
        outcome.problem = RunProblem::NoFileSelected;
        return outcome;
    }
    if (fmsxPath.isEmpty()) {
        outcome.problem = RunProblem::FmsxNotFound;
        return outcome;
    }
    const QString folder = resolvedFolder(selection.folder);
    const QString file = folder + selection.fileName;
    EmulatorCommand& command = outcome.command;
    command.folder = folder;
    command.program = fmsxPath;
    if (selection.kind == KindDsk)
        command.arguments << QStringLiteral("-diska") << file;
    else if (selection.kind == KindCas)
        command.arguments << QStringLiteral("-tape") << file;
    else
        command.arguments << file;
    return outcome;
}

} // namespace lumivo
