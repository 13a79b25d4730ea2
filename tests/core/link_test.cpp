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

TEST(LinkPage, AnXmlDeclarationAndAByteOrderMarkStayTheFirstBytes) {
  const std::string mark = "\xEF\xBB\xBF", decl = "<?xml version=\"1.0\"?>";
  const struct {
    std::string page;
    bool comment;
    std::string linked;
  } cases[] = {
      {decl + "\n<html><head></head>", false, decl + "\n<html><head>\r\n" + kLink + "\r\n</HEAD>"},
      {decl + "\r\n<html><head><meta charset=utf-8></head>", true,
       decl + "\r\n" + markerComment() + "\r\n<html><head><meta charset=utf-8>\r\n" + kLink + "\r\n</HEAD>"},
      {mark + decl + "<html><head></head>", true,
       mark + decl + "\r\n" + markerComment() + "\r\n<html><head>\r\n" + kLink + "\r\n</HEAD>"},
      {decl + "\r\n<!DOCTYPE html>\r\n<p>x", false,
       decl + "\r\n<!DOCTYPE html>\r\n<HEAD>\r\n" + kLink + "\r\n</HEAD>\r\n<p>x"},
      // A processing instruction that is no declaration is the page's first line as before.
      {"<?xml-stylesheet href=\"a.xsl\"?><head></head>", false,
       "\r\n<?xml-stylesheet href=\"a.xsl\"?><head>\r\n" + kLink + "\r\n</HEAD>"},
  };
  for (const auto& c : cases) EXPECT_BYTES(c.linked, linkPage(c.page, "s.css", c.comment).bytes) << c.page;
}

// A sheet with the filters of the four effects that use SVG filters.
StyleDocument fourFilters() {
  StyleDocument doc;
  doc.output.modern = 1;
  for (int c = 0; c < 4; ++c) doc.classes[static_cast<std::size_t>(c)].enabled = 1;
  doc.classes[0].chromaOn = doc.classes[1].blurOn = doc.classes[2].waveOn = doc.classes[3].specialOn = 1;
  doc.classes[1].blurStrength = "4";
  return doc;
}

const std::string kSheetHead = "@charset \"UTF-8\";\r\n.x { filter: url(#quillane-blur-0123abcd) }\r\n";
std::string markedComment(const std::string& block) { return "/* quillane-svg-filters: advice\r\n" + block + "*/\r\n"; }

TEST(FilterBlock, TheBlockIsWrittenAnewFromTheFiltersTheModernOutputWrites) {
  StyleDocument doc = fourFilters();
  const std::string block = modernFilterBlock(doc);
  ASSERT_NE(block.find("feTurbulence"), std::string::npos);
  EXPECT_BYTES(block, filterBlockOfStyleSheet(buildModernStyleSheet(doc).text).block);
  // The values at the ends of what the form takes.
  doc.classes[0].chromaColor = "fFf";
  doc.classes[1].blurDirection = "-33.333";
  doc.classes[1].blurStrength = "1000000";
  doc.classes[2].waveFreq = "-1000000";
  doc.classes[2].waveStrength = "1000000";
  doc.classes[2].wavePhase = "-77777.7";
  doc.classes[2].waveLight = "50";
  doc.classes[3].specialColor1 = "transparent";
  doc.classes[3].specialStrength = "-1000000";
  const std::string extreme = modernFilterBlock(doc);
  ASSERT_NE(extreme.find("flood-color='#00000000'"), std::string::npos);
  EXPECT_BYTES(extreme, filterBlockOfStyleSheet(buildModernStyleSheet(doc).text).block);
  // Other quotes, blanks, an element closed by its end tag: the same bytes as written by hand.
  const std::string loose =
      std::string(kFilterBlockStart) +
      "\n<filter id=\"quillane-blur-0123abcd\"  x=\"-50%\"\twidth='200%' >\n  <feOffset in=\"SourceGraphic\" "
      "dx=\"1.5\" dy=\"-2\" result=\"c0\"></feOffset>\n  <feMerge><feMergeNode in='c0' /></feMerge>\n</filter>\n"
      "<filter id='quillane-special-ffffffff'><feFlood flood-color='#FF000080'/></filter></svg>\n";
  EXPECT_BYTES(std::string(kFilterBlockStart) +
                   "\r\n<filter id='quillane-blur-0123abcd' x='-50%' width='200%'><feOffset in='SourceGraphic' "
                   "dx='1.5' dy='-2' result='c0'/><feMerge><feMergeNode in='c0'/></feMerge></filter>\r\n"
                   "<filter id='quillane-special-ffffffff'><feFlood flood-color='#FF000080'/></filter>\r\n</svg>\r\n",
               filterBlockOfStyleSheet(kSheetHead + markedComment(loose)).block);
}

