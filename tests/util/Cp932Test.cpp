#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "util/Cp932.h"

namespace zumorika {
namespace {

const std::string kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD

void ExpectPair(const std::string& sjis, const std::string& utf8) {
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8) << "Shift-JIS bytes of " << utf8;
  EXPECT_EQ(Utf8ToCp932(utf8), sjis) << utf8;
}

// --- Mapping -----------------------------------------------------------------

TEST(Cp932, AsciiStaysAsciiBackslashAndTildeIncluded) {
  // Windows' code page 932 keeps 0x5C and 0x7E as "\" and "~" (plain
  // Shift-JIS would read a yen sign and an overline).
  std::string ascii;
  for (int b = 0; b < 0x80; ++b) ascii += static_cast<char>(b);
  ExpectPair(ascii, ascii);
}

TEST(Cp932, MapsDoubleByteCharactersBothWays) {
  ExpectPair("\x95\x5C", "\xE8\xA1\xA8");                  // 表
  ExpectPair("\x83\x5C", "\xE3\x82\xBD");                  // ソ
  ExpectPair("\x81\x40", "\xE3\x80\x80");                  // ideographic space
  ExpectPair("\x96\xB3\x91\xE8", "\xE7\x84\xA1\xE9\xA1\x8C");  // 無題
  ExpectPair("\x8D\xB6\x89\xBA", "\xE5\xB7\xA6\xE4\xB8\x8B");  // 左下
  ExpectPair("\x87\x40", "\xE2\x91\xA0");                  // ① (NEC row 13)
  // The Windows-specific choices of code page 932.
  ExpectPair("\x81\x5F", "\xEF\xBC\xBC");  // U+FF3C fullwidth reverse solidus
  ExpectPair("\x81\x60", "\xEF\xBD\x9E");  // U+FF5E fullwidth tilde
  ExpectPair("\x81\x7C", "\xEF\xBC\x8D");  // U+FF0D fullwidth hyphen-minus
}

TEST(Cp932, MapsHalfWidthKatakanaAndTheOddSingleBytes) {
  ExpectPair("\xA1", "\xEF\xBD\xA1");  // ｡
  ExpectPair("\xB1", "\xEF\xBD\xB1");  // ｱ
  ExpectPair("\xDF", "\xEF\xBE\x9F");  // ﾟ
  // Windows gives these bytes code points, so they survive a round trip.
  ExpectPair("\x80", "\xC2\x80");
  ExpectPair("\xA0", "\xEF\xA3\xB0");  // U+F8F0
  ExpectPair("\xFD\xFE\xFF", "\xEF\xA3\xB1\xEF\xA3\xB2\xEF\xA3\xB3");
}

// --- Bytes that form no character --------------------------------------------

TEST(Cp932, ABadByteBecomesOneReplacementAndSpoilsNothingElse) {
  // A lead byte at the end.
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a" + kReplacementUtf8);
  // A lead byte before a byte that can be no trail: the next byte is read afresh.
  EXPECT_EQ(Cp932ToUtf8("\x81 b"), kReplacementUtf8 + " b");
  EXPECT_EQ(Cp932ToUtf8("\x81\r\n"), kReplacementUtf8 + "\r\n");
  EXPECT_EQ(Cp932ToUtf8("\x81\xFD"), kReplacementUtf8 + "\xEF\xA3\xB1");
  // A well-formed pair the table leaves empty is one bad character.
  EXPECT_EQ(Cp932ToUtf8("\x85\x40" "\x95\x5C"), kReplacementUtf8 + "\xE8\xA1\xA8");
  EXPECT_EQ(Cp932ToUtf8("\x81\x7F"), kReplacementUtf8 + "\x7F");
}

TEST(Cp932, UnmappableOrBrokenUtf8BecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToCp932("caf\xC3\xA9"), "caf?");           // é has no Shift-JIS form
  EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80" "x"), "?x");      // U+1F600
  EXPECT_EQ(Utf8ToCp932("\xC0\x80"), "??");                  // overlong NUL
  EXPECT_EQ(Utf8ToCp932("\xED\xA0\x80"), "???");             // an encoded surrogate
  EXPECT_EQ(Utf8ToCp932("\xE3\x81"), "??");                  // cut short
  EXPECT_EQ(Utf8ToCp932("\x80" "a"), "?a");                  // a stray continuation byte
  EXPECT_EQ(Utf8ToCp932("\xEF\xBF\xBD"), "?");               // U+FFFD itself
  // Best-fit look-alikes are refused: À is no "A", ∞ (U+221E) is mapped.
  EXPECT_EQ(Utf8ToCp932("\xC3\x80"), "?");
  EXPECT_EQ(Utf8ToCp932("\xE2\x88\x9E"), "\x81\x87");
  // glibc maps these one way only (to 0x5C, 0x7E, 0x815C, 0x817C, 0x8160).
  EXPECT_EQ(Utf8ToCp932("\xC2\xA5" "\xE2\x80\xBE" "\xE2\x80\x94" "\xE2\x88\x92" "\xE3\x80\x9C"),
            "?????");
}

// --- Whole table -------------------------------------------------------------

// Every pair that decodes encodes back to bytes that decode the same way
// (duplicates such as the NEC-selected IBM extensions encode to one canonical
// form); the count and a digest pin the table, so a platform converter that
// disagrees with the other build shows here.
TEST(Cp932, EveryMappedPairRoundTripsAndTheTableIsTheSameInBothBuilds) {
  int mapped = 0;
  int exact = 0;
  uint64_t digest = 1469598103934665603ULL;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
      std::string utf8 = Cp932ToUtf8(sjis);
      for (unsigned char c : utf8) digest = (digest ^ c) * 1099511628211ULL;
      if (utf8 == kReplacementUtf8) continue;
      ++mapped;
      std::string back = Utf8ToCp932(utf8);
      ASSERT_EQ(back.size(), 2u) << std::hex << lead << " " << trail;
      EXPECT_EQ(Cp932ToUtf8(back), utf8) << std::hex << lead << " " << trail;
      if (back == sjis) ++exact;
    }
  }
  EXPECT_EQ(mapped, 9604);  // with the user-defined area F040..F9FC
  EXPECT_EQ(exact, 9206);
  EXPECT_EQ(digest, 16823521314385780377ULL);
}

// Every code point of the basic plane, encoded: one-way mappings of a
// platform converter (look-alikes) must not leak into the result.
TEST(Cp932, EncodingIsTheSameInBothBuilds) {
  int encoded = 0;
  uint64_t digest = 1469598103934665603ULL;
  std::string utf8;
  for (uint32_t cp = 0x80; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    utf8.clear();
    if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
    } else {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    std::string sjis = Utf8ToCp932(utf8);
    if (sjis == "?") continue;
    ++encoded;
    EXPECT_EQ(Cp932ToUtf8(sjis), utf8) << std::hex << cp;
    for (unsigned char c : sjis) digest = (digest ^ c) * 1099511628211ULL;
  }
  EXPECT_EQ(encoded, 9274);  // the distinct characters of the decoding table
  EXPECT_EQ(digest, 9331081247715996138ULL);
}

}  // namespace
}  // namespace zumorika
