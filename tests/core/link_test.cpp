// Linking a style sheet into a page, and the link window's commands.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/product.h"
#include "generation/modern_filters.h"
#include "generation/modern_stylesheet.h"
#include "linking/filter_block.h"
#include "linking/link_injector.h"
#include "linking/link_rewrite.h"
#include "platform/cp932.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::crlf;
using testing::FakePlatform;
using testing::ScratchFolder;

const std::string kLink = "<LINK href=\"s.css\" rel=\"stylesheet\" type=\"text/css\">";

std::string rewrite(std::string_view page, bool comment = false) {
  return insertLink(workingText(page, comment ? markerComment() : ""), linkLine("s.css"));
}

TEST(LinkRewrite, LinkGoesBeforeTheFirstClosingHeadInCapitals) {
  EXPECT_BYTES("\r\n<html><head><title>t</title>\r\n" + kLink + "\r\n</HEAD></head>\n<body>x</body></html>",
               rewrite("<html><head><title>t</title></head></head>\n<body>x</body></html>\r\n"));
}

TEST(LinkRewrite, ClosingHeadOnItsOwnLineGetsAnEmptyLineBeforeTheLink) {
  EXPECT_BYTES(crlf({"", "<HTML><HEAD>", "", kLink, "</HEAD>", "<BODY></BODY></HTML>"}, false),
               rewrite("<HTML><HEAD>\r\n</head>\r\n<BODY></BODY></HTML>\r\n"));
}

TEST(LinkRewrite, LinesEndAtCrLfOrALoneCrAndTheLastLosesItsBreak) {
  EXPECT_EQ(workingText("a\rb\nc\r\nd\r\n", "C"), "C\r\na\r\nb\nc\r\nd");
  EXPECT_EQ(workingText("\r\n", ""), "\r\n");
  EXPECT_EQ(workingText("", ""), "");
  EXPECT_EQ(workingText("", "C"), "C");
}

TEST(LinkRewrite, WithoutHeadANewHeadFollowsHtmlOrTopsThePage) {
  const std::string page = "<!DOCTYPE x>\r\n<html>\r\n<body>hi</body></html>";
  EXPECT_EQ(headPlacementOf(workingText(page, "")), HeadPlacement::AfterHtml);
  EXPECT_BYTES(crlf({"", "<!DOCTYPE x>", "<HTML>", "<HEAD>", kLink, "</HEAD>", "<body>hi</body></html>"}, false),
               rewrite(page));
  // "<html lang=ja>" is not "<HTML>": the head goes above everything, comment included.
  const std::string bare = "<html lang=ja><p>x</p>";
  EXPECT_EQ(headPlacementOf(workingText(bare, "")), HeadPlacement::AtTop);
  EXPECT_BYTES(crlf({"<HEAD>", kLink, "</HEAD>", markerComment(), "<html lang=ja><p>x</p>"}, false),
               rewrite(bare, true));
}

