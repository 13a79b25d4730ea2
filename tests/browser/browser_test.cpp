// What the three browser engines make of the generated pages. One session
// per engine, started on first use and kept for the whole program, loads
// the pages from files; computed styles are read through the DOM, and
// effects that only a picture shows are compared pixel by pixel with the
// same page without the effect. Every engine must be there: one that is
// missing fails its tests, unless the program is run by hand with
// --allow-missing-engines.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include "fake_platform.h"
#include "fonts/web_font_embed.h"
#include "generation/advice.h"
#include "generation/engine_support.h"
#include "generation/make_command.h"
#include "generation/modern_filters.h"
#include "generation/modern_pages.h"
#include "generation/modern_stylesheet.h"
#include "generation/output_choice.h"
#include "generation/stylesheet_text.h"
#include "importing/style_import.h"
#include "linking/link_rewrite.h"
#include "persistence/file_commands.h"
#include "persistence/settings_file.h"
#include "png_pixels.h"
#include "preview/demo_page.h"
#include "preview/preview_commands.h"
#include "test_support.h"
#include "web_driver.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::Picture;
using testing::ScratchFolder;

bool allowMissingEngines = false;

// The sessions, one per engine, started on first use; a failed start is
// not tried again.
class Sessions : public ::testing::Environment {
 public:
  // A session that prefers dark pages is one of its own.
  static testing::BrowserSession* of(Engine engine, std::string& why, bool preferDark = false) {
    Slot& slot = slots()[static_cast<std::size_t>(engine) + (preferDark ? kEngineCount : 0)];
    if (!slot.tried) {
      slot.tried = true;
      slot.session = testing::BrowserSession::start(engine, slot.why, preferDark);
    }
    why = slot.why;
    return slot.session.get();
  }
  void TearDown() override {
    for (Slot& slot : slots()) slot.session.reset();
  }

 private:
  struct Slot {
    bool tried = false;
    std::unique_ptr<testing::BrowserSession> session;
    std::string why;
  };
  static std::array<Slot, 2 * kEngineCount>& slots() {
    static std::array<Slot, 2 * kEngineCount> all;
    return all;
  }
};

// "x,y,w,h" of an element's box in CSS pixels.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};

class InEngine : public ::testing::TestWithParam<Engine> {
 protected:
  void SetUp() override {
    std::string why;
    session = Sessions::of(GetParam(), why, prefersDark());
    if (session != nullptr) return;
    if (allowMissingEngines) GTEST_SKIP() << engineName() << " is missing: " << why;
    FAIL() << engineName() << " is missing or cannot start: " << why;
  }

  // Whether the suite's session prefers dark pages.
  virtual bool prefersDark() const { return false; }

  std::string engineName() const { return std::string(kEngineNames[static_cast<std::size_t>(GetParam())]); }
  std::size_t engine() const { return static_cast<std::size_t>(GetParam()); }

  void open(const std::string& file) { ASSERT_TRUE(session->open("file://" + file)) << session->lastError(); }

  // The value of a JavaScript expression (a promise is waited for).
  std::string value(const std::string& expression) {
    const auto v = session->evaluate(expression);
    EXPECT_TRUE(v) << expression << ": " << session->lastError();
    return v.value_or("");
  }

  // "key: expression, ..." evaluated in the open page; `s(q)` is the
  // computed style of the first element `q` selects.
  std::map<std::string, std::string> probe(const std::string& expressions) {
    const std::string text = value(
        "(function () { var s = function (q) { return getComputedStyle(document.querySelector(q)); };"
        "var r = {" +
        expressions + "}; var t = ''; for (var k in r) t += k + '=' + r[k] + '\\n'; return t; })()");
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
      if (const auto eq = line.find('='); eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    return values;
  }

  std::map<std::string, std::string> probe(const std::string& file, const std::string& expressions) {
    open(file);
    return probe(expressions);
  }

  // The page as drawn, once its fonts are in and two frames have gone by.
  Picture picture() {
    value(
        "document.fonts.ready.then(function () { return new Promise(function (done) {"
        "requestAnimationFrame(function () { requestAnimationFrame(done); }); }); })");
    const auto png = session->screenshot();
    EXPECT_TRUE(png) << session->lastError();
    std::string why;
    auto decoded = testing::decodePng(png.value_or(""), why);
    EXPECT_TRUE(decoded) << why;
    return decoded.value_or(Picture{});
  }

  Picture picture(const std::string& file) {
    open(file);
    return picture();
  }

  Box box(const std::string& selector) {
    Box b;
    std::sscanf(value("(function () { var r = document.querySelector('" + selector +
                      "').getBoundingClientRect(); return [Math.round(r.left), Math.round(r.top), "
                      "Math.round(r.width), Math.round(r.height)].join(','); })()")
                    .c_str(),
                "%d,%d,%d,%d", &b.x, &b.y, &b.width, &b.height);
    return b;
  }

  // With QUILLANE_ARTIFACTS set, keeps the picture as NAME-ENGINE.png.
  void keep(const std::string& name) {
    const char* folder = std::getenv("QUILLANE_ARTIFACTS");
    if (folder == nullptr) return;
    fs::create_directories(folder);
    if (const auto png = session->screenshot())
      testing::writeBytes(fs::path(folder) / (name + "-" + engineName() + ".png"), *png);
  }

  static std::string cp932(const std::string& utf8) { return testing::cp932(utf8); }

  testing::BrowserSession* session = nullptr;
  ScratchFolder folder;
};

std::string engineParamName(const ::testing::TestParamInfo<Engine>& info) {
  return std::string(kEngineNames[static_cast<std::size_t>(info.param)]);
}

#define IN_EVERY_ENGINE(Suite)                                                                            \
  INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::Values(Engine::Chromium, Engine::Firefox, Engine::WebKit), \
                           engineParamName)

bool near(const testing::Rgb& a, const testing::Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Pixels that differ between two pictures inside a box grown by `margin`.
int differing(const Picture& a, const Picture& b, Box area, int margin = 0) {
  if (a.width != b.width || a.height != b.height) return -1;
  int n = 0;
  for (int y = std::max(0, area.y - margin); y < std::min(a.height, area.y + area.height + margin); ++y)
    for (int x = std::max(0, area.x - margin); x < std::min(a.width, area.x + area.width + margin); ++x)
      n += !near(a.at(x, y), b.at(x, y), 2);
  return n;
}

// Pixels that are not the page's white inside a box.
int drawn(const Picture& p, Box area) {
  Picture white = p;
  for (testing::Rgb& rgb : white.pixels) rgb = {255, 255, 255};
  return differing(p, white, area);
}

// The page with `markup` inserted before its closing body tag.
std::string withContent(std::string page, const std::string& markup) {
  std::size_t at = page.rfind("</BODY>");
  if (at == std::string::npos) at = page.rfind("</body>");
  return page.insert(at, markup);
}

// --- The settings, legacy and modern -------------------------------------------

using PageStyles = InEngine;
IN_EVERY_ENGINE(PageStyles);

StyleDocument styled() {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  p.enabled = 1;
  doc.colours[0] = "FF0000";
  p.fontSize = "20";
  p.weight = "700";
  p.italic = 1;
  TagSlot& a = doc.slots[kSlotA];
  a.enabled = 1;
  doc.colours[1] = "0000FF";
  a.overline = 1;
  a.cursorLabel = "十字";
  doc.slots[kSlotBody].enabled = 1;
  doc.colours[19] = "00FF00";
  doc.slots[kSlotBody].sizeUnit = "ポイント";
  doc.slots[kSlotBody].fontSize = "9";
  return doc;
}

constexpr const char* kStyleProbe =
    "pColor: s('p').color, pSize: s('p').fontSize, pWeight: s('p').fontWeight, pStyle: s('p').fontStyle,"
    "aColor: s('a').color, aLine: s('a').textDecorationLine, aCursor: s('a').cursor,"
    "bodyBack: s('body').backgroundColor, bodySize: s('body').fontSize";

void expectStyled(const std::map<std::string, std::string>& v) {
  const std::map<std::string, std::string> expected = {
      {"pColor", "rgb(255, 0, 0)"}, {"pSize", "20px"},     {"pWeight", "700"},       {"pStyle", "italic"},
      {"aColor", "rgb(0, 0, 255)"}, {"aLine", "overline"}, {"aCursor", "crosshair"}, {"bodyBack", "rgb(0, 255, 0)"},
      {"bodySize", "12px"}};  // 9pt
  for (const auto& [key, want] : expected) EXPECT_EQ(v.count(key) ? v.at(key) : "(none)", want) << key;
}

TEST_P(PageStyles, LegacyPagesApplyTheSettings) {
  const StyleDocument doc = styled();
  testing::writeBytes(folder / "embedded.html", cp932(buildEmbeddedPage(doc).text));
  testing::writeBytes(folder / "style.css", cp932(buildStyleSheet(doc).text));
  testing::writeBytes(folder / "linked.html", cp932(buildLinkPage(doc, "style.css")));
  for (const char* page : {"embedded.html", "linked.html"}) {
    SCOPED_TRACE(page);
    expectStyled(probe(folder / page, kStyleProbe));
  }
}

TEST_P(PageStyles, ClassPreviewShowsThePicture) {
  StyleDocument doc;
  doc.classes[1].target = Choice::Second;
  doc.classes[1].className = "photo";
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  testing::writeBytes(folder / "pre.html", cp932(buildClassPreview(doc, 1).text));
  const auto v = probe(folder / "pre.html",
                       "loaded: document.images[0].complete, width: document.images[0].naturalWidth,"
                       "height: document.images[0].naturalHeight, cls: document.images[0].className");
  EXPECT_EQ(v.at("loaded"), "true");
  EXPECT_EQ(v.at("width"), "350");
  EXPECT_EQ(v.at("height"), "470");
  EXPECT_EQ(v.at("cls"), "photo");
}

TEST_P(PageStyles, ARewrittenPagePicksUpTheStyleSheetAndKeepsItsText) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.colours[0] = "123456";
  testing::writeBytes(folder / "site.css", cp932(buildStyleSheet(doc).text));
  const std::string page =
      "<html><head><meta charset=\"utf-8\"><title>t</title></head>\n<body><p>日本語の段落</p></body></html>";
  testing::writeBytes(folder / "page.html", linkPage(page, "site.css", true).bytes);
  const auto v = probe(folder / "page.html", "pColor: s('p').color, text: document.querySelector('p').textContent");
  EXPECT_EQ(v.at("pColor"), "rgb(18, 52, 86)");
  EXPECT_EQ(v.at("text"), "日本語の段落");
}

