// Reading an HTML page the way a browser's tokenizer does, for the few
// things the link rewrite needs to know: where the doctype ends, where the
// first real "<HTML>" tag and closing head tag stand, where the body starts,
// and which encoding the page declares. Comments, the contents of <script>, <style>, <title> and
// the other raw-text elements, and attribute values are skipped as a browser
// skips them, so a "</HEAD>" inside any of them is no head end. Both scans
// take time linear in the page's size.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

struct HeadLandmarks {
  static constexpr std::size_t npos = std::string_view::npos;
  std::size_t closingHead = npos;  // the "<" of the first closing head tag
  std::size_t html = npos;         // the "<" of the first start tag written exactly "<html>" (any case)
  std::size_t doctypeEnd = npos;   // just past the doctype, when it is the page's first tag
};

//   "<!-- </head> --><HEAD><title></head></title></Head >" -> closingHead 45
//   "<!DOCTYPE html>\r\n<html lang=ja>"                     -> doctypeEnd 15, no html
HeadLandmarks scanHead(std::string_view page);

// Where something may go at the start of the body: just past the first real
// body start tag, wherever it stands; in a page without one, before the
// first text or element that is no part of the head (what stands before it:
// blanks, comments, the doctype, the html and head tags, the elements a
// browser puts into the head, end tags other than those of body, html and
// br), or at the end. Never inside a tag, a comment or the text of a
// raw-text element: in a page that ends inside one of those, before that
// piece at the latest.
//   "<body onload=\"a >= 4\">x"          -> {22, past the tag}
//   "<head><title>x</title></head><p>x" -> {29}, the "<" of "<p>"
//   "<!-- <body> --><p>"               -> {15}
struct BodyStart {
  std::size_t at = 0;
  bool pastTag = false;  // just past the body start tag
};
BodyStart bodyStart(std::string_view page);

// An attribute as the tokenizer reads it: the name lowered, the value as
// written (character references unresolved, quotes left out).
struct TagAttribute {
  std::string name;
  std::string_view value;
};

struct StyleElement {
  std::size_t begin = 0;  // the element's text, between the start and the closing tag
  std::size_t end = 0;
  std::vector<TagAttribute> attributes;  // of the start tag, in order (the first of a name counts)
};

// The <style> elements that are part of the page and the first <title>: not
// those inside comments, attribute values, raw text (<script>, <textarea>,
// <noscript>, <xmp> and the rest) or a <template>.
struct PageStyles {
  static constexpr std::size_t npos = std::string_view::npos;
  std::vector<StyleElement> styles;
  std::size_t titleBegin = npos;
  std::size_t titleEnd = npos;
};

//   "<template><style>a</style></template><textarea><style>b</textarea><style media=print>c</style>"
//     -> one style element, "c", with the attribute media="print"
PageStyles scanPageStyles(std::string_view page);

// Calls `shown` with each stretch of text a browser shows of the page, in
// order: the text between tags (character references as written, the text
// of raw-text elements such as <title> and <textarea> included) and the
// values of the attributes shown as text (alt, title, placeholder, value),
// with `attribute` set. Tags, comments, the doctype and the text of
// <script> and <style> are not shown.
//   "<p title=t>a<!-- b --><script>c</script>d" -> ("t", true), ("a", false), ("d", false)
void forEachShownText(std::string_view page, const std::function<void(std::string_view text, bool attribute)>& shown);

// The encoding label a browser's prescan finds in the page's first 1024
// bytes, lowered and trimmed: <meta charset>, or the charset in the content
// of a <meta http-equiv="Content-Type">, in the first <meta> that names one,
// wherever it stands (after <body> too); comments and other tags' attribute
// values are skipped. Empty when there is none.
//   "<meta charset=' Shift_JIS '>"                                 -> "shift_jis"
//   "<META HTTP-EQUIV=Content-Type CONTENT='text/html;charset=EUC-JP'>" -> "euc-jp"
std::string prescanCharset(std::string_view page);

}  // namespace quillane
