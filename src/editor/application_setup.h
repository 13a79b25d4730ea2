// What every process that shows the editor sets up once, before its first
// window: the face the window's layout is made for, and Qt's own dialogs
// and buttons (file, folder and colour dialogs, OK/キャンセル) in Japanese,
// since the editor's own texts are Japanese whatever the desktop's language.
#pragma once

namespace quillane {

// Needs a QApplication. Returns whether Qt's Japanese translations were
// found; without them the standard dialogs stay in English and nothing
// else changes.
bool setUpEditorApplication();

}  // namespace quillane
