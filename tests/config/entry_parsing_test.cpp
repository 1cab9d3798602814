#include "config/entry_parsing.h"
#include "config/profile_section.h"

#include "config/config_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qm::config {
namespace {

using Lines = std::vector<std::string>;
using qmtest::LogLinesOf;

TEST(SplitAtEquals, TokensBetweenEqualsSigns) {
  EXPECT_EQ(SplitAtEquals("key=value"), (Lines{"key", "value"}));
  EXPECT_EQ(SplitAtEquals("key="), (Lines{"key"}));
  EXPECT_EQ(SplitAtEquals("=value"), (Lines{"", "value"}));
  EXPECT_EQ(SplitAtEquals("key=value="), (Lines{"key", "value"}));
  EXPECT_EQ(SplitAtEquals("a==b"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitAtEquals("a=b=c"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitAtEquals("no equals"), (Lines{"no equals"}));
  EXPECT_EQ(SplitAtEquals("="), (Lines{""}));
  EXPECT_EQ(SplitAtEquals(""), Lines{});
}

TEST(SortEntries, ByteWiseAndUnsigned) {
  Lines entries{"temperchance=30", "TemperChance=50", "\xC9=1", "temperchance=5", "temper", "~"};
  SortEntries(entries);
  EXPECT_EQ(entries, (Lines{"TemperChance=50", "temper", "temperchance=30", "temperchance=5", "~", "\xC9=1"}));
}

// The entries of one section, sorted and applied as the reader does.
ConfigStore AfterIntegerSection(Lines entries) {
  ConfigStore store;
  SortEntries(entries);
  ParseIntegerEntries(entries, store);
  return store;
}

TEST(ParseIntegerEntries, BooleansChangeOnlyOnTheirWordInAnyCase) {
  EXPECT_EQ(AfterIntegerSection({"DisableDegradation=TRUE"}).GetDegradation("DisableDegradation"), 1u);
  EXPECT_EQ(AfterIntegerSection({"DisableDegradation=yes"}).GetDegradation("DisableDegradation"), 0u);
  EXPECT_EQ(AfterIntegerSection({"DisableDegradation=1"}).GetDegradation("DisableDegradation"), 0u);
  EXPECT_EQ(AfterIntegerSection({"OnlyPlayer=False"}).GetDegradation("OnlyPlayer"), 0u);
  EXPECT_EQ(AfterIntegerSection({"OnlyPlayer=0"}).GetDegradation("OnlyPlayer"), 1u);
  EXPECT_EQ(AfterIntegerSection({"onlyplayer=true"}).GetDegradation("OnlyPlayer"), 1u);
  EXPECT_EQ(
      AfterIntegerSection({"NoBreakMagicDisallowEnchanting=false"}).GetDegradation("NoBreakMagicDisallowEnchanting"),
      0u);
  EXPECT_EQ(AfterIntegerSection({"IncreaseDurability=FALSE"}).GetDegradation("IncreaseDurability"), 0u);
  EXPECT_EQ(AfterIntegerSection({"DisableDynamicTemper=true"}).GetDynamicTemper("DisableDynamicTemper"), 1u);
  EXPECT_EQ(AfterIntegerSection({"DisableWidget=True"}).GetWidget("DisableWidget"), 1u);
  EXPECT_EQ(AfterIntegerSection({"HidePoisonName=true"}).GetWidget("HidePoisonName"), 1u);
  EXPECT_EQ(AfterIntegerSection({"HideWithWeaponsSheathed=true"}).GetWidget("HideWithWeaponsSheathed"), 1u);
  // A boolean never becomes anything but 0 or 1, and a word is no number.
  EXPECT_EQ(AfterIntegerSection({"DisableWidget=7"}).GetWidget("DisableWidget"), 0u);
  EXPECT_EQ(AfterIntegerSection({"DisableWidget= true"}).GetWidget("DisableWidget"), 0u);
}

TEST(ParseIntegerEntries, ABooleanWordIsNeverReported) {
  EXPECT_TRUE(LogLinesOf([] { AfterIntegerSection({"DisableDegradation=maybe", "OnlyPlayer=abc"}); }).empty());
}

TEST(ParseIntegerEntries, TheFalseEntryOfABooleanChangesNothing) {
  EXPECT_EQ(
      AfterIntegerSection({"disabledegradation=true", "disabledegradation=false"}).GetDegradation("disabledegradation"),
      1u);
}

TEST(ParseIntegerEntries, TheEntryThatSortsLastDecides) {
  EXPECT_EQ(AfterIntegerSection({"temperchance=30", "TemperChance=50"}).GetDynamicTemper("TemperChance"), 30u);
  EXPECT_EQ(AfterIntegerSection({"temperchance=5", "temperchance=30"}).GetDynamicTemper("TemperChance"), 5u);
}

TEST(ParseIntegerEntries, PositionsAreHeldToZeroToOneHundred) {
  EXPECT_EQ(AfterIntegerSection({"PositionX=101"}).GetWidget("PositionX"), 3u);
  EXPECT_EQ(AfterIntegerSection({"PositionX=-1"}).GetWidget("PositionX"), 3u);
  EXPECT_EQ(AfterIntegerSection({"PositionX=100"}).GetWidget("PositionX"), 100u);
  EXPECT_EQ(AfterIntegerSection({"PositionY=0"}).GetWidget("PositionY"), 0u);
  EXPECT_EQ(AfterIntegerSection({"PositionY=0x64"}).GetWidget("PositionY"), 100u);
}

TEST(ParseIntegerEntries, ColoursAreHeldToTwentyFourBits) {
  EXPECT_EQ(AfterIntegerSection({"UnbreakableColor=0xFF0000"}).GetWidget("UnbreakableColor"), 16711680u);
  EXPECT_EQ(AfterIntegerSection({"UnbreakableColor=16777216"}).GetWidget("UnbreakableColor"), 16777215u);
  EXPECT_EQ(AfterIntegerSection({"BreakableColor=010"}).GetWidget("BreakableColor"), 8u);
  EXPECT_EQ(AfterIntegerSection({"BreakableColor=0XfFfFfF"}).GetWidget("BreakableColor"), 0xFFFFFFu);
}

TEST(ParseIntegerEntries, BeyondSignedThirtyTwoBitsIsOutOfRangeAndCountsAsZero) {
  ConfigStore store;
  const Lines log = LogLinesOf([&] { store = AfterIntegerSection({"UnbreakableColor=0xFFFFFFFF"}); });
  EXPECT_EQ(log, (Lines{"UnbreakableColor : out of range", "   stoi argument out of range"}));
  EXPECT_EQ(store.GetWidget("UnbreakableColor"), 0u);

  EXPECT_EQ(AfterIntegerSection({"Scale=2147483648"}).GetWidget("Scale"), 0u);
  EXPECT_EQ(AfterIntegerSection({"Scale=-2147483649"}).GetWidget("Scale"), 0u);
  EXPECT_EQ(AfterIntegerSection({"Scale=99999999999999999999999"}).GetWidget("Scale"), 0u);
  EXPECT_EQ(AfterIntegerSection({"Scale=2147483647"}).GetWidget("Scale"), 2147483647u);
  EXPECT_EQ(AfterIntegerSection({"Scale=-2147483648"}).GetWidget("Scale"), 0x80000000u);
}

TEST(ParseIntegerEntries, NegativeValuesAreHeldAsTwosComplement) {
  EXPECT_EQ(AfterIntegerSection({"EquipmentHealthThreshold=-1"}).GetDegradation("EquipmentHealthThreshold"),
            4294967295u);
  EXPECT_EQ(AfterIntegerSection({"ToggleKeyCode=-2"}).GetWidget("ToggleKeyCode"), 4294967294u);
}

TEST(ParseIntegerEntries, ReadsTheLongestNumberAndIgnoresTheRest) {
  ConfigStore store;
  EXPECT_TRUE(LogLinesOf([&] { store = AfterIntegerSection({"TemperChance=50abc"}); }).empty());
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 50u);
  EXPECT_EQ(AfterIntegerSection({"Scale=  +12 ; comment"}).GetWidget("Scale"), 12u);
  EXPECT_EQ(AfterIntegerSection({"Scale=0x"}).GetWidget("Scale"), 0u);
  EXPECT_EQ(AfterIntegerSection({"Scale=09"}).GetWidget("Scale"), 0u);  // octal stops at the 9
}

TEST(ParseIntegerEntries, NoDigitsIsAnInvalidArgumentAndCountsAsZero) {
  ConfigStore store;
  const Lines log = LogLinesOf([&] { store = AfterIntegerSection({"TemperChance=abc", "PositionX=abc"}); });
  EXPECT_EQ(log, (Lines{"PositionX : invalid argument", "   invalid stoi argument", "TemperChance : invalid argument",
                        "   invalid stoi argument"}));
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 0u);
  EXPECT_EQ(store.GetWidget("PositionX"), 0u);
}

TEST(ParseIntegerEntries, AnUnknownKeyIsReadAndReportedButDropped) {
  ConfigStore store;
  const Lines log = LogLinesOf([&] { store = AfterIntegerSection({"Misspelt=-", "Other=12"}); });
  EXPECT_EQ(log, (Lines{"Misspelt : invalid argument", "   invalid stoi argument"}));
  EXPECT_EQ(store.widget.size(), 10u);
  EXPECT_EQ(store.degradation.size(), 5u);
  EXPECT_EQ(store.dynamicTemper.size(), 3u);
}

TEST(ParseIntegerEntries, MalformedEntriesAreDroppedSilently) {
  ConfigStore store;
  const Lines log = LogLinesOf([&] {
    store = AfterIntegerSection({"", "; Scale=1", "Scale", "Scale=", "Scale=1=2", "=5", "TemperChance =50"});
  });
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(store.GetWidget("Scale"), 100u);
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 40u);
}

