// libFuzzer target: the real plug-in module in the game double, played by a
// world and a sequence of events decoded from the input. The first bytes
// build the actors' and containers' inventories, the items lying about and
// the actors' hands and flags; the rest is events: hits between any two
// references (or none), update events, frames, key presses, menus opening
// and closing, saves loading and weapons drawn or sheathed. Breaking comes
// from the hits, with settings that make it likely; a first byte chooses
// which settings profiles' engines (extreme numbers among them) take part.
// After every event the checks of engine_fuzz_checks.h run.
#include "engine_events.h"
#include "engine_fuzz_checks.h"
#include "engine_fuzz_game.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace qmfuzz {
namespace {

constexpr std::size_t kMostEvents = 96;

constexpr std::array<float, 10> kHealths{1.0f, 1.0001f, 1.05f, 1.1f, 1.1001f, 1.25f, 1.5f, 2.0f, 0.5f, 1.0999f};
constexpr std::array<const char*, 6> kMenus{"Loading Menu",    "Main Menu", "InventoryMenu",
                                            "Durability Menu", "Console",   "MapMenu"};

// QM_FUZZ_TRACE=1 prints every event to standard error, to follow a crash
// input by hand (run it with the input file as the only argument).
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Trace(const char* format, ...) {
  static const bool on = std::getenv("QM_FUZZ_TRACE") != nullptr;
  if (!on) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
}

InstanceSpec ReadInstance(FuzzedDataProvider& in) {
  InstanceSpec spec;
  const std::uint8_t bits = in.ConsumeIntegral<std::uint8_t>();
  spec.worn = static_cast<WornAs>(bits % 3);
  if ((bits & 0x04) != 0) {
    // Mostly the interesting values; sometimes any float at all.
    spec.health = (bits & 0x80) != 0 ? in.ConsumeFloatingPoint<float>()
                                     : kHealths[in.ConsumeIntegralInRange<std::size_t>(0, kHealths.size() - 1)];
  }
  spec.presenceBits = (bits & 0x08) == 0 || (bits & 0x10) == 0;
  spec.unbreakable = (bits & 0x70) == 0x20;
  spec.poisoned = (bits & 0x40) != 0;
  spec.healthBitWithoutEntry = (bits & 0x74) == 0x10;
  return spec;
}

void BuildWorld(FuzzGame& game, FuzzedDataProvider& in) {
  const auto& forms = game.itemForms();
  for (std::size_t h = 0; h < kHolders; ++h) {
    gd::ReferenceRec& holder = game.Holder(h);
    holder.position[0] = static_cast<float>(in.ConsumeIntegralInRange<int>(-9000, 9000));
    holder.position[1] = static_cast<float>(in.ConsumeIntegralInRange<int>(-9000, 9000));
    if (h < kActors) {
      gd::ActorRec& actor = game.Actor(h);
      const std::uint8_t flags = in.ConsumeIntegral<std::uint8_t>();
      if ((flags & 0x01) != 0) actor.boolBits() |= gd::kFollowerFlag;
      if ((flags & 0x06) == 0x06) actor.process() = nullptr;
      const std::uint8_t graph = (flags >> 3) % 3;
      game.references().SetLeftHandAttack(actor, graph == 2 ? std::nullopt : std::optional<bool>(graph == 1));
      game.references().SetLevel(actor, static_cast<std::uint16_t>((flags & 0x20) != 0 ? 0 : 1 + (flags >> 6) * 20));
    } else if (in.ConsumeBool()) {
      game.MarkBoss(holder);
    }
    const std::size_t entries = in.ConsumeIntegralInRange<std::size_t>(0, 5);
    for (std::size_t e = 0; e < entries; ++e) {
      gd::FormHeader* form = forms[in.ConsumeIntegralInRange<std::size_t>(0, forms.size() - 1)];
      const std::int32_t count = in.ConsumeIntegralInRange<std::int32_t>(0, 3);
      gd::InventoryEntryRec* entry = game.AddEntry(holder, form, count);
      if (entry == nullptr) return;
      const std::int32_t instances = in.ConsumeIntegralInRange<std::int32_t>(0, count);
      for (std::int32_t i = 0; i < instances; ++i) {
        if (!game.AddInstance(holder, *entry, ReadInstance(in))) return;
      }
    }
    // Now and then a hand holds something other than what is worn.
    if (h < kActors && in.ConsumeIntegralInRange<int>(0, 7) == 0 && game.Actor(h).process() != nullptr) {
      game.Actor(h).process()->rightHand = forms[in.ConsumeIntegralInRange<std::size_t>(0, forms.size() - 1)];
    }
  }
  for (std::size_t i = 0; i < kLooseItems; ++i) {
    if (!in.ConsumeBool()) continue;
    gd::FormHeader* form = forms[in.ConsumeIntegralInRange<std::size_t>(0, forms.size() - 1)];
    game.SetLoose(i, form, ReadInstance(in));
    gd::ReferenceRec& item = game.Loose(i);
    item.position[0] = static_cast<float>(in.ConsumeIntegralInRange<int>(-9000, 9000));
    game.references().SetOwner(item, game.Owner(in.ConsumeIntegralInRange<std::size_t>(0, game.ownerCount() - 1)));
  }
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) game.references().SetPlayer(nullptr);
}

