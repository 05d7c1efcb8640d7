#include "projects/ProjectReading.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/ProjectFile.h"
#include "projects/SourceOutline.h"

#include <QDir>
#include <QHash>

namespace tarvel {

ProjectReading ReadProject(const QString& projectDir, const QString& mainFile, bool withRoutines)
{
    ProjectReading reading{projectDir, mainFile, common::ReadFileBytes(mainFile), {}, {}};
    if (!reading.mainText)
        return reading;

    // One listing of the project folder serves every look-up.
    const common::FolderIndex folder(projectDir);
    const OutlinePart parts = withRoutines ? OutlineBoth : OutlineIncludes;
    const SourceOutline mainOutline = OutlineOf(reading.mainText.value(), parts);
    // The headers by file; none for a file that cannot be read.
    QHash<QString, std::optional<QStringList>> headers;
    headers.insert(mainFile, mainOutline.headers);
    const auto readIncludes = [&headers, parts, &mainFile, &mainOutline](const QString& path) -> common::Result<QStringList> {
        if (path == mainFile) // a main file that includes itself
            return mainOutline.includes;
        const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
        if (!bytes) {
            headers.insert(path, std::nullopt);
            return common::Result<QStringList>::failure(bytes.error());
        }
        SourceOutline outline = OutlineOf(bytes.value(), parts);
        headers.insert(path, std::move(outline.headers));
        return std::move(outline.includes);
    };
    reading.tree = BuildProjectTree(QString(), common::ExtractFileName(mainFile), mainOutline.includes, folder, readIncludes);
    if (!withRoutines)
        return reading;

    // The nested includes were listed but not scanned: they are read for their headers now.
    for (int i = 2; i <= reading.tree.count(); ++i) {
        const QString& name = reading.tree.node(i).text;
        const QString found = folder.find(name);
        const QString path = found.isEmpty() ? common::AddBackslash(projectDir) + name : found;
        auto known = headers.constFind(path);
        if (known == headers.cend()) {
            const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
            known = headers.insert(path, bytes ? std::optional(OutlineOf(bytes.value(), OutlineHeaders).headers) : std::nullopt);
        }
        reading.routines.append(*known);
    }
    return reading;
}

QString MainFileOfProjectFile(const QString& tpjPath, const QString& mainFileEntry)
{
    return common::AddBackslash(common::ExtractPath(tpjPath)) + common::ExtractFileName(mainFileEntry);
}

QString ExistingMainFile(const QString& mainFile)
{
    if (common::FileExists(mainFile))
        return mainFile;
    const QString other = common::FindFileNoCase(common::ExtractPath(mainFile), common::ExtractFileName(mainFile));
    return !other.isEmpty() && common::FileExists(other) ? other : QString();
}

QString ProjectFileOfArgument(const QString& argument)
{
    if (common::AsciiUpper(argument.right(3)) != QLatin1String("TPJ"))
        return QString();
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(argument));
    const QString found = common::FindFileNoCase(common::ExtractPath(absolute), common::ExtractFileName(absolute));
    return common::FileExists(found) ? found : QString();
}

ProjectPreload::ProjectPreload(const QString& argument)
{
    const QString tpjPath = ProjectFileOfArgument(argument);
    if (tpjPath.isEmpty())
        return;
    m_reading = std::async(std::launch::async, [tpjPath]() -> std::optional<ProjectReading> {
        const common::Result<QByteArray> bytes = common::ReadFileBytes(tpjPath);
        const common::Result<ProjectFileContents> contents =
            bytes ? ParseProjectFile(bytes.value()) : common::Result<ProjectFileContents>::failure(bytes.error());
        if (!contents)
            return std::nullopt;
        const QString named = MainFileOfProjectFile(tpjPath, contents.value().mainFileEntry);
        const QString mainFile = ExistingMainFile(named);
        if (mainFile.isEmpty())
            return std::nullopt;
        // The routines are read whatever the settings say: they are not known yet.
        return ReadProject(common::ExtractPath(named), mainFile, true);
    });
}

ProjectPreload::~ProjectPreload()
{
    if (m_reading.valid())
        m_reading.wait();
}

std::optional<ProjectReading> ProjectPreload::take(const QString& projectDir, const QString& mainFile)
{
    if (!m_reading.valid())
        return std::nullopt;
    std::optional<ProjectReading> reading = m_reading.get();
    if (!reading || reading->mainFile != mainFile || reading->projectDir != projectDir)
        return std::nullopt;
    return reading;
}

} // namespace tarvel
