#include "config/config_store.h"
#include "config/item_category.h"
#include "config/settings_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace qm::config {
namespace {

TEST(ConfigStoreLookup, FoldsTheAskedKeyToLowerCase) {
  const ConfigStore store;
  EXPECT_EQ(store.GetWidget("ToggleKeyCode"), 0u);
  EXPECT_EQ(store.GetWidget("PositionY"), 73u);
  EXPECT_EQ(store.GetWidget("positiony"), 73u);
  EXPECT_EQ(store.GetWidget("POSITIONY"), 73u);
  EXPECT_EQ(store.GetDegradation("OnlyPlayer"), 1u);
  EXPECT_EQ(store.GetDynamicTemper("BossTemperChance"), 80u);
  EXPECT_EQ(store.GetDegradationRate("PowerAttackMultiplier"), 2.0);
  EXPECT_EQ(store.GetBreakChance("NPCMultiplier"), 1.0);
}

TEST(ConfigStoreLookup, FoldsOnlyAsciiLetters) {
  ConfigStore store;
  // A byte above 0x7F is not a letter to fold: "\xC9" stays as it is.
  EXPECT_EQ(store.GetWidget("SCAL\xC9"), 0u);
  EXPECT_EQ(FoldToLower("A[Z]@\xC9"), "a[z]@\xC9");
}

TEST(ConfigStoreLookup, AnUnknownKeyReadsAsZeroAndIsNotAdded) {
  const ConfigStore store;
  EXPECT_EQ(store.GetWidget("TemperChance"), 0u);
  EXPECT_EQ(store.GetDegradationRate("Unknown"), 0.0);
  EXPECT_EQ(store.GetBreakChance(""), 0.0);
  // A key longer than the look-up's stack buffer takes the other path.
  EXPECT_EQ(store.GetDegradation(std::string(100, 'X')), 0u);
  EXPECT_EQ(store.widget.size(), 10u);
  EXPECT_EQ(store.degradationRate.size(), 16u);
  EXPECT_EQ(store.breakChance.size(), 16u);
}

TEST(ConfigStoreDefaults, EveryTableHoldsExactlyItsKeys) {
  const ConfigStore store;
  EXPECT_EQ(store.degradation.size(), 5u);
  EXPECT_EQ(store.degradationRate.size(), 16u);
  EXPECT_EQ(store.breakChance.size(), 16u);
  EXPECT_EQ(store.dynamicTemper.size(), 3u);
  EXPECT_EQ(store.widget.size(), 10u);
  EXPECT_EQ(store.HealthThreshold, 1.0f);
  EXPECT_TRUE(store.settingsFilePath.empty());
  EXPECT_TRUE(store.noBreakFilePath.empty());
  EXPECT_EQ(store.NoBreakFormList.Size(), 0u);
}

TEST(ConfigStoreDefaults, ValuesAsDocumented) {
  const ConfigStore store;
  EXPECT_EQ(store.GetDegradation("DisableDegradation"), 0u);
  EXPECT_EQ(store.GetDegradation("NoBreakMagicDisallowEnchanting"), 1u);
  EXPECT_EQ(store.GetDegradation("IncreaseDurability"), 1u);
  EXPECT_EQ(store.GetDegradation("EquipmentHealthThreshold"), 0u);
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 40u);
  EXPECT_EQ(store.GetWidget("UnbreakableColor"), 16777215u);
  EXPECT_EQ(store.GetWidget("BreakableColor"), 16766720u);
  EXPECT_EQ(store.GetWidget("Scale"), 100u);
  EXPECT_EQ(store.GetWidget("Flags"), 8u);
  EXPECT_EQ(store.GetDegradationRate("FollowerMultiplier"), 1.0);
}

TEST(ConfigStoreDefaults, EveryCategoryHasARateAndABreakChance) {
  const ConfigStore store;
  for (const auto& category : kItemCategories) {
    EXPECT_EQ(store.GetDegradationRate(category.name), 3.0) << category.name;
    EXPECT_EQ(store.GetBreakChance(category.name), 0.0) << category.name;
    EXPECT_EQ(store.degradationRate.count(category.key), 1u) << category.key;
  }
}

TEST(ConfigStoreDefaults, InitDefaultsUndoesEveryChange) {
  ConfigStore store;
  store.widget.SetExisting("scale", 7u);
  store.breakChance.SetExisting("clothing", 0.5);
  store.HealthThreshold = 3.0f;
  store.settingsFilePath = "x";
  store.noBreakFilePath = "y";
  store.NoBreakFormList.Add(5);
  store.InitDefaults();
  EXPECT_EQ(store.GetWidget("Scale"), 100u);
  EXPECT_EQ(store.GetBreakChance("Clothing"), 0.0);
  EXPECT_EQ(store.HealthThreshold, 1.0f);
  EXPECT_TRUE(store.settingsFilePath.empty());
  EXPECT_TRUE(store.noBreakFilePath.empty());
  EXPECT_FALSE(store.NoBreakFormList.Contains(5));
}

