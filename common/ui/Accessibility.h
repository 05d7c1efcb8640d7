#pragma once

class QWidget;

namespace common {

// Gives every control of a window that has no accessible name yet the name a user sees: a
// button's or check box's caption, the caption of the label that is its buddy, a group's title.
// Call it once the window's controls exist; names set explicitly are kept.
void NameControlsForAccessibility(QWidget* window);

} // namespace common
