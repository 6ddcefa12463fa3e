// Ratios printed after a benchmark run: how much longer one benchmark takes than another.
#pragma once

#include <string>
#include <vector>

struct BenchRatio {
  std::string label;
  std::string subject;   // benchmark name
  std::string baseline;  // benchmark name
};

std::vector<BenchRatio>& BenchRatios();

// Declares a ratio at namespace scope: `const RatioOf kName("label", "BM_A", "BM_B");`
struct RatioOf {
  RatioOf(std::string label, std::string subject, std::string baseline) {
    BenchRatios().push_back({std::move(label), std::move(subject), std::move(baseline)});
  }
};
