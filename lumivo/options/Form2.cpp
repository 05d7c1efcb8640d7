#include "Form2.h"

#include "CommandLineView.h"
#include "launcher/BrmsxOptions.h"
#include "launcher/EmulatorCommand.h"
#include "launcher/HelpLabel.h"
#include "launcher/HelpLine.h"
#include "launcher/ModMSX.h"

#include "core/Paths.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/Windows.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumivo {

namespace {

constexpr int kTwipsPerPixel = 15;

// The MIDDLE DOT that the frame captions put between the outer dot and the bar.
QString framed(const char* caption, bool leadingBlank = false)
{
    return QString::fromUtf8(leadingBlank ? " \u00b7| " : "\u00b7| ") + QLatin1String(caption) +
           QString::fromUtf8(" |\u00b7");
}

// The resolution list shows codes 0..3 in their own places and the two high resolutions, codes
// 6 and 11, as entries 4 and 5.
int resolutionIndex(int code)
{
    if (code >= 0 && code <= 3)
        return code;
    if (code == 6)
        return 4;
    if (code == 11)
        return 5;
    return -1;
}

qint16 resolutionCode(int index)
{
    return static_cast<qint16>(index == 4 ? 6 : index == 5 ? 11 : index);
}

// Selects none of the buttons of a group, which a click never can.
void clearOptions(std::initializer_list<QRadioButton*> buttons)
{
    for (QRadioButton* button : buttons) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

const QString kMegaRamHelp = QStringLiteral("Select the size of the MegaRAM. Default value is 256kb.");
const QString kMapperHelp = QStringLiteral("Select the size of the Memory Mapper. Default value is 128kb.");
const QString kResolutionHelp = QStringLiteral(
    "Resolution of the emulator's screen. 320x200 (the default) works on every video board; 256x200, "
    "256x192 and 512x256 need a VGA board that can be programmed to those modes. 512x384 (Parrot) and "
    "512x385 (YJK) need a VESA 2 board; YJK also shows the MSX 2+ colour modes correctly.");
const QString kJoySensHelp = QStringLiteral(
    "Sensitivity of the PC joystick: how far the stick must move before the MSX sees a direction. "
    "Valid values go from 0 to 7; the default is 3. Only used with Joy, FakeJoy or SNESPad.");
const QString kComPortHelp = QStringLiteral(
    "The serial port (COM1 to COM4) where the null-modem link cable is plugged. Both computers, the "
    "server and the client, must choose the port their own end of the cable uses.");

struct HelpRow {
    const char* control;
    const char* text;
};

// The help of each control under the mouse; an empty text clears the status line.
const HelpRow kMouseOverHelp[] = {
    {"Option6", "Emulates an MSX 1 computer"},
    {"Option5", "Emulates an MSX 2 computer"},
    {"Option4", "Emulates an MSX 2+ computer"},
    {"Option1", "Normal speed: the Z80 runs at 3.57 MHz and the interrupts come 60 times a second, as on a "
                "real MSX. This is the default."},
    {"Option2", "Fast speed: the interrupts still come 60 times a second, but the Z80 runs as fast as this "
                "computer allows. Sound is off in this mode."},
    {"Option3", "Turbo speed: everything runs at top speed, keeping the normal ratio of emulated instructions "
                "per interrupt, so programs run faster but stay in step."},
    {"Frame3", "The slot where the RAM sits. Slot 2 is the default and suits most software; choose slot 3 for "
               "programs or cartridges that need slot 2 for themselves."},
    {"Check1", "This activates the support of the new brazilian hardware called ADVram"},
    {"Check2", "Uses the memory layout of Korean MSX machines. It needs the Korean ROM files in the "
               "emulator's folder."},
    {"Check11", "Waits for the vertical retrace of the monitor before drawing. The emulation gets slower, but "
                "scrolling and palette changes become smooth."},
    {"Check4", "Emulates a green monochrome monitor."},
    {"Check5", "Shows all sprites: the fifth sprite on a line is no longer hidden. There is less flicker, but "
               "some games show graphic errors."},
    {"Check6", "Turns off sprite collision detection. Some games run faster, others stop working properly."},
    {"Check7", "Emulates the exact access timing of the video chip: at least 50 clock cycles between two "
               "accesses. Useful for developers who test their timing; slower."},
    {"Check8", "Turns off the video cache. The emulation becomes much slower; use it only when the screen "
               "shows errors."},
    {"Check9", "Shows the emulation-time graph: five bars that tell how the time is shared between the CPU, "
               "the video, the sound and the rest of the emulator."},
    {"Check10", "Shows a bar graph of the amplitude of each sound channel of the PSG."},
    {"Check12", "Turns the sound engine off. Useful when the sound board gives trouble or for more speed."},
    {"Check3", "Emulates the SCC sound cartridge of Konami games. Off by default; works only with the "
               "mappers #0 and #2."},
    {"Check13", "Emulates the FM-PAC (YM2413) music cartridge. The emulation is limited and needs the "
                "FM-PAC ROM file as cartridge 1."},
    {"Check14", "Plays the sound through the PC speaker instead of a sound board."},
    {"Check15", "Emulates a joystick in port A with the PC joystick. The joystick is calibrated when the "
                "emulator starts: leave it centred."},
    {"Label6", nullptr},
    {"Text2", nullptr},
    {"Check16", "Maps the keyboard onto joystick port A: the cursor keys move, left Control and left Alt "
                "are the two fire buttons."},
    {"Check17", "Automatic fire: the space bar is pressed again and again by itself."},
    {"Check18", "Automatic run: the left and right keys are pressed alternately by themselves, for sports "
                "games."},
    {"Check20", "Uses a Super Nintendo pad on the first parallel port as the joystick in port A."},
    {"Option10", "Emulates the disk drive through the input/output ports D0h to D4h. This is the default and "
                 "works with every disk image."},
    {"Option9", "Emulates the disk drive through patches of the BDOS calls. Faster, but works only with "
                "720 KB disk images."},
    {"Check19", "Turns off the MMX optimisations, for processors that do not have MMX or when the screen "
                "shows errors."},
    {"Check21", "Turns off the detection of the mouse driver."},
    {"Check22", "Turns off the detection of the VESA driver."},
    {"Check23", "Turns off the emulation of the keyboard LEDs (Caps and Kana)."},
    {"Check24", "Turns off the use of the Pentium processor extensions and their detection."},
    {"Check25", "Enables the linking of two computers in a client/server scheme"},
    {"Option13", "This computer is the server: its monitor shows the MSX screen and its keyboard and "
                 "joystick control player one."},
    {"Option12", "This computer is the client: its keyboard acts as joystick B of the server's MSX."},
    {"Label7", nullptr},
    {"Label3", nullptr},
    {"Label4", nullptr},
    {"Label5", nullptr},
    // Places that clear the line.
    {"Form2", ""}, {"SSTab1", ""}, {"Frame1", ""}, {"Frame4", ""}, {"Frame6", ""}, {"Frame7", ""},
    {"Frame8", ""}, {"Frame9", ""}, {"Frame11", ""},
};

} // namespace

Form2::Form2(const QString& launcherFolder, common::Dialogs& dialogs, BrmsxOptions& options, QWidget* parent)
    : QWidget(parent, Qt::Window), m_launcherFolder(launcherFolder), m_dialogs(dialogs), m_brmsx(options)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("BR-MSX Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    describeControls();
    common::NameControlsForAccessibility(this);
    loadOptions();

    // Every change the user makes shows in the command line; these run after the handlers that
    // store the change, as they are connected later.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        connect(button, &QAbstractButton::clicked, this, &Form2::refreshCommandLine);
    for (QComboBox* list : findChildren<QComboBox*>())
        connect(list, &QComboBox::currentIndexChanged, this, &Form2::refreshCommandLine);
    connect(m_vscroll1, &QScrollBar::valueChanged, this, &Form2::refreshCommandLine);
}

void Form2::setCommandSource(std::function<CommandOutcome()> source)
{
    m_commandSource = std::move(source);
    refreshCommandLine();
}

void Form2::refreshCommandLine()
{
    if (m_commandSource)
        m_commandLine->display(m_commandSource());
}

QGroupBox* Form2::frame(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    new QVBoxLayout(box);
    parent->layout()->addWidget(box);
    return box;
}

QRadioButton* Form2::option(QGroupBox* frame, const char* name, const QString& caption)
{
    auto* button = new QRadioButton(caption, frame);
    button->setObjectName(QLatin1String(name));
    frame->layout()->addWidget(button);
    return button;
}

QCheckBox* Form2::check(QGroupBox* frame, const char* name, const QString& caption, bool BrmsxOptions::*field)
{
    auto* box = new QCheckBox(caption, frame);
    box->setObjectName(QLatin1String(name));
    frame->layout()->addWidget(box);
    // Stored on the click, so what the box shows is what is stored.
    connect(box, &QCheckBox::clicked, this, [this, field](bool ticked) { m_brmsx.*field = ticked; });
    m_checks.append({box, field});
    return box;
}

QComboBox* Form2::combo(QGroupBox* frame, const char* name, QLabel* label, const QStringList& items)
{
    auto* list = new QComboBox(frame);
    list->setObjectName(QLatin1String(name));
    list->addItems(items);
    list->setCurrentIndex(-1);
    label->setBuddy(list);
    frame->layout()->addWidget(label);
    frame->layout()->addWidget(list);
    return list;
}

void Form2::buildControls()
{
    auto* label2 = new QLabel(QStringLiteral("BR-MSX Path"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    label2->setBuddy(m_text1);
    auto* command1 = new QPushButton(QStringLiteral("..."), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setAccessibleName(QStringLiteral("Choose the BR-MSX folder"));
    connect(command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    auto* path = new QHBoxLayout;
    path->addWidget(label2);
    path->addWidget(m_text1, 1);
    path->addWidget(command1);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("SSTab1"));
    tabs->addTab(buildCpuTab(), QStringLiteral("CPU"));
    tabs->addTab(buildMemoryTab(), QStringLiteral("Memory"));
    tabs->addTab(buildVideoTab(), QStringLiteral("Video"));
    tabs->addTab(buildSoundTab(), QStringLiteral("Sound"));
    tabs->addTab(buildIoTab(), QStringLiteral("I/O"));
    tabs->addTab(buildMiscTab(), QStringLiteral("Misc"));
    tabs->setCurrentIndex(0);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::HLine);
    m_label1 = new HelpLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));

    m_commandLine = new CommandLineView("Label8", this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(path);
    layout->addWidget(tabs, 1);
    layout->addWidget(m_commandLine);
    layout->addWidget(shape1);
    layout->addWidget(m_label1);
    resize(6600 / kTwipsPerPixel, 6000 / kTwipsPerPixel);
}

QWidget* Form2::buildCpuTab()
{
    auto* tab = new QWidget;
    new QHBoxLayout(tab);
    QGroupBox* frame2 = frame(tab, "Frame2", framed("Computer"));
    m_option6 = option(frame2, "Option6", QStringLiteral("MSX"));
    m_option5 = option(frame2, "Option5", QStringLiteral("MSX 2"));
    m_option4 = option(frame2, "Option4", QStringLiteral("MSX 2+"));
    m_option6->setChecked(true);
    connect(m_option6, &QRadioButton::clicked, this, [this](bool on) {
        if (on)
            m_brmsx.Msx2 = m_brmsx.Msx2Plus = false;
    });
    connect(m_option5, &QRadioButton::clicked, this, [this](bool on) {
        if (on) {
            m_brmsx.Msx2 = true;
            m_brmsx.Msx2Plus = false;
        }
    });
    connect(m_option4, &QRadioButton::clicked, this, [this](bool on) {
        if (on) {
            m_brmsx.Msx2Plus = true;
            m_brmsx.Msx2 = false;
        }
    });

    QGroupBox* frame1 = frame(tab, "Frame1", framed("Speed"));
    m_option1 = option(frame1, "Option1", QStringLiteral("Normal"));
    m_option2 = option(frame1, "Option2", QStringLiteral("Fast"));
    m_option3 = option(frame1, "Option3", QStringLiteral("Turbo"));
    m_option1->setChecked(true);
    const auto speed = [this](QRadioButton* button, bool normal, bool fast, bool turbo) {
        connect(button, &QRadioButton::clicked, this, [this, normal, fast, turbo](bool on) {
            if (!on)
                return;
            m_brmsx.NormalSpeed = normal;
            m_brmsx.FastSpeed = fast;
            m_brmsx.TurboSpeed = turbo;
        });
    };
    speed(m_option1, true, false, false);
    speed(m_option2, false, true, false);
    speed(m_option3, false, false, true);
    check(frame1, "ChKCiel", QStringLiteral("Ciel (7Mhz)"), &BrmsxOptions::Ciel);
    return tab;
}

QWidget* Form2::buildMemoryTab()
{
    auto* tab = new QWidget;
    new QHBoxLayout(tab);
    QGroupBox* frame3 = frame(tab, "Frame3", framed("Ramslot"));
    m_option7 = option(frame3, "Option7", QStringLiteral("2"));
    m_option8 = option(frame3, "Option8", QStringLiteral("3"));
    m_option7->setChecked(true);
    connect(m_option7, &QRadioButton::clicked, this, [this](bool on) {
        if (on)
            m_brmsx.RamSlot = 2;
    });
    connect(m_option8, &QRadioButton::clicked, this, [this](bool on) {
        if (on)
            m_brmsx.RamSlot = 3;
    });

    QGroupBox* frame4 = frame(tab, "Frame4", framed("General Options"));
    auto* label3 = new QLabel(QStringLiteral("MegaRAM"), frame4);
    label3->setObjectName(QStringLiteral("Label3"));
    m_combo1 = combo(frame4, "Combo1", label3,
                     {QStringLiteral("128 Kb"), QStringLiteral("256 Kb"), QStringLiteral("512 Kb"),
                      QStringLiteral("    1 Mb"), QStringLiteral("    2 Mb")});
    auto* label4 = new QLabel(QStringLiteral("Memory Mapper"), frame4);
    label4->setObjectName(QStringLiteral("Label4"));
    m_combo2 = combo(frame4, "Combo2", label4,
                     {QStringLiteral("  64 Kb"), QStringLiteral("128 Kb"), QStringLiteral("256 Kb"),
                      QStringLiteral("512 Kb"), QStringLiteral("    1 Mb"), QStringLiteral("    2 Mb"),
                      QStringLiteral("    4 Mb")});
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_brmsx.MegaRamSize = static_cast<qint16>(index);
    });
    connect(m_combo2, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_brmsx.MapperSize = static_cast<qint16>(index);
    });
    check(frame4, "Check1", QStringLiteral("ADVram"), &BrmsxOptions::AdvRam);
    check(frame4, "Check2", QStringLiteral("Korean"), &BrmsxOptions::Korean);
    return tab;
}

