// Fixed texts of the product itself.
#pragma once

#include <string_view>

namespace quillane {

inline constexpr std::string_view kProductName = "Quillane";
inline constexpr std::string_view kProductVersion = "2.1.0";

// The product's home page: the sample hyperlink of generated pages, the
// marker comment of linked pages and the help menu's home page entry.
inline constexpr std::string_view kHomePageAddress = "https://hollowmere.example/quillane/";

}  // namespace quillane
