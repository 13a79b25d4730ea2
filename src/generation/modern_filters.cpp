#include "generation/modern_filters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

#include "document/message_text.h"
#include "generation/colour_scheme.h"
#include "generation/declaration_emitters.h"

namespace quillane {

namespace {

// How far a shadow falls, and how soft it is: the legacy shadow's own
// default length, which its settings never changed.
constexpr double kShadowLength = 5;
constexpr double kShadowBlur = 2;
// How deep the special effect's inner shadow cuts into the glyphs.
constexpr double kSpecialDepth = 3;
// Copies averaged along a motion blur.
constexpr int kBlurCopies = 8;

std::string px(double value) { return value == 0 ? "0" : cssNumber(value) + "px"; }

// Reads the fields of one class; the first value that does not fit is kept
// as the refusal, and later reads are ignored.
class ClassFields {
 public:
  explicit ClassFields(const UserClass& cls) : m_cls(cls) {}

  std::optional<double> number(std::string_view group, std::string_view field, const std::string& text) {
    if (m_refusal) return std::nullopt;
    const auto value = parseNumber(text);
    if (!value) refuse(group, field, text, kExpectNumber);
    return value;
  }
  std::optional<std::string> colour(std::string_view group, std::string_view field, const std::string& text) {
    if (m_refusal) return std::nullopt;
    auto value = cssColour(text);
    if (!value) refuse(group, field, text, kExpectColour);
    return value;
  }
  const std::optional<ModernRefusal>& refusal() const { return m_refusal; }

 private:
  void refuse(std::string_view group, std::string_view field, const std::string& text, std::string_view expected) {
    m_refusal = ModernRefusal{"クラス「" + shownText(m_cls.className) + "」の「" + std::string(group) + "」",
                              std::string(field), text, std::string(expected)};
  }

