// The host exchange: everything read from JWC_TEMP.TXT, and the lines written
// back to it. Jw_cad writes the file beside the tool, starts the tool, and
// carries out the file's records after the tool has ended.
//
// One process-wide state (JwcState), plain procedures over it, as the host's
// own external-tool interface is built. All strings are Shift-JIS bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/BlockStore.h"

namespace zumorika {

// --- Element records ---------------------------------------------------------

// The common head of every element record, in this field order.
struct ElementAttrs {
  int32_t Hhp = 0;
  int32_t LayerGroup = 0;
  int32_t Layer = 0;
  int32_t LineColor = 0;
  int32_t LineType = 0;
  int32_t LineWidth = 0;
  int32_t ZFlags = 0;
};

enum ElementKind : int32_t {
  kElemLine = 1,
  kElemCircle = 2,
  kElemArc = 3,
  kElemText = 4,
  kElemPoint = 5,
  kElemPointEx = 6,
  kElemMsgText = 7,
  kElemBlock = 8,
  kElemSolid2 = 9,
  kElemSolid3 = 10,
  kElemSolid4 = 11,
  kElemSc = 12,
  kElemSe = 13,
  kElemSo = 14,
  kElemSg = 15,
};

struct TJwwEntLine {
  ElementAttrs Attrs;
  int32_t PolylineNo = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TJwwEntCircle {
  ElementAttrs Attrs;
  std::array<double, 3> Values{};
};

struct TJwwEntArc {
  ElementAttrs Attrs;
  std::array<double, 7> Values{};
};

struct TJwwEntText {
  ElementAttrs Attrs;  // LineColor holds the text colour
  int32_t SubKind = 0;
  int32_t Cc = 0;
  int32_t TextType = 0;
  double Width = 0, Height = 0, Gap = 0;
  double X = 0, Y = 0, DX = 0, DY = 0;
  std::string FontName;  // at most 255 bytes
  std::string Text;      // at most 255 bytes
};

struct TJwwEntPoint {
  ElementAttrs Attrs;  // LineColor holds LastPointColor
  double X = 0, Y = 0;
};

struct TJwwEntPointEx {
  ElementAttrs Attrs;  // LineColor holds LastPointColor
  double X = 0, Y = 0;
  std::array<double, 2> Values{};
  int32_t Code = 0;
};

struct TJwwEntMsgText {
  ElementAttrs Attrs;
  TJwwEntLine Line;
  TJwwEntText Text;
};

struct TJwwEntBlk {
  ElementAttrs Attrs;
  double X = 0, Y = 0;
  std::string Name;
};

struct SolidPoint {
  double X = 0, Y = 0;
};

struct TJwwEntSolid2 {
  ElementAttrs Attrs;
  int32_t SolidColor = 0;
  std::array<SolidPoint, 2> Points{};
};

struct TJwwEntSolid3 {
  ElementAttrs Attrs;
  int32_t SolidColor = 0;
  std::array<SolidPoint, 3> Points{};
};

struct TJwwEntSolid4 {
  ElementAttrs Attrs;
  int32_t SolidColor = 0;
  std::array<SolidPoint, 4> Points{};
};

// "sc" and "se" records (codes 12, 13).
struct TJwwEntSc {
  ElementAttrs Attrs;
  int32_t SolidColor = 0;
  std::array<double, 7> Values{};
  int32_t Code = 0;
};
using TJwwEntSe = TJwwEntSc;

// "so" and "sg" records (codes 14, 15).
struct TJwwEntSo {
  ElementAttrs Attrs;
  int32_t SolidColor = 0;
  std::array<double, 8> Values{};
};
using TJwwEntSg = TJwwEntSo;

struct ElementOrderEntry {
  int32_t Kind = 0;
  int32_t Index = 0;  // position in the store of its kind, from 0
};

// --- Exchange state ----------------------------------------------------------

struct TTextTypeRow {
  double Width = 3.0;
  double Height = 3.0;
  double Gap = 0.0;
  int32_t Color = 2;
};

struct THpPoint {
  bool Used = false;
  double X = 0;
  double Y = 0;
  int32_t Kind = 0;
};

struct TJwcState {
  // Header values
  std::string DrawingFileName;
  double HkValue = 0;
  std::array<double, 16> GroupScale{1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0,
                                    1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  double PaperWidth = 1189.0;
  double PaperHeight = 841.0;
  std::array<TTextTypeRow, 11> TextTypes{};  // index 1..10 used; 0 unused
  bool BzFlag = false;
  std::array<double, 5> HnValues{};  // index 1..4 used
  std::vector<int32_t> LayerGroupValues;  // 16
  std::vector<std::string> LayerGroupNames;  // 16
  std::vector<int32_t> LayerValues;  // 256, group * 16 + layer
  std::vector<std::string> LayerNames;  // 256

  // First-occurrence attribute values
  int32_t CurLayerGroup = 0;
  int32_t CurLayer = 0;
  int32_t CurLineColor = 1;
  int32_t CurLineType = 1;
  int32_t CurLineWidth = 0;
  int32_t CurTextType = 1;
  double CurTextWidth = 2.0;
  double CurTextHeight = 2.0;
  double CurTextGap = 0.0;
  int32_t CurTextColor = 1;
  std::string CurFontName;

  bool FreshLg = true, FreshLy = true, FreshLc = true, FreshLt = true, FreshLw = true,
       FreshCn = true;
  // Used for output only.
  bool FreshCc = true, FreshFont = true;

  // Running attribute values
  int32_t LastLayerGroup = 0;
  int32_t LastLayer = 0;
  int32_t LastLineColor = 1;
  int32_t LastLineType = 1;
  int32_t LastLineWidth = 0;
  int32_t LastTextType = 1;
  double LastTextWidth = 2.0;
  double LastTextHeight = 2.0;
  double LastTextGap = 0.0;
  int32_t LastTextColor = 1;
  int32_t LastCc = 0;
  std::string LastFontName;
  int32_t LastPointColor = 1;
  int32_t LastSolidColor = 0;

  // Other fields
  bool LwSeen = false;
  std::vector<THpPoint> HpPoints;  // 100 entries, 1..99 used
  int32_t PendingHhp = 0;
  int32_t PendingZFlags = 0;
  int32_t PolylineCount = 0;
  bool InPolyline = false;
  bool MsgPending = false;

  // Element stores, in reading order through ElementOrder. They grow by
  // 1000 entries at a time.
  TJwwEntLine HeldLine;
  BlockStore<ElementOrderEntry> ElementOrder;
  BlockStore<TJwwEntLine> Lines;
  BlockStore<TJwwEntCircle> Circles;
  BlockStore<TJwwEntArc> Arcs;
  BlockStore<TJwwEntText> Texts;
  BlockStore<TJwwEntPoint> Points;
  BlockStore<TJwwEntPointEx> PointExs;
  BlockStore<TJwwEntMsgText> MsgTexts;
  BlockStore<TJwwEntBlk> Blocks;
  BlockStore<TJwwEntSolid2> Solid2s;
  BlockStore<TJwwEntSolid3> Solid3s;
  BlockStore<TJwwEntSolid4> Solid4s;
  BlockStore<TJwwEntSc> Scs;
  BlockStore<TJwwEntSe> Ses;
  BlockStore<TJwwEntSo> Sos;
  BlockStore<TJwwEntSg> Sgs;

  // Output buffer: lines of at most 255 bytes, no line ends. Capacity grows
  // in blocks of 1000 lines (see AddOutLine).
  std::vector<std::string> OutLines;
  int32_t OutLineCount = 0;
};

// The one exchange state of the process.
extern TJwcState JwcState;

// The default font name, angle brackets included: "<ＭＳ ゴシック>".
extern const std::string_view kDefaultFontName;

// --- Reading -----------------------------------------------------------------

void ResetJwcState();
bool LoadJwcTemp(const std::string& path);  // path: Shift-JIS bytes
void ParseJwcLine(std::string_view line);
// The same, with the rounding mode looked at by the caller (LoadJwcTemp does
// so once per block of the file it reads, not once per line).
void ParseJwcLine(std::string_view line, bool roundsToNearest);
void ReleaseJwcState();

// Element bookkeeping, used while a line is interpreted.
void AddElementOrder(int32_t kind, int32_t index);
void InitElementAttrs(ElementAttrs& attrs);  // the head from the running values

// --- Writing -----------------------------------------------------------------

void AddOutLine(std::string_view text);
void ResetOutAttrs();
bool SaveJwcTemp(const std::string& path);  // path: Shift-JIS bytes

// --- Emitters ----------------------------------------------------------------

int32_t MapColor(int32_t n);
int32_t MapLineType(int32_t n);
void OutLayerGroup(int32_t group);
void OutLayer(int32_t layer);
void OutLineColor(int32_t color, int32_t mode);
void OutLineType(int32_t lineType, int32_t mode);
void OutLineWidth(int32_t width);
void OutTextType(int32_t textType, int32_t color, int32_t mode, double width, double height,
                 double gap);
void OutTextCc(int32_t cc);
void OutFontName(std::string_view name);
void OutText(int32_t kind, std::string_view text, double x, double y, double dx, double dy);

}  // namespace zumorika
