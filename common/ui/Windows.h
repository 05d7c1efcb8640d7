#pragma once

#include <QString>

class QWidget;

namespace common {

class Dialogs;

// Moves `window` so that its centre lies on the centre of `reference`; not clamped to the screen.
void CenterForm(const QWidget* reference, QWidget* window);

// Esc anywhere in `window` closes it, as its Cancel or Close button would.
void CloseOnEscape(QWidget* window);

// The folder picker; the chosen folder without a trailing separator, or "" on cancel.
[[nodiscard]] QString BrowseForFolder(Dialogs& dialogs, QWidget* owner, const QString& title);

// The Open-file dialog with a filter text such as "Pascal File | *.pas"; the chosen path with
// blanks trimmed, or "" on cancel. Only single selection is offered.
[[nodiscard]] QString ShowOpenDialog(Dialogs& dialogs, QWidget* owner, const QString& filterText,
                                     const QString& title, const QString& initialDirectory, bool multiSelect);

} // namespace common
