// Dynamic tempering against the real module in the game double: when a pass
// runs, what it searches, and what each undecided instance receives.
#include "support/engine_world.h"

#include <functional>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace qmtest {
namespace {

constexpr std::uint32_t kCuirass = 0x0002B000;
constexpr std::uint32_t kUpdatesPerPass = 201;

class TemperTest : public EngineWorld {
 protected:
  // The player in an interior cell at the origin, with a container beside it.
  void SetUp() override {
    EngineWorld::SetUp();
    room_ = &cells().AddCell("room", true);
    player_ = &Actor("player");
    cells().Place(player_->ref, *room_);
    cuirass_ = &Armor(kCuirass, 0x4);
  }

  void Start(const std::string& temper) {
    WriteSettings("[DynamicTemper]\n" + temper + "\n");
    StartPlugin();
  }

  gd::ReferenceRec& PlacedContainer(const std::string& name, gd::CellRec& cell, float x = 100.0f) {
    gd::ReferenceRec& container = Container(name);
    references().SetPosition(container, x, 0.0f, 0.0f);
    cells().Place(container, cell);
    return container;
  }
  gd::ActorRec& PlacedActor(const std::string& name, std::uint16_t level) {
    gd::ActorRec& actor = Actor(name);
    references().SetLevel(actor, level);
    references().SetPosition(actor.ref, 200.0f, 0.0f, 0.0f);
    cells().Place(actor.ref, *room_);
    return actor;
  }

  gd::CellRec* room_ = nullptr;
  gd::ActorRec* player_ = nullptr;
  gd::ArmorForm* cuirass_ = nullptr;
};

TEST_F(TemperTest, PassesRunAtThe201stAndThe402ndUpdateEvent) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& first = Give(chest, cuirass_->form);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass - 1);
  EXPECT_FALSE(Decided(first));
  Updates(1);
  EXPECT_TRUE(Decided(first));

  gd::ExtraList& second = Give(chest, Armor(0x0002B001, 0x8).form);
  Updates(kUpdatesPerPass - 1);
  EXPECT_FALSE(Decided(second));
  Updates(1);
  EXPECT_TRUE(Decided(second));
}

TEST_F(TemperTest, DisabledTemperingDecidesNothingButStillClearsRecentHits) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& stored = Give(chest, cuirass_->form);
  gd::ActorRec& bandit = Actor("bandit");
  Wear(bandit, Weapon(0x0002A000).form, 1.5f);
  gd::ExtraList& worn = Wear(*player_, Armor(0x0002B002, 0x4).form, 1.5f);
  Start("DisableDynamicTemper=true\nTemperChance=100");

  Updates(2 * kUpdatesPerPass);
  EXPECT_FALSE(Decided(stored));

  Hit(*player_, bandit, 0x0002A000);
  const float once = Health(worn);
  EXPECT_LT(once, 1.5f);
  Updates(2);
  Hit(*player_, bandit, 0x0002A000);
  EXPECT_LT(Health(worn), once);
}

TEST_F(TemperTest, SomeHoldersAndOwnersKeepTheirItemsAtOne) {
  gd::FormHeader& groupA = forms().AddForm(0x05C84D, gd::form_type::kFaction, "GroupA").form;
  gd::FormHeader& groupB = forms().AddForm(0x09A7B2, gd::form_type::kFaction, "GroupB").form;
  forms().AddForm(kPlayerRecordId, gd::form_type::kNpc, "PlayerRecord");
  gd::FormHeader& merchant = forms().AddForm(0x0002F000, gd::form_type::kNpc, "Merchant").form;

  gd::ExtraList& playersOwn = Give(player_->ref, cuirass_->form);
  gd::ActorRec& memberA = PlacedActor("memberA", 20);
  references().AddMembership(memberA, &groupA);
  gd::ExtraList& memberAItem = Give(memberA.ref, cuirass_->form);
  gd::ActorRec& memberB = PlacedActor("memberB", 20);
  references().AddMembership(memberB, &groupB);
  gd::ExtraList& memberBItem = Give(memberB.ref, cuirass_->form);
  gd::ActorRec& stranger = PlacedActor("stranger", 20);
  gd::ExtraList& strangerItem = Give(stranger.ref, cuirass_->form);

  gd::ReferenceRec& ownedByPlayer = Loose("ownedByPlayer", cuirass_->form);
  references().SetOwner(ownedByPlayer, forms().Find(kPlayerRecordId));
  gd::ReferenceRec& unowned = Loose("unowned", cuirass_->form);
  gd::ReferenceRec& merchants = Loose("merchants", cuirass_->form);
  references().SetOwner(merchants, &merchant);
  for (gd::ReferenceRec* loose : {&ownedByPlayer, &unowned, &merchants}) cells().Place(*loose, *room_);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  for (const gd::ExtraList* list :
       {&playersOwn, &memberAItem, &memberBItem, &ownedByPlayer.extraList, &unowned.extraList}) {
    EXPECT_TRUE(Decided(*list));
    EXPECT_EQ(Health(*list), 1.0f);
  }
  EXPECT_GT(Health(strangerItem), 1.0f);
  EXPECT_GT(Health(merchants.extraList), 1.0f);

  // Decided once, never again: the tempered keep their values.
  const float strangers = Health(strangerItem);
  const float merchantsValue = Health(merchants.extraList);
  Updates(kUpdatesPerPass);
  EXPECT_EQ(Health(playersOwn), 1.0f);
  EXPECT_EQ(Health(unowned.extraList), 1.0f);
  EXPECT_EQ(Health(strangerItem), strangers);
  EXPECT_EQ(Health(merchants.extraList), merchantsValue);
}

