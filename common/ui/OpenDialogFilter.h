#pragma once

#include "ui/Dialogs.h"

namespace common {

// Parses a filter text of alternating descriptions and patterns separated by "|", such as
// "Include files (*.inc, *.lib) | *.inc; *.lib | All files (*.*) | *.*". The blanks around each
// bar stay part of the description; a pattern written with blanks around it is matched as the
// pattern itself, and "a; b" holds two patterns. A text without any bar gives one description
// and no pattern.
[[nodiscard]] QList<Dialogs::Filter> ParseDialogFilter(const QString& filterText);

// The filter in the "description (patterns)" form that QFileDialog takes.
[[nodiscard]] QStringList QtFilterStrings(const QList<Dialogs::Filter>& filters);

} // namespace common
