// Where GDI finds a DIB's colour table and bits, and how many bytes of bits
// it reads, for each header kind and for fields that disagree with the data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/decoding/DibLayout.h"
#include "imaging/decoding/PictureDecoding.h"

namespace zumorika {
namespace {

class Bytes {
 public:
  Bytes& U16(uint32_t v) { return Raw(v, 2); }
  Bytes& U32(uint32_t v) { return Raw(v, 4); }
  Bytes& Fill(size_t count, uint8_t value = 0) {
    data.insert(data.end(), count, value);
    return *this;
  }
  Bytes& Set32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return *this;
  }
  std::vector<uint8_t> data;

 private:
  Bytes& Raw(uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) data.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
};

// A BITMAPINFOHEADER, or the first 40 bytes of a longer header of
// `headerSize` bytes (the rest zero, to be set by the caller).
Bytes InfoHeader(uint32_t headerSize, int32_t width, int32_t height, uint32_t bits,
                 uint32_t compression, uint32_t sizeImage, uint32_t colourUsed) {
  Bytes b;
  b.U32(headerSize).U32(static_cast<uint32_t>(width)).U32(static_cast<uint32_t>(height));
  b.U16(1).U16(bits).U32(compression).U32(sizeImage).U32(0).U32(0).U32(colourUsed).U32(0);
  return b.Fill(headerSize - 40);
}

constexpr uint32_t kLinked = 0x4C494E4B;  // bV5CSType PROFILE_LINKED

// A 4 x 1 32-bit V5 DIB with bit fields: white, red, green and blue.
Bytes V5Bitfields() {
  Bytes b = InfoHeader(124, 4, 1, 32, kDibBitfields, 16, 0);
  b.Set32(40, 0xFF0000).Set32(44, 0xFF00).Set32(48, 0xFF);
  return b.U32(0xFFFFFF).U32(0xFF0000).U32(0xFF00).U32(0xFF);
}

struct LayoutCase {
  const char* name;
  std::vector<uint8_t> dib;
  size_t bitsAt;       // offset of the bits from the header's start
  size_t pixelBytes;   // bytes of bits GDI reads
  int32_t height;
  uint32_t colourEntries;
};

std::vector<LayoutCase> LayoutCases() {
  std::vector<LayoutCase> cases;
  {
    // bcHeight is a WORD: 40000 rows, bottom-up like every core DIB.
    Bytes b;
    b.U32(12).U16(2).U16(40000).U16(1).U16(1).Fill(6).Fill(4 * 40000);
    cases.push_back({"core header taller than 32767", b.data, 18, 4 * 40000, 40000, 2});
  }
  cases.push_back({"biClrUsed above 256: the table stops at 256 entries",
                   InfoHeader(40, 2, 1, 8, kDibRgb, 0, 300).Fill(4 * 300).Fill(4).data,
                   40 + 4 * 256, 4, 1, 256});
  cases.push_back({"24 bits with an optional table of 1000 entries",
                   InfoHeader(40, 1, 1, 24, kDibRgb, 0, 1000).Fill(4 * 300).data, 40 + 4 * 256, 4,
                   1, 0});
  cases.push_back({"1 bit declaring 4 colours", InfoHeader(40, 1, 1, 1, kDibRgb, 0, 4).Fill(20).data,
                   56, 4, 1, 4});
  cases.push_back({"bit fields after a 44-byte header: masks at 40, bits after them",
                   InfoHeader(44, 1, 1, 32, kDibBitfields, 0, 0).Fill(8).Fill(4).data, 52, 4, 1,
                   0});
  {
    // The profile data (a linked profile's file name) follows the bits.
    Bytes b = V5Bitfields();
    b.Set32(56, kLinked).Set32(112, 140).Set32(116, 12);
    b.data.insert(b.data.end(), {'s', 'R', 'G', 'B', '.', 'i', 'c', 'm', 0, 0, 0, 0});
    cases.push_back({"V5 bit fields with a profile after the bits", b.data, 124, 16, 1, 0});
  }
  {
    Bytes b = V5Bitfields();
    b.data.insert(b.data.begin() + 124, b.data.begin() + 40, b.data.begin() + 52);
    cases.push_back({"masks repeated after a V5 header", b.data, 136, 16, 1, 0});
  }
  cases.push_back({"twelve bytes after the bits that are not the masks",
                   V5Bitfields().Fill(12, 0x55).data, 124, 16, 1, 0});
  // Runs: biSizeImage within the block, past it, or 0.
  const auto runs = [](uint32_t sizeImage) {
    return InfoHeader(40, 64, 30000, 8, kDibRle8, sizeImage, 1).U32(0).Fill(10, 0).data;
  };
  cases.push_back({"runs of biSizeImage bytes", runs(2), 44, 2, 30000, 1});
  cases.push_back({"runs whose biSizeImage is past the block", runs(0x7FFFFFF0), 44, 10, 30000, 1});
  cases.push_back({"runs whose biSizeImage is 0", runs(0), 44, 10, 30000, 1});
  {
    Bytes b = InfoHeader(124, 4, 2, 4, kDibRle4, 0, 2).U32(0).U32(0).Fill(6, 1);
    b.Set32(56, kLinked).Set32(112, 124 + 8 + 4).Set32(116, 2);
    cases.push_back({"runs up to the profile that follows them", b.data, 132, 4, 2, 2});
  }
  return cases;
}

TEST(DibLayoutTest, FindsTheBitsWhereGdiDoes) {
  for (const LayoutCase& c : LayoutCases()) {
    DibLayout layout;
    std::string reason;
    ASSERT_TRUE(ReadDibLayout(c.dib.data(), c.dib.size(), 0, layout, reason)) << c.name << ": "
                                                                             << reason;
    EXPECT_EQ(static_cast<size_t>(layout.pixels - c.dib.data()), c.bitsAt) << c.name;
    EXPECT_EQ(layout.pixelBytes, c.pixelBytes) << c.name;
    EXPECT_EQ(layout.height, c.height) << c.name;
    EXPECT_FALSE(layout.topDown) << c.name;
    EXPECT_EQ(layout.colourEntries, c.colourEntries) << c.name;
  }
}

// The profile's name is no part of the picture.
TEST(DibLayoutTest, AV5DibWithAProfileAfterItsBitsShowsItsOwnPixels) {
  Bytes b = V5Bitfields();
  b.Set32(56, kLinked).Set32(112, 140).Set32(116, 12).Fill(12, 'x');
  WorkingImage image;
  std::string reason;
  ASSERT_TRUE(DecodePackedDib(b.data.data(), b.data.size(), image, reason)) << reason;
  EXPECT_EQ(image.Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(image.Pixel(1, 0), 0xFF0000u);
  EXPECT_EQ(image.Pixel(2, 0), 0x00FF00u);
  EXPECT_EQ(image.Pixel(3, 0), 0x0000FFu);
}

}  // namespace
}  // namespace zumorika
