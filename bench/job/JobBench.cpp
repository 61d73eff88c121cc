// Whole-job figures, each against a reference measured in the same run:
//
//  - the paste of a 3840 x 2160 screenshot-like picture from the clipboard
//    (the native stand-in) to a file, per BMP depth and for JPEG colour q90,
//    q100 and grey, against cjpeg and ImageMagick's convert writing the same
//    file type from the same pixels (a PPM in the page cache; their times
//    include process start-up and reading it);
//  - reading a 200,000-element exchange file into the state, against reading
//    its lines bare;
//  - cold runs, each in a fresh process (this program run again), as a
//    user's OK is the first save of its process: the save alone (the
//    picture already loaded) against cjpeg on the same picture, and the
//    whole JPEG paste against its floor, one fresh picture-sized copy (what
//    taking the clipboard picture costs at the least) and the library
//    encoding it straight into the file;
//  - the peak memory of each save, in a child process per case, against the
//    raw 32-bit picture (width x height x 4 bytes).
//
// The ratio tables are printed after the benchmarks.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include "exchange/JwwGaibu.h"
#include "imaging/clipboard/Clipboard.h"
#include "imaging/clipboard/ClipboardFormats.h"
#include "imaging/clipboard/ClipboardStandIn.h"
#include "imaging/saving/ImageFile.h"
#include "imaging/picture/Picture.h"
#include "imaging/WorkingImage.h"

namespace zumorika {
namespace {

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;
constexpr int kElements = 200000;
const std::string kFolder = "/tmp/zumorika-bench-job";

// A desktop: flat window backgrounds, title bars, a gradient wallpaper, and
// rows of small dark strokes standing in for text, the same every run.
std::shared_ptr<const WorkingImage> Screenshot() {
  static const auto image = [] {
    auto out = std::make_shared<WorkingImage>(kWidth, kHeight);
    uint32_t state = 0x9E3779B9u;
    for (int32_t y = 0; y < kHeight; ++y) {
      uint32_t* row = out->Row(y);
      for (int32_t x = 0; x < kWidth; ++x) {
        uint32_t r = 40 + x * 60 / kWidth, g = 90 + y * 80 / kHeight, b = 160;
        const bool inWindow = (x > 200 && x < 2200 && y > 150 && y < 1600) ||
                              (x > 2000 && x < 3600 && y > 900 && y < 2000);
        if (inWindow) {
          r = g = b = 250;
          const int32_t top = (x > 2000 && y > 900) ? 900 : 150;
          if (y < top + 40) { r = 0; g = 84; b = 166; }  // title bar
          // Text lines: short strokes in rows 22 pixels apart.
          const int32_t ly = (y - top - 60) % 22;
          if (y > top + 60 && ly < 13) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            if ((x / 7 + ly) % 3 == 0 && (state & 3) != 0) { r = 30; g = 30; b = 30; }
          }
        }
        row[x] = r << 16 | g << 8 | b;
      }
    }
    return out;
  }();
  return image;
}

std::string PpmPath() {
  static const std::string path = [] {
    const std::string p = kFolder + "/screen.ppm";
    std::ofstream out(p, std::ios::binary);
    out << "P6\n" << kWidth << " " << kHeight << "\n255\n";
    const auto image = Screenshot();
    std::vector<char> row(static_cast<size_t>(kWidth) * 3);
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        const uint32_t p32 = image->Pixel(x, y);
        row[x * 3] = static_cast<char>(p32 >> 16);
        row[x * 3 + 1] = static_cast<char>(p32 >> 8);
        row[x * 3 + 2] = static_cast<char>(p32);
      }
      out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return p;
  }();
  return path;
}

struct SaveCase {
  const char* name;
  ImageSaveSettings settings;
  const char* reference;  // shell command; %s is the PPM, the output goes to kFolder
};

