// The web fonts of the form: the face each tag slot embeds, chosen among the
// installed fonts or from a file, once its licence allows it and the user has
// read the licence text; the character sets kept and the size limit.
#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <array>
#include <limits>

#include "css/css_tokenizer.h"
#include "document/control_captions.h"
#include "document/message_text.h"
#include "editor/control_registry.h"
#include "editor/font_task.h"
#include "editor/font_work.h"
#include "editor/main_window.h"
#include "generation/make_command.h"

namespace quillane {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr std::string_view kWebFontTitle = "Webフォント";

// The keys of the sets WebFontSet(0..3) stand for, in their order.
constexpr std::array<std::string_view, 4> kSetKeys = {"ascii", "kana", "joyo", "jis1"};

// "ascii,kana" -> {"ascii", "kana"}
std::vector<std::string> keysOf(std::string_view list) {
  std::vector<std::string> keys;
  for (std::size_t comma = 0; !list.empty();
       list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1)) {
    comma = list.find(',');
    if (const std::string_view key = list.substr(0, comma); !key.empty()) keys.emplace_back(key);
  }
  return keys;
}

// The first family of a font name as the form holds it, without quotes:
//   "'Noto Sans JP', sans-serif" -> "Noto Sans JP"
std::string firstFamily(std::string_view fontName) {
  std::string_view first = fontName.substr(0, fontName.find(','));
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!first.empty() && blank(first.front())) first.remove_prefix(1);
  while (!first.empty() && blank(first.back())) first.remove_suffix(1);
  if (first.size() >= 2 && (first.front() == '"' || first.front() == '\'') && first.back() == first.front())
    first = first.substr(1, first.size() - 2);
  return std::string(first);
}

// The report of the output tab, a paragraph for each font, with a note for
// one larger than `limit` bytes:
//   段落、リンク: Noto Sans CJK JP（fonts/noto-sans-cjk-jp-1b2c3d4e.woff2）
//     大きさ: 19,310,196 バイト → 1,391,236 バイト（WOFF2、3,101 字）
//     ページの文字でフォントにないもの: 2 字 丼𠮷
std::string reportText(const fonts::EmbedResult& made, std::size_t limit) {
  std::string text;
  const auto line = [&](const std::string& words) { text += words + "\n"; };
  if (made.pages > 0) line("ページ: " + countText(static_cast<std::size_t>(made.pages)) + " 個");
  for (const std::string& refused : made.pagesRefused) line(shownText(refused, 400));
  for (const fonts::EmbeddedFontReport& font : made.fonts) {
    std::string slots;
    for (const int slot : font.slots)
      slots += (slots.empty() ? "" : "、") +
               std::string(captionRowOf({"Check7", slot})->caption[static_cast<std::size_t>(slot)]);
    line(slots + ": " + shownText(font.family, 200) + "（" + shownText(font.fileName, 200) + "）");
    line("  大きさ: " + byteCountText(font.fontFileBytes) + " → " + byteCountText(font.woff2Bytes) + "（WOFF2、" +
         countText(font.keptCharacters) + " 字）");
    std::string lacking;
    for (const char32_t c : font.lackingOfPages) css::appendUtf8(lacking, c);
    line("  ページの文字でフォントにないもの: " + countText(font.lackingOfPages.size()) + " 字" +
         (lacking.empty() ? "" : " " + shownText(lacking, 2000)));
    if (font.woff2Bytes > limit)
      line("  上限の " + byteCountText(limit) + "を超えるため、「出力する」では書き出しません。");
    if (!font.licenceNote.empty()) line("  " + font.licenceNote);
  }
  if (made.refusal) line(*made.refusal);
  if (made.fonts.empty() && !made.refusal)
    line("埋め込むフォントはありません。チェックしたタグのページの「Webフォント」で選んでください。");
  return text;
}

}  // namespace

const FontWork* MainWindow::fontWork() {
  if (m_fontWorkFolders.isEmpty()) m_fontWorkFolders = fontWorkPluginFolders(QCoreApplication::applicationDirPath());
  const LoadedFontWork loaded = loadFontWork(m_fontWorkFolders);
  if (loaded.work == nullptr)
    m_platform.messageBox(QString(loaded.problem).replace(u'\n', QStringLiteral("\r\n")).toStdString(), kWebFontTitle,
                          MessageIcon::Critical);
  return loaded.work;
}

