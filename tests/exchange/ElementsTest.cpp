#include <gtest/gtest.h>

#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

#include "ExchangeTestSupport.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

using testing::Feed;
using testing::OnlyElement;

const TJwcState& S() { return JwcState; }

// Element kinds
TEST(ElementKinds, PointRecordsByTokenCount) {
  Feed({"pn4", "pt 1 2"});
  EXPECT_EQ(OnlyElement().Kind, kElemPoint);
  EXPECT_EQ(S().Points[0].X, 1.0);
  EXPECT_EQ(S().Points[0].Attrs.LineColor, 4);

  Feed({"pt 1 2 3"});  // four tokens: a bare line whose "pt" reads as 0
  EXPECT_EQ(OnlyElement().Kind, kElemLine);
  EXPECT_EQ(S().Lines[0].X1, 0.0);
  EXPECT_EQ(S().Lines[0].Y1, 1.0);
  EXPECT_EQ(S().Lines[0].Y2, 3.0);

  Feed({"pt 1 2 3 4"});
  EXPECT_TRUE(S().ElementOrder.empty());

  Feed({"pt 1 2 3 4 7"});
  EXPECT_EQ(OnlyElement().Kind, kElemPointEx);
  EXPECT_EQ(S().PointExs[0].Values[1], 4.0);
  EXPECT_EQ(S().PointExs[0].Code, 7);
}

TEST(ElementKinds, CirclesAndArcs) {
  Feed({"ci 0 0 5"});
  EXPECT_EQ(OnlyElement().Kind, kElemCircle);
  EXPECT_EQ(S().Circles[0].Values[2], 5.0);
  Feed({"ci 0 0 5 0"});
  EXPECT_TRUE(S().ElementOrder.empty());
  Feed({"ci 1 2 3 4 5 6 7"});
  EXPECT_EQ(OnlyElement().Kind, kElemArc);
  EXPECT_EQ(S().Arcs[0].Values[6], 7.0);
}

TEST(ElementKinds, TextTakesTheRunningTextAttributes) {
  Feed({"hcw 1 2 3 4 5 6 7 8 9 10", "hcc 1 2 3 4 5 6 7 8 9 10", "cn3", "cc2",
        "cn\"$<Font A>", "lg2", "ly4", "cr 10 20 1 0 \"two words"});
  ASSERT_EQ(OnlyElement().Kind, kElemText);
  const TJwwEntText& t = S().Texts[0];
  EXPECT_EQ(t.SubKind, 3);
  EXPECT_EQ(t.Cc, 2);
  EXPECT_EQ(t.TextType, 3);
  EXPECT_EQ(t.Width, 3.0);
  EXPECT_EQ(t.Attrs.LineColor, 3);
  EXPECT_EQ(t.Attrs.LayerGroup, 2);
  EXPECT_EQ(t.Attrs.Layer, 4);
  EXPECT_EQ(t.X, 10.0);
  EXPECT_EQ(t.DX, 1.0);
  EXPECT_EQ(t.FontName, "<Font A>");
  EXPECT_EQ(t.Text, "two words");
}

TEST(ElementKinds, TextOutsideTheTableTypesUsesTheLatestTypeZeroValues) {
  Feed({"cn12", "c2 0 0 1 0 x"});
  EXPECT_EQ(S().Texts[0].TextType, 12);
  EXPECT_EQ(S().Texts[0].Width, 2.0);
  EXPECT_EQ(S().Texts[0].Attrs.LineColor, 1);
  EXPECT_EQ(S().Texts[0].SubKind, 9);
  Feed({"cn0 2.5 3.5 0.5 6", "cn12", "ch 0 0 1 0 x"});
  EXPECT_EQ(S().Texts[0].Height, 3.5);
  EXPECT_EQ(S().Texts[0].Gap, 0.5);
  EXPECT_EQ(S().Texts[0].Attrs.LineColor, 6);
}

TEST(ElementKinds, TextAndFontAreCutTo255Bytes) {
  const std::string longText(300, 'a');
  ResetJwcState();
  ParseJwcLine("cn\"$" + std::string(300, 'f'));
  ParseJwcLine("ch 0 0 1 0 \"" + longText);
  EXPECT_EQ(S().Texts[0].Text, longText.substr(0, 255));
  EXPECT_EQ(S().Texts[0].FontName.size(), 255u);
  EXPECT_EQ(S().LastFontName.size(), 300u);
}

TEST(ElementKinds, ShortTextLinesAreIgnoredOrBareLines) {
  Feed({"ch 1 2 3 4"});
  EXPECT_TRUE(S().ElementOrder.empty());
  Feed({"ch 1 2 3"});
  EXPECT_EQ(OnlyElement().Kind, kElemLine);
}

