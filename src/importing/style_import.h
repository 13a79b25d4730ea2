// Bringing a style sheet back into a document: what the form holds goes
// into the form, everything else is kept as written ("そのほかのスタイル").
//
// A sheet this program wrote comes back whole: imported and written again
// with the same output, it gives the same bytes. The legacy output is
// recognised line by line, with every oddity its writers allow (empty
// values, blanks inside values, the fixed spacing), and keeps the legacy
// choice; anything else is read as CSS, and the modern output is chosen so
// that the document styles a page as the sheet did:
// - a declaration goes into the form only where the form can hold its value
//   in a form the modern output writes alike, where no earlier declaration
//   kept as text could change what it does, and where the fixed order of
//   the generated rules keeps the cascade as it was; otherwise it is kept;
// - where a property is declared more than once, the last one wins, as in a
//   browser;
// - the legacy filters of up to six class rules (and this program's modern
//   equivalents of them) become the classes' effects.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/style_document.h"
#include "importing/style_source.h"

namespace quillane {

struct ImportEntry {
  enum class Place : std::uint8_t { Form, Kept, Dropped };
  int line = 0;  // 1-based, in the file imported
  Place place = Place::Form;
  std::string what;  // the rule or declaration, shortened: "P { color: #FF0000 }"
};

// The report holds this many entries, the first by line; past them a sheet
// of thousands of like rules only counts them.
inline constexpr std::size_t kMaxImportEntries = 1000;

struct ImportResult {
  StyleDocument document;
  std::vector<ImportEntry> entries;  // in the order of their lines, at most kMaxImportEntries
  // The entries past those, counted by place (Form, Kept, Dropped).
  std::array<std::size_t, 3> omitted{};
  bool legacy = false;  // recognised as the legacy output (the modern choice stays off)
  std::string refused;  // why nothing was imported; empty when it was
  int refusedLine = 0;  // the 1-based line the refusal names; 0 for the whole file
  bool fault = false;   // refused for a fault of this program (or of memory), not of the file

  bool ok() const { return refused.empty(); }
  // The refusal with the file and line, as the other readers give theirs:
  //   "site.css の 7 行目: この規則を読めません（このプログラムの誤りです）。"
  std::string describe(std::string_view file) const;
  // One line an entry: "3 行目: フォームへ: P { color: #FF0000 }", and
  // for the entries past those a last line "…ほか 123,456 件".
  std::string report() const;
  std::size_t count(ImportEntry::Place place) const;  // held and omitted
  std::string omittedNote() const;                    // "…ほか 123,456 件", or empty
};

// Imports the bytes of a style sheet or a page (see readStyleSource). The
// document starts from the defaults with `base`'s output options (folders,
// names); the page's title becomes the page title. Never throws: whatever
// goes wrong is a refusal.
ImportResult importStyle(std::string_view bytes, std::optional<bool> page = std::nullopt,
                         const StyleDocument& base = StyleDocument());

// The same, from a source already read.
ImportResult importStyle(const StyleSource& source, const StyleDocument& base = StyleDocument());

}  // namespace quillane
