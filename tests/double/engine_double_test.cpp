// The game double's world of records, actors and inventories, driven the way
// the plug-in drives it: through the jumps at the game's offsets and the
// dispatch slots of its objects. The engine's tests rely on these contracts.
#include "cells.h"
#include "runtime_offsets.h"
#include "extra_data.h"
#include "forms.h"
#include "hud.h"
#include "items.h"
#include "references.h"
#include "world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

template <typename F>
F At(gd::World& world, std::uintptr_t offset) {
  return world.region().At<std::remove_pointer_t<F>>(offset);
}

using CastFn = void* (*)(void*, std::int32_t, const void*, const void*, std::int32_t);
using RemoveItemFn = gd::RemoveItemFn;

class EngineDoubleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& violation : world_.Violations()) ADD_FAILURE() << "game double: " << violation;
  }
  std::vector<std::string> TakeViolations() {
    std::vector<std::string> taken = world_.Violations();
    const_cast<std::vector<std::string>&>(world_.Violations()).clear();
    return taken;
  }

  gd::Forms& forms() { return world_.Component<gd::Forms>(); }
  gd::References& refs() { return world_.Component<gd::References>(); }
  gd::Items& items() { return world_.Component<gd::Items>(); }
  gd::ExtraData& extra() { return world_.Component<gd::ExtraData>(); }
  gd::Inventories& inventories() { return world_.Component<gd::Inventories>(); }

  void* Cast(void* object, std::uintptr_t from, std::uintptr_t to) {
    return At<CastFn>(world_, gd::Off().castRuntimeType.offset)(object, 0, world_.region().At<void>(from),
                                                         world_.region().At<void>(to), 0);
  }

  gd::InstanceSpec Worn(const std::string& id, gd::Worn hand = gd::Worn::Right) {
    gd::InstanceSpec spec;
    spec.id = id;
    spec.worn = hand;
    return spec;
  }

  gd::World world_;
};

TEST_F(EngineDoubleTest, CastRecognisesAHealthEntryMadeWithTheGamesClassTable) {
  // Built the way the plug-in builds one: the datum at 0x15460B0 as class
  // table, and nothing else the double knows about.
  extra();
  struct {
    const void* vtbl;
    void* next;
    float health;
    std::uint32_t pad;
  } made{world_.region().At<void>(gd::Off().healthExtraVtable.offset), nullptr, 1.5f, 0};
  EXPECT_EQ(Cast(&made, gd::Off().tdExtraData.offset, gd::Off().tdExtraHealth.offset), &made);
  EXPECT_EQ(Cast(&made, gd::Off().tdExtraData.offset, gd::Off().tdExtraWorn.offset), nullptr);

  gd::ExtraList& list = extra().NewList();
  extra().AddWorn(list, true);
  EXPECT_EQ(Cast(list.first, gd::Off().tdExtraData.offset, gd::Off().tdExtraWornLeft.offset), list.first);
  EXPECT_EQ(Cast(list.first, gd::Off().tdExtraData.offset, gd::Off().tdExtraWorn.offset), nullptr);
  EXPECT_EQ(Cast(nullptr, gd::Off().tdExtraData.offset, gd::Off().tdExtraWorn.offset), nullptr);
  EXPECT_TRUE(TakeViolations().empty());
}

TEST_F(EngineDoubleTest, CastFromAnotherTypeThanTheExtraDataBaseIsAViolation) {
  gd::ExtraList& list = extra().NewList();
  extra().AddHealth(list, 1.0f);
  EXPECT_EQ(Cast(list.first, gd::Off().tdFormBase.offset, gd::Off().tdExtraHealth.offset), nullptr);
  ASSERT_EQ(TakeViolations().size(), 1u);
  // The cast of MSVC takes (object, 0, from, to, 0); anything else is a
  // different call.
  At<CastFn>(world_, gd::Off().castRuntimeType.offset)(list.first, 8, world_.region().At<void>(gd::Off().tdExtraData.offset),
                                                world_.region().At<void>(gd::Off().tdExtraHealth.offset), 0);
  EXPECT_EQ(TakeViolations().size(), 1u);
}

