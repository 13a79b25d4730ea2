// "ライブビュー": a window beside the editor that follows the document.
//
// The first tab shows the demonstration page (preview/demo_page.h) in a real
// browser engine, loaded from a plug-in the first time the window is shown;
// under it, the settings today's browsers ignore in the chosen output and
// the advice on what visitors will not see well (generation/advice.h). The
// second tab shows the text "出力する" would write now, decoded, coloured,
// with a button that copies it. Without the plug-in, or without Qt WebEngine,
// the first tab says so and the second works as ever.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "document/style_document.h"
#include "editor/live_view.h"
#include "preview/demo_page.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

namespace quillane {

// The file name of the plug-in, in each of the folders below.
inline constexpr char kLiveViewPluginFile[] = "libquillane-liveview.so";

// Where the plug-in is looked for, in order, for a program in `programFolder`:
// "plugins/" beside it (the build tree), then "../lib/quillane/plugins/"
// (an installed tree, wherever it was moved to).
//   "/usr/bin" -> {"/usr/bin/plugins", "/usr/lib/quillane/plugins"}
QStringList liveViewPluginFolders(const QString& programFolder);

// An engine from the first of `folders` that holds the plug-in, or the
// reason there is none, in Japanese for the view to show. Run as root, the
// engine's sandbox is turned off first, since it cannot run as root; it
// stays on for everyone else.
struct LoadedEngine {
  std::unique_ptr<LiveViewEngine> engine;
  QString problem;
};
LoadedEngine loadLiveViewEngine(const QStringList& folders, QWidget* parent);

// Where the live view goes, as its frame's rectangle: `editor` is the
// editor's frame, `room` the free part of its screen, `frame` what the
// window manager adds around a window. Beside the editor and as tall as it:
// on the right when the view fits there at its full width, else on the side
// with more room, narrower when it must be; when neither side has room for
// its least size, above or below the editor; and only when nothing keeps
// clear of the editor, at its least size where it covers the least of it.
// Always inside `room`.
//   editor (0,0 1300x900), room 1920x1040, no frame -> (1300,0 620x900)
QRect liveViewPlacement(const QRect& editor, const QRect& room, const QSize& frame);

class LiveViewWindow : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LiveViewWindow)

 public:
  // Keeps a reference to `doc`, which must outlive the window (the editor
  // owns both). `previewFolder` is where the demonstration page's pictures
  // resolve: the folder the previews write to, holding "pal.png".
  LiveViewWindow(const StyleDocument& doc, const QString& previewFolder, const QStringList& pluginFolders,
                 QWidget* parent = nullptr);
  ~LiveViewWindow() override;

  // Places the window beside `editor` on its screen (liveViewPlacement).
  void placeBeside(const QWidget* editor);

  // The engine once the first tab has been shown, or null (not yet shown,
  // or none to be had: see engineProblem()).
  LiveViewEngine* engine() const { return m_engine.get(); }
  QString engineProblem() const { return m_engineProblem; }

  // The text the second tab shows, exactly (line ends included), and the
  // line above it (target path, or why nothing would be written).
  QString outputText() const { return m_outputText; }
  QString outputTarget() const;
  // The line under the view: ignored settings, or a refused value.
  QString noticeText() const;
  // The advice listed under that line, one item a line; "" for none.
  QString adviceText() const;

  // Brings the window in line with the document once control returns to
  // the event loop, however many changes come before that.
  void followDocument();
  // Brings the window in line now.
  void refresh();

  // The copy button's action: the whole output text to the clipboard.
  void copyOutput();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void startEngine();
  void refreshView();
  void refreshAdvice();
  void refreshOutput();

  const StyleDocument& m_doc;
  QString m_previewFolder;
  QStringList m_pluginFolders;
  bool m_pending = false;

  QTabWidget* m_tabs = nullptr;
  QVBoxLayout* m_viewLayout = nullptr;
  QLabel* m_engineMessage = nullptr;
  QLabel* m_notice = nullptr;
  QListWidget* m_advice = nullptr;
  QLabel* m_target = nullptr;
  QPlainTextEdit* m_text = nullptr;
  QPushButton* m_copy = nullptr;
  QLabel* m_copied = nullptr;  // "コピーしました", shown for a moment after a copy
  QTimer m_copiedShown;
  QLabel* m_filterAdvice = nullptr;
  QPlainTextEdit* m_filterBlock = nullptr;

  std::unique_ptr<LiveViewEngine> m_engine;
  QString m_engineProblem;
  bool m_engineTried = false;
  DemoPage m_shown;  // what the engine shows; its body decides whether a change needs a new load
  bool m_pageShown = false;
  QString m_outputText;
};

}  // namespace quillane