QWidget* Form2::buildVideoTab()
{
    auto* tab = new QWidget;
    new QHBoxLayout(tab);
    QGroupBox* frame6 = frame(tab, "Frame6", framed("Appearance", true));
    auto* label5 = new QLabel(QStringLiteral("Resolution"), frame6);
    label5->setObjectName(QStringLiteral("Label5"));
    m_combo3 = combo(frame6, "Combo3", label5,
                     {QStringLiteral("320x200"), QStringLiteral("256x200"), QStringLiteral("512x256"),
                      QStringLiteral("256x192"), QStringLiteral("512x384 (Parrot)"), QStringLiteral("512x385 (YJK)")});
    connect(m_combo3, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_brmsx.Resolution = resolutionCode(index);
    });
    check(frame6, "Check11", QStringLiteral("VSync"), &BrmsxOptions::VSync);
    check(frame6, "Check4", QStringLiteral("Green"), &BrmsxOptions::Green);
    static_cast<QVBoxLayout*>(frame6->layout())->addStretch();

    QGroupBox* frame5 = frame(tab, "Frame5", framed("General Options"));
    check(frame5, "Check5", QStringLiteral("Allspr"), &BrmsxOptions::AllSprites);
    check(frame5, "Check6", QStringLiteral("NoSprCol"), &BrmsxOptions::NoSpriteCollision);
    check(frame5, "Check7", QStringLiteral("VDPTiming"), &BrmsxOptions::VdpTiming);
    check(frame5, "Check8", QStringLiteral("NoCache"), &BrmsxOptions::NoCache);
    check(frame5, "Check9", QStringLiteral("CPUGraph"), &BrmsxOptions::CpuGraph);
    check(frame5, "Check10", QStringLiteral("PSGGraph"), &BrmsxOptions::PsgGraph);
    check(frame5, "Check26", QStringLiteral("True V-Sync"), &BrmsxOptions::TrueVSync);
    return tab;
}

