// Item instance access on the game's own records: health in the instance's
// extra-data list, worn instances found by their presence bits, and which
// items take part in durability at all.
#include "support/in_process_game.h"

#include <limits>

namespace {

using qm::engine::ItemEntry;

class ItemAccess : public qmtest::InProcessGame {
 protected:
  using PresenceBitsCopy = std::vector<std::uint8_t>;
  static PresenceBitsCopy Copy(const gd::ExtraList& list) {
    return PresenceBitsCopy(list.presence->bits, list.presence->bits + sizeof list.presence->bits);
  }
};

TEST_F(ItemAccess, HealthReadsTheEntryAndOneWithoutIt) {
  gd::ExtraList& tempered = extra().NewList();
  extra().AddWorn(tempered, false);
  extra().AddHealth(tempered, 1.25f);
  gd::ExtraList& plain = extra().NewList();
  gd::ExtraList& atBaseline = extra().NewList();
  extra().AddHealth(atBaseline, 1.0f);

  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, List(&tempered), {}}), 1.25f);
  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, List(&plain), {}}), 1.0f);
  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, nullptr, {}}), 1.0f);
  // 1.0 with an entry reads like no entry; only the presence bit tells them apart.
  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, List(&atBaseline), {}}), 1.0f);
  EXPECT_TRUE(qm::game::HasExtraType(List(&atBaseline), qm::game::kExtraHealth));
  EXPECT_FALSE(qm::game::HasExtraType(List(&plain), qm::game::kExtraHealth));
}

TEST_F(ItemAccess, FindExtraDataTrustsThePresenceBitsAndTheEntrysClass) {
  gd::ExtraList& list = extra().NewList();
  extra().AddWorn(list, true);
  extra().SetPresenceBit(list, gd::extra_type::kHealth, true);  // bit without entry
  EXPECT_EQ(qm::engine::FindExtraData(List(&list), qm::game::kExtraHealth), nullptr);
  EXPECT_EQ(qm::engine::FindExtraData(List(&list), qm::game::kExtraWorn), nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(qm::engine::FindExtraData(List(&list), qm::game::kExtraWornLeft)), list.first);
  EXPECT_EQ(qm::engine::FindExtraData(List(&list), 400), nullptr);
  extra().SetPresenceBit(list, 0, true);  // a type without a descriptor
  EXPECT_EQ(qm::engine::FindExtraData(List(&list), 0), nullptr);
  extra().SetPresenceBit(list, 180, true);  // the first type past the descriptor table
  EXPECT_EQ(qm::engine::FindExtraData(List(&list), 180), nullptr);
  EXPECT_EQ(qm::engine::FindExtraData(nullptr, qm::game::kExtraHealth), nullptr);

  // A health entry in a list without a bit field is never seen.
  gd::ExtraList& bare = extra().NewList(false);
  extra().AddHealth(bare, 1.5f);
  EXPECT_EQ(qm::engine::FindExtraData(List(&bare), qm::game::kExtraHealth), nullptr);
  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, List(&bare), {}}), 1.0f);
}

TEST_F(ItemAccess, SetHealthAddsAGameHeapEntryAtTheHeadThatTheGameRecognises) {
  gd::ExtraList& list = extra().NewList();
  extra().AddWorn(list, false);
  gd::ExtraEntry* formerFirst = list.first;
  const std::size_t blocks = world().heap().LiveBlocks();

  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&list), {}}, 1.0375f);
  ASSERT_NE(list.first, formerFirst);
  EXPECT_EQ(list.first->next, formerFirst);
  EXPECT_TRUE(world().heap().IsLive(list.first));
  EXPECT_EQ(world().heap().LiveBlocks(), blocks + 1);
  EXPECT_EQ(list.first->vtbl, world().region().At<void>(gd::Off().healthExtraVtable.offset));
  EXPECT_EQ(list.presence->bits[4], 0x20);
  EXPECT_EQ(extra().HealthOf(list), 1.0375f);

  // A second write overwrites the entry in place.
  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&list), {}}, 1.5f);
  EXPECT_EQ(world().heap().LiveBlocks(), blocks + 1);
  EXPECT_EQ(extra().HealthOf(list), 1.5f);
  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, List(&list), {}}), 1.5f);
  // The game saves what is written: never a NaN.
  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&list), {}}, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(extra().HealthOf(list), 1.0f);
}

