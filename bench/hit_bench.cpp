// One hit on the player, whose inventory holds 200 entries with the worn
// items last: the handler's whole path, from the event to the new health.
#include "bench_world.h"
#include "engine_events.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace qmbench {
namespace {

struct HitSetup {
  gd::ActorRec* attacker = nullptr;
  std::uint32_t swordId = 0x00060000;
  std::vector<gd::ExtraHealthEntry*> wornHealth;
};

HitSetup& Setup() {
  static HitSetup setup = [] {
    BenchWorld& bench = BenchWorld::Instance();
    HitSetup made;
    gd::ActorRec& player = bench.player();
    gd::InventoryChangesRec& changes = bench.references().Inventory(player.ref);
    // 195 entries before the worn ones: potions without instances and armour
    // that is carried, not worn.
    for (std::uint32_t i = 0; i < 195; ++i) {
      if (i % 2 == 0) {
        gd::FormHeader& potion = bench.forms().AddForm(0x00061000 + i, gd::form_type::kAlchemy, "Potion").form;
        bench.inventories().AddEntry(changes, &potion, 3);
      } else {
        const std::uint32_t slots[4] = {0x1, 0x4, 0x8, 0x80};
        gd::ArmorForm& carried = bench.forms().AddArmor(0x00062000 + i, "Carried", slots[i % 4], 0);
        gd::InventoryEntryRec& entry = bench.inventories().AddEntry(changes, &carried.form, 1);
        bench.extra().AddHealth(bench.inventories().AddInstance(entry), 1.2f);
      }
    }
    // The worn weapon and the four worn armour pieces come last.
    gd::WeaponForm& sword = bench.forms().AddWeapon(made.swordId, "Sword", 1);
    gd::InventoryEntryRec& swordEntry = bench.inventories().AddEntry(changes, &sword.form, 1);
    gd::ExtraList& swordList = bench.inventories().AddInstance(swordEntry);
    bench.extra().AddWorn(swordList, false);
    bench.references().GiveProcess(player).rightHand = &sword.form;
    const std::uint32_t slots[4] = {0x1, 0x4, 0x8, 0x80};
    for (std::uint32_t piece = 0; piece < 4; ++piece) {
      gd::ArmorForm& armor = bench.forms().AddArmor(0x00063000 + piece, "Worn", slots[piece], 1);
      gd::InventoryEntryRec& entry = bench.inventories().AddEntry(changes, &armor.form, 1);
      gd::ExtraList& list = bench.inventories().AddInstance(entry);
      bench.extra().AddWorn(list, false);
      made.wornHealth.push_back(&bench.extra().AddHealth(list, 1.5f));
    }
    if (bench.inventories().Entries(changes).size() != 200) std::abort();

    gd::FormHeader& base = bench.forms().AddForm(0x00064000, gd::form_type::kNpc, "Bandit").form;
    made.attacker = &bench.references().AddActor("bandit", 0x00064001, &base);
    bench.references().Inventory(made.attacker->ref);
    return made;
  }();
  return setup;
}

void HitOnThePlayer(benchmark::State& state) {
  BenchWorld& bench = BenchWorld::Instance();
  HitSetup& setup = Setup();
  bench.FillRoom({});  // tempering passes find nothing to do
  gd::EventSinkObj* sink = bench.HitSink();
  gd::HitEventRec event{&bench.player().ref, &setup.attacker->ref, setup.swordId, 0, 0, 0};
  // Every hit is timed alone; on a busy machine a few of them lose the
  // processor in the middle, which the median of the samples leaves out.
  std::vector<double> samples;
  samples.reserve(1 << 20);
  for (auto _ : state) {
    // Outside the measurement: the player may be worn again (two update
    // events empty the recent hits) and its armour is back at full temper.
    bench.SendUpdate();
    bench.SendUpdate();
    for (gd::ExtraHealthEntry* health : setup.wornHealth) health->health = 1.5f;

    const auto start = std::chrono::steady_clock::now();
    sink->vtbl->receive(sink, &event, &bench.world().HitSource());
    const auto end = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(end - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds);
  }
  if (!samples.empty()) {
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    state.counters["sample_median_ns"] = samples[samples.size() / 2] * 1e9;
  }
  float worn = 0.0f;
  for (gd::ExtraHealthEntry* health : setup.wornHealth) worn += 1.5f - health->health;
  if (worn <= 0.0f) state.SkipWithError("the hit wore nothing");
}
BENCHMARK(HitOnThePlayer)->UseManualTime()->Unit(benchmark::kNanosecond);

}  // namespace
}  // namespace qmbench
