#pragma once

#include "projects/ProjectInfo.h"
#include "projects/ProjectTree.h"
#include "projects/ShownDocument.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tarvel {

// A caret remembered for a document: 0-based column and line.
struct CaretPosition {
    int column = 0;
    int line = 0;
    bool operator==(const CaretPosition& other) const { return column == other.column && line == other.line; }
};

// The routine headers of one project file (filled by the editor services).
using FileRoutineList = QStringList;

// The open project, owned in one place so that its parts stay in step: the project record, the
// project folder, the tree's nodes, the shown document, the highlighted node, the caret
// remembered per document and the routine list per file.
//
// Rules its operations keep:
// - a project is open exactly when the tree holds the root and the main file node;
// - the shown document is a file node (index 2 or more) while a project is open, and none
//   (index 0) otherwise; CurrentKey is its key;
// - the highlighted node is the shown document's node or the root, which stands for the project;
// - there is one remembered caret per node (plus entry 0 for "no document") and one routine
//   list per file node, both reset when a project is opened;
// - with no project open nothing can be saved: there are no nodes, no shown document and no
//   project folder.
class OpenProject {
public:
    // The project record. It outlives the tree: it is set before a project is loaded and its
    // addresses carry over to a new project.
    const ProjectInfo& info() const { return m_info; }
    // Takes name and addresses at once (from a .tpj); an open tree's root shows the new name.
    void setInfo(const ProjectInfo& info);
    void setProjectName(const QString& name);
    void setAddresses(qint16 startAddress, qint16 endAddress);
    // Whether the record differs from the one last read from or written to a project file (or
    // set up with a new project): changed properties that Save Project has not written yet.
    bool infoUnsaved() const { return isOpen() && m_info != m_savedInfo; }
    // The record as it is now is the one on disk.
    void markInfoSaved() { m_savedInfo = m_info; }
    const ProjectInfo& savedInfo() const { return m_savedInfo; }
    void setSavedInfo(const ProjectInfo& info) { m_savedInfo = info; }

    bool isOpen() const { return m_tree.count() >= 2; }
    // The project folder with a trailing separator; "" while no project is open.
    const QString& projectDir() const { return m_projectDir; }

    // Makes `tree` (root and main file at least) the open project in `projectDir`: the main file
    // is shown and highlighted, the carets start at the top, the routine lists are empty. A tree
    // without a main file node closes the project instead; returns whether a project is open.
    bool open(const QString& projectDir, ProjectTree tree);
    // No project: no nodes, nothing shown, no folder. The record is kept.
    void close();

    // Nodes by their 1-based index in the order they were added.
    const ProjectTree& tree() const { return m_tree; }
    int nodeCount() const { return m_tree.count(); }
    // Node `index` (1 to nodeCount()).
    const ProjectNode& node(int index) const { return m_tree.node(index); }
    int indexOfKey(const QString& key) const { return m_tree.indexOfKey(key); }
    bool isFileNode(int index) const { return index >= 2 && index <= nodeCount(); }
    // Expand and collapse swap a container's image 1 and 2; file images never change.
    void setNodeImage(int index, int image);

    // The shown document: its node's index (0 for none), key (CurrentKey) and name.
    int shownNode() const { return m_shown; }
    QString currentKey() const;
    QString shownName() const;
    // Makes a file node the shown (and highlighted) document; anything else changes nothing
    // and returns false.
    bool show(int index);

    // The file the editor shows, with its identity on disk and its unsaved edits.
    ShownDocument& document() { return m_document; }
    const ShownDocument& document() const { return m_document; }
    // The node to show for file node `index`: the shown node when both name the same file (a
    // file included twice has a node in each place), else `index`; 0 for other indices.
    int nodeToShow(int index) const;

    // The file of a file node: the entry of the project folder whose name matches the node's
    // text without regard to case, else the folder joined with the text. "" for other indices.
    QString filePath(int index) const;
    // The file the shown document is saved to; "" when no project is open.
    QString shownFilePath() const { return filePath(m_shown); }

    // The highlighted node: the shown document's, or the root (1); 0 with no project.
    int selectedNode() const { return m_selected; }
    void selectRoot();
    void selectShown();

    // Carets: entry `index` for nodes 1 to nodeCount(), entry 0 when no document is shown.
    CaretPosition caret(int index) const;
    // Remembers the caret of the shown document; negative values count as 0.
    void rememberCaret(const CaretPosition& caret);

    // Routine lists: file index i belongs to node i + 2.
    int fileCount() const { return int(m_routines.size()); }
    const FileRoutineList& routines(int fileIndex) const;
    void setRoutines(int fileIndex, const FileRoutineList& routines);
    // Adds headers after those already in the list of file `fileIndex`.
    void addRoutines(int fileIndex, const FileRoutineList& routines);

private:
    ProjectInfo m_info;
    ProjectInfo m_savedInfo;
    ShownDocument m_document;
    QString m_projectDir;
    ProjectTree m_tree;
    int m_shown = 0;
    int m_selected = 0;
    QList<CaretPosition> m_carets{CaretPosition{}};
    QList<FileRoutineList> m_routines;
};

} // namespace tarvel