TEST(ParseIntegerEntries, AKeyTakesEffectUnderAnyIntegerSection) {
  // The same routine reads [Degradation], [DynamicTemper] and [Widget].
  const ConfigStore store = AfterIntegerSection({"TemperChance=7", "EquipmentHealthThreshold=100", "Flags=3"});
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 7u);
  EXPECT_EQ(store.GetDegradation("EquipmentHealthThreshold"), 100u);
  EXPECT_EQ(store.GetWidget("Flags"), 3u);
}

// One real section, sorted and applied into DegradationRate.
double RateAfter(Lines entries, const char* key = "WeaponSword") {
  ConfigStore store;
  SortEntries(entries);
  ParseRealEntries(entries, store.degradationRate);
  return store.GetDegradationRate(key);
}

TEST(ParseRealEntries, NegativeAndNotANumberAreDropped) {
  EXPECT_EQ(RateAfter({"WeaponSword=-2"}), 3.0);
  EXPECT_EQ(RateAfter({"WeaponSword=nan"}), 3.0);
  EXPECT_EQ(RateAfter({"WeaponSword=-inf"}), 3.0);
  EXPECT_EQ(RateAfter({"WeaponSword=0"}), 0.0);
  EXPECT_EQ(RateAfter({"WeaponSword=inf"}), std::numeric_limits<double>::infinity());
  EXPECT_EQ(RateAfter({"WeaponSword=Infinity"}), std::numeric_limits<double>::infinity());
}

