#include "../QtPrinting.h"
#include "launcher/BrmsxOptions.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/ImageKind.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace lumivo;

namespace {

BrmsxOptions defaults()
{
    BrmsxOptions o;
    InitBrmsxOptions(o, QStringLiteral("/opt/brmsx"));
    return o;
}

std::string words(const QStringList& list) { return list.join(QLatin1Char(' ')).toStdString(); }

struct OptionRow {
    const char* name;
    std::function<void(BrmsxOptions&)> change;
    const char* expected; // the whole option text
};

void checkRows(const std::vector<OptionRow>& rows)
{
    for (const OptionRow& row : rows) {
        SCOPED_TRACE(row.name);
        BrmsxOptions o = defaults();
        row.change(o);
        EXPECT_EQ(words(BrmsxOptionArguments(o)), row.expected);
    }
}

} // namespace

TEST(BrmsxArguments, DefaultsGiveOnlyNoEnter)
{
    EXPECT_EQ(words(BrmsxOptionArguments(defaults())), "-noenter");
}

TEST(BrmsxArguments, MachineAndSpeed)
{
    checkRows({
        {"Msx2", [](BrmsxOptions& o) { o.Msx2 = true; }, "-msx2 -noenter"},
        {"Msx2Plus", [](BrmsxOptions& o) { o.Msx2Plus = true; }, "-msx2+ -noenter"},
        {"FastSpeed", [](BrmsxOptions& o) { o.FastSpeed = true; o.NormalSpeed = false; }, "-fast -noenter"},
        {"TurboSpeed", [](BrmsxOptions& o) { o.TurboSpeed = true; }, "-turbo -noenter"},
        {"Ciel", [](BrmsxOptions& o) { o.Ciel = true; }, "-ciel -noenter"},
        {"NormalSpeed alone gives nothing", [](BrmsxOptions& o) { o.NormalSpeed = true; }, "-noenter"},
        {"TrueVSync is stored only", [](BrmsxOptions& o) { o.TrueVSync = true; }, "-noenter"},
        {"spares give nothing", [](BrmsxOptions& o) { o.Spare1 = 9; o.SpareLong = 1; o.SpareText1 = QStringLiteral("x"); }, "-noenter"},
    });
}

TEST(BrmsxArguments, MemoryValuesOnlyWhenNotTheDefault)
{
    checkRows({
        {"AdvRam", [](BrmsxOptions& o) { o.AdvRam = true; }, "-advram -noenter"},
        {"Korean", [](BrmsxOptions& o) { o.Korean = true; }, "-korean -noenter"},
        {"mapper 0", [](BrmsxOptions& o) { o.MapperSize = 0; }, "-mapper 0 -noenter"},
        {"mapper 6", [](BrmsxOptions& o) { o.MapperSize = 6; }, "-mapper 6 -noenter"},
        {"megaram 0", [](BrmsxOptions& o) { o.MegaRamSize = 0; }, "-megaram 0 -noenter"},
        {"megaram 4", [](BrmsxOptions& o) { o.MegaRamSize = 4; }, "-megaram 4 -noenter"},
        {"ramslot 3", [](BrmsxOptions& o) { o.RamSlot = 3; }, "-ramslot 3 -noenter"},
        {"ramslot 0 from an odd file", [](BrmsxOptions& o) { o.RamSlot = 0; }, "-ramslot 0 -noenter"},
        {"ramslot 2 is the default", [](BrmsxOptions& o) { o.RamSlot = 2; }, "-noenter"},
    });
}

