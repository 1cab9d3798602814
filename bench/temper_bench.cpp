// One tempering pass over 1,000, 10,000 and 100,000 references in range:
// weapons and armour lying around, owned by someone other than the player,
// each undecided when the pass starts.
#include "bench_world.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <random>

namespace qmbench {
namespace {

constexpr std::size_t kMostReferences = 100000;
constexpr std::uint32_t kUpdatesPerPass = 201;

std::vector<gd::ReferenceRec*>& LooseItems() {
  static std::vector<gd::ReferenceRec*> items = [] {
    BenchWorld& bench = BenchWorld::Instance();
    gd::FormHeader& owner = bench.forms().AddForm(0x00070000, gd::form_type::kNpc, "Merchant").form;
    gd::WeaponForm& sword = bench.forms().AddWeapon(0x00070001, "Sword", 1);
    gd::ArmorForm& cuirass = bench.forms().AddArmor(0x00070002, "Cuirass", 0x4, 1);
    std::mt19937 scatter(7);
    std::uniform_real_distribution<float> coordinate(-3400.0f, 3400.0f);  // all within 5900 units
    std::vector<gd::ReferenceRec*> made;
    made.reserve(kMostReferences);
    for (std::size_t i = 0; i < kMostReferences; ++i) {
      gd::FormHeader& base = i % 2 == 0 ? sword.form : cuirass.form;
      gd::ReferenceRec& loose = bench.references().AddLooseItem("loose" + std::to_string(i),
                                                                0x00100000 + static_cast<std::uint32_t>(i), &base);
      bench.references().SetPosition(loose, coordinate(scatter), coordinate(scatter), coordinate(scatter) * 0.1f);
      bench.references().SetOwner(loose, &owner);
      made.push_back(&loose);
    }
    // The game's table holds references in no particular order.
    std::shuffle(made.begin(), made.end(), scatter);
    return made;
  }();
  return items;
}

// Takes the health entry the pass put at the head of each list away again,
// so that every pass decides every item anew. The entries go back to the
// heap from the highest address down, so that the next pass gets them in
// the order a fresh heap would hand them out, as the first pass did, rather
// than scattered in the table's order.
void Undecide(BenchWorld& bench, const std::vector<gd::ReferenceRec*>& references) {
  std::vector<gd::ExtraEntry*> released;
  released.reserve(references.size());
  for (gd::ReferenceRec* reference : references) {
    gd::ExtraList& list = reference->extraList;
    if (!gd::ExtraData::HasPresenceBit(list, gd::extra_type::kHealth)) continue;
    gd::ExtraEntry* health = list.first();
    list.first() = health->next;
    bench.extra().SetPresenceBit(list, gd::extra_type::kHealth, false);
    released.push_back(health);
  }
  std::sort(released.begin(), released.end(), std::greater<>());
  for (gd::ExtraEntry* health : released) bench.world().heap().Release(health);
}

void TemperPass(benchmark::State& state) {
  BenchWorld& bench = BenchWorld::Instance();
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::vector<gd::ReferenceRec*> inRange(LooseItems().begin(), LooseItems().begin() + count);
  bench.FillRoom(inRange);
  // Bring the update counter to the eve of a pass.
  while (!gd::ExtraData::HasPresenceBit(inRange.front()->extraList, gd::extra_type::kHealth)) bench.SendUpdate();
  std::size_t decided = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Undecide(bench, inRange);
    for (std::uint32_t i = 0; i + 1 < kUpdatesPerPass; ++i) bench.SendUpdate();
    state.ResumeTiming();

    bench.SendUpdate();  // the 201st: one pass
  }
  for (gd::ReferenceRec* reference : inRange) {
    decided += gd::ExtraData::HasPresenceBit(reference->extraList, gd::extra_type::kHealth) ? 1 : 0;
  }
  if (decided != count) state.SkipWithError("the pass left references undecided");
  state.counters["per_reference"] = benchmark::Counter(
      static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  Undecide(bench, inRange);
  bench.FillRoom({});
}
BENCHMARK(TemperPass)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qmbench
