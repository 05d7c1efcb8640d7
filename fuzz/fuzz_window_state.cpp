// window.cfg, the main window's remembered state: any bytes give a state, and that state written
// and read again is the same state (a folder name holding a line break cannot be kept on its line
// and is left out of the comparison).

#include "FuzzSupport.h"

#include "shell/WindowState.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const tarvel::WindowState read = tarvel::DecodeWindowState(fuzz::Bytes(data, size));
    FUZZ_CHECK(read.geometry.isNull() || (read.geometry.width() > 0 && read.geometry.height() > 0),
               QStringLiteral("a window without a size"));
    FUZZ_CHECK(read.treeWidth >= 0 && read.splitPosition >= 0 && read.monitorHeight >= 0,
               QStringLiteral("a negative pane size"));

    const tarvel::WindowState again = tarvel::DecodeWindowState(tarvel::EncodeWindowState(read));
    if (read.lastProjectFolder.contains(QLatin1Char('\n')) || read.lastProjectFolder.endsWith(QLatin1Char('\r')))
        return 0;
    FUZZ_CHECK(again == read, fuzz::Printable(QString::fromLatin1(tarvel::EncodeWindowState(read))));
    return 0;
}
