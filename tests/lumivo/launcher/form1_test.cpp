#include "../QtPrinting.h"
#include "launcher/FileList.h"
#include "launcher/FolderList.h"
#include "launcher/Form1.h"
#include "launcher/ImageKind.h"
#include "launcher/ModMSX.h"
#include "launcher/OpenMsxSettings.h"
#include "options/Form2.h"
#include "options/Form3.h"
#include "options/frmAbout.h"

#include "../MachineFolders.h"
#include "../Pointer.h"
#include "../RecordingRunner.h"
#include "../ScopedEnvironment.h"
#include "../StartingRunner.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace lumivo;

namespace {

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_kit.isValid());
        ASSERT_TRUE(m_games.isValid());
        for (const char* name : {"GAME.DSK", "other.dsk", "knight.rom", "tape.CAS", "prog.bas", "LOADER.BIN",
                                 "x.002", "readme.doc"})
            testfiles::write(m_games.filePath(QLatin1String(name)), QByteArray("x"));
        QDir(m_games.path()).mkdir(QStringLiteral("sub"));
    }

    std::unique_ptr<Form1> open()
    {
        auto form = std::make_unique<Form1>(m_kit.path(), m_dialogs, m_runner);
        form->show();
        return form;
    }

    void writeFrontEnd(const QString& drive, const QString& folder, qint16 kind, qint16 emulator)
    {
        FrontEndConfig config;
        config.LastDrive = drive;
        config.LastFolder = folder;
        config.ImageKind = kind;
        config.EmulatorChoice = emulator;
        testfiles::write(FrontEndConfigPath(m_kit.path()), EncodeFrontEndConfig(config));
    }

    void writeBrmsx(const QString& folder)
    {
        BrmsxOptions options;
        InitBrmsxOptions(options, folder);
        testfiles::write(BrmsxOptionsPath(m_kit.path()), EncodeBrmsxOptions(options));
    }

    template <typename T>
    static T* child(QWidget* form, const QString& name)
    {
        T* found = form->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    static QRadioButton* kind(QWidget* form, int i) { return child<QRadioButton>(form, QStringLiteral("Option5(%1)").arg(i)); }

    static void selectFile(QWidget* form, const QString& name)
    {
        auto* list = child<FileList>(form, QStringLiteral("File1"));
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list->setCurrentItem(items.first());
    }

    static QStringList shownFiles(QWidget* form)
    {
        QStringList names;
        auto* list = child<FileList>(form, QStringLiteral("File1"));
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    QString scriptText() const { return QString::fromUtf8(testfiles::read(ExecuteScriptPath(m_kit.path()))); }

    QTemporaryDir m_kit;
    QTemporaryDir m_games;
    ScriptedDialogs m_dialogs;
    RecordingRunner m_runner;
};

} // namespace