TEST_F(TemperTest, ItemsThatCannotBreakReceiveOne) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& protectedInstance = Give(chest, cuirass_->form);
  extra().SetUnbreakable(protectedInstance, true);
  gd::ExtraList& neverBreaks = Give(chest, Armor(0x000001F4, 0x8).form);
  gd::ExtraList& ordinary = Give(chest, Armor(0x0002B003, 0x80).form);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_EQ(Health(protectedInstance), 1.0f);
  EXPECT_TRUE(Decided(protectedInstance));
  EXPECT_EQ(Health(neverBreaks), 1.0f);
  EXPECT_TRUE(Decided(neverBreaks));
  EXPECT_GT(Health(ordinary), 1.0f);
}

TEST_F(TemperTest, BossHoldersUseTheBossChance) {
  gd::FormHeader& bossMarkerA = forms().AddForm(0x0130F7, gd::form_type::kLocationRefType, "BossA").form;
  gd::FormHeader& bossMarkerB = forms().AddForm(0x0130F8, gd::form_type::kLocationRefType, "BossB").form;
  gd::FormHeader& otherMarker = forms().AddForm(0x0130F9, gd::form_type::kLocationRefType, "Other").form;
  gd::ReferenceRec& bossChest = PlacedContainer("bossChest", *room_);
  extra().AddPointer(bossChest.extraList, gd::extra_type::kReferenceMarker, &bossMarkerA);
  gd::ActorRec& boss = PlacedActor("boss", 30);
  extra().AddPointer(boss.ref.extraList, gd::extra_type::kReferenceMarker, &bossMarkerB);
  gd::ReferenceRec& otherChest = PlacedContainer("otherChest", *room_, 150.0f);
  extra().AddPointer(otherChest.extraList, gd::extra_type::kReferenceMarker, &otherMarker);
  gd::ExtraList& bossChestItem = Give(bossChest, cuirass_->form);
  gd::ExtraList& bossItem = Give(boss.ref, cuirass_->form);
  gd::ExtraList& otherItem = Give(otherChest, cuirass_->form);
  Start("TemperChance=0\nBossTemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_GT(Health(bossChestItem), 1.0f);
  EXPECT_GT(Health(bossItem), 1.0f);
  EXPECT_EQ(Health(otherItem), 1.0f);
  EXPECT_TRUE(Decided(otherItem));
}

TEST_F(TemperTest, ANegativeChanceTempersEverything) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  std::vector<gd::ExtraList*> items;
  for (std::uint32_t i = 0; i < 20; ++i) items.push_back(&Give(chest, Armor(0x0002C000 + i, 0x4).form));
  Start("TemperChance=-1");

  Updates(kUpdatesPerPass);
  for (const gd::ExtraList* item : items) EXPECT_GT(Health(*item), 1.0f);
}

