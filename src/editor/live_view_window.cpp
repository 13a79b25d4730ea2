#include "editor/live_view_window.h"

#include <unistd.h>

#include <QButtonGroup>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "editor/output_highlighter.h"
#include "editor/window_keys.h"
#include "generation/advice.h"
#include "generation/make_command.h"
#include "generation/modern_filters.h"

namespace quillane {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 720;
// The least size the view is given beside the editor, without the frame.
constexpr QSize kLeastSize(400, 300);
constexpr int kCopiedShownMs = 2000;  // how long "コピーしました" stays
constexpr qint64 kFrameMs = 16;       // a frame of a 60 Hz display, the most often the view is updated

// Where the choice of screen and scheme is kept in the application's settings.
const QString kScreenSetting = QStringLiteral("liveView/screen");
const QString kSchemeSetting = QStringLiteral("liveView/scheme");

// The row of `table` whose key the settings hold under `setting`, or `fallback`.
template <typename Row, std::size_t N>
int remembered(const QString& setting, const Row (&table)[N], int fallback) {
  const QString key = QSettings().value(setting).toString();
  for (std::size_t k = 0; k < N; ++k)
    if (key == QLatin1String(table[k].key)) return static_cast<int>(k);
  return fallback;
}

// A checkable button for each row of `table`, laid in `row`, one checked at
// a time and the row `chosen` checked first; the group says which is clicked.
template <typename Row, std::size_t N>
QButtonGroup* choiceButtons(const Row (&table)[N], int chosen, QHBoxLayout* row, QObject* owner) {
  auto* group = new QButtonGroup(owner);
  for (std::size_t k = 0; k < N; ++k) {
    auto* button = new QPushButton(QString::fromUtf8(table[k].caption));
    button->setObjectName(QString::fromLatin1(table[k].objectName));
    button->setAccessibleName(QString::fromUtf8(table[k].spoken));
    button->setToolTip(QString::fromUtf8(table[k].spoken));
    button->setCheckable(true);
    button->setChecked(static_cast<int>(k) == chosen);
    group->addButton(button, static_cast<int>(k));
    row->addWidget(button);
  }
  return group;
}

// Qt WebEngine warns, as its library is loaded, that the application did not
// prepare OpenGL for it before starting; the plug-in prepares it on first
// use instead (liveview/web_live_view.cpp), so the warning is left out.
QtMessageHandler g_nextHandler = nullptr;
void withoutLateLoadWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QStringLiteral("Qt WebEngine seems to be initialized from a plugin")))
    return;
  if (g_nextHandler != nullptr) g_nextHandler(type, context, message);
}

}  // namespace

QStringList liveViewPluginFolders(const QString& programFolder) {
  const QDir folder(programFolder);
  return {QDir::cleanPath(folder.filePath(QStringLiteral("plugins"))),
          QDir::cleanPath(folder.filePath(QStringLiteral("../lib/quillane/plugins")))};
}

LoadedEngine loadLiveViewEngine(const QStringList& folders, QWidget* parent) {
  QString path;
  for (const QString& folder : folders) {
    const QString candidate = QDir(folder).filePath(QString::fromLatin1(kLiveViewPluginFile));
    if (QFileInfo(candidate).isFile()) {
      path = candidate;
      break;
    }
  }
  if (path.isEmpty())
    return {nullptr, QStringLiteral("ライブビューのプラグイン「%1」が見つからないため、ページを表示できません"
                                    "（探した場所: %2）。\nほかの機能はそのまま使えます。")
                         .arg(QString::fromLatin1(kLiveViewPluginFile), folders.join(QStringLiteral("、")))};

  // Chromium's sandbox refuses to start as root; nobody else goes without it.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QPluginLoader loader(path);
  g_nextHandler = qInstallMessageHandler(withoutLateLoadWarning);
  QObject* root = loader.instance();
  qInstallMessageHandler(g_nextHandler);
  if (root == nullptr)
    return {nullptr,
            QStringLiteral("ライブビューには Qt WebEngine が必要です（Debian では libqt6webenginewidgets6 "
                           "パッケージ）。プラグイン「%1」を読みこめませんでした: %2\nほかの機能はそのまま使えます。")
                .arg(path, loader.errorString())};
  auto* plugin = qobject_cast<LiveViewPlugin*>(root);
  if (plugin == nullptr)
    return {
        nullptr,
        QStringLiteral("「%1」はライブビューのプラグインではありません。\nほかの機能はそのまま使えます。").arg(path)};
  return {plugin->createEngine(parent), {}};
}