const std::vector<SaveCase>& Cases() {
  static const std::vector<SaveCase> cases = {
      {"bmp1", {0, 0, 1, 100}, "convert %s -threshold 50%% -type Bilevel BMP3:" "%s/ref.bmp"},
      {"bmp4", {0, 1, 1, 100}, "convert %s +dither -colors 16 -type Palette BMP3:" "%s/ref.bmp"},
      {"bmp8", {0, 2, 1, 100}, "convert %s +dither -colors 256 -type Palette BMP3:" "%s/ref.bmp"},
      {"bmp24", {0, 3, 1, 100}, "convert %s -type TrueColor BMP3:" "%s/ref.bmp"},
      {"jpeg_q90", {1, 2, 1, 90}, "cjpeg -quality 90 -baseline -outfile %2$s/ref.jpg %1$s"},
      {"jpeg_q100", {1, 2, 1, 100}, "cjpeg -quality 100 -baseline -outfile %2$s/ref.jpg %1$s"},
      {"jpeg_grey", {1, 2, 0, 90}, "cjpeg -grayscale -quality 90 -baseline -outfile %2$s/ref.jpg %1$s"},
      {"jpeg_q90_convert", {1, 2, 1, 90}, "convert %s -quality 90 %s/ref.jpg"},
  };
  return cases;
}

// The paste of one picture: the clipboard is read into the preview's
// picture, then the save writes the file, as OK does.
void PasteJob(benchmark::State& state, const SaveCase& c) {
  SetStandInClipboard({{kCfBitmap, Screenshot()}});
  const std::string path = kFolder + "/paste_" + c.name;
  for (auto _ : state) {
    TPicture picture;
    LoadClipboardPicture(picture);
    if (!SaveImageFile(path, picture, c.settings)) state.SkipWithError("save failed");
  }
}

// The floor of a JPEG paste: the picture copied once into fresh memory, as
// taking it from the clipboard must, then libjpeg-turbo encoding that copy
// in place into the file through its own stdio destination.
bool WriteFloorJpeg(const SaveCase& c, const std::string& path) {
  const WorkingImage copy(kWidth, kHeight, Screenshot()->Row(0));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, c.settings.JpegQuality, TRUE);
  if (c.settings.JpegColor == 0) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_start_compress(&cinfo, TRUE);
  JSAMPROW rows[16];
  while (cinfo.next_scanline < cinfo.image_height) {
    const JDIMENSION first = cinfo.next_scanline;
    const JDIMENSION count = std::min<JDIMENSION>(16, cinfo.image_height - first);
    for (JDIMENSION i = 0; i < count; ++i)
      rows[i] = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(copy.Row(static_cast<int32_t>(first + i))));
    jpeg_write_scanlines(&cinfo, rows, count);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(file) == 0;
}

double ChildCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The machine is shared, so wall time swings with other load; the tools'
// own processor time (user + system of the finished children) is kept as a
// counter beside it.
// The reference tool's command for a case, quiet.
std::string ReferenceCommand(const SaveCase& c) {
  char command[512];
  std::snprintf(command, sizeof command, c.reference, PpmPath().c_str(), kFolder.c_str());
  return std::string(command) + " 2>/dev/null";
}

void ReferenceJob(benchmark::State& state, const SaveCase& c) {
  const std::string quiet = ReferenceCommand(c);
  const double before = ChildCpuMs();
  for (auto _ : state) {
    if (std::system(quiet.c_str()) != 0) {
      state.SkipWithError("reference tool failed");
      break;
    }
  }
  state.counters["tool_cpu_ms"] = (ChildCpuMs() - before) / static_cast<double>(state.iterations());
}

// --- Exchange reading ------------------------------------------------------------

std::string ExchangePath() {
  static const std::string path = [] {
    const std::string p = kFolder + "/JWC_TEMP.TXT";
    std::FILE* f = std::fopen(p.c_str(), "wb");
    std::fputs("file=C:\\jww\\plan.jww\r\nhp1 10 20\r\nlg0\r\nly0\r\nlc1\r\nlt1\r\nlw0\r\n", f);
    for (int i = 0; i < kElements; ++i) {
      switch (i % 8) {
        case 0: std::fprintf(f, "lc%d\r\n", i % 9 + 1); [[fallthrough]];
        case 1: case 2: case 3:
          std::fprintf(f, "%d.125 %d.5 %d.25 %d\r\n", i, i % 997, i + 10, i % 991); break;
        case 4: std::fprintf(f, "ci %d %d.5 %d\r\n", i, i % 977, i % 50 + 1); break;
        case 5: std::fprintf(f, "ch %d %d 1 0 \"\x90\x7D\x96\xCA %d\r\n", i, i % 971, i); break;
        case 6: std::fprintf(f, "pt %d.75 %d\r\n", i, i % 967); break;
        default: std::fprintf(f, "sl 0 0 %d 0 %d %d 0 %d\r\n", i, i, i, i); break;
      }
    }
    std::fclose(f);
    return p;
  }();
  return path;
}

