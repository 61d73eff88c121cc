#include "imaging/clipboard/Clipboard.h"
#include "imaging/clipboard/ClipboardPictures.h"
#include "imaging/clipboard/ClipboardFormats.h"
#include "imaging/clipboard/ClipboardStandIn.h"
#include "imaging/ImagingTexts.h"
#include "imaging/picture/MetafilePicture_posix.h"
#include "imaging/picture/RasterPicture_posix.h"
#include "util/AppError.h"
#include "util/Files.h"

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

  PictureSource Choose() const {
    return ChoosePictureSource([&](uint32_t f) { return NextFormat(f); },
                               [&](uint32_t f) {
                                 const StandInOffer* offer = Find(f);
                                 return offer != nullptr && IsPngFormatName(offer->name);
                               });
  }
};

// The stand-in's offers as bytes; copied files are read from the disk.
class StandInBytes : public ClipboardBytes {
 public:
  explicit StandInBytes(const OpenedClipboard& clipboard) : clipboard_(clipboard) {}

  bool Read(uint32_t format, const std::function<void(const uint8_t*, size_t)>& use) override {
    const StandInOffer* offer = clipboard_.Find(format);
    if (offer == nullptr || !offer->bytes) return false;
    use(offer->bytes->data(), offer->bytes->size());
    return true;
  }
  std::vector<std::string> CopiedFiles() override {
    const StandInOffer* offer = clipboard_.Find(kCfHdrop);
    return offer == nullptr ? std::vector<std::string>() : offer->files;
  }
  bool ReadCopiedFile(size_t index, std::vector<uint8_t>& bytes) override {
    const std::vector<std::string> files = CopiedFiles();
    if (index >= files.size()) return false;
    UniqueFile file = OpenFile(files[index], "rb");
    return file && ReadAll(file.get(), bytes);
  }

 private:
  const OpenedClipboard& clipboard_;
};

}  // namespace

StandInOffer StandInOffer::WithBytes(uint32_t format, std::vector<uint8_t> data,
                                     std::string name) {
  StandInOffer offer(format, nullptr);
  offer.bytes = std::make_shared<const std::vector<uint8_t>>(std::move(data));
  offer.name = std::move(name);
  return offer;
}

StandInOffer StandInOffer::Metafile(uint32_t format,
                                    std::shared_ptr<const StandInMetafile> metafile) {
  StandInOffer offer(format, nullptr);
  offer.metafile = std::move(metafile);
  return offer;
}

StandInOffer StandInOffer::CopiedFiles(std::vector<std::string> paths) {
  StandInOffer offer(kCfHdrop, nullptr);
  offer.files = std::move(paths);
  return offer;
}

void SetStandInClipboard(std::vector<StandInOffer> offers, bool openable) {
  Clipboard().offers = std::move(offers);
  Clipboard().openable = openable;
}

int StandInClipboardOpenCount() { return Clipboard().openCount; }

bool ClipboardHasPicture() {
  OpenedClipboard clipboard;
  return clipboard.Choose().kind != PictureSourceKind::None;
}

void LoadClipboardPicture(TPicture& picture) {
  OpenedClipboard clipboard;
  const PictureSource source = clipboard.Choose();
  if (source.kind == PictureSourceKind::None) throw AppError(kTextInvalidClipboardFormat);
  StandInBytes bytes(clipboard);
  if (source.kind == PictureSourceKind::Png || source.kind == PictureSourceKind::CopiedFile) {
    picture.Assign(std::make_unique<RasterPicture>(PictureFromBytes(bytes, source)));
    return;
  }
  // The program's own DIB is the picture; the stand-in's CF_BITMAP only
  // where it placed none that can be read.
  WorkingImage ownDib;
  const auto decode = [&](const uint8_t* dib, size_t size, const PackedDib&) {
    std::string reason;
    return DecodePackedDib(dib, size, ownDib, reason);
  };
  if (source.kind == PictureSourceKind::Bitmap && TakeOwnDib(bytes, source, decode)) {
    picture.Assign(std::make_unique<RasterPicture>(std::move(ownDib)));
    return;
  }
  if (source.kind == PictureSourceKind::Metafile) {
    // Fetched as CF_ENHMETAFILE; the stand-in's conversion of an old-style
    // metafile picture changes nothing.
    const StandInOffer* offer = clipboard.Find(kCfEnhMetafile);
    if (offer == nullptr || !offer->metafile) offer = clipboard.Find(kCfMetafilePict);
    if (offer == nullptr || !offer->metafile) throw AppError(kTextUnsupportedClipboardData);
    picture.Assign(std::make_unique<StandInMetafilePicture>(*offer->metafile));
    return;
  }
  const StandInOffer* offer = clipboard.Find(source.format);
  if (source.kind != PictureSourceKind::Bitmap || offer == nullptr || !offer->bitmap) {
    throw AppError(kTextUnsupportedClipboardData);
  }
  // One pass over the fresh memory: the rows are copied, not painted white
  // first.
  WorkingImage copy(offer->bitmap->Width(), offer->bitmap->Height(), offer->bitmap->Row(0));
  picture.Assign(std::make_unique<RasterPicture>(std::move(copy)));
}

}  // namespace zumorika
