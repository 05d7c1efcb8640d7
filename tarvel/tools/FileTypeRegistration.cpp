#include "tools/FileTypeRegistration.h"

#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarvel {

namespace {

const QString MimePackage = QStringLiteral("mime/packages/tarvel.xml");
const QString DesktopFile = QStringLiteral("applications/tarvel.desktop");
const QString AppIcon = QStringLiteral("icons/hicolor/64x64/apps/tarvel.png");
const QString TypeIcon = QStringLiteral("icons/hicolor/64x64/mimetypes/application-x-tarvel-project.png");

QString under(const QString& dataHome, const QString& relative)
{
    return QDir::cleanPath(dataHome) + QLatin1Char('/') + relative;
}

} // namespace

QString XdgDataHome()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        return QString();
    return QDir::cleanPath(home + QStringLiteral("/.local/share"));
}

bool TpjTypeInstalledWithKit(const QString& kitFolder)
{
    const QString share = QDir::cleanPath(kitFolder + QStringLiteral("/../../share/"));
    return QFileInfo::exists(under(share, MimePackage)) && QFileInfo::exists(under(share, DesktopFile));
}

QString DesktopExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('%')) {
            quoted += QStringLiteral("%%");
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString DesktopEntryEscape(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': escaped += QStringLiteral("\\\\"); break;
        case '\n': escaped += QStringLiteral("\\n"); break;
        case '\t': escaped += QStringLiteral("\\t"); break;
        case '\r': escaped += QStringLiteral("\\r"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

QByteArray MimePackageXml()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"application/x-tarvel-project\">\n"
        "    <comment>Tarvel Turbo Pascal Project</comment>\n"
        "    <sub-class-of type=\"text/plain\"/>\n"
        "    <glob pattern=\"*.tpj\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n");
}

QByteArray DesktopEntry(const QString& executable, const QString& iconPath)
{
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Tarvel\n"
                                   "GenericName=Turbo Pascal 3 IDE for MSX\n"
                                   "Comment=Open Tarvel Turbo Pascal projects\n");
    entry += QStringLiteral("Exec=") + DesktopEntryEscape(DesktopExecArgument(executable) + QStringLiteral(" %f"))
        + QLatin1Char('\n');
    if (!iconPath.isEmpty())
        entry += QStringLiteral("Icon=") + DesktopEntryEscape(iconPath) + QLatin1Char('\n');
    // The entry is there to open project files, as a file association is; it adds no menu item.
    entry += QStringLiteral("Terminal=false\n"
                            "NoDisplay=true\n"
                            "MimeType=application/x-tarvel-project;\n"
                            "Categories=Development;IDE;\n");
    return entry.toUtf8();
}

QList<RegistrationFile> RegistrationFiles(const QString& dataHome, const QString& executable, const QByteArray& iconPng)
{
    const QString icon = iconPng.isEmpty() ? QString() : under(dataHome, AppIcon);
    QList<RegistrationFile> files{
        {under(dataHome, MimePackage), MimePackageXml()},
        {under(dataHome, DesktopFile), DesktopEntry(executable, icon)},
    };
    if (!iconPng.isEmpty()) {
        files.append({under(dataHome, AppIcon), iconPng});
        files.append({under(dataHome, TypeIcon), iconPng});
    }
    return files;
}

RegistrationOutcome RegisterTpjFileType(const QString& dataHome, const QString& executable, const QByteArray& iconPng)
{
    RegistrationOutcome outcome;
    if (dataHome.isEmpty()) {
        outcome.error = QStringLiteral("The user's data folder is not known (neither XDG_DATA_HOME nor HOME is set).");
        return outcome;
    }
    for (const RegistrationFile& file : RegistrationFiles(dataHome, executable, iconPng)) {
        const common::Result<QByteArray> existing = common::ReadFileBytes(file.path, file.bytes.size());
        if (existing && existing.value() == file.bytes)
            continue;
        const QString folder = QFileInfo(file.path).absolutePath();
        common::Status saved = QDir().mkpath(folder)
            ? common::WriteFileAtomic(file.path, file.bytes)
            : common::Failure(QStringLiteral("Cannot create the folder %1.").arg(folder));
        if (!saved) {
            if (outcome.error.isEmpty())
                outcome.error = saved.error();
            continue;
        }
        outcome.written.append(file.path);
        if (file.path.endsWith(MimePackage))
            outcome.commands.append({QStringLiteral("update-mime-database"), under(dataHome, QStringLiteral("mime"))});
        else if (file.path.endsWith(DesktopFile))
            outcome.commands.append(
                {QStringLiteral("update-desktop-database"), under(dataHome, QStringLiteral("applications"))});
    }
    return outcome;
}

} // namespace tarvel
