#include "persistence/open_file.h"

#include "document/message_text.h"
#include "document/product.h"
#include "generation/output_paths.h"

namespace quillane {

std::string windowTitleOf(std::string_view path, bool modified) {
  const std::string app(kProductName);
  if (path.empty()) return modified ? "無題 * - " + app : app;
  return shownPath(fileNameOf(path)) + (modified ? " * - " : " - ") + app;
}

std::string saveChangesQuestion(std::string_view path) {
  if (path.empty()) return "無題の設定への変更を保存しますか？";
  return "「" + shownPath(fileNameOf(path)) + "」への変更を保存しますか？";
}

}  // namespace quillane
