#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"
#include "tools/frmConvPal.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

QByteArray jascWith(const QByteArray& first, const QByteArray& second = "0 0 0")
{
    QByteArray bytes = "JASC-PAL\r\n0100\r\n16\r\n" + first + "\r\n" + second + "\r\n";
    for (int i = 2; i < 16; ++i)
        bytes += "0 0 0\r\n";
    return bytes;
}

QByteArray bitmap(int bitsPerPixel)
{
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes[14] = 40;
    bytes[28] = char(bitsPerPixel);
    for (int i = 0; i < 16; ++i)
        bytes += QByteArray("\xED\x13\x12\x00", 4); // blue 237, green 19, red 18
    return bytes + QByteArray(8, '\0');
}

// The palette converter of a started main window, opened from the Tools menu.
class PaletteWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = kit.startForm(dialogs);
        form->findChild<QAction*>("mnuConvPal")->trigger();
        window = form->findChild<frmConvPal*>("frmConvPal");
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(testfiles::waitUntil([&] { return QApplication::activeWindow() == window; }));
        path = window->findChild<QLineEdit*>("Text1");
        text = window->findChild<QPlainTextEdit*>("Text2");
    }

    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }

    // Types a path into Text1 as the user would, replacing what it held.
    void typePath(const QString& file)
    {
        path->setFocus();
        QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(path, Qt::Key_Delete);
        QTest::keyClicks(path, file);
    }

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    frmConvPal* window = nullptr;
    QLineEdit* path = nullptr;
    QPlainTextEdit* text = nullptr;
};

} // namespace

TEST_F(PaletteWindow, OpensOnceWithItsControlsAndKeepsItsText)
{
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Convert palette");
    EXPECT_EQ(button("Command1")->text(), "Open");
    EXPECT_EQ(button("Command2")->text(), "Convert");
    EXPECT_EQ(button("Command3")->text(), "Copy to clipboard");
    EXPECT_EQ(button("Command4")->text(), "Insert on code");
    EXPECT_EQ(button("Command5")->text(), "Save to file");

    testfiles::write(kit.path("white.pal"), jascWith("255 255 255"));
    typePath(kit.path("white.pal"));
    click("Command2");
    EXPECT_TRUE(text->toPlainText().startsWith("SetPalette(00,7,7,7);\nSetPalette(01,0,0,0);\n"));

    // Ctrl+F4 in the main window brings the same window forward with its text.
    form->windowHandle()->requestActivate();
    ASSERT_TRUE(testfiles::waitUntil([&] { return QApplication::activeWindow() == form.get(); }));
    QTest::keyClick(form.get(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_TRUE(testfiles::waitUntil([&] { return QApplication::activeWindow() == window; }))
        << "the converter comes forward with the keyboard";
    EXPECT_EQ(form->findChildren<frmConvPal*>().size(), 1);
    EXPECT_EQ(form->findChild<frmConvPal*>("frmConvPal"), window);
    EXPECT_TRUE(text->toPlainText().startsWith("SetPalette(00,7,7,7);"));
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST_F(PaletteWindow, TabGoesThroughTheControlsInOrder)
{
    button("Command1")->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order.join(' '), "Command1 Text1 Command2 Text2 Command3 Command4 Command5");
}

TEST_F(PaletteWindow, OpenPutsTheChosenPathIntoText1)
{
    typePath("/typed/before.pal");
    click("Command1");
    EXPECT_EQ(path->text(), "/typed/before.pal") << "a cancelled dialog keeps the text";
    dialogs.queuePath(kit.path("chosen.bmp"));
    click("Command1");
    EXPECT_EQ(path->text(), kit.path("chosen.bmp"));
    ASSERT_EQ(dialogs.calls().size(), 2);
    const ScriptedDialogs::Call& call = dialogs.calls()[1];
    EXPECT_EQ(call.kind, ScriptedDialogs::Kind::Open);
    EXPECT_EQ(call.title, "Select file to convert");
    EXPECT_EQ(call.initialDirectory, "");
    ASSERT_EQ(call.filters.size(), 2);
    EXPECT_EQ(call.filters[0].patterns, QStringList{"*.pal"});
    EXPECT_EQ(call.filters[1].patterns, QStringList{"*.bmp"});
}

TEST_F(PaletteWindow, BadSourcesGetTheirMessageAndLeaveTheTextAlone)
{
    struct Row {
        const char* name;
        const char* file;
        QByteArray bytes; // not written when empty
        const char* message;
        const char* title;
        common::Dialogs::Icon icon;
    };
    using Icon = common::Dialogs::Icon;
    const Row rows[] = {
        {"missing", "gone.pal", {}, "Could not open the file!", "Tarvel", Icon::None},
        {"a bitmap named .pal", "x.pal", bitmap(4), "Not a valid PSP palette file!", "Erro", Icon::Critical},
        {"lower-case header", "lower.pal", jascWith("1 2 3").replace("JASC-PAL", "jasc-pal"),
         "Not a valid PSP palette file!", "Erro", Icon::Critical},
        {"version", "v.pal", jascWith("1 2 3").replace("0100", "0200"), "Incorrect palette version!", "Erro",
         Icon::Critical},
        {"count", "c.pal", jascWith("1 2 3").replace("\r\n16\r\n", "\r\n256\r\n"), "Palette must have 16 colors!",
         "Erro", Icon::Critical},
        {"cut short", "short.pal", "JASC-PAL\r\n0100\r\n16\r\n1 2 3\r\n",
         "The palette file ends before its 16th color (it has 1).", "Error", Icon::Critical},
        {"256-colour bitmap", "big.bmp", bitmap(8), "Not 16 color image", "Error", Icon::Critical},
    };
    testfiles::write(kit.path("good.pal"), jascWith("18 19 237"));
    typePath(kit.path("good.pal"));
    click("Command2");
    const QString before = text->toPlainText();
    ASSERT_TRUE(before.startsWith("SetPalette(00,0,1,7);"));

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.bytes.isEmpty())
            testfiles::write(kit.path(row.file), row.bytes);
        for (const char* command : {"Command2", "Command5"}) {
            SCOPED_TRACE(command);
            dialogs.clear();
            typePath(kit.path(row.file));
            click(command);
            ASSERT_EQ(dialogs.calls().size(), 1) << "one message and no save dialog";
            EXPECT_EQ(dialogs.calls()[0].text, row.message);
            EXPECT_EQ(dialogs.calls()[0].title, row.title);
            EXPECT_EQ(dialogs.calls()[0].icon, row.icon);
            EXPECT_EQ(dialogs.calls()[0].buttons, common::Dialogs::Buttons::Ok);
            EXPECT_EQ(text->toPlainText(), before);
        }
    }
}

