// The web fonts' work on the fonts layer (HarfBuzz's subsetter and the WOFF2
// encoder), built as a plug-in that the editor loads through QPluginLoader
// when a web font is first chosen, measured or made (editor/font_work.h).
#pragma once

#include <QObject>

#include "editor/font_work.h"

namespace quillane {

class FontWorkPlugin : public QObject, public FontWork {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QuillaneFontWork_iid)
  Q_INTERFACES(quillane::FontWork)
  Q_DISABLE_COPY_MOVE(FontWorkPlugin)

 public:
  // The embed's large blocks are given back as they are freed (see
  // fonts::mapLargeBlocksApart), in the editor from its first web font on.
  FontWorkPlugin();
  FontFileOffer readFontFile(const std::string& path) const override;
  fonts::EmbedResult embedWebFonts(const StyleDocument& doc, const std::string& outputFolder,
                                   const fonts::EmbedProgressFunction& progress) const override;
};

}  // namespace quillane
