#include "preview/demo_page.h"

#include <algorithm>
#include <array>

#include "css/css_parser.h"
#include "document/control_captions.h"
#include "document/message_text.h"
#include "generation/engine_support.h"
#include "generation/html_escape.h"
#include "generation/modern_filters.h"
#include "generation/modern_stylesheet.h"
#include "generation/modern_values.h"
#include "generation/output_choice.h"
#include "generation/stylesheet_text.h"
#include "generation/value_checks.h"

namespace quillane {

namespace {

// The state rules and their demonstration classes.
struct StateClass {
  std::string_view state;  // lower case
  std::string_view demoClass;
};
constexpr std::array<StateClass, 3> kStateClasses = {
    {{"a:visited", kDemoLinkClasses[1]}, {"a:active", kDemoLinkClasses[2]}, {"a:hover", kDemoLinkClasses[3]}}};

// The captions of the links, as the tag check boxes name them.
constexpr std::array<std::string_view, 4> kLinkCaptions = {"リンク", "表示したリンク", "選択されたリンク",
                                                           "マウスが上にあるリンク"};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (lowerAscii(a[k]) != lowerAscii(b[k])) return false;
  return true;
}

// "A:HOVER {" -> "A:HOVER, A.q-hover {", and so on indented by `indent`
// blanks; any other line stays as it is.
std::string demoSelectorLine(std::string_view line, std::size_t indent = 0) {
  if (line.size() < indent || line.find_first_not_of(' ') != indent) return std::string(line);
  for (const StateClass& s : kStateClasses) {
    const std::string_view selector = line.substr(indent, s.state.size());
    if (!equalsIgnoringCase(selector, s.state) || line.substr(indent + s.state.size()) != " {") continue;
    std::string out(line.substr(0, indent + selector.size()));
    return out.append(", ").append(1, selector[0]).append(".").append(s.demoClass).append(" {");
  }
  return std::string(line);
}

// The paragraphs, the four links, and the samples of each enabled class.
std::string demoBody(const StyleDocument& doc) {
  std::string b;
  b += "<p>段落の文字です。ライブビューは、今の設定で書き出すスタイルをこのページにあてて表示します。</p>\n";
  b += "<p>設定を変えると、このページもすぐに変わります。リンクは四つの状態を並べて表示します。</p>\n";
  b += "<p>";
  for (std::size_t k = 0; k < kLinkCaptions.size(); ++k) {
    const std::string_view cls = kDemoLinkClasses[k];
    b.append(k == 0 ? "" : "　").append("<a class=\"").append(cls).append("\" href=\"#").append(cls).append("\">");
    b.append(kLinkCaptions[k]).append("</a>");
  }
  b += "</p>\n";
  for (const UserClass& c : doc.classes) {
    if (c.enabled != 1) continue;
    const std::string name = escapeHtmlText(c.className);
    b.append("<div>クラス「").append(name).append("」</div>\n");
    b.append("<p class=\"").append(name).append("\">サンプルです</p>\n");
    // No wider than the page: a phone is narrower than the picture.
    b.append("<div><img class=\"").append(name).append("\" src=\"pal.png\" width=\"350\" height=\"470\" ");
    b.append("style=\"max-width: 100%; height: auto\" alt=\"");
    b.append(name).append("\"></div>\n");
  }
  // The same run of line breaks as the written pages, so that the page scrolls.
  b += "<p>";
  for (int n = 0; n < 54; ++n) b += "<br>";
  b += "</p>\n<p>ページの終わりです。</p>\n";
  return b;
}

// Whether `engine` shows every part of a setting of the engine table.
bool showsAll(Engine engine, std::string_view setting) {
  const EngineSupport* row = engineSupportOf(setting);
  return row == nullptr || row->shown[static_cast<std::size_t>(engine)] == (1U << row->parts) - 1;
}

// "クラス「強調」の「光る」" for each filter that class c has on (that
// `engine` does not show, when one is given).
void appendClassFilterWords(const StyleDocument& doc, int c, std::vector<std::string>& words,
                            std::optional<Engine> engine = std::nullopt) {
  const UserClass& cls = doc.classes[static_cast<std::size_t>(c)];
  const std::pair<std::string_view, CheckState> kFilters[] = {
      {"Check13", cls.alphaOn}, {"Check14", cls.chromaOn}, {"Check15", cls.blurOn},
      {"Check16", cls.waveOn},  {"Check17", cls.flipOn},   {"Check20", cls.glowOn},
      {"Check21", cls.toneOn},  {"Check25", cls.shadowOn}, {"Check26", cls.specialOn}};
  for (const auto& [family, on] : kFilters) {
    const CaptionRow* row = captionRowOf({family, c});
    if (on != 1 || row == nullptr || (engine && showsAll(*engine, family))) continue;
    const std::string_view caption =
        row->caption.size() == 1 ? row->caption[0] : row->caption[static_cast<std::size_t>(c)];
    words.push_back("クラス「" + shownText(cls.className) + "」の「" + std::string(caption) + "」");
  }
}

// The caption of a control that has one caption, quoted.
std::string quotedCaption(ControlId id) {
  const CaptionRow* row = captionRowOf(id);
  return "「" + std::string(row != nullptr && !row->caption.empty() ? row->caption[0] : id.family) + "」";
}

}  // namespace

