#include "build/DiskCheck.h"

#include "core/Text.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace tarvel {

namespace {

bool isNameCharacter(QChar c)
{
    if (c.unicode() > 0x7F)
        return false;
    const char a = char(c.unicode());
    return (a >= 'A' && a <= 'Z') || (a >= 'a' && a <= 'z') || (a >= '0' && a <= '9')
        || QByteArrayView("!#$%&()-@^_`{}~").contains(a);
}

// Letters all of one case (or none at all).
bool oneCase(const QString& part)
{
    bool lower = false;
    bool upper = false;
    for (const QChar c : part) {
        lower = lower || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        upper = upper || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    }
    return !(lower && upper);
}

} // namespace

bool IsWorkingFile(const QString& name, const QString& baseName)
{
    static const char* const kWorkingFiles[] = {"result.txt", "errors.txt", "turbopc.sh", "turbopc.bat", "d.dsk",
                                                   "boot.dsk"};
    for (const char* working : kWorkingFiles) {
        if (common::AsciiEqualsNoCase(name, QLatin1String(working)))
            return true;
    }
    return !baseName.isEmpty() && common::AsciiEqualsNoCase(name, baseName + QStringLiteral(".chn"));
}

QList<DiskFile> FilesForDisk(const QString& folder, const QString& baseName)
{
    QList<DiskFile> files;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isFile() && !entry.fileName().startsWith(QLatin1Char('.')) && !IsWorkingFile(entry.fileName(), baseName))
            files.append({entry.fileName(), entry.size()});
    }
    return files;
}

QStringList LargestFiles(QList<DiskFile> files, int count)
{
    std::stable_sort(files.begin(), files.end(), [](const DiskFile& a, const DiskFile& b) { return a.size > b.size; });
    QStringList largest;
    for (const DiskFile& file : std::as_const(files).first(std::min<qsizetype>(count, files.size())))
        largest << QStringLiteral("%1 (%2 KB)").arg(file.name).arg((file.size + 1023) / 1024);
    return largest;
}

bool IsMsxDosName(const QString& name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || (dot >= 0 && (extension.isEmpty() || extension.size() > 3)))
        return false;
    for (const QChar c : base + extension) {
        if (!isNameCharacter(c))
            return false; // a second dot too
    }
    return true;
}

int RootEntriesFor(const QString& name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    if (IsMsxDosName(name) && oneCase(base) && oneCase(extension))
        return 1;
    return 1 + int((name.size() + 12) / 13);
}

qint64 ClustersFor(qint64 size)
{
    return (size + kDiskClusterBytes - 1) / kDiskClusterBytes;
}

DiskProblems CheckDiskFiles(const QList<DiskFile>& files, int bootEntries, qint64 bootClusters)
{
    DiskProblems problems;
    problems.bootEntries = bootEntries;
    problems.bootClusters = bootClusters;
    QHash<QString, QStringList> byDiskName;
    QStringList diskNames; // in first-seen order
    for (const DiskFile& file : files) {
        problems.rootEntries += RootEntriesFor(file.name);
        problems.clusters += ClustersFor(file.size);
        if (!IsMsxDosName(file.name)) {
            problems.badNames.append(file.name);
            continue;
        }
        const QString onDisk = common::AsciiUpper(file.name);
        if (!byDiskName.contains(onDisk))
            diskNames.append(onDisk);
        byDiskName[onDisk].append(file.name);
    }
    for (const QString& onDisk : std::as_const(diskNames)) {
        if (byDiskName.value(onDisk).size() > 1)
            problems.clashes.append(byDiskName.value(onDisk).join(QStringLiteral(", ")));
    }
    if (problems.tooMuchData())
        problems.largest = LargestFiles(files);
    return problems;
}

QString DiskProblemText(const DiskProblems& problems)
{
    if (!problems.any())
        return {};
    QStringList lines{QStringLiteral("The project folder does not fit on the MSX disk, so nothing was started:")};
    if (!problems.badNames.isEmpty()) {
        lines << QStringLiteral("- MSX-DOS cannot open these files by their names (up to 8 letters or digits, "
                                "a dot and up to 3 more): %1")
                     .arg(problems.badNames.join(QStringLiteral(", ")));
    }
    for (const QString& clash : problems.clashes)
        lines << QStringLiteral("- These files would be one file on the disk: %1").arg(clash);
    if (problems.tooManyEntries()) {
        lines << (problems.bootEntries == 0
                      ? QStringLiteral("- The files need %1 root directory entries; the disk has %2.")
                      : QStringLiteral("- The files need %1 root directory entries; the boot disk leaves %2 free."))
                     .arg(problems.rootEntries)
                     .arg(problems.freeEntries());
    }
    if (problems.tooMuchData()) {
        lines << (problems.bootClusters == 0
                      ? QStringLiteral("- The files need %1 KB in 1 KB clusters; the disk has %2 KB free. The largest: %3.")
                      : QStringLiteral("- The files need %1 KB in 1 KB clusters; the boot disk leaves %2 KB free. The largest: %3."))
                     .arg(problems.clusters)
                     .arg(problems.freeClusters())
                     .arg(problems.largest.join(QStringLiteral(", ")));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace tarvel