TEST(BrmsxArguments, VideoOptions)
{
    checkRows({
        {"AllSprites", [](BrmsxOptions& o) { o.AllSprites = true; }, "-allspr -noenter"},
        {"CpuGraph", [](BrmsxOptions& o) { o.CpuGraph = true; }, "-cpugraph -noenter"},
        {"Green", [](BrmsxOptions& o) { o.Green = true; }, "-green -noenter"},
        {"NoCache", [](BrmsxOptions& o) { o.NoCache = true; }, "-nocache -noenter"},
        {"NoSpriteCollision", [](BrmsxOptions& o) { o.NoSpriteCollision = true; }, "-nosprcol -noenter"},
        {"PsgGraph", [](BrmsxOptions& o) { o.PsgGraph = true; }, "-psggraph -noenter"},
        {"res 3", [](BrmsxOptions& o) { o.Resolution = 3; }, "-res 3 -noenter"},
        {"res 6 (Parrot)", [](BrmsxOptions& o) { o.Resolution = 6; }, "-res 6 -noenter"},
        {"res 11 (YJK)", [](BrmsxOptions& o) { o.Resolution = 11; }, "-res 11 -noenter"},
        {"VdpTiming", [](BrmsxOptions& o) { o.VdpTiming = true; }, "-vdptiming -noenter"},
        {"VSync", [](BrmsxOptions& o) { o.VSync = true; }, "-vsync -noenter"},
    });
}

TEST(BrmsxArguments, SoundAndInput)
{
    checkRows({
        {"FmPac", [](BrmsxOptions& o) { o.FmPac = true; }, "-fmpac -noenter"},
        {"NoSound", [](BrmsxOptions& o) { o.NoSound = true; }, "-nosound -noenter"},
        {"Scc", [](BrmsxOptions& o) { o.Scc = true; }, "-scc -noenter"},
        {"Speaker", [](BrmsxOptions& o) { o.Speaker = true; }, "-speaker -noenter"},
        {"AutoFire", [](BrmsxOptions& o) { o.AutoFire = true; }, "-autofire -noenter"},
        {"AutoRun", [](BrmsxOptions& o) { o.AutoRun = true; }, "-autorun -noenter"},
        {"DiskHigh", [](BrmsxOptions& o) { o.DiskHigh = true; o.DiskLow = false; }, "-diskhigh -noenter"},
        {"FakeJoy", [](BrmsxOptions& o) { o.FakeJoy = true; }, "-fakejoy -noenter"},
        {"Joystick", [](BrmsxOptions& o) { o.Joystick = true; }, "-joy -noenter"},
        {"SnesPad", [](BrmsxOptions& o) { o.SnesPad = true; }, "-snespad -noenter"},
    });
}

TEST(BrmsxArguments, JoystickSensitivityNeedsAJoystickAndANonDefaultValue)
{
    checkRows({
        {"5 without any joystick", [](BrmsxOptions& o) { o.JoySensitivity = 5; }, "-noenter"},
        {"5 with Joy", [](BrmsxOptions& o) { o.JoySensitivity = 5; o.Joystick = true; }, "-joy -joysens 5 -noenter"},
        {"0 with SNESPad", [](BrmsxOptions& o) { o.JoySensitivity = 0; o.SnesPad = true; }, "-snespad -joysens 0 -noenter"},
        {"7 with FakeJoy", [](BrmsxOptions& o) { o.JoySensitivity = 7; o.FakeJoy = true; }, "-fakejoy -joysens 7 -noenter"},
        {"3 is never written", [](BrmsxOptions& o) { o.Joystick = o.SnesPad = o.FakeJoy = true; },
         "-fakejoy -joy -snespad -noenter"},
    });
}

TEST(BrmsxArguments, MultiplayerGatesClientServerAndPort)
{
    checkRows({
        {"client and server without multiplayer", [](BrmsxOptions& o) { o.MultiClient = o.MultiServer = true; o.ComPort = 3; }, "-noenter"},
        {"multiplayer alone still gives the port", [](BrmsxOptions& o) { o.Multiplayer = true; }, "-com 2 -noenter"},
        {"server", [](BrmsxOptions& o) { o.Multiplayer = o.MultiServer = true; o.ComPort = 1; }, "-server -com 1 -noenter"},
        {"client", [](BrmsxOptions& o) { o.Multiplayer = o.MultiClient = true; o.ComPort = 4; }, "-client -com 4 -noenter"},
        {"port list left empty", [](BrmsxOptions& o) { o.Multiplayer = true; o.ComPort = 0; }, "-com 0 -noenter"},
    });
}

