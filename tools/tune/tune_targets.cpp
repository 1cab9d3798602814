#include "tune_targets.h"

#include "config/settings_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>

namespace qm::tune {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool ReadReal(const std::string& word, double& value) {
  char* end = nullptr;
  value = std::strtod(word.c_str(), &end);
  return !word.empty() && *end == '\0' && std::isfinite(value);
}

int CategoryIndex(const std::string& name) {
  for (int c = 0; c < kCategoryCount; ++c) {
    if (Lower(kCategoryNames[c]) == Lower(name)) return c;
  }
  return -1;
}

bool IsMultiplier(const std::string& key) {
  for (config::Setting multiplier : {config::Setting::RatePowerAttackMultiplier,
                                     config::Setting::RateFollowerMultiplier, config::Setting::RateNpcMultiplier}) {
    if (key == config::InfoOf(multiplier).key) return true;
  }
  return false;
}

}  // namespace

bool ParseTarget(const std::string& text, Target& target, std::string& error) {
  std::string spaced;
  for (const char c : text) spaced += c == '=' ? std::string(" = ") : std::string(1, c);
  std::istringstream in(spaced);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  target = Target{};
  target.text = text;
  std::size_t at = 0;
  const auto next = [&]() { return at < words.size() ? Lower(words[at++]) : std::string(); };
  const auto fail = [&](const std::string& what) {
    error = "target \"" + text + "\": " + what;
    return false;
  };
  const std::string category = at < words.size() ? words[at++] : "";
  target.category = CategoryIndex(category);
  if (target.category < 0) return fail("\"" + category + "\" is no category (WeaponSword, ..., DefaultArmor)");
  std::string measure = next();
  if (measure == "worn" && at < words.size() && Lower(words[at]) == "out") ++at;
  if (measure != "worn" && measure != "break" && measure != "broken")
    return fail("say worn or break after the category");
  target.breaking = measure != "worn";
  const std::string statistic = next();
  if (statistic == "mean") target.statistic = Statistic::Mean;
  else if (statistic == "p10") target.statistic = Statistic::P10;
  else if (statistic == "p50" || statistic == "median") target.statistic = Statistic::P50;
  else if (statistic == "p90") target.statistic = Statistic::P90;
  else return fail("the statistic is mean, p10, p50 or p90, not \"" + statistic + "\"");
  const std::string relation = next();
  if (relation == "=") {
    double goal = 0, tolerance = 5;
    if (!ReadReal(next(), goal) || goal < 0) return fail("a number of hits must follow =");
    if (at < words.size() && Lower(words[at]) == "within") {
      ++at;
      std::string percent = next();
      if (!percent.empty() && percent.back() == '%') percent.pop_back();
      if (!ReadReal(percent, tolerance) || tolerance < 0 || tolerance > 100) return fail("within takes a percentage");
    }
    target.goal = goal;
    target.low = goal * (1 - tolerance / 100);
    target.high = goal * (1 + tolerance / 100);
  } else if (relation == "between") {
    if (!ReadReal(next(), target.low) || next() != "and" || !ReadReal(next(), target.high) || target.low < 0 ||
        target.high < target.low) {
      return fail("write between LOW and HIGH, with LOW at most HIGH");
    }
    target.goal = (target.low + target.high) / 2;
  } else {
    return fail("= HITS or between LOW and HIGH must follow the statistic");
  }
  while (at < words.size()) {
    const std::string word = next();
    if (word == "from") {
      if (!ReadReal(next(), target.startHealth) || target.startHealth < 1.0 || target.startHealth > 100.0) {
        return fail("from takes a starting health from 1.0 to 100");
      }
    } else if (word == "for") {
      std::string actor = next();
      if (actor == "the") actor = next();
      if (actor == "player") target.actor = ActorKind::Player;
      else if (actor == "follower") target.actor = ActorKind::Follower;
      else if (actor == "other" || actor == "npc") target.actor = ActorKind::Other;
      else return fail("for takes player, follower or other");
      if (actor == "other" && at < words.size() && Lower(words[at]) == "actor") ++at;
    } else if (word == "power" || word == "power-attack" || word == "power-attacks") {
      target.powerAttack = true;
      if (at < words.size() && (Lower(words[at]) == "attack" || Lower(words[at]) == "attacks")) ++at;
    } else {
      return fail("unexpected \"" + word + "\"");
    }
  }
  return true;
}

