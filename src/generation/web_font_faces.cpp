#include "generation/web_font_faces.h"

#include <algorithm>

#include "document/message_text.h"
#include "generation/font_face_rule.h"
#include "generation/output_choice.h"
#include "generation/output_paths.h"
#include "platform/text_file.h"

namespace quillane {

bool needsWebFonts(const StyleDocument& doc) {
  if (!writesModern(doc)) return false;
  for (int slot = 0; slot < kTagSlotCount; ++slot)
    if (doc.slots[static_cast<std::size_t>(slot)].enabled == 1 &&
        doc.fonts.slots[static_cast<std::size_t>(slot)].chosen())
      return true;
  return false;
}

std::string webFontFolder(const StyleDocument& doc) {
  if (doc.output.format == Choice::First) return doc.output.htmlFolder;
  if (doc.output.format == Choice::Second) return doc.output.cssFolder;
  return {};
}

std::string fontFaceRules(const WebFontFaces& fonts) {
  std::string rules;
  std::vector<std::string_view> written;
  for (const WebFontFace& face : fonts) {
    if (std::find(written.begin(), written.end(), face.fileName) != written.end()) continue;
    written.push_back(face.fileName);
    rules += fontFaceRule(face.family, face.fileName, face.unicodeRange);
  }
  return rules;
}

const WebFontFace* webFontOfSlot(const WebFontFaces& fonts, int slot) {
  const auto found = std::find_if(fonts.begin(), fonts.end(), [&](const WebFontFace& f) { return f.slot == slot; });
  return found == fonts.end() ? nullptr : &*found;
}

bool saveWebFonts(Platform& platform, std::string_view folder, const WebFontFaces& fonts) {
  std::vector<std::string_view> written;
  for (const WebFontFace& face : fonts) {
    if (std::find(written.begin(), written.end(), face.fileName) != written.end()) continue;
    written.push_back(face.fileName);
    const std::string path = joinFolder(folder, face.fileName);
    if (!platform.makeFolder(folderOf(path))) {
      platform.messageBox("フォルダー " + shownPath(folderOf(path)) + " を作れません。\r\n何も保存していません。",
                          "エラー", MessageIcon::Exclamation);
      return false;
    }
    if (!saveBinaryFile(platform, path, face.woff2)) return false;
  }
  return true;
}

}  // namespace quillane