TEST_P(PageStyles, LinkingKeepsThePageInItsModeAndAppliesTheStyle) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.colours[0] = "123456";
  testing::writeBytes(folder / "site.css", cp932(buildStyleSheet(doc).text));
  const std::string probeText = "mode: document.compatMode, pColor: s('p').color, title: document.title";
  const struct {
    std::string page;
    std::string mode;
  } pages[] = {
      {"<!DOCTYPE html>\n<p>x</p></body>", "CSS1Compat"},  // no head: a new one after the doctype
      {"<!DOCTYPE html>\n<html lang=ja><head><title>t</head></title><!-- </head> --></head><body><p>x</p></body>",
       "CSS1Compat"},
      {"<html><p>x</p></body>", "BackCompat"},
  };
  for (const auto& c : pages) {
    SCOPED_TRACE(c.page);
    testing::writeBytes(folder / "before.html", c.page);
    const LinkedPage linked = linkPage(c.page, "site.css", true);
    ASSERT_TRUE(linked.ok()) << linked.refused;
    testing::writeBytes(folder / "after.html", linked.bytes);
    const auto before = probe(folder / "before.html", probeText);
    const auto after = probe(folder / "after.html", probeText);
    EXPECT_EQ(before.at("mode"), c.mode);
    EXPECT_EQ(after.at("mode"), c.mode) << linked.bytes;
    EXPECT_EQ(after.at("pColor"), "rgb(18, 52, 86)") << linked.bytes;
    EXPECT_EQ(after.at("title"), before.at("title")) << linked.bytes;
  }
}

TEST_P(PageStyles, ModernPagesApplyTheSameSettingsAsUtf8) {
  StyleDocument doc = styled();
  doc.output.modern = 1;
  doc.slots[kSlotP].fontName = "ＭＳ Ｐ明朝";
  doc.output.htmlTitle = "見本のページ";
  const std::string probeText = std::string(kStyleProbe) +
                                ", charset: document.characterSet, mode: document.compatMode, title: document.title,"
                                "pFont: s('p').fontFamily";
  testing::writeBytes(folder / "modern.html", buildModernEmbeddedPage(doc).text);
  testing::writeBytes(folder / "modern.css", buildModernStyleSheet(doc).text);
  testing::writeBytes(folder / "linked.html", buildModernLinkPage(doc, "modern.css"));
  for (const char* page : {"modern.html", "linked.html"}) {
    SCOPED_TRACE(page);
    const auto v = probe(folder / page, probeText);
    expectStyled(v);
    EXPECT_EQ(v.at("charset"), "UTF-8");
    EXPECT_EQ(v.at("mode"), "CSS1Compat");  // standards mode
    EXPECT_EQ(
        v.at("pFont"),
        "\"ＭＳ Ｐ明朝\", \"MS PMincho\", \"Hiragino Mincho ProN\", \"Noto Serif JP\", \"Noto Serif CJK JP\", serif");
  }
  EXPECT_EQ(probe(folder / "modern.html", "title: document.title").at("title"), "見本のページ");
}

TEST_P(PageStyles, TheCharsetRuleKeepsTheFontNameIntactOnAShiftJisPage) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].fontName = "ＭＳ ゴシック";
  testing::writeBytes(folder / "sheet.css", buildModernStyleSheet(doc).text);
  const std::string page =
      "<!DOCTYPE html><html><head><meta charset=\"shift_jis\"><link rel=\"stylesheet\" href=\"sheet.css\"></head>"
      "<body><p>段落</p></body></html>";
  testing::writeBytes(folder / "sjis.html", cp932(page));
  const auto v = probe(folder / "sjis.html", "font: s('p').fontFamily, charset: document.characterSet");
  EXPECT_EQ(v.at("charset"), "Shift_JIS");
  EXPECT_EQ(v.at("font"),
            "\"ＭＳ ゴシック\", \"MS Gothic\", \"Hiragino Kaku Gothic ProN\", \"Hiragino Sans\", \"Noto Sans JP\", "
            "\"Noto Sans CJK JP\", sans-serif");
}

// Windows image paths resolve to the files they name; colours typed as CSS
// takes them are the colours CSS means.
TEST_P(PageStyles, ModernValuesAsPeopleTypeThem) {
  StyleDocument doc;
  doc.output.modern = 1;
  const std::pair<int, const char*> images[] = {
      {kSlotP, "C:\\My Documents\\背景 画像.jpg"},
      {kSlotA, "images\\bg.gif"},
      {kSlotBody, "C:\\Program Files (x86)\\壁紙\\a.png"},
  };
  for (const auto& [slot, path] : images) {
    doc.slots[static_cast<std::size_t>(slot)].enabled = 1;
    doc.slots[static_cast<std::size_t>(slot)].useImage = Choice::First;
    doc.slots[static_cast<std::size_t>(slot)].imagePath = path;
  }
  doc.colours[foreColourIndex(kSlotP)] = " #00F ";
  doc.colours[foreColourIndex(kSlotA)] = "Red";
  doc.colours[foreColourIndex(kSlotBody)] = "#00800080";
  testing::writeBytes(folder / "sheet.css", buildModernStyleSheet(doc).text);
  testing::writeBytes(folder / "images.html",
                      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><link rel=\"stylesheet\" "
                      "href=\"sheet.css\"></head><body><p>段落</p><a href=\"#\">リンク</a></body></html>");
  const auto v = probe(folder / "images.html",
                       "p: s('p').backgroundImage, a: s('a').backgroundImage,"
                       "body: s('body').backgroundImage, pColour: s('p').color, aColour: s('a').color,"
                       "bodyColour: s('body').color");
  // UTF-8 of 背景 E8 83 8C E6 99 AF, 画像 E7 94 BB E5 83 8F, 壁紙 E5 A3 81 E7 B4 99.
  EXPECT_EQ(v.at("p"), "url(\"file:///C:/My%20Documents/%E8%83%8C%E6%99%AF%20%E7%94%BB%E5%83%8F.jpg\")");
  EXPECT_EQ(v.at("a"), "url(\"file://" + folder.path().string() + "/images/bg.gif\")");
  EXPECT_EQ(v.at("body"), "url(\"file:///C:/Program%20Files%20(x86)/%E5%A3%81%E7%B4%99/a.png\")");
  EXPECT_EQ(v.at("pColour"), "rgb(0, 0, 255)");
  EXPECT_EQ(v.at("aColour"), "rgb(255, 0, 0)");
  EXPECT_EQ(v.at("bodyColour"), "rgba(0, 128, 0, 0.5)");
}

// --- Every effect in every engine -------------------------------------------------

// One effect of a class: how to set it, the computed value it gives the
// element, and the setting of the engine table it stands for.
struct Effect {
  const char* name;
  const char* setting;
  bool image;
  void (*set)(UserClass&);
  const char* property;                  // of getComputedStyle
  const char* computed;                  // "{id}" stands for the SVG filter's id
  const char* webkitComputed = nullptr;  // where WebKit writes it otherwise
};

