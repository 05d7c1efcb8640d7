// The include scan: IncludeDirectiveFiles over a whole text finds exactly what
// IncludeDirectiveFile finds line by line, and every name it gives is usable: not empty, trimmed,
// on one line, without '}', and made of the line's own characters with only a-z upper-cased
// (MSX names are ASCII; ß stays ß). The routine header scan that shares the project load's
// reading of each file likewise finds exactly what RoutineHeader finds line by line, and the one
// pass that gathers both finds the same.

#include "FuzzSupport.h"

#include "core/Text.h"
#include "core/TextFile.h"
#include "editor/RoutineHeaders.h"
#include "projects/ProjectFile.h"
#include "projects/SourceOutline.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QStringList found = tarvel::IncludeDirectiveFiles(bytes);

    QStringList expected;
    for (const QString& line : common::SplitLines(bytes)) {
        const std::optional<QString> name = tarvel::IncludeDirectiveFile(line);
        if (!name)
            continue;
        expected.append(*name);

        FUZZ_CHECK(!name->isEmpty() && *name == name->trimmed(), fuzz::Printable(*name));
        FUZZ_CHECK(*name != QLatin1String("-") && *name != QLatin1String("+"), fuzz::Printable(*name));
        FUZZ_CHECK(!name->contains(QLatin1Char('}')) && !name->contains(QLatin1Char('\r')) && !name->contains(QLatin1Char('\n')),
                   fuzz::Printable(*name));
        FUZZ_CHECK(name->size() <= line.size(), fuzz::Printable(*name));
        const QString upperLine = common::AsciiUpper(line);
        const QSet<QChar> lineCharacters(upperLine.cbegin(), upperLine.cend());
        for (const QChar c : *name)
            FUZZ_CHECK(lineCharacters.contains(c), QStringLiteral("%1 in %2").arg(fuzz::Printable(c), fuzz::Printable(*name)));
    }
    FUZZ_CHECK(found == expected, QStringLiteral("%1 names against %2 line by line").arg(found.size()).arg(expected.size()));

    QStringList expectedHeaders;
    for (const QString& line : common::SplitLines(bytes)) {
        if (std::optional<QString> header = tarvel::RoutineHeader(line))
            expectedHeaders.append(*header);
    }
    const QStringList headers = tarvel::RoutineHeadersOf(bytes);
    FUZZ_CHECK(headers == expectedHeaders,
               QStringLiteral("%1 headers against %2 line by line").arg(headers.size()).arg(expectedHeaders.size()));

    // The load gathers both in one pass, and gets what the scans for either give.
    const tarvel::SourceOutline outline = tarvel::OutlineOf(bytes);
    FUZZ_CHECK(outline.includes == expected && outline.headers == expectedHeaders, QStringLiteral("one pass for both"));
    return 0;
}
