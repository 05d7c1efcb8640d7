#include "build/BuildOutput.h"
#include "build/BuildScript.h"
#include "build/RunCommands.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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
        EXPECT_EQ(CheckProjectSize(dir.path(), "MAIN").tooLarge(), row.tooLarge);
    }
}

TEST(BuildOutput, OnlyTheOutputOfTheComingBuildIsDeleted)
{
    const struct {
        const char* name;
        bool makeChn;
        QStringList before; // a name ending in '/' is a folder
        QStringList after;
        bool gone;
    } rows[] = {
        {"com build deletes the com", false, {"Demo.chn", "Demo.com", "Demo.pas"}, {"Demo.chn", "Demo.pas"}, true},
        {"chn build deletes the chn", true, {"Demo.chn", "Demo.com", "Demo.pas"}, {"Demo.com", "Demo.pas"}, true},
        {"found without regard to case", false, {"DEMO.COM", "Demo.pas"}, {"Demo.pas"}, true},
        {"every letter case it exists in", true, {"DEMO.CHN", "Demo.chn", "demo.Chn", "Demo.pas"}, {"Demo.pas"}, true},
        {"nothing to delete", false, {"Demo.pas"}, {"Demo.pas"}, true},
        {"a folder of that name stays and says so", false, {"Demo.com/", "Demo.pas"}, {"Demo.com", "Demo.pas"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir dir;
        for (const QString& name : row.before) {
            if (name.endsWith('/'))
                QDir().mkpath(dir.filePath(name));
            else
                testfiles::write(dir.filePath(name), "x");
        }
        EXPECT_EQ(RemoveOldOutput(dir.path(), "Demo", row.makeChn), row.gone);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name), row.after);
    }
}

TEST(BuildOutput, TheCompilerMustBeAFileTheSystemMayRun)
{
    QTemporaryDir kit;
    const QString compiler = CompilerPath(kit.path());
    EXPECT_EQ(compiler, kit.path() + "/compiler/TP3");
    const struct {
        const char* name;
        QByteArray bytes; // null: a folder; empty: nothing
        bool executable;
        QString reason;
    } rows[] = {
        {"missing", "", false, "There is no compiler there."},
        {"a folder", QByteArray(), false, "That is not a file."},
        {"not executable", "#!/bin/sh\n", false, "That file may not be run (it is not executable)."},
        {"a program", "#!/bin/sh\n", true, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(kit.path()).removeRecursively();
        QDir().mkpath(kit.path() + "/compiler");
        if (row.bytes.isNull())
            QDir().mkpath(compiler);
        else if (!row.bytes.isEmpty())
            testfiles::write(compiler, row.bytes);
        if (row.executable)
            QFile::setPermissions(compiler, QFile::permissions(compiler) | QFileDevice::ExeOwner);
        const QString problem = CompilerProblem(FindCompiler(CompilerFolder(kit.path())), QString());
        if (row.reason.isEmpty()) {
            EXPECT_EQ(problem, "");
        } else {
            EXPECT_EQ(problem, "The compiler could not be started:\r\n" + compiler + "\r\n" + row.reason
                                   + "\r\n\r\n" + kPutCompilerThere + "\r\n");
        }
    }
}

TEST(RunCommands, OnlyAWholeDiskImageCounts)
{
    QTemporaryDir dir;
    const QString image = dir.filePath("d.dsk");
    const struct {
        const char* name;
        std::function<void()> make;
        QString error; // "" when the image counts
    } rows[] = {
        {"a whole image", [&] { testfiles::write(image, QByteArray(737280, '\0')); }, ""},
        {"nothing there", [] {}, "No disk image was made at " + image + "."},
        {"a short file", [&] { testfiles::write(image, QByteArray(31, ' ')); },
         image + " holds 31 bytes, not the 737280 of a 720 KB disk."},
        {"one byte too many", [&] { testfiles::write(image, QByteArray(737281, '\0')); },
         image + " holds 737281 bytes, not the 737280 of a 720 KB disk."},
        {"a folder", [&] { QDir().mkpath(image); }, image + " is not a plain file."},
        {"a link to a whole image", [&] {
             testfiles::write(dir.filePath("real.dsk"), QByteArray(737280, '\0'));
             QFile::link(dir.filePath("real.dsk"), image);
         }, image + " is not a plain file."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(image);
        QDir(image).removeRecursively();
        row.make();
        const common::Status checked = CheckDiskImage(image);
        EXPECT_EQ(checked.ok(), row.error.isEmpty());
        EXPECT_EQ(checked.ok() ? QString() : checked.error(), row.error);
    }
}
