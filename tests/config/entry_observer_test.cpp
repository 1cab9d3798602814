// What the settings reader tells an observer about each entry, and that
// watching changes nothing the reader writes or logs.
#include "config/entry_parsing.h"
#include "config/no_break_forms.h"
#include "config/profile_section.h"

#include "config/config_test_support.h"

#include <gtest/gtest.h>

namespace qm::config {
namespace {

using Lines = std::vector<std::string>;

struct Heard {
  std::string entry;
  EntryFate fate;
  std::string key;
  double value;
  NumberFault fault;
};

std::vector<Heard> Watch(const std::function<void(const EntryObserver&)>& read) {
  std::vector<Heard> heard;
  const EntryObserver observer = [&](const EntryReport& r) {
    heard.push_back({std::string(r.entry), r.fate, std::string(r.key), r.value, r.fault});
  };
  read(observer);
  return heard;
}

TEST(EntryObserver, IntegerSectionsNameTheFateOfEveryEntry) {
  ConfigStore store;
  const Lines entries{
      "DisableDegradation=yes", "OnlyPlayer=false", "PositionX=101", "Speed=3", "TemperChance=abc", "a=b=c", "=7", ""};
  const auto heard = Watch([&](const EntryObserver& o) { ParseIntegerEntries(entries, store, &o); });
  ASSERT_EQ(heard.size(), 7u);  // the empty entry is skipped unseen
  EXPECT_EQ(heard[0].fate, EntryFate::WordNotRecognised);
  EXPECT_EQ(heard[0].key, "disabledegradation");
  EXPECT_EQ(heard[1].fate, EntryFate::Taken);
  EXPECT_EQ(heard[1].value, 0.0);
  EXPECT_EQ(heard[2].fate, EntryFate::OutOfRange);
  EXPECT_EQ(heard[2].value, 101.0);
  EXPECT_EQ(heard[3].fate, EntryFate::UnknownKey);
  EXPECT_EQ(heard[4].fate, EntryFate::Taken);  // taken as 0, and reported
  EXPECT_EQ(heard[4].fault, NumberFault::InvalidArgument);
  EXPECT_EQ(heard[5].fate, EntryFate::NotKeyValue);
  EXPECT_EQ(heard[6].fate, EntryFate::EmptyKey);
}

TEST(EntryObserver, RealSectionsNameNegativeNaNAndForeignKeys) {
  ConfigStore store;
  const Lines entries{"WeaponSword=-2", "WeaponDagger=nan", "TemperChance=9", "HeavyArmor=0.5"};
  const auto heard = Watch([&](const EntryObserver& o) { ParseRealEntries(entries, store.breakChance, &o); });
  ASSERT_EQ(heard.size(), 4u);
  EXPECT_EQ(heard[0].fate, EntryFate::NegativeOrNaN);
  EXPECT_EQ(heard[1].fate, EntryFate::NegativeOrNaN);
  EXPECT_EQ(heard[2].fate, EntryFate::UnknownKey);
  EXPECT_EQ(heard[3].fate, EntryFate::Taken);
  EXPECT_EQ(heard[3].value, 0.5);
}

TEST(EntryObserver, WatchingChangesNeitherTheStoreNorTheLog) {
  Lines entries{"TemperChance=50", "temperchance=30", "PositionX=abc", "UnbreakableColor=0xFFFFFFFF",
                "OnlyPlayer=False"};
  SortEntries(entries);
  ConfigStore plain, watched;
  const auto plainLog = qmtest::LogLinesOf([&] { ParseIntegerEntries(entries, plain); });
  const auto watchedLog =
      qmtest::LogLinesOf([&] { Watch([&](const EntryObserver& o) { ParseIntegerEntries(entries, watched, &o); }); });
  EXPECT_EQ(plainLog, watchedLog);
  EXPECT_EQ(plain.dynamicTemper, watched.dynamicTemper);
  EXPECT_EQ(plain.widget, watched.widget);
  EXPECT_EQ(plain.degradation, watched.degradation);
}

TEST(EntryObserver, NoBreakEntriesAndFilesUnlistedOrNotLoaded) {
  qmtest::TempFolder folder;
  const std::string path =
      folder.WriteText("NoBreakForms.ini",
                       "[Skyrim.esm]\r\n0x800=1\r\n0x801=0\r\nxyz=1\r\n[Mod.esp]\r\n0x5=1\r\n[Old.esp]\r\n0x5=1\r\n"
                       "[Small.esl]\r\n0x1801=1\r\n0x801=1\r\n");
  FormIdSet list;
  const PluginFileLookup lookup = [](const std::string& name) {
    if (name == "Skyrim.esm") return PluginFileSlot{PluginFileSlot::Kind::Regular, 2};
    if (name == "Old.esp") return PluginFileSlot{PluginFileSlot::Kind::NotActive, 0};
    if (name == "Small.esl") return PluginFileSlot{PluginFileSlot::Kind::Light, 3};
    return PluginFileSlot{};
  };
  std::vector<Heard> heard;
  qmtest::LogLinesOf([&] {
    heard = Watch([&](const EntryObserver& o) {
      LoadNoBreakForms({"Mod.esp", "Old.esp", "Skyrim.esm", "Small.esl"}, path, lookup, list, &o);
    });
  });
  ASSERT_EQ(heard.size(), 7u);
  EXPECT_EQ(heard[0].fate, EntryFate::PluginFileNotListed);
  EXPECT_EQ(heard[0].entry, "Mod.esp");
  EXPECT_EQ(heard[1].fate, EntryFate::PluginFileNotActive);
  EXPECT_EQ(heard[1].entry, "Old.esp");
  EXPECT_EQ(heard[2].fate, EntryFate::Taken);
  EXPECT_EQ(heard[2].value, static_cast<double>(0x02000800));
  EXPECT_EQ(heard[3].fate, EntryFate::FlagNotOne);
  EXPECT_EQ(heard[4].fate, EntryFate::Taken);
  EXPECT_EQ(heard[4].fault, NumberFault::InvalidArgument);
  EXPECT_EQ(heard[5].fate, EntryFate::BeyondLightFile);
  EXPECT_EQ(heard[5].value, static_cast<double>(0x1801));
  EXPECT_EQ(heard[6].fate, EntryFate::Taken);
  EXPECT_EQ(heard[6].value, static_cast<double>(0xFE003801));
  EXPECT_EQ(list.Size(), 3u);
}

}  // namespace
}  // namespace qm::config
