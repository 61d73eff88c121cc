#include <string>

#include <gtest/gtest.h>

#include "util/MyFunc.h"

namespace zumorika {
namespace {

// Shift-JIS characters whose trail byte is a delimiter.
const std::string kSo = "\x83\x5C";       // ソ (trail byte "\")
const std::string kHyo = "\x95\x5C";      // 表 (trail byte "\")
const std::string kColonTrail = "\x81\x3A";  // a pair whose trail byte is ":"
const std::string kDotTrail = "\x88\x2E";    // a pair whose trail byte is "."
const std::string kIdeographicSpace = "\x81\x40";  // 全角スペース

// --- CleanText ---------------------------------------------------------------

TEST(CleanText, DropsBlanksControlBytesAndIdeographicSpaces) {
  EXPECT_EQ(CleanText("a b"), "ab");
  EXPECT_EQ(CleanText(" \t\r\n" + kIdeographicSpace + "  " + kIdeographicSpace), "");
  EXPECT_EQ(CleanText(std::string("x\0y\x1Fz", 5)), "xyz");
  EXPECT_EQ(CleanText(""), "");
}

TEST(CleanText, KeepsOtherBytesAndWholeDoubleByteCharacters) {
  EXPECT_EQ(CleanText("\xB1"), "\xB1");  // half-width katakana ｱ
  EXPECT_EQ(CleanText("\x7F\xA0\xDF\xFE\xFF"), "\x7F\xA0\xDF\xFE\xFF");
  // 0x82 0x20 is one character: its trail byte is no blank.
  EXPECT_EQ(CleanText("\x82\x20" "a"), "\x82\x20" "a");
  // The lead range is one wider on each side than the code page's own.
  EXPECT_EQ(CleanText("\x80\x20\xFD\x0A"), "\x80\x20\xFD\x0A");
  // 0x40 after a lead byte other than 0x81 is an ordinary character.
  EXPECT_EQ(CleanText("\x82\x40"), "\x82\x40");
  EXPECT_EQ(CleanText("a" + kIdeographicSpace + "b"), "ab");
  // Pairing follows the text from its start: "\x81\x81" is one character,
  // so the 0x40 after it stands alone and is kept.
  EXPECT_EQ(CleanText("\x81\x81\x40"), "\x81\x81\x40");
}

TEST(CleanText, CopiesALeadByteAtTheEndAlone) {
  EXPECT_EQ(CleanText("ab\x81"), "ab\x81");
  EXPECT_EQ(CleanText("\x81"), "\x81");
}

// --- Folder and file-name parts ----------------------------------------------

TEST(PathParts, SplitAtTheLastSeparatorOrDriveColon) {
  EXPECT_EQ(ExtractFolderPart("C:\\jww\\plan.jww"), "C:\\jww\\");
  EXPECT_EQ(ExtractFileNamePart("C:\\jww\\plan.jww"), "plan.jww");
  EXPECT_EQ(ExtractFolderPart("C:plan.jww"), "C:");
  EXPECT_EQ(ExtractFileNamePart("C:plan.jww"), "plan.jww");
  EXPECT_EQ(ExtractFolderPart("/home/u/a.jww"), "/home/u/");
  EXPECT_EQ(ExtractFolderPart("C:\\jww/sub\\x"), "C:\\jww/sub\\");
  EXPECT_EQ(ExtractFolderPart("\\\\server\\share\\a.jww"), "\\\\server\\share\\");
  EXPECT_EQ(ExtractFolderPart("C:\\pics\\"), "C:\\pics\\");
  EXPECT_EQ(ExtractFileNamePart("C:\\pics\\"), "");
}

TEST(PathParts, NoSeparatorMeansNoFolder) {
  EXPECT_EQ(ExtractFolderPart("plan.jww"), "");
  EXPECT_EQ(ExtractFileNamePart("plan.jww"), "plan.jww");
  EXPECT_EQ(ExtractFolderPart(""), "");
  EXPECT_EQ(ExtractFileNamePart(""), "");
}

TEST(PathParts, TrailBytesEqualToDelimitersAreNoDelimiters) {
  const std::string folder = "C:\\" + kHyo + "\\" + kSo + "\\";
  EXPECT_EQ(ExtractFolderPart(folder + kSo + ".jww"), folder);
  EXPECT_EQ(ExtractFileNamePart(folder + kSo + ".jww"), kSo + ".jww");
  // A name ending in ソ: the final 0x5C belongs to the character.
  EXPECT_EQ(ExtractFolderPart("C:\\dir\\" + kHyo), "C:\\dir\\");
  EXPECT_EQ(ExtractFileNamePart("C:\\dir\\" + kHyo), kHyo);
  EXPECT_EQ(ExtractFolderPart("a" + kColonTrail + "b"), "");
  EXPECT_EQ(ExtractFolderPart(kSo), "");
}

TEST(PathParts, ALeadByteAtTheEndStandsAlone) {
  EXPECT_EQ(ExtractFolderPart("C:\\a\\\x83"), "C:\\a\\");
  EXPECT_EQ(ExtractFileNamePart("C:\\a\\\x83"), "\x83");
}

// --- ReplaceExtension --------------------------------------------------------

TEST(ReplaceExtension, ReplacesFromTheLastDotOfTheName) {
  EXPECT_EQ(ReplaceExtension("C:\\tool\\zumorika.exe", ".dat"), "C:\\tool\\zumorika.dat");
  EXPECT_EQ(ReplaceExtension("a.b.c", ".x"), "a.b.x");
  EXPECT_EQ(ReplaceExtension("plan.jww", ""), "plan");
  EXPECT_EQ(ReplaceExtension("plan.", ".jpg"), "plan.jpg");
}

TEST(ReplaceExtension, AppendsWhenTheNameHasNoExtension) {
  EXPECT_EQ(ReplaceExtension("C:\\v1.2\\plan", ".dat"), "C:\\v1.2\\plan.dat");
  EXPECT_EQ(ReplaceExtension("plan", ".dat"), "plan.dat");
  EXPECT_EQ(ReplaceExtension("", ".dat"), ".dat");
  EXPECT_EQ(ReplaceExtension("C:\\dir.x\\", ".dat"), "C:\\dir.x\\.dat");
}

TEST(ReplaceExtension, TrailBytesEqualToDotOrSeparatorAreNoDelimiters) {
  // The dot inside the pair is no extension.
  EXPECT_EQ(ReplaceExtension("C:\\" + kDotTrail, ".dat"), "C:\\" + kDotTrail + ".dat");
  EXPECT_EQ(ReplaceExtension("C:\\a.b" + kDotTrail, ".dat"), "C:\\a.dat");
  // The folder's ソ does not end the folder, so the dot before it is no
  // longer the name's: "x.y" + ソ + "z" is one name.
  EXPECT_EQ(ReplaceExtension("C:\\x.y" + kSo + "z", ".dat"), "C:\\x.dat");
  EXPECT_EQ(ReplaceExtension("C:\\d.e\\" + kSo, ".dat"), "C:\\d.e\\" + kSo + ".dat");
}

// --- IncludeTrailingSeparator ------------------------------------------------

TEST(IncludeTrailingSeparator, AddsABackslashOnlyWhenMissing) {
  EXPECT_EQ(IncludeTrailingSeparator("C:\\pics"), "C:\\pics\\");
  EXPECT_EQ(IncludeTrailingSeparator("C:\\pics\\"), "C:\\pics\\");
  EXPECT_EQ(IncludeTrailingSeparator("/tmp/"), "/tmp/");
  EXPECT_EQ(IncludeTrailingSeparator("C:"), "C:");
  EXPECT_EQ(IncludeTrailingSeparator(""), "");
}

TEST(IncludeTrailingSeparator, AFolderEndingInSoStillGetsItsSeparator) {
  EXPECT_EQ(IncludeTrailingSeparator("C:\\" + kSo), "C:\\" + kSo + "\\");
  EXPECT_EQ(IncludeTrailingSeparator("C:\\" + kHyo + "\\"), "C:\\" + kHyo + "\\");
  EXPECT_EQ(IncludeTrailingSeparator("C:\\" + kColonTrail), "C:\\" + kColonTrail + "\\");
}

}  // namespace
}  // namespace zumorika