// Tags count where a browser's tokenizer reads tags; the expected texts are
// worked out by hand from the page, without the marker comment ("\r\n" first).
TEST(LinkRewrite, TheHeadEndIsTheOneABrowserReads) {
  const std::string L = "\r\n" + kLink + "\r\n";
  const std::string newHead = "<HEAD>" + L + "</HEAD>";
  const struct {
    std::string page;
    HeadPlacement placement;
    std::string expected;
  } cases[] = {
      {"<!-- </head> --><head></head>", HeadPlacement::BeforeClosingHead, "\r\n<!-- </head> --><head>" + L + "</HEAD>"},
      {"<!-- a > b </head> --><head></head>", HeadPlacement::BeforeClosingHead,
       "\r\n<!-- a > b </head> --><head>" + L + "</HEAD>"},
      {"<head><script>var s = \"</head>\";</scripty></script></head>", HeadPlacement::BeforeClosingHead,
       "\r\n<head><script>var s = \"</head>\";</scripty></script>" + L + "</HEAD>"},
      {"<head><title></head></title><STYLE>p{}</HEAD></STYLE></head >x", HeadPlacement::BeforeClosingHead,
       "\r\n<head><title></head></title><STYLE>p{}</HEAD></STYLE>" + L + "</HEAD >x"},
      {"<head><meta content=\"</head>\" a='>'><textarea></head></textarea></head>", HeadPlacement::BeforeClosingHead,
       "\r\n<head><meta content=\"</head>\" a='>'><textarea></head></textarea>" + L + "</HEAD>"},
      {"<!--> </head><!-- --!></head><![CDATA[</head>]]>", HeadPlacement::BeforeClosingHead,
       "\r\n<!--> " + L + "</HEAD><!-- --!></head><![CDATA[</head>]]>"},
      {"<![CDATA[</head>]]></head>", HeadPlacement::BeforeClosingHead, "\r\n<![CDATA[</head>]]>" + L + "</HEAD>"},
      {"<script><!--<script></script></head>--></script></head>", HeadPlacement::BeforeClosingHead,
       "\r\n<script><!--<script></script></head>--></script>" + L + "</HEAD>"},
      {"<script><!--></script></head>", HeadPlacement::BeforeClosingHead, "\r\n<script><!--></script>" + L + "</HEAD>"},
      {"<!-- </head> <html>", HeadPlacement::AtTop, newHead + "\r\n\r\n<!-- </head> <html>"},
      {"<a title='</head>", HeadPlacement::AtTop, newHead + "\r\n\r\n<a title='</head>"},
      {"<p>x</p><!DOCTYPE html>", HeadPlacement::AtTop, newHead + "\r\n\r\n<p>x</p><!DOCTYPE html>"},
      {"<!DOCTYPE html><p>x", HeadPlacement::AfterDoctype, "\r\n<!DOCTYPE html>\r\n" + newHead + "<p>x"},
      {"<!-- c -->\r\n<!doctype HTML>\r\n<html lang=ja><body>x", HeadPlacement::AfterDoctype,
       "\r\n<!-- c -->\r\n<!doctype HTML>\r\n" + newHead + "\r\n<html lang=ja><body>x"},
      {"<!DOCTYPE html><title>a</title><HTML>", HeadPlacement::AfterHtml,
       "\r\n<!DOCTYPE html><title>a</title><HTML>\r\n" + newHead},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(headPlacementOf(workingText(c.page, "")), c.placement) << c.page;
    EXPECT_BYTES(c.expected, rewrite(c.page));
  }
}

TEST(LinkRewrite, EncodingFollowsThePage) {
  EXPECT_EQ(detectPageEncoding("<p>ascii</p>"), PageEncoding::Cp932);
  EXPECT_EQ(detectPageEncoding("<p>日本語</p>"), PageEncoding::Utf8);
  EXPECT_EQ(detectPageEncoding("<p>\x93\xfa\x96\x7b</p>"), PageEncoding::Cp932);  // 日本 in CP932
  EXPECT_EQ(pageTextForDisplay("\x93\xfa\x96\x7b\xff", PageEncoding::Cp932), "日本\xEF\xBF\xBD");
}

TEST(LinkPage, AByteOrderMarkStaysFirst) {
  const LinkedPage linked = linkPage("\xEF\xBB\xBF<html><head></head><body>x</body></html>", "s.css", true);
  ASSERT_TRUE(linked.ok()) << linked.refused;
  EXPECT_EQ(linked.encoding, PageEncoding::Utf8);
  EXPECT_BYTES("\xEF\xBB\xBF" + markerComment() + "\r\n<html><head>\r\n" + kLink + "\r\n</HEAD><body>x</body></html>",
               linked.bytes);
}

