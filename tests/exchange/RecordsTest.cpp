#include <gtest/gtest.h>

#include <string>

#include "ExchangeTestSupport.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

using testing::Feed;
using testing::kMsGothic;

const TJwcState& S() { return JwcState; }

// Defaults
TEST(ExchangeDefaults, ResetGivesTheHostDefaults) {
  Feed({});
  EXPECT_EQ(S().GroupScale[0], 1.0);
  EXPECT_EQ(S().GroupScale[15], 1.0);
  EXPECT_EQ(S().TextTypes[10].Color, 2);
  EXPECT_EQ(S().HpPoints.size(), 100u);
  EXPECT_EQ(S().LayerGroupNames.size(), 16u);
  EXPECT_EQ(S().LayerValues.size(), 256u);
  EXPECT_EQ(S().LayerNames.size(), 256u);
  EXPECT_EQ(S().CurFontName, "");
  EXPECT_EQ(S().LastFontName, std::string(kMsGothic));
  EXPECT_EQ(S().HeldLine.Attrs.LineType, 1);
  EXPECT_EQ(S().HeldLine.X2, 1.0);
}

TEST(ExchangeDefaults, ResetEmptiesWhatAnEarlierRunLeft) {
  Feed({"file=a.jww", "lc5", "ci 0 0 5", "hp1 3 4"});
  AddOutLine("lg0");
  ResetJwcState();
  EXPECT_EQ(S().DrawingFileName, "");
  EXPECT_EQ(S().CurLineColor, 1);
  EXPECT_TRUE(S().FreshLc);
  EXPECT_TRUE(S().ElementOrder.empty());
  EXPECT_TRUE(S().Circles.empty());
  EXPECT_FALSE(S().HpPoints[1].Used);
  EXPECT_EQ(S().OutLineCount, 0);
  EXPECT_TRUE(S().OutLines.empty());
}

TEST(ExchangeDefaults, ReleaseGivesTheStorageBackAndLaterLinesDoNoHarm) {
  Feed({"lg1 5", "ly2 7", "ci 0 0 5"});
  AddOutLine("x");
  ReleaseJwcState();
  EXPECT_EQ(S().HpPoints.capacity(), 0u);
  EXPECT_EQ(S().LayerNames.capacity(), 0u);
  EXPECT_EQ(S().Circles.capacity(), 0u);
  EXPECT_EQ(S().OutLines.capacity(), 0u);
  EXPECT_EQ(S().OutLineCount, 0);
  // A line read after release must not index the released tables.
  ParseJwcLine("lg1 5");
  ParseJwcLine("lyn name");
  ParseJwcLine("hp1 1 2");
  EXPECT_TRUE(S().LayerGroupValues.empty());
}

// Header records
TEST(HeaderRecords, FileNameTakesTheRestOfTheLineAndTheLaterWins) {
  Feed({"file=C:\\dwg\\a b.jww"});
  EXPECT_EQ(S().DrawingFileName, "C:\\dwg\\a b.jww");
  Feed({"file=first.jww", "file=second.jww"});
  EXPECT_EQ(S().DrawingFileName, "second.jww");
  Feed({"file=x.jww", "file="});
  EXPECT_EQ(S().DrawingFileName, "");
}

TEST(HeaderRecords, ScalesNeedAllSixteenValues) {
  std::string hs = "hs";
  for (int i = 1; i <= 16; ++i) hs += " " + std::to_string(i * 10);
  Feed({hs});
  EXPECT_EQ(S().GroupScale[0], 10.0);
  EXPECT_EQ(S().GroupScale[15], 160.0);
  Feed({hs.substr(0, hs.rfind(' '))});  // 15 values
  EXPECT_EQ(S().GroupScale[0], 1.0);
}