TEST(ElementKinds, BlockKeepsItsNameWhole) {
  Feed({"BL 1 2 \"door \x83\x68\x83\x41"});
  ASSERT_EQ(OnlyElement().Kind, kElemBlock);
  EXPECT_EQ(S().Blocks[0].Name, "door \x83\x68\x83\x41");
  Feed({"bl 1 2 x 4"});  // keys are case-sensitive: five tokens, no element
  EXPECT_TRUE(S().ElementOrder.empty());
}

TEST(ElementKinds, ScSeSoSgTakeTheSolidColour) {
  Feed({"lc10 255", "sc 1 2 3 4 5 6 7 8", "se 1 2 3 4 5 6 7 9", "so 1 2 3 4 5 6 7 8",
        "sg 8 7 6 5 4 3 2 1", "sc 1 2 3 4 5 6 7"});
  ASSERT_EQ(S().ElementOrder.size(), 4u);
  EXPECT_EQ(S().Scs[0].SolidColor, 255);
  EXPECT_EQ(S().Scs[0].Values[6], 7.0);
  EXPECT_EQ(S().Scs[0].Code, 8);
  EXPECT_EQ(S().Ses[0].Code, 9);
  EXPECT_EQ(S().Sos[0].Values[7], 8.0);
  EXPECT_EQ(S().Sgs[0].Values[0], 8.0);
  EXPECT_EQ(S().ElementOrder[3].Kind, kElemSg);
}

TEST(ElementKinds, OrderKeepsReadingOrderAcrossKinds) {
  Feed({"ci 0 0 1", "0 0 1 1", "ci 0 0 2", "pt 1 1", "0 0 2 2"});
  const auto& order = S().ElementOrder;
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order[0].Kind, kElemCircle);
  EXPECT_EQ(order[0].Index, 0);
  EXPECT_EQ(order[2].Kind, kElemCircle);
  EXPECT_EQ(order[2].Index, 1);
  EXPECT_EQ(order[4].Kind, kElemLine);
  EXPECT_EQ(order[4].Index, 1);
}

// Markers
TEST(Markers, HhpAndZFlagsQualifyOnlyTheNextElement) {
  Feed({"hhp5", "z1", "z1", "z4", "ci 0 0 5", "ci 0 0 6"});
  EXPECT_EQ(S().Circles[0].Attrs.Hhp, 5);
  EXPECT_EQ(S().Circles[0].Attrs.ZFlags, 9);
  EXPECT_EQ(S().Circles[1].Attrs.Hhp, 0);
  EXPECT_EQ(S().Circles[1].Attrs.ZFlags, 0);
  Feed({"hhp7", "z5", "0 0 1 1", "0 0 2 2"});
  EXPECT_EQ(S().Lines[0].Attrs.Hhp, 7);
  EXPECT_EQ(S().Lines[0].Attrs.ZFlags, 16);
  EXPECT_EQ(S().Lines[1].Attrs.Hhp, 0);
}

TEST(Markers, HhpNumberStopsBeforeItsSuffix) {
  Feed({"hhp12ln"});
  EXPECT_EQ(S().PendingHhp, 12);
  Feed({"hhp3ci"});
  EXPECT_EQ(S().PendingHhp, 3);
  Feed({"hhpch"});
  EXPECT_EQ(S().PendingHhp, 0);
  Feed({"z6", "z0"});
  EXPECT_EQ(S().PendingZFlags, 0);
}

// Polylines
TEST(Polylines, BareLinesCarryThePolylineUntilARecordEndsIt) {
  Feed({"pl", "0 0 1 0", "1 0 1 1", "1 1 0 1", "lc2", "0 1 0 0", "pl", "5 5 6 6"});
  ASSERT_EQ(S().Lines.size(), 5u);
  EXPECT_EQ(S().Lines[0].PolylineNo, 1);
  EXPECT_EQ(S().Lines[2].PolylineNo, 1);
  EXPECT_EQ(S().Lines[3].PolylineNo, 0);
  EXPECT_EQ(S().Lines[4].PolylineNo, 2);
  EXPECT_EQ(S().PolylineCount, 2);
}

TEST(Polylines, KeyedElementAndHashEndThePolyline) {
  Feed({"pl", "ci 0 0 1", "0 0 1 1"});
  EXPECT_EQ(S().Lines[0].PolylineNo, 0);
  Feed({"pl", "#", "0 0 1 1"});
  EXPECT_EQ(S().Lines[0].PolylineNo, 0);
  Feed({"pl", "z1", "hhp2", "hp1 0 0", "0 0 1 1"});  // markers keep it open
  EXPECT_EQ(S().Lines[0].PolylineNo, 1);
}

