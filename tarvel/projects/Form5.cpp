#include "projects/Form5.h"

#include "core/Paths.h"
#include "projects/ProjectFile.h"
#include "ui/Accessibility.h"
#include "ui/Windows.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>

namespace {
constexpr int Twips = 15;
}

Form5::Form5(const QString& applicationDirectory, QString& templateChoice, QWidget* mainWindow)
    : QDialog(mainWindow), m_choice(templateChoice)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("New Project"));
    setFixedSize(6375 / Twips, 3510 / Twips);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LVProjects"));
    m_list->setAccessibleName(QStringLiteral("Templates"));
    m_list->setGeometry(120 / Twips, 120 / Twips, 6135 / Twips, 2775 / Twips);
    m_list->setViewMode(QListView::IconMode);
    m_list->setMovement(QListView::Static);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setWordWrap(true);

    m_autoexec = new QCheckBox(QStringLiteral("Create an AUTOEXEC.BAT file"), this);
    m_autoexec->setObjectName(QStringLiteral("Check1"));
    // At least its design width, and wide enough for the whole caption in the font in use; the
    // Open button leaves room for it.
    m_autoexec->setGeometry(120 / Twips, 3000 / Twips, qMax(2655 / Twips, m_autoexec->sizeHint().width()), 375 / Twips);
    m_autoexec->setChecked(true);

    m_open = new QPushButton(QStringLiteral("Open"), this);
    m_open->setObjectName(QStringLiteral("Command1"));
    m_open->setGeometry(3600 / Twips, 3000 / Twips, 1215 / Twips, 375 / Twips);
    m_open->setDefault(true);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setGeometry(5040 / Twips, 3000 / Twips, 1215 / Twips, 375 / Twips);

    connect(m_open, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &Form5::Command1_Click);
    connect(m_list, &QListWidget::itemActivated, this, &Form5::Command1_Click);
    connect(m_list, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current) { m_open->setEnabled(current != nullptr); });

    // Load: centre over the main window and list the templates.
    common::CenterForm(mainWindow, this);
    m_list->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name : templateNames(applicationDirectory)) {
        auto* item = new QListWidgetItem(icon, name, m_list);
        item->setData(Qt::UserRole, name);
    }
    // Open needs a template: the first one is chosen until the user picks another.
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    m_open->setEnabled(m_list->currentItem() != nullptr);
    m_list->setFocus();
    common::NameControlsForAccessibility(this);
}

QStringList Form5::templateNames(const QString& applicationDirectory)
{
    QDir projects(common::AddBackslash(applicationDirectory) + QStringLiteral("projects/"));
    QStringList names = projects.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    tarvel::SortStrings(names, false);
    return names;
}

void Form5::Command1_Click()
{
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    m_choice = (m_autoexec->isChecked() ? QStringLiteral("1") : QStringLiteral("0")) + item->text();
    accept();
}

void Form5::Command2_Click()
{
    m_choice.clear();
    reject();
}
