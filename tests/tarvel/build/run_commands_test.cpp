#include "build/BuildOutput.h"
#include "build/RunCommands.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

TEST(RunCommands, DsktoolGetsTheImageAndTheProjectPatternAsSingleArguments)
{
    const CommandLine expected{"/opt/tarvel/dsk/dsktool", {"a", "/opt/tarvel/dsk/d.dsk", "/home/a b/$(x)/*.*"}};
    EXPECT_EQ(DsktoolCommand("/opt/tarvel", DiskImagePath("/opt/tarvel/dsk"), "/home/a b/$(x)"), expected);
    EXPECT_EQ(DsktoolCommand("/opt/tarvel/", DiskImagePath("/opt/tarvel/dsk/"), "/home/a b/$(x)/"), expected);
    EXPECT_EQ(BuildScriptCommand("/opt/t/compiler/turbopc.sh"),
              (CommandLine{"/bin/sh", {"/opt/t/compiler/turbopc.sh"}}));
}

TEST(RunCommands, EmulatorArgumentsAreSplitFirstAndThenGetTheImagePath)
{
    const QString image = "/home/ann/my disks/$(touch x) `id`/d.dsk";
    const struct {
        const char* name;
        QString emulator;
        QString arguments;
        QStringList expected;
    } rows[] = {
        {"default arguments", "/usr/bin/openmsx", "-diska %dsk -msx2", {"-diska", image, "-msx2"}},
        {"no placeholder passes unchanged", "/usr/bin/openmsx", "-machine Boosted_MSX2_EN", {"-machine", "Boosted_MSX2_EN"}},
        {"placeholder twice", "/e", "-diska %dsk -diskb %dsk", {"-diska", image, "-diskb", image}},
        {"placeholder inside a word", "/e", "--disk=%dsk", {"--disk=" + image}},
        {"letter case counts", "/e", "-diska %DSK", {"-diska", "%DSK"}},
        {"quoted words stay whole", "/e", "-script \"my script.tcl\" \"%dsk\"", {"-script", "my script.tcl", image}},
        {"empty arguments", "/e", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(EmulatorCommand(row.emulator, row.arguments, image), (CommandLine{row.emulator, row.expected}));
    }
    // A program path with blanks is the program, not a program and arguments.
    EXPECT_EQ(EmulatorCommand("/opt/My Emulators/openmsx", "-diska %dsk", "/d.dsk"),
              (CommandLine{"/opt/My Emulators/openmsx", {"-diska", "/d.dsk"}}));
}

TEST(BuildOutput, SizeLimitCountsTheFilesDirectlyInTheProjectDirectory)
{
    const struct {
        const char* name;
        qint64 visible;
        qint64 hidden;
        qint64 inSubdirectory;
        bool tooLarge;
    } rows[] = {
        {"exactly 720 KB is accepted", 737280, 0, 0, false},
        {"one byte more is refused", 737281, 0, 0, true},
        {"hidden files count", 737000, 281, 0, true},
        {"subdirectories do not count", 737280, 0, 5000, false},
        {"empty directory", 0, 0, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        if (row.visible)
            testfiles::write(dir.filePath("MAIN.PAS"), QByteArray(row.visible, 'a'));
        if (row.hidden)
            testfiles::write(dir.filePath(".hidden"), QByteArray(row.hidden, 'h'));
        if (row.inSubdirectory)
            testfiles::write(dir.filePath("sub/big.bin"), QByteArray(row.inSubdirectory, 's'));
        EXPECT_EQ(ProjectDirectoryTooLarge(dir.path()), row.tooLarge);
    }
}

TEST(BuildOutput, OnlyTheOutputOfTheComingBuildIsDeleted)
{
    const struct {
        const char* name;
        bool makeChn;
        QStringList before;
        QStringList after;
    } rows[] = {
        {"com build deletes the com", false, {"Demo.chn", "Demo.com", "Demo.pas"}, {"Demo.chn", "Demo.pas"}},
        {"chn build deletes the chn", true, {"Demo.chn", "Demo.com", "Demo.pas"}, {"Demo.com", "Demo.pas"}},
        {"found without regard to case", false, {"DEMO.COM", "Demo.pas"}, {"Demo.pas"}},
        {"nothing to delete", false, {"Demo.pas"}, {"Demo.pas"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        for (const QString& name : row.before)
            testfiles::write(dir.filePath(name), "x");
        EXPECT_TRUE(RemoveOldOutput(dir.path(), "Demo", row.makeChn));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), row.after);
    }
}
