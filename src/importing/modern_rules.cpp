#include "importing/modern_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "generation/modern_filters.h"
#include "generation/modern_stylesheet.h"
#include "generation/modern_values.h"

namespace quillane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find(kCrLf, at), text.size());
    out.push_back(text.substr(at, end - at));
    at = end + kCrLf.size();
  }
  return out;
}

// The value of "  name: value;" (indented by any number of blanks) among
// the lines of a rule.
std::optional<std::string_view> declared(const std::vector<std::string_view>& rule, std::string_view name) {
  const std::string head = std::string(name) + ": ";
  for (std::string_view line : rule) {
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (line.starts_with(head) && line.ends_with(";")) return line.substr(head.size(), line.size() - head.size() - 1);
  }
  return std::nullopt;
}

// The top-level pieces of a value split at `separator` outside brackets
// and quotes: "a(b c) d" split at ' ' -> "a(b c)", "d".
std::vector<std::string_view> pieces(std::string_view value, char separator) {
  std::vector<std::string_view> out;
  int depth = 0;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t k = 0; k < value.size(); ++k) {
    const char c = value[k];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == separator && depth == 0) {
      if (k > start) out.push_back(value.substr(start, k - start));
      start = k + 1;
    }
  }
  if (start < value.size()) out.push_back(value.substr(start));
  return out;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

double number(std::string_view text) {
  if (text.ends_with("px")) text.remove_suffix(2);
  return std::strtod(std::string(text).c_str(), nullptr);
}

std::string whole(double value) { return std::to_string(std::lround(value)); }

// The direction (0 up, clockwise, in whole degrees) that an offset points to.
std::string directionOf(double x, double y) {
  double degrees = std::atan2(x, -y) * 180 / std::numbers::pi;
  if (degrees < 0) degrees += 360;
  return whole(degrees) == "360" ? "0" : whole(degrees);
}

// The value of attribute `name` in the first element of `svg` that has it,
// at or after `from`.
std::optional<std::string> attribute(std::string_view svg, std::string_view name, std::size_t from = 0) {
  const std::string head = " " + std::string(name) + "='";
  const std::size_t at = svg.find(head, from);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t end = svg.find('\'', at + head.size());
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(svg.substr(at + head.size(), end - at - head.size()));
}

std::string hexOf(int r, int g, int b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (int v : {r, g, b}) {
    v = std::clamp(v, 0, 255);
    out += kDigits[v / 16];
    out += kDigits[v % 16];
  }
  return out;
}

std::string bare(std::string_view colour) { return std::string(colour.starts_with("#") ? colour.substr(1) : colour); }

// One <filter> element of effect `id`: its settings into `c`.
bool readSvgFilter(std::string_view id, std::string_view svg, UserClass& c) {
  if (id == "chroma") {
    std::size_t at = 0;
    int rgb[3] = {0, 0, 0};
    for (int& channel : rgb) {
      const auto intercept = attribute(svg, "intercept", at);
      if (!intercept) return false;
      channel = (-std::atoi(intercept->c_str()) - 1) / 2;
      at = svg.find(" intercept='", at) + 1;
    }
    c.chromaOn = 1;
    c.chromaColor = hexOf(rgb[0], rgb[1], rgb[2]);
    return true;
  }
  if (id == "blur") {
    const std::size_t last = svg.find("result='c7'");
    const std::size_t element = svg.rfind("<feOffset", last);
    if (last == std::string::npos || element == std::string::npos) return false;
    const double dx = std::atof(attribute(svg, "dx", element).value_or("0").c_str());
    const double dy = std::atof(attribute(svg, "dy", element).value_or("0").c_str());
    c.blurOn = 1;
    c.blurStrength = whole(std::hypot(dx, dy));
    c.blurDirection = directionOf(dx, dy);
    c.target = svg.find("<feMerge>") != std::string::npos ? Choice::First : Choice::Second;
    return true;
  }
  if (id == "wave") {
    const auto frequency = attribute(svg, "baseFrequency");
    const auto seed = attribute(svg, "seed");
    const auto scale = attribute(svg, "scale");
    if (!frequency || !seed || !scale || !frequency->starts_with("0 ")) return false;
    c.waveOn = 1;
    c.waveFreq = whole(std::atof(frequency->c_str() + 2) * 100);
    c.wavePhase = *seed;
    c.waveStrength = whole(std::atof(scale->c_str()) / 6);
    c.waveLight = "0";
    if (const std::size_t shade = svg.find("result='shade'"); shade != std::string::npos) {
      const std::size_t element = svg.rfind("<feColorMatrix", shade);
      const auto values = attribute(svg, "values", element);
      if (!values) return false;
      const std::size_t lastGap = values->rfind(' ');
      c.waveLight = whole(std::atof(values->c_str() + lastGap + 1) * 100);
    }
    c.waveOverlay = svg.find("<feMergeNode in='SourceGraphic'/>") != std::string::npos ? Choice::First : Choice::Second;
    return true;
  }
  if (id == "special") {
    const auto flood = attribute(svg, "flood-color");
    const std::size_t offset = svg.find("<feOffset");
    if (!flood || offset == std::string::npos) return false;
    c.specialOn = 1;
    c.specialColor1 = bare(*flood);
    c.specialStrength = directionOf(std::atof(attribute(svg, "dx", offset).value_or("0").c_str()),
                                    std::atof(attribute(svg, "dy", offset).value_or("0").c_str()));
    return true;
  }
  return false;
}

