// A long session in one process: a million hits, a hundred thousand update
// events and ten thousand widget content updates. The memory in use now (the
// allocator's live bytes, the resident set, the live blocks of the game heap
// and the movie heap) must not grow once the first tenth has run, and the
// heaps must hold exactly what the game owns at the end. The figures are
// printed and recorded as test properties.
#include "support/engine_world.h"
#include "support/memory_in_use.h"
#include "ui_world.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace qmtest {
namespace {

// Sanitizers make every step many times slower and keep freed memory in
// quarantine, so their runs play a tenth of the session and leave the memory
// figures to the plain build.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr int kScale = kSanitized ? 10 : 1;
constexpr int kRounds = 100;
constexpr int kWarmUpRounds = 10;
constexpr int kHitsPerRound = 1'000'000 / kRounds / kScale;
constexpr int kUpdatesPerRound = 100'000 / kRounds / kScale;
constexpr int kWidgetUpdatesPerRound = 10'000 / kRounds / kScale;
constexpr int kFramesPerWidgetUpdate = 11;
constexpr int kActors = 24;
// Allowed growth after warm-up. The allocator's live bytes are exact; the
// game double's own records still grow by about 80 kB, ever more slowly. A
// leak of one small block per widget update (9000 of them, 32 bytes each at
// the least) exceeds this, one per hit or update by far.
constexpr long long kAllocatedGrowthLimitBytes = 256 * 1024;
// The resident set also moves with the allocator's own bookkeeping and with
// pages it has not handed back; a leak of one block per hit or update still
// exceeds this.
constexpr long long kResidentGrowthLimitKb = 1024;

constexpr std::uint32_t kSword = 0x0004A000;
constexpr std::uint32_t kShield = 0x0004B000;
constexpr std::uint32_t kSpell = 0x0004C000;
constexpr std::uint32_t kArmorBase = 0x0004B010;

class SoakTest : public EngineWorld {
 protected:
  gd::UiWorld& ui() { return world().Component<gd::UiWorld>(); }

  void Equip(gd::ActorRec& actor) {
    std::vector<gd::ExtraList*>& worn = worn_.emplace_back();
    worn.push_back(&Wear(actor, *forms().Find(kSword), 1.5f));
    worn.push_back(&Wear(actor, *forms().Find(kShield), 1.5f, true));
    for (std::uint32_t piece = 0; piece < 4; ++piece)
      worn.push_back(&Wear(actor, *forms().Find(kArmorBase + piece), 1.5f));
  }

  // The blacksmith's work between rounds: worn-out pieces are tempered again,
  // so that hits keep wearing something.
  std::size_t Repair() {
    std::size_t repaired = 0;
    for (const auto& worn : worn_) {
      for (gd::ExtraList* list : worn) {
        auto* health = reinterpret_cast<gd::ExtraHealthEntry*>(extra().Find(*list, gd::extra_type::kHealth));
        if (health != nullptr && health->health < 1.2f) {
          health->health = 1.5f;
          ++repaired;
        }
      }
    }
    return repaired;
  }

  // Game-heap blocks linked into the game's lists as health entries.
  std::size_t LinkedHealthBlocks(const std::vector<gd::ExtraList*>& lists) {
    std::size_t linked = 0;
    for (const gd::ExtraList* list : lists) {
      for (const gd::ExtraEntry* entry = list->first(); entry != nullptr; entry = entry->next) {
        if (world().heap().IsLive(entry)) ++linked;
      }
    }
    return linked;
  }

