#include "generation/value_checks.h"

#include <array>
#include <vector>

#include "document/control_captions.h"
#include "document/message_text.h"

namespace quillane {

namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
bool isNameCharacter(char c) {
  return !isAscii(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

std::string one(char c) { return std::string(1, c); }

// Characters no CSS value may hold anywhere: they end a declaration or a
// rule, start an escape, or (in a page) close the style block.
constexpr std::string_view kNeverInCss = ";{}<>\\";

std::optional<std::string> refusedInClassName(std::string_view value) {
  for (char c : value)
    if (!isNameCharacter(c)) return one(c);
  return std::nullopt;
}

// Outside a string a value may not open one, nor a comment; brackets must
// close in the order they opened, or the block they open would swallow the
// rules after it.
//
// An image path is written unquoted in url(...), as the earlier versions
// wrote it, and the paths of Windows users hold "\": "C:\My Documents\a.jpg",
// "C:\Program Files (x86)\b.png". Inside url(...) a "\" escapes the
// character after it; that is harmless unless it is the last one, where it
// would escape the closing ")" and carry the url into the rules after it.
std::optional<std::string> refusedInCssValue(std::string_view value, bool backslashAllowed) {
  std::vector<char> open;
  for (std::size_t k = 0; k < value.size(); ++k) {
    const char c = value[k];
    if (c == '\\' && backslashAllowed && k + 1 < value.size()) continue;
    if (isControl(c) || kNeverInCss.find(c) != std::string_view::npos || c == '"' || c == '\'') return one(c);
    if (c == '/' && k + 1 < value.size() && value[k + 1] == '*') return std::string("/*");
    if (c == '(' || c == '[') {
      open.push_back(c == '(' ? ')' : ']');
    } else if (c == ')' || c == ']') {
      if (open.empty() || open.back() != c) return one(c);
      open.pop_back();
    }
  }
  if (!open.empty()) return one(open.back() == ')' ? '(' : '[');
  return std::nullopt;
}

// The name is written between double quotes. A quote inside it ends the
// string, and the text up to the next quote stands outside one, where it
// must be harmless: "MS \"P\" Gothic" and "A\", \"B" (two names) pass.
std::optional<std::string> refusedInFontName(std::string_view value) {
  bool inString = true;
  for (std::size_t k = 0; k < value.size(); ++k) {
    const char c = value[k];
    if (isControl(c) || kNeverInCss.find(c) != std::string_view::npos) return one(c);
    if (c == '"') {
      inString = !inString;
    } else if (!inString) {
      if (c == '\'' || c == '(' || c == ')' || c == '[' || c == ']') return one(c);
      if (c == '/' && k + 1 < value.size() && value[k + 1] == '*') return std::string("/*");
    }
  }
  if (!inString) return one('"');
  return std::nullopt;
}

std::optional<std::string> refusedInAttribute(std::string_view value) {
  for (char c : value)
    if (isControl(c) || c == '"' || c == '<' || c == '>') return one(c);
  return std::nullopt;
}

// Script that old Internet Explorer runs from a style or a link, in a
// shared file's value: "expression(" (spaces allowed before the bracket) in
// any declaration, and the javascript: and vbscript: schemes in url() or
// href. Letter case does not matter to it, nor here.
std::optional<std::string> refusedScript(std::string_view value) {
  std::string lower(value);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (std::size_t at = 0; (at = lower.find("expression", at)) != std::string::npos;) {
    at += 10;
    const std::size_t bracket = lower.find_first_not_of(" \t", at);
    if (bracket != std::string::npos && lower[bracket] == '(') return std::string("expression(");
  }
  for (std::string_view scheme : {"javascript:", "vbscript:"})
    if (lower.find(scheme) != std::string::npos) return std::string(scheme);
  return std::nullopt;
}

// One value a writer puts somewhere. `family` is its control family; the
// index is the tag slot, the Text3 colour of a slot, the scrollbar colour
// or the class being written.
enum class Scope { Slot, SlotForeColour, SlotBackColour, ScrollbarColour, Class };

struct CheckedValue {
  std::string_view family;
  Scope scope;
  ValueKind kind;
  bool (*written)(const StyleDocument& doc, int index);  // beyond the slot or class being written
};

const TagSlot& slotOf(const StyleDocument& doc, int i) { return doc.slots[static_cast<std::size_t>(i)]; }
const UserClass& classOf(const StyleDocument& doc, int c) { return doc.classes[static_cast<std::size_t>(c)]; }
bool always(const StyleDocument&, int) { return true; }

// In the order the writers write them.
// clang-format off
const std::array kStyleValues = {
  CheckedValue{"Text3",  Scope::ScrollbarColour, ValueKind::CssValue, always},
  CheckedValue{"Text3",  Scope::SlotForeColour,  ValueKind::CssValue, always},
  CheckedValue{"Text3",  Scope::SlotBackColour,  ValueKind::CssValue, always},
  CheckedValue{"Text4",  Scope::Slot, ValueKind::CssValue, always},
  CheckedValue{"Text6",  Scope::Slot, ValueKind::UrlPath,
               [](const StyleDocument& d, int i) { return slotOf(d, i).useImage == Choice::First; }},
  CheckedValue{"Combo1", Scope::Slot, ValueKind::FontName, always},
  CheckedValue{"Text1",  Scope::Slot, ValueKind::CssValue, always},
  CheckedValue{"Combo3", Scope::Slot, ValueKind::CssValue, always},
  CheckedValue{"Combo2", Scope::Slot, ValueKind::CssValue, always},
};

const std::array kClassValues = {
  CheckedValue{"SSTab4", Scope::Class, ValueKind::ClassName, always},
  CheckedValue{"Text13", Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).chromaOn == 1; }},
  CheckedValue{"Text2",  Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).alphaOn == 1; }},
  CheckedValue{"Text21", Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).glowOn == 1; }},
  CheckedValue{"Text23", Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).shadowOn == 1; }},
  CheckedValue{"Text25", Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).specialOn == 1; }},
  CheckedValue{"Text24", Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).specialOn == 1; }},
  CheckedValue{"Text26", Scope::Class, ValueKind::CssValue, [](const StyleDocument& d, int c) { return classOf(d, c).specialOn == 1; }},
};
// clang-format on

