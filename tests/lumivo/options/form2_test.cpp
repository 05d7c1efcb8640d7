#include "../QtPrinting.h"
#include "launcher/BrmsxOptions.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/ModMSX.h"
#include "options/Form2.h"
#include "options/frmAbout.h"

#include "../Pointer.h"
#include "../RecordingRunner.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace lumivo;

namespace {

class Form2Test : public ::testing::Test {
protected:
    // The window deletes itself on close, so it is held by a guarded pointer.
    QPointer<Form2> open()
    {
        QPointer<Form2> form = new Form2(m_kit.path(), m_dialogs, m_options);
        form->show();
        return form;
    }

    void TearDown() override
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<Form2*>(window))
                delete window;
        }
    }

    void store(const BrmsxOptions& options)
    {
        testfiles::write(BrmsxOptionsPath(m_kit.path()), EncodeBrmsxOptions(options));
    }

    BrmsxOptions defaults(const QString& folder = QString())
    {
        BrmsxOptions o;
        InitBrmsxOptions(o, folder.isEmpty() ? m_kit.path() : folder);
        return o;
    }

    template <typename T>
    static T* child(QWidget* form, const char* name)
    {
        T* found = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir m_kit;
    ScriptedDialogs m_dialogs;
    BrmsxOptions m_options;
};

const QString kAlert = QStringLiteral("You have to specify a directory to run this emulator.\r\n"
                                      "If You don't do this, you won't be able to run it. \r\n"
                                      "Continue without choosing a path?");

} // namespace

TEST_F(Form2Test, CaptionsFramesAndListsAsDesigned)
{
    auto form = open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("BR-MSX Setup"));
    auto* tabs = child<QTabWidget>(form, "SSTab1");
    QStringList tabNames;
    for (int i = 0; i < tabs->count(); ++i)
        tabNames << tabs->tabText(i);
    EXPECT_EQ(tabNames, (QStringList{"CPU", "Memory", "Video", "Sound", "I/O", "Misc"}));
    EXPECT_EQ(tabs->currentIndex(), 0);

    const QString dot = QString(QChar(0x00B7));
    struct Frame {
        const char* name;
        QString caption;
    };
    const Frame frames[] = {
        {"Frame2", dot + "| Computer |" + dot}, {"Frame1", dot + "| Speed |" + dot},
        {"Frame3", dot + "| Ramslot |" + dot}, {"Frame4", dot + "| General Options |" + dot},
        {"Frame6", " " + dot + "| Appearance |" + dot}, {"Frame5", dot + "| General Options |" + dot},
        {"Frame7", " " + dot + "| Devices |" + dot}, {"Frame9", dot + "| Keyboard and Joystick |" + dot},
        {"Frame8", dot + "| Disk Access |" + dot}, {"Frame10", dot + "| Control |" + dot},
        {"Frame11", dot + "| Multiplayer |" + dot},
    };
    for (const Frame& frame : frames) {
        SCOPED_TRACE(frame.name);
        EXPECT_EQ(child<QGroupBox>(form, frame.name)->title(), frame.caption);
    }

    const auto items = [&](const char* name) {
        QStringList texts;
        auto* list = child<QComboBox>(form, name);
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    };
    EXPECT_EQ(items("Combo1"), (QStringList{"128 Kb", "256 Kb", "512 Kb", "    1 Mb", "    2 Mb"}));
    EXPECT_EQ(items("Combo2"), (QStringList{"  64 Kb", "128 Kb", "256 Kb", "512 Kb", "    1 Mb", "    2 Mb", "    4 Mb"}));
    EXPECT_EQ(items("Combo3"), (QStringList{"320x200", "256x200", "512x256", "256x192", "512x384 (Parrot)", "512x385 (YJK)"}));
    EXPECT_EQ(items("Combo4"), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(child<QPushButton>(form, "Command1")->text(), QStringLiteral("..."));
    EXPECT_EQ(child<QLabel>(form, "Label2")->text(), QStringLiteral("BR-MSX Path"));
    EXPECT_FALSE(child<QLineEdit>(form, "Text1")->accessibleName().isEmpty());
    EXPECT_FALSE(child<QComboBox>(form, "Combo4")->accessibleName().isEmpty());
}

