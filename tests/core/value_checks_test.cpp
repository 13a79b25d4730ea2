// Values that would leave their place are refused before anything is
// written; ordinary values keep their bytes; titles are escaped.
#include "generation/value_checks.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "document/control_captions.h"
#include "generation/html_escape.h"
#include "generation/make_command.h"
#include "generation/stylesheet_text.h"
#include "guarded_fields.h"
#include "preview/demo_page.h"
#include "preview/preview_commands.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::ScratchFolder;

std::optional<std::string> refused(std::string refusedPart) { return refusedPart; }

// The control whose value `output` refuses, or nothing.
std::optional<ControlId> controlRefused(const StyleDocument& doc, Output output, int classIndex = 0) {
  const auto error = checkValues(doc, output, classIndex);
  return error ? std::optional(error->control) : std::nullopt;
}

TEST(ValueChecks, OrdinaryValuesPassInEveryPlace) {
  for (const char* name : {"efect0", "見出し", "my-class_2", "ＭＳ　見出し"})
    EXPECT_EQ(refusedPart(ValueKind::ClassName, name), std::nullopt) << name;
  for (const char* font :
       {"Arial", "ＭＳ ゴシック", "MS \"P\" Gothic", "A\", \"B", "O'Reilly Sans", "Times (New)", "Expression Sans"})
    EXPECT_EQ(refusedPart(ValueKind::FontName, font), std::nullopt) << font;
  for (const char* value :
       {"", "FF0000", "700", "1.5", "em", "サイズ変更　左下-右上", "url(hand.cur), pointer", "#a b"})
    EXPECT_EQ(refusedPart(ValueKind::CssValue, value), std::nullopt) << value;
  for (const char* path : {"my pics/back.gif", "画像/背景.png", "http://x.example/a.gif?b=1&c=2", "a(b).gif",
                           "\\\\x\\[1].gif", "javascript.gif"})
    EXPECT_EQ(refusedPart(ValueKind::UrlPath, path), std::nullopt) << path;
  for (const char* name : {"style.css", "a&b.css", "スタイル 1.css", "'q'.css"})
    EXPECT_EQ(refusedPart(ValueKind::AttributeText, name), std::nullopt) << name;
}

TEST(ValueChecks, ValuesThatWouldLeaveTheirPlaceNameTheCharacter) {
  const std::tuple<ValueKind, const char*, const char*> cases[] = {
      {ValueKind::ClassName, "</style><script>alert(1)</script>", "<"},
      {ValueKind::ClassName, "a b", " "},
      {ValueKind::ClassName, "x, BODY", ","},
      {ValueKind::ClassName, "a{", "{"},
      {ValueKind::FontName, "Arial\"; } body { display:none", ";"},
      {ValueKind::FontName, "Arial\"", "\""},
      {ValueKind::FontName, "a\" 'b", "'"},
      {ValueKind::FontName, "a\" /* \"", "/*"},
      {ValueKind::FontName, "a\\", "\\"},
      {ValueKind::FontName, "a\nb", "\n"},
      {ValueKind::CssValue, "12px; color: red", ";"},
      {ValueKind::CssValue, "px}", "}"},
      {ValueKind::CssValue, "auto /* x", "/*"},
      {ValueKind::CssValue, "red)", ")"},
      {ValueKind::CssValue, "url(a", "("},
      {ValueKind::CssValue, "(]", "]"},
      {ValueKind::CssValue, "a\"b", "\""},
      {ValueKind::CssValue, "\x1B[2J", "\x1B"},
      // Script for old Internet Explorer, in every place.
      {ValueKind::CssValue, "expression(alert(1))", "expression("},
      {ValueKind::CssValue, "700 EXPRESSION\t(alert(1))", "expression("},
      {ValueKind::CssValue, "url(JavaScript:alert), pointer", "javascript:"},
      {ValueKind::UrlPath, "javascript:alert", "javascript:"},
      {ValueKind::FontName, "a\" expression(x) \"", "expression("},
      {ValueKind::AttributeText, "vbscript:x.css", "vbscript:"},
      {ValueKind::UrlPath, "a.gif); } body { display:none", ")"},
      {ValueKind::UrlPath, "C:\\a(b.gif", "("},
      {ValueKind::UrlPath, "C:\\a[b.gif", "["},
      {ValueKind::UrlPath, "a]b.gif", "]"},
      {ValueKind::UrlPath, "C:\\pics\\", "\\"},
      {ValueKind::UrlPath, "a\\\\", "\\"},
      {ValueKind::UrlPath, "C:\\a;b.gif", ";"},
      {ValueKind::UrlPath, "a{b.gif", "{"},
      {ValueKind::UrlPath, "a}b.gif", "}"},
      {ValueKind::UrlPath, "a\\</style>", "<"},
      {ValueKind::UrlPath, "a>.gif", ">"},
      {ValueKind::UrlPath, "a\\\"b.gif", "\""},
      {ValueKind::UrlPath, "a'.gif", "'"},
      {ValueKind::UrlPath, "a\\\tb.gif", "\t"},
      {ValueKind::UrlPath, "a\\\r\nb.gif", "\r"},
      {ValueKind::UrlPath, "a(b)/*c.gif", "/*"},
      {ValueKind::AttributeText, "x.css\" onload=\"alert(1)", "\""},
      {ValueKind::AttributeText, "x<.css", "<"},
      {ValueKind::AttributeText, "x\r.css", "\r"},
  };
  for (const auto& [kind, value, part] : cases) EXPECT_EQ(refusedPart(kind, value), refused(part)) << value;
}

