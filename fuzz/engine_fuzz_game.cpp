#include "engine_fuzz_game.h"

#include "cells.h"
#include "engine_events.h"
#include "host_double.h"
#include "process_facts.h"

#include <sanitizer/lsan_interface.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace qmfuzz {
namespace {

constexpr std::uint32_t kPlayerBaseId = 0x00000007;
constexpr std::uint32_t kNoEnchantKeyword = 0x000C27BD;
constexpr std::uint32_t kUntemperedGroup = 0x0005C84D;
constexpr std::uint32_t kBossMarker = 0x000130F7;

struct Profile {
  const char* ini;
  float threshold;  // at least the health threshold the settings make
};

// Every category may break and does so often; all actors take part; the
// toggle key and the weapon-state rule are live.
constexpr const char* kMainSettings =
    "[Degradation]\r\nOnlyPlayer=false\r\nEquipmentHealthThreshold=100\r\n"
    "[BreakChance]\r\nWeaponSword=35\r\nWeaponDagger=35\r\nWeaponWarAxe=35\r\nWeaponMace=35\r\n"
    "WeaponGreatSword=35\r\nWeaponHammer=35\r\nWeaponBattleAxe=35\r\nWeaponBow=35\r\nWeaponCrossbow=35\r\n"
    "LightArmor=35\r\nHeavyArmor=35\r\nClothing=35\r\nDefaultArmor=35\r\n"
    "[DynamicTemper]\r\nTemperChance=50\r\n"
    "[Widget]\r\nToggleKeyCode=42\r\nHideWithWeaponsSheathed=true\r\n";

// Infinity in its spellings, 1e308 and the largest float as rates, chances
// and multipliers, with zero multipliers against infinite values; a temper
// chance past 32 bits (read as 0) and a negative one (always).
constexpr const char* kInfiniteSettings =
    "[Degradation]\r\nOnlyPlayer=false\r\nEquipmentHealthThreshold=100\r\n"
    "[DegradationRate]\r\nWeaponSword=inf\r\nWeaponDagger=1e308\r\nWeaponGreatSword=3.4028234663852886e38\r\n"
    "HeavyArmor=INF\r\nLightArmor=1e308\r\nDefaultArmor=Infinity\r\nWeaponBow=nan\r\nWeaponWarAxe=-inf\r\n"
    "PowerAttackMultiplier=1e308\r\nNPCMultiplier=inf\r\nFollowerMultiplier=0\r\n"
    "[BreakChance]\r\nWeaponSword=inf\r\nWeaponDagger=1.7976931348623157e308\r\nHeavyArmor=1e308\r\n"
    "LightArmor=infinity\r\nDefaultArmor=3.4028234663852886e38\r\nClothing=NAN\r\n"
    "PowerAttackMultiplier=inf\r\nNPCMultiplier=0\r\nFollowerMultiplier=1e308\r\n"
    "[DynamicTemper]\r\nTemperChance=4294967296\r\nBossTemperChance=-1\r\n"
    "[Widget]\r\nDisableWidget=true\r\n";

// The highest threshold there is (-1 read as 4294967295), the break chance
// scaled by health on the way to it, infinite chances times zero power
// attacks, and tiny multipliers against the largest double.
constexpr const char* kHugeSettings =
    "[Degradation]\r\nOnlyPlayer=false\r\nEquipmentHealthThreshold=-1\r\nIncreaseDurability=true\r\n"
    "[DegradationRate]\r\nWeaponSword=1.7976931348623157e308\r\nHeavyArmor=inf\r\nLightArmor=0\r\n"
    "DefaultArmor=1e-308\r\nPowerAttackMultiplier=0\r\nNPCMultiplier=1e-308\r\nFollowerMultiplier=inf\r\n"
    "[BreakChance]\r\nWeaponSword=inf\r\nHeavyArmor=inf\r\nLightArmor=5\r\nDefaultArmor=1e308\r\n"
    "PowerAttackMultiplier=0\r\nNPCMultiplier=inf\r\nFollowerMultiplier=1e-308\r\n"
    "[DynamicTemper]\r\nTemperChance=100\r\nBossTemperChance=2147483647\r\n"
    "[Widget]\r\nDisableWidget=true\r\n";

constexpr Profile kProfileSettings[kProfiles] = {
    {kMainSettings, 1.1f}, {kInfiniteSettings, 1.1f}, {kHugeSettings, 4.3e6f}};

std::string gRoot;

void RemoveFolders() {
  std::error_code ignored;
  if (!gRoot.empty()) std::filesystem::remove_all(gRoot, ignored);
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "engine fuzzer: %s\n", what.c_str());
  std::abort();
}

}  // namespace

