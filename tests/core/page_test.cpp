// The embedded-style page and the page that links a style sheet.
#include <gtest/gtest.h>

#include "document/product.h"
#include "generation/stylesheet_text.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::crlf;

std::string breaks() {
  std::string line = "<P>";
  for (int n = 0; n < 54; ++n) line += "<BR>";
  return line + "</P>";
}

std::string sampleLink() { return "<P><A href=\"" + std::string(kHomePageAddress) + "\">ハイパーリンク</A></P>"; }

TEST(EmbeddedPage, WorkedExampleWithBodyAtDefaults) {
  StyleDocument doc;
  doc.slots[kSlotBody].enabled = 1;
  const BuiltText page = buildEmbeddedPage(doc);
  ASSERT_TRUE(page.ok());
  EXPECT_BYTES(crlf({"<HTML>",
                     "<HEAD>",
                     "<TITLE>untitle</TITLE>",
                     "<style type=\"text/css\" > ",
                     "<!--",
                     "BODY {",
                     "  color : #;",
                     "  background-color: #;",
                     "  font-weight : ;",
                     "  font-family : \"\";",
                     "  font-size : px;",
                     "  cursor :  auto;",
                     "}",
                     "-->",
                     "</style>",
                     "</HEAD>",
                     "<BODY>",
                     "<P>サンプル</P>",
                     sampleLink(),
                     breaks(),
                     "</BODY>",
                     "</HTML>"},
                    false),
               page.text);
}

TEST(EmbeddedPage, EmptyTitleNoSampleNoBreaksNothingEnabled) {
  StyleDocument doc;
  doc.output.htmlTitle = "";
  doc.output.htmlSample = 0;
  doc.output.htmlBreaks = 0;
  EXPECT_BYTES(crlf({"<HTML>", "<HEAD>", "<TITLE></TITLE>", "<style type=\"text/css\" > ", "<!--", "-->", "</style>",
                     "</HEAD>", "<BODY>", "</BODY>", "</HTML>"},
                    false),
               buildEmbeddedPage(doc).text);
}

TEST(LinkPage, LinksTheSheetAndHasAnEmptyTitle) {
  StyleDocument doc;
  doc.output.linkPageTitle = "ignored";
  EXPECT_BYTES(crlf({"<HTML>", "<HEAD>", "<TITLE></TITLE>",
                     "<LINK href=\"style.CSS.css\" rel=\"stylesheet\" type=\"text/css\"></HEAD>", "<BODY>",
                     "<P>サンプル</P>", sampleLink(), breaks(), "</BODY>", "</HTML>"},
                    false),
               buildLinkPage(doc, "style.CSS.css"));
  doc.output.linkPageSample = 0;
  doc.output.linkPageBreaks = 0;
  EXPECT_TRUE(buildLinkPage(doc, "a.css").ends_with("</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>"));
}

}  // namespace
}  // namespace quillane
