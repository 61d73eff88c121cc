#include "imaging/saving/JpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include "imaging/ImagingTexts.h"
#include "util/AppError.h"

namespace zumorika {

namespace {

// Bytes handed to the sink at a time: a file takes them in a few large
// writes rather than one per 4 KB.
constexpr size_t kDestinationStep = 64 * 1024;

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

// Hands the library the caller's buffer and passes each full one to the
// sink. Buffer and sink belong to the caller, so an abort leaks nothing:
// libjpeg calls no destination hook on abort or destroy.
struct Destination {
  jpeg_destination_mgr pub;
  ByteSink* sink;
  JOCTET* buffer;
  bool sinkRefused;  // the sink wrote short: the abort is the sink's, not the library's
};

// No exception may leave here into the library.
bool Deliver(Destination* dest, size_t size) noexcept {
  if (size == 0) return true;
  try {
    return dest->sink->Write(dest->buffer, size) == size;
  } catch (...) {
    return false;
  }
}

void InitDestination(j_compress_ptr cinfo) {
  Destination* dest = reinterpret_cast<Destination*>(cinfo->dest);
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = kDestinationStep;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  Destination* dest = reinterpret_cast<Destination*>(cinfo->dest);
  if (!Deliver(dest, kDestinationStep)) {
    dest->sinkRefused = true;
    ERREXIT(cinfo, JERR_FILE_WRITE);
  }
  dest->pub.next_output_byte = dest->buffer;
  dest->pub.free_in_buffer = kDestinationStep;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  Destination* dest = reinterpret_cast<Destination*>(cinfo->dest);
  if (!Deliver(dest, kDestinationStep - dest->pub.free_in_buffer)) {
    dest->sinkRefused = true;
    ERREXIT(cinfo, JERR_FILE_WRITE);
  }
}

#if !defined(JCS_EXTENSIONS)
#error "libjpeg-turbo's extended input colour spaces are needed"
#endif

struct Job {
  WorkingBands* bands;
  int quality;
  bool grey;
  std::exception_ptr* bandFailure;  // lives in EncodeJpeg, outside the jump region
};

// Called between library calls, never from inside one: an error drawing the
// band is kept, and raised by EncodeJpeg once the compressor is gone.
const uint32_t* FetchBand(const Job* job, int32_t band) noexcept {
  try {
    return job->bands->Band(band);
  } catch (...) {
    *job->bandFailure = std::current_exception();
    return nullptr;
  }
}

// Everything between the jump point and the last library call lives in
// plain structs owned by the caller: nothing here has a destructor for the
// longjmp to skip. Returns 0, or non-zero after an error (the library's
// message code when it raised one).
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

  WorkingBands& bands = *job->bands;
  cinfo->image_width = static_cast<JDIMENSION>(bands.Width());
  cinfo->image_height = static_cast<JDIMENSION>(bands.Height());
  // The working rows are blue, green, red, unused bytes: the library reads
  // them in place through its extended input colour space and converts them
  // to YCbCr or grey with the same arithmetic as red, green, blue rows.
  cinfo->input_components = 4;
  cinfo->in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, job->quality, TRUE);
  if (job->grey) jpeg_set_colorspace(cinfo, JCS_GRAYSCALE);
  jpeg_start_compress(cinfo, TRUE);

  // The library says how many rows it took; a band is drawn once, when the
  // first of its rows is due.
  JSAMPROW rows[kBandRows];
  const uint32_t* pixels = nullptr;
  JDIMENSION bandTop = 0;
  JDIMENSION bandEnd = 0;
  while (cinfo->next_scanline < cinfo->image_height) {
    if (cinfo->next_scanline >= bandEnd) {
      const int32_t band = static_cast<int32_t>(cinfo->next_scanline / kBandRows);
      pixels = FetchBand(job, band);
      if (pixels == nullptr) {
        jpeg_destroy_compress(cinfo);
        return -1;
      }
      bandTop = static_cast<JDIMENSION>(bands.BandTop(band));
      bandEnd = bandTop + static_cast<JDIMENSION>(bands.BandHeight(band));
    }
    const JDIMENSION first = cinfo->next_scanline;
    const JDIMENSION count = bandEnd - first;
    for (JDIMENSION i = 0; i < count; ++i) {
      // The library only reads its input rows.
      rows[i] = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(
          pixels + static_cast<size_t>(first - bandTop + i) * static_cast<size_t>(bands.Width())));
    }
    jpeg_write_scanlines(cinfo, rows, count);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return 0;
}

// Appends to a vector; running out of memory is a short write.
class VectorSink : public ByteSink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
  size_t Write(const void* data, size_t size) override {
    if (size > out_.max_size() - out_.size()) return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    try {
      out_.insert(out_.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
      return 0;
    }
    return size;
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace

bool EncodeJpeg(WorkingBands& bands, int quality, bool grey, ByteSink& sink) {
  if (bands.Width() == 0 || bands.Height() == 0) return true;

  std::vector<JOCTET> buffer;
  try {
    buffer.resize(kDestinationStep);
  } catch (const std::bad_alloc&) {
    throw AppError(kTextImageTooLarge);
  }
  std::exception_ptr bandFailure;
  jpeg_compress_struct cinfo{};
  ErrorManager errors{};
  Destination dest{};
  dest.sink = &sink;
  dest.buffer = buffer.data();
  const Job job{&bands, quality, grey, &bandFailure};
  const int code = Compress(&cinfo, &errors, &dest, &job);
  if (bandFailure) std::rethrow_exception(bandFailure);
  if (dest.sinkRefused) return false;
  if (code != 0) throw AppError(kTextJpegErrorPrefix + std::to_string(code));
  return true;
}

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
  const std::unique_ptr<WorkingBands> bands = BandsOfImage(image);
  VectorSink sink(out);
  bool written = false;
  try {
    written = EncodeJpeg(*bands, quality, grey, sink);
  } catch (...) {
    out.clear();
    throw;
  }
  if (!written) {
    out.clear();
    throw AppError(kTextJpegErrorPrefix + std::to_string(JERR_OUT_OF_MEMORY));
  }
}

}  // namespace zumorika
