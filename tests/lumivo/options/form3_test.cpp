#include "../QtPrinting.h"
#include "launcher/FileList.h"
#include "launcher/Form1.h"
#include "launcher/ModMSX.h"
#include "launcher/OpenMsxSettings.h"
#include "options/Form3.h"

#include "../MachineFolders.h"
#include "../ScopedEnvironment.h"
#include "ui/MachineMarks.h"
#include "../Pointer.h"
#include "../RecordingRunner.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace lumivo;

namespace {

// The openMSX Setup window as the user reaches it: openMSX chosen in the main window, then Config.
class Form3Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        testfiles::write(m_games.filePath(QStringLiteral("knight.rom")), "x");
        FrontEndConfig config{QStringLiteral("/"), m_games.path(), 1, 2};
        testfiles::write(FrontEndConfigPath(m_kit.path()), EncodeFrontEndConfig(config));
    }

    QPointer<Form3> openSetup()
    {
        m_main = std::make_unique<Form1>(m_kit.path(), m_dialogs, m_runner);
        m_main->show();
        pointer::click(m_main->findChild<QPushButton*>(QStringLiteral("BtnConfig")));
        return m_main->openMsxWindow();
    }

    template <typename T>
    static T* child(QWidget* form, const char* name)
    {
        T* found = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QStringList items(QComboBox* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    }

    QString settingsPath() const { return OpenMsxSettingsPath(m_kit.path()); }

    QTemporaryDir m_kit;
    QTemporaryDir m_games;
    ScriptedDialogs m_dialogs;
    RecordingRunner m_runner;
    std::unique_ptr<Form1> m_main;
};

} // namespace

TEST_F(Form3Test, MachinesOfOpenMsxAndOneThatIsGone)
{
    const MachineFolders machines({QStringLiteral("C-BIOS_MSX1"), QStringLiteral("Philips_NMS_8250")});
    testfiles::write(settingsPath(), EncodeOpenMsxSettings({QString(), QStringLiteral("Gone_MSX"), QString()}));
    auto setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    auto* machine = child<QComboBox>(setup, "Combo1");
    EXPECT_EQ(items(machine), (QStringList{"(openMSX default)", "C-BIOS_MSX1", "Philips_NMS_8250", "Gone_MSX (not found)"}));
    EXPECT_EQ(machine->currentText(), QStringLiteral("Gone_MSX (not found)"));
    const QString notes = child<QLabel>(setup, "Label1")->text();
    EXPECT_TRUE(notes.contains(QStringLiteral("openMSX has no machine \"Gone_MSX\""))) << notes.toStdString();
    EXPECT_TRUE(notes.contains(QStringLiteral("Debian package openmsx"))) << notes.toStdString();
    m_main->findChild<FileList*>(QStringLiteral("File1"))->setCurrentRow(0);
    EXPECT_EQ(child<QPlainTextEdit>(setup, "Text3")->toPlainText(),
              QStringLiteral("openMSX was not found. Install it (Debian package openmsx) or choose its program in "
                             "the openMSX Setup window (Config)."));

    // Choosing the default again drops the machine from the command.
    m_runner.installed << QStringLiteral("openmsx");
    machine->setFocus();
    QTest::keyClick(machine, Qt::Key_Home);
    EXPECT_EQ(m_main->openMsx().Machine, QString());
    EXPECT_FALSE(child<QLabel>(setup, "Label1")->text().contains(QStringLiteral("Gone_MSX")));
    EXPECT_EQ(items(machine).size(), 3);
    setup->close();
    const auto saved = LoadOpenMsxSettings(m_kit.path());
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->Machine, QString());
}

TEST_F(Form3Test, ChosenProgramAndArgumentsAreUsedAndSaved)
{
    const MachineFolders machines({QStringLiteral("C-BIOS_MSX1")});
    const QString program = testfiles::testToolsDir() + QStringLiteral("/lumivo/failing-emulator");
    auto setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    m_dialogs.queuePath(program);
    pointer::click(child<QPushButton>(setup, "Command1"));
    EXPECT_EQ(m_dialogs.calls().constLast().title, QStringLiteral("Where's openMSX?"));
    EXPECT_EQ(child<QLineEdit>(setup, "Text1")->text(), program);
    QTest::keyClicks(child<QLineEdit>(setup, "Text2"), QStringLiteral("-script \"$(rm -rf ~)\""));
    m_main->findChild<FileList*>(QStringLiteral("File1"))->setCurrentRow(0);
    EXPECT_EQ(child<QPlainTextEdit>(setup, "Text3")->toPlainText(),
              QStringLiteral("cd '%1/' && '%2' -script '$(rm -rf ~)' -cart '%1/knight.rom'").arg(m_games.path(), program));
    setup->close();
    const auto saved = LoadOpenMsxSettings(m_kit.path());
    ASSERT_TRUE(saved.ok());
    EXPECT_TRUE(saved.value() == (OpenMsxSettings{program, QString(), QStringLiteral("-script \"$(rm -rf ~)\"")}));

    // The program typed by hand, if it does not exist, is named when Run is pressed.
    setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    auto* text1 = child<QLineEdit>(setup, "Text1");
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("/no/such/openmsx"));
    m_main->findChild<FileList*>(QStringLiteral("File1"))->setCurrentRow(0);
    pointer::click(m_main->findChild<QPushButton*>(QStringLiteral("BtnRun")));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(QStringLiteral("\"/no/such/openmsx\" was not found")));
    EXPECT_TRUE(m_runner.starts.isEmpty());
}

