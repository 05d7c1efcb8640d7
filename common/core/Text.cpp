#include "core/Text.h"

#include <algorithm>

namespace common {

namespace {

// The case folding of one character that is not half of a surrogate pair; ASCII without a call.
char16_t Folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u;
    return c.toCaseFolded().unicode();
}

} // namespace

QString RemoveText(const QString& text, const QString& search)
{
    if (text.isEmpty() || search.isEmpty())
        return text;
    // One pass: characters are kept in order, and whenever the kept text ends in the search text
    // that end is dropped. Nothing before the end can hold an occurrence, so this removes the same
    // occurrences, in the same order, as cutting the first one and searching again from the start,
    // including those formed by a join ("ppasas" without "pas" gives "").
    const qsizetype length = search.size();
    const QChar last = search.back();
    const bool quickTest = !last.isSurrogate();
    const char16_t lastFolded = quickTest ? Folded(last) : 0;
    QString kept(text.size(), Qt::Uninitialized);
    QChar* const out = kept.data();
    qsizetype size = 0;
    for (const QChar c : text) {
        out[size++] = c;
        // A character that does not fold like the search text's last one cannot end an
        // occurrence; surrogates fold in pairs, so they always take the full test.
        if (quickTest && !c.isSurrogate() && Folded(c) != lastFolded)
            continue;
        // Searched inside the whole kept text, so that the character before the end takes part
        // in case folding exactly as in a search from the start (a surrogate pair folds as one).
        const qsizetype end = size - length;
        if (end >= 0 && QStringView(out, size).indexOf(search, end, Qt::CaseInsensitive) == end)
            size = end;
    }
    kept.truncate(size);
    return kept;
}

QString ReplaceText(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    qsizetype at = text.indexOf(search, 0, Qt::CaseSensitive);
    if (at < 0)
        return text;
    // The search goes on in the original text after each occurrence, so a replacement is never
    // searched again.
    QString result;
    qsizetype from = 0;
    while (at >= 0) {
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + search.size();
        at = text.indexOf(search, from, Qt::CaseSensitive);
    }
    result += QStringView(text).mid(from);
    return result;
}

QStringList SplitText(const QString& text, const QString& delimiter)
{
    if (delimiter.isEmpty())
        return {text};
    const QStringView rest(text);
    // Every caller splits on one blank; a single character is searched as a character.
    const auto find = [&](qsizetype from) {
        return delimiter.size() == 1 ? rest.indexOf(delimiter.front(), from) : rest.indexOf(delimiter, from);
    };
    qsizetype count = 1;
    for (qsizetype at = find(0); at >= 0; at = find(at + delimiter.size()))
        ++count;
    QStringList parts;
    parts.reserve(count);
    qsizetype from = 0;
    qsizetype at = find(0);
    while (at >= 0) {
        parts.append(text.mid(from, at - from));
        from = at + delimiter.size();
        at = find(from);
    }
    if (from < text.size())
        parts.append(text.mid(from));
    if (parts.isEmpty())
        parts.append(QString());
    return parts;
}

QString TrimAtNull(const QString& text)
{
    const int nul = text.indexOf(QChar(0));
    const QString head = nul < 0 ? text : text.left(nul);
    int begin = 0;
    int end = head.size();
    while (begin < end && head.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && head.at(end - 1) == QLatin1Char(' '))
        --end;
    return head.mid(begin, end - begin);
}

QString ShellQuote(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString AsciiUpper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return upper;
}

bool AsciiEqualsNoCase(const QString& a, const QString& b)
{
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

namespace {

bool isControl(QChar c)
{
    return c.unicode() < 32 || c.unicode() == 127;
}

} // namespace

QString ControlCharactersToBlanks(const QString& text)
{
    QString blanked = text;
    for (QChar& c : blanked) {
        if (isControl(c))
            c = QLatin1Char(' ');
    }
    return blanked;
}

bool HoldsControlCharacter(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), isControl);
}

qint32 ShiftLeft(qint32 value, qint32 bits)
{
    // Done on unsigned values so that a shift into the sign bit is defined behaviour.
    return static_cast<qint32>(static_cast<quint32>(value) << (bits & 31));
}

} // namespace common
