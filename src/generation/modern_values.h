// The value forms of the modern output ("今のブラウザ向けに書き出す"), and
// what it refuses.
//
// The modern generators write each field only in a form that stays inside
// its place: colours as hexadecimal, numbers as numbers, names as CSS
// strings or escaped identifiers. A field that has no such form stops the
// output with a ModernRefusal; nothing is ever written half-way.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// A value the modern output cannot write where it belongs.
struct ModernRefusal {
  std::string place;     // "「段落」", "クラス「efect0」の「光る」", "スクロールバー"
  std::string field;     // the value's caption, "フォントカラー"
  std::string text;      // what the field holds
  std::string expected;  // what would do, "数値"

  // 「段落」の「フォントカラー」には16進数の色（例 FF0000）を入れてください（今は「red」）。
  std::string describe() const;
};

// Generated modern text, or the value that stopped it.
struct ModernText {
  std::string text;
  std::optional<ModernRefusal> refusal;
  bool ok() const { return !refusal; }
};

// The expected-value texts of the refusals.
inline constexpr std::string_view kExpectColour = "16進数の色（例 FF0000）";
inline constexpr std::string_view kExpectNumber = "数値";

// Leading and trailing blanks (spaces, tabs, U+3000) removed.
std::string_view trimmedBlanks(std::string_view text);

// Colour text as CSS writes it, always "#" and hexadecimal digits: 3, 4, 6
// or 8 digits (with or without "#", blanks around them) as typed, a colour
// keyword as its value.
//   "FF8000" -> "#FF8000";  " #f80 " -> "#f80";  "Red" -> "#FF0000";  "transparent" -> "#00000000"
// Nothing for "", "12345", "FF;}", "currentColor".
std::optional<std::string> cssColour(std::string_view text);

// The red, green and blue bytes of colour text that cssColour accepts, with
// or without its "#"; alpha is left out.
//   "FF8000" -> {255, 128, 0}; "f80" -> {255, 136, 0}; "navy" -> {0, 0, 128}
std::array<int, 3> rgbOf(std::string_view text);

// A decimal number as the legacy filters accept it (formatFilterNumber),
// held within ±1,000,000 so that every number written stays finite:
//   " 10 " -> 10, "-2.5" -> -2.5, "007" -> 7, "1" and 400 zeros -> 1000000.
// Nothing for "", "1e3", "abc".
std::optional<double> parseNumber(std::string_view text);

// A number as CSS writes it, to two decimals without trailing zeros:
//   0.5 -> "0.5", 10 -> "10", -0.001 -> "0", 1.23456 -> "1.23"
std::string cssNumber(double value);

// A quoted CSS string that cannot end early or close a style element:
//   メイリオ -> "メイリオ";  a"b\c -> "a\"b\\c";  </style> -> "\3C /style\3E "
std::string cssString(std::string_view text);

// An image path as the address a browser resolves, as a CSS url(). A
// Windows path (a drive letter, or a "\" anywhere) has its "\" turned to
// "/" and "%", "#" and "?" percent-encoded, for they are part of a file's
// name there; a drive path becomes a file: URL, "\\host\share" one with
// that host; anything else (a relative path, an address) is kept as typed.
//   C:\My Documents\背景 画像.jpg -> url("file:///C:/My Documents/背景 画像.jpg")
//   images\bg#1.gif -> url("images/bg%231.gif");  http://x.example/a.gif -> url("http://x.example/a.gif")
std::string cssImageUrl(std::string_view path);

// An escaped CSS identifier (a class selector's name) that matches the
// name exactly: letters, digits, "-", "_" and non-ASCII stay, everything else
// becomes a hexadecimal escape.
//   "efect0" -> "efect0";  "1st" -> "\31 st";  "a.b" -> "a\2E b";  "-2" -> "-\32 "
std::string cssIdentifier(std::string_view name);

// Percent-encoding for a data: URL or a link's address: only what would end
// or change the address is encoded.  "<svg a='#b'>" -> "%3Csvg a='%23b'%3E"
std::string percentEncoded(std::string_view text);

}  // namespace quillane
