#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "util/Files.h"
#include "util/MyFunc.h"

namespace zumorika {
namespace {

#ifdef _WIN32
const char kSeparator = '\\';
// Wine shows the Unix root as drive Z:.
const std::string kFullDevice = "Z:\\dev\\full";
#else
const char kSeparator = '/';
const std::string kFullDevice = "/dev/full";
#endif

std::string TempFolder() {
  std::string folder = testing::TempDir();
  if (!folder.empty() && folder.back() != kSeparator && folder.back() != '/') folder += kSeparator;
  return folder;
}

// A unique path in the temporary folder whose name holds 表 and ソ, whose
// trail bytes are "\": a byte-wise path would split the name there.
std::string JapaneseTempPath(const std::string& tag) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return TempFolder() + "zumorika_" + test->name() + "_" + tag + "_\x95\x5C\x83\x5C.txt";
}

bool WriteText(const std::string& path, const std::string& text) {
  UniqueFile file = OpenFile(path, "wb");
  if (!file) return false;
  std::fwrite(text.data(), 1, text.size(), file.get());
  return CloseFileChecked(std::move(file));
}

std::string ReadText(const std::string& path) {
  UniqueFile file = OpenFile(path, "rb");
  if (!file) return "<missing>";
  std::string text;
  char buffer[256];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);
  return text;
}

// --- Files by Shift-JIS name -------------------------------------------------

TEST(Files, WritesFindsReadsAndDeletesAJapaneseName) {
  const std::string path = JapaneseTempPath("a");
  DeleteFileAt(path);
  ASSERT_FALSE(FileExists(path));
  ASSERT_TRUE(WriteText(path, "hq\r\n"));
  EXPECT_TRUE(FileExists(path));
  EXPECT_FALSE(FolderExists(path));
  EXPECT_EQ(ReadText(path), "hq\r\n");  // "b" mode: no line-end translation
  EXPECT_TRUE(DeleteFileAt(path));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(DeleteFileAt(path));
}

TEST(Files, CreateNewFileNeverOpensWhatIsThere) {
  const std::string path = JapaneseTempPath("new");
  DeleteFileAt(path);
  bool alreadyExists = true;
  UniqueFile created = CreateNewFile(path, alreadyExists);
  ASSERT_TRUE(created);
  EXPECT_FALSE(alreadyExists);
  std::fwrite("ours", 1, 4, created.get());
  ASSERT_TRUE(CloseFileChecked(std::move(created)));

  EXPECT_FALSE(CreateNewFile(path, alreadyExists));
  EXPECT_TRUE(alreadyExists);
  EXPECT_EQ(ReadText(path), "ours");
  // A folder of that name or a missing folder makes the creation fail
  // without counting as a file in the way.
  const std::string folder = TempFolder();
  EXPECT_FALSE(CreateNewFile(folder.substr(0, folder.size() - 1), alreadyExists));
  EXPECT_FALSE(alreadyExists);
  EXPECT_FALSE(CreateNewFile(folder + "zumorika_missing_folder" + kSeparator + "a.BMP", alreadyExists));
  EXPECT_FALSE(alreadyExists);
  EXPECT_TRUE(DeleteFileAt(path));
}

TEST(Files, ANameEndingInSoIsNotTakenForAFolder) {
  const std::string path = JapaneseTempPath("b").substr(0, JapaneseTempPath("b").size() - 4);
  ASSERT_EQ(path.back(), '\x5C');  // the trail byte of ソ
  DeleteFileAt(path);
  ASSERT_TRUE(WriteText(path, "x"));
  EXPECT_TRUE(FileExists(path));
  EXPECT_FALSE(FolderExists(path));
  EXPECT_TRUE(DeleteFileAt(path));
}

TEST(Files, FoldersAreNoFilesWithOrWithoutTrailingSeparator) {
  const std::string folder = TempFolder();
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FolderExists(folder.substr(0, folder.size() - 1)));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_FALSE(FileExists(folder.substr(0, folder.size() - 1)));
  EXPECT_FALSE(DeleteFileAt(folder.substr(0, folder.size() - 1)));
  EXPECT_TRUE(FolderExists(folder.substr(0, folder.size() - 1)));
}

