#include <algorithm>
#include <string>

#include "exchange/GrowthRule.h"
#include "exchange/JwwGaibu.h"
#include "util/Files.h"

namespace zumorika {

namespace {

constexpr std::size_t kOutLineMax = 255;  // the host's line limit
constexpr char kCrLf[] = "\r\n";

// The file's bytes. A line ending in a double quote is a text record's head:
// the text that follows is put right after the quote, so the host reads one
// line. The joined text line itself never joins the one after it.
std::string JwcTempBytes(const std::vector<std::string>& lines, std::size_t count) {
  if (count == 0) return std::string("hq") + kCrLf;
  std::string bytes;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& line = lines[i];
    bytes += line;
    if (!line.empty() && line.back() == '"') {
      if (i + 1 == count) break;  // the file ends with the quote
      bytes += lines[++i];
    }
    bytes += kCrLf;
  }
  return bytes;
}

bool WriteAll(std::FILE* file, const std::string& bytes) {
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

void AddOutLine(std::string_view text) {
  TJwcState& s = JwcState;
  AppendGrown(s.OutLines).assign(text.substr(0, kOutLineMax));
  s.OutLineCount = static_cast<int32_t>(s.OutLines.size());
}

void ResetOutAttrs() {
  TJwcState& s = JwcState;
  s.FreshLg = s.FreshLy = s.FreshLc = s.FreshLt = s.FreshLw = s.FreshCn = true;
  s.FreshCc = s.FreshFont = true;
  s.LastLayerGroup = 0;
  s.LastLayer = 0;
  s.LastLineColor = 1;
  s.LastLineType = 1;
  s.LastLineWidth = 0;
  s.LastTextType = 1;
  s.LastTextWidth = 2.0;
  s.LastTextHeight = 2.0;
  s.LastTextGap = 0.0;
  s.LastTextColor = 1;
  s.LastCc = 0;
  s.LastFontName.assign(kDefaultFontName);
  s.LastPointColor = 1;
  s.LastSolidColor = 0;
}

bool SaveJwcTemp(const std::string& path) {
  const TJwcState& s = JwcState;
  const std::size_t count =
      std::min(s.OutLines.size(), static_cast<std::size_t>(std::max(s.OutLineCount, 0)));
  const std::string bytes = JwcTempBytes(s.OutLines, count);
  UniqueFile file = OpenFile(path, "wb");
  // Not opened: the file there, if any, is still the host's own, whole
  // (hidden, or held open by another program); it is left alone.
  if (!file) return false;
  bool ok = WriteAll(file.get(), bytes);
  // A full disk often shows only when the buffer is flushed at close.
  ok = CloseFileChecked(std::move(file)) && ok;
  if (!ok) {
    // This run created or truncated the file: half-written, it would hand
    // the host a cut record; better none.
    DeleteFileAt(path);
    return false;
  }
  return true;
}

}  // namespace zumorika
