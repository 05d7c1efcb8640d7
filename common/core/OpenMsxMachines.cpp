#include "core/OpenMsxMachines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace common {

namespace {

QString environmentFolder(const char* name)
{
    return QFile::decodeName(qgetenv(name));
}

} // namespace

QStringList OpenMsxMachineFolders(const QString& programPath)
{
    QStringList candidates;
    const QString systemData = environmentFolder("OPENMSX_SYSTEM_DATA");
    if (!systemData.isEmpty()) {
        candidates << systemData + QStringLiteral("/machines");
    } else {
        // An installed openMSX keeps its data in share/openmsx beside its bin folder; a build
        // run from its own folder keeps it in share there.
        if (!programPath.isEmpty()) {
            const QString bin = QFileInfo(programPath).absolutePath();
            candidates << bin + QStringLiteral("/../share/openmsx/machines") << bin + QStringLiteral("/share/machines");
        }
        candidates << QStringLiteral("/usr/share/openmsx/machines") << QStringLiteral("/usr/local/share/openmsx/machines");
    }
    const QString userData = environmentFolder("OPENMSX_USER_DATA");
    candidates << (userData.isEmpty() ? QDir::homePath() + QStringLiteral("/.openMSX/share") : userData) +
                      QStringLiteral("/machines");

    QStringList folders;
    for (const QString& candidate : std::as_const(candidates)) {
        const QFileInfo info(candidate);
        const QString folder = info.canonicalFilePath();
        if (info.isDir() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QStringList ListOpenMsxMachines(const QStringList& folders)
{
    QStringList machines;
    for (const QString& folder : folders) {
        const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable);
        for (const QFileInfo& file : files)
            machines << file.completeBaseName();
        // A machine may also keep its description in a folder of its own, beside its ROMs.
        const QStringList subfolders = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& sub : subfolders) {
            if (QFileInfo(folder + QLatin1Char('/') + sub + QStringLiteral("/hardwareconfig.xml")).isFile())
                machines << sub;
        }
    }
    machines.sort(Qt::CaseInsensitive);
    machines.removeDuplicates();
    return machines;
}

QString OpenMsxMachineFile(const QStringList& folders, const QString& name)
{
    // A name is one file name: nothing with a folder part is looked up.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    for (const QString& folder : folders) {
        for (const QString& candidate : {folder + QLatin1Char('/') + name + QStringLiteral(".xml"),
                                         folder + QLatin1Char('/') + name + QStringLiteral("/hardwareconfig.xml")}) {
            if (QFileInfo(candidate).isFile())
                return candidate;
        }
    }
    return {};
}

std::optional<bool> MachineHasDiskDrive(const QByteArray& machineXml)
{
    QXmlStreamReader xml(machineXml);
    bool drive = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("drives"))
            continue;
        bool number = false;
        const int drives = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toInt(&number);
        if (number && drives > 0)
            drive = true;
    }
    if (!xml.hasError())
        return drive;
    // openMSX reads its descriptions leniently and ships some that are not well-formed XML (a
    // bare "&" in a name). Their <drives> elements are still found as text; a description that
    // does not end as one does tells nothing for sure. External entities are never fetched.
    static const QRegularExpression drives(QStringLiteral("<drives>\\s*0*[1-9][0-9]*\\s*</drives>"));
    const QString text = QString::fromLatin1(machineXml);
    if (drives.match(text).hasMatch())
        return true;
    if (text.contains(QLatin1String("</msxconfig>")))
        return false;
    return std::nullopt;
}

} // namespace common
