#include "persistence/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "document/control_captions.h"
#include "document/message_text.h"
#include "persistence/kept_style_line.h"
#include "persistence/scheme_line.h"
#include "platform/cp932.h"
#include "platform/error_numbers.h"
#include "platform/text_file.h"

namespace quillane {

namespace {

constexpr const char* kCrLf = "\r\n";

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A whole decimal number ("12", " -3 "), or nothing.
std::optional<long> parseInteger(std::string_view s) {
  s = trimmed(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// "True"/"False" in any case, or a number (0 is false).
std::optional<bool> parseOption(std::string_view s) {
  const std::string_view t = trimmed(s);
  if (equalsIgnoringCase(t, "True")) return true;
  if (equalsIgnoringCase(t, "False")) return false;
  if (auto n = parseInteger(t)) return *n != 0;
  return std::nullopt;
}

std::string textForm(const FieldRef& field) {
  switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::ClassName:
      return *field.text;
    case FieldKind::Check:
    case FieldKind::Slider:
      return std::to_string(*field.number);
    case FieldKind::Option:
      return field.optionSelected() ? "True" : "False";
    case FieldKind::Switch:
      return *field.number == 1 ? "True" : "False";
    case FieldKind::Gradient:  // kept on the scheme line, never in a layout
      break;
  }
  return {};
}

// Sets one field from its text form. Returns what was expected when the text
// does not fit; `changed` tells whether the value moved.
std::optional<std::string> setFromText(const FieldRef& field, const std::string& text, bool& changed) {
  changed = false;
  switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::ClassName:
      changed = *field.text != text;
      *field.text = text;
      return std::nullopt;
    case FieldKind::Check: {
      const auto n = parseInteger(text);
      if (!n || *n < 0 || *n > 2) return "チェックの状態（0、1、2のどれか）";
      changed = *field.number != *n;
      *field.number = static_cast<int>(*n);
      return std::nullopt;
    }
    case FieldKind::Slider: {
      const auto n = parseInteger(text);
      if (!n || *n < 0 || *n > 100) return "0から100までの整数";
      changed = *field.number != *n;
      field.owner->moveOpacitySlider(static_cast<int>(*n));
      return std::nullopt;
    }
    case FieldKind::Option: {
      const auto on = parseOption(text);
      if (!on) return "True か False";
      const bool was = field.optionSelected();
      field.setOption(*on);
      changed = was != field.optionSelected();
      return std::nullopt;
    }
    case FieldKind::Switch: {
      // Only the two words; an empty line (a file ending in a blank line) is off.
      const std::string_view t = trimmed(text);
      const bool on = equalsIgnoringCase(t, "True");
      if (!on && !t.empty() && !equalsIgnoringCase(t, "False")) return "True か False";
      changed = *field.number != (on ? 1 : 0);
      *field.number = on ? 1 : 0;
      return std::nullopt;
    }
    case FieldKind::Gradient:
      break;
  }
  return std::nullopt;
}

void splitIntoLines(std::string_view text, std::vector<std::string>& lines) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
}

std::string readProblem(int error) {
  switch (classicErrorNumber(error)) {
    case 76:
      return "ファイルが見つかりません。";
    case kPathAccessError:
      return "ファイルを読めません（アクセスできません）。";
    default:
      return std::string("ファイルを読めません（") + std::strerror(error) + "）。";
  }
}

LoadResult readAndApply(Platform& platform, StyleDocument& doc, const std::string& path, Layout layout) {
  std::string bytes;
  if (const FileResult read = platform.readFile(path, bytes, kMaxSettingsFileBytes); !read.ok())
    return LoadResult{LoadError{0, readProblem(read.error)}, {}};
  return loadSettings(doc, layout, bytes);
}

}  // namespace

std::string LoadError::describe(std::string_view path) const {
  std::string text(path);
  if (line > 0) text += " の " + std::to_string(line) + " 行目";
  return text + ": " + problem;
}

