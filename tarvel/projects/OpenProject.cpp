#include "projects/OpenProject.h"

#include "core/Paths.h"

namespace tarvel {

void OpenProject::setInfo(const ProjectInfo& info)
{
    m_info = info;
    m_tree.setText(1, info.ProjectName);
}

void OpenProject::setProjectName(const QString& name)
{
    m_info.ProjectName = name;
    m_tree.setText(1, name);
}

void OpenProject::setAddresses(qint16 startAddress, qint16 endAddress)
{
    m_info.StartAddress = startAddress;
    m_info.EndAddress = endAddress;
}

bool OpenProject::open(const QString& projectDir, ProjectTree tree)
{
    if (tree.count() < 2) {
        close();
        return false;
    }
    m_projectDir = common::AddBackslash(projectDir);
    m_tree = std::move(tree);
    m_shown = 2;
    m_selected = 2;
    m_carets = QList<CaretPosition>(m_tree.count() + 1);
    m_routines = QList<FileRoutineList>(m_tree.count() - 1);
    m_savedInfo = m_info;
    return true;
}

void OpenProject::close()
{
    m_projectDir.clear();
    m_tree = ProjectTree();
    m_shown = 0;
    m_selected = 0;
    m_carets = QList<CaretPosition>(1);
    m_routines.clear();
    m_document.detach();
    m_savedInfo = m_info;
}

void OpenProject::setNodeImage(int index, int image)
{
    if (index >= 1 && index <= nodeCount() && image >= ImageClosed && image <= ImageFile)
        m_tree.setImage(index, image);
}

QString OpenProject::currentKey() const
{
    return m_shown ? m_tree.node(m_shown).key : QString();
}

QString OpenProject::shownName() const
{
    return m_shown ? m_tree.node(m_shown).text : QString();
}

bool OpenProject::show(int index)
{
    if (!isFileNode(index))
        return false;
    m_shown = index;
    m_selected = index;
    return true;
}

int OpenProject::nodeToShow(int index) const
{
    if (!isFileNode(index))
        return 0;
    const QString& text = m_tree.node(index).text;
    if (m_shown && m_tree.node(m_shown).text == text)
        return m_shown;
    return index;
}

QString OpenProject::filePath(int index) const
{
    if (!isFileNode(index))
        return QString();
    return common::ResolveFileNoCase(m_projectDir, m_tree.node(index).text);
}

void OpenProject::selectRoot()
{
    if (isOpen())
        m_selected = 1;
}

void OpenProject::selectShown()
{
    m_selected = m_shown;
}

CaretPosition OpenProject::caret(int index) const
{
    return index >= 0 && index < m_carets.size() ? m_carets.at(index) : CaretPosition{};
}

void OpenProject::rememberCaret(const CaretPosition& caret)
{
    m_carets[m_shown] = CaretPosition{qMax(0, caret.column), qMax(0, caret.line)};
}

const FileRoutineList& OpenProject::routines(int fileIndex) const
{
    static const FileRoutineList none;
    return fileIndex >= 0 && fileIndex < m_routines.size() ? m_routines.at(fileIndex) : none;
}

void OpenProject::setRoutines(int fileIndex, const FileRoutineList& routines)
{
    if (fileIndex >= 0 && fileIndex < m_routines.size())
        m_routines[fileIndex] = routines;
}

void OpenProject::addRoutines(int fileIndex, const FileRoutineList& routines)
{
    if (fileIndex >= 0 && fileIndex < m_routines.size())
        m_routines[fileIndex] += routines;
}

} // namespace tarvel
