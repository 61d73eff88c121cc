#include <cmath>
#include <cstdint>
#include <string>

#include "exchange/GrowthRule.h"
#include "exchange/JwcRecords.h"
#include "exchange/JwwGaibu.h"
#include "util/MyFunc.h"

namespace zumorika {

namespace {

using Tokens = JwcTokens;

constexpr std::size_t kShortStringMax = 255;  // text and font fields of a text record

// Appends a record to its store, with its ElementOrder entry and its head
// taken from the running values.
template <typename T>
T& NewElement(ElementKind kind, BlockStore<T>& store) {
  AddElementOrder(kind, static_cast<int32_t>(store.size()));
  T& record = AppendGrown(store);
  InitElementAttrs(record.Attrs);
  return record;
}

// Markers qualify only the element right after them.
void EndElement() {
  TJwcState& s = JwcState;
  s.PendingZFlags = 0;
  s.PendingHhp = 0;
  s.InPolyline = false;
  s.MsgPending = false;
}

std::string ShortString(std::string_view text) {
  return std::string(text.substr(0, kShortStringMax));
}

// --- Texts -------------------------------------------------------------------

// The text keys in SubKind order, as OutText writes them.
constexpr std::string_view kTextKeys[] = {"ch", "cv", "cs", "cr", "co",
                                          "cp", "ct", "ck", "cz", "c2"};

int TextSubKind(std::string_view key) {
  for (int i = 0; i < 10; ++i)
    if (key == kTextKeys[i]) return i;
  return -1;
}

void FillText(TJwwEntText& text, int subKind, const Tokens& t) {
  const TJwcState& s = JwcState;
  text.SubKind = subKind;
  text.Cc = s.LastCc;
  text.TextType = s.LastTextType;
  if (text.TextType >= 1 && text.TextType <= 10) {
    const TTextTypeRow& row = s.TextTypes[static_cast<std::size_t>(text.TextType)];
    text.Width = row.Width;
    text.Height = row.Height;
    text.Gap = row.Gap;
    text.Attrs.LineColor = row.Color;
  } else {
    text.Width = s.LastTextWidth;
    text.Height = s.LastTextHeight;
    text.Gap = s.LastTextGap;
    text.Attrs.LineColor = s.LastTextColor;
  }
  text.X = t.Real(1);
  text.Y = t.Real(2);
  text.DX = t.Real(3);
  text.DY = t.Real(4);
  text.FontName = ShortString(s.LastFontName);
  text.Text = ShortString(t[5]);
}

void AddText(int subKind, const Tokens& t) {
  TJwcState& s = JwcState;
  if (s.MsgPending && subKind == 2) {
    // A "cs" text after "msg" pairs with the line held since.
    TJwwEntMsgText& pair = NewElement(kElemMsgText, s.MsgTexts);
    pair.Line = s.HeldLine;
    pair.Line.PolylineNo = 0;
    InitElementAttrs(pair.Text.Attrs);
    FillText(pair.Text, subKind, t);
  } else {
    FillText(NewElement(kElemText, s.Texts), subKind, t);
  }
}

// --- Solids ------------------------------------------------------------------

bool SamePoint(const SolidPoint& a, const SolidPoint& b) {
  return std::fabs(a.X - b.X) <= 1e-10 && std::fabs(a.Y - b.Y) <= 1e-10;
}

SolidPoint Corner(const Tokens& t, int i) { return SolidPoint{t.Real(2 * i - 1), t.Real(2 * i)}; }

void AddSolid(const SolidPoint& a, const SolidPoint& b) {
  TJwwEntSolid2& r = NewElement(kElemSolid2, JwcState.Solid2s);
  r.SolidColor = JwcState.LastSolidColor;
  r.Points = {a, b};
}

void AddSolid(const SolidPoint& a, const SolidPoint& b, const SolidPoint& c) {
  TJwwEntSolid3& r = NewElement(kElemSolid3, JwcState.Solid3s);
  r.SolidColor = JwcState.LastSolidColor;
  r.Points = {a, b, c};
}

void AddSolid(const SolidPoint& a, const SolidPoint& b, const SolidPoint& c,
              const SolidPoint& d) {
  TJwwEntSolid4& r = NewElement(kElemSolid4, JwcState.Solid4s);
  r.SolidColor = JwcState.LastSolidColor;
  r.Points = {a, b, c, d};
}

// A solid whose corners coincide is stored with the distinct ones only.
void AddThreeCornerSolid(const Tokens& t) {
  const SolidPoint p1 = Corner(t, 1), p2 = Corner(t, 2), p3 = Corner(t, 3);
  if (SamePoint(p1, p2))
    AddSolid(p1, p3);
  else if (SamePoint(p2, p3))
    AddSolid(p1, p2);
  else
    AddSolid(p1, p2, p3);
}

void AddFourCornerSolid(const Tokens& t) {
  const SolidPoint p1 = Corner(t, 1), p2 = Corner(t, 2), p3 = Corner(t, 3), p4 = Corner(t, 4);
  if (SamePoint(p1, p2) && SamePoint(p1, p3))
    AddSolid(p1, p4);
  else if (SamePoint(p2, p3) && SamePoint(p2, p4))
    AddSolid(p1, p2);
  else if (SamePoint(p1, p2) && SamePoint(p3, p4))
    AddSolid(p1, p3);
  else if (SamePoint(p4, p1) || SamePoint(p4, p2) || SamePoint(p4, p3))
    AddSolid(p1, p2, p3);
  else if (SamePoint(p3, p1) || SamePoint(p3, p2))
    AddSolid(p1, p2, p4);
  else if (SamePoint(p2, p1))
    AddSolid(p1, p3, p4);
  else
    AddSolid(p1, p2, p3, p4);
}

template <typename T>
void AddSc(ElementKind kind, BlockStore<T>& store, const Tokens& t) {
  T& r = NewElement(kind, store);
  r.SolidColor = JwcState.LastSolidColor;
  for (int i = 0; i < 7; ++i) r.Values[static_cast<std::size_t>(i)] = t.Real(i + 1);
  r.Code = StrToIntOr0(t[8]);
}

template <typename T>
void AddSo(ElementKind kind, BlockStore<T>& store, const Tokens& t) {
  T& r = NewElement(kind, store);
  r.SolidColor = JwcState.LastSolidColor;
  for (int i = 0; i < 8; ++i) r.Values[static_cast<std::size_t>(i)] = t.Real(i + 1);
}

// --- Other kinds -------------------------------------------------------------

template <std::size_t N>
void ReadValues(std::array<double, N>& values, const Tokens& t) {
  for (std::size_t i = 0; i < N; ++i) values[i] = t.Real(static_cast<int>(i) + 1);
}

void AddPoint(const Tokens& t) {
  TJwwEntPoint& r = NewElement(kElemPoint, JwcState.Points);
  r.Attrs.LineColor = JwcState.LastPointColor;
  r.X = t.Real(1);
  r.Y = t.Real(2);
}

void AddPointEx(const Tokens& t) {
  TJwwEntPointEx& r = NewElement(kElemPointEx, JwcState.PointExs);
  r.Attrs.LineColor = JwcState.LastPointColor;
  r.X = t.Real(1);
  r.Y = t.Real(2);
  r.Values = {t.Real(3), t.Real(4)};
  r.Code = StrToIntOr0(t[5]);
}

void AddBlock(const Tokens& t) {
  TJwwEntBlk& r = NewElement(kElemBlock, JwcState.Blocks);
  r.X = t.Real(1);
  r.Y = t.Real(2);
  r.Name.assign(t[3]);
}

void FillLinePoints(TJwwEntLine& line, const Tokens& t) {
  line.X1 = t.Real(0);
  line.Y1 = t.Real(1);
  line.X2 = t.Real(2);
  line.Y2 = t.Real(3);
}

// Four tokens of anything: a line, possibly of a polyline, or the line a
// following "msg" text pairs with. Unlike the keyed elements it leaves the
// polyline and the "msg" pairing open.
void AddBareLine(const Tokens& t) {
  TJwcState& s = JwcState;
  if (s.MsgPending) {
    InitElementAttrs(s.HeldLine.Attrs);
    s.HeldLine.PolylineNo = 0;
    FillLinePoints(s.HeldLine, t);
  } else {
    TJwwEntLine& r = NewElement(kElemLine, s.Lines);
    r.PolylineNo = s.InPolyline ? s.PolylineCount : 0;
    FillLinePoints(r, t);
  }
  s.PendingZFlags = 0;
  s.PendingHhp = 0;
}

// A two-character key as one number, so that the keys can be told apart in
// one switch.
constexpr uint32_t Key2(char first, char second) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(first)) << 8) |
         static_cast<unsigned char>(second);
}