  const UserClass& m_cls;
  std::optional<ModernRefusal> m_refusal;
};

std::string svgNumber(double value) { return cssNumber(value); }

// Chroma: a pixel keeps its alpha unless each channel equals the key's.
// Channel c maps to 2c - 2k - 1 (bytes), which is at least 1 above the key
// and at most -1 at it, so after clamping the sum of both sides is 0 only on
// an exact match, whatever the rounding of the filter arithmetic.
SvgFilter chromaFilter(std::string_view colour) {
  const auto rgb = rgbOf(colour.substr(1));
  const auto side = [&](const char* result, int sign) {
    std::string s = "<feComponentTransfer in='SourceGraphic' result='";
    s += result;
    s += "'>";
    const char* channels[] = {"R", "G", "B"};
    for (std::size_t k = 0; k < 3; ++k) {
      const int intercept = sign > 0 ? -(2 * rgb[k] + 1) : 2 * rgb[k] - 1;
      s += "<feFunc" + std::string(channels[k]) + " type='linear' slope='" + std::to_string(sign * 510) +
           "' intercept='" + std::to_string(intercept) + "'/>";
    }
    return s + "<feFuncA type='linear' slope='0' intercept='1'/></feComponentTransfer>";
  };
  const std::string sumToAlpha = "values='0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 1 0 0'";
  return svgFilter("chroma", side("above", 1) + side("below", -1) + "<feColorMatrix in='above' " + sumToAlpha +
                                 " result='a'/><feColorMatrix in='below' " + sumToAlpha +
                                 " result='b'/>"
                                 "<feComposite in='a' in2='b' operator='arithmetic' k2='1' k3='1' "
                                 "result='kept'/><feComposite in='SourceGraphic' in2='kept' operator='in'/>");
}

// Blur: the average of copies spread `strength` pixels toward the direction,
// smoothed, and for a text class (the legacy "Add = 1") the original on top.
SvgFilter blurFilter(double degrees, double strength, bool overOriginal) {
  const double radians = degrees * std::numbers::pi / 180;
  const double step = strength / (kBlurCopies - 1);
  std::string body;
  for (int k = 0; k < kBlurCopies; ++k) {
    body += "<feOffset in='SourceGraphic' dx='" + svgNumber(k * step * std::sin(radians)) + "' dy='" +
            svgNumber(-k * step * std::cos(radians)) + "' result='c" + std::to_string(k) + "'/>";
  }
  // A tree of pairwise averages: c0..c7 -> c8..c11 -> c12, c13 -> c14.
  for (int k = 0, next = kBlurCopies; next < 2 * kBlurCopies - 1; k += 2, ++next) {
    body += "<feComposite in='c" + std::to_string(k) + "' in2='c" + std::to_string(k + 1) +
            "' operator='arithmetic' k2='0.5' k3='0.5' result='c" + std::to_string(next) + "'/>";
  }
  body += "<feGaussianBlur in='c" + std::to_string(2 * kBlurCopies - 2) + "' stdDeviation='" + svgNumber(step / 2) +
          "' result='trail'/>";
  if (overOriginal) body += "<feMerge><feMergeNode in='trail'/><feMergeNode in='SourceGraphic'/></feMerge>";
  return svgFilter("blur", body, "x='-50%' y='-50%' width='200%' height='200%'");
}

// Wave: smooth noise that varies only down the element shifts each row
// sideways. `frequency` waves per 100 pixels, shifts of about `strength`
// pixels each way (the noise mostly stays within 0.5 ± 0.15 of its range),
// the phase picks the wave's shape, the light strength (0-100) shades it.
SvgFilter waveFilter(double frequency, double strength, double phase, double light, bool overOriginal) {
  std::string body = "<feTurbulence type='fractalNoise' baseFrequency='0 " + svgNumber(std::abs(frequency) / 100) +
                     "' numOctaves='1' seed='" + std::to_string(std::lround(std::abs(phase))) +
                     "' result='noise'/>"
                     "<feColorMatrix in='noise' values='1 0 0 0 0 0 0 0 0 0.5 0 0 0 0 0 0 0 0 0 1' result='map'/>"
                     "<feDisplacementMap in='SourceGraphic' in2='map' scale='" +
                     svgNumber(6 * std::abs(strength)) + "' xChannelSelector='R' yChannelSelector='G' result='waved'/>";
  std::string last = "waved";
  const double shade = std::clamp(light, 0.0, 100.0) / 100;
  if (shade > 0) {
    body += "<feColorMatrix in='noise' values='0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 " + svgNumber(-shade) + " 0 0 0 " +
            svgNumber(shade) + "' result='shade'/><feComposite in='shade' in2='waved' operator='atop' result='lit'/>";
    last = "lit";
  }
  if (overOriginal)
    body += "<feMerge><feMergeNode in='" + last + "'/><feMergeNode in='SourceGraphic'/></feMerge>";
  else if (last != "waved")
    body += "<feMerge><feMergeNode in='" + last + "'/></feMerge>";
  return svgFilter("wave", body, "x='-10%' width='120%'");
}

// Special: the glyphs become hollow and only a colour-1 shadow of their
// outside, cast into them along the direction, is left (the legacy mask,
// shadow and chroma in a row, whose colour 2 the chroma removes again).
SvgFilter specialFilter(std::string_view colour1, double degrees) {
  const Offset o = offsetToward(degrees, kSpecialDepth);
  return svgFilter("special",
                   "<feComponentTransfer in='SourceAlpha' result='outside'><feFuncA type='table' "
                   "tableValues='1 0'/></feComponentTransfer><feOffset in='outside' dx='" +
                       svgNumber(o.x) + "' dy='" + svgNumber(o.y) + "' result='cast'/><feFlood flood-color='" +
                       std::string(colour1) +
                       "'/><feComposite in2='cast' operator='in' result='shadow'/>"
                       "<feComposite in='shadow' in2='SourceAlpha' operator='in'/>");
}

// A class name must be one class in a class attribute, so it cannot be
// empty or hold a blank or a control character.
bool isUsableClassName(std::string_view name) {
  if (name.empty()) return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F) return false;
  }
  return name.find("\u3000") == std::string_view::npos;
}

}  // namespace

Offset offsetToward(double degrees, double length) {
  const double radians = degrees * std::numbers::pi / 180;
  const auto rounded = [](double v) { return std::round(v * 100) / 100; };
  return {rounded(length * std::sin(radians)), rounded(-length * std::cos(radians))};
}

