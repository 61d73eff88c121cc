#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ExchangeTestSupport.h"
#include "exchange/JwcLineReader.h"
#include "exchange/JwwGaibu.h"
#include "util/Files.h"

namespace zumorika {
namespace {

using testing::ScratchFolder;
using testing::WriteBytes;

const TJwcState& S() { return JwcState; }

bool LoadBytes(const ScratchFolder& folder, std::string_view bytes) {
  const std::string path = folder.File("JWC_TEMP.TXT");
  WriteBytes(path, bytes);
  ResetJwcState();
  return LoadJwcTemp(path);
}

TEST(ExchangeReader, CrLfAndLfLinesBothEnd) {
  ScratchFolder folder;
  EXPECT_TRUE(LoadBytes(folder, "lc5\r\nlt3\nlw2\r\nhp1 7 8"));
  EXPECT_EQ(S().CurLineColor, 5);
  EXPECT_EQ(S().CurLineType, 3);
  EXPECT_EQ(S().CurLineWidth, 2);
  EXPECT_EQ(S().HpPoints[1].Y, 8.0);  // the last line needs no line end
}

TEST(ExchangeReader, LoneCrIsDroppedNotALineEnd) {
  ScratchFolder folder;
  EXPECT_TRUE(LoadBytes(folder, "file=a\rb.jww\r\nhp1 1 2\r"));
  EXPECT_EQ(S().DrawingFileName, "ab.jww");
  EXPECT_TRUE(S().HpPoints[1].Used);
}

TEST(ExchangeReader, CtrlZEndsTheText) {
  ScratchFolder folder;
  EXPECT_TRUE(LoadBytes(folder, "lc5\r\nlt3\x1A\r\nlw2\r\n"));
  EXPECT_EQ(S().CurLineColor, 5);
  EXPECT_EQ(S().CurLineType, 3);
  EXPECT_FALSE(S().LwSeen);
}

TEST(ExchangeReader, EmptyOrBlankFileKeepsTheDefaults) {
  ScratchFolder folder;
  EXPECT_TRUE(LoadBytes(folder, ""));
  EXPECT_TRUE(S().FreshLg);
  EXPECT_TRUE(LoadBytes(folder, "\r\n\r\n  \r\n\t\n"));
  EXPECT_TRUE(S().ElementOrder.empty());
  EXPECT_EQ(S().PaperWidth, 1189.0);
}

TEST(ExchangeReader, MissingFileOrFolderReturnsFalseAndKeepsDefaults) {
  ScratchFolder folder;
  ResetJwcState();
  EXPECT_FALSE(LoadJwcTemp(folder.File("JWC_TEMP.TXT")));
  EXPECT_FALSE(LoadJwcTemp(folder.File("no-such-folder/JWC_TEMP.TXT")));
  EXPECT_FALSE(LoadJwcTemp(folder.Path().string()));  // a folder is no file
  EXPECT_EQ(S().DrawingFileName, "");
}

TEST(ExchangeReader, VeryLongLinesAcrossChunksAreWhole) {
  ScratchFolder folder;
  // A text longer than the read chunk, whose CR LF straddles the edge
  // between the second and the third chunk.
  const std::string head = "ch 1 2 1 0 \"";
  const std::string text(kJwcReadChunk + 17, 'x');
  std::string bytes = "hzs 420 297\r\n";
  bytes += std::string(2 * kJwcReadChunk - 1 - text.size() - head.size() - bytes.size() - 2, ' ');
  bytes += "\r\n" + head + text;
  ASSERT_EQ(bytes.size(), 2 * kJwcReadChunk - 1);
  bytes += "\r\nlc7\r\n";
  EXPECT_TRUE(LoadBytes(folder, bytes));
  EXPECT_EQ(S().PaperWidth, 420.0);
  ASSERT_EQ(S().Texts.size(), 1u);
  EXPECT_EQ(S().Texts[0].Text, text.substr(0, 255));
  EXPECT_EQ(S().CurLineColor, 7);
}

TEST(ExchangeReader, LinesAreHandedOnWholeAtEveryChunkEdge) {
  // Line reading alone: every line of a file bigger than two chunks arrives
  // intact, whatever falls on the edges.
  ScratchFolder folder;
  std::string bytes;
  int expected = 0;
  for (int i = 0; bytes.size() < 2 * kJwcReadChunk + 100; ++i, ++expected)
    bytes += std::to_string(i) + (i % 3 ? "\r\n" : "\n");
  const std::string path = folder.File("lines.txt");
  WriteBytes(path, bytes);
  UniqueFile file = OpenFile(path, "rb");
  ASSERT_TRUE(file);
  int count = 0;
  bool inOrder = true;
  EXPECT_TRUE(ReadJwcLines(file.get(), [&](std::string_view line) {
    inOrder = inOrder && line == std::to_string(count);
    ++count;
  }));
  EXPECT_EQ(count, expected);
  EXPECT_TRUE(inOrder);
}

#if defined(__GLIBC__)
// A disk or network error part-way through: the whole lines before it are
// handed on, the line it cut is not, and the reading reports failure.
TEST(ExchangeReader, ReadErrorPartWayKeepsTheWholeLinesBeforeIt) {
  struct Source {
    std::string first;
    int calls = 0;
  } source{"lc5\r\nlt3\r\nlw2", 0};
  cookie_io_functions_t io{};
  io.read = [](void* cookie, char* buffer, size_t size) -> ssize_t {
    auto* s = static_cast<Source*>(cookie);
    if (s->calls++ > 0) {
      errno = EIO;
      return -1;
    }
    const size_t n = std::min(size, s->first.size());
    std::memcpy(buffer, s->first.data(), n);
    return static_cast<ssize_t>(n);
  };
  std::FILE* file = fopencookie(&source, "r", io);
  ASSERT_NE(file, nullptr);
  std::vector<std::string> lines;
  EXPECT_FALSE(ReadJwcLines(file, [&](std::string_view line) { lines.emplace_back(line); }));
  std::fclose(file);
  EXPECT_EQ(lines, (std::vector<std::string>{"lc5", "lt3"}));
}
#endif

TEST(ExchangeReader, FortyTokenLineIsReadLikeItsFirstThirtyTwo) {
  ScratchFolder folder;
  std::string hs = "hs";
  for (int i = 1; i <= 40; ++i) hs += " " + std::to_string(i);
  EXPECT_TRUE(LoadBytes(folder, hs + "\r\nlc4\r\n"));
  EXPECT_EQ(S().GroupScale[15], 16.0);
  EXPECT_EQ(S().CurLineColor, 4);
}

}  // namespace
}  // namespace zumorika
