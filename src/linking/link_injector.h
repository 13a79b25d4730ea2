// The logic of the link window ("CSSの適用", Form4): rewriting a page so
// that it links a style sheet, previewing it, and saving it over the page.
// The window is a thin view over this class.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "linking/link_rewrite.h"
#include "platform/platform.h"
#include "platform/preview_files.h"

namespace quillane {

// A rewritten page: its bytes, and the encoding they are in.
struct RewrittenPage {
  std::string bytes;
  PageEncoding encoding = PageEncoding::Cp932;
  std::string text() const { return pageTextForDisplay(bytes, encoding); }
};

// CssTekiyou: reads the page at `htmlPath` and returns it with the link to
// `cssName` inserted, preceded by the marker comment when `comment` is set
// (see linkPage). Asks before adding a head to a page without "</HEAD>";
// nothing on Cancel, or after a message when the page cannot be read or is
// refused (too large, UTF-16 or UTF-32, a name that cannot stand in it).
// The style sheet at `cssPath`, when it can be read, gives the page the SVG
// filters it carries (filter_block.h).
std::optional<RewrittenPage> CssTekiyou(Platform& platform, std::string_view cssName, const std::string& htmlPath,
                                        bool comment, const std::string& cssPath = {});

class LinkInjector {
 public:
  // Keeps a reference to `platform`, which must outlive this object (its
  // preview file is removed through it on destruction). Not thread-safe:
  // one window's logic, used from that window's thread.
  explicit LinkInjector(Platform& platform) : m_platform(platform), m_previews(platform) {}

  // Text1 and Text2: the page and the style sheet. Changing either
  // disables saving until the next preview.
  const std::string& pagePath() const { return m_pagePath; }
  const std::string& styleSheetPath() const { return m_cssPath; }
  void setPagePath(std::string path);
  void setStyleSheetPath(std::string path);

  bool comment = true;  // Check1 "コメントの挿入"

  // Rich1: the page text as shown, which the user may edit.
  const std::string& text() const { return m_text; }
  void setText(std::string text) { m_text = std::move(text); }

  bool canSave() const { return m_canSave; }  // Command3 "保存"

  // Command1 / Command2: browse for the page or the style sheet.
  bool browsePage();
  bool browseStyleSheet();

  // Command4 "新規プレビュー": rewrite the page and show it.
  void previewNew();
  // Command5 "下のままプレビュー": show the text as it stands.
  void previewAsIs();
  // Command3 "保存": write the text over the page. Returns whether it did.
  // Only the text of the latest successful rewrite of this very page (as
  // rewritten, or as edited and previewed) is ever written: never an empty
  // text, nor one left from a failed or cancelled rewrite.
  bool save();

  // Takes a rewrite made elsewhere (the editor's chosen-page preview) into
  // the text box, as if shown by a rewrite here. It belongs to `pagePath`,
  // which need not be this window's page, so saving stays off.
  void showRewrite(const std::string& pagePath, RewrittenPage page);

  // The preview file beside the page: its folder and "essepreview.html".
  std::string previewPath() const;

 private:
  // The bytes to write: exactly the rewritten bytes unless the text was
  // edited, else the edited text in the page's encoding.
  std::optional<std::string> bytesToWrite();
  bool showPreview();

  Platform& m_platform;
  PreviewFiles m_previews;
  std::string m_pagePath = "/";
  std::string m_cssPath = "/";
  std::string m_text;
  RewrittenPage m_page;  // the last rewrite, for writing its bytes unchanged
  std::string m_pageText;
  std::string m_textPage;  // the page the text was rewritten from
  bool m_canSave = false;
};

}  // namespace quillane
