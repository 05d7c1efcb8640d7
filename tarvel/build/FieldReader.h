#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace tarvel {

// Reads the compiler's text files as a stream of fields:
// - a field ends at a comma or at a line end (CR LF, CR or LF);
// - blanks and tabs before a field are skipped, and so are those at the end of an unquoted field;
// - a field that begins with a double quote runs to the next double quote (line ends and commas
//   included); whatever follows the closing quote up to the next comma or line end is skipped.
// Bytes are taken as Latin-1, so every byte comes back as one character.
//
// The input is read once from the front, in chunks, so a file is never held whole: memory stays
// at one chunk plus the fields kept, and `next` can keep only the start of a long field. An
// optional byte budget ends the input early, as if the file ended there.
class FieldReader {
public:
    static constexpr qint64 kChunkBytes = 64 * 1024;

    // Reads a buffer held in memory.
    explicit FieldReader(const QByteArray& bytes);
    // Reads an open device from its current position, `chunkBytes` at a time, at most
    // `byteBudget` bytes of it (no limit when negative). The device must outlive the reader.
    explicit FieldReader(QIODevice& device, qint64 byteBudget = -1, qint64 chunkBytes = kChunkBytes);
    FieldReader(const FieldReader&) = delete;
    FieldReader& operator=(const FieldReader&) = delete;

    // True when no byte is left (of the input, or of the budget).
    [[nodiscard]] bool atEnd();

    // The next field, or nothing when the input is used up. With `maxLength` >= 0 only the
    // field's first `maxLength` characters are kept; the rest is passed over.
    [[nodiscard]] std::optional<QString> next(qsizetype maxLength = -1);

    // Moves past the next field without building it: its length, or nothing when the input is
    // used up.
    std::optional<qsizetype> skip();

    // True when the byte budget ended the input before the device did.
    [[nodiscard]] bool cutShort() const { return m_cutShort; }

private:
    // Reads one field; `text` (may be null) receives at most `maxLength` characters of it.
    bool readField(QString* text, qsizetype maxLength, qsizetype& length);
    // Makes at least one unread byte available; false at the end of the input.
    bool fill();
    int peek() { return (m_pos < m_size || fill()) ? static_cast<unsigned char>(m_data[m_pos]) : -1; }

    QByteArray m_bytes;           // the input in memory, or the current chunk of the device
    const char* m_data = nullptr; // m_bytes' data
    qsizetype m_pos = 0;
    qsizetype m_size = 0;
    QIODevice* m_device = nullptr;
    qint64 m_budget = -1; // bytes the device may still give; negative: no limit
    qint64 m_chunkBytes = kChunkBytes;
    bool m_cutShort = false;
};

} // namespace tarvel
