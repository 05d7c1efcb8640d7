#include "build/SetupCheck.h"

#include "build/BootDisk.h"
#include "build/BuildOutput.h"
#include "build/BuildScript.h"
#include "build/CompilerKind.h"
#include "build/RunCommands.h"
#include "build/WineRun.h"
#include "core/Paths.h"
#include "core/Process.h"
#include "shell/ConfigSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace tarvel {

namespace {

SetupRow ready(const QString& item, const QString& state)
{
    return {item, true, state, QString()};
}

SetupRow missing(const QString& item, const QString& state, const QString& action)
{
    return {item, false, state, action};
}

// The first line of a build message: what it says went wrong, without the path lines.
QString lastLine(const QString& message)
{
    const QStringList lines = message.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    return lines.size() >= 3 ? lines.at(2) : message.trimmed();
}

// The nearest folder that exists on the way up from `path`.
QString existingAncestor(QString path)
{
    while (!path.isEmpty() && !QFileInfo(path).exists()) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    return path;
}

SetupRow machineRow(const std::optional<ChosenMachine>& machine)
{
    const QString item = QStringLiteral("openMSX machine");
    if (!machine)
        return ready(item, QStringLiteral("the emulator is not openMSX: nothing to check"));
    if (machine->name.isEmpty())
        return missing(item, QStringLiteral("none chosen: openMSX starts its default machine"),
                       QStringLiteral("Choose a machine that starts and has a disk drive in Edit > Preferences."));
    const common::MachineCheck& check = machine->check;
    const QString name = machine->name;
    switch (check.start) {
    case common::MachineCheck::Start::Unchecked:
        return missing(item, QStringLiteral("%1: being checked...").arg(name), QString());
    case common::MachineCheck::Start::CheckFailed:
        return missing(item, QStringLiteral("%1: could not be checked (%2)").arg(name, check.reason),
                       QStringLiteral("Make sure openMSX runs, then check again."));
    case common::MachineCheck::Start::DoesNotStart:
        return missing(item, QStringLiteral("%1 does not start: %2").arg(name, check.reason),
                       check.romsMissing ? QStringLiteral("Copy the system ROMs you own into %1, or choose a machine "
                                                          "that starts in Edit > Preferences.")
                                               .arg(common::UserSystemRomFolder())
                                         : QStringLiteral("Choose a machine that starts in Edit > Preferences."));
    case common::MachineCheck::Start::Starts:
        break;
    }
    if (!check.diskDrive)
        return missing(item, QStringLiteral("%1 starts, but its description cannot be read for a disk drive").arg(name),
                       QStringLiteral("Choose a machine with a disk drive in Edit > Preferences."));
    if (!*check.diskDrive)
        return missing(item, QStringLiteral("%1 starts but has no disk drive").arg(name),
                       QStringLiteral("Choose a machine with a disk drive in Edit > Preferences."));
    return ready(item, QStringLiteral("%1 starts and has a disk drive").arg(name));
}

} // namespace

bool FolderInside(const QString& folder, const QString& projectDir)
{
    if (folder.isEmpty() || projectDir.isEmpty())
        return false;
    // A folder not made yet lies where its nearest existing ancestor does.
    const QString existing = existingAncestor(QFileInfo(folder).absoluteFilePath());
    const QString rest = QFileInfo(folder).absoluteFilePath().mid(existing.size());
    const QString inner = QFileInfo(existing).canonicalFilePath() + rest;
    const QString outer = QFileInfo(projectDir).canonicalFilePath();
    if (outer.isEmpty())
        return false;
    const QString innerSlash = common::AddBackslash(QDir::cleanPath(inner));
    const QString outerSlash = common::AddBackslash(QDir::cleanPath(outer));
    return innerSlash.startsWith(outerSlash);
}

