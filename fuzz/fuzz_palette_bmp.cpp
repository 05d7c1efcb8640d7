// The colour table of 16-colour bitmaps: whatever the reader accepts holds sixteen colours of 0
// to 255, and a plain 40-byte-header bitmap made of them reads back as the same table. A refusal
// always says why.

#include "FuzzSupport.h"

#include "tools/PaletteConverter.h"

#include <QtEndian>

namespace {

// A 4-bit bitmap of one pixel: file header, 40-byte information header, 16 table entries.
QByteArray PlainBitmap(const tarvel::Palette16& palette)
{
    QByteArray bytes(14 + 40, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(14 + 40 + 64 + 4, bytes.data() + 2);
    qToLittleEndian<quint32>(14 + 40 + 64, bytes.data() + 10);
    qToLittleEndian<quint32>(40, bytes.data() + 14);
    qToLittleEndian<qint32>(1, bytes.data() + 18);
    qToLittleEndian<qint32>(1, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);
    qToLittleEndian<quint16>(4, bytes.data() + 28);
    for (const tarvel::PaletteColor& color : palette) {
        bytes += char(color.blue);
        bytes += char(color.green);
        bytes += char(color.red);
        bytes += '\0';
    }
    bytes += QByteArray(4, '\0');
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const tarvel::PaletteRead read = tarvel::ReadBmpPalette(fuzz::Bytes(data, size));
    if (!read.ok()) {
        FUZZ_CHECK(!read.problem.message.isEmpty(), QStringLiteral("refused without a message"));
        return 0;
    }
    for (const tarvel::PaletteColor& color : *read.palette) {
        for (const int value : {color.red, color.green, color.blue})
            FUZZ_CHECK(value >= 0 && value <= 255, QString::number(value));
    }
    const tarvel::PaletteRead again = tarvel::ReadBmpPalette(PlainBitmap(*read.palette));
    FUZZ_CHECK(again.ok() && *again.palette == *read.palette, QStringLiteral("the table changed on the way through a file"));
    return 0;
}
