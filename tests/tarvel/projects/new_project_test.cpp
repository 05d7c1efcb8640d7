#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "projects/Form5.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

void addTemplate(const TarvelKit& kit, const QString& name, const QString& mainName)
{
    const QString dir = kit.path("projects/" + name) + "/";
    testfiles::write(dir + mainName, "program demo;\r\n{$I GFX.INC}\r\nbegin\r\nend.\r\n");
    testfiles::write(dir + "gfx.inc", "procedure gfx;\r\nbegin end;\r\n");
    testfiles::write(dir + "AUTOEXEC.BAT", "TEMPLATE\r\n");
    QDir().mkpath(dir + "subfolder");
}

// Answers the chooser once it is open: picks `name`, sets the check box, presses Open (or
// Cancel when `name` is empty).
void answerChooser(const QString& name, bool autoexec, bool* seen = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto* chooser = qobject_cast<Form5*>(QApplication::activeModalWidget());
        if (seen)
            *seen = chooser != nullptr;
        if (!chooser)
            return;
        if (name.isEmpty()) {
            QTest::mouseClick(chooser->findChild<QPushButton*>("Command2"), Qt::LeftButton);
            return;
        }
        auto* list = chooser->findChild<QListWidget*>("LVProjects");
        const auto found = list->findItems(name, Qt::MatchExactly);
        if (!found.isEmpty())
            list->setCurrentItem(found.first());
        chooser->findChild<QCheckBox*>("Check1")->setChecked(autoexec);
        QTest::mouseClick(chooser->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    });
}

} // namespace

TEST(ProjectChooser, ListsTemplateFoldersInBinaryOrder)
{
    TarvelKit kit;
    for (const char* name : {"beta", "Alpha", "Zed"})
        QDir().mkpath(kit.path(QStringLiteral("projects/") + name));
    testfiles::write(kit.path("projects/readme.txt"), "not a template");
    QString choice = "stale";
    Form5 chooser(kit.dir(), choice, nullptr);
    EXPECT_EQ(chooser.windowTitle(), "New Project");
    auto* list = chooser.findChild<QListWidget*>("LVProjects");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Alpha");
    EXPECT_EQ(list->item(1)->text(), "Zed");
    EXPECT_EQ(list->item(2)->text(), "beta");
    auto* check = chooser.findChild<QCheckBox*>("Check1");
    EXPECT_EQ(check->text(), "Create an AUTOEXEC.BAT file");
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(chooser.findChild<QPushButton*>("Command1")->text(), "Open");
    EXPECT_GE(check->width(), check->sizeHint().width()) << "the caption is shown whole";
    EXPECT_LT(check->geometry().right(), chooser.findChild<QPushButton*>("Command1")->geometry().left());
    EXPECT_EQ(chooser.findChild<QPushButton*>("Command2")->text(), "Cancel");

    list->setCurrentRow(1);
    check->setChecked(false);
    chooser.Command1_Click();
    EXPECT_EQ(choice, "0Zed");
    chooser.Command2_Click();
    EXPECT_EQ(choice, "");
}

TEST(ProjectChooser, AnEmptyProjectsFolderGivesAnEmptyListAndOpenDoesNothing)
{
    TarvelKit kit;
    QDir(kit.path("projects")).removeRecursively();
    QString choice;
    Form5 chooser(kit.dir(), choice, nullptr);
    EXPECT_EQ(chooser.findChild<QListWidget*>("LVProjects")->count(), 0);
    EXPECT_FALSE(chooser.findChild<QPushButton*>("Command1")->isEnabled());
    chooser.Command1_Click();
    EXPECT_EQ(choice, "");
}

