#include "editor/RoutineHeaders.h"

#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/SourceOutline.h"

namespace tarvel {

namespace {

const QLatin1String Function("FUNCTION");
const QLatin1String Procedure("PROCEDURE");

QStringView trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

} // namespace

std::optional<QString> RoutineHeader(QStringView line)
{
    const QStringView trimmed = trimBlanks(line);
    const QString upper = common::AsciiUpper(trimmed.toString());
    // The keyword with its blank is searched anywhere, but the line must begin with the keyword.
    const struct {
        QLatin1String keyword;
        QLatin1String withBlank;
    } keywords[] = {{Function, QLatin1String("FUNCTION ")}, {Procedure, QLatin1String("PROCEDURE ")}};
    for (const auto& k : keywords) {
        const qsizetype at = upper.indexOf(k.withBlank);
        if (at >= 0 && upper.startsWith(k.keyword))
            return trimmed.mid(at + k.withBlank.size()).toString();
    }
    return std::nullopt;
}

QStringList RoutineHeadersOf(const QByteArray& text)
{
    return OutlineOf(text, OutlineHeaders).headers;
}

common::Result<QStringList> ReadRoutineHeaders(const QString& path)
{
    const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
    if (!bytes)
        return common::Result<QStringList>::failure(bytes.error());
    return RoutineHeadersOf(bytes.value());
}

} // namespace tarvel
