#include "editor/RoutineHeaders.h"

#include "core/Text.h"
#include "core/TextFile.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TARVEL_HAVE_AVX2_SCAN 1
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

#if defined(TARVEL_HAVE_AVX2_SCAN)
// Where the processor has AVX2 (checked when the program runs), the "FU"/"PR" pairs are sought
// 64 bytes a step: a step without any costs one test, and the steps with some are looked at
// byte by byte outside the search, so the search keeps its constants in registers.

// A set byte for every byte of the 32 at `from` that begins an "FU" or "PR" pair in either case.
__attribute__((target("avx2"))) inline __m256i pairsAvx2(const char* from)
{
    const __m256i caseBit = _mm256_set1_epi8(0x20);
    const __m256i first = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from)), caseBit);
    const __m256i second = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 1)), caseBit);
    const __m256i fu = _mm256_and_si256(_mm256_cmpeq_epi8(first, _mm256_set1_epi8('f')),
                                        _mm256_cmpeq_epi8(second, _mm256_set1_epi8('u')));
    const __m256i pr = _mm256_and_si256(_mm256_cmpeq_epi8(first, _mm256_set1_epi8('p')),
                                        _mm256_cmpeq_epi8(second, _mm256_set1_epi8('r')));
    return _mm256_or_si256(fu, pr);
}

// The first 64 bytes from `at` on, in steps of 64, that hold the start of a pair; or where fewer
// than 65 bytes are left before `end` (the pair's second byte is read one further).
__attribute__((target("avx2"))) const char* nextPairsAvx2(const char* at, const char* end)
{
    for (; end - at >= 65; at += 64) {
        const __m256i both = _mm256_or_si256(pairsAvx2(at), pairsAvx2(at + 32));
        if (!_mm256_testz_si256(both, both))
            break;
    }
    return at;
}

// A bit for every byte of the 64 at `at` that begins a pair.
__attribute__((target("avx2"))) quint64 pairBitsAvx2(const char* at)
{
    return quint64(unsigned(_mm256_movemask_epi8(pairsAvx2(at))))
        | quint64(unsigned(_mm256_movemask_epi8(pairsAvx2(at + 32)))) << 32;
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

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
    // rare in other text, so they are sought (64 bytes a step with AVX2, 16 with SSE2) rather
    // than every line's start; each one found at the start of a line is looked at whole.
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
#if defined(TARVEL_HAVE_AVX2_SCAN)
    if (hasAvx2()) {
        for (at = nextPairsAvx2(at, end); end - at >= 65; at = nextPairsAvx2(at + 64, end)) {
            for (quint64 found = pairBitsAvx2(at); found; found &= found - 1)
                lookAt(at + __builtin_ctzll(found));
        }
    }
#endif
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
