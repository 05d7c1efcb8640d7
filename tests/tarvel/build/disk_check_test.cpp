#include "build/DiskCheck.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvel;

TEST(DiskCheck, MsxDosNamesAndTheirRootEntries)
{
    const struct {
        const char* name;
        bool msxDos;
        int entries;
    } rows[] = {
        {"GAME.PAS", true, 1},
        {"game.pas", true, 1},        // one case: the disk keeps it with case flags
        {"GAME.pas", true, 1},
        {"Game.pas", true, 2},        // mixed case: a long-name entry too
        {"README", true, 1},
        {"A", true, 1},
        {"12345678.123", true, 1},
        {"X!#$%&(.)-@", true, 1},
        {"'Q'.INC", false, 2},       // mtools makes it _Q_~1.INC plus a long name
        {"^_`{}~.A", true, 1},
        {"123456789.PAS", false, 2},  // base too long
        {"GAME.PASC", false, 2},      // extension too long
        {"a.b.c", false, 2},          // two dots
        {"GAME.", false, 2},
        {"my game.pas", false, 2},    // a blank
        {"a+b.pas", false, 2},        // not a disk name character
        {"tp3-calls.txt", false, 2},
        {"a-very-long-name-of-thirty.txt", false, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsMsxDosName(QString::fromLatin1(row.name)), row.msxDos);
        EXPECT_EQ(RootEntriesFor(QString::fromLatin1(row.name)), row.entries);
    }
    for (const char* utf8 : {"stra\xC3\x9F" "e.inc", "\xC3\xA9t\xC3\xA9.pas", "\xD1\x8F.pas"}) {
        SCOPED_TRACE(utf8);
        EXPECT_FALSE(IsMsxDosName(QString::fromUtf8(utf8))) << "non-ASCII names are not 8.3";
    }
}

TEST(DiskCheck, ProblemsOfASetOfFiles)
{
    EXPECT_EQ(ClustersFor(0), 0);
    EXPECT_EQ(ClustersFor(1), 1);
    EXPECT_EQ(ClustersFor(1024), 1);
    EXPECT_EQ(ClustersFor(1025), 2);

    QList<DiskFile> fits;
    for (int i = 0; i < 112; ++i)
        fits.append({QStringLiteral("F%1.DAT").arg(i), i < 100 ? 7 * 1024 : 1});
    const DiskProblems none = CheckDiskFiles(fits);
    EXPECT_EQ(none.rootEntries, 112);
    EXPECT_EQ(none.clusters, 712);
    EXPECT_FALSE(none.any());
    EXPECT_EQ(DiskProblemText(none), "");

    QList<DiskFile> over = fits;
    over[0].size += 2 * 1024; // 714 clusters
    over.append({QStringLiteral("a.inc"), 0});
    over.append({QStringLiteral("A.INC"), 0});
    over.append({QStringLiteral("x y.z"), 0});
    const DiskProblems problems = CheckDiskFiles(over);
    EXPECT_EQ(problems.badNames, QStringList{"x y.z"});
    EXPECT_EQ(problems.clashes, QStringList{"a.inc, A.INC"});
    EXPECT_EQ(problems.rootEntries, 116);
    EXPECT_EQ(problems.clusters, 714);
    EXPECT_EQ(DiskProblemText(problems),
              "The project folder does not fit on the MSX disk, so nothing was started:\n"
              "- MSX-DOS cannot open these files by their names (up to 8 letters or digits, a dot and up to 3 more): x y.z\n"
              "- These files would be one file on the disk: a.inc, A.INC\n"
              "- The files need 116 root directory entries; the disk has 112.\n"
              "- The files need 714 KB in 1 KB clusters; the disk has 713 KB free. The largest: F0.DAT (9 KB), F1.DAT (7 KB), "
              "F2.DAT (7 KB).");
}

TEST(DiskCheck, TheFilesDsktoolCopies)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("GAME.PAS"), "12345");
    testfiles::write(dir.filePath(".hidden"), "x");
    testfiles::write(dir.filePath("sub/inner.txt"), "x");
    QFile::link(dir.filePath("GAME.PAS"), dir.filePath("link.pas"));
    QFile::link(dir.filePath("gone"), dir.filePath("dangling"));
    const QList<DiskFile> files = FilesForDisk(dir.path(), "GAME");
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].name, "GAME.PAS");
    EXPECT_EQ(files[1].name, "link.pas");
    EXPECT_EQ(files[1].size, 5);
}