FontTask* MainWindow::fontTask() {
  if (m_fontTask == nullptr) {
    m_fontTask = new FontTask(m_controls.get<QProgressBar>("WebFontProgress"),
                              m_controls.get<QPushButton>("WebFontCancel"), this);
    // One task at a time: its own buttons wait while it runs.
    connect(m_fontTask, &FontTask::runningChanged, this, [this](bool running) {
      for (const char* family : {"WebFontMeasure", "Command6"}) m_controls.setEnabled(family, kNoIndex, !running);
    });
  }
  return m_fontTask;
}

void MainWindow::measureWebFonts() {
  // The sizes are those of the modern output, whichever output is chosen,
  // and a font over the limit is measured too: the report says so.
  StyleDocument doc = m_doc;
  doc.output.modern = 1;
  doc.fonts.limitKilobytes = std::numeric_limits<int>::max() / 1000;
  makeWebFonts(doc, false);
}

void MainWindow::makeWebFonts(const StyleDocument& doc, bool write) {
  const FontWork* work = fontWork();
  if (work == nullptr) return;
  auto* report = m_controls.get<QPlainTextEdit>("WebFontReport");
  report->setPlainText(QString());
  // 出力する shows the progress and its cancel button on the web fonts' tab.
  if (write)
    for (int t = 0; t < m_ssTab1->count(); ++t)
      if (m_ssTab1->widget(t)->isAncestorOf(report)) m_ssTab1->setCurrentIndex(t);
  // The thread has its own copy of the document: editing goes on meanwhile,
  // and what is written is the document as it was when the user asked.
  fontTask()->start(
      [this, work, doc, write, report = QPointer<QPlainTextEdit>(report)](const FontTask::Report& progress) {
        auto made = std::make_shared<fonts::EmbedResult>(work->embedWebFonts(doc, webFontFolder(doc), progress));
        return std::function<void()>([this, doc, write, report, made] {
          if (report != nullptr)
            report->setPlainText(qs(reportText(*made, static_cast<std::size_t>(m_doc.fonts.limitKilobytes) * 1000)));
          if (!write || made->cancelled) return;
          if (made->refusal) {
            m_platform.messageBox(*made->refusal, kWebFontTitle, MessageIcon::Critical);
            return;
          }
          makeWithWebFonts(m_platform, doc, m_appFolder, made->faces);
        });
      });
}

void MainWindow::chooseWebFont(int slot) {
  const FontWork* work = fontWork();
  if (work == nullptr) return;
  const auto choice = m_platform.chooseFont(firstFamily(m_doc.slots[static_cast<std::size_t>(slot)].fontName));
  if (!choice) return;
  const FontFileOffer file = work->readFontFile(choice->file);
  if (!file.ok()) {
    m_platform.messageBox(file.refused, kWebFontTitle, MessageIcon::Critical);
    return;
  }
  const auto face = std::find_if(file.faces.begin(), file.faces.end(),
                                 [&](const FontFaceOffer& f) { return f.index == choice->index; });
  if (face == file.faces.end()) {
    m_platform.messageBox(shownPath(choice->file) + "\r\nこのファイルには " + std::to_string(choice->index + 1) +
                              " 番目のフォントがありません。",
                          kWebFontTitle, MessageIcon::Critical);
    return;
  }
  // What the maker allows comes first: a font that may not travel with a
  // page is refused, whatever the user would answer.
  const std::string name = shownText(face->name, 200);
  if (!face->mayEmbed) {
    m_platform.messageBox(name + "\r\n" + face->permission, kWebFontTitle, MessageIcon::Critical);
    return;
  }
  const QString key = qs(choice->file) + u'\n' + qs(face->name);
  if (!m_acceptedLicences.contains(key)) {
    std::string text = face->licence;
    if (!face->licenceAddress.empty()) text += (text.empty() ? "" : "\n\n") + shownText(face->licenceAddress, 400);
    if (!m_platform.acceptLicence(name, face->permission, text,
                                  face->previewAndPrint ? MessageIcon::Exclamation : MessageIcon::Information))
      return;
    m_acceptedLicences.insert(key);
  }
  EmbeddedFont& font = m_doc.fonts.slots[static_cast<std::size_t>(slot)];
  // A collection's face is kept by its whole name; a single font's needs none.
  const EmbeddedFont chosen{choice->file, file.faces.size() > 1 ? face->name : std::string(), face->family};
  if (font == chosen) return;
  font = chosen;
  showWebFont(slot);
  m_history.endTyping();
  m_history.record();
}