SvgFilter svgFilter(std::string_view effect, std::string_view filterBody, std::string_view regionAttributes) {
  std::string rest = "' color-interpolation-filters='sRGB'";
  if (!regionAttributes.empty()) rest.append(" ").append(regionAttributes);
  rest.append(">").append(filterBody).append("</filter>");
  // FNV-1a over the effect and the element after its id.
  std::uint32_t hash = 2166136261U;
  for (const std::string_view part : {effect, std::string_view(rest)}) {
    for (const char c : part) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
  }
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(hash));
  SvgFilter filter;
  filter.id = "quillane-" + std::string(effect) + "-" + digits;
  filter.element = "<filter id='" + filter.id + rest;
  return filter;
}

std::string opacityValue(double percent) { return cssNumber(std::clamp(percent, 0.0, 100.0) / 100); }

namespace {

// The rule of class i, appended to `t`, and its SVG filters, appended to
// `filters` once each.
std::optional<ModernRefusal> classRule(const StyleDocument& doc, int i, std::string& t,
                                       std::vector<SvgFilter>& svgFilters) {
  const UserClass& c = doc.classes[static_cast<std::size_t>(i)];
  if (!isUsableClassName(c.className))
    return ModernRefusal{"クラス「" + shownText(c.className) + "」", "名前", c.className, "空白を含まない名前"};
  const bool text = c.target == Choice::First;
  ClassFields f(c);
  std::string opacity;
  std::string transform;
  std::vector<std::string> filters;
  std::vector<std::string> textShadows;
  // Glow and shadow: on the glyphs of a text class, around the picture otherwise.
  const auto castShadow = [&](const std::string& x, const std::string& y, double blur, const std::string& colour) {
    if (text)
      textShadows.push_back(x + " " + y + " " + px(blur) + " " + colour);
    else
      filters.push_back("drop-shadow(" + x + " " + y + " " + px(blur) + " " + colour + ")");
  };

  const auto useSvg = [&](SvgFilter filter) {
    filters.push_back(filter.reference());
    const bool known = std::any_of(svgFilters.begin(), svgFilters.end(),
                                   [&](const SvgFilter& other) { return other.id == filter.id; });
    if (!known) svgFilters.push_back(std::move(filter));
  };

  if (c.chromaOn == 1) {
    if (const auto key = f.colour("特定の色を消す", "消す色", c.chromaColor)) useSvg(chromaFilter(*key));
  }
  if (c.alphaOn == 1) {
    if (const auto value = f.number("半透明にする", "不透明度", c.opacity)) opacity = opacityValue(*value);
  }
  if (c.blurOn == 1 && c.target != Choice::Neither) {
    const auto direction = f.number("ぶれる", "角度", c.blurDirection);
    const auto strength = f.number("ぶれる", "強さ", c.blurStrength);
    if (direction && strength && *strength > 0) useSvg(blurFilter(*direction, *strength, text));
  }
  if (c.waveOn == 1 && c.waveOverlay != Choice::Neither) {
    const auto frequency = f.number("波立たせる", "波の数", c.waveFreq);
    const auto light = f.number("波立たせる", "影の強さ", c.waveLight);
    const auto phase = f.number("波立たせる", "影の形", c.wavePhase);
    const auto strength = f.number("波立たせる", "波の強さ", c.waveStrength);
    if (frequency && light && phase && strength)
      useSvg(waveFilter(*frequency, *strength, *phase, *light, c.waveOverlay == Choice::First));
  }
  if (c.flipOn == 1 && (c.flipVertical == 1 || c.flipHorizontal == 1))
    transform =
        std::string("scale(") + (c.flipHorizontal == 1 ? "-1" : "1") + ", " + (c.flipVertical == 1 ? "-1" : "1") + ")";
  if (c.glowOn == 1) {
    const auto strength = f.number("光る", "強さ", c.glowStrength);
    const auto colour = f.colour("光る", "色", c.glowColor);
    if (strength && colour && *strength > 0) castShadow("0", "0", *strength, *colour);
  }
  if (c.toneOn == 1) {
    if (c.invert == 1) filters.emplace_back("invert(1)");
    if (c.xray == 1) filters.emplace_back("grayscale(1) invert(1)");
    if (c.gray == 1) filters.emplace_back("grayscale(1)");
  }
  if (c.shadowOn == 1) {
    const auto direction = f.number("影を落とす", "方向", c.shadowDirection);
    const auto colour = f.colour("影を落とす", "色", c.shadowColor);
    if (direction && colour) {
      const Offset o = offsetToward(*direction, kShadowLength);
      castShadow(px(o.x), px(o.y), kShadowBlur, *colour);
    }
  }
  if (c.specialOn == 1) {
    const auto colour = f.colour("スペシャル", "色2", c.specialColor1);  // Text25, beside "色2#"
    const auto direction = f.number("スペシャル", "強さ", c.specialStrength);
    if (colour && direction) useSvg(specialFilter(*colour, *direction));
  }
  if (f.refusal()) {
    svgFilters.clear();
    return f.refusal();
  }

  std::string rule;
  const auto declare = [&](std::string_view property, const std::string& value) {
    rule.append("  ").append(property).append(": ").append(value).append(";").append(kCrLf);
  };
  const auto joined = [](const std::vector<std::string>& parts, std::string_view gap) {
    std::string s;
    for (const auto& part : parts) s.append(s.empty() ? "" : gap).append(part);
    return s;
  };
  // An inline element ignores a transform; the legacy "Width=100%" gave the
  // element a box of its own, as inline-block with the full width does.
  if (!transform.empty() && text) {
    declare("display", "inline-block");
    declare("width", "100%");
  }
  if (!opacity.empty()) declare("opacity", opacity);
  if (!filters.empty()) declare("filter", joined(filters, " "));
  if (!transform.empty()) declare("transform", transform);
  if (!textShadows.empty()) declare("text-shadow", joined(textShadows, ", "));
  if (rule.empty()) return std::nullopt;
  t.append(".").append(cssIdentifier(c.className)).append(" {").append(kCrLf).append(rule).append("}").append(kCrLf);
  return std::nullopt;
}

std::string filterBlock(const std::vector<SvgFilter>& filters) {
  if (filters.empty()) return {};
  std::string block(kFilterBlockStart);
  block.append(kCrLf);
  for (const SvgFilter& filter : filters) block.append(filter.element).append(kCrLf);
  return block.append("</svg>").append(kCrLf);
}

}  // namespace

