#include "shell/ShellLayout.h"

#include <cmath>

namespace tarvel {

ShellLayout ComputeShellLayout(int clientWidth, int clientHeight, int statusBarHeight, bool showTree,
                               const ShellLayout& current)
{
    ShellLayout layout = current;
    const int height = clientHeight - statusBarHeight - BottomGapTwips;
    layout.treeVisible = showTree;
    if (showTree) {
        layout.editorLeft = layout.treeWidth - TreeOverlapTwips;
        if (clientWidth - layout.treeWidth > 0)
            layout.editorWidth = clientWidth - layout.treeWidth;
        if (height >= 0) {
            layout.editorHeight = height;
            layout.treeHeight = height;
        }
    } else {
        if (clientWidth >= 10)
            layout.editorWidth = clientWidth - 10;
        layout.editorLeft = 0;
        if (height >= 0)
            layout.editorHeight = height;
    }
    return layout;
}

int HalfHeightPixels(int editorHeightTwips)
{
    const double half = static_cast<double>(editorHeightTwips) / TwipsPerPixel / 2.0;
    return static_cast<int>(std::nearbyint(half)); // the default rounding mode sends halves to even
}

} // namespace tarvel