TEST(ValueChecks, EachKindRefusesEveryCharacterThatWouldEndItsPlace) {
  const std::pair<ValueKind, std::string_view> refusedIn[] = {
      {ValueKind::ClassName, "<>{};\"'\\() ,.:#[]*+~\n\x7F"},
      {ValueKind::FontName, "<>{};\\\r\n\t\x1B"},
      {ValueKind::CssValue, "<>{};\"'\\\n\x7F"},
      {ValueKind::UrlPath, "<>{};\"'\n\x1B"},
      {ValueKind::AttributeText, "<>\"\r\n\x1B"},
  };
  for (const auto& [kind, characters] : refusedIn)
    for (char c : characters)
      EXPECT_EQ(refusedPart(kind, std::string("a") + c + "b"), refused(std::string(1, c)))
          << static_cast<int>(kind) << " " << static_cast<int>(c);
}

class WrittenValues : public ::testing::Test {
 protected:
  FakePlatform platform;
  ScratchFolder folder;
  StyleDocument doc;

  void SetUp() override {
    doc.output.htmlFolder = folder.str();
    doc.output.cssFolder = folder.str();
  }
};

TEST_F(WrittenValues, OnlyValuesThatAreWrittenAreChecked) {
  doc.slots[kSlotA].fontName = "Arial\"; }";  // slot off
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].imagePath = "a.gif)";  // image not used
  doc.classes[2].className = "a b";        // class off
  doc.classes[0].enabled = 1;
  doc.classes[0].glowColor = "red;";  // glow off
  for (Output output : {Output::StyleRules, Output::EmbeddedPage}) EXPECT_EQ(checkValues(doc, output), std::nullopt);
  // The class preview shows its class whether it is enabled or not.
  EXPECT_EQ(controlRefused(doc, Output::ClassPreview, 2), (ControlId{"SSTab4", 2}));

  doc.slots[kSlotP].useImage = Choice::First;
  const auto image = checkValues(doc, Output::StyleRules);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->describe(),
            "「基本」タブの「段落（<P>～</"
            "P>）」の「背景画像」の「画像ファイルの場所」には「)」を使えません（今は「a.gif)」）。");
  doc.slots[kSlotP].useImage = Choice::Second;
  doc.classes[0].glowOn = 1;
  EXPECT_EQ(controlRefused(doc, Output::StyleRules), (ControlId{"Text21", 0}));
  doc.scrollbarCheck(15) = 1;
  doc.colours[15] = "000}";  // written first, in BODY
  EXPECT_EQ(controlRefused(doc, Output::EmbeddedPage), (ControlId{"Text3", 15}));
}

TEST_F(WrittenValues, ARefusedValueWritesNothingAnywhere) {
  doc.slots[kSlotBody].enabled = 1;
  doc.slots[kSlotBody].sizeUnit = "px; } body { display:none";
  Command6_Click(platform, doc, folder.str());  // the page
  doc.output.format = Choice::Second;
  Command6_Click(platform, doc, folder.str());  // the style sheet and its page
  fs::create_directory(folder.path() / "preview");
  NormalPre_Click(platform, doc, folder.str());
  ASSERT_EQ(platform.messages.size(), 3u);
  for (const auto& m : platform.messages) {
    EXPECT_EQ(m.text,
              "「基本」タブの「ページ本体」の「フォントサイズ」の単位には「;」を使えません（今は「px; } body { "
              "display:none」）。\r\n何も保存していません。");
    EXPECT_EQ(m.title, "保存時エラー");
  }
  EXPECT_TRUE(platform.writes.empty());
  EXPECT_TRUE(platform.opened.empty());
}

