// Cutting the exchange file into lines. Jw_cad writes CR LF, older tools LF
// alone; a lone CR is dropped and a Ctrl-Z (0x1A) ends the text, as DOS-era
// text files had it. The file is read in big chunks, in one pass.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zumorika {

constexpr std::size_t kJwcReadChunk = 256 * 1024;

namespace detail {

// Appends `part` to `line` without its CR bytes.
inline void AppendWithoutCr(std::string& line, std::string_view part) {
  std::size_t from = 0;
  while (from < part.size()) {
    const std::size_t cr = part.find('\r', from);
    const std::size_t end = (cr == std::string_view::npos) ? part.size() : cr;
    line.append(part.data() + from, end - from);
    from = end + 1;
  }
}

}  // namespace detail

// Calls onLine(std::string_view) for each line of `file`, of any length, in
// file order, and afterRead() after each block is read, before its lines are
// handed on. The view lives until onLine returns. Returns false when a read
// fails; the lines before the failure have been handed on.
template <typename OnLine, typename AfterRead>
bool ReadJwcLines(std::FILE* file, OnLine&& onLine, AfterRead&& afterRead) {
  std::vector<char> chunk(kJwcReadChunk);
  std::string carry;  // a line that spans chunks, or holds a CR
  bool ended = false;  // Ctrl-Z seen
  while (!ended) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    if (got == 0) break;
    afterRead();
    std::string_view rest(chunk.data(), got);
    if (const void* eof = std::memchr(rest.data(), 0x1A, rest.size())) {
      rest = rest.substr(0, static_cast<std::size_t>(static_cast<const char*>(eof) - rest.data()));
      ended = true;
    }
    while (!rest.empty()) {
      const void* lf = std::memchr(rest.data(), '\n', rest.size());
      if (!lf) {
        detail::AppendWithoutCr(carry, rest);
        break;
      }
      const std::size_t len = static_cast<std::size_t>(static_cast<const char*>(lf) - rest.data());
      std::string_view part = rest.substr(0, len);
      rest.remove_prefix(len + 1);
      if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
      if (carry.empty() && part.find('\r') == std::string_view::npos) {
        onLine(part);  // the common case: the line lies whole in the chunk
      } else {
        detail::AppendWithoutCr(carry, part);
        onLine(std::string_view(carry));
        carry.clear();
      }
    }
  }
  if (std::ferror(file)) return false;
  if (!carry.empty()) onLine(std::string_view(carry));
  return true;
}

template <typename OnLine>
bool ReadJwcLines(std::FILE* file, OnLine&& onLine) {
  return ReadJwcLines(file, std::forward<OnLine>(onLine), [] {});
}

}  // namespace zumorika
