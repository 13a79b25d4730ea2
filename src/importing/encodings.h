// The encodings a browser knows, by the labels of the WHATWG Encoding
// Standard, and the decoding of bytes in them to UTF-8.
//
// Every label of the standard's table names one encoding; "iso-8859-1",
// "latin1" and "ascii" name windows-1252, as in a browser. The single- and
// multi-byte encodings are decoded by glibc's iconv under the name the
// table gives; Shift_JIS by the program's own CP932 converter; UTF-8 and
// UTF-16 here. Bytes an encoding cannot read become U+FFFD, as in a browser.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillane {

enum class Decoder : std::uint8_t { Utf8, Utf16Le, Utf16Be, ShiftJis, Iconv, UserDefined, Replacement };

struct TextEncoding {
  std::string_view name;  // as the standard spells it: "EUC-JP", "windows-1252"
  Decoder decoder = Decoder::Utf8;
  std::string_view iconvName;  // glibc's name, for Decoder::Iconv
};

// The encoding of a label, its ASCII blanks around it trimmed and its
// letters in any case; nothing for a label the standard does not know.
//   " Latin1 " -> windows-1252        "x-sjis" -> Shift_JIS       "cp932" -> nothing
std::optional<TextEncoding> encodingOfLabel(std::string_view label);

// The bytes (without a byte-order mark) as UTF-8. Nothing when the
// encoding cannot be decoded here: the "replacement" encoding, which stands
// for encodings browsers refuse to read, or one iconv does not have.
std::optional<std::string> decodeText(std::string_view bytes, const TextEncoding& encoding);

}  // namespace quillane