TEST_F(EngineDoubleTest, PresenceBitsFollowTheGamesByteAndBitOrder) {
  gd::ExtraList& list = extra().NewList();
  extra().AddHealth(list, 1.25f);
  extra().AddWorn(list, false);
  EXPECT_EQ(list.presence->bits[4], 0x20);  // 0x25: byte 4, bit 5
  EXPECT_EQ(list.presence->bits[2], 0x40);  // 0x16: byte 2, bit 6
  // Newest entry first, as the game links them.
  EXPECT_EQ(extra().TypeOfClassTable(list.first->vtbl), gd::extra_type::kWorn);
  EXPECT_EQ(extra().HealthOf(list), 1.25f);
  gd::ExtraList& bare = extra().NewList(false);
  EXPECT_EQ(bare.presence, nullptr);
}

TEST_F(EngineDoubleTest, FormsAreFoundByIdAndAnswerKeywordsThroughSlotFour) {
  gd::WeaponForm& hammer = forms().AddWeapon(0x100, "Warhammer", 6, 0, {0x6D930});
  forms().Keyword(0x8F95B);
  auto find = At<gd::FormHeader* (*)(std::uint32_t)>(world_, gd::Off().findFormById.offset);
  ASSERT_EQ(find(0x100), &hammer.form);
  EXPECT_EQ(find(0x999), nullptr);
  EXPECT_EQ(hammer.form.formType, 0x29);
  const gd::KeywordListObj& keywords = hammer.keywords;
  EXPECT_TRUE(keywords.vtbl->holdsKeyword(&keywords, find(0x6D930)));
  EXPECT_FALSE(keywords.vtbl->holdsKeyword(&keywords, find(0x8F95B)));
  EXPECT_FALSE(keywords.vtbl->holdsKeyword(&keywords, nullptr));
}

TEST_F(EngineDoubleTest, RemovalThroughSlot86TakesExactlyTheNamedInstanceOutOfAStack) {
  gd::WeaponForm& sword = forms().AddWeapon(0x100, "Iron Sword", 1);
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  refs().GiveProcess(actor);
  gd::InstanceSpec plain;
  plain.id = "spare";
  items().Give(actor.ref, &sword.form, 3, {Worn("held"), plain});
  const gd::NamedItem* held = items().Find("held");
  ASSERT_EQ(actor.process->rightHand, &sword.form);

  auto remove =
      reinterpret_cast<RemoveItemFn>(reinterpret_cast<void* const*>(actor.ref.form.vtbl)[gd::kRemoveItemSlot]);
  std::uint32_t handle = 0xFFFFFFFF;
  EXPECT_EQ(remove(&actor, &handle, &sword.form, 1, 0, held->list, nullptr, nullptr, nullptr), &handle);
  EXPECT_EQ(handle, 0u);
  EXPECT_FALSE(items().Present(*held));
  EXPECT_TRUE(items().Present(*items().Find("spare")));
  EXPECT_EQ(inventories().CountOf(*refs().FindInventory(actor.ref), &sword.form), 2);

  // The game's refresh lets go of a weapon no longer worn.
  At<void (*)(gd::ProcessRec*, gd::ActorRec*)>(world_, gd::Off().refreshAfterRemoval.offset)(actor.process, &actor);
  EXPECT_EQ(actor.process->rightHand, nullptr);
  EXPECT_EQ(refs().RefreshCalls(&actor), 1u);
  EXPECT_TRUE(TakeViolations().empty());
}

TEST_F(EngineDoubleTest, RemovalCalledWithoutTheResultPointerOrOtherArgumentsChangesNothing) {
  gd::WeaponForm& sword = forms().AddWeapon(0x100, "Iron Sword", 1);
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  items().GiveOne(actor.ref, &sword.form, Worn("held"));
  gd::ExtraList* list = items().Find("held")->list;
  auto remove =
      reinterpret_cast<RemoveItemFn>(reinterpret_cast<void* const*>(actor.ref.form.vtbl)[gd::kRemoveItemSlot]);
  std::uint32_t handle = 0;
  const float where[3] = {0, 0, 0};

  // As a plain reading of the argument list would call it: everything one
  // place early.
  void* slot = reinterpret_cast<void* const*>(actor.ref.form.vtbl)[gd::kRemoveItemSlot];
  reinterpret_cast<void (*)(gd::ActorRec*, gd::FormHeader*, std::int64_t, std::uint64_t, gd::ExtraList*, void*, void*,
                            void*)>(slot)(&actor, &sword.form, 1, 0, list, nullptr, nullptr, nullptr);
  remove(&actor, &handle, &sword.form, 2, 0, list, nullptr, nullptr, nullptr);
  remove(&actor, &handle, &sword.form, 1, 0, list, &actor.ref, nullptr, nullptr);
  remove(&actor, &handle, &sword.form, 1, 0, list, nullptr, where, nullptr);
  EXPECT_EQ(TakeViolations().size(), 4u);
  EXPECT_TRUE(items().Present(*items().Find("held")));

  // An instance the actor does not hold.
  gd::ExtraList& stranger = extra().NewList();
  remove(&actor, &handle, &sword.form, 1, 0, &stranger, nullptr, nullptr, nullptr);
  EXPECT_EQ(TakeViolations().size(), 1u);
  EXPECT_TRUE(refs().Removals().empty());
}

