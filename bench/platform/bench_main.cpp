// Runs the benchmarks with the console reporter, then prints the registered ratios of
// CPU time per iteration (steadier than wall time on a shared machine).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench_ratio.h"

std::vector<BenchRatio>& BenchRatios() {
  static std::vector<BenchRatio> ratios;
  return ratios;
}

namespace {

class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        nanoseconds_[run.benchmark_name()] =
            run.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
            benchmark::GetTimeUnitMultiplier(run.time_unit);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  const std::map<std::string, double>& nanoseconds() const { return nanoseconds_; }

 private:
  std::map<std::string, double> nanoseconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto& times = reporter.nanoseconds();
  for (const BenchRatio& ratio : BenchRatios()) {
    auto subject = times.find(ratio.subject);
    auto baseline = times.find(ratio.baseline);
    if (subject == times.end() || baseline == times.end() || baseline->second <= 0)
      continue;
    std::printf("%-44s %10.0f ns / %10.0f ns = %.2fx\n", ratio.label.c_str(), subject->second,
                baseline->second, subject->second / baseline->second);
  }
  return 0;
}
