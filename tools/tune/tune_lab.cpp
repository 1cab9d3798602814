#include "tune_lab.h"

#include "engine_events.h"
#include "extra_data.h"
#include "forms.h"
#include "inventory.h"
#include "items.h"
#include "references.h"

#include <chrono>
#include <ctime>

namespace qm::tune {

const char* const kCategoryNames[kCategoryCount] = {"WeaponSword",      "WeaponDagger", "WeaponWarAxe",    "WeaponMace",
                                                    "WeaponGreatSword", "WeaponHammer", "WeaponBattleAxe", "WeaponBow",
                                                    "WeaponCrossbow",   "LightArmor",   "HeavyArmor",      "Clothing",
                                                    "DefaultArmor"};

const char* ActorKindName(ActorKind kind) {
  switch (kind) {
    case ActorKind::Player: return "player";
    case ActorKind::Follower: return "follower";
    case ActorKind::Other: return "other actor";
  }
  return "?";
}

namespace {

// Records of the lab: one item record per category, and a sword that hits
// the armour. Ids in a range the game's own records do not use.
constexpr std::uint32_t kFirstItemId = 0x00A10000;
constexpr std::uint32_t kHitterSwordId = 0x00A1FFFF;
constexpr std::uint32_t kShieldId = 0x00A1FFFE;
constexpr std::uint32_t kSlotBody = 0x4;
constexpr std::uint32_t kSlotShield = 0x200;
constexpr std::uint32_t kHeavyWeight = 1;
constexpr std::uint32_t kHammerKeyword = 0x0006D930;
constexpr std::uint32_t kClothingKeyword = 0x0008F95B;
constexpr int kFirstArmorCategory = 9;

bool IsWeaponCategory(int category) { return category < kFirstArmorCategory; }

struct Lane {
  gd::ActorRec* actor = nullptr;
  ActorKind kind = ActorKind::Player;
  // The item under test.
  gd::FormHeader* form = nullptr;
  gd::InventoryEntryRec* entry = nullptr;
  gd::ExtraList* list = nullptr;
  gd::ExtraHealthEntry* health = nullptr;
  // The trial under way.
  Case* trialCase = nullptr;
  std::uint32_t hits = 0;
  std::uint32_t wornAt = kNever;
};

// The trials still to run for one kind of actor, case by case.
struct Queue {
  std::vector<Case*> cases;
  std::size_t next = 0;
  std::uint32_t givenOfNext = 0;
  Case* Take(std::uint32_t trials) {
    while (next < cases.size() && givenOfNext >= trials) {
      ++next;
      givenOfNext = 0;
    }
    if (next >= cases.size()) return nullptr;
    ++givenOfNext;
    return cases[next];
  }
};

}  // namespace

struct Lab::Impl {
  explicit Impl(gd::World& w) : world(w) {}
  gd::World& world;
  gd::FormHeader* categoryForms[kCategoryCount] = {};
  gd::FormHeader* shieldForm = nullptr;
  std::vector<Lane> lanes;
  gd::References* references = nullptr;

