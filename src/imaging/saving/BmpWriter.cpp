#include "imaging/saving/BmpWriter.h"

#include <algorithm>
#include <new>
#include <vector>

#include "imaging/ImagingTexts.h"
#include "util/AppError.h"
#include "util/Files.h"

namespace zumorika {

namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;

int ColourEntriesFor(int bitsPerPixel) {
  return bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
}

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}


// The file header, the information header and the colour table, in one
// piece.
std::vector<uint8_t> BmpHeader(const BmpLayout& layout, int32_t width, int32_t height,
                               int bitsPerPixel, const std::vector<RgbQuad>& colourTable) {
  std::vector<uint8_t> header(static_cast<size_t>(layout.dataOffset), 0);
  uint8_t* h = header.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<uint32_t>(layout.fileSize));
  Put32(h + 10, static_cast<uint32_t>(layout.dataOffset));
  uint8_t* info = h + kFileHeaderSize;
  Put32(info + 0, kInfoHeaderSize);
  Put32(info + 4, static_cast<uint32_t>(width));
  Put32(info + 8, static_cast<uint32_t>(height));  // positive: bottom row first
  Put16(info + 12, 1);
  Put16(info + 14, static_cast<uint32_t>(bitsPerPixel));
  Put32(info + 20, static_cast<uint32_t>(layout.imageSize));
  Put32(info + 32, static_cast<uint32_t>(layout.colourEntries));
  // A table shorter than the depth needs is padded with black; readers
  // index it with every value the pixels can hold.
  uint8_t* table = info + kInfoHeaderSize;
  for (size_t i = 0; i < colourTable.size() && i < static_cast<size_t>(layout.colourEntries); ++i) {
    table[4 * i + 0] = colourTable[i].blue;
    table[4 * i + 1] = colourTable[i].green;
    table[4 * i + 2] = colourTable[i].red;
  }
  return header;
}

bool WriteFully(ByteSink& sink, const void* data, size_t size) {
  return size == 0 || sink.Write(data, size) == size;
}

void WriteAll(ByteSink& sink, const void* data, size_t size) {
  if (!WriteFully(sink, data, size)) throw AppError(kTextStreamWriteError);
}

class FileSink : public ByteSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  size_t Write(const void* data, size_t size) override {
    return std::fwrite(data, 1, size, file_);
  }

 private:
  std::FILE* file_;
};

}  // namespace

BmpLayout ComputeBmpLayout(int64_t width, int64_t height, int bitsPerPixel) {
  // Width and height are stored as signed 32-bit values, the sizes as
  // unsigned 32-bit ones; anything beyond would wrap into a file that no
  // reader can open.
  if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) {
    throw AppError(kTextImageTooLarge);
  }
  BmpLayout layout;
  layout.colourEntries = ColourEntriesFor(bitsPerPixel);
  layout.rowStride = BmpRowStride(width, bitsPerPixel);
  layout.dataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * int64_t{layout.colourEntries};
  if (height != 0 && layout.rowStride > (int64_t{UINT32_MAX} - layout.dataOffset) / height) {
    throw AppError(kTextImageTooLarge);
  }
  layout.imageSize = layout.rowStride * height;
  layout.fileSize = layout.dataOffset + layout.imageSize;
  return layout;
}

void WriteBmp(ByteSink& sink, const ConvertedImage& image) {
  if (image.width == 0 || image.height == 0) return;
  const BmpLayout layout = ComputeBmpLayout(image.width, image.height, image.bitsPerPixel);
  if (static_cast<int64_t>(image.rows.size()) < layout.imageSize) {
    throw AppError(kTextStreamWriteError);  // never happens for a converted image
  }
  const std::vector<uint8_t> header =
      BmpHeader(layout, image.width, image.height, image.bitsPerPixel, image.colourTable);
  WriteAll(sink, header.data(), header.size());
  WriteAll(sink, image.rows.data(), static_cast<size_t>(layout.imageSize));
}

bool WriteBmpBands(ByteSink& sink, WorkingBands& bands, int bitsPerPixel) {
  if (bands.Width() == 0 || bands.Height() == 0) return true;
  BmpRowConverter converter(bands.Width(), bitsPerPixel);
  const BmpLayout layout = ComputeBmpLayout(bands.Width(), bands.Height(), converter.BitsPerPixel());
  const size_t stride = static_cast<size_t>(layout.rowStride);
  std::vector<uint8_t> rows;
  try {
    rows.resize(stride * static_cast<size_t>(std::min(bands.Height(), kBandRows)));
  } catch (const std::bad_alloc&) {
    throw AppError(kTextImageTooLarge);
  }
  const std::vector<uint8_t> header = BmpHeader(layout, bands.Width(), bands.Height(),
                                                converter.BitsPerPixel(), converter.ColourTable());
  if (!WriteFully(sink, header.data(), header.size())) return false;
  // The file holds the bottom row first: the bands go from the bottom up,
  // each one's rows turned over.
  for (int32_t band = bands.BandCount() - 1; band >= 0; --band) {
    const uint32_t* pixels = bands.Band(band);
    const int32_t count = bands.BandHeight(band);
    for (int32_t i = 0; i < count; ++i) {
      converter.Convert(pixels + static_cast<size_t>(i) * bands.Width(),
                        rows.data() + static_cast<size_t>(count - 1 - i) * stride);
    }
    if (!WriteFully(sink, rows.data(), stride * static_cast<size_t>(count))) return false;
  }
  return true;
}

void WriteBmpFile(const std::string& path, const ConvertedImage& image) {
  UniqueFile file = OpenFile(path, "wb");
  if (!file) throw AppError(kTextStreamWriteError);
  WriteBmpFile(std::move(file), image);
}

void WriteBmpFile(UniqueFile file, const ConvertedImage& image) {
  if (!file) throw AppError(kTextStreamWriteError);
  FileSink sink(file.get());
  WriteBmp(sink, image);
  if (!CloseFileChecked(std::move(file))) throw AppError(kTextStreamWriteError);
}

}  // namespace zumorika
