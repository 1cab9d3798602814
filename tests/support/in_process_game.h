#pragma once
// Tests of single engine operations: the plug-in's code linked straight into
// this program, working on a game double whose image region was reserved
// before the plug-in formed its bindings. Each test runs in a process of its
// own (ctest runs every discovered test separately): the plug-in keeps the
// forms it fetched once for the life of the process.
#include "double_offsets.h"
#include "extra_data.h"
#include "forms.h"
#include "image_region.h"
#include "inventory.h"
#include "items.h"
#include "references.h"
#include "world.h"

#include "config/config_store.h"
#include "engine/item_entry.h"
#include "game/game_layout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qmtest {

// The region the plug-in's bindings point into; reserved on first use.
std::uintptr_t InProcessImageBase();

// The runtime the plug-in linked into the tests binds to (1.5.39), its
// objects laid out as the given family lays them out.
const gd::RuntimeOffsets& InProcessRuntime(gd::LayoutFamily family);
// The plug-in's name for the double's layout family.
qm::game::LayoutFamily PluginFamily(gd::LayoutFamily family);

class InProcessGame : public ::testing::Test {
 protected:
  explicit InProcessGame(gd::LayoutFamily family = gd::LayoutFamily::kSpecialEdition) : family_(family) {}

  // The plug-in reads the objects of the world's family, as start-up would
  // have chosen for that runtime.
  void SetUp() override {
    qm::game::SelectLayoutFamily(PluginFamily(family_));
    world_ = std::make_unique<gd::World>(gd::ImageRegion::Adopt(InProcessImageBase(), gd::off::kImageSize),
                                         InProcessRuntime(family_));
  }
  void TearDown() override {
    for (const std::string& violation : world_->Violations()) ADD_FAILURE() << "game double: " << violation;
  }

  gd::World& world() { return *world_; }
  gd::Forms& forms() { return world_->Component<gd::Forms>(); }
  gd::References& refs() { return world_->Component<gd::References>(); }
  gd::Items& items() { return world_->Component<gd::Items>(); }
  gd::ExtraData& extra() { return world_->Component<gd::ExtraData>(); }
  gd::Inventories& inventories() { return world_->Component<gd::Inventories>(); }

  // The double's objects as the plug-in sees them.
  static qm::game::TESForm* Form(gd::FormHeader& form) { return reinterpret_cast<qm::game::TESForm*>(&form); }
  static qm::game::ExtraDataList* List(gd::ExtraList* list) { return reinterpret_cast<qm::game::ExtraDataList*>(list); }
  static qm::game::Actor* Actor(gd::ActorRec& actor) { return reinterpret_cast<qm::game::Actor*>(&actor); }
  static qm::game::InventoryChanges* Changes(gd::InventoryChangesRec* changes) {
    return reinterpret_cast<qm::game::InventoryChanges*>(changes);
  }
  qm::engine::ItemEntry Entry(const std::string& id) {
    const gd::NamedItem* item = items().Find(id);
    return qm::engine::ItemEntry{Form(*item->form), List(item->list), {}};
  }
  qm::game::InventoryChanges* InventoryOf(gd::ActorRec& actor) { return Changes(&refs().Inventory(actor.ref)); }

  static gd::InstanceSpec Spec(const std::string& id, gd::Worn worn = gd::Worn::No) {
    gd::InstanceSpec spec;
    spec.id = id;
    spec.worn = worn;
    return spec;
  }

  gd::LayoutFamily family_;
  std::unique_ptr<gd::World> world_;
};

// The same tests on a world of each layout family: a reader that takes one
// family's position on the other's objects fails them.
class InProcessGameOfEachFamily : public InProcessGame, public ::testing::WithParamInterface<gd::LayoutFamily> {
 protected:
  InProcessGameOfEachFamily() : InProcessGame(GetParam()) {}
};

std::string FamilyName(const ::testing::TestParamInfo<gd::LayoutFamily>& info);

}  // namespace qmtest

#define QM_ON_EACH_LAYOUT_FAMILY(Fixture)                                                                        \
  INSTANTIATE_TEST_SUITE_P(Family, Fixture,                                                                      \
                           ::testing::Values(gd::LayoutFamily::kSpecialEdition, gd::LayoutFamily::kAnniversary), \
                           qmtest::FamilyName)
