// The exchange-file writer when the file cannot be written: no partial file
// may reach the host, and the writer reports false instead of raising.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "HeldFile.h"
#include "StressSupport.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

using stress::Exists;
using stress::ReadBytes;
using stress::ScratchFolder;

// Enough buffered text that a short write shows before the final flush.
void BufferManyLines(int count) {
  ResetJwcState();
  std::string text(200, 'x');
  for (int i = 0; i < count; ++i) AddOutLine(std::to_string(i) + text);
}

// --- Cannot create ------------------------------------------------------------

TEST(ExchangeWriteFault, MissingFolderReportsFalseAndCreatesNothing) {
  ScratchFolder scratch;
  BufferManyLines(3);
  const std::string path = scratch / "gone/JWC_TEMP.TXT";
  EXPECT_FALSE(SaveJwcTemp(path));
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(Exists(scratch / "gone"));
}

TEST(ExchangeWriteFault, PathThatIsAFolderReportsFalseAndKeepsTheFolder) {
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.Path() / "JWC_TEMP.TXT");
  BufferManyLines(1);
  EXPECT_FALSE(SaveJwcTemp(scratch / "JWC_TEMP.TXT"));
  EXPECT_TRUE(std::filesystem::is_directory(scratch.Path() / "JWC_TEMP.TXT"));
}

TEST(ExchangeWriteFault, HostsFileThatCannotBeOpenedIsLeftWhole) {
  // Regression: a failed open deleted the host's intact file.
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  BufferManyLines(2);
  {
    stress::FileHeldAgainstWriting held(path, "hq\r\n");
    EXPECT_FALSE(SaveJwcTemp(path));
  }
  EXPECT_TRUE(stress::FileHeldAgainstWriting::Holds(path, "hq\r\n"));
}

#ifdef _WIN32
TEST(ExchangeWriteFault, HiddenHostsFileIsReplaced) {
  // Windows refuses to create over an existing hidden or system file
  // (CREATE_ALWAYS, as fopen "wb" asks for); truncating it is allowed.
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  stress::WriteBytes(path, "lc5\r\nlc6\r\n" + std::string(1000, 'x'));
  ASSERT_TRUE(stress::MakeHidden(path));
  BufferManyLines(1);
  ASSERT_TRUE(SaveJwcTemp(path));
  EXPECT_EQ(ReadBytes(path).size(), 201u + 2);
}
#endif

TEST(ExchangeWriteFault, WriteAfterFailureStillWorks) {
  // A failed save leaves the buffer as it was, so a second try with a good
  // path writes every line.
  ScratchFolder scratch;
  BufferManyLines(2);
  EXPECT_FALSE(SaveJwcTemp(scratch / "gone/JWC_TEMP.TXT"));
  ASSERT_TRUE(SaveJwcTemp(scratch / "JWC_TEMP.TXT"));
  EXPECT_EQ(ReadBytes(scratch / "JWC_TEMP.TXT").size(), 2u * (201 + 2));
}

#ifndef _WIN32

// --- Disk full --------------------------------------------------------------

TEST(ExchangeWriteFault, FullDeviceLeavesNoFileAndReportsFalse) {
  // The path is a link to /dev/full inside the scratch folder: every write
  // fails with ENOSPC, and deleting the "partial file" removes only the link.
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  std::filesystem::create_symlink("/dev/full", path);
  BufferManyLines(100);
  EXPECT_FALSE(SaveJwcTemp(path));
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST(ExchangeWriteFault, DiskFullingHalfWayDeletesThePartialFile) {
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  stress::WriteBytes(path, "lc5\r\n");  // the host's file, replaced either way
  int result = stress::RunInChild([&] {
    BufferManyLines(2000);  // about 400 KB
    stress::LimitFileSize(64 * 1024);
    return SaveJwcTemp(path) ? 1 : 0;
  });
  EXPECT_EQ(result, 0) << "SaveJwcTemp reported success on a half-written file";
  EXPECT_FALSE(Exists(path)) << "a partial exchange file was left for the host";
}

TEST(ExchangeWriteFault, LimitExactlyAtTheFileSizeStillSucceeds) {
  // The fault injection itself must not make a good write fail: at the exact
  // size the whole file fits.
  ScratchFolder scratch;
  const std::string path = scratch / "JWC_TEMP.TXT";
  BufferManyLines(10);
  ASSERT_TRUE(SaveJwcTemp(path));
  const auto size = ReadBytes(path).size();
  std::filesystem::remove(path);
  int result = stress::RunInChild([&] {
    BufferManyLines(10);
    stress::LimitFileSize(size);
    return SaveJwcTemp(path) ? 1 : 0;
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(ReadBytes(path).size(), size);
}

#endif

}  // namespace
}  // namespace zumorika
