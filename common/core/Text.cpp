#include "core/Text.h"

namespace common {

QString RemoveText(const QString& text, const QString& search)
{
    if (text.isEmpty() || search.isEmpty())
        return text;
    QString result = text;
    int at = result.indexOf(search, 0, Qt::CaseInsensitive);
    while (at >= 0) {
        result.remove(at, search.size());
        at = result.indexOf(search, 0, Qt::CaseInsensitive);
    }
    return result;
}

QString ReplaceText(const QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    QString result = text;
    int at = result.indexOf(search, 0, Qt::CaseSensitive);
    while (at >= 0) {
        result.replace(at, search.size(), replacement);
        at = result.indexOf(search, at + replacement.size(), Qt::CaseSensitive);
    }
    return result;
}

QStringList SplitText(const QString& text, const QString& delimiter)
{
    QStringList parts{QString()};
    if (delimiter.isEmpty()) {
        parts[0] = text;
        return parts;
    }
    QString rest = text;
    int i = 0;
    int at = rest.indexOf(delimiter);
    while (at >= 0) {
        if (i >= parts.size())
            parts.append(QString());
        parts[i] = rest.left(at);
        rest = rest.mid(at + delimiter.size());
        ++i;
        at = rest.indexOf(delimiter);
    }
    if (!rest.isEmpty()) {
        if (i >= parts.size())
            parts.append(QString());
        parts[i] = rest;
    }
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

qint32 ShiftLeft(qint32 value, qint32 bits)
{
    // Done on unsigned values so that a shift into the sign bit is defined behaviour.
    return static_cast<qint32>(static_cast<quint32>(value) << (bits & 31));
}

} // namespace common
