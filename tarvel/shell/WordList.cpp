#include "shell/WordList.h"

#include "core/Paths.h"
#include "core/TextFile.h"

namespace tarvel {

QStringList ReadWordList(const QString& applicationDirectory)
{
    const QString path = common::AddBackslash(applicationDirectory) + QStringLiteral("help/autocomplete.txt");
    common::Result<QStringList> lines = common::ReadTextLines(path);
    return lines ? lines.value() : QStringList();
}

} // namespace tarvel
