// What the three browser engines of today show of the modern output, as the
// browser tests measure it on the program's own pages. The live view's line
// of what is not shown is made from this table, and the tests check every
// cell of it in every engine.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quillane {

enum class Engine { Chromium, Firefox, WebKit };
inline constexpr int kEngineCount = 3;

// The engines as the tests name them, and the browsers the line names.
inline constexpr std::array<std::string_view, kEngineCount> kEngineNames = {"Chromium", "Firefox", "WebKit"};
inline constexpr std::array<std::string_view, kEngineCount> kEngineBrowsers = {"Chrome・Edge", "Firefox", "Safari"};

// The names of the seven scrollbar colours, 11 to 17, without the captions' "#".
inline constexpr std::array<std::string_view, 7> kScrollbarColourNames = {
    "矢印の色", "メインの色", "枠（左上、外）", "枠（左上、内）", "枠（右下、外）", "枠（右下、内）", "バックの色"};

// One setting and the parts of it each engine shows, one bit a part: a
// class effect (by its check box) and blink have one part, the scrollbar
// colours seven (bit k for colour 11 + k).
struct EngineSupport {
  std::string_view setting;  // "Check13" ... "Check26", "blink", "scrollbar"
  int parts = 1;
  std::array<std::uint8_t, kEngineCount> shown{};
};

inline constexpr std::uint8_t kAllScrollbarRows = 0x7F;
// scrollbar-color: the thumb (メインの色) and the track (バックの色).
inline constexpr std::uint8_t kThumbAndTrack = 0x42;

inline constexpr std::array<EngineSupport, 11> kEngineSupport = {{
    {"Check13", 1, {1, 1, 1}},  // 半透明にする: opacity
    {"Check14", 1, {1, 1, 1}},  // 特定の色を消す: SVG filter
    {"Check15", 1, {1, 1, 1}},  // ぶれる: SVG filter
    {"Check16", 1, {1, 1, 1}},  // 波立たせる: SVG filter
    {"Check17", 1, {1, 1, 1}},  // 反転: transform
    {"Check20", 1, {1, 1, 1}},  // 光る: text-shadow, drop-shadow()
    {"Check21", 1, {1, 1, 1}},  // 色調: invert(), grayscale()
    {"Check25", 1, {1, 1, 1}},  // 影を落とす: text-shadow, drop-shadow()
    {"Check26", 1, {1, 1, 1}},  // スペシャル: SVG filter
    {"blink", 1, {1, 1, 1}},    // 点滅: an animation
    {"scrollbar", 7, {kAllScrollbarRows, kThumbAndTrack, kAllScrollbarRows}},
}};

// The row of a setting; nullptr for one the table does not hold.
constexpr const EngineSupport* engineSupportOf(std::string_view setting) {
  for (const EngineSupport& row : kEngineSupport)
    if (row.setting == setting) return &row;
  return nullptr;
}

}  // namespace quillane