TEST_F(PaletteWindow, OtherFileNamesConvertNothingAndAreNotSaved)
{
    testfiles::write(kit.path("photo.png"), "not a palette");
    typePath(kit.path("photo.png"));
    click("Command2");
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_EQ(text->toPlainText(), "");

    dialogs.queuePath(kit.path("black.pl5"));
    click("Command5");
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].kind, ScriptedDialogs::Kind::Message);
    EXPECT_EQ(dialogs.calls()[0].title, "Tarvel");
    EXPECT_FALSE(QFile::exists(kit.path("black.pl5"))) << "no file of sixteen blacks";
}

TEST_F(PaletteWindow, ConvertAndSaveABitmapsColourTable)
{
    testfiles::write(kit.path("pic.BMP"), bitmap(4));
    typePath(kit.path("pic.BMP"));
    click("Command2");
    EXPECT_EQ(text->toPlainText().split('\n').first(), "SetPalette(00,0,1,7);");
    EXPECT_EQ(text->toPlainText().count("SetPalette("), 16);

    dialogs.queuePath(kit.path("pic"));
    click("Command5");
    EXPECT_FALSE(QFile::exists(kit.path("pic")));
    const QByteArray bytes = testfiles::read(kit.path("pic.pl5"));
    ASSERT_EQ(bytes.size(), 39) << "a name without an extension gets .pl5, and nothing else is written";
    EXPECT_EQ(bytes.mid(7, 2), QByteArray("\x07\x01", 2));
    EXPECT_EQ(bytes.mid(37, 2), QByteArray("\x07\x01", 2));
}

