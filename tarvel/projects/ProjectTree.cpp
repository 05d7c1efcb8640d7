#include "projects/ProjectTree.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/ProjectFile.h"

namespace tarvel {

int ProjectTree::add(const QString& key, const QString& text, int image, int parent)
{
    QString unique = key;
    for (int suffix = 2; m_indexByKey.contains(unique); ++suffix)
        unique = key + QLatin1Char('#') + QString::number(suffix);
    m_nodes.append(ProjectNode{unique, text, image, parent});
    m_indexByKey.insert(unique, count());
    return count();
}

void ProjectTree::setImage(int index, int image)
{
    if (contains(index))
        m_nodes[index - 1].image = image;
}

void ProjectTree::setText(int index, const QString& text)
{
    if (contains(index))
        m_nodes[index - 1].text = text;
}

ProjectTree BuildProjectTree(const QString& projectName, const QString& mainFileName, const QStringList& mainIncludes,
                             const common::FolderIndex& folder, const IncludeReader& read)
{
    // Every later step opens, saves and scans a file under the name its node shows, so an include
    // with a folder part is listed only when the bare name opens as well.
    auto listed = [&folder](const QString& includeName) {
        const QString bare = common::ExtractFileName(includeName);
        return common::FileExists(folder.find(includeName))
            && (bare == includeName || common::FileExists(folder.find(bare)));
    };

    ProjectTree tree;
    const int root = tree.add(RootKey, projectName, ImageClosed, 0);
    int counter = 0;
    const int mainNode = tree.add(mainFileName + QString::number(counter), common::AsciiUpper(mainFileName), ImageClosed, root);
    counter = 1;
    for (const QString& includeName : mainIncludes) {
        if (!listed(includeName))
            continue;
        tree.add(includeName + QString::number(counter), common::ExtractFileName(includeName), ImageFile, mainNode);
        ++counter;
    }

    // Each file is read once, also when the main file includes it twice.
    QHash<QString, QStringList> directives;
    const int scanned = tree.count();
    for (int i = 3; i <= scanned; ++i) {
        const QString path = folder.find(tree.node(i).text);
        auto known = directives.constFind(path);
        if (known == directives.cend()) {
            const common::Result<QStringList> includes = read(path);
            known = directives.insert(path, includes ? includes.value() : QStringList());
        }
        for (const QString& includeName : *known) {
            if (!listed(includeName))
                continue;
            ++counter;
            tree.setImage(i, ImageOpen);
            tree.add(includeName + QString::number(counter), common::ExtractFileName(includeName), ImageFile, i);
        }
    }
    return tree;
}

ProjectTree BuildProjectTree(const QString& projectName, const QString& mainFileName, const QByteArray& mainText,
                             const common::FolderIndex& folder, const FileReader& read)
{
    const auto includesOf = [&read](const QString& path) -> common::Result<QStringList> {
        const common::Result<QByteArray> text = read ? read(path) : common::ReadFileBytes(path);
        if (!text)
            return common::Result<QStringList>::failure(text.error());
        return IncludeDirectiveFiles(text.value());
    };
    return BuildProjectTree(projectName, mainFileName, IncludeDirectiveFiles(mainText), folder, includesOf);
}

} // namespace tarvel