TEST(ParseRealEntries, TheCLibraryForms) {
  EXPECT_EQ(RateAfter({"WeaponSword=2.5"}), 2.5);
  EXPECT_EQ(RateAfter({"WeaponSword=  1e1x"}), 10.0);
  EXPECT_EQ(RateAfter({"WeaponSword=0x1p3"}), 8.0);
  EXPECT_EQ(RateAfter({"WeaponSword=.5"}), 0.5);
  EXPECT_EQ(RateAfter({"clothing=4"}, "Clothing"), 4.0);
}

TEST(ParseRealEntries, UnreadableValuesAreReportedAndCountAsZero) {
  double value = -1;
  Lines log = LogLinesOf([&] { value = RateAfter({"WeaponSword=abc"}); });
  EXPECT_EQ(log, (Lines{"WeaponSword : invalid argument", "   invalid stod argument"}));
  EXPECT_EQ(value, 0.0);

  log = LogLinesOf([&] { value = RateAfter({"WeaponSword=1e400"}); });
  EXPECT_EQ(log, (Lines{"WeaponSword : out of range", "   stod argument out of range"}));
  EXPECT_EQ(value, 0.0);

  log = LogLinesOf([&] { value = RateAfter({"WeaponSword=1e-400"}); });
  EXPECT_EQ(log, (Lines{"WeaponSword : out of range", "   stod argument out of range"}));
  EXPECT_EQ(value, 0.0);

  // Below the smallest normal double, on every C library alike.
  for (const char* tiny : {"WeaponSword=4.9e-324", "WeaponSword=1e-310", "WeaponSword=2.2250738585072e-308"}) {
    log = LogLinesOf([&] { value = RateAfter({tiny}); });
    EXPECT_EQ(log, (Lines{"WeaponSword : out of range", "   stod argument out of range"})) << tiny;
    EXPECT_EQ(value, 0.0) << tiny;
  }
}

TEST(ParseRealEntries, WritesOnlyTheTableItIsGivenAndOnlyItsKeys) {
  ConfigStore store;
  ParseRealEntries({"HeavyArmor=0.5", "TemperChance=9", "Unknown=1"}, store.breakChance);
  EXPECT_EQ(store.GetBreakChance("HeavyArmor"), 0.5);
  EXPECT_EQ(store.GetBreakChance("LightArmor"), 0.0);
  EXPECT_EQ(store.GetDegradationRate("HeavyArmor"), 3.0);
  EXPECT_EQ(store.breakChance.size(), 16u);
  EXPECT_EQ(store.GetDynamicTemper("TemperChance"), 40u);
}

}  // namespace
}  // namespace qm::config