FuzzGame& FuzzGame::Get() {
  // Never destroyed: the plug-in's sinks and menus refer into the world
  // until the process ends.
  static FuzzGame* game = new FuzzGame();
  return *game;
}

FuzzGame::~FuzzGame() = default;

FuzzGame::FuzzGame() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qm-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) Fail("no temporary folder");
  root_ = pattern;
  gRoot = root_;
  std::atexit(&RemoveFolders);
  ::setenv("QUELLMARK_SEED", "5489", 1);
  world_ = std::make_unique<gd::World>();
  // The game keeps pointers in its image (the update source's sink array,
  // the player, the menu manager): the leak checker must look there too.
  __lsan_register_root_region(reinterpret_cast<void*>(world_->base()), world_->region().size());
  BuildCast();
  ui().Create(gd::UiOptions{});
  // The first profile's copy, the one with the widget, comes last and keeps
  // its host.
  for (std::size_t profile = kProfiles; profile-- > 0;) StartPlugin(profile);
  Reset();
}

void FuzzGame::BuildCast() {
  gd::Forms& forms = world_->Component<gd::Forms>();
  forms.Keyword(kNoEnchantKeyword);
  for (std::uint32_t keyword : {0x8F95Au, 0x8F95Bu, 0x6D930u}) forms.Keyword(keyword);
  const struct {
    std::uint32_t id;
    std::uint8_t type;
    std::uint16_t flags;
    bool noEnchant;
  } weapons[] = {{0x1A000, 1, 0, false}, {0x1A001, 2, 0, false},      {0x1A002, 5, 0, false}, {0x1A003, 7, 0, false},
                 {0x1A004, 8, 0, false}, {0x1A005, 1, 0x2000, false}, {0x001F4, 1, 0, false}, {0x1A006, 3, 0, true}};
  for (const auto& w : weapons) {
    std::vector<std::uint32_t> keywords;
    if (w.noEnchant) keywords.push_back(kNoEnchantKeyword);
    itemForms_.push_back(&forms.AddWeapon(w.id, "Weapon" + std::to_string(w.id), w.type, w.flags, keywords).form);
  }
  const struct {
    std::uint32_t id;
    std::uint32_t slots;
    std::uint32_t weight;
  } armor[] = {{0x1B000, 0x1, 1},  {0x1B001, 0x2, 0},   {0x1B002, 0x4, 1}, {0x1B003, 0x8, 0},
               {0x1B004, 0x80, 2}, {0x1B005, 0x200, 1}, {0x1B006, 0x40, 0}};
  for (const auto& a : armor) {
    itemForms_.push_back(&forms.AddArmor(a.id, "Armor" + std::to_string(a.id), a.slots, a.weight).form);
  }
  poison_ = &forms.AddForm(0x1C001, gd::form_type::kAlchemy, "Deathbell Poison").form;
  itemForms_.push_back(poison_);  // not a durability item
  forms.AddForm(0x1C000, gd::form_type::kSpell, "Sparks");
  for (gd::FormHeader* form : itemForms_) sourceIds_.push_back(form->formId);
  sourceIds_.push_back(0x1C000);
  sourceIds_.push_back(0xDEADBEEF);  // no such record

  gd::FormHeader& untempered = forms.AddForm(kUntemperedGroup, gd::form_type::kFaction, "Untempered").form;
  bossMarker_ = &forms.AddForm(kBossMarker, gd::form_type::kLocationRefType, "Boss").form;

  gd::References& refs = references();
  gd::Cells& cells = world_->Component<gd::Cells>();
  gd::CellRec& hall = cells.AddCell("hall", true);
  for (std::size_t i = 0; i < kActors; ++i) {
    const bool player = i == 0;
    const std::uint32_t baseId = player ? kPlayerBaseId : 0x00F00000 + static_cast<std::uint32_t>(i);
    gd::FormHeader& base = forms.AddForm(baseId, gd::form_type::kNpc, player ? "Prisoner" : "Npc").form;
    owners_.push_back(&base);
    gd::ActorRec& actor = refs.AddActor(player ? "player" : "actor" + std::to_string(i),
                                        player ? 0x14 : 0x00100000 + static_cast<std::uint32_t>(i), &base);
    processes_.push_back(&refs.GiveProcess(actor));
    if (player) refs.SetPlayer(&actor);
    if (i == 3) refs.AddMembership(actor, &untempered);
    cells.Place(actor.ref, hall);
    actors_.push_back(&actor);
  }
  owners_.push_back(nullptr);
  for (std::size_t i = 0; i < kContainers; ++i) {
    gd::FormHeader& base =
        forms.AddForm(0x00E00000 + static_cast<std::uint32_t>(i), gd::form_type::kContainer, "Chest").form;
    gd::ReferenceRec& chest =
        refs.AddContainer("chest" + std::to_string(i), 0x00200000 + static_cast<std::uint32_t>(i), &base);
    cells.Place(chest, hall);
    containers_.push_back(&chest);
  }
  for (std::size_t i = 0; i < kLooseItems; ++i) {
    gd::ReferenceRec& item =
        refs.AddLooseItem("loose" + std::to_string(i), 0x00300000 + static_cast<std::uint32_t>(i), itemForms_[0]);
    cells.Place(item, hall);
    loose_.push_back(&item);
  }
}

