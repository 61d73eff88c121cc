// Conversion, BMP and JPEG writing on one 3840 x 2160 photo-like picture,
// timed in the same run as reference tools on the same pixels:
//   cjpeg -quality Q -baseline        for the JPEG encode
//   convert +dither -remap palette    for the 8-bit mapping (same 256 colours)
//   one write() of the same byte count for the 24-bit BMP
// The external tools run as processes, so their wall time includes process
// start-up and reading the PPM; ours includes only the work itself (plus the
// file write for the BMP and JPEG files). The ratios are printed at the end.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <png.h>

#include "imaging/saving/BmpWriter.h"
#include "imaging/saving/ColourConvert.h"
#include "imaging/saving/JpegEncoder.h"
#include "imaging/decoding/PictureDecoding.h"
#include "imaging/WorkingImage.h"

extern char** environ;

namespace zumorika {
namespace {

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;
const std::string kFolder = "/tmp/zumorika-bench-imaging";

// Smooth gradients, noise and hard edges, the same every run.
const WorkingImage& Photo() {
  static const WorkingImage image = [] {
    WorkingImage out(kWidth, kHeight);
    uint32_t state = 0x12345678u;
    for (int32_t y = 0; y < kHeight; ++y) {
      uint32_t* row = out.Row(y);
      for (int32_t x = 0; x < kWidth; ++x) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const int noise = static_cast<int>(state & 15) - 8;
        double r = 128 + 100 * std::sin(x * 0.0021 + y * 0.0007);
        double g = 128 + 90 * std::cos(y * 0.0031 - x * 0.0011);
        double b = 110 + 80 * std::sin((x + y) * 0.0017 + 1.3);
        // Edges: a bright disc, a dark band and a checker of tiles.
        const double dx = x - 2400.0, dy = y - 900.0;
        if (dx * dx + dy * dy < 500.0 * 500.0) { r = 240; g = 220; b = 60; }
        if (y > 1500 && y < 1620) { r *= 0.3; g *= 0.3; b *= 0.4; }
        if (x < 800 && y < 600 && ((x / 64 + y / 64) & 1)) { r = 20; g = 90; b = 200; }
        auto clamp = [noise](double v) {
          const int i = static_cast<int>(v) + noise;
          return static_cast<uint32_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
        };
        row[x] = clamp(r) << 16 | clamp(g) << 8 | clamp(b);
      }
    }
    return out;
  }();
  return image;
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

void PrepareReferenceInputs() {
  static bool done = false;
  if (done) return;
  done = true;
  std::system(("mkdir -p " + kFolder).c_str());
  const WorkingImage& image = Photo();
  std::string ppm = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
  std::vector<uint8_t> bytes(ppm.begin(), ppm.end());
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const uint32_t p = image.Pixel(x, y);
      bytes.push_back(static_cast<uint8_t>(p >> 16));
      bytes.push_back(static_cast<uint8_t>(p >> 8));
      bytes.push_back(static_cast<uint8_t>(p));
    }
  }
  WriteBytes(kFolder + "/in.ppm", bytes.data(), bytes.size());
  const auto palette = HalftonePalette();
  std::string head = "P6\n256 1\n255\n";
  std::vector<uint8_t> pal(head.begin(), head.end());
  for (const RgbQuad& q : palette) {
    pal.push_back(q.red);
    pal.push_back(q.green);
    pal.push_back(q.blue);
  }
  WriteBytes(kFolder + "/palette.ppm", pal.data(), pal.size());
}

// Runs the tool and adds its user + system CPU time (seconds) to `cpu`:
// under a loaded machine the CPU ratios are steadier than wall-time ones.
bool RunProcess(std::vector<std::string> args, double& cpu) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  cpu += usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec +
         usage.ru_stime.tv_usec * 1e-6;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Ours

