// "ライブビュー": a window beside the editor that follows the document.
//
// The first tab shows the demonstration page (preview/demo_page.h) in a real
// browser engine, loaded from a plug-in the first time the window is shown,
// at a visitor's screen size and colour scheme chosen by the buttons above
// it (remembered from one session to the next); under it, the settings
// today's browsers ignore in the chosen output and the advice on what
// visitors will not see well (generation/advice.h). The
// second tab shows the text "出力する" would write now, decoded, coloured,
// with a button that copies it. Without the plug-in, or without Qt WebEngine,
// the first tab says so and the second works as ever.
#pragma once

#include <QElapsedTimer>
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
class QScrollArea;
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

// The screens a visitor may read the page on, in the order of the buttons.
// The page is laid out at the screen's width in CSS pixels, not zoomed;
// "パソコン" takes the width of the window.
struct LiveViewScreen {
  const char* objectName;
  const char* caption;  // with its access key
  const char* spoken;   // the button's accessible name
  const char* key;      // as remembered in the settings
  QSize size;           // empty: as large as the window
};
inline constexpr LiveViewScreen kLiveViewScreens[] = {
    {"LiveSizePhone", "スマートフォン(&S)", "スマートフォンの画面（360 × 740）で表示", "phone", {360, 740}},
    {"LiveSizeTablet", "タブレット(&T)", "タブレットの画面（768 × 1024）で表示", "tablet", {768, 1024}},
    {"LiveSizeDesktop", "パソコン(&P)", "パソコンの画面（ウィンドウの幅）で表示", "desktop", {}},
};

// The colour schemes the page is shown in: the style reads as the visitor's
// system preferring it makes a browser read it (inPreferredScheme).
struct LiveViewScheme {
  const char* objectName;
  const char* caption;
  const char* spoken;
  const char* key;
  PreferredScheme scheme;
};
inline constexpr LiveViewScheme kLiveViewSchemes[] = {
    {"LiveSchemeLight", "明るい(&L)", "明るい配色（ライトモード）で表示", "light", PreferredScheme::Light},
    {"LiveSchemeDark", "暗い(&D)", "暗い配色（ダークモード）で表示", "dark", PreferredScheme::Dark},
};

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
  // the event loop, however many changes come before that, and at most once
  // a frame: a change within a frame of the last update waits for the
  // frame's end.
  void followDocument();
  // Brings the window in line now.
  void refresh();

  // The copy button's action: the whole output text to the clipboard.
  void copyOutput();

  // The screen and the scheme the page is shown at, as indices into
  // kLiveViewScreens and kLiveViewSchemes; the buttons choose them, and the
  // choice is kept in the application's settings.
  int screenShown() const { return m_screen; }
  int schemeShown() const { return m_scheme; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void startEngine();
  void showAtScreen(int screen);
  void showInScheme(int scheme);
  void refreshView();
  void refreshAdvice();
  void refreshOutput();

  const StyleDocument& m_doc;
  QString m_previewFolder;
  QStringList m_pluginFolders;
  QTimer m_frame;               // the next update, at most one a frame
  QElapsedTimer m_sinceUpdate;  // since the last update
  int m_screen = 2;             // kLiveViewScreens
  int m_scheme = 0;             // kLiveViewSchemes

  QTabWidget* m_tabs = nullptr;
  QVBoxLayout* m_viewLayout = nullptr;
  QWidget* m_choices = nullptr;       // the screen and scheme buttons
  QScrollArea* m_viewArea = nullptr;  // the engine's view, at the screen's size
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
  DemoPage m_shown;  // what the engine shows, in its scheme; its body decides whether a change needs a new load
  bool m_pageShown = false;
  QString m_outputText;
};

}  // namespace quillane
