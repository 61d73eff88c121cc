#include "exchange/JwcRecords.h"

#include <cstdint>
#include <string>

#include "exchange/JwwGaibu.h"
#include "util/MyFunc.h"

namespace zumorika {

namespace {

using Tokens = JwcTokens;

int32_t I(std::string_view text) { return StrToIntOr0(text); }

// Token 0 from its (from + 1)-th character on; empty when it is shorter.
std::string_view Tail(std::string_view token, std::size_t from) {
  return from < token.size() ? token.substr(from) : std::string_view();
}

int32_t TailInt(std::string_view token, std::size_t from) {
  return StrToIntOr0(Tail(token, from));
}

// --- Header records ----------------------------------------------------------

void ReadTextTypeColumn(const Tokens& t, double TTextTypeRow::*field) {
  for (int i = 1; i <= 10; ++i) JwcState.TextTypes[static_cast<std::size_t>(i)].*field = t.Real(i);
}

// The first character of token 0; most lines are elements whose first token
// is a number, and no record key starts like one.
char KeyStart(std::string_view key) { return key.empty() ? '\0' : key[0]; }

bool ParseHeaderRecord(const Tokens& t) {
  TJwcState& s = JwcState;
  const std::string_view key = t[0];
  const int n = t.Count();
  // A plain ASCII line holds no equals sign, so no "file=".
  if (!t.PlainAscii() && key.find("file=") != std::string_view::npos) {
    s.DrawingFileName.assign(Tail(key, 5));
    return true;
  }
  const char start = KeyStart(key);
  if (start != 'h' && start != 'b') return false;
  if (key == "hk" && n >= 2) {
    s.HkValue = t.Real(1);
  } else if (key == "hs" && n >= 17) {
    for (int i = 0; i < 16; ++i) s.GroupScale[static_cast<std::size_t>(i)] = t.Real(i + 1);
  } else if (key == "hzs" && n >= 3) {
    s.PaperWidth = t.Real(1);
    s.PaperHeight = t.Real(2);
  } else if (key == "hcw" && n >= 11) {
    ReadTextTypeColumn(t, &TTextTypeRow::Width);
  } else if (key == "hch" && n >= 11) {
    ReadTextTypeColumn(t, &TTextTypeRow::Height);
  } else if (key == "hcd" && n >= 11) {
    ReadTextTypeColumn(t, &TTextTypeRow::Gap);
  } else if (key == "hcc" && n >= 11) {
    for (int i = 1; i <= 10; ++i) s.TextTypes[static_cast<std::size_t>(i)].Color = I(t[i]);
  } else if (key == "bz") {
    s.BzFlag = true;
  } else if (key == "hn" && n >= 5) {
    for (int i = 1; i <= 4; ++i) s.HnValues[static_cast<std::size_t>(i)] = t.Real(i);
  } else {
    return false;
  }
  return true;
}

// --- Layer records -----------------------------------------------------------

// The tables are indexed by running values; the bounds check keeps a call
// after ReleaseJwcState, or with trackers moved by the emitters, harmless.
template <typename T>
void StoreAt(std::vector<T>& table, int32_t index, T value) {
  if (index >= 0 && static_cast<std::size_t>(index) < table.size())
    table[static_cast<std::size_t>(index)] = std::move(value);
}

int32_t LayerSlot() { return JwcState.LastLayerGroup * 16 + JwcState.LastLayer; }

// One hexadecimal digit: the 3rd character of "lg3"/"lyA"; 0 when missing.
int32_t LayerDigit(std::string_view key) {
  if (key.size() < 3) return 0;
  const char digit[2] = {'$', key[2]};
  const int32_t value = StrToIntOr0(std::string_view(digit, 2));
  return (value >= 0 && value <= 15) ? value : 0;
}

void ParseLayerGroup(const Tokens& t) {
  TJwcState& s = JwcState;
  const int32_t value = LayerDigit(t[0]);
  if (s.FreshLg) {
    s.CurLayerGroup = value;
    s.FreshLg = false;
  }
  s.LastLayerGroup = value;
  if (t.Count() >= 2) StoreAt(s.LayerGroupValues, s.LastLayerGroup, I(t[1]));
  s.InPolyline = false;
}

void ParseLayer(const Tokens& t) {
  TJwcState& s = JwcState;
  const int32_t value = LayerDigit(t[0]);
  if (s.FreshLy) {
    s.CurLayer = value;
    s.FreshLy = false;
  }
  s.LastLayer = value;
  if (t.Count() >= 2) StoreAt(s.LayerValues, LayerSlot(), I(t[1]));
  s.InPolyline = false;
}

// --- Line attributes ---------------------------------------------------------

void TakeFirstAndLast(int32_t value, bool& fresh, int32_t& cur, int32_t& last) {
  if (fresh) {
    cur = value;
    fresh = false;
  }
  last = value;
  JwcState.InPolyline = false;
}

void ParseLineColor(const Tokens& t) {
  TJwcState& s = JwcState;
  const int32_t value = TailInt(t[0], 2);
  TakeFirstAndLast(value, s.FreshLc, s.CurLineColor, s.LastLineColor);
  // Colour 10 is the solid colour; its second token carries the RGB value.
  if (value == 10 && t.Count() >= 2) s.LastSolidColor = I(t[1]);
}

// --- Text attributes ---------------------------------------------------------

void ParseFontName(const Tokens& t) {
  TJwcState& s = JwcState;
  const std::string_view name = Tail(t[0], 3);
  if (s.CurFontName.empty()) s.CurFontName.assign(name);
  s.LastFontName.assign(name);
  s.InPolyline = false;
}

void ParseTextType(const Tokens& t) {
  TJwcState& s = JwcState;
  const int32_t value = TailInt(t[0], 2);
  // Text type 0 carries its own size, spacing and colour in the record.
  const bool ownSize = value == 0 && t.Count() >= 5;
  if (s.FreshCn) {
    s.CurTextType = value;
    if (ownSize) {
      s.CurTextWidth = t.Real(1);
      s.CurTextHeight = t.Real(2);
      s.CurTextGap = t.Real(3);
      s.CurTextColor = I(t[4]);
    }
    s.FreshCn = false;
  }
  s.LastTextType = value;
  if (ownSize) {
    s.LastTextWidth = t.Real(1);
    s.LastTextHeight = t.Real(2);
    s.LastTextGap = t.Real(3);
    s.LastTextColor = I(t[4]);
  }
  s.InPolyline = false;
}

void ParseCc(const Tokens& t) {
  TJwcState& s = JwcState;
  // Only the single character after "cc" counts: "cc12" is cc 1.
  const int32_t value = t[0].size() >= 3 ? StrToIntOr0(std::string_view(t[0]).substr(2, 1)) : 0;
  s.LastCc = (value >= 0 && value <= 8) ? value : 0;
  s.InPolyline = false;
}

bool ParseLayerOrLineRecord(const Tokens& t) {
  TJwcState& s = JwcState;
  const std::string_view key = t[0];
  if (StartsWith(key, "lgn")) {
    StoreAt(s.LayerGroupNames, s.LastLayerGroup, std::string(Tail(key, 3)));
  } else if (StartsWith(key, "lyn")) {
    StoreAt(s.LayerNames, LayerSlot(), std::string(Tail(key, 3)));
  } else if (StartsWith(key, "lg")) {
    ParseLayerGroup(t);
  } else if (StartsWith(key, "ly")) {
    ParseLayer(t);
  } else if (StartsWith(key, "lc")) {
    ParseLineColor(t);
  } else if (StartsWith(key, "lt")) {
    TakeFirstAndLast(TailInt(key, 2), s.FreshLt, s.CurLineType, s.LastLineType);
  } else if (StartsWith(key, "lw")) {
    TakeFirstAndLast(TailInt(key, 2), s.FreshLw, s.CurLineWidth, s.LastLineWidth);
    s.LwSeen = true;
  } else {
    return false;
  }
  return true;
}

bool ParseTextAttributeRecord(const Tokens& t) {
  const std::string_view key = t[0];
  if (StartsWith(key, "cn$")) {
    ParseFontName(t);
  } else if (StartsWith(key, "cn")) {
    ParseTextType(t);
  } else if (StartsWith(key, "cc")) {
    ParseCc(t);
  } else {
    return false;
  }
  return true;
}

bool ParseAttributeRecord(const Tokens& t) {
  switch (KeyStart(t[0])) {
    case 'l': return ParseLayerOrLineRecord(t);
    case 'c': return ParseTextAttributeRecord(t);
    default: return false;
  }
}

// --- Markers and indicated points --------------------------------------------

// "z1".."z5" give the bits 1, 2, 4, 8, 16; 0 for any other token.
int32_t ZMarkerBit(std::string_view key) {
  if (key.size() != 2 || key[0] != 'z' || key[1] < '1' || key[1] > '5') return 0;
  return int32_t{1} << (key[1] - '1');
}

// "hp1" kind 0, "hp1-" 1, "hp2ln" 2, "hp3ci" 3, "hp4ch" 4. Each suffix is
// looked for in the whole token; a later one in this list wins.
void ParseIndicatedPoint(const Tokens& t) {
  const std::string_view key = t[0];
  static const std::string_view kSuffixes[] = {"-", "ln", "ci", "ch"};
  std::string_view number = Tail(key, 2);
  int32_t kind = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t p = key.find(kSuffixes[i]);
    if (p == std::string::npos) continue;
    number = std::string_view(key).substr(2, p >= 2 ? p - 2 : 0);
    kind = i + 1;
  }
  const int32_t index = StrToIntOr0(number);
  if (index < 1 || index > 99) return;
  std::vector<THpPoint>& points = JwcState.HpPoints;
  if (static_cast<std::size_t>(index) >= points.size()) return;
  THpPoint& point = points[static_cast<std::size_t>(index)];
  point.Used = true;
  point.X = t.Real(1);
  point.Y = t.Real(2);
  point.Kind = kind;
}

// "hhp5", "hhp5ln": the number between "hhp" and an optional suffix.
void ParsePendingHhp(std::string_view key) {
  std::size_t count = key.size();
  for (std::string_view suffix : {"ln", "ci", "ch"}) {
    const std::size_t p = key.find(suffix);
    if (p != std::string_view::npos && p >= 4) count = p - 3;
  }
  JwcState.PendingHhp = StrToIntOr0(key.substr(3, count));
}

bool ParseMarkerRecord(const Tokens& t) {
  TJwcState& s = JwcState;
  const std::string_view key = t[0];
  switch (KeyStart(key)) {
    case 'z': case 'p': case 'm': case '#': case 'h': break;
    default: return false;
  }
  if (const int32_t bit = ZMarkerBit(key)) {
    s.PendingZFlags |= bit;
  } else if (StartsWith(key, "pn")) {
    s.LastPointColor = TailInt(key, 2);
    s.InPolyline = false;
  } else if (key == "pl") {
    ++s.PolylineCount;
    s.InPolyline = true;
    s.MsgPending = false;
  } else if (key == "msg") {
    s.MsgPending = true;
    s.InPolyline = false;
  } else if (key == "#") {
    s.InPolyline = false;
    s.MsgPending = false;
  } else if (StartsWith(key, "hp") && t.Count() >= 3) {
    ParseIndicatedPoint(t);
  } else if (StartsWith(key, "hhp")) {
    ParsePendingHhp(key);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseKeyedRecord(const JwcTokens& tokens) {
  return ParseHeaderRecord(tokens) || ParseAttributeRecord(tokens) || ParseMarkerRecord(tokens);
}

void ParseJwcLine(std::string_view line) { ParseJwcLine(line, RoundsToNearest()); }

void ParseJwcLine(std::string_view line, bool roundsToNearest) {
  // One tokenizer buffer for the process: the tool reads on its one thread,
  // and reusing the slots spares an allocation per line.
  static JwcTokens tokens;
  TokenizeJwcLine(line, tokens, roundsToNearest);
  if (tokens.Count() == 0) return;
  if (!ParseKeyedRecord(tokens)) ParseElementRecord(tokens);
}

}  // namespace zumorika
