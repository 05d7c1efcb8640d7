#include "projects/SourceOutline.h"

#include "editor/RoutineHeaders.h"
#include "projects/ProjectFile.h"

#include <QLatin1String>
#include <QString>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TARVEL_HAVE_AVX2_SCAN 1
#endif

namespace tarvel {

namespace {

// The scan looks for two-byte marks: "{$", where a directive begins, and "FU" or "PR" in either
// case, with which a routine header's line begins after its blanks. The marks are rare in other
// text, so they are sought (64 bytes a step with AVX2, 16 with SSE2) rather than every line's
// start, and only the lines they are found in are looked at.

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool isMark(char first, char second)
{
    const char a = char(first | 0x20);
    const char b = char(second | 0x20);
    return (a == 'f' && b == 'u') || (a == 'p' && b == 'r') || (first == '{' && second == '$');
}

// Whether the line from..to can have a header: after its leading blanks it begins with one of
// the keywords. Every line with a header passes; most lines fail at their first byte.
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
    return startsWith(QLatin1String("FUNCTION")) || startsWith(QLatin1String("PROCEDURE"));
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// The first CR or LF at or after `from`, or `end`. Lines are short, so one pass looking for both
// at once beats two searches per line; SSE2 (every x86-64) looks at 16 bytes a step.
const char* lineEndFrom(const char* from, const char* end)
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
    while (from < end && !isLineBreak(*from))
        ++from;
    return from;
}

#if defined(__SSE2__)
// A bit for every byte of the 16 at `at` that begins a mark.
unsigned markBitsSse2(const char* at)
{
    const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i rawNext = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 1));
    const __m128i first = _mm_or_si128(raw, _mm_set1_epi8(0x20));
    const __m128i second = _mm_or_si128(rawNext, _mm_set1_epi8(0x20));
    const __m128i fu = _mm_and_si128(_mm_cmpeq_epi8(first, _mm_set1_epi8('f')), _mm_cmpeq_epi8(second, _mm_set1_epi8('u')));
    const __m128i pr = _mm_and_si128(_mm_cmpeq_epi8(first, _mm_set1_epi8('p')), _mm_cmpeq_epi8(second, _mm_set1_epi8('r')));
    const __m128i directive = _mm_and_si128(_mm_cmpeq_epi8(raw, _mm_set1_epi8('{')), _mm_cmpeq_epi8(rawNext, _mm_set1_epi8('$')));
    return unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(fu, pr), directive)));
}
#endif

#if defined(TARVEL_HAVE_AVX2_SCAN)
// Where the processor has AVX2 (checked when the program runs), a step without any mark costs
// one test, and the steps with some are looked at outside the search, so the search keeps its
// constants in registers.

// A set byte for every byte of the 32 at `from` that begins a mark.
__attribute__((target("avx2"))) inline __m256i marksAvx2(const char* from)
{
    const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
    const __m256i rawNext = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 1));
    const __m256i caseBit = _mm256_set1_epi8(0x20);
    const __m256i first = _mm256_or_si256(raw, caseBit);
    const __m256i second = _mm256_or_si256(rawNext, caseBit);
    const __m256i fu = _mm256_and_si256(_mm256_cmpeq_epi8(first, _mm256_set1_epi8('f')),
                                        _mm256_cmpeq_epi8(second, _mm256_set1_epi8('u')));
    const __m256i pr = _mm256_and_si256(_mm256_cmpeq_epi8(first, _mm256_set1_epi8('p')),
                                        _mm256_cmpeq_epi8(second, _mm256_set1_epi8('r')));
    const __m256i directive = _mm256_and_si256(_mm256_cmpeq_epi8(raw, _mm256_set1_epi8('{')),
                                               _mm256_cmpeq_epi8(rawNext, _mm256_set1_epi8('$')));
    return _mm256_or_si256(_mm256_or_si256(fu, pr), directive);
}

// The first 64 bytes from `at` on, in steps of 64, that hold the start of a mark; or where fewer
// than 65 bytes are left before `end` (a mark's second byte is read one further).
__attribute__((target("avx2"))) const char* nextMarksAvx2(const char* at, const char* end)
{
    for (; end - at >= 65; at += 64) {
        const __m256i both = _mm256_or_si256(marksAvx2(at), marksAvx2(at + 32));
        if (!_mm256_testz_si256(both, both))
            break;
    }
    return at;
}

// A bit for every byte of the 64 at `at` that begins a mark.
__attribute__((target("avx2"))) quint64 markBitsAvx2(const char* at)
{
    return quint64(unsigned(_mm256_movemask_epi8(marksAvx2(at))))
        | quint64(unsigned(_mm256_movemask_epi8(marksAvx2(at + 32)))) << 32;
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace

SourceOutline OutlineOf(const QByteArray& text, OutlinePart parts)
{
    SourceOutline outline;
    const char* const begin = text.constData();
    const char* const end = begin + text.size();
    const bool withIncludes = parts & OutlineIncludes;
    const bool withHeaders = parts & OutlineHeaders;
    // A line is looked at for a directive once, at its first "{$".
    const char* directivesFrom = begin;

    const auto lookAt = [&](const char* at) {
        if (at[0] == '{' && at[1] == '$') {
            if (!withIncludes || at < directivesFrom)
                return;
            const char* line = at;
            while (line > begin && !isLineBreak(line[-1]))
                --line;
            const char* const lineEnd = lineEndFrom(at, end);
            directivesFrom = lineEnd;
            if (std::optional<QString> file = IncludeDirectiveFile(QString::fromLatin1(line, lineEnd - line)))
                outline.includes.append(*file);
            return;
        }
        if (!withHeaders)
            return;
        const char* line = at;
        while (line > begin && line[-1] == ' ')
            --line;
        if (line > begin && !isLineBreak(line[-1]))
            return;
        const char* const lineEnd = lineEndFrom(at, end);
        if (mayHaveHeader(line, lineEnd)) {
            if (std::optional<QString> header = RoutineHeader(QString::fromLatin1(line, lineEnd - line)))
                outline.headers.append(*header);
        }
    };

    const char* at = begin;
#if defined(TARVEL_HAVE_AVX2_SCAN)
    if (hasAvx2()) {
        for (at = nextMarksAvx2(at, end); end - at >= 65; at = nextMarksAvx2(at + 64, end)) {
            for (quint64 found = markBitsAvx2(at); found; found &= found - 1)
                lookAt(at + __builtin_ctzll(found));
        }
    }
#endif
#if defined(__SSE2__)
    for (; end - at >= 17; at += 16) {
        for (unsigned found = markBitsSse2(at); found; found &= found - 1)
            lookAt(at + __builtin_ctz(found));
    }
#endif
    for (; end - at >= 2; ++at) {
        if (isMark(at[0], at[1]))
            lookAt(at);
    }
    return outline;
}

} // namespace tarvel