std::string withDemoLinkClasses(std::string_view css) {
  std::string out;
  out.reserve(css.size() + 64);
  bool inDarkBlock = false;
  while (!css.empty()) {
    const std::size_t end = css.find('\n');
    std::string_view line = css.substr(0, end);
    const std::string_view rest = end == std::string_view::npos ? std::string_view{} : css.substr(end);
    const bool cr = line.ends_with('\r');
    if (cr) line.remove_suffix(1);
    // The dark variant's rules stand in its block, two blanks in.
    if (line == "@media (prefers-color-scheme: dark) {") inDarkBlock = true;
    if (line == "}") inDarkBlock = false;
    out += demoSelectorLine(line, inDarkBlock ? 2 : 0);
    if (cr) out += '\r';
    if (!rest.empty()) out += '\n';
    css = rest.empty() ? rest : rest.substr(1);
  }
  return out;
}

DemoPage buildDemoPage(const StyleDocument& doc) {
  DemoPage page;
  if (const auto refused = checkValues(doc, Output::StyleRules)) {
    page.refusal = refused->describe();
    return page;
  }
  std::string css;
  page.standardsMode = writesModern(doc);
  if (page.standardsMode) {
    if (const auto refused = appendModernStyleRules(doc, css)) {
      page.refusal = refused->describe();
      return page;
    }
  } else if (const auto refused = appendStyleRules(doc, css)) {
    page.refusal = refused->describe();
    return page;
  }
  page.style = withDemoLinkClasses(css);
  page.body = (page.standardsMode ? modernFilterBlock(doc) : std::string()) + demoBody(doc);
  return page;
}

std::string demoPageHtml(const DemoPage& page) {
  std::string html = page.standardsMode ? "<!DOCTYPE html>\n" : "";
  html.reserve(html.size() + page.style.size() + page.body.size() + 256);
  html += "<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n<title>ライブビュー</title>\n";
  for (const std::string_view piece : stylePieces(page.style)) {
    html += "<style>";
    for (std::size_t k = 0; k < piece.size(); ++k) {
      html += piece[k];
      if (piece[k] == '<' && k + 1 < piece.size() && piece[k + 1] == '/') html += '\\';
    }
    html += "</style>\n";
  }
  html.append("</head>\n<body>\n").append(page.body).append("</body>\n</html>\n");
  return html;
}

