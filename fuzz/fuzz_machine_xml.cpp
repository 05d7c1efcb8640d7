// An openMSX machine description, read for whether it has a disk drive: any bytes give an answer
// or "cannot tell" without a crash, a drive is only found where the text declares drives, and a
// description that is well-formed XML gives an answer.

#include "FuzzSupport.h"

#include "core/OpenMsxMachines.h"

#include <QXmlStreamReader>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const std::optional<bool> drive = common::MachineHasDiskDrive(bytes);
    if (drive.value_or(false))
        FUZZ_CHECK(bytes.contains("drives>"), fuzz::Printable(QString::fromLatin1(bytes)));
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        xml.readNext();
    if (!xml.hasError())
        FUZZ_CHECK(drive.has_value(), fuzz::Printable(QString::fromLatin1(bytes)));
    return 0;
}