void FuzzGame::StartPlugin(std::size_t profile) {
  const std::string folder = root_ + "/profile" + std::to_string(profile);
  const std::string game = folder + "/game";
  const std::string documents = folder + "/documents";
  std::filesystem::create_directories(game + "/data/SKSE/Plugins/Quellmark");
  std::filesystem::create_directories(documents);
  std::ofstream(game + "/data/SKSE/Plugins/Quellmark/Quellmark.ini", std::ios::binary) << kProfileSettings[profile].ini;
  // A module loaded from another path is another copy, with state of its own.
  std::string module = QM_FUZZ_PLUGIN_PATH;
  if (profile != 0) {
    module = folder + "/Quellmark.so";
    std::error_code error;
    std::filesystem::copy_file(QM_FUZZ_PLUGIN_PATH, module, error);
    if (error) Fail("cannot copy the plug-in: " + error.message());
  }

  host::SetProcessFacts(world_->base(), game + "/SkyrimSE.exe", documents, false);
  Copy copy;
  copy.host = std::make_unique<host::HostDouble>();
  copy.threshold = kProfileSettings[profile].threshold;
  std::string error;
  if (!copy.host->LoadModule(module, &error)) Fail("cannot load the plug-in: " + error);
  copy.host->SetEventDispatcher(3, &ui().ActionSource());
  if (!copy.host->Query() || !copy.host->Load()) Fail("the plug-in refused to start");
  gd::BSTEventSource& hits = world_->HitSource();
  gd::BSTEventSource& updates = world_->UpdateSource();
  const std::uint32_t hitsBefore = hits.size;
  const std::uint32_t updatesBefore = updates.size;
  copy.host->SendMessage(8);
  for (std::uint32_t i = hitsBefore; i < hits.size; ++i) copy.hitSinks.push_back(hits.sinks[i]);
  for (std::uint32_t i = updatesBefore; i < updates.size; ++i) copy.updateSinks.push_back(updates.sinks[i]);
  if (copy.hitSinks.size() != 1 || copy.updateSinks.size() != 1) Fail("the engine's sinks are missing");
  // The host double is one per process and leaves its module loaded when it
  // goes. A copy without the widget never calls the host again after start.
  if (profile != 0) copy.host.reset();
  if (copies_.size() <= profile) copies_.resize(profile + 1);
  copies_[profile] = std::move(copy);
}