std::string settingsFileText(const StyleDocument& doc, Layout layout, std::string_view author,
                             std::string_view sampleName) {
  std::string text;
  text.reserve(4096);
  if (layout == Layout::Sample) text.append(author).append(kCrLf).append(sampleName).append(kCrLf);
  StyleDocument& readable = const_cast<StyleDocument&>(doc);  // fields are only read here
  for (const ControlId& id : layoutFields(layout)) text.append(textForm(*fieldOf(readable, id))).append(kCrLf);
  const auto& trailing = trailingFields();
  std::size_t written = 0;
  for (std::size_t k = 0; k < trailing.size(); ++k)
    if (*fieldOf(readable, trailing[k])->number == 1) written = k + 1;
  // Kept style text has its line after every switch, and the dark variant
  // and gradients theirs after that one, empty when there is no kept text.
  const std::string scheme = layout == Layout::Version1 ? std::string() : schemeLine(doc);
  if (!doc.keptStyle.empty() || !scheme.empty()) written = trailing.size();
  for (std::size_t k = 0; k < written; ++k) text.append(textForm(*fieldOf(readable, trailing[k]))).append(kCrLf);
  if (!doc.keptStyle.empty()) {
    // Made in place: a line of every byte escaped is megabytes.
    text.reserve(text.size() + keptStyleLineSize(doc.keptStyle) + 2);  // and its CR LF
    appendKeptStyleLine(text, doc.keptStyle);
  }
  if (!doc.keptStyle.empty() || !scheme.empty()) text.append(kCrLf);
  if (!scheme.empty()) text.append(scheme).append(kCrLf);
  return text;
}

