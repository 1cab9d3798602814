// The solver's input (targets and keys), the jobs' seeds and results as they
// travel between processes, and the merging of equal plot lines.
#include "tune_targets.h"
#include "tune_jobs.h"
#include "tune_plots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace qm::tune {
namespace {

TEST(TuneTargets, TheIssuesExamplesReadAsMeant) {
  Target t;
  std::string error;
  ASSERT_TRUE(ParseTarget("WeaponSword break p50 = 300 from 1.1", t, error)) << error;
  EXPECT_EQ(std::string(kCategoryNames[t.category]), "WeaponSword");
  EXPECT_TRUE(t.breaking);
  EXPECT_EQ(t.statistic, Statistic::P50);
  EXPECT_DOUBLE_EQ(t.goal, 300);
  EXPECT_DOUBLE_EQ(t.low, 285);  // 5% either side unless told
  EXPECT_DOUBLE_EQ(t.high, 315);
  EXPECT_DOUBLE_EQ(t.startHealth, 1.1);
  EXPECT_EQ(t.actor, ActorKind::Player);
  EXPECT_FALSE(t.powerAttack);

  ASSERT_TRUE(
      ParseTarget("heavyarmor worn out p90 between 150 and 200 from 1.3 for the follower power attacks", t, error))
      << error;
  EXPECT_FALSE(t.breaking);
  EXPECT_EQ(t.statistic, Statistic::P90);
  EXPECT_DOUBLE_EQ(t.low, 150);
  EXPECT_DOUBLE_EQ(t.high, 200);
  EXPECT_EQ(t.actor, ActorKind::Follower);
  EXPECT_TRUE(t.powerAttack);

  ASSERT_TRUE(ParseTarget("Clothing worn mean=40 within 10% for other actor", t, error)) << error;
  EXPECT_DOUBLE_EQ(t.low, 36);
  EXPECT_EQ(t.actor, ActorKind::Other);
}

TEST(TuneTargets, MalformedTargetsAndKeysAreRefusedWithTheReason) {
  Target t;
  std::string error;
  for (const char* bad : {"", "Sword break p50 = 3", "WeaponSword snap p50 = 3", "WeaponSword break p55 = 3",
                          "WeaponSword break p50 300", "WeaponSword break p50 between 9 and 3",
                          "WeaponSword break p50 = 3 from 0.5", "WeaponSword break p50 = 3 for dragons",
                          "WeaponSword break p50 = nan", "WeaponSword break p50 = 3 within 200%"}) {
    EXPECT_FALSE(ParseTarget(bad, t, error)) << bad;
    EXPECT_NE(error.find("target \""), std::string::npos) << bad;
  }
  std::vector<VaryKey> keys;
  EXPECT_FALSE(ParseVaryKeys("DegradationRate.Sword", keys, error));
  EXPECT_FALSE(ParseVaryKeys("Widget.Scale", keys, error));
  keys.clear();
  EXPECT_FALSE(ParseVaryKeys("BreakChance.WeaponSword,breakchance.weaponsword", keys, error));
  keys.clear();
  EXPECT_FALSE(ParseVaryKeys("BreakChance.WeaponSword=5:1", keys, error));
  keys.clear();
  EXPECT_FALSE(ParseVaryKeys(" , ", keys, error));
}

TEST(TuneTargets, KeysMoveOnlyTheTargetsTheyBearOn) {
  std::vector<VaryKey> keys;
  std::string error;
  ASSERT_TRUE(
      ParseVaryKeys("DegradationRate.WeaponSword,BreakChance.WeaponSword=0.5:50,"
                    "BreakChance.FollowerMultiplier,EquipmentHealthThreshold",
                    keys, error))
      << error;
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[1].section, "BreakChance");
  EXPECT_DOUBLE_EQ(keys[1].low, 0.5);
  EXPECT_DOUBLE_EQ(keys[1].high, 50);
  EXPECT_TRUE(keys[3].integer);
  Target breakSword, wornSword, followerBreak;
  ASSERT_TRUE(ParseTarget("WeaponSword break p50 = 30", breakSword, error));
  ASSERT_TRUE(ParseTarget("WeaponSword worn p50 = 30 from 1.6", wornSword, error));
  ASSERT_TRUE(ParseTarget("WeaponDagger break p50 = 30 for follower", followerBreak, error));
  EXPECT_TRUE(KeyMovesTarget(keys[0], breakSword));
  EXPECT_TRUE(KeyMovesTarget(keys[0], wornSword));
  EXPECT_FALSE(KeyMovesTarget(keys[0], followerBreak));
  EXPECT_TRUE(KeyMovesTarget(keys[1], breakSword));
  EXPECT_FALSE(KeyMovesTarget(keys[1], wornSword));  // a break chance does not wear
  EXPECT_TRUE(KeyMovesTarget(keys[2], followerBreak));
  EXPECT_FALSE(KeyMovesTarget(keys[2], breakSword));
  EXPECT_TRUE(KeyMovesTarget(keys[3], wornSword));
  EXPECT_FALSE(KeyMovesTarget(keys[3], breakSword));  // not monotone for breaking
}

