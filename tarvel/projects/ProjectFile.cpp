#include "projects/ProjectFile.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/SourceOutline.h"

#include <cctype>

namespace tarvel {

QString FormatAddress(qint16 address)
{
    return QString::number(static_cast<quint16>(address), 16).toUpper();
}

std::optional<qint16> ParseAddress(const QString& text)
{
    if (text.isEmpty() || text.size() > 4)
        return std::nullopt;
    for (QChar c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 0x7F)
            return std::nullopt;
    }
    return static_cast<qint16>(static_cast<quint16>(text.toUInt(nullptr, 16)));
}

common::Result<ProjectFileContents> ParseProjectFile(const QByteArray& bytes)
{
    using R = common::Result<ProjectFileContents>;
    if (bytes.contains('\0'))
        return R::failure(QStringLiteral("it holds binary data, not the four text lines of a project file"));
    const QStringList lines = common::SplitLines(bytes);
    if (lines.size() < 4)
        return R::failure(QStringLiteral("it has %1 of the four lines a project file needs").arg(lines.size()));
    ProjectFileContents contents;
    // The lines were split as Latin-1, which gives back every byte unchanged.
    contents.info.ProjectName = common::DecodePathBytes(lines.at(0).toLatin1());
    const std::optional<qint16> start = ParseAddress(lines.at(1).trimmed());
    if (!start)
        return R::failure(QStringLiteral("line 2, \"%1\", is not a start address of one to four hexadecimal digits").arg(lines.at(1)));
    const std::optional<qint16> end = ParseAddress(lines.at(2).trimmed());
    if (!end)
        return R::failure(QStringLiteral("line 3, \"%1\", is not an end address of one to four hexadecimal digits").arg(lines.at(2)));
    contents.info.StartAddress = *start;
    contents.info.EndAddress = *end;
    contents.mainFileEntry = common::DecodePathBytes(lines.at(3).toLatin1());
    if (common::ExtractFileName(contents.mainFileEntry).trimmed().isEmpty())
        return R::failure(QStringLiteral("line 4 names no main Pascal file"));
    return contents;
}

QByteArray ProjectFileBytes(const ProjectInfo& info, const QString& mainFileEntry)
{
    return common::EncodePathBytes(info.ProjectName) + "\r\n" + FormatAddress(info.StartAddress).toLatin1() + "\r\n"
        + FormatAddress(info.EndAddress).toLatin1() + "\r\n" + common::EncodePathBytes(mainFileEntry) + "\r\n";
}

QString ProjectFileBaseName(const QString& projectName, const QString& mainFileName)
{
    const QString name = common::ExtractFileName(projectName);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return common::RemoveText(common::ExtractFileName(mainFileName), QStringLiteral(".pas"));
    return name;
}

std::optional<QString> IncludeDirectiveFile(const QString& line)
{
    // ASCII only, as every look-up of a project file: "straße.inc" must stay STRAßE.INC.
    const QString upper = common::AsciiUpper(line);
    if (!upper.contains(QLatin1String("{$I")))
        return std::nullopt;
    QString includeName = common::RemoveText(upper, QStringLiteral("{$I"));
    includeName = common::RemoveText(includeName, QStringLiteral("}"));
    includeName = includeName.trimmed();
    if (includeName.isEmpty() || includeName == QLatin1String("-") || includeName == QLatin1String("+"))
        return std::nullopt;
    return includeName;
}

QStringList IncludeDirectiveFiles(const QByteArray& text)
{
    return OutlineOf(text, OutlineIncludes).includes;
}

void SortStrings(QStringList& list, bool descending)
{
    const int count = list.size();
    int gap = 1;
    while (gap * 3 + 1 <= count)
        gap = gap * 3 + 1;
    auto outOfOrder = [descending](const QString& a, const QString& b) {
        const int order = QString::compare(a, b, Qt::CaseSensitive);
        return descending ? order < 0 : order > 0;
    };
    for (; gap >= 1; gap /= 3) {
        for (int i = gap; i < count; ++i) {
            const QString value = list.at(i);
            int j = i;
            while (j >= gap && outOfOrder(list.at(j - gap), value)) {
                list[j] = list.at(j - gap);
                j -= gap;
            }
            list[j] = value;
        }
    }
}

} // namespace tarvel