// Without feconfig.cfg Lumivo starts in the user's home folder, with openMSX when it is installed.
TEST_F(Form1Test, FirstRunStartsAtHomeWithTheEmulatorThatIsInstalled)
{
    QTemporaryDir home;
    const ScopedEnvironment homeVariable("HOME", QFile::encodeName(home.path()));
    struct Row {
        const char* name;
        QStringList installed;
        const char* chosen;
        qint16 emulator;
    };
    const Row rows[] = {
        {"openMSX installed", {QStringLiteral("openmsx")}, "Option4", 2},
        {"nothing installed", {}, "Option1", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(FrontEndConfigPath(m_kit.path()));
        m_runner.installed = row.installed;
        auto form = open();
        EXPECT_EQ(child<FileList>(form.get(), QStringLiteral("File1"))->pattern(), QStringLiteral("*.dsk"));
        EXPECT_TRUE(child<QRadioButton>(form.get(), QLatin1String(row.chosen))->isChecked());
        EXPECT_EQ(child<QLabel>(form.get(), QStringLiteral("BtnCfg"))->text(), QString());
        form->close();
        const auto saved = LoadFrontEndConfig(m_kit.path());
        ASSERT_TRUE(saved.ok());
        EXPECT_EQ(saved->LastFolder, home.path());
        EXPECT_EQ(saved->EmulatorChoice, row.emulator);
    }
}

// A path typed or pasted into the field above the folder list goes there; a file's path goes to
// its folder and selects the file. Typing a name's start in a list highlights it.
TEST_F(Form1Test, TypedPathsAndTypeAheadReachFoldersAndFiles)
{
    QTemporaryDir home;
    const ScopedEnvironment homeVariable("HOME", QFile::encodeName(home.path()));
    const QString games = home.path() + QStringLiteral("/msx/games");
    ASSERT_TRUE(QDir().mkpath(games));
    for (const char* folder : {"alpha", "zeta", "zorro"})
        QDir(m_games.path()).mkdir(QLatin1String(folder));
    auto form = open();
    auto* path = child<QLineEdit>(form.get(), QStringLiteral("TxtPath"));
    auto* dir1 = child<FolderList>(form.get(), QStringLiteral("Dir1"));
    auto* file1 = child<FileList>(form.get(), QStringLiteral("File1"));
    struct Row {
        QString typed;
        QString folder;
        QString selected;
    };
    const Row rows[] = {
        {QStringLiteral("~/msx/games"), games, QString()},
        {m_games.filePath(QStringLiteral("other.dsk")), m_games.path(), QStringLiteral("other.dsk")},
        {QStringLiteral("  ") + m_games.filePath(QStringLiteral("sub/")) + QStringLiteral(" "),
         m_games.filePath(QStringLiteral("sub")), QString()},
        {QStringLiteral("../GAME.DSK"), m_games.path(), QStringLiteral("GAME.DSK")},
        {QStringLiteral("/no/such/folder"), m_games.path(), QStringLiteral("GAME.DSK")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        path->setFocus();
        QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(path, row.typed);
        QTest::keyClick(path, Qt::Key_Return);
        EXPECT_EQ(dir1->path(), row.folder);
        EXPECT_EQ(file1->fileName(), row.selected);
    }
    EXPECT_EQ(form->frontEnd().LastFolder, m_games.path());

    dir1->setFocus();
    QTest::keyClicks(dir1, QStringLiteral("zo"));
    EXPECT_EQ(dir1->currentFolder(), m_games.filePath(QStringLiteral("zorro")));
    QTest::keyClick(dir1, Qt::Key_Return);
    EXPECT_EQ(dir1->path(), m_games.filePath(QStringLiteral("zorro")));
    QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(path, QStringLiteral(".."));
    QTest::keyClick(path, Qt::Key_Return);
    file1->setFocus();
    QTest::keyClicks(file1, QStringLiteral("OT"));
    EXPECT_EQ(file1->fileName(), QStringLiteral("other.dsk"));
}

TEST_F(Form1Test, ClosingSavesTheFolderTheUserBrowsedTo)
{
    auto form = open();
    child<FolderList>(form.get(), QStringLiteral("Dir1"))->setPath(m_games.path());
    kind(form.get(), KindRom)->click();
    EXPECT_EQ(shownFiles(form.get()), QStringList{QStringLiteral("knight.rom")});
    form->close();
    const auto saved = LoadFrontEndConfig(m_kit.path());
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->LastDrive, QStringLiteral("/"));
    EXPECT_EQ(saved->LastFolder, m_games.path());
    EXPECT_EQ(saved->ImageKind, KindRom);
    EXPECT_EQ(saved->EmulatorChoice, 0);
}

TEST_F(Form1Test, SavedFolderIsRestoredAlthoughTheDriveResetsIt)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDir, 1);
    auto form = open();
    EXPECT_EQ(child<FolderList>(form.get(), QStringLiteral("Dir1"))->path(), m_games.path());
    EXPECT_EQ(form->frontEnd().LastFolder, m_games.path());
    // DIR was selected before F-MSX disabled it.
    EXPECT_TRUE(kind(form.get(), KindDir)->isChecked());
    EXPECT_FALSE(kind(form.get(), KindDir)->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(form.get(), QStringLiteral("Option3"))->isChecked());
    EXPECT_EQ(shownFiles(form.get()),
              (QStringList{QStringLiteral("LOADER.BIN"), QStringLiteral("prog.bas"), QStringLiteral("x.002")}));

    // Changing the drive goes back to its root, and the remembered folder follows.
    auto* drive = child<QComboBox>(form.get(), QStringLiteral("Drive1"));
    if (drive->count() > 1) {
        drive->setCurrentIndex(1);
        const QString root = drive->currentData().toString();
        EXPECT_EQ(child<FolderList>(form.get(), QStringLiteral("Dir1"))->path(), QDir::cleanPath(root));
        EXPECT_EQ(form->frontEnd().LastDrive, root);
        EXPECT_EQ(form->frontEnd().LastFolder, QDir::cleanPath(root));
    }
}

TEST_F(Form1Test, StaleOrDamagedSettingsStillOpenOnAnExistingFolder)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        QString folder;
        qint16 kind, emulator; // as kept in the record
    };
    FrontEndConfig stale;
    stale.LastDrive = QStringLiteral("/media/gone");
    stale.LastFolder = m_games.filePath(QStringLiteral("deleted/deeper"));
    stale.ImageKind = 9;
    stale.EmulatorChoice = 7;
    const Row rows[] = {
        {"vanished drive and folder, kind 9", EncodeFrontEndConfig(stale), m_games.path(), 9, 7},
        {"random bytes", QByteArray::fromHex("FF FF 00 13 37 42"), QStringLiteral("/"), 0, 0},
        {"empty file", QByteArray(), QStringLiteral("/"), 0, 0},
        {"relative folder", EncodeFrontEndConfig({QStringLiteral("/"), QStringLiteral("games"), 1, 0}), QStringLiteral("/"), 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testfiles::write(FrontEndConfigPath(m_kit.path()), row.bytes);
        auto form = open();
        EXPECT_EQ(child<FolderList>(form.get(), QStringLiteral("Dir1"))->path(), row.folder);
        int checked = 0;
        for (int i = 0; i < ImageKindCount; ++i)
            checked += kind(form.get(), i)->isChecked() ? 1 : 0;
        EXPECT_EQ(checked, 1);
        EXPECT_EQ(form->frontEnd().ImageKind, row.kind);
        EXPECT_EQ(form->frontEnd().EmulatorChoice, row.emulator);
        form->close();
    }
}

