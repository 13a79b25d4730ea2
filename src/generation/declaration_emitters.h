// One CSS declaration (or group) of one tag slot, appended to a text buffer.
//
// The writers call these in a fixed order for every enabled slot. An emitter
// that runs writes its declaration with whatever the field holds, an empty
// field included ("  font-weight : ;"), and never escapes or trims.
#pragma once

#include <string>
#include <vector>

#include "document/style_document.h"

namespace quillane {

inline constexpr const char* kCrLf = "\r\n";

// `i` is a Text3 colour index (0..9, 18, 19).
void Color(const StyleDocument& doc, int i, std::string& t);            // "  color : #FF0000;"
void BackGroundColor(const StyleDocument& doc, int i, std::string& t);  // "  background-color: #;"

// `i` is a tag slot (0..5).
void FontWeight(const StyleDocument& doc, int i, std::string& t);  // "  font-weight : 700;"
void BackGroundImage(const StyleDocument& doc, int i,
                     std::string& t);  // "  background-image : url(a b.gif);" [+ fixed line]
void TextDecoration(const StyleDocument& doc, int i, std::string& t);  // "  text-decoration : underline blink;"
void FontFamily(const StyleDocument& doc, int i, std::string& t);      // "  font-family : \"Arial\";"
void FontStyle(std::string& t);                                        // "  font-style : italic;"
void FontSizes(const StyleDocument& doc, int i, std::string& t);       // "  font-size : 1.5cm;"
void Cursor(const StyleDocument& doc, int i, std::string& t);          // "  cursor :  auto;"

// The enabled scrollbar colours on one line, without any line break:
// " scrollbar-arrow-color:#000000; scrollbar-track-color: #EFEFEF;"
void Scrollbar(const StyleDocument& doc, std::string& t);

// The unit labels and cursor labels in the order the lists show them.
const std::vector<std::string>& sizeUnitLabels();
const std::vector<std::string>& cursorLabels();

}  // namespace quillane
