#pragma once
// The tuning lab's results: the table on the terminal and the HTML report.
#include "tune_lab.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qm::tune {

struct TuneSummary {
  std::string settings;
  float threshold;
  std::uint32_t trials;
  std::uint32_t cap;
  LabFigures figures;
};

struct Stats {
  bool any = false;       // at least one trial ended within the cap
  double mean = 0;        // of the trials that ended
  std::uint32_t p10 = kNever, p50 = kNever, p90 = kNever;  // kNever: beyond the cap
  std::size_t never = 0;  // trials in which it did not happen
};

Stats Summarise(const std::vector<std::uint32_t>& samples);

void PrintTable(std::FILE* out, const std::vector<Case>& cases, const TuneSummary& summary);
// "N hit events and M update events in S s: ... million hits per second ...".
std::string HitsPerSecond(const LabFigures& figures);

struct PlotLibrary;

bool WriteTuneReport(const std::string& path, const PlotLibrary& library, const std::vector<Case>& cases,
                     const TuneSummary& summary);

// A and B overlaid in every plot.
bool WriteCompareReport(const std::string& path, const PlotLibrary& library, const std::vector<Case>& casesA, const TuneSummary& summaryA,
                        const std::vector<Case>& casesB, const TuneSummary& summaryB);

}  // namespace qm::tune