// Asking must change nothing: the host's exchange file is asked about.
TEST(Files, MayWriteFileLeavesEverythingAsItWas) {
  const std::string there = JapaneseTempPath("there");
  ASSERT_TRUE(WriteText(there, "host's lines"));
  EXPECT_TRUE(MayWriteFile(there));
  EXPECT_EQ(ReadText(there), "host's lines");
  EXPECT_TRUE(DeleteFileAt(there));

  const std::string absent = JapaneseTempPath("absent");
  EXPECT_TRUE(MayWriteFile(absent));
  EXPECT_FALSE(FileExists(absent));

  EXPECT_FALSE(MayWriteFile(TempFolder() + "zumorika_no_such_folder" + kSeparator + "x.txt"));
  EXPECT_FALSE(MayWriteFile(TempFolder().substr(0, TempFolder().size() - 1)));  // a folder
  EXPECT_FALSE(MayWriteFile(""));
}

TEST(Files, MissingOrUnusablePathsAreRefused) {
  const std::string missing = TempFolder() + "zumorika_no_such_file.txt";
  EXPECT_FALSE(FileExists(missing));
  EXPECT_FALSE(FolderExists(missing));
  EXPECT_FALSE(OpenFile(missing, "rb"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FolderExists(""));
  EXPECT_FALSE(OpenFile("", "rb"));
  // A NUL byte would cut the path short and name another file.
  const std::string real = JapaneseTempPath("c");
  ASSERT_TRUE(WriteText(real, "x"));
  EXPECT_FALSE(FileExists(real + std::string("\0.bak", 5)));
  EXPECT_FALSE(OpenFile(real + std::string("\0.bak", 5), "rb"));
  EXPECT_FALSE(DeleteFileAt(real + std::string("\0.bak", 5)));
  EXPECT_TRUE(FileExists(real));
  EXPECT_TRUE(DeleteFileAt(real));
}

#ifdef _WIN32
TEST(Files, BytesThatFormNoCharacterNameNoFile) {
  // 0x85 0x40 is an empty cell of the code page: converting it would give
  // U+FFFD, a legal file-name character, and so another file.
  const std::string path = TempFolder() + "zumorika_\x85\x40.txt";
  EXPECT_FALSE(OpenFile(path, "wb"));
  EXPECT_FALSE(FileExists(path));
}
#endif

// --- Checked close -----------------------------------------------------------

TEST(CloseFileChecked, ReportsAWriteThatFailsOnlyAtTheFlush) {
  // Wine opens the device but reports no attributes for it, so only the
  // opening is checked.
  UniqueFile file = OpenFile(kFullDevice, "wb");
  ASSERT_TRUE(file) << kFullDevice;
  const std::string line(100, 'x');
  std::fwrite(line.data(), 1, line.size(), file.get());  // stays in the buffer
  EXPECT_FALSE(CloseFileChecked(std::move(file)));
}

TEST(CloseFileChecked, ReportsAWriteThatFailedEarlier) {
  UniqueFile file = OpenFile(kFullDevice, "wb");
  ASSERT_TRUE(file);
  const std::string block(1 << 16, 'x');  // larger than the buffer: written at once
  std::fwrite(block.data(), 1, block.size(), file.get());
  EXPECT_FALSE(CloseFileChecked(std::move(file)));
}

TEST(CloseFileChecked, NoFileIsNoSuccess) { EXPECT_FALSE(CloseFileChecked(nullptr)); }

// --- Executable path ---------------------------------------------------------

TEST(ExecutablePath, NamesThisTestProgram) {
  const std::string path = ExecutablePath();
  EXPECT_TRUE(FileExists(path)) << path;
  EXPECT_EQ(ReplaceExtension(ExtractFileNamePart(path), ""), "util_tests") << path;
  EXPECT_TRUE(FolderExists(ExtractFolderPart(path))) << path;
}

}  // namespace
}  // namespace zumorika
