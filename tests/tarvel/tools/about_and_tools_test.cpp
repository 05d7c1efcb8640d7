#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "ToolsTestSupport.h"
#include "tools/Form6.h"
#include "tools/Form7.h"
#include "tools/OutsideTools.h"
#include "tools/SystemProgramStarter.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

QAction* item(Form1& form, const char* name)
{
    QAction* action = form.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QColor colour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

// The About window of a started main window, opened from the Help menu.
class About : public ::testing::Test {
protected:
    void SetUp() override
    {
        testfiles::write(kit.path("README.md"), "# Tarvel\n");
        form = kit.startForm(dialogs);
        item(*form, "mnuAbout")->trigger();
        about = form->findChild<Form6*>("Form6");
        ASSERT_NE(about, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(about));
        // The offscreen desktop gives the pointer to the first window under it, whatever lies on
        // top: the About window is put beside the main window, as a user might drag it.
        about->move(form->frameGeometry().right() + 40, form->frameGeometry().top());
        link = about->findChild<QLabel*>("Label2");
    }

    // Moves the mouse as a user would: the pointer goes there, and the widget under it hears of it.
    void moveMouse(QWidget* widget, QPoint position)
    {
        QCursor::setPos(widget->mapToGlobal(position));
        QTest::mouseMove(widget, position);
    }

    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    Form6* about = nullptr;
    QLabel* link = nullptr;
};

} // namespace

TEST_F(About, ShowsTheVersionAndTheTextsWithoutBlockingTheMainWindow)
{
    EXPECT_EQ(about->windowTitle(), "About Tarvel");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(about->findChild<QLabel*>("Label1")->text(), QStringLiteral("Version " TARVEL_VERSION));
    EXPECT_EQ(about->findChild<QLabel*>("Label3")->text(), "Versions history");
    EXPECT_TRUE(about->findChild<QLabel*>("Label5")->text().contains("Tarvel"));
    const QLabel* logo = about->findChild<QLabel*>("Image1");
    ASSERT_FALSE(logo->pixmap().isNull());
    EXPECT_EQ(logo->pixmap().size(), QSize(158, 50));
    EXPECT_EQ(colour(link), QColor(0, 0, 0));
    EXPECT_FALSE(link->font().underline());

    item(*form, "mnuAbout")->trigger();
    EXPECT_EQ(form->findChildren<Form6*>().size(), 1) << "a second About brings the same window forward";
}

TEST_F(About, TheLinkHoversPressesOpensAndResets)
{
    UrlRecorder web("file");
    moveMouse(link, link->rect().center());
    EXPECT_EQ(colour(link), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().underline());

    QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
    EXPECT_EQ(colour(link), QColor(255, 0, 0));
    EXPECT_TRUE(web.urls.isEmpty());
    QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
    EXPECT_EQ(web.urls, QList<QUrl>{QUrl::fromLocalFile(kit.path("README.md"))});

    // The pointer on the link's edge still counts as on it; one pixel beyond, the tick resets it.
    moveMouse(link, link->rect().center() + QPoint(1, 0));
    ASSERT_EQ(colour(link), QColor(0, 0, 255));
    moveMouse(about, link->mapTo(about, QPoint(0, 0)) + QPoint(link->width(), 0));
    about->Timer1_Timer();
    EXPECT_EQ(colour(link), QColor(0, 0, 255));
    moveMouse(about, link->mapTo(about, QPoint(0, 0)) + QPoint(link->width() + 1, 0));
    about->Timer1_Timer();
    EXPECT_EQ(colour(link), QColor(0, 0, 0));
    EXPECT_FALSE(link->font().underline());

    // The window's own timer does the same.
    moveMouse(link, link->rect().center());
    ASSERT_EQ(colour(link), QColor(0, 0, 255));
    moveMouse(about, QPoint(2, 2));
    EXPECT_TRUE(testfiles::waitUntil([&] { return colour(link) == QColor(0, 0, 0); }));
}

TEST_F(About, PressingOffTheHoverColourDoesNotTurnTheLinkRed)
{
    moveMouse(link, link->rect().center());
    moveMouse(about, QPoint(2, 2));
    about->Timer1_Timer();
    ASSERT_EQ(colour(link), QColor(0, 0, 0));
    UrlRecorder web("file");
    QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
    EXPECT_EQ(colour(link), QColor(0, 0, 0));
    QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
    EXPECT_EQ(web.urls.size(), 1);
}

TEST_F(About, EveryTextIsShownWholeAndAKitWithoutAReadmeShowsNoLink)
{
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
        SCOPED_TRACE(name);
        const QLabel* label = about->findChild<QLabel*>(name);
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_TRUE(about->rect().contains(QRect(label->mapTo(about, QPoint(0, 0)), label->size())));
    }
    about->close();
    delete about;
    QFile::remove(kit.path("README.md"));
    item(*form, "mnuAbout")->trigger();
    Form6* bare = form->findChild<Form6*>("Form6");
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(bare->findChild<QLabel*>("Label2")->isVisible()) << "nothing to link to";
}

