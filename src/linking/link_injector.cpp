#include "linking/link_injector.h"

#include "document/message_text.h"
#include "generation/output_paths.h"
#include "platform/cp932.h"
#include "platform/file_io.h"
#include "platform/text_file.h"

namespace quillane {

namespace {

constexpr std::string_view kPageFilter = "(*.htm,*.html)|*.htm;*.html";
constexpr std::string_view kStyleSheetFilter = "(*.css)|*.css";

}  // namespace

std::optional<RewrittenPage> CssTekiyou(Platform& platform, std::string_view cssName, const std::string& htmlPath,
                                        bool comment, const std::string& cssPath) {
  std::string page;
  // One byte past the limit tells a page that is too large from one that fits.
  if (!platform.readFile(htmlPath, page, kMaxPageBytes + 1).ok()) {
    platform.messageBox("ファイルのパスが不正です", "", MessageIcon::Critical);
    return std::nullopt;
  }
  // A sheet that cannot be read gives no filters; the link is made all the same.
  std::string sheet;
  if (!cssPath.empty() && !platform.readFile(cssPath, sheet, kMaxPageBytes).ok()) sheet.clear();
  LinkedPage linked = linkPage(page, cssName, comment, sheet);
  if (!linked.ok()) {
    platform.messageBox(linked.refused, kInputErrorTitle, MessageIcon::Exclamation);
    return std::nullopt;
  }
  if (linked.placement != HeadPlacement::BeforeClosingHead &&
      platform.messageBox("このファイルには<HEAD>タグが含まれていません\r\nQuillaneが自動で<HEAD>タグを挿入します。",
                          "", MessageIcon::None, MessageButtons::OkCancel) == MessageAnswer::Cancel)
    return std::nullopt;
  return RewrittenPage{std::move(linked.bytes), linked.encoding};
}

void LinkInjector::setPagePath(std::string path) {
  m_pagePath = std::move(path);
  m_canSave = false;
}

void LinkInjector::setStyleSheetPath(std::string path) {
  m_cssPath = std::move(path);
  m_canSave = false;
}

bool LinkInjector::browsePage() {
  auto chosen = m_platform.fileDialog(FileDialogMode::Open, kPageFilter);
  if (chosen) setPagePath(std::move(*chosen));
  return chosen.has_value();
}

bool LinkInjector::browseStyleSheet() {
  auto chosen = m_platform.fileDialog(FileDialogMode::Open, kStyleSheetFilter);
  if (chosen) setStyleSheetPath(std::move(*chosen));
  return chosen.has_value();
}

std::string LinkInjector::previewPath() const { return folderOf(m_pagePath) + "essepreview.html"; }

std::optional<std::string> LinkInjector::bytesToWrite() {
  if (m_text == m_pageText) return m_page.bytes;
  std::string bytes;
  UnencodableCharacter bad;
  if (m_page.encoding == PageEncoding::Utf8) return m_text;
  if (encodeCp932(m_text, bytes, bad)) return bytes;
  m_platform.messageBox(bad.describe(), kInputErrorTitle, MessageIcon::Exclamation);
  return std::nullopt;
}

bool LinkInjector::showPreview() {
  const auto bytes = bytesToWrite();
  if (!bytes) return false;
  m_previews.removeAll();
  const std::string path = previewPath();
  if (const FileResult written = m_platform.writeFile(path, *bytes); !written.ok()) {
    m_platform.messageBox("プレビュー用のファイル「" + shownPath(path) + "」を書きこめませんでした。", "エラー",
                          MessageIcon::Critical);
    return false;
  }
  m_previews.keep(path);
  m_platform.shellOpen(path);
  m_platform.processEvents();
  return true;
}

// A rewrite that failed (after its message) shows nothing and turns
// saving off: an empty text saved over the page would destroy it.
void LinkInjector::previewNew() {
  m_canSave = false;
  showRewrite({}, {});
  auto page = CssTekiyou(m_platform, fileNameOf(m_cssPath), m_pagePath, comment, m_cssPath);
  if (!page) return;
  std::string styleSheet;
  if (isRegularFile(m_cssPath) && m_platform.readFile(m_cssPath, styleSheet, kMaxPageBytes).ok())
    if (const auto warning = misreadStyleSheetWarning(styleSheet, page->encoding, fileNameOf(m_cssPath)))
      m_platform.messageBox(*warning, "", MessageIcon::Exclamation);
  showRewrite(m_pagePath, std::move(*page));
  if (showPreview()) m_canSave = true;
}

void LinkInjector::showRewrite(const std::string& pagePath, RewrittenPage page) {
  m_page = std::move(page);
  m_pageText = m_page.text();
  m_text = m_pageText;
  m_textPage = pagePath;
  m_canSave = false;
}

void LinkInjector::previewAsIs() {
  // Saving needs a text that came from this page and holds something.
  if (showPreview()) m_canSave = !m_text.empty() && m_textPage == m_pagePath;
}

bool LinkInjector::save() {
  if (!m_canSave) return false;
  const auto bytes = bytesToWrite();
  if (!bytes || bytes->empty()) return false;
  if (!m_platform.writeFile(m_pagePath, *bytes).ok()) {
    m_platform.messageBox("パスが不正です", "エラー", MessageIcon::Critical);
    return false;
  }
  return true;
}

}  // namespace quillane
