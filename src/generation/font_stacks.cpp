#include "generation/font_stacks.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_set>

#include "generation/modern_values.h"

namespace quillane {

namespace {

// macOS and iOS, then Android and Linux.
constexpr std::string_view kHiraginoGothic = "Hiragino Kaku Gothic ProN";
constexpr std::string_view kHiraginoSans = "Hiragino Sans";
constexpr std::string_view kHiraginoMincho = "Hiragino Mincho ProN";
constexpr std::string_view kNotoSans = "Noto Sans JP";
constexpr std::string_view kNotoSansCjk = "Noto Sans CJK JP";
constexpr std::string_view kNotoSerif = "Noto Serif JP";
constexpr std::string_view kNotoSerifCjk = "Noto Serif CJK JP";

constexpr std::string_view kNotOnMacOrPhones = "Mac、iPhone、Android";
constexpr std::string_view kNotOnPhones = "iPhone、Android";

std::vector<FontStack> buildStacks() {
  const std::vector<std::string_view> gothic = {kHiraginoGothic, kHiraginoSans, kNotoSans, kNotoSansCjk};
  const std::vector<std::string_view> mincho = {kHiraginoMincho, kNotoSerif, kNotoSerifCjk};
  // clang-format off
  return {
    {"ＭＳ ゴシック",     "MS Gothic",     gothic, "sans-serif", kNotOnMacOrPhones},
    {"ＭＳ Ｐゴシック",   "MS PGothic",    gothic, "sans-serif", kNotOnMacOrPhones},
    {"ＭＳ ＵＩ Gothic",  "MS UI Gothic",  gothic, "sans-serif", kNotOnMacOrPhones},
    {"ＭＳ 明朝",         "MS Mincho",     mincho, "serif",      kNotOnMacOrPhones},
    {"ＭＳ Ｐ明朝",       "MS PMincho",    mincho, "serif",      kNotOnMacOrPhones},
    {"メイリオ",          "Meiryo",        gothic, "sans-serif", kNotOnMacOrPhones},
    {"Meiryo UI",         "Meiryo UI",     gothic, "sans-serif", kNotOnMacOrPhones},
    // macOS has the Yu faces under names of its own.
    {"游ゴシック",        "Yu Gothic",     {"YuGothic", kHiraginoGothic, kHiraginoSans, kNotoSans, kNotoSansCjk},
     "sans-serif", kNotOnPhones},
    {"游明朝",            "Yu Mincho",     {"YuMincho", kHiraginoMincho, kNotoSerif, kNotoSerifCjk}, "serif",
     kNotOnPhones},
    // The Latin faces of the samples. Android draws these names in its own
    // faces of the same kind; Linux has metric-compatible ones.
    {"Arial",             "Arial",         {"Liberation Sans"}, "sans-serif", {}},
    {"Helvetica",         "Helvetica",     {"Helvetica Neue", "Arial", "Liberation Sans"}, "sans-serif", {}},
    {"Verdana",           "Verdana",       {"DejaVu Sans"}, "sans-serif", {}},
    {"Georgia",           "Georgia",       {"Noto Serif", "DejaVu Serif"}, "serif", {}},
    {"Comic Sans MS",     "Comic Sans MS", {"Chalkboard SE"}, "cursive", kNotOnPhones},
  };
  // clang-format on
}

// The name as compared: full-width letters, digits and blanks as ASCII,
// ASCII letters in lower case, blanks around it left out.
//   " ＭＳ　Ｐゴシック" -> "ms pゴシック"
std::string keyOf(std::string_view name) {
  std::string key;
  const std::string_view text = trimmedBlanks(name);
  for (std::size_t k = 0; k < text.size(); ++k) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    // U+3000 and U+FF01..U+FF5E: E3 80 80, EF BC 81..EF BC BF, EF BD 80..EF BD 9E.
    if (k + 2 < text.size() && byte(k) == 0xE3 && byte(k + 1) == 0x80 && byte(k + 2) == 0x80) {
      key += ' ';
      k += 2;
      continue;
    }
    if (k + 2 < text.size() && byte(k) == 0xEF && (byte(k + 1) == 0xBC || byte(k + 1) == 0xBD)) {
      const int code = ((byte(k + 1) & 0x03) << 6) | (byte(k + 2) & 0x3F);  // the low bits of U+FF00 + code
      if (code >= 0x01 && code <= 0x5E) {
        key += static_cast<char>(code + 0x20);
        k += 2;
        continue;
      }
    }
    key += text[k];
  }
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

constexpr std::string_view kGenericFamilies[] = {
    "serif",         "sans-serif",   "monospace",  "cursive", "fantasy", "system-ui", "ui-serif",
    "ui-sans-serif", "ui-monospace", "ui-rounded", "math",    "emoji",   "fangsong"};

}  // namespace

const std::vector<FontStack>& fontStacks() {
  static const std::vector<FontStack> stacks = buildStacks();
  return stacks;
}

const FontStack* fontStackOf(std::string_view name) {
  const std::string key = keyOf(name);
  const auto& stacks = fontStacks();
  const auto it = std::find_if(stacks.begin(), stacks.end(), [&](const FontStack& stack) {
    return keyOf(stack.name) == key || keyOf(stack.latinName) == key;
  });
  return it == stacks.end() ? nullptr : &*it;
}

bool isStackFace(std::string_view name) {
  if (fontStackOf(name) != nullptr) return true;
  const std::string key = keyOf(name);
  for (const FontStack& stack : fontStacks())
    for (std::string_view face : stack.faces)
      if (keyOf(face) == key) return true;
  return false;
}

bool isGenericFamily(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return std::find(std::begin(kGenericFamilies), std::end(kGenericFamilies), key) != std::end(kGenericFamilies);
}

std::string_view browserFamilyName(std::string_view listed) {
  const std::size_t open = listed.rfind(" [");
  if (open == std::string_view::npos || open == 0 || !listed.ends_with(']') ||
      listed.find(']', open) != listed.size() - 1)
    return listed;
  return listed.substr(0, open);
}

std::vector<std::string> browserFamilyNames(const std::vector<std::string>& listed) {
  std::vector<std::string> names;
  std::unordered_set<std::string_view> seen;
  for (const std::string& name : listed)
    if (const std::string_view family = browserFamilyName(name); seen.insert(family).second) names.emplace_back(family);
  return names;
}

}  // namespace quillane
