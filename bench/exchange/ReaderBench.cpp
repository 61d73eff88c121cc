// The exchange reader against bare line reading of the same file: the
// reader should cost no more than a small multiple of cutting the lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "exchange/JwcLineReader.h"
#include "exchange/JwwGaibu.h"
#include "util/Files.h"

namespace zumorika {
namespace {

constexpr int kElements = 200000;

// A small deterministic generator, so every run reads the same file.
class Lcg {
 public:
  uint32_t Next() { return state_ = state_ * 1664525u + 1013904223u; }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  std::string Coord() {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", (Next() % 2000000) / 100.0 - 10000.0);
    return text;
  }

 private:
  uint32_t state_ = 12345;
};

// An exchange file as the host writes it: header, then attribute records
// and markers among mixed elements.
std::string MakeExchangeFile() {
  Lcg r;
  std::string f = "file=C:\\jww\\bench\\\x90\x7D\x96\xCA.jww\r\n";
  f += "hk 0\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nhzs 420 297\r\n";
  f += "hcw 1 2 3 4 5 6 7 8 9 10\r\nhch 1 2 3 4 5 6 7 8 9 10\r\n";
  f += "hcd 0 0 0 0 0 0 0 0 0 0\r\nhcc 1 2 3 4 5 6 7 8 9 10\r\n";
  f += "hp1-         100.5        -20.25\r\nhp2ln        0            0\r\n";
  f += "cn\"$<\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E>\r\n";
  for (int i = 0; i < kElements; ++i) {
    if (i % 50 == 0) {
      f += "lg" + std::to_string(r.Below(16)) + "\r\nly" + std::to_string(r.Below(10)) + "\r\n";
      f += "lc" + std::to_string(1 + r.Below(9)) + "\r\nlt1\r\nlw0\r\n";
    }
    const int kind = r.Below(100);
    if (kind < 55) {
      f += " " + r.Coord() + " " + r.Coord() + " " + r.Coord() + " " + r.Coord();
    } else if (kind < 65) {
      f += "ci " + r.Coord() + " " + r.Coord() + " " + r.Coord();
    } else if (kind < 70) {
      f += "ci " + r.Coord() + " " + r.Coord() + " 5 0 1.5 1 0";
    } else if (kind < 82) {
      f += "ch " + r.Coord() + " " + r.Coord() + " 1 0 \"\x95\xBD\x96\xCA\x90\x7D " +
           std::to_string(i);
    } else if (kind < 87) {
      f += "pt " + r.Coord() + " " + r.Coord();
    } else if (kind < 90) {
      f += "pl\r\n " + r.Coord() + " " + r.Coord() + " 1 1\r\n 1 1 2 2\r\n#";
    } else if (kind < 94) {
      f += "lc10 16711680\r\nsl " + r.Coord() + " " + r.Coord() + " 5 5 0 5 0 0";
    } else if (kind < 97) {
      f += "BL " + r.Coord() + " " + r.Coord() + " \"block " + std::to_string(i);
    } else {
      f += "hhp3\r\nz1\r\ncs 0 0 1 0 \"note";
    }
    f += "\r\n";
  }
  return f;
}

std::string& BenchFile() {
  static std::string path = [] {
    const std::string p =
        (std::filesystem::temp_directory_path() / "zumorika-bench-JWC_TEMP.TXT").string();
    const std::string bytes = MakeExchangeFile();
    UniqueFile out = OpenFile(p, "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size() ||
        !CloseFileChecked(std::move(out)))
      std::abort();
    return p;
  }();
  return path;
}

void BM_BareLineReading(benchmark::State& state) {
  const std::string& path = BenchFile();
  int64_t lines = 0;
  for (auto _ : state) {
    UniqueFile file = OpenFile(path, "rb");
    int64_t count = 0;
    ReadJwcLines(file.get(), [&count](std::string_view line) {
      benchmark::DoNotOptimize(line.data());
      ++count;
    });
    lines = count;
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_BareLineReading)->Unit(benchmark::kMillisecond);

void BM_LoadJwcTemp(benchmark::State& state) {
  const std::string& path = BenchFile();
  for (auto _ : state) {
    ResetJwcState();
    if (!LoadJwcTemp(path)) state.SkipWithError("read failed");
  }
  state.counters["elements"] = static_cast<double>(JwcState.ElementOrder.size());
  ReleaseJwcState();
}
BENCHMARK(BM_LoadJwcTemp)->Unit(benchmark::kMillisecond);

// Prints the ratio of the two after the usual table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration)
        times_[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto bare = times_.find("BM_BareLineReading");
    const auto full = times_.find("BM_LoadJwcTemp");
    if (bare == times_.end() || full == times_.end()) return;
    // CPU time too: on a busy machine the wall-clock figures wander.
    const auto [bareReal, bareCpu] = bare->second;
    const auto [fullReal, fullCpu] = full->second;
    if (bareReal > 0 && bareCpu > 0)
      std::printf(
          "exchange reader LoadJwcTemp / bare line reading, wall clock (%.2f ms / %.2f ms) "
          "ratio %.2f\n"
          "exchange reader LoadJwcTemp / bare line reading, CPU time (%.2f ms / %.2f ms) "
          "ratio %.2f\n",
          fullReal, bareReal, fullReal / bareReal, fullCpu, bareCpu, fullCpu / bareCpu);
  }

 private:
  std::map<std::string, std::pair<double, double>> times_;  // real, CPU
};

}  // namespace
}  // namespace zumorika

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zumorika::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove(zumorika::BenchFile(), ignored);
  return 0;
}
