#include "fonts/font_file.h"

#include <fcntl.h>
#include <hb-ot.h>
#include <hb.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/file_io.h"

namespace quillane::fonts {

namespace {

std::uint32_t be32(std::string_view b, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(b[at])} << 24) |
         (std::uint32_t{static_cast<unsigned char>(b[at + 1])} << 16) |
         (std::uint32_t{static_cast<unsigned char>(b[at + 2])} << 8) | static_cast<unsigned char>(b[at + 3]);
}

std::uint32_t be16(std::string_view b, std::size_t at) {
  return (std::uint32_t{static_cast<unsigned char>(b[at])} << 8) | static_cast<unsigned char>(b[at + 1]);
}

std::string quoted(std::string_view name) { return "「" + std::string(name) + "」"; }

// Why the face whose table directory starts at `at` cannot be used; empty
// when every table lies inside the file and the needed ones are there.
std::string faceDirectoryFault(std::string_view bytes, std::size_t at) {
  constexpr std::string_view kCut = "は壊れているか途中で切れています";
  if (at > bytes.size() || bytes.size() - at < 12) return std::string(kCut) + "（フォントの見出しがありません）。";
  const std::uint32_t version = be32(bytes, at);
  if (version != 0x00010000 && version != 0x4F54544F /* OTTO */ && version != 0x74727565 /* true */)
    return "はフォントファイルではありません（TrueType か OpenType のフォントを選んでください）。";
  const std::size_t tables = be16(bytes, at + 4);
  if (tables == 0 || bytes.size() - at - 12 < tables * 16)
    return std::string(kCut) + "（表の目録がファイルの外にあります）。";
  bool glyf = false, loca = false, cff = false;
  std::array<bool, 6> needed{};
  constexpr std::array<std::string_view, 6> kNeeded = {"cmap", "head", "hhea", "hmtx", "maxp", "name"};
  for (std::size_t k = 0; k < tables; ++k) {
    const std::size_t record = at + 12 + k * 16;
    const std::string_view tag = bytes.substr(record, 4);
    const std::uint64_t offset = be32(bytes, record + 8);
    const std::uint64_t length = be32(bytes, record + 12);
    if (offset + length > bytes.size())
      return std::string(kCut) + "（表「" + std::string(tag) + "」がファイルの外を指しています）。";
    for (std::size_t n = 0; n < kNeeded.size(); ++n) needed[n] = needed[n] || tag == kNeeded[n];
    glyf = glyf || tag == "glyf";
    loca = loca || tag == "loca";
    cff = cff || tag == "CFF " || tag == "CFF2";
  }
  for (std::size_t n = 0; n < kNeeded.size(); ++n)
    if (!needed[n]) return "には表「" + std::string(kNeeded[n]) + "」がなく、フォントとして使えません。";
  if (!cff && !(glyf && loca)) return "には字形の表（glyf か CFF）がなく、フォントとして使えません。";
  return {};
}

// The name `id` in English (else the face's first), control characters
// dropped, at most 200 bytes.
std::string nameOf(hb_face_t* face, hb_ot_name_id_t id) {
  const hb_language_t english = hb_language_from_string("en", -1);
  unsigned length = hb_ot_name_get_utf8(face, id, english, nullptr, nullptr);
  if (length == 0) return {};
  std::string text(length + 1, '\0');
  length += 1;
  hb_ot_name_get_utf8(face, id, english, &length, text.data());
  text.resize(length);
  std::string clean = withoutControls(text, false);
  if (clean.size() > 200) {
    std::size_t cut = 200;
    while (cut > 0 && (static_cast<unsigned char>(clean[cut]) & 0xC0) == 0x80) --cut;
    clean.resize(cut);
  }
  return clean;
}

}  // namespace

std::string withoutControls(std::string_view utf8, bool keepLineFeeds) {
  std::string clean;
  for (std::size_t k = 0; k < utf8.size(); ++k) {
    const auto b = static_cast<unsigned char>(utf8[k]);
    if (b == 0xC2 && k + 1 < utf8.size() && static_cast<unsigned char>(utf8[k + 1]) < 0xA0) {
      ++k;  // U+0080 to U+009F
      continue;
    }
    if ((b >= 0x20 && b != 0x7F) || (keepLineFeeds && b == '\n')) clean += utf8[k];
  }
  return clean;
}

FontFace faceNamesOf(hb_face_t* face, unsigned index) {
  FontFace entry{index, nameOf(face, HB_OT_NAME_ID_TYPOGRAPHIC_FAMILY),
                 nameOf(face, HB_OT_NAME_ID_TYPOGRAPHIC_SUBFAMILY)};
  if (entry.family.empty()) entry.family = nameOf(face, HB_OT_NAME_ID_FONT_FAMILY);
  if (entry.subfamily.empty()) entry.subfamily = nameOf(face, HB_OT_NAME_ID_FONT_SUBFAMILY);
  return entry;
}

