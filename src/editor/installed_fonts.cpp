#include "editor/installed_fonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

namespace quillane {

namespace {

// The first value of a string property, or "".
std::string stringOf(FcPattern* pattern, const char* property) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, property, 0, &value) != FcResultMatch || value == nullptr) return {};
  return reinterpret_cast<const char*>(value);
}

}  // namespace

std::vector<InstalledFace> installedFaces() {
  // The library's own configuration, loaded and released here: the
  // toolkit's copy is not ours to change.
  const std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)> config(FcInitLoadConfigAndFonts(), &FcConfigDestroy);
  if (config == nullptr) return {};
  const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> all(FcPatternCreate(), &FcPatternDestroy);
  const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> wanted(
      FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_FULLNAME, FC_FONTFORMAT, nullptr), &FcObjectSetDestroy);
  const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> found(FcFontList(config.get(), all.get(), wanted.get()),
                                                                      &FcFontSetDestroy);
  if (found == nullptr) return {};

  std::vector<InstalledFace> faces;
  std::set<std::pair<std::string, int>> seen;
  for (int k = 0; k < found->nfont; ++k) {
    FcPattern* pattern = found->fonts[k];
    // Only outlines can be cut into a web font: no bitmap or Type 1 fonts.
    const std::string format = stringOf(pattern, FC_FONTFORMAT);
    if (format != "TrueType" && format != "CFF") continue;
    InstalledFace face;
    face.file = stringOf(pattern, FC_FILE);
    int index = 0;
    FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
    // A variable font's named instances share the face's index above 0xFFFF.
    if (face.file.empty() || index < 0 || index > 0xFFFF || !seen.emplace(face.file, index).second) continue;
    face.index = static_cast<unsigned>(index);
    face.family = stringOf(pattern, FC_FAMILY);
    face.fullName = stringOf(pattern, FC_FULLNAME);
    if (face.fullName.empty()) face.fullName = face.family;
    faces.push_back(std::move(face));
  }
  std::sort(faces.begin(), faces.end(), [](const InstalledFace& a, const InstalledFace& b) {
    return std::tie(a.family, a.fullName, a.file) < std::tie(b.family, b.fullName, b.file);
  });
  return faces;
}

}  // namespace quillane
