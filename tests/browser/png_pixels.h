// Just enough PNG reading for the browser's screenshots: 8-bit RGB or RGBA,
// not interlaced, which is what Chromium's --screenshot writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillane::testing {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // row by row, alpha dropped

  const Rgb& at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// The picture in `png`, or nothing (with `why` set) when it is not a PNG of
// the kind above or is damaged.
std::optional<Picture> decodePng(std::string_view png, std::string& why);

}  // namespace quillane::testing