std::optional<ModernRefusal> appendModernClassRule(const StyleDocument& doc, int i, std::string& t) {
  std::vector<SvgFilter> unused;
  return classRule(doc, i, t, unused);
}

std::string modernClassFilterBlock(const StyleDocument& doc, int i) {
  std::string rule;
  std::vector<SvgFilter> filters;
  if (classRule(doc, i, rule, filters)) return {};
  return filterBlock(filters);
}

std::string modernFilterBlock(const StyleDocument& doc) {
  std::string rules;
  std::vector<SvgFilter> filters;
  for (int c = 0; c < kUserClassCount; ++c) {
    if (doc.classes[static_cast<std::size_t>(c)].enabled != 1) continue;
    if (classRule(doc, c, rules, filters)) return {};
  }
  // The dark variant's rules refer to filters of their own colours.
  if (doc.dark.enabled == 1) {
    const StyleDocument dark = withDarkColours(doc);
    for (int c = 0; c < kUserClassCount; ++c) {
      if (dark.classes[static_cast<std::size_t>(c)].enabled != 1) continue;
      if (classRule(dark, c, rules, filters)) return {};
    }
  }
  return filterBlock(filters);
}

std::optional<ModernRefusal> appendModernClassRules(const StyleDocument& doc, std::string& t) {
  for (int c = 0; c < kUserClassCount; ++c) {
    if (doc.classes[static_cast<std::size_t>(c)].enabled != 1) continue;
    if (auto refusal = appendModernClassRule(doc, c, t)) return refusal;
  }
  return std::nullopt;
}

}  // namespace quillane
