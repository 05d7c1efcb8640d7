#include "build/Form2.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class MonitorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_main = std::make_unique<QMainWindow>();
        m_main->setCentralWidget(new QWidget);
        m_main->setGeometry(100, 120, 900, 700);
        m_form = new Form2(m_main.get());
        m_main->addDockWidget(Qt::BottomDockWidgetArea, m_form);
        m_main->show();
    }

    QLabel* picture(int i) const { return m_form->findChild<QLabel*>(QStringLiteral("Image1_%1").arg(i)); }
    QTimer* timer(int i) const { return m_form->findChild<QTimer*>(QStringLiteral("Timer%1").arg(i)); }
    QPlainTextEdit* text() const { return m_form->findChild<QPlainTextEdit*>("Text1"); }

    // The indices of the pictures not hidden, as "0", "34" and so on.
    std::string shown() const
    {
        std::string indices;
        for (int i = 0; i < 5; ++i)
            if (!picture(i)->isHidden())
                indices += char('0' + i);
        return indices;
    }

    void tick(int timerIndex) { QMetaObject::invokeMethod(timer(timerIndex), "timeout"); }

    std::unique_ptr<QMainWindow> m_main;
    Form2* m_form = nullptr; // owned by m_main
};

} // namespace

TEST_F(MonitorWindow, HasTheNamedControlsInTheirPlaces)
{
    EXPECT_EQ(m_form->objectName(), "Form2");
    EXPECT_EQ(m_form->windowTitle(), "Compilation");
    EXPECT_EQ(m_form->widget()->sizeHint(), QSize(485, 219));
    EXPECT_FALSE(m_form->isVisible()) << "hidden until a build loads it";
    ASSERT_NE(text(), nullptr);
    EXPECT_EQ(text()->geometry(), QRect(64, 16, 417, 201));
    EXPECT_TRUE(text()->isReadOnly());
    EXPECT_EQ(text()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text()->accessibleName(), "Compilation messages");
    const char* names[] = {"Compiling", "Compiling", "Error", "Error", "Success"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(picture(i), nullptr);
        EXPECT_EQ(picture(i)->geometry(), QRect(8, 0, 52, 52));
        EXPECT_EQ(picture(i)->pixmap().size(), QSize(52, 52)) << "the picture must come from the resources";
        EXPECT_EQ(picture(i)->accessibleName(), names[i]);
    }
    EXPECT_EQ(shown(), "0");
    for (int i : {1, 2}) {
        ASSERT_NE(timer(i), nullptr);
        EXPECT_EQ(timer(i)->interval(), 300);
    }
}

TEST_F(MonitorWindow, LoadingShowsItDockedAndStartsTheCompilingAnimation)
{
    m_form->load("Demo");
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_TRUE(m_form->isLoaded());
    EXPECT_FALSE(m_form->isModal());
    EXPECT_FALSE(m_form->isWindow());
    EXPECT_EQ(m_form->features(), QDockWidget::DockWidgetClosable) << "it cannot be floated over the editor";
    // The text box takes the panel's whole width and height right of the pictures.
    QWidget* client = m_form->widget();
    EXPECT_TRUE(QTest::qWaitFor([&] { return client->width() > 485; }));
    EXPECT_EQ(text()->geometry(), QRect(64, 16, client->width() - 68, client->height() - 18));
    EXPECT_EQ(m_form->text(), "Compiling Demo...");
    EXPECT_TRUE(timer(1)->isActive());
    EXPECT_FALSE(timer(2)->isActive());

    // Timer1 alternates the two compiling pictures; Timer2 the two error pictures.
    const struct {
        int timer;
        std::string before;
        std::string after;
    } ticks[] = {{1, "0", "1"}, {1, "1", "0"}, {1, "0", "1"}};
    for (const auto& row : ticks) {
        SCOPED_TRACE(row.before + " -> " + row.after);
        EXPECT_EQ(shown(), row.before);
        tick(row.timer);
        EXPECT_EQ(shown(), row.after);
    }
    // The real timer runs too.
    const std::string now = shown();
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() != now; }, 3000));
}

TEST_F(MonitorWindow, SizeRefusalShowsTheMessageAndTheErrorAnimation)
{
    m_form->load("Demo");
    m_form->showSizeError("/home/ann/big/");
    EXPECT_EQ(m_form->text(), "The project directory \r\n/home/ann/big/\r\ncannot have more than 720kb of files");
    EXPECT_EQ(text()->document()->blockCount(), 3);
    EXPECT_EQ(shown(), "3");
    EXPECT_FALSE(timer(1)->isActive());
    EXPECT_TRUE(timer(2)->isActive());
    tick(2);
    EXPECT_EQ(shown(), "2");
    tick(2);
    EXPECT_EQ(shown(), "3");
}

TEST_F(MonitorWindow, SuccessAppendsAndAnErrorReplacesTheText)
{
    m_form->load("Demo");
    tick(1);
    m_form->showSuccess("\r\nNo errors - Sucessfully compiled\r\n\r\nCode: 9 bytes");
    EXPECT_EQ(m_form->text(), "Compiling Demo...\r\nNo errors - Sucessfully compiled\r\n\r\nCode: 9 bytes");
    EXPECT_EQ(shown(), "4");
    EXPECT_FALSE(timer(1)->isActive());
    EXPECT_FALSE(timer(2)->isActive());

    // A second build while the window is open keeps the text, and its success appends to it.
    m_form->bringUp("Other");
    EXPECT_EQ(m_form->text(), "Compiling Demo...\r\nNo errors - Sucessfully compiled\r\n\r\nCode: 9 bytes");
    m_form->showErrors("file  : a.pas: line 1, column 2\r\nError : 3 - M\r\n");
    EXPECT_EQ(m_form->text(), "file  : a.pas: line 1, column 2\r\nError : 3 - M\r\n");
    EXPECT_EQ(shown(), "3") << "the success picture must not cover the error animation";
    EXPECT_TRUE(timer(2)->isActive());
    EXPECT_FALSE(timer(1)->isActive());
}

TEST_F(MonitorWindow, EscapeOrTheCloseBoxClosesIt)
{
    enum How { EscOnPanel, EscOnText, CloseBox };
    for (How how : {EscOnPanel, EscOnText, CloseBox}) {
        SCOPED_TRACE(how);
        m_form->bringUp("Demo");
        m_form->showErrors("x\r\n");
        QSignalSpy unloaded(m_form, &Form2::unloaded);
        QWidget* target = how == EscOnText ? static_cast<QWidget*>(text()) : m_form;
        QTest::keyClick(target, Qt::Key_A);
        EXPECT_TRUE(m_form->isVisible()) << "other keys do nothing";
        if (how == CloseBox) {
            auto* box = m_form->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
            ASSERT_TRUE(box && box->isVisible());
            QTest::mouseClick(box, Qt::LeftButton);
        } else {
            QTest::keyClick(target, Qt::Key_Escape);
        }
        EXPECT_FALSE(m_form->isVisible());
        EXPECT_FALSE(m_form->isLoaded());
        EXPECT_EQ(unloaded.count(), 1);
        EXPECT_FALSE(timer(1)->isActive());
        EXPECT_FALSE(timer(2)->isActive());
    }
    // Brought up again after closing, it is loaded afresh.
    m_form->bringUp("Again");
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_EQ(m_form->text(), "Compiling Again...");
    EXPECT_EQ(shown(), "0");
}
