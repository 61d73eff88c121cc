#include "JwcJson.h"

#include "JsonWriter.h"

namespace zumorika {

namespace {

class StateWriter {
 public:
  explicit StateWriter(const TJwcState& s) : s_(s) {}
  std::string Write();

 private:
  void Header();
  void Attributes();
  void Markers();
  void Elements();
  void Element(const ElementOrderEntry& entry);

  void Head(const ElementAttrs& a);
  void LineFields(const TJwwEntLine& line);
  void TextFields(const TJwwEntText& text);
  void LineRecord(const TJwwEntLine& line);  // HeldLine and a paired text's line
  void TextRecord(const TJwwEntText& text);
  template <std::size_t N>
  void Values(const std::array<double, N>& values);
  template <std::size_t N>
  void Points(int32_t solidColor, const std::array<SolidPoint, N>& points);
  void StringArray(const char* key, const std::vector<std::string>& values);

  void Int(const char* key, int64_t v) { w_.Key(key), w_.Int(v); }
  void Real(const char* key, double v) { w_.Key(key), w_.Double(v); }
  void Flag(const char* key, bool v) { w_.Key(key), w_.Bool(v); }
  void Text(const char* key, const std::string& v) { w_.Key(key), w_.SjisString(v); }

  const TJwcState& s_;
  JsonWriter w_;
};

void StateWriter::StringArray(const char* key, const std::vector<std::string>& values) {
  w_.Key(key);
  w_.BeginArray();
  for (const std::string& v : values) w_.SjisString(v);
  w_.EndArray();
}

template <std::size_t N>
void StateWriter::Values(const std::array<double, N>& values) {
  w_.Key("Values");
  w_.BeginArray();
  for (double v : values) w_.Double(v);
  w_.EndArray();
}

template <std::size_t N>
void StateWriter::Points(int32_t solidColor, const std::array<SolidPoint, N>& points) {
  Int("SolidColor", solidColor);
  w_.Key("Points");
  w_.BeginArray();
  for (const SolidPoint& p : points) {
    w_.BeginArray();
    w_.Double(p.X);
    w_.Double(p.Y);
    w_.EndArray();
  }
  w_.EndArray();
}

void StateWriter::Header() {
  Text("DrawingFileName", s_.DrawingFileName);
  Real("HkValue", s_.HkValue);
  w_.Key("GroupScale");
  w_.BeginArray();
  for (double v : s_.GroupScale) w_.Double(v);
  w_.EndArray();
  Real("PaperWidth", s_.PaperWidth);
  Real("PaperHeight", s_.PaperHeight);
  w_.Key("TextTypes");
  w_.BeginArray();
  for (std::size_t i = 1; i <= 10; ++i) {
    const TTextTypeRow& row = s_.TextTypes[i];
    w_.BeginObject();
    Real("Width", row.Width);
    Real("Height", row.Height);
    Real("Gap", row.Gap);
    Int("Color", row.Color);
    w_.EndObject();
  }
  w_.EndArray();
  Flag("BzFlag", s_.BzFlag);
  w_.Key("HnValues");
  w_.BeginArray();
  for (std::size_t i = 1; i <= 4; ++i) w_.Double(s_.HnValues[i]);
  w_.EndArray();
  w_.Key("LayerGroupValues");
  w_.BeginArray();
  for (int32_t v : s_.LayerGroupValues) w_.Int(v);
  w_.EndArray();
  StringArray("LayerGroupNames", s_.LayerGroupNames);
  w_.Key("LayerValues");
  w_.BeginArray();
  for (int32_t v : s_.LayerValues) w_.Int(v);
  w_.EndArray();
  StringArray("LayerNames", s_.LayerNames);
}

void StateWriter::Attributes() {
  Int("CurLayerGroup", s_.CurLayerGroup);
  Int("CurLayer", s_.CurLayer);
  Int("CurLineColor", s_.CurLineColor);
  Int("CurLineType", s_.CurLineType);
  Int("CurLineWidth", s_.CurLineWidth);
  Int("CurTextType", s_.CurTextType);
  Real("CurTextWidth", s_.CurTextWidth);
  Real("CurTextHeight", s_.CurTextHeight);
  Real("CurTextGap", s_.CurTextGap);
  Int("CurTextColor", s_.CurTextColor);
  Text("CurFontName", s_.CurFontName);

  Int("LastLayerGroup", s_.LastLayerGroup);
  Int("LastLayer", s_.LastLayer);
  Int("LastLineColor", s_.LastLineColor);
  Int("LastLineType", s_.LastLineType);
  Int("LastLineWidth", s_.LastLineWidth);
  Int("LastTextType", s_.LastTextType);
  Real("LastTextWidth", s_.LastTextWidth);
  Real("LastTextHeight", s_.LastTextHeight);
  Real("LastTextGap", s_.LastTextGap);
  Int("LastTextColor", s_.LastTextColor);
  Int("LastCc", s_.LastCc);
  Text("LastFontName", s_.LastFontName);
  Int("LastPointColor", s_.LastPointColor);
  Int("LastSolidColor", s_.LastSolidColor);

  Flag("FreshLg", s_.FreshLg);
  Flag("FreshLy", s_.FreshLy);
  Flag("FreshLc", s_.FreshLc);
  Flag("FreshLt", s_.FreshLt);
  Flag("FreshLw", s_.FreshLw);
  Flag("FreshCn", s_.FreshCn);
  Flag("LwSeen", s_.LwSeen);
}

void StateWriter::Markers() {
  w_.Key("HpPoints");
  w_.BeginArray();
  for (std::size_t i = 0; i < s_.HpPoints.size(); ++i) {
    const THpPoint& p = s_.HpPoints[i];
    if (!p.Used) continue;
    w_.BeginObject();
    Int("Index", static_cast<int64_t>(i));
    Real("X", p.X);
    Real("Y", p.Y);
    Int("Kind", p.Kind);
    w_.EndObject();
  }
  w_.EndArray();
  Int("PendingHhp", s_.PendingHhp);
  Int("PendingZFlags", s_.PendingZFlags);
  Int("PolylineCount", s_.PolylineCount);
  Flag("InPolyline", s_.InPolyline);
  Flag("MsgPending", s_.MsgPending);
  w_.Key("HeldLine");
  LineRecord(s_.HeldLine);
}

void StateWriter::Head(const ElementAttrs& a) {
  Int("Hhp", a.Hhp);
  Int("LayerGroup", a.LayerGroup);
  Int("Layer", a.Layer);
  Int("LineColor", a.LineColor);
  Int("LineType", a.LineType);
  Int("LineWidth", a.LineWidth);
  Int("ZFlags", a.ZFlags);
}

void StateWriter::LineFields(const TJwwEntLine& line) {
  Int("PolylineNo", line.PolylineNo);
  Real("X1", line.X1);
  Real("Y1", line.Y1);
  Real("X2", line.X2);
  Real("Y2", line.Y2);
}

void StateWriter::TextFields(const TJwwEntText& text) {
  Int("SubKind", text.SubKind);
  Int("Cc", text.Cc);
  Int("TextType", text.TextType);
  Real("Width", text.Width);
  Real("Height", text.Height);
  Real("Gap", text.Gap);
  Real("X", text.X);
  Real("Y", text.Y);
  Real("DX", text.DX);
  Real("DY", text.DY);
  Text("FontName", text.FontName);
  Text("Text", text.Text);
}

void StateWriter::LineRecord(const TJwwEntLine& line) {
  w_.BeginObject();
  Head(line.Attrs);
  LineFields(line);
  w_.EndObject();
}

void StateWriter::TextRecord(const TJwwEntText& text) {
  w_.BeginObject();
  Head(text.Attrs);
  TextFields(text);
  w_.EndObject();
}

void StateWriter::Element(const ElementOrderEntry& entry) {
  const std::size_t i = static_cast<std::size_t>(entry.Index);
  w_.BeginObject();
  Int("Kind", entry.Kind);
  Int("Index", entry.Index);
  switch (entry.Kind) {
    case kElemLine:
      Head(s_.Lines.at(i).Attrs);
      LineFields(s_.Lines.at(i));
      break;
    case kElemCircle:
      Head(s_.Circles.at(i).Attrs);
      Values(s_.Circles.at(i).Values);
      break;
    case kElemArc:
      Head(s_.Arcs.at(i).Attrs);
      Values(s_.Arcs.at(i).Values);
      break;
    case kElemText:
      Head(s_.Texts.at(i).Attrs);
      TextFields(s_.Texts.at(i));
      break;
    case kElemPoint:
      Head(s_.Points.at(i).Attrs);
      Real("X", s_.Points.at(i).X);
      Real("Y", s_.Points.at(i).Y);
      break;
    case kElemPointEx: {
      const TJwwEntPointEx& r = s_.PointExs.at(i);
      Head(r.Attrs);
      Real("X", r.X);
      Real("Y", r.Y);
      Values(r.Values);
      Int("Code", r.Code);
      break;
    }
    case kElemMsgText: {
      const TJwwEntMsgText& r = s_.MsgTexts.at(i);
      Head(r.Attrs);
      w_.Key("Line");
      LineRecord(r.Line);
      w_.Key("Text");
      TextRecord(r.Text);
      break;
    }
    case kElemBlock: {
      const TJwwEntBlk& r = s_.Blocks.at(i);
      Head(r.Attrs);
      Real("X", r.X);
      Real("Y", r.Y);
      Text("Name", r.Name);
      break;
    }
    case kElemSolid2:
      Head(s_.Solid2s.at(i).Attrs);
      Points(s_.Solid2s.at(i).SolidColor, s_.Solid2s.at(i).Points);
      break;
    case kElemSolid3:
      Head(s_.Solid3s.at(i).Attrs);
      Points(s_.Solid3s.at(i).SolidColor, s_.Solid3s.at(i).Points);
      break;
    case kElemSolid4:
      Head(s_.Solid4s.at(i).Attrs);
      Points(s_.Solid4s.at(i).SolidColor, s_.Solid4s.at(i).Points);
      break;
    case kElemSc:
    case kElemSe: {
      const TJwwEntSc& r = entry.Kind == kElemSc ? s_.Scs.at(i) : s_.Ses.at(i);
      Head(r.Attrs);
      Int("SolidColor", r.SolidColor);
      Values(r.Values);
      Int("Code", r.Code);
      break;
    }
    case kElemSo:
    case kElemSg: {
      const TJwwEntSo& r = entry.Kind == kElemSo ? s_.Sos.at(i) : s_.Sgs.at(i);
      Head(r.Attrs);
      Int("SolidColor", r.SolidColor);
      Values(r.Values);
      break;
    }
    default:
      break;
  }
  w_.EndObject();
}

void StateWriter::Elements() {
  w_.Key("Elements");
  w_.BeginArray();
  for (const ElementOrderEntry& entry : s_.ElementOrder) Element(entry);
  w_.EndArray();
}

std::string StateWriter::Write() {
  w_.BeginObject();
  Header();
  Attributes();
  Markers();
  Elements();
  w_.EndObject();
  return w_.Text();
}

}  // namespace

std::string JwcStateToJson(const TJwcState& state) { return StateWriter(state).Write(); }

}  // namespace zumorika
