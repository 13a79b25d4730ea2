// Runs the link rewrite on arbitrary page bytes, style sheet names and style
// sheets. The first byte chooses the marker comment (0x80), a page made of
// the page part repeated up to 64 KiB (0x60, both bits), a sheet part put
// inside a marked comment of a modern sheet (0x40 alone), and the length of
// the name (up to 31 bytes) that follows it; the rest is the page, and after
// its first NUL byte (which no page the rewrite takes holds) the sheet. A
// page taken must come back whole around the inserted lines, its byte-order
// mark and XML declaration first; a filter block read from the sheet must
// read back as itself. The long pages make a rewrite slower than linear run
// into the fuzzer's -timeout: one that searched the rest of the page per tag
// took seconds over them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "linking/filter_block.h"
#include "linking/link_rewrite.h"

namespace {

constexpr std::string_view kMarkedStart = "@charset \"UTF-8\";\r\n/* quillane-svg-filters: advice\r\n";

// The XML declaration the page starts with (after a byte-order mark), or nothing.
std::string_view declarationOf(std::string_view page) {
  if (page.starts_with("\xEF\xBB\xBF")) page.remove_prefix(3);
  if (page.size() < 6 || !page.starts_with("<?xml") ||
      std::string_view(" \t\r\n").find(page[5]) == std::string_view::npos)
    return {};
  const std::size_t end = page.find('>');
  return end == std::string_view::npos ? std::string_view() : page.substr(0, end + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool comment = (data[0] & 0x80) != 0;
  const std::size_t nameLength = std::min<std::size_t>(data[0] & 0x1F, size - 1);
  const std::string_view name(reinterpret_cast<const char*>(data) + 1, nameLength);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1 + nameLength, size - 1 - nameLength);
  const std::size_t split = std::min(rest.find('\0'), rest.size());
  const std::string_view piece = rest.substr(0, split);
  std::string sheet(rest.substr(std::min(split + 1, rest.size())));
  if ((data[0] & 0x60) == 0x40) sheet = std::string(kMarkedStart) + sheet + "*/";
  std::string long_;
  if ((data[0] & 0x60) == 0x60 && !piece.empty())
    while (long_.size() < (std::size_t{64} << 10)) long_ += piece;
  const std::string_view page = long_.empty() ? piece : std::string_view(long_);

  const quillane::FilterBlock filters = quillane::filterBlockOfStyleSheet(sheet);
  if (!filters.block.empty()) {
    // Written anew, the block reads back as itself: nothing but its own elements.
    const quillane::FilterBlock again =
        quillane::filterBlockOfStyleSheet(std::string(kMarkedStart) + filters.block + "*/");
    if (again.block != filters.block || !again.ok()) std::abort();
  }
  const quillane::LinkedPage linked = quillane::linkPage(page, name, comment, sheet);
  if (!linked.ok()) return 0;
  if (linked.bytes.find(quillane::linkLine(name)) == std::string::npos &&
      linked.encoding == quillane::PageEncoding::Utf8)
    std::abort();  // the link is written as given in a UTF-8 page
  if (page.starts_with("\xEF\xBB\xBF") && !linked.bytes.starts_with("\xEF\xBB\xBF")) std::abort();
  if (const std::string_view declaration = declarationOf(page);
      !declaration.empty() && !linked.bytes.starts_with(page.substr(
                                  0, static_cast<std::size_t>(declaration.data() - page.data()) + declaration.size())))
    std::abort();                                       // the declaration stays first
  if (linked.bytes.size() < page.size()) std::abort();  // nothing is lost: only line ends and inserted lines change
  (void)quillane::pageTextForDisplay(linked.bytes, linked.encoding);
  return 0;
}
