#pragma once

#include "core/Result.h"

#include <QString>

namespace tarvel {

// The include directive the include commands insert: "{$i " + name + " }", nothing around it.
[[nodiscard]] QString IncludeDirective(const QString& fileName);

// A place in the editor's text; both count from 0.
struct TextPosition {
    int line = 0;
    int column = 0;
    bool operator==(const TextPosition& other) const { return line == other.line && column == other.column; }
};

// Where the directive goes: at the start of the selection as the editor reports it when the user
// answered Yes to "at the current cursor position?", else at the very start of the text.
[[nodiscard]] TextPosition IncludeInsertPosition(bool atSelection, TextPosition selectionStart);

// The file New Include creates: always in the project folder, under the chosen file name; an
// existing file whose name differs only in letter case is that file.
[[nodiscard]] QString NewIncludePath(const QString& chosenPath, const QString& projectDir);

// Whether two paths reach the same file (through links, or another spelling of the folder);
// false when either does not exist.
[[nodiscard]] bool IsSameFile(const QString& a, const QString& b);

// Copies `source` over `target` atomically. A copy onto the source itself succeeds and leaves the
// file untouched. On failure the target keeps its old content and the reason is returned.
[[nodiscard]] common::Status CopyFileOver(const QString& source, const QString& target);

} // namespace tarvel
