#include "tune_stats.h"

#include <algorithm>

namespace qm::tune {

Stats Summarise(const std::vector<std::uint32_t>& samples) {
  Stats s;
  std::vector<std::uint32_t> sorted = samples;
  std::sort(sorted.begin(), sorted.end());  // kNever sorts last
  double sum = 0;
  std::size_t ended = 0;
  for (std::uint32_t v : sorted) {
    if (v == kNever) {
      ++s.never;
    } else {
      sum += v;
      ++ended;
    }
  }
  if (sorted.empty() || ended == 0) return s;
  s.any = true;
  s.mean = sum / static_cast<double>(ended);
  // Nearest rank: the smallest sample with at least q of the samples at or below it.
  const auto rank = [&](double q) {
    std::size_t index = static_cast<std::size_t>(q * static_cast<double>(sorted.size()) + 0.999999);
    index = std::clamp<std::size_t>(index, 1, sorted.size());
    return sorted[index - 1];
  };
  s.p10 = rank(0.10);
  s.p50 = rank(0.50);
  s.p90 = rank(0.90);
  return s;
}

}  // namespace qm::tune