void BM_Convert(benchmark::State& state) {
  const WorkingImage& image = Photo();
  const int bits = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ConvertWorkingImage(image, bits));
}
BENCHMARK(BM_Convert)->Arg(1)->Arg(4)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteBmp(benchmark::State& state) {
  PrepareReferenceInputs();
  const int bits = static_cast<int>(state.range(0));
  const ConvertedImage converted = ConvertWorkingImage(Photo(), bits);
  const std::string path = kFolder + "/ours" + std::to_string(bits) + ".bmp";
  for (auto _ : state) WriteBmpFile(path, converted);
}
BENCHMARK(BM_WriteBmp)->Arg(1)->Arg(4)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ConvertAndWriteBmp24(benchmark::State& state) {
  PrepareReferenceInputs();
  const std::string path = kFolder + "/ours24full.bmp";
  for (auto _ : state) WriteBmpFile(path, ConvertWorkingImage(Photo(), 24));
}
BENCHMARK(BM_ConvertAndWriteBmp24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Jpeg(benchmark::State& state) {
  PrepareReferenceInputs();
  const int quality = static_cast<int>(state.range(0));
  const std::string path = kFolder + "/ours" + std::to_string(quality) + ".jpg";
  std::vector<uint8_t> data;
  for (auto _ : state) {
    EncodeJpeg(Photo(), quality, false, data);
    WriteBytes(path, data.data(), data.size());
  }
  state.counters["bytes"] = static_cast<double>(data.size());
}
BENCHMARK(BM_Jpeg)->Arg(90)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// References

void BM_RefCjpeg(benchmark::State& state) {
  PrepareReferenceInputs();
  const std::string quality = std::to_string(state.range(0));
  double cpu = 0;
  for (auto _ : state) {
    if (!RunProcess({"cjpeg", "-quality", quality, "-baseline", "-outfile",
                     kFolder + "/cjpeg" + quality + ".jpg", kFolder + "/in.ppm"},
                    cpu)) {
      state.SkipWithError("cjpeg failed");
      break;
    }
  }
  state.counters["child_cpu_ms"] =
      benchmark::Counter(cpu * 1e3, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RefCjpeg)->Arg(90)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RefImageMagickRemap(benchmark::State& state) {
  PrepareReferenceInputs();
  double cpu = 0;
  for (auto _ : state) {
    if (!RunProcess({"convert", kFolder + "/in.ppm", "+dither", "-remap", kFolder + "/palette.ppm",
                     kFolder + "/magick8.bmp"},
                    cpu)) {
      state.SkipWithError("convert failed");
      break;
    }
  }
  state.counters["child_cpu_ms"] =
      benchmark::Counter(cpu * 1e3, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RefImageMagickRemap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RefSingleWrite(benchmark::State& state) {
  PrepareReferenceInputs();
  const size_t size = static_cast<size_t>(ComputeBmpLayout(kWidth, kHeight, 24).fileSize);
  const std::vector<uint8_t> bytes(size, 0x5A);
  const std::string path = kFolder + "/single.bin";
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::close(fd);
  }
}
BENCHMARK(BM_RefSingleWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

// A browser's kind of PNG: the photo with an alpha channel, transparent
// round its edges and half-covered in a band, as a logo or cut-out is.
const std::vector<uint8_t>& PhotoPng() {
  static const std::vector<uint8_t> png = [] {
    const WorkingImage& image = Photo();
    std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
    size_t at = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x, at += 4) {
        const uint32_t p = image.Pixel(x, y);
        rgba[at] = static_cast<uint8_t>(p >> 16);
        rgba[at + 1] = static_cast<uint8_t>(p >> 8);
        rgba[at + 2] = static_cast<uint8_t>(p);
        const bool edge = x < 200 || y < 200 || x >= kWidth - 200 || y >= kHeight - 200;
        rgba[at + 3] = edge ? 0 : (y > 1000 && y < 1200 ? 128 : 255);
      }
    }
    png_image write{};
    write.version = PNG_IMAGE_VERSION;
    write.width = kWidth;
    write.height = kHeight;
    write.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&write, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    png_image_write_to_memory(&write, out.data(), &size, 0, rgba.data(), 0, nullptr);
    out.resize(size);
    return out;
  }();
  return png;
}

void BM_DecodePng(benchmark::State& state) {
  const std::vector<uint8_t>& png = PhotoPng();
  for (auto _ : state) {
    WorkingImage image;
    std::string reason;
    if (!DecodePng(png.data(), png.size(), image, reason)) state.SkipWithError(reason.c_str());
    benchmark::DoNotOptimize(image.Row(0));
  }
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference: libpng's own simplified read of the same file into memory.
void BM_RefPngImageRead(benchmark::State& state) {
  const std::vector<uint8_t>& png = PhotoPng();
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, png.data(), png.size());
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
      state.SkipWithError("png_image_finish_read failed");
    }
    benchmark::DoNotOptimize(pixels.data());
    png_image_free(&image);
  }
}
BENCHMARK(BM_RefPngImageRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps each run's real time so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        const auto child = run.counters.find("child_cpu_ms");
        // CPU of our own code, or of the external tool's process.
        cpu_[run.benchmark_name()] =
            child != run.counters.end() ? child->second.value : run.GetAdjustedCPUTime();
      }
    }
  }
  void PrintRatios() const {
    std::printf("\nRatios (ours / reference, lower is better; wall time, then CPU time):\n");
    Ratio("JPEG q90 vs cjpeg", "BM_Jpeg/90/real_time", "BM_RefCjpeg/90/real_time", 1.2);
    Ratio("JPEG q100 vs cjpeg", "BM_Jpeg/100/real_time", "BM_RefCjpeg/100/real_time", 1.2);
    Ratio("8-bit conversion vs convert -remap", "BM_Convert/8/real_time",
          "BM_RefImageMagickRemap/real_time", 1.0);
    Ratio("24-bit BMP write vs one write()", "BM_WriteBmp/24/real_time",
          "BM_RefSingleWrite/real_time", 1.5);
    Ratio("24-bit convert+write vs one write()", "BM_ConvertAndWriteBmp24/real_time",
          "BM_RefSingleWrite/real_time", 1.5);
    const auto ours = times_.find("BM_DecodePng/real_time");
    const auto plain = times_.find("BM_RefPngImageRead/real_time");
    if (ours != times_.end() && plain != times_.end() && plain->second > 0) {
      const double ratio = ours->second / plain->second;
      std::printf("  png decode %dx%d ours %6.1f ms, png_image_finish_read %6.1f ms  ratio %.2f"
                  " (target <= 1.3: %s)\n",
                  kWidth, kHeight, ours->second, plain->second, ratio,
                  ratio <= 1.3 ? "met" : "MISSED");
    }
  }

 private:
  void Ratio(const char* label, const std::string& ours, const std::string& reference,
             double target) const {
    const auto a = times_.find(ours);
    const auto b = times_.find(reference);
    if (a == times_.end() || b == times_.end() || b->second <= 0) {
      std::printf("  %-38s not measured\n", label);
      return;
    }
    const double ratio = a->second / b->second;
    const double cpuRatio = cpu_.at(ours) / std::max(cpu_.at(reference), 1e-9);
    std::printf("  %-38s %6.3f  cpu %6.3f  (target < %.1f: %s)\n", label, ratio, cpuRatio, target,
                ratio < target ? "met" : "MISSED");
  }
  std::map<std::string, double> times_;
  std::map<std::string, double> cpu_;
};

}  // namespace
}  // namespace zumorika

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zumorika::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