void ReadExchange(benchmark::State& state) {
  const std::string path = ExchangePath();
  for (auto _ : state) {
    ResetJwcState();
    if (!LoadJwcTemp(path)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(JwcState.ElementOrder.size());
  }
  ReleaseJwcState();
}

void ReadLinesBare(benchmark::State& state) {
  const std::string path = ExchangePath();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t bytes = 0;
    while (std::getline(in, line)) bytes += line.size();
    benchmark::DoNotOptimize(bytes);
  }
}

// The element stores alone: a copy of the state the reader made, which
// allocates and fills the same blocks (fresh pages included) without reading
// anything. No reader can produce the stores for less.
void CopyExchangeState(benchmark::State& state) {
  const std::string path = ExchangePath();
  ResetJwcState();
  if (!LoadJwcTemp(path)) state.SkipWithError("read failed");
  const TJwcState read = JwcState;
  ReleaseJwcState();
  for (auto _ : state) {
    TJwcState copy = read;
    benchmark::DoNotOptimize(copy.ElementOrder.size());
  }
}

// --- Peak memory ----------------------------------------------------------------------

long StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line))
    if (line.compare(0, key.size(), key) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
  return -1;
}

// Peak resident growth of one save in bytes, measured in a fresh process
// (this program run again with --memory-case=N): a forked child would reuse
// heap pages the benchmarks left resident and show too little.
double SavePeakBytes(size_t index) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    dup2(pipeFds[1], STDOUT_FILENO);
    const std::string arg = "--memory-case=" + std::to_string(index);
    execl("/proc/self/exe", "bench_job", arg.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  char buffer[64] = {};
  const ssize_t n = read(pipeFds[0], buffer, sizeof buffer - 1);
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return n > 0 ? std::strtod(buffer, nullptr) : -1;
}

// The child side: the picture is on the clipboard and loaded into the
// preview before the measurement starts, as when OK is pressed.
int MeasureSaveMemory(size_t index) {
  const SaveCase& c = Cases().at(index);
  SetStandInClipboard({{kCfBitmap, Screenshot()}});
  TPicture picture;
  LoadClipboardPicture(picture);
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKb("VmRSS");
  const bool ok = SaveImageFile(kFolder + "/memory_" + c.name, picture, c.settings);
  const double growth = ok ? (StatusKb("VmHWM") - before) * 1024.0 : -1;
  std::printf("%.0f\n", growth);
  return 0;
}

// --- The save alone, cold --------------------------------------------------------------

struct Timing {
  double wallMs = -1;
  double cpuMs = -1;
};

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// What a cold run times, in a process of its own (this program run again):
// the save of the picture already loaded, as OK does it; the whole paste
// (taking the clipboard picture, then the save); or the paste's floor.
enum class ColdJob { Save, Paste, Floor };
const char* const kColdJobNames[] = {"save", "paste", "floor"};

// The child side. The job is the process's first, so its memory comes fresh
// from the system, as it does for a user's OK.
int TimeColdJob(size_t index, ColdJob job) {
  const SaveCase& c = Cases().at(index);
  SetStandInClipboard({{kCfBitmap, Screenshot()}});
  TPicture picture;
  if (job == ColdJob::Save) LoadClipboardPicture(picture);
  const std::string path = kFolder + "/cold_" + c.name;
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = ProcessCpuMs();
  bool ok = false;
  if (job == ColdJob::Floor) {
    ok = WriteFloorJpeg(c, path);
  } else {
    if (job == ColdJob::Paste) LoadClipboardPicture(picture);
    ok = SaveImageFile(path, picture, c.settings);
  }
  const double cpu = ProcessCpuMs() - cpuStart;
  const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
  if (!ok) return 1;
  std::printf("%.3f %.3f\n", wall.count(), cpu);
  return 0;
}

// Runs a shell command: its wall time and the processor time of what it
// started, as ReferenceJob counts the tools'.
bool RunTimed(const std::string& command, Timing& timing) {
  const double cpuBefore = ChildCpuMs();
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
  timing.wallMs = wall.count();
  timing.cpuMs = ChildCpuMs() - cpuBefore;
  return status == 0;
}