TEST_F(EngineDoubleTest, RemovingTheFirstEntryKeepsTheEmbeddedHeadNode) {
  gd::ArmorForm& helmet = forms().AddArmor(0x200, "Iron Helmet", 0x1, 1);
  gd::ArmorForm& boots = forms().AddArmor(0x201, "Iron Boots", 0x80, 1);
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  items().GiveOne(actor.ref, &helmet.form, Worn("helmet"));
  items().GiveOne(actor.ref, &boots.form, Worn("boots"));
  gd::InventoryChangesRec& changes = *refs().FindInventory(actor.ref);
  gd::ListNode* head = changes.entries;
  ASSERT_TRUE(inventories().RemoveOne(changes, &helmet.form, items().Find("helmet")->list));
  EXPECT_EQ(changes.entries, head);
  ASSERT_NE(head->item, nullptr);
  EXPECT_EQ(static_cast<gd::InventoryEntryRec*>(head->item)->form, &boots.form);
  ASSERT_TRUE(inventories().RemoveOne(changes, &boots.form, items().Find("boots")->list));
  EXPECT_EQ(head->item, nullptr);  // an empty list: a head node holding nothing
  EXPECT_TRUE(inventories().Entries(changes).empty());
}

TEST_F(EngineDoubleTest, InventoryChangesHangOffTheHoldersListAsTheGameKeepsThem) {
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  gd::InventoryChangesRec& changes = refs().Inventory(actor.ref);
  gd::ExtraEntry* entry = extra().Find(actor.ref.extraList, gd::extra_type::kInventoryChanges);
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(gd::ExtraData::HasPresenceBit(actor.ref.extraList, 0x15));
  EXPECT_EQ(reinterpret_cast<gd::ExtraPointerEntry*>(entry)->payload, &changes);
  EXPECT_EQ(Cast(entry, gd::Off().tdExtraData.offset, gd::Off().tdExtraContainerChanges.offset), entry);
}

TEST_F(EngineDoubleTest, GraphVariableReadTakesTheAddressOfAnInternedName) {
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  const gd::GraphHolderObj* holder = &actor.ref.graphHolder;
  auto read = holder->vtbl->getVariableBool;
  const gd::BSFixedString name{world_.strings().Intern("bLeftHandAttack")};
  bool out = false;

  EXPECT_FALSE(read(holder, &name, &out));  // unreadable unless the actor says otherwise
  refs().SetLeftHandAttack(actor, true);
  EXPECT_TRUE(read(holder, &name, &out));
  EXPECT_TRUE(out);
  refs().SetLeftHandAttack(actor, false);
  EXPECT_TRUE(read(holder, &name, &out));
  EXPECT_FALSE(out);
  const gd::BSFixedString other{world_.strings().Intern("bIsBlocking")};
  EXPECT_FALSE(read(holder, &other, &out));
  EXPECT_TRUE(TakeViolations().empty());

  // The handle itself instead of its address.
  const char* text = "bLeftHandAttack";
  EXPECT_FALSE(read(holder, reinterpret_cast<const gd::BSFixedString*>(text), &out));
  EXPECT_EQ(TakeViolations().size(), 1u);
}

