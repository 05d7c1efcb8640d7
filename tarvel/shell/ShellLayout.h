#pragma once

namespace tarvel {

// Twips: 1/1440 inch; the window's sizes are reckoned in them, 15 to a pixel.
inline constexpr int TwipsPerPixel = 15;
inline constexpr int TreeWidthTwips = 2415;
inline constexpr int EditorLeftWithTreeTwips = 2400;
inline constexpr int BottomGapTwips = 70;
// The editor is never made lower than this by the compilation monitor docked under it.
inline constexpr int EditorMinimumHeightPixels = 120;
// The editor overlaps the tree's right edge by this much.
inline constexpr int TreeOverlapTwips = TreeWidthTwips - EditorLeftWithTreeTwips;

// Where the tree and the editor go in a client area of W x H twips (status bar included).
struct ShellLayout {
    bool treeVisible = true;
    int treeWidth = TreeWidthTwips; // the user may drag it wider or narrower
    int editorLeft = EditorLeftWithTreeTwips;
    int editorWidth = 0;
    int editorHeight = 0;
    int treeHeight = 0;
};

// Recomputes the layout. A size whose computation would come out too small is left as it was in
// `current`, so nothing is ever set negative.
[[nodiscard]] ShellLayout ComputeShellLayout(int clientWidth, int clientHeight, int statusBarHeight,
                                             bool showTree, const ShellLayout& current);

// Half the editor's height in pixels, rounded to the nearest integer with halves going to the
// even neighbour.
[[nodiscard]] int HalfHeightPixels(int editorHeightTwips);

} // namespace tarvel
