// Exchange files far beyond what a drawing usually holds, and Shift-JIS that
// is broken at the edges: the reader must stay within bounded memory, keep
// its invariants and lose nothing but the broken bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "ChildProcess.h"
#include "JwcDigest.h"
#include "StressSupport.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

using stress::ScratchFolder;

void ParseAll(std::initializer_list<std::string> lines) {
  ResetJwcState();
  for (const auto& line : lines) ParseJwcLine(line);
}

// --- Many elements ------------------------------------------------------------

#ifndef _WIN32

TEST(HugeExchangeFile, MillionElementLinesStayWithinThreeTimesTheStores) {
  constexpr int kLines = 1000000;
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("file=C:\\jww\\big.jww\r\nhp1 10 20\r\n", f);
    for (int i = 0; i < kLines; ++i) std::fprintf(f, "%d.5 -3 100 %d.25\r\n", i, i % 977);
    std::fclose(f);
  }
  const std::string report = scratch / "report.txt";
  int result = stress::RunInChild([&] {
    ResetJwcState();
    if (!stress::ResetPeakMemory()) return 10;  // no way to measure here
    const long before = stress::StatusKb("VmRSS");
    auto start = std::chrono::steady_clock::now();
    if (!LoadJwcTemp(path)) return 2;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long peak = stress::StatusKb("VmHWM");
    const auto& s = JwcState;
    if (s.Lines.size() != static_cast<size_t>(kLines) || s.ElementOrder.size() != s.Lines.size())
      return 3;
    if (!reference::BrokenInvariant(s).empty()) return 4;
    const double stores = static_cast<double>(s.Lines.capacity() * sizeof(TJwwEntLine) +
                                              s.ElementOrder.capacity() * sizeof(ElementOrderEntry));
    const double growth = (peak - before) * 1024.0;
    if (std::FILE* out = std::fopen(report.c_str(), "w")) {
      std::fprintf(out, "stores %.1f MB, peak growth %.1f MB, ratio %.2f, %.2f s", stores / 1e6,
                   growth / 1e6, growth / stores, seconds);
      std::fclose(out);
    }
    return growth <= 3 * stores ? 0 : 5;
  });
  if (result == 10) GTEST_SKIP() << "the kernel offers no peak-memory reset";
  RecordProperty("memory", stress::ReadBytes(report));
  std::printf("  1,000,000 element lines: %s\n", stress::ReadBytes(report).c_str());
  EXPECT_EQ(result, 0) << stress::ReadBytes(report);
}

#endif

// --- Long lines ---------------------------------------------------------------

TEST(HugeExchangeLine, TenMegabyteTextIsCutTo255BytesAndReadingGoesOn) {
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  std::string longText(10 * 1024 * 1024, 'a');
  stress::WriteBytes(path, "ch 1 2 1 0 \"" + longText + "\r\nlc7\r\n");
  ResetJwcState();
  ASSERT_TRUE(LoadJwcTemp(path));
  ASSERT_EQ(JwcState.Texts.size(), 1u);
  EXPECT_EQ(JwcState.Texts[0].Text, std::string(255, 'a'));
  EXPECT_EQ(JwcState.LastLineColor, 7);
}

TEST(HugeExchangeLine, MillionsOfTokensWriteNoSlotOutsideTheArray) {
  // 5 million tokens on one line: only 32 slots exist; the line after it
  // must still be read.
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  std::string tokens = "hs";
  tokens.reserve(10 * 1024 * 1024 + 16);
  while (tokens.size() < 10 * 1024 * 1024) tokens += " 2";
  stress::WriteBytes(path, tokens + "\nlc7\n");
  ResetJwcState();
  ASSERT_TRUE(LoadJwcTemp(path));
  EXPECT_EQ(JwcState.LastLineColor, 7);
  EXPECT_TRUE(reference::BrokenInvariant(JwcState).empty());
}

TEST(HugeExchangeLine, TenMegabyteFileNameIsKeptWhole) {
  std::string name(10 * 1024 * 1024, 'n');
  ParseAll({"file=" + name});
  EXPECT_EQ(JwcState.DrawingFileName.size(), name.size());
}

// --- Broken Shift-JIS -----------------------------------------------------------

TEST(BrokenShiftJis, LeadByteAtLineEndIsDroppedAlone) {
  ParseAll({"file=C:\\dwg\\a\x82"});
  EXPECT_EQ(JwcState.DrawingFileName, "C:\\dwg\\a");
  ParseAll({"lc\x82", "lc7"});
  EXPECT_EQ(JwcState.CurLineColor, 0);
  EXPECT_EQ(JwcState.LastLineColor, 7);
}

TEST(BrokenShiftJis, LeadByteBeforeCrLfInAFileLosesOnlyItself) {
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  stress::WriteBytes(path, "file=ab\x82\r\nlc\x83\nlc7\r\nlyn\x81\r\n");
  ResetJwcState();
  ASSERT_TRUE(LoadJwcTemp(path));
  EXPECT_EQ(JwcState.DrawingFileName, "ab");
  EXPECT_EQ(JwcState.CurLineColor, 0);
  EXPECT_EQ(JwcState.LastLineColor, 7);
  EXPECT_EQ(JwcState.LayerNames[0], "");
}

TEST(BrokenShiftJis, LeadByteSwallowsTheQuoteAfterIt) {
  // 0x82 0x22 is one character, so the quote opens no free text.
  ParseAll({"ch 1 2 1 0 \x82\"abc def"});
  ASSERT_EQ(JwcState.Texts.size(), 1u);
  EXPECT_EQ(JwcState.Texts[0].Text, "\x82\"abc");
}

TEST(BrokenShiftJis, BytesFEAndFFAreDroppedButFDLeadsAPair) {
  ParseAll({"lc\xFE\xFF" "5"});
  EXPECT_EQ(JwcState.LastLineColor, 5);
  ParseAll({"lc\xFD" "5"});
  EXPECT_EQ(JwcState.LastLineColor, 0);  // "\xFD5" is one character, no number
}

TEST(BrokenShiftJis, LoneTrailAndKatakanaBytesStayInTheText) {
  ParseAll({"ch 1 2 1 0 \"\x5C\x40\xA0\xDF"});
  ASSERT_EQ(JwcState.Texts.size(), 1u);
  EXPECT_EQ(JwcState.Texts[0].Text, "\x5C\x40\xA0\xDF");
}

TEST(BrokenShiftJis, TextCutAt255MaySplitAPairButNeverOverruns) {
  std::string text;
  while (text.size() < 400) text += "\x82\xA0";
  text = "x" + text;  // the 255th byte is now a lead byte
  ParseAll({"ch 1 2 1 0 \"" + text});
  ASSERT_EQ(JwcState.Texts.size(), 1u);
  EXPECT_EQ(JwcState.Texts[0].Text, text.substr(0, 255));
}

}  // namespace
}  // namespace zumorika