namespace {

// The first stored text field for which `bad` holds.
template <typename Predicate>
std::optional<ControlId> firstTextField(const StyleDocument& doc, Predicate bad) {
  StyleDocument& readable = const_cast<StyleDocument&>(doc);  // fields are only read here
  for (const ControlId& id : layoutFields(Layout::Settings)) {
    const FieldRef field = *fieldOf(readable, id);
    if (field.text != nullptr && bad(*field.text)) return id;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ControlId> fieldWithLineBreak(const StyleDocument& doc) {
  return firstTextField(doc, [](const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; });
}

// A line's length is counted in the bytes the file holds, CP932, by the
// reader and the writer alike. No character takes more bytes in CP932 than
// in UTF-8, so a text short enough in UTF-8 needs no conversion.
std::optional<ControlId> fieldTooLongToStore(const StyleDocument& doc) {
  return firstTextField(doc, [](const std::string& text) {
    if (text.size() <= kMaxSettingsLineBytes) return false;
    std::string stored;
    UnencodableCharacter bad;
    return !encodeCp932(text, stored, bad) || stored.size() > kMaxSettingsLineBytes;
  });
}

namespace {

std::string keptStyleTooLong() {
  return "「そのほかのスタイル」が長すぎます（" + std::to_string(kMaxKeptStyleBytes >> 20) + " MiB まで）。";
}

bool fitsOneLine(const std::string& text) {
  std::string stored;
  UnencodableCharacter bad;
  return encodeCp932(text, stored, bad) && stored.size() <= kMaxSettingsLineBytes;
}

}  // namespace

std::optional<std::string> unstorableValue(const StyleDocument& doc) {
  if (const auto id = fieldWithLineBreak(doc)) return screenWords(*id, doc) + "の値に改行が含まれています。";
  if (const auto id = fieldTooLongToStore(doc))
    return screenWords(*id, doc) + "の値が長すぎます（" + std::to_string(kMaxSettingsLineBytes) + " バイトまで）。";
  if (doc.keptStyle.size() > kMaxKeptStyleBytes) return keptStyleTooLong();
  // Every reader that knows the kept style line takes one of 4096 bytes
  // after it, counted in CP932, which holds all the line holds.
  if (const std::string scheme = schemeLine(doc); scheme.size() > kMaxSettingsLineBytes && !fitsOneLine(scheme))
    return "「ダークモード」とグラデーションの値が合わせて長すぎます（" + std::to_string(kMaxSettingsLineBytes) +
           " バイトまで）。";
  return std::nullopt;
}

std::optional<LoadError> readLines(std::string_view bytes, Layout layout, LineTable& lines) {
  lines.clear();
  const int header = headerLines(layout);
  const int most = header + kLineTableSize;
  // The kept style's line may be long; version 1 has none.
  const int keptLine = layout == Layout::Version1 ? 0 : header + keptStyleLineIndex() + 1;
  // One line at a time, so that reading stops at the first line too many or
  // too long, whatever follows it. CR and LF are never part of a CP932
  // character, so the bytes split before they are decoded.
  for (std::size_t start = 0; start < bytes.size();) {
    const int number = static_cast<int>(lines.size()) + 1;
    if (number > most)
      return LoadError{number, "行が多すぎます（" + std::to_string(most) + " 行までしか読めません）。"};
    const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    if (end - start > (number == keptLine ? kMaxKeptStyleLineBytes : kMaxSettingsLineBytes))
      return LoadError{
          number, "行が長すぎます（1 行 " + std::to_string(kMaxSettingsLineBytes) + " バイトまでしか読めません）。"};
    std::string text;
    std::size_t badOffset = 0;
    if (!decodeCp932(bytes.substr(start, end - start), text, badOffset))
      return LoadError{number, "Shift_JIS（CP932）として読めない文字があります。"};
    lines.push_back(std::move(text));
    start = end + 1;
    if (end < bytes.size() && bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }

  const int needed = static_cast<int>(layoutFields(layout).size());
  const int count = static_cast<int>(lines.size()) - header;
  if (count < needed)
    return LoadError{static_cast<int>(lines.size()) + 1, "行が足りません（" + std::to_string(header + needed) +
                                                             " 行必要なところ " + std::to_string(lines.size()) +
                                                             " 行しかありません）。"};
  lines.erase(lines.begin(), lines.begin() + header);
  return std::nullopt;
}

namespace {

// The words that name a refused entry: those of the screen, with the class
// names the file holds where it holds them.
std::string entryWords(const StyleDocument& doc, Layout layout, const LineTable& lines, ControlId id) {
  const auto& fields = layoutFields(layout);
  StyleDocument named = doc;
  for (std::size_t k = 0; k < fields.size(); ++k)
    if (fields[k].family == "SSTab4") named.classes[static_cast<std::size_t>(fields[k].index)].className = lines[k];
  return screenWords(id, named);
}

LoadResult applyLines(StyleDocument& doc, Layout layout, const LineTable& lines) {
  // The fixed lines, then the trailing switches: read where the file holds
  // their lines, otherwise (and always for version 1) turned off.
  std::vector<ControlId> fields = layoutFields(layout);
  const std::size_t fixedCount = fields.size();
  fields.insert(fields.end(), trailingFields().begin(), trailingFields().end());
  LoadResult result;
  StyleDocument staged = doc;
  bool namesSet = false;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    const FieldRef field = *fieldOf(staged, fields[k]);
    const bool inFile = k < lines.size() && (k < fixedCount || layout != Layout::Version1);
    bool changed = false;
    if (auto expected = setFromText(field, inFile ? lines[k] : std::string("False"), changed)) {
      const int line = static_cast<int>(k) + 1;
      result.error = LoadError{line, entryWords(doc, layout, lines, fields[k]) + "には" + *expected +
                                         "が必要です（今は「" + shownText(lines[k]) + "」）。"};
      result.changed.clear();
      return result;
    }
    if (changed) result.changed.push_back(fields[k]);
    namesSet = namesSet || field.kind == FieldKind::ClassName;
  }
  if (namesSet) staged.currentClassTab = kUserClassCount - 1;
  if (layout != Layout::Version1) {
    staged.keptStyle.clear();
    const auto index = static_cast<std::size_t>(keptStyleLineIndex());
    bool bad = false;
    if (index < lines.size()) {
      if (auto kept = keptStyleOfLine(lines[index], bad)) staged.keptStyle = std::move(*kept);
    }
    if (staged.keptStyle.size() > kMaxKeptStyleBytes) {
      result.error = LoadError{static_cast<int>(index) + 1, keptStyleTooLong()};
      result.changed.clear();
      return result;
    }
    if (bad) {
      result.error = LoadError{static_cast<int>(index) + 1,
                               "「そのほかのスタイル」の行が読めません（%XX の並びが UTF-8 になりません）。"};
      result.changed.clear();
      return result;
    }
    const auto scheme = static_cast<std::size_t>(schemeLineIndex());
    if (auto problem = applySchemeLine(scheme < lines.size() ? lines[scheme] : std::string(), staged)) {
      result.error = LoadError{static_cast<int>(scheme) + 1,
                               "「ダークモード」とグラデーションの行が読めません（" + *problem + "）。"};
      result.changed.clear();
      return result;
    }
  }
  doc = std::move(staged);
  return result;
}

}  // namespace

LoadResult DetaDainyu(StyleDocument& doc, const LineTable& lines) { return applyLines(doc, Layout::Settings, lines); }

LoadResult DetaDainyuQL(StyleDocument& doc, const LineTable& lines) { return applyLines(doc, Layout::Version1, lines); }

LoadResult loadSettings(StyleDocument& doc, Layout layout, std::string_view bytes) {
  LineTable lines;
  if (auto error = readLines(bytes, layout, lines)) return LoadResult{std::move(error), {}};
  LoadResult result = layout == Layout::Version1 ? DetaDainyuQL(doc, lines) : DetaDainyu(doc, lines);
  // Refused entries are counted from the top of the file, header included.
  if (result.error && layout == Layout::Sample) result.error->line += kSampleHeaderLines;
  return result;
}

std::optional<std::pair<std::string, std::string>> readSampleHeader(std::string_view bytes) {
  std::string text;
  std::size_t badOffset = 0;
  // Only the first two lines matter; a bad byte further down is the loader's concern.
  bytes = bytes.substr(0, std::min(bytes.size(), kSampleHeaderLines * (kMaxSettingsLineBytes + 2)));
  std::size_t end = 0;
  for (int breaks = 0; end < bytes.size() && breaks < 2; ++end) {
    if (bytes[end] == '\n' || (bytes[end] == '\r' && (end + 1 >= bytes.size() || bytes[end + 1] != '\n'))) ++breaks;
  }
  if (!decodeCp932(bytes.substr(0, end), text, badOffset)) return std::nullopt;
  std::vector<std::string> lines;
  splitIntoLines(text, lines);
  if (lines.size() < 2) return std::nullopt;
  return std::make_pair(lines[0], lines[1]);
}

bool FileSave(Platform& platform, StyleDocument& doc, const std::string& path, bool sample) {
  if (const auto problem = unstorableValue(doc)) {
    platform.messageBox(*problem + "\r\n保存していません。", kInputErrorTitle, MessageIcon::Exclamation);
    return false;
  }
  std::string author;
  std::string name;
  if (sample) {
    author = platform.prompt("あなたの名前を入力してください\r\n省略可、偽名可。今後何かに利用するかもしれないだけです",
                             "作者の名前");
    name = platform.prompt("サンプルの名前\r\nサンプルのメニューに表示される名前です。", "サンプルの名前");
  }
  // Writing walks the class names, which leaves the last class tab selected.
  doc.currentClassTab = kUserClassCount - 1;
  return saveTextFile(platform, path, settingsFileText(doc, sample ? Layout::Sample : Layout::Settings, author, name));
}

LoadResult FileOpen(Platform& platform, StyleDocument& doc, const std::string& path, bool sample) {
  return readAndApply(platform, doc, path, sample ? Layout::Sample : Layout::Settings);
}

LoadResult FileOpenQL(Platform& platform, StyleDocument& doc, const std::string& path) {
  return readAndApply(platform, doc, path, Layout::Version1);
}

}  // namespace quillane