TEST(NewProject, CopiesTheTemplateWritesTheProjectFileAndAutoexec)
{
    TarvelKit kit;
    addTemplate(kit, "Demo", "Demo.pas");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    form->setProjectAddresses(0x0100, form->projectInfo().EndAddress); // the previous project's addresses carry over
    const QString work = kit.path("Work") + "/";
    QDir().mkpath(work);
    testfiles::write(work + "gfx.inc", "old contents");
    dialogs.queuePath(work + "hello");
    answerChooser("Demo", true);
    form->mnuNew_Click();

    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Save);
    EXPECT_EQ(dialogs.calls()[0].title, "New File");
    EXPECT_EQ(dialogs.calls()[0].filters[0].patterns, QStringList{"*.pas"});
    EXPECT_EQ(testfiles::read(work + "hello.pas"), "program demo;\r\n{$I GFX.INC}\r\nbegin\r\nend.\r\n");
    EXPECT_EQ(testfiles::read(work + "gfx.inc"), "procedure gfx;\r\nbegin end;\r\n") << "existing files are replaced";
    EXPECT_FALSE(QFile::exists(work + "Demo.pas"));
    EXPECT_FALSE(QFile::exists(work + "subfolder"));
    EXPECT_EQ(testfiles::read(work + "hello.tpj"),
              ("hello\r\n100\r\nD200\r\n" + work + "hello.pas\r\n").toLatin1());
    EXPECT_EQ(testfiles::read(work + "AUTOEXEC.BAT"), "SET EXPERT ON\r\r\nHELLO\r\r\n");
    EXPECT_EQ(form->projectInfo().ProjectName, "hello");
    EXPECT_EQ(form->node(1)->text(0), "hello");
    EXPECT_EQ(form->node(2)->text(0), "HELLO.PAS");
    EXPECT_EQ(form->node(3)->text(0), "GFX.INC");
    EXPECT_EQ(form->Settings.RecentFiles[0], work + "hello.tpj");
    EXPECT_EQ(form->browseDir(), work);
}

TEST(NewProject, WithoutTheCheckBoxTheTemplatesOwnAutoexecIsCopied)
{
    TarvelKit kit;
    addTemplate(kit, "Demo", "DEMO.PAS");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    const QString work = kit.path("w2") + "/";
    QDir().mkpath(work);
    dialogs.queuePath(work + "Game.PAS");
    answerChooser("Demo", false);
    form->mnuNew_Click();
    EXPECT_TRUE(QFile::exists(work + "Game.PAS"));
    EXPECT_FALSE(QFile::exists(work + "Game.PAS.pas"));
    EXPECT_EQ(testfiles::read(work + "AUTOEXEC.BAT"), "TEMPLATE\r\n");
    EXPECT_EQ(form->projectInfo().ProjectName, "Game");
}

TEST(NewProject, AnOtherExtensionGetsPasAppended)
{
    TarvelKit kit;
    addTemplate(kit, "Demo", "Demo.pas");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    const QString work = kit.path("w3") + "/";
    QDir().mkpath(work);
    dialogs.queuePath(work + "game.txt");
    answerChooser("Demo", true);
    form->mnuNew_Click();
    EXPECT_TRUE(QFile::exists(work + "game.txt.pas"));
    EXPECT_EQ(form->projectInfo().ProjectName, "game.txt");
    EXPECT_EQ(testfiles::read(work + "AUTOEXEC.BAT"), "SET EXPERT ON\r\r\nGAME.TXT\r\r\n");
}

