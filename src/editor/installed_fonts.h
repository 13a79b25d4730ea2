// The font faces installed on this computer, as fontconfig lists them: the
// file each lives in and the names a user knows it by.
#pragma once

#include <string>
#include <vector>

namespace quillane {

struct InstalledFace {
  std::string file;      // "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
  unsigned index = 0;    // the face's place in a collection
  std::string family;    // "Noto Sans CJK JP"
  std::string fullName;  // "Noto Sans CJK JP Regular"; the family when the font names no more
};

// Every outline face (TrueType or CFF) fontconfig knows, sorted by family
// and full name; a face listed under several families or languages appears
// once, under its first family. Empty when fontconfig cannot start.
std::vector<InstalledFace> installedFaces();

}  // namespace quillane