const Effect kEffects[] = {
    {"opacity", "Check13", true, [](UserClass& c) { c.alphaOn = 1, c.moveOpacitySlider(35); }, "opacity", "0.35"},
    {"chroma", "Check14", false, [](UserClass& c) { c.chromaOn = 1, c.chromaColor = "000000"; }, "filter",
     "url(\"#{id}\")"},
    {"blur", "Check15", false, [](UserClass& c) { c.blurOn = 1, c.blurDirection = "90", c.blurStrength = "12"; },
     "filter", "url(\"#{id}\")"},
    {"wave", "Check16", true,
     [](UserClass& c) { c.waveOn = 1, c.waveOverlay = Choice::Second, c.waveStrength = "10", c.waveLight = "0"; },
     "filter", "url(\"#{id}\")"},
    {"flip", "Check17", false, [](UserClass& c) { c.flipOn = c.flipHorizontal = 1; }, "transform",
     "matrix(-1, 0, 0, 1, 0, 0)"},
    {"glow-text", "Check20", false, [](UserClass& c) { c.glowOn = 1, c.glowStrength = "6", c.glowColor = "00FF00"; },
     "textShadow", "rgb(0, 255, 0) 0px 0px 6px"},
    {"glow-image", "Check20", true, [](UserClass& c) { c.glowOn = 1, c.glowStrength = "6", c.glowColor = "00FF00"; },
     "filter", "drop-shadow(rgb(0, 255, 0) 0px 0px 6px)"},
    {"invert", "Check21", true, [](UserClass& c) { c.toneOn = c.invert = 1; }, "filter", "invert(1)"},
    {"xray", "Check21", true, [](UserClass& c) { c.toneOn = c.xray = 1; }, "filter", "grayscale(1) invert(1)"},
    {"gray", "Check21", true, [](UserClass& c) { c.toneOn = c.gray = 1; }, "filter", "grayscale(1)"},
    {"shadow-text", "Check25", false,
     [](UserClass& c) { c.shadowOn = 1, c.shadowDirection = "135", c.shadowColor = "0000FF"; }, "textShadow",
     "rgb(0, 0, 255) 3.54px 3.54px 2px"},
    {"shadow-image", "Check25", true,
     [](UserClass& c) { c.shadowOn = 1, c.shadowDirection = "135", c.shadowColor = "0000FF"; }, "filter",
     "drop-shadow(rgb(0, 0, 255) 3.54px 3.54px 2px)", "drop-shadow(rgb(0, 0, 255) 3px 3px 2px)"},
    {"special", "Check26", false,
     [](UserClass& c) { c.specialOn = 1, c.specialColor1 = "FF0000", c.specialStrength = "135"; }, "filter",
     "url(\"#{id}\")"},
};

using Effects = InEngine;
IN_EVERY_ENGINE(Effects);

// The class preview of each effect against the preview of the same class
// without it: the computed value, and the picture changed exactly where the
// engine table says the engine shows it.
TEST_P(Effects, EachEffectOfTheClassPreviewShowsAsTheTableSays) {
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  std::map<bool, Picture> plain;
  for (const bool image : {false, true}) {
    StyleDocument doc;
    doc.output.modern = 1;
    doc.classes[0].target = image ? Choice::Second : Choice::First;
    testing::writeBytes(folder / "plain.html", buildModernClassPreview(doc, 0).text);
    plain[image] = picture(folder / "plain.html");
  }
  for (const Effect& effect : kEffects) {
    SCOPED_TRACE(effect.name);
    StyleDocument doc;
    doc.output.modern = 1;
    UserClass& c = doc.classes[0];
    c.target = effect.image ? Choice::Second : Choice::First;
    effect.set(c);
    const std::string file = folder / (std::string(effect.name) + ".html");
    const ModernText page = buildModernClassPreview(doc, 0);
    ASSERT_TRUE(page.ok());
    testing::writeBytes(file, page.text);
    open(file);
    std::string expected =
        GetParam() == Engine::WebKit && effect.webkitComputed != nullptr ? effect.webkitComputed : effect.computed;
    if (const std::size_t at = expected.find("{id}"); at != std::string::npos) {
      const std::string block = modernClassFilterBlock(doc, 0);
      const std::size_t id = block.find("id='");
      ASSERT_NE(id, std::string::npos) << "no filter in the page";
      expected.replace(at, 4, block.substr(id + 4, block.find('\'', id + 4) - id - 4));
    }
    const std::string selector = effect.image ? "img" : "p";
    EXPECT_EQ(probe(std::string("v: s('") + selector + "')." + effect.property).at("v"), expected);
    const Picture shown = picture();
    keep(std::string("preview-") + effect.name);
    const int changed = differing(shown, plain[effect.image], Box{0, 0, shown.width, shown.height});
    const bool inTable = engineSupportOf(effect.setting)->shown[engine()] != 0;
    if (inTable)
      EXPECT_GT(changed, 300) << engineName() << " does not show it";
    else
      EXPECT_EQ(changed, 0) << engineName() << " shows it";
  }
}

// Chroma: the key colour of the picture, and only it, turns into the page's white.
TEST_P(Effects, ChromaMakesExactlyThatColourTransparent) {
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  StyleDocument doc;
  doc.output.modern = 1;
  doc.classes[0].target = Choice::Second;
  testing::writeBytes(folder / "pre.html", buildModernClassPreview(doc, 0).text);
  const Picture plain = picture(folder / "pre.html");
  ASSERT_GT(plain.width, 380);
  constexpr int kLeft = 8, kTop = 8, kRight = 8 + 350, kBottom = 8 + 470;
  // The colour at the middle of the dark circle, whatever it decoded to.
  const testing::Rgb key = plain.at(kLeft + 175, kTop + 260);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X", key.r, key.g, key.b);
  doc.classes[0].chromaOn = 1;
  doc.classes[0].chromaColor = hex;
  testing::writeBytes(folder / "keyed.html", buildModernClassPreview(doc, 0).text);
  const Picture keyed = picture(folder / "keyed.html");
  ASSERT_EQ(keyed.width, plain.width);

  const testing::Rgb white{255, 255, 255};
  int keyPixels = 0, wrong = 0;
  for (int y = kTop; y < kBottom; ++y) {
    for (int x = kLeft; x < kRight; ++x) {
      const bool isKey = plain.at(x, y) == key;
      keyPixels += isKey;
      if (!(isKey ? keyed.at(x, y) == white : near(keyed.at(x, y), plain.at(x, y), 1))) ++wrong;
    }
  }
  EXPECT_GT(keyPixels, 5000) << hex;
  EXPECT_EQ(wrong, 0) << hex;
}

// Wave: each row of the picture is the same row moved sideways.
TEST_P(Effects, WaveShiftsRowsSideways) {
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  StyleDocument doc;
  doc.output.modern = 1;
  UserClass& c = doc.classes[0];
  c.target = Choice::Second;
  testing::writeBytes(folder / "pre.html", buildModernClassPreview(doc, 0).text);
  const Picture plain = picture(folder / "pre.html");
  c.waveOn = 1;
  c.waveOverlay = Choice::Second;
  c.waveLight = "0";
  c.waveStrength = "10";
  testing::writeBytes(folder / "waved.html", buildModernClassPreview(doc, 0).text);
  const Picture waved = picture(folder / "waved.html");
  ASSERT_EQ(waved.width, plain.width);
  constexpr int kLeft = 8, kTop = 8, kRight = 8 + 350, kBottom = 8 + 470;
  // The best move of each row, away from the picture's edges (no move wins
  // a tie, as a row of one colour matches every move).
  const auto misses = [&](int y, int dx) {
    int n = 0;
    for (int x = kLeft + 50; x < kRight - 50; ++x) n += !near(waved.at(x, y), plain.at(x - dx, y), 3);
    return n;
  };
  int shiftedRows = 0, unmatchedRows = 0;
  for (int y = kTop + 10; y < kBottom - 10; y += 5) {
    int bestShift = 0, bestMisses = misses(y, 0);
    for (int dx = -40; dx <= 40; ++dx) {
      if (const int n = misses(y, dx); n < bestMisses) bestMisses = n, bestShift = dx;
    }
    if (bestMisses > 12) ++unmatchedRows;
    if (bestShift != 0 && bestMisses <= 12) ++shiftedRows;
  }
  EXPECT_EQ(unmatchedRows, 0);
  EXPECT_GT(shiftedRows, 20);  // of 90 rows; rows of the plain gradient look the same at any move
}

