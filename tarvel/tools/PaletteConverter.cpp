#include "tools/PaletteConverter.h"

#include "core/Text.h"
#include "core/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace tarvel {

namespace {

const QString JascTitle = QStringLiteral("Erro");
const QString ErrorTitle = QStringLiteral("Error");

PaletteRead refuse(const QString& message, const QString& title)
{
    PaletteRead read;
    read.problem = {message, title};
    return read;
}

// The leading number of a text read as a decimal number: blanks before it are skipped, reading
// stops at the first character that cannot continue it. `found` tells whether there was one.
double leadingNumber(const QString& text, bool* found = nullptr)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    double sign = 1.0;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        if (text.at(i) == QLatin1Char('-'))
            sign = -1.0;
        ++i;
    }
    double value = 0.0;
    bool digits = false;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        value = value * 10.0 + (text.at(i).unicode() - '0');
        digits = true;
        ++i;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        double scale = 0.1;
        while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
            value += (text.at(i).unicode() - '0') * scale;
            scale /= 10.0;
            digits = true;
            ++i;
        }
    }
    if (found)
        *found = digits;
    return digits ? sign * value : 0.0;
}

// A colour component of a JASC line: an empty field is 0; otherwise the field must start with a
// number that rounds to 0..255.
enum class Component { Ok, NotANumber, OutOfRange };

Component readComponent(const QString& field, int* value)
{
    if (field.isEmpty()) {
        *value = 0;
        return Component::Ok;
    }
    bool found = false;
    const double number = leadingNumber(field, &found);
    if (!found)
        return Component::NotANumber;
    if (!(number > -0.5 && number < 255.5))
        return Component::OutOfRange;
    *value = static_cast<int>(std::nearbyint(number));
    return (*value >= 0 && *value <= 255) ? Component::Ok : Component::OutOfRange;
}

quint32 littleEndian(const QByteArray& bytes, qint64 offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes.at(offset + i));
    return value;
}

} // namespace

PaletteSource PaletteSourceOf(const QString& path)
{
    const QString last = common::AsciiUpper(path.right(3));
    if (last == QLatin1String("PAL"))
        return PaletteSource::Jasc;
    if (last == QLatin1String("BMP"))
        return PaletteSource::Bmp;
    return PaletteSource::Other;
}

PaletteRead ReadJascPalette(const QByteArray& bytes)
{
    const QStringList lines = common::SplitLines(bytes);
    const auto line = [&](int index) { return index < lines.size() ? lines.at(index) : QString(); };

    if (line(0).left(8) != QLatin1String("JASC-PAL"))
        return refuse(QStringLiteral("Not a valid PSP palette file!"), JascTitle);
    if (leadingNumber(line(1)) != 100.0)
        return refuse(QStringLiteral("Incorrect palette version!"), JascTitle);
    if (leadingNumber(line(2)) != 16.0)
        return refuse(QStringLiteral("Palette must have 16 colors!"), JascTitle);

    Palette16 palette{};
    for (int i = 0; i < 16; ++i) {
        const int lineNumber = 4 + i;
        if (3 + i >= lines.size()) {
            return refuse(QStringLiteral("The palette file ends before its 16th color (it has %1).").arg(i),
                          ErrorTitle);
        }
        const QStringList fields = common::SplitText(lines.at(3 + i), QStringLiteral(" "));
        int values[3] = {0, 0, 0};
        bool threeNumbers = fields.size() >= 3;
        for (int c = 0; c < 3 && threeNumbers; ++c) {
            const Component read = readComponent(fields.at(c), &values[c]);
            if (read == Component::NotANumber)
                threeNumbers = false;
            else if (read == Component::OutOfRange)
                return refuse(QStringLiteral("Line %1 of the palette file holds a value outside 0 to 255.")
                                  .arg(lineNumber),
                              ErrorTitle);
        }
        if (!threeNumbers) {
            return refuse(QStringLiteral("Line %1 of the palette file does not hold three numbers.").arg(lineNumber),
                          ErrorTitle);
        }
        palette[i] = {values[0], values[1], values[2]};
    }
    PaletteRead read;
    read.palette = palette;
    return read;
}

