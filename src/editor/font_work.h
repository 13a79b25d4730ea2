// The web fonts' work: reading a font file's faces and licence, and cutting,
// compressing and naming the web fonts of an output.
//
// The editor owns this interface; the work (src/fontwork/, on the fonts
// layer and through it HarfBuzz's subsetter and the WOFF2 encoder) is a
// plug-in that the editor loads through QPluginLoader the first time a font
// is chosen, measured or made. The editor itself links none of the font
// libraries, so its start-up does not load them, and a system without the
// plug-in runs everything else. What crosses is plain data.
#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>
#include <string>
#include <vector>

#include "document/style_document.h"
#include "fonts/embed_result.h"

namespace quillane {

// One face of a font file and what its maker allows (fonts/font_licence.h).
struct FontFaceOffer {
  unsigned index = 0;            // its place in a collection
  std::string family;            // "Noto Sans CJK JP"
  std::string name;              // "Noto Sans CJK JP Regular"
  bool mayEmbed = false;         // false when the licence forbids a web font of it
  bool previewAndPrint = false;  // allowed, with a warning: to be looked at only
  std::string permission;        // what the licence allows and, for a refusal or a warning, why
  std::string licence;           // the licence text (name ID 13), without controls but line feeds
  std::string licenceAddress;    // name ID 14
};

struct FontFileOffer {
  std::vector<FontFaceOffer> faces;  // in the file's order; empty when refused
  std::string refused;               // why the file cannot be used; empty when it can

  bool ok() const { return refused.empty(); }
};

class FontWork {
 public:
  virtual ~FontWork() = default;

  // The faces of the font file at `path` (.ttf, .otf, .ttc, .otc), each
  // with its licence; a damaged or cut-off file is refused with the reason.
  virtual FontFileOffer readFontFile(const std::string& path) const = 0;

  // The web fonts of `doc`'s output (fonts/web_font_embed.h). Runs on any
  // thread, several at once; `progress` is called on the calling one.
  virtual fonts::EmbedResult embedWebFonts(const StyleDocument& doc, const std::string& outputFolder,
                                           const fonts::EmbedProgressFunction& progress) const = 0;
};

inline constexpr char kFontWorkPluginFile[] = "libquillane-fontwork.so";

// Where the plug-in is looked for, in this order: plugins/ beside the
// program (the build folder) and ../lib/quillane/plugins (an install),
// where the live view's plug-in lies too.
QStringList fontWorkPluginFolders(const QString& programFolder);

struct LoadedFontWork {
  const FontWork* work = nullptr;  // lives as long as the process; null when it could not be loaded
  QString problem;                 // why, for the user; empty when loaded
};

// The plug-in in the first of `folders` that holds it, loaded on the first
// call and the same object after that. Without it, or with a plug-in of
// another version, the problem says what to install, and that everything
// but the web fonts works.
LoadedFontWork loadFontWork(const QStringList& folders);

}  // namespace quillane

// Raised whenever FontWork or a type that crosses it changes: a plug-in of
// another version is refused rather than called.
#define QuillaneFontWork_iid "io.github.quillane.Quillane.FontWork/1"
Q_DECLARE_INTERFACE(quillane::FontWork, QuillaneFontWork_iid)