// Only the comment the modern output writes, where it writes it, is read:
// each of these sheets gives no block and no refusal, though the marked
// text (read) would be refused.
TEST(FilterBlock, OnlyAMarkedCommentBetweenRulesOfAModernSheetIsRead) {
  const std::string tag = "<svg onload='alert(1)'></svg>";
  const std::string opener = "/* quillane-svg-filters: advice";
  const std::string marked = markedComment(tag + "\r\n");
  for (const std::string& sheet : {
           "P { color : red; }\r\n" + marked,                              // no @charset: not a modern sheet
           "@charset \"UTF-8\";\r\np { content: \"\xFF\" }\r\n" + marked,  // not UTF-8
           kSheetHead + "@x \"" + opener + "\\\n" + tag + "*/\";\r\n",     // in a string
           kSheetHead + "p { content: \"*/ " + opener + "\\\n" + tag + "*/\" }\r\n",
           kSheetHead + "/* note " + marked,                             // in another comment
           kSheetHead + "@media print {\r\n" + marked + "}\r\n",         // in a rule
           kSheetHead + "p " + marked + "{}\r\n",                        // in a selector
           kSheetHead + "p {\r\n" + marked, kSheetHead + "p " + marked,  // in a rule the sheet ends in
           kSheetHead + opener + " " + tag + " */\r\n",                  // advice alone
       }) {
    const FilterBlock read = filterBlockOfStyleSheet(sheet);
    EXPECT_EQ(read.refused, "") << sheet;
    EXPECT_EQ(read.block, "") << sheet;
  }
  // A marked comment in a string before the real one: the real one is read.
  const std::string block = std::string(kFilterBlockStart) + "\r\n<filter id='quillane-wave-00000000'/>\r\n</svg>\r\n";
  EXPECT_BYTES(
      block,
      filterBlockOfStyleSheet(kSheetHead + "p { content: \"" + opener + "\" }\r\n" + markedComment(block)).block);
}