QWidget* Form2::buildSoundTab()
{
    auto* tab = new QWidget;
    new QHBoxLayout(tab);
    QGroupBox* frame7 = frame(tab, "Frame7", framed("Devices", true));
    check(frame7, "Check12", QStringLiteral("NoSound"), &BrmsxOptions::NoSound);
    check(frame7, "Check3", QStringLiteral("SCC"), &BrmsxOptions::Scc);
    check(frame7, "Check13", QStringLiteral("FMPac"), &BrmsxOptions::FmPac);
    check(frame7, "Check14", QStringLiteral("Speaker"), &BrmsxOptions::Speaker);
    return tab;
}

QWidget* Form2::buildIoTab()
{
    auto* tab = new QWidget;
    new QHBoxLayout(tab);
    QGroupBox* frame9 = frame(tab, "Frame9", framed("Keyboard and Joystick"));
    check(frame9, "Check15", QStringLiteral("Joy"), &BrmsxOptions::Joystick);
    auto* label6 = new QLabel(QStringLiteral("JoySens"), frame9);
    label6->setObjectName(QStringLiteral("Label6"));
    m_text2 = new QLineEdit(QStringLiteral("3"), frame9);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setReadOnly(true);
    m_text2->setMaximumWidth(4 * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 12);
    label6->setBuddy(m_text2);
    m_vscroll1 = new QScrollBar(Qt::Vertical, frame9);
    m_vscroll1->setObjectName(QStringLiteral("VScroll1"));
    m_vscroll1->setRange(0, 7);
    m_vscroll1->setValue(3);
    m_vscroll1->setFocusPolicy(Qt::StrongFocus);
    m_vscroll1->setAccessibleName(QStringLiteral("JoySens"));
    connect(m_vscroll1, &QScrollBar::valueChanged, this, [this](int value) {
        // Showing a stored value the bar cannot hold (it clamps to 0..7) is no change of it.
        if (m_loading)
            return;
        m_text2->setText(QString::number(value));
        m_brmsx.JoySensitivity = static_cast<qint16>(value);
        m_help->show(kJoySensHelp);
    });
    auto* sensitivity = new QHBoxLayout;
    sensitivity->addWidget(label6);
    sensitivity->addWidget(m_text2);
    sensitivity->addWidget(m_vscroll1);
    sensitivity->addStretch();
    static_cast<QVBoxLayout*>(frame9->layout())->addLayout(sensitivity);
    check(frame9, "Check16", QStringLiteral("FakeJoy"), &BrmsxOptions::FakeJoy);
    check(frame9, "Check17", QStringLiteral("AutoFire"), &BrmsxOptions::AutoFire);
    check(frame9, "Check18", QStringLiteral("AutoRun"), &BrmsxOptions::AutoRun);
    check(frame9, "Check20", QStringLiteral("SNESPad"), &BrmsxOptions::SnesPad);

    QGroupBox* frame8 = frame(tab, "Frame8", framed("Disk Access"));
    m_option10 = option(frame8, "Option10", QStringLiteral("DiskLow"));
    m_option9 = option(frame8, "Option9", QStringLiteral("DiskHigh"));
    m_option10->setChecked(true);
    static_cast<QVBoxLayout*>(frame8->layout())->addStretch();
    connect(m_option10, &QRadioButton::clicked, this, [this](bool on) {
        if (on) {
            m_brmsx.DiskLow = true;
            m_brmsx.DiskHigh = false;
        }
    });
    connect(m_option9, &QRadioButton::clicked, this, [this](bool on) {
        if (on) {
            m_brmsx.DiskHigh = true;
            m_brmsx.DiskLow = false;
        }
    });
    return tab;
}