// The numbers hold for the disk dsktool makes with real mtools: a fresh image has 713 free
// clusters of 1 KB, and each name takes the root entries RootEntriesFor gives.
TEST(DiskCheck, AgreesWithTheDiskDsktoolMakes)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    const QString dsktool = testfiles::kitSourceDir() + "/dsk/dsktool";
    QTemporaryDir dir;
    const QString image = dir.filePath("d.dsk");
    QDir().mkpath(dir.filePath("empty"));
    QProcess run;
    run.start(dsktool, {"a", image, dir.filePath("empty/*.*")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    QProcess mdir;
    mdir.setProcessEnvironment([] {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("MTOOLSRC", "/dev/null");
        e.insert("MTOOLS_SKIP_CHECK", "1");
        return e;
    }());
    mdir.start("mdir", {"-i", image, "::"});
    ASSERT_TRUE(mdir.waitForFinished(30000));
    const QString listing = QString::fromLocal8Bit(mdir.readAllStandardOutput());
    QString free = QString::number(kDiskFreeClusters * kDiskClusterBytes);
    free.insert(free.size() - 3, QLatin1Char(' ')); // mdir writes 730 112
    EXPECT_TRUE(listing.simplified().contains(free + " bytes free")) << listing.toStdString();

    // Names of each kind copied onto a fresh disk take the root entries counted for them.
    const char* names[] = {"GAME.PAS", "game.inc", "GAME.tpj", "Game.chn", "tp3-calls.txt", "a-very-long-name-of-thirty.txt"};
    QFile::remove(image);
    int expected = 0;
    for (const char* name : names) {
        testfiles::write(dir.filePath(QStringLiteral("files/") + QLatin1String(name)), "x");
        expected += RootEntriesFor(QLatin1String(name));
    }
    run.start(dsktool, {"a", image, dir.filePath("files/*.*")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const QByteArray bytes = testfiles::read(image);
    const int rootStart = (kDiskReservedSectors + kDiskFats * kDiskSectorsPerFat) * kDiskSectorBytes;
    int used = 0;
    for (int entry = 0; entry < kDiskRootEntries; ++entry) {
        const char first = bytes.at(rootStart + entry * 32);
        if (first == 0)
            break;
        if (first != char(0xE5))
            ++used;
    }
    EXPECT_EQ(used, expected);
    EXPECT_EQ(expected, 1 + 1 + 1 + 2 + 2 + 4);

    // A name is accepted exactly when mtools stores it as it is (upper-cased): every character
    // the check allows, and the apostrophe, which mtools replaces.
    QFile::remove(image);
    QDir(dir.filePath("files")).removeRecursively();
    const QStringList tried{"A!#$%&.TXT", "B()-@^.TXT", "C_`{}~.TXT", "'Q'.INC", "D'.INC", "tp3-calls.txt"};
    for (const QString& name : tried)
        testfiles::write(dir.filePath("files/" + name), "x");
    run.start(dsktool, {"a", image, dir.filePath("files/*.*")});
    ASSERT_TRUE(run.waitForFinished(30000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    // The short names as MSX-DOS sees them: mdir lists each as 8 + 3 characters.
    mdir.start("mdir", {"-i", image, "::"});
    ASSERT_TRUE(mdir.waitForFinished(30000));
    QStringList stored;
    for (const QString& line : QString::fromLocal8Bit(mdir.readAllStandardOutput()).split('\n')) {
        if (line.size() > 12 && line.at(8) == ' ')
            stored << line.left(8).trimmed() + "." + line.mid(9, 3).trimmed();
    }
    for (const QString& name : tried) {
        const bool keptAsItIs = stored.contains(name.toUpper());
        EXPECT_EQ(IsMsxDosName(name), keptAsItIs) << name.toStdString() << " in " << stored.join(' ').toStdString();
    }
}
