#pragma once
// What the runner notes after every step for the play-by-play and the
// report: the widget's rows whenever its movie received UpdateMenu, and the
// health of every named item.
#include "run_context.h"
#include "ui_world.h"

#include <optional>
#include <string>
#include <vector>

namespace qm::scenario {

struct HistoryPoint {
  std::string label;                         // the step's first trace line
  std::vector<std::optional<float>> health;  // by item index; nullopt: gone from its holder
};

// Kept per run, as a part of the world.
struct RunHistory : gd::WorldComponent {
  explicit RunHistory(gd::World&) {}
  std::vector<HistoryPoint> points;
  std::size_t invokesSeen = 0;
  std::vector<std::vector<std::string>> lastRows;  // the latest widget table
};

// Called by the runner after each step; traceStart is the trace's length
// before the step ran.
void WatchStep(RunContext& run, std::size_t traceStart);

// The widget's seven rows as a text table, from UpdateMenu's four arrays.
std::vector<std::vector<std::string>> WidgetRows(const std::vector<gd::RecordedValue>& args);

}  // namespace qm::scenario
