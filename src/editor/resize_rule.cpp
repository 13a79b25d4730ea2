#include "editor/resize_rule.h"

namespace quillane {

ResizeOutcome resizeRule(int w, int h, int tabWidth, int tabHeight) {
  ResizeOutcome r;
  r.frameWidth = w - 570;
  r.frameHeight = h - 1275;
  if (r.frameWidth < 0 || r.frameHeight < 0) return r;
  r.stepsDone = 1;

  r.vScrollHeight = h - 1065;
  r.vScrollLeft = w - 375;
  if (r.vScrollHeight < 0) return r;
  r.stepsDone = 2;

  const int v = tabHeight - r.frameHeight + 100;
  if (v <= 0)
    r.setWindowHeight = largestWindowHeight(tabHeight);
  else
    r.vertical = {true, v};
  r.stepsDone = 3;

  r.hScrollWidth = w - 360;
  r.hScrollTop = h - 1100;
  if (r.hScrollWidth < 0) return r;
  r.stepsDone = 4;

  const int d = tabWidth - r.frameWidth;
  if (d <= 0)
    r.setWindowWidth = largestWindowWidth(tabWidth);
  else
    r.horizontal = {true, d};
  r.stepsDone = 5;
  return r;
}

ResizeOutcome settledResizeRule(int w, int h, int tabWidth, int tabHeight) {
  const ResizeOutcome first = resizeRule(w, h, tabWidth, tabHeight);
  if (!first.setWindowWidth && !first.setWindowHeight) return first;
  ResizeOutcome settled =
      resizeRule(first.setWindowWidth.value_or(w), first.setWindowHeight.value_or(h), tabWidth, tabHeight);
  settled.setWindowWidth = first.setWindowWidth;
  settled.setWindowHeight = first.setWindowHeight;
  return settled;
}

}  // namespace quillane