// "x y blur colour" of a text-shadow or a drop-shadow(): a glow when it
// falls nowhere, else a shadow toward its direction.
bool readShadow(std::string_view value, UserClass& c) {
  const std::vector<std::string_view> parts = pieces(value, ' ');
  if (parts.size() != 4) return false;
  const double x = number(parts[0]);
  const double y = number(parts[1]);
  if (x == 0 && y == 0) {
    c.glowOn = 1;
    c.glowStrength = whole(number(parts[2]));
    c.glowColor = bare(parts[3]);
  } else {
    c.shadowOn = 1;
    c.shadowDirection = directionOf(x, y);
    c.shadowColor = bare(parts[3]);
  }
  return true;
}

// The <filter> element of id `id` in `filters`: "<filter id='id' ...>...</filter>".
std::optional<std::string_view> filterElement(std::string_view filters, std::string_view id) {
  const std::string head = "<filter id='" + std::string(id) + "'";
  const std::size_t at = filters.find(head);
  if (at == std::string_view::npos) return std::nullopt;
  static constexpr std::string_view kEnd = "</filter>";
  const std::size_t end = filters.find(kEnd, at);
  if (end == std::string_view::npos) return std::nullopt;
  return filters.substr(at, end + kEnd.size() - at);
}

bool readFilterValue(std::string_view value, std::string_view filters, UserClass& c) {
  const std::vector<std::string_view> calls = pieces(value, ' ');
  for (std::size_t k = 0; k < calls.size(); ++k) {
    const std::string_view call = calls[k];
    if (call == "invert(1)") {
      c.toneOn = c.invert = 1;
    } else if (call == "grayscale(1)" && k + 1 < calls.size() && calls[k + 1] == "invert(1)") {
      c.toneOn = c.xray = 1;
      ++k;
    } else if (call == "grayscale(1)") {
      c.toneOn = c.gray = 1;
    } else if (call.starts_with("drop-shadow(") && call.ends_with(")")) {
      c.target = Choice::Second;
      if (!readShadow(call.substr(12, call.size() - 13), c)) return false;
    } else if (call.starts_with("url(#quillane-") && call.ends_with(")")) {
      // url(#quillane-<effect>-<hash>), the element in the page or the sheet's marked comment.
      const std::string_view id = call.substr(5, call.size() - 6);
      const std::size_t dash = id.rfind('-');
      const auto element = filterElement(filters, id);
      if (dash <= 9 || !element || !readSvgFilter(id.substr(9, dash - 9), *element, c)) return false;
    } else {
      return false;
    }
  }
  return true;
}

std::string rulesOf(const StyleDocument& doc, bool classOnly) {
  std::string out;
  const auto refusal = classOnly ? appendModernClassRule(doc, 0, out) : appendModernStyleRules(doc, out);
  return refusal ? std::string() : out;
}

}  // namespace

