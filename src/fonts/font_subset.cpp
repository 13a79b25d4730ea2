#include "fonts/font_subset.h"

#include <fcntl.h>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#include <woff2/encode.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "document/message_text.h"

namespace quillane::fonts {

namespace {

template <typename T, void (*destroy)(T*)>
using Owned = std::unique_ptr<T, decltype([](T* p) { destroy(p); })>;

using Blob = Owned<hb_blob_t, hb_blob_destroy>;
using Face = Owned<hb_face_t, hb_face_destroy>;
using Set = Owned<hb_set_t, hb_set_destroy>;
using Input = Owned<hb_subset_input_t, hb_subset_input_destroy>;

// The Debian build of the WOFF2 encoder reports "Compressed N to M." on
// standard error; that line is no message of ours, so standard error points
// at /dev/null while the encoder runs.
class QuietStandardError {
 public:
  QuietStandardError() : m_saved(::dup(STDERR_FILENO)) {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_saved >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
    if (null >= 0) ::close(null);
  }
  ~QuietStandardError() {
    if (m_saved < 0) return;
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
  }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  int m_saved;
};

constexpr const char* kExtraFeatures[] = {"vert", "vrt2", "vpal", "palt", "halt", "kern", "vkrn"};

}  // namespace

namespace {

// The cut, or nothing after setting `result.refused`. HarfBuzz's objects
// are gone on return, so that their memory is free before the compression
// takes its own.
bool cutFace(const FontFile& file, const FontFace& face, const CharacterSet& wanted, FontSubset& result) {
  const Blob blob(hb_blob_create(file.bytes.data(), static_cast<unsigned>(file.bytes.size()), HB_MEMORY_MODE_READONLY,
                                 nullptr, nullptr));
  const Face source(hb_face_create(blob.get(), face.index));
  const Set mapped(hb_set_create());
  hb_face_collect_unicodes(source.get(), mapped.get());
  for (const char32_t c : wanted) (hb_set_has(mapped.get(), c) ? result.kept : result.lacking).insert(c);
  if (result.kept.empty()) {
    result.refused = "このフォントには、残す文字が一つもありません。";
    return false;
  }
  const Input input(hb_subset_input_create_or_fail());
  if (!input) {
    result.refused = "フォントを切り出すためのメモリーが足りません。";
    return false;
  }
  hb_set_t* unicodes = hb_subset_input_unicode_set(input.get());
  for (const char32_t c : result.kept) hb_set_add(unicodes, c);
  hb_set_t* features = hb_subset_input_set(input.get(), HB_SUBSET_SETS_LAYOUT_FEATURE_TAG);
  for (const char* tag : kExtraFeatures) hb_set_add(features, hb_tag_from_string(tag, 4));
  hb_set_t* names = hb_subset_input_set(input.get(), HB_SUBSET_SETS_NAME_ID);
  hb_set_add(names, HB_OT_NAME_ID_LICENSE);
  hb_set_add(names, HB_OT_NAME_ID_LICENSE_URL);
  Blob cutBytes;
  {
    const Face cut(hb_subset_or_fail(source.get(), input.get()));
    if (!cut) {
      result.refused = "フォントを切り出せませんでした（フォントの表が読めないか、メモリーが足りません）。";
      return false;
    }
    cutBytes.reset(hb_face_reference_blob(cut.get()));
  }
  unsigned length = 0;
  const char* data = hb_blob_get_data(cutBytes.get(), &length);
  result.cut.assign(data, length);
  result.subsetBytes = length;
  return true;
}

}  // namespace

FontSubset cutFont(const FontFile& file, const FontFace& face, const CharacterSet& wanted) {
  FontSubset result;
  if (!file.ok()) {
    result.refused = file.refused;
    return result;
  }
  cutFace(file, face, wanted, result);
  // HarfBuzz's many small blocks are free now; give them back before the
  // encoder asks for its large ones.
  ::malloc_trim(0);
  return result;
}

void compressFont(FontSubset& subset, std::size_t limit) {
  if (!subset.ok()) return;
  const auto* data = reinterpret_cast<const std::uint8_t*>(subset.cut.data());
  const std::size_t length = subset.cut.size();
  // The encoder's own bound. It must start zeroed, for the encoder leaves
  // its padding bytes as it finds them: fresh zero pages of a mapping of
  // their own, which cost memory only once written (calloc would clear
  // heap the cut has given back, touching all of it).
  std::size_t woff2Length = woff2::MaxWOFF2CompressedSize(data, length);
  const std::size_t room = woff2Length;
  void* mapped = ::mmap(nullptr, room, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) {
    subset.refused = "フォントを圧縮するためのメモリーが足りません。";
    return;
  }
  const std::unique_ptr<std::uint8_t, std::function<void(std::uint8_t*)>> out(
      static_cast<std::uint8_t*>(mapped), [room](std::uint8_t* p) { ::munmap(p, room); });
  woff2::WOFF2Params params;
  params.brotli_quality = 11;
  bool compressed = false;
  {
    const QuietStandardError quiet;
    compressed = woff2::ConvertTTFToWOFF2(data, length, out.get(), &woff2Length, params);
  }
  std::string().swap(subset.cut);
  if (!compressed) {
    subset.refused = "切り出したフォントを WOFF2 に圧縮できませんでした。";
    return;
  }
  subset.woff2Bytes = woff2Length;
  if (woff2Length > limit) {
    subset.refused = "埋め込むフォントが " + byteCountText(woff2Length) + "になり、上限の " + byteCountText(limit) +
                     "を超えます（" + countText(subset.kept.size()) +
                     " 字）。文字の組（JIS第1水準 など）を外すか、上限を上げてください。";
    return;
  }
  subset.woff2.assign(reinterpret_cast<const char*>(out.get()), woff2Length);
}

FontSubset subsetFont(const FontFile& file, const FontFace& face, const CharacterSet& wanted, std::size_t limit) {
  FontSubset result = cutFont(file, face, wanted);
  compressFont(result, limit);
  return result;
}

void mapLargeBlocksApart() { ::mallopt(M_MMAP_THRESHOLD, 128 * 1024); }

}  // namespace quillane::fonts