TEST_F(Form2Test, FirstOpeningWithoutFileGivesDefaultsAndAsksOnClose)
{
    auto form = open();
    EXPECT_TRUE(m_options == defaults());
    EXPECT_EQ(m_options.BrmsxFolder, m_kit.path());
    EXPECT_TRUE(child<QLineEdit>(form, "Text1")->text().isEmpty());
    for (const char* list : {"Combo1", "Combo2", "Combo3", "Combo4"})
        EXPECT_EQ(child<QComboBox>(form, list)->currentIndex(), -1) << list;
    auto* server = child<QRadioButton>(form, "Option13");
    EXPECT_TRUE(server->isChecked());
    EXPECT_FALSE(server->isEnabled());
    EXPECT_EQ(child<QLineEdit>(form, "Text2")->text(), QStringLiteral("3"));

    child<QCheckBox>(form, "Check25")->click();
    EXPECT_TRUE(server->isEnabled());
    EXPECT_TRUE(child<QComboBox>(form, "Combo4")->isEnabled());
    EXPECT_TRUE(m_options.Multiplayer);
    EXPECT_FALSE(m_options.MultiServer);

    // No keeps the window open and saves nothing.
    m_dialogs.queueAnswer(common::Dialogs::Answer::No);
    EXPECT_FALSE(form->close());
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(child<QCheckBox>(form, "Check25")->isChecked());
    EXPECT_FALSE(QFile::exists(BrmsxOptionsPath(m_kit.path())));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].text, kAlert);
    EXPECT_EQ(m_dialogs.messages()[0].title, QStringLiteral("ALERT"));
    EXPECT_EQ(m_dialogs.messages()[0].icon, common::Dialogs::Icon::Question);
    EXPECT_EQ(m_dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNo);

    // Yes saves the defaults with the launcher's folder.
    m_dialogs.queueAnswer(common::Dialogs::Answer::Yes);
    EXPECT_TRUE(form->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    BrmsxOptions expected = defaults();
    expected.Multiplayer = true;
    EXPECT_EQ(testfiles::hex(testfiles::read(BrmsxOptionsPath(m_kit.path()))),
              testfiles::hex(EncodeBrmsxOptions(expected)));
}

