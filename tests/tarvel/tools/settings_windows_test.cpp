#include "shell/Form1.h"

#include "FindControl.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "ToolsTestSupport.h"
#include "tools/Form3.h"
#include "tools/Form4.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Replaces a text box's text by typing, as the user would.
void retype(QLineEdit* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Acts on the modal window the next command opens, once it is open.
void whenModalOpens(std::function<void(QWidget*)> act, bool* seen = nullptr)
{
    QTimer::singleShot(0, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (seen)
            *seen = modal != nullptr;
        if (modal)
            act(modal);
    });
}

tarvel::ProjectInfo project(const QString& name, quint16 start, quint16 end)
{
    tarvel::ProjectInfo info;
    info.ProjectName = name;
    info.StartAddress = qint16(start);
    info.EndAddress = qint16(end);
    return info;
}

} // namespace

TEST(ProjectProperties, LoadsTheRecordWithTheTextsOfTheWindow)
{
    ScriptedDialogs dialogs;
    Form3 window(project("Shooter", 0x2E9B, 0x0100), dialogs, nullptr);
    EXPECT_EQ(window.windowTitle(), "Project properties");
    EXPECT_EQ(control<QLabel>(&window, "Label1")->text(), "Project name:");
    EXPECT_EQ(control<QLabel>(&window, "Label3")->text(), "Proigram Start Address: (Min:  2E9B)");
    EXPECT_EQ(control<QLabel>(&window, "Label4")->text(), "Program End Address: (Max: F93C)");
    EXPECT_EQ(control<QPushButton>(&window, "Command1")->text(), "Ok");
    EXPECT_EQ(control<QPushButton>(&window, "Command2")->text(), "Cancel");
    EXPECT_EQ(control<QLineEdit>(&window, "Text1")->text(), "Shooter");
    EXPECT_EQ(control<QLineEdit>(&window, "Text3")->text(), "2E9B");
    EXPECT_EQ(control<QLineEdit>(&window, "Text4")->text(), "100") << "no leading zeros";
    EXPECT_EQ(control<QLineEdit>(&window, "Text3")->maxLength(), 4);
    EXPECT_EQ(control<QLineEdit>(&window, "Text4")->maxLength(), 4);
}