LiveViewWindow::LiveViewWindow(const StyleDocument& doc, const QString& previewFolder, const QStringList& pluginFolders,
                               QWidget* parent)
    : QWidget(parent, Qt::Window), m_doc(doc), m_previewFolder(previewFolder), m_pluginFolders(pluginFolders) {
  setObjectName(QStringLiteral("LiveView"));
  setWindowTitle(QStringLiteral("ライブビュー"));
  closeWithEscape(this);

  auto* viewPage = new QWidget;
  m_viewLayout = new QVBoxLayout(viewPage);
  m_viewLayout->setContentsMargins(0, 0, 0, 0);
  m_viewLayout->setSpacing(2);
  m_screen = remembered(kScreenSetting, kLiveViewScreens, static_cast<int>(std::size(kLiveViewScreens)) - 1);
  m_scheme = remembered(kSchemeSetting, kLiveViewSchemes, 0);
  m_choices = new QWidget;
  m_choices->setObjectName(QStringLiteral("LiveChoices"));
  auto* choices = new QHBoxLayout(m_choices);
  choices->setContentsMargins(4, 2, 4, 0);
  connect(choiceButtons(kLiveViewScreens, m_screen, choices, this), &QButtonGroup::idClicked, this,
          &LiveViewWindow::showAtScreen);
  choices->addSpacing(16);
  connect(choiceButtons(kLiveViewSchemes, m_scheme, choices, this), &QButtonGroup::idClicked, this,
          &LiveViewWindow::showInScheme);
  choices->addStretch(1);
  m_viewLayout->addWidget(m_choices);
  m_engineMessage = new QLabel(QStringLiteral("ページを準備しています…"));
  m_engineMessage->setObjectName(QStringLiteral("LiveEngineMessage"));
  m_engineMessage->setWordWrap(true);
  m_engineMessage->setAlignment(Qt::AlignCenter);
  m_engineMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_viewLayout->addWidget(m_engineMessage, 1);
  // The page at a phone's or a tablet's size sits at the top in the middle,
  // and scrolls when the window is smaller.
  m_viewArea = new QScrollArea;
  m_viewArea->setObjectName(QStringLiteral("LiveViewArea"));
  m_viewArea->setFrameShape(QFrame::NoFrame);
  m_viewArea->setWidgetResizable(true);
  m_viewArea->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  m_viewArea->hide();
  m_viewLayout->addWidget(m_viewArea, 1);
  m_notice = new QLabel;
  m_notice->setObjectName(QStringLiteral("LiveNotice"));
  m_notice->setWordWrap(true);
  m_notice->setContentsMargins(6, 3, 6, 3);
  m_notice->hide();
  m_viewLayout->addWidget(m_notice);
  m_advice = new QListWidget;
  m_advice->setObjectName(QStringLiteral("LiveAdvice"));
  m_advice->setWordWrap(true);
  m_advice->setResizeMode(QListView::Adjust);
  m_advice->setFocusPolicy(Qt::NoFocus);
  m_advice->setSelectionMode(QAbstractItemView::NoSelection);
  m_advice->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  m_advice->setSpacing(2);
  m_advice->setMaximumHeight(7 * m_advice->fontMetrics().lineSpacing());
  m_advice->hide();
  m_viewLayout->addWidget(m_advice);

  auto* outputPage = new QWidget;
  auto* outputLayout = new QVBoxLayout(outputPage);
  auto* top = new QHBoxLayout;
  m_target = new QLabel;
  m_target->setObjectName(QStringLiteral("LiveTarget"));
  m_target->setWordWrap(true);
  m_target->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(m_target, 1);
  m_copy = new QPushButton(QStringLiteral("コピー(&C)"));
  m_copy->setObjectName(QStringLiteral("LiveCopy"));
  connect(m_copy, &QPushButton::clicked, this, &LiveViewWindow::copyOutput);
  top->addWidget(m_copy, 0, Qt::AlignTop);
  // Says for a moment that the text went to the clipboard.
  m_copied = new QLabel(QStringLiteral("コピーしました"));
  m_copied->setObjectName(QStringLiteral("LiveCopied"));
  m_copied->hide();
  top->addWidget(m_copied, 0, Qt::AlignTop | Qt::AlignVCenter);
  m_copiedShown.setSingleShot(true);
  m_copiedShown.setInterval(kCopiedShownMs);
  connect(&m_copiedShown, &QTimer::timeout, m_copied, &QWidget::hide);
  outputLayout->addLayout(top);
  m_text = new QPlainTextEdit;
  m_text->setObjectName(QStringLiteral("LiveOutputText"));
  m_text->setReadOnly(true);
  m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  new OutputHighlighter(m_text);
  outputLayout->addWidget(m_text, 1);
  // The SVG filters a page edited by hand needs, and where they go.
  m_filterAdvice =
      new QLabel(QStringLiteral("手で編集するページでは、エフェクトを使う所を <P class=\"efect0\"> のように書きかえ、"
                                "<body> の直後に次の <svg> から </svg> までを貼りつけてください。"
                                "クラスの SVG フィルターは、今のブラウザではページの中にあるときだけ表示されます。"));
  m_filterAdvice->setObjectName(QStringLiteral("LiveFilterAdvice"));
  m_filterAdvice->setTextFormat(Qt::PlainText);
  m_filterAdvice->setWordWrap(true);
  m_filterAdvice->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outputLayout->addWidget(m_filterAdvice);
  m_filterBlock = new QPlainTextEdit;
  m_filterBlock->setObjectName(QStringLiteral("LiveFilterBlock"));
  m_filterBlock->setReadOnly(true);
  m_filterBlock->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_filterBlock->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  m_filterBlock->setFixedHeight(m_filterBlock->fontMetrics().lineSpacing() * 5 + 12);
  outputLayout->addWidget(m_filterBlock);

  m_tabs = new QTabWidget;
  m_tabs->setObjectName(QStringLiteral("LiveTabs"));
  m_tabs->addTab(viewPage, QStringLiteral("表示"));
  m_tabs->addTab(outputPage, QStringLiteral("出力する内容"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(m_tabs);
  resize(kDefaultWidth, kDefaultHeight);
  m_frame.setSingleShot(true);
  connect(&m_frame, &QTimer::timeout, this, &LiveViewWindow::refresh);
}

LiveViewWindow::~LiveViewWindow() = default;

void LiveViewWindow::placeBeside(const QWidget* editor) {
  const QScreen* screen = editor->screen();
  const QRect room =
      screen != nullptr ? screen->availableGeometry() : QRect(editor->frameGeometry().topLeft(), QSize(4096, 4096));
  // Before it is first shown the window has no frame yet; the editor's is
  // what it will have.
  const QSize frame = isVisible() ? frameGeometry().size() - size() : editor->frameGeometry().size() - editor->size();
  const QRect placed = liveViewPlacement(editor->frameGeometry(), room, frame);
  resize(placed.size() - frame);
  move(placed.topLeft());
}

QRect liveViewPlacement(const QRect& editor, const QRect& room, const QSize& frame) {
  const QSize wanted = QSize(kDefaultWidth, kDefaultHeight) + frame;
  const QSize least = kLeastSize + frame;
  // A rectangle moved (and, when larger, cut) into the room.
  const auto inside = [&](QRect r) {
    r.setSize(r.size().boundedTo(room.size()));
    r.moveLeft(qBound(room.left(), r.left(), room.right() + 1 - r.width()));
    r.moveTop(qBound(room.top(), r.top(), room.bottom() + 1 - r.height()));
    return r;
  };
  const int tall = qMax(editor.height(), least.height());
  const int toRight = room.right() - editor.right();
  const int toLeft = editor.left() - room.left();
  const int below = room.bottom() - editor.bottom();
  const int above = editor.top() - room.top();
  const auto rightOf = [&](int width) { return inside({editor.right() + 1, editor.top(), width, tall}); };
  const auto leftOf = [&](int width) { return inside({editor.left() - width, editor.top(), width, tall}); };
  const auto under = [&](int height) { return inside({editor.left(), editor.bottom() + 1, wanted.width(), height}); };
  const auto over = [&](int height) { return inside({editor.left(), editor.top() - height, wanted.width(), height}); };
  // As much of `space` as the view wants, but never less than its least.
  const auto fitting = [](int space, int full, int smallest) { return qMax(smallest, qMin(full, space)); };
  const int sideWidth = fitting(qMax(toRight, toLeft), wanted.width(), least.width());
  const int endHeight = fitting(qMax(below, above), tall, least.height());
  // In the order of preference: the right at full width, the side with more
  // room, the end (above or below) with more room. The first that keeps
  // clear of the editor wins, else the one that covers the least of it; the
  // side or end with less room never covers less.
  const QRect candidates[] = {
      rightOf(wanted.width()),
      toRight >= toLeft ? rightOf(sideWidth) : leftOf(sideWidth),
      below >= above ? under(endHeight) : over(endHeight),
  };
  const auto covered = [&](const QRect& r) {
    const QRect common = r & editor;
    return qint64(common.width()) * common.height();
  };
  const QRect* best = &candidates[0];
  for (const QRect& candidate : candidates) {
    if (covered(candidate) == 0) return candidate;
    if (covered(candidate) < covered(*best)) best = &candidate;
  }
  return *best;
}

QString LiveViewWindow::outputTarget() const { return m_target->text(); }

QString LiveViewWindow::noticeText() const { return m_notice->text(); }

QString LiveViewWindow::adviceText() const {
  QStringList lines;
  for (int row = 0; row < m_advice->count(); ++row) lines << m_advice->item(row)->text();
  return lines.join(QLatin1Char('\n'));
}

void LiveViewWindow::followDocument() {
  if (m_frame.isActive()) return;
  const qint64 since = m_sinceUpdate.isValid() ? m_sinceUpdate.elapsed() : kFrameMs;
  m_frame.start(static_cast<int>(qMax<qint64>(0, kFrameMs - since)));
}

void LiveViewWindow::refresh() {
  m_frame.stop();
  // A hidden window catches up when it is shown again.
  if (!isVisible()) return;
  m_sinceUpdate.start();
  refreshView();
  refreshAdvice();
  refreshOutput();
}

void LiveViewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!m_engineTried) startEngine();
  refresh();
}