QWidget* Form2::buildMiscTab()
{
    auto* tab = new QWidget;
    new QHBoxLayout(tab);
    QGroupBox* frame10 = frame(tab, "Frame10", framed("Control"));
    check(frame10, "Check19", QStringLiteral("NoMMX"), &BrmsxOptions::NoMmx);
    check(frame10, "Check21", QStringLiteral("NoMouse"), &BrmsxOptions::NoMouse);
    check(frame10, "Check22", QStringLiteral("NoVESA"), &BrmsxOptions::NoVesa);
    check(frame10, "Check23", QStringLiteral("NoLED"), &BrmsxOptions::NoLed);
    check(frame10, "Check24", QStringLiteral("NoPentium"), &BrmsxOptions::NoPentium);

    QGroupBox* frame11 = frame(tab, "Frame11", framed("Multiplayer"));
    m_check25 = check(frame11, "Check25", QStringLiteral("Use Multiplayer"), &BrmsxOptions::Multiplayer);
    connect(m_check25, &QCheckBox::clicked, this, &Form2::Check25_Click);
    m_option13 = option(frame11, "Option13", QStringLiteral("Server"));
    m_option12 = option(frame11, "Option12", QStringLiteral("Client"));
    m_option13->setChecked(true);
    connect(m_option13, &QRadioButton::clicked, this, [this](bool on) {
        if (on) {
            m_brmsx.MultiServer = true;
            m_brmsx.MultiClient = false;
        }
    });
    connect(m_option12, &QRadioButton::clicked, this, [this](bool on) {
        if (on) {
            m_brmsx.MultiClient = true;
            m_brmsx.MultiServer = false;
        }
    });
    m_label7 = new QLabel(QStringLiteral("COM Port"), frame11);
    m_label7->setObjectName(QStringLiteral("Label7"));
    m_combo4 = combo(frame11, "Combo4", m_label7,
                     {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    connect(m_combo4, &QComboBox::currentIndexChanged, this, [this] {
        Combo4_Store();
        if (!m_loading)
            m_help->show(kComPortHelp);
    });
    m_combo4->installEventFilter(this);
    enableMultiplayerControls(false);
    return tab;
}

void Form2::describeControls()
{
    m_help = new HelpLine(m_label1);
    for (const HelpRow& row : kMouseOverHelp) {
        QWidget* control = objectName() == QLatin1String(row.control)
                               ? this
                               : findChild<QWidget*>(QLatin1String(row.control));
        if (!control)
            continue;
        QString text = row.text ? QString::fromLatin1(row.text) : QString();
        if (!row.text) {
            // Labels and the sensitivity box carry the text of the list they name.
            const QString name = control->objectName();
            text = name == QLatin1String("Label3")   ? kMegaRamHelp
                   : name == QLatin1String("Label4") ? kMapperHelp
                   : name == QLatin1String("Label5") ? kResolutionHelp
                   : name == QLatin1String("Label7") ? kComPortHelp
                                                     : kJoySensHelp;
        }
        m_help->attach(control, text);
    }
    // Controls without a text of their own leave the line as it is when the pointer is over them;
    // the lists and the scroll bar explain themselves only when used.
    for (const char* name : {"ChKCiel", "Option7", "Option8", "Check26", "Text1", "Command1", "Label2", "Frame2",
                             "Frame5", "Frame10", "Combo1", "Combo2", "Combo3", "Combo4", "VScroll1"})
        m_help->quiet(findChild<QWidget*>(QLatin1String(name)));
    m_help->quiet(m_commandLine);
    m_help->attach(m_combo1, kMegaRamHelp, HelpLine::Moment::Focus);
    m_help->attach(m_combo2, kMapperHelp, HelpLine::Moment::Focus);
    m_help->attach(m_combo3, kResolutionHelp, HelpLine::Moment::Focus);
    connect(m_combo1, &QComboBox::activated, this, [this] { m_help->show(kMegaRamHelp); });
    connect(m_combo2, &QComboBox::activated, this, [this] { m_help->show(kMapperHelp); });
    connect(m_combo3, &QComboBox::activated, this, [this] { m_help->show(kResolutionHelp); });
    connect(m_combo4, &QComboBox::activated, this, [this] { m_help->show(kComPortHelp); });
}

void Form2::loadOptions()
{
    m_loading = true;
    if (common::FileExists(BrmsxOptionsPath(m_launcherFolder))) {
        const common::Result<BrmsxOptions> loaded = LoadBrmsxOptions(m_launcherFolder, m_brmsx);
        if (loaded)
            m_brmsx = loaded.value();
        else
            InitBrmsxOptions(m_brmsx, m_launcherFolder);
        m_text1->setText(m_brmsx.BrmsxFolder);

        // Selecting from code stores nothing (the handlers run on clicks); the stored values decide
        // what is shown.
        const BrmsxOptions stored = m_brmsx;
        if (!stored.NormalSpeed && !stored.FastSpeed && !stored.TurboSpeed)
            clearOptions({m_option1, m_option2, m_option3});
        if (stored.NormalSpeed)
            m_option1->setChecked(true);
        if (stored.FastSpeed)
            m_option2->setChecked(true);
        if (stored.TurboSpeed)
            m_option3->setChecked(true);

        m_option6->setChecked(true);
        if (stored.Msx2)
            m_option5->setChecked(true);
        if (stored.Msx2Plus)
            m_option4->setChecked(true);

        if (stored.RamSlot == 2)
            m_option7->setChecked(true);
        else if (stored.RamSlot == 3)
            m_option8->setChecked(true);
        else
            clearOptions({m_option7, m_option8});

        // A stored size the lists do not hold shows no choice and keeps the stored value.
        m_combo1->setCurrentIndex(stored.MegaRamSize >= 0 && stored.MegaRamSize < m_combo1->count() ? stored.MegaRamSize : -1);
        m_combo2->setCurrentIndex(stored.MapperSize >= 0 && stored.MapperSize < m_combo2->count() ? stored.MapperSize : -1);
        m_combo3->setCurrentIndex(resolutionIndex(stored.Resolution));

        // Check boxes are independent of each other; "Use Multiplayer" enables its group.
        for (const CheckField& check : std::as_const(m_checks))
            check.box->setChecked(stored.*(check.field));
        enableMultiplayerControls(stored.Multiplayer);

        if (!stored.DiskLow && !stored.DiskHigh)
            clearOptions({m_option10, m_option9});
        if (stored.DiskLow)
            m_option10->setChecked(true);
        if (stored.DiskHigh)
            m_option9->setChecked(true);

        m_text2->setText(QString::number(stored.JoySensitivity));
        m_vscroll1->setValue(stored.JoySensitivity);

        if (!stored.MultiServer && !stored.MultiClient)
            clearOptions({m_option13, m_option12});
        if (stored.MultiServer)
            m_option13->setChecked(true);
        if (stored.MultiClient)
            m_option12->setChecked(true);

        if (stored.ComPort > 0)
            m_combo4->setCurrentIndex(m_combo4->findText(QString::number(stored.ComPort)));
    } else {
        InitBrmsxOptions(m_brmsx, m_launcherFolder);
    }
    m_loading = false;
}

void Form2::enableMultiplayerControls(bool enabled)
{
    for (QWidget* control : {static_cast<QWidget*>(m_option12), static_cast<QWidget*>(m_option13),
                             static_cast<QWidget*>(m_label7), static_cast<QWidget*>(m_combo4)})
        control->setEnabled(enabled);
}

void Form2::Check25_Click(bool ticked)
{
    enableMultiplayerControls(ticked);
    m_brmsx.Multiplayer = ticked;
}

void Form2::Combo4_Store()
{
    m_brmsx.ComPort = static_cast<qint16>(m_combo4->currentIndex() + 1);
    refreshCommandLine();
}

void Form2::Command1_Click()
{
    QString folder = common::BrowseForFolder(m_dialogs, this, QStringLiteral("Where's BRMSX?"));
    if (folder.isEmpty())
        return;
    folder = common::AddBackslash(folder);
    if (!FindBrmsx(folder).isEmpty()) {
        m_text1->setText(folder);
        m_brmsx.BrmsxFolder = folder;
    } else {
        m_dialogs.message(this, QStringLiteral("BRMSX not found in this location!"), QStringLiteral("Error"),
                          common::Dialogs::Icon::Critical, common::Dialogs::Buttons::Ok);
    }
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the COM port list stores its choice; opening its popup is not leaving. Passing
    // through a list that shows no choice changes nothing: the stored port stays.
    if (watched == m_combo4 && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && m_combo4->currentIndex() >= 0)
        Combo4_Store();
    return QWidget::eventFilter(watched, event);
}

void Form2::closeEvent(QCloseEvent* event)
{
    if (m_text1->text().isEmpty()) {
        const common::Dialogs::Answer answer = m_dialogs.message(
            this,
            QStringLiteral("You have to specify a directory to run this emulator.\r\n"
                           "If You don't do this, you won't be able to run it. \r\n"
                           "Continue without choosing a path?"),
            QStringLiteral("ALERT"), common::Dialogs::Icon::Question, common::Dialogs::Buttons::YesNo);
        if (answer == common::Dialogs::Answer::No) {
            event->ignore();
            return;
        }
    }
    const common::Status saved = SaveBrmsxOptions(m_launcherFolder, m_brmsx);
    if (!saved) {
        // The window stays open with its changes unless the user chooses to close it anyway.
        const common::Dialogs::Answer answer = m_dialogs.message(
            this,
            QStringLiteral("The BR-MSX options could not be saved.\n%1\n\nClose without saving them?").arg(saved.error()),
            QStringLiteral("Error"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::YesNo);
        if (answer != common::Dialogs::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace lumivo
