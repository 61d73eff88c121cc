#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ExchangeTestSupport.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

using Lines = std::vector<std::string>;

// A state as after reading `lines`, with the trackers prepared for output.
void Prepare(std::initializer_list<std::string_view> lines) {
  testing::Feed(lines);
  ResetOutAttrs();
}

Lines Out() {
  return Lines(JwcState.OutLines.begin(), JwcState.OutLines.begin() + JwcState.OutLineCount);
}

// First call and change
TEST(Emitters, FirstCallWritesEvenTheDefaultAndRepeatsDoNot) {
  Prepare({});
  OutLayerGroup(0);
  OutLayerGroup(0);
  EXPECT_EQ(Out(), (Lines{"lg0"}));
}

TEST(Emitters, PasteSequenceWritesEachAttributeOnce) {
  Prepare({});
  OutLayerGroup(0);
  OutLayer(0);
  OutLineColor(1, 0);
  OutLineType(1, 0);
  OutLineWidth(0);
  OutTextType(1, 1, 0, 2, 2, 0);
  OutTextCc(0);
  OutFontName("<MS Gothic>");
  OutText(0, "pic", 1, 2, 1, 0);
  EXPECT_EQ(Out(), (Lines{"lg0", "ly0", "lc1", "lt1", "cn1", "cc0", "cn\"$<MS Gothic>",
                          "ch 1 2 1 0 \"", "pic"}));
}

TEST(Emitters, LayerGroupInHexAndItForcesTheLayerAgain) {
  Prepare({});
  OutLayerGroup(10);
  OutLayerGroup(16);
  EXPECT_EQ(Out(), (Lines{"lgA", "lg10"}));
  Prepare({});
  OutLayerGroup(3);
  OutLayer(2);
  OutLayer(2);
  OutLayerGroup(4);
  OutLayer(2);
  OutLayer(11);
  EXPECT_EQ(Out(), (Lines{"lg3", "ly2", "lg4", "ly2", "lyB"}));
}

// Code mappings
TEST(Emitters, ColourMappingInModeOne) {
  Prepare({"lc7"});
  OutLineColor(12, 1);
  OutLineColor(12, 0);
  OutLineColor(0, 1);
  OutLineColor(9, 1);
  EXPECT_EQ(Out(), (Lines{"lc103", "lc12", "lc7", "lc9"}));
  EXPECT_EQ(MapColor(10), 101);
  EXPECT_EQ(MapColor(18), 109);
  EXPECT_EQ(MapColor(19), 110);
  EXPECT_EQ(MapColor(-5), 7);
}

TEST(Emitters, LineTypeMappingInModeOne) {
  Prepare({"lt4"});
  OutLineType(10, 1);
  OutLineType(19, 1);
  OutLineType(9, 1);
  OutLineType(0, 1);
  EXPECT_EQ(Out(), (Lines{"lt11", "lt31", "lt9", "lt4"}));
  EXPECT_EQ(MapLineType(18), 19);
  EXPECT_EQ(MapLineType(20), 32);
}

TEST(Emitters, MappingNearTheInt32LimitWraps) {
  Prepare({});
  EXPECT_EQ(MapColor(2147483647), -2147483647 - 1 + 90);
  EXPECT_EQ(MapLineType(2147483647), -2147483647 - 1 + 11);
}

// Line width
TEST(Emitters, LineWidthOnlyWhenTheHostGaveOne) {
  Prepare({});
  OutLineWidth(5);
  OutLineWidth(-1);
  EXPECT_TRUE(Out().empty());
}

TEST(Emitters, LineWidthRange) {
  Prepare({"lw50"});
  OutLineWidth(-1);
  OutLineWidth(30000);
  OutLineWidth(30001);
  OutLineWidth(-2);
  EXPECT_EQ(Out(), (Lines{"lw50", "lw30000", "lw0"}));
  Prepare({"lw40000"});
  OutLineWidth(-1);
  EXPECT_EQ(Out(), (Lines{"lw0"}));
}

// Text type
TEST(Emitters, TypeZeroWritesItsValuesAndAnyChangeRewrites) {
  Prepare({});
  OutTextType(0, 1, 0, 2.5, 2.5, 0.5);
  OutTextType(0, 1, 0, 2.5, 2.5, 0.5);
  OutTextType(0, 1, 0, 2.5, 2.5, 0.25);
  OutTextType(0, 12, 1, 2.5, 2.5, 0.25);
  EXPECT_EQ(Out(), (Lines{"cn0 2.5 2.5 0.5 1", "cn0 2.5 2.5 0.25 1", "cn0 2.5 2.5 0.25 103"}));
}

