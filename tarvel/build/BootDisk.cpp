#include "build/BootDisk.h"

#include "build/DiskCheck.h"
#include "build/RunCommands.h"
#include "core/Paths.h"

#include <QFile>
#include <QFileInfo>

namespace tarvel {

namespace {

constexpr int kDirectoryEntryBytes = 32;
constexpr int kDataClusters = kDiskFreeClusters;

int word(const QByteArray& bytes, int at)
{
    return quint8(bytes.at(at)) | (quint8(bytes.at(at + 1)) << 8);
}

// The FAT12 entry of a cluster in the first FAT.
int fatEntry(const QByteArray& bytes, int cluster)
{
    const int fat = kDiskReservedSectors * kDiskSectorBytes;
    const int at = fat + cluster * 3 / 2;
    const int pair = word(bytes, at);
    return (cluster & 1) ? pair >> 4 : pair & 0xFFF;
}

QString layoutProblem(const QByteArray& bytes)
{
    if (word(bytes, 11) != kDiskSectorBytes || quint8(bytes.at(13)) != kDiskSectorsPerCluster
        || word(bytes, 14) != kDiskReservedSectors || quint8(bytes.at(16)) != kDiskFats
        || word(bytes, 17) != kDiskRootEntries || word(bytes, 19) != kDiskSectors || word(bytes, 22) != kDiskSectorsPerFat)
        return QStringLiteral("its boot sector does not describe a 720 KB MSX-DOS disk (FAT12, 2 sectors per "
                              "cluster, 112 root entries)");
    if (quint8(bytes.at(kDiskReservedSectors * kDiskSectorBytes)) != quint8(bytes.at(21)))
        return QStringLiteral("its file allocation table does not begin with the disk's media byte, so it "
                              "is not a readable FAT12 disk");
    return {};
}

QString sizeProblem(qint64 size)
{
    return QStringLiteral("it is %1 bytes long, not the %2 bytes of a 720 KB disk").arg(size).arg(kDiskImageBytes);
}

} // namespace

QString BootDiskPath(const QString& diskImageDir)
{
    return common::AddBackslash(diskImageDir) + QLatin1String(kBootDiskName);
}

BootDisk ReadBootDiskImage(const QByteArray& bytes)
{
    BootDisk disk;
    disk.present = true;
    if (bytes.size() != kDiskImageBytes) {
        disk.problem = sizeProblem(bytes.size());
        return disk;
    }
    disk.problem = layoutProblem(bytes);
    if (!disk.problem.isEmpty())
        return disk;

    const int root = (kDiskReservedSectors + kDiskFats * kDiskSectorsPerFat) * kDiskSectorBytes;
    QStringList names;
    for (int entry = 0; entry < kDiskRootEntries; ++entry) {
        const QByteArray raw = bytes.mid(root + entry * kDirectoryEntryBytes, kDirectoryEntryBytes);
        if (raw.at(0) == 0)
            break;
        if (quint8(raw.at(0)) == 0xE5)
            continue;
        ++disk.rootEntries;
        const quint8 attributes = quint8(raw.at(11));
        if (attributes == 0x0F || (attributes & 0x18)) // long name, volume label, folder
            continue;
        const QString base = QString::fromLatin1(raw.left(8)).trimmed();
        const QString extension = QString::fromLatin1(raw.mid(8, 3)).trimmed();
        names << (extension.isEmpty() ? base : base + QLatin1Char('.') + extension);
    }
    for (int cluster = 2; cluster < 2 + kDataClusters; ++cluster) {
        if (fatEntry(bytes, cluster) != 0)
            ++disk.clusters;
    }

    // MSX-DOS 1, MSX-DOS 2 and Nextor each boot from their own pair.
    const QList<QStringList> systems{{QStringLiteral("MSXDOS.SYS"), QStringLiteral("COMMAND.COM")},
                                     {QStringLiteral("MSXDOS2.SYS"), QStringLiteral("COMMAND2.COM")},
                                     {QStringLiteral("NEXTOR.SYS"), QStringLiteral("COMMAND2.COM")}};
    for (const QStringList& system : systems) {
        if (names.contains(system.at(0)) && names.contains(system.at(1))) {
            disk.systemFiles = system;
            break;
        }
    }
    if (disk.systemFiles.isEmpty())
        disk.problem = QStringLiteral("it holds no MSX-DOS system files (MSXDOS.SYS and COMMAND.COM, or "
                                      "MSXDOS2.SYS and COMMAND2.COM)");
    return disk;
}

BootDisk ReadBootDisk(const QString& diskImageDir)
{
    const QString path = BootDiskPath(diskImageDir);
    const QFileInfo info(path);
    BootDisk disk;
    if (!info.exists() && !info.isSymLink())
        return disk;
    if (!info.isFile()) {
        disk.present = true;
        disk.problem = QStringLiteral("it is not a file");
        return disk;
    }
    if (info.size() != kDiskImageBytes) {
        disk.present = true;
        disk.problem = sizeProblem(info.size());
        return disk;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        disk.present = true;
        disk.problem = QStringLiteral("it cannot be read (%1)").arg(file.errorString());
        return disk;
    }
    return ReadBootDiskImage(file.read(kDiskImageBytes + 1));
}

QString NoBootDiskText(const QString& diskImageDir)
{
    return QStringLiteral("There is no boot disk, so the MSX will start Disk BASIC from the disk, not your program.\n\n"
                          "To run the program itself, copy a 720 KB MSX-DOS disk image you own (one that holds "
                          "MSXDOS.SYS and COMMAND.COM) to\n%1\nCompile and Run then starts every disk from it, and "
                          "MSX-DOS runs the project's AUTOEXEC.BAT.")
        .arg(BootDiskPath(diskImageDir));
}

} // namespace tarvel
