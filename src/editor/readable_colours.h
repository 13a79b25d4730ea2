// The colours the editor draws itself, made from the palette of the
// desktop's theme, so that they read in light and dark themes alike: every
// text colour reaches the contrast ratio WCAG 2.2 asks of body text, 4.5:1,
// on the background it is drawn on.
#pragma once

#include <QColor>
#include <QPalette>

namespace quillane {

inline constexpr double kReadableRatio = 4.5;

// The contrast ratio of WCAG 2.2 (generation/advice.h), from 1 to 21.
double contrastOf(const QColor& a, const QColor& b);

// `wanted` itself when it reaches `ratio` on `background`; else the nearest
// colour on the line from it to black (on a light background) or to white
// (on a dark one) that does.
//   #0040A0 on #FFFFFF -> #0040A0;  #0040A0 on #2A2A2A -> #6D92C9
QColor readableOn(const QColor& wanted, const QColor& background, double ratio = kReadableRatio);

// The palette of a box marked for a value the settings file cannot keep,
// from the palette it stands in: the base tinted amber (#FFE8B0 on a white
// base) and the text made readable on it, in each colour group; a disabled
// box keeps the palette's disabled text.
QPalette markedBoxPalette(const QPalette& palette);

}  // namespace quillane