  void Build(std::uint32_t laneCount) {
    auto& forms = world.Component<gd::Forms>();
    auto& refs = world.Component<gd::References>();
    references = &refs;
    forms.Keyword(kHammerKeyword);
    forms.Keyword(kClothingKeyword);
    // Weapon types: 1 sword, 2 dagger, 3 war axe, 4 mace, 5 greatsword,
    // 6 hammer (with the keyword) or battle axe, 7 bow, 9 crossbow.
    const std::uint8_t weaponTypes[9] = {1, 2, 3, 4, 5, 6, 6, 7, 9};
    for (int c = 0; c < kCategoryCount; ++c) {
      const std::uint32_t id = kFirstItemId + static_cast<std::uint32_t>(c);
      if (IsWeaponCategory(c)) {
        std::vector<std::uint32_t> keywords;
        if (c == 5) keywords.push_back(kHammerKeyword);
        categoryForms[c] = &forms.AddWeapon(id, kCategoryNames[c], weaponTypes[c], 0, keywords).form;
      } else {
        // Body armour: 0 light, 1 heavy, 2 clothing (with the keyword) or neither.
        const std::uint32_t weight = c == 9 ? 0 : c == 10 ? kHeavyWeight : 2;
        std::vector<std::uint32_t> keywords;
        if (c == 11) keywords.push_back(kClothingKeyword);
        categoryForms[c] = &forms.AddArmor(id, kCategoryNames[c], kSlotBody, weight, keywords).form;
      }
    }
    shieldForm = &forms.AddArmor(kShieldId, "HeavyShield", kSlotShield, kHeavyWeight).form;
    forms.AddWeapon(kHitterSwordId, "Bandit Sword", 1);

    // The player stands in no cell, so the tempering passes of the update
    // events find nothing around it; the other actors stand nowhere either.
    gd::FormHeader* playerBase = &forms.AddForm(0x7, gd::form_type::kNpc, "Prisoner").form;
    const auto add = [&](const std::string& name, std::uint32_t formId, ActorKind kind) {
      gd::FormHeader* base = kind == ActorKind::Player
                                 ? playerBase
                                 : &forms.AddForm(0xFE000000u + formId % 0x1000000, gd::form_type::kNpc, name).form;
      gd::ActorRec& actor = refs.AddActor(name, formId, base);
      refs.SetLevel(actor, 10);
      if (kind == ActorKind::Follower) actor.boolBits() |= gd::kFollowerFlag;
      refs.GiveProcess(actor);
      refs.Inventory(actor.ref);
      if (kind == ActorKind::Player) refs.SetPlayer(&actor);
      Lane lane;
      lane.actor = &actor;
      lane.kind = kind;
      lanes.push_back(lane);
    };
    // The game has one player, and the engine wears an actor once between
    // two clearings of its recent hits. The player's trials therefore run on
    // stand-ins, each made the game's player (the pointer the engine asks)
    // right before it is hit: as many player hits per round as lanes.
    add("player", 0x14, ActorKind::Player);
    for (std::uint32_t i = 1; i < laneCount; ++i) add("player" + std::to_string(i), 0xA40000 + i, ActorKind::Player);
    for (std::uint32_t i = 0; i < laneCount; ++i)
      add("follower" + std::to_string(i), 0xA20000 + i, ActorKind::Follower);
    for (std::uint32_t i = 0; i < laneCount; ++i) add("actor" + std::to_string(i), 0xA30000 + i, ActorKind::Other);
  }

  // Gives the lane's actor the case's item at the starting health: the same
  // instance again when it is still there, a new one otherwise.
  void Equip(Lane& lane, const Case& c) {
    gd::FormHeader* form = c.shield ? shieldForm : categoryForms[c.category];
    const auto start = static_cast<float>(c.startHealth);
    const bool present = lane.entry != nullptr && lane.entry->countDelta > 0;
    if (present && lane.form == form) {
      lane.health->health = start;
      return;
    }
    auto& inventories = world.Component<gd::Inventories>();
    gd::InventoryChangesRec& changes = world.Component<gd::References>().Inventory(lane.actor->ref);
    if (present) inventories.RemoveOne(changes, lane.form, lane.list);
    gd::InstanceSpec spec;
    spec.worn = gd::Worn::Right;
    spec.health = start;
    lane.entry = &world.Component<gd::Items>().Give(lane.actor->ref, form, 1, {spec});
    lane.list = static_cast<gd::ExtraList*>(lane.entry->extraLists->item);
    lane.health = reinterpret_cast<gd::ExtraHealthEntry*>(
        world.Component<gd::ExtraData>().Find(*lane.list, gd::extra_type::kHealth));
    lane.form = form;
  }

  static void Record(Lane& lane, std::uint32_t wornAt, std::uint32_t brokeAt) {
    lane.trialCase->hitsToWornOut.push_back(wornAt);
    lane.trialCase->hitsToBreak.push_back(brokeAt);
    lane.trialCase = nullptr;
  }

