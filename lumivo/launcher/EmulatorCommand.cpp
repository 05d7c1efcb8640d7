#include "EmulatorCommand.h"

#include "BrmsxOptions.h"
#include "ImageKind.h"

#include "core/Paths.h"
#include "core/Text.h"

#include <QFile>
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

const QString kBrmsx = QStringLiteral("BR-MSX");

CommandOutcome problem(RunProblem why, const QString& detail = QString())
{
    CommandOutcome outcome;
    outcome.problem = why;
    outcome.detail = detail;
    return outcome;
}

// BR-MSX inside DOSBox: C: is BR-MSX's folder, D: the image's folder (for DIR the folder itself).
CommandOutcome dosBrmsxCommand(const RunSelection& selection, const BrmsxOptions& options, const QString& folder,
                               const QString& programName, const QString& dosboxPath)
{
    if (dosboxPath.isEmpty())
        return problem(RunProblem::DosboxNotFound);
    const common::DosboxCheck mounts = common::CheckDosboxMounts({options.BrmsxFolder, folder});
    if (mounts.problem == common::DosboxProblem::CannotMount)
        return problem(RunProblem::CannotMountInDosbox, mounts.detail);
    if (mounts.problem == common::DosboxProblem::PathTooLong)
        return problem(RunProblem::DosboxPathTooLong, mounts.detail);
    const bool dir = selection.kind == KindDir;
    if (!dir && !IsDosName(selection.fileName))
        return problem(RunProblem::NotReachableFromDos, selection.fileName);
    // DOSBox would open whichever of the clashing names it meets first.
    const QStringList clashes = DosNameClashes(folder, dir ? QString() : selection.fileName);
    if (!clashes.isEmpty())
        return problem(RunProblem::DosNameClash, clashes.join(QStringLiteral(" and ")));

    QStringList dosWords;
    dosWords << ImageKindBrmsxOption(selection.kind)
             << (dir ? QStringLiteral("D:\\") : QStringLiteral("D:\\") + selection.fileName)
             << BrmsxOptionArguments(options);
    const QString tail = QLatin1Char(' ') + dosWords.join(QLatin1Char(' '));
    if (tail.size() > kDosCommandTailMax)
        return problem(RunProblem::DosCommandTooLong, tail.mid(1));

    CommandOutcome outcome;
    EmulatorCommand& command = outcome.command;
    command.folder = common::AddBackslash(options.BrmsxFolder);
    command.program = dosboxPath;
    command.arguments = common::DosboxArguments({}, {{'c', options.BrmsxFolder}, {'d', folder}},
                                                {QStringLiteral("c:"), programName + tail});
    return outcome;
}

} // namespace

QString ProblemText(const CommandOutcome& outcome)
{
    switch (outcome.problem) {
    case RunProblem::None:
        return QString();
    case RunProblem::BrmsxNotConfigured:
        return QStringLiteral("First configure BRMSX!");
    case RunProblem::NoFileSelected:
        return QStringLiteral("First select some file!");
    case RunProblem::FmsxNotFound:
        return QStringLiteral("F-MSX was not found. Install the program fmsx so that it is on the PATH, "
                              "or choose BR-MSX.");
    case RunProblem::FmsxCannotRunFolder:
        return QStringLiteral("F-MSX cannot run a directory. Choose DSK, ROM or CAS and select a file.");
    case RunProblem::DosboxNotFound:
        return common::DosboxProblemText(common::DosboxProblem::NotFound, outcome.detail, kBrmsx);
    case RunProblem::NotReachableFromDos:
        return common::DosboxProblemText(common::DosboxProblem::NotReachableFromDos, outcome.detail, kBrmsx);
    case RunProblem::CannotMountInDosbox:
        return common::DosboxProblemText(common::DosboxProblem::CannotMount, outcome.detail, kBrmsx);
    case RunProblem::DosboxPathTooLong:
        return common::DosboxProblemText(common::DosboxProblem::PathTooLong, outcome.detail, kBrmsx);
    case RunProblem::DosNameClash:
        return common::DosboxProblemText(common::DosboxProblem::NameClash, outcome.detail, kBrmsx);
    case RunProblem::DosCommandTooLong:
        return QStringLiteral("The BR-MSX command line is too long for DOS (%1 characters; DOS passes at most "
                              "%2). Turn off some options.\n%3")
            .arg(outcome.detail.size() + 1)
            .arg(kDosCommandTailMax)
            .arg(outcome.detail);
    case RunProblem::OpenMsxNotFound:
        return outcome.detail.isEmpty()
                   ? QStringLiteral("openMSX was not found. Install it (Debian package openmsx) or choose its "
                                    "program in the openMSX Setup window (Config).")
                   : QStringLiteral("The openMSX program \"%1\" was not found or cannot be run. Choose it "
                                    "again in the openMSX Setup window (Config).")
                         .arg(outcome.detail);
    case RunProblem::OpenMsxMachineMissing:
        return QStringLiteral("openMSX has no machine \"%1\". Choose another one in the openMSX Setup window "
                              "(Config).")
            .arg(outcome.detail);
    }
    return QString();
}

bool IsNativeProgram(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // it cannot run in DOSBox either; the direct start reports the error
    const QByteArray head = file.read(4);
    return head == QByteArray("\x7f" "ELF", 4) || head.startsWith("#!");
}

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

CommandOutcome BuildBrmsxCommand(const RunSelection& selection, const BrmsxOptions& options,
                                 const QString& dosboxPath)
{
    if (options.BrmsxFolder.isEmpty())
        return problem(RunProblem::BrmsxNotConfigured);
    if (selection.kind != KindDir && selection.fileName.isEmpty())
        return problem(RunProblem::NoFileSelected);
    const QString folder = resolvedFolder(selection.folder);
    const QString program = FindBrmsx(options.BrmsxFolder);
    const QString programName = program.isEmpty() ? QStringLiteral("brmsx.exe") : QFileInfo(program).fileName();
    if (!program.isEmpty() && !IsNativeProgram(program))
        return dosBrmsxCommand(selection, options, folder, programName, dosboxPath);

    CommandOutcome outcome;
    EmulatorCommand& command = outcome.command;
    command.folder = common::AddBackslash(options.BrmsxFolder);
    command.program = QStringLiteral("./") + programName;
    command.arguments << ImageKindBrmsxOption(selection.kind)
                      << (selection.kind == KindDir ? folder : folder + selection.fileName);
    command.arguments << BrmsxOptionArguments(options);
    return outcome;
}

CommandOutcome BuildFmsxCommand(const RunSelection& selection, const QString& fmsxPath)
{
    if (selection.kind == KindDir)
        return problem(RunProblem::FmsxCannotRunFolder);
    if (selection.fileName.isEmpty())
        return problem(RunProblem::NoFileSelected);
    if (fmsxPath.isEmpty())
        return problem(RunProblem::FmsxNotFound);
    const QString folder = resolvedFolder(selection.folder);
    const QString file = folder + selection.fileName;
    CommandOutcome outcome;
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
