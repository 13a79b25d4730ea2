// Where the programs find their data and where they may write.
//
// The data ("preview" with the picture "pal.png", "sample", "help") lies
// either beside the program (the build tree's bin/, an unpacked archive) or,
// installed, in ../share/quillane relative to the program's folder. No
// install prefix is compiled in, so one build runs from anywhere.
//
// An installed data folder is usually not writable. What the editor writes
// (new samples, preview pages) then goes to the user's own folder,
// $XDG_DATA_HOME/quillane/ (by default ~/.local/share/quillane/), which
// mirrors the layout of the data folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

// The folder of the running program, ending in '/', from /proc/self/exe
// (symbolic links resolved); "" when it cannot be read.
std::string programFolder();

// The application folder of a program in `programFolder`, ending in '/':
//   "/src/build/bin/" -> "/src/build/bin/"         when it holds preview/pal.png
//   "/usr/bin/"       -> "/usr/share/quillane/"    when that holds it instead
// and `programFolder` itself when neither does, so the commands name the
// missing files there as they always have.
std::string findApplicationFolder(std::string_view programFolder);

// The user's own Quillane folder, ending in '/', not created here:
//   XDG_DATA_HOME="/x"            -> "/x/quillane/"
//   unset, empty or relative, HOME="/home/u" -> "/home/u/.local/share/quillane/"
// "" when neither gives an absolute folder. Either argument may be null.
std::string userDataFolder(const char* xdgDataHome, const char* home);

// Whether this process may create files in the existing folder `folder`.
bool isWritableFolder(const std::string& folder);

// Creates `folder` and any missing parents (mode 0777 less the umask).
// Returns whether it exists as a folder afterwards.
bool makeFolders(const std::string& folder);

// What the look-ups read from the system; tests give their own.
struct FolderEnvironment {
  std::string userFolder;                            // userDataFolder() of the environment
  std::function<bool(const std::string&)> writable;  // isWritableFolder

  static FolderEnvironment current();
};

// The sample folders of the editor's "サンプル" menu and of its save command.
struct SampleFolders {
  std::vector<std::string> listed;  // listed in this order
  std::string saveTo;               // where the save dialog opens; created by the save command
};

// "sample" of the application folder when it is writable: listed alone and
// saved into. Otherwise both it and the user's "sample" are listed and new
// samples go to the user's. Without a user folder, the application's only.
SampleFolders sampleFolders(std::string_view applicationFolder,
                            const FolderEnvironment& env = FolderEnvironment::current());

// The folder the previews write "preview/pre.html" under, ending in '/':
// `applicationFolder` when its "preview" is writable; otherwise the user's
// folder, whose "preview" is created when needed and given a copy of the
// application's "pal.png" (the picture the class preview shows). When the
// user's folder cannot be prepared, `applicationFolder`, so the preview
// reports the failed write as before.
std::string previewHome(std::string_view applicationFolder,
                        const FolderEnvironment& env = FolderEnvironment::current());

}  // namespace quillane
