#pragma once

#include <QByteArray>
#include <QStringList>

namespace tarvel {

// What a project load takes from a source file: the files its include directives name and its
// routine headers, each in line order.
struct SourceOutline {
    QStringList includes;
    QStringList headers;
};

// Which parts of the outline to gather.
enum OutlinePart { OutlineIncludes = 1, OutlineHeaders = 2, OutlineBoth = 3 };

// The include directive files (by IncludeDirectiveFile, one per line) and the routine headers (by
// RoutineHeader) of an 8-bit text whose lines end at CR LF, LF or CR, both found in one pass over
// the bytes. Only the lines that hold "{$", or begin with "FU" or "PR" in either case, are looked
// at closely, so large files are scanned at about the speed of reading.
[[nodiscard]] SourceOutline OutlineOf(const QByteArray& text, OutlinePart parts = OutlineBoth);

} // namespace tarvel