TEST_F(TemperTest, TemperGrowsWithTheHoldersLevel) {
  // Level 10: [1.0001, 1.2001). A container takes the player's level (1):
  // [1.0001, 1.1101).
  gd::ActorRec& veteran = PlacedActor("veteran", 10);
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  std::vector<gd::ExtraList*> veteranItems;
  std::vector<gd::ExtraList*> chestItems;
  for (std::uint32_t i = 0; i < 60; ++i) {
    gd::ArmorForm& piece = Armor(0x0002D000 + i, 0x4);
    veteranItems.push_back(&Give(veteran.ref, piece.form));
    chestItems.push_back(&Give(chest, piece.form));
  }
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  float highestVeteran = 0.0f;
  for (const gd::ExtraList* item : veteranItems) {
    EXPECT_GE(Health(*item), 1.0001f);
    EXPECT_LT(Health(*item), 1.2001f);
    highestVeteran = std::max(highestVeteran, Health(*item));
  }
  EXPECT_GT(highestVeteran, 1.1101f);  // beyond what level 1 could give
  for (const gd::ExtraList* item : chestItems) {
    EXPECT_GE(Health(*item), 1.0001f);
    EXPECT_LT(Health(*item), 1.1101f);
  }
}

TEST_F(TemperTest, ATemperIsOneDrawOfTheEngineScaledIntoTheLevelsRange) {
  // (10001 + u * (level + 10) * 100) / 10000 in single precision, u being a
  // real drawn from two consecutive outputs of the engine's generator, which
  // starts from its default seed: the value is one of the early draws'.
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& item = Give(chest, cuirass_->form);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  std::mt19937 generator(5489);
  std::vector<std::uint32_t> outputs(1000);
  for (std::uint32_t& output : outputs) output = generator();
  bool matched = false;
  for (std::size_t k = 0; k + 1 < outputs.size() && !matched; ++k) {
    const double u = (outputs[k] + outputs[k + 1] * 4294967296.0) / 18446744073709551616.0;
    matched = Health(item) == static_cast<float>((10001.0 + u * 1100.0) * 0.0001);  // the container's level 1
  }
  EXPECT_TRUE(matched) << "temper " << Health(item);
}

TEST_F(TemperTest, DrawsGoByAddressNotByTheCellTablesOrder) {
  // The first of a pair in the table holds the higher address, as when its
  // slot wrapped around the table's end.
  const auto placeReversed = [this](gd::ReferenceRec& one, gd::ReferenceRec& other) {
    gd::CellRefSlot* slots = room_->slots();
    const auto slotOf = [&](const gd::ReferenceRec& reference) {
      std::uint32_t i = 0;
      while (slots[i].reference != &reference) ++i;
      return i;
    };
    const bool oneIsHigher = std::less<const void*>()(&other, &one);
    if ((slotOf(one) < slotOf(other)) != oneIsHigher) std::swap(slots[slotOf(one)], slots[slotOf(other)]);
    return oneIsHigher ? std::pair{&other, &one} : std::pair{&one, &other};
  };
  gd::ReferenceRec& firstChest = PlacedContainer("firstChest", *room_);
  gd::ReferenceRec& secondChest = PlacedContainer("secondChest", *room_);
  gd::ReferenceRec& firstLying = Loose("firstLying", cuirass_->form);
  gd::ReferenceRec& secondLying = Loose("secondLying", cuirass_->form);
  gd::FormHeader& merchant = forms().AddForm(0x0002F000, gd::form_type::kNpc, "Merchant").form;
  references().SetLevel(*player_, 1);  // the containers' level too: one range of tempers for all
  for (gd::ReferenceRec* lying : {&firstLying, &secondLying}) {
    references().SetOwner(*lying, &merchant);  // only another's item lying about is tempered
    references().SetPosition(*lying, 50.0f, 0.0f, 0.0f);
    cells().Place(*lying, *room_);
  }
  std::map<const gd::ReferenceRec*, const gd::ExtraList*> itemOf{{&firstChest, &Give(firstChest, cuirass_->form)},
                                                                 {&secondChest, &Give(secondChest, cuirass_->form)}};
  const auto [lowerChest, higherChest] = placeReversed(firstChest, secondChest);
  const auto [lowerLying, higherLying] = placeReversed(firstLying, secondLying);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  // Each temper is one more draw: the lower address has the lower temper
  // only by chance, so compare with the values the draws give in order.
  std::mt19937 generator(5489);
  const auto drawIndex = [&](float health) {
    std::mt19937 copy = generator;
    std::uint32_t previous = copy();
    for (int k = 0; k < 1000; ++k) {
      const std::uint32_t next = copy();
      const double u = (previous + next * 4294967296.0) / 18446744073709551616.0;
      if (health == static_cast<float>((10001.0 + u * 1100.0) * 0.0001)) return k;
      previous = next;
    }
    return -1;
  };
  EXPECT_LT(drawIndex(Health(lowerLying->extraList)), drawIndex(Health(higherLying->extraList)));
  EXPECT_LT(drawIndex(Health(*itemOf[lowerChest])), drawIndex(Health(*itemOf[higherChest])));
}

