// Form1, the editor: the style document in four tabs ("基本", "スクロールバー",
// "エフェクト", "出力"), the dark variant's tab ("ダークモード") and the kept
// rules' ("そのほかのスタイル"), the menus, and the commands behind them.
//
// The window owns the one StyleDocument. Every value widget is bound to its
// field by control identity: a widget's change writes the record, and
// refreshFromDocument() brings the widgets back in line after a load. The
// widgets hold no second copy of any setting.
//
// Every change of the document (an edit, an open, a sample load, an import)
// is one step of the undo history; undo and redo show the document of a step
// through refreshFromDocument(), as a load does, and bring back the settings
// file that state was kept in. The window names that file in its title with
// a mark for unsaved changes, and asks before unsaved changes are set aside.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "document/style_document.h"
#include "editor/control_registry.h"
#include "editor/document_history.h"
#include "editor/enable_rules.h"
#include "editor/resize_rule.h"
#include "persistence/file_commands.h"
#include "persistence/recent_files.h"
#include "persistence/settings_file.h"
#include "platform/platform.h"
#include "platform/preview_files.h"

class QComboBox;
class QScrollBar;
class QTabWidget;
class QMenu;
class QAction;
class QGridLayout;
class QLayout;
class QStringListModel;
class QPlainTextEdit;

namespace quillane {

class AdviceMarks;
class FontTask;
class FontWork;
class ScrollbarPreview;
class ColourSwatch;
class LinkWindow;
class LiveViewWindow;
struct FormTable;
struct FormCell;

class MainWindow : public QMainWindow {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MainWindow)

 public:
  // `applicationFolder` ends in a separator once the window holds it. The
  // window keeps a reference to `platform`, which must outlive it (its
  // preview files are removed through it when the window goes).
  explicit MainWindow(Platform& platform, const QString& applicationFolder, QWidget* parent = nullptr);
  ~MainWindow() override;

  StyleDocument& document() { return m_doc; }
  const StyleDocument& document() const { return m_doc; }
  const ControlRegistry& controls() const { return m_controls; }
  const std::string& applicationFolder() const { return m_appFolder; }
  ScrollbarPreview* scrollbarPreview() const;
  ColourSwatch* swatch(std::string_view family, int index) const;
  // The warning marks beside the colour boxes that the advice concerns.
  const AdviceMarks* adviceMarks() const { return m_adviceMarks; }

  // Screen twips per pixel, as whole numbers (15 at 96 dpi).
  int twipsPerPixelX() const { return m_tx; }
  int twipsPerPixelY() const { return m_ty; }

  // Brings every widget in line with the document, in settings-file order,
  // so that each changed control runs its rule as a user edit would. Records
  // no step: after changing the document directly, a caller that wants the
  // change undoable records it itself.
  void refreshFromDocument();

  // The undo history; its clean state is "no unsaved changes".
  QUndoStack* undoStack() { return m_history.stack(); }
  // The settings file open now, an absolute path; "" when none.
  const std::string& openFilePath() const { return m_history.file().path; }
  // The recent files are read from the user's settings when their menu
  // opens, or when they or the menu are first asked for.
  const RecentFiles& recentFiles();
  QMenu* recentMenu();

  // DrawScrollbarPreview: repaints BarPic1 from the ticked rows' swatches.
  void drawScrollbarPreview();

  // The commands of the window's buttons and menus.
  void Command6_Click();                                    // 出力する
  void Command3_Click();                                    // 参照: the HTML page's folder
  void Command5_Click();                                    // 参照: the style sheet's folder
  void pickColour(std::string_view textFamily, int index);  // the "作る" buttons
  // "自動で作る": the dark colours derived from the light ones, as one step.
  // Dark colours already filled in that the derivation would change are
  // replaced only when the user agrees.
  void deriveDarkColours();
  void Command4_Click(int slot);  // background image browse
  void renameCurrentClass();      // double click on the class tabs
  // The web font of slot `slot`: "このフォントを埋め込む…" asks for a face (the
  // slot's font name first) and embeds it once its licence allows and the
  // user has accepted the licence text; "埋め込まない" stops embedding it.
  // Each change is one step.
  void chooseWebFont(int slot);
  void stopWebFont(int slot);
  // "大きさを調べる": cuts the embedded fonts as the modern output would, on
  // the font task's thread, and shows each one's size before and after and
  // the characters of the pages it lacks.
  void measureWebFonts();
  // The thread that makes the web fonts, with the output tab's progress bar
  // and cancel button; "出力する" runs there first when the output carries
  // web fonts, and writes on the editor's thread once they are made.
  FontTask* fontTask();
  // Where the web fonts' plug-in is looked for; by default the folders
  // fontWorkPluginFolders gives for the program's.
  void setFontWorkFolders(const QStringList& folders) { m_fontWorkFolders = folders; }
  void MenuEnd_Click();
  void openhelp_Click();
  void GOHP_Click();

