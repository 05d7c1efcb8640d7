#include "Form1.h"

#include "EmulatorCommand.h"
#include "FileList.h"
#include "FolderCheck.h"
#include "FolderList.h"
#include "HelpLabel.h"
#include "HelpLine.h"
#include "ImageKind.h"
#include "ModMSX.h"
#include "OpenMsxCommand.h"
#include "ProgramRunner.h"
#include "RunFailure.h"
#include "options/Form2.h"
#include "options/Form3.h"
#include "options/frmAbout.h"

#include "core/OpenMsxMachines.h"
#include "core/RunWatch.h"

#include "core/Paths.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumivo {

namespace {

constexpr int kTwipsPerPixel = 15;
const QString kRoot = QStringLiteral("/");

// The drives of this system: the roots of the mounted volumes, "/" first.
QStringList volumeRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && root != kRoot && QFileInfo(root).isDir())
            roots.append(root);
    }
    roots.sort();
    roots.removeDuplicates();
    roots.prepend(kRoot);
    return roots;
}

// The folder itself when it exists, else its nearest existing ancestor, else "/".
QString existingFolder(const QString& folder)
{
    if (!QDir::isAbsolutePath(folder))
        return kRoot;
    QString path = QDir::cleanPath(folder);
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return kRoot;
        path = parent;
    }
    return path;
}

// The root of the volume that holds `path`, as the drive list names it.
QString volumeRoot(const QString& path)
{
    const QStorageInfo volume(path);
    return volume.isValid() ? volume.rootPath() : kRoot;
}

// A typed path: "~" stands for the home folder, and a relative path starts at `base`.
QString expandTypedPath(QString typed, const QString& base)
{
    typed = typed.trimmed();
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/")))
        typed = QDir::homePath() + typed.mid(1);
    return QDir::cleanPath(QDir(base).absoluteFilePath(typed));
}

} // namespace

Form1::Form1(const QString& launcherFolder, common::Dialogs& dialogs, ProgramRunner& runner, QWidget* parent)
    : Form1(common::PortableFolders(launcherFolder), dialogs, runner, parent)
{
}

Form1::Form1(const common::AppFolders& folders, common::Dialogs& dialogs, ProgramRunner& runner, QWidget* parent)
    : QWidget(parent), m_folders(folders), m_launcherFolder(folders.settings), m_runFolder(folders.state),
      m_dialogs(dialogs), m_runner(runner),
      m_quickFailureMs(common::RunWatch::kQuickFailureMs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("[LUMIVO!]"));
    buildControls();
    describeControls();
    common::NameControlsForAccessibility(this);
    startUp();
}

Form1::~Form1() = default;

Form2* Form1::optionsWindow() const
{
    return m_form2.data();
}

frmAbout* Form1::aboutWindow() const
{
    return m_about.data();
}

