#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarvel {

// The disk a user owns that boots MSX-DOS: boot.dsk in the disk image folder, beside d.dsk.
// dsktool starts d.dsk as a copy of it, so the MSX boots it and runs the project's AUTOEXEC.BAT.
inline constexpr char kBootDiskName[] = "boot.dsk";

[[nodiscard]] QString BootDiskPath(const QString& diskImageDir);

// What a boot disk holds, as far as Compile and Run needs to know.
struct BootDisk {
    bool present = false;    // a file is there
    QString problem;         // why it cannot be used ("" when it can)
    QStringList systemFiles; // the MSX-DOS system files found in its root directory
    int rootEntries = 0;     // root directory entries in use (long names and a volume label too)
    qint64 clusters = 0;     // clusters in use
    [[nodiscard]] bool usable() const { return present && problem.isEmpty(); }
};

// Reads a boot disk image's bytes: a 720 KB MSX-DOS disk (FAT12, 80 tracks, 2 sides, 9 sectors,
// 2 sectors per cluster, 112 root entries) with MSXDOS.SYS and COMMAND.COM, or the system files of
// MSX-DOS 2 or Nextor, in its root directory.
[[nodiscard]] BootDisk ReadBootDiskImage(const QByteArray& bytes);

// The boot disk of a disk image folder: not present when there is no boot.dsk.
[[nodiscard]] BootDisk ReadBootDisk(const QString& diskImageDir);

// What Compile and Run says when there is no boot disk.
[[nodiscard]] QString NoBootDiskText(const QString& diskImageDir);

} // namespace tarvel
