#pragma once

namespace tarvel {

// The editor's panes are numbered from 0; `count` is how many there are, `active` the index of
// the one that has the focus. With no pane at all (count below 1) the active index stays.

// Ctrl+Tab: the next pane, back to 0 after the last. With one pane that is 0 again.
[[nodiscard]] int NextPane(int count, int active);

// Ctrl+Shift+Tab: the previous pane, on to the last one before 0.
[[nodiscard]] int PreviousPane(int count, int active);

} // namespace tarvel
