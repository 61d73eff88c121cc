#include "imaging/clipboard/ClipboardPictures.h"

#include "imaging/ImagingTexts.h"
#include "imaging/decoding/PictureDecoding.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

WorkingImage FromPng(ClipboardBytes& clipboard, uint32_t format) {
  WorkingImage image;
  bool decoded = false;
  clipboard.Read(format, [&](const uint8_t* png, size_t size) {
    std::string reason;
    decoded = DecodePng(png, size, image, reason);
  });
  if (!decoded) throw AppError(kTextClipboardPngUnreadable);
  return image;
}

// The message names the file on a line of its own, in 「」: the error box
// ends its text with a full stop, which must not read as part of the name.
[[noreturn]] void RaiseAboutFile(const char* text, const std::string& name) {
  throw AppError(std::string(text) + "\n\x81\x75" + name + "\x81\x76");
}

WorkingImage FromCopiedFile(ClipboardBytes& clipboard) {
  const std::vector<std::string> names = clipboard.CopiedFiles();
  if (names.empty()) throw AppError(kTextInvalidClipboardFormat);
  if (names.size() > 1) throw AppError(kTextCopiedFilesSeveral);
  const PictureFileKind kind = PictureFileKindOf(names[0]);
  if (kind == PictureFileKind::None) RaiseAboutFile(kTextCopiedFileNotPicture, names[0]);
  std::vector<uint8_t> bytes;
  if (!clipboard.ReadCopiedFile(0, bytes)) RaiseAboutFile(kTextCopiedFileCannotOpen, names[0]);
  WorkingImage image;
  std::string reason;
  if (!DecodePictureFile(kind, bytes.data(), bytes.size(), image, reason)) {
    RaiseAboutFile(kTextCopiedFileBroken, names[0]);
  }
  return image;
}

}  // namespace

bool IsPngFormatName(const std::string& name) {
  std::string lower = name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower == "png" || lower == "image/png";
}

bool TakeOwnDib(ClipboardBytes& clipboard, const PictureSource& source, const OwnDibMaker& make) {
  const size_t count = source.ownDibs[0] == 0 ? 0 : source.ownDibs[1] == 0 ? 1 : 2;
  bool pastData = false;
  // `alphaOnly`: take a DIB only when its alpha means something.
  auto tryTake = [&](uint32_t format, bool alphaOnly) {
    bool taken = false;
    clipboard.Read(format, [&](const uint8_t* dib, size_t size) {
      PackedDib layout;
      std::string reason;
      if (!ReadPackedDib(dib, size, layout, reason)) {
        pastData |= DibPartsLiePastData(dib, size);
        return;
      }
      if (alphaOnly && layout.alpha == DibAlpha::Opaque) return;
      taken = make(dib, size, layout);
    });
    return taken;
  };
  // A lone DIB is taken whatever its alpha; of two, one with alpha wins.
  for (size_t i = 0; i < count; ++i) {
    if (tryTake(source.ownDibs[i], count > 1)) return true;
  }
  for (size_t i = 0; i < count && count > 1; ++i) {
    if (tryTake(source.ownDibs[i], false)) return true;
  }
  if (pastData) throw AppError(kTextUnsupportedClipboardData);
  return false;
}

WorkingImage PictureFromBytes(ClipboardBytes& clipboard, const PictureSource& source) {
  if (source.kind == PictureSourceKind::Png) return FromPng(clipboard, source.format);
  return FromCopiedFile(clipboard);
}

}  // namespace zumorika