TEST(LinkPage, UtfSixteenAndThirtyTwoPagesAreRefused) {
  for (std::string page : {std::string("\xFF\xFE<\0h\0", 6), std::string("\xFE\xFF\0<\0h", 6),
                           std::string("\0\0\xFE\xFF\0\0\0<", 8), std::string("<\0h\0e\0a\0d\0>\0", 12)}) {
    const LinkedPage linked = linkPage(page, "s.css", false);
    EXPECT_FALSE(linked.ok());
    EXPECT_NE(linked.refused.find("UTF-16 か UTF-32"), std::string::npos);
  }
  EXPECT_NE(linkPage(std::string(kMaxPageBytes + 1, ' '), "s.css", false).refused.find("16 MiB"), std::string::npos);
}

TEST(LinkPage, TheDeclaredEncodingDecidesBeforeTheBytes) {
  // 日 in UTF-8 is also three valid CP932 characters.
  const std::string bytes = "\xE6\x97\xA5";
  EXPECT_EQ(detectPageEncoding("<p>" + bytes + "</p>"), PageEncoding::Utf8);  // guessed
  EXPECT_EQ(detectPageEncoding("<meta charset=\"Shift_JIS\"><p>" + bytes), PageEncoding::Cp932);
  EXPECT_EQ(detectPageEncoding("<meta charset=\"shift-jis\"><p>" + bytes), PageEncoding::Cp932);
  // A byte-order mark outranks any declaration, as in browsers.
  EXPECT_EQ(detectPageEncoding("\xEF\xBB\xBF<meta charset=\"Shift_JIS\"><p>" + bytes), PageEncoding::Utf8);
  EXPECT_EQ(detectPageEncoding("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=x-sjis\">" + bytes),
            PageEncoding::Cp932);
  EXPECT_EQ(detectPageEncoding("<meta http-equiv='content-type' content='text/html;charset = UTF-8'><p>ascii"),
            PageEncoding::Utf8);
  EXPECT_EQ(detectPageEncoding("<meta charset=euc-jp><p>" + bytes), PageEncoding::Utf8);  // neither: guessed
  EXPECT_EQ(detectPageEncoding("<body><meta charset=utf-8>ascii"), PageEncoding::Utf8);   // after the body too
  EXPECT_EQ(detectPageEncoding(std::string(1010, ' ') + "<meta charset=utf-8>ascii"), PageEncoding::Cp932);
  EXPECT_EQ(detectPageEncoding("<!-- <meta charset=utf-8> --><p title='<meta charset=utf-8>'>"), PageEncoding::Cp932);
  EXPECT_EQ(detectPageEncoding("<!-- <b>  <meta charset=utf-8> --><p>ascii"), PageEncoding::Cp932);
  EXPECT_EQ(detectPageEncoding("<meta content='text/html; charset=utf-8'>ascii"), PageEncoding::Cp932);  // no pragma
  EXPECT_EQ(detectPageEncoding("<meta charset=utf-16le>ascii"), PageEncoding::Utf8);  // as browsers read it
  // The marker comment follows the declaration.
  const LinkedPage sjis = linkPage("<head><meta charset=shift_jis></head>" + bytes, "s.css", true);
  EXPECT_TRUE(sjis.bytes.starts_with(testing::cp932(markerComment())));
}

