// Form1's import of a style sheet or a page, and the "そのほかのスタイル" tab
// that shows the style text the form has no field for.
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/import_report_dialog.h"
#include "editor/main_window.h"
#include "editor/text_shaping.h"
#include "importing/style_import.h"

namespace quillane {

namespace {

// The tab shows line breaks as the editor does; the document keeps them as
// they were read, and what is typed there gets CR LF, as the files have.
QString shownText(const std::string& kept) {
  return QString::fromUtf8(kept.data(), static_cast<qsizetype>(kept.size()))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

std::string keptText(const QString& shown) {
  QString text = shown;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text.toStdString();
}

}  // namespace

bool isStyleFileName(const std::string& path) {
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  return suffix == QLatin1String("css") || suffix == QLatin1String("html") || suffix == QLatin1String("htm");
}

void MainWindow::buildKeptStyleTab() {
  // The tab is hidden at start-up: its text box (and the fixed-pitch font it
  // shows) waits with the other hidden pages.
  QWidget* page = pageOnFirstUse([this](QWidget* hidden) { fillKeptStylePage(hidden); });
  page->setObjectName(QStringLiteral("KeptStylePage"));
  m_ssTab1->addTab(page, QStringLiteral("そのほかのスタイル"));
  // Loads, undo and redo bring the tab in line; typing there changes nothing.
  connect(this, &MainWindow::documentChanged, this, [this] {
    if (m_keptStyle == nullptr) return;  // filled with the document when built
    const QString shown = shownText(m_doc.keptStyle);
    if (m_keptStyle->toPlainText() != shown) m_keptStyle->setPlainText(shown);
  });
}

void MainWindow::fillKeptStylePage(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  auto* note = new QLabel(
      QStringLiteral("フォームにない規則です。出力では、作られた規則のあとにそのまま書き出されます。"), page);
  note->setWordWrap(true);
  m_keptStyle = m_controls.add("KeptStyle", new QPlainTextEdit(page));
  m_keptStyle->setObjectName(QStringLiteral("KeptStyle"));
  m_keptStyle->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_keptStyle->setTabChangesFocus(true);
  m_keptStyle->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  shapeAsTyped(m_keptStyle);
  m_keptStyle->setPlainText(shownText(m_doc.keptStyle));
  layout->addWidget(note);
  layout->addWidget(m_keptStyle);
  connect(m_keptStyle, &QPlainTextEdit::textChanged, this, [this] {
    // Showing the document's text is no edit: its line ends stay as read.
    if (m_keptStyle->toPlainText() == shownText(m_doc.keptStyle)) return;
    const std::string text = keptText(m_keptStyle->toPlainText());
    if (text == m_doc.keptStyle) return;
    m_doc.keptStyle = text;
    m_history.recordTyping(QStringLiteral("KeptStyle"));
  });
}

void MainWindow::MenuImportStyle_Click() {
  if (!maySetChangesAside()) return;
  const auto path = m_platform.fileDialog(
      FileDialogMode::Open, "スタイルシート、ページ(*.css,*.html,*.htm)|*.css;*.html;*.htm|全てのファイル|*.*");
  if (path) importStyleFile(*path);
}

void MainWindow::importStyleFile(const std::string& path) {
  std::string bytes;
  if (const FileResult read = m_platform.readFile(path, bytes, kMaxImportBytes + 1); !read.ok()) {
    m_platform.messageBox(path + ": ファイルを読めません。", "読み込みエラー", MessageIcon::Exclamation);
    return;
  }
  const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
  std::optional<bool> page;
  if (suffix == QLatin1String("css")) page = false;
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) page = true;
  const ImportResult result = importStyle(bytes, page, m_doc);
  if (!result.ok()) {
    m_platform.messageBox(result.describe(path), "読み込みエラー", MessageIcon::Exclamation);
    return;
  }
  m_doc = result.document;
  showLoaded(Loaded::Import, path);
  auto* report = new ImportReportDialog(QFileInfo(QString::fromStdString(path)).fileName(), result, this);
  report->show();
}

}  // namespace quillane
