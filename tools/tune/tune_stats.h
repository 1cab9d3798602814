#pragma once
// The summary of a case's trials, shared by the table, the plots, the
// comparison and the players' table.
#include "tune_lab.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm::tune {

struct Stats {
  bool any = false;                                        // at least one trial ended within the cap
  double mean = 0;                                         // of the trials that ended
  std::uint32_t p10 = kNever, p50 = kNever, p90 = kNever;  // kNever: beyond the cap
  std::size_t never = 0;                                   // trials in which it did not happen
};

Stats Summarise(const std::vector<std::uint32_t>& samples);

}  // namespace qm::tune
