// Runs the link rewrite on arbitrary page bytes and style sheet names. The
// first byte chooses the marker comment (0x80), a page made of the rest
// repeated up to 64 KiB (0x60, both bits), and the length of the name (up
// to 31 bytes) that follows it; the rest is the page. A page taken must come
// back whole around the inserted lines, its byte-order mark first. The long
// pages make a rewrite slower than linear run into the fuzzer's -timeout:
// one that searched the rest of the page per tag took seconds over them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "linking/link_rewrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool comment = (data[0] & 0x80) != 0;
  const std::size_t nameLength = std::min<std::size_t>(data[0] & 0x1F, size - 1);
  const std::string_view name(reinterpret_cast<const char*>(data) + 1, nameLength);
  const std::string_view piece(reinterpret_cast<const char*>(data) + 1 + nameLength, size - 1 - nameLength);
  std::string long_;
  if ((data[0] & 0x60) == 0x60 && !piece.empty())
    while (long_.size() < (std::size_t{64} << 10)) long_ += piece;
  const std::string_view page = long_.empty() ? piece : std::string_view(long_);

  const quillane::LinkedPage linked = quillane::linkPage(page, name, comment);
  if (!linked.ok()) return 0;
  if (linked.bytes.find(quillane::linkLine(name)) == std::string::npos &&
      linked.encoding == quillane::PageEncoding::Utf8)
    std::abort();  // the link is written as given in a UTF-8 page
  if (page.starts_with("\xEF\xBB\xBF") && !linked.bytes.starts_with("\xEF\xBB\xBF")) std::abort();
  if (linked.bytes.size() < page.size()) std::abort();  // nothing is lost: only line ends and inserted lines change
  (void)quillane::pageTextForDisplay(linked.bytes, linked.encoding);
  return 0;
}
