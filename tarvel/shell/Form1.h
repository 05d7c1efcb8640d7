#pragma once

#include "projects/ProjectInfo.h"
#include "shell/ConfigSettings.h"
#include "tools/OutsideTools.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class CodeEditor;
class Form2;
class Form6;
class Form7;
class frmConvPal;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace common {
class Dialogs;
}

// Tarvel's main window: the project tree on the left, the source editor on the right, the status
// bar below and the menus. It owns the open project's state and is the hub the commands act on.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    struct CaretPosition {
        int column = 0;
        int line = 0;
    };

    // `commandLine` is the program's whole argument text, taken as one path.
    Form1(const QString& applicationDirectory, common::Dialogs& dialogs, const QString& commandLine,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Shows the window, focuses the editor and acts on the command line.
    void start();

    // The open project and the settings (one of each for the whole run).
    tarvel::ProjectInfo Project;
    tarvel::ConfigSettings Settings;

    // Main-window state.
    QString BrowseDir;
    QString ProjectDir;
    QString CurrentKey;
    QList<CaretPosition> CaretPositions;
    bool SplitOn = false;
    QStringList AutoCompleteWords;
    int AutoCompleteCount = -1;
    QList<QStringList> FileRoutines;
    // The project chooser's answer: "" when cancelled, else "1" or "0" (AUTOEXEC.BAT wanted or
    // not) followed by the template's name.
    QString Tag;

    // Operations other parts call.
    // Loads the main file and builds the tree; false when the main file could not be found.
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
    void GetFileFunctions(int fileIndex, const QString& path);
    void RefreshTooltips();

    // Window events.
    void Form_Activate();
    void Form_Resize();
    void Timer1_Timer();

    // Menu handlers.
    void mnuNew_Click();
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

    // Starts the outside programs and opens help and web pages (the system's, unless replaced).
    tarvel::ProgramStarter& programStarter();
    void setProgramStarter(std::unique_ptr<tarvel::ProgramStarter> starter);

    // Tree events.
    void TV_NodeClick(QTreeWidgetItem* node);
    void TV_Expand(QTreeWidgetItem* node);
    void TV_Collapse(QTreeWidgetItem* node);

    // Tree nodes by their 1-based index in the order they were added (the root is 1).
    int nodeCount() const;
    QTreeWidgetItem* node(int index) const;
    QTreeWidgetItem* nodeByKey(const QString& key) const;
    int nodeIndex(const QTreeWidgetItem* node) const;
    static QString nodeKey(const QTreeWidgetItem* node);
    static int nodeImage(const QTreeWidgetItem* node);

    const QString& applicationDirectory() const { return m_appDir; }
    common::Dialogs& dialogs() { return m_dialogs; }
    CodeEditor* editor() const { return m_code; }
    QTreeWidget* tree() const { return m_tree; }
    QLabel* panel(int number) const; // 1 to 3
    Form2* monitor() const { return m_monitor; }
    // True while a build or Compile and Run waits for an outside program.
    bool isBuilding() const { return m_building; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildControls();
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {});
    void setProjectItemsEnabled(bool enabled);
    void freeEditorKeys();

    // Tree building.
    void clearTree();
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text, int image);
    void setNodeImage(QTreeWidgetItem* node, int image);
    void selectNode(QTreeWidgetItem* node);
    QString uniqueKey(const QString& base) const;

    // Editor documents.
    bool loadDocument(const QString& path);
    bool saveEditorTo(const QString& path, bool keepModifiedFlag);
    void copyTemplate(const QString& templateName, const QString& mainFilePath);

    // Building.
    bool refuseSecondBuild();
    bool saveBeforeBuild();
    bool jumpToError(const QString& file, int line);
    void runAndStartEmulator();
    QString projectFilePath(const QString& name) const;
    void showCurrentView(const QString& name);

    QString m_appDir;
    common::Dialogs& m_dialogs;
    QString m_commandLine;

    CodeEditor* m_code = nullptr;
    QTreeWidget* m_tree = nullptr;
    QWidget* m_picBkg = nullptr;
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
    QList<QAction*> m_projectItems;
    QList<QTreeWidgetItem*> m_nodes;
    Form2* m_monitor = nullptr;
    bool m_building = false;

    // Tools: the modeless windows are built when first opened.
    std::unique_ptr<tarvel::ProgramStarter> m_starter;
    QPointer<frmConvPal> m_convPal;
    QPointer<Form6> m_about;
    QPointer<Form7> m_history;
    QString m_registrationError; // why the last registration failed; "" when it did not
};