TEST_F(Form2Test, LoadShowsTheStoredOptions)
{
    BrmsxOptions stored = defaults(QStringLiteral("/opt/brmsx/"));
    stored.NormalSpeed = false;
    stored.FastSpeed = true;
    stored.Msx2Plus = true;
    stored.Ciel = true;
    stored.RamSlot = 3;
    stored.MegaRamSize = 4;
    stored.MapperSize = 0;
    stored.Resolution = 6;
    stored.JoySensitivity = 5;
    stored.Joystick = true;
    stored.DiskLow = false;
    stored.DiskHigh = true;
    stored.Multiplayer = true;
    stored.MultiClient = true;
    stored.ComPort = 3;
    stored.TrueVSync = true;
    stored.NoPentium = true;
    store(stored);

    auto form = open();
    EXPECT_TRUE(m_options == stored) << testfiles::hex(EncodeBrmsxOptions(m_options)).toStdString();
    EXPECT_EQ(child<QLineEdit>(form, "Text1")->text(), QStringLiteral("/opt/brmsx/"));
    EXPECT_TRUE(child<QRadioButton>(form, "Option2")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(form, "Option4")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "ChKCiel")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(form, "Option8")->isChecked());
    EXPECT_EQ(child<QComboBox>(form, "Combo1")->currentIndex(), 4);
    EXPECT_EQ(child<QComboBox>(form, "Combo2")->currentIndex(), 0);
    EXPECT_EQ(child<QComboBox>(form, "Combo3")->currentText(), QStringLiteral("512x384 (Parrot)"));
    EXPECT_EQ(child<QLineEdit>(form, "Text2")->text(), QStringLiteral("5"));
    EXPECT_EQ(child<QScrollBar>(form, "VScroll1")->value(), 5);
    EXPECT_TRUE(child<QRadioButton>(form, "Option9")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "Check25")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(form, "Option12")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(form, "Option12")->isEnabled());
    EXPECT_EQ(child<QComboBox>(form, "Combo4")->currentText(), QStringLiteral("3"));
    EXPECT_TRUE(child<QCheckBox>(form, "Check26")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(form, "Check24")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(form, "Check23")->isChecked());

    // The controls write their fields at once.
    child<QComboBox>(form, "Combo3")->setCurrentIndex(3);
    EXPECT_EQ(m_options.Resolution, 3);
    child<QComboBox>(form, "Combo3")->setCurrentIndex(5);
    EXPECT_EQ(m_options.Resolution, 11);
    child<QScrollBar>(form, "VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_options.JoySensitivity, 6);
    EXPECT_EQ(child<QLineEdit>(form, "Text2")->text(), QStringLiteral("6"));
    child<QRadioButton>(form, "Option5")->click();
    EXPECT_TRUE(m_options.Msx2);
    EXPECT_FALSE(m_options.Msx2Plus);
    child<QRadioButton>(form, "Option13")->click();
    EXPECT_TRUE(m_options.MultiServer);
    EXPECT_FALSE(m_options.MultiClient);
    child<QRadioButton>(form, "Option7")->click();
    EXPECT_EQ(m_options.RamSlot, 2);
    child<QRadioButton>(form, "Option3")->click();
    EXPECT_TRUE(m_options.TurboSpeed);
    EXPECT_FALSE(m_options.FastSpeed);
    child<QComboBox>(form, "Combo4")->setCurrentIndex(0);
    EXPECT_EQ(m_options.ComPort, 1);

    // Closing with a folder shown saves without asking.
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(testfiles::read(BrmsxOptionsPath(m_kit.path())), EncodeBrmsxOptions(m_options));
}

TEST_F(Form2Test, EveryCheckBoxWritesItsField)
{
    struct Row {
        const char* box;
        bool BrmsxOptions::*field;
    };
    const Row rows[] = {
        {"ChKCiel", &BrmsxOptions::Ciel}, {"Check1", &BrmsxOptions::AdvRam}, {"Check2", &BrmsxOptions::Korean},
        {"Check11", &BrmsxOptions::VSync}, {"Check4", &BrmsxOptions::Green}, {"Check5", &BrmsxOptions::AllSprites},
        {"Check6", &BrmsxOptions::NoSpriteCollision}, {"Check7", &BrmsxOptions::VdpTiming},
        {"Check8", &BrmsxOptions::NoCache}, {"Check9", &BrmsxOptions::CpuGraph}, {"Check10", &BrmsxOptions::PsgGraph},
        {"Check26", &BrmsxOptions::TrueVSync}, {"Check12", &BrmsxOptions::NoSound}, {"Check3", &BrmsxOptions::Scc},
        {"Check13", &BrmsxOptions::FmPac}, {"Check14", &BrmsxOptions::Speaker}, {"Check15", &BrmsxOptions::Joystick},
        {"Check16", &BrmsxOptions::FakeJoy}, {"Check17", &BrmsxOptions::AutoFire}, {"Check18", &BrmsxOptions::AutoRun},
        {"Check20", &BrmsxOptions::SnesPad}, {"Check19", &BrmsxOptions::NoMmx}, {"Check21", &BrmsxOptions::NoMouse},
        {"Check22", &BrmsxOptions::NoVesa}, {"Check23", &BrmsxOptions::NoLed}, {"Check24", &BrmsxOptions::NoPentium},
        {"Check25", &BrmsxOptions::Multiplayer},
    };
    auto form = open();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.box);
        auto* box = child<QCheckBox>(form, row.box);
        EXPECT_FALSE(box->isChecked());
        const BrmsxOptions before = m_options;
        box->click();
        EXPECT_TRUE(m_options.*row.field);
        BrmsxOptions onlyThat = before;
        onlyThat.*row.field = true;
        EXPECT_TRUE(m_options == onlyThat); // no other field moved
        box->click();
        EXPECT_FALSE(m_options.*row.field);
    }
}

