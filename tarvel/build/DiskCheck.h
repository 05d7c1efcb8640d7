#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tarvel {

// The 720 KB MSX-DOS disk Compile and Run puts the project on: 1440 sectors of 512 bytes, one
// boot sector, two FATs of 3 sectors, a root directory of 7 sectors (112 entries of 32 bytes) and
// clusters of 2 sectors. Every file takes whole clusters.
inline constexpr int kDiskSectors = 1440;
inline constexpr int kDiskSectorBytes = 512;
inline constexpr int kDiskReservedSectors = 1;
inline constexpr int kDiskFats = 2;
inline constexpr int kDiskSectorsPerFat = 3;
inline constexpr int kDiskRootEntries = 112;
inline constexpr int kDiskRootSectors = kDiskRootEntries * 32 / kDiskSectorBytes;
inline constexpr int kDiskSectorsPerCluster = 2;
inline constexpr int kDiskClusterBytes = kDiskSectorsPerCluster * kDiskSectorBytes;
inline constexpr int kDiskFreeClusters =
    (kDiskSectors - kDiskReservedSectors - kDiskFats * kDiskSectorsPerFat - kDiskRootSectors) / kDiskSectorsPerCluster;
static_assert(kDiskFreeClusters == 713, "a fresh 720 KB disk has 713 free clusters of 1 KB");

// One file that goes onto the disk: its name in the project folder and its size.
struct DiskFile {
    QString name;
    qint64 size = 0;
};

// The files a build and Compile and Run make for themselves in the project folder, which are not
// part of the project: the compiler's result.txt and errors.txt, the build script (turbopc.sh or
// turbopc.bat), the disk image d.dsk and the boot disk it starts from, and the chain file
// <baseName>.chn the program is joined from. Letter case does not matter. They are neither counted against the disk nor put on it.
[[nodiscard]] bool IsWorkingFile(const QString& name, const QString& baseName);

// The files of a project folder that go onto the disk: the plain files (links to files count),
// not the hidden (dot) files, not folders, not the working files of a build of `baseName`.
[[nodiscard]] QList<DiskFile> FilesForDisk(const QString& folder, const QString& baseName);

// The `count` largest of `files`, largest first, as "NAME (N KB)" with the size rounded up.
[[nodiscard]] QStringList LargestFiles(QList<DiskFile> files, int count = 3);

// Whether MSX-DOS can open a file by this name as mtools stores it: one to eight characters,
// optionally a dot and one to three more, each a letter, a digit or one of ! # $ % & ( ) - @ ^ _ `
// { } ~. Letter case does not matter (the disk holds the name in upper case); any other character,
// a blank, a non-ASCII letter or an apostrophe among them, does: mtools gives such a name a made-up
// short name ('Q'.INC becomes _Q_~1.INC) that MSX-DOS programs do not know it by.
[[nodiscard]] bool IsMsxDosName(const QString& name);

// The root directory entries a file takes on the disk: one; a valid name whose letters mix cases
// within its name or its extension (Game.pas) also gets long-name entries, one per 13 characters.
[[nodiscard]] int RootEntriesFor(const QString& name);

// The clusters a file of `size` bytes takes: none when empty.
[[nodiscard]] qint64 ClustersFor(qint64 size);

// What keeps a set of files from fitting the disk.
struct DiskProblems {
    QStringList badNames;   // not MSX-DOS names, in the order given
    QStringList clashes;    // names that are one name on the disk (a.inc and A.INC)
    int rootEntries = 0;    // the root directory entries the files take
    qint64 clusters = 0;    // the clusters the files take
    QStringList largest;    // when they take too many: the largest files (LargestFiles)
    int bootEntries = 0;    // the root directory entries the boot disk already uses
    qint64 bootClusters = 0; // the clusters the boot disk already uses
    int freeEntries() const { return kDiskRootEntries - bootEntries; }
    qint64 freeClusters() const { return kDiskFreeClusters - bootClusters; }
    bool tooManyEntries() const { return rootEntries > freeEntries(); }
    bool tooMuchData() const { return clusters > freeClusters(); }
    bool any() const { return !badNames.isEmpty() || !clashes.isEmpty() || tooManyEntries() || tooMuchData(); }
};

// The files on a disk that starts empty, or as a copy of a boot disk that already uses
// `bootEntries` root entries and `bootClusters` clusters.
[[nodiscard]] DiskProblems CheckDiskFiles(const QList<DiskFile>& files, int bootEntries = 0, qint64 bootClusters = 0);

// One message that lists every problem; "" when there is none.
[[nodiscard]] QString DiskProblemText(const DiskProblems& problems);

} // namespace tarvel
