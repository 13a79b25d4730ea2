#include "generation/make_command.h"

#include "generation/output_choice.h"
#include "generation/output_paths.h"
#include "generation/value_checks.h"
#include "platform/text_file.h"

namespace quillane {

namespace {

constexpr std::string_view kDone = "保存完了";

// The checks made before any "make" write. Returns false after saying what is missing.
bool checkTarget(Platform& platform, std::string_view folder, std::string_view file) {
  if (folder.empty()) {
    platform.messageBox("保存先を指定してください", kInputErrorTitle, MessageIcon::Exclamation);
    return false;
  }
  if (file.empty()) {
    platform.messageBox("ファイル名を指定してください", kInputErrorTitle, MessageIcon::Exclamation);
    return false;
  }
  return true;
}

// A value the writer refuses: nothing has been written.
void reportRefusal(Platform& platform, const std::string& refusal) {
  platform.messageBox(refusal + "\r\n何も保存していません。", kInputErrorTitle, MessageIcon::Exclamation);
}

// The values `output` writes, checked before anything is; false after a
// message. Both generators write values in the same places, so one check
// holds for both.
bool checkBeforeWriting(Platform& platform, const StyleDocument& doc, Output output) {
  if (const auto error = checkValues(doc, output)) {
    reportRefusal(platform, error->describe());
    return false;
  }
  return true;
}

}  // namespace

bool EXStyle(Platform& platform, const StyleDocument& doc, std::string_view apath, std::string_view file, bool pre,
             const WebFontFaces& fonts) {
  if (!pre && !checkTarget(platform, doc.output.cssFolder, file)) return false;
  if (!checkBeforeWriting(platform, doc, Output::StyleRules)) return false;
  const bool linkPage = !pre && doc.output.makeLinkPage == Choice::First;
  if (linkPage && !checkBeforeWriting(platform, doc, Output::LinkPage)) return false;

  const OutputText sheet = styleSheetOutput(doc, fonts);
  if (!sheet.ok()) {
    reportRefusal(platform, *sheet.refusal);
    return false;
  }
  if (writesModern(doc) && !saveWebFonts(platform, apath, fonts)) return false;
  const std::string name = styleSheetName(file);
  if (!saveOutput(platform, joinFolder(apath, name), sheet)) return false;
  if (pre) return true;

  if (linkPage) {
    const OutputText page = linkPageOutput(doc, name);
    if (!saveOutput(platform, joinFolder(apath, pageName(doc.output.linkPageFileName)), page)) return true;
  }
  platform.messageBox(kDone, "", MessageIcon::Information);
  return true;
}

std::string previewPagePath(std::string_view appFolder) { return joinFolder(appFolder, "preview/pre.html"); }

bool EXHtml(Platform& platform, const StyleDocument& doc, std::string_view appFolder, bool pre,
            const WebFontFaces& fonts) {
  if (!pre && !checkTarget(platform, doc.output.htmlFolder, doc.output.htmlFileName)) return false;
  if (!checkBeforeWriting(platform, doc, Output::EmbeddedPage)) return false;

  const OutputText page = embeddedPageOutput(doc, fonts);
  if (!page.ok()) {
    reportRefusal(platform, *page.refusal);
    return false;
  }
  if (pre) return saveOutput(platform, previewPagePath(appFolder), page);

  if (writesModern(doc) && !saveWebFonts(platform, doc.output.htmlFolder, fonts)) return false;
  const std::string target = joinFolder(doc.output.htmlFolder, pageName(doc.output.htmlFileName));
  if (!saveOutput(platform, target, page)) return false;
  platform.messageBox(kDone, "", MessageIcon::Information);
  return true;
}

std::optional<MadeFile> madeFile(const StyleDocument& doc) {
  const auto refused = [](const std::string& message) {
    OutputText output;
    output.refusal = message;
    return output;
  };
  const auto target = [](std::string_view folder, const std::string& name) {
    return folder.empty() ? name : joinFolder(folder, name);
  };
  if (doc.output.format == Choice::First) {
    MadeFile made{target(doc.output.htmlFolder, pageName(doc.output.htmlFileName)), {}};
    const auto error = checkValues(doc, Output::EmbeddedPage);
    made.output = error ? refused(error->describe()) : embeddedPageOutput(doc);
    return made;
  }
  if (doc.output.format == Choice::Second) {
    MadeFile made{target(doc.output.cssFolder, styleSheetName(doc.output.cssFileName)), {}};
    auto error = checkValues(doc, Output::StyleRules);
    if (!error && doc.output.makeLinkPage == Choice::First) error = checkValues(doc, Output::LinkPage);
    made.output = error ? refused(error->describe()) : styleSheetOutput(doc);
    return made;
  }
  return std::nullopt;
}

void Command6_Click(Platform& platform, const StyleDocument& doc, std::string_view appFolder) {
  makeWithWebFonts(platform, doc, appFolder, {});
}

void makeWithWebFonts(Platform& platform, const StyleDocument& doc, std::string_view appFolder,
                      const WebFontFaces& fonts) {
  if (doc.output.format == Choice::First) EXHtml(platform, doc, appFolder, false, fonts);
  if (doc.output.format == Choice::Second)
    EXStyle(platform, doc, doc.output.cssFolder, doc.output.cssFileName, false, fonts);
}

}  // namespace quillane