void MainWindow::stopWebFont(int slot) {
  EmbeddedFont& font = m_doc.fonts.slots[static_cast<std::size_t>(slot)];
  if (!font.chosen()) return;
  font = {};
  showWebFont(slot);
  m_history.endTyping();
  m_history.record();
}

void MainWindow::showWebFont(int slot) {
  auto* shown = qobject_cast<QLineEdit*>(m_controls.findBuilt({"WebFontFace", slot}));
  if (shown == nullptr) return;
  const EmbeddedFont& font = m_doc.fonts.slots[static_cast<std::size_t>(slot)];
  QString text;
  if (font.chosen())
    text = qs(shownText(font.face.empty() ? font.family : font.face, 200)) + QStringLiteral("（") +
           QFileInfo(qs(font.file)).fileName() + QStringLiteral("）");
  shown->setText(text);
  shown->setCursorPosition(0);
  shown->setToolTip(font.chosen() ? qs(font.file) : QString());
  shown->setPlaceholderText(QStringLiteral("（埋め込むフォントなし）"));
  m_rules.webFont(slot);
}

void MainWindow::showWebFontChoices() {
  const std::vector<std::string> keys = keysOf(m_doc.fonts.sets);
  for (std::size_t k = 0; k < kSetKeys.size(); ++k)
    if (auto* box = qobject_cast<QCheckBox*>(m_controls.findBuilt({"WebFontSet", static_cast<int>(k)})))
      box->setChecked(std::find(keys.begin(), keys.end(), kSetKeys[k]) != keys.end());
  if (auto* limit = qobject_cast<QSpinBox*>(m_controls.findBuilt({"WebFontLimit", kNoIndex})))
    limit->setValue(m_doc.fonts.limitKilobytes);
}

void MainWindow::bindWebFontChoices() {
  for (std::size_t k = 0; k < kSetKeys.size(); ++k) {
    const ControlId id{"WebFontSet", static_cast<int>(k)};
    auto* box = qobject_cast<QCheckBox*>(m_controls.findBuilt(id));
    if (box == nullptr) continue;
    connect(box, &QCheckBox::toggled, this, [this, id, key = kSetKeys[k]](bool on) {
      const QScopedValueRollback<int> scope(m_editDepth, m_editDepth + 1);
      // The three sets in their order; a key this window does not show is kept.
      std::vector<std::string> keys = keysOf(m_doc.fonts.sets);
      const bool had = std::find(keys.begin(), keys.end(), key) != keys.end();
      if (had == on) return;
      std::vector<std::string> next;
      for (std::string_view known : kSetKeys) {
        const bool wanted = known == key ? on : std::find(keys.begin(), keys.end(), known) != keys.end();
        if (wanted) next.emplace_back(known);
      }
      for (const std::string& other : keys)
        if (std::find(kSetKeys.begin(), kSetKeys.end(), other) == kSetKeys.end()) next.push_back(other);
      std::string list;
      for (const std::string& k : next) list += (list.empty() ? "" : ",") + k;
      m_doc.fonts.sets = list;
      recordEdit(id, false);
    });
  }
  if (auto* limit = qobject_cast<QSpinBox*>(m_controls.findBuilt({"WebFontLimit", kNoIndex})))
    connect(limit, &QSpinBox::valueChanged, this, [this](int kilobytes) {
      const QScopedValueRollback<int> scope(m_editDepth, m_editDepth + 1);
      // A limit the box cannot hold stays as the file gave it until the user changes it.
      if (m_refreshing || m_doc.fonts.limitKilobytes == kilobytes) return;
      m_doc.fonts.limitKilobytes = kilobytes;
      recordEdit({"WebFontLimit", kNoIndex}, true);
    });
}

}  // namespace quillane
