#include "fonts/character_set.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "importing/style_source.h"
#include "linking/html_scan.h"
#include "platform/cp932.h"
#include "platform/file_io.h"

namespace quillane::fonts {

namespace {

char lowered(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool startsNoCase(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (lowered(text[at + k]) != word[k]) return false;
  return true;
}

std::size_t findNoCase(std::string_view text, std::string_view word, std::size_t from) {
  for (std::size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1))
    if (startsNoCase(text, at, word)) return at;
  return text.size();
}

// Bytes in `encoding` to UTF-8 through iconv; a byte that does not start a
// character becomes U+FFFD.
std::string iconvLossy(std::string_view bytes, const char* encoding) {
  const iconv_t converter = iconv_open("UTF-8", encoding);
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  std::string buffer(4096, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* to = buffer.data();
    std::size_t toLeft = buffer.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &to, &toLeft);
    out.append(buffer.data(), buffer.size() - toLeft);
    if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    out += "\xEF\xBF\xBD";
    ++in;
    --inLeft;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(converter);
  return out;
}

std::string decodedPage(std::string_view bytes) {
  const bool marked =
      bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE");
  if (!marked) {
    const std::string label = prescanCharset(bytes);
    if (label == "euc-jp" || label == "x-euc-jp" || label == "cseucpkdfmtjapanese") return iconvLossy(bytes, "EUC-JP");
    if (label == "iso-2022-jp" || label == "csiso2022jp") return iconvLossy(bytes, "ISO-2022-JP");
  }
  return readStyleSource(bytes, true).decoded;
}

bool isTagStart(std::string_view text, std::size_t at) {
  if (at + 1 >= text.size()) return false;
  const char next = text[at + 1];
  return std::isalpha(static_cast<unsigned char>(next)) != 0 || next == '/' || next == '!' || next == '?';
}

// The end of the tag that starts at `at` (one past its '>'), stepping over
// quoted attribute values.
std::size_t tagEnd(std::string_view text, std::size_t at) {
  char quote = 0;
  for (std::size_t k = at + 1; k < text.size(); ++k) {
    const char c = text[k];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return k + 1;
    }
  }
  return text.size();
}

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

// The values of the attributes that browsers show as text.
void appendShownAttributes(std::string_view tag, std::string& out) {
  std::size_t k = 1;
  while (k < tag.size() && tag[k] != ' ' && tag[k] != '\t' && tag[k] != '\r' && tag[k] != '\n' && tag[k] != '>') ++k;
  while (k < tag.size()) {
    while (k < tag.size() && (tag[k] == ' ' || tag[k] == '\t' || tag[k] == '\r' || tag[k] == '\n' || tag[k] == '/'))
      ++k;
    std::string name;
    for (; k < tag.size() && tag[k] != '=' && tag[k] != ' ' && tag[k] != '>' && tag[k] != '\t' && tag[k] != '\r' &&
           tag[k] != '\n' && tag[k] != '/';
         ++k)
      name += lowered(tag[k]);
    if (k >= tag.size() || tag[k] == '>') return;
    if (tag[k] != '=') {
      if (name.empty()) ++k;
      continue;
    }
    ++k;
    std::string_view value;
    if (k < tag.size() && (tag[k] == '"' || tag[k] == '\'')) {
      const std::size_t close = tag.find(tag[k], k + 1);
      const std::size_t end = close == std::string_view::npos ? tag.size() : close;
      value = tag.substr(k + 1, end - k - 1);
      k = end + 1;
    } else {
      const std::size_t start = k;
      while (k < tag.size() && tag[k] != ' ' && tag[k] != '>' && tag[k] != '\t' && tag[k] != '\r' && tag[k] != '\n')
        ++k;
      value = tag.substr(start, k - start);
    }
    if (name == "alt" || name == "title" || name == "placeholder" || name == "value")
      out.append(resolvedText(value)).append(" ");
  }
}

void addRange(CharacterSet& characters, char32_t first, char32_t last) {
  for (char32_t c = first; c <= last; ++c) characters.insert(c);
}

}  // namespace

std::optional<NamedSet> namedSetOfKey(std::string_view key) {
  if (key == "ascii") return NamedSet::Ascii;
  if (key == "kana") return NamedSet::Kana;
  if (key == "jis1") return NamedSet::Jis1;
  return std::nullopt;
}

std::string namedSetCaption(NamedSet set) {
  switch (set) {
    case NamedSet::Ascii:
      return "英数字と記号";
    case NamedSet::Kana:
      return "かな";
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
    case NamedSet::Jis1: {
      // Level 1 is rows 16 to 47 of JIS X 0208 (row 47 ends at cell 51,
      // 腕); in EUC-JP row r, cell c is the bytes 0xA0 + r, 0xA0 + c.
      std::string bytes;
      for (int row = 16; row <= 47; ++row)
        for (int cell = 1; cell <= (row == 47 ? 51 : 94); ++cell) {
          bytes += static_cast<char>(0xA0 + row);
          bytes += static_cast<char>(0xA0 + cell);
        }
      addText(characters, iconvLossy(bytes, "EUC-JP"));
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
  const std::string page = decodedPage(bytes);
  const std::string_view text = page;
  std::string shown;
  std::string run;
  const auto flush = [&] {
    shown += resolvedText(run);
    run.clear();
  };
  for (std::size_t k = 0; k < text.size();) {
    if (text[k] != '<' || !isTagStart(text, k)) {
      run += text[k++];
      continue;
    }
    flush();
    if (text.substr(k).starts_with("<!--")) {
      const std::size_t close = text.find("-->", k + 4);
      k = close == std::string_view::npos ? text.size() : close + 3;
      continue;
    }
    const std::size_t end = tagEnd(text, k);
    appendShownAttributes(text.substr(k, end - k), shown);
    const bool script =
        startsNoCase(text, k, "<script") && end > k + 7 && !std::isalnum(static_cast<unsigned char>(text[k + 7]));
    const bool style =
        startsNoCase(text, k, "<style") && end > k + 6 && !std::isalnum(static_cast<unsigned char>(text[k + 6]));
    k = end;
    if (script) k = findNoCase(text, "</script", k);
    if (style) k = findNoCase(text, "</style", k);
  }
  flush();
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