// One cold run in a fresh run of this program: the job's own wall and
// processor time, as the child measured them.
bool ColdJobInChild(size_t index, ColdJob job, Timing& timing) {
  static const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string result = kFolder + "/cold.txt";
  Timing process;
  if (!RunTimed(self + " --cold-" + kColdJobNames[static_cast<int>(job)] + "=" +
                    std::to_string(index) + " >" + result,
                process))
    return false;
  std::ifstream in(result);
  return static_cast<bool>(in >> timing.wallMs >> timing.cpuMs);
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The medians of a series of runs.
struct Series {
  std::vector<double> wall, cpu;
  void Add(const Timing& t) {
    wall.push_back(t.wallMs);
    cpu.push_back(t.cpuMs);
  }
  bool Empty() const { return wall.empty(); }
  double Wall() const { return Median(wall); }
  double Cpu() const { return Median(cpu); }
};

// The cold save, the cold paste, its floor and cjpeg in alternating runs,
// so that a change in the machine's load falls on all of them; prints the
// medians. Returns whether every series has a figure.
bool ReportColdRuns(int runs) {
  constexpr double kTarget = 1.3;
  std::printf("\nCold runs, each in a fresh process, medians of %d alternating runs; cjpeg is\n"
              "its whole process on the same picture (started by the shell, reading the PPM).\n",
              runs);
  std::printf("The save alone (the picture already loaded, as at OK) against cjpeg, target <= %.1f;\n"
              "the whole paste (the clipboard picture taken, then saved) against its floor (one\n"
              "fresh picture-sized copy and the library encoding it into the file):\n",
              kTarget);
  bool ok = true;
  for (size_t i = 0; i < Cases().size(); ++i) {
    const SaveCase& c = Cases()[i];
    const std::string name = c.name;
    if (name.rfind("jpeg_", 0) != 0 || name.find("convert") != std::string::npos) continue;
    Series save, paste, floor, cjpeg;
    for (int run = 0; run < runs; ++run) {
      Timing t;
      if (ColdJobInChild(i, ColdJob::Save, t)) save.Add(t);
      if (ColdJobInChild(i, ColdJob::Paste, t)) paste.Add(t);
      if (ColdJobInChild(i, ColdJob::Floor, t)) floor.Add(t);
      if (RunTimed(ReferenceCommand(c), t)) cjpeg.Add(t);
    }
    if (save.Empty() || paste.Empty() || floor.Empty() || cjpeg.Empty()) {
      std::printf("  %-10s no figure (a run failed)\n", c.name);
      ok = false;
      continue;
    }
    const double saveRatio = save.Wall() / cjpeg.Wall();
    std::printf("  save-alone %-10s ours %6.1f ms, cjpeg %6.1f ms (cpu %6.1f vs %6.1f ms, %.2f)  ratio %.2f%s\n",
                c.name, save.Wall(), cjpeg.Wall(), save.Cpu(), cjpeg.Cpu(), save.Cpu() / cjpeg.Cpu(),
                saveRatio, saveRatio > kTarget ? "  OVER" : "");
    std::printf("  paste-cold %-10s ours %6.1f ms, floor %6.1f ms (cpu %6.1f vs %6.1f ms, %.2f)  ratio %.2f"
                "  (to cjpeg %.2f)\n",
                c.name, paste.Wall(), floor.Wall(), paste.Cpu(), floor.Cpu(), paste.Cpu() / floor.Cpu(),
                paste.Wall() / floor.Wall(), paste.Wall() / cjpeg.Wall());
  }
  return ok;
}

// Keeps each run's real time per benchmark name for the ratio tables.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      times[run.benchmark_name()] = run.GetAdjustedRealTime();
      auto tool = run.counters.find("tool_cpu_ms");
      cpu[run.benchmark_name()] =
          tool != run.counters.end() ? tool->second.value : run.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
  std::map<std::string, double> cpu;  // ours in-process; the tools' own
};

double Find(const std::map<std::string, double>& times, const std::string& prefix) {
  for (const auto& [name, t] : times)
    if (name.rfind(prefix, 0) == 0) return t;
  return 0;
}

}  // namespace
}  // namespace zumorika