TEST(HeaderRecords, PaperTextTypesAndOthers) {
  Feed({"hk 2.5", "hzs 420 297", "hcw 1 2 3 4 5 6 7 8 9 10", "hch 1.5 0 0 0 0 0 0 0 0 9",
        "hcd 0.5 0 0 0 0 0 0 0 0 0", "hcc 1 2 3 4 5 6 7 8 9 10", "hn 1 2 3 4", "bz"});
  EXPECT_EQ(S().HkValue, 2.5);
  EXPECT_EQ(S().PaperWidth, 420.0);
  EXPECT_EQ(S().PaperHeight, 297.0);
  EXPECT_EQ(S().TextTypes[1].Width, 1.0);
  EXPECT_EQ(S().TextTypes[10].Width, 10.0);
  EXPECT_EQ(S().TextTypes[1].Height, 1.5);
  EXPECT_EQ(S().TextTypes[10].Height, 9.0);
  EXPECT_EQ(S().TextTypes[1].Gap, 0.5);
  EXPECT_EQ(S().TextTypes[7].Color, 7);
  EXPECT_EQ(S().HnValues[1], 1.0);
  EXPECT_EQ(S().HnValues[4], 4.0);
  EXPECT_TRUE(S().BzFlag);
}

TEST(HeaderRecords, TooFewTokensOrOtherCaseIsNoRecord) {
  Feed({"hzs 420", "hcw 1 2 3 4 5 6 7 8 9", "HS 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1", "hk"});
  EXPECT_EQ(S().PaperWidth, 1189.0);
  EXPECT_EQ(S().TextTypes[1].Width, 3.0);
  EXPECT_EQ(S().HkValue, 0.0);
}

TEST(HeaderRecords, ScaleLineWithFourTokensFallsThroughToABareLine) {
  Feed({"hs 1 2 3"});
  ASSERT_EQ(S().Lines.size(), 1u);
  EXPECT_EQ(S().Lines[0].X1, 0.0);  // "hs" reads as 0
  EXPECT_EQ(S().Lines[0].Y2, 3.0);
}

// Layers
TEST(LayerRecords, FirstGroupIsKeptAndTheLatestRuns) {
  Feed({"lg3", "lgA"});
  EXPECT_EQ(S().CurLayerGroup, 3);
  EXPECT_EQ(S().LastLayerGroup, 10);
  Feed({"lgx"});
  EXPECT_EQ(S().CurLayerGroup, 0);
  EXPECT_EQ(S().LastLayerGroup, 0);
  Feed({"lgf"});
  EXPECT_EQ(S().LastLayerGroup, 15);
}

TEST(LayerRecords, ValueBelongsToTheKeyToken) {
  Feed({"lg 3"});
  EXPECT_EQ(S().LastLayerGroup, 0);
  EXPECT_EQ(S().LayerGroupValues[0], 3);
}

TEST(LayerRecords, ValuesAndNamesGoToTheRunningGroupAndLayer) {
  Feed({"lg2 7", "lgn\x95\xBD\x96\xCA", "ly5 9", "lyn walls", "lyn\"two words"});
  EXPECT_EQ(S().LayerGroupValues[2], 7);
  EXPECT_EQ(S().LayerGroupNames[2], "\x95\xBD\x96\xCA");
  EXPECT_EQ(S().LayerValues[2 * 16 + 5], 9);
  EXPECT_EQ(S().LayerNames[2 * 16 + 5], "two words");
  EXPECT_EQ(S().CurLayer, 5);
}

TEST(LayerRecords, NameKeysAreTestedBeforeTheShorterKeys) {
  Feed({"lgnB", "lynC"});
  EXPECT_TRUE(S().FreshLg);
  EXPECT_TRUE(S().FreshLy);
  EXPECT_EQ(S().LayerGroupNames[0], "B");
  EXPECT_EQ(S().LayerNames[0], "C");
}

// Line attributes
TEST(LineAttributes, ColourTenCarriesTheSolidColour) {
  Feed({"lc10 255"});
  EXPECT_EQ(S().LastLineColor, 10);
  EXPECT_EQ(S().LastSolidColor, 255);
  Feed({"lc10 255", "lc10"});
  EXPECT_EQ(S().LastSolidColor, 255);
  Feed({"lc5 255"});
  EXPECT_EQ(S().LastSolidColor, 0);
}

TEST(LineAttributes, FirstIsKeptLatestRuns) {
  Feed({"lc5", "lc7", "lt2", "lt3", "lw50", "lw0"});
  EXPECT_EQ(S().CurLineColor, 5);
  EXPECT_EQ(S().LastLineColor, 7);
  EXPECT_EQ(S().CurLineType, 2);
  EXPECT_EQ(S().LastLineType, 3);
  EXPECT_EQ(S().CurLineWidth, 50);
  EXPECT_EQ(S().LastLineWidth, 0);
  EXPECT_TRUE(S().LwSeen);
}