TEST(LinkPage, NamesAndPagesTheInsertedLineCannotStandInAreRefused) {
  const struct {
    std::string page;
    std::string name;
    bool comment;
    std::string refused;
  } cases[] = {
      {"<meta charset=EUC-JP><head></head>\xC6\xFC\xCB\xDC", "s.css", false,  // 日本 in EUC-JP
       "ページの文字コードが「euc-jp」と宣言されているため、書き換えられません（UTF-8 か Shift_JIS "
       "のページを書き換えられます）。"},
      {"<meta charset=iso-8859-1><head></head>", "\xC3\xA9t\xC3\xA9.css", false,
       "スタイルシートの名前「été.css」は、文字コードが「iso-8859-1」と宣言されたページには書けません（英数字だけの名前"
       "にすると書き換えられます）。"},
      {"<head></head>", "\xC2\xA5.css", false,
       "スタイルシートの名前「¥.css」はShift_JISのページでは「\\.css」と読まれます。"},
      {"<head></head>", "a\xE2\x80\xBE.css", false,
       "スタイルシートの名前「a‾.css」はShift_JISのページでは「a~.css」と読まれます。"},
      {std::string(990, ' ') + "<meta charset=utf-8><head></head>", "s.css", true,
       "書き換えるとページの文字コードの宣言（<meta charset>）が先頭から 1024 "
       "バイトより後ろにずれ、ブラウザに読まれなくなります。「コメントの挿入」を外すか、宣言をページの先頭近くに移"
       "してください。"},
  };
  for (const auto& c : cases) {
    const LinkedPage linked = linkPage(c.page, c.name, c.comment);
    EXPECT_EQ(linked.refused, c.refused);
    EXPECT_EQ(linked.bytes, "");
  }
  EXPECT_BYTES("\r\n<meta charset=iso-8859-1><head>\r\n" + kLink + "\r\n</HEAD>",
               linkPage("<meta charset=iso-8859-1><head></head>", "s.css", false).bytes);
  // Without the comment the declaration stays where browsers read it.
  EXPECT_TRUE(linkPage(std::string(990, ' ') + "<meta charset=utf-8><head></head>", "s.css", false).ok());
}

// The marker comment, which no browser shows, goes into an ASCII page declared
// in any other encoding as into a page that declares none, and the page can
// be linked again.
TEST(LinkPage, AnAsciiPageDeclaredInAnotherEncodingTakesTheComment) {
  const std::string marker =
      "<!\x82\xB1\x82\xCC\x83t\x83@\x83"
      "C\x83\x8B\x82\xCD\x88\xEA\x95\x94Quillane\x82\xE6\x82\xC1\x82\xC4\x95\xD2\x8FW\x82\xB3\x82\xEA\x82\xDC\x82\xB5"
      "\x82\xBD\x81"
      "Bhttps://hollowmere.example/quillane/>";
  const LinkedPage once = linkPage("<meta charset=ISO-8859-1><head></head>", "s.css", true);
  ASSERT_TRUE(once.ok()) << once.refused;
  EXPECT_BYTES(marker + "\r\n<meta charset=ISO-8859-1><head>\r\n" + kLink + "\r\n</HEAD>", once.bytes);
  const LinkedPage twice = linkPage(once.bytes, "s.css", true);
  ASSERT_TRUE(twice.ok()) << twice.refused;
  EXPECT_BYTES(
      marker + "\r\n" + marker + "\r\n<meta charset=ISO-8859-1><head>\r\n" + kLink + "\r\n\r\n" + kLink + "\r\n</HEAD>",
      twice.bytes);
  // Bytes beyond ASCII of the page's own are still refused.
  EXPECT_EQ(linkPage(once.bytes + "\xE9", "s.css", true).refused,
            "ページの文字コードが「iso-8859-1」と宣言されているため、書き換えられません（UTF-8 か Shift_JIS "
            "のページを書き換えられます）。");
}

TEST(LinkPage, AnAmpersandInTheNameIsWrittenAsAnEntity) {
  const LinkedPage linked = linkPage("<head></head>", "R&D&copy.css", false);
  EXPECT_BYTES("\r\n<head>\r\n<LINK href=\"R&amp;D&amp;copy.css\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD>",
               linked.bytes);
}

TEST(LinkPage, ANameThatWouldLeaveItsAttributeIsRefused) {
  const LinkedPage linked = linkPage("<HEAD></HEAD>", "x.css\" onload=\"alert(1)", false);
  EXPECT_EQ(linked.refused, "スタイルシートの名前「x.css\" onload=\"alert(1)」には「\"」を使えません。");
  EXPECT_TRUE(linked.bytes.empty());
  FakePlatform platform;
  ScratchFolder folder;
  testing::writeBytes(folder / "p.html", "<HEAD></HEAD>");
  EXPECT_FALSE(CssTekiyou(platform, "a\x1B.css", folder / "p.html", false));
  EXPECT_EQ(platform.onlyMessage().text, "スタイルシートの名前「a\\x1B.css」には「\\x1B」を使えません。");
}

