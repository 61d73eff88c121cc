// A byte-exact description of the exchange state, for comparing two ways of
// reading the same input, and the invariants every reading must keep.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/JwwGaibu.h"

namespace zumorika::reference {

class Digest {
 public:
  void Add(int32_t v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void Add(bool v) { bytes_ += v ? '1' : '0'; }
  void Add(double v) { bytes_.append(reinterpret_cast<const char*>(&v), sizeof v); }
  void Add(std::string_view s) {
    Add(static_cast<int32_t>(s.size()));
    bytes_.append(s);
  }
  void Add(const ElementAttrs& a) {
    for (int32_t v : {a.Hhp, a.LayerGroup, a.Layer, a.LineColor, a.LineType, a.LineWidth,
                      a.ZFlags})
      Add(v);
  }
  void Add(const TJwwEntLine& l) {
    Add(l.Attrs);
    Add(l.PolylineNo);
    for (double v : {l.X1, l.Y1, l.X2, l.Y2}) Add(v);
  }
  void Add(const TJwwEntText& t) {
    Add(t.Attrs);
    for (int32_t v : {t.SubKind, t.Cc, t.TextType}) Add(v);
    for (double v : {t.Width, t.Height, t.Gap, t.X, t.Y, t.DX, t.DY}) Add(v);
    Add(t.FontName);
    Add(t.Text);
  }
  template <typename Store>
  void AddStore(const Store& store) {
    Add(static_cast<int32_t>(store.size()));
    for (const auto& r : store) AddRecord(r);
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  void AddRecord(const TJwwEntLine& r) { Add(r); }
  void AddRecord(const TJwwEntText& r) { Add(r); }
  void AddRecord(const TJwwEntMsgText& r) {
    Add(r.Attrs);
    Add(r.Line);
    Add(r.Text);
  }
  void AddRecord(const TJwwEntBlk& r) {
    Add(r.Attrs);
    Add(r.X);
    Add(r.Y);
    Add(r.Name);
  }
  template <size_t N>
  void AddValues(const std::array<double, N>& values) {
    for (double v : values) Add(v);
  }
  template <size_t N>
  void AddPoints(const std::array<SolidPoint, N>& points) {
    for (const auto& p : points) {
      Add(p.X);
      Add(p.Y);
    }
  }
  void AddRecord(const TJwwEntCircle& r) { Add(r.Attrs); AddValues(r.Values); }
  void AddRecord(const TJwwEntArc& r) { Add(r.Attrs); AddValues(r.Values); }
  void AddRecord(const TJwwEntPoint& r) { Add(r.Attrs); Add(r.X); Add(r.Y); }
  void AddRecord(const TJwwEntPointEx& r) {
    Add(r.Attrs); Add(r.X); Add(r.Y); AddValues(r.Values); Add(r.Code);
  }
  void AddRecord(const TJwwEntSolid2& r) { Add(r.Attrs); Add(r.SolidColor); AddPoints(r.Points); }
  void AddRecord(const TJwwEntSolid3& r) { Add(r.Attrs); Add(r.SolidColor); AddPoints(r.Points); }
  void AddRecord(const TJwwEntSolid4& r) { Add(r.Attrs); Add(r.SolidColor); AddPoints(r.Points); }
  void AddRecord(const TJwwEntSc& r) { Add(r.Attrs); Add(r.SolidColor); AddValues(r.Values); Add(r.Code); }
  void AddRecord(const TJwwEntSo& r) { Add(r.Attrs); Add(r.SolidColor); AddValues(r.Values); }
  std::string bytes_;
};

inline std::string DigestOf(const TJwcState& s) {
  Digest d;
  d.Add(s.DrawingFileName);
  d.Add(s.HkValue);
  for (double v : s.GroupScale) d.Add(v);
  d.Add(s.PaperWidth);
  d.Add(s.PaperHeight);
  for (const auto& row : s.TextTypes) {
    d.Add(row.Width);
    d.Add(row.Height);
    d.Add(row.Gap);
    d.Add(row.Color);
  }
  d.Add(s.BzFlag);
  for (double v : s.HnValues) d.Add(v);
  for (int32_t v : s.LayerGroupValues) d.Add(v);
  for (const auto& v : s.LayerGroupNames) d.Add(v);
  for (int32_t v : s.LayerValues) d.Add(v);
  for (const auto& v : s.LayerNames) d.Add(v);
  for (int32_t v : {s.CurLayerGroup, s.CurLayer, s.CurLineColor, s.CurLineType,
                    s.CurLineWidth, s.CurTextType, s.CurTextColor})
    d.Add(v);
  for (double v : {s.CurTextWidth, s.CurTextHeight, s.CurTextGap}) d.Add(v);
  d.Add(s.CurFontName);
  for (bool v : {s.FreshLg, s.FreshLy, s.FreshLc, s.FreshLt, s.FreshLw, s.FreshCn}) d.Add(v);
  for (int32_t v : {s.LastLayerGroup, s.LastLayer, s.LastLineColor, s.LastLineType,
                    s.LastLineWidth, s.LastTextType, s.LastTextColor, s.LastCc,
                    s.LastPointColor, s.LastSolidColor})
    d.Add(v);
  for (double v : {s.LastTextWidth, s.LastTextHeight, s.LastTextGap}) d.Add(v);
  d.Add(s.LastFontName);
  d.Add(s.LwSeen);
  for (const auto& p : s.HpPoints) {
    d.Add(p.Used);
    d.Add(p.X);
    d.Add(p.Y);
    d.Add(p.Kind);
  }
  for (int32_t v : {s.PendingHhp, s.PendingZFlags, s.PolylineCount}) d.Add(v);
  d.Add(s.InPolyline);
  d.Add(s.MsgPending);
  d.Add(s.HeldLine);
  d.Add(static_cast<int32_t>(s.ElementOrder.size()));
  for (const auto& e : s.ElementOrder) {
    d.Add(e.Kind);
    d.Add(e.Index);
  }
  d.AddStore(s.Lines);
  d.AddStore(s.Circles);
  d.AddStore(s.Arcs);
  d.AddStore(s.Texts);
  d.AddStore(s.Points);
  d.AddStore(s.PointExs);
  d.AddStore(s.MsgTexts);
  d.AddStore(s.Blocks);
  d.AddStore(s.Solid2s);
  d.AddStore(s.Solid3s);
  d.AddStore(s.Solid4s);
  d.AddStore(s.Scs);
  d.AddStore(s.Ses);
  d.AddStore(s.Sos);
  d.AddStore(s.Sgs);
  return d.Bytes();
}

inline size_t StoreSize(const TJwcState& s, int32_t kind) {
  switch (kind) {
    case kElemLine: return s.Lines.size();
    case kElemCircle: return s.Circles.size();
    case kElemArc: return s.Arcs.size();
    case kElemText: return s.Texts.size();
    case kElemPoint: return s.Points.size();
    case kElemPointEx: return s.PointExs.size();
    case kElemMsgText: return s.MsgTexts.size();
    case kElemBlock: return s.Blocks.size();
    case kElemSolid2: return s.Solid2s.size();
    case kElemSolid3: return s.Solid3s.size();
    case kElemSolid4: return s.Solid4s.size();
    case kElemSc: return s.Scs.size();
    case kElemSe: return s.Ses.size();
    case kElemSo: return s.Sos.size();
    case kElemSg: return s.Sgs.size();
    default: return 0;
  }
}

// Returns a description of the first broken invariant, or "" when all hold.
inline std::string BrokenInvariant(const TJwcState& s) {
  auto in = [](int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; };
  if (!in(s.CurLayerGroup, 0, 15) || !in(s.LastLayerGroup, 0, 15)) return "layer group range";
  if (!in(s.CurLayer, 0, 15) || !in(s.LastLayer, 0, 15)) return "layer range";
  if (!in(s.LastCc, 0, 8)) return "cc range";
  if (s.HpPoints.size() != 100) return "HpPoints size";
  if (s.HpPoints[0].Used) return "HpPoints[0] filled";
  if (s.LayerGroupValues.size() != 16 || s.LayerGroupNames.size() != 16 ||
      s.LayerValues.size() != 256 || s.LayerNames.size() != 256)
    return "layer table size";
  if (s.OutLineCount != 0 || !s.OutLines.empty()) return "reading produced output";
  std::vector<size_t> seen(16, 0);
  for (const auto& e : s.ElementOrder) {
    if (!in(e.Kind, 1, 15)) return "ElementOrder kind";
    if (e.Index < 0 || static_cast<size_t>(e.Index) != seen[e.Kind]) return "ElementOrder index";
    ++seen[e.Kind];
  }
  for (int32_t k = 1; k <= 15; ++k)
    if (seen[k] != StoreSize(s, k)) return "store count " + std::to_string(k);
  for (const auto& t : s.Texts)
    if (t.Text.size() > 255 || t.FontName.size() > 255) return "text longer than 255";
  for (const auto& t : s.MsgTexts)
    if (t.Text.Text.size() > 255 || t.Text.FontName.size() > 255) return "msg text longer than 255";
  return "";
}

// Splits file bytes into lines as the host's text file reads: LF or CR LF
// ends a line, a CR before anything else is dropped, Ctrl-Z ends the text.
inline std::vector<std::string> SplitExchangeText(std::string_view bytes) {
  std::vector<std::string> lines;
  std::string current;
  bool any = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\x1A') break;
    if (c == '\n') {
      lines.push_back(current);
      current.clear();
      any = false;
      continue;
    }
    if (c == '\r') continue;
    current += c;
    any = true;
  }
  if (any) lines.push_back(current);
  return lines;
}

}  // namespace zumorika::reference