TEST_F(EngineDoubleTest, ActorFactsAnswerThroughTheGamesFunctionsAndSlot249) {
  gd::PlainForm& faction = forms().AddForm(0x5C84D, gd::form_type::kFaction);
  gd::PlainForm& owner = forms().AddForm(0x7, gd::form_type::kNpc);
  gd::ActorRec& actor = refs().AddActor("bandit", 0x800);
  refs().SetLevel(actor, 23);
  refs().AddMembership(actor, &faction.form);
  gd::ReferenceRec& chest = refs().AddContainer("chest", 0x801, &forms().AddForm(0x300, 0x1C).form);
  refs().SetOwner(chest, &owner.form);

  EXPECT_EQ(At<std::uint16_t (*)(gd::ActorRec*)>(world_, gd::Off().actorLevel.offset)(&actor), 23);
  auto member =
      reinterpret_cast<gd::MembershipFn>(reinterpret_cast<void* const*>(actor.ref.form.vtbl)[gd::kMembershipSlot]);
  EXPECT_TRUE(member(&actor, &faction.form));
  EXPECT_FALSE(member(&actor, &owner.form));
  EXPECT_FALSE(member(&actor, nullptr));
  auto ownerOf = At<gd::FormHeader* (*)(gd::ReferenceRec*)>(world_, gd::Off().referenceOwner.offset);
  EXPECT_EQ(ownerOf(&chest), &owner.form);
  EXPECT_EQ(ownerOf(&actor.ref), nullptr);
}

TEST_F(EngineDoubleTest, CellsListTheirReferencesInUsedSlotsAndTheGridIsColumnMajor) {
  gd::Cells& cells = world_.Component<gd::Cells>();
  gd::CellRec& west = cells.AddCell("west", false);
  gd::CellRec& east = cells.AddCell("east", false);
  cells.MakeGrid(3);
  cells.PutInGrid(west, 0, 2);
  cells.PutInGrid(east, 2, 0);
  std::vector<gd::ReferenceRec*> placed;
  for (int i = 0; i < 5; ++i) {
    gd::ActorRec& actor = refs().AddActor("npc" + std::to_string(i), 0x900 + i);
    cells.Place(actor.ref, west);
    placed.push_back(&actor.ref);
  }

  auto* worldObject = *world_.region().At<gd::WorldObjRec*>(gd::Off().worldPtr.offset);
  ASSERT_NE(worldObject, nullptr);
  gd::LoadedGridRec* grid = worldObject->loadedGrid;
  ASSERT_EQ(grid->dimension, 3u);
  EXPECT_EQ(grid->cells[2 * 3 + 0], &west);  // (i, j) at j * d + i
  EXPECT_EQ(grid->cells[0 * 3 + 2], &east);
  EXPECT_EQ(grid->cells[4], nullptr);

  std::vector<gd::ReferenceRec*> found;
  std::uint32_t freeSlots = 0;
  for (std::uint32_t i = 0; i < west.slotCount; ++i) {
    if (west.slots[i].link == nullptr) {
      ++freeSlots;
    } else {
      found.push_back(west.slots[i].reference);
    }
  }
  std::sort(found.begin(), found.end());
  std::sort(placed.begin(), placed.end());
  EXPECT_EQ(found, placed);
  EXPECT_GT(freeSlots, 0u);
  EXPECT_EQ(placed.front()->cell, &west);
  EXPECT_EQ(west.state, 7);
}

TEST_F(EngineDoubleTest, NotificationsAndTheUnbreakableFlagAreTheGamesOwnAnswers) {
  auto notify = At<void (*)(const char*, const char*, bool)>(world_, gd::Off().hudNotify.offset);
  notify("Iron Sword", nullptr, false);
  notify("Iron Sword", "UISound", false);
  EXPECT_EQ(TakeViolations().size(), 1u);
  EXPECT_EQ(world_.Component<gd::Hud>().Notifications(), (std::vector<std::string>{"Iron Sword", "Iron Sword"}));

  auto unbreakable = At<bool (*)(gd::ExtraList*)>(world_, gd::Off().extraListUnbreakable.offset);
  gd::ExtraList& list = extra().NewList();
  EXPECT_FALSE(unbreakable(&list));
  extra().SetUnbreakable(list, true);
  EXPECT_TRUE(unbreakable(&list));
}

TEST_F(EngineDoubleTest, ThePlayerPointerDatumNamesThePlayer) {
  gd::ActorRec& player = refs().AddActor("player", 0x14);
  EXPECT_EQ(*world_.region().At<gd::ActorRec*>(gd::Off().playerPtr.offset), nullptr);
  refs().SetPlayer(&player);
  EXPECT_EQ(*world_.region().At<gd::ActorRec*>(gd::Off().playerPtr.offset), &player);
}

}  // namespace
