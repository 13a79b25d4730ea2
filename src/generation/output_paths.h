// Where generated files go: folder joining and the extension rules.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

// "/web" + "a.css" -> "/web/a.css"; "/web/" + "a.css" -> "/web/a.css"
std::string joinFolder(std::string_view folder, std::string_view name);

// "style" -> "style.css"; "style.css" -> "style.css"; "style.CSS" -> "style.CSS.css"
std::string styleSheetName(std::string_view name);

// "index.htm" and "index.html" stay; "index" and "INDEX.HTML" gain ".html".
std::string pageName(std::string_view name);

// "/web/index.html" -> "/web/"; "index.html" -> ""
std::string folderOf(std::string_view path);

// "/web/style.css" -> "style.css"; "/web/" -> ""
std::string fileNameOf(std::string_view path);

}  // namespace quillane