// Each page the program writes for a modern style sheet finds its filters
// in itself: the embedded page, the linking page with its sheet, a page the
// link rewrite gave the sheet, and the live view's page.
TEST_P(Effects, EveryPageCarriesTheFiltersItsClassesUse) {
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  const char* names[] = {"key", "smear", "ripple", "hollow"};
  const auto doc = [](bool on) {
    StyleDocument d;
    d.output.modern = 1;
    d.output.htmlSample = d.output.linkPageSample = d.output.htmlBreaks = d.output.linkPageBreaks = 0;
    const char* effects[] = {"chroma", "blur", "wave", "special"};
    const char* classNames[] = {"key", "smear", "ripple", "hollow"};
    for (std::size_t c = 0; c < 4; ++c) {
      UserClass& cls = d.classes[c];
      cls.enabled = 1;
      cls.className = classNames[c];
      cls.target = c == 2 ? Choice::Second : Choice::First;
      for (const Effect& e : kEffects)
        if (on && std::string(e.name) == effects[c]) e.set(cls);
    }
    return d;
  };
  std::string markup;
  // The chroma class keys out black: the black half of its text goes, the blue half stays.
  for (const char* name : names) {
    markup += std::string("<div style=\"font-size: 40px\"><p class=\"") + name +
              "\">サンプル<span style=\"color: #0000FF\">です</span></p></div>";
  }
  markup += "<img class=\"ripple\" src=\"pal.png\" width=\"175\" height=\"235\" alt=\"\">";
  markup += "<div style=\"height: 800px\"></div>";  // room to scroll each element to the top
  const std::string userPage =
      "<html><head><meta charset=\"utf-8\"><title>t</title></head>\r\n<body>\r\n" + markup + "\r\n</body></html>";

  const auto pages = [&](bool on, const std::string& tag) {
    const StyleDocument d = doc(on);
    std::map<std::string, std::string> files = {
        {"embedded", folder / ("embedded" + tag + ".html")},
        {"linking", folder / ("linking" + tag + ".html")},
        {"rewritten", folder / ("rewritten" + tag + ".html")},
        {"live view", folder / ("live" + tag + ".html")},
    };
    const std::string sheet = buildModernStyleSheet(d).text;
    testing::writeBytes(folder / ("sheet" + tag + ".css"), sheet);
    testing::writeBytes(files["embedded"], withContent(buildModernEmbeddedPage(d).text, markup));
    testing::writeBytes(files["linking"], withContent(buildModernLinkPage(d, "sheet" + tag + ".css"), markup));
    testing::writeBytes(files["rewritten"], linkPage(userPage, "sheet" + tag + ".css", true, sheet).bytes);
    testing::writeBytes(files["live view"], demoPageHtml(buildDemoPage(d)));
    return files;
  };
  const auto with = pages(true, "");
  const auto without = pages(false, "-plain");
  const std::vector<std::string> selectors = {".key", ".smear", "img.ripple", "p.ripple", ".hollow"};
  // Each element at the top of the view, its box and the picture.
  const auto shots = [&](const std::string& file) {
    std::vector<std::pair<Box, Picture>> all;
    open(file);
    // Every filter an element refers to is a <filter> of this page.
    if (file.find("-plain") == std::string::npos) {
      EXPECT_EQ(value("[].concat.apply([], [].map.call(document.querySelectorAll('.key, .smear, .ripple, .hollow'),"
                      "function (e) { return getComputedStyle(e).filter.match(/#[\\w-]+/g) || ['none']; }))"
                      ".map(function (id) { var f = document.querySelector(id.replace(/^#/, '#') || 'x');"
                      "return f && f.tagName === 'filter' ? 'found' : id; })"
                      ".filter(function (r, k, all) { return all.indexOf(r) === k; }).join(' ')"),
                "found")
          << file;
    }
    for (const std::string& selector : selectors) {
      value("document.querySelector('" + selector + "').scrollIntoView()");
      const Box b = box(selector);
      all.emplace_back(b, picture());
    }
    return all;
  };
  for (const auto& [kind, file] : with) {
    SCOPED_TRACE(kind);
    const auto plain = shots(without.at(kind));
    const auto shown = shots(file);
    // Changed, and still drawn: an engine that finds no filter may draw
    // nothing of the element instead.
    for (std::size_t k = 0; k < selectors.size(); ++k) {
      EXPECT_GT(differing(shown[k].second, plain[k].second, shown[k].first, 6), 200)
          << selectors[k] << " in " << engineName();
      // (The live view's own text of the chroma class is all in its key colour.)
      if (kind != "live view" || k != 0) {
        EXPECT_GT(drawn(shown[k].second, shown[k].first), 200) << selectors[k] << " in " << engineName();
      }
    }
  }
}

// Blink: the animation runs, and the paragraph is drawn at one half of the
// second and gone at the other.
TEST_P(Effects, BlinkIsSeenChanging) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.slots[kSlotP].enabled = doc.slots[kSlotP].blink = 1;
  testing::writeBytes(folder / "blink.html", buildModernEmbeddedPage(doc).text);
  open(folder / "blink.html");
  EXPECT_EQ(value("getComputedStyle(document.querySelector('p')).animationName"), kBlinkAnimation);
  // The opacities the paragraph takes over 1.3 seconds of running time.
  EXPECT_EQ(value("new Promise(function (done) { var seen = {}, p = document.querySelector('p'), t = Date.now();"
                  "var id = setInterval(function () { seen[getComputedStyle(p).opacity] = 1;"
                  "if (Date.now() - t > 1300) { clearInterval(id); done(Object.keys(seen).sort().join(' ')); } }, 40);"
                  "})"),
            "0 1");
  const Box b = box("p");
  const auto at = [&](int ms) {
    value("document.getAnimations().forEach(function (a) { a.pause(); a.currentTime = " + std::to_string(ms) + "; })");
    value("new Promise(function (done) { requestAnimationFrame(function () { requestAnimationFrame(done); }); })");
    return picture();
  };
  const Picture drawn = at(250), gone = at(750);
  EXPECT_GT(differing(drawn, gone, b), 50) << engineName();
  EXPECT_EQ(engineSupportOf("blink")->shown[engine()], 1);
}

// The page's scroll bar in seven colours: scrollbar-color only where the
// ::-webkit-scrollbar rules are not known, and the colours found in the
// bar's strip are the ones the engine table gives the engine.
TEST_P(Effects, ScrollbarColoursShowAsTheTableSays) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.output.htmlBreaks = 1;  // a page long enough to scroll
  const char* colours[] = {"FF0000", "00C000", "0000FF", "FFFF00", "FF00FF", "00FFFF", "800000"};
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) {
    doc.scrollbarCheck(k) = 1;
    doc.colours[static_cast<std::size_t>(k)] = colours[k - kFirstScrollbarColour];
  }
  testing::writeBytes(folder / "bars.html", buildModernEmbeddedPage(doc).text);
  open(folder / "bars.html");
  // WebKit has no scrollbar-color at all.
  const char* kScrollbarColor[] = {"auto", "rgb(0, 192, 0) rgb(128, 0, 0)", "undefined"};
  EXPECT_EQ(value("getComputedStyle(document.documentElement).scrollbarColor"), kScrollbarColor[engine()]);
  // The same page in a frame: its own scroll bar is then drawn as part of
  // the outer page, which every engine's picture holds.
  testing::writeBytes(folder / "frame.html",
                      "<!DOCTYPE html><html><body style=\"margin: 0\"><iframe src=\"bars.html\" "
                      "style=\"border: 0; width: 400px; height: 400px\"></iframe></body></html>");
  // (A file's frame is another origin: the strip is the frame's right
  // edge, 30 pixels, where the page itself draws nothing.)
  open(folder / "frame.html");
  const Picture shot = picture();
  keep("scrollbar");
  unsigned found = 0;
  for (int y = 0; y < 400; ++y)
    for (int x = 370; x < 400; ++x)
      for (int k = 0; k < 7; ++k) {
        const auto rgb = rgbOf(colours[k]);
        const testing::Rgb want{static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                                static_cast<std::uint8_t>(rgb[2])};
        if (near(shot.at(x, y), want, 2)) found |= 1U << k;
      }
  EXPECT_EQ(found, engineSupportOf("scrollbar")->shown[engine()]) << engineName();
}

// --- Phones and dark rooms ----------------------------------------------------

// The samples that come with the program, by file name.
std::vector<std::pair<std::string, StyleDocument>> installedSamples() {
  std::vector<std::pair<std::string, StyleDocument>> samples;
  for (const SampleEntry& sample : listSamples((fs::path(QUILLANE_INSTALL_FOLDER) / "sample").string())) {
    StyleDocument& doc = samples.emplace_back(fs::path(sample.path).filename().string(), StyleDocument{}).second;
    EXPECT_TRUE(loadSettings(doc, Layout::Sample, testing::fileBytes(sample.path)).ok()) << sample.path;
  }
  return samples;
}

// "rgb(255, 0, 16)" of colour text the form holds.
std::string cssRgb(std::string_view colour) {
  const auto rgb = rgbOf(colour);
  return "rgb(" + std::to_string(rgb[0]) + ", " + std::to_string(rgb[1]) + ", " + std::to_string(rgb[2]) + ")";
}

testing::Rgb pixelOf(std::string_view colour) {
  const auto rgb = rgbOf(colour);
  return {static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]), static_cast<std::uint8_t>(rgb[2])};
}