TEST_F(Form1Test, EmulatorChoiceGatesDirAndConfig)
{
    auto form = open();
    auto* brmsx = child<QRadioButton>(form.get(), QStringLiteral("Option1"));
    auto* fmsx = child<QRadioButton>(form.get(), QStringLiteral("Option3"));
    auto* config = child<QPushButton>(form.get(), QStringLiteral("BtnConfig"));

    fmsx->click();
    EXPECT_FALSE(kind(form.get(), KindDir)->isEnabled());
    EXPECT_EQ(form->frontEnd().EmulatorChoice, 1);
    config->click();
    EXPECT_EQ(form->optionsWindow(), nullptr);

    brmsx->click();
    EXPECT_TRUE(kind(form.get(), KindDir)->isEnabled());
    EXPECT_EQ(form->frontEnd().EmulatorChoice, 0);
    config->click();
    ASSERT_NE(form->optionsWindow(), nullptr);
    EXPECT_EQ(form->optionsWindow()->objectName(), QStringLiteral("Form2"));
    EXPECT_TRUE(form->optionsWindow()->isVisible());

    child<QToolButton>(form.get(), QStringLiteral("BtnAbout"))->click();
    ASSERT_NE(form->aboutWindow(), nullptr);
    EXPECT_TRUE(form->aboutWindow()->isVisible());
}

TEST_F(Form1Test, HelpTextsOnMouseOver)
{
    auto form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* line = child<QLabel>(form.get(), QStringLiteral("Label1"));
    // The pointer onto the control, or onto the bare background of a window or frame.
    const auto hover = [&](const QString& name) {
        QWidget* target = name.isEmpty() ? form.get() : child<QWidget>(form.get(), name);
        if (target->isWindow() || qobject_cast<QGroupBox*>(target))
            EXPECT_TRUE(pointer::moveToBackground(target));
        else
            pointer::moveTo(target);
        return line->text();
    };
    struct Row {
        const char* control;
        const char* text;
    };
    const Row rows[] = {
        {"BtnAbout", "About this"},
        {"BtnConfig", "Click this button to setup the options for the chosen emulator"},
        {"BtnRun", "Click here to run your chosen program or directory"},
        {"Dir1", "Here you choose your directory where your MSX files are. If you are running them on BR-MSX you "
                 "can also run MSX bin files directly from a directory"},
        {"File1", "Click one of those files and then click in RUN to execute it in the emulator"},
        {"Option1", "This Selects the BR-MSX as your emulator"},
        {"Option3", "This Selects the F-MSX as your emulator"},
        {"Option4", "Selects openMSX as your emulator. It runs on Linux and brings free system ROMs (Debian package "
                    "openmsx)."},
        {"Option5(0)", "Select an image file of real MSX disk to run in the emulator."},
        {"Option5(1)", "Select an image file of the MSX memory."},
        {"Option5(2)", "Select an image file of a tape"},
        {"Option5(3)", "Select a directory with real MSX files (can't have more then 720kb of files on it)."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control);
        EXPECT_EQ(hover(QLatin1String(row.control)), QLatin1String(row.text));
        // Drive1 and BtnCfg leave the line as it was.
        EXPECT_EQ(hover(QStringLiteral("Drive1")), QLatin1String(row.text));
        EXPECT_EQ(hover(QStringLiteral("BtnCfg")), QLatin1String(row.text));
    }
    for (const char* quiet : {"", "FrmRoms", "FrmEmulator", "Image1(0)", "Image1(1)", "Label1"}) {
        SCOPED_TRACE(quiet);
        hover(QStringLiteral("BtnAbout"));
        EXPECT_EQ(hover(QLatin1String(quiet)), QString());
    }
    pointer::click(child<QRadioButton>(form.get(), QStringLiteral("Option3")));
    EXPECT_EQ(hover(QStringLiteral("BtnRun")), QStringLiteral("Click here to run your chosen program"));
    pointer::click(child<QRadioButton>(form.get(), QStringLiteral("Option4")));
    EXPECT_EQ(hover(QStringLiteral("BtnRun")), QStringLiteral("Click here to run your chosen program or directory"));
}