  // File menu, samples, previews and the link window.
  // Opens a file named on the command line (a ".smp" as a sample); a file
  // that cannot be opened is reported as the open command reports it. The
  // history then starts from the file: nothing to undo, nothing unsaved.
  // A style sheet or a page is imported as the menu command does.
  void openFile(const std::string& path);
  // An entry of "最近使ったファイル": opens `path` as a settings file, after
  // asking about unsaved changes. A file that is gone is reported and leaves
  // the list.
  void openRecentFile(const std::string& path);
  void MenuOpenFile_Click();
  void MenuOpenFileQL_Click();
  void MenuSaveFile_Click();       // 名前を付けて保存: asks for a name
  void MenuOverwriteFile_Click();  // 上書き保存: the open file, or a name when none is open
  void MenuSaveSumple_Click();
  // "スタイルシートを取り込む…": a .css file or a page's style, as one step
  // that leaves no file open, after asking about unsaved changes; a report
  // of what went where is shown beside the editor.
  void MenuImportStyle_Click();
  // Builds the "サンプル" menu from the sample folders. Start-up reads no
  // sample: the menu is built each time it opens, and when it or the
  // samples are first asked for.
  void SampleLoad();
  void MenuTuika_Click(int index);  // loads sample `index`
  const std::vector<SampleEntry>& samples();
  QMenu* sampleMenu();
  void NormalPre_Click();
  void GaibuPre_Click();
  void Command8_Click();  // class preview
  void JointCSS_Click();
  // Form4, created on first use.
  LinkWindow* linkWindow();
  // "ライブビュー" (F6): the live view beside the editor, created on first use.
  void LiveView_Click();
  LiveViewWindow* liveViewWindow();

 Q_SIGNALS:
  // Once after every change of the document: an edit, an open or a sample
  // load, an undo or a redo.
  void documentChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // A new theme: the colours made from the palette are made again.
  void changeEvent(QEvent* event) override;
  // The font lists are filled once the window has first been drawn.
  bool event(QEvent* event) override;

 private:
  // Building the window from the form tables.
  void buildWindow();
  void buildPage(const FormTable& table, QWidget* page, int index);
  // A page hidden at start-up, built with every other such page when one
  // of them is first shown or a control of theirs is first looked up.
  QWidget* pageOnFirstUse(const FormTable& table, int index);
  // The same for a page that `fill` makes, not a table.
  QWidget* pageOnFirstUse(std::function<void(QWidget*)> fill);
  void buildWaitingPages();
  void fillLayout(QLayout* layout, QWidget* host, const FormTable& table, int page, int each, int depth);
  QTabWidget* buildTabs(const FormCell& cell);
  // Sizes the tab area for what it holds in the font in use, never below
  // the design's size; the window's largest size follows.
  void fitTabArea();
  // The window's outer size that shows the whole tab area.
  QSize largestOuterSize() const;
  void buildMenus();
  // The installed typefaces, one model shared by the font lists, filled
  // after the first paint, or before when a list is first used.
  void fillFontLists();
  void useFontList(QComboBox* list);
  void buildKeptStyleTab();  // "そのほかのスタイル", filled on first use
  void fillKeptStylePage(QWidget* page);

  // Binding widgets to the document.
  void bindField(ControlId id);
  void onTextChanged(ControlId id);
  void onOptionSelected(ControlId id);
  void refreshField(ControlId id);
  void updateSwatch(std::string_view textFamily, int index);
  // The dark tab's row label of class `c` shows its name, once built.
  void showClassName(int c);
  // Typing a whole number from 0 to 100 into a class's opacity box moves its
  // slider, so that the settings file keeps what was typed; a text the
  // slider cannot hold is marked in the box.
  void followOpacityText(int userClass);
  // Marks the opacity box of a class whose text the slider cannot hold.
  void markOpacityBox(int userClass);
  // Puts the folder the user chooses into `folderBox`; a cancel changes nothing.
  void ChooseFolder(std::string_view folderBox);

  // The history: an edit of `id` that has changed the document becomes a
  // step, typing (`typing`) merged per control; nothing while refreshing.
  void recordEdit(ControlId id, bool typing);
  // Sets a box as one step of its own: a colour or folder picked, a file chosen.
  void setAsOneStep(std::string_view family, int index, const QString& text);
  // The web fonts: the face each slot embeds, the sets and the limit.
  void showWebFont(int slot);
  void showWebFontChoices();
  void bindWebFontChoices();
  // Makes the web fonts of `doc` on the font task's thread; then shows what
  // they became and, when `write`, writes the output with them.
  void makeWebFonts(const StyleDocument& doc, bool write);
  // The web fonts' plug-in, loaded on first use; null after a message
  // saying why it cannot be.
  const FontWork* fontWork();

