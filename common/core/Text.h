#pragma once

#include <QString>
#include <QStringList>

namespace common {

// Every occurrence of `search` removed, ignoring letter case. An occurrence formed by joining the
// text around a removed one is removed too ("ppasas" without "pas" gives ""), exactly as if the
// first occurrence were cut and the search started again from the beginning. These three helpers
// take time in proportion to the length of the text.
[[nodiscard]] QString RemoveText(const QString& text, const QString& search);

// Every occurrence of `search` replaced, respecting letter case; replaced text is not searched again.
[[nodiscard]] QString ReplaceText(const QString& text, const QString& search, const QString& replacement);

// Splits at each delimiter: "a  b" gives (a, "", b); a trailing delimiter adds no empty element;
// "" and a lone delimiter give one empty element.
[[nodiscard]] QStringList SplitText(const QString& text, const QString& delimiter);

// The part before the first NUL character, without leading and trailing blanks.
[[nodiscard]] QString TrimAtNull(const QString& text);

// The text as one word for a POSIX shell: in single quotes, each quote inside written '\''.
[[nodiscard]] QString ShellQuote(const QString& text);

// MSX names are ASCII: only a-z change case; every other character (ß, é, я) stays as it is.
[[nodiscard]] QString AsciiUpper(const QString& text);
[[nodiscard]] bool AsciiEqualsNoCase(const QString& a, const QString& b);

// A field of a line-based record holds one line: line breaks and other control characters
// (below 32, and 127) become blanks.
[[nodiscard]] QString ControlCharactersToBlanks(const QString& text);
[[nodiscard]] bool HoldsControlCharacter(const QString& text);

// value * 2^bits as a 32-bit signed integer (wrapping like the machine does).
[[nodiscard]] qint32 ShiftLeft(qint32 value, qint32 bits);

} // namespace common