void LiveViewWindow::startEngine() {
  m_engineTried = true;
  LoadedEngine loaded = loadLiveViewEngine(m_pluginFolders, m_viewArea);
  if (!loaded.engine) {
    m_engineProblem = loaded.problem;
    m_engineMessage->setText(loaded.problem);
    m_choices->hide();
    return;
  }
  m_engine = std::move(loaded.engine);
  m_engine->setProblemHandler([this](const QString& problem) {
    m_notice->setText(problem);
    m_notice->setVisible(true);
  });
  m_engineMessage->hide();
  m_viewArea->setWidget(m_engine->widget());
  m_viewArea->show();
  showAtScreen(m_screen);
}

void LiveViewWindow::showAtScreen(int screen) {
  if (screen != m_screen) QSettings().setValue(kScreenSetting, QString::fromLatin1(kLiveViewScreens[screen].key));
  m_screen = screen;
  if (!m_engine) return;
  QWidget* view = m_engine->widget();
  const QSize size = kLiveViewScreens[screen].size;
  if (size.isEmpty()) {
    view->setMinimumSize(0, 0);
    view->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    view->setFixedSize(size);
  }
}

void LiveViewWindow::showInScheme(int scheme) {
  if (scheme == m_scheme) return;
  QSettings().setValue(kSchemeSetting, QString::fromLatin1(kLiveViewSchemes[scheme].key));
  m_scheme = scheme;
  if (isVisible()) refreshView();
}