TEST_F(WrittenValues, TheLinkPageNameIsCheckedBeforeTheStyleSheetIsWritten) {
  doc.output.format = Choice::Second;
  doc.output.cssFileName = "x\" onload=\"alert(1)";
  Command6_Click(platform, doc, folder.str());
  EXPECT_NE(
      platform.onlyMessage().text.find("「出力」タブの「スタイルシート」の「ファイルの名前」には「\"」を使えません"),
      std::string::npos)
      << platform.onlyMessage().text;
  EXPECT_TRUE(fs::is_empty(folder.path()));
  doc.output.makeLinkPage = Choice::Second;  // no page: the name stands in no attribute
  platform.messages.clear();
  Command6_Click(platform, doc, folder.str());
  EXPECT_EQ(platform.onlyMessage().text, "保存完了");
}

// A breaking value in any one guarded field, its switch on: every writer
// that writes the field refuses it in both generators, names that field,
// and writes and opens nothing.
TEST(ValueChecks, EveryGuardedFieldIsRefusedByEveryWriterThatWritesIt) {
  const std::string breaking = "x</style><script>";
  const std::string nothingSaved = "\r\n何も保存していません。";
  for (const testing::GuardedField& field : testing::guardedFields()) {
    for (CheckState modern : {0, 1}) {
      SCOPED_TRACE(field.control.toString() + (modern ? " modern" : " legacy"));
      ScratchFolder folder;
      fs::create_directory(folder.path() / "preview");
      StyleDocument doc;
      doc.output.htmlFolder = doc.output.cssFolder = folder.str();
      doc.output.modern = modern;
      field.switchOn(doc, field.control.index);
      const auto value = fieldOf(doc, field.control);
      ASSERT_TRUE(value && value->text);
      *value->text = breaking;
      const std::string says = ValueError{field.control, screenWords(field.control, doc), "<", breaking}.describe();

      const auto refuses = [&](void (*write)(Platform&, const StyleDocument&, std::string_view),
                               const std::string& message) {
        FakePlatform platform;
        write(platform, doc, folder.str());
        EXPECT_EQ(platform.onlyMessage().text, message);
        EXPECT_EQ(platform.onlyMessage().title, "保存時エラー");
        EXPECT_TRUE(platform.writes.empty());
        EXPECT_TRUE(platform.opened.empty());
      };
      if (field.scope == testing::GuardedField::LinkPage) {
        refuses(Command6_Click, says + nothingSaved);  // the style sheet and its page
        doc.output.makeLinkPage = Choice::Second;      // without the page the name stands nowhere
        *value->text = "x<y>.css";
        FakePlatform platform;
        Command6_Click(platform, doc, folder.str());
        EXPECT_EQ(platform.onlyMessage().text, "保存完了");
        continue;
      }
      refuses(Command6_Click, says + nothingSaved);  // the page
      doc.output.format = Choice::Second;
      refuses(Command6_Click, says + nothingSaved);  // the style sheet
      refuses(NormalPre_Click, says + nothingSaved);
      EXPECT_EQ(buildDemoPage(doc).refusal, says);
      if (field.scope == testing::GuardedField::Class) {
        doc.currentClassTab = field.control.index;
        refuses(Command8_Click, says);
      }
    }
  }
}

TEST(PageTitle, IsEscapedAsTextAndOrdinaryTitlesKeepTheirBytes) {
  StyleDocument doc;
  doc.output.htmlTitle = "見本 'A' - 2";
  EXPECT_NE(buildEmbeddedPage(doc).text.find("<TITLE>見本 'A' - 2</TITLE>"), std::string::npos);
  doc.output.htmlTitle = "</TITLE><script>alert(\"1\")</script> & more";
  const std::string escaped =
      "<TITLE>&lt;/TITLE&gt;&lt;script&gt;alert(&quot;1&quot;)&lt;/script&gt; &amp; more</TITLE>";
  EXPECT_NE(buildEmbeddedPage(doc).text.find(escaped), std::string::npos);
  EXPECT_NE(buildClassPreview(doc, 0).text.find(escaped), std::string::npos);
  EXPECT_EQ(escapeHtmlText("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e'f");
}

}  // namespace
}  // namespace quillane
