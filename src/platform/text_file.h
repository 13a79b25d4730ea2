// Saving generated text: CP932, exactly the bytes built (CR LF as written,
// no byte-order mark), replacing any file of that name safely.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillane {

// Title and icon of every message about what the user typed.
inline constexpr std::string_view kInputErrorTitle = "保存時エラー";

// Encodes `utf8` as CP932 and writes it to `path`. On failure shows one
// message and returns false:
//   a character CP932 cannot hold: which one and where ("保存時エラー");
//   error number 75: "保存先が不正です。" (title "エラー", critical icon);
//   any other number: "原因不明のエラー" and the number (title "エラー").
bool saveTextFile(Platform& platform, const std::string& path, std::string_view utf8);

// Writes `utf8` to `path` as it is (UTF-8, no byte-order mark), for the
// modern output. Text that is not valid UTF-8 is refused with a message
// ("保存時エラー"); write failures are reported as saveTextFile does.
bool saveUtf8TextFile(Platform& platform, const std::string& path, std::string_view utf8);

// Writes `bytes` to `path` as they are (a web font), reporting a failure
// as saveTextFile does.
bool saveBinaryFile(Platform& platform, const std::string& path, std::string_view bytes);

// The catch-all error text for an error number: "原因不明のエラー\r\n...： 57"
std::string unknownErrorText(int errorNumber);

}  // namespace quillane
