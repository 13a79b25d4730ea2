#include "editor/application_setup.h"

#include <QtWidgets/qdrawutil.h>

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIconEngine>
#include <QImageReader>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTranslator>
#include <functional>
#include <optional>

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

// The platform's style, without reading a picture through Qt's search of
// every image format plug-in (which loads them all, 2.4 M instructions and
// 330 KiB, for pictures that Qt's own PNG reader reads): the menu bar's
// overflow button, which shows only when the menu titles do not fit, reads
// its picture when first drawn, and Fusion's group box frame is drawn as
// Fusion draws it, from its picture read as PNG.
class EditorStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
    if (icon != SP_ToolBarHorizontalExtensionButton) return QProxyStyle::standardIcon(icon, option, widget);
    const QPointer<QStyle> base(baseStyle());
    return QIcon(new IconOnFirstUse([base, icon] { return base != nullptr ? base->standardIcon(icon) : QIcon(); }));
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
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
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP")))
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));

  auto* translator = new QTranslator(qApp);
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace quillane