TEST_F(TemperTest, AReferenceWithoutABaseRecordIsPassedOver) {
  // A placed reference whose base record is gone from the load order.
  gd::ReferenceRec& orphan = references().AddLooseItem("orphan", nextReferenceId_++, nullptr);
  references().SetPosition(orphan, 50.0f, 0.0f, 0.0f);
  cells().Place(orphan, *room_);
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& item = Give(chest, cuirass_->form);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_GT(Health(item), 1.0f) << "the pass goes on past it";
}

TEST_F(TemperTest, TheSearchRadiusIsStrictlyBelow7000Units) {
  // Distances from the player, who stands away from the origin.
  references().SetPosition(player_->ref, -1000.0f, 500.0f, 0.0f);
  const auto placed = [&](const std::string& name, float x, float y, float z) -> gd::ExtraList& {
    gd::ReferenceRec& container = PlacedContainer(name, *room_);
    references().SetPosition(container, -1000.0f + x, 500.0f + y, z);
    return Give(container, cuirass_->form);
  };
  gd::ExtraList& atRadius = placed("atRadius", 7000.0f, 0.0f, 0.0f);
  gd::ExtraList& behind = placed("behind", -7000.0f, 0.0f, 0.0f);
  gd::ExtraList& inside = placed("inside", 6999.5f, 0.0f, 0.0f);
  gd::ExtraList& diagonal = placed("diagonal", 4000.0f, 4000.0f, 4000.0f);  // 6928 units away
  // Less than one square unit inside: the squares are summed in double precision.
  gd::ExtraList& justInside = placed("justInside", 6999.99951171875f, 2.5f, 0.0f);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_FALSE(Decided(atRadius));
  EXPECT_FALSE(Decided(behind));
  EXPECT_TRUE(Decided(inside));
  EXPECT_TRUE(Decided(diagonal));
  EXPECT_TRUE(Decided(justInside));
}

TEST_F(TemperTest, IndoorsOnlyThePlayersCellIsSearched) {
  gd::CellRec& nextRoom = cells().AddCell("nextRoom", true);
  gd::CellRec& outside = cells().AddCell("outside", false);
  cells().MakeGrid(1);
  cells().PutInGrid(outside, 0, 0);
  gd::ExtraList& here = Give(PlacedContainer("here", *room_), cuirass_->form);
  gd::ExtraList& there = Give(PlacedContainer("there", nextRoom), cuirass_->form);
  gd::ExtraList& out = Give(PlacedContainer("out", outside), cuirass_->form);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_TRUE(Decided(here));
  EXPECT_FALSE(Decided(there));
  EXPECT_FALSE(Decided(out));
}

TEST_F(TemperTest, OutdoorsEveryAttachedGridCellIsSearched) {
  gd::CellRec& west = cells().AddCell("west", false);
  gd::CellRec& east = cells().AddCell("east", false);
  gd::CellRec& detached = cells().AddCell("detached", false, 3);
  gd::CellRec& offGrid = cells().AddCell("offGrid", false);
  cells().MakeGrid(2);
  cells().PutInGrid(west, 0, 0);
  cells().PutInGrid(east, 1, 1);
  cells().PutInGrid(detached, 0, 1);  // (1, 0) stays empty
  player_->ref.cell = &west;
  gd::ExtraList& westItem = Give(PlacedContainer("westChest", west), cuirass_->form);
  gd::ReferenceRec& lying = Loose("lying", cuirass_->form);
  references().SetPosition(lying, 0.0f, 300.0f, 0.0f);
  cells().Place(lying, east);
  gd::ExtraList& detachedItem = Give(PlacedContainer("detachedChest", detached), cuirass_->form);
  gd::ExtraList& offGridItem = Give(PlacedContainer("offGridChest", offGrid), cuirass_->form);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_TRUE(Decided(westItem));
  EXPECT_TRUE(Decided(lying.extraList));
  EXPECT_FALSE(Decided(detachedItem));
  EXPECT_FALSE(Decided(offGridItem));
}

