#include "fonts/character_set.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "importing/encodings.h"
#include "importing/style_source.h"
#include "linking/html_scan.h"
#include "platform/cp932.h"
#include "platform/file_io.h"

namespace quillane::fonts {

namespace {

char lowered(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// A page as UTF-8, in the encoding a browser would read it in.
std::string decodedPage(std::string_view bytes) { return readStyleSource(bytes, true).decoded; }

// The named character references of symbols that Japanese pages write
// often, beyond the few every reader resolves (decodeHtmlText): a page that
// shows "&copy;" needs "©" in its font.
constexpr std::pair<std::string_view, std::string_view> kSymbolReferences[] = {
    {"copy", "©"},  {"reg", "®"},    {"trade", "™"},  {"yen", "¥"},    {"times", "×"},  {"divide", "÷"},
    {"deg", "°"},   {"plusmn", "±"}, {"middot", "·"}, {"laquo", "«"},  {"raquo", "»"},  {"hellip", "…"},
    {"mdash", "—"}, {"ndash", "–"},  {"lsquo", "‘"},  {"rsquo", "’"},  {"ldquo", "“"},  {"rdquo", "”"},
    {"bull", "•"},  {"larr", "←"},   {"uarr", "↑"},   {"rarr", "→"},   {"darr", "↓"},   {"hearts", "♥"},
    {"euro", "€"},  {"sect", "§"},   {"para", "¶"},   {"dagger", "†"}, {"Dagger", "‡"}, {"permil", "‰"}};

// A text run with its character references resolved.
std::string resolvedText(std::string_view run) {
  std::string symbols;
  for (std::size_t k = 0; k < run.size(); ++k) {
    if (run[k] == '&') {
      const std::size_t semi = run.find(';', k);
      if (semi != std::string_view::npos && semi - k <= 8) {
        const std::string_view name = run.substr(k + 1, semi - k - 1);
        const auto* found = std::find_if(std::begin(kSymbolReferences), std::end(kSymbolReferences),
                                         [&](const auto& entry) { return entry.first == name; });
        if (found != std::end(kSymbolReferences)) {
          symbols += found->second;
          k = semi;
          continue;
        }
      }
    }
    symbols += run[k];
  }
  return decodeHtmlText(symbols);
}

void addRange(CharacterSet& characters, char32_t first, char32_t last) {
  for (char32_t c = first; c <= last; ++c) characters.insert(c);
}

}  // namespace

std::optional<NamedSet> namedSetOfKey(std::string_view key) {
  if (key == "ascii") return NamedSet::Ascii;
  if (key == "kana") return NamedSet::Kana;
  if (key == "joyo") return NamedSet::Joyo;
  if (key == "jis1") return NamedSet::Jis1;
  return std::nullopt;
}

std::string namedSetCaption(NamedSet set) {
  switch (set) {
    case NamedSet::Ascii:
      return "英数字と記号";
    case NamedSet::Kana:
      return "かな";
    case NamedSet::Joyo:
      return "常用漢字";
    case NamedSet::Jis1:
      return "JIS第1水準";
  }
  return {};
}

void addNamedSet(CharacterSet& characters, NamedSet set) {
  switch (set) {
    case NamedSet::Ascii:
      addRange(characters, 0x20, 0x7E);
      // No-break space, ¥ © ® ° ± · × ÷, dashes, quotes, † ‡ • ‥ … ‰ ※ € ™ and the four arrows.
      for (const char32_t c :
           {0xA0,   0xA5,   0xA9,   0xAE,   0xB0,   0xB1,   0xB7,   0xD7,   0xF7,   0x2010, 0x2013, 0x2014, 0x2018,
            0x2019, 0x201C, 0x201D, 0x2020, 0x2021, 0x2022, 0x2025, 0x2026, 0x2030, 0x203B, 0x20AC, 0x2122})
        characters.insert(c);
      addRange(characters, 0x2190, 0x2193);
      return;
    case NamedSet::Kana:
      addRange(characters, 0x3000, 0x303F);  // ideographic space, 、。「」『』【】〜 and the rest
      addRange(characters, 0x3041, 0x3096);  // hiragana
      addRange(characters, 0x3099, 0x309F);  // voiced sound marks, ゝゞ
      addRange(characters, 0x30A0, 0x30FF);  // katakana, ・ and ー
      addRange(characters, 0xFF01, 0xFF60);  // full-width ASCII: ！（）０-９Ａ-Ｚ and the rest
      addRange(characters, 0xFF61, 0xFF9F);  // half-width katakana
      addRange(characters, 0xFFE0, 0xFFE6);  // ￠￡￢￣￤￥￦
      return;
    case NamedSet::Joyo:
      addText(characters,
#include "fonts/joyo_kanji.inc"
      );
      return;
    case NamedSet::Jis1: {
      // Level 1 is rows 16 to 47 of JIS X 0208 (row 47 ends at cell 51,
      // 腕); in EUC-JP row r, cell c is the bytes 0xA0 + r, 0xA0 + c.
      std::string bytes;
      for (int row = 16; row <= 47; ++row)
        for (int cell = 1; cell <= (row == 47 ? 51 : 94); ++cell) {
          bytes += static_cast<char>(0xA0 + row);
          bytes += static_cast<char>(0xA0 + cell);
        }
      addText(characters, decodeText(bytes, *encodingOfLabel("euc-jp")).value_or(""));
      return;
    }
  }
}

void addText(CharacterSet& characters, std::string_view utf8) {
  for (std::size_t k = 0; k < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[k]);
    const std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    if (n == 0 || k + n > utf8.size() || !isValidUtf8(utf8.substr(k, n))) {
      ++k;
      continue;
    }
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    for (std::size_t m = 1; m < n; ++m) c = (c << 6) | (static_cast<unsigned char>(utf8[k + m]) & 0x3F);
    k += n;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFD) continue;
    characters.insert(c);
  }
}

