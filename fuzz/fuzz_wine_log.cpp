// The end of Wine's log (or of result.txt) as the monitor shows it: at most the lines asked for,
// none of them empty, and no control character but the CR LF between lines.

#include "FuzzSupport.h"

#include "build/WineRun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int lines = data[0] % 16;
    const QString text = tarvel::LastLines(fuzz::Bytes(data + 1, size - 1), lines);
    const QStringList shown = text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
    FUZZ_CHECK(shown.size() <= lines, text);
    for (const QString& line : shown) {
        FUZZ_CHECK(!line.isEmpty() && line == line.trimmed(), fuzz::Printable(line));
        for (const QChar c : line)
            FUZZ_CHECK((c.unicode() >= 0x20 || c == QLatin1Char('\t')) && (c.unicode() < 0x7F || c.unicode() > 0x9F),
                       fuzz::Printable(line));
    }
    return 0;
}