TEST_F(TemperTest, ACellWhoseTableHasASingleSlotIsSearched) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& item = Give(chest, cuirass_->form);
  // The game's tables can be that small: the chest's slot becomes the only one.
  for (std::uint32_t i = 0; i < room_->slotCount(); ++i) {
    if (room_->slots()[i].reference == &chest) std::swap(room_->slots()[0], room_->slots()[i]);
  }
  room_->slotCount() = 1;
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_TRUE(Decided(item));
}

TEST_F(TemperTest, OnlyTheFirstInstanceOfAnEntryIsEverDecided) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& first = Give(chest, cuirass_->form);
  gd::ExtraList& second = Give(chest, cuirass_->form);
  // An empty node the game left before the instances does not count as the first.
  gd::ReferenceRec& shelf = PlacedContainer("shelf", *room_);
  gd::InventoryEntryRec& entry = inventories().AddEntry(references().Inventory(shelf), &cuirass_->form, 1);
  inventories().AddEmptyInstanceNode(entry);
  gd::ExtraList& afterEmpty = inventories().AddInstance(entry);
  // A container that never held anything has no inventory at all.
  gd::ReferenceRec& neverUsed = references().AddContainer(
      "neverUsed", 0x00FFF000, &forms().AddForm(0x00FFF001, gd::form_type::kContainer, "neverUsed").form);
  cells().Place(neverUsed, *room_);
  Start("TemperChance=100");

  Updates(kUpdatesPerPass);
  EXPECT_TRUE(Decided(first));
  EXPECT_FALSE(Decided(second));
  EXPECT_TRUE(Decided(afterEmpty));
  EXPECT_EQ(references().FindInventory(neverUsed), nullptr);
  Updates(kUpdatesPerPass);
  EXPECT_FALSE(Decided(second));
}

TEST_F(TemperTest, NoPlayerWhenAPassComesDueSkipsThePass) {
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& stored = Give(chest, cuirass_->form);
  Start("TemperChance=100");

  references().SetPlayer(nullptr);
  Updates(kUpdatesPerPass);
  EXPECT_FALSE(Decided(stored));

  // Nor while the player is in no cell, or outdoors before any cell has loaded.
  references().SetPlayer(player_);
  player_->ref.cell = nullptr;
  Updates(kUpdatesPerPass);
  EXPECT_FALSE(Decided(stored));
  gd::CellRec& outside = cells().AddCell("outside", false);
  player_->ref.cell = &outside;
  Updates(kUpdatesPerPass);
  EXPECT_FALSE(Decided(stored));

  player_->ref.cell = room_;
  Updates(kUpdatesPerPass);
  EXPECT_TRUE(Decided(stored));
}

TEST_F(TemperTest, ALooseItemWithoutABitFieldIsDecidedAgainEachPass) {
  gd::ReferenceRec& bare = Loose("bare", cuirass_->form, false);
  references().SetPosition(bare, 50.0f, 0.0f, 0.0f);
  cells().Place(bare, *room_);
  gd::ReferenceRec& chest = PlacedContainer("chest", *room_);
  gd::ExtraList& stored = Give(chest, cuirass_->form);
  // Anything else lying about is passed over, and so are weapons that do
  // not wear, even when someone owns them.
  gd::FormHeader& merchant = forms().AddForm(0x0002F000, gd::form_type::kNpc, "Merchant").form;
  gd::ReferenceRec& potion = Loose("potion", forms().AddForm(0x3EADD, gd::form_type::kAlchemy, "Potion").form);
  gd::ReferenceRec& staff = Loose("staff", forms().AddWeapon(0x29B68, "Staff", 8).form);
  for (gd::ReferenceRec* item : {&potion, &staff}) {
    references().SetOwner(*item, &merchant);
    cells().Place(*item, *room_);
  }
  Start("TemperChance=100");

  Updates(2 * kUpdatesPerPass);
  EXPECT_FALSE(Decided(bare.extraList));
  EXPECT_TRUE(Decided(stored));
  EXPECT_FALSE(Decided(potion.extraList));
  EXPECT_FALSE(Decided(staff.extraList));
}

}  // namespace
}  // namespace qmtest
