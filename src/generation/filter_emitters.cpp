#include "generation/filter_emitters.h"

#include <cctype>

#include "document/control_captions.h"
#include "document/message_text.h"
#include "generation/declaration_emitters.h"

namespace quillane {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Collects the lines of one rule; the first bad number stops it.
class RuleWriter {
 public:
  RuleWriter(const StyleDocument& doc, int index, std::string& out)
      : m_doc(doc), m_cls(doc.classes[static_cast<std::size_t>(index)]), m_index(index), m_out(out) {}

  RuleWriter& text(std::string_view s) {
    if (!m_error) m_out.append(s);
    return *this;
  }
  // The value of the box `family`(index) as a number.
  RuleWriter& number(std::string_view family, const std::string& value) {
    if (m_error) return *this;
    if (auto formatted = formatFilterNumber(value)) {
      m_out.append(*formatted);
    } else {
      const ControlId control{family, m_index};
      m_error = NumberFieldError{m_index, m_cls.className, control, screenWords(control, m_doc), value};
    }
    return *this;
  }
  RuleWriter& endLine() { return text(kCrLf); }
  std::optional<NumberFieldError> error() const { return m_error; }

 private:
  const StyleDocument& m_doc;
  const UserClass& m_cls;
  int m_index;
  std::string& m_out;
  std::optional<NumberFieldError> m_error;
};

// Chroma: the one colour written with "#".
void Haikeikesu(const UserClass& c, RuleWriter& w) {
  w.text("  Chroma(Color=#").text(c.chromaColor).text(")").endLine();
}

// Alpha: the opacity text as typed.
void Toumei(const UserClass& c, RuleWriter& w) { w.text("  Alpha(opacity=").text(c.opacity).text(")").endLine(); }

void Blur(const UserClass& c, RuleWriter& w) {
  if (c.target == Choice::Neither) return;
  w.text(c.target == Choice::First ? "  Blur(Add = 1, Direction = " : "  Blur(Add = 0, Direction = ")
      .number("Text14", c.blurDirection)
      .text(", Strength = ")
      .number("Text15", c.blurStrength)
      .text(")")
      .endLine();
}

void Wave(const UserClass& c, RuleWriter& w) {
  if (c.waveOverlay == Choice::Neither) return;
  w.text(c.waveOverlay == Choice::First ? "  Wave(Add=1, Freq = " : "  Wave(Add=0, Freq = ")
      .number("Text16", c.waveFreq)
      .text(", LightStrength=")
      .number("Text17", c.waveLight)
      .text(", Phase=")
      .number("Text18", c.wavePhase)
      .text(", Strength=")
      .number("Text19", c.waveStrength)
      .text(")")
      .endLine();
}

// Flips.
void Hanten(const UserClass& c, RuleWriter& w) {
  if (c.flipVertical == 1) w.text("  FlipV").endLine();
  if (c.flipHorizontal == 1) w.text("  FlipH").endLine();
}

void Glow(const UserClass& c, RuleWriter& w) {
  w.text("  Glow(Color=").text(c.glowColor).text(", Strength=").number("Text20", c.glowStrength).text(")").endLine();
}

// Colour tone.
void Sikityou(const UserClass& c, RuleWriter& w) {
  if (c.invert == 1) w.text("  Invert").endLine();
  if (c.xray == 1) w.text("  Xray").endLine();
  if (c.gray == 1) w.text("  Gray").endLine();
}

void Shadow(const UserClass& c, RuleWriter& w) {
  w.text("  Shadow(Color=")
      .text(c.shadowColor)
      .text(", Direction=")
      .number("Text22", c.shadowDirection)
      .text(")")
      .endLine();
}

// The special combination: all three values as typed.
void Spe(const UserClass& c, RuleWriter& w) {
  w.text("  Mask(color=")
      .text(c.specialColor2)
      .text(") Shadow(Color=")
      .text(c.specialColor1)
      .text(", Direction=")
      .text(c.specialStrength)
      .text(") Chroma(color=")
      .text(c.specialColor2)
      .text(")")
      .endLine();
}

}  // namespace

std::string NumberFieldError::describe() const {
  return where + "には数値を入れてください（今は「" + shownText(text) + "」）。";
}

std::optional<std::string> formatFilterNumber(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  for (char c : whole)
    if (!isDigit(c)) return std::nullopt;
  for (char c : fraction)
    if (!isDigit(c)) return std::nullopt;

  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  std::string digits(whole.empty() ? "0" : whole);
  if (!fraction.empty()) digits.append(".").append(fraction);
  if (digits == "0") negative = false;
  return (negative ? "-" : " ") + digits;
}

std::optional<NumberFieldError> Filter(const StyleDocument& doc, int i, std::string& t) {
  const UserClass& c = doc.classes[static_cast<std::size_t>(i)];
  std::string rule;
  RuleWriter w(doc, i, rule);
  w.text(".").text(c.className).text(" {").endLine();
  if (c.target == Choice::First) w.text("  Width=100%;").endLine();
  w.text("  Filter:").endLine();
  if (c.chromaOn == 1) Haikeikesu(c, w);
  if (c.alphaOn == 1) Toumei(c, w);
  if (c.blurOn == 1) Blur(c, w);
  if (c.waveOn == 1) Wave(c, w);
  if (c.flipOn == 1) Hanten(c, w);
  if (c.glowOn == 1) Glow(c, w);
  if (c.toneOn == 1) Sikityou(c, w);
  if (c.shadowOn == 1) Shadow(c, w);
  if (c.specialOn == 1) Spe(c, w);
  w.text("}").endLine();
  if (auto error = w.error()) return error;
  t += rule;
  return std::nullopt;
}

std::optional<NumberFieldError> appendClassRules(const StyleDocument& doc, std::string& t) {
  for (int c = 0; c < kUserClassCount; ++c) {
    if (doc.classes[static_cast<std::size_t>(c)].enabled != 1) continue;
    if (auto error = Filter(doc, c, t)) return error;
  }
  return std::nullopt;
}

}  // namespace quillane
