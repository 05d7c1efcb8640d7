#include "build/FieldReader.h"

#include <QIODevice>

#include <algorithm>

namespace tarvel {

namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }

} // namespace

FieldReader::FieldReader(const QByteArray& bytes) : m_bytes(bytes), m_data(m_bytes.constData()), m_size(m_bytes.size())
{
}

FieldReader::FieldReader(QIODevice& device, qint64 byteBudget, qint64 chunkBytes)
    : m_device(&device), m_budget(byteBudget), m_chunkBytes(std::max<qint64>(1, chunkBytes))
{
}

bool FieldReader::fill()
{
    if (m_pos < m_size)
        return true;
    if (!m_device || m_budget == 0)
        return false;
    const qint64 want = m_budget < 0 ? m_chunkBytes : std::min(m_chunkBytes, m_budget);
    m_bytes.resize(want);
    const qint64 got = m_device->read(m_bytes.data(), want);
    if (got <= 0) {
        m_bytes.clear();
        m_data = nullptr;
        m_pos = m_size = 0;
        m_device = nullptr;
        return false;
    }
    m_bytes.resize(got);
    m_data = m_bytes.constData();
    m_pos = 0;
    m_size = got;
    if (m_budget > 0) {
        m_budget -= got;
        // Out of budget with more to come: the input ends here, cut short.
        if (m_budget == 0 && !m_device->atEnd())
            m_cutShort = true;
    }
    return true;
}

bool FieldReader::atEnd()
{
    return peek() < 0;
}

bool FieldReader::readField(QString* text, qsizetype maxLength, qsizetype& length)
{
    if (peek() < 0)
        return false;
    length = 0;
    // Counts `count` characters of the field and keeps as many of them as there is room for.
    const auto keep = [&](const char* from, qsizetype count) {
        length += count;
        if (!text)
            return;
        const qsizetype room = maxLength < 0 ? count : std::max<qsizetype>(0, maxLength - text->size());
        if (room > 0)
            text->append(QLatin1String(from, std::min(count, room)));
    };

    int c = peek();
    while (IsBlank(c)) {
        ++m_pos;
        c = peek();
    }

    if (c == '"') {
        ++m_pos;
        // The quoted text, to the closing quote or the end of the input.
        while (peek() >= 0) {
            const char* begin = m_data + m_pos;
            const char* quote = std::find(begin, m_data + m_size, '"');
            keep(begin, quote - begin);
            m_pos = quote - m_data;
            if (m_pos < m_size) {
                ++m_pos;
                break;
            }
        }
        // Whatever follows the closing quote, up to the terminator, is passed over.
        for (c = peek(); c >= 0 && c != ',' && !IsLineEnd(c); c = peek())
            ++m_pos;
    } else {
        // Blanks are held back until something follows them inside the field, so the ones at
        // its end are dropped; only as many as could still be kept are remembered.
        qsizetype blanks = 0;
        QByteArray held;
        for (c = peek(); c >= 0 && c != ',' && !IsLineEnd(c); c = peek()) {
            if (IsBlank(c)) {
                ++blanks;
                if (text && (maxLength < 0 || text->size() + held.size() < maxLength))
                    held += static_cast<char>(c);
                ++m_pos;
                continue;
            }
            if (blanks > 0) {
                length += blanks - held.size();
                keep(held.constData(), held.size());
                blanks = 0;
                held.clear();
            }
            const char* begin = m_data + m_pos;
            const char* stop = std::find_if(begin, m_data + m_size, [](char ch) {
                return ch == ',' || IsLineEnd(ch) || IsBlank(ch);
            });
            keep(begin, stop - begin);
            m_pos = stop - m_data;
        }
    }

    // Past the terminator: a comma, or one line end (CR LF counts as one).
    if (c == '\r') {
        ++m_pos;
        if (peek() == '\n')
            ++m_pos;
    } else if (c >= 0) {
        ++m_pos;
    }
    return true;
}

std::optional<QString> FieldReader::next(qsizetype maxLength)
{
    QString text;
    qsizetype length = 0;
    if (!readField(&text, maxLength, length))
        return std::nullopt;
    return text;
}

std::optional<qsizetype> FieldReader::skip()
{
    qsizetype length = 0;
    if (!readField(nullptr, -1, length))
        return std::nullopt;
    return length;
}

} // namespace tarvel
