// Every control of the editor, on every tab and sub-tab, can be seen and
// reached: it lies inside the window, nothing covers its centre, and its
// caption is not clipped. With QUILLANE_ARTIFACTS set, each page is also
// saved as a picture there (from the display itself on a real X server).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <memory>

#include "editor/application_setup.h"
#include "editor/main_window.h"
#include "fake_platform.h"

using namespace quillane;

class EditorLayoutTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  std::unique_ptr<MainWindow> m_window;
  QStringList m_faults;
  int m_pages = 0;

  template <class T = QWidget>
  T* control(std::string_view family, int index = kNoIndex) const {
    return m_window->controls().get<T>(family, index);
  }

  // What a user cannot see or reach of `w` on the page now shown.
  QStringList faultsOf(QWidget* w) const {
    QStringList faults;
    const QRect inWindow(w->mapTo(m_window.get(), QPoint(0, 0)), w->size());
    const QWidget* tabs = control("SSTab1");
    const QRect tabArea(tabs->mapTo(m_window.get(), QPoint(0, 0)), tabs->size());
    // The scroll bars stand beside the tab area; everything else is in it.
    const bool besideTabs = qobject_cast<QScrollBar*>(w) != nullptr;
    if (!m_window->rect().contains(inWindow) || (!besideTabs && !tabArea.contains(inWindow)))
      faults << QStringLiteral("outside");
    QWidget* top = m_window->childAt(inWindow.center());
    if (top != w && (top == nullptr || !w->isAncestorOf(top)))
      faults << QStringLiteral("covered by %1")
                    .arg(top ? top->objectName() + "/" + top->metaObject()->className() : QStringLiteral("nothing"));
    // A push button's size hint has the style's minimum width in it; its
    // caption needs only the text and a little room on each side.
    const int buttonNeeds = qobject_cast<QPushButton*>(w)
                                ? w->fontMetrics().horizontalAdvance(static_cast<QPushButton*>(w)->text()) + 8
                                : w->sizeHint().width();
    if (qobject_cast<QAbstractButton*>(w) && w->width() < buttonNeeds)
      faults << QStringLiteral("caption clipped (%1 < %2)").arg(w->width()).arg(buttonNeeds);
    if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) && w->height() < w->sizeHint().height())
      faults << QStringLiteral("squeezed (%1 < %2)").arg(w->height()).arg(w->sizeHint().height());
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
      const bool fits = label->wordWrap() ? label->heightForWidth(w->width()) <= w->height()
                                          : w->width() >= label->sizeHint().width();
      if (!fits) faults << QStringLiteral("caption clipped");
    }
    // Every tab of a tab strip in view, its caption whole.
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
      const QTabBar* bar = tabs->tabBar();
      for (int k = 0; k < bar->count(); ++k)
        if (!bar->rect().contains(bar->tabRect(k)) ||
            bar->tabRect(k).width() < bar->fontMetrics().horizontalAdvance(bar->tabText(k)))
          faults << QStringLiteral("tab %1 cut").arg(k);
    }
    if (auto* group = qobject_cast<QGroupBox*>(w);
        group && group->fontMetrics().horizontalAdvance(group->title()) + 8 > w->width())
      faults << QStringLiteral("title clipped");
    return faults;
  }

  // Checks every control shown on the current page and saves its picture.
  void checkPage(const QString& name) {
    QCoreApplication::processEvents();
    ++m_pages;
    for (QWidget* w : m_window->controls().all()) {
      if (!w->isVisibleTo(m_window.get()) || w == control("Frame2") || w == control("SSTab1")) continue;
      for (const QString& fault : faultsOf(w)) m_faults << name + ": " + w->objectName() + " " + fault;
    }
    const QString folder = qEnvironmentVariable("QUILLANE_ARTIFACTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    const QPixmap shot = QGuiApplication::platformName() == QLatin1String("xcb")
                             ? m_window->screen()->grabWindow(m_window->winId())
                             : m_window->grab();
    QVERIFY(
        shot.save(QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(m_pages, 2, 10, QLatin1Char('0')).arg(name))));
  }

 private Q_SLOTS:
  // The face and the translations the program itself uses.
  void initTestCase() { setUpEditorApplication(); }
  void init() {
    m_platform = {};
    m_faults.clear();
    m_window = std::make_unique<MainWindow>(m_platform, QStringLiteral("/opt/quillane"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
  }
  void cleanup() { m_window.reset(); }

  void everyControlOnEveryPageCanBeSeenAndReached() {
    // The window opens at its largest size, which shows the whole tab area.
    QVERIFY(!control("VScroll1")->isEnabled() && !control("HScroll1")->isEnabled());
    auto* tabs = control<QTabWidget>("SSTab1");
    auto* slots = control<QTabWidget>("SSTab2");
    auto* classes = control<QTabWidget>("SSTab4");
    // Everything enabled and both output formats' frames filled, as a user
    // who ticks everything sees them.
    for (int i = 0; i < kTagSlotCount; ++i) control<QCheckBox>("Check7", i)->setChecked(true);
    for (int c = 0; c < kUserClassCount; ++c) control<QCheckBox>("Check12", c)->setChecked(true);
    for (const char* on : {"Check28", "CheckDark"}) control<QCheckBox>(on)->setChecked(true);
    const QStringList tabNames = {QStringLiteral("basic"),     QStringLiteral("scrollbar"), QStringLiteral("effects"),
                                  QStringLiteral("output"),    QStringLiteral("dark"),      QStringLiteral("web-fonts"),
                                  QStringLiteral("kept-style")};
    for (int t = 0; t < tabs->count(); ++t) {
      tabs->setCurrentIndex(t);
      if (t == 0) {
        for (int i = 0; i < slots->count(); ++i) {
          slots->setCurrentIndex(i);
          checkPage(QStringLiteral("basic-slot%1").arg(i));
        }
      } else if (t == 2) {
        for (int c = 0; c < classes->count(); ++c) {
          classes->setCurrentIndex(c);
          checkPage(QStringLiteral("effects-class%1").arg(c));
        }
      } else {
        checkPage(tabNames[t]);
      }
    }
    control<QAbstractButton>("Option6")->click();  // the style sheet's frames
    checkPage(QStringLiteral("output-stylesheet"));
    QCOMPARE(m_pages, 6 + 1 + 6 + 2 + 1 + 1 + 1);
    if (!m_faults.isEmpty()) qWarning().noquote() << m_faults.join(QLatin1Char('\n'));
    QVERIFY2(m_faults.isEmpty(), qPrintable(QStringLiteral("%1 faults").arg(m_faults.size())));
  }

  // The editor's style draws long tab frames and scroll bars in pieces; they
  // look as Fusion draws them whole, on plain and doubled pixels, but for a
  // corner pixel or two of a scroll bar's outline, a shade off.
  void longFramesAndScrollBarsLookAsFusionDrawsThem() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    const auto* editorStyle = qobject_cast<QProxyStyle*>(QApplication::style());
    QVERIFY(editorStyle != nullptr);
    QCOMPARE(editorStyle->baseStyle()->name(), fusion->name());
    // A part drawn by `style` on white, `scale` device pixels a pixel.
    const auto picture = [](const QStyle& style, const QStyleOption& option, qreal scale) {
      QImage image(option.rect.size() * scale, QImage::Format_ARGB32_Premultiplied);
      image.setDevicePixelRatio(scale);
      image.fill(Qt::white);
      QPainter painter(&image);
      if (const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(&option))
        style.drawComplexControl(QStyle::CC_ScrollBar, slider, &painter);
      else
        style.drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter);
      return image;
    };
    // How many pixels differ, and by how much at most.
    const auto differences = [](const QImage& a, const QImage& b) {
      std::pair<int, int> found{0, 0};
      for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
          const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
          const int by = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                   std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
          if (by > 0) found = {found.first + 1, std::max(found.second, by)};
        }
      }
      return found;
    };
    const QWidget any;
    const auto frame = [&](QSize size) {
      auto option = std::make_shared<QStyleOptionTabWidgetFrame>();
      option->initFrom(&any);
      option->rect = QRect(QPoint(0, 0), size);
      return std::shared_ptr<QStyleOption>(option);
    };
    const auto bar = [&](QSize size, bool scrolls) {
      auto option = std::make_shared<QStyleOptionSlider>();
      option->initFrom(&any);
      option->rect = QRect(QPoint(0, 0), size);
      option->orientation = size.width() > size.height() ? Qt::Horizontal : Qt::Vertical;
      option->state.setFlag(QStyle::State_Horizontal, option->orientation == Qt::Horizontal);
      option->state.setFlag(QStyle::State_Enabled, scrolls);
      option->subControls = QStyle::SC_All;
      option->maximum = scrolls ? 100 : 0;
      option->sliderPosition = option->sliderValue = scrolls ? 40 : 0;
      option->pageStep = 20;
      option->singleStep = 1;
      return std::shared_ptr<QStyleOption>(option);
    };
    // What each is, and how many of its pixels may be a shade off.
    const std::pair<std::shared_ptr<QStyleOption>, int> parts[] = {
        {frame({823, 626}), 0},     {frame({160, 40}), 0},      {frame({12, 12}), 0},  // too small to stretch
        {bar({14, 673}, false), 4}, {bar({837, 14}, false), 4}, {bar({14, 500}, true), 4}, {bar({500, 14}, true), 4},
    };
    for (const auto& [option, shadesOff] : parts) {
      for (const qreal scale : {1.0, 2.0}) {
        const auto [count, by] =
            differences(picture(*QApplication::style(), *option, scale), picture(*fusion, *option, scale));
        QVERIFY2(count <= shadesOff * scale * scale && by <= 24,
                 qPrintable(QStringLiteral("%1x%2 at %3: %4 pixels, by %5")
                                .arg(option->rect.width())
                                .arg(option->rect.height())
                                .arg(scale)
                                .arg(count)
                                .arg(by)));
      }
    }
  }
};

QTEST_MAIN(EditorLayoutTest)
#include "layout_test.moc"