// Message pairing
TEST(MsgPairing, HeldLinePairsWithTheNextCsText) {
  Feed({"lc3", "msg", "1 2 3 4", "lc6", "cs 0 0 1 0 note"});
  EXPECT_TRUE(S().Lines.empty());
  ASSERT_EQ(OnlyElement().Kind, kElemMsgText);
  const TJwwEntMsgText& m = S().MsgTexts[0];
  EXPECT_EQ(m.Line.X1, 1.0);
  EXPECT_EQ(m.Line.Y2, 4.0);
  EXPECT_EQ(m.Line.Attrs.LineColor, 3);
  EXPECT_EQ(m.Attrs.LineColor, 6);
  EXPECT_EQ(m.Text.SubKind, 2);
  EXPECT_EQ(m.Text.Text, "note");
  EXPECT_FALSE(S().MsgPending);
}

TEST(MsgPairing, OtherTextKeysEndThePairingAndTheHeldLineIsStoredNowhere) {
  Feed({"msg", "1 2 3 4", "ch 0 0 1 0 note"});
  EXPECT_EQ(OnlyElement().Kind, kElemText);
  EXPECT_TRUE(S().Lines.empty());
  EXPECT_EQ(S().HeldLine.X1, 1.0);
}

TEST(MsgPairing, HeldLineStaysForALaterMsg) {
  Feed({"msg", "1 2 3 4", "cs 0 0 1 0 a", "msg", "cs 0 0 1 0 b", "cs 0 0 1 0 c"});
  ASSERT_EQ(S().MsgTexts.size(), 2u);
  EXPECT_EQ(S().MsgTexts[1].Line.X1, 1.0);
  EXPECT_EQ(S().Texts.size(), 1u);  // "c": the pairing ended with "b"
}

TEST(MsgPairing, WithoutAHeldLineThePairUsesTheDefaultLine) {
  Feed({"msg", "cs 0 0 1 0 a"});
  EXPECT_EQ(S().MsgTexts[0].Line.X2, 1.0);
  EXPECT_EQ(S().MsgTexts[0].Line.Attrs.LineType, 1);
  Feed({"msg", "pl", "cs 0 0 1 0 a"});
  EXPECT_EQ(OnlyElement().Kind, kElemText);
}

// Solids
TEST(Solids, FourTokensIsATwoPointSolid) {
  Feed({"lc10 1234", "sl 0 0 5 5"});
  ASSERT_EQ(OnlyElement().Kind, kElemSolid2);
  EXPECT_EQ(S().Solid2s[0].SolidColor, 1234);
  EXPECT_EQ(S().Solid2s[0].Points[1].X, 5.0);
}

TEST(Solids, ThreeCornersCollapseWhenNeighboursMeet) {
  Feed({"sl 0 0 0 0 5 5"});
  ASSERT_EQ(OnlyElement().Kind, kElemSolid2);
  EXPECT_EQ(S().Solid2s[0].Points[1].X, 5.0);
  Feed({"sl 0 0 5 5 5 5"});
  ASSERT_EQ(OnlyElement().Kind, kElemSolid2);
  EXPECT_EQ(S().Solid2s[0].Points[1].Y, 5.0);
  Feed({"sl 0 0 5 5 0 0"});
  EXPECT_EQ(OnlyElement().Kind, kElemSolid3);
  Feed({"sl 0 0 0.00000000001 0 5 5"});  // within 1e-10 counts as equal
  EXPECT_EQ(OnlyElement().Kind, kElemSolid2);
}

TEST(Solids, FourCornersCollapseInTheirOrder) {
  Feed({"sl 0 0 0 0 0 0 9 9"});  // P1 = P2 = P3
  ASSERT_EQ(OnlyElement().Kind, kElemSolid2);
  EXPECT_EQ(S().Solid2s[0].Points[1].X, 9.0);
  Feed({"sl 0 0 5 5 5 5 5 5"});  // P2 = P3 = P4
  EXPECT_EQ(OnlyElement().Kind, kElemSolid2);
  Feed({"sl 0 0 0 0 5 5 5 5"});  // P1 = P2, P3 = P4
  ASSERT_EQ(OnlyElement().Kind, kElemSolid2);
  EXPECT_EQ(S().Solid2s[0].Points[1].X, 5.0);
  Feed({"sl 0 0 5 0 5 5 0 0"});  // P4 = P1
  ASSERT_EQ(OnlyElement().Kind, kElemSolid3);
  EXPECT_EQ(S().Solid3s[0].Points[2].Y, 5.0);
  Feed({"sl 0 0 5 0 5 0 3 7"});  // P3 = P2, P4 distinct
  ASSERT_EQ(OnlyElement().Kind, kElemSolid3);
  EXPECT_EQ(S().Solid3s[0].Points[2].Y, 7.0);
  Feed({"sl 1 1 1 1 5 0 3 7"});  // P2 = P1 only
  ASSERT_EQ(OnlyElement().Kind, kElemSolid3);
  EXPECT_EQ(S().Solid3s[0].Points[1].X, 5.0);
  Feed({"sl 0 0 5 0 5 5 0 5"});
  EXPECT_EQ(OnlyElement().Kind, kElemSolid4);
  Feed({"sl 0 0 5 0 5 5 0"});  // eight tokens: nothing
  EXPECT_TRUE(S().ElementOrder.empty());
}