bool ParseVaryKeys(const std::string& text, std::vector<VaryKey>& keys, std::string& error) {
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    item.erase(0, item.find_first_not_of(" \t"));
    item.erase(item.find_last_not_of(" \t") + 1);
    if (item.empty()) continue;
    VaryKey key;
    std::string range;
    const std::size_t equals = item.find('=');
    if (equals != std::string::npos) {
      range = item.substr(equals + 1);
      item.resize(equals);
    }
    key.name = item;
    const std::size_t dot = item.find('.');
    const std::string section = Lower(dot == std::string::npos ? "" : item.substr(0, dot));
    key.key = Lower(dot == std::string::npos ? item : item.substr(dot + 1));
    const std::string rates = config::NameOf(config::Section::DegradationRate);
    const std::string chances = config::NameOf(config::Section::BreakChance);
    const config::SettingInfo& threshold = config::InfoOf(config::Setting::EquipmentHealthThreshold);
    if ((section == "" || section == Lower(config::NameOf(threshold.section))) && key.key == threshold.key) {
      key.section = config::NameOf(threshold.section);
    } else if ((section == Lower(rates) || section == Lower(chances)) &&
               (CategoryIndex(key.key) >= 0 || IsMultiplier(key.key))) {
      key.section = section == Lower(rates) ? rates : chances;
    } else {
      error = "--vary: \"" + item +
              "\" is not a key the solver can change (DegradationRate.KEY or BreakChance.KEY with a category "
              "or a multiplier, or EquipmentHealthThreshold)";
      return false;
    }
    key.integer = key.section == config::NameOf(config::Section::Degradation);
    key.low = key.integer ? 0 : 0.0001;
    key.high = key.integer ? 999 : key.section == config::NameOf(config::Section::BreakChance) ? 100 : 1000;
    if (!range.empty()) {
      const std::size_t colon = range.find(':');
      double low = 0, high = 0;
      if (colon == std::string::npos || !ReadReal(range.substr(0, colon), low) ||
          !ReadReal(range.substr(colon + 1), high) || low < 0 || high <= low || (key.integer && high > 2147483647.0)) {
        error = "--vary: the range of " + item + " reads LOW:HIGH, 0 <= LOW < HIGH";
        return false;
      }
      key.low = std::max(low, key.integer ? 0.0 : 1e-9);
      key.high = high;
    }
    for (const VaryKey& other : keys) {
      if (other.section == key.section && other.key == key.key) {
        error = "--vary: " + item + " is named twice";
        return false;
      }
    }
    keys.push_back(key);
  }
  if (keys.empty()) {
    error = "--vary names no key";
    return false;
  }
  return true;
}

bool KeyMovesTarget(const VaryKey& key, const Target& target) {
  if (key.section == config::NameOf(config::Section::Degradation))
    return !target.breaking;  // a higher threshold: worn out sooner
  if (key.section == config::NameOf(config::Section::BreakChance) && !target.breaking) return false;
  if (key.key == config::InfoOf(config::Setting::RatePowerAttackMultiplier).key) return target.powerAttack;
  if (key.key == config::InfoOf(config::Setting::RateFollowerMultiplier).key)
    return target.actor == ActorKind::Follower;
  if (key.key == config::InfoOf(config::Setting::RateNpcMultiplier).key) return target.actor == ActorKind::Other;
  return CategoryIndex(key.key) == target.category;
}

double TargetValue(const Target& target, const std::vector<std::uint32_t>& samples) {
  constexpr double kInfinite = std::numeric_limits<double>::infinity();
  if (samples.empty()) return kInfinite;
  std::vector<std::uint32_t> sorted = samples;
  std::sort(sorted.begin(), sorted.end());
  const auto value = [](std::uint32_t v) { return v == kNever ? kInfinite : static_cast<double>(v); };
  const auto rank = [&](double q) {
    std::size_t index = static_cast<std::size_t>(q * static_cast<double>(sorted.size()) + 0.999999);
    index = std::clamp<std::size_t>(index, 1, sorted.size());
    return value(sorted[index - 1]);
  };
  switch (target.statistic) {
    case Statistic::Mean: {
      double sum = 0;
      for (std::uint32_t v : sorted) sum += value(v);
      return sum / static_cast<double>(sorted.size());
    }
    case Statistic::P10: return rank(0.10);
    case Statistic::P50: return rank(0.50);
    case Statistic::P90: return rank(0.90);
  }
  return kInfinite;
}

}  // namespace qm::tune

namespace qm::tune {

void TargetInterval(const Target& target, const std::vector<std::uint32_t>& samples, double& low, double& high) {
  constexpr int kResamples = 1000;
  if (samples.empty()) {
    low = high = TargetValue(target, samples);
    return;
  }
  std::mt19937 random(12345);
  std::vector<double> values;
  std::vector<std::uint32_t> resample(samples.size());
  for (int r = 0; r < kResamples; ++r) {
    for (std::uint32_t& v : resample) v = samples[random() % samples.size()];
    values.push_back(TargetValue(target, resample));
  }
  std::sort(values.begin(), values.end());
  low = values[kResamples * 25 / 1000];
  high = values[kResamples * 975 / 1000 - 1];
}

}  // namespace qm::tune
