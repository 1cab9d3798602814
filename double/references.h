#pragma once
// World references: items lying in the world, containers and actors, with
// what the engine reads of them (base form, position, cell, extra-data list;
// an actor's process, hands, flags, animation-graph holder, level and
// memberships) and the operations it calls (inventory removal, refresh after
// removal, owner, level). The actor's own fields and the reference's list
// take the shape of the world's layout family.
#include "extra_data.h"
#include "forms.h"
#include "inventory.h"
#include "live_layout.h"
#include "pointer_table.h"
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace gd {

struct CellRec;

// The actor's animation-graph holder, a sub-object at +0x38: slot 18 reads a
// boolean graph variable as (holder, address of the InternedString name,
// address of the output byte) -> bool.
struct GraphHolderObj;
struct GraphHolderVtbl {
  void* slots0to17[18];
  bool (*getVariableBool)(const GraphHolderObj* self, const BSFixedString* name, bool* out);  // slot 18
  void* slots19to23[5];
};
static_assert(offsetof(GraphHolderVtbl, getVariableBool) == 18 * 8);
struct GraphHolderObj {
  const GraphHolderVtbl* vtbl;  // 0x00
};

struct ReferenceRec {
  FormHeader form;  // 0x00: form type 0x3D (0x3E for actors)
  // 0x20 to 0x37 hold nothing the plug-in reads: the double keeps its own
  // facts of the reference there, in the reference's first cache line.
  const void* maker;           // 0x20: the References component that made it
  FormHeader* owner;           // 0x28: what ReferenceOwner answers
  std::uint8_t pad30[0x8];     // 0x30
  GraphHolderObj graphHolder;  // 0x38
  FormHeader* baseForm;        // 0x40
  float rotation[3];           // 0x48
  float position[3];           // 0x54
  CellRec* cell;               // 0x60
  std::uint8_t pad68[8];       // 0x68
  ExtraList extraList;         // 0x70: 0x18 or 0x20 bytes by family
  std::uint8_t pad90[0x10];    // 0x90: room for the longer reference
};
static_assert(offsetof(ReferenceRec, graphHolder) == 0x38);
static_assert(offsetof(ReferenceRec, baseForm) == 0x40);
static_assert(offsetof(ReferenceRec, position) == 0x54);
static_assert(offsetof(ReferenceRec, cell) == 0x60);
static_assert(offsetof(ReferenceRec, extraList) == 0x70);
static_assert(sizeof(ReferenceRec) == sizeof(family::Reference<family::ListAE>));

struct ProcessRec {
  std::uint8_t pad00[0xF0];    // 0x00
  FormHeader* leftHand;        // 0xF0
  FormHeader* rightHand;       // 0xF8
  std::uint8_t pad100[0x200];  // 0x100
};
static_assert(offsetof(ProcessRec, leftHand) == 0xF0 && offsetof(ProcessRec, rightHand) == 0xF8);

// An actor: its reference, then its own fields where the world's layout
// family puts them (family::Actor), reached through the accessors. Room for
// the longer actor.
struct ActorRec {
  ReferenceRec ref;  // 0x00
  std::uint8_t own[sizeof(family::Actor<family::ListAE>) - sizeof(ReferenceRec)];

  std::uint32_t& stateWord() {
    return FieldAt<std::uint32_t>(this, LiveLayout().actorState);
  }  // weapon state: bits 5 to 7
  std::uint32_t& boolBits() { return FieldAt<std::uint32_t>(this, LiveLayout().actorBoolBits); }  // 0x4000000 follower
  ProcessRec*& process() { return FieldAt<ProcessRec*>(this, LiveLayout().actorProcess); }
  ProcessRec* process() const { return FieldAt<ProcessRec*>(this, LiveLayout().actorProcess); }
  FormHeader*& selectedPower() { return FieldAt<FormHeader*>(this, LiveLayout().actorSelectedPower); }
};
static_assert(sizeof(ActorRec) == sizeof(family::Actor<family::ListAE>));

constexpr std::uint32_t kFollowerFlag = 0x4000000;

// The reference dispatch table as far as the plug-in reaches into it.
constexpr std::size_t kReferenceSlots = 0x130;
constexpr std::size_t kRemoveItemSlot = 86;
constexpr std::size_t kMembershipSlot = 249;
using RemoveItemFn = std::uint32_t* (*)(ActorRec* self, std::uint32_t* handleOut, FormHeader* item, std::int32_t count,
                                        std::uint32_t reason, ExtraList* extraList, ReferenceRec* moveTo,
                                        const float* dropLocation, const float* rotation);
using MembershipFn = bool (*)(const ActorRec* self, const FormHeader* group);

// One removal through slot 86, as the game received it.
struct Removal {
  ActorRec* actor;
  FormHeader* form;
  ExtraList* list;
};

class References : public WorldComponent {
 public:
  explicit References(World& world);

  ActorRec& AddActor(const std::string& name, std::uint32_t formId, FormHeader* base = nullptr);
  ReferenceRec& AddContainer(const std::string& name, std::uint32_t formId, FormHeader* containerBase);
  // An item lying in the world; its own list may lack a presence bit field.
  ReferenceRec& AddLooseItem(const std::string& name, std::uint32_t formId, FormHeader* itemBase,
                             bool presenceBits = true);

  // The player: the game's datum holds it. Null clears it.
  void SetPlayer(ActorRec* actor);
  ActorRec* Player() const;

  ProcessRec& GiveProcess(ActorRec& actor);
  void SetLevel(ActorRec& actor, std::uint16_t level);
  void AddMembership(ActorRec& actor, const FormHeader* group);
  // nullopt: the graph variable cannot be read.
  void SetLeftHandAttack(ActorRec& actor, std::optional<bool> value);
  void SetOwner(ReferenceRec& reference, FormHeader* owner);
  void SetPosition(ReferenceRec& reference, float x, float y, float z);

  InventoryChangesRec& Inventory(ReferenceRec& holder);
  InventoryChangesRec* FindInventory(const ReferenceRec& holder) const;

  std::string NameOf(const ReferenceRec* reference) const;
  ReferenceRec* Find(const std::string& name) const;
  static bool IsActor(const ReferenceRec* reference);
  bool Knows(const void* reference) const { return known_.Contains(reference); }

  // What the game recorded of the plug-in's calls.
  std::vector<Removal> Removals() const;
  // Long runs: how many removals there were, and those after the first n.
  std::size_t RemovalCount() const;
  std::vector<Removal> RemovalsSince(std::size_t first) const;
  std::uint32_t RefreshCalls(const ActorRec* actor) const;
  std::uint32_t GraphReads(const ActorRec* actor) const;

  // Called by the dispatch slots and functions below.
  std::uint32_t* RemoveItem(ActorRec* self, std::uint32_t* handleOut, FormHeader* item, std::int32_t count,
                            std::uint32_t reason, ExtraList* extraList, ReferenceRec* moveTo, const float* dropLocation,
                            const float* rotation);
  void RefreshAfterRemoval(ProcessRec* process, ActorRec* actor);
  bool IsMember(const ActorRec* actor, const FormHeader* group) const;
  bool ReadGraphVariable(const GraphHolderObj* holder, const BSFixedString* name, bool* out);
  std::uint16_t LevelOf(const ActorRec* actor) const;
  FormHeader* OwnerOf(const ReferenceRec* reference) const;

 private:
  struct ActorFacts {
    std::uint16_t level = 1;
    std::unordered_set<const FormHeader*> groups;
    std::optional<bool> leftHandAttack;
  };
  ReferenceRec& Register(ReferenceRec& reference, const std::string& name, std::uint32_t formId, std::uint8_t formType,
                         FormHeader* base, bool presenceBits);

  // The reference this component made at that address; null for anything
  // else. The address must be one the plug-in was given as a reference.
  const ReferenceRec* FindOwn(const ReferenceRec* reference) const;

  // Records are placed one after the other in large blocks, so that their
  // addresses rise in the order they were made on every platform: the
  // plug-in visits references in address order, and a scenario's trace may
  // not depend on how the system's allocator lays out small blocks.
  template <class Record>
  Record& Make();
  static constexpr std::size_t kBlockBytes = 256 * 1024;

  World& world_;
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::deque<std::unique_ptr<ProcessRec>> processes_;
  PointerTable<bool> known_;  // every reference the double made
  std::unordered_map<const ReferenceRec*, std::string> names_;
  std::map<std::string, ReferenceRec*> byName_;
  std::unordered_map<const ActorRec*, ActorFacts> facts_;
  mutable std::mutex callsMutex_;
  std::vector<Removal> removals_;
  std::unordered_map<const ActorRec*, std::uint32_t> refreshCalls_;
  std::unordered_map<const ActorRec*, std::uint32_t> graphReads_;
};

}  // namespace gd