TEST_F(Form1Test, RunRefusesWithoutConfigurationOrFile)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    auto form = open();
    auto* run = child<QPushButton>(form.get(), QStringLiteral("BtnRun"));
    run->click();
    selectFile(form.get(), QStringLiteral("GAME.DSK"));
    run->click();
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    for (const auto& call : m_dialogs.messages()) {
        EXPECT_EQ(call.text, QStringLiteral("First configure BRMSX!"));
        EXPECT_EQ(call.title, QStringLiteral("Error"));
        EXPECT_EQ(call.icon, common::Dialogs::Icon::Critical);
        EXPECT_EQ(call.buttons, common::Dialogs::Buttons::Ok);
    }
    EXPECT_TRUE(m_runner.starts.isEmpty());

    form->brmsx().BrmsxFolder = QStringLiteral("/opt/brmsx");
    child<FileList>(form.get(), QStringLiteral("File1"))->clearSelection();
    m_dialogs.clear();
    run->click();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].text, QStringLiteral("First select some file!"));
    EXPECT_EQ(m_dialogs.messages()[0].icon, common::Dialogs::Icon::None);
    EXPECT_TRUE(m_runner.starts.isEmpty());
    EXPECT_FALSE(QFile::exists(ExecuteScriptPath(m_kit.path())));
}

TEST_F(Form1Test, RunWritesTheScriptWithTheStoredOptions)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    writeBrmsx(QStringLiteral("/opt/BR MSX"));
    auto form = open();
    selectFile(form.get(), QStringLiteral("GAME.DSK"));
    child<QPushButton>(form.get(), QStringLiteral("BtnRun"))->click();
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    ASSERT_EQ(m_runner.starts.size(), 1);
    EXPECT_EQ(m_runner.starts[0].arguments.value(3), ExecuteScriptPath(m_kit.path()));
    EXPECT_TRUE(scriptText().contains(QStringLiteral("cd '/opt/BR MSX/' || exit 1\n'./brmsx.exe' -diska '") +
                                      m_games.path() + QStringLiteral("/GAME.DSK' -noenter\n")))
        << scriptText().toStdString();

    // DIR needs no file and mounts the folder shown.
    kind(form.get(), KindDir)->click();
    child<QPushButton>(form.get(), QStringLiteral("BtnRun"))->click();
    EXPECT_TRUE(scriptText().contains(QStringLiteral("-mount '") + m_games.path() + QStringLiteral("/' -noenter")))
        << scriptText().toStdString();
}

TEST_F(Form1Test, ARunWhileTheOptionsWindowIsOpenUsesItsChanges)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindRom, 0);
    writeBrmsx(QStringLiteral("/opt/brmsx"));
    auto form = open();
    child<QPushButton>(form.get(), QStringLiteral("BtnConfig"))->click();
    ASSERT_NE(form->optionsWindow(), nullptr);
    child<QCheckBox>(form->optionsWindow(), QStringLiteral("Check15"))->click();
    selectFile(form.get(), QStringLiteral("knight.rom"));
    child<QPushButton>(form.get(), QStringLiteral("BtnRun"))->click();
    EXPECT_TRUE(scriptText().contains(QStringLiteral("/knight.rom' -joy -noenter"))) << scriptText().toStdString();
}

TEST_F(Form1Test, FmsxRunsTheImageOrSaysWhyNot)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindCas, 1);
    auto form = open();
    selectFile(form.get(), QStringLiteral("tape.CAS"));
    auto* run = child<QPushButton>(form.get(), QStringLiteral("BtnRun"));
    run->click();
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(QStringLiteral("fmsx")));
    EXPECT_TRUE(m_runner.starts.isEmpty());

    m_runner.installed << QStringLiteral("fmsx");
    run->click();
    ASSERT_EQ(m_runner.starts.size(), 1);
    EXPECT_TRUE(scriptText().endsWith(QStringLiteral("'/usr/games/fmsx' -tape '") + m_games.path() +
                                      QStringLiteral("/tape.CAS'\n")))
        << scriptText().toStdString();
}

// A settings file that cannot be written is reported; the window closes only when the user agrees.
TEST_F(Form1Test, ASettingsFileThatCannotBeWrittenIsReported)
{
    QDir(m_kit.path()).mkdir(QStringLiteral("feconfig.cfg"));
    auto form = open();
    ASSERT_EQ(m_dialogs.messages().size(), 1) << "said at start: it cannot be read either";
    m_dialogs.clear();
    QSignalSpy closed(form.get(), &Form1::closed);
    m_dialogs.queueAnswer(common::Dialogs::Answer::No);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(closed.count(), 0);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(m_dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNo);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(QStringLiteral("feconfig.cfg")));

    m_dialogs.queueAnswer(common::Dialogs::Answer::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(closed.count(), 1);
}