std::vector<std::string_view> stylePieces(std::string_view css) {
  if (css.empty()) return {};
  const css::StyleSheet sheet = css::parseStyleSheet(css);
  std::vector<std::size_t> cuts;
  for (std::size_t k = 0; k < sheet.rules.size(); ++k) {
    const css::Rule& rule = sheet.rules[k];
    if (rule.kind == css::Rule::Kind::At && css::asciiLower(rule.atName(css)) == "namespace") return {css};
    if (k > 0 && rule.hasBlock) cuts.push_back(rule.whole.begin);
  }
  // Past the most pieces, every `step`th cut.
  const std::size_t step = cuts.size() / kMostStylePieces + 1;
  std::vector<std::string_view> pieces;
  std::size_t begin = 0;
  for (std::size_t k = step - 1; k < cuts.size(); k += step) {
    pieces.push_back(css.substr(begin, cuts[k] - begin));
    begin = cuts[k];
  }
  pieces.push_back(css.substr(begin));
  return pieces;
}

namespace {

// The conditional group rules, whose blocks hold rules.
bool holdsRules(std::string_view atName) {
  static constexpr std::string_view kNames[] = {"media", "supports", "layer", "container", "document", "scope"};
  return std::find(std::begin(kNames), std::end(kNames), atName) != std::end(kNames);
}

}  // namespace

std::string inPreferredScheme(std::string_view css, PreferredScheme scheme) {
  if (css.size() > css::kMaxStyleBytes) return std::string(css);
  const std::string_view preferred = scheme == PreferredScheme::Dark ? "dark" : "light";
  std::vector<std::pair<css::Range, std::string_view>> edits;
  const auto identIs = [&](const css::Token& t, std::string_view name) {
    return t.type == css::TokenType::Ident && css::asciiLower(css::tokenValue(css, t)) == name;
  };
  // The media features of a media query list: the last five tokens that are
  // not blanks (or comments) read "(", "prefers-color-scheme", ":", a scheme, ")".
  const auto queries = [&](css::Range list) {
    css::Tokenizer in(css, nullptr, list.begin);
    std::array<css::Token, 5> last{};
    for (css::Token t = in.next(); t.type != css::TokenType::EndOfFile && t.end <= list.end; t = in.next()) {
      if (t.type == css::TokenType::Whitespace) continue;
      std::rotate(last.begin(), last.begin() + 1, last.end());
      last[4] = t;
      if (last[0].type != css::TokenType::LeftParen || !identIs(last[1], "prefers-color-scheme") ||
          last[2].type != css::TokenType::Colon || last[4].type != css::TokenType::RightParen)
        continue;
      const bool light = identIs(last[3], "light");
      if (light || identIs(last[3], "dark"))
        edits.push_back({{last[0].begin, t.end}, light == (preferred == "light") ? "(grid: 0)" : "(grid: 1)"});
    }
  };
  const auto declarations = [&](const css::Declaration& d) {
    if (css::asciiLower(d.name) != "color-scheme") return;
    bool light = false, dark = false;
    css::Tokenizer in(css, nullptr, d.value.begin);
    for (css::Token t = in.next(); t.type != css::TokenType::EndOfFile && t.end <= d.value.end; t = in.next()) {
      light = light || identIs(t, "light");
      dark = dark || identIs(t, "dark");
    }
    if (light && dark) edits.push_back({d.value, preferred});
  };
  css::walkRules(
      css, {0, css.size()},
      [&](const css::Rule& rule) {
        const std::string name = css::asciiLower(rule.atName(css));
        if (name == "media") queries(rule.prelude);
        return holdsRules(name);
      },
      [&](const css::Rule& rule) {
        if (rule.kind == css::Rule::Kind::Qualified)
          css::walkDeclarations(css, rule.block, declarations, [](css::Range) {});
        else if (css::asciiLower(rule.atName(css)) == "import")
          queries(rule.prelude);
      });
  std::string out;
  out.reserve(css.size());
  std::size_t at = 0;
  for (const auto& [range, text] : edits) {
    out.append(css.substr(at, range.begin - at)).append(text);
    at = range.end;
  }
  return out.append(css.substr(at));
}