std::string pageText(std::string_view bytes) {
  std::string shown;
  forEachShownText(decodedPage(bytes), [&](std::string_view text, bool attribute) {
    shown += resolvedText(text);
    if (attribute) shown += ' ';
  });
  return shown;
}

PagesCharacters charactersOfPages(const std::string& folder) {
  namespace fs = std::filesystem;
  PagesCharacters result;
  std::vector<fs::path> pages;
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  if (error) {
    result.refused.push_back("フォルダー「" + folder + "」を読めません（" + error.message() + "）。");
    return result;
  }
  for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (error) break;
    std::string extension = it->path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), lowered);
    if ((extension == ".html" || extension == ".htm") && it->is_regular_file(error)) pages.push_back(it->path());
  }
  std::sort(pages.begin(), pages.end());
  for (const fs::path& path : pages) {
    std::string bytes;
    const FileResult read = readWholeFile(path.string(), bytes, kMaxImportBytes + 1);
    if (!read.ok()) {
      result.refused.push_back("「" + path.string() + "」を読めません（" + std::strerror(read.error) + "）。");
      continue;
    }
    if (bytes.size() > kMaxImportBytes) {
      result.refused.push_back("「" + path.string() + "」は大きすぎるため読みません（16 MiB まで）。");
      continue;
    }
    addText(result.characters, pageText(bytes));
    ++result.pages;
  }
  return result;
}

std::string unicodeRangeText(const CharacterSet& characters) {
  std::string out;
  char buffer[32];
  for (auto it = characters.begin(); it != characters.end();) {
    const char32_t first = *it;
    char32_t last = first;
    for (++it; it != characters.end() && *it == last + 1; ++it) last = *it;
    if (!out.empty()) out += ", ";
    if (first == last)
      std::snprintf(buffer, sizeof buffer, "U+%X", static_cast<unsigned>(first));
    else
      std::snprintf(buffer, sizeof buffer, "U+%X-%X", static_cast<unsigned>(first), static_cast<unsigned>(last));
    out += buffer;
  }
  return out;
}

}  // namespace quillane::fonts
