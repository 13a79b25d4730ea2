#include "generation/font_face_rule.h"

#include <cstdint>
#include <cstdio>

#include "generation/modern_values.h"

namespace quillane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// 64-bit FNV-1a, folded to 32 bits.
std::uint32_t hashOf(std::string_view bytes) {
  std::uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3u;
  }
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

}  // namespace

std::string fontFileName(std::string_view family, std::string_view woff2) {
  std::string slug;
  for (const char c : family) {
    if (slug.size() >= 40) break;
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      slug += c;
    else if (c >= 'A' && c <= 'Z')
      slug += static_cast<char>(c - 'A' + 'a');
    else if (!slug.empty() && slug.back() != '-')
      slug += '-';
  }
  while (!slug.empty() && slug.back() == '-') slug.pop_back();
  if (slug.empty()) slug = "font";
  char hash[16];
  std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(hashOf(woff2)));
  return "fonts/" + slug + "-" + hash + ".woff2";
}

std::string fontFaceRule(std::string_view family, std::string_view fileName, std::string_view unicodeRange) {
  std::string rule = "@font-face {";
  rule.append(kCrLf);
  rule.append("  font-family: ").append(cssString(family)).append(";").append(kCrLf);
  rule.append("  src: url(").append(cssString(fileName)).append(") format(\"woff2\");").append(kCrLf);
  rule.append("  font-display: swap;").append(kCrLf);
  rule.append("  unicode-range: ").append(unicodeRange).append(";").append(kCrLf);
  rule.append("}").append(kCrLf);
  return rule;
}

}  // namespace quillane
