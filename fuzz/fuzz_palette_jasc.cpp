// JASC-PAL palettes: whatever the reader accepts holds sixteen colours of 0 to 255, converts to
// MSX levels 0 to 7 with either divisor, gives sixteen SetPalette lines and a 39-byte .pl5, and
// written back as a JASC file reads as the same palette. A refusal always says why.

#include "FuzzSupport.h"

#include "tools/PaletteConverter.h"

namespace {

void CheckRefusal(const tarvel::PaletteRead& read)
{
    FUZZ_CHECK(!read.problem.message.isEmpty(), QStringLiteral("refused without a message"));
    FUZZ_CHECK(read.problem.title == QLatin1String("Erro") || read.problem.title == QLatin1String("Error"),
               read.problem.title);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const tarvel::PaletteRead read = tarvel::ReadJascPalette(fuzz::Bytes(data, size));
    if (!read.ok()) {
        CheckRefusal(read);
        return 0;
    }
    QByteArray canonical = "JASC-PAL\r\n0100\r\n16\r\n";
    for (const tarvel::PaletteColor& color : *read.palette) {
        for (const int value : {color.red, color.green, color.blue})
            FUZZ_CHECK(value >= 0 && value <= 255, QString::number(value));
        canonical += QByteArray::number(color.red) + ' ' + QByteArray::number(color.green) + ' '
                     + QByteArray::number(color.blue) + "\r\n";
    }
    for (const double divisor : {tarvel::TextDivisor, tarvel::FileDivisor}) {
        const tarvel::MsxPalette16 msx = tarvel::ToMsxPalette(*read.palette, divisor);
        for (const tarvel::MsxColor& color : msx) {
            for (const int level : {color.red, color.green, color.blue})
                FUZZ_CHECK(level >= 0 && level <= 7, QString::number(level));
        }
        FUZZ_CHECK(tarvel::SetPaletteText(msx).count(QStringLiteral("\r\n")) == 16, QString());
        const QByteArray pl5 = tarvel::Pl5Bytes(msx);
        FUZZ_CHECK(pl5.size() == 39 && pl5.startsWith(QByteArray("\xFE\x80\x76\x9F\x76\x00\x00", 7)), QString());
    }
    const tarvel::PaletteRead again = tarvel::ReadJascPalette(canonical);
    FUZZ_CHECK(again.ok() && *again.palette == *read.palette, QStringLiteral("the palette changed on the way through a file"));
    return 0;
}
