#pragma once
// Item instances by name: what tests and scenarios give to actors and
// containers or lay into the world, and read back afterwards (health,
// presence). Builds on the game's own records; adds nothing the plug-in sees.
#include "extra_data.h"
#include "inventory.h"
#include "references.h"
#include "world.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gd {

enum class Worn { No, Right, Left };  // Right: bit 0x16 (worn armour too), Left: 0x17

struct InstanceSpec {
  std::string id;  // name for tests and scenarios; may be empty
  Worn worn = Worn::No;
  std::optional<float> health;  // nullopt: no health entry
  bool presenceBits = true;     // false: a list without a presence bit field
  bool unbreakable = false;     // the game's own no-break flag of the instance
  FormHeader* poison = nullptr;
  std::uint32_t poisonCount = 0;
  bool healthBitWithoutEntry = false;  // bit 0x25 set, no health entry
};

struct NamedItem {
  std::string id;
  ReferenceRec* holder = nullptr;  // the actor or container; the reference itself for loose items
  FormHeader* form = nullptr;
  ExtraList* list = nullptr;
  bool loose = false;
};

class Items : public WorldComponent {
 public:
  explicit Items(World& world);

  // One inventory entry of count units; each spec is one instance with its
  // own extra-data list. A worn weapon of an actor with a process goes into
  // the matching hand.
  InventoryEntryRec& Give(ReferenceRec& holder, FormHeader* form, std::int32_t count,
                          const std::vector<InstanceSpec>& instances);
  ExtraList& GiveOne(ReferenceRec& holder, FormHeader* form, const InstanceSpec& spec);
  // An item lying in the world, its own list set up as the instance description says.
  ReferenceRec& Lay(const std::string& name, std::uint32_t formId, FormHeader* form, const InstanceSpec& spec);

  const NamedItem* Find(const std::string& id) const;
  const std::vector<NamedItem>& All() const { return items_; }
  std::vector<const NamedItem*> Of(const ReferenceRec* holder) const;
  // Still in its holder's inventory (loose items always are).
  bool Present(const NamedItem& item) const;
  std::optional<float> Health(const NamedItem& item) const;

 private:
  void Fill(ExtraList& list, const InstanceSpec& spec);

  World& world_;
  std::vector<NamedItem> items_;
  std::map<std::string, std::size_t> byId_;
};

}  // namespace gd
