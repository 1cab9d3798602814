#include "tune_compare.h"

#include "tune_stats.h"

#include <algorithm>
#include <random>

namespace qm::tune {
namespace {

constexpr int kResamples = 1000;

std::uint32_t Median(std::vector<std::uint32_t>& values) {
  const std::size_t middle = (values.size() + 1) / 2 - 1;  // nearest rank, as the table's p50
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle), values.end());
  return values[middle];
}

std::string Count(std::uint32_t hits) { return hits == kNever ? "never" : std::to_string(hits); }

std::string StatsText(const Stats& s) {
  if (!s.any) return "never";
  char text[96];
  std::snprintf(text, sizeof text, "%.1f %s %s %s", s.mean, Count(s.p10).c_str(), Count(s.p50).c_str(),
                Count(s.p90).c_str());
  return text;
}

std::string ChangeText(const MedianChange& m, std::uint32_t cap) {
  char text[128];
  const auto bound = [cap](double v) {
    return v >= cap + 1.0      ? std::string("never")
           : v <= -(cap + 1.0) ? std::string("-never")
                               : std::to_string(static_cast<long long>(v));
  };
  std::snprintf(text, sizeof text, "%+lld [%s, %s]%s", static_cast<long long>(m.change), bound(m.low).c_str(),
                bound(m.high).c_str(), m.beyondNoise ? " *" : "");
  return text;
}

}  // namespace

MedianChange CompareMedians(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, std::uint32_t cap,
                            std::uint32_t seed) {
  MedianChange result;
  if (a == b || a.empty() || b.empty()) {
    result.identical = a == b;
    return result;
  }
  const auto clamp = [cap](std::vector<std::uint32_t> values) {
    for (std::uint32_t& v : values) v = std::min(v, cap + 1);
    return values;
  };
  const std::vector<std::uint32_t> ca = clamp(a), cb = clamp(b);
  std::vector<std::uint32_t> ra = ca, rb = cb;
  result.change = static_cast<double>(Median(rb)) - static_cast<double>(Median(ra));
  std::mt19937 random(seed);
  std::vector<double> changes;
  changes.reserve(kResamples);
  for (int r = 0; r < kResamples; ++r) {
    for (std::uint32_t& v : ra) v = ca[random() % ca.size()];
    for (std::uint32_t& v : rb) v = cb[random() % cb.size()];
    changes.push_back(static_cast<double>(Median(rb)) - static_cast<double>(Median(ra)));
  }
  std::sort(changes.begin(), changes.end());
  result.low = changes[kResamples * 25 / 1000];
  result.high = changes[kResamples * 975 / 1000 - 1];
  result.beyondNoise = result.low > 0 || result.high < 0;
  return result;
}

std::size_t PrintComparison(std::FILE* out, const LabRun& a, const LabRun& b, const ComparisonLabels& labels) {
  std::fprintf(out, "\nA: %s (threshold %.6f)\nB: %s (threshold %.6f)\n", labels.a.c_str(),
               static_cast<double>(a.threshold), labels.b.c_str(), static_cast<double>(b.threshold));
  std::fprintf(out,
               "Both on the same seeds, %u trials per case. Each measure: mean p10 p50 p90 of A and of B, then the\n"
               "change of the median (B - A) with its 95%% interval from a bootstrap (1000 resamples, fixed seed);\n"
               "* marks a change whose interval leaves out 0, i.e. beyond run-to-run noise.\n",
               labels.trials);
  std::size_t changed = 0;
  const char* lastGroup = nullptr;
  bool lastPower = false;
  for (std::size_t i = 0; i < a.cases.size() && i < b.cases.size(); ++i) {
    const Case& ca = a.cases[i];
    const Case& cb = b.cases[i];
    const char* group = ActorKindName(ca.actor);
    if (group != lastGroup || ca.powerAttack != lastPower) {
      std::fprintf(out, "\n%s, %s\n", group, ca.powerAttack ? "power attacks" : "ordinary attacks");
      lastGroup = group;
      lastPower = ca.powerAttack;
    }
    const std::uint32_t caseSeed = static_cast<std::uint32_t>(i) * 2654435761u;
    const MedianChange worn = CompareMedians(ca.hitsToWornOut, cb.hitsToWornOut, labels.cap, caseSeed);
    const MedianChange broke = CompareMedians(ca.hitsToBreak, cb.hitsToBreak, labels.cap, caseSeed + 1);
    const Stats wornA = Summarise(ca.hitsToWornOut), wornB = Summarise(cb.hitsToWornOut);
    const Stats breakA = Summarise(ca.hitsToBreak), breakB = Summarise(cb.hitsToBreak);
    if (!worn.beyondNoise && !broke.beyondNoise) {
      std::fprintf(out, "  %-16s %4.1f  %s  worn %s | break %s\n", kCategoryNames[ca.category], ca.startHealth,
                   worn.identical && broke.identical ? "unchanged:" : "no change beyond noise:",
                   StatsText(wornB).c_str(), StatsText(breakB).c_str());
      continue;
    }
    ++changed;
    std::fprintf(out, "  %-16s %4.1f  CHANGED\n", kCategoryNames[ca.category], ca.startHealth);
    std::fprintf(out, "      worn out:  A %-26s B %-26s p50 %s\n", StatsText(wornA).c_str(), StatsText(wornB).c_str(),
                 worn.identical ? "unchanged" : ChangeText(worn, labels.cap).c_str());
    std::fprintf(out, "      broken:    A %-26s B %-26s p50 %s\n", StatsText(breakA).c_str(), StatsText(breakB).c_str(),
                 broke.identical ? "unchanged" : ChangeText(broke, labels.cap).c_str());
  }
  std::fprintf(out, "\n%zu of %zu cases changed beyond run-to-run noise.\n", changed, a.cases.size());
  return changed;
}

}  // namespace qm::tune
