#include "editor/ProjectSearch.h"

#include "core/TextFile.h"

#include <QByteArrayMatcher>
#include <QSet>

#include <array>
#include <cstring>

namespace tarvel {

namespace {

// Latin-1 lower case: A-Z and the accented capitals (not the multiplication sign).
const std::array<char, 256>& lowerTable()
{
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c) {
            const bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
            t[c] = char(upper ? c + 32 : c);
        }
        return t;
    }();
    return table;
}

QByteArray lowered(const QByteArray& bytes)
{
    const std::array<char, 256>& table = lowerTable();
    QByteArray out(bytes.size(), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    char* to = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        to[i] = table[in[i]];
    return out;
}

bool isWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u >= 0xC0;
}

} // namespace

QList<SearchHit> SearchText(const QByteArray& text, const QString& fileName, const SearchRequest& request, int limit,
                            bool* cutShort)
{
    QList<SearchHit> hits;
    if (cutShort)
        *cutShort = false;
    const QByteArray needle = request.matchCase ? request.text.toLatin1() : lowered(request.text.toLatin1());
    if (needle.isEmpty())
        return hits;
    const QByteArray haystack = request.matchCase ? text : lowered(text);
    const QByteArrayMatcher matcher(needle);
    const char* data = text.constData();
    const qsizetype size = text.size();

    int line = 0;
    qsizetype lineStart = 0;   // start of line `line`
    qsizetype counted = 0;     // line ends are counted up to here
    qsizetype from = 0;
    while (from <= size - needle.size()) {
        const qsizetype at = matcher.indexIn(haystack, from);
        if (at < 0)
            break;
        const qsizetype end = at + needle.size();
        if (request.wholeWord && ((at > 0 && isWordByte(data[at - 1])) || (end < size && isWordByte(data[end])))) {
            from = at + 1;
            continue;
        }
        // Line ends (LF, CR LF or a lone CR) between the last count and the match.
        for (qsizetype i = counted; i < at; ++i) {
            if (data[i] == '\n' || (data[i] == '\r' && (i + 1 >= size || data[i + 1] != '\n'))) {
                ++line;
                lineStart = i + 1;
            }
        }
        counted = at;
        qsizetype lineEnd = at;
        while (lineEnd < size && data[lineEnd] != '\n' && data[lineEnd] != '\r')
            ++lineEnd;
        if (hits.size() >= limit) {
            if (cutShort)
                *cutShort = true;
            break;
        }
        hits.append(SearchHit{fileName, line, int(at - lineStart),
                              QString::fromLatin1(data + lineStart, lineEnd - lineStart)});
        // One hit a line: go on at the next line.
        from = lineEnd;
    }
    return hits;
}

SearchResults SearchFiles(const QList<SearchFile>& files, const SearchRequest& request)
{
    SearchResults results;
    QSet<QString> searched;
    for (const SearchFile& file : files) {
        if (searched.contains(file.name))
            continue;
        searched.insert(file.name);
        QByteArray text;
        if (file.edited) {
            text = *file.edited;
        } else {
            common::Result<QByteArray> read = common::ReadFileBytes(file.path);
            if (!read) {
                results.unreadable << file.name;
                continue;
            }
            text = read.value();
        }
        bool more = false;
        results.hits += SearchText(text, file.name, request, kMaxSearchHits - int(results.hits.size()), &more);
        if (more) {
            results.cutShort = true;
            break;
        }
    }
    return results;
}

} // namespace tarvel