// Values the controls cannot show are kept, on disk too, until the user changes that control:
// opening, passing through the controls with Tab and closing changes nothing.
TEST_F(Form2Test, ValuesOutsideTheControlsSurviveOpenAndClose)
{
    BrmsxOptions stored = defaults(QStringLiteral("/opt/brmsx"));
    stored.MegaRamSize = 9;
    stored.MapperSize = -4;
    stored.Resolution = 5;
    stored.ComPort = 7;
    stored.RamSlot = 1;
    stored.JoySensitivity = 12;
    stored.Multiplayer = true;
    stored.NormalSpeed = false;
    stored.DiskLow = false;
    store(stored);
    const QByteArray before = testfiles::read(BrmsxOptionsPath(m_kit.path()));
    auto form = open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    for (const char* list : {"Combo1", "Combo2", "Combo3", "Combo4"})
        EXPECT_EQ(child<QComboBox>(form, list)->currentIndex(), -1) << list;
    for (const char* option : {"Option1", "Option2", "Option3", "Option7", "Option8", "Option9", "Option10"})
        EXPECT_FALSE(child<QRadioButton>(form, option)->isChecked()) << option;
    EXPECT_EQ(child<QLineEdit>(form, "Text2")->text(), QStringLiteral("12"));

    // Tab through every control of every page.
    auto* tabs = child<QTabWidget>(form, "SSTab1");
    for (int page = 0; page < tabs->count(); ++page) {
        pointer::click(tabs->tabBar(), tabs->tabBar()->tabRect(page).center());
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form.data(), Qt::Key_Tab);
    }
    EXPECT_EQ(m_options.ComPort, 7);
    EXPECT_EQ(m_options.JoySensitivity, 12);
    form->close();
    EXPECT_EQ(testfiles::hex(testfiles::read(BrmsxOptionsPath(m_kit.path()))), testfiles::hex(before));
}

TEST_F(Form2Test, FolderPickerChecksForBrmsx)
{
    QTemporaryDir empty;
    QTemporaryDir emulator;
    testfiles::write(emulator.filePath(QStringLiteral("brmsx.exe")), QByteArray("MZ"));
    store(defaults(QStringLiteral("/old/")));
    auto form = open();
    auto* pick = child<QPushButton>(form, "Command1");

    pick->click(); // cancelled
    m_dialogs.queuePath(empty.path());
    pick->click();
    EXPECT_EQ(m_options.BrmsxFolder, QStringLiteral("/old/"));
    EXPECT_EQ(child<QLineEdit>(form, "Text1")->text(), QStringLiteral("/old/"));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].text, QStringLiteral("BRMSX not found in this location!"));
    EXPECT_EQ(m_dialogs.messages()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(m_dialogs.messages()[0].icon, common::Dialogs::Icon::Critical);
    EXPECT_EQ(m_dialogs.calls()[0].title, QStringLiteral("Where's BRMSX?"));

    m_dialogs.queuePath(emulator.path());
    pick->click();
    EXPECT_EQ(m_options.BrmsxFolder, emulator.path() + QStringLiteral("/"));
    EXPECT_EQ(child<QLineEdit>(form, "Text1")->text(), emulator.path() + QStringLiteral("/"));
    EXPECT_EQ(m_dialogs.messages().size(), 1);
}

