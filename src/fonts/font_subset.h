// A face cut down to the characters a site needs (HarfBuzz's subsetter) and
// compressed as WOFF2 (the reference encoder at Brotli quality 11).
#pragma once

#include <cstddef>
#include <string>

#include "fonts/character_set.h"
#include "fonts/font_file.h"

namespace quillane::fonts {

// The largest web font written unless the user chooses another limit: 1 MB.
inline constexpr std::size_t kDefaultSubsetLimit = 1'000'000;

struct FontSubset {
  std::string cut;              // the cut OpenType font, between cutFont and compressFont
  std::string woff2;            // the font file to write; empty when refused
  std::size_t subsetBytes = 0;  // the cut font before compression
  std::size_t woff2Bytes = 0;   // the compressed font, also when it is refused as too large
  CharacterSet kept;            // the wanted characters the face has
  CharacterSet lacking;         // the wanted characters the face does not have
  std::string refused;          // why nothing can be written; empty when it can

  bool ok() const { return refused.empty(); }
};

// Cuts face `face` of `file` to `wanted` (what the face lacks is left out and
// listed), keeping the glyph substitutions and positions the characters need
// (HarfBuzz's default layout features, and vert, vrt2, vpal, palt, halt,
// kern and vkrn for vertical and proportional Japanese), the hinting, and
// the licence (name IDs 13 and 14) beside the names HarfBuzz keeps. A WOFF2
// larger than `limit` bytes is refused with its size.
FontSubset subsetFont(const FontFile& file, const FontFace& face, const CharacterSet& wanted,
                      std::size_t limit = kDefaultSubsetLimit);

// subsetFont's two steps apart, so that a caller can report each, stop
// between them, and let go of the font file before the compression takes
// its memory (the encoder's Brotli window is several times the cut font):
// cutFont fills `cut`, `subsetBytes`, `kept` and `lacking`; compressFont
// turns `cut` into `woff2` (or a refusal) and frees it. Neither can be
// stopped inside: HarfBuzz's subsetter and the WOFF2 encoder take no
// cancellation.
FontSubset cutFont(const FontFile& file, const FontFace& face, const CharacterSet& wanted);
void compressFont(FontSubset& subset, std::size_t limit);

// For a process that embeds: blocks of 128 KiB and more are mapped and
// given back on their own when freed. Without it glibc raises that
// threshold each time such a block is freed, and the cut's freed blocks
// then keep the compression's large ones (the Brotli window and hash tree)
// in a heap that does not shrink: 63 MiB at the peak of cutting Noto Sans
// CJK JP to JIS第1水準 + かな + ASCII instead of 53 MiB. Process-wide, so the
// programs call it, not the embed.
void mapLargeBlocksApart();

}  // namespace quillane::fonts