TEST(ConfigStoreSetExisting, NeverAddsAKey) {
  ConfigStore store;
  store.widget.SetExisting("temperchance", 5u);
  store.widget.SetExisting("Scale", 5u);  // not folded: not held
  EXPECT_EQ(store.widget.size(), 10u);
  EXPECT_EQ(store.GetWidget("Scale"), 100u);
  store.widget.SetExisting("scale", 5u);
  EXPECT_EQ(store.GetWidget("Scale"), 5u);
}

// The hit path reads settings by their name in the table; it must see what
// the file reader wrote by key, in every section, also in a store moved into.
TEST(ConfigStoreSettings, ReadByNameWhatWasWrittenByKey) {
  ConfigStore written;
  for (const SettingInfo& info : kSettings) {
    const auto value = static_cast<std::uint32_t>(info.setting) + 1000;
    switch (info.section) {
      case Section::Degradation: written.degradation.SetExisting(info.key, value); break;
      case Section::DegradationRate: written.degradationRate.SetExisting(info.key, value + 0.5); break;
      case Section::BreakChance: written.breakChance.SetExisting(info.key, value + 0.25); break;
      case Section::DynamicTemper: written.dynamicTemper.SetExisting(info.key, value); break;
      case Section::Widget: written.widget.SetExisting(info.key, value); break;
    }
  }
  ConfigStore moved;
  moved = std::move(written);
  for (const SettingInfo& info : kSettings) {
    const auto value = static_cast<std::uint32_t>(info.setting) + 1000;
    switch (info.section) {
      case Section::DegradationRate: EXPECT_EQ(moved.Real(info.setting), value + 0.5) << info.key; break;
      case Section::BreakChance: EXPECT_EQ(moved.Real(info.setting), value + 0.25) << info.key; break;
      default: EXPECT_EQ(moved.Whole(info.setting), value) << info.key; break;
    }
  }
  EXPECT_EQ(moved.Get<Setting::OnlyPlayer>(), moved.GetDegradation("OnlyPlayer"));
  EXPECT_EQ(moved.Get<Setting::ChanceNpcMultiplier>(), moved.GetBreakChance("NPCMultiplier"));
}

// The store moved into takes every field; the store moved from keeps slots
// of its own: it reads its defaults by key and by name, outlives the store it
// moved into, and takes writes again.
TEST(ConfigStoreSettings, AStoreMovedFromStartsAgainFromItsDefaults) {
  ConfigStore from;
  from.widget.SetExisting("scale", 7u);
  from.HealthThreshold = 3.0f;
  from.settingsFilePath = "a.ini";
  from.noBreakFilePath = "b.ini";
  from.NoBreakFormList.Add(5);
  {
    const ConfigStore into(std::move(from));
    EXPECT_EQ(into.Get<Setting::Scale>(), 7u);
    EXPECT_EQ(into.HealthThreshold, 3.0f);
    EXPECT_EQ(into.settingsFilePath, "a.ini");
    EXPECT_EQ(into.noBreakFilePath, "b.ini");
    EXPECT_TRUE(into.NoBreakFormList.Contains(5));
  }
  EXPECT_EQ(from.Get<Setting::Scale>(), 100u);
  EXPECT_EQ(from.GetWidget("Scale"), 100u);
  EXPECT_EQ(from.HealthThreshold, 1.0f);
  EXPECT_FALSE(from.NoBreakFormList.Contains(5));
  from.widget.SetExisting("scale", 5u);
  EXPECT_EQ(from.Get<Setting::Scale>(), 5u);
}

TEST(HealthThreshold, FromEquipmentHealthThreshold) {
  EXPECT_EQ(HealthThresholdFor(0), 1.0f);
  EXPECT_EQ(HealthThresholdFor(1), 1.0f + 0.001f);  // the smallest step above none
  EXPECT_EQ(HealthThresholdFor(100), 1.10000002f);
  EXPECT_EQ(HealthThresholdFor(250), 1.25f);
  // -1 read from the file is held as 4294967295: every item is worn out.
  EXPECT_NEAR(HealthThresholdFor(0xFFFFFFFFu), 4294968.0f, 1.0f);
}

TEST(NoBreakFormList, ContainsOnlyWhatWasAdded) {
  FormIdSet list;
  EXPECT_FALSE(list.Contains(0));
  EXPECT_FALSE(list.Contains(0x00012EB7));
  list.Add(0x02000800);
  list.Add(0x02000800);
  EXPECT_EQ(list.Size(), 1u);
  EXPECT_TRUE(list.Contains(0x02000800));
  EXPECT_FALSE(list.Contains(0x00000800));
  EXPECT_FALSE(list.Contains(0x03000800));
}

}  // namespace
}  // namespace qm::config
