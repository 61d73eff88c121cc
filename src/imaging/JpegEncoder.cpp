#include "imaging/JpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <limits>
#include <new>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

constexpr size_t kDestinationStep = 4096;

// libjpeg's error exit must not return, and throwing through its C frames is
// undefined behaviour, so the exit jumps back to the jump point set in
// Compress(); the exception is raised only after the compressor is gone.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jumpPoint;
  int messageCode;
};

void OnLibraryError(j_common_ptr cinfo) {
  ErrorManager* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
  manager->messageCode = cinfo->err->msg_code;
  std::longjmp(manager->jumpPoint, 1);
}

// Warnings go on silently: a windowed program has nowhere to print them.
void OnLibraryMessage(j_common_ptr) {}

// Hands the library a fixed 4096-byte buffer and appends each full one to
// the caller's vector. The vector belongs to the caller, so an abort leaks
// nothing: libjpeg calls no destination hook on abort or destroy.
struct Destination {
  jpeg_destination_mgr pub;
  std::vector<uint8_t>* out;
  JOCTET buffer[kDestinationStep];
};

// No exception may leave here into the library.
bool AppendChecked(std::vector<uint8_t>& out, const JOCTET* data, size_t size) noexcept {
  if (size > out.max_size() - out.size()) return false;
  try {
    out.insert(out.end(), data, data + size);
  } catch (...) {
    return false;
  }
  return true;
}

void InitDestination(j_compress_ptr cinfo) {
  Destination* dest = reinterpret_cast<Destination*>(cinfo->dest);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = kDestinationStep;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  Destination* dest = reinterpret_cast<Destination*>(cinfo->dest);
  if (!AppendChecked(*dest->out, dest->buffer, kDestinationStep)) {
    ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
  }
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = kDestinationStep;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  Destination* dest = reinterpret_cast<Destination*>(cinfo->dest);
  if (!AppendChecked(*dest->out, dest->buffer, kDestinationStep - dest->pub.free_in_buffer)) {
    ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
  }
}

struct Job {
  const WorkingImage* image;
  int quality;
  bool grey;
  uint8_t* rowBuffer;  // width x 3 bytes, owned by the caller
};

// Red, green, blue as the library wants them; the working rows hold blue,
// green, red, unused.
void ToRgbRow(const uint32_t* src, int32_t width, uint8_t* dst) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t p = src[x];
    dst[0] = static_cast<uint8_t>(p >> 16);
    dst[1] = static_cast<uint8_t>(p >> 8);
    dst[2] = static_cast<uint8_t>(p);
    dst += 3;
  }
}

// Everything between the jump point and the last library call lives in
// plain structs owned by the caller: nothing here has a destructor for the
// longjmp to skip. Returns 0, or the library's message code after an error.
int Compress(jpeg_compress_struct* cinfo, ErrorManager* errors, Destination* dest, const Job* job) {
  cinfo->err = jpeg_std_error(&errors->pub);
  errors->pub.error_exit = OnLibraryError;
  errors->pub.output_message = OnLibraryMessage;
  errors->messageCode = 0;
  if (setjmp(errors->jumpPoint) != 0) {
    jpeg_destroy_compress(cinfo);
    return errors->messageCode != 0 ? errors->messageCode : -1;
  }
  jpeg_create_compress(cinfo);

  dest->pub.init_destination = InitDestination;
  dest->pub.empty_output_buffer = EmptyOutputBuffer;
  dest->pub.term_destination = TermDestination;
  cinfo->dest = &dest->pub;

  cinfo->image_width = static_cast<JDIMENSION>(job->image->Width());
  cinfo->image_height = static_cast<JDIMENSION>(job->image->Height());
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job->quality, TRUE);
  if (job->grey) jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
  jpeg_start_compress(cinfo, TRUE);

  JSAMPROW row[1] = {job->rowBuffer};
  while (cinfo->next_scanline < cinfo->image_height) {
    ToRgbRow(job->image->Row(static_cast<int32_t>(cinfo->next_scanline)), job->image->Width(),
             job->rowBuffer);
    jpeg_write_scanlines(cinfo, row, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return 0;
}

}  // namespace

void EncodeJpeg(const WorkingImage& image, int quality, bool grey, std::vector<uint8_t>& out) {
  out.clear();
  if (image.IsEmpty()) return;

  std::vector<uint8_t> rowBuffer;
  try {
    rowBuffer.resize(static_cast<size_t>(image.Width()) * 3);
    // Most pictures compress to well under a byte per pixel; reserving a
    // guess spares the vector most of its regrowth.
    out.reserve(std::min<size_t>(static_cast<size_t>(image.Width()) * image.Height() / 2 + 4096,
                                 size_t{64} << 20));
  } catch (const std::bad_alloc&) {
    throw AppError(kTextImageTooLarge);
  }

  jpeg_compress_struct cinfo{};
  ErrorManager errors{};
  Destination dest{};
  dest.out = &out;
  const Job job{&image, quality, grey, rowBuffer.data()};
  const int code = Compress(&cinfo, &errors, &dest, &job);
  if (code != 0) {
    out.clear();
    throw AppError(kTextJpegErrorPrefix + std::to_string(code));
  }
}

}  // namespace zumorika
