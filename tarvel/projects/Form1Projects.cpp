// The main window's project commands: opening and saving projects, the project tree, switching
// between the project's documents and creating projects from templates.

#include "shell/Form1.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "core/TextFile.h"
#include "projects/Form5.h"
#include "projects/ProjectFile.h"
#include "shell/CodeEditor.h"
#include "ui/Dialogs.h"
#include "ui/Windows.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

using common::Dialogs;

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
const QString RootKey = QStringLiteral("r");

QIcon imageIcon(const QWidget* widget, int image)
{
    switch (image) {
    case 1: return widget->style()->standardIcon(QStyle::SP_DirClosedIcon);
    case 2: return widget->style()->standardIcon(QStyle::SP_DirOpenIcon);
    default: return widget->style()->standardIcon(QStyle::SP_FileIcon);
    }
}

} // namespace

// Tree nodes.

int Form1::nodeCount() const
{
    return m_nodes.size();
}

QTreeWidgetItem* Form1::node(int index) const
{
    return index >= 1 && index <= m_nodes.size() ? m_nodes.at(index - 1) : nullptr;
}

QTreeWidgetItem* Form1::nodeByKey(const QString& key) const
{
    for (QTreeWidgetItem* item : m_nodes) {
        if (nodeKey(item) == key)
            return item;
    }
    return nullptr;
}

int Form1::nodeIndex(const QTreeWidgetItem* item) const
{
    const int at = m_nodes.indexOf(const_cast<QTreeWidgetItem*>(item));
    return at < 0 ? 0 : at + 1;
}

QString Form1::nodeKey(const QTreeWidgetItem* item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}

int Form1::nodeImage(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ImageRole).toInt() : 0;
}

void Form1::clearTree()
{
    m_tree->clear();
    m_nodes.clear();
}

QString Form1::uniqueKey(const QString& base) const
{
    // Name plus counter can repeat when a name ends in digits (A1 with 2, A with 12): such a
    // key gets a suffix that no other key has.
    QString key = base;
    for (int suffix = 2; nodeByKey(key); ++suffix)
        key = base + QLatin1Char('#') + QString::number(suffix);
    return key;
}

QTreeWidgetItem* Form1::addNode(QTreeWidgetItem* parent, const QString& key, const QString& text, int image)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, text);
    item->setData(0, KeyRole, uniqueKey(key));
    setNodeImage(item, image);
    m_nodes.append(item);
    return item;
}

void Form1::setNodeImage(QTreeWidgetItem* item, int image)
{
    item->setData(0, ImageRole, image);
    item->setIcon(0, imageIcon(this, image));
}

void Form1::selectNode(QTreeWidgetItem* item)
{
    if (!item)
        return;
    // Selecting unfolds the parents; that is not the user expanding a node.
    const QSignalBlocker quiet(m_tree);
    m_tree->setCurrentItem(item);
}

QString Form1::projectFilePath(const QString& name) const
{
    return common::ResolveFileNoCase(ProjectDir, name);
}

void Form1::showCurrentView(const QString& name)
{
    m_panels[1]->setText(QStringLiteral("Current View: ") + name);
}

