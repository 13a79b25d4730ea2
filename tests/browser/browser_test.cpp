// What the browser makes of the generated pages: headless Chromium loads
// them, a small probe script reads computed styles through the DOM, and
// --dump-dom hands the result back. Effects that only a picture shows are
// compared pixel by pixel in Chromium's --screenshot.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "generation/modern_pages.h"
#include "generation/modern_stylesheet.h"
#include "generation/output_choice.h"
#include "generation/stylesheet_text.h"
#include "importing/style_import.h"
#include "linking/link_rewrite.h"
#include "platform/cp932.h"
#include "png_pixels.h"
#include "preview/preview_commands.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

constexpr const char* kChromium = "/usr/bin/chromium";

// Writes each probe value as "key=value" lines into <pre id=probe> once the
// page (and its pictures) have loaded.
std::string probeScript(const std::string& expressions) {
  return "<pre id=\"probe\"></pre><script>window.addEventListener('load', function () {"
         "var s = function (q) { return getComputedStyle(document.querySelector(q)); };"
         "var r = {" +
         expressions +
         "}; var t = '';"
         "for (var k in r) t += k + '=' + r[k] + '\\n';"
         "document.getElementById('probe').textContent = t; });</script>";
}

// The page with `markup` inserted before its closing body tag.
std::string withContent(std::string page, const std::string& markup) {
  std::size_t at = page.rfind("</BODY>");
  if (at == std::string::npos) at = page.rfind("</body>");
  return page.insert(at, markup);
}

