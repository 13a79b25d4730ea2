#include "editor/application_setup.h"

#include <QtWidgets/qdrawutil.h>

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIconEngine>
#include <QImage>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QPaintEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTranslator>
#include <functional>
#include <optional>

#include "editor/text_shaping.h"

namespace quillane {

namespace {

// An icon made when it is first drawn or measured.
class IconOnFirstUse : public QIconEngine {
 public:
  explicit IconOnFirstUse(std::function<QIcon()> make) : m_make(std::move(make)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return icon().availableSizes(mode, state);
  }
  bool isNull() override { return icon().isNull(); }
  QString key() const override { return QStringLiteral("IconOnFirstUse"); }
  QIconEngine* clone() const override { return new IconOnFirstUse(*this); }

 private:
  const QIcon& icon() {
    if (!m_icon) m_icon = m_make();
    return *m_icon;
  }

  std::function<QIcon()> m_make;
  std::optional<QIcon> m_icon;
};

// Qt's raster engine hands every fill of more than 95 spans to the global
// thread pool, in pieces, and waits for them; a fill is a span a row, a
// line drawn with a pen a span a pixel. The window's two tab frames and two
// scroll bars, as long as the window, would cost some 230 pieces at the
// first paint, each a thread wake-up and two context switches: 2 to 4 ms.
// Fusion's are drawn in smaller pieces on this thread instead. (Clipping
// each piece out of the whole would be simpler, but Qt 6.4 draws some
// clipped lines outside the clip.)

// Whether `painter` draws what it is given as it stands, on whole pixels,
// onto a raster device: drawing there in pieces gives what drawing whole
// does.
bool drawsPiecesAsWhole(const QPainter* painter) {
  const qreal scale = painter->paintEngine()->paintDevice()->devicePixelRatio();
  return painter->paintEngine()->type() == QPaintEngine::Raster &&
         painter->transform().type() <= QTransform::TxTranslate && painter->opacity() == 1.0 &&
         painter->compositionMode() == QPainter::CompositionMode_SourceOver && scale == qRound(scale);
}

// Draws `rect` in bands across its length, each into a picture of its own
// that is then laid over the painter's device. A band of a vertical bar is
// 72 rows, which leaves room for the spans of a line across the bar (up to
// 21 pixels at 144 dpi); one of a horizontal bar is 40 columns, as two
// lines along it are two spans a column. Where a line of the outline is
// cut by a band's edge, a pixel at its corner may come out a shade lighter
// or darker than drawn whole.
template <typename Draw>
void drawInBands(QPainter* painter, const QRect& rect, Qt::Orientation along, Draw draw) {
  const bool rows = along == Qt::Vertical;
  const int scale = qRound(painter->paintEngine()->paintDevice()->devicePixelRatio());
  const int side = qMax(1, (rows ? 72 : 40) / scale);
  const int first = rows ? rect.top() : rect.left();
  const int last = rows ? rect.bottom() : rect.right();
  if (last - first < side || !drawsPiecesAsWhole(painter)) {
    draw(painter);
    return;
  }
  QImage band((rows ? QSize(rect.width(), side) : QSize(side, rect.height())) * scale,
              QImage::Format_ARGB32_Premultiplied);
  band.setDevicePixelRatio(scale);
  for (int from = first; from <= last; from += side) {
    band.fill(Qt::transparent);
    const QPoint at = rows ? QPoint(rect.left(), from) : QPoint(from, rect.top());
    QPainter bandPainter(&band);
    bandPainter.setRenderHints(painter->renderHints());
    bandPainter.translate(-at);
    draw(&bandPainter);
    bandPainter.end();
    painter->drawImage(at, band);
  }
}

// Draws a frame whose edges are the same all along, such as Fusion's tab
// frame, at a small size and stretches it over `rect`: the corners as
// drawn, the edges and the middle scaled by whole pixels, unsmoothed.
template <typename Draw>
void drawStretched(QPainter* painter, const QRect& rect, Draw draw) {
  constexpr int kEdge = 8;
  constexpr QSize kSmall(2 * kEdge + 1, 2 * kEdge + 1);
  if (rect.width() < kSmall.width() || rect.height() < kSmall.height() || !drawsPiecesAsWhole(painter)) {
    draw(painter, rect);
    return;
  }
  const int scale = qRound(painter->paintEngine()->paintDevice()->devicePixelRatio());
  QImage small(kSmall * scale, QImage::Format_ARGB32_Premultiplied);
  small.setDevicePixelRatio(scale);
  small.fill(Qt::transparent);
  QPainter smallPainter(&small);
  smallPainter.setRenderHints(painter->renderHints());
  draw(&smallPainter, QRect(QPoint(0, 0), kSmall));
  smallPainter.end();

  const int across[] = {rect.left(), rect.left() + kEdge, rect.right() + 1 - kEdge, rect.right() + 1};
  const int down[] = {rect.top(), rect.top() + kEdge, rect.bottom() + 1 - kEdge, rect.bottom() + 1};
  constexpr int kFrom[] = {0, kEdge, kEdge + 1, 2 * kEdge + 1};
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const QRect target(QPoint(across[column], down[row]), QPoint(across[column + 1] - 1, down[row + 1] - 1));
      const QRect source(QPoint(kFrom[column], kFrom[row]) * scale,
                         QSize(kFrom[column + 1] - kFrom[column], kFrom[row + 1] - kFrom[row]) * scale);
      painter->drawImage(target, small, source);
    }
  }
  painter->restore();
}