TEST_F(Form2Test, HelpTexts)
{
    auto form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    auto* line = child<QLabel>(form, "Label1");
    auto* tabs = child<QTabWidget>(form, "SSTab1");
    // The pointer onto the control (its tab shown first), or onto the bare background of a frame.
    const auto hover = [&](const char* name) {
        QWidget* target = child<QWidget>(form, name);
        for (QWidget* page = target; page; page = page->parentWidget()) {
            if (tabs->indexOf(page) >= 0)
                tabs->setCurrentWidget(page);
        }
        if (target->isWindow() || qobject_cast<QGroupBox*>(target))
            EXPECT_TRUE(pointer::moveToBackground(target)) << name;
        else
            pointer::moveTo(target);
        return line->text();
    };
    EXPECT_EQ(hover("Option6"), QStringLiteral("Emulates an MSX 1 computer"));
    EXPECT_EQ(hover("Option5"), QStringLiteral("Emulates an MSX 2 computer"));
    EXPECT_EQ(hover("Option4"), QStringLiteral("Emulates an MSX 2+ computer"));
    EXPECT_EQ(hover("Check1"), QStringLiteral("This activates the support of the new brazilian hardware called ADVram"));
    EXPECT_EQ(hover("Check25"), QStringLiteral("Enables the linking of two computers in a client/server scheme"));
    EXPECT_EQ(hover("Label3"), QStringLiteral("Select the size of the MegaRAM. Default value is 256kb."));
    EXPECT_EQ(hover("Label4"), QStringLiteral("Select the size of the Memory Mapper. Default value is 128kb."));
    // Controls without a text leave the line; the frames listed as empty clear it.
    for (const char* quiet : {"ChKCiel", "Option7", "Check26", "Text1", "Command1", "Frame2", "Frame10"})
        EXPECT_EQ(hover(quiet), QStringLiteral("Select the size of the Memory Mapper. Default value is 128kb.")) << quiet;
    EXPECT_EQ(hover("Frame4"), QString());

    // Every paragraph is there and distinct.
    QStringList paragraphs;
    for (const char* name : {"Option1", "Option2", "Option3", "Frame3", "Check2", "Label5", "Check11", "Check4",
                             "Check5", "Check6", "Check7", "Check8", "Check9", "Check10", "Check12", "Check3",
                             "Check13", "Check14", "Check15", "Label6", "Check16", "Check17", "Check18", "Check20",
                             "Option10", "Option9", "Check19", "Check21", "Check22", "Check23", "Check24",
                             "Option13", "Option12", "Label7"}) {
        hover("Frame1");
        const QString text = hover(name);
        EXPECT_GT(text.size(), 20) << name;
        paragraphs << text;
    }
    EXPECT_EQ(paragraphs.removeDuplicates(), 0);
    EXPECT_EQ(hover("Text2"), hover("Label6"));

    // The lists explain themselves when they get the focus or are chosen from.
    hover("Frame1");
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(child<QComboBox>(form, "Combo1"), &focus);
    EXPECT_EQ(line->text(), QStringLiteral("Select the size of the MegaRAM. Default value is 256kb."));
    child<QScrollBar>(form, "VScroll1")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(line->text(), hover("Label6"));
}

TEST(FrmAbout, ShowsNameVersionAndStartsSystemInfoWhenThereIsOne)
{
    ScriptedDialogs dialogs;
    RecordingRunner runner;
    QPointer<frmAbout> about = new frmAbout(dialogs, runner);
    about->show();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Lumivo!"));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Lumivo!"));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              QStringLiteral("Version %1.%2.%3").arg(LUMIVO_VERSION_MAJOR).arg(LUMIVO_VERSION_MINOR).arg(LUMIVO_VERSION_PATCH));
    EXPECT_TRUE(about->findChild<QLabel*>(QStringLiteral("lblDescription"))->text().endsWith(QStringLiteral("\n\nMSX 43V3R!")));
    EXPECT_TRUE(about->findChild<QLabel*>(QStringLiteral("lblDisclaimer"))->text().startsWith(
        QStringLiteral("Warning: This programs is given without any kind of warranty")));
    auto* sysInfo = about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    EXPECT_EQ(sysInfo->text(), QStringLiteral("&System Info..."));

    sysInfo->click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("Lumivo"));
    EXPECT_EQ(dialogs.messages()[0].icon, common::Dialogs::Icon::None);
    EXPECT_TRUE(runner.starts.isEmpty());

    runner.installed << QStringLiteral("hardinfo");
    sysInfo->click();
    ASSERT_EQ(runner.starts.size(), 1);
    EXPECT_EQ(runner.starts[0].program, QStringLiteral("/usr/games/hardinfo"));
    EXPECT_EQ(dialogs.messages().size(), 1);

    about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