TEST(FilterBlock, AnythingElseRefusesTheBlockNamingIt) {
  const std::string f = "<svg><filter id='quillane-blur-00000000'>";
  std::string twentyOne;
  for (int k = 0; k < 20; ++k) twentyOne += "0 ";
  twentyOne += "1";
  const struct {
    std::string block;
    std::string what;
  } cases[] = {
      // Remote loads and markup that escapes the filters, as the older check let them through.
      {"<svg style='background:u\\72l(//127.0.0.1/x)'></svg>",
       "要素「svg」の属性「style」の値「background:u\\72l(//127.0.0.1/x)」"},
      {"<svg><filter id='quillane-blur-00000000' style='background:u&#114;l(//127.0.0.1/x)'/></svg>",
       "要素「filter」の属性「style」"},
      {f + "<feFlood flood-color='image-set(&apos;//127.0.0.1/x&apos;)'/></filter></svg>",
       "要素「feFlood」の属性「flood-color」の値「image-set(&apos;//127.0.0.1/x&apos;)」"},
      {"<svg></svg x='1'><fe-x style='position:fixed;inset:0'>YOUR ACCOUNT IS LOCKED</fe-x>", "文字「</svg x='1'>」"},
      {"<svg></svg><fe-x>YOUR ACCOUNT IS LOCKED</fe-x>", "文字「<fe-x>YOUR ACCOUNT IS LOCKED」"},
      {"<svg><script>alert(1)</script></svg>", "要素「script」"},
      {"<svg onload='alert(1)'></svg>", "要素「svg」の属性「onload」"},
      {"<svg x='\" onpageshow=\"alert(1)\" y=\"'></svg>", "要素「svg」の属性「x」"},
      {f + "<feImage href='x.svg'/></filter></svg>", "要素「feImage」"},
      {"<svg><feOffset dx='1'/></svg>", "要素「feOffset」"},
      {f + "<feMergeNode in='a'/></filter></svg>", "要素「feMergeNode」"},
      {f + "<FEOFFSET dx='1'/></filter></svg>", "要素「FEOFFSET」"},
      {"<svg><![CDATA[x]]></svg>", "文字「<![CDATA[x]]>」"},
      {f + "x</filter></svg>", "文字「x」"},
      {f + "</svg>", "文字「</svg>」"},
      {f, "閉じていない要素「filter」"},
      {"<svg><filter id='quillane-blur-00000000'", "閉じていないタグ「filter」"},
      {"<svg><filter></filter></svg>", "id のない要素「filter」"},
      {"<svg><filter id='quillane-blur-00000000' id='quillane-blur-00000001'>", "要素「filter」の属性「id」"},
      {"<svg><filter id='quillane-blur-00000000' x=1></filter></svg>", "文字「x=1>」"},
      {"<svg><filter id='quillane-blur-00000000'x='1'></filter></svg>", "文字「x='1'>」"},
      // Each kind of value.
      {"<svg width='1'></svg>", "要素「svg」の属性「width」の値「1」"},
      {"<svg><filter id='ｘ'></filter></svg>", "要素「filter」の属性「id」の値「ｘ」"},
      {"<svg><filter id='quillane-glow-00000000'></filter></svg>",
       "要素「filter」の属性「id」の値「quillane-glow-00000000」"},
      {"<svg><filter id='quillane-blur-0000000G'></filter></svg>",
       "要素「filter」の属性「id」の値「quillane-blur-0000000G」"},
      {"<svg><filter id='quillane-blur-00000000' x='50'></filter></svg>", "要素「filter」の属性「x」の値「50」"},
      {"<svg><filter id='quillane-blur-00000000' color-interpolation-filters='linearRGB'>",
       "要素「filter」の属性「color-interpolation-filters」の値「linearRGB」"},
      {f + "<feOffset dx='1e9'/></filter></svg>", "要素「feOffset」の属性「dx」の値「1e9」"},
      {f + "<feOffset dx='.5'/></filter></svg>", "要素「feOffset」の属性「dx」の値「.5」"},
      {f + "<feOffset dy='1.'/></filter></svg>", "要素「feOffset」の属性「dy」の値「1.」"},
      {f + "<feComposite operator='xor'/></filter></svg>", "要素「feComposite」の属性「operator」の値「xor」"},
      {f + "<feComposite operator='in atop'/></filter></svg>", "要素「feComposite」の属性「operator」の値「in atop」"},
      {f + "<feFlood flood-color='red'/></filter></svg>", "要素「feFlood」の属性「flood-color」の値「red」"},
      {f + "<feFlood flood-color='#12345'/></filter></svg>", "要素「feFlood」の属性「flood-color」の値「#12345」"},
      {f + "<feOffset result='a-b'/></filter></svg>", "要素「feOffset」の属性「result」の値「a-b」"},
      {f + "<feTurbulence seed='-1'/></filter></svg>", "要素「feTurbulence」の属性「seed」の値「-1」"},
      {f + "<feTurbulence baseFrequency='0  1'/></filter></svg>",
       "要素「feTurbulence」の属性「baseFrequency」の値「0  1」"},
      {f + "<feColorMatrix values='" + twentyOne + "'/></filter></svg>",
       "要素「feColorMatrix」の属性「values」の値「" + twentyOne.substr(0, 40) + "…」"},
  };
  for (const auto& c : cases) {
    const FilterBlock read = filterBlockOfStyleSheet(kSheetHead + markedComment(c.block + "\r\n"));
    EXPECT_EQ(read.refused,
              "スタイルシートの SVG フィルターのコメント（quillane-svg-filters）をページに入れられません。"
              "このプログラムが書き出すフィルターのほかに、" +
                  c.what + "があります。")
        << c.block;
    EXPECT_EQ(read.block, "");
  }
  EXPECT_EQ(filterBlockOfStyleSheet(kSheetHead + "/* quillane-svg-filters: a\r\n<svg>").refused,
            "スタイルシートの SVG フィルターのコメント（quillane-svg-filters）をページに入れられません。"
            "このプログラムが書き出すフィルターのほかに、閉じていないコメントがあります。");
  // The rewrite is refused with it.
  const LinkedPage linked = linkPage("<head></head>", "s.css", false, kSheetHead + markedComment(f + "\r\n"));
  EXPECT_EQ(linked.refused, filterBlockOfStyleSheet(kSheetHead + markedComment(f + "\r\n")).refused);
  EXPECT_EQ(linked.bytes, "");
}

