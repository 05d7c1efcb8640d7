#include "build/FieldReader.h"

namespace tarvel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

} // namespace

FieldReader::FieldReader(const QByteArray& bytes) : m_bytes(bytes) {}

bool FieldReader::advance(qsizetype& begin, qsizetype& end)
{
    const char* data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    if (m_pos >= size)
        return false;

    qsizetype pos = m_pos;
    while (pos < size && IsBlank(data[pos]))
        ++pos;

    if (pos < size && data[pos] == '"') {
        begin = pos + 1;
        end = begin;
        while (end < size && data[end] != '"')
            ++end;
        pos = end < size ? end + 1 : end;
        while (pos < size && data[pos] != ',' && !IsLineEnd(data[pos]))
            ++pos;
    } else {
        begin = pos;
        while (pos < size && data[pos] != ',' && !IsLineEnd(data[pos]))
            ++pos;
        end = pos;
        while (end > begin && IsBlank(data[end - 1]))
            --end;
    }

    // Move past the terminator: a comma, or one line end (CR LF counts as one).
    if (pos < size) {
        if (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n')
            ++pos;
        ++pos;
    }
    m_pos = pos;
    return true;
}

std::optional<QString> FieldReader::next()
{
    qsizetype begin = 0;
    qsizetype end = 0;
    if (!advance(begin, end))
        return std::nullopt;
    return QString::fromLatin1(m_bytes.constData() + begin, end - begin);
}

std::optional<qsizetype> FieldReader::skip()
{
    qsizetype begin = 0;
    qsizetype end = 0;
    if (!advance(begin, end))
        return std::nullopt;
    return end - begin;
}

} // namespace tarvel
