#include "editor/RoutineHeaders.h"

#include "core/Text.h"
#include "core/TextFile.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvel {

namespace {

const QLatin1String Function("FUNCTION");
const QLatin1String Procedure("PROCEDURE");

QStringView trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Whether `line` (bytes from..to) can have a header: after its leading blanks it begins with one
// of the keywords. Every line with a header passes; most lines fail at their first byte.
bool mayHaveHeader(const char* from, const char* to)
{
    while (from < to && *from == ' ')
        ++from;
    if (from == to || (asciiUpper(*from) != 'F' && asciiUpper(*from) != 'P'))
        return false;
    const auto startsWith = [&](QLatin1String keyword) {
        if (to - from < keyword.size())
            return false;
        for (qsizetype i = 0; i < keyword.size(); ++i) {
            if (asciiUpper(from[i]) != keyword.at(i).toLatin1())
                return false;
        }
        return true;
    };
    return startsWith(Function) || startsWith(Procedure);
}

// The first CR or LF at or after `from`, or `end`. Lines are short, so one pass looking for both
// at once beats two searches per line; SSE2 (every x86-64) looks at 16 bytes a step.
const char* lineBreak(const char* from, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (found)
            return from + __builtin_ctz(unsigned(found));
    }
#endif
    while (from < end && *from != '\r' && *from != '\n')
        ++from;
    return from;
}

} // namespace

std::optional<QString> RoutineHeader(QStringView line)
{
    const QStringView trimmed = trimBlanks(line);
    const QString upper = common::AsciiUpper(trimmed.toString());
    // The keyword with its blank is searched anywhere, but the line must begin with the keyword.
    const struct {
        QLatin1String keyword;
        QLatin1String withBlank;
    } keywords[] = {{Function, QLatin1String("FUNCTION ")}, {Procedure, QLatin1String("PROCEDURE ")}};
    for (const auto& k : keywords) {
        const qsizetype at = upper.indexOf(k.withBlank);
        if (at >= 0 && upper.startsWith(k.keyword))
            return trimmed.mid(at + k.withBlank.size()).toString();
    }
    return std::nullopt;
}

QStringList RoutineHeadersOf(const QByteArray& text)
{
    // A header line begins, after its blanks, with "FU" or "PR" in either case. Those pairs are
    // rare in other text, so they are sought (16 bytes a step where SSE2 is there) rather than
    // every line's start; each one found at the start of a line is looked at whole.
    QStringList headers;
    const char* const begin = text.constData();
    const char* const end = begin + text.size();
    const auto lookAt = [&headers, begin, end](const char* at) {
        const char* line = at;
        while (line > begin && line[-1] == ' ')
            --line;
        if (line > begin && line[-1] != '\r' && line[-1] != '\n')
            return;
        const char* const lineEnd = lineBreak(at, end);
        if (mayHaveHeader(line, lineEnd)) {
            const QString lineText = QString::fromLatin1(line, lineEnd - line);
            if (std::optional<QString> header = RoutineHeader(lineText))
                headers.append(*header);
        }
    };

    const char* at = begin;
#if defined(__SSE2__)
    const __m128i caseBit = _mm_set1_epi8(0x20);
    for (; end - at >= 17; at += 16) {
        const __m128i first = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), caseBit);
        const __m128i second = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1)), caseBit);
        const __m128i fu = _mm_and_si128(_mm_cmpeq_epi8(first, _mm_set1_epi8('f')), _mm_cmpeq_epi8(second, _mm_set1_epi8('u')));
        const __m128i pr = _mm_and_si128(_mm_cmpeq_epi8(first, _mm_set1_epi8('p')), _mm_cmpeq_epi8(second, _mm_set1_epi8('r')));
        for (unsigned found = unsigned(_mm_movemask_epi8(_mm_or_si128(fu, pr))); found; found &= found - 1)
            lookAt(at + __builtin_ctz(found));
    }
#endif
    for (; end - at >= 2; ++at) {
        const char a = char(at[0] | 0x20);
        const char b = char(at[1] | 0x20);
        if ((a == 'f' && b == 'u') || (a == 'p' && b == 'r'))
            lookAt(at);
    }
    return headers;
}

common::Result<QStringList> ReadRoutineHeaders(const QString& path)
{
    const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
    if (!bytes)
        return common::Result<QStringList>::failure(bytes.error());
    return RoutineHeadersOf(bytes.value());
}

} // namespace tarvel