gd::ReferenceRec* PickReference(FuzzGame& game, std::uint8_t choice) {
  const std::size_t index = choice % (kHolders + kLooseItems + 1);
  if (index < kHolders) return &game.Holder(index);
  if (index < kHolders + kLooseItems) return &game.Loose(index - kHolders);
  return nullptr;
}

// Sends one event; says what kind it was for the checks.
EventKind SendEvent(FuzzGame& game, FuzzedDataProvider& in) {
  gd::World& world = game.world();
  gd::UiWorld& ui = game.ui();
  switch (in.ConsumeIntegralInRange<int>(0, 11)) {
    case 0:
    case 1:
    case 2:
    case 3: {
      gd::ReferenceRec* target = PickReference(game, in.ConsumeIntegral<std::uint8_t>());
      gd::ReferenceRec* cause = PickReference(game, in.ConsumeIntegral<std::uint8_t>());
      const auto& sources = game.sourceIds();
      const std::uint32_t source = sources[in.ConsumeIntegralInRange<std::size_t>(0, sources.size() - 1)];
      const std::uint32_t flags = in.ConsumeIntegral<std::uint8_t>();
      Trace("hit %s <- %s, source %X, flags %X", game.references().NameOf(target).c_str(),
            game.references().NameOf(cause).c_str(), source, flags);
      gd::DispatchHit(world, target, cause, source, flags, in.ConsumeIntegral<std::uint8_t>());
      return EventKind::Hit;
    }
    case 4: {
      // A few update events, or as many as it takes to reach a tempering pass.
      const int count = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(1, 3) : 201;
      Trace("%d update events", count);
      for (int i = 0; i < count; ++i) gd::DispatchUpdate(world);
      return EventKind::Update;
    }
    case 5: {
      const std::uint32_t frames = in.ConsumeIntegralInRange<std::uint32_t>(1, 23);
      Trace("%u frames", frames);
      ui.Frames(frames);
      return EventKind::Other;
    }
    case 6: {
      gd::InputSpec key;
      key.device = in.ConsumeIntegralInRange<std::uint32_t>(0, 3);
      key.eventType = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? 1 : 0;
      key.keyCode = in.ConsumeBool() ? 42 : in.ConsumeIntegral<std::uint8_t>();
      key.value = in.ConsumeBool() ? 1.0f : 0.0f;
      key.heldSeconds = in.ConsumeBool() ? 0.0f : 0.5f;
      Trace("input device %u, type %u, code %u, value %g", key.device, key.eventType, key.keyCode, key.value);
      ui.DeliverInput({key});
      return EventKind::Other;
    }
    case 7: {
      const char* menu = kMenus[in.ConsumeIntegralInRange<std::size_t>(0, kMenus.size() - 1)];
      Trace("open %s", menu);
      ui.OpenMenu(menu, in.ConsumeBool() ? 0x1 : 0x4000);
      return EventKind::Other;
    }
    case 8: {
      const char* menu = kMenus[in.ConsumeIntegralInRange<std::size_t>(0, kMenus.size() - 1)];
      Trace("close %s", menu);
      ui.CloseMenu(menu);
      return EventKind::Other;
    }
    case 9:
      Trace("a save loads");
      ui.OpenMenu(ui.options().triggerMenu, 0);
      ui.CloseMenu(ui.options().triggerMenu);
      ui.Frames(1);
      return EventKind::Other;
    case 10:
      if (game.references().Player() == nullptr) return EventKind::Other;  // no one to draw
      {
        const std::uint32_t type = in.ConsumeBool() ? 8 : 10;
        const bool byPlayer = in.ConsumeBool();
        Trace("action %u by %s", type, byPlayer ? "the player" : "another actor");
        ui.DeliverAction(type, byPlayer);
      }
      return EventKind::Other;
    default:
      // The player equips from the inventory: a worn instance's record goes
      // into the right hand.
      if (gd::ProcessRec* process = game.Actor(0).process()) {
        const auto& forms = game.itemForms();
        process->rightHand = forms[in.ConsumeIntegralInRange<std::size_t>(0, forms.size() - 1)];
        Trace("the player's right hand takes %X", process->rightHand->formId);
      }
      return EventKind::Other;
  }
}

}  // namespace
}  // namespace qmfuzz

// The plug-in is loaded before the first input, so that libFuzzer counts
// the module's coverage from the start.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  qmfuzz::FuzzGame::Get();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qmfuzz;
  FuzzGame& game = FuzzGame::Get();
  game.Reset();
  FuzzedDataProvider in(data, size);
  // Which settings profiles' engines hear this input's events.
  game.UseProfiles(in.ConsumeIntegral<std::uint8_t>());
  BuildWorld(game, in);
  CheckWorld(game);
  for (std::size_t n = 0; n < kMostEvents && in.remaining_bytes() > 0; ++n) {
    const Snapshot before = TakeSnapshot(game);
    const EventKind kind = SendEvent(game, in);
    CheckAfter(game, before, kind);
    const std::size_t removed = game.references().RemovalCount() - before.removals;
    if (removed != 0) Trace("  %zu broken and removed", removed);
  }
  return 0;
}
