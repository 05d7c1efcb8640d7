#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tarvel {

// The routine header of one source line: the text after "FUNCTION " or "PROCEDURE " when the
// line, with its leading and trailing blanks removed, begins with that keyword in any letter
// case. Only the blank (32) is trimmed, so a tab-indented line has no header. The header keeps
// the source's letter case and everything up to the line's end (parameters, result type, ";",
// a comment), and blanks after the keyword's own one stay: "function  F;" gives " F;". The
// keyword is searched as "FUNCTION " with its blank, so "FUNCTIONS FUNCTION X" gives "X" and a
// keyword followed by a tab or the line end gives none. Nothing checks the context: a
// declaration in a comment or a forward declaration counts.
[[nodiscard]] std::optional<QString> RoutineHeader(QStringView line);

// The headers of every line of an 8-bit text (lines end at CR LF, LF or CR), in line order.
[[nodiscard]] QStringList RoutineHeadersOf(const QByteArray& text);

// The headers of a file on disk; fails with a readable reason when it cannot be read.
[[nodiscard]] common::Result<QStringList> ReadRoutineHeaders(const QString& path);

} // namespace tarvel
