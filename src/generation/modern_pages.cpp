#include "generation/modern_pages.h"

#include "document/product.h"
#include "generation/declaration_emitters.h"
#include "generation/html_escape.h"
#include "generation/modern_filters.h"
#include "generation/modern_stylesheet.h"

namespace quillane {

namespace {

std::string& line(std::string& t, std::string_view text) { return t.append(text).append(kCrLf); }

void appendHead(std::string& t, std::string_view title) {
  line(t, "<!DOCTYPE html>");
  line(t, "<html lang=\"ja\">");
  line(t, "<head>");
  line(t, "<meta charset=\"UTF-8\">");
  line(t, "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
  line(t, "<title>" + escapeHtmlText(title) + "</title>");
}

// The filters, the sample paragraph and link, the 54 line breaks, and the
// page's end.
void appendBody(std::string& t, std::string_view filters, bool sample, bool breaks) {
  line(t, "<body>");
  t.append(filters);
  if (sample) {
    line(t, "<p>サンプル</p>");
    line(t, "<p><a href=\"" + escapeHtmlText(kHomePageAddress) + "\">ハイパーリンク</a></p>");
  }
  if (breaks) {
    std::string brs;
    for (int n = 0; n < 54; ++n) brs += "<br>";
    line(t, "<p>" + brs + "</p>");
  }
  line(t, "</body>");
  line(t, "</html>");
}

}  // namespace

ModernText buildModernEmbeddedPage(const StyleDocument& doc, const WebFontFaces& fonts) {
  ModernText built;
  std::string& t = built.text;
  appendHead(t, doc.output.htmlTitle);
  line(t, "<style>");
  built.refusal = appendModernStyleRules(doc, t, fonts);
  if (built.refusal) return built;
  line(t, "</style>");
  line(t, "</head>");
  appendBody(t, modernFilterBlock(doc), doc.output.htmlSample == 1, doc.output.htmlBreaks == 1);
  return built;
}

std::string buildModernLinkPage(const StyleDocument& doc, std::string_view styleSheet) {
  std::string t;
  appendHead(t, doc.output.linkPageTitle);
  line(t, "<link rel=\"stylesheet\" href=\"" + escapeHtmlText(percentEncoded(styleSheet)) + "\">");
  line(t, "</head>");
  appendBody(t, modernFilterBlock(doc), doc.output.linkPageSample == 1, doc.output.linkPageBreaks == 1);
  return t;
}

ModernText buildModernClassPreview(const StyleDocument& doc, int i) {
  ModernText built;
  std::string& t = built.text;
  appendHead(t, doc.output.htmlTitle);
  line(t, "<style>");
  built.refusal = appendModernClassRule(doc, i, t);
  if (built.refusal) return built;
  line(t, "</style>");
  line(t, "</head>");
  line(t, "<body>");
  t.append(modernClassFilterBlock(doc, i));
  const UserClass& c = doc.classes[static_cast<std::size_t>(i)];
  const std::string name = escapeHtmlText(c.className);
  if (c.target == Choice::Second)
    line(t, "<img class=\"" + name + "\" src=\"pal.png\" width=\"350\" height=\"470\" alt=\"\">");
  if (c.target == Choice::First) {
    // The legacy page's <FONT SIZE="+5">: the largest font size, 48 pixels.
    line(t, "<div style=\"font-size: 48px\">");
    line(t, "<p class=\"" + name + "\">サンプルです</p>");
    line(t, "<p class=\"" + name + "\">こーんな感じになるのです</p>");
    line(t, "</div>");
  }
  line(t, "</body>");
  line(t, "</html>");
  return built;
}

}  // namespace quillane
