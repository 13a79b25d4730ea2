// What a font's maker allows: the embedding permission of the OS/2 table's
// fsType, and the licence text of the name table, shown before the first
// embed.
//
// fsType bits 1 to 3 say how far a font may travel with a document:
//   0      installable: may be embedded and installed
//   bit 1  restricted licence: must not be embedded
//   bit 2  preview & print: embedded only to be looked at
//   bit 3  editable: embedded, and may be edited with
// A valid font sets at most one; when a font sets several, the least
// restrictive of them counts (editable before preview & print before
// restricted), as the OpenType specification tells readers to do.
// Bit 8 forbids subsetting and bit 9 allows only bitmaps: a web font is an
// outline subset, so either refuses, whatever bits 1 to 3 say.
#pragma once

#include <cstdint>
#include <string>

#include "fonts/font_file.h"

namespace quillane::fonts {

enum class Embedding { Installable, Editable, PreviewAndPrint, Restricted, NoSubsetting, BitmapOnly };

Embedding embeddingOf(std::uint16_t fsType);

// Whether a page may carry the font: everything but Restricted,
// NoSubsetting and BitmapOnly.
bool mayEmbed(Embedding embedding);

// The user's message: what the permission is and, for a refusal or the
// warning of preview & print, why.
std::string embeddingMessage(Embedding embedding);

struct FontLicence {
  std::uint16_t fsType = 0;  // 0 when the face has no OS/2 table
  Embedding embedding = Embedding::Installable;
  std::string description;  // name ID 13, controls but line feeds dropped
  std::string address;      // name ID 14
};

// The licence of one face of a readable file.
FontLicence licenceOf(const FontFile& file, const FontFace& face);

}  // namespace quillane::fonts
