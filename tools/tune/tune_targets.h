#pragma once
// What an author asks the solver for: targets on the lab's figures, and the
// settings it may change to reach them.
#include "tune_lab.h"

#include <string>
#include <vector>

namespace qm::tune {

enum class Statistic { Mean, P10, P50, P90 };

// "WeaponSword break p50 = 300 from 1.1", "HeavyArmor worn p50 between 150
// and 200 from 1.3 for player power": reached when the statistic of the case
// lies in [low, high].
struct Target {
  std::string text;
  int category = 0;
  bool breaking = false;  // hits until broken, else until worn out
  Statistic statistic = Statistic::P50;
  double low = 0, high = 0, goal = 0;
  double startHealth = 1.0;
  ActorKind actor = ActorKind::Player;
  bool powerAttack = false;
};

bool ParseTarget(const std::string& text, Target& target, std::string& error);

// A setting the solver may change, with the range it may take.
struct VaryKey {
  std::string section;  // DegradationRate, BreakChance or Degradation
  std::string key;      // lower case
  std::string name;     // as the author wrote it
  double low = 0, high = 0;
  bool integer = false;  // equipmenthealththreshold
};

bool ParseVaryKeys(const std::string& text, std::vector<VaryKey>& keys, std::string& error);

// Whether more of the key means fewer hits for the target (the relation the
// search relies on), and whether the key changes the target at all.
bool KeyMovesTarget(const VaryKey& key, const Target& target);

// The target's statistic of the samples; trials that never got there count
// as infinitely many hits.
double TargetValue(const Target& target, const std::vector<std::uint32_t>& samples);

// A 95% interval of the target's statistic from a percentile bootstrap of
// the samples (1000 resamples, fixed seed): the run-to-run noise around it.
void TargetInterval(const Target& target, const std::vector<std::uint32_t>& samples, double& low, double& high);

}  // namespace qm::tune