std::vector<std::string> ignoredSettings(const StyleDocument& doc) {
  std::vector<std::string> ignored;
  if (writesModern(doc)) return ignored;
  for (int c = 0; c < kUserClassCount; ++c)
    if (doc.classes[static_cast<std::size_t>(c)].enabled == 1) appendClassFilterWords(doc, c, ignored);
  for (CheckState on : doc.scrollbarEnabled) {
    if (on != 1) continue;
    ignored.push_back("「" + std::string(kMainTabCaptions[1]) + "」タブの色");
    break;
  }
  for (int i = 0; i < kTagSlotCount; ++i) {
    const TagSlot& slot = doc.slots[static_cast<std::size_t>(i)];
    if (slot.enabled != 1 || slot.blink != 1) continue;
    ignored.push_back("「" + std::string(kSlotTabCaptions[static_cast<std::size_t>(i)]) + "」の" +
                      quotedCaption({"Check5", i}));
  }
  return ignored;
}

std::vector<std::string> settingsNotShownBy(const StyleDocument& doc, Engine engine) {
  std::vector<std::string> words;
  if (!writesModern(doc)) return words;
  for (int c = 0; c < kUserClassCount; ++c)
    if (doc.classes[static_cast<std::size_t>(c)].enabled == 1) appendClassFilterWords(doc, c, words, engine);
  for (int i = 0; i < kTagSlotCount; ++i) {
    const TagSlot& slot = doc.slots[static_cast<std::size_t>(i)];
    if (slot.enabled == 1 && slot.blink == 1 && !showsAll(engine, "blink"))
      words.push_back("「" + std::string(kSlotTabCaptions[static_cast<std::size_t>(i)]) + "」の" +
                      quotedCaption({"Check5", i}));
  }
  return words;
}

std::string scrollbarColoursShownBy(const StyleDocument& doc, Engine engine) {
  if (!writesModern(doc)) return {};
  const EngineSupport* row = engineSupportOf("scrollbar");
  const unsigned drawn = row->shown[static_cast<std::size_t>(engine)];
  bool lost = false;
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) {
    const bool ticked = doc.scrollbarCheck(k) == 1 && !trimmedBlanks(doc.colours[static_cast<std::size_t>(k)]).empty();
    lost = lost || (ticked && ((drawn >> (k - kFirstScrollbarColour)) & 1U) == 0);
  }
  if (!lost) return {};
  std::string rows;
  int count = 0;
  for (std::size_t k = 0; k < kScrollbarColourNames.size(); ++k) {
    if (((drawn >> k) & 1U) == 0) continue;
    rows.append(count++ == 0 ? "" : "と").append("「").append(kScrollbarColourNames[k]).append("」");
  }
  if (count == 0) return "「" + std::string(kMainTabCaptions[1]) + "」タブの色";
  return "「" + std::string(kMainTabCaptions[1]) + "」タブの色は" + rows + "の " + std::to_string(count) + " 色だけ";
}

std::string ignoredSettingsLine(const StyleDocument& doc) {
  if (writesModern(doc)) {
    std::string line;
    for (int e = 0; e < kEngineCount; ++e) {
      const auto engine = static_cast<Engine>(e);
      const std::string browser = std::string(kEngineBrowsers[static_cast<std::size_t>(e)]) + " では";
      const std::vector<std::string> words = settingsNotShownBy(doc, engine);
      if (!words.empty()) {
        line.append(browser);
        for (std::size_t k = 0; k < words.size(); ++k) line.append(k == 0 ? "" : "、").append(words[k]);
        line.append("を表示しません。");
      }
      const std::string bars = scrollbarColoursShownBy(doc, engine);
      if (bars.ends_with("だけ"))
        line.append(browser).append(bars).append("を表示します。");
      else if (!bars.empty())
        line.append(browser).append(bars).append("を表示しません。");
    }
    return line;
  }
  const std::vector<std::string> ignored = ignoredSettings(doc);
  if (ignored.empty()) return {};
  std::string line = "今のブラウザはこの出力の次の設定を無視します: ";
  for (std::size_t k = 0; k < ignored.size(); ++k) line.append(k == 0 ? "" : "、").append(ignored[k]);
  line.append("。「").append(kMainTabCaptions[3]).append("」タブの").append(quotedCaption({"Check28", kNoIndex}));
  line += "をチェックすると、今のブラウザが表示する形で書き出します。";
  return line;
}

}  // namespace quillane