// The page with the probe inserted before its closing body tag.
std::string withProbe(std::string page, const std::string& expressions) {
  return withContent(std::move(page), probeScript(expressions));
}

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(kChromium, X_OK) != 0) GTEST_SKIP() << "chromium is not installed: browser tests skipped";
    if (!run("about:blank")) GTEST_SKIP() << "chromium cannot start here: browser tests skipped";
  }

  // Loads the file in headless Chromium; the probe's values, or nothing when
  // Chromium did not run.
  std::string chromium(const std::string& target, const std::string& options) {
    const std::string profile = folder / "profile";
    const std::string url = target.starts_with("/") ? "file://" + target : target;
    return std::string("timeout 60 ") + kChromium +
           " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
           " --disable-component-update --disable-sync --disable-quic --user-data-dir=" +
           profile + " --virtual-time-budget=3000 " + options + " '" + url + "' 2>/dev/null";
  }

  std::optional<std::map<std::string, std::string>> run(const std::string& target) {
    const std::string command = chromium(target, "--dump-dom");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
    if (WEXITSTATUS(::pclose(pipe)) != 0 || out.find("<html") == std::string::npos) return std::nullopt;
    std::map<std::string, std::string> values;
    const std::size_t from = out.find("<pre id=\"probe\">");
    if (from == std::string::npos) return values;
    std::istringstream lines(out.substr(from + 16, out.find("</pre>", from) - from - 16));
    for (std::string line; std::getline(lines, line);)
      if (const auto eq = line.find('='); eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    return values;
  }

  // The page as the browser paints it at 1:1 in a window of that size.
  std::optional<testing::Picture> screenshot(const std::string& target, int width, int height) {
    const std::string png = folder / "shot.png";
    fs::remove(png);
    const std::string options =
        "--hide-scrollbars --force-device-scale-factor=1 --window-size=" + std::to_string(width) + "," +
        std::to_string(height) + " --screenshot=" + png;
    if (std::system(chromium(target, options).c_str()) != 0 || !fs::exists(png)) return std::nullopt;
    std::string why;
    auto picture = testing::decodePng(testing::fileBytes(png), why);
    EXPECT_TRUE(picture) << why;
    return picture;
  }

  static std::string cp932(const std::string& utf8) { return testing::cp932(utf8); }

  static StyleDocument styled() {
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

  static constexpr const char* kStyleProbe =
      "pColor: s('p').color, pSize: s('p').fontSize, pWeight: s('p').fontWeight, pStyle: s('p').fontStyle,"
      "aColor: s('a').color, aLine: s('a').textDecorationLine, aCursor: s('a').cursor,"
      "bodyBack: s('body').backgroundColor, bodySize: s('body').fontSize";

  static void expectStyled(const std::map<std::string, std::string>& v) {
    EXPECT_EQ(v.at("pColor"), "rgb(255, 0, 0)");
    EXPECT_EQ(v.at("pSize"), "20px");
    EXPECT_EQ(v.at("pWeight"), "700");
    EXPECT_EQ(v.at("pStyle"), "italic");
    EXPECT_EQ(v.at("aColor"), "rgb(0, 0, 255)");
    EXPECT_EQ(v.at("aLine"), "overline");
    EXPECT_EQ(v.at("aCursor"), "crosshair");
    EXPECT_EQ(v.at("bodyBack"), "rgb(0, 255, 0)");
    EXPECT_EQ(v.at("bodySize"), "12px");  // 9pt
  }

  ScratchFolder folder;
};

TEST_F(Browser, EmbeddedStylePageAppliesTheSettings) {
  const std::string page = folder / "style.html";
  testing::writeBytes(page, cp932(withProbe(buildEmbeddedPage(styled()).text, kStyleProbe)));
  const auto values = run(page);
  ASSERT_TRUE(values);
  expectStyled(*values);
}

TEST_F(Browser, LinkedStyleSheetAppliesTheSettings) {
  const StyleDocument doc = styled();
  testing::writeBytes(folder / "style.css", cp932(buildStyleSheet(doc).text));
  testing::writeBytes(folder / "style.html", cp932(withProbe(buildLinkPage(doc, "style.css"), kStyleProbe)));
  const auto values = run(folder / "style.html");
  ASSERT_TRUE(values);
  expectStyled(*values);
}

TEST_F(Browser, ClassPreviewShowsThePicture) {
  StyleDocument doc;
  doc.classes[1].target = Choice::Second;
  doc.classes[1].className = "photo";
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
  testing::writeBytes(folder / "pre.html",
                      cp932(withProbe(buildClassPreview(doc, 1).text,
                                      "loaded: document.images[0].complete, width: document.images[0].naturalWidth,"
                                      "height: document.images[0].naturalHeight, cls: document.images[0].className")));
  const auto values = run(folder / "pre.html");
  ASSERT_TRUE(values);
  EXPECT_EQ(values->at("loaded"), "true");
  EXPECT_EQ(values->at("width"), "350");
  EXPECT_EQ(values->at("height"), "470");
  EXPECT_EQ(values->at("cls"), "photo");
}

TEST_F(Browser, ARewrittenPagePicksUpTheStyleSheetAndKeepsItsText) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.colours[0] = "123456";
  testing::writeBytes(folder / "site.css", cp932(buildStyleSheet(doc).text));
  const std::string page =
      "<html><head><meta charset=\"utf-8\"><title>t</title></head>\n<body><p>日本語の段落</p></body></html>";
  const std::string rewritten = insertLink(workingText(page, markerComment()), linkLine("site.css"));
  testing::writeBytes(folder / "page.html",
                      withProbe(rewritten, "pColor: s('p').color, text: document.querySelector('p').textContent"));
  const auto values = run(folder / "page.html");
  ASSERT_TRUE(values);
  EXPECT_EQ(values->at("pColor"), "rgb(18, 52, 86)");
  EXPECT_EQ(values->at("text"), "日本語の段落");
}

// --- The modern output ------------------------------------------------------

TEST_F(Browser, ModernPagesApplyTheSameSettingsAsUtf8) {
  StyleDocument doc = styled();
  doc.output.modern = 1;
  doc.slots[kSlotP].fontName = "ＭＳ Ｐ明朝";
  doc.output.htmlTitle = "見本のページ";
  const std::string probe = std::string(kStyleProbe) +
                            ", charset: document.characterSet, mode: document.compatMode, title: document.title,"
                            "pFont: s('p').fontFamily";
  testing::writeBytes(folder / "modern.html", withProbe(buildModernEmbeddedPage(doc).text, probe));
  testing::writeBytes(folder / "modern.css", buildModernStyleSheet(doc).text);
  testing::writeBytes(folder / "linked.html", withProbe(buildModernLinkPage(doc, "modern.css"), probe));
  for (const char* page : {"modern.html", "linked.html"}) {
    const auto values = run(folder / page);
    ASSERT_TRUE(values) << page;
    expectStyled(*values);
    EXPECT_EQ(values->at("charset"), "UTF-8") << page;
    EXPECT_EQ(values->at("mode"), "CSS1Compat") << page;  // standards mode
    EXPECT_EQ(values->at("pFont"), "\"ＭＳ Ｐ明朝\", serif") << page;
  }
  EXPECT_EQ(run(folder / "modern.html")->at("title"), "見本のページ");
}

