#include "platform/text_file.h"

#include "document/message_text.h"
#include "platform/cp932.h"
#include "platform/error_numbers.h"

namespace quillane {

std::string unknownErrorText(int errorNumber) {
  // Numbers are written with a leading space when not negative.
  std::string number = std::to_string(errorNumber);
  if (errorNumber >= 0) number.insert(number.begin(), ' ');
  return "原因不明のエラー\r\nVelmoにエラーナンバーとエラーの発生した状況を送ってくださるとうれしいです。エラーナンバー"
         "：" +
         number;
}

namespace {

bool writeReporting(Platform& platform, const std::string& path, std::string_view bytes) {
  const FileResult result = platform.writeFile(path, bytes);
  if (result.ok()) return true;
  const int number = classicErrorNumber(result.error);
  if (number == kPathAccessError)
    platform.messageBox("保存先が不正です。", "エラー", MessageIcon::Critical);
  else
    platform.messageBox(unknownErrorText(number), "エラー", MessageIcon::Exclamation);
  return false;
}

}  // namespace

bool saveTextFile(Platform& platform, const std::string& path, std::string_view utf8) {
  std::string bytes;
  UnencodableCharacter bad;
  if (!encodeCp932(utf8, bytes, bad)) {
    platform.messageBox(bad.describe() + "\r\n" + shownPath(path) + " には何も書きこんでいません。", kInputErrorTitle,
                        MessageIcon::Exclamation);
    return false;
  }
  return writeReporting(platform, path, bytes);
}

bool saveUtf8TextFile(Platform& platform, const std::string& path, std::string_view utf8) {
  if (!isValidUtf8(utf8)) {
    platform.messageBox("UTF-8として正しくない文字があります。\r\n" + shownPath(path) + " には何も書きこんでいません。",
                        kInputErrorTitle, MessageIcon::Exclamation);
    return false;
  }
  return writeReporting(platform, path, utf8);
}

bool saveBinaryFile(Platform& platform, const std::string& path, std::string_view bytes) {
  return writeReporting(platform, path, bytes);
}

}  // namespace quillane