// The keyed elements; false when the line is none of them. Every key has two
// characters; for one key the token counts are tried in order.
bool AddKeyedElement(const Tokens& t) {
  TJwcState& s = JwcState;
  const std::string_view key = t[0];
  if (key.size() != 2) return false;
  const int n = t.Count();
  switch (Key2(key[0], key[1])) {
    case Key2('c', 'i'):
      if (n == 4) {
        ReadValues(NewElement(kElemCircle, s.Circles).Values, t);
      } else if (n >= 8) {
        ReadValues(NewElement(kElemArc, s.Arcs).Values, t);
      } else {
        return false;
      }
      return true;
    case Key2('p', 't'):
      if (n == 3) {
        AddPoint(t);
      } else if (n >= 6) {
        AddPointEx(t);
      } else {
        return false;
      }
      return true;
    case Key2('B', 'L'):
      if (n < 4) return false;
      AddBlock(t);
      return true;
    case Key2('s', 'l'):
      if (n == 5) {
        AddSolid(Corner(t, 1), Corner(t, 2));
      } else if (n == 7) {
        AddThreeCornerSolid(t);
      } else if (n >= 9) {
        AddFourCornerSolid(t);
      } else {
        return false;
      }
      return true;
    case Key2('s', 'c'):
      if (n < 9) return false;
      AddSc(kElemSc, s.Scs, t);
      return true;
    case Key2('s', 'e'):
      if (n < 9) return false;
      AddSc(kElemSe, s.Ses, t);
      return true;
    case Key2('s', 'o'):
      if (n < 9) return false;
      AddSo(kElemSo, s.Sos, t);
      return true;
    case Key2('s', 'g'):
      if (n < 9) return false;
      AddSo(kElemSg, s.Sgs, t);
      return true;
    default:
      // The text keys, in their own table.
      if (const int subKind = TextSubKind(key); subKind >= 0 && n >= 6) {
        AddText(subKind, t);
        return true;
      }
      return false;
  }
}

}  // namespace

void AddElementOrder(int32_t kind, int32_t index) {
  ElementOrderEntry& entry = AppendGrown(JwcState.ElementOrder);
  entry.Kind = kind;
  entry.Index = index;
}

void InitElementAttrs(ElementAttrs& attrs) {
  const TJwcState& s = JwcState;
  attrs.Hhp = s.PendingHhp;
  attrs.LayerGroup = s.LastLayerGroup;
  attrs.Layer = s.LastLayer;
  attrs.LineColor = s.LastLineColor;
  attrs.LineType = s.LastLineType;
  attrs.LineWidth = s.LastLineWidth;
  attrs.ZFlags = s.PendingZFlags;
}

void ParseElementRecord(const JwcTokens& tokens) {
  if (AddKeyedElement(tokens))
    EndElement();
  else if (tokens.Count() == 4)
    AddBareLine(tokens);
}

}  // namespace zumorika