int main(int argc, char** argv) {
  using namespace zumorika;
  if (argc == 2 && std::string(argv[1]).rfind("--memory-case=", 0) == 0)
    return MeasureSaveMemory(std::stoul(argv[1] + 14));
  for (int job = 0; job < 3; ++job) {
    const std::string option = std::string("--cold-") + kColdJobNames[job] + "=";
    if (argc == 2 && std::string(argv[1]).rfind(option, 0) == 0)
      return TimeColdJob(std::stoul(argv[1] + option.size()), static_cast<ColdJob>(job));
  }
  std::system(("mkdir -p " + kFolder).c_str());
  SetStandInClipboard({{kCfBitmap, Screenshot()}});
  PpmPath();
  ExchangePath();

  for (const SaveCase& c : Cases()) {
    if (std::string(c.name).find("convert") == std::string::npos)
      benchmark::RegisterBenchmark((std::string("Paste/") + c.name).c_str(), PasteJob, c)
          ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
    benchmark::RegisterBenchmark((std::string("Reference/") + c.name).c_str(), ReferenceJob, c)
        ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
  }
  benchmark::RegisterBenchmark("Exchange/LoadJwcTemp", ReadExchange)
      ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
  benchmark::RegisterBenchmark("Exchange/BareLines", ReadLinesBare)
      ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
  benchmark::RegisterBenchmark("Exchange/StoresAlone", CopyExchangeState)
      ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

  benchmark::Initialize(&argc, argv);
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nPaste %d x %d from the clipboard to a file, against the reference tool:\n",
              kWidth, kHeight);
  for (const SaveCase& c : Cases()) {
    std::string ours = std::string("Paste/") + c.name;
    if (std::string(c.name) == "jpeg_q90_convert") ours = "Paste/jpeg_q90";
    const double a = Find(reporter.times, ours);
    const double b = Find(reporter.times, std::string("Reference/") + c.name);
    const double ac = Find(reporter.cpu, ours);
    const double bc = Find(reporter.cpu, std::string("Reference/") + c.name);
    if (a > 0 && b > 0)
      std::printf("  %-18s wall: ours %7.1f ms, tool %7.1f ms, ratio %.2f   cpu: ours %7.1f ms, tool %7.1f ms, ratio %.2f\n",
                  c.name, a, b, a / b, ac, bc, bc > 0 ? ac / bc : 0.0);
  }
  const double load = Find(reporter.times, "Exchange/LoadJwcTemp");
  const double bare = Find(reporter.times, "Exchange/BareLines");
  const double loadCpu = Find(reporter.cpu, "Exchange/LoadJwcTemp");
  const double bareCpu = Find(reporter.cpu, "Exchange/BareLines");
  if (load > 0 && bare > 0)
    std::printf("\nExchange file of %d elements: wall LoadJwcTemp %.1f ms, bare lines %.1f ms, ratio %.2f;"
                " cpu %.1f ms vs %.1f ms, ratio %.2f\n",
                kElements, load, bare, load / bare, loadCpu, bareCpu, loadCpu / bareCpu);
  const double stores = Find(reporter.times, "Exchange/StoresAlone");
  const double storesCpu = Find(reporter.cpu, "Exchange/StoresAlone");
  if (stores > 0 && bare > 0)
    std::printf("  its element stores alone (a copy of the state read): wall %.1f ms, ratio %.2f;"
                " cpu %.1f ms, ratio %.2f to the bare lines\n",
                stores, stores / bare, storesCpu, storesCpu / bareCpu);

  const bool timedCold = ReportColdRuns(7);

  constexpr double kPeakTarget = 1.2;
  const double raw = static_cast<double>(kWidth) * kHeight * 4;
  std::printf("\nPeak memory of each save against the 32-bit picture (%.1f MB), target <= %.1f:\n",
              raw / 1e6, kPeakTarget);
  int over = 0;
  for (size_t i = 0; i < Cases().size(); ++i) {
    const SaveCase& c = Cases()[i];
    if (std::string(c.name).find("convert") != std::string::npos) continue;
    const double peak = SavePeakBytes(i);
    std::printf("  %-18s %8.1f MB  ratio %.2f%s\n", c.name, peak / 1e6, peak / raw,
                peak / raw > kPeakTarget ? "  OVER" : "");
    over += peak < 0 || peak / raw > kPeakTarget;
  }
  benchmark::Shutdown();
  return over == 0 && timedCold ? 0 : 1;
}
