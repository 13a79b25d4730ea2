// What the commands need from the desktop, behind one small interface.
//
// The editor implements it with Qt widgets and dialogs, the command-line tool
// with standard streams, and the tests with a recording fake, so every
// command runs the same logic everywhere. File access has working defaults
// on the real file system; a fake may override it to stay in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/colour_text.h"
#include "platform/application_folder.h"
#include "platform/file_io.h"

namespace quillane {

// The title every message box carries when it is given none of its own.
inline constexpr std::string_view kApplicationTitle = "Quillane";

// Information says that something worked; the others that it did not.
enum class MessageIcon { None, Information, Exclamation, Critical };
// SaveDiscardCancel: "保存" / "保存しない" / "キャンセル", asked before unsaved
// changes are set aside; answered Save, Discard or Cancel.
enum class MessageButtons { Ok, OkCancel, SaveDiscardCancel };
enum class MessageAnswer { Ok, Cancel, Save, Discard };
enum class FileDialogMode { Open, Save };

// A face of a font file: its place in the file, 0 for a single font.
struct FontChoice {
  std::string file;
  unsigned index = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Modal. An empty title means kApplicationTitle. A box closed without a
  // choice answers Cancel when it has that button.
  virtual MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                                   MessageButtons buttons = MessageButtons::Ok) = 0;

  // Modal text prompt with an empty starting text; empty on cancel.
  virtual std::string prompt(std::string_view message, std::string_view title) = 0;

  // Modal file dialog. `filter` is the "label|pattern|label|pattern" form
  // ("" lists every file). The dialog keeps the last chosen name between
  // uses. Nothing when the user cancels.
  virtual std::optional<std::string> fileDialog(FileDialogMode mode, std::string_view filter) = 0;

  // The same dialog, opening in the existing `folder` rather than at the
  // last chosen name. Without a better way, the plain dialog.
  virtual std::optional<std::string> fileDialogIn(FileDialogMode mode, std::string_view filter,
                                                  const std::string& folder) {
    static_cast<void>(folder);
    return fileDialog(mode, filter);
  }

  // Modal colour dialog, opened at `start` (else at the colour chosen last):
  // blue in the high byte, red in the low; nothing on cancel.
  virtual std::optional<BgrColour> colourDialog(std::optional<BgrColour> start) = 0;

  // Modal folder chooser; nothing on cancel.
  virtual std::optional<std::string> chooseFolder() = 0;

  // Modal chooser of a font to embed as a web font: the faces installed on
  // this computer, those of `family` (a font name of the form) first, and
  // any font file the user opens. Nothing on cancel, and nothing where
  // there is no such chooser.
  virtual std::optional<FontChoice> chooseFont(std::string_view family) {
    static_cast<void>(family);
    return std::nullopt;
  }

  // Shows a font's licence before the font is first embedded: `heading`
  // (what the font's maker allows, with `icon`: Exclamation for a warning)
  // above the licence text the font carries, with "了承" and "キャンセル".
  // True when the user accepts. Without a better way, a message box with
  // both texts that asks OK or Cancel.
  virtual bool acceptLicence(std::string_view fontName, std::string_view heading, std::string_view licence,
                             MessageIcon icon) {
    const std::string text = std::string(heading) + "\r\n\r\n" + std::string(licence);
    return messageBox(text, std::string(fontName) + " の使用許諾", icon, MessageButtons::OkCancel) == MessageAnswer::Ok;
  }

  // Hands a file path or web address to the desktop's "open"; fire and forget.
  virtual void shellOpen(std::string_view pathOrAddress) = 0;

  // Lets queued window events run once.
  virtual void processEvents() {}

  // Replaces `path` with exactly `bytes`; an earlier file survives a failure.
  virtual FileResult writeFile(const std::string& path, std::string_view bytes) {
    return writeFileReplacing(path, bytes);
  }
  // Reads at most `limit` bytes of `path` (see readWholeFile).
  virtual FileResult readFile(const std::string& path, std::string& bytes, std::size_t limit) {
    return readWholeFile(path, bytes, limit);
  }
  virtual void removeFile(const std::string& path) { removeFileQuietly(path); }
  // Creates `folder` and its missing parents; whether it is a folder afterwards.
  virtual bool makeFolder(const std::string& folder) { return makeFolders(folder); }
};

}  // namespace quillane
