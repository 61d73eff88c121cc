#include "exchange/GrowthRule.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {

TJwcState JwcState;

// "<ＭＳ ゴシック>" in Shift-JIS: the host's default font, brackets included,
// with an ordinary space between ＭＳ and ゴシック as Windows spells the face name.
const std::string_view kDefaultFontName =
    "<\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E>";

namespace {

TJwwEntLine DefaultHeldLine() {
  TJwwEntLine line;
  line.Attrs.LineColor = 1;
  line.Attrs.LineType = 1;
  line.X2 = 1.0;
  return line;
}

}  // namespace

void ResetJwcState() {
  // A fresh record gives every default; the tables are then sized, and the
  // old storage goes with the old record.
  TJwcState fresh;
  fresh.LayerGroupValues.assign(16, 0);
  fresh.LayerGroupNames.assign(16, std::string());
  fresh.LayerValues.assign(256, 0);
  fresh.LayerNames.assign(256, std::string());
  fresh.HpPoints.assign(100, THpPoint());
  fresh.LastFontName.assign(kDefaultFontName);
  fresh.HeldLine = DefaultHeldLine();
  // The output-only flags are ResetOutAttrs' business.
  fresh.FreshCc = JwcState.FreshCc;
  fresh.FreshFont = JwcState.FreshFont;
  JwcState = std::move(fresh);
}

void ReleaseJwcState() {
  TJwcState& s = JwcState;
  ReleaseTable(s.HpPoints);
  ReleaseTable(s.LayerGroupValues);
  ReleaseTable(s.LayerGroupNames);
  ReleaseTable(s.LayerValues);
  ReleaseTable(s.LayerNames);
  ReleaseTable(s.ElementOrder);
  ReleaseTable(s.Lines);
  ReleaseTable(s.Circles);
  ReleaseTable(s.Arcs);
  ReleaseTable(s.Texts);
  ReleaseTable(s.Points);
  ReleaseTable(s.PointExs);
  ReleaseTable(s.MsgTexts);
  ReleaseTable(s.Blocks);
  ReleaseTable(s.Solid2s);
  ReleaseTable(s.Solid3s);
  ReleaseTable(s.Solid4s);
  ReleaseTable(s.Scs);
  ReleaseTable(s.Ses);
  ReleaseTable(s.Sos);
  ReleaseTable(s.Sgs);
  ReleaseTable(s.OutLines);
  s.OutLineCount = 0;
}

}  // namespace zumorika