// A click on a kind or emulator button that is already selected is still the user's choice, and a
// stored value the window does not know is kept until the user makes that choice.
TEST_F(Form1Test, UnknownStoredChoicesAreKeptUntilTheUserClicks)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), 9, 7);
    {
        auto form = open();
        EXPECT_TRUE(kind(form.get(), KindDsk)->isChecked());
        EXPECT_TRUE(child<QRadioButton>(form.get(), QStringLiteral("Option1"))->isChecked());
        form->close();
    }
    auto saved = LoadFrontEndConfig(m_kit.path());
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->ImageKind, 9);
    EXPECT_EQ(saved->EmulatorChoice, 7);

    auto form = open();
    pointer::click(kind(form.get(), KindDsk));
    pointer::click(child<QRadioButton>(form.get(), QStringLiteral("Option1")));
    EXPECT_EQ(form->frontEnd().ImageKind, KindDsk);
    EXPECT_EQ(form->frontEnd().EmulatorChoice, 0);
    form->close();
    saved = LoadFrontEndConfig(m_kit.path());
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->ImageKind, KindDsk);
    EXPECT_EQ(saved->EmulatorChoice, 0);
}

// DIR runs the folder highlighted in the folder list; the other kinds run a file of the open folder.
TEST_F(Form1Test, DirMountsTheHighlightedFolder)
{
    QDir(m_games.path()).mkdir(QStringLiteral("Sub Game"));
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDir, 0);
    writeBrmsx(QStringLiteral("/opt/brmsx"));
    auto form = open();
    auto* dir1 = child<FolderList>(form.get(), QStringLiteral("Dir1"));
    const auto items = dir1->findItems(QStringLiteral("Sub Game"), Qt::MatchEndsWith);
    ASSERT_EQ(items.size(), 1);
    pointer::click(dir1->viewport(), dir1->visualItemRect(items.first()).center());
    EXPECT_EQ(dir1->path(), m_games.path()) << "a single click only highlights";
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnRun")));
    EXPECT_TRUE(scriptText().contains(QStringLiteral("-mount '") + m_games.path() + QStringLiteral("/Sub Game/' -noenter")))
        << scriptText().toStdString();

    // A file kind keeps using the open folder, whose files the list shows.
    pointer::click(kind(form.get(), KindDsk));
    selectFile(form.get(), QStringLiteral("GAME.DSK"));
    pointer::click(dir1->viewport(), dir1->visualItemRect(items.first()).center());
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnRun")));
    EXPECT_TRUE(scriptText().contains(QStringLiteral("-diska '") + m_games.path() + QStringLiteral("/GAME.DSK'")))
        << scriptText().toStdString();
}

// The pointer moving off a control onto its frame or the window's background clears the line.
TEST_F(Form1Test, HelpLineFollowsThePointer)
{
    auto form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* line = child<QLabel>(form.get(), QStringLiteral("Label1"));
    struct Row {
        const char* control;
        const char* text;
        const char* background; // where the pointer goes next
    };
    const Row rows[] = {
        {"BtnRun", "Click here to run your chosen program or directory", "FrmRoms"},
        {"BtnAbout", "About this", "Form1"},
        {"Option3", "This Selects the F-MSX as your emulator", "FrmEmulator"},
        {"Dir1", "Here you choose your directory where your MSX files are. If you are running them on BR-MSX you "
                 "can also run MSX bin files directly from a directory", "Form1"},
        {"Option5(2)", "Select an image file of a tape", "FrmRoms"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.control);
        QWidget* control = child<QWidget>(form.get(), QLatin1String(row.control));
        pointer::moveTo(control);
        EXPECT_EQ(line->text(), QLatin1String(row.text));
        // Drive1 and BtnCfg leave the line as it was.
        pointer::moveTo(child<QWidget>(form.get(), QStringLiteral("Drive1")));
        EXPECT_EQ(line->text(), QLatin1String(row.text));
        QWidget* background = QLatin1String(row.background) == QLatin1String("Form1")
                                  ? form.get()
                                  : child<QWidget>(form.get(), QLatin1String(row.background));
        ASSERT_TRUE(pointer::moveToBackground(background));
        EXPECT_EQ(line->text(), QString());
    }
    pointer::moveTo(child<QWidget>(form.get(), QStringLiteral("BtnAbout")));
    pointer::moveTo(child<QWidget>(form.get(), QStringLiteral("BtnCfg")));
    EXPECT_EQ(line->text(), QStringLiteral("About this"));
    pointer::moveTo(child<QWidget>(form.get(), QStringLiteral("Image1(0)")));
    EXPECT_EQ(line->text(), QString());
}

