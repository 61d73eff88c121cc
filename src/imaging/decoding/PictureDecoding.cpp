#include "imaging/decoding/PictureDecoding.h"

namespace zumorika {

PictureFileKind PictureFileKindOf(const std::string& name) {
  // A '.' is never the second byte of a Shift-JIS character, and the
  // extensions are ASCII, so this holds for Shift-JIS and UTF-8 names.
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || name.find_first_of("\\/", dot) != std::string::npos) {
    return PictureFileKind::None;
  }
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == "png") return PictureFileKind::Png;
  if (extension == "bmp") return PictureFileKind::Bmp;
  if (extension == "jpg" || extension == "jpeg") return PictureFileKind::Jpeg;
  return PictureFileKind::None;
}

bool DecodePictureFile(PictureFileKind kind, const uint8_t* data, size_t size, WorkingImage& out,
                       std::string& reason) {
  switch (kind) {
    case PictureFileKind::Png: return DecodePng(data, size, out, reason);
    case PictureFileKind::Bmp: return DecodeBmpFile(data, size, out, reason);
    case PictureFileKind::Jpeg: return DecodeJpeg(data, size, out, reason);
    case PictureFileKind::None: break;
  }
  reason = "not a picture file";
  return false;
}

}  // namespace zumorika
