// What a build reports must be what happened: a program cut short is no success, the build's own
// files neither block nor fill the disk, and error records never lead into another project.

#include "BuildProjectFixture.h"
#include "FileSizeLimit.h"
#include "FindControl.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "build/Form2.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

namespace {

const QByteArray CleanMain = "program game;\r\n{$I A.INC}\r\nbegin\r\n  a;\r\nend.\r\n";
const QByteArray ThreeErrors = "program game;\r\n{$I A.INC}\r\n{ERR A.INC,2,1,10,\"first\"}\r\n"
                               "{ERR GAME.PAS,5,1,11,\"second\"}\r\n{ERR A.INC,1,1,12,\"third\"}\r\nbegin end.\r\n";

class ReportFixture : public BuildProjectFixture {
protected:
    void SetUp() override
    {
        BuildProjectFixture::SetUp();
        qputenv("EMULATOR_LOG", kit.path("emulator-args.txt").toLocal8Bit());
    }
    void TearDown() override { qunsetenv("EMULATOR_LOG"); }

    // Writes a project GAME.PAS + A.INC into `folder` of the kit; returns the folder.
    QString writeProject(const QString& folder, const QByteArray& main)
    {
        const QString path = kit.path(folder) + "/";
        testfiles::write(path + "game.pas", main);
        testfiles::write(path + "a.inc", "procedure a;\r\nbegin end;\r\n");
        testfiles::write(path + "game.tpj", "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
        return path;
    }
    void doubleClickMonitorLine(int line)
    {
        auto* text = form->monitor()->findChild<QPlainTextEdit*>("Text1");
        const QRect rect = text->cursorRect(QTextCursor(text->document()->findBlockByNumber(line)));
        QTest::mouseDClick(text->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center() + QPoint(20, 0));
    }
};

} // namespace

TEST_F(ReportFixture, AProgramCutShortByAFullDiskIsAFailedBuildThatSaysWhy)
{
    const QByteArray main = CleanMain + "{" + QByteArray(3000, 'x') + "}\r\n";
    open("full", main);
    const qint64 chain = 4 + main.size(); // what the stand-in compiler writes
    {
        // Room for the chain file, not for the run-time file joined to it.
        FileSizeLimit full(chain + 5);
        ASSERT_TRUE(full.active());
        trigger("mnuCompile");
    }
    ASSERT_EQ(QFileInfo(dir + "game.chn").size(), chain);
    const QString text = monitorText();
    EXPECT_FALSE(text.contains("Sucessfully")) << text.toStdString();
    // The program is written whole or not at all.
    EXPECT_TRUE(text.contains(QStringLiteral("The program game.com could not be made:\r\nCannot write ") + dir + "game.com"))
        << text.toStdString();
    EXPECT_FALSE(QFile::exists(dir + "game.com")) << "no broken program is left to be run";
}

// Left in the project folder by earlier runs: a huge result.txt of a failed build and a disk image
// made there, beside its boot disk (the image folder was the project folder, as an older config.cfg
// may still say).
TEST_F(ReportFixture, TheBuildsOwnFilesAreNeitherCountedNorPutOnTheDisk)
{
    if (QStandardPaths::findExecutable("mcopy").isEmpty())
        GTEST_SKIP() << "mtools is not installed";
    open("own", CleanMain);
    QFile result(dir + "RESULT.TXT");
    ASSERT_TRUE(result.open(QIODevice::WriteOnly));
    ASSERT_TRUE(result.resize(200 * 1024 * 1024)); // sparse: 200 MB that take no room
    result.close();
    testfiles::write(dir + "d.dsk", QByteArray(737280, 'd'));
    ASSERT_TRUE(buildtest::makeBootDisk(dir + "boot.dsk"));
    form->Settings.EmulatorPath = testfiles::testToolsDir() + "/emulator";
    form->Settings.DiskImagePath = dir;

    trigger("mnuCompileRun");
    EXPECT_FALSE(monitorText().contains("720kb")) << monitorText().toStdString();
    ASSERT_TRUE(testfiles::waitUntil([&] { return QFile::exists(kit.path("emulator-args.txt")); }))
        << dialogs.calls().value(0).text.toStdString();
    EXPECT_TRUE(dialogs.calls().isEmpty());
    QProcess mdir;
    mdir.start("mdir", {"-i", dir + "d.dsk", "-b", "::"});
    ASSERT_TRUE(mdir.waitForFinished());
    const QStringList listing = QString::fromLocal8Bit(mdir.readAllStandardOutput()).toUpper().split('\n', Qt::SkipEmptyParts);
    QStringList names;
    for (const QString& line : listing)
        names << line.section('/', -1).trimmed();
    names.sort();
    EXPECT_EQ(names, QStringList({"A.INC", "COMMAND.COM", "GAME.COM", "GAME.PAS", "GAME.TPJ", "MSXDOS.SYS"}));
}

TEST_F(ReportFixture, AProjectTooLargeForTheDiskIsToldItsLargestFiles)
{
    open("large", CleanMain);
    testfiles::write(dir + "music.bin", QByteArray(500000, 'm'));
    testfiles::write(dir + "title.sc5", QByteArray(300000, 't'));
    testfiles::write(dir + "errors.txt", QByteArray(900000, 'e')); // the build's own: not counted
    trigger("mnuCompile");
    EXPECT_EQ(monitorText(), "The project directory \r\n" + dir + "\r\ncannot have more than 720kb of files\r\n\r\n"
                             "The largest files in it:\r\nmusic.bin (489 KB)\r\ntitle.sc5 (293 KB)\r\ngame.pas (1 KB)");
}

TEST_F(ReportFixture, PreferencesRefuseADiskImageFolderInTheProjectFolder)
{
    open("prefs", CleanMain);
    QDir().mkpath(dir + "img");
    QDir().mkpath(kit.path("images"));
    QFile::link(kit.path("prefs"), kit.path("alias"));
    const QString before = form->Settings.DiskImagePath;
    const struct {
        const char* name;
        QString folder;
        bool refused;
    } rows[] = {
        {"the project folder", kit.path("prefs"), true},
        {"a folder inside it", dir + "img", true},
        {"a link to the project folder", kit.path("alias"), true},
        {"a folder outside", kit.path("images"), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.clear();
        dialogs.queuePath(row.folder);
        QString shownAfterBrowse;
        QTimer::singleShot(0, [&] {
            QWidget* preferences = QApplication::activeModalWidget();
            ASSERT_NE(preferences, nullptr);
            QTest::mouseClick(control<QPushButton>(preferences, "Command4"), Qt::LeftButton);
            shownAfterBrowse = control<QLineEdit>(preferences, "Text3")->text();
            QTest::mouseClick(control<QPushButton>(preferences, "Command1"), Qt::LeftButton);
        });
        trigger("mnupreferences");
        const int messages = int(dialogs.messages().size());
        if (row.refused) {
            ASSERT_EQ(messages, 1);
            EXPECT_TRUE(dialogs.messages()[0].text.contains(row.folder)) << dialogs.messages()[0].text.toStdString();
            EXPECT_EQ(shownAfterBrowse, before);
            EXPECT_EQ(form->Settings.DiskImagePath, before);
        } else {
            EXPECT_EQ(messages, 0);
            EXPECT_EQ(form->Settings.DiskImagePath, row.folder + "/");
        }
    }
}

TEST_F(ReportFixture, ErrorRecordsBelongToTheBuildAndTheProjectThatMadeThem)
{
    open("p2", ThreeErrors);
    trigger("mnuCompile");
    EXPECT_EQ(status(), "Error 1 of 3: first") << "the jump after the build says where it went, as F8 does";
    key(Qt::Key_F8);
    ASSERT_EQ(status(), "Error 2 of 3: second");

    // A clean build: panel 3 no longer names a record of the one before.
    testfiles::write(dir + "game.pas", CleanMain);
    trigger("mnuCompile");
    ASSERT_TRUE(monitorText().contains("No errors - Sucessfully compiled"));
    EXPECT_EQ(status(), "");

    // A failed build again, then another project with an A.INC of its own is opened.
    testfiles::write(dir + "game.pas", ThreeErrors);
    trigger("mnuCompile");
    ASSERT_EQ(form->lastErrors().count(), 3);
    const QString p3 = writeProject("p3", CleanMain);
    dialogs.queuePath(p3 + "game.tpj");
    trigger("mnuOpenProject");
    ASSERT_EQ(form->project().projectDir(), p3);
    EXPECT_EQ(status(), "");
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        key(Qt::Key_F8, modifiers);
        EXPECT_EQ(shown(), "GAME.PAS");
        EXPECT_EQ(form->editor()->highlightedLine(), -1);
        EXPECT_EQ(status(), "The last build left no errors to go to.");
    }
    form->panel(3)->clear();
    doubleClickMonitorLine(0); // "file  : A.INC: line 2, column 1" of the other project
    EXPECT_EQ(shown(), "GAME.PAS");
    EXPECT_EQ(form->editor()->highlightedLine(), -1);
    EXPECT_EQ(status(), "");
}
