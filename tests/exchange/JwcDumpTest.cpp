#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "ExchangeTestSupport.h"
#include "JsonWriter.h"
#include "JwcJson.h"
#include "exchange/JwwGaibu.h"

namespace zumorika {
namespace {

// The piece of `json` from `key` up to the matching close of its value.
std::string Field(const std::string& json, const std::string& key) {
  const std::string quoted = "\"" + key + "\":";
  const std::size_t start = json.find(quoted);
  if (start == std::string::npos) return "<missing " + key + ">";
  std::size_t i = start + quoted.size();
  int depth = 0;
  bool inString = false;
  for (; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if (c == '}' || c == ']') {
      if (depth == 0) break;
      --depth;
    } else if (c == ',' && depth == 0) {
      break;
    }
  }
  return json.substr(start, i - start);
}

// Numbers
TEST(JsonNumbers, DoublesReadBackExactly) {
  for (double v : {0.1, 1.0 / 3, 2.5, 1189.0, -20.25, 1e-300, 5e-324, 1e21, 123456789012345678.0,
                   std::numeric_limits<double>::max(), 0.30000000000000004}) {
    const std::string text = ShortestDouble(v);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
  }
  EXPECT_EQ(ShortestDouble(0.1), "0.1");
  EXPECT_EQ(ShortestDouble(1189.0), "1189");
  EXPECT_EQ(ShortestDouble(0.30000000000000004), "0.30000000000000004");
}

// Strings
TEST(JsonStrings, EscapesAndDecodesShiftJis) {
  JsonWriter w;
  w.BeginArray();
  w.String("a\"b\\c\x01\n");
  w.SjisString("\x82\xA0");  // あ
  w.EndArray();
  EXPECT_EQ(w.Text(), "[\"a\\\"b\\\\c\\u0001\\u000a\",\"\xE3\x81\x82\"]");
}

// The state
class JwcDumpJson : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ScratchFolder folder;
    const std::string path = folder.File("JWC_TEMP.TXT");
    // Written the way the host writes it: header, padded indicated points,
    // the quoted font record, attribute records, then elements.
    testing::WriteBytes(path,
                        "file=C:\\jww\\\x90\x7D\x96\xCA.jww\r\n"
                        "hzs 420 297\r\n"
                        "hcc 1 2 3 4 5 6 7 8 9 10\r\n"
                        "hp1-         100.5        -20.25\r\n"
                        "hp2ln        0.1          3\r\n"
                        "lg2 5\r\nlgn\x95\xBD\x96\xCA\r\nly3\r\nlc2\r\nlt1\r\nlw0\r\n"
                        "cn1\r\ncn\"$<\x82\x6C\x82\x72 \x83\x53>\r\n"
                        "hhp4\r\nz2\r\nci 0 0 5\r\n"
                        "pl\r\n0 0 1 1\r\n"
                        "ch 1 2 1 0 \"a \"quote\"\r\n"
                        "lc10 255\r\nsl 0 0 5 0 5 5\r\n"
                        "msg\r\n");
    ResetJwcState();
    ASSERT_TRUE(LoadJwcTemp(path));
    json_ = JwcStateToJson(JwcState);
  }
  std::string json_;
};

TEST_F(JwcDumpJson, HeaderFields) {
  EXPECT_EQ(json_.substr(0, 35), "{\"DrawingFileName\":\"C:\\\\jww\\\\\xE5\x9B\xB3\xE9\x9D\xA2");
  EXPECT_EQ(Field(json_, "PaperWidth"), "\"PaperWidth\":420");
  EXPECT_EQ(Field(json_, "GroupScale"), "\"GroupScale\":[1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1]");
  EXPECT_EQ(Field(json_, "TextTypes").substr(0, 61),
            "\"TextTypes\":[{\"Width\":3,\"Height\":3,\"Gap\":0,\"Color\":1},{\"Width");
  EXPECT_EQ(Field(json_, "HnValues"), "\"HnValues\":[0,0,0,0]");
  EXPECT_EQ(Field(json_, "LayerGroupValues"), "\"LayerGroupValues\":[0,0,5,0,0,0,0,0,0,0,0,0,0,0,0,0]");
  EXPECT_EQ(Field(json_, "LayerGroupNames"),
            "\"LayerGroupNames\":[\"\",\"\",\"\xE5\xB9\xB3\xE9\x9D\xA2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
            "\"\",\"\",\"\",\"\",\"\",\"\"]");
}

TEST_F(JwcDumpJson, AttributesFlagsAndPoints) {
  EXPECT_EQ(Field(json_, "CurFontName"), "\"CurFontName\":\"<\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4>\"");
  EXPECT_EQ(Field(json_, "CurLayer"), "\"CurLayer\":3");
  EXPECT_EQ(Field(json_, "LastSolidColor"), "\"LastSolidColor\":255");
  EXPECT_EQ(Field(json_, "FreshLg"), "\"FreshLg\":false");
  EXPECT_EQ(Field(json_, "LwSeen"), "\"LwSeen\":true");
  EXPECT_EQ(Field(json_, "HpPoints"),
            "\"HpPoints\":[{\"Index\":1,\"X\":100.5,\"Y\":-20.25,\"Kind\":1},"
            "{\"Index\":2,\"X\":0.1,\"Y\":3,\"Kind\":2}]");
  EXPECT_EQ(Field(json_, "MsgPending"), "\"MsgPending\":true");
  EXPECT_EQ(Field(json_, "PolylineCount"), "\"PolylineCount\":1");
  EXPECT_EQ(Field(json_, "HeldLine"),
            "\"HeldLine\":{\"Hhp\":0,\"LayerGroup\":0,\"Layer\":0,\"LineColor\":1,\"LineType\":1,"
            "\"LineWidth\":0,\"ZFlags\":0,\"PolylineNo\":0,\"X1\":0,\"Y1\":0,\"X2\":1,\"Y2\":0}");
}

TEST_F(JwcDumpJson, ElementsInReadingOrder) {
  const std::string head = "\"LayerGroup\":2,\"Layer\":3,";
  EXPECT_EQ(Field(json_, "Elements"),
            "\"Elements\":["
            "{\"Kind\":2,\"Index\":0,\"Hhp\":4," + head +
                "\"LineColor\":2,\"LineType\":1,\"LineWidth\":0,\"ZFlags\":2,\"Values\":[0,0,5]},"
            "{\"Kind\":1,\"Index\":0,\"Hhp\":0," + head +
                "\"LineColor\":2,\"LineType\":1,\"LineWidth\":0,\"ZFlags\":0,"
                "\"PolylineNo\":1,\"X1\":0,\"Y1\":0,\"X2\":1,\"Y2\":1},"
            "{\"Kind\":4,\"Index\":0,\"Hhp\":0," + head +
                "\"LineColor\":1,\"LineType\":1,\"LineWidth\":0,\"ZFlags\":0,"
                "\"SubKind\":0,\"Cc\":0,\"TextType\":1,\"Width\":3,\"Height\":3,\"Gap\":0,"
                "\"X\":1,\"Y\":2,\"DX\":1,\"DY\":0,"
                "\"FontName\":\"<\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4>\",\"Text\":\"a \\\"quote\\\"\"},"
            "{\"Kind\":10,\"Index\":0,\"Hhp\":0," + head +
                "\"LineColor\":10,\"LineType\":1,\"LineWidth\":0,\"ZFlags\":0,"
                "\"SolidColor\":255,\"Points\":[[0,0],[5,0],[5,5]]}"
            "]");
}

}  // namespace
}  // namespace zumorika