bool readModernClassRule(std::string_view rule, const std::string& name, std::string_view filters, UserClass& cls) {
  const std::vector<std::string_view> body = lines(rule);
  UserClass c;
  c.className = c.checkCaption = name;
  c.enabled = 1;
  if (const auto opacity = declared(body, "opacity")) {
    c.alphaOn = 1;
    const double value = std::atof(std::string(*opacity).c_str()) * 100;
    const bool integral = std::abs(value - std::round(value)) < 1e-9;
    if (integral && value >= 0 && value <= 100) c.moveOpacitySlider(static_cast<int>(std::lround(value)));
    c.opacity = integral ? whole(value) : cssNumber(value);
  }
  if (const auto transform = declared(body, "transform")) {
    if (!transform->starts_with("scale(") || !transform->ends_with(")")) return false;
    const auto parts = pieces(transform->substr(6, transform->size() - 7), ',');
    if (parts.size() != 2) return false;
    c.flipOn = 1;
    c.flipHorizontal = trimmed(parts[0]) == "-1" ? 1 : 0;
    c.flipVertical = trimmed(parts[1]) == "-1" ? 1 : 0;
    c.target = declared(body, "display") ? Choice::First : Choice::Second;
  }
  if (const auto shadows = declared(body, "text-shadow")) {
    c.target = Choice::First;
    for (std::string_view shadow : pieces(*shadows, ','))
      if (!readShadow(trimmed(shadow), c)) return false;
  }
  if (const auto filter = declared(body, "filter"))
    if (!readFilterValue(*filter, filters, c)) return false;
  StyleDocument check;
  check.classes[0] = c;
  if (rulesOf(check, true) != std::string(rule) + std::string(kCrLf)) return false;
  cls = c;
  return true;
}

bool readModernScrollbarRules(std::string_view rules, StyleDocument& doc) {
  const std::vector<std::string_view> body = lines(rules);
  const auto colours = declared(body, "scrollbar-color");
  const auto borders = declared(body, "border-color");
  const auto shadows = declared(body, "box-shadow");
  const std::size_t fill = rules.find("fill='%23");
  if (!colours || !borders || !shadows || fill == std::string_view::npos) return false;
  const auto pair = pieces(*colours, ' ');
  const auto edges = pieces(*borders, ' ');
  const auto insets = pieces(*shadows, ',');
  if (pair.size() != 2 || edges.size() != 4 || insets.size() != 2) return false;
  // Each colour is written "#RRGGBB"; a piece without its "#" (or, in a
  // shadow, without the blank before it) is no colour of the output's.
  const auto hex = [](std::string_view piece) -> std::optional<std::string_view> {
    if (!piece.starts_with('#')) return std::nullopt;
    return piece.substr(1);
  };
  const auto lastWord = [](std::string_view text) {
    const std::size_t blank = text.rfind(' ');
    return blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
  };
  const std::size_t arrowEnd = rules.find('\'', fill + 9);
  if (arrowEnd == std::string_view::npos) return false;
  // Rows 11..17: arrow, face, highlight outside, highlight inside, shadow
  // outside, shadow inside, track.
  const std::optional<std::string_view> written[kScrollbarColourCount] = {rules.substr(fill + 9, arrowEnd - fill - 9),
                                                                          hex(pair[0]),
                                                                          hex(edges[0]),
                                                                          hex(lastWord(insets[0])),
                                                                          hex(edges[1]),
                                                                          hex(lastWord(insets[1])),
                                                                          hex(pair[1])};
  std::string_view found[kScrollbarColourCount];
  for (int row = 0; row < kScrollbarColourCount; ++row) {
    if (!written[row]) return false;
    found[row] = *written[row];
  }
  static constexpr std::string_view kPicture[kScrollbarColourCount] = {"000000", "BFBFBF", "CFCFCF", "FFFFFF",
                                                                       "000000", "808080", "EFEFEF"};
  for (bool tickTrack : {true, false}) {
    StyleDocument check;
    for (int row = 0; row < kScrollbarColourCount; ++row) {
      const int k = kFirstScrollbarColour + row;
      const bool tick = row == kScrollbarColourCount - 1 ? tickTrack : found[row] != kPicture[row];
      check.scrollbarCheck(k) = tick ? 1 : 0;
      if (tick) check.colours[static_cast<std::size_t>(k)] = std::string(found[row]);
    }
    if (rulesOf(check, false) != std::string(rules) + std::string(kCrLf)) continue;
    doc.colours = check.colours;
    doc.scrollbarEnabled = check.scrollbarEnabled;
    return true;
  }
  return false;
}

bool isModernBlinkKeyframes(std::string_view rule) {
  return rule == "@keyframes " + std::string(kBlinkAnimation) + " {\r\n  50% {\r\n    opacity: 0;\r\n  }\r\n}";
}

}  // namespace quillane
