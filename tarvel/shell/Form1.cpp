#include "shell/Form1.h"

#include "core/Paths.h"
#include "core/Text.h"
#include "projects/ProjectReading.h"
#include "shell/CodeEditor.h"
#include "shell/PaneHandle.h"
#include "shell/ShellLayout.h"
#include "shell/WordList.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

using common::Dialogs;

namespace {

int twipsToPixels(int twips) { return qRound(static_cast<double>(twips) / tarvel::TwipsPerPixel); }
int pixelsToTwips(int pixels) { return pixels * tarvel::TwipsPerPixel; }

} // namespace

Form1::Form1(const QString& applicationDirectory, Dialogs& dialogs, const QString& commandLine, QWidget* parent)
    : Form1(common::PortableFolders(applicationDirectory), dialogs, commandLine, parent)
{
}

Form1::Form1(const common::AppFolders& folders, Dialogs& dialogs, const QString& commandLine, QWidget* parent)
    : QMainWindow(parent), m_folders(folders), m_appDir(folders.kit), m_dialogs(dialogs), m_commandLine(commandLine)
{
    setObjectName(QStringLiteral("Form1"));
    // "[*]" shows when the shown document holds unsaved edits.
    setWindowTitle(QStringLiteral("Tarvel[*]"));
    buildControls();
    buildMenus();
    resize(594, 450 + menuBar()->sizeHint().height());

    // Start-up, in order.
    freeEditorKeys();
    AutoCompleteWords = tarvel::ReadWordList(m_appDir);
    AutoCompleteCount = AutoCompleteWords.size() - 1;
    BrowseDir = common::AddBackslash(m_folders.installed ? QDir::homePath() : m_appDir);
    Form_Resize();
    // The background shows only in the narrow gap above the status bar; it takes the window's
    // own colour so the gap reads as part of the frame.
    SplitOn = false;
    m_project.setInfo(tarvel::ProjectInfo());
    if (m_folders.installed) {
        // The user's compiler folder and default disk image folder, ready to be filled.
        QDir().mkpath(m_folders.userData + QStringLiteral("/compiler"));
        QDir().mkpath(m_folders.userData + QStringLiteral("/dsk"));
    }
    LoadSettings();
    restoreWindowState();
    RefreshRecentMenu();
    setProjectItemsEnabled(false);
    common::NameControlsForAccessibility(this);

#ifndef QT_NO_SESSIONMANAGER
    // A desktop log-out asks about unsaved work as Exit does; Cancel stops the log-out.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!manager.allowsInteraction())
            return;
        const bool mayEnd = mayDropEdits(true);
        manager.release();
        if (!mayEnd)
            manager.cancel();
    });
#endif
}