std::string FontFace::name() const { return subfamily.empty() ? family : family + " " + subfamily; }

namespace {

// Checks the bytes of `file` and names its faces.
FontFile checked(FontFile file, std::string_view shownName) {
  const std::string_view b = file.bytes;
  const std::string who = quoted(shownName);
  if (b.size() > kMaxFontBytes) {
    file.refused = who + "は大きすぎます（" + std::to_string(kMaxFontBytes >> 20) + " MiB までのフォントを使えます）。";
    return file;
  }
  std::vector<std::size_t> starts;
  if (b.size() >= 4 && b.substr(0, 4) == "ttcf") {
    if (b.size() < 12) {
      file.refused = who + "は壊れているか途中で切れています（集まりの見出しが足りません）。";
      return file;
    }
    const std::size_t count = be32(b, 8);
    if (count == 0 || (b.size() - 12) / 4 < count) {
      file.refused = who + "は壊れているか途中で切れています（集まりの目録がファイルの外にあります）。";
      return file;
    }
    for (std::size_t k = 0; k < count; ++k) starts.push_back(be32(b, 12 + k * 4));
  } else {
    starts.push_back(0);
  }
  for (const std::size_t at : starts) {
    if (std::string fault = faceDirectoryFault(b, at); !fault.empty()) {
      file.refused = who + fault;
      return file;
    }
  }
  const std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(
      hb_blob_create(file.bytes.data(), static_cast<unsigned>(file.bytes.size()), HB_MEMORY_MODE_READONLY, nullptr,
                     nullptr),
      &hb_blob_destroy);
  if (hb_face_count(blob.get()) != starts.size()) {
    file.refused = who + "は壊れているか途中で切れています（フォントの数が読めません）。";
    return file;
  }
  for (unsigned k = 0; k < starts.size(); ++k) {
    const std::unique_ptr<hb_face_t, decltype(&hb_face_destroy)> face(hb_face_create(blob.get(), k), &hb_face_destroy);
    FontFace entry = faceNamesOf(face.get(), k);
    if (entry.family.empty()) {
      file.refused = who + "のフォントには名前がありません（name 表にファミリー名がありません）。";
      file.faces.clear();
      return file;
    }
    file.faces.push_back(std::move(entry));
  }
  return file;
}

}  // namespace

FontFile readFontFile(std::string bytes, std::string_view shownName) {
  FontFile file;
  const auto owned = std::make_shared<const std::string>(std::move(bytes));
  file.bytes = *owned;
  file.storage = owned;
  return checked(std::move(file), shownName);
}

FontFile openFontFile(const std::string& path) {
  const std::string shown = path.substr(path.find_last_of('/') + 1);
  const auto refused = [&](std::string why) {
    FontFile file;
    file.refused = quoted(shown) + std::move(why);
    return file;
  };
  // Not blocking: a named pipe is refused below, never waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    return refused("を読めません（" + std::string(std::strerror(error)) + "）。");
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return refused("はファイルではありません（フォントのファイルを選んでください）。");
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  void* mapped = size == 0 || size > kMaxFontBytes
                     ? MAP_FAILED
                     : ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (mapped == MAP_FAILED) {
    // Empty, too large or not mappable: read, and checked() says what is wrong.
    std::string bytes;
    if (const FileResult read = readWholeFile(path, bytes, kMaxFontBytes + 1); !read.ok())
      return refused("を読めません（" + std::string(std::strerror(read.error)) + "）。");
    return readFontFile(std::move(bytes), shown);
  }
  const auto length = static_cast<std::size_t>(size);
  // No read-ahead around the pages read: the cut reads scattered glyphs.
  ::madvise(mapped, length, MADV_RANDOM);
  FontFile file;
  file.bytes = std::string_view(static_cast<const char*>(mapped), length);
  file.storage =
      std::shared_ptr<const void>(mapped, [length](const void* p) { ::munmap(const_cast<void*>(p), length); });
  return checked(std::move(file), shown);
}

std::optional<FontFace> chooseFace(const FontFile& file, std::string_view name, std::string& refused) {
  if (!file.ok()) {
    refused = file.refused;
    return std::nullopt;
  }
  if (name.empty() && file.faces.size() == 1) return file.faces.front();
  const FontFace* byFamily = nullptr;
  int families = 0;
  for (const FontFace& face : file.faces) {
    if (face.name() == name) return face;
    if (face.family == name) {
      byFamily = &face;
      ++families;
    }
  }
  if (families == 1) return *byFamily;
  std::string list;
  for (const FontFace& face : file.faces) list += (list.empty() ? "" : "、") + quoted(face.name());
  refused = name.empty() ? "このファイルには " + std::to_string(file.faces.size()) + " 個のフォントがあります。" +
                               "どれを使うか名前で選んでください: " + list
                         : "フォント" + quoted(name) + "はこのファイルにありません。あるのは " + list + " です。";
  return std::nullopt;
}

}  // namespace quillane::fonts
