// Item display names in the widget's rows: the game's inventory name, with
// the poison of a poisoned weapon; and the stop on a failed list allocation.
#include "support/widget_fixture.h"

#include <fcntl.h>
#include <unistd.h>

namespace qmtest {
namespace {

class WidgetDisplayName : public WidgetFixture {
 protected:
  // A dagger in the right hand with a poison entry, and its row's name.
  std::string PoisonedDaggerName(const std::string& poisonName, std::uint32_t count) {
    gd::WeaponForm& dagger = forms().AddWeapon(0x1397E, "Dagger", 2);
    gd::PlainForm& poison = forms().AddForm(0x3A5A4, 0x2E, poisonName);
    gd::InstanceSpec spec;
    spec.worn = gd::Worn::Right;
    spec.poison = &poison.form;
    spec.poisonCount = count;
    items().GiveOne(player().ref, &dagger.form, spec);
    LoadSave();
    return RowName(5);
  }

  std::string RowName(std::size_t row) {
    const gd::RecordedInvoke* update = NextUpdate();
    if (update == nullptr) return "(no update)";
    return update->args.at(1).elements.at(row).text;
  }
};

TEST_F(WidgetDisplayName, PoisonedWeaponShowsPoisonAndCount) {
  StartWidget();
  EXPECT_EQ(PoisonedDaggerName("Venom", 3), "Dagger Venom (3)");
}

TEST_F(WidgetDisplayName, HidePoisonNameLeavesTheGameName) {
  StartWidget({"HidePoisonName=true"});
  EXPECT_EQ(PoisonedDaggerName("Venom", 3), "Dagger");
}

TEST_F(WidgetDisplayName, CountsAtTheEndsOfTheirRange) {
  StartWidget();
  EXPECT_EQ(PoisonedDaggerName("Venom", 4294967295u), "Dagger Venom (4294967295)");
}

TEST_F(WidgetDisplayName, ZeroCountAndEmptyPoisonName) {
  StartWidget();
  EXPECT_EQ(PoisonedDaggerName("", 0), "Dagger  (0)");
}

TEST_F(WidgetDisplayName, APoisonEntryWhoseRecordIsGoneAddsNothing) {
  // The poison's plug-in left the load order: the entry stays, its record is
  // null.
  StartWidget();
  gd::WeaponForm& dagger = forms().AddWeapon(0x1397E, "Dagger", 2);
  gd::InstanceSpec spec;
  spec.worn = gd::Worn::Right;
  gd::ExtraList& list = items().GiveOne(player().ref, &dagger.form, spec);
  world().Component<gd::ExtraData>().AddPoison(list, nullptr, 2);
  LoadSave();
  EXPECT_EQ(RowName(5), "Dagger");
}

TEST_F(WidgetDisplayName, ArmourNeverGetsAPoisonSuffix) {
  StartWidget();
  gd::ArmorForm& helmet = forms().AddArmor(0x12E4D, "Iron Helmet", 0x1, 1);
  gd::PlainForm& poison = forms().AddForm(0x3A5A4, 0x2E, "Venom");
  gd::InstanceSpec spec;
  spec.worn = gd::Worn::Right;
  spec.poison = &poison.form;
  spec.poisonCount = 2;
  items().GiveOne(player().ref, &helmet.form, spec);
  LoadSave();
  EXPECT_EQ(RowName(0), "Iron Helmet");
}

TEST_F(WidgetDisplayName, NamingReturnsEveryListNodeToTheGameHeap) {
  StartWidget();
  gd::ArmorForm& helmet = forms().AddArmor(0x12E4D, "Iron Helmet", 0x1, 1);
  gd::InstanceSpec spec;
  spec.worn = gd::Worn::Right;
  items().GiveOne(player().ref, &helmet.form, spec);
  LoadSave();
  const std::size_t live = world().heap().LiveBlocks();
  const std::uint64_t allocations = world().heap().Allocations();
  EXPECT_EQ(RowName(0), "Iron Helmet");
  EXPECT_EQ(world().heap().Allocations() - allocations, 1u) << "one list node per named row";
  EXPECT_EQ(world().heap().LiveBlocks(), live);
}

// The game heap refuses the list head: the report names the place and the
// process stops at once.
TEST_F(WidgetDisplayName, FailedListAllocationStopsWithTheAssertionReport) {
  GTEST_FLAG_SET(death_test_style, "fast");
  StartWidget();
  gd::ArmorForm& helmet = forms().AddArmor(0x12E4D, "Iron Helmet", 0x1, 1);
  gd::InstanceSpec spec;
  spec.worn = gd::Worn::Right;
  items().GiveOne(player().ref, &helmet.form, spec);
  LoadSave();
  EXPECT_DEATH(
      {
        ::dup2(STDERR_FILENO, STDOUT_FILENO);  // the report's echo on standard output
        world().heap().FailAllocation(1);
        NextUpdate();
      },
      "Assertion failed in GameTypes \\(558\\): p");
  const std::vector<std::string> log = ReadLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "Assertion failed in GameTypes (558): p");
}

}  // namespace
}  // namespace qmtest