TEST_F(Browser, TheCharsetRuleKeepsTheFontNameIntactOnAShiftJisPage) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].fontName = "ＭＳ ゴシック";
  testing::writeBytes(folder / "sheet.css", buildModernStyleSheet(doc).text);
  const std::string page =
      "<!DOCTYPE html><html><head><meta charset=\"shift_jis\"><link rel=\"stylesheet\" href=\"sheet.css\"></head>"
      "<body><p>段落</p></body></html>";
  testing::writeBytes(folder / "sjis.html",
                      cp932(withProbe(page, "font: s('p').fontFamily, charset: document.characterSet")));
  const auto values = run(folder / "sjis.html");
  ASSERT_TRUE(values);
  EXPECT_EQ(values->at("charset"), "Shift_JIS");
  EXPECT_EQ(values->at("font"), "\"ＭＳ ゴシック\", sans-serif");
}

TEST_F(Browser, ComputedStylesShowEachModernEffect) {
  StyleDocument doc;
  doc.output.modern = 1;
  doc.scrollbarCheck(12) = doc.scrollbarCheck(17) = 1;
  doc.colours[12] = "FF0000";
  doc.colours[17] = "0000FF";
  doc.slots[kSlotP].enabled = doc.slots[kSlotP].blink = 1;
  const char* names[] = {"fade", "photo", "mirror", "glow", "key"};
  for (int c = 0; c < 5; ++c) {
    doc.classes[static_cast<std::size_t>(c)].enabled = 1;
    doc.classes[static_cast<std::size_t>(c)].className = names[c];
  }
  doc.classes[0].alphaOn = 1;
  doc.classes[0].moveOpacitySlider(35);
  UserClass& photo = doc.classes[1];
  photo.target = Choice::Second;
  photo.toneOn = photo.invert = photo.gray = photo.glowOn = 1;
  photo.glowStrength = "4";
  photo.glowColor = "00FF00";
  doc.classes[2].flipOn = doc.classes[2].flipHorizontal = 1;
  UserClass& glow = doc.classes[3];
  glow.glowOn = glow.shadowOn = 1;
  glow.glowStrength = "6";
  glow.glowColor = "00FF00";
  glow.shadowDirection = "90";
  glow.shadowColor = "0000FF";
  doc.classes[4].chromaOn = doc.classes[4].blurOn = 1;

  const std::string markup =
      "<p class=\"fade\">a</p><img class=\"photo\" src=\"x.png\" alt=\"\"><p class=\"mirror\">b</p>"
      "<p class=\"glow\">c</p><p class=\"key\">d</p>";
  const std::string probe =
      "opacity: s('.fade').opacity, photo: s('.photo').filter, transform: s('.mirror').transform,"
      "display: s('.mirror').display, shadow: s('.glow').textShadow, key: s('.key').filter,"
      "bar: getComputedStyle(document.documentElement).scrollbarColor, blink: s('p').animationName";
  testing::writeBytes(folder / "effects.html",
                      withProbe(withContent(buildModernEmbeddedPage(doc).text, markup), probe));
  const auto values = run(folder / "effects.html");
  ASSERT_TRUE(values);
  const auto& v = *values;
  EXPECT_EQ(v.at("opacity"), "0.35");
  EXPECT_EQ(v.at("photo"), "drop-shadow(rgb(0, 255, 0) 0px 0px 4px) invert(1) grayscale(1)");
  EXPECT_EQ(v.at("transform"), "matrix(-1, 0, 0, 1, 0, 0)");
  EXPECT_EQ(v.at("display"), "inline-block");
  EXPECT_EQ(v.at("shadow"), "rgb(0, 255, 0) 0px 0px 6px, rgb(0, 0, 255) 5px 0px 2px");
  EXPECT_TRUE(v.at("key").starts_with("url(\"data:image/svg+xml,")) << v.at("key");
  EXPECT_NE(v.at("key").find("#chroma\") url(\"data:image/svg+xml,"), std::string::npos);
  EXPECT_EQ(v.at("bar"), "rgb(255, 0, 0) rgb(0, 0, 255)");
  EXPECT_EQ(v.at("blink"), "quillane-blink");
}

