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

#if !defined(JCS_EXTENSIONS)
#error "libjpeg-turbo's extended input colour spaces are needed"
#endif

struct Job {
  const WorkingImage* image;
  int quality;
  bool grey;
};

// Rows handed to the library per call; the working rows lie one after the
// other, so a batch costs nothing to set up.
constexpr int kRowsPerCall = 16;

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
  // The working rows are blue, green, red, unused bytes: the library reads
  // them in place through its extended input colour space and converts them
  // to YCbCr or grey with the same arithmetic as red, green, blue rows.
  cinfo->input_components = 4;
  cinfo->in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job->quality, TRUE);
  if (job->grey) jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
  jpeg_start_compress(cinfo, TRUE);

  JSAMPROW rows[kRowsPerCall];
  while (cinfo->next_scanline < cinfo->image_height) {
    const JDIMENSION first = cinfo->next_scanline;
    const JDIMENSION count = std::min<JDIMENSION>(kRowsPerCall, cinfo->image_height - first);
    for (JDIMENSION i = 0; i < count; ++i) {
      // The library only reads its input rows.
      rows[i] = reinterpret_cast<JSAMPROW>(
          const_cast<uint32_t*>(job->image->Row(static_cast<int32_t>(first + i))));
    }
    jpeg_write_scanlines(cinfo, rows, count);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return 0;
}

}  // namespace

void EncodeJpeg(const WorkingImage& image, int quality, bool grey, std::vector<uint8_t>& out) {
  out.clear();
  if (image.IsEmpty()) return;

  try {
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
  const Job job{&image, quality, grey};
  const int code = Compress(&cinfo, &errors, &dest, &job);
  if (code != 0) {
    out.clear();
    throw AppError(kTextJpegErrorPrefix + std::to_string(code));
  }
}

}  // namespace zumorika
