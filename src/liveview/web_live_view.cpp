#include "liveview/web_live_view.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <utility>
#include <vector>

namespace quillane {

namespace {

// A string as a JavaScript expression: ["text"][0] reads back exactly "text".
QString scriptString(const QString& text) {
  return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)) + QStringLiteral("[0]");
}

// `html` with a script at the end of its body that scrolls to `at` before the
// page is first painted, so a page loaded again opens where the last one was.
QString scrolledTo(QString html, QPointF at) {
  if (at.isNull()) return html;
  const QString script = QStringLiteral("<script>window.scrollTo(%1, %2);</script>").arg(at.x()).arg(at.y());
  const qsizetype end = html.lastIndexOf(QStringLiteral("</body>"), -1, Qt::CaseInsensitive);
  return end < 0 ? html + script : html.insert(end, script);
}

class WebLiveViewEngine final : public LiveViewEngine {
 public:
  explicit WebLiveViewEngine(QWidget* parent) : m_view(new QWebEngineView(parent)) {
    // Back, forward and reload would leave the page the editor keeps in step.
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool) { loaded(); });
    // A renderer that ends unexpectedly leaves a blank view: load the page again.
    QObject::connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, m_view,
                     [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                       if (status != QWebEnginePage::NormalTerminationStatus && !m_html.isEmpty())
                         showPage(m_html, m_base);
                     });
  }
  ~WebLiveViewEngine() override { delete m_view; }
  WebLiveViewEngine(const WebLiveViewEngine&) = delete;
  WebLiveViewEngine& operator=(const WebLiveViewEngine&) = delete;

  QWidget* widget() override { return m_view; }

  void showPage(const QString& html, const QUrl& base) override {
    // While a page loads, the position to keep is still the one taken last.
    if (!m_loading) m_scroll = m_view->page()->scrollPosition() / m_view->zoomFactor();
    m_html = html;
    m_base = base;
    m_pendingStyle.reset();
    m_loading = true;
    m_view->setHtml(scrolledTo(html, m_scroll), base);
  }

  void setStyle(const QString& css) override {
    if (m_loading) {
      m_pendingStyle = css;
      return;
    }
    m_view->page()->runJavaScript(
        QStringLiteral("(function (css) { var e = document.querySelector('style'); if (e) e.textContent = css; })(%1);")
            .arg(scriptString(css)));
  }

  void evaluate(const QString& script, std::function<void(const QVariant&)> done) override {
    if (m_loading)
      m_pendingScripts.emplace_back(script, std::move(done));
    else
      m_view->page()->runJavaScript(script, std::move(done));
  }

 private:
  void loaded() {
    m_loading = false;
    if (m_pendingStyle) setStyle(*std::exchange(m_pendingStyle, std::nullopt));
    for (auto& [script, done] : std::exchange(m_pendingScripts, {}))
      m_view->page()->runJavaScript(script, std::move(done));
  }

  QWebEngineView* m_view;
  QString m_html;
  QUrl m_base;
  QPointF m_scroll;
  bool m_loading = false;
  std::optional<QString> m_pendingStyle;
  std::vector<std::pair<QString, std::function<void(const QVariant&)>>> m_pendingScripts;
};

}  // namespace

std::unique_ptr<LiveViewEngine> WebLiveViewPlugin::createEngine(QWidget* parent) {
  return std::make_unique<WebLiveViewEngine>(parent);
}

}  // namespace quillane
