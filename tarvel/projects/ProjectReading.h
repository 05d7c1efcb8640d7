#pragma once

#include "core/Result.h"
#include "projects/ProjectTree.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <future>
#include <optional>

namespace tarvel {

// What opening a project takes from its files: the main file's bytes, the tree of its includes
// and the routine headers of every file node.
struct ProjectReading {
    QString projectDir;
    QString mainFile;
    common::Result<QByteArray> mainText;
    ProjectTree tree; // the root's text is left empty for the project's name
    // The headers of node i + 2 (node 2 is the main file); none for a file that cannot be read.
    QList<std::optional<QStringList>> routines;
};

// Reads a project whose files lie in `projectDir` and whose main file is `mainFile`. Each file is
// read once, and one pass over its bytes gives its include directives and, `withRoutines`, its
// routine headers; only those are kept, so no more than one include's bytes are held at a time
// besides the main file's. When the main file cannot be read, nothing else is.
[[nodiscard]] ProjectReading ReadProject(const QString& projectDir, const QString& mainFile, bool withRoutines);

// The main file a project file at `tpjPath` names: its entry's file name, beside the project file.
[[nodiscard]] QString MainFileOfProjectFile(const QString& tpjPath, const QString& mainFileEntry);

// The file a load opens for the main file `mainFile`: that path when the file exists, else the
// one in its folder whose name differs only in letter case; "" when there is neither.
[[nodiscard]] QString ExistingMainFile(const QString& mainFile);

// The project file a program argument names, found without regard to the letter case of its
// name and relative to the working folder; "" when the argument does not end in "TPJ" (any
// case) or no such file exists.
[[nodiscard]] QString ProjectFileOfArgument(const QString& argument);

// Reads the project that a program argument names on a worker thread, so the files are read
// while the window is being built. Only a project whose project file parses and whose main file
// is found is read ahead; a load that needs more (a question, a message) does its own reading.
class ProjectPreload {
public:
    explicit ProjectPreload(const QString& argument);
    ~ProjectPreload();
    ProjectPreload(const ProjectPreload&) = delete;
    ProjectPreload& operator=(const ProjectPreload&) = delete;

    // The reading of `mainFile` in `projectDir`, waiting for it to end, when that is the project
    // read ahead; it is handed out once.
    [[nodiscard]] std::optional<ProjectReading> take(const QString& projectDir, const QString& mainFile);

private:
    std::future<std::optional<ProjectReading>> m_reading;
};

} // namespace tarvel
