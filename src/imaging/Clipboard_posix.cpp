#include "imaging/Clipboard.h"
#include "imaging/ClipboardFormats.h"
#include "imaging/ClipboardStandIn.h"
#include "imaging/ImagingTexts.h"
#include "imaging/RasterPicture_posix.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

struct StandIn {
  std::vector<StandInOffer> offers;
  bool openable = true;
  int openCount = 0;
};

StandIn& Clipboard() {
  static StandIn clipboard;
  return clipboard;
}

// Opened for one operation, closed on every way out.
class OpenedClipboard {
 public:
  OpenedClipboard() {
    if (!Clipboard().openable) throw AppError(kTextCannotOpenClipboard);
    ++Clipboard().openCount;
  }
  ~OpenedClipboard() { --Clipboard().openCount; }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;

  uint32_t NextFormat(uint32_t after) const {
    const auto& offers = Clipboard().offers;
    size_t i = 0;
    if (after != 0) {
      while (i < offers.size() && offers[i].format != after) ++i;
      ++i;
    }
    return i < offers.size() ? offers[i].format : 0;
  }

  const StandInOffer* Find(uint32_t format) const {
    for (const StandInOffer& offer : Clipboard().offers) {
      if (offer.format == format) return &offer;
    }
    return nullptr;
  }
};

}  // namespace

void SetStandInClipboard(std::vector<StandInOffer> offers, bool openable) {
  Clipboard().offers = std::move(offers);
  Clipboard().openable = openable;
}

int StandInClipboardOpenCount() { return Clipboard().openCount; }

bool ClipboardHasPicture() {
  OpenedClipboard clipboard;
  return FirstPictureFormat([&](uint32_t f) { return clipboard.NextFormat(f); }) != 0;
}

void LoadClipboardPicture(TPicture& picture) {
  OpenedClipboard clipboard;
  const uint32_t format = FirstPictureFormat([&](uint32_t f) { return clipboard.NextFormat(f); });
  if (format == 0) throw AppError(kTextInvalidClipboardFormat);
  const StandInOffer* offer = clipboard.Find(FetchFormatFor(format));
  // Metafiles are a Windows feature: here they cannot be fetched.
  if (format != kCfBitmap || offer == nullptr || !offer->bitmap) {
    throw AppError(kTextUnsupportedClipboardData);
  }
  // One pass over the fresh memory: the rows are copied, not painted white
  // first.
  WorkingImage copy(offer->bitmap->Width(), offer->bitmap->Height(), offer->bitmap->Row(0));
  picture.Assign(std::make_unique<RasterPicture>(std::move(copy)));
}

}  // namespace zumorika
