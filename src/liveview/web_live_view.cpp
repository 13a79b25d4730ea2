#include "liveview/web_live_view.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QOpenGLContext>
#include <QPointer>
#include <QTemporaryFile>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <utility>
#include <vector>

// Qt's own setter of the context every OpenGL context shares with, exported
// by Qt GUI (its private header declares it).
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace quillane {

namespace {

// Qt WebEngine draws through an OpenGL context shared with the window's. An
// application that links it asks Qt for that shared context before it
// starts (Qt::AA_ShareOpenGLContexts), at a cost to every start-up; the
// editor loads the engine late, so the context is made here, on first use.
void shareOpenGLContexts() {
  if (QOpenGLContext::globalShareContext() != nullptr) return;
  auto* context = new QOpenGLContext(QCoreApplication::instance());
  context->create();
  qt_gl_set_global_share_context(context);
}

// Strings as a JavaScript array: ["a","b\"c"] reads back exactly {a, b"c}.
QString scriptStrings(const QStringList& texts) {
  return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
}

// The script that makes the <style> elements of the page's head follow a
// splice: the `removed` elements from `first` give way to one element for
// each text inserted, those that can keeping their place with a new text.
QString spliceScript(const StyleSplice& splice) {
  return QStringLiteral(
             "(function (first, removed, texts) {"
             " var styles = document.head.getElementsByTagName('style'), k = 0;"
             " for (; k < removed && k < texts.length; ++k) styles[first + k].textContent = texts[k];"
             " for (var r = k; r < removed; ++r) styles[first + k].remove();"
             " for (; k < texts.length; ++k) {"
             " var e = document.createElement('style'); e.textContent = texts[k];"
             " document.head.insertBefore(e, styles[first + k] || null); }"
             "})(%1, %2, %3);")
      .arg(splice.first)
      .arg(splice.removed)
      .arg(scriptStrings(splice.inserted));
}

// `html` with a script at the end of its body that scrolls to `at` before the
// page is first painted, so a page loaded again opens where the last one was.
QString scrolledTo(QString html, QPointF at) {
  if (at.isNull()) return html;
  const QString script = QStringLiteral("<script>window.scrollTo(%1, %2);</script>").arg(at.x()).arg(at.y());
  const qsizetype end = html.lastIndexOf(QStringLiteral("</body>"), -1, Qt::CaseInsensitive);
  return end < 0 ? html + script : html.insert(end, script);
}

// `html` with a <base> first in its head, so that its relative addresses
// resolve against `base` wherever the page itself is loaded from.
QString withBase(QString html, const QUrl& base) {
  const QString tag = QStringLiteral("<base href=\"%1\">").arg(QString::fromUtf8(base.toEncoded()).toHtmlEscaped());
  const qsizetype head = html.indexOf(QStringLiteral("<head>"), 0, Qt::CaseInsensitive);
  return head < 0 ? html : html.insert(head + 6, tag);
}

class WebLiveViewEngine final : public LiveViewEngine {
 public:
  explicit WebLiveViewEngine(QWidget* parent) : m_view(new QWebEngineView(parent)) {
    // Back, forward and reload would leave the page the editor keeps in step.
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
      if (!ok && !m_loadAgain && m_problem) m_problem(QStringLiteral("ライブビューにページを表示できませんでした。"));
      if (ok) m_crashes = 0;
      loaded();
    });
    // A renderer that ends unexpectedly leaves a blank view: load the page
    // again, unless the page itself ends it every time.
    QObject::connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, m_view,
                     [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                       if (status == QWebEnginePage::NormalTerminationStatus || m_html.isEmpty()) return;
                       // Nothing is left to ask for its place or to wait for.
                       m_hasPage = m_loading = m_askingScroll = m_loadAgain = false;
                       if (++m_crashes > kMostCrashes) {
                         if (m_problem)
                           m_problem(QStringLiteral("ライブビューの表示が止まるため、このページは表示できません。"));
                         return;
                       }
                       show();
                     });
  }
  ~WebLiveViewEngine() override { delete m_view; }
  WebLiveViewEngine(const WebLiveViewEngine&) = delete;
  WebLiveViewEngine& operator=(const WebLiveViewEngine&) = delete;

  QWidget* widget() override { return m_view; }

  void showPage(const QString& html, const QStringList& styles, const QUrl& base) override {
    m_html = html;
    m_base = base;
    m_pageStyles = m_styles = styles;
    show();
  }

  void setStyles(const QStringList& styles) override {
    m_styles = styles;
    if (!m_loading && m_hasPage) sendStyles();
  }

  void setProblemHandler(std::function<void(const QString&)> problem) override { m_problem = std::move(problem); }

  void evaluate(const QString& script, std::function<void(const QVariant&)> done) override {
    if (m_loading)
      m_pendingScripts.emplace_back(script, std::move(done));
    else
      m_view->page()->runJavaScript(script, std::move(done));
  }

 private:
  // Shows m_html, the newest page.
  void show() {
    if (m_loading) {
      // One load at a time: the newest page follows the one on its way,
      // at the place taken for it.
      m_loadAgain = true;
      return;
    }
    m_loading = true;
    if (!m_hasPage) {
      load();
      return;
    }
    // The page knows where it is scrolled to; the view's own record of it
    // follows only once a frame has been drawn.
    m_askingScroll = true;
    const QPointer<QWebEngineView> alive(m_view);
    m_view->page()->runJavaScript(QStringLiteral("[window.scrollX, window.scrollY]"),
                                  [this, alive](const QVariant& at) {
                                    if (alive.isNull()) return;
                                    const QVariantList xy = at.toList();
                                    if (xy.size() == 2) m_scroll = QPointF(xy[0].toDouble(), xy[1].toDouble());
                                    m_askingScroll = m_loadAgain = false;
                                    load();
                                  });
  }

  // The one script that brings the page's style elements from what they
  // hold to m_styles, when they differ.
  void sendStyles() {
    const StyleSplice splice = styleSplice(m_inPage, m_styles);
    if (splice.empty()) return;
    m_view->page()->runJavaScript(spliceScript(splice));
    m_inPage = m_styles;
  }

  // From a temporary file of the engine's own: setHtml() takes a page
  // through a data: address of at most 2 MB, and shows nothing for a larger
  // one (long Japanese values reach that).
  void load() {
    const QByteArray bytes = withBase(scrolledTo(m_html, m_scroll), m_base).toUtf8();
    if (!m_file.isOpen() && !m_file.open()) return failed();
    if (!m_file.seek(0) || !m_file.resize(0) || m_file.write(bytes) != bytes.size() || !m_file.flush()) return failed();
    m_view->load(QUrl::fromLocalFile(m_file.fileName()));
  }

  // The page could not be written out: the one before stays, and the view
  // takes the next page as if this one had loaded.
  void failed() {
    if (m_problem)
      m_problem(QStringLiteral("ライブビューのページを一時ファイル「%1」に書きこめませんでした: %2")
                    .arg(m_file.fileName(), m_file.errorString()));
    m_loading = false;
    if (std::exchange(m_loadAgain, false)) show();
  }

  void loaded() {
    if (m_askingScroll) return;  // the page before: the new one is yet to load
    if (std::exchange(m_loadAgain, false)) {
      load();
      return;
    }
    m_loading = false;
    m_hasPage = true;
    m_inPage = m_pageStyles;
    sendStyles();
    for (auto& [script, done] : std::exchange(m_pendingScripts, {}))
      m_view->page()->runJavaScript(script, std::move(done));
  }

  static constexpr int kMostCrashes = 2;  // renderer ends in a row before the page is given up

  QWebEngineView* m_view;
  QTemporaryFile m_file{QDir::tempPath() + QStringLiteral("/quillane-liveview-XXXXXX.html")};
  std::function<void(const QString&)> m_problem;
  QString m_html;
  QStringList m_pageStyles;  // the style elements of m_html
  QStringList m_styles;      // the style elements the page is to have
  QStringList m_inPage;      // the style elements of the page loaded, as the scripts left them
  QUrl m_base;
  QPointF m_scroll;
  bool m_hasPage = false;       // a page has loaded, and can say where it is scrolled to
  bool m_loading = false;       // a page is on its way: styles and scripts wait for it
  bool m_askingScroll = false;  // the page on show is asked for its place before the next loads
  bool m_loadAgain = false;     // a newer page came while one was loading
  int m_crashes = 0;            // renderer ends since the last page that loaded
  std::vector<std::pair<QString, std::function<void(const QVariant&)>>> m_pendingScripts;
};

}  // namespace

std::unique_ptr<LiveViewEngine> WebLiveViewPlugin::createEngine(QWidget* parent) {
  shareOpenGLContexts();
  return std::make_unique<WebLiveViewEngine>(parent);
}

}  // namespace quillane
