// The editor window's resize rule, in twips (1/1440 inch), as a pure
// function of the window's outer size and the tab area's size.
//
// The tab area sits in a clipping frame with a scroll bar on its right and
// one below. A window larger than the tab area needs is set back to the
// size that shows all of it in that direction; a smaller one scrolls. With
// the tab area of the original design (8625 x 9800 twips) that size is
// 9195 x 11175 twips; a larger font makes the tab area, and so the window,
// larger.
#pragma once

#include <optional>

namespace quillane {

inline constexpr int kEditorMaxWidthTwips = 9195;
inline constexpr int kEditorMaxHeightTwips = 11175;

// The window's outer size beyond its tab area: the frame's margins and the
// scroll bars, and 100 twips spare below.
inline constexpr int kTabAreaMarginWidthTwips = 570;
inline constexpr int kTabAreaMarginHeightTwips = 1275 + 100;

// The largest window, outside, for a tab area of that size.
inline int largestWindowWidth(int tabWidth) { return tabWidth + kTabAreaMarginWidthTwips; }
inline int largestWindowHeight(int tabHeight) { return tabHeight + kTabAreaMarginHeightTwips; }

struct ScrollState {
  bool enabled = false;
  int maximum = 0;  // only when enabled; the value goes back to 0
};

struct ResizeOutcome {
  // How many of the rule's five steps ran: a step whose size would be
  // negative (a minimised window) ends the rule there.
  int stepsDone = 0;
  int frameWidth = 0, frameHeight = 0;     // step 1: Frame2
  int vScrollHeight = 0, vScrollLeft = 0;  // step 2: VScroll1
  ScrollState vertical;                    // step 3
  std::optional<int> setWindowHeight;
  int hScrollWidth = 0, hScrollTop = 0;  // step 4: HScroll1
  ScrollState horizontal;                // step 5
  std::optional<int> setWindowWidth;
};

ResizeOutcome resizeRule(int windowWidth, int windowHeight, int tabWidth, int tabHeight);

// The rule as the window applies it: when it sets the window back in a
// direction, the frame and the scroll bars are laid out for the size the
// window is set back to, not for the size it had, so that no bar is left
// below or beside the window.
ResizeOutcome settledResizeRule(int windowWidth, int windowHeight, int tabWidth, int tabHeight);

}  // namespace quillane
