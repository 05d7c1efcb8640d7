#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarvel {

// Reads the compiler's text files as a stream of fields:
// - a field ends at a comma or at a line end (CR LF, CR or LF);
// - blanks and tabs before a field are skipped, and so are those at the end of an unquoted field;
// - a field that begins with a double quote runs to the next double quote (line ends and commas
//   included); whatever follows the closing quote up to the next comma or line end is skipped.
// Bytes are taken as Latin-1, so every byte comes back as one character. One pass, no copies of
// the input: the cost is linear in its size.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& bytes);

    [[nodiscard]] bool atEnd() const { return m_pos >= m_bytes.size(); }

    // The next field, or nothing when the input is used up.
    [[nodiscard]] std::optional<QString> next();

    // Moves past the next field without building it: its length, or nothing when the input is
    // used up.
    std::optional<qsizetype> skip();

private:
    // Finds the next field's extent [begin, end) and moves past its terminator.
    bool advance(qsizetype& begin, qsizetype& end);

    const QByteArray m_bytes;
    qsizetype m_pos = 0;
};

} // namespace tarvel