TEST(BrmsxArguments, ControlOptionsComeAfterNoEnter)
{
    checkRows({
        {"NoLed", [](BrmsxOptions& o) { o.NoLed = true; }, "-noenter -noled"},
        {"NoMmx", [](BrmsxOptions& o) { o.NoMmx = true; }, "-noenter -nommx"},
        {"NoMouse", [](BrmsxOptions& o) { o.NoMouse = true; }, "-noenter -nomouse"},
        {"NoPentium", [](BrmsxOptions& o) { o.NoPentium = true; }, "-noenter -nopentium"},
        {"NoVesa", [](BrmsxOptions& o) { o.NoVesa = true; }, "-noenter -novesa"},
    });
}

TEST(BrmsxArguments, AllOptionsAppearInTheirFixedOrder)
{
    BrmsxOptions o = defaults();
    o.Msx2 = o.Msx2Plus = o.FastSpeed = o.TurboSpeed = o.Ciel = o.AdvRam = o.Korean = true;
    o.MapperSize = 2;
    o.MegaRamSize = 3;
    o.RamSlot = 3;
    o.AllSprites = o.CpuGraph = o.Green = o.NoCache = o.NoSpriteCollision = o.PsgGraph = true;
    o.Resolution = 1;
    o.VdpTiming = o.VSync = o.FmPac = o.NoSound = o.Scc = o.Speaker = true;
    o.AutoFire = o.AutoRun = o.DiskHigh = o.FakeJoy = o.Joystick = o.SnesPad = true;
    o.JoySensitivity = 6;
    o.Multiplayer = o.MultiClient = o.MultiServer = true;
    o.ComPort = 3;
    o.NoLed = o.NoMmx = o.NoMouse = o.NoPentium = o.NoVesa = true;
    EXPECT_EQ(words(BrmsxOptionArguments(o)),
              "-msx2 -msx2+ -fast -turbo -ciel -advram -korean -mapper 2 -megaram 3 -ramslot 3 -allspr "
              "-cpugraph -green -nocache -nosprcol -psggraph -res 1 -vdptiming -vsync -fmpac -nosound -scc "
              "-speaker -autofire -autorun -diskhigh -fakejoy -joy -snespad -joysens 6 -client -server -com 3 "
              "-noenter -noled -nommx -nomouse -nopentium -novesa");
}

TEST(BrmsxCommand, WorkedExample)
{
    QTemporaryDir root;
    const QString games = root.path() + QStringLiteral("/My Games");
    QDir().mkpath(games);
    BrmsxOptions o = defaults();
    o.BrmsxFolder = QStringLiteral("/opt/BRMSX");
    o.Msx2 = true;
    o.MapperSize = 2;
    const CommandOutcome outcome = BuildBrmsxCommand({KindDsk, games, QStringLiteral("GAME.DSK")}, o);
    ASSERT_EQ(outcome.problem, RunProblem::None);
    EXPECT_EQ(outcome.command.folder, QStringLiteral("/opt/BRMSX/"));
    EXPECT_EQ(outcome.command.program, QStringLiteral("./brmsx.exe"));
    EXPECT_EQ(words(outcome.command.arguments), "-diska " + games.toStdString() + "/GAME.DSK -msx2 -mapper 2 -noenter");
}

