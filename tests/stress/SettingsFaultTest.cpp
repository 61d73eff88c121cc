// The settings file when it cannot be written: no partial file is left, and
// the paste goes on as if nothing had happened.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "HeldFile.h"
#include "RealFilesHost.h"
#include "StressSupport.h"
#include "exchange/JwwGaibu.h"
#include "window/WindowSettings.h"

namespace zumorika {
namespace {

using stress::Exists;
using stress::ScratchFolder;

WindowSettings SomeSettings() {
  WindowSettings s;
  s.WinLeft = -8;
  s.SaveFolder = std::string(300, 'f');  // long enough to need several writes
  s.WidthMm = 12.5;
  return s;
}

// --- Writer ---------------------------------------------------------------------

TEST(SettingsWriteFault, MissingFolderLeavesNoFile) {
  ScratchFolder scratch;
  const std::string path = scratch / "gone/zumorika.dat";
  EXPECT_FALSE(SaveWindowSettings(path, SomeSettings()));
  EXPECT_FALSE(Exists(path));
}

TEST(SettingsWriteFault, FileThatCannotBeOpenedIsLeftWhole) {
  // Regression: a failed open deleted the last run's settings.
  ScratchFolder scratch;
  const std::string path = scratch / "zumorika.dat";
  {
    stress::FileHeldAgainstWriting held(path, "1\r\n2\r\n");
    EXPECT_FALSE(SaveWindowSettings(path, SomeSettings()));
  }
  EXPECT_TRUE(stress::FileHeldAgainstWriting::Holds(path, "1\r\n2\r\n"));
}

#ifndef _WIN32

TEST(SettingsWriteFault, FullDeviceLeavesNoFile) {
  ScratchFolder scratch;
  const std::string path = scratch / "zumorika.dat";
  std::filesystem::create_symlink("/dev/full", path);
  EXPECT_FALSE(SaveWindowSettings(path, SomeSettings()));
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST(SettingsWriteFault, DiskFillingHalfWayDeletesThePartialFile) {
  ScratchFolder scratch;
  const std::string path = scratch / "zumorika.dat";
  stress::WriteBytes(path, "1\r\n2\r\n");  // last run's file
  int result = stress::RunInChild([&] {
    stress::LimitFileSize(20);
    return SaveWindowSettings(path, SomeSettings()) ? 1 : 0;
  });
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(Exists(path));
}

#endif

// --- Reader ----------------------------------------------------------------------

TEST(SettingsReadFault, PathThatIsAFolderGivesTheDefaults) {
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.Path() / "zumorika.dat");
  WindowSettings s;
  s.BmpDepth = 0;
  LoadWindowSettings(scratch / "zumorika.dat", s);
  EXPECT_EQ(s.BmpDepth, 2);
  EXPECT_EQ(s.JpegQuality, 100);
  EXPECT_EQ(s.WidthMm, 100.0);
}

TEST(SettingsReadFault, TenMegabyteFolderLineIsKeptAndTheLinesAfterItRead) {
  ScratchFolder scratch;
  const std::string folder(10 * 1024 * 1024, 'd');
  stress::WriteBytes(scratch / "zumorika.dat",
                     "1\r\n2\r\n" + folder + "\r\n1\r\n1\r\n3\r\n0\r\n90\r\n12.5\r\n4\r\n-30\r\n");
  WindowSettings s;
  LoadWindowSettings(scratch / "zumorika.dat", s);
  EXPECT_EQ(s.SaveFolder.size(), folder.size());
  EXPECT_EQ(s.JpegQuality, 90);
  EXPECT_EQ(s.AngleDeg, -30.0);
}

// --- Paste goes on ----------------------------------------------------------------

TEST(SettingsWriteFault, UnwritableSettingsDoNotStopThePaste) {
  ScratchFolder scratch;
  TPicture picture = stress::TestPicture(7, 5);
  stress::RealFilesHost host(picture, scratch / "gone/zumorika.dat");
  ResetJwcState();
  ParseJwcLine("file=" + (scratch / "plan.jww"));
  ParseJwcLine("hp1 10 20");
  ResetOutAttrs();

  WindowSettings settings;  // BMP, 8 bits, drawing's folder
  ASSERT_TRUE(RunPasteAction(settings, host.Info(), host));
  EXPECT_FALSE(host.settingsWritten);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(Exists(scratch / "plan_000.BMP"));
  ASSERT_FALSE(JwcState.OutLines.empty());
  EXPECT_EQ(JwcState.OutLines.back().rfind("^@BMplan_000.BMP,100,", 0), 0u);
  EXPECT_FALSE(Exists(scratch / "gone"));
}

}  // namespace
}  // namespace zumorika