  // Undo and redo: puts `target` into the document and shows it as a load does.
  void showDocument(const StyleDocument& target);
  void connectHistory();

  // The open file and unsaved changes.
  enum class Loaded { SettingsFile, Sample, Import, Overlay };
  // After a load into the document: shows it and makes it one step; a
  // settings file becomes the open file, a sample and an import leave none.
  // A settings file and a sample count as saved, an import as unsaved until
  // saved. An overlay (a version-1 file) is an edit like any other.
  void showLoaded(Loaded kind, const std::string& path);
  // Imports `path` without asking about unsaved changes.
  void importStyleFile(const std::string& path);
  // Whether unsaved changes may be set aside, asking the user when there are
  // any: "保存" saves them and goes on only if that worked.
  bool maySetChangesAside();
  // Saves to the open file, or asks for a name when there is none.
  bool saveChanges();
  void noteSaved(const std::string& path);
  // Unsaved changes are changes to what the settings file stores: the
  // output folders, for one, are not in it.
  bool hasUnsavedChanges() const;
  // The pages in view of the three tab strips; saving and loading leave
  // the user where they were.
  struct PagesShown {
    int main = 0;
    int slot = 0;
    int userClass = 0;
  };
  PagesShown pagesShown() const;
  void showPages(const PagesShown& shown);
  void updateTitle();
  // The recent files: kept in the user's settings, and shown in the menu.
  void rememberRecentFile(const std::string& path);
  void forgetRecentFile(const std::string& path);
  void loadRecentFiles();
  void storeRecentFiles();
  void showRecentFiles();

  // Start-up (Form_Load), after the widgets exist.
  void Form_Load();
  // Start-up for the controls registered from position `first` on: the
  // pages built at start-up, or later those built on first use.
  void settle(qsizetype first);
  void Form_Resize();
  // Ranges `bar` for `state` with `visibleTwips` of the tab area in view,
  // and scrolls it back to the start.
  void setScrollRange(QScrollBar* bar, ScrollState state, int visibleTwips);
  // Scrolls the tab area by the least that brings `control` into view, when
  // it lies in the tab area.
  void scrollToControl(const QWidget* control);

  Platform& m_platform;
  StyleDocument m_doc;
  DocumentHistory m_history{m_doc, [this](const StyleDocument& target) { showDocument(target); }};
  bool m_refreshing = false;
  int m_editDepth = 0;  // edit handlers running, one inside another
  RecentFiles m_recent;
  bool m_recentRead = false;  // m_recent has been read from the user's settings
  ControlRegistry m_controls;
  EnableRules m_rules{m_controls, m_doc};
  std::string m_appFolder;
  int m_tx = 15;
  int m_ty = 15;

  QWidget* m_frame2 = nullptr;  // clips the tab area
  QTabWidget* m_ssTab1 = nullptr;
  QScrollBar* m_vScroll = nullptr;
  QScrollBar* m_hScroll = nullptr;
  ScrollbarPreview* m_barPic = nullptr;
  QMenu* m_sampleMenu = nullptr;
  QMenu* m_recentMenu = nullptr;
  QAction* m_undoAction = nullptr;
  QAction* m_redoAction = nullptr;
  QStringListModel* m_fonts = nullptr;  // the installed typefaces, shared by the six font lists
  bool m_fontsFilled = false;
  bool m_fontsQueued = false;  // to be filled in the event loop's next turn

  struct WaitingPage {
    QWidget* page;
    std::function<void(QWidget*)> fill;  // makes the page's controls in it
  };
  std::vector<WaitingPage> m_waiting;  // pages not built yet, in the order they were placed
  bool m_deferPages = false;           // while the window is built: pages hidden at start-up wait
  StyleDocument m_startDoc;            // the document as start-up left it, for the waiting pages
  std::vector<SampleEntry> m_samples;
  bool m_samplesListed = false;  // m_samples and the menu have been read from the folders
  PreviewFiles m_previewFiles{m_platform};
  LinkWindow* m_linkWindow = nullptr;
  LiveViewWindow* m_liveView = nullptr;
  AdviceMarks* m_adviceMarks = nullptr;
  QPlainTextEdit* m_keptStyle = nullptr;
  // The fonts (file and face) whose licence the user has accepted in this session.
  QSet<QString> m_acceptedLicences;
  FontTask* m_fontTask = nullptr;
  QStringList m_fontWorkFolders;  // found beside the program when first needed, unless a test chose
};

// Whether a file named on the command line is imported (.css, .html, .htm).
bool isStyleFileName(const std::string& path);

}  // namespace quillane