TEST(LinkPage, TheFiltersGoInAtTheRealStartOfTheBodyOnce) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.classes[0].enabled = doc.classes[0].waveOn = 1;
  const std::string sheet = buildModernStyleSheet(doc).text;
  const std::string B = modernFilterBlock(doc);
  ASSERT_FALSE(B.empty());
  const std::string head = "\r\n<head>\r\n" + kLink + "\r\n</HEAD>";
  const struct {
    std::string page, linked;
  } cases[] = {
      {"<head></head><body class=\"x\">\r\n<p>a</p></body>", head + "<body class=\"x\">\r\n" + B + "<p>a</p></body>"},
      // The body tag's ">" is the one after its attributes.
      {"<head></head><body onload=\"if (a >= 4) init()\"><p>a",
       head + "<body onload=\"if (a >= 4) init()\">\r\n" + B + "<p>a"},
      {"<head></head><BODY title='\">' onload=\"x\">", head + "<BODY title='\">' onload=\"x\">\r\n" + B},
      // A body tag in a comment, a script or a title is none.
      {"<head><!-- <body> --><script>\"<body>\"</script></head><body>",
       "\r\n<head><!-- <body> --><script>\"<body>\"</script>\r\n" + kLink + "\r\n</HEAD><body>\r\n" + B},
      {"<head><object></object></head><body>x",
       "\r\n<head><object></object>\r\n" + kLink + "\r\n</HEAD><body>\r\n" + B + "x"},
      {"<head><title><body></title></head><body/>x",
       "\r\n<head><title><body></title>\r\n" + kLink + "\r\n</HEAD><body/>\r\n" + B + "x"},
      // No body tag: before the first content, after what the head takes.
      {"<head></head><p>a</p></html>", head + B + "<p>a</p></html>"},
      {"<head></head>\r\n<!-- c --> hello", head + "\r\n<!-- c --> " + B + "hello"},
      {"<head></head><title>t</title><meta name=a><bodyx>", head + "<title>t</title><meta name=a>" + B + "<bodyx>"},
      {"<head></head></html>", head + B + "</html>"},
      {"<head></head>", head + B},
      // A page that ends inside a tag, a comment or a script gets it before that.
      {"<head></head><body onload=\"a", head + B + "<body onload=\"a"},
      {"<head></head><!-- <body>", head + B + "<!-- <body>"},
      {"<head></head><script>var a = \"<body>", head + B + "<script>var a = \"<body>"},
      // Once.
      {"<head></head><body>\r\n" + B + "</body>", head + "<body>\r\n" + B + "</body>"},
  };
  for (const auto& c : cases) EXPECT_BYTES(c.linked, linkPage(c.page, "s.css", false, sheet).bytes) << c.page;
  // A legacy sheet, or none, adds nothing.
  EXPECT_BYTES(head + "<body></body>",
               linkPage("<head></head><body></body>", "s.css", false, "P { color : red; }").bytes);
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
