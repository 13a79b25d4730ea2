// A font file's bytes and the faces it holds: a single font (.ttf, .otf) or
// a collection (.ttc, .otc). The bytes are checked before any face is used:
// the table directory of every face must lie inside the file and name the
// tables a face cannot do without, so a damaged or cut-off file is refused
// with a message instead of being read past its end.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct hb_face_t;

namespace quillane::fonts {

// The largest font file taken: 64 MiB (the largest CJK collections are
// about 40 MiB).
inline constexpr std::size_t kMaxFontBytes = std::size_t{64} << 20;

// One face of the file, named as its name table names it (family: name ID 16
// or else 1; style: name ID 17 or else 2, in English where there is English).
struct FontFace {
  unsigned index = 0;
  std::string family;     // "Noto Sans CJK JP"
  std::string subfamily;  // "Regular"

  // "Noto Sans CJK JP Regular"
  std::string name() const;
};

// The names of a HarfBuzz face (`index` as given), as readFontFile names
// each face; the family is empty when the name table has none.
FontFace faceNamesOf(hb_face_t* face, unsigned index);

struct FontFile {
  // The whole file, held by `storage`: the bytes given to readFontFile, or
  // the file openFontFile mapped, of which only the pages read take memory
  // (a cut of a large collection reads a small part of it). A mapped file
  // shortened by another program while it is read would end the process
  // (SIGBUS); font files are replaced, not rewritten in place, by the
  // package manager and the usual tools, so this is the cost of not holding
  // 20 MB of a collection the cut never looks at.
  std::string_view bytes;
  std::shared_ptr<const void> storage;
  std::vector<FontFace> faces;  // in the file's order; empty when refused
  std::string refused;          // why the file cannot be used; empty when it can

  bool ok() const { return refused.empty(); }
};

// Reads font bytes. `shownName` names the file in a refusal.
FontFile readFontFile(std::string bytes, std::string_view shownName);

// Maps the file at `path` read-only (at most kMaxFontBytes); what is not a
// regular file is read instead.
FontFile openFontFile(const std::string& path);

// The face called `name`: its whole name ("Noto Sans CJK JP Regular") or, when
// only one face has that family, the family name alone. Without a name, the
// only face of a single font. Otherwise nothing, and `refused` says why and
// lists the faces there are.
std::optional<FontFace> chooseFace(const FontFile& file, std::string_view name, std::string& refused);

// Text from a font's name table without the controls a terminal or a page
// could obey: C0 (line feeds kept when `keepLineFeeds`), DEL and C1.
std::string withoutControls(std::string_view utf8, bool keepLineFeeds);

}  // namespace quillane::fonts
