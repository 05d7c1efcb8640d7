#include "editor/RoutineHeaders.h"

#include "core/Text.h"
#include "core/TextFile.h"

#include <cstring>

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
    QStringList headers;
    const char* const begin = text.constData();
    const char* const end = begin + text.size();
    // The next CR and the next LF, each found with one fast search and reused until passed.
    const auto find = [end](const char* from, char c) {
        const void* at = from < end ? std::memchr(from, c, size_t(end - from)) : nullptr;
        return at ? static_cast<const char*>(at) : end;
    };
    const char* nextCr = find(begin, '\r');
    const char* nextLf = find(begin, '\n');
    const char* line = begin;
    while (line < end) {
        if (nextCr < line)
            nextCr = find(line, '\r');
        if (nextLf < line)
            nextLf = find(line, '\n');
        const char* lineEnd = nextCr < nextLf ? nextCr : nextLf;
        if (mayHaveHeader(line, lineEnd)) {
            const QString lineText = QString::fromLatin1(line, lineEnd - line);
            if (std::optional<QString> header = RoutineHeader(lineText))
                headers.append(*header);
        }
        if (lineEnd == end)
            break;
        line = lineEnd + 1;
        if (*lineEnd == '\r' && line < end && *line == '\n')
            ++line;
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