PaletteRead ReadBmpPalette(const QByteArray& bytes)
{
    const qint64 size = bytes.size();
    const PaletteRead cutShort = refuse(QStringLiteral("The BMP file is cut short."), ErrorTitle);
    const PaletteRead notBmp = refuse(QStringLiteral("Not a valid BMP file."), ErrorTitle);
    if (size < 2 || bytes.at(0) != 'B' || bytes.at(1) != 'M')
        return size < 2 ? cutShort : notBmp;
    if (size < 18)
        return cutShort;

    // The colour table follows the information header. A 12-byte header (OS/2) has 3-byte
    // entries; the Windows headers (40 bytes and the longer ones that extend it) 4-byte entries
    // and a count of used entries.
    const qint64 headerSize = littleEndian(bytes, 14, 4);
    const bool core = headerSize == 12;
    if (!core && headerSize < 40)
        return notBmp;
    const qint64 bitsOffset = core ? 14 + 10 : 14 + 14;
    if (size < bitsOffset + 2)
        return cutShort;
    if (littleEndian(bytes, bitsOffset, 2) != 4)
        return refuse(QStringLiteral("Not 16 color image"), ErrorTitle);
    if (size < 14 + headerSize)
        return cutShort;

    const int entrySize = core ? 3 : 4;
    qint64 entries = 16;
    if (!core) {
        const qint64 used = littleEndian(bytes, 14 + 32, 4);
        if (used > 0 && used < 16)
            entries = used;
    }
    const qint64 table = 14 + headerSize;
    if (size < table + entries * entrySize)
        return cutShort;

    Palette16 palette{};
    for (qint64 i = 0; i < entries; ++i) {
        const qint64 at = table + i * entrySize;
        palette[i] = {static_cast<quint8>(bytes.at(at + 2)), static_cast<quint8>(bytes.at(at + 1)),
                      static_cast<quint8>(bytes.at(at))};
    }
    PaletteRead read;
    read.palette = palette;
    return read;
}

common::Result<QByteArray> ReadFileHead(const QString& path, qint64 limit)
{
    const common::Result<std::unique_ptr<QFile>> opened = common::OpenRegularFile(path);
    if (!opened)
        return common::Result<QByteArray>::failure(opened.error());
    QFile& file = *opened.value();
    QByteArray bytes = file.read(limit);
    if (file.error() != QFileDevice::NoError)
        return common::Result<QByteArray>::failure(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    return bytes;
}

int PaletteLevel(int value, double divisor)
{
    return static_cast<int>(std::nearbyint(value / divisor));
}

MsxPalette16 ToMsxPalette(const Palette16& palette, double divisor)
{
    MsxPalette16 levels{};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        levels[i] = {PaletteLevel(palette[i].red, divisor), PaletteLevel(palette[i].green, divisor),
                     PaletteLevel(palette[i].blue, divisor)};
    }
    return levels;
}

int MsxLevelTo8Bit(int level)
{
    const int clamped = qBound(0, level, 7);
    return (clamped * 255 + 3) / 7;
}

QString SetPaletteText(const MsxPalette16& palette)
{
    QString text;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        text += QStringLiteral("SetPalette(%1,%2,%3,%4);\r\n")
                    .arg(static_cast<int>(i), 2, 10, QLatin1Char('0'))
                    .arg(palette[i].red)
                    .arg(palette[i].green)
                    .arg(palette[i].blue);
    }
    return text;
}

QByteArray Pl5Bytes(const MsxPalette16& palette)
{
    QByteArray bytes;
    bytes.reserve(39);
    // BSAVE header: marker, load address 0x7680 (SCREEN 5's palette table), end 0x769F, start 0.
    bytes.append(char(0xFE)).append(char(0x80)).append(char(0x76));
    bytes.append(char(0x9F)).append(char(0x76)).append(char(0x00)).append(char(0x00));
    for (const MsxColor& colour : palette) {
        bytes.append(static_cast<char>(((colour.red << 4) & 0xF0) | colour.blue));
        bytes.append(static_cast<char>(colour.green));
    }
    return bytes;
}

common::Status WriteOverFileStart(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    QByteArray content = bytes;
    if (info.exists() && !info.isDir()) {
        const common::Result<QByteArray> old = common::ReadFileBytes(path);
        if (!old)
            return common::Failure(old.error());
        if (old.value().size() > bytes.size())
            content += old.value().mid(bytes.size());
    }
    return common::WriteFileAtomic(path, content);
}

} // namespace tarvel