TEST_F(PaletteWindow, SaveWritesTheScreen5FileOverTheStartOfTheChosenFile)
{
    const QString data = testfiles::testDataDir() + "/tools/";
    QFile::copy(data + "msx.pal", kit.path("msx.pal"));
    typePath(kit.path("msx.pal"));
    dialogs.queuePath(kit.path("out.pl5"));
    click("Command5");
    ASSERT_EQ(dialogs.calls().size(), 1);
    const ScriptedDialogs::Call& call = dialogs.calls()[0];
    EXPECT_EQ(call.kind, ScriptedDialogs::Kind::Save);
    EXPECT_EQ(call.title, "Save screen 5 palette file");
    ASSERT_EQ(call.filters.size(), 1);
    EXPECT_EQ(call.filters[0].patterns, QStringList{"*.pl5"});
    const QByteArray expected = testfiles::read(data + "msx.pl5");
    EXPECT_EQ(testfiles::read(kit.path("out.pl5")), expected)
        << testfiles::hex(testfiles::read(kit.path("out.pl5"))).toStdString();
    EXPECT_EQ(text->toPlainText(), "") << "saving does not touch the text";

    // A longer file keeps its bytes after the 39th; a cancelled dialog writes nothing.
    testfiles::write(kit.path("long.pl5"), QByteArray(45, 'L'));
    dialogs.queuePath(kit.path("long.pl5"));
    click("Command5");
    EXPECT_EQ(testfiles::read(kit.path("long.pl5")), expected + QByteArray(6, 'L'));
    const QStringList before = QDir(kit.dir()).entryList(QDir::Files);
    click("Command5");
    EXPECT_EQ(dialogs.calls().size(), 3);
    EXPECT_EQ(dialogs.calls().last().kind, ScriptedDialogs::Kind::Save);
    EXPECT_EQ(QDir(kit.dir()).entryList(QDir::Files), before);

    // A target that cannot be written is reported and left whole.
    testfiles::write(kit.path("locked.pl5"), "old");
    QFile::setPermissions(kit.path("locked.pl5"), QFileDevice::ReadOwner);
    dialogs.clear();
    dialogs.queuePath(kit.path("locked.pl5"));
    click("Command5");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("The palette file could not be saved:"));
    EXPECT_EQ(dialogs.messages()[0].title, "Error");
    EXPECT_EQ(testfiles::read(kit.path("locked.pl5")), "old");
}

TEST_F(PaletteWindow, CopyAndInsertTakeWhatText2Holds)
{
    testfiles::write(kit.path("white.pal"), jascWith("255 255 255"));
    typePath(kit.path("white.pal"));
    click("Command2");
    click("Command3");
    EXPECT_EQ(QApplication::clipboard()->text(), text->toPlainText());

    CodeEditor* code = form->editor();
    code->setText("begin\r\nend.\r\n");
    code->setCaret(1, 0);
    click("Command4");
    EXPECT_TRUE(code->text().startsWith("begin\r\nSetPalette(00,7,7,7);\r\nSetPalette(01,0,0,0);\r\n"));
    EXPECT_TRUE(code->text().endsWith("SetPalette(15,0,0,0);\r\nend.\r\n"));
    EXPECT_EQ(code->text().count("SetPalette("), 16);

    // Text the user typed goes in as it stands, at the caret.
    text->selectAll();
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClicks(text, "Color(15);");
    click("Command3");
    EXPECT_EQ(QApplication::clipboard()->text(), "Color(15);");
    code->setText("ab");
    code->setCaret(0, 1);
    click("Command4");
    EXPECT_EQ(code->text(), "aColor(15);b");
}

// After Convert each colour is shown twice, side by side: as the source has it and as the MSX
// will show its 3-bit levels (level * 255 / 7).
TEST_F(PaletteWindow, ConvertShowsEachSourceColourBesideItsMsxColour)
{
    const auto colourOf = [this](const QString& name) {
        QWidget* swatch = window->findChild<QWidget*>(name);
        EXPECT_NE(swatch, nullptr) << name.toStdString();
        if (!swatch)
            return QColor();
        const QImage image = swatch->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    };
    const QString file = kit.path("colours.pal");
    QByteArray jasc = "JASC-PAL\r\n0100\r\n16\r\n255 255 255\r\n18 19 237\r\n92 128 200\r\n";
    for (int i = 3; i < 16; ++i)
        jasc += "0 0 0\r\n";
    testfiles::write(file, jasc);
    typePath(file);
    click("Command2");

    const struct {
        int index;
        QColor source;
        QColor msx;
    } rows[] = {
        {0, QColor(255, 255, 255), QColor(255, 255, 255)}, // level 7
        {1, QColor(18, 19, 237), QColor(0, 36, 255)},      // levels 0, 1, 7
        {2, QColor(92, 128, 200), QColor(109, 146, 182)},  // levels 3, 4, 5
        {15, QColor(0, 0, 0), QColor(0, 0, 0)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(colourOf(QStringLiteral("SourceColor%1").arg(row.index)), row.source);
        EXPECT_EQ(colourOf(QStringLiteral("MsxColor%1").arg(row.index)), row.msx);
    }
    EXPECT_EQ(window->findChild<QWidget*>("MsxColor1")->toolTip(), "Colour 1: 18,19,237 becomes MSX 0,1,7 (shown as 0,36,255)");
    EXPECT_TRUE(text->toPlainText().startsWith("SetPalette(00,7,7,7);\nSetPalette(01,0,1,7);\nSetPalette(02,3,4,5);"));

    // A source that is refused leaves the swatches as they were, like the text.
    testfiles::write(kit.path("bad.pal"), "not a palette");
    typePath(kit.path("bad.pal"));
    click("Command2");
    EXPECT_EQ(colourOf("MsxColor1"), QColor(0, 36, 255));
}