// A gradient on P and what the engines make of it in each scheme.
struct GradientRow {
  const char* what;
  Gradient gradient;                        // with its dark colours
  const char *background, *darkBackground;  // the first colours
  const char *computed, *darkComputed;      // background-image as read back
  enum Ends { Across, Down, Radial } ends;  // left and right; top and bottom; centre and corner
};

const GradientRow kGradientRows[] = {
    {"linear, at an angle",
     {GradientKind::Linear, "90", {"0000FF", ""}, {"FFFF00", ""}},
     "FF0000",
     "00FFFF",
     "linear-gradient(90deg, rgb(255, 0, 0), rgb(0, 0, 255))",
     "linear-gradient(90deg, rgb(0, 255, 255), rgb(255, 255, 0))",
     GradientRow::Across},
    {"three colours, the browser's own direction",
     {GradientKind::Linear, "", {"FFFF00", "0000FF"}, {"FF00FF", "000000"}},
     "00FF00",
     "FFFFFF",
     "linear-gradient(rgb(0, 255, 0), rgb(255, 255, 0), rgb(0, 0, 255))",
     "linear-gradient(rgb(255, 255, 255), rgb(255, 0, 255), rgb(0, 0, 0))",
     GradientRow::Down},
    {"radial",
     {GradientKind::Radial, "", {"000000", ""}, {"FFFFFF", ""}},
     "FFFFFF",
     "000000",
     "radial-gradient(rgb(255, 255, 255), rgb(0, 0, 0))",
     "radial-gradient(rgb(0, 0, 0), rgb(255, 255, 255))",
     GradientRow::Radial},
};

class Schemes : public InEngine {
 protected:
  // Each gradient of the table on a paragraph 300 by 200 pixels: its
  // computed background-image, and the two ends in the picture.
  void expectGradients() {
    const bool dark = prefersDark();
    for (const GradientRow& r : kGradientRows) {
      SCOPED_TRACE(r.what);
      // A page and sheet of their own: WebKit keeps a sheet it has loaded.
      const std::string page = "g" + std::to_string(&r - kGradientRows);
      StyleDocument doc;
      doc.output.modern = doc.dark.enabled = doc.slots[kSlotP].enabled = 1;
      doc.colours[5] = r.background;
      doc.dark.colours[5] = r.darkBackground;
      doc.gradients[kSlotP] = r.gradient;
      testing::writeBytes(folder / (page + ".css"), buildModernStyleSheet(doc).text);
      testing::writeBytes(folder / (page + ".html"),
                          "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"><link rel=\"stylesheet\" href=\"" + page +
                              ".css\"><style>body { margin: 0 } p { margin: 0; width: 300px; height: 200px }</style>"
                              "</head><body><p></p></body></html>");
      open(folder / (page + ".html"));
      EXPECT_EQ(value("getComputedStyle(document.querySelector('p')).backgroundImage"),
                dark ? r.darkComputed : r.computed);
      const Picture shot = picture();
      const Gradient& g = r.gradient;
      const std::string first = dark ? r.darkBackground : r.background;
      const auto& stops = dark ? g.darkColours : g.colours;
      const std::string last = stops[1].empty() ? stops[0] : stops[1];
      const Box b = box("p");
      ASSERT_EQ(b.width, 300);
      const auto ends =
          r.ends == GradientRow::Across ? std::pair{std::pair{b.x + 1, b.y + 100}, std::pair{b.x + 298, b.y + 100}}
          : r.ends == GradientRow::Down ? std::pair{std::pair{b.x + 150, b.y + 1}, std::pair{b.x + 150, b.y + 198}}
                                        : std::pair{std::pair{b.x + 150, b.y + 100}, std::pair{b.x, b.y}};
      const testing::Rgb start = shot.at(ends.first.first, ends.first.second);
      const testing::Rgb end = shot.at(ends.second.first, ends.second.second);
      EXPECT_TRUE(near(start, pixelOf(first), 6)) << int{start.r} << "," << int{start.g} << "," << int{start.b};
      EXPECT_TRUE(near(end, pixelOf(last), 6)) << int{end.r} << "," << int{end.g} << "," << int{end.b};
    }
  }
};

class DarkScheme : public Schemes {
 protected:
  bool prefersDark() const override { return true; }
};
IN_EVERY_ENGINE(DarkScheme);

using Phones = Schemes;
IN_EVERY_ENGINE(Phones);

// The live view's page of the dark sample: each element shows the dark
// colour of its box, the four link states by their demonstration classes.
TEST_P(DarkScheme, EveryDarkColourIsTheComputedColour) {
  StyleDocument doc;
  for (auto& [name, sample] : installedSamples())
    if (name == "11-tsukiakari.smp") doc = sample;
  ASSERT_EQ(doc.dark.enabled, 1);
  testing::writeBytes(folder / "dark.html", demoPageHtml(buildDemoPage(doc)));
  struct Row {
    const char* selector;
    const char* property;
    int box;
  } const rows[] = {
      {"body", "color", 18},       {"body", "backgroundColor", 19}, {"p", "color", 0},
      {"p", "backgroundColor", 5}, {"a.q-link", "color", 1},        {"a.q-visited", "color", 2},
      {"a.q-active", "color", 3},  {"a.q-hover", "color", 4},
  };
  std::string expressions =
      "dark: matchMedia('(prefers-color-scheme: dark)').matches, glow: s('p.' + CSS.escape('月')).textShadow";
  for (std::size_t k = 0; k < std::size(rows); ++k)
    expressions += ", r" + std::to_string(k) + ": s('" + rows[k].selector + "')." + rows[k].property;
  const auto v = probe(folder / "dark.html", expressions);
  keep("dark-sample");
  ASSERT_EQ(v.at("dark"), "true") << engineName() << " does not prefer dark pages";
  for (std::size_t k = 0; k < std::size(rows); ++k) {
    const std::string& dark = doc.dark.colours[static_cast<std::size_t>(rows[k].box)];
    ASSERT_FALSE(dark.empty()) << rows[k].box;
    EXPECT_EQ(v.at("r" + std::to_string(k)), cssRgb(dark)) << rows[k].selector << " " << rows[k].property;
  }
  EXPECT_EQ(v.at("glow"), cssRgb(doc.dark.classes[0].glowColor) + " 0px 0px 6px");
}

TEST_P(DarkScheme, GradientsAreExactAndShowBothEnds) { expectGradients(); }
TEST_P(Phones, GradientsAreExactAndShowBothEnds) { expectGradients(); }

// The live view's page of every sample, in both outputs, in a frame as wide
// as a phone: nothing is wider than the frame.
TEST_P(Phones, NothingOverflowsThePageAt360PixelsWide) {
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  for (auto& [name, doc] : installedSamples()) {
    for (const CheckState modern : {0, 1}) {
      SCOPED_TRACE(name + (modern ? ", modern" : ", legacy"));
      doc.output.modern = modern;
      std::string page;
      for (const char c : demoPageHtml(buildDemoPage(doc)))
        page += c == '&' ? "&amp;" : c == '"' ? "&quot;" : std::string(1, c);
      // A frame's own document, of the page's origin, for its sizes.
      testing::writeBytes(
          folder / "phone.html",
          "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"></head><body style=\"margin: 0\"><iframe srcdoc=\"" +
              page + "\" style=\"border: 0; width: 360px; height: 740px\"></iframe></body></html>");
      open(folder / "phone.html");
      int scroll = 0, client = 0;
      std::sscanf(value("(function () { var d = document.querySelector('iframe').contentDocument.documentElement;"
                        "return d.scrollWidth + ' ' + d.clientWidth; })()")
                      .c_str(),
                  "%d %d", &scroll, &client);
      EXPECT_GT(client, 300);
      // The element that reaches farthest, to name the fault.
      EXPECT_LE(scroll, client) << value(
          "(function () { var d = document.querySelector('iframe').contentDocument, far = null, right = 0;"
          "d.querySelectorAll('body *').forEach(function (e) { var r = e.getBoundingClientRect().right;"
          "if (r > right) { right = r; far = e; } });"
          "return far ? far.outerHTML.slice(0, 80) + ' ' + right : ''; })()");
    }
  }
}

// --- Hostile style sheets ------------------------------------------------------

// An HTTP listener on 127.0.0.1 that answers every request with 404 and
// counts the requests: whatever a page loads from it shows in the count.
class LoopbackListener {
 public:
  LoopbackListener() {
    m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_socket, 16) != 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
  }
  ~LoopbackListener() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    if (m_socket >= 0) ::close(m_socket);
  }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  int port() const { return m_port; }
  int requests() const { return m_requests; }
  void reset() { m_requests = 0; }

 private:
  void serve() {
    while (!m_stop) {
      pollfd waiting{m_socket, POLLIN, 0};
      if (::poll(&waiting, 1, 100) <= 0) continue;
      const int client = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      pollfd asked{client, POLLIN, 0};
      char buffer[4096];
      if (::poll(&asked, 1, 2000) > 0 && ::read(client, buffer, sizeof buffer) > 0) ++m_requests;
      constexpr std::string_view kReply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      (void)!::write(client, kReply.data(), kReply.size());
      ::close(client);
    }
  }

  int m_socket = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_requests{0};
  std::thread m_thread;
};