Form1::Form1(const common::AppFolders& folders, Dialogs& dialogs, const QByteArrayList& arguments, QWidget* parent)
    : Form1(folders, dialogs, QString(), parent)
{
    const common::Result<QString> commandLine = common::CommandLineFromArguments(arguments);
    if (commandLine)
        m_commandLine = commandLine.value();
    else
        m_commandLineProblem = commandLine.error();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    // The image list, made once. First, as it needs no fonts: the font list may still be being
    // read (see main()).
    m_images = {QIcon(), style()->standardIcon(QStyle::SP_DirClosedIcon), style()->standardIcon(QStyle::SP_DirOpenIcon),
                style()->standardIcon(QStyle::SP_FileIcon)};

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);
    // The compilation monitor docks below; the editor keeps room for some lines above it, and
    // its panes follow when the monitor comes, goes or is dragged taller.
    client->setMinimumHeight(tarvel::EditorMinimumHeightPixels + twipsToPixels(tarvel::BottomGapTwips));
    client->installEventFilter(this);

    m_picBkg = new QWidget(client);
    m_picBkg->setObjectName(QStringLiteral("PicBKG"));
    m_picBkg->setAutoFillBackground(true);
    m_picBkg->setAccessibleName(QStringLiteral("Background"));

    m_tree = new ProjectTreeWidget(client);
    m_tree->setObjectName(QStringLiteral("TV"));
    m_tree->setAccessibleName(QStringLiteral("Project tree"));
    m_tree->setGeometry(0, 0, twipsToPixels(tarvel::TreeWidthTwips), 100);
    m_treeWidthTwips = tarvel::TreeWidthTwips;
    // Dragging the bar at the tree's right edge widens or narrows the tree.
    m_treeHandle = new PaneHandle(client, [this](int left) {
        const int widest = centralWidget()->width() - 100;
        m_treeWidthTwips = pixelsToTwips(qMax(60, qMin(left + PaneHandle::kWidth, widest)));
        Form_Resize();
    });
    m_treeHandle->setObjectName(QStringLiteral("TreeHandle"));
    m_treeHandle->setAccessibleName(QStringLiteral("Border between project tree and editor"));
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { TV_NodeClick(item); });
    // A keyboard move chooses a document as a click does; the focus stays in the tree so the
    // next key moves on. Enter (or a double click) goes to the shown document's text.
    connect(m_tree, &ProjectTreeWidget::keyboardMoved, this, [this](QTreeWidgetItem* item) {
        TV_NodeClick(item);
        m_tree->setFocus(Qt::OtherFocusReason);
    });
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        TV_NodeClick(item);
        if (nodeIndex(item) == m_project.shownNode())
            m_code->setFocus();
    });
    // A press that ended elsewhere than it began chose nothing: the highlight goes back.
    connect(m_tree, &ProjectTreeWidget::mouseReleased, this, &Form1::renderSelection);
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { TV_Expand(item); });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { TV_Collapse(item); });
    // The editor keeps Tab for itself, so the tree has a key of its own: Alt+P moves there, and
    // Tab from the tree goes back to the editor.
    auto* toTree = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_P), this);
    connect(toTree, &QShortcut::activated, this, [this] {
        if (m_tree->isVisible())
            m_tree->setFocus(Qt::ShortcutFocusReason);
    });
    m_tree->setAccessibleDescription(QStringLiteral("Alt+P moves here; the arrow keys show the chosen file, Enter goes to its text"));

    m_code = new CodeEditor(client);
    m_code->setObjectName(QStringLiteral("Code1"));
    m_code->setAccessibleName(QStringLiteral("Source editor"));
    m_code->move(twipsToPixels(tarvel::EditorLeftWithTreeTwips), 0);
    // The editor's events go to the Code1_ handlers. Keys that are also menu shortcuts are the
    // editor's while it has the focus, so a press runs its command once.
    m_code->setOwnKeys({QKeyCombination(Qt::ControlModifier, Qt::Key_S), QKeyCombination(Qt::ControlModifier, Qt::Key_F2),
                        QKeyCombination(Qt::ControlModifier, Qt::Key_F3), QKeyCombination(Qt::ControlModifier, Qt::Key_Tab),
                        QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Tab),
                        QKeyCombination(Qt::NoModifier, Qt::Key_F8), QKeyCombination(Qt::ShiftModifier, Qt::Key_F8)});
    connect(m_code, &CodeEditor::keyDown, this, &Form1::Code1_KeyDown);
    connect(m_code, &CodeEditor::keyPress, this, &Form1::Code1_KeyPress);
    connect(m_code, &CodeEditor::mouseDown, this, &Form1::Code1_MouseDown);
    connect(m_code, &CodeEditor::mouseUp, this, &Form1::Code1_MouseUp);
    connect(m_code, &CodeEditor::viewChange, this, &Form1::Code1_ViewChange);
    connect(m_code, &CodeEditor::modificationChanged, this, &Form1::renderModifiedMark);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setSizeGripEnabled(false);
    setStatusBar(status);
    const int widths[3] = {150, 250, 0};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(status);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setFrameShape(QFrame::StyledPanel);
        label->setTextFormat(Qt::PlainText); // names and routine headers are shown as they are
        label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        if (widths[i] > 0)
            label->setMinimumWidth(widths[i]);
        else // the hint panel takes what is left and never widens the window, however long its text
            label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
        status->addWidget(label, i == 2 ? 1 : 0);
        m_panels[i] = label;
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &Form1::Timer1_Timer);
    m_timer->start();
}

QAction* Form1::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

