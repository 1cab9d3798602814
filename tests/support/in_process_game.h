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

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace qmtest {

// The region the plug-in's bindings point into; reserved on first use.
std::uintptr_t InProcessImageBase();

class InProcessGame : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<gd::World>(gd::ImageRegion::Adopt(InProcessImageBase(), gd::off::kImageSize));
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

  std::unique_ptr<gd::World> world_;
};

}  // namespace qmtest