using HostileSheets = InEngine;
IN_EVERY_ENGINE(HostileSheets);

// A page linked with sheets made to smuggle markup through the filter
// block runs none of their script and loads nothing: the script would set a
// flag, the loads would reach the listener. A page that does both by hand
// shows that either would be seen. The page's own onload, with a ">" in it,
// still runs.
TEST_P(HostileSheets, ALinkedPageRunsNoScriptAndLoadsNothing) {
  LoopbackListener listener;
  ASSERT_NE(listener.port(), 0);
  const std::string remote = "http://127.0.0.1:" + std::to_string(listener.port()) + "/";
  const auto settle = [&] { value("new Promise(function (done) { setTimeout(function () { done('ok'); }, 500); })"); };

  testing::writeBytes(folder / "control.html",
                      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><div style=\"width: 10px; "
                      "height: 10px; background-image: u\\72l(" +
                          remote + "control)\"></div><script>window.hostile = 1;</script></body></html>");
  open(folder / "control.html");
  settle();
  EXPECT_EQ(value("String(window.hostile)"), "1");
  EXPECT_GE(listener.requests(), 1) << engineName() << " loads nothing from the listener: the test sees nothing";
  listener.reset();

  const std::string load = "background-image:u\\72l(" + remote + "svg)";
  const std::string evil = "<svg onload='window.hostile = 1' style='" + load + "'><image href='" + remote +
                           "image'/></svg></svg x='1'><fe-x style='position:fixed;inset:0'>LOCKED</fe-x>";
  const std::string marked = "/* quillane-svg-filters: a\r\n" + evil + "\r\n*/\r\n";
  StyleDocument doc;
  doc.output.modern = doc.classes[0].enabled = doc.classes[0].chromaOn = 1;
  doc.classes[0].className = "key";
  const std::string own = buildModernStyleSheet(doc).text;
  const std::size_t ownComment = own.find("/* quillane-svg-filters");
  std::string forged = own;
  forged.insert(forged.find("<filter"), "<filter id='quillane-blur-00000000' style='" + load + "'/>\r\n");
  const auto imported = [](const std::string& css) { return styleSheetOutput(importStyle(css, false).document).text; };
  const struct {
    const char* name;
    std::string sheet;
    std::size_t filters;
  } sheets[] = {
      {"in a string",
       own.substr(0, ownComment) + "p { content: \"*/ /* quillane-svg-filters: a\\\n" + evil + "*/\" }\r\n" +
           own.substr(ownComment),
       1},
      {"in another comment", "@charset \"UTF-8\";\r\n/* note " + marked, 0},
      {"in a rule", "@charset \"UTF-8\";\r\n@media print {\r\n" + marked + "}\r\n", 0},
      {"imported", imported(marked + "p { color: red }\nq { content: \"" + marked.substr(0, 26) + "\" }\n"), 0},
      {"imported own sheet with another filter", imported(forged), 1},
  };
  const std::string page =
      "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>t</title></head>\r\n"
      "<body onload=\"if (document.title >= '') window.ownLoad = 1\">\r\n<p class=\"key\">x</p>\r\n</body></html>";
  for (const auto& s : sheets) {
    SCOPED_TRACE(s.name);
    testing::writeBytes(folder / "sheet.css", s.sheet);
    const LinkedPage linked = linkPage(page, "sheet.css", true, s.sheet);
    ASSERT_TRUE(linked.ok()) << linked.refused;
    testing::writeBytes(folder / "linked.html", linked.bytes);
    open(folder / "linked.html");
    settle();
    EXPECT_EQ(value("String(window.hostile) + ' ' + String(window.ownLoad) + ' ' + "
                    "document.querySelectorAll('filter').length + ' ' + document.querySelectorAll('fe-x').length"),
              "undefined 1 " + std::to_string(s.filters) + " 0")
        << linked.bytes;
    EXPECT_EQ(listener.requests(), 0) << engineName();
  }
  // Markup beyond the filters refuses the rewrite.
  EXPECT_FALSE(linkPage(page, "sheet.css", true, "@charset \"UTF-8\";\r\n" + marked).ok());
}

// Style sheets written by others (documentation themes of the packages on
// this machine, of different authors and eras) and sheets with cascade
// traps: imported, written by the modern output, and applied to one page,
// every element has the same computed style as with the original.
// Chromium alone: comparing every property of every element is slow, and
// the three engines' agreement on plain CSS is not what is tested here.
using ImportedSheets = InEngine;
INSTANTIATE_TEST_SUITE_P(, ImportedSheets, ::testing::Values(Engine::Chromium), engineParamName);

TEST_P(ImportedSheets, StyleEveryElementAsTheOriginal) {
  std::vector<std::pair<std::string, std::string>> sheets;
  for (const char* path : {"/usr/share/gitweb/static/gitweb.css", "/usr/share/doc/python3/_static/nature.css",
                           "/usr/share/doc/nodejs/api/assets/style.css", "/usr/share/sgml/X11/xorg.css",
                           "/usr/share/qt6/doc/global/template/style/offline.css"}) {
    if (fs::exists(path)) sheets.emplace_back(path, testing::fileBytes(path));
  }
  sheets.emplace_back("traps",
                      "@import url(none.css);\n* { color: #010101 } p { color: #F00; margin: 0 }\n"
                      "a:hover { color: #f00 } a:visited { color: #00f } a:link { color: #0a0 }\n"
                      "body { background: #eee; background-color: #ddd; font: 12px serif }\n"
                      "p { font-family: Osaka, sans-serif; font-size: 1.5em; cursor: auto }\n"
                      "a { font-family: 'MS Mincho', serif }\n"
                      "a:active { font-family: Arial, \"Liberation Sans\", sans-serif }\n"
                      "P.note { color: #0f0 !important } p { color: #123456 }\n"
                      "@media screen { p { font-weight: 700 } } p { font-weight: 400; font-style: italic }\n"
                      ".fx { filter: blur(1px) } .fx { opacity: .5 }\n");
  ASSERT_GE(sheets.size(), 4u) << "scripts/setup.sh installs the packages that hold them";
  // Every element of the page, every computed property, by name (custom
  // properties are listed in no fixed order).
  const std::string probeText =
      "all: (function () { var t = ''; var es = document.querySelectorAll('*');"
      "for (var i = 0; i < es.length; ++i) { if (es[i].tagName === 'SCRIPT') continue;"
      "var c = getComputedStyle(es[i]); var p = [];"
      "for (var k = 0; k < c.length; ++k) p.push(c[k] + ':' + c.getPropertyValue(c[k]).replace(/ /g, '_'));"
      "t += ' |' + i + '_' + es[i].tagName + ' ' + p.sort().join(' '); }"
      "return t; })()";
  for (const auto& [name, css] : sheets) {
    SCOPED_TRACE(name);
    const ImportResult imported = importStyle(css, false);
    ASSERT_TRUE(imported.ok());
    const OutputText written = styleSheetOutput(imported.document);
    ASSERT_TRUE(written.ok()) << *written.refusal;
    // Elements for the sheet's own classes and ids, and the usual ones.
    std::string markup =
        "<h1>h</h1><h2>h</h2><h3>h</h3><p>p <a href=\"#x\">a</a> <em>e</em> <code>c</code></p>"
        "<p class=\"note\">n</p><pre>pre</pre><ul><li>l</li></ul><dl><dt>t</dt><dd>d</dd></dl>"
        "<table><tr><th>h</th><td>d</td></tr></table><blockquote>q</blockquote><p class=\"fx\">f</p>";
    for (char sigil : {'.', '#'}) {
      std::set<std::string> names;
      for (std::size_t at = css.find(sigil); at != std::string::npos && names.size() < 80;
           at = css.find(sigil, at + 1)) {
        std::size_t end = at + 1;
        while (end < css.size() &&
               (std::isalnum(static_cast<unsigned char>(css[end])) || css[end] == '-' || css[end] == '_'))
          ++end;
        if (end > at + 1 && !std::isdigit(static_cast<unsigned char>(css[at + 1])))
          names.insert(css.substr(at + 1, end - at - 1));
      }
      for (const std::string& n : names)
        markup += std::string("<div ") + (sigil == '.' ? "class" : "id") + "=\"" + n +
                  "\"><p>x <a href=\"#y\">y</a></p><span>s</span></div>";
    }
    std::map<std::string, std::string> computed[2];
    for (int k = 0; k < 2; ++k) {
      const std::string sheet = k == 0 ? "original.css" : "written.css";
      testing::writeBytes(folder / sheet, k == 0 ? css : written.text);
      const std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><link rel=\"stylesheet\" href=\"" +
                               sheet + "\"></head><body>" + markup + "</body></html>";
      testing::writeBytes(folder / "page.html", page);
      computed[k] = probe(folder / "page.html", probeText);
      ASSERT_TRUE(computed[k].contains("all"));
    }
    EXPECT_GT(computed[0].at("all").size(), 1000u);
    // The first property that differs, with its element.
    std::istringstream before(computed[0].at("all")), after(computed[1].at("all"));
    std::string element;
    for (std::string a, b; before >> a && after >> b;) {
      if (a.starts_with("|")) element = a;
      ASSERT_EQ(a, b) << "element " << element;
    }
  }
}

