#pragma once

#include <QWidget>

#include <array>

class CodeEditor;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace common {
class Dialogs;
}
namespace tarvel {
struct PaletteRead;
struct PaletteColor;
struct MsxColor;
}

// The palette converter: turns a JASC-PAL palette or the colour table of a 16-colour BMP into
// SetPalette source lines (copied to the clipboard or inserted into the main editor) or into a
// screen 5 palette file. Modeless; the main window keeps one instance.
class frmConvPal : public QWidget {
    Q_OBJECT
public:
    frmConvPal(common::Dialogs& dialogs, CodeEditor& code, QWidget* mainWindow);

    void Command1_Click(); // Open
    void Command2_Click(); // Convert
    void Command3_Click(); // Copy to clipboard
    void Command4_Click(); // Insert on code
    void Command5_Click(); // Save to file

private:
    // Reads the source named in Text1; tells the user and gives nothing when it cannot be used.
    bool readSource(tarvel::PaletteRead* read);
    // Colours swatch pair `index`: the source colour and, beside it, the MSX colour it became.
    void showSwatch(int index, const tarvel::PaletteColor& source, const tarvel::MsxColor& msx);

    common::Dialogs& m_dialogs;
    CodeEditor& m_code;
    QLineEdit* m_path = nullptr;
    QPlainTextEdit* m_text = nullptr;
    // The sixteen colours after a Convert: the source colour and the MSX colour, side by side.
    std::array<QLabel*, 16> m_sourceSwatches{};
    std::array<QLabel*, 16> m_msxSwatches{};
};
