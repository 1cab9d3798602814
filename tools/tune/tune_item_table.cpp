#include "tune_item_table.h"

#include "tune_stats.h"

#include <cstdio>

namespace qm::tune {
namespace {

struct TableItem {
  const char* name;
  int category;  // index into kCategoryNames
  bool shield;
};

constexpr TableItem kItems[] = {
    {"sword", 0, false},         {"greatsword", 4, false},   {"bow", 7, false},
    {"heavy armour", 10, false}, {"light armour", 9, false}, {"shield (heavy)", 10, true},
};
constexpr ActorKind kActors[] = {ActorKind::Player, ActorKind::Follower};
constexpr double kFineTemper = 1.1;

std::string HitsText(std::uint32_t hits) { return hits == kNever ? "never" : std::to_string(hits); }

// "median (p10 to p90)", or "never" when no trial got there within the cap.
std::string CellText(const std::vector<std::uint32_t>& samples) {
  const Stats s = Summarise(samples);
  if (!s.any) return "never";
  return HitsText(s.p50) + " (" + HitsText(s.p10) + " to " + HitsText(s.p90) + ")";
}

}  // namespace

int ItemTableCommand(const std::vector<std::string>& presets, const RunSetup& setup) {
  std::vector<std::string> names, texts;
  for (const std::string& preset : presets) {
    const std::size_t equals = preset.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == preset.size()) {
      std::fprintf(stderr, "qm tune: --item-table takes NAME=FILE, not \"%s\"\n", preset.c_str());
      return 2;
    }
    names.push_back(preset.substr(0, equals));
    texts.push_back(SimulationSettings(preset.substr(equals + 1), {}));
  }
  std::vector<JobSpec> specs;
  for (const TableItem& item : kItems) {
    for (ActorKind actor : kActors) specs.push_back({item.category, actor, false, {kFineTemper}, item.shield});
  }
  std::vector<LabRun> runs;
  std::string error;
  if (!RunLabs(texts, specs, setup, runs, error)) {
    std::fprintf(stderr, "qm tune: %s\n", error.c_str());
    return 2;
  }
  std::printf(
      "| Preset | Item | Player: worn out | Player: broken | Follower: worn out | Follower: broken |\n"
      "|---|---|---|---|---|---|\n");
  int failures = 0;
  for (std::size_t p = 0; p < runs.size(); ++p) {
    const LabRun& run = runs[p];
    if (run.degradationOff) {
      std::fprintf(stderr, "qm tune: %s turns degradation off: no item is ever worn\n", names[p].c_str());
      ++failures;
      continue;
    }
    failures += run.violations == 0 ? 0 : 1;
    // The cases come in the order of the specs: per item, the player's then the follower's.
    for (std::size_t i = 0; i < std::size(kItems); ++i) {
      const Case& player = run.cases[i * 2];
      const Case& follower = run.cases[i * 2 + 1];
      std::printf("| %s | %s | %s | %s | %s | %s |\n", names[p].c_str(), kItems[i].name,
                  CellText(player.hitsToWornOut).c_str(), CellText(player.hitsToBreak).c_str(),
                  CellText(follower.hitsToWornOut).c_str(), CellText(follower.hitsToBreak).c_str());
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace qm::tune
