// A boot disk image, read for its layout, system files and what it uses: any bytes give a disk
// or a problem without a crash. The input is the start of a 720 KB image (the rest zeros), so
// the boot sector, the FAT and the root directory are all reached.

#include "FuzzSupport.h"

#include "build/BootDisk.h"
#include "build/DiskCheck.h"
#include "build/RunCommands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray raw = fuzz::Bytes(data, size);
    const tarvel::BootDisk asIs = tarvel::ReadBootDiskImage(raw);
    FUZZ_CHECK(raw.size() == tarvel::kDiskImageBytes || !asIs.usable(), QString::number(raw.size()));

    QByteArray image = raw.left(tarvel::kDiskImageBytes);
    image.append(QByteArray(tarvel::kDiskImageBytes - image.size(), '\0'));
    const tarvel::BootDisk disk = tarvel::ReadBootDiskImage(image);
    FUZZ_CHECK(disk.present, QString());
    FUZZ_CHECK(disk.rootEntries >= 0 && disk.rootEntries <= tarvel::kDiskRootEntries, QString::number(disk.rootEntries));
    FUZZ_CHECK(disk.clusters >= 0 && disk.clusters <= tarvel::kDiskFreeClusters, QString::number(disk.clusters));
    if (disk.usable())
        FUZZ_CHECK(disk.systemFiles.size() == 2 && disk.rootEntries >= 2, disk.systemFiles.join(','));
    else
        FUZZ_CHECK(!disk.problem.isEmpty(), QString());
    return 0;
}
