#pragma once

#include "build/ErrorList.h"
#include "core/AppFolders.h"
#include "core/RunWatch.h"
#include "projects/OpenProject.h"
#include "projects/ProjectTreeWidget.h"
#include "shell/ConfigSettings.h"
#include "shell/WindowState.h"
#include "tools/OutsideTools.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class CodeEditor;
class FindInFilesDialog;
class Form2;
class Form6;
class Form7;
class SetupCheckWindow;
class frmConvPal;
namespace tarvel {
class ProjectPreload;
}
class QAction;
class QLabel;
class QMenu;
class QTemporaryDir;
class QTimer;
class QWidget;

namespace common {
class Dialogs;
}

// Tarvel's main window: the project tree on the left, the source editor on the right, the status
// bar below and the menus. It is the hub the commands act on: the open project's state lives in
// one tarvel::OpenProject that the window renders into the tree and the editor.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // `commandLine` is the program's whole argument text, taken as one path.
    Form1(const QString& applicationDirectory, common::Dialogs& dialogs, const QString& commandLine,
          QWidget* parent = nullptr);
    // The kit's data and the user's state in the places `folders` names (an installed kit).
    Form1(const common::AppFolders& folders, common::Dialogs& dialogs, const QString& commandLine,
          QWidget* parent = nullptr);
    // The same with the program's arguments as the system passed them (bytes of the file system's
    // encoding); start() reports arguments that no path can be made of.
    Form1(const common::AppFolders& folders, common::Dialogs& dialogs, const QByteArrayList& arguments,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Shows the window, focuses the editor and acts on the command line. The project the command
    // line names may have been read ahead by `preload`.
    void start(tarvel::ProjectPreload* preload = nullptr);

    // The settings (one record for the whole run; the Preferences window edits it).
    tarvel::ConfigSettings Settings;

    // The open project: record, folder, nodes, shown document, carets, routine lists.
    const tarvel::OpenProject& project() const { return m_project; }
    const tarvel::ProjectInfo& projectInfo() const { return m_project.info(); }
    // Main-window state.
    const QString& browseDir() const { return BrowseDir; }
    bool splitOn() const { return SplitOn; }
    const QStringList& autoCompleteWords() const { return AutoCompleteWords; }
    int autoCompleteCount() const { return AutoCompleteCount; }

    // Changes of the project record. The name is also the tree's root text.
    void setProjectInfo(const tarvel::ProjectInfo& info);
    void setProjectName(const QString& name);
    void setProjectAddresses(qint16 startAddress, qint16 endAddress);
    // The routine headers of one project file (file index = node index - 2).
    void setFileRoutines(int fileIndex, const tarvel::FileRoutineList& routines);

    // Operations other parts call.
    // Loads the main file and builds the tree; false, with no project open, when the main file
    // could not be found or read.
    bool LoadProject(const QString& mainFilePath);
    // Opens a .tpj; false (after telling the user) when it is not a readable project file.
    bool OpenProjectFile(const QString& tpjPath);
    void AddRecentFile(const QString& path);
    void LoadSettings();
    void SaveSettings();
    void RegisterFileType();
    void RefreshRecentMenu();
    // Builds the open project; true when the compiler ran and reported no errors.
    bool DoCompilation(bool makeChn);
    // The routine headers of the file at `path` added to the list of file `fileIndex`.
    void GetFileFunctions(int fileIndex, const QString& path);
    // Rebuilds the routine list of the selected document from the editor's text.
    void RefreshTooltips();

    // Window events.
    void Form_Activate();
    void Form_Resize();
    void Timer1_Timer();

    // Editor events (the editor's key, mouse and pane events arrive here). A key handler sets
    // `cancel` when it has done all there is to do for the key.
    void Code1_KeyDown(int key, Qt::KeyboardModifiers shift, bool* cancel);
    void Code1_KeyPress(int character, Qt::KeyboardModifiers shift, bool* cancel);
    void Code1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Code1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Code1_ViewChange();

    // Menu handlers.
    void mnuNew_Click();
    void mnuNewInc_Click();
    void mnuOpenIncfile_Click();
    void mnuOpenProject_Click();
    void mnuFileOpen_Click();
    void mnuSavePrj_Click();
    void mnuSaveFile_Click();
    void mnuRefresh_Click();
    void mnurecent_Click(int index);
    void mnuCompile_Click();
    void mnuCompileCHN_Click();
    void mnuCompileRun_Click();
    void mnuExit_Click();
    void mnuSplit_Click();
    void mnuShowProjectTree_Click();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();
    void mnuFind_Click();
    void mnuFindNext_Click();
    void mnuReplace_Click();
    // Find backwards (Shift+F3), Go to Line (Ctrl+G), Find in Project Files (Ctrl+Shift+F).
    void mnuFindPrevious_Click();
    void mnuGoToLine_Click();
    void mnuFindInFiles_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    void mnuClear_Click();
    void mnuPrint_Click();
    void mnuCalc_Click();
    void mnuImgConv_Click();
    void mnuConvPal_Click();
    void mnuRefHelp_Click();
    void mnuAbout_Click();
    void mnupreferences_Click();
    void mnuProp_Click();
    void mnuCheckSetup_Click();
    // Errors menu: the next / previous error record of the last build (F8 / Shift+F8).
    void mnuNextError_Click();
    void mnuPreviousError_Click();
    // Shows the include file named on line `line` of the editor's text (F12, Ctrl+click).
    void ShowIncludeOnLine(int line);

    // Starts the outside programs and opens help and web pages (the system's, unless replaced).
    tarvel::ProgramStarter& programStarter();
    void setProgramStarter(std::unique_ptr<tarvel::ProgramStarter> starter);

    // Tree events.
    void TV_NodeClick(QTreeWidgetItem* node);
    void TV_Expand(QTreeWidgetItem* node);
    void TV_Collapse(QTreeWidgetItem* node);

    // The tree's items by the 1-based index of their node (the root is 1); 0 / null for none.
    int nodeCount() const;
    QTreeWidgetItem* node(int index) const;
    int nodeIndex(const QTreeWidgetItem* node) const;

    const QString& applicationDirectory() const { return m_appDir; }
    // Where the user's settings files live: config.cfg and the files kept beside it.
    const QString& settingsFolder() const { return m_folders.settings; }
    common::Dialogs& dialogs() { return m_dialogs; }
    CodeEditor* editor() const { return m_code; }
    QTreeWidget* tree() const { return m_tree; }
    QLabel* panel(int number) const; // 1 to 3
    Form2* monitor() const { return m_monitor; }
    // True while a build or Compile and Run waits for an outside program.
    bool isBuilding() const { return m_building; }
    // While a build runs, tells the user and returns true: commands that start a build, or that
    // open, create, refresh or close a project, call this first and stop when it says so.
    bool refuseWhileBuilding();
    // The error records of the last build and the one gone to.
    const tarvel::ErrorList& lastErrors() const { return m_errors; }
    // The window state kept beside config.cfg: loaded at construction, written at exit.
    const tarvel::WindowState& windowLayout() const { return m_state; }
    QString windowStateFilePath() const;
    // How long after Compile and Run started the emulator an exit with a non-zero status is
    // shown with the emulator's last output (common::RunWatch::kQuickFailureMs unless changed).
    void setEmulatorWatchWindow(int milliseconds) { m_emulatorWatchMs = milliseconds; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    void setProjectItemsEnabled(bool enabled);
    void freeEditorKeys();
    // The Edit items enabled as the editor's selection, clipboard and undo history allow.
    void updateEditItems();
    // The remembered window state: applied before the first show, written when the window closes.
    void restoreWindowState();
    void applyRestoredPanes();
    void saveWindowState();
    // Shows the document of file `name` (as the tree names it) at a line and column (from 0)
    // through the normal document switch, the keyboard focus in the editor; false when the switch
    // did not happen.
    bool showFileAt(const QString& name, int line, int column);
    // The compilation monitor docked under the editor, the first time it shows in a run: as tall
    // as the user left it, or at most a third of the window.
    void sizeMonitor();
    // Opens the first recent project when the user asked for that; true when a project is open.
    bool reopenLastProject();
    // The recent items shown and labelled from the slots; the separator is left as it is.
    void showRecentSlots();
    // Tells that a name meant for a line of the project file holds a line break or such.
    void refuseControlCharacters(const QString& name);

    // Rendering the open project.
    void renderTree();
    void renderSelection();
    void renderNodeImage(int index);
    void renderRootText();
    // No project: tree and editor empty, project items disabled, panel 2 reset.
    void closeProject();

    // Editor documents.
    bool loadDocument(const QString& path);
    // Loads file node `index` into the editor and makes it the shown document.
    bool showDocument(int index);
    void rememberCaret();

    // The one guard of unsaved work. Every command that would replace or end the shown document
    // calls it first and stops when it returns false: the edits are saved (AutoSave) or the
    // user is asked "Save changes to NAME?"; Cancel, or a save that failed, keeps everything as
    // it was. `projectToo` also asks about changed project properties not yet saved.
    [[nodiscard]] bool mayDropEdits(bool projectToo);
    // Saves the shown document (Ctrl+S, AutoSave, before a build or a switch). A file changed or
    // gone on disk since it was read asks first: overwrite, reload (dropping the edits) or cancel.
    enum class SaveOutcome { Saved, Reloaded, NotSaved };
    [[nodiscard]] SaveOutcome saveShownDocument();
    // Reads the shown document's file again, keeping the caret; false when it cannot be read.
    bool reloadShownDocument();
    // A shown document whose file changed on disk is reloaded when unedited, else the user is
    // asked (when the window is active again, or the document is shown again).
    void checkShownDocumentOnDisk();
    // The editor now holds the file at `path` as it is on disk.
    void attachShownDocument(const QString& path);
    // The modified mark in the title and on the shown document's nodes.
    void renderModifiedMark();
    // Saves the project file as Save Project does; false when it was not saved.
    bool saveProject();
    // Refresh: the same project loaded again, its unsaved properties kept unsaved.
    bool reloadProject();
    void copyTemplate(const QString& templateName, const QString& mainFilePath);
    // Opens a .tpj as File > Open > Project file does once a path is chosen.
    void openProjectFileAndRemember(const QString& tpjPath);

    // Editor services.
    void signatureLookup();
    // RefreshTooltips; `quiet` leaves out the message when no document is selected.
    void refreshRoutines(bool quiet);
    // Inserts the include directive for `fileName` where the user answers, then saves the shown
    // document; false (after telling the user) when the save failed.
    bool insertIncludeDirective(const QString& fileName);

    // Building.
    // Asks whether to stop the running build in order to exit; true for Yes.
    bool stopBuildToExit();
    bool saveBeforeBuild();
    // Goes to an error's file and line; `missing` says what of it could not be found.
    struct ErrorJump {
        bool done = true; // false when the user cancelled the save question
        QString missing;
    };
    // A document already shown (also under another node of the same file) is not loaded again;
    // the caret goes to the record's line and column.
    ErrorJump jumpToError(const tarvel::CompilerError& error);
    // Goes to record `index` of the last build's errors and says so in panel 3.
    void goToError(int index);
    // Says in panel 3 which record the editor shows ("Error 1 of 3: ...") and what of it is missing.
    void showErrorStatus(int index, const ErrorJump& jump);
    // The error records are gone (a new build, the project closed), and panel 3 no longer shows one.
    void dropErrorRecords();
    // Goes to the next (or previous) error of the last build, wrapping around.
    void stepToError(bool forward);
    void watchEmulator(const QString& program, const QStringList& arguments);
    void runAndStartEmulator();
    void showCurrentView(const QString& name);

    common::AppFolders m_folders;
    QString m_appDir; // the kit's data
    common::Dialogs& m_dialogs;
    QString m_commandLine;
    QString m_commandLineProblem; // why the arguments name no path, if they do not
    tarvel::ProjectPreload* m_preload = nullptr; // while start() opens the command line's project

    // The open project and the main-window state.
    tarvel::OpenProject m_project;
    tarvel::ConfigSettings m_settingsOnDisk; // config.cfg as this program last read or wrote it
    bool m_exiting = false;                  // Exit has asked all there is to ask
    bool m_checkingDisk = false;
    QString BrowseDir;
    bool SplitOn = false;
    QStringList AutoCompleteWords;
    int AutoCompleteCount = -1;
    // The project chooser's answer: "" when cancelled, else "1" or "0" (AUTOEXEC.BAT wanted or
    // not) followed by the template's name.
    QString Tag;

    CodeEditor* m_code = nullptr;
    ProjectTreeWidget* m_tree = nullptr;
    QList<QTreeWidgetItem*> m_items; // by node index - 1
    std::array<QIcon, 4> m_images;   // the image list: 1 closed, 2 open, 3 file
    QWidget* m_picBkg = nullptr;
    QWidget* m_treeHandle = nullptr;
    int m_treeWidthTwips = 0;
    tarvel::WindowState m_state;
    QPointer<FindInFilesDialog> m_findInFiles;
    QTimer* m_timer = nullptr;
    std::array<QLabel*, 3> m_panels{};
    std::array<QAction*, 5> m_recent{};
    QAction* m_recentSeparator = nullptr;
    QAction* m_cut = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_paste = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_newInc = nullptr;
    QAction* m_openInc = nullptr;
    QAction* m_split = nullptr;
    QAction* m_showTree = nullptr;
    QMenu* m_editMenu = nullptr;
    QList<QAction*> m_projectItems;
    Form2* m_monitor = nullptr; // docked under the editor once a build has shown it
    bool m_monitorSized = false; // the monitor has been given its height in this run
    bool m_building = false;
    tarvel::ErrorList m_errors;
    QString m_errorStatus; // what panel 3 was last given about a record
    int m_emulatorWatchMs = common::RunWatch::kQuickFailureMs;
    std::unique_ptr<QTemporaryDir> m_runFiles; // the emulator's output and exit status
    bool m_toldNoBootDisk = false;             // the missing boot disk is told once a session

    // Tools: the modeless windows are built when first opened.
    std::unique_ptr<tarvel::ProgramStarter> m_starter;
    QPointer<frmConvPal> m_convPal;
    QPointer<Form6> m_about;
    QPointer<Form7> m_history;
    QPointer<SetupCheckWindow> m_setupCheck;
    QString m_registrationError; // why the last registration failed; "" when it did not
};