void FuzzGame::UseProfiles(unsigned mask) {
  mask &= (1u << kProfiles) - 1;
  if (mask == 0) mask = 1;
  for (Copy& copy : copies_) {
    for (gd::EventSinkObj* sink : copy.hitSinks) world_->DetachSink(world_->HitSource(), sink);
    for (gd::EventSinkObj* sink : copy.updateSinks) world_->DetachSink(world_->UpdateSource(), sink);
    copy.attached = false;
  }
  for (std::size_t profile = 0; profile < copies_.size(); ++profile) {
    if ((mask & (1u << profile)) == 0) continue;
    Copy& copy = copies_[profile];
    for (gd::EventSinkObj* sink : copy.hitSinks) world_->AttachSink(world_->HitSource(), sink);
    for (gd::EventSinkObj* sink : copy.updateSinks) world_->AttachSink(world_->UpdateSource(), sink);
    copy.attached = true;
  }
}

float FuzzGame::HealthThreshold() const {
  float highest = 1.0f;
  for (const Copy& copy : copies_) {
    if (copy.attached && copy.threshold > highest) highest = copy.threshold;
  }
  return highest;
}

std::size_t FuzzGame::AttachedProfiles() const {
  std::size_t attached = 0;
  for (const Copy& copy : copies_) attached += copy.attached ? 1 : 0;
  return attached;
}

gd::ReferenceRec& FuzzGame::Holder(std::size_t i) {
  return i < kActors ? actors_.at(i)->ref : *containers_.at(i - kActors);
}

std::vector<gd::ExtraList*> FuzzGame::AllLists() {
  std::vector<gd::ExtraList*> lists;
  for (std::size_t i = 0; i < kHolders; ++i) lists.push_back(&Holder(i).extraList);
  for (gd::ReferenceRec* item : loose_) lists.push_back(&item->extraList);
  for (std::size_t i = 0; i < lists_.used; ++i) lists.push_back(&lists_.items[i]);
  return lists;
}

bool FuzzGame::IsOwnList(const gd::ExtraList* list) const {
  for (std::size_t i = 0; i < lists_.used; ++i) {
    if (&lists_.items[i] == list) return true;
  }
  return false;
}

