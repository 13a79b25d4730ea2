#include "generation/stylesheet_text.h"

#include <array>

#include "document/product.h"
#include "generation/declaration_emitters.h"
#include "generation/html_escape.h"
#include "generation/kept_style.h"
#include "generation/value_checks.h"

namespace quillane {

namespace {

void appendSlotDeclarations(const StyleDocument& doc, int i, std::string& t) {
  const TagSlot& s = doc.slots[static_cast<std::size_t>(i)];
  Color(doc, foreColourIndex(i), t);
  BackGroundColor(doc, backColourIndex(i), t);
  FontWeight(doc, i, t);
  if (s.useImage == Choice::First) BackGroundImage(doc, i, t);
  if (s.underline + s.overline + s.lineThrough + s.blink > 0) TextDecoration(doc, i, t);
  FontFamily(doc, i, t);
  if (s.italic == 1) FontStyle(t);
  FontSizes(doc, i, t);
  Cursor(doc, i, t);
}

}  // namespace

std::optional<NumberFieldError> appendStyleRules(const StyleDocument& doc, std::string& t) {
  appendKeptStyleHead(doc, t, KeptTextFor::Cp932);
  const bool bodyOn = doc.slots[kSlotBody].enabled == 1;
  if (bodyOn) {
    t.append("BODY {").append(kCrLf);
    appendSlotDeclarations(doc, kSlotBody, t);
  }
  int scrollbarCount = 0;
  for (CheckState c : doc.scrollbarEnabled) scrollbarCount += c;
  if (scrollbarCount > 0) {
    if (!bodyOn) t.append("BODY {").append(kCrLf);
    Scrollbar(doc, t);
  }
  if (scrollbarCount > 0 || bodyOn) t.append("}").append(kCrLf);

  // A:HOVER is written before A:ACTIVE.
  static constexpr std::array kSlotOrder = {kSlotP, kSlotA, kSlotVisited, kSlotHover, kSlotActive};
  for (int i : kSlotOrder) {
    if (doc.slots[static_cast<std::size_t>(i)].enabled != 1) continue;
    t.append(selectorOf(i)).append(kCrLf);
    appendSlotDeclarations(doc, i, t);
    t.append("}").append(kCrLf);
  }
  auto error = appendClassRules(doc, t);
  if (!error) appendKeptStyle(doc, t, KeptTextFor::Cp932);
  return error;
}

BuiltText buildStyleSheet(const StyleDocument& doc) {
  BuiltText built;
  built.error = appendStyleRules(doc, built.text);
  return built;
}

namespace {

// The sample paragraph and link, the 54 line breaks, and the page's end,
// shared by both pages.
void appendSampleContent(std::string& t, bool sample, bool breaks) {
  if (sample) {
    t.append(kCrLf).append("<P>サンプル</P>").append(kCrLf);
    t.append("<P><A href=\"").append(kHomePageAddress).append("\">ハイパーリンク</A></P>");
  }
  if (breaks) {
    t.append(kCrLf).append("<P>");
    for (int n = 0; n < 54; ++n) t.append("<BR>");
    t.append("</P>");
  }
  t.append(kCrLf).append("</BODY>").append(kCrLf).append("</HTML>");
}

}  // namespace

std::string buildLinkPage(const StyleDocument& doc, std::string_view styleSheet) {
  std::string t;
  t.append("<HTML>").append(kCrLf).append("<HEAD>").append(kCrLf).append("<TITLE></TITLE>").append(kCrLf);
  t.append("<LINK href=\"").append(styleSheet).append("\" rel=\"stylesheet\" type=\"text/css\"></HEAD>");
  t.append(kCrLf).append("<BODY>");
  appendSampleContent(t, doc.output.linkPageSample == 1, doc.output.linkPageBreaks == 1);
  return t;
}

BuiltText buildEmbeddedPage(const StyleDocument& doc) {
  BuiltText built;
  std::string& t = built.text;
  t.append("<HTML>").append(kCrLf).append("<HEAD>").append(kCrLf);
  t.append("<TITLE>").append(escapeHtmlText(doc.output.htmlTitle)).append("</TITLE>").append(kCrLf);
  t.append("<style type=\"text/css\" > ").append(kCrLf).append("<!--").append(kCrLf);
  built.error = appendStyleRules(doc, t);
  if (built.error) return built;
  t.append("-->").append(kCrLf).append("</style>").append(kCrLf).append("</HEAD>").append(kCrLf).append("<BODY>");
  appendSampleContent(t, doc.output.htmlSample == 1, doc.output.htmlBreaks == 1);
  return built;
}

}  // namespace quillane
