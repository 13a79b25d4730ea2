#include "editor/application_setup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QProxyStyle>
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

// The platform's style, except that the menu bar's overflow button, which
// shows only when the menu titles do not fit, reads its picture when it is
// first shown: reading it at start-up loaded every image format plug-in.
class EditorStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override {
    if (icon != SP_ToolBarHorizontalExtensionButton) return QProxyStyle::standardIcon(icon, option, widget);
    const QPointer<QStyle> base(baseStyle());
    return QIcon(new IconOnFirstUse([base, icon] { return base != nullptr ? base->standardIcon(icon) : QIcon(); }));
  }
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