QList<SetupRow> CheckSetup(const QString& kitDir, const QString& userDataDir, const ConfigSettings& settings,
                           const QString& projectDir, const std::optional<ChosenMachine>& machine)
{
    QList<SetupRow> rows;

    const FoundCompiler compiler = FindCompiler(CompilerFolder(userDataDir));
    const QString dosbox = common::FindOnPath({QStringLiteral("dosbox")});
    const QString compilerProblem = CompilerProblem(compiler, compiler.kind == CompilerKind::Dos ? dosbox : QString());
    const QString compilerItem = QStringLiteral("Compiler TP3");
    if (compiler.kind == CompilerKind::Missing) {
        rows << missing(compilerItem, lastLine(compilerProblem),
                        QStringLiteral("Put the compiler at %1: copy your kit's TP3.EXE into that folder (see "
                                       "README.md there).")
                            .arg(compiler.path));
    } else {
        // What the compiler is, and what it runs in.
        const QString what = QStringLiteral("%1 is %2").arg(compiler.path, CompilerKindText(compiler.kind));
        switch (compiler.kind) {
        case CompilerKind::Dos:
            if (!compiler.problem.isEmpty()) {
                rows << missing(compilerItem, what + QStringLiteral(": ") + compiler.problem,
                                QStringLiteral("Rename it TP3.EXE."));
                break;
            }
            rows << (dosbox.isEmpty() ? missing(compilerItem, what + QStringLiteral(", which needs DOSBox: not installed"),
                                                QStringLiteral("Install DOSBox (Debian package dosbox)."))
                                      : ready(compilerItem, what + QStringLiteral(", run in DOSBox (%1)").arg(dosbox)));
            break;
        case CompilerKind::Windows: {
            const WinePrograms wine = FindWine();
            const QString bits = compiler.windows32 ? QStringLiteral(" (32-bit: Wine needs its 32-bit part, wine32)")
                                                    : QString();
            rows << (wine.found() ? ready(compilerItem, what + bits + QStringLiteral(", run under Wine (%1)").arg(wine.wine))
                                  : missing(compilerItem, what + QStringLiteral(", which needs Wine: not installed"),
                                            QLatin1String(kWineMissing) + QLatin1Char('.')));
            break;
        }
        case CompilerKind::Native:
            rows << (compilerProblem.isEmpty() ? ready(compilerItem, what + QStringLiteral(", run as it is"))
                                               : missing(compilerItem, what + QStringLiteral(": ") + compiler.problem,
                                                         QStringLiteral("Make it executable (chmod +x).")));
            break;
        case CompilerKind::Missing:
        case CompilerKind::Unknown:
            rows << missing(compilerItem, what + QStringLiteral(": ") + compiler.problem,
                            QStringLiteral("Copy your kit's TP3.EXE into %1 again (see README.md in that folder).")
                                .arg(CompilerFolder(userDataDir)));
            break;
        }
    }
    const QString runtime = RuntimePath(userDataDir);
    rows << (QFileInfo(runtime).isFile() && QFileInfo(runtime).isReadable()
                 ? ready(QStringLiteral("Run-time file runtime.com"), QStringLiteral("found: %1").arg(runtime))
                 : missing(QStringLiteral("Run-time file runtime.com"), QStringLiteral("missing: %1").arg(runtime),
                           QStringLiteral("Copy your kit's runtime.com there (any letter case).")));

    const QString dsktool = DsktoolCommand(kitDir, QString(), QString()).program;
    const QFileInfo dsktoolInfo(dsktool);
    rows << (dsktoolInfo.isFile() && dsktoolInfo.isExecutable()
                 ? ready(QStringLiteral("dsktool"), QStringLiteral("found: %1").arg(dsktool))
                 : missing(QStringLiteral("dsktool"),
                           QStringLiteral("%1: %2").arg(dsktool, dsktoolInfo.exists() ? QStringLiteral("not executable")
                                                                                      : QStringLiteral("missing")),
                           QStringLiteral("Reinstall the kit: dsktool belongs in its dsk folder.")));
    QStringList lacking;
    for (const QString& tool : {QStringLiteral("mformat"), QStringLiteral("mcopy"), QStringLiteral("mdir")}) {
        if (common::FindOnPath({tool}).isEmpty())
            lacking << tool;
    }
    rows << (lacking.isEmpty()
                 ? ready(QStringLiteral("mtools"), QStringLiteral("mformat, mcopy and mdir found"))
                 : missing(QStringLiteral("mtools"), QStringLiteral("not found: %1").arg(lacking.join(QStringLiteral(", "))),
                           QStringLiteral("Install mtools (Debian package mtools).")));

    const QString emulator = FindEmulatorProgram(settings.EmulatorPath);
    rows << (!emulator.isEmpty()
                 ? ready(QStringLiteral("Emulator"), QStringLiteral("found: %1").arg(emulator))
                 : missing(QStringLiteral("Emulator"),
                           settings.EmulatorPath.isEmpty()
                               ? QStringLiteral("none set")
                               : QStringLiteral("%1 cannot be run").arg(settings.EmulatorPath),
                           QStringLiteral("Install openMSX (Debian package openmsx) and choose the openMSX preset in "
                                          "Edit > Preferences.")));
    rows << machineRow(machine);

    const BootDisk boot = ReadBootDisk(settings.DiskImagePath);
    const QString bootPath = BootDiskPath(settings.DiskImagePath);
    if (!boot.present)
        rows << missing(QStringLiteral("Boot disk"), QStringLiteral("none: %1").arg(bootPath),
                        QStringLiteral("Copy a 720 KB MSX-DOS disk you own (with MSXDOS.SYS and COMMAND.COM) there; "
                                       "without it the MSX starts Disk BASIC, not the program."));
    else if (!boot.usable())
        rows << missing(QStringLiteral("Boot disk"), QStringLiteral("%1 cannot be used: %2").arg(bootPath, boot.problem),
                        QStringLiteral("Replace it with a 720 KB MSX-DOS disk that holds MSXDOS.SYS and COMMAND.COM."));
    else
        rows << ready(QStringLiteral("Boot disk"),
                      QStringLiteral("%1 with %2").arg(bootPath, boot.systemFiles.join(QStringLiteral(" and "))));

    const QString folder = settings.DiskImagePath;
    const QFileInfo folderInfo(folder);
    const QString ancestor = existingAncestor(QFileInfo(folder).absoluteFilePath());
    const QFileInfo ancestorInfo(ancestor);
    const QString item = QStringLiteral("Disk image folder");
    if (folder.isEmpty())
        rows << missing(item, QStringLiteral("none set"), QStringLiteral("Choose one in Edit > Preferences."));
    else if (folderInfo.exists() && !folderInfo.isDir())
        rows << missing(item, QStringLiteral("%1 is not a folder").arg(folder), QStringLiteral("Choose a folder in Edit > Preferences."));
    else if (!ancestorInfo.isDir() || !ancestorInfo.isWritable())
        rows << missing(item, QStringLiteral("%1 cannot be written").arg(folder),
                        QStringLiteral("Choose a folder you may write in Edit > Preferences."));
    else if (FolderInside(folder, projectDir))
        rows << missing(item, QStringLiteral("%1 lies inside the project").arg(folder),
                        QStringLiteral("Choose a folder outside the project in Edit > Preferences: the disk would "
                                       "otherwise be copied onto itself."));
    else
        rows << ready(item, folderInfo.exists() ? QStringLiteral("%1 can be written").arg(folder)
                                                : QStringLiteral("%1 will be made").arg(folder));
    return rows;
}

} // namespace tarvel