bool Form1::loadDocument(const QString& path)
{
    m_code->setText(QString());
    if (!m_code->insertFile(path, 0, 0)) {
        m_dialogs.message(this, QStringLiteral("Tarvel cannot read the file\n%1").arg(path), QStringLiteral("Error"),
                          Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        m_code->setModified(false);
        return false;
    }
    m_code->setModified(false);
    return true;
}

bool Form1::saveEditorTo(const QString& path, bool keepModifiedFlag)
{
    QString error;
    if (m_code->saveFile(path, keepModifiedFlag, &error))
        return true;
    m_dialogs.message(this, QStringLiteral("The file could not be saved:\n%1\n\n%2").arg(path, error),
                      QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    return false;
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
    Project = contents.value().info;
    LoadProject(common::AddBackslash(common::ExtractPath(tpjPath))
                + common::ExtractFileName(contents.value().mainFileEntry));
    return true;
}

void Form1::mnuOpenProject_Click()
{
    if (BrowseDir.isEmpty())
        BrowseDir = QStringLiteral("/");
    const QString path = common::ShowOpenDialog(m_dialogs, this, QStringLiteral("Pascal File | *.tpj"),
                                                QStringLiteral("Open File"), BrowseDir, false);
    if (path.isEmpty())
        return;
    if (!OpenProjectFile(path))
        return;
    AddRecentFile(path);
    BrowseDir = common::ExtractPath(path);
}

bool Form1::LoadProject(const QString& mainFilePath)
{
    QString mainFile = mainFilePath;
    m_code->setText(QString());
    BrowseDir = common::ExtractPath(mainFile);
    ProjectDir = BrowseDir;

    if (!common::FileExists(mainFile)) {
        const QString other = common::FindFileNoCase(common::ExtractPath(mainFile), common::ExtractFileName(mainFile));
        if (!other.isEmpty() && common::FileExists(other)) {
            mainFile = other;
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
    }
    if (!loadDocument(mainFile))
        return false;

    clearTree();
    const QString name = common::ExtractFileName(mainFile);
    QTreeWidgetItem* root = addNode(nullptr, RootKey, Project.ProjectName, 1);
    selectNode(root);
    int counter = 0;
    QTreeWidgetItem* mainNode = addNode(root, name + QString::number(counter), name.toUpper(), 1);
    CurrentKey = nodeKey(mainNode);
    selectNode(mainNode);
    counter = 1;

    // An include is listed when its file can be opened under the name the tree shows, since that
    // is the name every later step opens, saves and scans.
    const common::FolderIndex folder(ProjectDir);
    auto listed = [&folder](const QString& includeName) {
        return common::FileExists(folder.find(includeName)) && common::FileExists(folder.find(common::ExtractFileName(includeName)));
    };

    const int lines = m_code->lineCount();
    for (int i = 0; i < lines; ++i) {
        const std::optional<QString> includeName = tarvel::IncludeDirectiveFile(m_code->lineText(i));
        if (!includeName || !listed(*includeName))
            continue;
        addNode(mainNode, *includeName + QString::number(counter), common::ExtractFileName(*includeName), 3);
        ++counter;
    }

    // Includes of includes, one level down; nodes added here are not scanned themselves, which
    // also keeps files that include each other from looping.
    if (nodeCount() >= 3) {
        const int scanned = nodeCount();
        for (int i = 3; i <= scanned; ++i) {
            QTreeWidgetItem* parent = node(i);
            const common::Result<QByteArray> text = common::ReadFileBytes(folder.find(parent->text(0)));
            if (!text)
                continue;
            for (const QString& includeName : tarvel::IncludeDirectiveFiles(text.value())) {
                if (!listed(includeName))
                    continue;
                ++counter;
                setNodeImage(parent, 2);
                addNode(parent, includeName + QString::number(counter), common::ExtractFileName(includeName), 3);
            }
        }
    }
    // Shown unfolded; the images keep the values given above.
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->expandAll();
    }

    m_code->setModified(false);
    selectNode(node(2));
    showCurrentView(node(2)->text(0));
    setProjectItemsEnabled(true);
    CaretPositions = QList<CaretPosition>(nodeCount() + 1);
    if (nodeCount() >= 2 && Settings.AutoTooltip) {
        FileRoutines = QList<QStringList>(nodeCount());
        for (int i = 2; i <= nodeCount(); ++i)
            GetFileFunctions(i - 2, projectFilePath(node(i)->text(0)));
    }
    RefreshTooltips();
    return true;
}

void Form1::GetFileFunctions(int fileIndex, const QString& path)
{
    Q_UNUSED(fileIndex)
    Q_UNUSED(path)
}

void Form1::RefreshTooltips()
{
}

void Form1::mnuSavePrj_Click()
{
    QTreeWidgetItem* mainNode = node(2);
    if (!mainNode)
        return;
    QString target;
    if (Project.ProjectName != tarvel::UnnamedProject) {
        target = common::AddBackslash(ProjectDir) + Project.ProjectName + QStringLiteral(".tpj");
    } else {
        const QString proposed =
            common::AddBackslash(ProjectDir) + common::RemoveText(mainNode->text(0), QStringLiteral(".pas")) + QStringLiteral(".tpj");
        target = m_dialogs.saveFile(this, QStringLiteral("Save Project"), ProjectDir, proposed,
                                    {Dialogs::Filter{QStringLiteral("Turbo Pascal Projects (*.tpj) "), {QStringLiteral("*.tpj")}}})
                     .trimmed();
    }
    if (target.isEmpty())
        return;
    const common::Status saved =
        common::WriteTextLinesAtomic(target, tarvel::ProjectFileLines(Project, mainNode->text(0)));
    if (!saved) {
        m_dialogs.message(this, QStringLiteral("The project could not be saved:\n%1").arg(saved.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return;
    }
    BrowseDir = common::ExtractPath(target);
    AddRecentFile(target);
}

// Switching documents.

void Form1::TV_NodeClick(QTreeWidgetItem* clicked)
{
    if (!clicked)
        return;
    m_code->setHighlightedLine(-1);
    QTreeWidgetItem* shown = nodeByKey(CurrentKey);
    const int shownIndex = nodeIndex(shown);
    const QString shownText = shown ? shown->text(0) : QString();
    if (shownIndex < CaretPositions.size()) {
        int line = 0;
        int column = 0;
        m_code->selectionStart(&line, &column);
        CaretPositions[shownIndex] = {column, line};
    }
    if (nodeKey(clicked) == CurrentKey || nodeKey(clicked) == RootKey)
        return;

    auto stayOnShown = [&] {
        CurrentKey = nodeKey(shown);
        selectNode(shown);
    };
    const QString target = projectFilePath(clicked->text(0));
    if (!common::FileExists(target)) {
        // The file has gone: the shown document stays current and its node selected again.
        stayOnShown();
        m_panels[2]->setText(QStringLiteral("File not found: ") + target);
        return;
    }
    CurrentKey = nodeKey(clicked);
    const int clickedIndex = nodeIndex(clicked);

    if (m_code->isModified()) {
        Dialogs::Answer answer = Dialogs::Answer::Yes;
        if (!Settings.AutoSave) {
            answer = m_dialogs.message(this, QStringLiteral("This file has changed. Save it?"), QStringLiteral("Save changes"),
                                       Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        }
        if (answer == Dialogs::Answer::Cancel || (answer == Dialogs::Answer::Yes && !saveEditorTo(projectFilePath(shownText), false))) {
            stayOnShown();
            return;
        }
    }
    if (!loadDocument(target)) {
        stayOnShown();
        return;
    }
    selectNode(clicked);
    m_code->setFocus();
    m_code->setModified(false);
    showCurrentView(clicked->text(0));
    const CaretPosition caret = clickedIndex < CaretPositions.size() ? CaretPositions.at(clickedIndex) : CaretPosition{};
    m_code->setCaret(qMax(0, caret.line), qMax(0, caret.column));
}

void Form1::TV_Expand(QTreeWidgetItem* item)
{
    if (nodeImage(item) == 1)
        setNodeImage(item, 2);
}

void Form1::TV_Collapse(QTreeWidgetItem* item)
{
    if (nodeImage(item) == 2)
        setNodeImage(item, 1);
}

void Form1::mnuSaveFile_Click()
{
    QTreeWidgetItem* selected = m_tree->currentItem();
    QTreeWidgetItem* root = node(1);
    if (!selected || !root)
        return;
    if (selected->text(0) != root->text(0))
        saveEditorTo(projectFilePath(selected->text(0)), false);
    else
        mnuSavePrj_Click();
}

void Form1::mnuRefresh_Click()
{
    QTreeWidgetItem* mainNode = node(2);
    if (!mainNode)
        return;
    if (m_code->isModified()) {
        QTreeWidgetItem* shown = nodeByKey(CurrentKey);
        if (shown && !saveEditorTo(projectFilePath(shown->text(0)), false))
            return; // rebuilding would throw the unsaved text away
    }
    LoadProject(projectFilePath(mainNode->text(0)));
}

void Form1::mnuFileOpen_Click()
{
    if (BrowseDir.isEmpty())
        BrowseDir = QStringLiteral("/");
    const QString path = common::ShowOpenDialog(m_dialogs, this, QStringLiteral("Pascal File | *.pas"),
                                                QStringLiteral("Open File"), BrowseDir, false);
    if (path.isEmpty())
        return;
    AddRecentFile(path);
    Project.ProjectName = tarvel::UnnamedProject;
    LoadProject(path);
    m_openInc->setEnabled(true);
    m_newInc->setEnabled(true);
    BrowseDir = common::ExtractPath(path);
}

// New projects from templates.

void Form1::mnuNew_Click()
{
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

    const QString chosen = m_dialogs.saveFile(this, QStringLiteral("New File"), BrowseDir, QString(),
                                              {Dialogs::Filter{QStringLiteral("Pascal files (*.pas) "), {QStringLiteral("*.pas")}}});
    if (chosen.trimmed().isEmpty())
        return;
    BrowseDir = common::ExtractPath(chosen);
    clearTree();
    m_code->setText(QString());

    QString mainFile = common::TrimAtNull(chosen).trimmed();
    if (mainFile.right(4).toUpper() != QLatin1String(".PAS"))
        mainFile += QStringLiteral(".pas");
    copyTemplate(templateName, mainFile);
    if (!LoadProject(mainFile))
        return;

    Project.ProjectName = common::ExtractFileName(common::RemoveExtension(mainFile));
    const QString tpj = common::RemoveExtension(mainFile) + QStringLiteral(".tpj");
    const common::Status written = common::WriteTextLinesAtomic(tpj, tarvel::ProjectFileLines(Project, mainFile));
    if (!written) {
        m_dialogs.message(this, QStringLiteral("The project file could not be written:\n%1").arg(written.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
    if (autoexec) {
        const QString program = common::RemoveText(common::ExtractFileName(mainFile), QStringLiteral(".PAS")).toUpper();
        const QByteArray bytes = "SET EXPERT ON\r\r\n" + program.toLatin1() + "\r\r\n";
        const common::Status batch = common::WriteFileAtomic(common::ExtractPath(mainFile) + QStringLiteral("AUTOEXEC.BAT"), bytes);
        if (!batch) {
            m_dialogs.message(this, QStringLiteral("AUTOEXEC.BAT could not be written:\n%1").arg(batch.error()),
                              QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        }
    }
    if (written)
        AddRecentFile(tpj);
    node(1)->setText(0, Project.ProjectName);
    m_openInc->setEnabled(true);
    m_newInc->setEnabled(true);
}

void Form1::copyTemplate(const QString& templateName, const QString& mainFilePath)
{
    const QString folder = common::AddBackslash(m_appDir) + QStringLiteral("projects/") + templateName + QLatin1Char('/');
    const QString mainName = (templateName + QStringLiteral(".pas")).toUpper();
    const QString targetFolder = common::ExtractPath(mainFilePath);
    QStringList failures;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Unsorted);
    for (const QFileInfo& file : files) {
        const QString target = file.fileName().toUpper() == mainName ? mainFilePath : targetFolder + file.fileName();
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
