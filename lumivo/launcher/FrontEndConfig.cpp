#include "FrontEndConfig.h"

#include "core/BinaryRecord.h"

#include <utility>

namespace lumivo {

FrontEndConfig FrontEndConfig::defaults()
{
    FrontEndConfig config;
    config.LastDrive = QStringLiteral("/");
    config.LastFolder = QStringLiteral("/");
    return config;
}

QByteArray EncodeFrontEndConfig(const FrontEndConfig& config)
{
    common::RecordWriter writer;
    writer.writePath(config.LastDrive);
    writer.writePath(config.LastFolder);
    writer.writeInt16(config.ImageKind);
    writer.writeInt16(config.EmulatorChoice);
    return writer.bytes();
}

FrontEndConfig DecodeFrontEndConfig(const QByteArray& bytes, FrontEndConfig base)
{
    common::RecordReader reader(bytes);
    return DecodeFrontEndConfig(reader, std::move(base));
}

FrontEndConfig DecodeFrontEndConfig(common::RecordReader& reader, FrontEndConfig base)
{
    // The reader stops at the first incomplete field and leaves it and the rest untouched.
    reader.readPath(base.LastDrive);
    reader.readPath(base.LastFolder);
    reader.readInt16(base.ImageKind);
    reader.readInt16(base.EmulatorChoice);
    return base;
}

} // namespace lumivo