TEST(BrmsxCommand, ImageOptionForEachKind)
{
    QTemporaryDir root;
    const QString folder = root.path();
    struct Row {
        int kind;
        QString file;
        QStringList expected;
    };
    const Row rows[] = {
        {KindDsk, QStringLiteral("a.dsk"), {QStringLiteral("-diska"), folder + QStringLiteral("/a.dsk")}},
        {KindRom, QStringLiteral("b.rom"), {QStringLiteral("-rom"), folder + QStringLiteral("/b.rom")}},
        {KindCas, QStringLiteral("c.cas"), {QStringLiteral("-tape"), folder + QStringLiteral("/c.cas")}},
        {KindDir, QString(), {QStringLiteral("-mount"), folder + QStringLiteral("/")}},
        {KindDir, QStringLiteral("ignored.bas"), {QStringLiteral("-mount"), folder + QStringLiteral("/")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(ImageKindCaption(row.kind).toStdString() + " " + row.file.toStdString());
        const CommandOutcome outcome = BuildBrmsxCommand({row.kind, folder, row.file}, defaults());
        ASSERT_EQ(outcome.problem, RunProblem::None);
        EXPECT_EQ(outcome.command.arguments, row.expected + QStringList{QStringLiteral("-noenter")});
    }
}

TEST(BrmsxCommand, RefusesWithoutFolderOrFile)
{
    BrmsxOptions noFolder = defaults();
    noFolder.BrmsxFolder.clear();
    EXPECT_EQ(BuildBrmsxCommand({KindDsk, QStringLiteral("/"), QStringLiteral("a.dsk")}, noFolder).problem,
              RunProblem::BrmsxNotConfigured);
    for (int kind : {KindDsk, KindRom, KindCas}) {
        SCOPED_TRACE(kind);
        EXPECT_EQ(BuildBrmsxCommand({kind, QStringLiteral("/"), QString()}, defaults()).problem,
                  RunProblem::NoFileSelected);
    }
}

TEST(BrmsxCommand, AFolderWithBlanksIsKeptWhole)
{
    BrmsxOptions o = defaults();
    o.BrmsxFolder = QStringLiteral("/home/me/Emulators/BR MSX 2.0");
    const CommandOutcome outcome = BuildBrmsxCommand({KindDir, QStringLiteral("/"), QString()}, o);
    EXPECT_EQ(outcome.command.folder, QStringLiteral("/home/me/Emulators/BR MSX 2.0/"));
}

TEST(BrmsxCommand, AVanishedFolderIsPassedAsShown)
{
    const CommandOutcome outcome =
        BuildBrmsxCommand({KindRom, QStringLiteral("/no/such/folder"), QStringLiteral("x.rom")}, defaults());
    EXPECT_EQ(outcome.command.arguments.at(1), QStringLiteral("/no/such/folder/x.rom"));
}

TEST(FmsxCommand, ImagesGoToTheirDrives)
{
    QTemporaryDir root;
    const QString folder = root.path();
    const QString fmsx = QStringLiteral("/usr/games/fmsx");
    struct Row {
        int kind;
        QStringList expected;
    };
    const Row rows[] = {
        {KindDsk, {QStringLiteral("-diska"), folder + QStringLiteral("/g.dsk")}},
        {KindRom, {folder + QStringLiteral("/g.dsk")}},
        {KindCas, {QStringLiteral("-tape"), folder + QStringLiteral("/g.dsk")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        const CommandOutcome outcome = BuildFmsxCommand({row.kind, folder, QStringLiteral("g.dsk")}, fmsx);
        ASSERT_EQ(outcome.problem, RunProblem::None);
        EXPECT_EQ(outcome.command.program, fmsx);
        EXPECT_EQ(outcome.command.folder, folder + QStringLiteral("/"));
        EXPECT_EQ(outcome.command.arguments, row.expected);
    }
    EXPECT_EQ(BuildFmsxCommand({KindDir, folder, QString()}, fmsx).problem, RunProblem::FmsxCannotRunFolder);
    EXPECT_EQ(BuildFmsxCommand({KindRom, folder, QString()}, fmsx).problem, RunProblem::NoFileSelected);
    EXPECT_EQ(BuildFmsxCommand({KindRom, folder, QStringLiteral("g.rom")}, QString()).problem, RunProblem::FmsxNotFound);
}
