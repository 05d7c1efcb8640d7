#include "../QtPrinting.h"
#include "core/OpenMsxMachines.h"
#include "launcher/BrmsxOptions.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/ExecuteScript.h"
#include "launcher/ImageKind.h"
#include "launcher/OpenMsxCommand.h"
#include "launcher/OpenMsxSettings.h"

#include "../ScopedEnvironment.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumivo;
using common::ListOpenMsxMachines;
using common::OpenMsxMachineFolders;

namespace {

BrmsxOptions brmsxIn(const QString& folder)
{
    BrmsxOptions o;
    InitBrmsxOptions(o, folder);
    return o;
}

} // namespace

TEST(OpenMsxCommand, ImageOptionsMachineAndExtraArguments)
{
    QTemporaryDir games;
    const QString folder = games.path() + QLatin1Char('/');
    const QString program = QStringLiteral("/usr/bin/openmsx");
    struct Row {
        const char* name;
        int kind;
        OpenMsxSettings settings;
        QStringList expected;
    };
    const Row rows[] = {
        {"disk", KindDsk, {}, {"-diska", folder + "g.dsk"}},
        {"cartridge", KindRom, {}, {"-cart", folder + "g.dsk"}},
        {"tape", KindCas, {}, {"-cassetteplayer", folder + "g.dsk"}},
        {"folder as a disk", KindDir, {}, {"-diska", games.path()}},
        {"machine", KindRom, {QString(), "C-BIOS_MSX2", QString()}, {"-machine", "C-BIOS_MSX2", "-cart", folder + "g.dsk"}},
        {"extra arguments, quotes grouping, nothing evaluated", KindRom,
         {QString(), QString(), "-ext debugdevice -command \"set throttle off\" 'a b' $(touch x) `id` ;"},
         {"-ext", "debugdevice", "-command", "set throttle off", "a b", "$(touch", "x)", "`id`", ";", "-cart",
          folder + "g.dsk"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CommandOutcome outcome = BuildOpenMsxCommand({row.kind, games.path(), "g.dsk"}, row.settings, program,
                                                           {"C-BIOS_MSX1", "C-BIOS_MSX2"});
        ASSERT_EQ(outcome.problem, RunProblem::None);
        EXPECT_EQ(outcome.command.program, program);
        EXPECT_EQ(outcome.command.folder, folder);
        EXPECT_EQ(outcome.command.arguments, row.expected);
    }
}

TEST(OpenMsxCommand, SaysWhyItCannotRun)
{
    const OpenMsxSettings gone{QString(), QStringLiteral("Philips_Gone"), QString()};
    struct Row {
        const char* name;
        RunSelection selection;
        OpenMsxSettings settings;
        QString program;
        QStringList machines;
        RunProblem problem;
        QString detail;
    };
    const Row rows[] = {
        {"no file", {KindRom, "/", QString()}, {}, "/usr/bin/openmsx", {}, RunProblem::NoFileSelected, QString()},
        {"not on the PATH", {KindRom, "/", "a.rom"}, {}, QString(), {}, RunProblem::OpenMsxNotFound, QString()},
        {"the chosen program vanished", {KindRom, "/", "a.rom"}, {"/opt/openmsx/bin/openmsx", QString(), QString()},
         QString(), {}, RunProblem::OpenMsxNotFound, "/opt/openmsx/bin/openmsx"},
        {"a machine that no longer exists", {KindRom, "/", "a.rom"}, gone, "/usr/bin/openmsx", {"C-BIOS_MSX1"},
         RunProblem::OpenMsxMachineMissing, "Philips_Gone"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CommandOutcome outcome = BuildOpenMsxCommand(row.selection, row.settings, row.program, row.machines);
        EXPECT_EQ(outcome.problem, row.problem);
        EXPECT_EQ(outcome.detail, row.detail);
        EXPECT_FALSE(ProblemText(outcome).isEmpty());
    }
    EXPECT_EQ(ProblemText(BuildOpenMsxCommand({KindRom, "/", "a.rom"}, gone, "/usr/bin/openmsx", {"C-BIOS_MSX1"})),
              QStringLiteral("openMSX has no machine \"Philips_Gone\". Choose another one in the openMSX Setup "
                             "window (Config)."));
    // Machines that cannot be listed are not held against the choice.
    EXPECT_EQ(BuildOpenMsxCommand({KindRom, "/", "a.rom"}, gone, "/usr/bin/openmsx", {}).problem, RunProblem::None);
}

TEST(OpenMsxCommand, MachinesOfTheSystemAndTheUser)
{
    QTemporaryDir system;
    QTemporaryDir user;
    for (const char* name : {"machines/C-BIOS_MSX1.xml", "machines/Philips_NMS_8250.xml", "machines/readme.txt",
                             "machines/C-BIOS_MSX1/roms.txt"})
        testfiles::write(system.filePath(QLatin1String(name)), "x");
    for (const char* name : {"machines/My_MSX.xml", "machines/C-BIOS_MSX1.xml"})
        testfiles::write(user.filePath(QLatin1String(name)), "x");
    const ScopedEnvironment systemData("OPENMSX_SYSTEM_DATA", QFile::encodeName(system.path()));
    const ScopedEnvironment userData("OPENMSX_USER_DATA", QFile::encodeName(user.path()));
    const QStringList folders = OpenMsxMachineFolders(QStringLiteral("/usr/bin/openmsx"));
    EXPECT_EQ(folders, (QStringList{system.path() + "/machines", user.path() + "/machines"}));
    EXPECT_EQ(ListOpenMsxMachines(folders), (QStringList{"C-BIOS_MSX1", "My_MSX", "Philips_NMS_8250"}));
    EXPECT_EQ(ListOpenMsxMachines({}), QStringList());
}

TEST(OpenMsxSettingsFile, RoundTripAndDamage)
{
    QTemporaryDir dir;
    // No file: the defaults.
    auto loaded = LoadOpenMsxSettings(dir.path());
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.value() == OpenMsxSettings());

    const OpenMsxSettings settings{QStringLiteral("/opt/\u043e\u043f\u0435\u043d/openmsx"), QStringLiteral("C-BIOS_MSX2+"),
                                   QStringLiteral("-command \"set x \u00e9\" $(id)")};
    ASSERT_TRUE(SaveOpenMsxSettings(dir.path(), settings).ok());
    loaded = LoadOpenMsxSettings(dir.path());
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    EXPECT_TRUE(loaded.value() == settings);

    const QByteArray good = EncodeOpenMsxSettings(settings);
    struct Row {
        const char* name;
        QByteArray bytes;
    };
    const Row rows[] = {
        {"empty", QByteArray()},
        {"cut short", good.left(good.size() - 3)},
        {"another format", QByteArray::fromHex("02 00") + good.mid(2)},
        {"bytes behind the record", good + "xyz"},
        {"random bytes", QByteArray::fromHex("FF FF 13 37")},
        // A text in another 8-bit code page reads longer than it is stored; bytes behind the
        // record must not make up for it.
        {"8-bit text and bytes behind the record", QByteArray::fromHex("0100 0000 0000 0300 EAEAEA") + "xyz"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testfiles::write(OpenMsxSettingsPath(dir.path()), row.bytes);
        const auto damaged = LoadOpenMsxSettings(dir.path());
        EXPECT_FALSE(damaged.ok());
        EXPECT_TRUE(damaged.error().contains(QStringLiteral("openmsx.cfg"))) << damaged.error().toStdString();
        EXPECT_EQ(testfiles::read(OpenMsxSettingsPath(dir.path())), row.bytes) << "reading never writes";
    }
    QFile::remove(OpenMsxSettingsPath(dir.path()));
    QDir(dir.path()).mkdir(QStringLiteral("openmsx.cfg"));
    EXPECT_FALSE(LoadOpenMsxSettings(dir.path()).ok());
}

TEST(DosNames, WhatDosAndDosboxCanTake)
{
    for (const char* name : {"GAME.DSK", "game.dsk", "A", "X_1-2.ROM", "12345678.CAS", "N!#$&'().(@)"})
        EXPECT_TRUE(IsDosName(QLatin1String(name))) << name;
    for (const char* name : {"", ".dsk", "My Game.dsk", "123456789.DSK", "GAME.DSKX", "a.b.c", "100%.DSK",
                             "x+y.rom", "\xc3\xa9t\xc3\xa9.dsk"})
        EXPECT_FALSE(IsDosName(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(CanMountInDosbox(QStringLiteral("/home/me/My Games (1983) & more;it's")));
    EXPECT_TRUE(CanMountInDosbox(QStringLiteral("/home/me/\u044d\u043c\u0443\u043b\u044f\u0442\u043e\u0440")));
    for (const char* folder : {"/a\"b", "/100%", "/tab\there", "/line\nbreak"})
        EXPECT_FALSE(CanMountInDosbox(QString::fromUtf8(folder))) << folder;
}

TEST(ProgramKinds, NativeOrDos)
{
    QTemporaryDir dir;
    struct Row {
        const char* name;
        QByteArray bytes;
        bool native;
    };
    const Row rows[] = {
        {"elf", QByteArray("\x7f" "ELF\x02\x01", 6), true},
        {"script", "#!/bin/sh\necho\n", true},
        {"dos exe", "MZ\x90\x00", false},
        {"dos com", QByteArray("\xb4\x3c\x31\xc9", 4), false},
        {"empty", QByteArray(), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testfiles::write(dir.filePath(QLatin1String(row.name)), row.bytes);
        EXPECT_EQ(IsNativeProgram(dir.filePath(QLatin1String(row.name))), row.native);
    }
}

// BR-MSX proper is a DOS program: it runs inside DOSBox with its folder as C: and the image's as D:.
TEST(BrmsxInDosbox, TheCommandMountsBothFoldersAndGivesDPaths)
{
    QTemporaryDir root;
    const QString emulator = root.path() + QStringLiteral("/BR MSX (v2) & co");
    const QString games = root.path() + QStringLiteral("/My Games");
    QDir().mkpath(games + QStringLiteral("/Sub"));
    testfiles::write(emulator + QStringLiteral("/BRMSX.EXE"), "MZ");
    BrmsxOptions options = brmsxIn(emulator);
    options.Msx2 = true;
    options.MapperSize = 2;
    const QString dosbox = QStringLiteral("/usr/bin/dosbox");
    const auto dosArguments = [&](const QString& mountD, const QString& tail) {
        return QStringList{"-noautoexec", "-c", "mount c \"" + emulator + "\"", "-c", "mount d \"" + mountD + "\"",
                           "-c", "c:", "-c", "BRMSX.EXE " + tail, "-c", "exit"};
    };

    CommandOutcome outcome = BuildBrmsxCommand({KindDsk, games, "game.dsk"}, options, dosbox);
    ASSERT_EQ(outcome.problem, RunProblem::None) << ProblemText(outcome).toStdString();
    EXPECT_EQ(outcome.command.folder, emulator + QLatin1Char('/'));
    EXPECT_EQ(outcome.command.program, dosbox);
    EXPECT_EQ(outcome.command.arguments, dosArguments(games, "-diska D:\\game.dsk -msx2 -mapper 2 -noenter"));
    EXPECT_EQ(RenderExecuteScript(outcome.command).split('\n').at(3).toStdString(),
              "'/usr/bin/dosbox' -noautoexec -c 'mount c \"" + emulator.toStdString() + "\"' -c 'mount d \"" +
                  games.toStdString() + "\"' -c 'c:' -c 'BRMSX.EXE -diska D:\\game.dsk -msx2 -mapper 2 -noenter' -c exit");

    outcome = BuildBrmsxCommand({KindDir, games + QStringLiteral("/Sub"), QString()}, options, dosbox);
    ASSERT_EQ(outcome.problem, RunProblem::None);
    EXPECT_EQ(outcome.command.arguments, dosArguments(games + "/Sub", "-mount D:\\ -msx2 -mapper 2 -noenter"));

    outcome = BuildBrmsxCommand({KindRom, games, "KNIGHT.ROM"}, options, dosbox);
    EXPECT_EQ(outcome.command.arguments, dosArguments(games, "-rom D:\\KNIGHT.ROM -msx2 -mapper 2 -noenter"));
}

TEST(BrmsxInDosbox, ClearAnswersBeforeAnythingStarts)
{
    QTemporaryDir root;
    const QString emulator = root.path() + QStringLiteral("/brmsx");
    testfiles::write(emulator + QStringLiteral("/brmsx.exe"), "MZ");
    const QString quoted = root.path() + QStringLiteral("/say \"hi\"");
    testfiles::write(quoted + QStringLiteral("/brmsx.exe"), "MZ");
    QDir().mkpath(root.path() + QStringLiteral("/100% games"));
    BrmsxOptions everything = brmsxIn(emulator);
    everything.Msx2 = everything.FastSpeed = everything.Ciel = everything.AdvRam = everything.Korean = true;
    everything.AllSprites = everything.CpuGraph = everything.Green = everything.NoCache = true;
    everything.NoSpriteCollision = everything.PsgGraph = everything.VdpTiming = everything.VSync = true;
    everything.FmPac = everything.Scc = everything.AutoFire = everything.AutoRun = everything.FakeJoy = true;
    everything.NoLed = everything.NoMmx = everything.NoMouse = everything.NoPentium = everything.NoVesa = true;

    struct Row {
        const char* name;
        RunSelection selection;
        BrmsxOptions options;
        QString dosbox;
        RunProblem problem;
        QString detail;
    };
    const QString dosbox = QStringLiteral("/usr/bin/dosbox");
    const Row rows[] = {
        {"no DOSBox", {KindDsk, root.path(), "GAME.DSK"}, brmsxIn(emulator), QString(), RunProblem::DosboxNotFound, QString()},
        {"long file name", {KindDsk, root.path(), "My Game.dsk"}, brmsxIn(emulator), dosbox,
         RunProblem::NotReachableFromDos, "My Game.dsk"},
        {"quote in the BR-MSX folder", {KindDsk, root.path(), "GAME.DSK"}, brmsxIn(quoted), dosbox,
         RunProblem::CannotMountInDosbox, quoted},
        {"percent in the image's folder", {KindDir, root.path() + "/100% games", QString()}, brmsxIn(emulator), dosbox,
         RunProblem::CannotMountInDosbox, root.path() + "/100% games"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CommandOutcome outcome = BuildBrmsxCommand(row.selection, row.options, row.dosbox);
        EXPECT_EQ(outcome.problem, row.problem);
        EXPECT_EQ(outcome.detail, row.detail);
    }
    EXPECT_TRUE(ProblemText(BuildBrmsxCommand({KindDsk, root.path(), "GAME.DSK"}, brmsxIn(emulator), QString()))
                    .contains(QStringLiteral("(Debian package dosbox)")));
    const CommandOutcome tooLong = BuildBrmsxCommand({KindDsk, root.path(), "GAME.DSK"}, everything, dosbox);
    EXPECT_EQ(tooLong.problem, RunProblem::DosCommandTooLong);
    EXPECT_GT(tooLong.detail.size(), kDosCommandTailMax - 1);
    EXPECT_TRUE(ProblemText(tooLong).contains(QStringLiteral("at most 126"))) << ProblemText(tooLong).toStdString();
}

// A native brmsx.exe (like the tests' stand-in) still runs directly; a missing one too, so its
// start reports what is wrong.
TEST(BrmsxInDosbox, NativeOrMissingProgramsRunDirectly)
{
    QTemporaryDir root;
    testfiles::write(root.filePath(QStringLiteral("native/brmsx.exe")), "#!/bin/sh\n");
    QDir().mkpath(root.filePath(QStringLiteral("empty")));
    for (const char* folder : {"native", "empty"}) {
        SCOPED_TRACE(folder);
        const CommandOutcome outcome =
            BuildBrmsxCommand({KindDsk, root.path(), "My Game.dsk"}, brmsxIn(root.filePath(QLatin1String(folder))), QString());
        ASSERT_EQ(outcome.problem, RunProblem::None);
        EXPECT_EQ(outcome.command.program, QStringLiteral("./brmsx.exe"));
    }
}

TEST(CommandLine, OneLineToPasteIntoAShell)
{
    EmulatorCommand command;
    command.folder = QStringLiteral("/home/me/it's/");
    command.program = QStringLiteral("/usr/bin/openmsx");
    command.arguments = QStringList{QStringLiteral("-machine"), QStringLiteral("C-BIOS_MSX2+"), QStringLiteral("-cart"),
                                    QStringLiteral("/home/me/it's/$(game).rom")};
    EXPECT_EQ(RenderCommandLine(command).toStdString(),
              "cd '/home/me/it'\\''s/' && '/usr/bin/openmsx' -machine C-BIOS_MSX2+ -cart '/home/me/it'\\''s/$(game).rom'");
}