TEST(LinkPage, AnEndlessPageIsRefusedAsTooLarge) {
  FakePlatform platform;
  EXPECT_FALSE(CssTekiyou(platform, "s.css", "/dev/zero", false));
  EXPECT_NE(platform.onlyMessage().text.find("ページが大きすぎます"), std::string::npos);
}

TEST(LinkPage, TheFiltersOfAModernStyleSheetGoInAtTheBodysStartOnce) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.classes[0].enabled = doc.classes[0].waveOn = 1;
  const std::string sheet = buildModernStyleSheet(doc).text;
  const std::string block = modernFilterBlock(doc);
  ASSERT_FALSE(block.empty());
  EXPECT_BYTES(block, filterBlockOfStyleSheet(sheet));
  const std::string link = "<LINK href=\"s.css\" rel=\"stylesheet\" type=\"text/css\">";
  struct Case {
    const char* name;
    std::string page, linked;
  };
  const std::vector<Case> cases = {
      {"body tag", "<html><head></head><body class=\"x\">\r\n<p>a</p></body></html>",
       "\r\n<html><head>\r\n" + link + "\r\n</HEAD><body class=\"x\">\r\n" + block + "<p>a</p></body></html>"},
      {"no body", "<html><head></head><p>a</p></html>",
       "\r\n<html><head>\r\n" + link + "\r\n</HEAD><p>a</p>" + block + "</html>"},
      {"filters there already", "<html><head></head><body>\r\n" + block + "</body></html>",
       "\r\n<html><head>\r\n" + link + "\r\n</HEAD><body>\r\n" + block + "</body></html>"},
  };
  for (const Case& k : cases) EXPECT_BYTES(k.linked, linkPage(k.page, "s.css", false, sheet).bytes) << k.name;
  // A legacy sheet, or none, adds nothing.
  EXPECT_BYTES("\r\n<html><head>\r\n" + link + "\r\n</HEAD><body></body></html>",
               linkPage("<html><head></head><body></body></html>", "s.css", false, "P { color : red; }").bytes);

  // A comment that holds more than SVG filters gives the page nothing.
  for (const char* bad :
       {"<svg><script>alert(1)</script></svg>", "<svg onload='alert(1)'></svg>", "<svg><feImage href='x.svg'/></svg>",
        "<svg style='background: url(x)'></svg>", "<svg><filter id='ｘ'></filter></svg>"})
    EXPECT_EQ(filterBlockOfStyleSheet(std::string("/* quillane-svg-filters: a\r\n") + bad + "\r\n*/"), "") << bad;
}

class LinkInjectorTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  ScratchFolder folder;
  LinkInjector injector{platform};

  void page(const std::string& bytes) {
    testing::writeBytes(folder / "index.html", bytes);
    injector.setPagePath(folder / "index.html");
    injector.setStyleSheetPath(folder / "site.css");
  }
};

TEST_F(LinkInjectorTest, Cp932PageComesOutExactlyWithItsOwnBytes) {
  const std::string sjis = "<HTML><HEAD><TITLE>\x95\x5C</TITLE>\r\n</HEAD><BODY>\x83\x65\x83\x58\x83\x67</BODY></HTML>";
  page(sjis);
  injector.previewNew();
  std::string marker;
  UnencodableCharacter bad;
  ASSERT_TRUE(encodeCp932(markerComment(), marker, bad));
  const std::string expected = marker + "\r\n<HTML><HEAD><TITLE>\x95\x5C</TITLE>\r\n\r\n" +
                               "<LINK href=\"site.css\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD>" +
                               "<BODY>\x83\x65\x83\x58\x83\x67</BODY></HTML>";
  EXPECT_FILE_HOLDS(injector.previewPath(), expected);
  EXPECT_NE(injector.text().find("<TITLE>表</TITLE>"), std::string::npos);
  EXPECT_EQ(platform.opened, std::vector<std::string>{folder / "essepreview.html"});
  EXPECT_TRUE(injector.canSave());
  ASSERT_TRUE(injector.save());
  EXPECT_FILE_HOLDS(folder / "index.html", expected);
}

