// Reads arbitrary bytes as a font file and as a page, then checks what must
// hold whatever the input: a refused font has no faces, a readable one
// names each face in UTF-8 and can be cut (when small enough to compress
// quickly) or is refused with a reason, the page's text is UTF-8, and the
// @font-face rule of any family name stays one CSS string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fonts/character_set.h"
#include "fonts/font_file.h"
#include "fonts/font_licence.h"
#include "fonts/font_subset.h"
#include "generation/font_face_rule.h"
#include "generation/modern_values.h"
#include "platform/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillane;
  using namespace quillane::fonts;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::string text = pageText(bytes);
  if (!quillane::isValidUtf8(text)) std::abort();
  CharacterSet characters;
  addText(characters, text);
  const std::string range = unicodeRangeText(characters);

  const FontFile file = readFontFile(bytes, "fuzz");
  if (!file.ok()) {
    if (!file.faces.empty()) std::abort();
    return 0;
  }
  if (file.faces.empty()) std::abort();
  for (const FontFace& face : file.faces) {
    if (!quillane::isValidUtf8(face.name())) std::abort();
    const FontLicence licence = licenceOf(file, face);
    if (!quillane::isValidUtf8(licence.description) || !quillane::isValidUtf8(licence.address)) std::abort();
    const std::string family = cssString(face.family);
    if (family.find_first_of("<\r\n") != std::string::npos) std::abort();
  }
  if (size <= 64 * 1024) {
    CharacterSet ascii;
    addNamedSet(ascii, NamedSet::Ascii);
    const FontSubset subset = subsetFont(file, file.faces[0], ascii);
    if (subset.ok() == subset.woff2.empty()) std::abort();
    if (subset.ok()) fontFaceRule(file.faces[0].family, fontFileName(file.faces[0].family, subset.woff2), range);
  }
  return 0;
}
