#include "fontwork/font_work_plugin.h"

#include "fonts/font_file.h"
#include "fonts/font_licence.h"
#include "fonts/font_subset.h"
#include "fonts/web_font_embed.h"

namespace quillane {

FontWorkPlugin::FontWorkPlugin() { fonts::mapLargeBlocksApart(); }

FontFileOffer FontWorkPlugin::readFontFile(const std::string& path) const {
  const fonts::FontFile file = fonts::openFontFile(path);
  FontFileOffer offer;
  offer.refused = file.refused;
  for (const fonts::FontFace& face : file.faces) {
    const fonts::FontLicence licence = fonts::licenceOf(file, face);
    offer.faces.push_back({face.index, face.family, face.name(), fonts::mayEmbed(licence.embedding),
                           licence.embedding == fonts::Embedding::PreviewAndPrint,
                           fonts::embeddingMessage(licence.embedding), licence.description, licence.address});
  }
  return offer;
}

fonts::EmbedResult FontWorkPlugin::embedWebFonts(const StyleDocument& doc, const std::string& outputFolder,
                                                 const fonts::EmbedProgressFunction& progress) const {
  return fonts::embedWebFonts(doc, outputFolder, progress);
}

}  // namespace quillane
