#pragma once
// The tuning lab's results: the table on the terminal and the HTML report.
#include "tune_lab.h"
#include "tune_stats.h"

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

void PrintTable(std::FILE* out, const std::vector<Case>& cases, const TuneSummary& summary);
// "N hit events and M update events in S s: ... million hits per second ...".
std::string HitsPerSecond(const LabFigures& figures);

struct PlotLibrary;

bool WriteTuneReport(const std::string& path, const PlotLibrary& library, const std::vector<Case>& cases,
                     const TuneSummary& summary);

// A and B overlaid in every plot.
bool WriteCompareReport(const std::string& path, const PlotLibrary& library, const std::vector<Case>& casesA,
                        const TuneSummary& summaryA, const std::vector<Case>& casesB, const TuneSummary& summaryB);

}  // namespace qm::tune
