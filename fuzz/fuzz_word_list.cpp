// The word list help/autocomplete.txt: read from a real file, it gives one entry per line (CR LF,
// LF or CR), every byte of the file outside the line ends in order, and no entry holds a line end.

#include "FuzzSupport.h"

#include "core/TextFile.h"
#include "shell/WordList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// The application folder, made once per run; in memory where the system offers it, since every
// input is written as a file.
const QTemporaryDir& Kit()
{
    static const QTemporaryDir kit(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                       ? QStringLiteral("/dev/shm/tarvel-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/tarvel-fuzz-XXXXXX"));
    static const bool made = QDir(kit.path()).mkpath(QStringLiteral("help"));
    FUZZ_CHECK(kit.isValid() && made, kit.errorString());
    return kit;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    // A new file each time: rewriting one in place makes some file systems flush it on close.
    QFile file(Kit().filePath(QStringLiteral("help/autocomplete.txt")));
    file.remove();
    FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), file.errorString());
    file.close();

    const QStringList words = tarvel::ReadWordList(Kit().path());

    QByteArray text;
    int lineEnds = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            ++lineEnds;
            if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else {
            text += c;
        }
    }
    const bool lastLineOpen = !bytes.isEmpty() && !bytes.endsWith('\r') && !bytes.endsWith('\n');
    FUZZ_CHECK(words.size() == lineEnds + (lastLineOpen ? 1 : 0),
               QStringLiteral("%1 entries for %2 line ends").arg(words.size()).arg(lineEnds));

    QByteArray joined;
    for (const QString& word : words) {
        FUZZ_CHECK(!word.contains(QLatin1Char('\r')) && !word.contains(QLatin1Char('\n')), fuzz::Printable(word));
        joined += word.toLatin1();
    }
    FUZZ_CHECK(joined == text, QStringLiteral("the entries do not hold the file's bytes"));
    return 0;
}
