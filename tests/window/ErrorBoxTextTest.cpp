#include "window/ErrorBoxText.h"

#include <gtest/gtest.h>

namespace zumorika {
namespace {

TEST(ErrorBoxText, AddsAPeriodAfterTextThatSortsAfterIt) {
  EXPECT_EQ(ErrorBoxText("JPEG error #42"), "JPEG error #42.");
  EXPECT_EQ(ErrorBoxText("a/b"), "a/b.");
}

TEST(ErrorBoxText, KeepsTextEndingInAPeriodOrBelowIt) {
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("Really!"), "Really!");
  EXPECT_EQ(ErrorBoxText("x-"), "x-");
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorBoxText, DoubleByteLastCharacterGetsAPeriod) {
  // "画像" ends in the pair 0x91 0x9C; "表" ends in the trail byte 0x5C.
  EXPECT_EQ(ErrorBoxText("\x89\xE6\x91\x9C"), "\x89\xE6\x91\x9C.");
  EXPECT_EQ(ErrorBoxText("\x95\x5C"), "\x95\x5C.");
}

TEST(ErrorBoxText, FullWidthPeriodIsStillADoubleByteCharacter) {
  // "。" is 0x81 0x42: its trail byte is "B", not the period it looks like.
  EXPECT_EQ(ErrorBoxText("\x81\x42"), "\x81\x42.");
}

}  // namespace
}  // namespace zumorika
