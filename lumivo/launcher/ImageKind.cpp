#include "ImageKind.h"

namespace lumivo {

namespace {

struct KindRow {
    const char* caption;
    const char* pattern;
    const char* option;
};

// The DIR kind runs a whole folder; its pattern only shows which MSX programs and sources it holds.
constexpr KindRow kKinds[ImageKindCount] = {
    {"DSK", "*.dsk", "-diska"},
    {"ROM", "*.rom", "-rom"},
    {"CAS", "*.cas", "-tape"},
    {"DIR", "*.bas;*.bin;*.ldr;*.asm;*.txt;*.0??", "-mount"},
};

const KindRow& row(int kind)
{
    return kKinds[kind >= 0 && kind < ImageKindCount ? kind : 0];
}

} // namespace

QString ImageKindCaption(int kind) { return QString::fromLatin1(row(kind).caption); }
QString ImageKindPattern(int kind) { return QString::fromLatin1(row(kind).pattern); }
QString ImageKindBrmsxOption(int kind) { return QString::fromLatin1(row(kind).option); }

} // namespace lumivo
