#include "OpenMsxSettings.h"

#include "core/BinaryRecord.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace lumivo {

namespace {

constexpr qint16 kFormat = 1;

} // namespace

QString OpenMsxSettingsPath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("openmsx.cfg");
}

QString MachineCheckCachePath(const QString& launcherFolder)
{
    return common::AddBackslash(launcherFolder) + QStringLiteral("machines.cache");
}

QByteArray EncodeOpenMsxSettings(const OpenMsxSettings& settings)
{
    common::RecordWriter writer;
    writer.writeInt16(kFormat);
    writer.writePath(settings.Program);
    writer.writePath(settings.Machine);
    writer.writePath(settings.Arguments);
    return writer.bytes();
}

namespace {

common::Result<OpenMsxSettings> decodeOpenMsxSettings(common::RecordReader& reader)
{
    using Outcome = common::Result<OpenMsxSettings>;
    qint16 format = 0;
    OpenMsxSettings settings;
    reader.readInt16(format);
    reader.readPath(settings.Program);
    reader.readPath(settings.Machine);
    reader.readPath(settings.Arguments);
    if (!reader.complete() || format != kFormat)
        return Outcome::failure(QStringLiteral("it is not a settings record of this version of Lumivo"));
    // Lumivo writes the record whole and in the file system's encoding, so anything that does not
    // encode back to the very same bytes (more bytes behind it, texts in another encoding) is damage.
    if (EncodeOpenMsxSettings(settings) != reader.consumed() || !reader.atEnd())
        return Outcome::failure(QStringLiteral("it holds more than one settings record"));
    return settings;
}

} // namespace

common::Result<OpenMsxSettings> DecodeOpenMsxSettings(const QByteArray& bytes)
{
    common::RecordReader reader(bytes);
    return decodeOpenMsxSettings(reader);
}

common::Result<OpenMsxSettings> LoadOpenMsxSettings(const QString& launcherFolder)
{
    using Outcome = common::Result<OpenMsxSettings>;
    const QString path = OpenMsxSettingsPath(launcherFolder);
    if (!QFileInfo::exists(path))
        return OpenMsxSettings();
    const common::Result<std::unique_ptr<QFile>> file = common::OpenRegularFile(path);
    if (!file)
        return Outcome::failure(file.error());
    common::RecordReader reader(*file.value());
    const Outcome settings = decodeOpenMsxSettings(reader);
    if (!settings)
        return Outcome::failure(QStringLiteral("%1 is damaged: %2.").arg(path, settings.error()));
    return settings;
}

common::Status SaveOpenMsxSettings(const QString& launcherFolder, const OpenMsxSettings& settings)
{
    return common::WriteSettingsRecord(OpenMsxSettingsPath(launcherFolder), EncodeOpenMsxSettings(settings));
}

} // namespace lumivo
