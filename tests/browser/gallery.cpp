// The gallery of effects (docs/gallery.html): every legacy effect of a user
// class, on a text and on a picture, in the modern output's class preview as
// Chromium, Firefox and WebKit draw it, through the browser tests' own
// driver. docs/pictures/make.sh runs it:
//
//   effect_gallery FOLDER
//
// writes FOLDER/gallery.html and its pictures in FOLDER/gallery/.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "generation/html_escape.h"
#include "generation/modern_pages.h"
#include "png_pixels.h"
#include "web_driver.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::Picture;

struct GalleryEffect {
  const char* file;
  const char* caption;  // the effect's box on the エフェクト tab
  const char* settings;
  void (*set)(UserClass&);
  const char* note;  // what the engines show differently, as measured in the pictures; "" when they agree
};

// clang-format off
const GalleryEffect kGallery[] = {
  {"alpha",   "半透明にする",     "不透明度 35",                       [](UserClass& c) { c.alphaOn = 1, c.moveOpacitySlider(35); }, ""},
  {"chroma",  "特定の色を消す",   "消す色 000000",                     [](UserClass& c) { c.chromaOn = 1, c.chromaColor = "000000"; }, ""},
  {"blur",    "ぶれる",           "角度 90、強さ 12",                  [](UserClass& c) { c.blurOn = 1, c.blurDirection = "90", c.blurStrength = "12"; }, ""},
  {"wave",    "波立たせる",       "波の数 5、波の強さ 10、影の強さ 0", [](UserClass& c) { c.waveOn = 1, c.waveOverlay = Choice::Second, c.waveStrength = "10", c.waveLight = "0"; },
   "文字では Chromium と Firefox が 1～2 ピクセルずらすだけで、波はほとんど見えません。WebKit でははっきり波打ちます"},
  {"flip-h",  "反転（左右）",     "左右",                              [](UserClass& c) { c.flipOn = c.flipHorizontal = 1; }, ""},
  {"flip-v",  "反転（上下）",     "上下",                              [](UserClass& c) { c.flipOn = c.flipVertical = 1; }, ""},
  {"glow",    "光る",             "色 00FF00、強さ 6",                 [](UserClass& c) { c.glowOn = 1, c.glowStrength = "6", c.glowColor = "00FF00"; }, ""},
  {"invert",  "色調（反転）",     "反転",                              [](UserClass& c) { c.toneOn = c.invert = 1; }, ""},
  {"xray",    "色調（X線）",      "X線",                               [](UserClass& c) { c.toneOn = c.xray = 1; }, ""},
  {"gray",    "色調（グレー）",   "グレー",                            [](UserClass& c) { c.toneOn = c.gray = 1; }, ""},
  {"shadow",  "影を落とす",       "色 0000FF、方向 135",               [](UserClass& c) { c.shadowOn = 1, c.shadowDirection = "135", c.shadowColor = "0000FF"; }, ""},
  {"special", "スペシャル",       "色2 FF0000、強さ 135",              [](UserClass& c) { c.specialOn = 1, c.specialColor1 = "FF0000", c.specialStrength = "135"; }, ""},
};
// clang-format on

// `picture` inside the box, made `shrink` times smaller (each pixel the
// average of a square).
Picture cropped(const Picture& picture, int x, int y, int width, int height, int shrink) {
  x = std::clamp(x, 0, picture.width);
  y = std::clamp(y, 0, picture.height);
  width = std::clamp(width, 0, picture.width - x) / shrink;
  height = std::clamp(height, 0, picture.height - y) / shrink;
  Picture out{width, height, {}};
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      int r = 0, g = 0, b = 0;
      for (int dy = 0; dy < shrink; ++dy)
        for (int dx = 0; dx < shrink; ++dx) {
          const testing::Rgb& p = picture.at(x + column * shrink + dx, y + row * shrink + dy);
          r += p.r, g += p.g, b += p.b;
        }
      const int n = shrink * shrink;
      out.pixels.push_back(
          {static_cast<std::uint8_t>(r / n), static_cast<std::uint8_t>(g / n), static_cast<std::uint8_t>(b / n)});
    }
  return out;
}