TEST_F(ItemAccess, SetHealthLeavesListsThatCannotCarryAnEntryAlone) {
  gd::ExtraList& bare = extra().NewList(false);
  gd::ExtraList& bitOnly = extra().NewList();
  extra().SetPresenceBit(bitOnly, gd::extra_type::kHealth, true);
  const std::uint64_t allocations = world().heap().Allocations();

  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&bare), {}}, 1.2f);
  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&bitOnly), {}}, 1.2f);
  qm::engine::SetItemHealth(ItemEntry{nullptr, nullptr, {}}, 1.2f);
  EXPECT_EQ(bare.first, nullptr);
  EXPECT_EQ(bitOnly.first, nullptr);
  EXPECT_EQ(world().heap().Allocations(), allocations);
}

TEST_F(ItemAccess, SetHealthWithoutGameMemoryChangesNothing) {
  gd::ExtraList& list = extra().NewList();
  extra().AddWorn(list, false);
  gd::ExtraEntry* first = list.first;
  const PresenceBitsCopy before = Copy(list);

  world().heap().FailAllocation(1);
  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&list), {}}, 1.2f);
  EXPECT_EQ(world().heap().Failures(), 1u);
  EXPECT_EQ(list.first, first);
  EXPECT_TRUE(Copy(list) == before);
  EXPECT_EQ(qm::engine::GetItemHealth(ItemEntry{nullptr, List(&list), {}}), 1.0f);

  // The next attempt, with memory, gets its entry.
  qm::engine::SetItemHealth(ItemEntry{nullptr, List(&list), {}}, 1.2f);
  EXPECT_EQ(extra().HealthOf(list), 1.2f);
}

TEST_F(ItemAccess, WornArmourIsFoundBySlotAndOnlyWithAWornList) {
  gd::ArmorForm& circlet = forms().AddArmor(0x200, "Circlet", 0x2, 0);  // hair only
  gd::ArmorForm& spareBoots = forms().AddArmor(0x201, "Spare Boots", 0x80, 0);
  gd::ArmorForm& boots = forms().AddArmor(0x202, "Boots", 0x80, 1);
  gd::ArmorForm& shield = forms().AddArmor(0x203, "Shield", 0x200, 1);
  gd::WeaponForm& sword = forms().AddWeapon(0x204, "Sword", 1);
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  items().Give(actor.ref, &sword.form, 1, {Spec("sword", gd::Worn::Right)});  // worn bit, not armour
  items().Give(actor.ref, &spareBoots.form, 2, {Spec("carried")});
  items().GiveOne(actor.ref, &circlet.form, Spec("circlet", gd::Worn::Right));
  items().GiveOne(actor.ref, &boots.form, Spec("boots", gd::Worn::Right));
  items().GiveOne(actor.ref, &shield.form, Spec("shield", gd::Worn::Left));
  qm::game::InventoryChanges* changes = InventoryOf(actor);

  EXPECT_EQ(qm::engine::FindWornArmor(changes, 0x1).form, nullptr);
  const ItemEntry hair = qm::engine::FindWornArmor(changes, 0x2);
  EXPECT_EQ(hair.form, Form(circlet.form));
  EXPECT_EQ(hair.extraList, List(items().Find("circlet")->list));
  EXPECT_EQ(qm::engine::FindWornArmor(changes, 0x80).extraList, List(items().Find("boots")->list));
  EXPECT_EQ(qm::engine::FindWornArmor(changes, 0x200).extraList, List(items().Find("shield")->list));
  EXPECT_EQ(qm::engine::FindWornArmor(changes, 0x4).form, nullptr);
  EXPECT_EQ(qm::engine::FindWornArmor(nullptr, 0x80).form, nullptr);
}

