// The settings file the editor has open, in the words the window uses: the
// title that names it and marks unsaved changes, and the question asked
// before those changes are set aside.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

// What the window title says. `path` is the open settings file ("" when
// none: nothing opened or saved yet, or a sample loaded since):
//   "/a/mine.qlf", unchanged -> "mine.qlf - Quillane"
//   "/a/mine.qlf", changed   -> "mine.qlf * - Quillane"
//   "", unchanged            -> "Quillane"
//   "", changed              -> "無題 * - Quillane"
std::string windowTitleOf(std::string_view path, bool modified);

// Asked when ending the program, opening another file or loading a sample
// would set unsaved changes aside:
//   "/a/mine.qlf" -> "「mine.qlf」への変更を保存しますか？"
//   ""            -> "無題の設定への変更を保存しますか？"
std::string saveChangesQuestion(std::string_view path);

}  // namespace quillane
