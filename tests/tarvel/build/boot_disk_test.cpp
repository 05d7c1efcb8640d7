// The boot disk read as Compile and Run reads it, and as dsktool and mtools use it.
#include "build/BootDisk.h"
#include "build/DiskCheck.h"

#include "BuildTestKit.h"
#include "TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

QProcessEnvironment mtoolsEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MTOOLSRC", "/dev/null");
    environment.insert("MTOOLS_SKIP_CHECK", "1");
    return environment;
}

// Runs dsktool a <folder>/d.dsk <folder>/project/*.*; the exit status and what it printed.
std::pair<int, QString> dsktool(const QString& folder)
{
    QProcess run;
    run.setProcessEnvironment(mtoolsEnvironment());
    run.start(testfiles::kitSourceDir() + "/dsk/dsktool", {"a", folder + "/d.dsk", folder + "/project/*.*"});
    if (!run.waitForFinished(30000))
        return {-1, "dsktool did not end"};
    return {run.exitCode(), QString::fromLocal8Bit(run.readAllStandardError())};
}

QString mdir(const QString& image)
{
    QProcess run;
    run.setProcessEnvironment(mtoolsEnvironment());
    run.start("mdir", {"-i", image, "-b", "::"});
    run.waitForFinished(30000);
    return QString::fromLocal8Bit(run.readAllStandardOutput());
}

} // namespace

// Boot disks made with mtools, and files that are not one: what Compile and Run reads from each
// agrees with what dsktool accepts.
TEST(BootDisk, WhatIsReadAgreesWithWhatDsktoolAccepts)
{
    QTemporaryDir dir;
    if (!buildtest::makeBootDisk(dir.filePath("dos1.dsk")))
        GTEST_SKIP() << "mtools is not installed";
    ASSERT_TRUE(buildtest::makeBootDisk(dir.filePath("dos2.dsk"), {"MSXDOS2.SYS", "COMMAND2.COM"}));
    ASSERT_TRUE(buildtest::makeBootDisk(dir.filePath("nodos.dsk"), {"GAME.COM"}));
    QByteArray notFat(737280, '\0');
    const struct {
        const char* name;
        QByteArray bytes;
        const char* problem; // "" for a usable disk
    } rows[] = {
        {"MSX-DOS", testfiles::read(dir.filePath("dos1.dsk")), ""},
        {"MSX-DOS 2", testfiles::read(dir.filePath("dos2.dsk")), ""},
        {"no system files", testfiles::read(dir.filePath("nodos.dsk")), "no MSX-DOS system files"},
        {"a text file", "not a disk\n", "11 bytes long"},
        {"720 KB of zeros", notFat, "does not describe a 720 KB MSX-DOS disk"},
        {"a cut boot disk", testfiles::read(dir.filePath("dos1.dsk")).left(368640), "368640 bytes long"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder;
        testfiles::write(folder.filePath("boot.dsk"), row.bytes);
        testfiles::write(folder.filePath("project/AUTOEXEC.BAT"), "GAME\r\n");
        const BootDisk disk = ReadBootDisk(folder.path());
        EXPECT_TRUE(disk.present);
        EXPECT_TRUE(disk.problem.contains(QLatin1String(row.problem))) << disk.problem.toStdString();
        const auto [status, error] = dsktool(folder.path());
        EXPECT_EQ(status == 0, disk.usable()) << error.toStdString();
        if (!disk.usable()) {
            EXPECT_FALSE(QFile::exists(folder.filePath("d.dsk"))) << "nothing is made from a bad boot disk";
            continue;
        }
        // d.dsk starts as the boot disk, then holds the project's files too.
        const QByteArray image = testfiles::read(folder.filePath("d.dsk"));
        EXPECT_EQ(image.left(512), row.bytes.left(512));
        const QString listing = mdir(folder.filePath("d.dsk"));
        for (const QString& name : disk.systemFiles + QStringList{"AUTOEXEC.BAT"})
            EXPECT_TRUE(listing.contains("::/" + name)) << name.toStdString() << " missing from " << listing.toStdString();
        // Two system files of one cluster each, as mtools wrote them.
        EXPECT_EQ(disk.rootEntries, 2);
        EXPECT_EQ(disk.clusters, 2);
        EXPECT_EQ(disk.systemFiles.size(), 2);
    }
    EXPECT_FALSE(ReadBootDisk(dir.filePath("nowhere")).present);
}

// The disk check counts what the boot disk uses: files that fill an empty disk do not fit on one
// that starts from a boot disk.
TEST(BootDisk, TheDiskCheckCountsWhatTheBootDiskUses)
{
    const QList<DiskFile> files{{"BIG.DAT", 712 * 1024}};
    EXPECT_FALSE(CheckDiskFiles(files).any());
    const DiskProblems problems = CheckDiskFiles(files, 2, 2);
    EXPECT_TRUE(problems.tooMuchData());
    EXPECT_TRUE(DiskProblemText(problems).contains("The files need 712 KB in 1 KB clusters; the boot disk leaves 711 KB free."));
    QList<DiskFile> many;
    for (int i = 0; i < 111; ++i)
        many.append({QStringLiteral("F%1.DAT").arg(i), 0});
    EXPECT_FALSE(CheckDiskFiles(many, 1, 0).tooManyEntries());
    EXPECT_TRUE(CheckDiskFiles(many, 2, 0).tooManyEntries());
}