void FuzzGame::Reset() {
  // Menus left open by the last input close, as a new game would start.
  for (const std::string& name : ui().OpenMenuNames()) ui().CloseMenu(name);
  ui().ForgetHistory();
  // Every engine hears the update events that forget the last input's hits.
  UseProfiles((1u << kProfiles) - 1);
  // Two update events forget the actors the last input's hits marked. They
  // come while the last input's items are still there, so that whatever a
  // tempering pass among them decides goes away with them.
  gd::DispatchUpdate(*world_);
  gd::DispatchUpdate(*world_);

  // The items go away: the game frees the health entries linked into them.
  gd::GameHeapModel& heap = world_->heap();
  for (gd::ExtraList* list : AllLists()) {
    for (gd::ExtraEntry* entry = list->first(); entry != nullptr;) {
      gd::ExtraEntry* next = entry->next;
      if (heap.IsLive(entry)) heap.Release(entry);
      entry = next;
    }
    list->first() = nullptr;
    extra().SetUnbreakable(*list, false);
  }
  if (heap.LiveBlocks() != 0) {
    Fail(std::to_string(heap.LiveBlocks()) + " game-heap blocks are held outside every extra-data list");
  }

  lists_.used = bits_.used = entries_.used = nodes_.used = inventoryEntries_.used = changes_.used = 0;
  instances_.clear();
  for (std::size_t i = 0; i < kActors; ++i) {
    gd::ActorRec& actor = *actors_[i];
    actor.process() = processes_[i];
    actor.process()->leftHand = nullptr;
    actor.process()->rightHand = nullptr;
    actor.boolBits() = 0;
    actor.stateWord() = 0;
    ResetHolderList(actor.ref, true);
  }
  for (gd::ReferenceRec* chest : containers_) ResetHolderList(*chest, true);
  for (gd::ReferenceRec* item : loose_) {
    // A potion lies there until the input makes it something else: no
    // tempering pass looks at it.
    item->baseForm = poison_;
    item->extraList.first() = nullptr;
    item->extraList.presence() = NewBits();
    references().SetOwner(*item, nullptr);
  }
  references().SetPlayer(actors_[0]);
}

void FuzzGame::ResetHolderList(gd::ReferenceRec& holder, bool withInventory) {
  holder.extraList.first() = nullptr;
  holder.extraList.lock() = 0;
  holder.extraList.presence() = NewBits();
  if (!withInventory) return;
  gd::InventoryChangesRec* changes = changes_.Take();
  std::memset(changes, 0, sizeof *changes);
  changes->entries = NewNode();
  changes->owner = &holder;
  auto* pointer =
      reinterpret_cast<gd::ExtraPointerEntry*>(NewEntry(holder.extraList, gd::extra_type::kInventoryChanges));
  pointer->payload = changes;
}

gd::PresenceBits* FuzzGame::NewBits() {
  gd::PresenceBits* bits = bits_.Take();
  if (bits != nullptr) std::memset(bits, 0, sizeof *bits);
  return bits;
}

gd::ExtraList* FuzzGame::NewList(bool presenceBits) {
  if (presenceBits && bits_.used == bits_.items.size()) return nullptr;
  gd::ExtraList* list = lists_.Take();
  if (list == nullptr) return nullptr;
  list->first() = nullptr;
  list->lock() = 0;
  list->presence() = presenceBits ? NewBits() : nullptr;
  return list;
}

gd::ExtraEntry* FuzzGame::NewEntry(gd::ExtraList& list, std::uint32_t type) {
  EntryStorage* storage = entries_.Take();
  if (storage == nullptr) return nullptr;
  std::memset(storage, 0, sizeof *storage);
  auto* entry = reinterpret_cast<gd::ExtraEntry*>(storage);
  entry->vtbl = extra().ClassTableOf(type);
  entry->next = list.first();
  list.first() = entry;
  extra().SetPresenceBit(list, type, true);
  return entry;
}

gd::ListNode* FuzzGame::NewNode() {
  gd::ListNode* node = nodes_.Take();
  if (node != nullptr) *node = gd::ListNode{nullptr, nullptr};
  return node;
}

gd::InventoryChangesRec* FuzzGame::InventoryOf(gd::ReferenceRec& holder) {
  gd::ExtraEntry* entry = extra().Find(holder.extraList, gd::extra_type::kInventoryChanges);
  if (entry == nullptr) return nullptr;
  return static_cast<gd::InventoryChangesRec*>(reinterpret_cast<gd::ExtraPointerEntry*>(entry)->payload);
}