// --- What visitors' eyes and screen readers need -----------------------------------

// The axe-core rules whose outcome the markup the program writes decides,
// run over every page it writes for visitors in Chromium:
//   html-has-lang, html-lang-valid, valid-lang   the lang of <html>
//   document-title                               the <title> (Text11, Text12, the live view's own)
//   meta-viewport, meta-viewport-large           the viewport line of the modern head
//   image-alt                                    the picture of the image class's preview and the live view
//   link-name, link-in-text-block                the sample link and the live view's four in a paragraph
//   color-contrast                               the document's colours, as the advice judges them
// The pages hold no forms, tables, frames, lists or ARIA, so the rules about
// those have nothing to check; the rules on landmarks, headings and regions
// are about a site's structure, which a specimen page of the style has not.
// The character set, which axe leaves alone, is read from the document: the
// one the page declares, and the one the browser took.
constexpr const char* kProgramRules =
    "'html-has-lang', 'html-lang-valid', 'valid-lang', 'document-title', 'meta-viewport', 'meta-viewport-large',"
    "'image-alt', 'link-name', 'link-in-text-block', 'color-contrast'";

// The slot whose text an element of a written page shows, by the labels of
// the axe report below: the demonstration classes of the link states, "q-link"
// for a plain link, "P", "BODY" for text outside any paragraph, "class" for a
// user class's sample.
constexpr const char* kSlotLabels[kTagSlotCount] = {"P", "q-link", "q-visited", "q-active", "q-hover", "BODY"};

class Accessibility : public InEngine {
 protected:
  void SetUp() override {
    InEngine::SetUp();
    ASSERT_TRUE(fs::exists(QUILLANE_AXE_SCRIPT))
        << "axe-core is missing: " << QUILLANE_AXE_SCRIPT
        << "\nscripts/setup.sh installs it (quillane_install_axe: npm ci in tests/browser/axe)";
  }

  // axe-core's report on `file`: "rule: element" per violation, contrast
  // failures as "color-contrast: label" (see kSlotLabels), sorted, one a line;
  // then "charset: declared taken".
  std::string report(const std::string& file) {
    static const std::string script = testing::fileBytes(QUILLANE_AXE_SCRIPT);
    open(file);
    EXPECT_EQ(value("(function () {\n" + script + "\n; return typeof window.axe; })()"), "object");
    return value(
        "axe.run(document, {runOnly: {type: 'rule', values: [" + std::string(kProgramRules) +
        "]}, resultTypes: ['violations'], elementRef: true}).then(function (r) { var lines = {};"
        "r.violations.forEach(function (v) { v.nodes.forEach(function (n) { var e = n.element, a = e.closest('a');"
        "  var where = v.id !== 'color-contrast' ? n.target.join(' ') : a ? (a.className || 'q-link')"
        "    : e.closest('[class]') ? 'class' : e.closest('p') ? 'P' : 'BODY';"
        "  lines[v.id + ': ' + where] = 1; }); });"
        "var m = document.querySelector('meta[charset]');"
        "return Object.keys(lines).sort().join('\\n') + (r.violations.length ? '\\n' : '') + 'charset: ' +"
        "  (m ? m.getAttribute('charset') : '(none)') + ' ' + document.characterSet; })");
  }
};
INSTANTIATE_TEST_SUITE_P(, Accessibility, ::testing::Values(Engine::Chromium), engineParamName);

// Every page the program writes for visitors, in both outputs. The modern
// pages pass every rule and declare UTF-8. The legacy pages' bytes are fixed:
// they declare no language nor character set (the browser guesses from the
// bytes: Shift_JIS where enough Japanese text stands, else windows-1252, in
// which the title's Japanese is garbled), the linking page's title is empty
// and the image class's picture has no alt.
TEST_P(Accessibility, EveryWrittenPagePassesTheRulesItsMarkupDecides) {
  StyleDocument doc;
  doc.output.htmlTitle = "見本のページ";
  doc.output.linkPageTitle = "見本のリンク";
  doc.classes[0].enabled = doc.classes[1].enabled = 1;
  doc.classes[0].className = "moji";
  doc.classes[1].className = "e";
  doc.classes[1].target = Choice::Second;
  const auto page = [&](const std::string& text) { return writesModern(doc) ? text : cp932(text); };
  const std::string noLang = "html-has-lang: html\n";
  const struct {
    const char* name;
    std::function<std::string()> text;
    std::string legacy;  // the report on the legacy output's page
  } pages[] = {
      {"embedded page, standard preview", [&] { return page(embeddedPageOutput(doc).text); },
       noLang + "charset: (none) Shift_JIS"},
      {"linking page", [&] { return page(linkPageOutput(doc, "style.css").text); },
       "document-title: html\n" + noLang + "charset: (none) Shift_JIS"},
      {"text class preview", [&] { return page(classPreviewOutput(doc, 0).text); },
       noLang + "charset: (none) Shift_JIS"},
      {"image class preview", [&] { return page(classPreviewOutput(doc, 1).text); },
       noLang + "image-alt: img\ncharset: (none) windows-1252"},
      {"live view", [&] { return demoPageHtml(buildDemoPage(doc)); }, "charset: UTF-8 UTF-8"},
  };
  for (const CheckState modern : {0, 1}) {
    doc.output.modern = modern;
    for (const auto& p : pages) {
      SCOPED_TRACE(std::string(p.name) + (modern ? ", modern" : ", legacy"));
      testing::writeBytes(folder / "page.html", p.text());
      EXPECT_EQ(report(folder / "page.html"), modern ? "charset: UTF-8 UTF-8" : p.legacy);
    }
  }
}

// The samples and links in a paragraph, in both outputs, on the live view's
// page, where every link state shows at once, and on the modern pages:
// nothing fails but contrast, and the text that fails it is that of the
// slots the advice names, or of slots that show the same colours (which it
// leaves to the one named). An unticked slot writes no rule: its text shows
// A's colours for a link state (the browser's when A is unticked too, which
// the advice judges as A), BODY's for P. The samples of the user classes,
// whose opacity and filters fade their text, are not the advice's.
// The slot whose colours the text of `slot` shows as the advice judges it,
// or -1 for black on white.
int judgingSlot(const StyleDocument& doc, int slot) {
  const auto ticked = [&](int s) { return doc.slots[static_cast<std::size_t>(s)].enabled == 1; };
  if (ticked(slot)) return slot;
  if (slot == kSlotP) return ticked(kSlotBody) ? kSlotBody : -1;
  if (slot == kSlotBody) return -1;
  return ticked(kSlotA) || shownColours(doc, kSlotA).background.box >= 0 ? int{kSlotA} : -1;
}

