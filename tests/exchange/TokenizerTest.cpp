#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/JwcTokenizer.h"

namespace zumorika {
namespace {

std::vector<std::string> Tokens(std::string_view line) {
  JwcTokens tokens;
  TokenizeJwcLine(line, tokens);
  std::vector<std::string> result;
  for (int i = 0; i < tokens.Count(); ++i) result.emplace_back(tokens[i]);
  return result;
}

using V = std::vector<std::string>;

// Separators
TEST(Tokenizer, BlanksAndTabsSeparateAndRunsOpenNoEmptySlots) {
  EXPECT_EQ(Tokens("pt 1 2"), (V{"pt", "1", "2"}));
  EXPECT_EQ(Tokens("  pt \t 1\t\t2"), (V{"pt", "1", "2"}));
}

TEST(Tokenizer, TrailingBlankCountsAnEmptyToken) {
  EXPECT_EQ(Tokens("pt 1 2 "), (V{"pt", "1", "2", ""}));
}

TEST(Tokenizer, LineOfBlanksHoldsNoToken) {
  EXPECT_TRUE(Tokens("").empty());
  EXPECT_TRUE(Tokens("   \t ").empty());
  EXPECT_TRUE(Tokens("\x01\x02").empty());
}

// Quotes and equals signs
TEST(Tokenizer, QuoteMakesTheRestOfTheLineOneTokenAndIsNotKept) {
  EXPECT_EQ(Tokens("ch 10 20 1 0 \"two words"), (V{"ch", "10", "20", "1", "0", "two words"}));
  EXPECT_EQ(Tokens("ch 1 \"a \"b\" = c"), (V{"ch", "1", "a \"b\" = c"}));
}

TEST(Tokenizer, QuoteInsideATokenJoinsItWithTheRest) {
  // The font record as the tool writes it reads back as one "cn$" token.
  EXPECT_EQ(Tokens("cn\"$MS Gothic UI"), (V{"cn$MS Gothic UI"}));
}

TEST(Tokenizer, EqualsIsKeptAndMakesTheRestOneToken) {
  EXPECT_EQ(Tokens("file=C:\\dwg\\a b.jww"), (V{"file=C:\\dwg\\a b.jww"}));
  EXPECT_EQ(Tokens("x y=1 \"2\""), (V{"x", "y=1 \"2\""}));
}

TEST(Tokenizer, ControlBytesDroppedEvenAfterQuote) {
  EXPECT_EQ(Tokens("a\x01" "b \"c\td\re"), (V{"ab", "cde"}));
  EXPECT_EQ(Tokens("a\xFE\xFF" "b"), (V{"ab"}));
}

// Shift-JIS
TEST(Tokenizer, PairsKeepTrailBytesThatLookLikeSeparators) {
  // 0x81 0x40 is the ideographic space; 0x83 0x22, 0x83 0x3D and 0x88 0x20
  // carry a quote, an equals sign and a blank as trail bytes.
  EXPECT_EQ(Tokens("a\x81\x40" "b c"), (V{"a\x81\x40" "b", "c"}));
  EXPECT_EQ(Tokens("x\x83\x22y z"), (V{"x\x83\x22y", "z"}));
  EXPECT_EQ(Tokens("x\x83\x3Dy z"), (V{"x\x83\x3Dy", "z"}));
  EXPECT_EQ(Tokens("x\x88\x20y z"), (V{"x\x88\x20y", "z"}));
  EXPECT_EQ(Tokens("\xE0\x09 q"), (V{"\xE0\x09", "q"}));
}

TEST(Tokenizer, LeadByteAtTheEndIsDroppedAlone) {
  EXPECT_EQ(Tokens("ab \x82\xA0\x82"), (V{"ab", "\x82\xA0"}));
  EXPECT_EQ(Tokens("\x9F"), V{});
}

TEST(Tokenizer, SingleByteKatakanaIsOrdinary) {
  EXPECT_EQ(Tokens("\xB1\xB2 \xDF"), (V{"\xB1\xB2", "\xDF"}));
}

// Slot limit
TEST(Tokenizer, TokensPastTheThirtySecondAreDropped) {
  std::string line = "k";
  for (int i = 1; i < 40; ++i) line += " " + std::to_string(i);
  JwcTokens tokens;
  TokenizeJwcLine(line, tokens);
  ASSERT_EQ(tokens.Count(), 32);
  EXPECT_EQ(tokens[0], "k");
  EXPECT_EQ(tokens[31], "31");
  EXPECT_EQ(tokens[32], "");  // reading past the count gives an empty token
}

TEST(Tokenizer, ReuseClearsTheTokensOfTheLineBefore) {
  JwcTokens tokens;
  TokenizeJwcLine("a b c d e", tokens);
  TokenizeJwcLine("x", tokens);
  ASSERT_EQ(tokens.Count(), 1);
  EXPECT_EQ(tokens[0], "x");
  EXPECT_EQ(tokens[1], "");
  TokenizeJwcLine("y  z", tokens);
  EXPECT_EQ(tokens[1], "z");
}

}  // namespace
}  // namespace zumorika