void LiveViewWindow::refreshView() {
  DemoPage page = buildDemoPage(m_doc);
  // A refused value leaves the page as it was, and says why.
  const QString notice = page.ok() ? qs(ignoredSettingsLine(m_doc))
                                   : QStringLiteral("この設定ではページを作れません: ") + qs(*page.refusal);
  m_notice->setText(notice);
  m_notice->setVisible(!notice.isEmpty());
  if (!m_engine || !page.ok()) return;
  page.style = inPreferredScheme(page.style, kLiveViewSchemes[m_scheme].scheme);
  QStringList pieces;
  for (const std::string_view piece : stylePieces(page.style)) pieces << qs(piece);
  if (m_pageShown && m_shown.sameBody(page)) {
    if (page.style != m_shown.style) m_engine->setStyles(pieces);
  } else {
    m_engine->showPage(qs(demoPageHtml(page)), pieces, QUrl::fromLocalFile(m_previewFolder));
    m_pageShown = true;
  }
  m_shown = std::move(page);
}

void LiveViewWindow::refreshAdvice() {
  QStringList lines;
  for (const Advice& advice : documentAdvice(m_doc)) lines << qs(advice.text);
  if (lines == adviceText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) return;
  m_advice->clear();
  const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (const QString& line : lines) new QListWidgetItem(icon, line, m_advice);
  m_advice->setVisible(!lines.isEmpty());
}

