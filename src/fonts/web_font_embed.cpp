#include "fonts/web_font_embed.h"

#include <hb.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "css/css_tokenizer.h"
#include "document/control_captions.h"
#include "document/message_text.h"
#include "fonts/font_file.h"
#include "fonts/font_licence.h"
#include "fonts/font_subset.h"
#include "generation/font_face_rule.h"
#include "generation/output_choice.h"

namespace quillane::fonts {

namespace {

std::string quoted(std::string_view text) { return "「" + std::string(text) + "」"; }

std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The tag slots a font file and face are embedded for, in slot order, the
// same font once.
struct ChosenFont {
  std::string file;
  std::string face;
  std::string family;
  std::vector<int> slots;
};

std::vector<ChosenFont> chosenFonts(const StyleDocument& doc) {
  std::vector<ChosenFont> chosen;
  if (!needsWebFonts(doc)) return chosen;
  for (int slot = 0; slot < kTagSlotCount; ++slot) {
    const EmbeddedFont& font = doc.fonts.slots[static_cast<std::size_t>(slot)];
    if (doc.slots[static_cast<std::size_t>(slot)].enabled != 1 || !font.chosen()) continue;
    const auto same = std::find_if(chosen.begin(), chosen.end(), [&](const ChosenFont& c) {
      return c.file == font.file && c.face == font.face && c.family == font.family;
    });
    if (same != chosen.end())
      same->slots.push_back(slot);
    else
      chosen.push_back({font.file, font.face, font.family, {slot}});
  }
  return chosen;
}

std::vector<NamedSet> namedSetsOf(const StyleDocument& doc) {
  std::vector<NamedSet> sets;
  std::string_view list = doc.fonts.sets;
  while (!list.empty()) {
    const std::size_t comma = std::min(list.find(','), list.size());
    // A key of a later version is skipped, as the settings file skips keys.
    if (const auto set = namedSetOfKey(trimmedBlanks(list.substr(0, comma)))) sets.push_back(*set);
    list.remove_prefix(std::min(comma + 1, list.size()));
  }
  return sets;
}

// Where a refusal or advice puts a font: "「基本」タブの「段落（<P>～</P>）」の「フォント名」".
std::string placeOf(const StyleDocument& doc, int slot) { return screenWords({"Combo1", slot}, doc); }

// What to drop when a subset is too large: the largest named set chosen.
std::string whatToDrop(const StyleDocument& doc) {
  const std::vector<NamedSet> sets = namedSetsOf(doc);
  for (const NamedSet set : {NamedSet::Jis1, NamedSet::Joyo, NamedSet::Kana, NamedSet::Ascii})
    if (std::find(sets.begin(), sets.end(), set) != sets.end())
      return "文字の組から「" + namedSetCaption(set) + "」を外すか、上限を上げてください。";
  return "文字の組を選んでいないため、ページの文字だけでこの大きさです。上限を上げてください。";
}

std::string characterList(const CharacterSet& characters, std::size_t most) {
  std::string text;
  std::size_t n = 0;
  for (const char32_t c : characters) {
    if (n++ == most) return text + "…";
    css::appendUtf8(text, c);
  }
  return text;
}

class Steps {
 public:
  Steps(const EmbedProgressFunction& progress, int total) : m_progress(progress), m_total(total) {}

  // False when the user cancels.
  bool next(std::string step) {
    const bool goOn = !m_progress || m_progress({m_done, m_total, std::move(step)});
    ++m_done;
    return goOn;
  }
  void finish() {
    if (m_progress) m_progress({m_total, m_total, {}});
  }

