#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace common {
class FolderIndex;
}

namespace tarvel {

// Images of the tree's nodes.
inline constexpr int ImageClosed = 1; // a container, folded
inline constexpr int ImageOpen = 2;   // a container, unfolded, or a file that includes others
inline constexpr int ImageFile = 3;

// The key of the root node, which stands for the project and has no document.
inline const QString RootKey = QStringLiteral("r");

struct ProjectNode {
    QString key;  // unique within the tree
    QString text; // the name shown; for a file node its file name in upper case
    int image = ImageClosed;
    int parent = 0; // index of the parent node; 0 for the root
};

// The nodes of a project tree by their 1-based index in the order they were added: the root is
// node 1, the main file node 2. Keys are unique and looked up through a hash.
class ProjectTree {
public:
    int count() const { return int(m_nodes.size()); }
    bool contains(int index) const { return index >= 1 && index <= count(); }
    // Node `index`; only valid for contains(index).
    const ProjectNode& node(int index) const { return m_nodes.at(index - 1); }
    // The index of the node with this key, or 0.
    int indexOfKey(const QString& key) const { return m_indexByKey.value(key, 0); }

    // Adds a node under `parent` (0 for a root) and returns its index. Name plus counter can
    // repeat when a name ends in digits (A1 with 2 and A with 12 both give A12): such a key gets
    // a "#" and the first number from 2 up that makes it unique.
    int add(const QString& key, const QString& text, int image, int parent);
    void setImage(int index, int image);
    void setText(int index, const QString& text);

private:
    QList<ProjectNode> m_nodes;
    QHash<QString, int> m_indexByKey;
};

// Builds the tree of a project from its main file's include names and one listing of the project
// folder: the root (key "r", text `projectName`), the main file (key `mainFileName` + "0", its
// name in upper case), the main file's includes in line order (key include name + counter) and,
// one level down, the includes of those includes. Nodes added for nested includes are not
// scanned themselves, so includes three levels down are not shown and files that include each
// other do not loop. An include is listed only when its file can be opened under the name the
// tree shows. Names are upper-cased in ASCII only.
// The include names of each listed include's file come from `read`, asked once per path; a file
// it cannot read is listed without includes of its own.
using IncludeReader = std::function<common::Result<QStringList>(const QString& path)>;
[[nodiscard]] ProjectTree BuildProjectTree(const QString& projectName, const QString& mainFileName,
                                           const QStringList& mainIncludes, const common::FolderIndex& folder,
                                           const IncludeReader& read);

// The same from the main file's text, with the include files read through `read` (by default
// straight from the disk).
using FileReader = std::function<common::Result<QByteArray>(const QString& path)>;
[[nodiscard]] ProjectTree BuildProjectTree(const QString& projectName, const QString& mainFileName,
                                           const QByteArray& mainText, const common::FolderIndex& folder,
                                           const FileReader& read = {});

} // namespace tarvel
