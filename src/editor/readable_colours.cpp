#include "editor/readable_colours.h"

#include "generation/advice.h"

namespace quillane {

namespace {

Rgb rgbOf(const QColor& c) { return {c.red(), c.green(), c.blue()}; }

// The amber a marked box's base is tinted towards, and how far.
const QColor kMarkAmber(0xFF, 0xB5, 0x00);
constexpr double kMarkTint = 0.31;

QColor mixed(const QColor& from, const QColor& to, double share) {
  const auto channel = [share](int a, int b) { return qRound(a + (b - a) * share); };
  return {channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue())};
}

}  // namespace

double contrastOf(const QColor& a, const QColor& b) { return contrastRatio(rgbOf(a), rgbOf(b)); }

QColor readableOn(const QColor& wanted, const QColor& background, double ratio) {
  if (contrastOf(wanted, background) >= ratio) return wanted;
  // One of the two ends always reaches 4.5:1, since the larger of the
  // ratios to black and to white is at least the square root of 21.
  const QColor end =
      contrastOf(Qt::black, background) >= contrastOf(Qt::white, background) ? QColor(Qt::black) : QColor(Qt::white);
  for (int step = 1; step < 255; ++step) {
    const QColor candidate = mixed(wanted, end, step / 255.0);
    if (contrastOf(candidate, background) >= ratio) return candidate;
  }
  return end;
}

QPalette markedBoxPalette(const QPalette& palette) {
  QPalette marked;
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    const QColor base = mixed(palette.color(group, QPalette::Base), kMarkAmber, kMarkTint);
    marked.setColor(group, QPalette::Base, base);
    if (group != QPalette::Disabled)
      marked.setColor(group, QPalette::Text, readableOn(palette.color(group, QPalette::Text), base));
  }
  return marked;
}

}  // namespace quillane
