#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace tarvel {

// One colour of a PC palette: 8-bit components (0 to 255).
struct PaletteColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const PaletteColor& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
};
using Palette16 = std::array<PaletteColor, 16>;

// One colour of an MSX2 palette: 3-bit levels (0 to 7).
struct MsxColor {
    int red = 0;
    int green = 0;
    int blue = 0;
};
using MsxPalette16 = std::array<MsxColor, 16>;

// Why a palette source was refused: the text and title of the message the user sees.
struct PaletteProblem {
    QString message;
    QString title;
};

// The outcome of reading a palette source: sixteen colours, or the problem.
struct PaletteRead {
    std::optional<Palette16> palette;
    PaletteProblem problem;
    bool ok() const { return palette.has_value(); }
};

// The kind of source a file name stands for, by its last three letters in any case.
enum class PaletteSource { Jasc, Bmp, Other };
[[nodiscard]] PaletteSource PaletteSourceOf(const QString& path);

// A JASC-PAL ("PSP palette") text: "JASC-PAL", the version 100, the count 16, then sixteen lines
// of red, green and blue separated by single blanks. Lines may end in CR LF, LF or CR; lines
// after the sixteenth colour are ignored. A file cut short, a colour line without three numbers
// or a value outside 0 to 255 is refused too.
[[nodiscard]] PaletteRead ReadJascPalette(const QByteArray& bytes);

// The colour table of a 16-colour (4 bits per pixel) Windows bitmap. The table follows the
// information header, whatever its size; a table with fewer than 16 used entries leaves the
// rest black.
[[nodiscard]] PaletteRead ReadBmpPalette(const QByteArray& bytes);

// The first `limit` bytes of a file (palette sources are small; a huge file is not read whole).
[[nodiscard]] common::Result<QByteArray> ReadFileHead(const QString& path, qint64 limit);
inline constexpr qint64 PaletteSourceReadLimit = 1 << 20;

// The divisors of the level conversion: the text of the Convert command and the bytes of the
// .pl5 file use slightly different ones, which agree for every whole value 0 to 255.
inline constexpr double TextDivisor = 36.42;
inline constexpr double FileDivisor = 255.0 / 7.0;

// round(value / divisor), halves to even.
[[nodiscard]] int PaletteLevel(int value, double divisor);
[[nodiscard]] MsxPalette16 ToMsxPalette(const Palette16& palette, double divisor);

// The 8-bit value a 3-bit level is shown with: level * 255 / 7, rounded (0, 36, 73, 109, 146,
// 182, 219, 255); levels outside 0 to 7 are taken as the nearest of them.
[[nodiscard]] int MsxLevelTo8Bit(int level);

// Sixteen lines "SetPalette(nn,r,g,b);", each ended by CR LF.
[[nodiscard]] QString SetPaletteText(const MsxPalette16& palette);

// The 39 bytes of a screen 5 palette file: the BSAVE header (FE, load address 7680, end address
// 769F, start address 0) and two bytes per colour, 0RRR0BBB then 00000GGG.
[[nodiscard]] QByteArray Pl5Bytes(const MsxPalette16& palette);

// Writes `bytes` over the start of the file: a longer existing file keeps its bytes after them.
// The new content replaces the old atomically, so a failure leaves the old file whole.
[[nodiscard]] common::Status WriteOverFileStart(const QString& path, const QByteArray& bytes);

} // namespace tarvel
