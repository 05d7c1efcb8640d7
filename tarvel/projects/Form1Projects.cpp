// The main window's project commands: opening and saving projects, the project tree, switching
// between the project's documents and creating projects from templates. The open project's
// state lives in m_project; the functions here change it and render it.

#include "shell/Form1.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/Form5.h"
#include "projects/ProjectFile.h"
#include "projects/ProjectReading.h"
#include "shell/CodeEditor.h"
#include "ui/Dialogs.h"
#include "ui/Windows.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalBlocker>

using common::Dialogs;

namespace {

constexpr int IndexRole = Qt::UserRole;

} // namespace

// The tree's items.

int Form1::nodeCount() const
{
    return m_project.nodeCount();
}

QTreeWidgetItem* Form1::node(int index) const
{
    return index >= 1 && index <= m_items.size() ? m_items.at(index - 1) : nullptr;
}

int Form1::nodeIndex(const QTreeWidgetItem* item) const
{
    const int index = item ? item->data(0, IndexRole).toInt() : 0;
    return node(index) == item ? index : 0;
}

void Form1::renderTree()
{
    // Built detached and added at once: one update of the view for the whole tree.
    const QSignalBlocker quiet(m_tree);
    m_tree->clear();
    m_items.clear();
    m_items.reserve(m_project.nodeCount());
    QTreeWidgetItem* root = nullptr;
    for (int i = 1; i <= m_project.nodeCount(); ++i) {
        const tarvel::ProjectNode& n = m_project.node(i);
        auto* item = n.parent ? new QTreeWidgetItem(m_items.at(n.parent - 1)) : new QTreeWidgetItem();
        if (!root)
            root = item;
        item->setText(0, n.text);
        item->setToolTip(0, n.text);
        item->setIcon(0, m_images.at(n.image));
        item->setData(0, IndexRole, i);
        m_items.append(item);
    }
    if (root) {
        m_tree->addTopLevelItem(root);
        // Shown unfolded; unfolding here is not the user's, so the images stay as built.
        m_tree->expandAll();
    }
    m_tree->fitColumnToNames();
}

void Form1::renderSelection()
{
    QTreeWidgetItem* item = node(m_project.selectedNode());
    m_tree->setCurrentItem(item);
    if (item && !item->isSelected())
        item->setSelected(true);
}

void Form1::renderNodeImage(int index)
{
    if (QTreeWidgetItem* item = node(index))
        item->setIcon(0, m_images.at(m_project.node(index).image));
}

void Form1::renderRootText()
{
    if (QTreeWidgetItem* root = node(1)) {
        root->setText(0, m_project.info().ProjectName);
        root->setToolTip(0, m_project.info().ProjectName);
    }
}

void Form1::closeProject()
{
    // The error records name files of this project, which another may hold under the same names.
    dropErrorRecords();
    m_project.close();
    renderTree();
    m_code->loadBytes(QByteArray());
    setProjectItemsEnabled(false);
    showCurrentView(QStringLiteral("no file"));
}

void Form1::setProjectInfo(const tarvel::ProjectInfo& info)
{
    m_project.setInfo(info);
    renderRootText();
}

void Form1::setProjectName(const QString& name)
{
    m_project.setProjectName(name);
    renderRootText();
}

void Form1::setProjectAddresses(qint16 startAddress, qint16 endAddress)
{
    m_project.setAddresses(startAddress, endAddress);
}

void Form1::setFileRoutines(int fileIndex, const tarvel::FileRoutineList& routines)
{
    m_project.setRoutines(fileIndex, routines);
}

void Form1::showCurrentView(const QString& name)
{
    m_panels[1]->setText(QStringLiteral("Current View: ") + name);
}