void LiveViewWindow::refreshOutput() {
  const std::optional<MadeFile> made = madeFile(m_doc);
  QString target, text;
  if (!made) {
    target = QStringLiteral("「出力」タブの「出力形式」が選ばれていないため、「出力する」は何も書き出しません。");
  } else if (!made->output.ok()) {
    target = QStringLiteral("「出力する」はこの設定では何も保存しません: ") + qs(*made->output.refusal);
  } else {
    const QString encoding =
        made->output.encoding == OutputEncoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS");
    target = QStringLiteral("「出力する」が %1 に書き出す内容（%2）").arg(qs(made->path), encoding);
    text = qs(made->output.text);
  }
  m_target->setText(target);
  m_copy->setEnabled(!text.isEmpty());
  const QString block = text.isEmpty() || !writesModern(m_doc) ? QString() : qs(modernFilterBlock(m_doc));
  m_filterAdvice->setVisible(!block.isEmpty());
  m_filterBlock->setVisible(!block.isEmpty());
  if (m_filterBlock->toPlainText() != block.trimmed())
    m_filterBlock->setPlainText(QString(block).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).trimmed());
  if (text == m_outputText) return;
  m_outputText = text;
  // The reader's place in the text stays where it was.
  const int vertical = m_text->verticalScrollBar()->value();
  const int horizontal = m_text->horizontalScrollBar()->value();
  m_text->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  m_text->verticalScrollBar()->setValue(vertical);
  m_text->horizontalScrollBar()->setValue(horizontal);
}

void LiveViewWindow::copyOutput() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return;
  clipboard->setText(m_outputText);
  m_copied->show();
  m_copiedShown.start();
}

}  // namespace quillane