void Form1::buildControls()
{
    auto* banner = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* image = new QLabel(i == 0 ? QStringLiteral("LUMIVO!") : QStringLiteral("MSX launcher"), this);
        image->setObjectName(QStringLiteral("Image1(%1)").arg(i));
        QFont font = image->font();
        font.setBold(true);
        font.setPointSize(font.pointSize() + (i == 0 ? 10 : 2));
        image->setFont(font);
        banner->addWidget(image, 0, i == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }

    auto* frmRoms = new QGroupBox(QStringLiteral("- --[ Programs ]-- -"), this);
    frmRoms->setObjectName(QStringLiteral("FrmRoms"));
    auto* kinds = new QHBoxLayout;
    for (int i = 0; i < ImageKindCount; ++i) {
        m_option5[i] = new QRadioButton(ImageKindCaption(i), frmRoms);
        m_option5[i]->setObjectName(QStringLiteral("Option5(%1)").arg(i));
        kinds->addWidget(m_option5[i]);
    }
    kinds->addStretch();
    m_option5[KindDsk]->setChecked(true);

    m_drive1 = new QComboBox(frmRoms);
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    for (const QString& root : volumeRoots())
        m_drive1->addItem(root, root);
    m_txtPath = new QLineEdit(frmRoms);
    m_txtPath->setObjectName(QStringLiteral("TxtPath"));
    m_txtPath->setAccessibleName(QStringLiteral("Go to folder"));
    m_txtPath->setPlaceholderText(QStringLiteral("Type or paste a folder or file, then press Enter"));
    m_dir1 = new FolderList(frmRoms);
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_file1 = new FileList(frmRoms);
    m_file1->setObjectName(QStringLiteral("File1"));
    m_file1->setPattern(QStringLiteral("*.rom;*.dsk;*.cas"));
    m_btnRun = new QPushButton(QStringLiteral("Run"), frmRoms);
    m_btnRun->setObjectName(QStringLiteral("BtnRun"));

    auto* browser = new QGridLayout;
    browser->addWidget(m_txtPath, 0, 0, 1, 2);
    browser->addWidget(m_drive1, 1, 0);
    browser->addWidget(m_dir1, 2, 0);
    browser->addWidget(m_file1, 1, 1, 2, 1);
    auto* roms = new QVBoxLayout(frmRoms);
    roms->addLayout(kinds);
    roms->addLayout(browser);
    roms->addWidget(m_btnRun);

    auto* frmEmulator = new QGroupBox(QStringLiteral("---[ Emulator ]-- -"), this);
    frmEmulator->setObjectName(QStringLiteral("FrmEmulator"));
    m_option1 = new QRadioButton(QStringLiteral("BR-MSX"), frmEmulator);
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option1->setChecked(true);
    m_option3 = new QRadioButton(QStringLiteral("F-MSX"), frmEmulator);
    m_option3->setObjectName(QStringLiteral("Option3"));
    m_option4 = new QRadioButton(QStringLiteral("openMSX"), frmEmulator);
    m_option4->setObjectName(QStringLiteral("Option4"));
    m_btnConfig = new QPushButton(QStringLiteral("Config"), frmEmulator);
    m_btnConfig->setObjectName(QStringLiteral("BtnConfig"));
    // A label without behaviour, kept for its place; it has nothing to say.
    auto* btnCfg = new QLabel(frmEmulator);
    btnCfg->setObjectName(QStringLiteral("BtnCfg"));
    auto* emulator = new QHBoxLayout(frmEmulator);
    emulator->addWidget(m_option1);
    emulator->addWidget(m_option3);
    emulator->addWidget(m_option4);
    emulator->addStretch();
    emulator->addWidget(btnCfg);
    emulator->addWidget(m_btnConfig);
    // Choices are stored on the click, which a click on the button already selected also gives.
    connect(m_option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(m_option3, &QRadioButton::clicked, this, &Form1::Option3_Click);
    connect(m_option4, &QRadioButton::clicked, this, &Form1::Option4_Click);

    m_btnAbout = new QToolButton(this);
    m_btnAbout->setObjectName(QStringLiteral("BtnAbout"));
    m_btnAbout->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    m_btnAbout->setAccessibleName(QStringLiteral("About"));
    m_btnAbout->setFocusPolicy(Qt::StrongFocus);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(frmEmulator, 1);
    bottom->addWidget(m_btnAbout, 0, Qt::AlignBottom);

    auto* shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::HLine);
    m_label1 = new HelpLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));

    m_drive1->setAccessibleName(QStringLiteral("Drive"));
    m_dir1->setAccessibleName(QStringLiteral("Folder"));
    m_file1->setAccessibleName(QStringLiteral("Files"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(banner);
    layout->addWidget(frmRoms, 1);
    layout->addLayout(bottom);
    layout->addWidget(shape1);
    layout->addWidget(m_label1);
    resize(7200 / kTwipsPerPixel, 7000 / kTwipsPerPixel);

    for (int i = 0; i < ImageKindCount; ++i)
        connect(m_option5[i], &QRadioButton::clicked, this, [this, i] { Option5_Click(i); });
    connect(m_drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(m_dir1, &FolderList::pathChanged, this, &Form1::Dir1_Change);
    connect(m_txtPath, &QLineEdit::returnPressed, this, &Form1::TxtPath_Enter);
    connect(m_dir1, &FolderList::currentFolderChanged, this, &Form1::selectionChanged);
    connect(m_file1, &QListWidget::itemSelectionChanged, this, &Form1::selectionChanged);
    connect(m_btnRun, &QPushButton::clicked, this, &Form1::BtnRun_Click);
    connect(m_btnConfig, &QPushButton::clicked, this, &Form1::BtnConfig_Click);
    connect(m_btnAbout, &QToolButton::clicked, this, &Form1::BtnAbout_Click);
}

void Form1::describeControls()
{
    m_help = new HelpLine(m_label1);
    m_help->attach(m_btnAbout, QStringLiteral("About this"));
    m_help->attach(m_btnConfig, QStringLiteral("Click this button to setup the options for the chosen emulator"));
    const QString runFile = QStringLiteral("Click here to run your chosen program");
    const QString runFileOrFolder = QStringLiteral("Click here to run your chosen program or directory");
    m_help->attach(
        m_btnRun, [this, runFile, runFileOrFolder] { return m_option3->isChecked() ? runFile : runFileOrFolder; },
        {runFile, runFileOrFolder});
    m_help->attach(m_dir1, QStringLiteral("Here you choose your directory where your MSX files are. If you are "
                                          "running them on BR-MSX you can also run MSX bin files directly from a "
                                          "directory"));
    m_help->attach(m_file1, QStringLiteral("Click one of those files and then click in RUN to execute it in the emulator"));
    m_help->attach(m_option1, QStringLiteral("This Selects the BR-MSX as your emulator"));
    m_help->attach(m_option3, QStringLiteral("This Selects the F-MSX as your emulator"));
    m_help->attach(m_option4, QStringLiteral("Selects openMSX as your emulator. It runs on Linux and "
                                                   "brings free system ROMs (Debian package openmsx)."));
    m_help->attach(m_option5[KindDsk], QStringLiteral("Select an image file of real MSX disk to run in the emulator."));
    m_help->attach(m_option5[KindRom], QStringLiteral("Select an image file of the MSX memory."));
    m_help->attach(m_option5[KindCas], QStringLiteral("Select an image file of a tape"));
    m_help->attach(m_option5[KindDir], QStringLiteral("Select a directory with real MSX files (can't have more then "
                                                      "720kb of files on it)."));
    for (QWidget* clearing : {static_cast<QWidget*>(this), findChild<QWidget*>(QStringLiteral("FrmRoms")),
                              findChild<QWidget*>(QStringLiteral("FrmEmulator")),
                              findChild<QWidget*>(QStringLiteral("Image1(0)")),
                              findChild<QWidget*>(QStringLiteral("Image1(1)")), static_cast<QWidget*>(m_label1)})
        m_help->attach(clearing, QString());
    m_help->attach(m_txtPath, QStringLiteral("Type or paste the path of a folder and press Enter to go there; "
                                             "the path of a file goes to its folder and selects the file."));
    m_help->quiet(m_drive1);
    m_help->quiet(findChild<QWidget*>(QStringLiteral("BtnCfg")));
}

void Form1::centerFormOnScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = frameGeometry().size();
    move(area.left() + (area.width() - size.width()) / 2,
         area.top() + (area.height() - size.height()) / 2 - 350 / kTwipsPerPixel);
}

void Form1::startUp()
{
    centerFormOnScreen();
    const QString cfg = FrontEndConfigPath(m_launcherFolder);
    // A settings file that is there but cannot be read is said at once, not on closing.
    const common::Result<FrontEndConfig> loaded =
        QFileInfo(cfg).exists() || QFileInfo(cfg).isSymLink()
            ? LoadFrontEndConfig(m_launcherFolder)
            : common::Result<FrontEndConfig>::failure(QString());
    if (!loaded && !loaded.error().isEmpty())
        m_dialogs.message(this,
                          QStringLiteral("Lumivo cannot read its settings.\n%1\n\nIt starts with the settings of a "
                                         "first run.")
                              .arg(loaded.error()),
                          QStringLiteral("Error"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::Ok);
    if (loaded) {
        m_frontEnd = loaded.value();
        // Setting the drive resets the folder, so the saved one is kept aside first.
        const QString keptFolder = m_frontEnd.LastFolder;
        const int kind = m_frontEnd.ImageKind;
        const int emulator = m_frontEnd.EmulatorChoice;
        setDrive(m_frontEnd.LastDrive);
        // A stored kind or emulator the window does not know shows the design-time selection and
        // stays stored as it is until the user makes that choice.
        if (kind >= 0 && kind < ImageKindCount) {
            m_option5[kind]->setChecked(true);
            Option5_Click(kind);
        } else {
            m_option5[KindDsk]->setChecked(true);
        }
        m_file1->setPattern(ImageKindPattern(m_frontEnd.ImageKind));
        if (emulator == 0) {
            m_option1->setChecked(true);
            Option1_Click();
        } else if (emulator == 1) {
            m_option3->setChecked(true);
            Option3_Click();
        } else if (emulator == 2) {
            m_option4->setChecked(true);
            Option4_Click();
        }
        restoreFolder(keptFolder);
    } else {
        startFresh();
    }

    if (common::FileExists(BrmsxOptionsPath(m_launcherFolder))) {
        const common::Result<BrmsxOptions> options = LoadBrmsxOptions(m_launcherFolder, m_brmsx);
        if (options)
            m_brmsx = options.value();
    }

    // A damaged openmsx.cfg gives the defaults and stays as it is until the user saves.
    const common::Result<OpenMsxSettings> openMsx = LoadOpenMsxSettings(m_launcherFolder);
    if (openMsx)
        m_openMsx = openMsx.value();
    else
        m_openMsxProblem = openMsx.error();

    if (!m_folders.problem.isEmpty()) {
        m_dialogs.message(this, m_folders.problem, QStringLiteral("Lumivo"), common::Dialogs::Icon::Exclamation,
                          common::Dialogs::Buttons::Ok);
    }
}

// A first run starts where the user's files are, with the emulator that runs here without
// setting up: openMSX when it is installed, else BR-MSX.
void Form1::startFresh()
{
    m_frontEnd = FrontEndConfig::defaults();
    const QString home = existingFolder(QDir::homePath());
    setDrive(volumeRoot(home));
    m_file1->setPattern(ImageKindPattern(KindDsk));
    m_option5[KindDsk]->setChecked(true);
    if (!m_runner.findProgram({QStringLiteral("openmsx")}).isEmpty()) {
        m_option4->setChecked(true);
        Option4_Click();
    } else {
        m_option1->setChecked(true);
        Option1_Click();
    }
    restoreFolder(home);
}

void Form1::setDrive(const QString& root)
{
    int index = m_drive1->findData(root);
    if (index < 0)
        index = m_drive1->findData(QDir::cleanPath(root));
    if (index < 0)
        index = 0;
    if (index == m_drive1->currentIndex())
        Drive1_Change(); // the list does not report a drive that is already chosen
    else
        m_drive1->setCurrentIndex(index);
}

void Form1::restoreFolder(const QString& folder)
{
    m_dir1->setPath(existingFolder(folder));
    m_file1->setPath(m_dir1->path());
    m_frontEnd.LastFolder = m_dir1->path();
}

void Form1::goToFolder(const QString& folder)
{
    if (volumeRoot(folder) != m_frontEnd.LastDrive)
        setDrive(volumeRoot(folder));
    restoreFolder(folder);
    m_txtPath->setText(m_dir1->path()); // also when the folder was open already
}

void Form1::TxtPath_Enter()
{
    const QString typed = m_txtPath->text();
    if (typed.trimmed().isEmpty())
        return;
    const QFileInfo target(expandTypedPath(typed, m_dir1->path()));
    if (target.isDir()) {
        goToFolder(target.absoluteFilePath());
        return;
    }
    if (!target.exists()) {
        m_help->show(QStringLiteral("There is no folder or file %1.").arg(target.absoluteFilePath()));
        return;
    }
    goToFolder(target.absolutePath());
    const QList<QListWidgetItem*> found = m_file1->findItems(target.fileName(), Qt::MatchExactly);
    if (found.isEmpty()) {
        m_help->show(QStringLiteral("%1 is not in the list, which shows the files of the chosen kind (%2).")
                         .arg(target.fileName(), m_file1->pattern()));
        return;
    }
    m_file1->setCurrentItem(found.first());
    m_file1->scrollToItem(found.first());
}

RunSelection Form1::currentSelection() const
{
    const int kind = selectedKind();
    // DIR runs the folder highlighted in the folder list; a file kind runs a file of the open
    // folder, whose files the file list shows.
    return {kind, kind == KindDir ? m_dir1->currentFolder() : m_dir1->path(), m_file1->fileName()};
}

int Form1::selectedKind() const
{
    for (int i = 0; i < ImageKindCount; ++i) {
        if (m_option5[i]->isChecked())
            return i;
    }
    return KindDsk;
}

void Form1::Drive1_Change()
{
    const QString root = m_drive1->currentData().toString();
    m_dir1->setPath(root);
    m_frontEnd.LastDrive = root;
}

void Form1::Dir1_Change()
{
    m_file1->setPath(m_dir1->path());
    m_frontEnd.LastFolder = m_file1->path();
    m_txtPath->setText(m_dir1->path());
    // What the lists cannot show is said where the help texts are, and stays until the folder changes.
    const FolderCheck check = CheckFolder(m_dir1->path());
    m_folderProblem = check.problem.isEmpty() ? QString() : FolderCheckNote(m_dir1->path(), check);
    m_help->setRestingNote(FolderCheckNote(m_dir1->path(), check));
    emit selectionChanged();
}

void Form1::Option5_Click(int index)
{
    m_file1->setPattern(ImageKindPattern(index));
    m_frontEnd.ImageKind = static_cast<qint16>(index);
    emit selectionChanged();
}

void Form1::Option1_Click()
{
    if (m_option1->isChecked()) {
        m_option5[KindDir]->setEnabled(true);
        m_frontEnd.EmulatorChoice = 0;
    } else {
        m_option5[KindDir]->setEnabled(false);
    }
    emit selectionChanged();
}

void Form1::Option3_Click()
{
    m_option5[KindDir]->setEnabled(false);
    m_frontEnd.EmulatorChoice = 1;
    emit selectionChanged();
}

// openMSX mounts a folder as a disk, so it runs DIR too.
void Form1::Option4_Click()
{
    m_option5[KindDir]->setEnabled(true);
    m_frontEnd.EmulatorChoice = 2;
    emit selectionChanged();
}

void Form1::BtnConfig_Click()
{
    QWidget* window = nullptr;
    if (m_option1->isChecked()) {
        if (!m_form2) {
            m_form2 = new Form2(m_launcherFolder, m_dialogs, m_brmsx, this);
            m_form2->setCommandSource([this] { return brmsxCommand(); });
            connect(this, &Form1::selectionChanged, m_form2, &Form2::refreshCommandLine);
        }
        window = m_form2;
    } else if (m_option4->isChecked()) {
        if (!m_form3) {
            m_form3 = new Form3(m_dialogs, m_openMsx, m_openMsxProblem, this);
            m_form3->setMachineCheckCache(MachineCheckCachePath(m_launcherFolder));
            m_form3->setCommandSource([this] { return openMsxCommand(); }, [this] { return openMsxProgram(); });
            m_form3->setSaver([this](const OpenMsxSettings& settings) {
                const common::Status saved = SaveOpenMsxSettings(m_launcherFolder, settings);
                if (saved)
                    m_openMsxProblem.clear();
                return saved;
            });
            connect(this, &Form1::selectionChanged, m_form3, &Form3::refreshCommandLine);
        }
        window = m_form3;
    }
    if (!window)
        return; // F-MSX has no options
    window->show();
    window->raise();
    window->activateWindow();
}

Form3* Form1::openMsxWindow() const
{
    return m_form3.data();
}

CommandOutcome Form1::brmsxCommand() const
{
    return BuildBrmsxCommand(currentSelection(), m_brmsx, m_runner.findProgram({QStringLiteral("dosbox")}));
}

QString Form1::openMsxProgram() const
{
    if (m_openMsx.Program.isEmpty())
        return m_runner.findProgram({QStringLiteral("openmsx")});
    // A bare name, as a shell would take it, is looked for on the PATH.
    if (!m_openMsx.Program.contains(QLatin1Char('/')))
        return m_runner.findProgram({m_openMsx.Program});
    const QFileInfo program(m_openMsx.Program);
    return program.isFile() && program.isExecutable() ? program.absoluteFilePath() : QString();
}

CommandOutcome Form1::openMsxCommand() const
{
    const QString program = openMsxProgram();
    return BuildOpenMsxCommand(currentSelection(), m_openMsx, program,
                               common::ListOpenMsxMachines(common::OpenMsxMachineFolders(program)));
}

void Form1::BtnAbout_Click()
{
    if (!m_about)
        m_about = new frmAbout(m_dialogs, m_runner, this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Form1::BtnRun_Click()
{
    if (!m_folderProblem.isEmpty()) {
        m_dialogs.message(this, m_folderProblem, QStringLiteral("Error"), common::Dialogs::Icon::Critical,
                          common::Dialogs::Buttons::Ok);
        return;
    }
    const CommandOutcome outcome =
        m_option1->isChecked()   ? brmsxCommand()
        : m_option4->isChecked() ? openMsxCommand()
                                 : BuildFmsxCommand(currentSelection(), m_runner.findProgram({QStringLiteral("fmsx")}));
    using Icon = common::Dialogs::Icon;
    const auto error = [this](const QString& text, Icon icon) {
        m_dialogs.message(this, text, QStringLiteral("Error"), icon, common::Dialogs::Buttons::Ok);
    };
    if (outcome.problem != RunProblem::None) {
        const Icon icon = outcome.problem == RunProblem::NoFileSelected        ? Icon::None
                          : outcome.problem == RunProblem::FmsxCannotRunFolder ? Icon::Exclamation
                                                                               : Icon::Critical;
        error(ProblemText(outcome), icon);
        return;
    }
    const common::Result<StartedRun> run = RunEmulatorCommand(m_runFolder, outcome.command, m_runner);
    if (!run) {
        error(run.error(), Icon::Critical);
        return;
    }
    watchRun(run.value());
}

void Form1::watchRun(const StartedRun& run)
{
    auto* watch = new common::RunWatch(run, m_quickFailureMs, this);
    const QString log = run.logPath;
    connect(watch, &common::RunWatch::failedAtOnce, this, [this, log](int status) {
        m_dialogs.message(this, RunFailureText(status, ReadLogTail(log, common::kKeptOutputBytes), log),
                          QStringLiteral("Error"), common::Dialogs::Icon::Critical, common::Dialogs::Buttons::Ok);
    });
}

void Form1::closeEvent(QCloseEvent* event)
{
    const common::Status saved = SaveFrontEndConfig(m_launcherFolder, m_frontEnd);
    if (!saved) {
        // Closing ends Lumivo: the user decides whether the settings may be lost.
        const common::Dialogs::Answer answer = m_dialogs.message(
            this, QStringLiteral("Lumivo could not save its settings.\n%1\n\nClose without saving them?").arg(saved.error()),
            QStringLiteral("Error"), common::Dialogs::Icon::Exclamation, common::Dialogs::Buttons::YesNo);
        if (answer != common::Dialogs::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit closed();
}

} // namespace lumivo
