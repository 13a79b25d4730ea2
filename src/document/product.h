// Fixed texts of the product itself.
#pragma once

#include <string_view>

namespace quillane {

inline constexpr std::string_view kProductName = "Quillane";
// The build sets QUILLANE_VERSION from the project's version, its one home.
inline constexpr std::string_view kProductVersion = QUILLANE_VERSION;

// The product's home page: the sample hyperlink of generated pages, the
// marker comment of linked pages and the help menu's home page entry.
inline constexpr std::string_view kHomePageAddress = "https://hollowmere.example/quillane/";

}  // namespace quillane
