#include "png_pixels.h"

#include <zlib.h>

#include <cstdlib>

namespace quillane::testing {

namespace {

std::uint32_t bigEndian(std::string_view bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + k]);
  return v;
}

int paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

std::optional<Picture> decodePng(std::string_view png, std::string& why) {
  if (!png.starts_with("\x89PNG\r\n\x1a\n")) {
    why = "not a PNG";
    return std::nullopt;
  }
  Picture picture;
  int channels = 0;
  std::string compressed;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t length = bigEndian(png, at);
    const std::string_view type = png.substr(at + 4, 4);
    if (at + 12 + length > png.size()) break;
    const std::string_view data = png.substr(at + 8, length);
    if (type == "IHDR") {
      picture.width = static_cast<int>(bigEndian(data, 0));
      picture.height = static_cast<int>(bigEndian(data, 4));
      const int depth = static_cast<std::uint8_t>(data[8]);
      const int colourType = static_cast<std::uint8_t>(data[9]);
      channels = colourType == 2 ? 3 : colourType == 6 ? 4 : 0;
      if (depth != 8 || channels == 0 || data[12] != 0) {
        why = "unsupported PNG kind (depth " + std::to_string(depth) + ", colour type " + std::to_string(colourType) +
              ")";
        return std::nullopt;
      }
    } else if (type == "IDAT") {
      compressed.append(data);
    } else if (type == "IEND") {
      break;
    }
    at += 12 + length;
  }
  if (channels == 0 || picture.width <= 0 || picture.height <= 0) {
    why = "no usable header";
    return std::nullopt;
  }

  const std::size_t stride = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(channels);
  std::vector<std::uint8_t> raw((stride + 1) * static_cast<std::size_t>(picture.height));
  uLongf rawSize = raw.size();
  if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(compressed.data()), compressed.size()) != Z_OK ||
      rawSize != raw.size()) {
    why = "damaged image data";
    return std::nullopt;
  }

  // Undo each row's filter in place, against the row above.
  std::vector<std::uint8_t> previous(stride, 0);
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * (stride + 1);
    const int filter = row[0];
    std::uint8_t* line = row + 1;
    for (std::size_t x = 0; x < stride; ++x) {
      const int left = x >= static_cast<std::size_t>(channels) ? line[x - static_cast<std::size_t>(channels)] : 0;
      const int up = previous[x];
      const int upLeft = x >= static_cast<std::size_t>(channels) ? previous[x - static_cast<std::size_t>(channels)] : 0;
      int predicted = 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          predicted = left;
          break;
        case 2:
          predicted = up;
          break;
        case 3:
          predicted = (left + up) / 2;
          break;
        case 4:
          predicted = paeth(left, up, upLeft);
          break;
        default:
          why = "unknown row filter " + std::to_string(filter);
          return std::nullopt;
      }
      line[x] = static_cast<std::uint8_t>(line[x] + predicted);
    }
    for (std::size_t x = 0; x < stride; x += static_cast<std::size_t>(channels))
      picture.pixels.push_back({line[x], line[x + 1], line[x + 2]});
    previous.assign(line, line + stride);
  }
  return picture;
}

}  // namespace quillane::testing