TEST(LineAttributes, KeyAndValueApartGiveZero) {
  Feed({"lc 5"});
  EXPECT_EQ(S().CurLineColor, 0);
  EXPECT_FALSE(S().LwSeen);
}

// Text attributes
TEST(TextAttributes, TypeZeroCarriesItsOwnSizeOnlyWithFiveTokens) {
  Feed({"cn3", "cn0 2.5 2.5 0.5 4"});
  EXPECT_EQ(S().CurTextType, 3);
  EXPECT_EQ(S().CurTextWidth, 2.0);
  EXPECT_EQ(S().CurTextColor, 1);
  EXPECT_EQ(S().LastTextType, 0);
  EXPECT_EQ(S().LastTextWidth, 2.5);
  EXPECT_EQ(S().LastTextGap, 0.5);
  EXPECT_EQ(S().LastTextColor, 4);

  Feed({"cn0 2.5 2.5 0.5"});
  EXPECT_EQ(S().CurTextType, 0);
  EXPECT_FALSE(S().FreshCn);
  EXPECT_EQ(S().CurTextWidth, 2.0);
  EXPECT_EQ(S().LastTextWidth, 2.0);

  Feed({"cn0 1 2 3 5"});
  EXPECT_EQ(S().CurTextHeight, 2.0);
  EXPECT_EQ(S().CurTextGap, 3.0);
  EXPECT_EQ(S().CurTextColor, 5);
}

TEST(TextAttributes, FontNameWaitsForTheFirstNonEmptyName) {
  Feed({"cn\"$", "cn\"$<Arial Black>", "cn$Other"});
  EXPECT_EQ(S().CurFontName, "<Arial Black>");
  EXPECT_EQ(S().LastFontName, "Other");
  Feed({"cn$Other", "cn\"$"});
  EXPECT_EQ(S().LastFontName, "");
  EXPECT_TRUE(S().FreshCn);  // "cn$" is no text type record
}

TEST(TextAttributes, CcReadsOnlyOneCharacter) {
  Feed({"cc12"});
  EXPECT_EQ(S().LastCc, 1);
  Feed({"cc9"});
  EXPECT_EQ(S().LastCc, 0);
  Feed({"cc5", "cc"});
  EXPECT_EQ(S().LastCc, 0);
}

// Indicated points
TEST(IndicatedPoints, SuffixesGiveTheKind) {
  Feed({"hp1 1 2", "hp2- 3 4", "hp3ln 5 6", "hp4ci 7 8", "hp7ch 9 10", "hp99 1 1"});
  EXPECT_TRUE(S().HpPoints[1].Used);
  EXPECT_EQ(S().HpPoints[1].X, 1.0);
  EXPECT_EQ(S().HpPoints[1].Y, 2.0);
  EXPECT_EQ(S().HpPoints[1].Kind, 0);
  EXPECT_EQ(S().HpPoints[2].Kind, 1);
  EXPECT_EQ(S().HpPoints[3].Kind, 2);
  EXPECT_EQ(S().HpPoints[4].Kind, 3);
  EXPECT_EQ(S().HpPoints[7].Kind, 4);
  EXPECT_EQ(S().HpPoints[7].Y, 10.0);
  EXPECT_TRUE(S().HpPoints[99].Used);
}

TEST(IndicatedPoints, OutOfRangeOrShortRecordsAreIgnored) {
  Feed({"hp0 1 2", "hp100 1 2", "hp1 5", "hpx 1 2"});
  for (const THpPoint& p : S().HpPoints) EXPECT_FALSE(p.Used);
}

TEST(IndicatedPoints, RepeatedIndexOverwrites) {
  Feed({"hp1- 1 2", "hp1 3 4"});
  EXPECT_EQ(S().HpPoints[1].X, 3.0);
  EXPECT_EQ(S().HpPoints[1].Kind, 0);
}

TEST(IndicatedPoints, PendingHhpIsNoPoint) {
  Feed({"hhp5 1 2"});
  EXPECT_EQ(S().PendingHhp, 5);
  EXPECT_FALSE(S().HpPoints[5].Used);
}

// Reading produces no output
TEST(ExchangeDefaults, ReadingAddsNoOutputLine) {
  Feed({"bz", "lg1", "cn\"$x", "ch 1 2 1 0 \"t"});
  EXPECT_EQ(S().OutLineCount, 0);
}

}  // namespace
}  // namespace zumorika