TEST_P(Accessibility, TheAdviceAndAxeAgreeOnContrastInTheSamples) {
  std::vector<std::pair<std::string, StyleDocument>> documents;
  for (const SampleEntry& sample : listSamples((fs::path(QUILLANE_INSTALL_FOLDER) / "sample").string())) {
    StyleDocument& doc = documents.emplace_back(sample.path, StyleDocument{}).second;
    ASSERT_TRUE(loadSettings(doc, Layout::Sample, testing::fileBytes(sample.path)).ok()) << sample.path;
  }
  ASSERT_EQ(documents.size(), 13u);
  // Links in a paragraph: on its dark background, and at its small size
  // under a large BODY (#808080 on white is 3.95:1).
  StyleDocument& links = documents.emplace_back("links in a paragraph", StyleDocument{}).second;
  for (int slot : {kSlotP, kSlotA, kSlotHover, kSlotBody}) links.slots[static_cast<std::size_t>(slot)].enabled = 1;
  links.colours[foreColourIndex(kSlotP)] = "FFFFFF";
  links.colours[backColourIndex(kSlotP)] = "000080";
  links.colours[foreColourIndex(kSlotHover)] = "808080";
  links.colours[backColourIndex(kSlotHover)] = "FFFFFF";
  links.slots[kSlotP].fontSize = "12";
  links.slots[kSlotBody].fontSize = "32";
  // Links left unticked, in the browser's blue on a dark page.
  StyleDocument& dark = documents.emplace_back("unticked links on a dark page", StyleDocument{}).second;
  dark.slots[kSlotBody].enabled = 1;
  dark.colours[foreColourIndex(kSlotBody)] = "FFFFFF";
  dark.colours[backColourIndex(kSlotBody)] = "0B1330";
  for (auto& [name, doc] : documents) {
    for (const CheckState modern : {0, 1}) {
      doc.output.modern = modern;
      SCOPED_TRACE(name + (modern ? ", modern" : ", legacy"));
      const std::vector<Advice> advice = documentAdvice(doc);
      const auto judgedBy = [&](int slot) { return judgingSlot(doc, slot); };
      // "color-contrast: label" for each slot that `shows` lists and the advice finds failing.
      const auto expected = [&](std::initializer_list<int> shows) {
        std::set<std::string> lines;
        for (int slot : shows) {
          const int judge = judgedBy(slot);
          for (const Advice& a : advice)
            if (judge >= 0 && a.kind == AdviceKind::Contrast && a.scheme == Scheme::Light &&
                shownColours(doc, a.place.index) == shownColours(doc, judge))
              lines.insert(std::string("color-contrast: ") + kSlotLabels[slot]);
        }
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        return text + "charset: UTF-8 UTF-8";
      };
      // What axe reports, but on the classes' samples.
      const auto found = [&](const std::string& text) {
        std::string kept = text;
        for (std::size_t at; (at = kept.find("color-contrast: class\n")) != std::string::npos;) kept.erase(at, 22);
        return kept;
      };
      testing::writeBytes(folder / "live.html", demoPageHtml(buildDemoPage(doc)));
      EXPECT_EQ(found(report(folder / "live.html")),
                expected({kSlotP, kSlotA, kSlotVisited, kSlotActive, kSlotHover, kSlotBody}));
      if (modern != 1) continue;
      testing::writeBytes(folder / "embedded.html", embeddedPageOutput(doc).text);
      testing::writeBytes(folder / "style.css", styleSheetOutput(doc).text);
      testing::writeBytes(folder / "linking.html", linkPageOutput(doc, "style.css").text);
      for (const char* page : {"embedded.html", "linking.html"})
        EXPECT_EQ(found(report(folder / page)), expected({kSlotP, kSlotA})) << page;
    }
  }
}

// The same in a session that prefers dark pages, for documents whose light
// colours all pass: what fails in the dark is what the advice on the dark
// scheme names, with the browser's own dark colours where the form sets none.
// (axe takes a page without a background for white, so each document gives
// the page or the paragraph one; and text on its very colour is no violation
// to axe, only a question.)
class DarkAccessibility : public Accessibility {
 protected:
  bool prefersDark() const override { return true; }
};
INSTANTIATE_TEST_SUITE_P(, DarkAccessibility, ::testing::Values(Engine::Chromium), engineParamName);

TEST_P(DarkAccessibility, TheDarkSchemeAdviceAndAxeAgreeOnContrast) {
  std::vector<std::pair<std::string, StyleDocument>> documents;
  for (auto& [name, doc] : installedSamples())
    if (doc.dark.enabled == 1) documents.emplace_back(name, doc);
  ASSERT_EQ(documents.size(), 1u);
  StyleDocument& text = documents.emplace_back("a text colour without its dark one", StyleDocument{}).second;
  text.slots[kSlotP].enabled = text.slots[kSlotBody].enabled = 1;
  text.colours[foreColourIndex(kSlotP)] = "333333";
  text.colours[backColourIndex(kSlotBody)] = "FFFFFF";
  text.dark.colours[backColourIndex(kSlotBody)] = "121212";
  StyleDocument& light = documents.emplace_back("a light paragraph in the dark", StyleDocument{}).second;
  light.slots[kSlotP].enabled = 1;
  light.colours[backColourIndex(kSlotP)] = "FFFFFF";
  light.dark.colours[backColourIndex(kSlotP)] = "E0E0E0";
  for (auto& [name, doc] : documents) {
    SCOPED_TRACE(name);
    doc.output.modern = doc.dark.enabled = 1;
    std::vector<Advice> advice = documentAdvice(doc);
    ASSERT_TRUE(std::all_of(advice.begin(), advice.end(), [](const Advice& a) { return a.scheme == Scheme::Dark; }));
    const auto judgedBy = [&](int slot) { return judgingSlot(doc, slot); };
    std::set<std::string> lines;
    for (int slot = 0; slot < kTagSlotCount; ++slot)
      for (const Advice& a : advice)
        if (const int judge = judgedBy(slot);
            judge >= 0 && shownColours(doc, a.place.index, Scheme::Dark) == shownColours(doc, judge, Scheme::Dark))
          lines.insert(std::string("color-contrast: ") + kSlotLabels[slot]);
    std::string expected;
    for (const std::string& line : lines) expected += line + "\n";
    testing::writeBytes(folder / "live.html", demoPageHtml(buildDemoPage(doc)));
    EXPECT_EQ(report(folder / "live.html"), expected + "charset: UTF-8 UTF-8");
  }
}

// --- Web fonts -------------------------------------------------------------------

// A font the browser does not have draws with the embedded subset. Each
// engine runs in a session of its own whose fontconfig knows DejaVu Sans
// alone, so that DejaVu Serif reaches the page only as the web font the
// output writes: its characters look as the whole font draws them (a
// reference page whose @font-face names the full file), others fall back.
class WebFonts : public InEngine {
 protected:
  void SetUp() override {
    const fs::path fonts = folder.path() / "installed";
    fs::create_directories(fonts);
    fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", fonts / "DejaVuSans.ttf");
    testing::writeBytes(folder / "fonts.conf",
                        "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig><dir>" +
                            fonts.string() + "</dir><cachedir>" + (folder / "cache") + "</cachedir></fontconfig>\n");
    std::string why;
    m_private = testing::BrowserSession::start(GetParam(), why, false, {{"FONTCONFIG_FILE", folder / "fonts.conf"}});
    session = m_private.get();
    if (session != nullptr) return;
    if (allowMissingEngines) GTEST_SKIP() << engineName() << " is missing: " << why;
    FAIL() << engineName() << " is missing or cannot start: " << why;
  }
  void TearDown() override { m_private.reset(); }

  std::unique_ptr<testing::BrowserSession> m_private;
};
IN_EVERY_ENGINE(WebFonts);

TEST_P(WebFonts, TheSubsetDrawsAsTheWholeFontAndOtherCharactersFallBack) {
  const fs::path site = folder.path() / "site";
  fs::create_directories(site);
  const std::string page = "<!DOCTYPE html><meta charset=\"UTF-8\"><style>p { font-size: 48px; margin: 8px }</style>";
  testing::writeBytes(site / "index.html", page + "<p>Hello</p>");
  StyleDocument doc;
  doc.output.modern = 1;
  doc.output.format = Choice::Second;
  doc.output.cssFolder = site.string() + "/";
  doc.output.makeLinkPage = Choice::Second;
  doc.slots[kSlotP].enabled = 1;
  doc.fonts.slots[kSlotP].file = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
  doc.fonts.sets = "";
  const fonts::EmbedResult made = fonts::embedWebFonts(doc, doc.output.cssFolder);
  ASSERT_TRUE(made.ok()) << made.refusal.value_or("cancelled");
  testing::FakePlatform platform;
  makeWithWebFonts(platform, doc, doc.output.cssFolder, made.faces);
  ASSERT_TRUE(fs::exists(site / made.faces[0].fileName));
  fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", site / "whole.ttf");

  // "Hello" is in the subset; "WAVY" is not (the pages hold no W, A, V or Y).
  for (const std::string text : {"Hello", "WAVY"}) {
    const std::string p = "<p id=\"t\">" + text + "</p>";
    testing::writeBytes(site / "embedded.html", page + "<link rel=\"stylesheet\" href=\"style.css\">" + p);
    testing::writeBytes(site / "whole.html", page +
                                                 "<style>@font-face { font-family: Whole; src: url(whole.ttf) }"
                                                 " p { font-family: Whole }</style>" +
                                                 p);
    testing::writeBytes(site / "fallback.html", page + "<style>p { font-family: serif }</style>" + p);
    const Picture whole = picture(site / "whole.html");
    const Picture fallback = picture(site / "fallback.html");
    const Picture embedded = picture(site / "embedded.html");
    keep("web-font-" + text);
    const Box area = box("#t");
    ASSERT_GT(drawn(embedded, area), 100) << text;
    ASSERT_GT(differing(whole, fallback, area), 100) << text << ": the fallback is not another font";
    if (text == "Hello") {
      EXPECT_EQ(differing(embedded, whole, area), 0) << text;
      EXPECT_GT(differing(embedded, fallback, area), 100) << text;
    } else {
      EXPECT_EQ(differing(embedded, fallback, area), 0) << text;
      EXPECT_GT(differing(embedded, whole, area), 100) << text;
    }
  }
}

}  // namespace
}  // namespace quillane

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int k = 1; k < argc; ++k)
    if (std::string_view(argv[k]) == "--allow-missing-engines") quillane::allowMissingEngines = true;
  ::testing::AddGlobalTestEnvironment(new quillane::Sessions);
  return RUN_ALL_TESTS();
}
