// What the browser makes of the generated pages: headless Chromium loads
// them, a small probe script reads computed styles through the DOM, and
// --dump-dom hands the result back.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "generation/stylesheet_text.h"
#include "linking/link_rewrite.h"
#include "platform/cp932.h"
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

// The page with the probe inserted before its closing body tag.
std::string withProbe(std::string page, const std::string& expressions) {
  std::size_t at = page.rfind("</BODY>");
  if (at == std::string::npos) at = page.rfind("</body>");
  return page.insert(at, probeScript(expressions));
}

class Browser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(kChromium, X_OK) != 0) GTEST_SKIP() << "chromium is not installed: browser tests skipped";
    if (!run("about:blank")) GTEST_SKIP() << "chromium cannot start here: browser tests skipped";
  }

  // Loads the file in headless Chromium; the probe's values, or nothing when
  // Chromium did not run.
  std::optional<std::map<std::string, std::string>> run(const std::string& target) {
    const std::string profile = folder / "profile";
    const std::string url = target.starts_with("/") ? "file://" + target : target;
    const std::string command = std::string("timeout 60 ") + kChromium +
                                " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
                                " --disable-component-update --disable-sync --disable-quic --user-data-dir=" +
                                profile + " --virtual-time-budget=3000 --dump-dom '" + url + "' 2>/dev/null";
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

}  // namespace
}  // namespace quillane