TEST_F(ItemAccess, TheSameWeaponInBothHandsIsToldApartByTheHandBit) {
  gd::WeaponForm& dagger = forms().AddWeapon(0x100, "Dagger", 2);
  gd::WeaponForm& axe = forms().AddWeapon(0x101, "Axe", 3);
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  refs().GiveProcess(actor);
  items().Give(actor.ref, &dagger.form, 3,
               {Spec("spare"), Spec("right", gd::Worn::Right), Spec("left", gd::Worn::Left)});
  qm::game::InventoryChanges* changes = InventoryOf(actor);

  const ItemEntry left = qm::engine::FindWornWeapon(changes, Form(dagger.form), true);
  const ItemEntry right = qm::engine::FindWornWeapon(changes, Form(dagger.form), false);
  EXPECT_EQ(left.extraList, List(items().Find("left")->list));
  EXPECT_EQ(right.extraList, List(items().Find("right")->list));
  EXPECT_EQ(right.form, Form(dagger.form));
  EXPECT_EQ(qm::engine::FindWornWeapon(changes, Form(axe.form), false).form, nullptr);
  EXPECT_EQ(qm::engine::FindWornWeapon(changes, nullptr, false).form, nullptr);
  EXPECT_EQ(qm::engine::FindWornWeapon(nullptr, Form(dagger.form), false).form, nullptr);
}

TEST_F(ItemAccess, InventoryChangesComeFromTheHoldersOwnList) {
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  gd::ActorRec& ghost = refs().AddActor("ghost", 0x801);
  gd::InventoryChangesRec& changes = refs().Inventory(actor.ref);
  EXPECT_EQ(qm::engine::InventoryChangesOf(List(&actor.ref.extraList)), Changes(&changes));
  EXPECT_EQ(qm::engine::InventoryChangesOf(List(&ghost.ref.extraList)), nullptr);
}

TEST_F(ItemAccess, OnlyWornWeaponsAndBodyArmourWithoutTheClothingKeywordAreDurabilityItems) {
  forms().Keyword(0x8F95B);
  const std::vector<std::pair<gd::FormHeader*, bool>> cases = {
      {&forms().AddWeapon(0x100, "Sword", 1).form, true},
      {&forms().AddWeapon(0x101, "Staff", 8).form, false},
      {&forms().AddWeapon(0x102, "Pickaxe", 1, 0x2000).form, false},
      {&forms().AddWeapon(0x103, "Bow", 7, 0x0400).form, true},
      {&forms().AddWeapon(0x104, "Axe", 3, 0x0001 | 0x4000).form, true},  // flags beside the one that excludes
      {&forms().AddArmor(0x200, "Cuirass", 0x4, 1).form, true},
      {&forms().AddArmor(0x201, "Shield", 0x200, 1).form, true},
      {&forms().AddArmor(0x202, "Circlet", 0x2, 2).form, true},
      {&forms().AddArmor(0x203, "Amulet", 0x20, 2).form, false},
      {&forms().AddArmor(0x204, "Ring", 0x40, 2).form, false},
      {&forms().AddArmor(0x205, "Fine Clothes", 0x4, 2, {0x8F95B}).form, false},
      {&forms().AddForm(0x300, gd::form_type::kAlchemy, "Poison").form, false},
  };
  gd::ExtraList& list = extra().NewList();
  for (const auto& [form, expected] : cases) {
    EXPECT_EQ(qm::engine::IsDurabilityItem(ItemEntry{Form(*form), List(&list), {}}), expected) << forms().NameOf(form);
  }
  EXPECT_FALSE(qm::engine::IsDurabilityItem(ItemEntry{}));
}

}  // namespace
