#pragma once
// Two settings side by side: what changed in each case, and whether the
// change lies beyond run-to-run noise.
#include "tune_run.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qm::tune {

// The change of the median from A to B with a 95% interval from a
// percentile bootstrap (A and B resampled apart, 1000 times, from a fixed
// seed). Trials that never got there count as one hit past the cap.
struct MedianChange {
  bool identical = false;    // the same samples: nothing changed at all
  double change = 0;         // median of B minus median of A
  double low = 0, high = 0;  // the interval of the change
  bool beyondNoise = false;  // the interval leaves out 0
};

MedianChange CompareMedians(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, std::uint32_t cap,
                            std::uint32_t seed);

struct ComparisonLabels {
  std::string a, b;
  std::uint32_t trials = 0;
  std::uint32_t cap = 0;
};

// Prints every case, a changed one side by side, one that did not change in
// one line; returns how many cases changed beyond noise.
std::size_t PrintComparison(std::FILE* out, const LabRun& a, const LabRun& b, const ComparisonLabels& labels);

}  // namespace qm::tune
