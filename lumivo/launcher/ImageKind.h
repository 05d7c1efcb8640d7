#pragma once

#include <QString>

namespace lumivo {

// What the launcher runs: the index of the kind buttons and the value stored in ImageKind.
enum ImageKind : int { KindDsk = 0, KindRom = 1, KindCas = 2, KindDir = 3 };

constexpr int ImageKindCount = 4;

// The button caption ("DSK", ...), the file list's pattern ("*.dsk", ...; several patterns are
// separated by ';') and BR-MSX's option for the kind ("-diska", ...). `kind` must be 0..3.
[[nodiscard]] QString ImageKindCaption(int kind);
[[nodiscard]] QString ImageKindPattern(int kind);
[[nodiscard]] QString ImageKindBrmsxOption(int kind);

} // namespace lumivo