// Growth
TEST(StoreGrowth, StoresAndOrderGrowOnceAtTheThousandAndFirst) {
  ResetJwcState();
  for (int i = 0; i < 1000; ++i) ParseJwcLine("ci 0 0 " + std::to_string(i + 1));
  EXPECT_EQ(S().Circles.capacity(), 1000u);
  EXPECT_EQ(S().ElementOrder.capacity(), 1000u);
  const TJwwEntCircle* first = &S().Circles[0];
  ParseJwcLine("ci 0 0 1001");
  EXPECT_EQ(S().Circles.capacity(), 2000u);
  EXPECT_EQ(S().ElementOrder.capacity(), 2000u);
  EXPECT_EQ(&S().Circles[0], first);  // growing moves nothing already stored
  EXPECT_EQ(S().Circles[999].Values[2], 1000.0);
  EXPECT_EQ(S().Circles[1000].Values[2], 1001.0);
  EXPECT_EQ(S().ElementOrder[1000].Index, 1000);
  for (int i = 1002; i <= 3001; ++i) ParseJwcLine("ci 0 0 " + std::to_string(i));
  EXPECT_EQ(S().Circles.capacity(), 4000u);
  EXPECT_EQ(S().Circles[3000].Values[2], 3001.0);
  EXPECT_EQ(S().Circles[1999].Values[2], 2000.0);
}

TEST(StoreGrowth, FirstElementReservesAWholeBlock) {
  Feed({"0 0 1 1"});
  EXPECT_EQ(S().Lines.capacity(), 1000u);
  EXPECT_EQ(S().Texts.capacity(), 0u);
}

// Failure handling: unparsable numbers read as 0 and odd lines are ignored
TEST(ElementKinds, NumbersThatDoNotParseReadAsZero) {
  Feed({"ci x 1,5 5"});
  EXPECT_EQ(S().Circles[0].Values[0], 0.0);
  EXPECT_EQ(S().Circles[0].Values[1], 0.0);
  Feed({"unknown", "a b", "a b c d e"});
  EXPECT_TRUE(S().ElementOrder.empty());
}

#if defined(__x86_64__) || defined(__i386__)
// Under round-to-nearest the reader divides; a DLL may leave the thread
// rounding otherwise, and then the numbers must still come out the same,
// line by line and through the file reader, which looks at the mode once
// per block it reads.
TEST(ElementKinds, NumbersAreTheSameWhateverTheSseRounding) {
  const std::string line = " 0.1 -1234.5678 2.675 0.0003";
  testing::ScratchFolder folder;
  const std::string path = folder.File("JWC_TEMP.TXT");
  testing::WriteBytes(path, line + "\r\n");
  Feed({line});
  const TJwwEntLine nearest = S().Lines[0];
  const unsigned int original = _mm_getcsr();
  for (const unsigned int mode : {_MM_ROUND_TOWARD_ZERO, _MM_ROUND_UP, _MM_ROUND_DOWN}) {
    for (const bool wholeFile : {false, true}) {
      _mm_setcsr((original & ~_MM_ROUND_MASK) | mode);
      if (wholeFile) {
        ResetJwcState();
        LoadJwcTemp(path);
      } else {
        Feed({line});
      }
      const TJwwEntLine read = S().Lines[0];
      _mm_setcsr(original);
      EXPECT_EQ(read.X1, nearest.X1) << mode << wholeFile;
      EXPECT_EQ(read.Y1, nearest.Y1) << mode << wholeFile;
      EXPECT_EQ(read.X2, nearest.X2) << mode << wholeFile;
      EXPECT_EQ(read.Y2, nearest.Y2) << mode << wholeFile;
    }
  }
  EXPECT_EQ(nearest.X1, 0.1);
  EXPECT_EQ(nearest.Y1, -1234.5678);
  EXPECT_EQ(nearest.Y2, 0.0003);
}
#endif

}  // namespace
}  // namespace zumorika