gd::InventoryEntryRec* FuzzGame::AddEntry(gd::ReferenceRec& holder, gd::FormHeader* form, std::int32_t count) {
  gd::InventoryChangesRec* changes = InventoryOf(holder);
  if (changes == nullptr) return nullptr;
  // The game keeps one entry per record: more units join it.
  for (gd::ListNode* each = changes->entries; each != nullptr; each = each->next) {
    auto* existing = static_cast<gd::InventoryEntryRec*>(each->item);
    if (existing != nullptr && existing->form == form) {
      existing->countDelta += count;
      return existing;
    }
  }
  gd::ListNode* node = changes->entries;
  if (node->item != nullptr) {
    while (node->next != nullptr) node = node->next;
    gd::ListNode* added = NewNode();
    if (added == nullptr) return nullptr;
    node->next = added;
    node = added;
  }
  gd::InventoryEntryRec* entry = inventoryEntries_.Take();
  if (entry == nullptr) return nullptr;
  *entry = gd::InventoryEntryRec{form, nullptr, count, 0};
  node->item = entry;
  return entry;
}

void FuzzGame::FillList(gd::ExtraList& list, const InstanceSpec& spec) {
  if (spec.poisoned) {
    auto* poison = reinterpret_cast<gd::ExtraPoisonEntry*>(NewEntry(list, gd::extra_type::kPoison));
    if (poison != nullptr) {
      poison->poison = poison_;
      poison->count = 3;
    }
  }
  if (list.presence() != nullptr && spec.worn != WornAs::No) {
    NewEntry(list, spec.worn == WornAs::Left ? gd::extra_type::kWornLeft : gd::extra_type::kWorn);
  }
  if (spec.health) {
    auto* health = reinterpret_cast<gd::ExtraHealthEntry*>(NewEntry(list, gd::extra_type::kHealth));
    if (health != nullptr) health->health = *spec.health;
  } else if (spec.healthBitWithoutEntry) {
    extra().SetPresenceBit(list, gd::extra_type::kHealth, true);
  }
  if (spec.unbreakable) extra().SetUnbreakable(list, true);
}

bool FuzzGame::AddInstance(gd::ReferenceRec& holder, gd::InventoryEntryRec& entry, const InstanceSpec& spec) {
  gd::ExtraList* list = NewList(spec.presenceBits);
  gd::ListNode* node = NewNode();
  if (list == nullptr || node == nullptr) return false;
  FillList(*list, spec);
  node->item = list;
  gd::ListNode** link = &entry.extraLists;
  while (*link != nullptr) link = &(*link)->next;
  *link = node;
  const bool healthBitOnly = !spec.health && spec.healthBitWithoutEntry && list->presence() != nullptr;
  instances_.push_back({list, &holder, entry.form, spec.unbreakable, healthBitOnly, false});
  // A worn weapon of an actor is in the matching hand of its process.
  if (gd::References::IsActor(&holder) && gd::IsWeapon(entry.form) && spec.worn != WornAs::No &&
      list->presence() != nullptr) {
    gd::ProcessRec* process = reinterpret_cast<gd::ActorRec&>(holder).process();
    if (process != nullptr) (spec.worn == WornAs::Left ? process->leftHand : process->rightHand) = entry.form;
  }
  return true;
}

void FuzzGame::SetLoose(std::size_t i, gd::FormHeader* form, const InstanceSpec& spec) {
  gd::ReferenceRec& item = *loose_.at(i);
  item.baseForm = form;
  item.extraList.first() = nullptr;
  item.extraList.presence() = spec.presenceBits ? item.extraList.presence() : nullptr;
  FillList(item.extraList, spec);
  const bool healthBitOnly = !spec.health && spec.healthBitWithoutEntry && item.extraList.presence() != nullptr;
  instances_.push_back({&item.extraList, &item, form, spec.unbreakable, healthBitOnly, true});
}

void FuzzGame::MarkBoss(gd::ReferenceRec& holder) {
  gd::ExtraEntry* entry = NewEntry(holder.extraList, gd::extra_type::kReferenceMarker);
  if (entry != nullptr) reinterpret_cast<gd::ExtraPointerEntry*>(entry)->payload = bossMarker_;
}

}  // namespace qmfuzz
