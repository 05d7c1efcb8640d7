#include "frmAbout.h"

#include "launcher/ProgramRunner.h"

#include "ui/Accessibility.h"
#include "ui/Dialogs.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace lumivo {

namespace {

QFrame* separator(QWidget* parent, int index)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1(%1)").arg(index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

frmAbout::frmAbout(common::Dialogs& dialogs, ProgramRunner& runner, QWidget* parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs), m_runner(runner)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Lumivo!"));

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48));
    auto* lblTitle = new QLabel(QStringLiteral("Lumivo!"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 6);
    lblTitle->setFont(titleFont);
    auto* lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3")
                                      .arg(LUMIVO_VERSION_MAJOR)
                                      .arg(LUMIVO_VERSION_MINOR)
                                      .arg(LUMIVO_VERSION_PATCH),
                                  this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto* lblDescription = new QLabel(
        QStringLiteral("Lumivo starts MSX disk, ROM and tape images and whole folders of MSX programs in the "
                       "BR-MSX and F-MSX emulators. Made by MSX fans for MSX fans.\n\nMSX 43V3R!"),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    auto* lblDisclaimer = new QLabel(
        QStringLiteral("Warning: This programs is given without any kind of warranty, if anything happen to you or "
                       "your computer while using this program IT IS YOUR FAULT. 8P"),
        this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    auto* cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto* cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    auto* head = new QHBoxLayout;
    head->addWidget(picIcon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    head->addLayout(texts, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* foot = new QHBoxLayout;
    foot->addWidget(lblDisclaimer, 1);
    foot->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(separator(this, 0));
    layout->addWidget(separator(this, 1));
    layout->addLayout(foot);
    resize(5730 / 15, 3600 / 15);
    common::NameControlsForAccessibility(this);

    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

QStringList frmAbout::systemInfoPrograms()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::StartSysInfo()
{
    const QString program = m_runner.findProgram(systemInfoPrograms());
    if (!program.isEmpty() && m_runner.startDetached(program, {}, QString()))
        return;
    m_dialogs.message(this, QStringLiteral("System Information Is Unavailable At This Time"), QStringLiteral("Lumivo"),
                      common::Dialogs::Icon::None, common::Dialogs::Buttons::Ok);
}

} // namespace lumivo
