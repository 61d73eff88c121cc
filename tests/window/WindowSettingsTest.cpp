#include "window/WindowSettings.h"

#include <gtest/gtest.h>

#include "WindowTestSupport.h"

namespace zumorika {
namespace {

using test::ReadBytes;
using test::ScratchFolder;
using test::WriteBytes;

void ExpectDefaults(const WindowSettings& s) {
  EXPECT_EQ(s.WinLeft, 0);
  EXPECT_EQ(s.WinTop, 0);
  EXPECT_EQ(s.SaveFolder, "");
  EXPECT_EQ(s.FolderMode, 0);
  EXPECT_EQ(s.FileKind, 0);
  EXPECT_EQ(s.BmpDepth, 2);
  EXPECT_EQ(s.JpegColor, 1);
  EXPECT_EQ(s.JpegQuality, 100);
  EXPECT_EQ(s.WidthMm, 100.0);
  EXPECT_EQ(s.BasePoint, 0);
  EXPECT_EQ(s.AngleDeg, 0.0);
}

// Every field away from its default, so a load that forgets to reset shows.
WindowSettings Scrambled() {
  WindowSettings s;
  s.WinLeft = 77;
  s.WinTop = 88;
  s.SaveFolder = "junk";
  s.FolderMode = 9;
  s.FileKind = 9;
  s.BmpDepth = 9;
  s.JpegColor = 9;
  s.JpegQuality = 9;
  s.WidthMm = 9.5;
  s.BasePoint = 9;
  s.AngleDeg = 9.5;
  return s;
}

// --- Path -------------------------------------------------------------------

TEST(SettingsFilePath, ReplacesTheExecutablesExtension) {
  EXPECT_EQ(SettingsFilePath("C:\\jww\\zumorika.exe"), "C:\\jww\\zumorika.dat");
  EXPECT_EQ(SettingsFilePath("C:\\my.tools\\zumorika"), "C:\\my.tools\\zumorika.dat");
}

// --- Reading ----------------------------------------------------------------

TEST(LoadWindowSettings, MissingFileGivesTheDefaults) {
  ScratchFolder folder("missing");
  WindowSettings s = Scrambled();
  LoadWindowSettings(folder.File("none.dat"), s);
  ExpectDefaults(s);
}

TEST(LoadWindowSettings, ReadsAllElevenLines) {
  ScratchFolder folder("full");
  WriteBytes(folder.File("z.dat"),
             "-8\r\n104\r\nC:\\pics\\\r\n1\r\n1\r\n3\r\n0\r\n75\r\n12.5\r\n4\r\n-30.25\r\n");
  WindowSettings s = Scrambled();
  LoadWindowSettings(folder.File("z.dat"), s);
  EXPECT_EQ(s.WinLeft, -8);  // a window partly off the left edge comes back there
  EXPECT_EQ(s.WinTop, 104);
  EXPECT_EQ(s.SaveFolder, "C:\\pics\\");
  EXPECT_EQ(s.FolderMode, 1);
  EXPECT_EQ(s.FileKind, 1);
  EXPECT_EQ(s.BmpDepth, 3);
  EXPECT_EQ(s.JpegColor, 0);
  EXPECT_EQ(s.JpegQuality, 75);
  EXPECT_EQ(s.WidthMm, 12.5);
  EXPECT_EQ(s.BasePoint, 4);
  EXPECT_EQ(s.AngleDeg, -30.25);
}

TEST(LoadWindowSettings, ShortFileStoresZeroNotTheDefaultForMissingLines) {
  ScratchFolder folder("short");
  WriteBytes(folder.File("z.dat"), "10\r\n20\r\n\r\n0\r\n0\r\n");
  WindowSettings s = Scrambled();
  LoadWindowSettings(folder.File("z.dat"), s);
  EXPECT_EQ(s.WinLeft, 10);
  EXPECT_EQ(s.BmpDepth, 0);
  EXPECT_EQ(s.JpegColor, 0);
  EXPECT_EQ(s.JpegQuality, 0);
  EXPECT_EQ(s.WidthMm, 0.0);
  EXPECT_EQ(s.BasePoint, 0);
  EXPECT_EQ(s.AngleDeg, 0.0);
}

TEST(LoadWindowSettings, AcceptsLfLineEndsAndALastLineWithoutEnd) {
  ScratchFolder folder("lf");
  WriteBytes(folder.File("z.dat"), "1\n2\nD:\\x\\\n1\n0\n1\n1\n50\n30\n8\n45");
  WindowSettings s;
  LoadWindowSettings(folder.File("z.dat"), s);
  EXPECT_EQ(s.WinTop, 2);
  EXPECT_EQ(s.SaveFolder, "D:\\x\\");
  EXPECT_EQ(s.BasePoint, 8);
  EXPECT_EQ(s.AngleDeg, 45.0);
}

TEST(LoadWindowSettings, TextThatIsNoNumberReadsAsZero) {
  ScratchFolder folder("nonumber");
  WriteBytes(folder.File("a.dat"), "0\r\n0\r\n\r\n0\r\n0\r\n2\r\n1\r\n100\r\n12.5mm\r\n0\r\nabc\r\n");
  WindowSettings s;
  LoadWindowSettings(folder.File("a.dat"), s);
  EXPECT_EQ(s.WidthMm, 0.0);
  EXPECT_EQ(s.AngleDeg, 0.0);
}

TEST(LoadWindowSettings, ALongFolderLineIsReadWhole) {
  ScratchFolder folder("long");
  std::string longFolder = "C:\\" + std::string(5000, 'x') + "\\";
  WriteBytes(folder.File("a.dat"), "0\r\n0\r\n" + longFolder + "\r\n1\r\n");
  WindowSettings s;
  LoadWindowSettings(folder.File("a.dat"), s);
  EXPECT_EQ(s.SaveFolder, longFolder);
  EXPECT_EQ(s.FolderMode, 1);
}

// --- Writing ----------------------------------------------------------------

TEST(SaveWindowSettings, WritesElevenCrLfLines) {
  ScratchFolder folder("write");
  WindowSettings s;
  s.WinLeft = 189;
  s.WinTop = 104;
  ASSERT_TRUE(SaveWindowSettings(folder.File("z.dat"), s));
  EXPECT_EQ(ReadBytes(folder.File("z.dat")),
            "189\r\n104\r\n\r\n0\r\n0\r\n2\r\n1\r\n100\r\n100\r\n0\r\n0\r\n");
}

TEST(SaveWindowSettings, RoundTripKeepsShiftJisFolderWithSpaces) {
  ScratchFolder folder("roundtrip");
  WindowSettings written;
  // " C:\図面 画像\ " with a leading and a trailing blank; 表 has the trail
  // byte 0x5C, which must not be taken for a separator or line end.
  written.SaveFolder = " C:\\\x90}\x96\xCA \x89\xE6\x91\x9C\x95\\\\ ";
  written.FolderMode = 1;
  written.FileKind = 1;
  written.BmpDepth = 0;
  written.JpegColor = 0;
  written.JpegQuality = 1;
  written.WidthMm = 123.456;
  written.BasePoint = 8;
  written.AngleDeg = -0.0001;
  written.WinLeft = -8;
  written.WinTop = -3000;
  ASSERT_TRUE(SaveWindowSettings(folder.File("z.dat"), written));
  WindowSettings read = Scrambled();
  LoadWindowSettings(folder.File("z.dat"), read);
  EXPECT_EQ(read.SaveFolder, written.SaveFolder);
  EXPECT_EQ(read.FolderMode, 1);
  EXPECT_EQ(read.FileKind, 1);
  EXPECT_EQ(read.BmpDepth, 0);
  EXPECT_EQ(read.JpegColor, 0);
  EXPECT_EQ(read.JpegQuality, 1);
  EXPECT_EQ(read.WidthMm, 123.456);
  EXPECT_EQ(read.BasePoint, 8);
  EXPECT_EQ(read.AngleDeg, -0.0001);
  EXPECT_EQ(read.WinLeft, -8);
  EXPECT_EQ(read.WinTop, -3000);
}

// --- Write failures ---------------------------------------------------------

TEST(SaveWindowSettings, FolderThatDoesNotExistLeavesNoFile) {
  ScratchFolder folder("nofolder");
  std::string path = folder.File("missing") + "/z.dat";
  EXPECT_FALSE(SaveWindowSettings(path, WindowSettings{}));
  EXPECT_FALSE(test::Exists(path));
}

#ifndef _WIN32
TEST(SaveWindowSettings, FullDiskLeavesNoPartialFile) {
  // The settings path is a link to /dev/full: the open succeeds and the
  // flush at close fails, as on a full disk. Deleting removes the link only.
  if (!test::Exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchFolder folder("full_disk");
  std::filesystem::create_symlink("/dev/full", folder.File("z.dat"));
  EXPECT_FALSE(SaveWindowSettings(folder.File("z.dat"), WindowSettings{}));
  EXPECT_FALSE(std::filesystem::is_symlink(folder.File("z.dat")));
  EXPECT_FALSE(test::Exists(folder.File("z.dat")));
  EXPECT_TRUE(test::Exists("/dev/full"));
}
#endif

}  // namespace
}  // namespace zumorika