TEST(NewProject, CancellingTheChooserOrTheFileDialogChangesNothing)
{
    TarvelKit kit;
    addTemplate(kit, "Demo", "Demo.pas");
    const QString dir = kit.path("open") + "/";
    testfiles::write(dir + "m.pas", "program m;\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    ASSERT_TRUE(form->LoadProject(dir + "m.pas"));
    form->editor()->setText("unsaved");

    answerChooser(QString(), true);
    form->mnuNew_Click();
    EXPECT_TRUE(dialogs.calls().isEmpty());
    answerChooser("Demo", true);
    form->mnuNew_Click(); // the file dialog is cancelled
    EXPECT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(form->editor()->text(), "unsaved");
    EXPECT_EQ(form->nodeCount(), 2);
}

TEST(NewProject, ATemplateWithoutItsMainFileEndsInTheFatalErrorPath)
{
    TarvelKit kit;
    QDir().mkpath(kit.path("projects/Broken"));
    testfiles::write(kit.path("projects/Broken/other.inc"), "x");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    const QString work = kit.path("w4") + "/";
    QDir().mkpath(work);
    dialogs.queuePath(work + "new.pas");
    answerChooser("Broken", true);
    form->mnuNew_Click();
    ASSERT_GE(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages().last().text, "Could not find the file new.pas");
    EXPECT_EQ(dialogs.messages().last().title, "Fatal Error");
    EXPECT_FALSE(QFile::exists(work + "new.tpj"));
    EXPECT_EQ(form->nodeCount(), 0);
}

TEST(NewProject, AFailedNewProjectLeavesNoProjectBehind)
{
    TarvelKit kit;
    QDir().mkpath(kit.path("projects/Broken"));
    const QString dir = kit.path("open") + "/";
    testfiles::write(dir + "game.pas", "program game;\r\n");
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    dialogs.queuePath(dir + "game.pas");
    form->findChild<QAction*>("mnuFileOpen")->trigger();
    ASSERT_EQ(form->panel(2)->text(), "Current View: GAME.PAS");

    const QString work = kit.path("w5") + "/";
    QDir().mkpath(work);
    dialogs.queuePath(work + "new.pas");
    answerChooser("Broken", true);
    form->mnuNew_Click();
    ASSERT_EQ(dialogs.messages().last().title, "Fatal Error");
    EXPECT_EQ(form->tree()->topLevelItemCount(), 0);
    EXPECT_EQ(form->editor()->text(), "");
    EXPECT_EQ(form->panel(2)->text(), "Current View: no file");
    for (const char* name : {"mnuSave", "mnuPrint", "mnuCompile", "mnuCompileRun", "mnuProp", "mnuRefresh", "mnuNewInc",
                             "mnuOpenIncfile", "mnuCompileCHN"})
        EXPECT_FALSE(form->findChild<QAction*>(name)->isEnabled()) << name;
    form->findChild<QAction*>("mnuSaveFile")->trigger();
    EXPECT_EQ(testfiles::read(dir + "game.pas"), "program game;\r\n");
    EXPECT_EQ(QDir(work).entryList(QDir::Files), QStringList{});
}

TEST(NewProject, CyrillicNamesSurviveTheProjectFileAutoexecAndARestart)
{
    TarvelKit kit;
    addTemplate(kit, "Demo", "Demo.pas");
    const QString work = kit.path(QString::fromUtf8("проект")) + "/";
    QDir().mkpath(work);
    {
        ScriptedDialogs dialogs;
        auto form = kit.startForm(dialogs);
        dialogs.queuePath(work + QString::fromUtf8("спрайт"));
        answerChooser("Demo", true);
        form->mnuNew_Click();
        EXPECT_TRUE(dialogs.messages().isEmpty());
        EXPECT_EQ(testfiles::read(work + QString::fromUtf8("спрайт.tpj")),
                  (QString::fromUtf8("спрайт\r\n2E9B\r\nD200\r\n") + work + QString::fromUtf8("спрайт.pas\r\n")).toUtf8());
        EXPECT_EQ(testfiles::read(work + "AUTOEXEC.BAT"), "SET EXPERT ON\r\r\n" + QString::fromUtf8("спрайт").toUtf8() + "\r\r\n");
    }
    // After a restart the recent entry still names the project, and it opens.
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    QAction* recent = form->findChild<QAction*>("mnurecent_0");
    EXPECT_EQ(recent->iconText(), work + QString::fromUtf8("спрайт.tpj"));
    recent->trigger();
    EXPECT_TRUE(dialogs.messages().isEmpty());
    ASSERT_EQ(form->nodeCount(), 3);
    EXPECT_EQ(form->node(1)->text(0), QString::fromUtf8("спрайт"));
    EXPECT_EQ(form->node(2)->text(0), QString::fromUtf8("спрайт.PAS"));
    EXPECT_EQ(form->node(3)->text(0), "GFX.INC");
}