bool Form1::loadDocument(const QString& path)
{
    QString error;
    if (m_code->loadFile(path, &error))
        return true;
    m_dialogs.message(this, QStringLiteral("Tarvel cannot read the file\n%1\n\n%2").arg(path, error), QStringLiteral("Error"),
                      Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    return false;
}

bool Form1::showDocument(int index)
{
    const QString path = m_project.filePath(index);
    if (!m_project.isFileNode(index) || !loadDocument(path))
        return false;
    m_project.show(index);
    attachShownDocument(path);
    renderSelection();
    m_code->setFocus();
    showCurrentView(m_project.shownName());
    return true;
}

void Form1::rememberCaret()
{
    int line = 0;
    int column = 0;
    m_code->selectionStart(&line, &column);
    m_project.rememberCaret(tarvel::CaretPosition{column, line});
}

void Form1::refuseControlCharacters(const QString& name)
{
    QString shown = name;
    for (QChar& c : shown) {
        if (c.unicode() < 32 || c.unicode() == 127)
            c = QChar(0x2423); // a visible blank
    }
    m_dialogs.message(this, QStringLiteral("A project file holds each name on one line, so a name cannot hold line breaks "
                                           "or other control characters:\n%1").arg(shown),
                      QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

// Opening and loading projects.

bool Form1::OpenProjectFile(const QString& tpjPath)
{
    const common::Result<QByteArray> bytes = common::ReadFileBytes(tpjPath);
    common::Result<tarvel::ProjectFileContents> contents =
        bytes ? tarvel::ParseProjectFile(bytes.value())
              : common::Result<tarvel::ProjectFileContents>::failure(bytes.error());
    if (!contents) {
        m_dialogs.message(this,
                          QStringLiteral("%1\nis not a readable project file: %2.").arg(tpjPath, contents.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return false;
    }
    setProjectInfo(contents.value().info);
    LoadProject(tarvel::MainFileOfProjectFile(tpjPath, contents.value().mainFileEntry));
    return true;
}

void Form1::openProjectFileAndRemember(const QString& tpjPath)
{
    if (!OpenProjectFile(tpjPath))
        return;
    // Also after a main file that could not be found: the project file itself was fine.
    AddRecentFile(tpjPath);
    BrowseDir = common::ExtractPath(tpjPath);
}

void Form1::mnuOpenProject_Click()
{
    if (refuseWhileBuilding())
        return;
    if (BrowseDir.isEmpty())
        BrowseDir = QStringLiteral("/");
    const QString path = common::ShowOpenDialog(m_dialogs, this, QStringLiteral("Pascal File | *.tpj"),
                                                QStringLiteral("Open File"), BrowseDir, false);
    if (!path.isEmpty() && mayDropEdits(true))
        openProjectFileAndRemember(path);
}

bool Form1::LoadProject(const QString& mainFilePath)
{
    // The old project goes first: until the new one stands there is none, so nothing can be
    // saved over a file while the tree or the editor is half replaced.
    closeProject();
    QString mainFile = mainFilePath;
    BrowseDir = common::ExtractPath(mainFile);
    const QString projectDir = BrowseDir;

    if (const QString existing = tarvel::ExistingMainFile(mainFile); !existing.isEmpty()) {
        mainFile = existing;
    } else {
        const QString name = common::ExtractFileName(mainFile);
        Dialogs::Filter only{name, {name}};
        const QString chosen = m_dialogs.openFile(this, QStringLiteral("Show where the file ") + name + QStringLiteral(" is"),
                                                  common::ExtractPath(mainFile), {only}).trimmed();
        if (chosen.isEmpty()) {
            m_dialogs.message(this, QStringLiteral("Could not find the file ") + name, QStringLiteral("Fatal Error"),
                              Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
            return false;
        }
        mainFile = chosen;
    }
    const bool withRoutines = Settings.AutoTooltip;
    // The project named on the command line may have been read while the window was built.
    std::optional<tarvel::ProjectReading> reading = m_preload ? m_preload->take(projectDir, mainFile) : std::nullopt;
    if (!reading)
        reading = tarvel::ReadProject(projectDir, mainFile, withRoutines);
    if (!reading->mainText) {
        m_dialogs.message(this, QStringLiteral("Tarvel cannot read the file\n%1\n\n%2").arg(mainFile, reading->mainText.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return false;
    }

    reading->tree.setText(1, m_project.info().ProjectName);
    m_project.open(projectDir, std::move(reading->tree));
    m_code->loadBytes(reading->mainText.value());
    m_state.lastProjectFolder = projectDir;
    renderTree();
    attachShownDocument(mainFile);
    renderSelection();
    showCurrentView(m_project.shownName());
    setProjectItemsEnabled(true);
    if (withRoutines) {
        for (int i = 0; i < reading->routines.size(); ++i) {
            if (reading->routines.at(i))
                m_project.addRoutines(i, *reading->routines.at(i));
        }
    }
    RefreshTooltips();
    return true;
}

void Form1::mnuSavePrj_Click()
{
    saveProject();
}

bool Form1::saveProject()
{
    if (!m_project.isOpen())
        return false;
    const QString mainName = m_project.node(2).text;
    if (common::HoldsControlCharacter(mainName)) {
        refuseControlCharacters(mainName);
        return false;
    }
    const tarvel::ProjectInfo& info = m_project.info();
    const QString projectDir = m_project.projectDir();
    QString target;
    if (info.ProjectName != tarvel::UnnamedProject) {
        // Always inside the project folder, into the .tpj of that name in any letter case.
        target = common::ResolveFileNoCase(projectDir, tarvel::ProjectFileBaseName(info.ProjectName, mainName)
                                                           + QStringLiteral(".tpj"));
    } else {
        const QString proposed = projectDir + common::RemoveText(mainName, QStringLiteral(".pas")) + QStringLiteral(".tpj");
        const QString chosen = m_dialogs.saveFile(this, QStringLiteral("Save Project"), projectDir, proposed,
                                                  {Dialogs::Filter{QStringLiteral("Turbo Pascal Projects (*.tpj) "), {QStringLiteral("*.tpj")}}})
                                   .trimmed();
        if (!chosen.isEmpty())
            target = common::ResolveFileNoCase(common::ExtractPath(chosen), common::ExtractFileName(chosen));
    }
    if (target.isEmpty())
        return false;
    const common::Status saved = common::WriteFileAtomic(target, tarvel::ProjectFileBytes(info, mainName));
    if (!saved) {
        m_dialogs.message(this, QStringLiteral("The project could not be saved:\n%1").arg(saved.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return false;
    }
    m_project.markInfoSaved();
    BrowseDir = common::ExtractPath(target);
    AddRecentFile(target);
    return true;
}

// Switching documents.

void Form1::TV_NodeClick(QTreeWidgetItem* clicked)
{
    // A node of the file shown already (a file included twice) stands for the shown document.
    const int chosen = nodeIndex(clicked) == 1 ? 1 : m_project.nodeToShow(nodeIndex(clicked));
    if (!chosen)
        return;
    m_code->setHighlightedLine(-1);
    rememberCaret();
    if (chosen == m_project.shownNode() || chosen == 1) {
        if (chosen == 1)
            m_project.selectRoot();
        else
            m_project.selectShown();
        renderSelection();
        if (chosen != 1)
            checkShownDocumentOnDisk();
        return;
    }

    // Whatever stops the switch leaves the shown document current and highlighted.
    m_project.selectShown();
    const QString target = m_project.filePath(chosen);
    if (!common::FileExists(target)) {
        renderSelection();
        m_panels[2]->setText(QStringLiteral("File not found: ") + target);
        return;
    }
    if (!mayDropEdits(false) || !showDocument(chosen)) {
        renderSelection();
        return;
    }
    const tarvel::CaretPosition caret = m_project.caret(chosen);
    m_code->setCaret(caret.line, caret.column);
}

void Form1::TV_Expand(QTreeWidgetItem* item)
{
    const int index = nodeIndex(item);
    if (index && m_project.node(index).image == tarvel::ImageClosed) {
        m_project.setNodeImage(index, tarvel::ImageOpen);
        renderNodeImage(index);
    }
}

void Form1::TV_Collapse(QTreeWidgetItem* item)
{
    const int index = nodeIndex(item);
    if (index && m_project.node(index).image == tarvel::ImageOpen) {
        m_project.setNodeImage(index, tarvel::ImageClosed);
        renderNodeImage(index);
    }
}

void Form1::mnuSaveFile_Click()
{
    if (!m_project.isOpen())
        return;
    // The root stands for the project; otherwise the document shown is saved, whatever the
    // tree may show highlighted.
    if (m_project.selectedNode() == 1)
        mnuSavePrj_Click();
    else
        (void)saveShownDocument();
}

void Form1::mnuRefresh_Click()
{
    if (refuseWhileBuilding())
        return;
    if (!m_project.isOpen())
        return;
    if (!mayDropEdits(false))
        return;
    reloadProject();
}

bool Form1::reloadProject()
{
    const tarvel::ProjectInfo saved = m_project.savedInfo();
    const bool loaded = LoadProject(m_project.filePath(2));
    m_project.setSavedInfo(saved);
    return loaded;
}

void Form1::mnuFileOpen_Click()
{
    if (refuseWhileBuilding())
        return;
    if (BrowseDir.isEmpty())
        BrowseDir = QStringLiteral("/");
    const QString path = common::ShowOpenDialog(m_dialogs, this, QStringLiteral("Pascal File | *.pas"),
                                                QStringLiteral("Open File"), BrowseDir, false);
    if (path.isEmpty() || !mayDropEdits(true))
        return;
    AddRecentFile(path);
    setProjectName(tarvel::UnnamedProject);
    const bool loaded = LoadProject(path);
    if (loaded) {
        m_openInc->setEnabled(true);
        m_newInc->setEnabled(true);
    }
    BrowseDir = common::ExtractPath(path);
}

// New projects from templates.

void Form1::mnuNew_Click()
{
    if (refuseWhileBuilding())
        return;
    Tag.clear();
    {
        Form5 chooser(m_appDir, Tag, this);
        chooser.exec();
    }
    Form_Activate();
    if (Tag.isEmpty())
        return;
    const bool autoexec = Tag.at(0).digitValue() >= 1;
    const QString templateName = Tag.mid(1);

    // The folder last used for projects, never the program's own (not writable once installed).
    QString startIn = m_state.lastProjectFolder;
    if (startIn.isEmpty() || !QFileInfo(startIn).isDir())
        startIn = QDir::homePath();
    const QString chosen = m_dialogs.saveFile(this, QStringLiteral("New File"), startIn, QString(),
                                              {Dialogs::Filter{QStringLiteral("Pascal files (*.pas) "), {QStringLiteral("*.pas")}}});
    if (chosen.trimmed().isEmpty() || !mayDropEdits(true))
        return;
    // The name becomes a line of the project file; a line break in it would split the record.
    if (common::HoldsControlCharacter(chosen)) {
        refuseControlCharacters(chosen);
        return;
    }
    BrowseDir = common::ExtractPath(chosen);
    closeProject();

    QString mainFile = common::TrimAtNull(chosen).trimmed();
    if (common::AsciiUpper(mainFile.right(4)) != QLatin1String(".PAS"))
        mainFile += QStringLiteral(".pas");
    copyTemplate(templateName, mainFile);
    if (!LoadProject(mainFile))
        return;

    setProjectName(common::ExtractFileName(common::RemoveExtension(mainFile)));
    const QString folder = common::ExtractPath(mainFile);
    const QString tpj = common::ResolveFileNoCase(folder, common::ExtractFileName(common::RemoveExtension(mainFile)) + QStringLiteral(".tpj"));
    const common::Status written = common::WriteFileAtomic(tpj, tarvel::ProjectFileBytes(m_project.info(), mainFile));
    if (!written) {
        m_dialogs.message(this, QStringLiteral("The project file could not be written:\n%1").arg(written.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
    if (autoexec) {
        const QString program = common::AsciiUpper(common::RemoveText(common::ExtractFileName(mainFile), QStringLiteral(".PAS")));
        const QByteArray bytes = "SET EXPERT ON\r\r\n" + common::EncodePathBytes(program) + "\r\r\n";
        const common::Status batch = common::WriteFileAtomic(common::ResolveFileNoCase(folder, QStringLiteral("AUTOEXEC.BAT")), bytes);
        if (!batch) {
            m_dialogs.message(this, QStringLiteral("AUTOEXEC.BAT could not be written:\n%1").arg(batch.error()),
                              QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        }
    }
    if (written) {
        m_project.markInfoSaved();
        AddRecentFile(tpj);
    }
    m_openInc->setEnabled(true);
    m_newInc->setEnabled(true);
}

void Form1::copyTemplate(const QString& templateName, const QString& mainFilePath)
{
    const QString folder = common::AddBackslash(m_appDir) + QStringLiteral("projects/") + templateName + QLatin1Char('/');
    const QString mainName = templateName + QStringLiteral(".pas");
    const QString targetFolder = common::ExtractPath(mainFilePath);
    QStringList failures;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Unsorted);
    for (const QFileInfo& file : files) {
        const QString target = common::AsciiEqualsNoCase(file.fileName(), mainName)
            ? mainFilePath
            : common::ResolveFileNoCase(targetFolder, file.fileName());
        if (QFileInfo(target).absoluteFilePath() == file.absoluteFilePath())
            continue;
        const common::Result<QByteArray> bytes = common::ReadFileBytes(file.absoluteFilePath());
        const common::Status copied = bytes ? common::WriteFileAtomic(target, bytes.value()) : common::Failure(bytes.error());
        if (!copied)
            failures.append(copied.error());
    }
    if (!failures.isEmpty()) {
        m_dialogs.message(this, QStringLiteral("Some files of the template could not be copied:\n") + failures.join(QLatin1Char('\n')),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
}