  std::vector<std::vector<gd::ExtraList*>> worn_;
};

TEST_F(SoakTest, AMillionHitsAHundredThousandUpdatesAndTenThousandWidgetUpdates) {
  const auto started = std::chrono::steady_clock::now();
  gd::CellRec& hall = cells().AddCell("hall", true);
  Weapon(kSword);
  Armor(kShield, 0x200);
  const std::uint32_t slots[4] = {0x1, 0x4, 0x8, 0x80};
  for (std::uint32_t piece = 0; piece < 4; ++piece) Armor(kArmorBase + piece, slots[piece]);
  forms().AddForm(kSpell, gd::form_type::kSpell, "Sparks");
  for (std::uint32_t keyword : {0x8F95Au, 0x8F95Bu, 0x6D930u}) forms().Keyword(keyword);

  std::vector<gd::ActorRec*> actors;
  actors.push_back(&Actor("player"));
  for (int i = 1; i < kActors; ++i) actors.push_back(&Actor("actor" + std::to_string(i)));
  for (std::size_t i = 0; i < actors.size(); ++i) {
    references().SetPosition(actors[i]->ref, 40.0f * static_cast<float>(i), 0.0f, 0.0f);
    cells().Place(actors[i]->ref, hall);
    Equip(*actors[i]);
  }
  // Undecided gear the first tempering pass decides: it gets health entries
  // from the game heap that stay for the rest of the session.
  std::vector<gd::ExtraList*> stored;
  for (int c = 0; c < 20; ++c) {
    gd::ReferenceRec& chest = Container("chest" + std::to_string(c));
    references().SetPosition(chest, 0.0f, 30.0f * static_cast<float>(c), 0.0f);
    cells().Place(chest, hall);
    for (std::uint32_t piece = 0; piece < 4; ++piece) stored.push_back(&Give(chest, *forms().Find(kArmorBase + piece)));
  }
  for (int l = 0; l < 10; ++l) {
    gd::ReferenceRec& lying = Loose("lying" + std::to_string(l), *forms().Find(kSword));
    references().SetPosition(lying, -30.0f * static_cast<float>(l), 0.0f, 0.0f);
    cells().Place(lying, hall);
    stored.push_back(&lying.extraList);
  }

  WriteSettings("[Degradation]\r\nOnlyPlayer=false\r\n[DynamicTemper]\r\nTemperChance=50\r\n");
  ui().Create(gd::UiOptions{});
  LoadPlugin();
  host().SetEventDispatcher(3, &ui().ActionSource());
  ASSERT_TRUE(host().Query());
  ASSERT_TRUE(host().Load());
  host().SendMessage(8);
  // A save loads: the widget opens.
  ui().OpenMenu(ui().options().triggerMenu, 0);
  ui().CloseMenu(ui().options().triggerMenu);
  ui().Frames(1);
  ASSERT_TRUE(ui().IsOpen(std::string(gd::kWidgetMenuName)));

  const std::uint32_t sources[3] = {kSword, kShield, kSpell};
  std::uint64_t hits = 0;
  std::uint64_t updates = 0;
  std::uint64_t widgetUpdates = 0;
  std::size_t repaired = 0;
  MemoryNow warm;
  std::size_t warmGameBlocks = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::size_t updatesBefore = ui().InvokeCount("_root.widget.UpdateMenu");
    const int hitsPerUpdate = kHitsPerRound / kUpdatesPerRound;
    for (int u = 0; u < kUpdatesPerRound; ++u) {
      for (int h = 0; h < hitsPerUpdate; ++h) {
        const std::size_t first = static_cast<std::size_t>(hits % kActors);
        gd::ActorRec& target = *actors[first];
        gd::ActorRec& cause = *actors[(first + 1 + hits / kActors % (kActors - 1)) % kActors];
        Hit(target, cause, sources[hits % 3], static_cast<std::uint32_t>(hits / 3 % 16));
        ++hits;
      }
      gd::DispatchUpdate(world());
      ++updates;
    }
    // Frames until this round's content updates have gone out (one every
    // eleventh frame).
    for (int f = 0; f < (kWidgetUpdatesPerRound + 1) * kFramesPerWidgetUpdate; ++f) {
      if (ui().InvokeCount("_root.widget.UpdateMenu") - updatesBefore == kWidgetUpdatesPerRound) break;
      ui().Frames(1);
    }
    widgetUpdates += ui().InvokeCount("_root.widget.UpdateMenu") - updatesBefore;
    // The double's own record of the movie's calls is not the plug-in's memory.
    ui().ForgetHistory();
    repaired += Repair();
    ASSERT_EQ(ui().LiveManagedValues(), 0u) << "round " << round;
    ASSERT_EQ(ui().movieHeapModel().LiveBlocks(), 1u) << "round " << round;  // the open widget
    if (round + 1 == kWarmUpRounds) {
      warm = MeasureMemory();
      warmGameBlocks = world().heap().LiveBlocks();
    }
    // Every round after warm-up, not only the last: the decided items'
    // entries are all made by the first tempering pass.
    if (round + 1 > kWarmUpRounds) {
      ASSERT_EQ(world().heap().LiveBlocks(), warmGameBlocks) << "round " << round;
    }
  }
  const MemoryNow end = MeasureMemory();
  const std::size_t endGameBlocks = world().heap().LiveBlocks();
  ui().CloseMenu(gd::kWidgetMenuName);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  EXPECT_EQ(hits, 1'000'000u / kScale);
  EXPECT_EQ(updates, 100'000u / kScale);
  EXPECT_EQ(widgetUpdates, 10'000u / kScale);
  // The hits wore the gear down again and again.
  EXPECT_GT(repaired, 100u / kScale);
  // The game heap holds the decided items' health entries, and nothing else.
  std::vector<gd::ExtraList*> everyList = stored;
  for (const auto& worn : worn_) everyList.insert(everyList.end(), worn.begin(), worn.end());
  EXPECT_EQ(endGameBlocks, LinkedHealthBlocks(everyList));
  EXPECT_EQ(endGameBlocks, warmGameBlocks);
  EXPECT_GT(endGameBlocks, 0u);
  EXPECT_EQ(ui().movieHeapModel().LiveBlocks(), 0u);
  EXPECT_EQ(ui().LiveManagedValues(), 0u);
  // Sanitizers keep freed blocks in quarantine and answer the allocator's
  // statistics themselves.
  if (!kSanitized) {
    EXPECT_LE(end.allocatedBytes - warm.allocatedBytes, kAllocatedGrowthLimitBytes);
    EXPECT_LE(end.residentKb - warm.residentKb, kResidentGrowthLimitKb);
  }

  std::printf("soak: %llu hits, %llu update events, %llu widget updates in %.1f s\n",
              static_cast<unsigned long long>(hits), static_cast<unsigned long long>(updates),
              static_cast<unsigned long long>(widgetUpdates), seconds);
  std::printf("soak: %zu worn-out pieces tempered again between rounds\n", repaired);
  std::printf(
      "soak: allocated %lld bytes after warm-up, %lld at the end; RSS %lld kB after warm-up, %lld kB at the "
      "end (peak %lld kB, then %lld kB)\n",
      warm.allocatedBytes, end.allocatedBytes, warm.residentKb, end.residentKb, warm.peakResidentKb,
      end.peakResidentKb);
  std::printf(
      "soak: game heap %zu blocks after warm-up, %zu at the end (all linked health entries); "
      "movie heap %zu blocks after closing the widget\n",
      warmGameBlocks, endGameBlocks, ui().movieHeapModel().LiveBlocks());
  RecordProperty("allocated_after_warmup_bytes", std::to_string(warm.allocatedBytes));
  RecordProperty("allocated_end_bytes", std::to_string(end.allocatedBytes));
  RecordProperty("rss_after_warmup_kb", std::to_string(warm.residentKb));
  RecordProperty("rss_end_kb", std::to_string(end.residentKb));
  RecordProperty("peak_rss_end_kb", std::to_string(end.peakResidentKb));
  RecordProperty("game_heap_blocks_end", std::to_string(endGameBlocks));
  RecordProperty("seconds", std::to_string(seconds));
}

// The measure itself: a leak that stays below an earlier peak is seen by
// the memory in use and missed by the peak.
TEST(SoakMeasure, ALeakBelowAnEarlierPeakShowsInTheMemoryInUse) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer answers the allocator's statistics itself";
  constexpr std::size_t kPeak = 64 << 20;
  constexpr std::size_t kLeak = 8 << 20;
  {
    std::vector<char> transient(kPeak, 1);
    ASSERT_EQ(transient[kPeak / 2], 1);
  }
  const MemoryNow before = MeasureMemory();
  std::vector<char> leaked(kLeak, 1);
  const MemoryNow after = MeasureMemory();
  ASSERT_EQ(leaked[kLeak / 2], 1);
  EXPECT_EQ(after.peakResidentKb, before.peakResidentKb);
  EXPECT_GE(after.allocatedBytes - before.allocatedBytes, static_cast<long long>(kLeak));
  EXPECT_GE(after.residentKb - before.residentKb, static_cast<long long>(kLeak / 1024 * 3 / 4));
}

}  // namespace
}  // namespace qmtest