TEST_F(LinkInjectorTest, Utf8PageStaysUtf8AndEditsAreSaved) {
  page("<html><head><meta charset=utf-8></head><body>日本語</body></html>");
  injector.comment = false;
  injector.previewNew();
  EXPECT_BYTES(
      crlf({"", "<html><head><meta charset=utf-8>", "<LINK href=\"site.css\" rel=\"stylesheet\" type=\"text/css\">",
            "</HEAD><body>日本語</body></html>"},
           false),
      testing::fileBytes(injector.previewPath()));
  injector.setText(injector.text() + "<!-- 追記 -->");
  ASSERT_TRUE(injector.save());
  EXPECT_TRUE(testing::fileBytes(folder / "index.html").ends_with("</html><!-- 追記 -->"));
}

TEST_F(LinkInjectorTest, AShiftJisStyleSheetLinkedIntoAUtf8PageIsWarnedAbout) {
  const std::string sjisSheet = "P { font-family: \"\x82\x6c\x82\x72 \x96\xbe\x92\xa9\"; }";  // ＭＳ 明朝
  const std::string warning =
      "スタイルシート「site.css」は Shift_JIS で書かれ、@charset がありません。UTF-8 "
      "のページからはブラウザがこれを UTF-8 として読むため、日本語のフォント名などが崩れ、ルールが読み飛ばされること"
      "もあります。「出力」タブの「今のブラウザ向けに書き出す」を選んで書き出すと、UTF-8 のスタイルシートになります。";
  const struct {
    std::string page;
    std::string sheet;
    bool warned;
  } cases[] = {
      {"<meta charset=utf-8><head></head>", sjisSheet, true},
      {"<meta charset=utf-8><head></head>", "@charset \"Shift_JIS\";\r\n" + sjisSheet, false},
      {"<meta charset=utf-8><head></head>", "P { font-family: \"ＭＳ 明朝\"; }", false},  // UTF-8
      {"<meta charset=shift_jis><head></head>", sjisSheet, false},
      {"<meta charset=utf-8><head></head>", "P { color: red; }", false},
  };
  for (const auto& c : cases) {
    platform.messages.clear();
    page(c.page);
    testing::writeBytes(folder / "site.css", c.sheet);
    injector.previewNew();
    EXPECT_TRUE(injector.canSave());
    if (c.warned) {
      EXPECT_EQ(platform.onlyMessage().text, warning);
      EXPECT_EQ(platform.onlyMessage().icon, MessageIcon::Exclamation);
    } else {
      EXPECT_TRUE(platform.messages.empty()) << c.sheet;
    }
  }
}

TEST_F(LinkInjectorTest, TheStyleSheetsFiltersComeWithTheLink) {
  StyleDocument doc;
  doc.output.modern = doc.classes[0].enabled = doc.classes[0].chromaOn = 1;
  page("<HTML><HEAD></HEAD><BODY>x</BODY></HTML>");
  testing::writeBytes(folder / "site.css", buildModernStyleSheet(doc).text);
  injector.comment = false;
  injector.previewNew();
  EXPECT_BYTES(
      "\r\n<HTML><HEAD>\r\n<LINK href=\"site.css\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD><BODY>\r\n" +
          modernFilterBlock(doc) + "x</BODY></HTML>",
      testing::fileBytes(injector.previewPath()));
}

TEST_F(LinkInjectorTest, ACancelledRewriteLeavesNothingToSave) {
  page("<HEAD></HEAD>");
  injector.previewNew();
  ASSERT_TRUE(injector.canSave());
  testing::writeBytes(folder / "index.html", "<BODY>no head</BODY>");  // the same paths
  platform.answers = {MessageAnswer::Cancel};                          // to the question about the missing head
  injector.previewNew();
  EXPECT_FALSE(injector.canSave());
  EXPECT_EQ(injector.text(), "");
  EXPECT_FALSE(injector.save());
  injector.previewAsIs();  // an empty box previews, but is never saved
  EXPECT_FALSE(injector.canSave());
  EXPECT_FALSE(injector.save());
  EXPECT_FILE_HOLDS(folder / "index.html", "<BODY>no head</BODY>");
}