// An emulator that ends at once with an error says why: its last lines of output are shown.
TEST_F(Form1Test, AnEmulatorThatFailsAtOnceSaysWhy)
{
    QTemporaryDir emulator;
    ASSERT_TRUE(QFile::copy(testfiles::testToolsDir() + QStringLiteral("/lumivo/failing-emulator"),
                            emulator.filePath(QStringLiteral("brmsx.exe"))));
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    writeBrmsx(emulator.path());
    StartingRunner runner;
    Form1 form(m_kit.path(), m_dialogs, runner);
    form.setQuickFailureWindow(60000); // a busy machine may be slow to start the emulator
    form.show();
    selectFile(&form, QStringLiteral("GAME.DSK"));
    pointer::click(child<QPushButton>(&form, QStringLiteral("BtnRun")));
    ASSERT_EQ(runner.pids.size(), 1);
    ASSERT_TRUE(testfiles::waitUntil([&] { return !m_dialogs.messages().isEmpty(); }));
    const auto message = m_dialogs.messages().constFirst();
    EXPECT_EQ(message.title, QStringLiteral("Error"));
    EXPECT_EQ(message.icon, common::Dialogs::Icon::Critical);
    EXPECT_TRUE(message.text.contains(QStringLiteral("exit status 1"))) << message.text.toStdString();
    EXPECT_TRUE(message.text.contains(QStringLiteral("info: starting the emulator with 3 arguments\n"
                                                     "Fatal error: No disk drive A present to put image '") +
                                      m_games.path() + QStringLiteral("/GAME.DSK' in.")))
        << message.text.toStdString();
}


TEST_F(Form1Test, OpenMsxIsAThirdEmulatorChoice)
{
    {
        auto form = open();
        auto* openMsx = child<QRadioButton>(form.get(), QStringLiteral("Option4"));
        EXPECT_EQ(openMsx->text(), QStringLiteral("openMSX"));
        EXPECT_FALSE(openMsx->isChecked());
        pointer::click(child<QRadioButton>(form.get(), QStringLiteral("Option3")));
        EXPECT_FALSE(kind(form.get(), KindDir)->isEnabled());
        pointer::click(openMsx);
        EXPECT_TRUE(kind(form.get(), KindDir)->isEnabled());
        EXPECT_EQ(form->frontEnd().EmulatorChoice, 2);

        pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnConfig")));
        EXPECT_EQ(form->optionsWindow(), nullptr);
        ASSERT_NE(form->openMsxWindow(), nullptr);
        EXPECT_EQ(form->openMsxWindow()->windowTitle(), QStringLiteral("openMSX Setup"));
        EXPECT_TRUE(form->openMsxWindow()->isVisible());
        form->close();
    }
    // The layout of feconfig.cfg is unchanged: openMSX is EmulatorChoice 2.
    EXPECT_EQ(testfiles::read(FrontEndConfigPath(m_kit.path())).right(4), QByteArray::fromHex("00 00 02 00"));
    auto form = open();
    EXPECT_TRUE(child<QRadioButton>(form.get(), QStringLiteral("Option4"))->isChecked());
    EXPECT_TRUE(kind(form.get(), KindDir)->isEnabled());
}

TEST_F(Form1Test, RunWithOpenMsxPassesEveryArgumentWhole)
{
    const MachineFolders machines({QStringLiteral("My_MSX")});
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindRom, 2);
    testfiles::write(OpenMsxSettingsPath(m_kit.path()),
                     EncodeOpenMsxSettings({QString(), QStringLiteral("My_MSX"),
                                            QStringLiteral("-command \"set throttle off\" $(touch PWNED)")}));
    auto form = open();
    selectFile(form.get(), QStringLiteral("knight.rom"));
    auto* run = child<QPushButton>(form.get(), QStringLiteral("BtnRun"));

    // Not installed and none chosen.
    pointer::click(run);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(QStringLiteral("Debian package openmsx")));
    EXPECT_TRUE(m_runner.starts.isEmpty());

    m_runner.installed << QStringLiteral("openmsx");
    pointer::click(run);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
    ASSERT_EQ(m_runner.starts.size(), 1);
    EXPECT_TRUE(scriptText().contains(QStringLiteral("cd '") + m_games.path() + QStringLiteral("/' || exit 1\n"
        "'/usr/games/openmsx' -machine My_MSX -command 'set throttle off' '$(touch' 'PWNED)' -cart '") +
        m_games.path() + QStringLiteral("/knight.rom'\n"))) << scriptText().toStdString();

    // DIR mounts the highlighted folder as a disk.
    pointer::click(kind(form.get(), KindDir));
    pointer::click(run);
    EXPECT_TRUE(scriptText().contains(QStringLiteral("PWNED)' -diska '") + m_games.path() + QStringLiteral("'\n")))
        << scriptText().toStdString();

    // A machine openMSX no longer has is named before anything starts.
    form->openMsx().Machine = QStringLiteral("Gone_MSX");
    pointer::click(run);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages()[1].text.contains(QStringLiteral("\"Gone_MSX\"")));
    EXPECT_EQ(m_runner.starts.size(), 2);
}

