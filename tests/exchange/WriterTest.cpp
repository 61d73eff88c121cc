#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ExchangeTestSupport.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

const TJwcState& S() { return JwcState; }

// Saves `lines` through the output buffer and returns the file's bytes.
std::string Saved(std::initializer_list<std::string_view> lines) {
  ResetJwcState();
  for (std::string_view line : lines) AddOutLine(line);
  ScratchFolder folder;
  const std::string path = folder.File("JWC_TEMP.TXT");
  WriteBytes(path, "host lines\r\n");
  EXPECT_TRUE(SaveJwcTemp(path));
  return ReadBytes(path);
}

// Output buffer
TEST(OutputBuffer, LinesAreCutTo255Bytes) {
  ResetJwcState();
  AddOutLine(std::string(300, 'a'));
  AddOutLine("");
  ASSERT_EQ(S().OutLineCount, 2);
  EXPECT_EQ(S().OutLines[0], std::string(255, 'a'));
  EXPECT_EQ(S().OutLines[1], "");
}

TEST(OutputBuffer, GrowsByBlocksAndKeepsEarlierLines) {
  ResetJwcState();
  for (int i = 0; i < 1000; ++i) AddOutLine(std::to_string(i));
  EXPECT_EQ(S().OutLines.capacity(), 1000u);
  AddOutLine("last");
  EXPECT_EQ(S().OutLines.capacity(), 2000u);
  EXPECT_EQ(S().OutLineCount, 1001);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(S().OutLines[static_cast<std::size_t>(i)], std::to_string(i));
  EXPECT_EQ(S().OutLines[1000], "last");
}

// File form
TEST(ExchangeWriter, EmptyBufferWritesHq) {
  EXPECT_EQ(Saved({}), "hq\r\n");
}

TEST(ExchangeWriter, TextHeadJoinsTheNextLine) {
  EXPECT_EQ(Saved({"lg0", "ch 10 20 10 0 \"", "abc"}), "lg0\r\nch 10 20 10 0 \"abc\r\n");
}

TEST(ExchangeWriter, QuoteOnTheLastLineEndsTheFile) {
  EXPECT_EQ(Saved({"lg0", "ch 1 2 1 0 \""}), "lg0\r\nch 1 2 1 0 \"");
}

TEST(ExchangeWriter, JoinedLineNeverJoinsTheOneAfterIt) {
  EXPECT_EQ(Saved({"a\"", "b\"", "c"}), "a\"b\"\r\nc\r\n");
}

TEST(ExchangeWriter, EmptyLineIsWrittenAsALineEnd) {
  EXPECT_EQ(Saved({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(ExchangeWriter, CutLineEndingInAQuoteJoins) {
  std::string longLine(254, 'x');
  longLine += "\"tail that is cut away";
  EXPECT_EQ(Saved({longLine, "t"}), std::string(254, 'x') + "\"t\r\n");
}

TEST(ExchangeWriter, BytesAreWrittenUnconverted) {
  EXPECT_EQ(Saved({"cn\"$<\x82\x6C\x82\x72>", "\xB1\x81\x40"}),
            "cn\"$<\x82\x6C\x82\x72>\r\n\xB1\x81\x40\r\n");
}

// Failures
TEST(ExchangeWriter, MissingFolderFailsAndLeavesNoFile) {
  ScratchFolder folder;
  ResetJwcState();
  AddOutLine("lg0");
  const std::string path = folder.File("missing/JWC_TEMP.TXT");
  EXPECT_FALSE(SaveJwcTemp(path));
  EXPECT_FALSE(std::filesystem::exists(path));
}

#ifndef _WIN32
TEST(ExchangeWriter, FullDiskFailsAndDeletesThePartialFile) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchFolder folder;
  // The link stands for the file: writes through it fail as on a full disk,
  // and deleting it removes the link, never the device.
  const std::string path = folder.File("JWC_TEMP.TXT");
  std::filesystem::create_symlink("/dev/full", path);
  ResetJwcState();
  AddOutLine("lg0");
  EXPECT_FALSE(SaveJwcTemp(path));
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}
#endif

// Output trackers
TEST(OutputTrackers, ResetOutAttrsRestartsTrackingButKeepsWhatWasRead) {
  ResetJwcState();
  for (const char* line : {"lc5", "lg3", "cn0 1 2 3 4", "cc4", "cn$X", "pn2", "lc10 9", "lw7"})
    ParseJwcLine(line);
  AddOutLine("kept");
  ResetOutAttrs();
  EXPECT_EQ(S().LastLineColor, 1);
  EXPECT_TRUE(S().FreshLc);
  EXPECT_TRUE(S().FreshCc);
  EXPECT_TRUE(S().FreshFont);
  EXPECT_EQ(S().CurLineColor, 5);
  EXPECT_EQ(S().CurLayerGroup, 3);
  EXPECT_EQ(S().LastLayerGroup, 0);
  EXPECT_EQ(S().LastTextType, 1);
  EXPECT_EQ(S().LastTextWidth, 2.0);
  EXPECT_EQ(S().LastTextColor, 1);
  EXPECT_EQ(S().LastCc, 0);
  EXPECT_EQ(S().LastFontName, std::string(testing::kMsGothic));
  EXPECT_EQ(S().LastPointColor, 1);
  EXPECT_EQ(S().LastSolidColor, 0);
  EXPECT_EQ(S().LastLineWidth, 0);
  EXPECT_TRUE(S().LwSeen);
  EXPECT_EQ(S().OutLineCount, 1);
}

}  // namespace
}  // namespace zumorika