TEST(TuneTargets, ValuesCountNeverAsInfinitelyMany) {
  Target t;
  std::string error;
  ASSERT_TRUE(ParseTarget("WeaponSword break p50 = 3", t, error));
  EXPECT_DOUBLE_EQ(TargetValue(t, {1, 2, 3, 4, 5}), 3);
  EXPECT_TRUE(std::isinf(TargetValue(t, {1, kNever, kNever})));
  t.statistic = Statistic::Mean;
  EXPECT_TRUE(std::isinf(TargetValue(t, {1, 2, kNever})));
  EXPECT_DOUBLE_EQ(TargetValue(t, {1, 2, 6}), 3);
  double low = 0, high = 0;
  TargetInterval(t, {10, 10, 10, 10}, low, high);
  EXPECT_DOUBLE_EQ(low, 10);
  EXPECT_DOUBLE_EQ(high, 10);
}

TEST(TuneJobs, SpecsAndResultsSurviveTheTripBetweenProcesses) {
  const JobSpec spec{10, ActorKind::Follower, true, {1.1, 1.6}};
  JobSpec read;
  ASSERT_TRUE(ParseJobSpec(JobSpecText(spec), read));
  EXPECT_EQ(read.category, 10);
  EXPECT_EQ(read.actor, ActorKind::Follower);
  EXPECT_TRUE(read.powerAttack);
  EXPECT_EQ(read.starts, spec.starts);
  EXPECT_FALSE(read.shield);
  JobSpec shield = spec;
  shield.shield = true;
  ASSERT_TRUE(ParseJobSpec(JobSpecText(shield), read));
  EXPECT_TRUE(read.shield);
  EXPECT_EQ(read.category, 10);
  for (const char* bad : {"", "13,0,0,1.0", "1,3,0,1.0", "1,0,2,1.0", "1,0,0", "1,0,0,0.5", "1,0,0,x"}) {
    EXPECT_FALSE(ParseJobSpec(bad, read)) << bad;
  }
  // Every job its own seed, the same on every run.
  std::vector<std::uint32_t> seeds;
  for (const JobSpec& s : AllJobSpecs()) seeds.push_back(JobSeed(5489, s));
  EXPECT_EQ(seeds.size(), 78u);
  std::sort(seeds.begin(), seeds.end());
  EXPECT_EQ(std::unique(seeds.begin(), seeds.end()), seeds.end());
  EXPECT_EQ(JobSeed(5489, spec), JobSeed(5489, spec));
  EXPECT_NE(JobSeed(5489, spec), JobSeed(5490, spec));
  EXPECT_EQ(std::find(seeds.begin(), seeds.end(), JobSeed(5489, shield)), seeds.end());

  JobResult result;
  result.threshold = 1.1f;
  result.figures.hitEvents = 12345;
  Case c;
  c.startHealth = 1.6;
  c.terms = {true, false};
  c.hitsToWornOut = {3, kNever, 0};
  c.hitsToBreak = {kNever, kNever, kNever};
  result.cases.push_back(c);
  const auto path = (std::filesystem::temp_directory_path() / "qm-tune-job-test.txt").string();
  ASSERT_TRUE(WriteJobResult(path, result));
  JobResult back;
  std::string error;
  ASSERT_TRUE(ReadJobResult(path, back, error)) << error;
  EXPECT_FLOAT_EQ(back.threshold, 1.1f);
  EXPECT_EQ(back.figures.hitEvents, 12345u);
  ASSERT_EQ(back.cases.size(), 1u);
  EXPECT_EQ(back.cases[0].hitsToWornOut, c.hitsToWornOut);
  EXPECT_EQ(back.cases[0].hitsToBreak, c.hitsToBreak);
  EXPECT_TRUE(back.cases[0].terms.wears);
  // A worker that died half-way leaves a file without its end.
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      << "threshold 1.1\noff 0\nviolations 0\nfigures 1 2 3 4\ncase 1.6 1 1\n2 5";
  EXPECT_FALSE(ReadJobResult(path, back, error));
  std::filesystem::remove(path);
}

TEST(TunePlots, EqualLinesMergeIntoOneCarryingEveryName) {
  PlotSeries a{"WeaponSword", 0, false, false, {1, 2}, {3, std::nullopt}, {5, 6}, {}};
  PlotSeries b = a;
  b.label = "WeaponDagger power";
  b.colour = 1;
  b.light = true;
  PlotSeries c = a;
  c.label = "WeaponMace";
  c.p90[0] = 7;  // differs in its band only
  const std::vector<PlotSeries> merged = MergeIdentical({a, b, c});
  ASSERT_EQ(merged.size(), 2u);
  EXPECT_EQ(merged[0].label, "WeaponSword, WeaponDagger power");
  EXPECT_EQ(merged[1].label, "WeaponMace");
  // The legend and the power switch still find both kinds in the one line.
  ASSERT_EQ(merged[0].members.size(), 2u);
  EXPECT_EQ(merged[0].members[1].category, 1);
  EXPECT_TRUE(merged[0].members[1].power);
  EXPECT_FALSE(merged[0].members[0].power);
}

}  // namespace
}  // namespace qm::tune
