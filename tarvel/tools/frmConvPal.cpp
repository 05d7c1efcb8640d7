#include "tools/frmConvPal.h"

#include "core/Paths.h"
#include "shell/CodeEditor.h"
#include "tools/PaletteConverter.h"
#include "ui/Accessibility.h"
#include "ui/Dialogs.h"
#include "ui/OpenDialogFilter.h"
#include "ui/Windows.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using common::Dialogs;

namespace {

// Twips to pixels at 15 twips per pixel.
QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int t) { return qRound(t / 15.0); };
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace

frmConvPal::frmConvPal(Dialogs& dialogs, CodeEditor& code, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_dialogs(dialogs), m_code(code)
{
    setObjectName(QStringLiteral("frmConvPal"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Convert palette"));

    // The classic window's order at about its sizes; a layout keeps the captions whole with any font.
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("Text1"));
    m_path->setAccessibleName(QStringLiteral("Source file"));

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    QPushButton* open = button("Command1", QStringLiteral("Open"));
    QPushButton* convert = button("Command2", QStringLiteral("Convert"));
    QPushButton* copy = button("Command3", QStringLiteral("Copy to clipboard"));
    QPushButton* insert = button("Command4", QStringLiteral("Insert on code"));
    QPushButton* save = button("Command5", QStringLiteral("Save to file"));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_text = new QPlainTextEdit(frame);
    m_text->setObjectName(QStringLiteral("Text2"));
    m_text->setAccessibleName(QStringLiteral("Pascal text"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTabChangesFocus(true);
    m_text->setMinimumSize(twips(0, 0, 4935, 2535).size());
    (new QVBoxLayout(frame))->addWidget(m_text);

    // What the MSX will show: each entry's source colour with its MSX colour beside it, eight
    // entries to a row. Empty until the first Convert.
    auto* swatches = new QWidget(this);
    swatches->setObjectName(QStringLiteral("Swatches"));
    swatches->setAccessibleName(QStringLiteral("Converted colours"));
    auto* grid = new QGridLayout(swatches);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(2);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < 16; ++i) {
        const auto swatch = [swatches](const QString& name, const QString& accessible) {
            auto* label = new QLabel(swatches);
            label->setObjectName(name);
            label->setAccessibleName(accessible);
            label->setFixedSize(18, 18);
            label->setFrameShape(QFrame::Box);
            label->setAutoFillBackground(true);
            return label;
        };
        m_sourceSwatches[i] = swatch(QStringLiteral("SourceColor%1").arg(i), QStringLiteral("Source colour %1").arg(i));
        m_msxSwatches[i] = swatch(QStringLiteral("MsxColor%1").arg(i), QStringLiteral("MSX colour %1").arg(i));
        const int row = i / 8;
        const int column = (i % 8) * 3;
        grid->addWidget(m_sourceSwatches[i], row, column);
        grid->addWidget(m_msxSwatches[i], row, column + 1);
        if (i % 8 != 7)
            grid->setColumnMinimumWidth(column + 2, 8);
    }

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    for (QPushButton* b : {open, convert, copy, insert, save})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->addWidget(m_path);
    column->addLayout(buttons);
    column->addWidget(frame, 1);
    column->addWidget(swatches, 0, Qt::AlignLeft);
    resize(sizeHint().expandedTo(twips(0, 0, 5415, 4095).size()));

    connect(open, &QPushButton::clicked, this, &frmConvPal::Command1_Click);
    connect(convert, &QPushButton::clicked, this, &frmConvPal::Command2_Click);
    connect(copy, &QPushButton::clicked, this, &frmConvPal::Command3_Click);
    connect(insert, &QPushButton::clicked, this, &frmConvPal::Command4_Click);
    connect(save, &QPushButton::clicked, this, &frmConvPal::Command5_Click);

    setTabOrder(open, m_path);
    setTabOrder(m_path, convert);
    setTabOrder(convert, m_text);
    setTabOrder(m_text, copy);
    setTabOrder(copy, insert);
    setTabOrder(insert, save);
    open->setFocus();

    common::NameControlsForAccessibility(this);
    common::CenterForm(mainWindow, this);
    common::CloseOnEscape(this);
}

void frmConvPal::Command1_Click()
{
    const QString chosen =
        common::ShowOpenDialog(m_dialogs, this, QStringLiteral("PSP Palette (*.pal) | *.pal | BMP File (*.bmp) | *.bmp"),
                               QStringLiteral("Select file to convert"), QString(), false);
    if (!chosen.isEmpty())
        m_path->setText(chosen);
}

bool frmConvPal::readSource(tarvel::PaletteRead* read)
{
    const QString path = m_path->text();
    const auto cannotOpen = [this] {
        m_dialogs.message(this, QStringLiteral("Could not open the file!"), QStringLiteral("Tarvel"), Dialogs::Icon::None,
                          Dialogs::Buttons::Ok);
        return false;
    };
    if (!common::FileExists(path))
        return cannotOpen();
    const tarvel::PaletteSource kind = tarvel::PaletteSourceOf(path);
    if (kind == tarvel::PaletteSource::Other)
        return false;
    const common::Result<QByteArray> bytes = tarvel::ReadFileHead(path, tarvel::PaletteSourceReadLimit);
    if (!bytes)
        return cannotOpen();
    *read = kind == tarvel::PaletteSource::Jasc ? tarvel::ReadJascPalette(bytes.value())
                                                : tarvel::ReadBmpPalette(bytes.value());
    if (!read->ok()) {
        m_dialogs.message(this, read->problem.message, read->problem.title, Dialogs::Icon::Critical,
                          Dialogs::Buttons::Ok);
        return false;
    }
    return true;
}

void frmConvPal::Command2_Click()
{
    tarvel::PaletteRead read;
    if (!readSource(&read))
        return;
    const tarvel::MsxPalette16 msx = tarvel::ToMsxPalette(*read.palette, tarvel::TextDivisor);
    for (int i = 0; i < 16; ++i)
        showSwatch(i, read.palette->at(i), msx.at(i));
    const QString text = tarvel::SetPaletteText(msx);
    // The text box holds lines; the CR LF of the source text is the editor's line end.
    m_text->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void frmConvPal::showSwatch(int index, const tarvel::PaletteColor& source, const tarvel::MsxColor& msx)
{
    const QColor shown(tarvel::MsxLevelTo8Bit(msx.red), tarvel::MsxLevelTo8Bit(msx.green), tarvel::MsxLevelTo8Bit(msx.blue));
    const QColor from(qBound(0, source.red, 255), qBound(0, source.green, 255), qBound(0, source.blue, 255));
    const auto paint = [](QLabel* swatch, const QColor& colour) {
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, colour);
        swatch->setPalette(palette);
    };
    paint(m_sourceSwatches[index], from);
    paint(m_msxSwatches[index], shown);
    const QString tip = QStringLiteral("Colour %1: %2,%3,%4 becomes MSX %5,%6,%7 (shown as %8,%9,%10)")
                            .arg(index)
                            .arg(source.red)
                            .arg(source.green)
                            .arg(source.blue)
                            .arg(msx.red)
                            .arg(msx.green)
                            .arg(msx.blue)
                            .arg(shown.red())
                            .arg(shown.green())
                            .arg(shown.blue());
    m_sourceSwatches[index]->setToolTip(tip);
    m_msxSwatches[index]->setToolTip(tip);
}

void frmConvPal::Command3_Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text->toPlainText());
}

void frmConvPal::Command4_Click()
{
    int line = 0;
    int column = 0;
    m_code.selectionStart(&line, &column);
    m_code.insertText(m_text->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")), line, column);
}

void frmConvPal::Command5_Click()
{
    const QString path = m_path->text();
    if (common::FileExists(path) && tarvel::PaletteSourceOf(path) == tarvel::PaletteSource::Other) {
        // Only a palette or a bitmap holds colours; a screen 5 file of sixteen blacks helps nobody.
        m_dialogs.message(this,
                          QStringLiteral("Choose a PSP palette (.pal) or a 16 color BMP (.bmp) file to save its "
                                         "colors as a screen 5 palette file."),
                          QStringLiteral("Tarvel"), Dialogs::Icon::Exclamation, Dialogs::Buttons::Ok);
        return;
    }
    tarvel::PaletteRead read;
    if (!readSource(&read))
        return;
    const QByteArray bytes = tarvel::Pl5Bytes(tarvel::ToMsxPalette(*read.palette, tarvel::FileDivisor));

    QString target =
        m_dialogs
            .saveFile(this, QStringLiteral("Save screen 5 palette file"), QString(), QString(),
                      common::ParseDialogFilter(QStringLiteral("Screen 5 palette files (*.pl5) | *.pl5")))
            .trimmed();
    if (target.isEmpty())
        return;
    // A name typed without an extension gets the palette file's own.
    if (!common::ExtractFileName(target).contains(QLatin1Char('.'))) {
        target += QStringLiteral(".pl5");
        // The save dialog asked about the name as typed, not about this one.
        if (common::FileExists(target)
            && m_dialogs.message(this, QStringLiteral("%1 already exists.\nReplace it?").arg(target),
                                 QStringLiteral("Tarvel"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo)
                   != Dialogs::Answer::Yes)
            return;
    }
    const common::Status saved = tarvel::WriteOverFileStart(target, bytes);
    if (!saved) {
        m_dialogs.message(this, QStringLiteral("The palette file could not be saved:\n%1").arg(saved.error()),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
    }
}
