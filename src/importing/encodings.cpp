#include "importing/encodings.h"

#include <iconv.h>

#include <array>
#include <cerrno>

#include "css/css_tokenizer.h"
#include "platform/cp932.h"

namespace quillane {

namespace {

struct EncodingRow {
  TextEncoding encoding;
  std::string_view labels;  // every label of the encoding, separated by one blank
};

// The Encoding Standard's table of labels, with glibc's name for each
// encoding iconv decodes. GBK is read by the gb18030 decoder, as the
// standard says; its Big5 is Big5-HKSCS, its EUC-KR is Windows' 949 and
// its KOI8-U holds the Belarusian letters of KOI8-RU.
// clang-format off
constexpr std::array kEncodingRows = {
  EncodingRow{{"UTF-8", Decoder::Utf8, ""},
              "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"},
  EncodingRow{{"IBM866", Decoder::Iconv, "IBM866"}, "866 cp866 csibm866 ibm866"},
  EncodingRow{{"ISO-8859-2", Decoder::Iconv, "ISO-8859-2"},
              "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
  EncodingRow{{"ISO-8859-3", Decoder::Iconv, "ISO-8859-3"},
              "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
  EncodingRow{{"ISO-8859-4", Decoder::Iconv, "ISO-8859-4"},
              "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
  EncodingRow{{"ISO-8859-5", Decoder::Iconv, "ISO-8859-5"},
              "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 iso_8859-5:1988"},
  EncodingRow{{"ISO-8859-6", Decoder::Iconv, "ISO-8859-6"},
              "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e "
              "iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
  EncodingRow{{"ISO-8859-7", Decoder::Iconv, "ISO-8859-7"},
              "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 iso_8859-7 "
              "iso_8859-7:1987 sun_eu_greek"},
  EncodingRow{{"ISO-8859-8", Decoder::Iconv, "ISO-8859-8"},
              "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 iso_8859-8 "
              "iso_8859-8:1988 visual"},
  EncodingRow{{"ISO-8859-8-I", Decoder::Iconv, "ISO-8859-8"}, "csiso88598i iso-8859-8-i logical"},
  EncodingRow{{"ISO-8859-10", Decoder::Iconv, "ISO-8859-10"},
              "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
  EncodingRow{{"ISO-8859-13", Decoder::Iconv, "ISO-8859-13"}, "iso-8859-13 iso8859-13 iso885913"},
  EncodingRow{{"ISO-8859-14", Decoder::Iconv, "ISO-8859-14"}, "iso-8859-14 iso8859-14 iso885914"},
  EncodingRow{{"ISO-8859-15", Decoder::Iconv, "ISO-8859-15"},
              "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
  EncodingRow{{"ISO-8859-16", Decoder::Iconv, "ISO-8859-16"}, "iso-8859-16"},
  EncodingRow{{"KOI8-R", Decoder::Iconv, "KOI8-R"}, "cskoi8r koi koi8 koi8-r koi8_r"},
  EncodingRow{{"KOI8-U", Decoder::Iconv, "KOI8-RU"}, "koi8-ru koi8-u"},
  EncodingRow{{"macintosh", Decoder::Iconv, "MACINTOSH"}, "csmacintosh mac macintosh x-mac-roman"},
  EncodingRow{{"windows-874", Decoder::Iconv, "WINDOWS-874"},
              "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
  EncodingRow{{"windows-1250", Decoder::Iconv, "CP1250"}, "cp1250 windows-1250 x-cp1250"},
  EncodingRow{{"windows-1251", Decoder::Iconv, "CP1251"}, "cp1251 windows-1251 x-cp1251"},
  EncodingRow{{"windows-1252", Decoder::Iconv, "CP1252"},
              "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 iso88591 "
              "iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
  EncodingRow{{"windows-1253", Decoder::Iconv, "CP1253"}, "cp1253 windows-1253 x-cp1253"},
  EncodingRow{{"windows-1254", Decoder::Iconv, "CP1254"},
              "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 latin5 "
              "windows-1254 x-cp1254"},
  EncodingRow{{"windows-1255", Decoder::Iconv, "CP1255"}, "cp1255 windows-1255 x-cp1255"},
  EncodingRow{{"windows-1256", Decoder::Iconv, "CP1256"}, "cp1256 windows-1256 x-cp1256"},
  EncodingRow{{"windows-1257", Decoder::Iconv, "CP1257"}, "cp1257 windows-1257 x-cp1257"},
  EncodingRow{{"windows-1258", Decoder::Iconv, "CP1258"}, "cp1258 windows-1258 x-cp1258"},
  EncodingRow{{"x-mac-cyrillic", Decoder::Iconv, "MAC-CYRILLIC"}, "x-mac-cyrillic x-mac-ukrainian"},
  EncodingRow{{"GBK", Decoder::Iconv, "GB18030"},
              "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk"},
  EncodingRow{{"gb18030", Decoder::Iconv, "GB18030"}, "gb18030"},
  EncodingRow{{"Big5", Decoder::Iconv, "BIG5-HKSCS"}, "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
  EncodingRow{{"EUC-JP", Decoder::Iconv, "EUC-JP"}, "cseucpkdfmtjapanese euc-jp x-euc-jp"},
  EncodingRow{{"ISO-2022-JP", Decoder::Iconv, "ISO-2022-JP"}, "csiso2022jp iso-2022-jp"},
  EncodingRow{{"Shift_JIS", Decoder::ShiftJis, ""},
              "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis"},
  EncodingRow{{"EUC-KR", Decoder::Iconv, "CP949"},
              "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 ksc_5601 "
              "windows-949"},
  EncodingRow{{"replacement", Decoder::Replacement, ""},
              "csiso2022kr hz-gb-2312 iso-2022-cn iso-2022-cn-ext iso-2022-kr replacement"},
  EncodingRow{{"UTF-16BE", Decoder::Utf16Be, ""}, "unicodefffe utf-16be"},
  EncodingRow{{"UTF-16LE", Decoder::Utf16Le, ""},
              "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"},
  EncodingRow{{"x-user-defined", Decoder::UserDefined, ""}, "x-user-defined"},
};
// clang-format on

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// UTF-8 with each byte that does not belong to a character read as U+FFFD.
std::string utf8Lossy(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  for (std::size_t k = 0; k < bytes.size();) {
    std::size_t n = 1;
    const auto b = static_cast<unsigned char>(bytes[k]);
    if (b >= 0xC2 && b <= 0xDF)
      n = 2;
    else if (b >= 0xE0 && b <= 0xEF)
      n = 3;
    else if (b >= 0xF0 && b <= 0xF4)
      n = 4;
    if (b < 0x80 || (k + n <= bytes.size() && isValidUtf8(bytes.substr(k, n)))) {
      out.append(bytes.substr(k, b < 0x80 ? 1 : n));
      k += b < 0x80 ? 1 : n;
    } else {
      out += kReplacement;
      ++k;
    }
  }
  return out;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  const auto unit = [&](std::size_t k) {
    const auto hi = static_cast<unsigned char>(bytes[bigEndian ? k : k + 1]);
    const auto lo = static_cast<unsigned char>(bytes[bigEndian ? k + 1 : k]);
    return static_cast<char32_t>((hi << 8) | lo);
  };
  for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) {
    char32_t cp = unit(k);
    if (cp >= 0xD800 && cp <= 0xDBFF && k + 3 < bytes.size()) {
      const char32_t low = unit(k + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        k += 2;
      }
    }
    css::appendUtf8(out, cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF) ? char32_t{0xFFFD} : cp);
  }
  if (bytes.size() % 2 != 0) out += kReplacement;
  return out;
}

// Through iconv, a bounded piece at a time; a byte it cannot read becomes
// U+FFFD and reading goes on after it.
std::optional<std::string> iconvToUtf8(std::string_view bytes, const char* from) {
  const iconv_t cd = iconv_open("UTF-8", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char chunk[16384];
  char* in = const_cast<char*>(bytes.data());  // iconv's signature; the bytes are only read
  std::size_t left = bytes.size();
  while (left > 0) {
    char* to = chunk;
    std::size_t room = sizeof chunk;
    const bool failed = iconv(cd, &in, &left, &to, &room) == static_cast<std::size_t>(-1);
    const int error = failed ? errno : 0;
    out.append(chunk, static_cast<std::size_t>(to - chunk));
    if (!failed || error == E2BIG) continue;
    // EILSEQ, or EINVAL for a character cut off by the end of the bytes.
    out += kReplacement;
    ++in;
    --left;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::optional<TextEncoding> encodingOfLabel(std::string_view label) {
  while (!label.empty() && isBlank(label.front())) label.remove_prefix(1);
  while (!label.empty() && isBlank(label.back())) label.remove_suffix(1);
  if (label.empty()) return std::nullopt;
  const std::string lower = css::asciiLower(label);
  for (const EncodingRow& row : kEncodingRows) {
    for (std::string_view labels = row.labels; !labels.empty();) {
      const std::size_t gap = std::min(labels.find(' '), labels.size());
      if (labels.substr(0, gap) == lower) return row.encoding;
      labels.remove_prefix(std::min(gap + 1, labels.size()));
    }
  }
  return std::nullopt;
}

std::optional<std::string> decodeText(std::string_view bytes, const TextEncoding& encoding) {
  switch (encoding.decoder) {
    case Decoder::Utf8:
      return utf8Lossy(bytes);
    case Decoder::Utf16Le:
    case Decoder::Utf16Be:
      return utf16ToUtf8(bytes, encoding.decoder == Decoder::Utf16Be);
    case Decoder::ShiftJis:
      return decodeCp932Lossy(bytes);
    case Decoder::Iconv:
      return iconvToUtf8(bytes, std::string(encoding.iconvName).c_str());
    case Decoder::UserDefined: {
      // ASCII as it is, every other byte to the private-use U+F780..U+F7FF.
      std::string out;
      for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        css::appendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{0xF700} + b);
      }
      return out;
    }
    case Decoder::Replacement:
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace quillane