// A damaged settings file gives the defaults and is not written over until the user changes
// something.
TEST_F(Form3Test, ADamagedFileIsKeptUntilTheUserSaves)
{
    const QByteArray damaged = QByteArray::fromHex("01 00 FF 7F 2F 75");
    testfiles::write(settingsPath(), damaged);
    auto setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    EXPECT_TRUE(m_main->openMsx() == OpenMsxSettings());
    EXPECT_TRUE(child<QLabel>(setup, "Label1")->text().contains(QStringLiteral("could not be read")));
    setup->close();
    m_main.reset();
    EXPECT_EQ(testfiles::read(settingsPath()), damaged);

    setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    QTest::keyClicks(child<QLineEdit>(setup, "Text2"), QStringLiteral("-ext debugdevice"));
    setup->close();
    const auto saved = LoadOpenMsxSettings(m_kit.path());
    ASSERT_TRUE(saved.ok()) << saved.error().toStdString();
    EXPECT_EQ(saved->Arguments, QStringLiteral("-ext debugdevice"));
    // Opened again, the window no longer reports damage.
    setup = openSetup();
    EXPECT_FALSE(child<QLabel>(setup, "Label1")->text().contains(QStringLiteral("could not be read")));
}

TEST_F(Form3Test, AFailedSaveKeepsTheWindowOpen)
{
    testfiles::write(settingsPath(), EncodeOpenMsxSettings({}));
    QFile::setPermissions(settingsPath(), QFile::ReadOwner);
    auto setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    QTest::keyClicks(child<QLineEdit>(setup, "Text2"), QStringLiteral("-ext x"));
    m_dialogs.queueAnswer(common::Dialogs::Answer::No);
    EXPECT_FALSE(setup->close());
    ASSERT_FALSE(setup.isNull());
    EXPECT_TRUE(setup->isVisible());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNo);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(QStringLiteral("openmsx.cfg")));
    EXPECT_EQ(m_main->openMsx().Arguments, QStringLiteral("-ext x"));

    QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(setup->close());
    EXPECT_EQ(testfiles::read(settingsPath()), EncodeOpenMsxSettings({QString(), QString(), QStringLiteral("-ext x")}));
}

// The machines are checked in the background and marked as openMSX answers; the default entry
// stays openMSX's own, and when no machine with a drive starts the window says what to do.
TEST_F(Form3Test, MachinesAreMarkedByWhetherTheyStart)
{
    QTemporaryDir data;
    testfiles::write(data.filePath("system/machines/A_Disk.xml"), "<msxconfig><devices><WD2793><drives>1</drives></WD2793></devices></msxconfig>");
    testfiles::write(data.filePath("system/machines/B_Plain.xml"), "<msxconfig><devices/></msxconfig>");
    const ScopedEnvironment system("OPENMSX_SYSTEM_DATA", QFile::encodeName(data.filePath("system")));
    const ScopedEnvironment user("OPENMSX_USER_DATA", QFile::encodeName(data.filePath("user")));
    const QString program = data.filePath("openmsx");
    testfiles::write(program, "#!/bin/sh\n[ \"$2\" = B_Plain ] && exit 0\necho \"Couldn't find ROM file for $2\"\nexit 1\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    testfiles::write(settingsPath(), EncodeOpenMsxSettings({program, QStringLiteral("A_Disk"), QString()}));

    auto setup = openSetup();
    ASSERT_FALSE(setup.isNull());
    auto* machine = child<QComboBox>(setup, "Combo1");
    EXPECT_EQ(items(machine), (QStringList{"(openMSX default)", "A_Disk", "B_Plain"}));
    auto* notes = child<QLabel>(setup, "Label1");
    ASSERT_TRUE(testfiles::waitUntil([&] { return notes->text().contains("systemroms"); }, 30000)) << notes->text().toStdString();
    EXPECT_EQ(machine->itemData(1, common::kMachineMarkRole).toString(), "ROMs missing, disk drive");
    EXPECT_EQ(machine->itemData(2, common::kMachineMarkRole).toString(), "starts, no disk drive");
    EXPECT_TRUE(notes->text().contains("A_Disk does not start: Couldn't find ROM file for A_Disk")) << notes->text().toStdString();
    EXPECT_TRUE(notes->text().contains("these would start: A_Disk.")) << notes->text().toStdString();
    EXPECT_EQ(machine->currentText(), "A_Disk") << "the user's choice is kept";
    EXPECT_EQ(machine->itemText(0), "(openMSX default)");
    EXPECT_TRUE(QFile::exists(MachineCheckCachePath(m_kit.path())));
}