// A click on the option button that is already shown selected stores what that button means.
TEST_F(Form2Test, AClickOnTheSelectedOptionButtonIsStored)
{
    // First opening: "Server" is shown selected while MultiServer is still False.
    {
        auto form = open();
        child<QTabWidget>(form, "SSTab1")->setCurrentIndex(5);
        pointer::click(child<QCheckBox>(form, "Check25"));
        pointer::click(child<QRadioButton>(form, "Option13"));
        EXPECT_TRUE(m_options.Multiplayer);
        EXPECT_TRUE(m_options.MultiServer);
        EXPECT_FALSE(m_options.MultiClient);
        EXPECT_TRUE(BrmsxOptionArguments(m_options).contains(QStringLiteral("-server")));
        delete form;
    }

    // A stored record with both buttons of a group set shows the later one; a click on it clears
    // the other field.
    struct Row {
        const char* button;
        int tab;
        std::function<void(BrmsxOptions&)> store;
        std::function<bool(const BrmsxOptions&)> expected;
    };
    const Row rows[] = {
        {"Option4", 0, [](BrmsxOptions& o) { o.Msx2 = o.Msx2Plus = true; },
         [](const BrmsxOptions& o) { return o.Msx2Plus && !o.Msx2; }},
        {"Option3", 0, [](BrmsxOptions& o) { o.NormalSpeed = o.FastSpeed = o.TurboSpeed = true; },
         [](const BrmsxOptions& o) { return o.TurboSpeed && !o.FastSpeed && !o.NormalSpeed; }},
        {"Option9", 4, [](BrmsxOptions& o) { o.DiskLow = o.DiskHigh = true; },
         [](const BrmsxOptions& o) { return o.DiskHigh && !o.DiskLow; }},
        {"Option12", 5, [](BrmsxOptions& o) { o.Multiplayer = o.MultiServer = o.MultiClient = true; },
         [](const BrmsxOptions& o) { return o.MultiClient && !o.MultiServer; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        BrmsxOptions stored = defaults(QStringLiteral("/opt/brmsx"));
        row.store(stored);
        store(stored);
        auto form = open();
        child<QTabWidget>(form, "SSTab1")->setCurrentIndex(row.tab);
        auto* button = child<QRadioButton>(form, row.button);
        ASSERT_TRUE(button->isChecked());
        pointer::click(button);
        EXPECT_TRUE(row.expected(m_options));
        delete form;
    }
}

// The pointer moving from a control onto a frame listed as empty clears the line; onto a frame
// without a text it leaves the line alone.
TEST_F(Form2Test, HelpLineFollowsThePointer)
{
    auto form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    auto* line = child<QLabel>(form, "Label1");
    auto* tabs = child<QTabWidget>(form, "SSTab1");

    tabs->setCurrentIndex(1);
    pointer::moveTo(child<QCheckBox>(form, "Check1"));
    EXPECT_EQ(line->text(), QStringLiteral("This activates the support of the new brazilian hardware called ADVram"));
    ASSERT_TRUE(pointer::moveToBackground(child<QGroupBox>(form, "Frame4")));
    EXPECT_EQ(line->text(), QString());

    tabs->setCurrentIndex(5);
    pointer::moveTo(child<QCheckBox>(form, "Check25"));
    EXPECT_EQ(line->text(), QStringLiteral("Enables the linking of two computers in a client/server scheme"));
    ASSERT_TRUE(pointer::moveToBackground(child<QGroupBox>(form, "Frame10")));
    EXPECT_EQ(line->text(), QStringLiteral("Enables the linking of two computers in a client/server scheme"));
    ASSERT_TRUE(pointer::moveToBackground(form));
    EXPECT_EQ(line->text(), QString());

    tabs->setCurrentIndex(0);
    pointer::moveTo(child<QRadioButton>(form, "Option6"));
    EXPECT_EQ(line->text(), QStringLiteral("Emulates an MSX 1 computer"));
    ASSERT_TRUE(pointer::moveToBackground(child<QGroupBox>(form, "Frame1")));
    EXPECT_EQ(line->text(), QString());
}

// A save that fails keeps the window open with its changes; the user may still close it.
TEST_F(Form2Test, AFailedSaveKeepsTheWindowOpen)
{
    const BrmsxOptions stored = defaults(QStringLiteral("/opt/brmsx"));
    store(stored);
    const QString path = BrmsxOptionsPath(m_kit.path());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    auto form = open();
    pointer::click(child<QCheckBox>(form, "ChKCiel"));

    m_dialogs.queueAnswer(common::Dialogs::Answer::No);
    EXPECT_FALSE(form->close());
    ASSERT_FALSE(form.isNull());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(m_dialogs.messages()[0].buttons, common::Dialogs::Buttons::YesNo);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(QStringLiteral("brmsx.cfg")));
    EXPECT_EQ(testfiles::read(path), EncodeBrmsxOptions(stored));
    EXPECT_TRUE(m_options.Ciel);

    // Once the file can be written, closing saves.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(testfiles::read(path), EncodeBrmsxOptions(m_options));

    // Yes closes without saving.
    QFile::setPermissions(path, QFile::ReadOwner);
    auto again = open();
    m_dialogs.clear();
    m_dialogs.queueAnswer(common::Dialogs::Answer::Yes);
    EXPECT_TRUE(again->close());
    EXPECT_EQ(m_dialogs.messages().size(), 1);
}

// brmsx.exe is found whatever the letter case of its name (copies from FAT media are upper case).
TEST_F(Form2Test, FolderPickerFindsBrmsxInAnyLetterCase)
{
    QTemporaryDir emulator;
    testfiles::write(emulator.filePath(QStringLiteral("BRMSX.EXE")), QByteArray("MZ"));
    store(defaults(QStringLiteral("/old/")));
    auto form = open();
    m_dialogs.queuePath(emulator.path());
    pointer::click(child<QPushButton>(form, "Command1"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(m_options.BrmsxFolder, emulator.path() + QStringLiteral("/"));
}

// Whatever text the help line shows, the tabs and their controls stay where they are, so a click
// aimed at a box while a long text shows hits that box.
TEST_F(Form2Test, HelpTextsMoveNothing)
{
    auto form = open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    auto* line = child<QLabel>(form, "Label1");
    auto* tabs = child<QTabWidget>(form, "SSTab1");
    const QRect tabsAt = tabs->geometry();
    const QRect lineAt = line->geometry();
    QSet<QString> shown;
    for (int page = 0; page < tabs->count(); ++page) {
        pointer::click(tabs->tabBar(), tabs->tabBar()->tabRect(page).center());
        for (QWidget* control : tabs->widget(page)->findChildren<QWidget*>()) {
            if (control->toolTip().isEmpty())
                continue;
            SCOPED_TRACE(control->objectName().toStdString());
            pointer::moveTo(control);
            shown.insert(line->text());
            QApplication::processEvents(); // the layout follows a new text on the next pass
            EXPECT_EQ(tabs->geometry(), tabsAt);
            EXPECT_EQ(line->geometry(), lineAt);
        }
    }
    EXPECT_GT(shown.size(), 25);
}