 private:
  const EmbedProgressFunction& m_progress;
  int m_total;
  int m_done = 0;
};

}  // namespace

WantedCharacters wantedCharacters(const StyleDocument& doc, const std::string& outputFolder) {
  WantedCharacters wanted;
  if (!outputFolder.empty()) {
    PagesCharacters pages = charactersOfPages(outputFolder);
    wanted.ofPages = std::move(pages.characters);
    wanted.pages = pages.pages;
    wanted.refused = std::move(pages.refused);
  }
  // The pages the output writes itself: the page with the style in it, or
  // the page that links the style sheet.
  OutputText written;
  if (doc.output.format == Choice::First)
    written = embeddedPageOutput(doc);
  else if (doc.output.format == Choice::Second && doc.output.makeLinkPage == Choice::First)
    written = linkPageOutput(doc, "style.css");
  if (written.ok()) addText(wanted.ofPages, pageText(written.text));
  wanted.all = wanted.ofPages;
  for (const NamedSet set : namedSetsOf(doc)) addNamedSet(wanted.all, set);
  return wanted;
}

EmbedResult embedWebFonts(const StyleDocument& doc, const std::string& outputFolder,
                          const EmbedProgressFunction& progress) {
  EmbedResult result;
  const std::vector<ChosenFont> chosen = chosenFonts(doc);
  if (chosen.empty()) return result;
  Steps steps(progress, 1 + 3 * static_cast<int>(chosen.size()));
  const auto cancelled = [&] {
    result.cancelled = true;
    result.faces.clear();
    return result;
  };
  if (!steps.next("ページの文字を集めています")) return cancelled();
  WantedCharacters wanted = wantedCharacters(doc, outputFolder);
  result.pages = wanted.pages;
  result.pagesRefused = std::move(wanted.refused);
  const std::size_t limit = static_cast<std::size_t>(doc.fonts.limitKilobytes) * 1000;

  for (const ChosenFont& font : chosen) {
    const std::string place = placeOf(doc, font.slots.front());
    const auto refuse = [&](const std::string& why) {
      result.refusal = place + "に埋め込むフォント: " + why + "\r\n何も保存していません。";
      result.faces.clear();
      return result;
    };
    if (!steps.next(quoted(fileNameOf(font.file)) + "を読んでいます")) return cancelled();
    auto file = std::make_unique<FontFile>(openFontFile(font.file));
    std::string why;
    const auto face = chooseFace(*file, font.face, why);
    if (!face) return refuse(why);
    const FontLicence licence = licenceOf(*file, *face);
    if (!mayEmbed(licence.embedding)) return refuse(embeddingMessage(licence.embedding));
    EmbeddedFontReport report;
    report.slots = font.slots;
    report.family = font.family.empty() ? face->family : font.family;
    report.fontFileBytes = file->bytes.size();
    if (licence.embedding == Embedding::PreviewAndPrint) report.licenceNote = embeddingMessage(licence.embedding);

    if (!steps.next(quoted(report.family) + "を切り出しています")) return cancelled();
    FontSubset subset = cutFont(*file, *face, wanted.all);
    file.reset();  // the font file's memory is free before the encoder takes its own
    if (!subset.ok()) return refuse(subset.refused);
    if (!steps.next(quoted(report.family) + "を圧縮しています")) return cancelled();
    compressFont(subset, limit);
    if (subset.woff2Bytes > limit)
      return refuse("WOFF2 にすると " + byteCountText(subset.woff2Bytes) + "になり、上限の " + byteCountText(limit) +
                    "を超えます（" + countText(subset.kept.size()) + " 字）。" + whatToDrop(doc));
    if (!subset.ok()) return refuse(subset.refused);

    report.woff2Bytes = subset.woff2.size();
    report.keptCharacters = subset.kept.size();
    for (const char32_t c : subset.lacking)
      if (wanted.ofPages.contains(c)) report.lackingOfPages.insert(c);
    report.fileName = fontFileName(report.family, subset.woff2);
    const std::string range = unicodeRangeText(subset.kept);
    for (const int slot : font.slots)
      result.faces.push_back({slot, report.family, report.fileName, range, subset.woff2});
    result.fonts.push_back(std::move(report));
  }
  std::sort(result.faces.begin(), result.faces.end(),
            [](const WebFontFace& a, const WebFontFace& b) { return a.slot < b.slot; });
  steps.finish();
  return result;
}

std::vector<Advice> webFontAdvice(const StyleDocument& doc, const std::string& outputFolder) {
  std::vector<Advice> advice;
  const std::vector<ChosenFont> chosen = chosenFonts(doc);
  if (chosen.empty() || outputFolder.empty()) return advice;
  const PagesCharacters pages = charactersOfPages(outputFolder);
  if (pages.pages == 0) return advice;
  for (const ChosenFont& font : chosen) {
    const int slot = font.slots.front();
    std::string text = placeOf(doc, slot) + ": 埋め込むフォント" + quoted(fileNameOf(font.file));
    // The file is mapped: only the pages of its character map are read. A
    // pipe or device is not opened at all (HarfBuzz would wait on a pipe
    // and read /dev/zero for ever).
    struct stat info {};
    const bool regular = ::stat(font.file.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    const std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(
        regular ? hb_blob_create_from_file_or_fail(font.file.c_str()) : nullptr, &hb_blob_destroy);
    if (!blob || hb_face_count(blob.get()) == 0) {
      advice.push_back({AdviceKind::Font, {"Combo1", slot}, {}, text + "を読めません。出力できません。"});
      continue;
    }
    // The face by its name as chooseFace finds it; the cmap alone, without
    // the checks of openFontFile, which the embed makes before anything is
    // written.
    unsigned index = 0;
    const unsigned count = std::min(hb_face_count(blob.get()), 256u);
    for (unsigned k = 0; k < count && !font.face.empty(); ++k) {
      const std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> face(hb_face_create(blob.get(), k),
                                                                        &hb_face_destroy);
      const FontFace names = faceNamesOf(face.get(), k);
      if (names.name() == font.face || names.family == font.face) index = k;
    }
    const std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> face(hb_face_create(blob.get(), index),
                                                                      &hb_face_destroy);
    const std::unique_ptr<hb_set_t, decltype(&hb_set_destroy)> mapped(hb_set_create(), &hb_set_destroy);
    hb_face_collect_unicodes(face.get(), mapped.get());
    CharacterSet lacking;
    for (const char32_t c : pages.characters)
      if (!hb_set_has(mapped.get(), c)) lacking.insert(c);
    if (lacking.empty()) continue;
    advice.push_back({AdviceKind::Font,
                      {"Combo1", slot},
                      {},
                      text + "には、出力先のページの文字のうち " + countText(lacking.size()) + " 字がありません（" +
                          characterList(lacking, 20) +
                          "）。この文字は閲覧者のコンピューターのフォントで表示されます。"});
  }
  return advice;
}

}  // namespace quillane::fonts