TEST_F(LinkInjectorTest, PathChangesDisableSavingUntilTheNextPreview) {
  page("<HEAD></HEAD>");
  injector.previewNew();
  EXPECT_TRUE(injector.canSave());
  injector.setStyleSheetPath(folder / "other.css");
  EXPECT_FALSE(injector.canSave());
  injector.previewAsIs();
  EXPECT_TRUE(injector.canSave());
  EXPECT_NE(injector.text().find("site.css"), std::string::npos);  // as it stood
}

TEST_F(LinkInjectorTest, PreviewFilesStayUntilTheNextPreviewThenGo) {
  page("<HEAD></HEAD>");
  injector.previewNew();
  EXPECT_TRUE(fs::exists(injector.previewPath()));
  injector.previewAsIs();
  EXPECT_TRUE(fs::exists(injector.previewPath()));  // rewritten, not left twice
  { LinkInjector other(platform); }
  std::string path = injector.previewPath();
  {
    LinkInjector scoped(platform);
    scoped.setPagePath(folder / "index.html");
    scoped.previewNew();
    EXPECT_TRUE(fs::exists(path));
  }
  EXPECT_FALSE(fs::exists(path));  // gone when the window's life ends
}

TEST_F(LinkInjectorTest, UnreadablePageIsReportedAndNothingCanBeSaved) {
  injector.setPagePath(folder / "missing.html");
  injector.previewNew();
  const auto& m = platform.onlyMessage();
  EXPECT_EQ(m.text, "ファイルのパスが不正です");
  EXPECT_EQ(m.icon, MessageIcon::Critical);
  EXPECT_TRUE(platform.opened.empty());
  EXPECT_FALSE(injector.canSave());
}

TEST_F(LinkInjectorTest, PageWithoutHeadAsksFirstAndCancelLeavesItAlone) {
  page("<p>no head</p>");
  platform.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
  injector.previewNew();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "このファイルには<HEAD>タグが含まれていません\r\nQuillaneが自動で<HEAD>タグを挿入します。");
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::None);
  EXPECT_TRUE(injector.text().empty());
  EXPECT_FALSE(injector.canSave());
  injector.previewNew();
  EXPECT_TRUE(injector.text().starts_with("<HEAD>\r\n<LINK href=\"site.css\""));
}

TEST_F(LinkInjectorTest, AFailedSaveSaysSoAndBrowsingFillsThePaths) {
  page("<HEAD></HEAD>");
  injector.previewNew();
  fs::remove(folder / "index.html");
  fs::create_directory(folder / "index.html");
  EXPECT_FALSE(injector.save());
  EXPECT_EQ(platform.messages.back().text, "パスが不正です");
  EXPECT_EQ(platform.messages.back().title, "エラー");

  platform.fileChoices = {std::string("/w/a.html"), std::string("/w/css/a.css"), std::nullopt};
  EXPECT_TRUE(injector.browsePage());
  EXPECT_TRUE(injector.browseStyleSheet());
  EXPECT_FALSE(injector.browsePage());
  EXPECT_EQ(injector.pagePath(), "/w/a.html");
  EXPECT_EQ(injector.previewPath(), "/w/essepreview.html");
  EXPECT_EQ(platform.dialogs[1].filter, "(*.css)|*.css");
}

TEST(CssTekiyou, InsertsTheNameAsGiven) {
  FakePlatform platform;
  ScratchFolder folder;
  testing::writeBytes(folder / "p.htm", "<HEAD></HEAD>");
  const auto page = CssTekiyou(platform, "", folder / "p.htm", false);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->bytes, "\r\n<HEAD>\r\n<LINK href=\"\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD>");
}

}  // namespace
}  // namespace quillane
