#include "editor/scrollbar_preview.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillane {

namespace {

// A coordinate in twips: w*W + h*H + t*(tx or ty) + k, where W and H are the
// picture's width and height in twips.
struct Coord {
  int w, h, t, k;
};

struct Item {
  int row;
  bool box;  // a filled box given by two corners; else a one-pixel line
  Coord x1, y1, x2, y2;
};

constexpr Coord at(int k) { return {0, 0, 0, k}; }
constexpr Coord px(int t, int k = 0) { return {0, 0, t, k}; }
constexpr Coord fromW(int t, int k = 0) { return {1, 0, t, k}; }
constexpr Coord fromH(int t) { return {0, 1, t, 0}; }
constexpr Coord fromHW(int t) { return {-1, 1, t, 0}; }  // H - W + t

constexpr int kThumbTop = 1000;
constexpr int kThumbExtra = 1500;

// clang-format off
constexpr std::array<Item, 27> kItems = {{
  // faces of the top button, the bottom button and the thumb
  {12, true,  px(2), px(2),                 fromW(-3), fromW(-2)},
  {12, true,  px(2), fromHW(1),             fromW(-3), fromH(-3)},
  {12, true,  px(2), px(2, kThumbTop),      fromW(-3), fromW(-2, kThumbExtra)},
  // top and left edges, outer
  {13, false, at(0), at(0),                 fromW(-1), at(0)},
  {13, false, at(0), at(0),                 at(0), fromW(0)},
  {13, false, at(0), fromHW(0),             fromW(-1), fromHW(0)},
  {13, false, at(0), fromHW(0),             at(0), fromH(-1)},
  {13, false, at(0), at(kThumbTop),         fromW(-1), at(kThumbTop)},
  {13, false, at(0), at(kThumbTop),         at(0), fromW(0, kThumbExtra)},
  // top and left edges, inner
  {14, false, px(1), px(1),                 fromW(-2), px(1)},
  {14, false, px(1), px(1),                 px(1), fromW(-1)},
  {14, false, px(1), fromHW(0),             fromW(-2), fromHW(0)},
  {14, false, px(1), fromHW(0),             px(1), fromH(-2)},
  {14, false, px(1), px(1, kThumbTop),      fromW(-2), px(1, kThumbTop)},
  {14, false, px(1), px(1, kThumbTop),      px(1), fromW(-1, kThumbExtra)},
  // bottom and right edges, outer
  {15, false, fromW(-1), at(0),             fromW(-1), fromW(0)},
  {15, false, at(0), fromW(0),              fromW(0), fromW(0)},
  {15, false, fromW(-1), fromHW(0),         fromW(-1), fromH(-1)},
  {15, false, at(0), fromH(-1),             fromW(0), fromH(-1)},
  {15, false, fromW(-1), at(kThumbTop),     fromW(-1), fromW(0, kThumbExtra)},
  {15, false, at(0), fromW(0, kThumbExtra), fromW(0), fromW(0, kThumbExtra)},
  // bottom and right edges, inner
  {16, false, fromW(-2), px(1),             fromW(-2), fromW(-1)},
  {16, false, px(1), fromW(-1),             fromW(-1), fromW(-1)},
  {16, false, fromW(-2), fromHW(0),         fromW(-2), fromH(-2)},
  {16, false, px(1), fromH(-2),             fromW(-1), fromH(-2)},
  {16, false, fromW(-2), px(1, kThumbTop),  fromW(-2), fromW(-1, kThumbExtra)},
  {16, false, px(1), fromW(-1, kThumbExtra), fromW(-1), fromW(-1, kThumbExtra)},
}};
// clang-format on

constexpr std::array<QRgb, 7> kDefaults = {0x000000, 0xBFBFBF, 0xCFCFCF, 0xFFFFFF, 0x000000, 0x808080, 0xEFEFEF};

}  // namespace

ScrollbarPreview::ScrollbarPreview(QWidget* parent) : QWidget(parent) {
  setTwipsPerPixel(15, 15);
  redraw({});
}

QColor ScrollbarPreview::defaultColour(int row) { return QColor(kDefaults[static_cast<std::size_t>(row - 11)]); }

void ScrollbarPreview::setTwipsPerPixel(int tx, int ty) {
  m_tx = tx;
  m_ty = ty;
  setFixedSize(kWidthTwips / tx, kHeightTwips / ty);
}

void ScrollbarPreview::redraw(const RowColours& colours) {
  const auto colourOf = [&](int row) {
    const QColor& c = colours[static_cast<std::size_t>(row - 11)];
    return c.isValid() ? c : defaultColour(row);
  };
  // W and H in twips, read from the control as it is now.
  const int W = width() * m_tx;
  const int H = height() * m_ty;
  const auto x = [&](Coord c) { return (c.w * W + c.h * H + c.t * m_tx + c.k) / m_tx; };
  const auto y = [&](Coord c) { return (c.w * W + c.h * H + c.t * m_ty + c.k) / m_ty; };

  m_picture = QImage(size(), QImage::Format_RGB32);
  m_picture.fill(colourOf(17));
  QPainter painter(&m_picture);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const Item& item : kItems) {
    const QPoint from(x(item.x1), y(item.y1));
    const QPoint to(x(item.x2), y(item.y2));
    if (item.box) {
      painter.fillRect(QRect(from, to).normalized(), colourOf(item.row));
    } else {
      painter.setPen(QPen(colourOf(item.row), 0));
      painter.drawLine(from, to);
    }
  }

  QFont font(QStringLiteral("ＭＳ 明朝"));
  font.setPointSizeF(5);
  painter.setFont(font);
  painter.setPen(colourOf(11));
  const auto arrow = [&](int top, const QString& text) {
    painter.drawText(QRect(55 / m_tx, top / m_ty, width(), height()), Qt::AlignLeft | Qt::AlignTop, text);
  };
  arrow(55, QStringLiteral("▲"));
  arrow(3940, QStringLiteral("▼"));
  painter.end();
  update();
}

void ScrollbarPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, m_picture);
}

void ScrollbarPreview::mousePressEvent(QMouseEvent* event) { event->accept(); }

}  // namespace quillane
