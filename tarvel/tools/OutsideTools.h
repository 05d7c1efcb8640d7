#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tarvel {

// Starts the outside programs and opens documents with the desktop's viewers, never waiting for
// them. The main window takes one so that tests can start stand-in programs from a folder of
// their own.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;

    // The full path of the first of `names` found on the program search path, or "".
    [[nodiscard]] virtual QString findProgram(const QStringList& names) const = 0;

    // Starts the program without waiting for it; false when it could not be started.
    virtual bool start(const QString& program, const QStringList& arguments) = 0;

    // Opens a document or web address with the viewer the desktop chooses; false when none took it.
    virtual bool open(const QUrl& url) = 0;
};

// The calculators tried for Calc, in order.
[[nodiscard]] QStringList CalculatorPrograms();

// The image converter of the application folder: msximg, or else msximg.exe; "" when neither
// is there.
[[nodiscard]] QString ImageConverterPath(const QString& applicationDirectory);

// The Pascal reference help of the application folder.
[[nodiscard]] QString HelpFilePath(const QString& applicationDirectory);

} // namespace tarvel
