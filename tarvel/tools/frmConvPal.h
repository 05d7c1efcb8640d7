#pragma once

#include <QWidget>

class CodeEditor;
class QLineEdit;
class QPlainTextEdit;

namespace common {
class Dialogs;
}
namespace tarvel {
struct PaletteRead;
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

    common::Dialogs& m_dialogs;
    CodeEditor& m_code;
    QLineEdit* m_path = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
