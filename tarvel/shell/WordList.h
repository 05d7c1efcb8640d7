#pragma once

#include <QString>
#include <QStringList>

namespace tarvel {

// The routine signatures of help/autocomplete.txt, one entry per line in file order. A missing or
// unreadable file gives an empty list.
[[nodiscard]] QStringList ReadWordList(const QString& applicationDirectory);

} // namespace tarvel