TEST_F(About, VersionsHistoryShowsTheFileLineByLineAndClosesAbout)
{
    testfiles::write(kit.path("history.txt"), "Tarvel history\r\n\r\n1.0.0 first\r\n  - caf\xE9\r\n");
    QPointer<Form6> watched(about);
    QLabel* history = about->findChild<QLabel*>("Label3");
    QTest::mouseClick(history, Qt::LeftButton, {}, history->rect().center());
    auto* window = form->findChild<Form7*>("Form7");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Versions history");
    EXPECT_TRUE(testfiles::waitUntil([&] { return watched.isNull(); })) << "the About window is closed";

    auto* text = window->findChild<QPlainTextEdit*>("Text1");
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->toPlainText(), QString::fromLatin1("Tarvel history\n\n1.0.0 first\n  - caf\xE9\n"));
    EXPECT_EQ(text->document()->findBlockByNumber(2).text(), "1.0.0 first");
    EXPECT_TRUE(testfiles::waitUntil([&] { return QApplication::focusWidget() == text; }));

    // Another About and history bring the open history window forward.
    item(*form, "mnuAbout")->trigger();
    Form6* second = form->findChild<Form6*>("Form6");
    ASSERT_NE(second, nullptr);
    QTest::mouseClick(second->findChild<QLabel*>("Label3"), Qt::LeftButton);
    EXPECT_EQ(form->findChildren<Form7*>().size(), 1);
}

TEST(History, AnEmptyFileGivesAnEmptyBoxAMissingOneSaysSo)
{
    TarvelKit kit;
    testfiles::write(kit.path("history.txt"), "");
    Form7 empty(kit.dir(), nullptr);
    EXPECT_EQ(empty.findChild<QPlainTextEdit*>("Text1")->toPlainText(), "");

    QFile::remove(kit.path("history.txt"));
    Form7 missing(kit.dir(), nullptr);
    EXPECT_TRUE(missing.findChild<QPlainTextEdit*>("Text1")->toPlainText().startsWith(
        "The version history could not be read."));
}

TEST(History, TheKitsHistoryStartsWithTheProgramsVersion)
{
    const QStringList lines = QString::fromLatin1(testfiles::read(testfiles::kitSourceDir() + "/history.txt"))
                                  .split(QRegularExpression("\r\n|\n"));
    const QRegularExpression versionLine("^(\\d+\\.\\d+(\\.\\d+)?)\\b");
    QString first;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = versionLine.match(line);
        if (match.hasMatch()) {
            first = match.captured(1);
            break;
        }
    }
    EXPECT_EQ(first, QStringLiteral(TARVEL_VERSION))
        << "the newest entry of kit/history.txt and the version in CMakeLists.txt must agree";
}

// Calc, Image Converter and the help, with stand-in programs.
class OutsideTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = kit.startForm(dialogs);
        form->setProgramStarter(std::make_unique<tarvel::SystemProgramStarter>(QStringList{tools.bin()}));
    }

    StandIns tools;
    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
};

TEST_F(OutsideTools, CalcStartsTheFirstCalculatorOnThePathWithoutWaiting)
{
    tools.add("galculator");
    tools.add("kcalc");
    item(*form, "mnuCalc")->trigger();
    // The stand-in waits for the go file: the command came back while the program still ran.
    EXPECT_FALSE(QFile::exists(tools.log()));
    tools.release();
    EXPECT_EQ(tools.waitForLines(1), QStringList{"kcalc"});
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(OutsideTools, ImageConverterStartsMsximgFromTheApplicationFolder)
{
    tools.release();
    item(*form, "mnuImgConv")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1) << "a missing converter is told, with where it goes";
    EXPECT_TRUE(dialogs.messages()[0].text.contains(kit.dir() + "/msximg"));
    item(*form, "mnuCalc")->trigger();
    EXPECT_EQ(dialogs.calls().size(), 1) << "a missing calculator is not reported";
    dialogs.clear();

    tools.add("msximg", kit.dir());
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(tools.waitForLines(1), QStringList{"msximg"});
    EXPECT_EQ(tarvel::ImageConverterPath(kit.dir()), kit.dir() + "/msximg");
}

TEST_F(OutsideTools, F1OpensTheReferenceHelpWithTheDesktopsViewer)
{
    UrlRecorder files("file");
    form->activateWindow();
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_TRUE(files.urls.isEmpty()) << "no help file, nothing to open";
    ASSERT_EQ(dialogs.messages().size(), 1) << "a missing help file is told, with where it goes";
    EXPECT_TRUE(dialogs.messages()[0].text.contains(kit.path("tp3reference.chm")));
    dialogs.clear();
    testfiles::write(kit.path("tp3reference.chm"), "ITSF");
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(files.urls, QList<QUrl>{QUrl::fromLocalFile(kit.path("tp3reference.chm"))});
    EXPECT_TRUE(dialogs.calls().isEmpty());
}
