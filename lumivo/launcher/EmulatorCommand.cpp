#include "EmulatorCommand.h"

#include "BrmsxOptions.h"
#include "ImageKind.h"

#include "core/Paths.h"
#include "core/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

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

// DOSBox's mount command takes the folder in double quotes; its shell expands %NAME%.
bool mountable(QChar c)
{
    return c != QLatin1Char('"') && c != QLatin1Char('%') && c.unicode() >= 0x20 && c.unicode() != 0x7f;
}

CommandOutcome problem(RunProblem why, const QString& detail = QString())
{
    CommandOutcome outcome;
    outcome.problem = why;
    outcome.detail = detail;
    return outcome;
}

// The folder DOSBox mounts: no trailing separator except for the root.
QString mountFolder(const QString& folder)
{
    return QDir::cleanPath(folder);
}

// BR-MSX inside DOSBox: C: is BR-MSX's folder, D: the image's folder (for DIR the folder itself).
CommandOutcome dosBrmsxCommand(const RunSelection& selection, const BrmsxOptions& options, const QString& folder,
                               const QString& programName, const QString& dosboxPath)
{
    if (dosboxPath.isEmpty())
        return problem(RunProblem::DosboxNotFound);
    for (const QString& mounted : {options.BrmsxFolder, folder}) {
        if (!CanMountInDosbox(mounted))
            return problem(RunProblem::CannotMountInDosbox, mountFolder(mounted));
        if (!FitsDosboxMount(mounted))
            return problem(RunProblem::DosboxPathTooLong, mountFolder(mounted));
    }
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
    const auto mount = [](char drive, const QString& path) {
        return QStringLiteral("mount %1 \"%2\"").arg(QString(QLatin1Char(drive)), mountFolder(path));
    };
    command.arguments << QStringLiteral("-noautoexec")
                      << QStringLiteral("-c") << mount('c', options.BrmsxFolder)
                      << QStringLiteral("-c") << mount('d', folder)
                      << QStringLiteral("-c") << QStringLiteral("c:")
                      << QStringLiteral("-c") << programName + tail
                      << QStringLiteral("-c") << QStringLiteral("exit");
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
        return QStringLiteral("BR-MSX is a DOS program, which runs here in DOSBox. Install DOSBox (Debian "
                              "package dosbox).");
    case RunProblem::NotReachableFromDos:
        return QStringLiteral("BR-MSX runs in DOSBox, where the file \"%1\" cannot be reached: DOS names have "
                              "at most eight characters, a dot and three more (like GAME.DSK), without blanks. "
                              "Copy or rename the file to such a name.")
            .arg(outcome.detail);
    case RunProblem::CannotMountInDosbox:
        return QStringLiteral("BR-MSX runs in DOSBox, whose mount command cannot take the folder \"%1\": it "
                              "holds a double quote, a percent sign or a control character. Rename the folder "
                              "or move the files.")
            .arg(outcome.detail);
    case RunProblem::DosboxPathTooLong:
        return QStringLiteral("BR-MSX runs in DOSBox, which cannot mount the folder \"%1\": its path is %2 "
                              "bytes long, and DOSBox takes at most %3. Move the files to a folder with a "
                              "shorter path.")
            .arg(outcome.detail)
            .arg(QFile::encodeName(outcome.detail).size())
            .arg(kDosboxMountPathMax);
    case RunProblem::DosNameClash:
        return QStringLiteral("BR-MSX runs in DOSBox, where %1 are one name: DOS names have no letter case, "
                              "so DOSBox could run the wrong file. Rename or move all but one of them.")
            .arg(outcome.detail);
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

bool IsDosName(const QString& name)
{
    static const QString allowed = QStringLiteral("!#$&'()-@^_`{}~");
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || extension.size() > 3 || extension.contains(QLatin1Char('.')))
        return false;
    for (const QChar c : base + extension) {
        const bool letterOrDigit = c.unicode() < 0x80 && c.isLetterOrNumber();
        if (!letterOrDigit && !allowed.contains(c))
            return false;
    }
    return true;
}

bool CanMountInDosbox(const QString& folder)
{
    return std::all_of(folder.cbegin(), folder.cend(), mountable);
}

bool FitsDosboxMount(const QString& folder)
{
    return QFile::encodeName(mountFolder(folder)).size() <= kDosboxMountPathMax;
}

QStringList DosNameClashes(const QString& folder, const QString& name)
{
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                                 QDir::System, QDir::NoSort);
    // The same order in every locale.
    std::sort(entries.begin(), entries.end());
    QHash<QString, QStringList> byDosName;
    for (const QString& entry : entries)
        byDosName[common::AsciiUpper(entry)].append(entry);
    QStringList clashes;
    if (!name.isEmpty()) {
        const QStringList same = byDosName.value(common::AsciiUpper(name));
        if (same.size() > 1)
            clashes = same;
        return clashes;
    }
    for (const QString& entry : entries) {
        const QStringList& same = byDosName[common::AsciiUpper(entry)];
        if (same.size() > 1 && same.first() == entry)
            clashes.append(same);
    }
    return clashes;
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
