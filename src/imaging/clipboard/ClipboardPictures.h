// The clipboard's pictures that arrive as bytes (a DIB whose alpha the
// system's bitmap has lost, a PNG, a copied picture file) made into working
// images, the same on every platform; each platform opens the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/clipboard/ClipboardFormats.h"
#include "imaging/decoding/PictureDecoding.h"
#include "imaging/WorkingImage.h"

namespace zumorika {

// What the opened clipboard gives, as the platform fetches it.
class ClipboardBytes {
 public:
  virtual ~ClipboardBytes() = default;
  // Hands the data of a format to `use` while the clipboard holds it (no
  // copy of a picture-sized block); false when it cannot be fetched.
  virtual bool Read(uint32_t format, const std::function<void(const uint8_t*, size_t)>& use) = 0;
  // The copied files' names (Shift-JIS, for messages), in order.
  virtual std::vector<std::string> CopiedFiles() = 0;
  // The whole of copied file `index`; false when it cannot be opened or read.
  virtual bool ReadCopiedFile(size_t index, std::vector<uint8_t>& bytes) = 0;
};

// Hands `make` the DIB that is a bitmap source's picture: of the DIBs the
// program placed itself (PictureSource::ownDibs), the first whose alpha
// means something, else the first one the reader takes. A single own DIB
// is fetched once. `make` gets it while the clipboard holds it, with its
// layout, and returns false for one it cannot take. False when none was
// taken: the system's CF_BITMAP is the picture then. Raises AppError
// "未対応のクリップボード データです" instead when none was taken and an
// own DIB declares parts past the end of its block: the system would make
// CF_BITMAP from it by those lengths, reading past the block.
using OwnDibMaker = std::function<bool(const uint8_t* dib, size_t size, const PackedDib& layout)>;
bool TakeOwnDib(ClipboardBytes& clipboard, const PictureSource& source, const OwnDibMaker& make);

// A PNG or copied-file source as a working image. Raises AppError with the
// user's message when it cannot be read, and "画像が大きすぎます" when it
// is larger than a working image holds.
WorkingImage PictureFromBytes(ClipboardBytes& clipboard, const PictureSource& source);

}  // namespace zumorika