TEST(ProjectProperties, LeavingAFieldPadsTheAddressAndNamesAnEmptyProject)
{
    ScriptedDialogs dialogs;
    Form3 window(project("Shooter", 0x3000, 0xD200), dialogs, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* name = control<QLineEdit>(&window, "Text1");
    auto* start = control<QLineEdit>(&window, "Text3");
    auto* end = control<QLineEdit>(&window, "Text4");

    retype(start, "1A");
    QTest::mouseClick(end, Qt::LeftButton);
    EXPECT_EQ(start->text(), "001A");
    retype(end, "");
    QTest::mouseClick(name, Qt::LeftButton);
    EXPECT_EQ(end->text(), "0000");
    retype(name, "");
    QTest::keyClick(name, Qt::Key_Tab);
    EXPECT_EQ(name->text(), "Project");
}

TEST(ProjectProperties, OkStoresCorrectedAddressesCancelAndCloseStoreNothing)
{
    {
        ScriptedDialogs dialogs;
        Form3 window(project("Shooter", 0x3000, 0xD200), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text1"), "Racer");
        retype(control<QLineEdit>(&window, "Text3"), "2000");
        retype(control<QLineEdit>(&window, "Text4"), "FFFF");
        QTest::mouseClick(control<QPushButton>(&window, "Command1"), Qt::LeftButton);
        ASSERT_TRUE(window.accepted());
        EXPECT_EQ(window.accepted()->ProjectName, "Racer");
        EXPECT_EQ(quint16(window.accepted()->StartAddress), 0x2E9B);
        EXPECT_EQ(quint16(window.accepted()->EndAddress), 0xF93C);
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    {
        // Enter answers Ok without leaving the field: an empty name keeps the old one, and an
        // address from 8000 up is kept as typed.
        ScriptedDialogs dialogs;
        Form3 window(project("Shooter", 0x3000, 0xD200), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text3"), "8000");
        retype(control<QLineEdit>(&window, "Text1"), "");
        QTest::keyClick(control<QLineEdit>(&window, "Text1"), Qt::Key_Return);
        ASSERT_TRUE(window.accepted());
        EXPECT_EQ(window.accepted()->ProjectName, "Shooter");
        EXPECT_EQ(quint16(window.accepted()->StartAddress), 0x8000);
    }
    {
        ScriptedDialogs dialogs;
        Form3 window(project("Shooter", 0x3000, 0xD200), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text1"), "Other");
        QTest::mouseClick(control<QPushButton>(&window, "Command2"), Qt::LeftButton);
        EXPECT_FALSE(window.accepted());
    }
    {
        ScriptedDialogs dialogs;
        Form3 window(project("Shooter", 0x3000, 0xD200), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text1"), "Other");
        QTest::keyClick(control<QLineEdit>(&window, "Text1"), Qt::Key_Escape);
        EXPECT_FALSE(window.accepted());
        EXPECT_FALSE(window.isVisible());
    }
}

TEST(ProjectProperties, OkRenamesTheTreeRootAndWritesNoProjectFile)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    const QString dir = kit.path("work") + "/";
    testfiles::write(dir + "game.pas", "program game;\r\nbegin\r\nend.\r\n");
    const QByteArray tpj = "Game\r\n2E9B\r\nD200\r\ngame.pas\r\n";
    testfiles::write(dir + "game.tpj", tpj);
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));

    whenModalOpens([](QWidget* modal) {
        retype(control<QLineEdit>(modal, "Text1"), "Racer");
        retype(control<QLineEdit>(modal, "Text3"), "2000");
        retype(control<QLineEdit>(modal, "Text4"), "FFFF");
        QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    form->findChild<QAction*>("mnuProp")->trigger();
    EXPECT_EQ(form->projectInfo().ProjectName, "Racer");
    EXPECT_EQ(quint16(form->projectInfo().StartAddress), 0x2E9B);
    EXPECT_EQ(quint16(form->projectInfo().EndAddress), 0xF93C);
    EXPECT_EQ(form->node(1)->text(0), "Racer");
    EXPECT_EQ(testfiles::read(dir + "game.tpj"), tpj) << "the file waits for Save Project";
    EXPECT_FALSE(QFile::exists(dir + "Racer.tpj"));

    // Opened again, the window shows the stored values; Cancel changes nothing.
    QString shownStart;
    whenModalOpens([&](QWidget* modal) {
        shownStart = control<QLineEdit>(modal, "Text3")->text();
        retype(control<QLineEdit>(modal, "Text1"), "Ignored");
        QTest::mouseClick(control<QPushButton>(modal, "Command2"), Qt::LeftButton);
    });
    form->findChild<QAction*>("mnuProp")->trigger();
    EXPECT_EQ(shownStart, "2E9B");
    EXPECT_EQ(form->projectInfo().ProjectName, "Racer");
    EXPECT_EQ(form->node(1)->text(0), "Racer");
}

TEST(ProjectProperties, AnEndBelowTheStartIsRefusedWithTheRangeAndTheWindowStaysOpen)
{
    const char* const ends[] = {"0000", "", "QQ", "2FFF"};
    for (const char* typed : ends) {
        SCOPED_TRACE(typed);
        ScriptedDialogs dialogs;
        Form3 window(project("Shooter", 0x3000, 0xD200), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text4"), typed);
        QTest::mouseClick(control<QPushButton>(&window, "Command1"), Qt::LeftButton);
        ASSERT_EQ(dialogs.messages().size(), 1);
        EXPECT_TRUE(dialogs.messages()[0].text.contains("from 3000 to F93C")) << dialogs.messages()[0].text.toStdString();
        EXPECT_FALSE(window.accepted());
        EXPECT_TRUE(window.isVisible());

        // Corrected, it is taken.
        retype(control<QLineEdit>(&window, "Text4"), "3000");
        QTest::mouseClick(control<QPushButton>(&window, "Command1"), Qt::LeftButton);
        ASSERT_TRUE(window.accepted());
        EXPECT_EQ(quint16(window.accepted()->EndAddress), 0x3000);
    }
}

TEST(ProjectProperties, ANamePastedWithALineBreakIsSavedOnOneLineAndOpensAgain)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    const QString dir = kit.path("work") + "/";
    testfiles::write(dir + "game.pas", "program game;\r\nbegin\r\nend.\r\n");
    testfiles::write(dir + "game.tpj", "Game\r\n2E9B\r\nD200\r\ngame.pas\r\n");
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));

    QApplication::clipboard()->setText("Hello\nWorld\t!");
    whenModalOpens([](QWidget* modal) {
        auto* name = control<QLineEdit>(modal, "Text1");
        retype(name, "");
        QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    form->findChild<QAction*>("mnuProp")->trigger();
    EXPECT_EQ(form->projectInfo().ProjectName, "Hello World !");
    form->findChild<QAction*>("mnuSavePrj")->trigger();
    EXPECT_EQ(testfiles::read(dir + "Hello World !.tpj"), "Hello World !\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");

    ASSERT_TRUE(form->OpenProjectFile(dir + "Hello World !.tpj"));
    EXPECT_EQ(form->node(1)->text(0), "Hello World !");
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(Preferences, LoadsTheSettingsIntoTheControls)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    tarvel::ConfigSettings settings = kit.defaults();
    settings.EmulatorPath = "/usr/bin/openmsx";
    settings.ShowNewProjectDialog = false;
    settings.AutoSave = true;
    Form4 window(settings, kit.dir(), dialogs, nullptr);
    EXPECT_EQ(window.windowTitle(), "Preferences");
    EXPECT_EQ(control<QGroupBox>(&window, "Frame1")->title(), " Emulator ");
    EXPECT_EQ(control<QGroupBox>(&window, "Frame2")->title(), "Other");
    EXPECT_EQ(control<QLabel>(&window, "Label1")->text(), "Emulator's path:");
    EXPECT_EQ(control<QLabel>(&window, "Label2")->text(), "Command line");
    EXPECT_EQ(control<QLabel>(&window, "Label3")->text(), "Disk image location");
    EXPECT_EQ(control<QPushButton>(&window, "Command3")->text(), "Browse");
    EXPECT_EQ(control<QPushButton>(&window, "Command4")->text(), "Browse");
    EXPECT_EQ(control<QPushButton>(&window, "Command1")->text(), "Ok");
    EXPECT_EQ(control<QPushButton>(&window, "Command2")->text(), "Cancel");
    EXPECT_EQ(control<QLineEdit>(&window, "Text1")->text(), "/usr/bin/openmsx");
    EXPECT_TRUE(control<QLineEdit>(&window, "Text1")->isReadOnly());
    EXPECT_EQ(control<QLineEdit>(&window, "Text2")->text(), "-diska %dsk -msx2");
    EXPECT_FALSE(control<QLineEdit>(&window, "Text2")->isReadOnly());
    EXPECT_EQ(control<QLineEdit>(&window, "Text3")->text(), kit.dir() + "/dsk/");
    EXPECT_TRUE(control<QLineEdit>(&window, "Text3")->isReadOnly());
    const struct {
        const char* name;
        const char* caption;
        bool checked;
    } checks[] = {
        {"Check1", "Register .tpj extension with Tarvel", false},
        {"Check2", "Auto-save when changing files", true},
        {"Check3", "Don't open the new project dialog at startup", true},
        {"Chktooltip", "Use function auto-tooltip", true},
    };
    for (const auto& check : checks) {
        SCOPED_TRACE(check.name);
        EXPECT_EQ(control<QCheckBox>(&window, check.name)->text(), check.caption);
        EXPECT_EQ(control<QCheckBox>(&window, check.name)->isChecked(), check.checked);
    }
}

TEST(Preferences, BrowseButtonsFillTheirBoxesAndCancelledDialogsLeaveThem)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    Form4 window(kit.defaults(), kit.dir(), dialogs, nullptr);
    window.show();
    auto* emulator = control<QLineEdit>(&window, "Text1");
    auto* disk = control<QLineEdit>(&window, "Text3");

    QTest::mouseClick(control<QPushButton>(&window, "Command3"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(&window, "Command4"), Qt::LeftButton);
    EXPECT_EQ(emulator->text(), "");
    EXPECT_EQ(disk->text(), kit.dir() + "/dsk/");

    dialogs.queuePath("/opt/openmsx/bin/openmsx");
    QTest::mouseClick(control<QPushButton>(&window, "Command3"), Qt::LeftButton);
    dialogs.queuePath("/data/images/");
    QTest::mouseClick(control<QPushButton>(&window, "Command4"), Qt::LeftButton);
    EXPECT_EQ(emulator->text(), "/opt/openmsx/bin/openmsx");
    EXPECT_EQ(disk->text(), "/data/images/");

    ASSERT_EQ(dialogs.calls().size(), 4);
    const ScriptedDialogs::Call& open = dialogs.calls()[2];
    EXPECT_EQ(open.kind, ScriptedDialogs::Kind::Open);
    EXPECT_EQ(open.title, "Selectr emulator");
    EXPECT_EQ(open.initialDirectory, "");
    ASSERT_EQ(open.filters.size(), 2);
    EXPECT_TRUE(open.filters[0].executables) << "programs are listed by their executable bit";
    EXPECT_EQ(open.filters[1].patterns, QStringList{"*.exe"});
    EXPECT_EQ(dialogs.calls()[3].kind, ScriptedDialogs::Kind::Folder);
    EXPECT_EQ(dialogs.calls()[3].title, "Select Disk Image location");
}

TEST(Preferences, OkFillsTheDefaultsAndInvertsTheChooserSwitch)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    tarvel::ConfigSettings settings = kit.defaults();
    settings.DiskImagePath = "";
    Form4 window(settings, kit.dir(), dialogs, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    retype(control<QLineEdit>(&window, "Text2"), "");
    QTest::mouseClick(control<QCheckBox>(&window, "Check1"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>(&window, "Check3"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>(&window, "Chktooltip"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(&window, "Command1"), Qt::LeftButton);
    ASSERT_TRUE(window.accepted());
    const tarvel::ConfigSettings& stored = *window.accepted();
    EXPECT_EQ(stored.EmulatorCommandLine, "-diska %dsk -msx2");
    EXPECT_EQ(stored.DiskImagePath, kit.dir() + "/dsk/");
    EXPECT_TRUE(stored.RegisterTpj);
    EXPECT_FALSE(stored.AutoSave);
    EXPECT_FALSE(stored.ShowNewProjectDialog);
    EXPECT_FALSE(stored.AutoTooltip);
    EXPECT_EQ(stored.RecentFiles, settings.RecentFiles);
}

TEST(Preferences, EnterAnswersOkEscAndTheCloseBoxCancel)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    {
        Form4 window(kit.defaults(), kit.dir(), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text2"), "-machine turbor -diska %dsk");
        QTest::keyClick(control<QLineEdit>(&window, "Text2"), Qt::Key_Return);
        ASSERT_TRUE(window.accepted());
        EXPECT_EQ(window.accepted()->EmulatorCommandLine, "-machine turbor -diska %dsk");
    }
    {
        Form4 window(kit.defaults(), kit.dir(), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        retype(control<QLineEdit>(&window, "Text2"), "changed");
        QTest::keyClick(control<QLineEdit>(&window, "Text2"), Qt::Key_Escape);
        EXPECT_FALSE(window.accepted());
    }
    {
        Form4 window(kit.defaults(), kit.dir(), dialogs, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(control<QCheckBox>(&window, "Check2"), Qt::LeftButton);
        window.close();
        EXPECT_FALSE(window.accepted());
    }
}

TEST(Preferences, OkSavesTheSettingsFileAndCancelLeavesIt)
{
    TarvelKit kit;
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    const QByteArray before = testfiles::read(kit.path("config.cfg"));

    whenModalOpens([](QWidget* modal) {
        QTest::mouseClick(control<QCheckBox>(modal, "Check2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(modal, "Command2"), Qt::LeftButton);
    });
    form->findChild<QAction*>("mnupreferences")->trigger();
    EXPECT_EQ(testfiles::read(kit.path("config.cfg")), before);
    EXPECT_FALSE(form->Settings.AutoSave);

    bool seen = false;
    whenModalOpens(
        [](QWidget* modal) {
            QTest::mouseClick(control<QCheckBox>(modal, "Check2"), Qt::LeftButton);
            QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
        },
        &seen);
    form->findChild<QAction*>("mnupreferences")->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(form->Settings.AutoSave);
    tarvel::ConfigSettings written;
    ASSERT_TRUE(tarvel::DecodeSettings(testfiles::read(kit.path("config.cfg")), written));
    EXPECT_EQ(written, form->Settings);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

// The file-type registration as the main window runs it: at start and at every settings save.
// The desktop's database tools are stand-ins found first on PATH.
class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        tools.add("update-mime-database");
        tools.add("update-desktop-database");
        tools.release();
    }

    QTemporaryDir data;
    ScopedEnv dataHome{"XDG_DATA_HOME", QFile::encodeName(data.path())};
    StandIns tools;
    ScopedEnv path{"PATH", QFile::encodeName(tools.bin()) + ":" + qgetenv("PATH")};
    TarvelKit kit;
    ScriptedDialogs dialogs;

    QString desktopEntry() const { return data.filePath("applications/tarvel.desktop"); }
};

TEST_F(Registration, OffWritesNothingAndLeavesAnEarlierRegistration)
{
    auto form = kit.startForm(dialogs);
    EXPECT_TRUE(QDir(data.path()).isEmpty());

    testfiles::write(desktopEntry(), "an earlier registration");
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = false;
    kit.writeConfig(settings);
    auto again = kit.startForm(dialogs);
    again->SaveSettings();
    EXPECT_EQ(testfiles::read(desktopEntry()), "an earlier registration");
}

TEST_F(Registration, OnRegistersAtStartWithTheKitsProgramAndIcon)
{
    testfiles::write(kit.path("tarvel.png"), "kit icon");
    tarvel::ConfigSettings settings = kit.defaults();
    settings.ShowNewProjectDialog = false;
    settings.RegisterTpj = true;
    kit.writeConfig(settings);
    auto form = kit.startForm(dialogs);
    const QString entry = QString::fromUtf8(testfiles::read(desktopEntry()));
    EXPECT_TRUE(entry.contains("Exec=\"" + kit.dir() + "/tarvel\" %f\n")) << entry.toStdString();
    EXPECT_EQ(testfiles::read(data.filePath("icons/hicolor/64x64/apps/tarvel.png")), "kit icon");
    EXPECT_TRUE(QFile::exists(data.filePath("mime/packages/tarvel.xml")));
    EXPECT_TRUE(dialogs.calls().isEmpty());
    QStringList ran = tools.waitForLines(2);
    ran.sort();
    EXPECT_EQ(ran, (QStringList{"update-desktop-database " + data.filePath("applications"),
                                "update-mime-database " + data.filePath("mime")}));
}

TEST_F(Registration, TurningItOnInThePreferencesRegistersAndAFailureIsTold)
{
    auto form = kit.startForm(dialogs);
    whenModalOpens([](QWidget* modal) {
        QTest::mouseClick(control<QCheckBox>(modal, "Check1"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    form->findChild<QAction*>("mnupreferences")->trigger();
    EXPECT_TRUE(QFile::exists(desktopEntry()));
    EXPECT_TRUE(dialogs.calls().isEmpty());

    // A data folder that cannot take the files: the settings are saved, the user is told.
    QTemporaryDir other;
    testfiles::write(other.filePath("file"), "not a folder");
    ScopedEnv blocked("XDG_DATA_HOME", QFile::encodeName(other.filePath("file")));
    whenModalOpens([](QWidget* modal) {
        QTest::mouseClick(control<QPushButton>(modal, "Command1"), Qt::LeftButton);
    });
    form->findChild<QAction*>("mnupreferences")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("The .tpj file type could not be registered:"));
    EXPECT_EQ(dialogs.messages()[0].title, "Tarvel");
    tarvel::ConfigSettings written;
    ASSERT_TRUE(tarvel::DecodeSettings(testfiles::read(kit.path("config.cfg")), written));
    EXPECT_TRUE(written.RegisterTpj);
}