// The setup windows show the command line Run would start, kept up to date, with a Copy button.
TEST_F(Form1Test, SetupWindowsShowTheCommandLine)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    writeBrmsx(QStringLiteral("/opt/brmsx"));
    auto form = open();
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnConfig")));
    Form2* options = form->optionsWindow();
    ASSERT_NE(options, nullptr);
    auto* text3 = child<QPlainTextEdit>(options, QStringLiteral("Text3"));
    auto* copy = child<QPushButton>(options, QStringLiteral("Command2"));
    EXPECT_EQ(text3->toPlainText(), QStringLiteral("First select some file!"));
    EXPECT_FALSE(copy->isEnabled());

    selectFile(form.get(), QStringLiteral("GAME.DSK"));
    const QString base = QStringLiteral("cd '/opt/brmsx/' && './brmsx.exe' -diska '") + m_games.path() +
                         QStringLiteral("/GAME.DSK'");
    EXPECT_EQ(text3->toPlainText(), base + QStringLiteral(" -noenter"));
    child<QTabWidget>(options, QStringLiteral("SSTab1"))->setCurrentIndex(4);
    pointer::click(child<QCheckBox>(options, QStringLiteral("Check15")));
    EXPECT_EQ(text3->toPlainText(), base + QStringLiteral(" -joy -noenter"));
    pointer::click(copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), base + QStringLiteral(" -joy -noenter"));
    options->close();

    // openMSX: the machine and extra arguments of its setup window.
    const MachineFolders machines({QStringLiteral("C-BIOS_MSX1"), QStringLiteral("C-BIOS_MSX2")});
    m_runner.installed << QStringLiteral("openmsx");
    pointer::click(child<QRadioButton>(form.get(), QStringLiteral("Option4")));
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnConfig")));
    Form3* setup = form->openMsxWindow();
    ASSERT_NE(setup, nullptr);
    auto* line = child<QPlainTextEdit>(setup, QStringLiteral("Text3"));
    const QString disk = QStringLiteral("-diska '") + m_games.path() + QStringLiteral("/GAME.DSK'");
    const QString cd = QStringLiteral("cd '") + m_games.path() + QStringLiteral("/' && '/usr/games/openmsx' ");
    EXPECT_EQ(line->toPlainText(), cd + disk);
    auto* machine = child<QComboBox>(setup, QStringLiteral("Combo1"));
    EXPECT_EQ(machine->currentText(), QStringLiteral("(openMSX default)"));
    machine->setFocus();
    QTest::keyClick(machine, Qt::Key_Down);
    EXPECT_EQ(form->openMsx().Machine, QStringLiteral("C-BIOS_MSX1"));
    QTest::keyClicks(child<QLineEdit>(setup, QStringLiteral("Text2")), QStringLiteral("-ext 'my ext'"));
    EXPECT_EQ(line->toPlainText(), cd + QStringLiteral("-machine C-BIOS_MSX1 -ext 'my ext' ") + disk);
    pointer::click(child<QPushButton>(setup, QStringLiteral("Command2")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), line->toPlainText());
}

namespace {

// Runs the rest of a scope with the effective user id of "nobody" when the tests run as root, so
// that permissions bind as they bind a user; the folders given become reachable for it.
class AsUser {
public:
    explicit AsUser(const QStringList& reachable)
    {
        for (const QString& folder : reachable)
            QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOther | QFile::ExeOther);
        m_dropped = ::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~AsUser()
    {
        if (m_dropped && ::seteuid(0) == 0)
            (void)::setegid(0);
    }
    AsUser(const AsUser&) = delete;
    AsUser& operator=(const AsUser&) = delete;

private:
    bool m_dropped = false;
};

QString permissionDenied()
{
    return QString::fromLocal8Bit(std::strerror(EACCES));
}

} // namespace

// A settings file or a folder that cannot be read is said at once, with the reason; Run then
// repeats it instead of asking for a file.
TEST_F(Form1Test, WhatCannotBeReadIsSaidAtOnce)
{
    const QString locked = m_games.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    testfiles::write(locked + QStringLiteral("/GAME.DSK"), "x");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    writeBrmsx(QStringLiteral("/opt/brmsx"));
    const QString settings = FrontEndConfigPath(m_kit.path());
    QFile::setPermissions(settings, QFile::WriteOwner | QFile::WriteOther);
    {
        const AsUser user({m_kit.path(), m_games.path()});
        auto form = open();
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages()[0].text.contains(settings)) << m_dialogs.messages()[0].text.toStdString();
        EXPECT_TRUE(m_dialogs.messages()[0].text.contains(permissionDenied()));
    }
    QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    QFile::setPermissions(BrmsxOptionsPath(m_kit.path()), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    m_dialogs.clear();
    const AsUser user({m_kit.path(), m_games.path()});
    auto form = open();
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().value(0).text.toStdString();
    auto* path = child<QLineEdit>(form.get(), QStringLiteral("TxtPath"));
    QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(path, locked);
    QTest::keyClick(path, Qt::Key_Return);
    ASSERT_EQ(child<FolderList>(form.get(), QStringLiteral("Dir1"))->path(), locked);
    const QString line = child<QLabel>(form.get(), QStringLiteral("Label1"))->text();
    EXPECT_TRUE(line.contains(locked) && line.contains(permissionDenied())) << line.toStdString();
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnRun")));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].text, line);
    EXPECT_TRUE(m_runner.starts.isEmpty());
}

