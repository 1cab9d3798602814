#pragma once
// The tuning lab: a Monte Carlo of item wear through the real engine in the
// game double. For every category, starting health, kind of actor and kind
// of attack, items are hit until they are worn out (health at or below the
// threshold) and until they break.
#include "world.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qm::tune {

inline constexpr int kCategoryCount = 13;
extern const char* const kCategoryNames[kCategoryCount];  // "WeaponSword", ...
inline constexpr double kStartHealths[] = {1.0, 1.1, 1.3, 1.6};
enum class ActorKind { Player, Follower, Other };
const char* ActorKindName(ActorKind kind);

// What the settings make of one case, read back from the plug-in's log.
struct CaseTerms {
  bool wears = false;   // a degradation rate above 0
  bool breaks = false;  // a break chance above 0
};

struct Case {
  int category = 0;
  double startHealth = 1.0;
  ActorKind actor = ActorKind::Player;
  bool powerAttack = false;
  // A heavy shield in place of the category's item (HeavyArmor), worn by the
  // hits it blocks.
  bool shield = false;
  CaseTerms terms;
  // One sample per trial; kNever when it did not happen within the cap.
  std::vector<std::uint32_t> hitsToWornOut;
  std::vector<std::uint32_t> hitsToBreak;
};
inline constexpr std::uint32_t kNever = 0xFFFFFFFFu;

struct LabOptions {
  std::uint32_t trials = 200;     // per case
  std::uint32_t hitCap = 100000;  // hits per trial before giving up
  std::uint32_t lanes = 48;       // followers and other actors worn side by side, per kind
  float threshold = 1.0f;
  std::function<void(double done, std::uint64_t hits, double seconds)> progress;
};

struct LabFigures {
  std::uint64_t hitEvents = 0;     // hit events sent
  std::uint64_t updateEvents = 0;  // update events sent to clear the recent hits
  double seconds = 0;              // wall-clock time of the hits and updates
  double cpuSeconds = 0;           // processor time this process used meanwhile
};

// Builds the lab's actors and records in the world; the plug-in must be
// loaded and started afterwards, before Run.
class Lab {
 public:
  explicit Lab(gd::World& world);
  ~Lab();
  void Build(std::uint32_t lanes);
  LabFigures Run(std::vector<Case>& cases, const LabOptions& options);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace qm::tune