void appendChunk(std::string& png, const char* type, const std::string& data) {
  const auto be32 = [&](std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>((v >> shift) & 0xFF));
  };
  be32(static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  png += body;
  be32(static_cast<std::uint32_t>(
      ::crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// An 8-bit RGB PNG of `picture`.
std::string encodedPng(const Picture& picture) {
  std::string raw;
  for (int y = 0; y < picture.height; ++y) {
    raw.push_back('\0');  // no filter
    for (int x = 0; x < picture.width; ++x) {
      const testing::Rgb& p = picture.at(x, y);
      raw += {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b)};
    }
  }
  uLongf size = ::compressBound(static_cast<uLong>(raw.size()));
  std::string packed(size, '\0');
  ::compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
  packed.resize(size);
  std::string header;
  for (int v : {picture.width, picture.height})
    for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<char>((v >> shift) & 0xFF));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
  std::string png = "\x89PNG\r\n\x1A\n";
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", packed);
  appendChunk(png, "IEND", "");
  return png;
}

void write(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

int run(const fs::path& folder) {
  const fs::path pictures = folder / "gallery";
  fs::create_directories(pictures);
  const fs::path pages = fs::temp_directory_path() / "quillane-gallery";
  fs::create_directories(pages);
  fs::copy_file(fs::path(QUILLANE_INSTALL_FOLDER) / "preview/pal.png", pages / "pal.png",
                fs::copy_options::overwrite_existing);

  std::string rows;
  for (int k = 0; k < kEngineCount; ++k) {
    std::string why;
    const auto engine = static_cast<Engine>(k);
    const std::unique_ptr<testing::BrowserSession> session = testing::BrowserSession::start(engine, why);
    if (!session) {
      std::cerr << "effect_gallery: " << kEngineNames[static_cast<std::size_t>(k)] << ": " << why << "\n";
      return 1;
    }
    for (const GalleryEffect& effect : kGallery)
      for (const bool image : {false, true}) {
        StyleDocument doc;
        doc.output.modern = 1;
        doc.classes[0].target = image ? Choice::Second : Choice::First;
        effect.set(doc.classes[0]);
        const fs::path page = pages / (std::string(effect.file) + (image ? "-image" : "-text") + ".html");
        write(page, buildModernClassPreview(doc, 0).text);
        if (!session->open("file://" + page.string())) return 1;
        // The picture's box, or the box of the first paragraph's text as
        // drawn (a flip moves it to the far side of the paragraph).
        const std::string target = image ? "document.querySelector('img')"
                                         : "(function () { var r = document.createRange();"
                                           "r.selectNodeContents(document.querySelector('p')); return r; })()";
        const auto box = session->evaluate(
            "document.fonts.ready.then(function () { return new Promise(function (done) {"
            "requestAnimationFrame(function () { requestAnimationFrame(function () {"
            "var r = " +
            target +
            ".getBoundingClientRect(); done([r.left, r.top, r.width, r.height].map(Math.round).join(' '));"
            "}); }); }); })");
        const auto png = session->screenshot();
        std::string problem;
        const auto shot = png ? testing::decodePng(*png, problem) : std::nullopt;
        if (!box || !shot) {
          std::cerr << "effect_gallery: " << effect.file << ": " << session->lastError() << problem << "\n";
          return 1;
        }
        int x = 0, y = 0, width = 0, height = 0;
        std::sscanf(box->c_str(), "%d %d %d %d", &x, &y, &width, &height);
        // Room for what the effect draws around the element.
        const int margin = 12;
        const std::string name = std::string(effect.file) + (image ? "-image-" : "-text-") +
                                 std::string(kEngineNames[static_cast<std::size_t>(k)]) + ".png";
        write(pictures / name, encodedPng(cropped(*shot, x - margin, y - margin, width + 2 * margin,
                                                  height + 2 * margin, image ? 3 : 1)));
      }
  }
  for (const GalleryEffect& effect : kGallery) {
    rows += std::string("<tr><th>") + effect.caption + "<br><small>" + effect.settings + "</small>";
    if (*effect.note != '\0') rows += std::string("<br><small>") + effect.note + "</small>";
    rows += "</th>";
    for (const char* target : {"text", "image"})
      for (std::string_view engine : kEngineNames)
        rows += std::string("<td><img src=\"gallery/") + effect.file + "-" + target + "-" + std::string(engine) +
                ".png\" alt=\"" + escapeHtmlText(std::string(effect.caption) + " " + std::string(engine)) + "\"></td>";
    rows += "</tr>\n";
  }
  write(folder / "gallery.html",
        "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n<title>効果の見本 - Quillane</title>\n"
        "<style>body { font-family: sans-serif; } td, th { border: 1px solid #ccc; padding: 4px; vertical-align: "
        "middle; } th small { font-weight: normal; }</style>\n</head>\n<body>\n<h1>効果の見本</h1>\n"
        "<p>「エフェクト」タブの効果を「今のブラウザ向けに書き出す」で書き出し、クラスのプレビューを三つのブラウザー"
        "エンジンで表示したところです（左から文字、画像の順に Chromium、Firefox、WebKit）。ブラウザーのテストが同じ"
        "ページで確かめています。文字を白くする効果（色調の反転と X "
        "線）と、黒い文字で黒を消す「特定の色を消す」は、白い背景の上では何も見えません。</p>\n<table>\n<tr><th></"
        "th><th colspan=\"3\">文字</th><th "
        "colspan=\"3\">画像</th></tr>\n"
        "<tr><th></th><th>Chromium</th><th>Firefox</th><th>WebKit</th><th>Chromium</th><th>Firefox</th>"
        "<th>WebKit</th></tr>\n" +
            rows + "</table>\n</body>\n</html>\n");
  fs::remove_all(pages);
  return 0;
}

}  // namespace
}  // namespace quillane

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: effect_gallery FOLDER\n";
    return 2;
  }
  return quillane::run(argv[1]);
}