// The class preview of an image class, as the browser paints it.
class ModernPicture : public Browser {
 protected:
  void SetUp() override {
    Browser::SetUp();
    if (IsSkipped()) return;
    fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", folder.path() / "pal.png");
    doc.output.modern = 1;
    doc.classes[0].target = Choice::Second;
  }

  std::optional<testing::Picture> paint() {
    testing::writeBytes(folder / "pre.html", buildModernClassPreview(doc, 0).text);
    return screenshot(folder / "pre.html", kWidth, kHeight);
  }

  static constexpr int kWidth = 380;
  static constexpr int kHeight = 500;
  // The picture stands at the body's margin.
  static constexpr int kLeft = 8, kTop = 8, kRight = 8 + 350, kBottom = 8 + 470;
  StyleDocument doc;
};

bool near(const testing::Rgb& a, const testing::Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

TEST_F(ModernPicture, ChromaMakesExactlyThatColourTransparent) {
  const auto plain = paint();
  ASSERT_TRUE(plain);
  ASSERT_EQ(plain->width, kWidth);
  // The colour at the middle of the dark circle, whatever it decoded to.
  const testing::Rgb key = plain->at(kLeft + 175, kTop + 260);
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X%02X%02X", key.r, key.g, key.b);
  doc.classes[0].chromaOn = 1;
  doc.classes[0].chromaColor = hex;
  const auto keyed = paint();
  ASSERT_TRUE(keyed);

  const testing::Rgb white{255, 255, 255};
  int keyPixels = 0, wrong = 0;
  for (int y = kTop; y < kBottom; ++y) {
    for (int x = kLeft; x < kRight; ++x) {
      const bool isKey = plain->at(x, y) == key;
      keyPixels += isKey;
      // The page's white shows through the key colour; every other pixel stays.
      if (!(isKey ? keyed->at(x, y) == white : near(keyed->at(x, y), plain->at(x, y), 1))) ++wrong;
    }
  }
  EXPECT_GT(keyPixels, 5000) << hex;
  EXPECT_EQ(wrong, 0) << hex;
}

TEST_F(ModernPicture, WaveShiftsRowsSideways) {
  const auto plain = paint();
  ASSERT_TRUE(plain);
  UserClass& c = doc.classes[0];
  c.waveOn = 1;
  c.waveOverlay = Choice::Second;
  c.waveLight = "0";
  c.waveStrength = "10";
  const auto waved = paint();
  ASSERT_TRUE(waved);

  // Each row of the picture is the same row moved sideways: find the move
  // that matches it best, away from the picture's edges (no move wins a tie,
  // as a row of one colour matches every move).
  const auto misses = [&](int y, int dx) {
    int n = 0;
    for (int x = kLeft + 50; x < kRight - 50; ++x) n += !near(waved->at(x, y), plain->at(x - dx, y), 3);
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

// Style sheets written by others (documentation themes of the packages on
// this machine, of different authors and eras) and sheets with cascade
// traps: imported, written by the modern output, and applied to one page,
// every element has the same computed style as with the original.
TEST_F(Browser, ImportedSheetsStyleEveryElementAsTheOriginal) {
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
                      "P.note { color: #0f0 !important } p { color: #123456 }\n"
                      "@media screen { p { font-weight: 700 } } p { font-weight: 400; font-style: italic }\n"
                      ".fx { filter: blur(1px) } .fx { opacity: .5 }\n");
  if (sheets.size() < 3) GTEST_SKIP() << "too few style sheets installed here";
  // Every element of the page, every computed property, by name (custom
  // properties are listed in no fixed order).
  const std::string probe =
      "all: (function () { var t = ''; var es = document.querySelectorAll('*');"
      "for (var i = 0; i < es.length; ++i) { if (es[i].id === 'probe' || es[i].tagName === 'SCRIPT') continue;"
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
      testing::writeBytes(folder / "page.html", withProbe(page, probe));
      const auto values = run(folder / "page.html");
      ASSERT_TRUE(values);
      ASSERT_TRUE(values->contains("all"));
      computed[k] = *values;
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

}  // namespace
}  // namespace quillane
