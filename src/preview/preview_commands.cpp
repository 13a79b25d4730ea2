#include "preview/preview_commands.h"

#include "document/message_text.h"
#include "document/product.h"
#include "generation/declaration_emitters.h"
#include "generation/filter_emitters.h"
#include "generation/html_escape.h"
#include "generation/make_command.h"
#include "generation/modern_pages.h"
#include "generation/output_paths.h"
#include "generation/value_checks.h"
#include "linking/link_injector.h"
#include "platform/text_file.h"

namespace quillane {

BuiltText buildClassPreview(const StyleDocument& doc, int i) {
  BuiltText built;
  std::string& t = built.text;
  t.append("<HTML>").append(kCrLf).append("<HEAD>").append(kCrLf);
  t.append("<TITLE>").append(escapeHtmlText(doc.output.htmlTitle)).append("</TITLE>").append(kCrLf);
  t.append("<style type=\"text/css\" > ").append(kCrLf).append("<!--").append(kCrLf);
  built.error = Filter(doc, i, t);
  if (built.error) return built;
  t.append("-->").append(kCrLf).append("</style>").append(kCrLf).append("</HEAD>").append(kCrLf).append("<BODY>");
  const UserClass& c = doc.classes[static_cast<std::size_t>(i)];
  const std::string name = escapeHtmlAttribute(c.className);
  if (c.target == Choice::Second)
    t.append("<img  class=\"").append(name).append("\" src=\"pal.png\" width=\"350\" height=\"470\">");
  if (c.target == Choice::First) {
    t.append("<FONT SIZE = \"+5\"><P class=\"").append(name).append("\">サンプルです</P><P class=\"").append(name);
    t.append("\">こーんな感じになるのです</P></Font>");
  }
  t.append("</body></html>");
  return built;
}

OutputText classPreviewOutput(const StyleDocument& doc, int i) {
  if (writesModern(doc)) return modernOutput(buildModernClassPreview(doc, i));
  BuiltText built = buildClassPreview(doc, i);
  return legacyOutput(std::move(built.text), built.error);
}

void NormalPre_Click(Platform& platform, const StyleDocument& doc, std::string_view appFolder) {
  if (EXHtml(platform, doc, appFolder, true)) platform.shellOpen(previewPagePath(appFolder));
}

void GaibuPre_Click(Platform& platform, const StyleDocument& doc, PreviewFiles& files, LinkInjector& linkWindow) {
  const auto page = platform.fileDialog(FileDialogMode::Open, "(*.htm,*.html)|*.htm;*.html");
  if (!page) return;
  files.removeAll();
  const std::string folder = folderOf(*page);
  if (!EXStyle(platform, doc, folder, kPreviewStyleSheet, true)) return;
  files.keep(joinFolder(folder, kPreviewStyleSheet));

  auto linked =
      CssTekiyou(platform, kPreviewStyleSheet, *page, linkWindow.comment, joinFolder(folder, kPreviewStyleSheet));
  if (!linked) {  // after its message; the chosen page itself is only ever read
    files.removeAll();
    return;
  }
  const std::string copy = joinFolder(folder, kPreviewPageCopy);
  if (const FileResult written = platform.writeFile(copy, linked->bytes); !written.ok()) {
    platform.messageBox("プレビュー用のファイル「" + shownPath(copy) + "」を書きこめませんでした。", "エラー",
                        MessageIcon::Critical);
    return;
  }
  files.keep(copy);
  linkWindow.showRewrite(*page, std::move(*linked));
  platform.shellOpen(copy);
  platform.processEvents();
}

void Command8_Click(Platform& platform, const StyleDocument& doc, std::string_view appFolder) {
  if (const auto refused = checkValues(doc, Output::ClassPreview, doc.currentClassTab)) {
    platform.messageBox(refused->describe(), kInputErrorTitle, MessageIcon::Exclamation);
    return;
  }
  const OutputText page = classPreviewOutput(doc, doc.currentClassTab);
  if (!page.ok()) {
    platform.messageBox(*page.refusal, kInputErrorTitle, MessageIcon::Exclamation);
    return;
  }
  const std::string path = previewPagePath(appFolder);
  if (!saveOutput(platform, path, page)) return;
  platform.shellOpen(path);
  platform.shellOpen(kHomePageAddress);
}

}  // namespace quillane
