#include <cmath>
#include <cstdint>
#include <string>

#include "exchange/JwwGaibu.h"
#include "util/MyFunc.h"

namespace zumorika {

namespace {

// The host's codes above the basic nine sit at an offset; the sum wraps as
// the host's own 32-bit arithmetic would, rather than overflowing.
int32_t AddWrapping(int32_t n, int32_t offset) {
  return static_cast<int32_t>(static_cast<uint32_t>(n) + static_cast<uint32_t>(offset));
}

// The common rule: write when nothing has been written yet or the value
// changed.
bool NeedsRecord(bool& fresh, int32_t& last, int32_t value) {
  if (!fresh && value == last) return false;
  last = value;
  fresh = false;
  return true;
}

// Text record keys by kind; any other kind writes "ch".
constexpr const char* kTextKeys[] = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};

// Directions shorter than this in both components are no direction. The
// double nearest 1e-8 itself still counts as long enough.
constexpr double kMinDirection = 1e-8;

}  // namespace

int32_t MapColor(int32_t n) {
  if (n <= 0) return JwcState.CurLineColor;
  if (n <= 9) return n;
  return AddWrapping(n, 91);  // 10 gives 101
}

int32_t MapLineType(int32_t n) {
  if (n <= 0) return JwcState.CurLineType;
  if (n <= 9) return n;
  if (n <= 18) return n + 1;  // 10 gives 11
  return AddWrapping(n, 12);  // 19 gives 31
}

void OutLayerGroup(int32_t group) {
  TJwcState& s = JwcState;
  if (!NeedsRecord(s.FreshLg, s.LastLayerGroup, group)) return;
  AddOutLine("lg" + FormatHex(group, 1));
  // The host takes a layer relative to its group: after a group record the
  // layer must be written again even if it did not change.
  s.FreshLy = true;
}

void OutLayer(int32_t layer) {
  TJwcState& s = JwcState;
  if (NeedsRecord(s.FreshLy, s.LastLayer, layer)) AddOutLine("ly" + FormatHex(layer, 1));
}

void OutLineColor(int32_t color, int32_t mode) {
  TJwcState& s = JwcState;
  if (mode == 1) color = MapColor(color);
  if (NeedsRecord(s.FreshLc, s.LastLineColor, color)) AddOutLine("lc" + FormatInt(color));
}

void OutLineType(int32_t lineType, int32_t mode) {
  TJwcState& s = JwcState;
  if (mode == 1) lineType = MapLineType(lineType);
  if (NeedsRecord(s.FreshLt, s.LastLineType, lineType)) AddOutLine("lt" + FormatInt(lineType));
}

void OutLineWidth(int32_t width) {
  TJwcState& s = JwcState;
  // A host file without a width record belongs to a host that knows none.
  if (!s.LwSeen) return;
  if (width == -1) width = s.CurLineWidth;
  if (width < 0 || width > 30000) width = 0;
  if (NeedsRecord(s.FreshLw, s.LastLineWidth, width)) AddOutLine("lw" + FormatInt(width));
}

void OutTextType(int32_t textType, int32_t color, int32_t mode, double width, double height,
                 double gap) {
  TJwcState& s = JwcState;
  if (mode == 1) color = MapColor(color);
  if (textType < 0 || textType > 10) {
    textType = s.CurTextType;
    if (textType == 0) {
      width = s.CurTextWidth;
      height = s.CurTextHeight;
      gap = s.CurTextGap;
      color = s.CurTextColor;
    }
  }
  const bool ownSizeChanged = textType == 0 &&
                              (width != s.LastTextWidth || height != s.LastTextHeight ||
                               gap != s.LastTextGap || color != s.LastTextColor);
  if (!s.FreshCn && textType == s.LastTextType && !ownSizeChanged) return;
  if (textType == 0) {
    AddOutLine("cn0 " + FormatReal(width) + " " + FormatReal(height) + " " + FormatReal(gap) +
               " " + FormatInt(color));
    s.LastTextWidth = width;
    s.LastTextHeight = height;
    s.LastTextGap = gap;
    s.LastTextColor = color;
  } else {
    AddOutLine("cn" + FormatInt(textType));
  }
  s.LastTextType = textType;
  s.FreshCn = false;
}

void OutTextCc(int32_t cc) {
  TJwcState& s = JwcState;
  if (cc < 0 || cc > 8) cc = 0;
  if (NeedsRecord(s.FreshCc, s.LastCc, cc)) AddOutLine("cc" + FormatInt(cc));
}

void OutFontName(std::string_view name) {
  TJwcState& s = JwcState;
  if (name.empty() || name == "<>") name = s.CurFontName;
  if (!s.FreshFont && name == s.LastFontName) return;
  // The quote after "cn" makes the host read the rest of the line as one
  // token, so a font name may hold blanks.
  std::string line = "cn\"$";
  line += name;
  s.LastFontName.assign(name);
  s.FreshFont = false;
  AddOutLine(line);
}

void OutText(int32_t kind, std::string_view text, double x, double y, double dx, double dy) {
  if (std::fabs(dx) < kMinDirection && std::fabs(dy) < kMinDirection) return;
  if (CleanText(text).empty()) return;
  const char* key = (kind >= 0 && kind <= 9) ? kTextKeys[kind] : "ch";
  std::string head = key;
  for (double value : {x, y, dx, dy}) {
    head += ' ';
    head += FormatReal(value);
  }
  head += " \"";
  AddOutLine(head);
  AddOutLine(text);
}

}  // namespace zumorika