void Form1::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("_Menu"));
        return m;
    };
    auto submenu = [&](QMenu* parent, const char* name, const QString& caption) {
        QMenu* m = parent->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto separator = [&](QMenu* m, const char* name) {
        QAction* s = m->addSeparator();
        s->setObjectName(QString::fromLatin1(name));
        return s;
    };

    QMenu* file = menu("mnuFile", QStringLiteral("&File"));
    QMenu* newMenu = submenu(file, "mnuNewMenu", QStringLiteral("New"));
    connect(addItem(newMenu, "mnuNew", QStringLiteral("Project")), &QAction::triggered, this, &Form1::mnuNew_Click);
    m_newInc = addItem(newMenu, "mnuNewInc", QStringLiteral("Include file"));
    connect(m_newInc, &QAction::triggered, this, &Form1::mnuNewInc_Click);
    QMenu* open = submenu(file, "mnOpen", QStringLiteral("Open"));
    connect(addItem(open, "mnuOpenProject", QStringLiteral("Project file"), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &Form1::mnuOpenProject_Click);
    connect(addItem(open, "mnuFileOpen", QStringLiteral("Pascal file")), &QAction::triggered, this,
            &Form1::mnuFileOpen_Click);
    m_openInc = addItem(open, "mnuOpenIncfile", QStringLiteral("Include file"));
    connect(m_openInc, &QAction::triggered, this, &Form1::mnuOpenIncfile_Click);
    QMenu* save = submenu(file, "mnuSave", QStringLiteral("Save"));
    connect(addItem(save, "mnuSavePrj", QStringLiteral("Save Project")), &QAction::triggered, this,
            &Form1::mnuSavePrj_Click);
    connect(addItem(save, "mnuSaveFile", QStringLiteral("Save Current File"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &Form1::mnuSaveFile_Click);
    separator(file, "mnuseparator0");
    QAction* refresh = addItem(file, "mnuRefresh", QStringLiteral("Refresh Project Tree"));
    connect(refresh, &QAction::triggered, this, &Form1::mnuRefresh_Click);
    QAction* prop = addItem(file, "mnuProp", QStringLiteral("Project Properties"));
    connect(prop, &QAction::triggered, this, &Form1::mnuProp_Click);
    separator(file, "mnuseparator10");
    QAction* compile = addItem(file, "mnuCompile", QStringLiteral("Compile"), QKeySequence(Qt::Key_F6));
    connect(compile, &QAction::triggered, this, &Form1::mnuCompile_Click);
    QAction* compileChn = addItem(file, "mnuCompileCHN", QStringLiteral("Compile to CHN"), QKeySequence(Qt::Key_F7));
    connect(compileChn, &QAction::triggered, this, &Form1::mnuCompileCHN_Click);
    QAction* compileRun = addItem(file, "mnuCompileRun", QStringLiteral("Compile and Run"), QKeySequence(Qt::Key_F5));
    connect(compileRun, &QAction::triggered, this, &Form1::mnuCompileRun_Click);
    separator(file, "mnuseparator2");
    QAction* print = addItem(file, "mnuPrint", QStringLiteral("Print"));
    connect(print, &QAction::triggered, this, &Form1::mnuPrint_Click);
    separator(file, "mnuseparator3");
    for (int i = 0; i < tarvel::RecentFileSlots; ++i) {
        QAction* item = addItem(file, "mnurecent", QStringLiteral("Recent opened files"));
        item->setObjectName(QStringLiteral("mnurecent_%1").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { mnurecent_Click(i); });
        m_recent[i] = item;
    }
    m_recentSeparator = separator(file, "mnseparator1");
    m_recentSeparator->setVisible(false);
    connect(addItem(file, "mnuExit", QStringLiteral("Exit")), &QAction::triggered, this, &Form1::mnuExit_Click);

    QMenu* edit = menu("mnuEdit", QStringLiteral("&Edit"));
    m_editMenu = edit;
    // A menu opened right after a selection shows what can be done with it, not the state of
    // the last timer tick.
    connect(edit, &QMenu::aboutToShow, this, &Form1::updateEditItems);
    m_cut = addItem(edit, "mnuCut", QStringLiteral("Cut"));
    connect(m_cut, &QAction::triggered, this, &Form1::mnuCut_Click);
    m_copy = addItem(edit, "mnuCopy", QStringLiteral("Copy"));
    connect(m_copy, &QAction::triggered, this, &Form1::mnuCopy_Click);
    m_paste = addItem(edit, "mnuPaste", QStringLiteral("Paste"));
    connect(m_paste, &QAction::triggered, this, &Form1::mnuPaste_Click);
    connect(addItem(edit, "mnuDelete", QStringLiteral("Delete")), &QAction::triggered, this, &Form1::mnuDelete_Click);
    separator(edit, "mnuspearator5");
    connect(addItem(edit, "mnuFind", QStringLiteral("Find"), QKeySequence(Qt::CTRL | Qt::Key_F)), &QAction::triggered,
            this, &Form1::mnuFind_Click);
    connect(addItem(edit, "mnuFindNext", QStringLiteral("Find Next"), QKeySequence(Qt::Key_F3)), &QAction::triggered,
            this, &Form1::mnuFindNext_Click);
    connect(addItem(edit, "mnuFindPrevious", QStringLiteral("Find Previous"), QKeySequence(Qt::SHIFT | Qt::Key_F3)),
            &QAction::triggered, this, &Form1::mnuFindPrevious_Click);
    connect(addItem(edit, "mnuReplace", QStringLiteral("Replace"), QKeySequence(Qt::CTRL | Qt::Key_H)),
            &QAction::triggered, this, &Form1::mnuReplace_Click);
    connect(addItem(edit, "mnuGoToLine", QStringLiteral("Go to Line..."), QKeySequence(Qt::CTRL | Qt::Key_G)),
            &QAction::triggered, this, &Form1::mnuGoToLine_Click);
    QAction* findInFiles =
        addItem(edit, "mnuFindInFiles", QStringLiteral("Find in Project Files..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(findInFiles, &QAction::triggered, this, &Form1::mnuFindInFiles_Click);
    separator(edit, "mnuSeparator7");
    m_undo = addItem(edit, "mnuUndo", QStringLiteral("Undo"));
    connect(m_undo, &QAction::triggered, this, &Form1::mnuUndo_Click);
    m_redo = addItem(edit, "mnuRedo", QStringLiteral("Redo"));
    connect(m_redo, &QAction::triggered, this, &Form1::mnuRedo_Click);
    separator(edit, "mnuSeparator6");
    connect(addItem(edit, "mnuClear", QStringLiteral("Clear")), &QAction::triggered, this, &Form1::mnuClear_Click);
    separator(edit, "mnuseparator4");
    connect(addItem(edit, "mnupreferences", QStringLiteral("Preferences")), &QAction::triggered, this,
            &Form1::mnupreferences_Click);

    // The errors of the last build, one key away also while the editor has the focus.
    QMenu* errors = menu("mnuErrors", QStringLiteral("E&rrors"));
    connect(addItem(errors, "mnuNextError", QStringLiteral("Next Error"), QKeySequence(Qt::Key_F8)), &QAction::triggered,
            this, &Form1::mnuNextError_Click);
    connect(addItem(errors, "mnuPreviousError", QStringLiteral("Previous Error"), QKeySequence(Qt::SHIFT | Qt::Key_F8)),
            &QAction::triggered, this, &Form1::mnuPreviousError_Click);

    QMenu* tools = menu("mnuTools", QStringLiteral("&Tools"));
    connect(addItem(tools, "mnuConvPal", QStringLiteral("Palette Converter"), QKeySequence(Qt::CTRL | Qt::Key_F4)),
            &QAction::triggered, this, &Form1::mnuConvPal_Click);
    connect(addItem(tools, "mnuImgConv", QStringLiteral("Image Converter"), QKeySequence(Qt::CTRL | Qt::Key_F3)),
            &QAction::triggered, this, &Form1::mnuImgConv_Click);
    connect(addItem(tools, "mnuCalc", QStringLiteral("Calc"), QKeySequence(Qt::CTRL | Qt::Key_F2)),
            &QAction::triggered, this, &Form1::mnuCalc_Click);
    connect(addItem(tools, "mnuCheckSetup", QStringLiteral("Check Setup...")), &QAction::triggered, this,
            &Form1::mnuCheckSetup_Click);

    QMenu* window = menu("mnuWindow", QStringLiteral("&Window"));
    m_split = addItem(window, "mnuSplit", QStringLiteral("Split"), QKeySequence(Qt::CTRL | Qt::Key_F6));
    m_split->setCheckable(true);
    m_split->setChecked(false);
    connect(m_split, &QAction::triggered, this, &Form1::mnuSplit_Click);
    m_showTree = addItem(window, "mnuShowProjectTree", QStringLiteral("Show Project Tree"),
                         QKeySequence(Qt::CTRL | Qt::Key_F5));
    m_showTree->setCheckable(true);
    m_showTree->setChecked(true);
    connect(m_showTree, &QAction::triggered, this, &Form1::mnuShowProjectTree_Click);

    QMenu* help = menu("mnuHelp", QStringLiteral("&Help"));
    connect(addItem(help, "mnuRefHelp", QStringLiteral("Pascal Reference"), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &Form1::mnuRefHelp_Click);
    separator(help, "mnseparator0");
    connect(addItem(help, "mnuAbout", QStringLiteral("About")), &QAction::triggered, this, &Form1::mnuAbout_Click);

    m_projectItems = {save->menuAction(), print, compile, compileRun, prop, refresh, m_newInc, m_openInc, compileChn, findInFiles};
    save->menuAction()->setObjectName(QStringLiteral("mnuSave"));
    newMenu->menuAction()->setObjectName(QStringLiteral("mnuNewMenu"));
    open->menuAction()->setObjectName(QStringLiteral("mnOpen"));
}

void Form1::setProjectItemsEnabled(bool enabled)
{
    for (QAction* item : m_projectItems)
        item->setEnabled(enabled);
}

void Form1::freeEditorKeys()
{
    const int bindings = m_code->commandKeyCount(CodeEditor::CmdFreedAtStart);
    for (int i = 0; i < bindings; ++i)
        m_code->removeCommandKey(CodeEditor::CmdFreedAtStart);
}

void Form1::start(tarvel::ProjectPreload* preload)
{
    show();
    applyRestoredPanes();
    m_code->setFocus();
    Form_Activate();
    if (!m_folders.problem.isEmpty()) {
        m_dialogs.message(this, m_folders.problem, QStringLiteral("Tarvel"), Dialogs::Icon::Exclamation,
                          Dialogs::Buttons::Ok);
    }

    if (!m_commandLineProblem.isEmpty()) {
        m_dialogs.message(this, m_commandLineProblem, QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        if (Settings.ShowNewProjectDialog)
            mnuNew_Click();
        return;
    }
    const QString argument = m_commandLine;
    if (argument.isEmpty()) {
        if (reopenLastProject())
            return;
        if (Settings.ShowNewProjectDialog)
            mnuNew_Click();
        return;
    }
    if (common::AsciiUpper(argument.right(3)) != QLatin1String("TPJ"))
        return;
    const QString found = tarvel::ProjectFileOfArgument(argument);
    if (!found.isEmpty()) {
        m_preload = preload;
        openProjectFileAndRemember(found);
        m_preload = nullptr;
    } else if (Settings.ShowNewProjectDialog) {
        mnuNew_Click();
    }
}

QLabel* Form1::panel(int number) const
{
    return m_panels.at(number - 1);
}

void Form1::Form_Activate()
{
    m_panels[2]->clear();
    if (m_tree->topLevelItemCount() == 0) {
        m_panels[1]->setText(QStringLiteral("Current View: no file"));
        return;
    }
    m_panels[1]->setText(QStringLiteral("Current View: ") + m_project.shownName());
}

void Form1::Form_Resize()
{
    QWidget* client = centralWidget();
    const int statusHeight = pixelsToTwips(statusBar()->isVisible() ? statusBar()->height() : 0);
    const int width = pixelsToTwips(client->width());
    const int height = pixelsToTwips(client->height()) + statusHeight;

    tarvel::ShellLayout current;
    current.treeVisible = m_tree->isVisibleTo(this);
    current.editorLeft = pixelsToTwips(m_code->x());
    current.editorWidth = pixelsToTwips(m_code->width());
    current.editorHeight = pixelsToTwips(m_code->height());
    current.treeHeight = pixelsToTwips(m_tree->height());
    current.treeWidth = m_treeWidthTwips;

    const tarvel::ShellLayout layout =
        tarvel::ComputeShellLayout(width, height, statusHeight, m_showTree->isChecked(), current);
    m_tree->setVisible(layout.treeVisible);
    // The handle takes the tree's last pixels, so the editor stays where it was.
    const int treeWidth = twipsToPixels(layout.treeWidth) - PaneHandle::kWidth;
    m_tree->setGeometry(0, 0, treeWidth, twipsToPixels(layout.treeHeight));
    m_treeHandle->setVisible(layout.treeVisible);
    m_treeHandle->setGeometry(treeWidth, 0, PaneHandle::kWidth, twipsToPixels(layout.treeHeight));
    m_treeHandle->raise();
    m_code->setGeometry(twipsToPixels(layout.editorLeft), 0, twipsToPixels(layout.editorWidth),
                        twipsToPixels(layout.editorHeight));
    m_picBkg->setGeometry(client->rect());
    m_picBkg->lower();
    if (SplitOn)
        m_code->setSplitPosition(tarvel::HalfHeightPixels(layout.editorHeight));
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (m_showTree)
        Form_Resize();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize && m_showTree)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::Timer1_Timer()
{
    if (m_code->isModified())
        m_code->setHighlightedLine(-1);
    int line = 0;
    int column = 0;
    m_code->selectionStart(&line, &column);
    m_panels[0]->setText(QStringLiteral("Line: %1 Col: %2").arg(line + 1).arg(column + 1));
    updateEditItems();
}

void Form1::updateEditItems()
{
    m_copy->setEnabled(m_code->canCopy());
    m_cut->setEnabled(m_code->canCut());
    m_paste->setEnabled(m_code->canPaste());
    m_redo->setEnabled(m_code->canRedo());
    m_undo->setEnabled(m_code->canUndo());
}

void Form1::mnuSplit_Click()
{
    if (SplitOn) {
        m_code->setSplit(false);
        SplitOn = false;
        m_split->setChecked(false);
    } else {
        m_code->setSplit(true);
        m_code->setSplitPosition(tarvel::HalfHeightPixels(pixelsToTwips(m_code->height())));
        SplitOn = true;
        m_split->setChecked(true);
    }
}

void Form1::mnuShowProjectTree_Click()
{
    // The action has already toggled its check mark when triggered from the menu; a direct call
    // inverts it here.
    if (sender() != m_showTree)
        m_showTree->setChecked(!m_showTree->isChecked());
    Form_Resize();
}

void Form1::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

void Form1::mnuExit_Click()
{
    // A running build is stopped first (leaving the event loops ends its wait), or not at all.
    if (m_building && !stopBuildToExit())
        return;
    if (!mayDropEdits(true))
        return;
    m_exiting = true;
    saveWindowState();
    QApplication::exit(0);
    hide();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // As File > Exit: a running build, then unsaved work, is asked about first.
    if (!m_exiting) {
        if ((m_building && !stopBuildToExit()) || !mayDropEdits(true)) {
            event->ignore();
            return;
        }
        m_exiting = true;
    }
    if (m_building)
        QApplication::exit(0);
    saveWindowState();
    event->accept();
}

// Settings and recent files.

void Form1::LoadSettings()
{
    tarvel::LoadSettingsFile(Settings, m_folders.settings, m_folders.userData);
    m_settingsOnDisk = Settings;
    RegisterFileType();
}

void Form1::SaveSettings()
{
    // Another instance may have written the file since this one read it: what it wrote stays,
    // and this instance's changes are made to that.
    tarvel::ConfigSettings theirs = m_settingsOnDisk;
    tarvel::ReadSettingsFileOver(theirs, m_folders.settings);
    const std::array<QString, tarvel::RecentFileSlots> recentBefore = Settings.RecentFiles;
    Settings = tarvel::MergeSettings(m_settingsOnDisk, Settings, theirs);
    if (Settings.RecentFiles != recentBefore)
        RefreshRecentMenu();
    const common::Status saved = tarvel::SaveSettingsFile(Settings, m_folders.settings);
    if (saved) {
        m_settingsOnDisk = Settings;
    } else {
        m_dialogs.message(this, QStringLiteral("The settings could not be saved.\n") + saved.error(),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
    RegisterFileType();
}

void Form1::showRecentSlots()
{
    for (int i = 0; i < tarvel::RecentFileSlots; ++i) {
        const QString& path = Settings.RecentFiles[i];
        m_recent[i]->setVisible(!path.isEmpty());
        if (!path.isEmpty()) // "&" would mark a mnemonic
            m_recent[i]->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
    }
}

void Form1::RefreshRecentMenu()
{
    showRecentSlots();
    m_recentSeparator->setVisible(m_recent[0]->isVisible());
}

void Form1::AddRecentFile(const QString& path)
{
    if (!tarvel::AddRecentPath(Settings.RecentFiles, path))
        return;
    SaveSettings();
    RefreshRecentMenu();
}

void Form1::mnurecent_Click(int index)
{
    if (refuseWhileBuilding())
        return;
    // The slot holds the path; the label is only its picture.
    const QString path = Settings.RecentFiles[index];
    if (!common::FileExists(path)) {
        m_dialogs.message(this, QStringLiteral("Tarvel cannot find this file!"), QStringLiteral("Error"),
                          Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        tarvel::RemoveRecentSlot(Settings.RecentFiles, index);
        // The items follow the slots; the separator stays as it is until the next refresh.
        showRecentSlots();
        SaveSettings();
        return;
    }
    const QString extension = common::AsciiUpper(path.right(3));
    if ((extension == QLatin1String("TPJ") || extension == QLatin1String("PAS")) && !mayDropEdits(true))
        return;
    if (extension == QLatin1String("TPJ")) {
        OpenProjectFile(path);
    } else if (extension == QLatin1String("PAS")) {
        setProjectName(tarvel::UnnamedProject);
        LoadProject(path);
    }
}
