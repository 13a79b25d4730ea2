// The characters a web font keeps: those of the site's pages, of the form's
// texts, and of named sets the user picks.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillane::fonts {

using CharacterSet = std::set<char32_t>;

// The named sets, with their keys on the command line.
enum class NamedSet {
  Ascii,  // "ascii" 英数字と記号: printable ASCII and the common typographic symbols
  Kana,   // "kana" かな: hiragana, katakana, Japanese punctuation and the full- and half-width forms
  Joyo,   // "joyo" 常用漢字: the 2,136 kanji of the 2010 list (joyo_kanji.inc, made from KANJIDIC)
  Jis1,   // "jis1" JIS第1水準: the 2,965 kanji of JIS X 0208 rows 16 to 47
};

std::optional<NamedSet> namedSetOfKey(std::string_view key);
std::string namedSetCaption(NamedSet set);  // "JIS第1水準"
void addNamedSet(CharacterSet& characters, NamedSet set);

// Adds every character of UTF-8 text except controls (below U+0020, U+007F
// to U+009F) and U+FFFD. Invalid bytes are skipped.
void addText(CharacterSet& characters, std::string_view utf8);

// The text a page shows, as UTF-8: decoded in its declared encoding (a
// byte-order mark, else <meta> charset: UTF-8, Shift_JIS, EUC-JP or
// ISO-2022-JP; else UTF-8 when valid, else Shift_JIS), tags, comments and
// the contents of <script> and <style> left out, character references
// resolved (the numeric ones, and the named ones of common symbols:
// "&copy;" -> "©"). The alt, title, placeholder and value attributes count as text.
std::string pageText(std::string_view bytes);

struct PagesCharacters {
  CharacterSet characters;
  int pages = 0;
  std::vector<std::string> refused;  // one line per page that could not be read
};

// The characters of every .html and .htm file in `folder` and its
// subfolders (links to folders are not followed). A page larger than
// 16 MiB, or one that cannot be read, is listed in `refused` and skipped.
PagesCharacters charactersOfPages(const std::string& folder);

// The characters as CSS writes a unicode-range: consecutive code points
// joined, upper-case hexadecimal without leading zeros.
//   {U+20..U+7E, U+3041..U+3096, U+4E00} -> "U+20-7E, U+3041-3096, U+4E00"
std::string unicodeRangeText(const CharacterSet& characters);

}  // namespace quillane::fonts
