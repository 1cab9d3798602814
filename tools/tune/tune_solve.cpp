#include "tune_solve.h"

#include "tune_targets.h"

#include "config/settings_table.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>

namespace qm::tune {
namespace {

constexpr int kRounds = 4;  // passes over the targets: keys shared between targets settle
constexpr int kSteps = 24;  // bisection steps per key and pass

std::string Format(double value, bool integer) {
  char text[64];
  if (integer) std::snprintf(text, sizeof text, "%lld", static_cast<long long>(std::llround(value)));
  else std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

std::string ValueText(double value) {
  if (std::isinf(value)) return "never (beyond the cap)";
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

JobSpec SpecOf(const Target& target) {
  return {target.category, target.actor, target.powerAttack, {target.startHealth}};
}

class Solver {
 public:
  Solver(const std::string& settingsPath, std::vector<Target> targets, std::vector<VaryKey> keys, const RunSetup& setup)
      : settingsPath_(settingsPath), targets_(std::move(targets)), keys_(std::move(keys)), setup_(setup) {}

  // The targets' values with the keys at `values`, on the run's seeds (or
  // fresh ones); false when the lab failed.
  bool Evaluate(const std::vector<double>& values, const std::vector<std::size_t>& which, std::uint32_t seed,
                std::vector<double>& out, std::vector<std::pair<double, double>>* noise = nullptr) {
    std::vector<SettingOverride> overrides;
    for (std::size_t k = 0; k < keys_.size(); ++k) {
      overrides.push_back({keys_[k].section, keys_[k].key, Format(values[k], keys_[k].integer)});
    }
    std::vector<JobSpec> specs;
    for (std::size_t t : which) specs.push_back(SpecOf(targets_[t]));
    RunSetup setup = setup_;
    setup.seed = seed;
    setup.pool.showProgress = false;
    std::vector<LabRun> runs;
    if (!RunLabs({SimulationSettings(settingsPath_, overrides)}, specs, setup, runs, error_)) return false;
    out.clear();
    for (std::size_t i = 0; i < which.size(); ++i) {
      const Target& target = targets_[which[i]];
      const Case& c = runs[0].cases[i];
      const auto& samples = target.breaking ? c.hitsToBreak : c.hitsToWornOut;
      out.push_back(TargetValue(target, samples));
      if (noise != nullptr) {
        noise->emplace_back();
        TargetInterval(target, samples, noise->back().first, noise->back().second);
      }
    }
    threshold_ = runs[0].threshold;
    if (runs[0].degradationOff) {
      error_ = "the settings turn degradation off (DisableDegradation=true): no target can be reached";
      return false;
    }
    return true;
  }

  int Run() {
    std::printf("Solving %zu target(s) with %zu key(s), %u trials per evaluation on seed %u.\n", targets_.size(),
                keys_.size(), setup_.pool.trials, setup_.seed);
    // Each target is steered by one key of its own: the most specific one
    // that moves it (its category's chance for breaking, its category's rate
    // for wear), targets with fewer choices first.
    std::vector<int> keyOf(targets_.size(), -1);
    std::vector<bool> taken(keys_.size(), false);
    std::vector<std::size_t> order(targets_.size());
    for (std::size_t t = 0; t < order.size(); ++t) order[t] = t;
    const auto choices = [&](std::size_t t) {
      std::size_t n = 0;
      for (const VaryKey& key : keys_) n += KeyMovesTarget(key, targets_[t]) ? 1 : 0;
      return n;
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return choices(x) < choices(y); });
    for (std::size_t t : order) {
      int best = -1, bestRank = 99;
      for (std::size_t k = 0; k < keys_.size(); ++k) {
        if (taken[k] || !KeyMovesTarget(keys_[k], targets_[t])) continue;
        const VaryKey& key = keys_[k];
        const bool own = key.section != config::NameOf(config::Section::Degradation) &&
                         key.key.find("multiplier") == std::string::npos;
        const bool matching = (key.section == config::NameOf(config::Section::BreakChance)) == targets_[t].breaking;
        const int rank = own && matching ? 0 : own ? 1 : matching ? 2 : 3;
        if (rank < bestRank) {
          best = static_cast<int>(k);
          bestRank = rank;
        }
      }
      keyOf[t] = best;
      if (best >= 0) taken[static_cast<std::size_t>(best)] = true;
    }

    std::vector<double> values(keys_.size());
    std::vector<std::string> verdicts(targets_.size());
    for (std::size_t k = 0; k < keys_.size(); ++k) {
      values[k] = keys_[k].integer ? keys_[k].low : std::sqrt(keys_[k].low * keys_[k].high);
    }
    for (std::size_t t = 0; t < targets_.size(); ++t) {
      if (keyOf[t] >= 0) continue;
      bool moved = false;
      for (const VaryKey& key : keys_) moved = moved || KeyMovesTarget(key, targets_[t]);
      verdicts[t] = moved ? "cannot be steered: every key that moves it already steers another target; give one more"
                          : std::string("cannot be reached: no key of --vary changes it (") +
                                (targets_[t].breaking ? "hits until broken follow the category's BreakChance and "
                                                        "DegradationRate keys and their multipliers"
                                                      : "hits until worn out follow the category's DegradationRate "
                                                        "key, its multipliers and EquipmentHealthThreshold") +
                                ")";
    }
    for (int round = 0; round < kRounds; ++round) {
      for (std::size_t t = 0; t < targets_.size(); ++t) {
        if (keyOf[t] < 0 || (!verdicts[t].empty() && round > 0)) continue;
        if (!SearchKey(t, static_cast<std::size_t>(keyOf[t]), values, verdicts[t])) return Failed();
      }
      std::vector<std::size_t> all(targets_.size());
      for (std::size_t t = 0; t < all.size(); ++t) all[t] = t;
      std::vector<double> now;
      if (!Evaluate(values, all, setup_.seed, now)) return Failed();
      bool allMet = true;
      for (std::size_t t = 0; t < targets_.size(); ++t) {
        allMet = allMet && (!verdicts[t].empty() || (now[t] >= targets_[t].low && now[t] <= targets_[t].high));
      }
      if (allMet) break;
    }

    std::printf("\nSettings to paste into Quellmark.ini:\n");
    std::map<std::string, std::vector<std::size_t>> bySection;
    for (std::size_t k = 0; k < keys_.size(); ++k) bySection[keys_[k].section].push_back(k);
    for (const auto& [section, members] : bySection) {
      std::printf("[%s]\n", section.c_str());
      for (std::size_t k : members) {
        const std::string name = keys_[k].name.substr(keys_[k].name.find('.') + 1);
        std::printf("%s=%s\n", name.c_str(), Format(values[k], keys_[k].integer).c_str());
      }
    }

    // The check: the same settings on seeds the search never saw.
    const std::uint32_t freshSeed = setup_.seed ^ 0x5EEDF00Du;
    std::vector<std::size_t> all(targets_.size());
    for (std::size_t t = 0; t < all.size(); ++t) all[t] = t;
    std::vector<double> check;
    std::vector<std::pair<double, double>> noise;
    if (!Evaluate(values, all, freshSeed, check, &noise)) return Failed();
    std::printf(
        "\nCheck on fresh seeds (seed %u), %u trials per case; in brackets the 95%% bootstrap interval of\n"
        "the figure, i.e. how far it moves from run to run:\n",
        freshSeed, setup_.pool.trials);
    int missed = 0;
    for (std::size_t t = 0; t < targets_.size(); ++t) {
      const Target& target = targets_[t];
      const bool met = check[t] >= target.low && check[t] <= target.high;
      const bool withinNoise = !met && verdicts[t].empty() && noise[t].first <= target.high &&
                               noise[t].second >= target.low;
      std::printf("  %s\n      %s: %s [%s, %s]", target.text.c_str(),
                  met           ? "reached"
                  : withinNoise ? "within run-to-run noise of the target"
                                : "NOT reached",
                  ValueText(check[t]).c_str(), ValueText(noise[t].first).c_str(), ValueText(noise[t].second).c_str());
      if (std::isfinite(check[t]) && target.goal > 0) {
        std::printf(", %+.1f%% from %g", 100.0 * (check[t] - target.goal) / target.goal, target.goal);
        if (target.low != target.high) std::printf(" (range %g to %g)", target.low, target.high);
      }
      std::printf("\n");
      if (!verdicts[t].empty()) std::printf("      %s\n", verdicts[t].c_str());
      if (withinNoise) std::printf("      more --trials narrow the noise and bring the search closer\n");
      missed += met || withinNoise ? 0 : 1;
    }
    return missed == 0 ? 0 : 1;
  }

 private:
  int Failed() {
    std::fprintf(stderr, "qm tune: %s\n", error_.c_str());
    return 2;
  }

  // Bisects key k for target t with the other keys fixed; more of the key
  // means fewer hits. Sets `verdict` when the target lies outside what the
  // key's range can give.
  bool SearchKey(std::size_t t, std::size_t k, std::vector<double>& values, std::string& verdict) {
    const Target& target = targets_[t];
    const VaryKey& key = keys_[k];
    const auto at = [&](double x, double& result) {
      std::vector<double> trial = values;
      trial[k] = x;
      std::vector<double> out;
      if (!Evaluate(trial, {t}, setup_.seed, out)) return false;
      result = out[0];
      if (setup_.pool.showProgress) {  // a search takes a few dozen runs: say where it is
        std::fprintf(stderr, "solve: %s: %s=%s gives %s\n", target.text.c_str(), key.name.c_str(),
                     Format(x, key.integer).c_str(), ValueText(result).c_str());
      }
      return true;
    };
    double most = 0, least = 0;  // hits at the top and at the bottom of the range
    if (!at(key.high, most) || !at(key.low, least)) return false;
    if (!target.breaking && target.startHealth <= threshold_) {
      values[k] = key.low;
      char health[64];
      std::snprintf(health, sizeof health, "%.2f is at or below the threshold %.3f", target.startHealth,
                    static_cast<double>(threshold_));
      verdict = std::string("cannot be reached: the item starts worn out (health ") + health + "), so it takes 0 hits";
      return true;
    }
    if (most > target.high) {
      values[k] = key.high;
      verdict = "cannot be reached with " + key.name + " up to " + Format(key.high, key.integer) +
                ": even there it is " + ValueText(most) + " hits, more than " + Format(target.high, false) +
                (std::isinf(most) ? " (at this cap it never happens: the settings give it no chance)" : "") +
                (target.breaking && key.section == config::NameOf(config::Section::BreakChance)
                     ? std::string("; an item makes its break roll only once worn out, so the hits until then come "
                                   "first: let DegradationRate.") +
                           kCategoryNames[target.category] + " vary too"
                     : std::string());
      return true;
    }
    if (least < target.low) {
      values[k] = key.low;
      verdict = "cannot be reached with " + key.name + " down to " + Format(key.low, key.integer) +
                ": even there it is " + ValueText(least) + " hits, fewer than " + Format(target.low, false);
      return true;
    }
    // Continuous keys are searched on a log scale: hits go roughly as the
    // inverse of a rate or chance.
    double lo = key.integer ? key.low : std::log(key.low), hi = key.integer ? key.high : std::log(key.high);
    const auto toValue = [&](double u) { return key.integer ? std::round(u) : std::exp(u); };
    double best = toValue(lo), bestMiss = INFINITY;
    for (int step = 0; step < kSteps; ++step) {
      const double mid = (lo + hi) / 2;
      const double x = toValue(mid);
      double hits = 0;
      if (!at(x, hits)) return false;
      const double miss = std::fabs(hits - target.goal);
      if (miss < bestMiss) {
        bestMiss = miss;
        best = x;
      }
      if (hits > target.goal) lo = mid;  // too many hits: more wear
      else hi = mid;
      const bool inRange = hits >= target.low && hits <= target.high;
      if (inRange && miss <= (target.high - target.low) / 4) break;
      if (key.integer && hi - lo < 1) break;
    }
    values[k] = best;
    verdict.clear();
    return true;
  }

  std::string settingsPath_;
  std::vector<Target> targets_;
  std::vector<VaryKey> keys_;
  RunSetup setup_;
  std::string error_;
  float threshold_ = 1.0f;
};

}  // namespace

int SolveCommand(const std::string& settingsPath, const std::vector<std::string>& targetTexts,
                 const std::string& targetsFile, const std::string& varyText, const RunSetup& setup) {
  std::vector<std::string> texts = targetTexts;
  if (!targetsFile.empty()) {
    std::ifstream in(targetsFile, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "qm tune: cannot read the targets file \"%s\"\n", targetsFile.c_str());
      return 2;
    }
    for (std::string line; std::getline(in, line);) {
      const std::size_t hash = line.find('#');
      if (hash != std::string::npos) line.resize(hash);
      line.erase(line.find_last_not_of(" \t\r") + 1);
      if (!line.empty()) texts.push_back(line);
    }
  }
  std::string error;
  std::vector<Target> targets;
  for (const std::string& text : texts) {
    Target target;
    if (!ParseTarget(text, target, error)) {
      std::fprintf(stderr, "qm tune: %s\n", error.c_str());
      return 2;
    }
    targets.push_back(target);
  }
  if (targets.empty()) {
    std::fprintf(stderr, "qm tune: --vary needs at least one --target or a --targets file\n");
    return 2;
  }
  std::vector<VaryKey> keys;
  if (varyText.empty()) {
    std::fprintf(stderr, "qm tune: targets need --vary with the keys that may change\n");
    return 2;
  }
  if (!ParseVaryKeys(varyText, keys, error)) {
    std::fprintf(stderr, "qm tune: %s\n", error.c_str());
    return 2;
  }
  return Solver(settingsPath, std::move(targets), std::move(keys), setup).Run();
}

}  // namespace qm::tune