const std::string& textOf(const StyleDocument& doc, ControlId id) {
  return *fieldOf(const_cast<StyleDocument&>(doc), id)->text;  // only read here
}

std::optional<ValueError> check(const StyleDocument& doc, ControlId id, ValueKind kind) {
  const std::string& text = textOf(doc, id);
  if (auto refused = refusedPart(kind, text)) return ValueError{id, screenWords(id, doc), std::move(*refused), text};
  return std::nullopt;
}

std::optional<ValueError> checkRows(const StyleDocument& doc, const auto& rows, Scope scope, int index) {
  for (const CheckedValue& row : rows) {
    if (row.scope != scope || !row.written(doc, index)) continue;
    const int controlIndex = scope == Scope::SlotForeColour   ? foreColourIndex(index)
                             : scope == Scope::SlotBackColour ? backColourIndex(index)
                                                              : index;
    if (auto error = check(doc, {row.family, controlIndex}, row.kind)) return error;
  }
  return std::nullopt;
}

std::optional<ValueError> checkClass(const StyleDocument& doc, int c) {
  return checkRows(doc, kClassValues, Scope::Class, c);
}

std::optional<ValueError> checkStyleRules(const StyleDocument& doc) {
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k)
    if (doc.scrollbarCheck(k) == 1)
      if (auto error = checkRows(doc, kStyleValues, Scope::ScrollbarColour, k)) return error;
  for (int i = 0; i < kTagSlotCount; ++i) {
    if (slotOf(doc, i).enabled != 1) continue;
    for (Scope scope : {Scope::SlotForeColour, Scope::SlotBackColour, Scope::Slot})
      if (auto error = checkRows(doc, kStyleValues, scope, i)) return error;
  }
  for (int c = 0; c < kUserClassCount; ++c)
    if (classOf(doc, c).enabled == 1)
      if (auto error = checkClass(doc, c)) return error;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> refusedPart(ValueKind kind, std::string_view value) {
  if (auto script = refusedScript(value)) return script;
  switch (kind) {
    case ValueKind::ClassName:
      return refusedInClassName(value);
    case ValueKind::FontName:
      return refusedInFontName(value);
    case ValueKind::CssValue:
      return refusedInCssValue(value, false);
    case ValueKind::UrlPath:
      return refusedInCssValue(value, true);
    case ValueKind::AttributeText:
      return refusedInAttribute(value);
  }
  return std::nullopt;
}

std::string ValueError::describe() const {
  return where + "には「" + shownText(refused) + "」を使えません（今は「" + shownText(text) + "」）。";
}

std::optional<ValueError> checkValues(const StyleDocument& doc, Output output, int classIndex) {
  switch (output) {
    case Output::StyleRules:
    case Output::EmbeddedPage:
      return checkStyleRules(doc);
    case Output::ClassPreview:
      return checkClass(doc, classIndex);
    case Output::LinkPage:
      return check(doc, {"Text8"}, ValueKind::AttributeText);
  }
  return std::nullopt;
}

}  // namespace quillane