  // Starts the lane's next trial; false when its kind has none left. Trials
  // that need no hits (already worn out and unbreakable, or never worn)
  // are recorded at once.
  bool Start(Lane& lane, Queue& queue, const LabOptions& options) {
    for (;;) {
      Case* c = queue.Take(options.trials);
      if (c == nullptr) return false;
      lane.trialCase = c;
      lane.hits = 0;
      lane.wornAt = kNever;
      const bool wornAtStart = static_cast<float>(c->startHealth) <= options.threshold;
      if (wornAtStart) lane.wornAt = 0;
      if (wornAtStart && !c->terms.breaks) {
        Record(lane, 0, kNever);
        continue;
      }
      if (!wornAtStart && !c->terms.wears) {
        Record(lane, kNever, kNever);
        continue;
      }
      Equip(lane, *c);
      return true;
    }
  }

  // One hit on the lane's item; true when its trial is over.
  bool Hit(Lane& lane, const LabOptions& options, std::uint32_t hitterSword) {
    std::uint32_t flags = lane.trialCase->powerAttack ? gd::kHitPowerAttack : 0u;
    if (lane.trialCase->shield) flags |= gd::kHitBlocked;
    if (lane.kind == ActorKind::Player) references->SetPlayer(lane.actor);
    if (IsWeaponCategory(lane.trialCase->category)) {
      gd::DispatchHit(world, nullptr, &lane.actor->ref, lane.form->formId, flags);
    } else {
      gd::DispatchHit(world, &lane.actor->ref, nullptr, hitterSword, flags);
    }
    ++lane.hits;
    if (lane.entry->countDelta <= 0) {  // broken: the instance left the inventory
      Record(lane, lane.wornAt, lane.hits);
      return true;
    }
    if (lane.wornAt == kNever && lane.health->health <= options.threshold) {
      lane.wornAt = lane.hits;
      if (!lane.trialCase->terms.breaks) {
        Record(lane, lane.wornAt, kNever);
        return true;
      }
    }
    if (lane.hits >= options.hitCap) {
      Record(lane, lane.wornAt, kNever);
      return true;
    }
    return false;
  }
};

Lab::Lab(gd::World& world) : impl_(new Impl(world)) {}
Lab::~Lab() { delete impl_; }
void Lab::Build(std::uint32_t lanes) { impl_->Build(lanes); }

LabFigures Lab::Run(std::vector<Case>& cases, const LabOptions& options) {
  Queue queues[3];
  std::uint64_t totalTrials = 0;
  for (Case& c : cases) {
    queues[static_cast<int>(c.actor)].cases.push_back(&c);
    totalTrials += options.trials;
  }
  LabFigures figures;
  std::vector<Lane*> active;
  for (Lane& lane : impl_->lanes) {
    if (impl_->Start(lane, queues[static_cast<int>(lane.kind)], options)) active.push_back(&lane);
  }
  const auto begin = std::chrono::steady_clock::now();
  const std::clock_t cpuBegin = std::clock();
  auto lastReport = begin;
  std::uint64_t rounds = 0;
  while (!active.empty()) {
    // One hit on every lane: each actor at most once, as the engine wears an
    // actor once between clearings of the recent hits.
    for (std::size_t i = 0; i < active.size();) {
      Lane& lane = *active[i];
      ++figures.hitEvents;
      if (impl_->Hit(lane, options, kHitterSwordId) &&
          !impl_->Start(lane, queues[static_cast<int>(lane.kind)], options)) {
        active[i] = active.back();
        active.pop_back();
        continue;
      }
      ++i;
    }
    // The first update event clears the pending flag, the second empties
    // the recent hits: every actor may be worn again.
    gd::DispatchUpdate(impl_->world);
    gd::DispatchUpdate(impl_->world);
    figures.updateEvents += 2;
    if (options.progress && (++rounds & 0x3FF) == 0) {
      const auto now = std::chrono::steady_clock::now();
      if (now - lastReport > std::chrono::milliseconds(500)) {
        lastReport = now;
        std::uint64_t done = 0;
        for (const Case& c : cases) done += c.hitsToWornOut.size();
        options.progress(static_cast<double>(done) / static_cast<double>(totalTrials), figures.hitEvents,
                         std::chrono::duration<double>(now - begin).count());
      }
    }
  }
  figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  figures.cpuSeconds = static_cast<double>(std::clock() - cpuBegin) / CLOCKS_PER_SEC;
  impl_->references->SetPlayer(impl_->lanes.front().actor);
  return figures;
}

}  // namespace qm::tune