// The platform's style, without reading a picture through Qt's search of
// every image format plug-in (which loads them all, 2.4 M instructions and
// 330 KiB, for pictures that Qt's own PNG reader reads): the menu bar's
// overflow button, which shows only when the menu titles do not fit, reads
// its picture when first drawn, and Fusion's group box frame is drawn as
// Fusion draws it, from its picture read as PNG. The tab frames and scroll
// bars are drawn in small pieces (above).
class EditorStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
    if (icon != SP_ToolBarHorizontalExtensionButton) return QProxyStyle::standardIcon(icon, option, widget);
    const QPointer<QStyle> base(baseStyle());
    return QIcon(new IconOnFirstUse([base, icon] { return base != nullptr ? base->standardIcon(icon) : QIcon(); }));
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_FrameTabWidget && baseStyle()->name() == QLatin1String("fusion")) {
      drawStretched(painter, option->rect, [&](QPainter* onto, const QRect& rect) {
        QStyleOptionTabWidgetFrame frame;
        if (const auto* tabs = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option))
          frame = *tabs;
        else
          frame.QStyleOption::operator=(*option);
        frame.rect = rect;
        QProxyStyle::drawPrimitive(element, &frame, onto, widget);
      });
      return;
    }
    if (element != PE_FrameGroupBox || baseStyle()->name() != QLatin1String("fusion") || groupBoxFrame().isNull()) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    // Below the title, unless the box has neither title nor check box.
    constexpr int kTopMargin = 3;
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const int top = box != nullptr && !box->isCheckable() && box->title().isEmpty()
                        ? kTopMargin
                        : qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) + kTopMargin;
    qDrawBorderPixmap(painter, option->rect.adjusted(0, top, 0, 0), QMargins(6, 6, 6, 6), groupBoxFrame());
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override {
    if (control == CC_ScrollBar && baseStyle()->name() == QLatin1String("fusion")) {
      const Qt::Orientation along = option->state.testFlag(State_Horizontal) ? Qt::Horizontal : Qt::Vertical;
      drawInBands(painter, option->rect, along,
                  [&](QPainter* onto) { QProxyStyle::drawComplexControl(control, option, onto, widget); });
      return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
  }

 private:
  const QPixmap& groupBoxFrame() const {
    if (!m_groupBoxFrame) {
      QImageReader reader(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"), "png");
      reader.setAutoDetectImageFormat(false);
      m_groupBoxFrame = QPixmap::fromImage(reader.read());
    }
    return *m_groupBoxFrame;
  }

  mutable std::optional<QPixmap> m_groupBoxFrame;
};

}  // namespace

bool setUpEditorApplication() {
  QApplication::setStyle(new EditorStyle);
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP"))) {
    const QFont face(QStringLiteral("Noto Sans CJK JP"), 9);
    // Every window takes the shaper, which a user's text may need, and the
    // editor's window gives it up for its own captions (text_shaping.h).
    // Text laid out apart from any widget starts without it, as those
    // captions are drawn: a line edit lays out its empty text in the
    // application's font before it takes its own, and the two would
    // otherwise open the font twice (3.8 M instructions, 1 ms).
    QApplication::setFont(unshapedFont(face));
    QApplication::setFont(face, "QWidget");
  }

  auto* translator = new QTranslator(qApp);
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace quillane