// Names that are not valid UTF-8 cannot be listed; the help line says how many there are.
TEST_F(Form1Test, NamesThatAreNotTextAreCounted)
{
    const QByteArray folder = QFile::encodeName(m_games.path());
    const int file = ::open((folder + "/\xff\xfe.dsk").constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
    ASSERT_EQ(::mkdir((folder + "/caf\xe9").constData(), 0755), 0);
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    auto form = open();
    const QString line = child<QLabel>(form.get(), QStringLiteral("Label1"))->text();
    EXPECT_TRUE(line.contains(QStringLiteral("2 entries"))) << line.toStdString();
    EXPECT_FALSE(shownFiles(form.get()).join(QString()).contains(QChar::ReplacementCharacter));
    // It stays the line's resting text while the folder is open.
    pointer::moveTo(child<QWidget>(form.get(), QStringLiteral("BtnRun")));
    ASSERT_TRUE(pointer::moveToBackground(form.get()));
    EXPECT_EQ(child<QLabel>(form.get(), QStringLiteral("Label1"))->text(), line);
}

// A program name without a folder, as a shell takes it, is looked for on the PATH.
TEST_F(Form1Test, ABareOpenMsxNameIsLookedForOnThePath)
{
    const MachineFolders machines({QStringLiteral("C-BIOS_MSX1")});
    m_runner.installed << QStringLiteral("openmsx");
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindRom, 2);
    auto form = open();
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnConfig")));
    ASSERT_NE(form->openMsxWindow(), nullptr);
    auto* program = child<QLineEdit>(form->openMsxWindow(), QStringLiteral("Text1"));
    QTest::keyClicks(program, QStringLiteral("openmsx"));
    QTest::keyClick(program, Qt::Key_Tab);
    EXPECT_FALSE(child<QLabel>(form->openMsxWindow(), QStringLiteral("Label1"))->text().contains(QStringLiteral("not found")));
    selectFile(form.get(), QStringLiteral("knight.rom"));
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnRun")));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << m_dialogs.messages().value(0).text.toStdString();
    EXPECT_TRUE(scriptText().contains(QStringLiteral("'/usr/games/openmsx' -cart"))) << scriptText().toStdString();
}

// The command line the BR-MSX window shows is the one Run starts, also after a list was left
// with the keyboard.
TEST_F(Form1Test, TheShownCommandLineIsTheOneRunStarts)
{
    writeFrontEnd(QStringLiteral("/"), m_games.path(), KindDsk, 0);
    BrmsxOptions stored;
    InitBrmsxOptions(stored, QStringLiteral("/opt/brmsx"));
    stored.ComPort = 9; // a port the list does not offer
    testfiles::write(BrmsxOptionsPath(m_kit.path()), EncodeBrmsxOptions(stored));
    auto form = open();
    selectFile(form.get(), QStringLiteral("GAME.DSK"));
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnConfig")));
    Form2* options = form->optionsWindow();
    ASSERT_NE(options, nullptr);
    auto* tabs = child<QTabWidget>(options, QStringLiteral("SSTab1"));
    pointer::click(tabs->tabBar(), tabs->tabBar()->tabRect(5).center());
    pointer::click(child<QCheckBox>(options, QStringLiteral("Check25")));
    auto* port = child<QComboBox>(options, QStringLiteral("Combo4"));
    options->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(options));
    port->setFocus();
    ASSERT_TRUE(port->hasFocus());
    QTest::keyClick(port, Qt::Key_F4);
    ASSERT_TRUE(testfiles::waitUntil([] { return QApplication::activePopupWidget() != nullptr; }));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    ASSERT_TRUE(testfiles::waitUntil([] { return QApplication::activePopupWidget() == nullptr; }));
    QTest::keyClick(port, Qt::Key_Tab);
    const QString shown = child<QPlainTextEdit>(options, QStringLiteral("Text3"))->toPlainText();
    pointer::click(child<QPushButton>(form.get(), QStringLiteral("BtnRun")));
    ASSERT_EQ(m_runner.starts.size(), 1);
    const QString program = QStringLiteral("'./brmsx.exe'");
    ASSERT_TRUE(shown.contains(program)) << shown.toStdString();
    const QString started = scriptText().section(program, 1).section(QLatin1Char('\n'), 0, 0);
    EXPECT_EQ(shown.section(program, 1), started);
    EXPECT_TRUE(started.contains(QStringLiteral(" -com "))) << started.toStdString();
}
