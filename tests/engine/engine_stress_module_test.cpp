// Hits on three threads and update events on a fourth, against the real
// module: the engine's shared state (its random source and the recent hits)
// must hold up, and the run must stay clean under ThreadSanitizer.
#include "support/engine_world.h"

#include <atomic>
#include <thread>
#include <vector>

namespace qmtest {
namespace {

constexpr int kHitThreads = 3;
constexpr int kPairsPerThread = 4;
constexpr int kHitsPerThread = 6000;
constexpr int kUpdateEvents = 201 * 6;

constexpr std::uint32_t kSword = 0x0004A000;
constexpr std::uint32_t kDagger = 0x0004A001;
constexpr std::uint32_t kShield = 0x0004B000;
constexpr std::uint32_t kSpell = 0x0004C000;

class EngineStressTest : public EngineWorld {
 protected:
  struct Pair {
    gd::ActorRec* attacker;
    gd::ActorRec* defender;
    std::vector<gd::ExtraList*> items;
  };

  // Every item a hit can reach already carries a health entry, as in a game
  // that has been played a while: the hits then touch only health values,
  // each pair on its own thread, while the passes decide the containers.
  Pair MakePair(int thread, int index, gd::CellRec& room) {
    Pair pair;
    const std::string suffix = std::to_string(thread) + "_" + std::to_string(index);
    pair.attacker = &Actor("attacker" + suffix);
    pair.defender = &Actor("defender" + suffix);
    for (gd::ActorRec* actor : {pair.attacker, pair.defender}) {
      references().SetPosition(actor->ref, 100.0f * index, 50.0f * thread, 0.0f);
      cells().Place(actor->ref, room);
      pair.items.push_back(&Wear(*actor, *forms().Find(kSword), 1.5f));
      pair.items.push_back(&Wear(*actor, *forms().Find(kDagger), 1.5f, true));
      pair.items.push_back(&Wear(*actor, *forms().Find(kShield), 1.5f, true));
      for (std::uint32_t piece = 0; piece < 4; ++piece) {
        pair.items.push_back(&Wear(*actor, *forms().Find(0x0004B010 + piece), 1.5f));
      }
      references().SetLeftHandAttack(*actor, index % 2 == 0);
    }
    return pair;
  }
};

TEST_F(EngineStressTest, HitsOnThreeThreadsAndUpdatesOnAFourth) {
  gd::CellRec& room = cells().AddCell("room", true);
  gd::ActorRec& player = Actor("player");
  cells().Place(player.ref, room);
  Weapon(kSword);
  Weapon(kDagger, 2);
  Armor(kShield, 0x200);
  const std::uint32_t slots[4] = {0x1, 0x4, 0x8, 0x80};
  for (std::uint32_t piece = 0; piece < 4; ++piece) Armor(0x0004B010 + piece, slots[piece]);
  forms().AddForm(kSpell, gd::form_type::kSpell, "Sparks");

  std::vector<std::vector<Pair>> pairs(kHitThreads);
  for (int t = 0; t < kHitThreads; ++t) {
    for (int i = 0; i < kPairsPerThread; ++i) pairs[t].push_back(MakePair(t, i, room));
  }
  std::vector<gd::ExtraList*> stored;
  for (int c = 0; c < 40; ++c) {
    gd::ReferenceRec& chest = Container("chest" + std::to_string(c));
    references().SetPosition(chest, 10.0f * c, -300.0f, 0.0f);
    cells().Place(chest, room);
    for (std::uint32_t piece = 0; piece < 4; ++piece) stored.push_back(&Give(chest, *forms().Find(0x0004B010 + piece)));
    gd::ReferenceRec& lying = Loose("lying" + std::to_string(c), *forms().Find(kSword), c % 2 == 0);
    references().SetPosition(lying, -10.0f * c, 300.0f, 0.0f);
    cells().Place(lying, room);
  }
  world().Component<gd::Hud>();  // every part of the game exists before the threads start

  WriteSettings("[Degradation]\nOnlyPlayer=false\n[DynamicTemper]\nTemperChance=50\n");
  StartPlugin();
  ASSERT_EQ(world().HitSource().size, 1u);
  ASSERT_EQ(world().UpdateSource().size, 1u);

  // The game raises hits on several threads at once: each thread hands its
  // events straight to the sink, as its own source would.
  gd::EventSinkObj* hitSink = world().HitSource().sinks[0];
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kHitThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go.load()) std::this_thread::yield();
      for (int n = 0; n < kHitsPerThread; ++n) {
        const Pair& pair = pairs[t][n % kPairsPerThread];
        const bool reverse = (n / kPairsPerThread) % 2 == 1;
        gd::ActorRec* target = reverse ? pair.attacker : pair.defender;
        gd::ActorRec* cause = reverse ? pair.defender : pair.attacker;
        const std::uint32_t sources[4] = {kSword, kDagger, kShield, kSpell};
        gd::HitEventRec event{
            &target->ref, &cause->ref, sources[(n / 7) % 4], 0, static_cast<std::uint32_t>(n % 16), 0};
        hitSink->vtbl->receive(hitSink, &event, &world().HitSource());
      }
    });
  }
  threads.emplace_back([&] {
    while (!go.load()) std::this_thread::yield();
    for (int n = 0; n < kUpdateEvents; ++n) {
      gd::DispatchUpdate(world());
      if (n % 50 == 0) std::this_thread::yield();
    }
  });
  go = true;
  for (std::thread& thread : threads) thread.join();

  for (const auto& threadPairs : pairs) {
    for (const Pair& pair : threadPairs) {
      bool anyWorn = false;
      for (const gd::ExtraList* item : pair.items) {
        const float health = Health(*item);
        EXPECT_GE(health, 1.0f);
        EXPECT_LE(health, 1.5f);
        anyWorn = anyWorn || health < 1.5f;
      }
      EXPECT_TRUE(anyWorn);
    }
  }
  int tempered = 0;
  for (const gd::ExtraList* item : stored) {
    // First instances of four entries per chest, all decided by the passes.
    ASSERT_TRUE(Decided(*item));
    const float health = Health(*item);
    EXPECT_GE(health, 1.0f);
    EXPECT_LT(health, 1.1101f);
    tempered += health > 1.0f ? 1 : 0;
  }
  EXPECT_GT(tempered, 0);
  EXPECT_LT(tempered, static_cast<int>(stored.size()));
  EXPECT_TRUE(references().Removals().empty());  // every break chance is 0 by default
}

}  // namespace
}  // namespace qmtest
