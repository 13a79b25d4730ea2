// Form1's files: the file menu's commands, the sample menu, the recent
// files, the open file in the title, and the question asked before unsaved
// changes are set aside.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>

#include "editor/main_window.h"
#include "persistence/open_file.h"
#include "persistence/settings_file.h"
#include "platform/application_folder.h"
#include "platform/file_io.h"

namespace quillane {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The user's settings key of the recent files, newest first.
const QString kRecentFilesKey = QStringLiteral("recentFiles");

// A path as the title and the recent files keep it: absolute, so that it
// names the same file from any working folder.
std::string absolutePath(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

}  // namespace

// --- The file menu --------------------------------------------------------

void MainWindow::MenuOpenFile_Click() {
  if (!maySetChangesAside()) return;
  if (const auto path = quillane::MenuOpenFile_Click(m_platform, m_doc)) showLoaded(Loaded::SettingsFile, *path);
}

void MainWindow::MenuOpenFileQL_Click() {
  // Laid over the document, which stays what it was plus these values: an
  // edit that undo takes back, with nothing set aside to ask about.
  if (quillane::MenuOpenFileQL_Click(m_platform, m_doc)) showLoaded(Loaded::Overlay, {});
}

void MainWindow::MenuSaveFile_Click() {
  const PagesShown shown = pagesShown();
  const auto path = quillane::MenuSaveFile_Click(m_platform, m_doc);
  showPages(shown);
  if (path) noteSaved(*path);
}

void MainWindow::MenuOverwriteFile_Click() { saveChanges(); }

void MainWindow::openFile(const std::string& path) {
  if (!maySetChangesAside()) return;
  if (isStyleFileName(path)) {
    importStyleFile(path);
    return;
  }
  if (!openNamedFile(m_platform, m_doc, path)) return;
  showLoaded(isSampleFileName(path) ? Loaded::Sample : Loaded::SettingsFile, path);
  m_history.restart();
}

void MainWindow::openRecentFile(const std::string& path) {
  if (!fileExists(path)) {
    m_platform.messageBox(missingRecentFileMessage(path), "読み込みエラー", MessageIcon::Exclamation);
    forgetRecentFile(path);
    return;
  }
  if (!maySetChangesAside()) return;
  if (openSettingsFile(m_platform, m_doc, path)) showLoaded(Loaded::SettingsFile, path);
}

void MainWindow::MenuSaveSumple_Click() {
  const PagesShown shown = pagesShown();
  const bool saved = quillane::MenuSaveSumple_Click(m_platform, m_doc, sampleFolders(m_appFolder).saveTo);
  showPages(shown);
  if (saved) SampleLoad();
}

// --- The sample menu ------------------------------------------------------

const std::vector<SampleEntry>& MainWindow::samples() {
  if (!m_samplesListed) SampleLoad();
  return m_samples;
}

QMenu* MainWindow::sampleMenu() {
  if (!m_samplesListed) SampleLoad();
  return m_sampleMenu;
}

void MainWindow::SampleLoad() {
  m_samplesListed = true;
  m_samples = listSamples(sampleFolders(m_appFolder).listed);
  m_sampleMenu->clear();
  if (m_samples.empty()) {
    QAction* none = m_sampleMenu->addAction(QStringLiteral("無し"));
    none->setObjectName(QStringLiteral("MenuTuika(0)"));
    none->setEnabled(false);
    return;
  }
  // Access keys as the recent files have them, "&1 基本", while keys last.
  static constexpr std::string_view kKeys = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (std::size_t i = 0; i < m_samples.size(); ++i) {
    // "&" would mark a keyboard shortcut in a menu caption.
    QString caption = qs(m_samples[i].caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (i < kKeys.size()) caption.prepend(QStringLiteral("&") + QLatin1Char(kKeys[i]) + QLatin1Char(' '));
    QAction* entry = m_sampleMenu->addAction(caption);
    entry->setObjectName(QStringLiteral("MenuTuika(%1)").arg(i));
    const int index = static_cast<int>(i);
    connect(entry, &QAction::triggered, this, [this, index] { MenuTuika_Click(index); });
  }
}

void MainWindow::MenuTuika_Click(int index) {
  if (!m_samplesListed) SampleLoad();
  if (index < 0 || index >= static_cast<int>(m_samples.size())) return;
  if (!maySetChangesAside()) return;
  const SampleEntry& sample = m_samples[static_cast<std::size_t>(index)];
  if (loadSample(m_platform, m_doc, sample)) showLoaded(Loaded::Sample, sample.path);
}

// --- The open file and unsaved changes ------------------------------------

void MainWindow::showLoaded(Loaded kind, const std::string& path) {
  // The pages in view stay where the user was: the enable rules that the
  // refresh runs would show the last class ticked, and reading the class
  // names leaves the last one selected.
  const PagesShown shown = pagesShown();
  refreshFromDocument();
  showPages(shown);
  if (kind == Loaded::Overlay) {
    m_history.record();
    return;
  }
  // A sample or an import is a starting point, not the user's file: saving
  // asks for a name. What an import made is in no file yet.
  DocumentFile file;
  if (kind == Loaded::SettingsFile) file.path = absolutePath(path);
  if (kind != Loaded::Import) file.savedText = settingsFileText(m_doc, Layout::Settings);
  m_history.recordLoad(file);
  if (kind != Loaded::Import) m_history.stack()->setClean();
  if (kind == Loaded::SettingsFile) rememberRecentFile(file.path);
}

MainWindow::PagesShown MainWindow::pagesShown() const {
  // The widgets, not the document: a load has changed the document already.
  return {m_ssTab1->currentIndex(), m_controls.get<QTabWidget>("SSTab2")->currentIndex(),
          m_controls.get<QTabWidget>("SSTab4")->currentIndex()};
}

void MainWindow::showPages(const PagesShown& shown) {
  m_ssTab1->setCurrentIndex(shown.main);
  m_controls.get<QTabWidget>("SSTab2")->setCurrentIndex(shown.slot);
  m_doc.currentClassTab = shown.userClass;
  m_controls.get<QTabWidget>("SSTab4")->setCurrentIndex(shown.userClass);
}

bool MainWindow::hasUnsavedChanges() const {
  return settingsFileText(m_doc, Layout::Settings) != m_history.file().savedText;
}

bool MainWindow::maySetChangesAside() {
  if (!hasUnsavedChanges()) return true;
  switch (m_platform.messageBox(saveChangesQuestion(openFilePath()), "", MessageIcon::Exclamation,
                                MessageButtons::SaveDiscardCancel)) {
    case MessageAnswer::Save:
      return saveChanges();
    case MessageAnswer::Discard:
      return true;
    default:
      return false;
  }
}

bool MainWindow::saveChanges() {
  const PagesShown shown = pagesShown();
  std::optional<std::string> saved;
  const std::string openPath = openFilePath();
  if (openPath.empty())
    saved = quillane::MenuSaveFile_Click(m_platform, m_doc);
  else if (FileSave(m_platform, m_doc, openPath, false))
    saved = openPath;
  showPages(shown);
  if (saved) noteSaved(*saved);
  return saved.has_value();
}

void MainWindow::noteSaved(const std::string& path) {
  m_history.setFile({absolutePath(path), settingsFileText(m_doc, Layout::Settings)});
  updateTitle();
  rememberRecentFile(openFilePath());
}

void MainWindow::updateTitle() { setWindowTitle(qs(windowTitleOf(openFilePath(), hasUnsavedChanges()))); }

// --- Recent files ---------------------------------------------------------

const RecentFiles& MainWindow::recentFiles() {
  if (!m_recentRead) loadRecentFiles();
  return m_recent;
}

QMenu* MainWindow::recentMenu() {
  if (!m_recentRead) loadRecentFiles();
  return m_recentMenu;
}

void MainWindow::loadRecentFiles() {
  m_recentRead = true;
  std::vector<std::string> paths;
  for (const QString& path : QSettings().value(kRecentFilesKey).toStringList()) paths.push_back(path.toStdString());
  m_recent = RecentFiles(paths);
  showRecentFiles();
}

// Each change reads the list again first, so that editors running side by
// side add to one list rather than overwrite each other's.
void MainWindow::rememberRecentFile(const std::string& path) {
  loadRecentFiles();
  m_recent.add(path);
  storeRecentFiles();
}

void MainWindow::forgetRecentFile(const std::string& path) {
  loadRecentFiles();
  m_recent.remove(path);
  storeRecentFiles();
}

void MainWindow::storeRecentFiles() {
  QStringList paths;
  for (const std::string& path : m_recent.paths()) paths << QString::fromStdString(path);
  QSettings().setValue(kRecentFilesKey, paths);
  showRecentFiles();
}

void MainWindow::showRecentFiles() {
  // The entries are made once and only relabelled, since the one chosen is
  // still delivering its click while the list changes.
  QList<QAction*> entries = m_recentMenu->actions();
  if (entries.isEmpty()) {
    QAction* none = m_recentMenu->addAction(QStringLiteral("無し"));
    none->setObjectName(QStringLiteral("MenuRecent"));
    none->setEnabled(false);
    for (std::size_t i = 0; i < kRecentFileLimit; ++i) {
      QAction* entry = m_recentMenu->addAction(QString());
      entry->setObjectName(QStringLiteral("MenuRecent(%1)").arg(i));
      connect(entry, &QAction::triggered, this,
              [this, entry] { openRecentFile(entry->data().toString().toStdString()); });
    }
    entries = m_recentMenu->actions();
  }
  const std::vector<std::string>& paths = m_recent.paths();
  entries[0]->setVisible(paths.empty());
  for (std::size_t i = 0; i < kRecentFileLimit; ++i) {
    QAction* entry = entries[static_cast<qsizetype>(i) + 1];
    entry->setVisible(i < paths.size());
    entry->setText(i < paths.size() ? qs(recentFileCaption(i, paths[i])) : QString());
    entry->setData(i < paths.size() ? QString::fromStdString(paths[i]) : QString());
  }
}

}  // namespace quillane