TEST(Emitters, OtherTypesIgnoreTheFourValues) {
  Prepare({});
  OutTextType(3, 1, 0, 1, 1, 1);
  OutTextType(3, 5, 0, 9, 9, 9);
  EXPECT_EQ(Out(), (Lines{"cn3"}));
  EXPECT_EQ(JwcState.LastTextWidth, 2.0);
}

TEST(Emitters, OutOfRangeTypeFallsBackToTheCurrentType) {
  Prepare({"cn2"});
  OutTextType(11, 1, 0, 1, 1, 1);
  EXPECT_EQ(Out(), (Lines{"cn2"}));
  Prepare({"cn0 1.5 2.5 0.125 6"});
  OutTextType(-1, 1, 1, 9, 9, 9);
  EXPECT_EQ(Out(), (Lines{"cn0 1.5 2.5 0.125 6"}));
}

// cc and font
TEST(Emitters, CcOutOfRangeIsZero) {
  Prepare({});
  OutTextCc(9);
  OutTextCc(-1);
  OutTextCc(0);
  OutTextCc(8);
  EXPECT_EQ(Out(), (Lines{"cc0", "cc8"}));
}

TEST(Emitters, FontFallsBackToTheHostFont) {
  Prepare({"cn\"$<Host Font>"});
  OutFontName("<>");
  OutFontName("");
  OutFontName("<host font>");
  EXPECT_EQ(Out(), (Lines{"cn\"$<Host Font>", "cn\"$<host font>"}));
  Prepare({});
  OutFontName("");
  EXPECT_EQ(Out(), (Lines{"cn\"$"}));
}

TEST(Emitters, FontRecordReadsBackAsOneToken) {
  Prepare({});
  OutFontName("<\x82\x6C\x82\x72 P Gothic>");
  const std::string line = Out()[0];
  testing::Feed({line});
  EXPECT_EQ(JwcState.CurFontName, "<\x82\x6C\x82\x72 P Gothic>");
}

// Text
TEST(Emitters, TextHeadAndTextLine) {
  Prepare({});
  OutText(0, "abc", 100, 200, 10, 0);
  OutText(12, "d", 0.5, -0.25, 0, 1);
  OutText(-1, "e", 1, 1, 1, 1);
  OutText(9, "f", 1, 1, 1, 1);
  EXPECT_EQ(Out(), (Lines{"ch 100 200 10 0 \"", "abc", "ch 0.5 -0.25 0 1 \"", "d",
                          "ch 1 1 1 1 \"", "e", "c2 1 1 1 1 \"", "f"}));
}

TEST(Emitters, TextNeedsADirectionAndSomethingVisible) {
  Prepare({});
  OutText(0, "a", 0, 0, 0, 0);
  OutText(0, " \x81\x40\t ", 0, 0, 1, 0);
  OutText(0, "a", 0, 0, std::nextafter(1e-8, 0.0), -std::nextafter(1e-8, 0.0));
  EXPECT_TRUE(Out().empty());
  OutText(0, "a", 0, 0, 0, 1e-7);
  OutText(0, "b", 0, 0, 1e-8, 0);
  EXPECT_EQ(Out().size(), 4u);
}

TEST(Emitters, TextIsWrittenUncleanedAndChangesNoTracker) {
  Prepare({});
  OutText(0, " a b ", 0, 0, 1, 0);
  EXPECT_EQ(Out()[1], " a b ");
  EXPECT_TRUE(JwcState.FreshCn);
  EXPECT_TRUE(JwcState.FreshFont);
}

TEST(Emitters, SavedTextRecordIsOneHostLine) {
  Prepare({});
  OutLayerGroup(0);
  OutText(0, "abc", 100, 200, 10, 0);
  testing::ScratchFolder folder;
  const std::string path = folder.File("JWC_TEMP.TXT");
  ASSERT_TRUE(SaveJwcTemp(path));
  EXPECT_EQ(testing::ReadBytes(path), "lg0\r\nch 100 200 10 0 \"abc\r\n");
}

}  // namespace
}  // namespace zumorika
