// The game double's user interface, driven the way the plug-in drives it:
// every call goes through the jump at the game's offset. Widget tests rely on
// these contracts, so a fault here would hide faults there.
#include "runtime_offsets.h"
#include "ui_world.h"
#include "world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using gd::MenuObj;
using gd::MovieValueRec;

template <typename F>
F At(gd::World& world, std::uintptr_t offset) {
  return world.region().At<std::remove_pointer_t<F>>(offset);
}

class UiDoubleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gd::UiOptions options;
    options.menuTableCapacity = 4;
    ui().Create(options);
  }
  void TearDown() override {
    world_.End();
    for (const std::string& violation : world_.Violations()) ADD_FAILURE() << "game double: " << violation;
  }
  gd::UiWorld& ui() { return world_.Component<gd::UiWorld>(); }
  gd::BSFixedString Name(const char* text) { return gd::BSFixedString{world_.strings().Intern(text)}; }

  // Takes the violations recorded so far, so that a test can expect some.
  std::vector<std::string> TakeViolations() {
    std::vector<std::string> taken = world_.Violations();
    const_cast<std::vector<std::string>&>(world_.Violations()).clear();
    return taken;
  }

  gd::World world_;
};

TEST_F(UiDoubleTest, MenuTableChainsFindEveryMenuThroughTheHashTheGameExports) {
  // Forty names in a table of four buckets: chains, moved entries and growth.
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back("Menu " + std::to_string(i));
  for (const std::string& name : names) ui().OpenMenu(name, 0);

  auto hash = At<void (*)(std::uint32_t*, const char*)>(world_, gd::Off().hashInternedKey.offset);
  gd::MenuManagerObj* manager = *world_.region().At<gd::MenuManagerObj*>(gd::Off().menuManagerPtr.offset);
  ASSERT_EQ(manager, ui().manager());
  for (const std::string& name : names) {
    const char* interned = world_.strings().Intern(name.c_str());
    std::uint32_t h = 0;
    hash(&h, interned);
    // The look-up as the widget does it, from the fields at their offsets.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(manager);
    const std::uint32_t count = *reinterpret_cast<const std::uint32_t*>(bytes + 0x134);
    auto* end = *reinterpret_cast<gd::MenuTableEntry* const*>(bytes + 0x140);
    auto* buckets = *reinterpret_cast<gd::MenuTableEntry* const*>(bytes + 0x150);
    gd::MenuTableEntry* entry = &buckets[h & (count - 1)];
    ASSERT_NE(entry->next, nullptr) << name;
    while (entry != end && entry->name.text != interned) entry = entry->next;
    ASSERT_NE(entry, end) << name;
    EXPECT_EQ(entry->menu, ui().OpenMenuObject(name)) << name;
  }
}

TEST_F(UiDoubleTest, HashAndOpenQueryRejectNamesPassedTheWrongWay) {
  ui().OpenMenu("Main Menu", 0);
  gd::BSFixedString main = Name("Main Menu");
  auto hash = At<void (*)(std::uint32_t*, const void*)>(world_, gd::Off().hashInternedKey.offset);
  auto query = At<bool (*)(void*, const void*)>(world_, gd::Off().menuOpenQuery.offset);
  std::uint32_t h = 0;
  hash(&h, &main);  // the address instead of the value
  EXPECT_EQ(TakeViolations().size(), 1u);
  EXPECT_TRUE(query(ui().manager(), &main));
  EXPECT_FALSE(query(ui().manager(), main.text));  // the value instead of the address
  EXPECT_EQ(TakeViolations().size(), 1u);
  ui().CloseMenu("Main Menu");
  EXPECT_FALSE(query(ui().manager(), &main));
}

TEST_F(UiDoubleTest, OpenAndCloseRaiseEventsAndKeepTheCounters) {
  // A recorder answers what the test asks of it and may, on its first event,
  // remove itself or add another sink, as the plug-in's sinks do.
  struct Recorder {
    const gd::EventSinkVtbl* vtbl;
    gd::World* world;
    std::uint32_t answer = 0;
    bool removeSelf = false;
    Recorder* add = nullptr;
    std::vector<std::pair<std::string, bool>> seen;
  };
  static const gd::EventSinkVtbl table = {
      nullptr, [](gd::EventSinkObj* self, const void* event, void* source) -> std::uint32_t {
        auto* e = static_cast<const gd::MenuOpenCloseEventRec*>(event);
        auto* recorder = reinterpret_cast<Recorder*>(self);
        auto& from = *static_cast<gd::BSTEventSource*>(source);
        recorder->seen.emplace_back(e->menuName.text, e->opening != 0);
        if (recorder->removeSelf) recorder->world->DetachSink(from, self);
        if (recorder->add != nullptr)
          recorder->world->AttachSink(from, reinterpret_cast<gd::EventSinkObj*>(recorder->add));
        recorder->removeSelf = false;
        recorder->add = nullptr;
        return recorder->answer;
      }};
  gd::BSTEventSource& source = ui().manager()->openCloseSource;
  Recorder recorder{&table, &world_, 0, false, nullptr, {}};
  Recorder leaving{&table, &world_, 0, true, nullptr, {}};
  Recorder late{&table, &world_, 0, false, nullptr, {}};
  leaving.add = &late;
  world_.AttachSink(source, reinterpret_cast<gd::EventSinkObj*>(&leaving));
  world_.AttachSink(source, reinterpret_cast<gd::EventSinkObj*>(&recorder));
  world_.AttachSink(source, reinterpret_cast<gd::EventSinkObj*>(&recorder));  // already there: nothing
  ui().OpenMenu("Inventory Menu", 0x4001);
  EXPECT_EQ(ui().manager()->pausingMenus, 1u);
  EXPECT_EQ(ui().manager()->itemMenus, 1u);
  // The sink that left is gone after the event; the one it added waits for
  // the next event.
  EXPECT_EQ(source.size, 1u);
  EXPECT_TRUE(world_.HoldsSink(source, reinterpret_cast<gd::EventSinkObj*>(&late)));
  ui().CloseMenu("Inventory Menu");
  EXPECT_EQ(ui().manager()->pausingMenus, 0u);
  EXPECT_EQ(ui().manager()->itemMenus, 0u);
  const std::vector<std::pair<std::string, bool>> both = {{"Inventory Menu", true}, {"Inventory Menu", false}};
  const std::vector<std::pair<std::string, bool>> opening = {{"Inventory Menu", true}};
  const std::vector<std::pair<std::string, bool>> closing = {{"Inventory Menu", false}};
  EXPECT_EQ(recorder.seen, both);
  EXPECT_EQ(leaving.seen, opening);
  EXPECT_EQ(late.seen, closing);

  // An answer of 1 stops the delivery; a sink of the plug-in answering
  // anything but 0 breaks the contract.
  recorder.answer = 1;
  ui().OpenMenu("Main Menu", 0);
  EXPECT_EQ(late.seen, closing);
  EXPECT_EQ(TakeViolations().size(), 1u);
  world_.MarkOthersSink(reinterpret_cast<gd::EventSinkObj*>(&recorder));
  ui().CloseMenu("Main Menu");
  EXPECT_TRUE(TakeViolations().empty()) << "another module's sink answers what it likes";
}

TEST_F(UiDoubleTest, ManagedValuesCountRetainsAndDropsAndReportDoubleDrops) {
  // A view of a menu that the test attaches itself.
  MenuObj menu{};
  auto attach = At<bool (*)(void*, MenuObj*, gd::MovieViewObj**, const char*, std::int32_t, float)>(
      world_, gd::Off().attachMovieToMenu.offset);
  ASSERT_TRUE(attach(ui().movieManager(), &menu, &menu.view, "DurabilityMenu", 0, 0.0f));
  auto* view = menu.view;
  auto createArray = reinterpret_cast<void (*)(gd::MovieViewObj*, MovieValueRec*)>(view->vtbl[14]);
  auto retain = At<void (*)(void*, MovieValueRec*, void*)>(world_, gd::Off().movieValueRetain.offset);
  auto drop = At<void (*)(void*, MovieValueRec*, void*)>(world_, gd::Off().movieValueDrop.offset);
  auto append = At<bool (*)(void*, void*, const MovieValueRec*)>(world_, gd::Off().movieArrayAppend.offset);

  MovieValueRec array{};
  createArray(view, &array);
  MovieValueRec element{};
  element.type = gd::kValueString;
  element.payload.text = "weapon_sword";
  EXPECT_TRUE(append(array.objectInterface, array.payload.data, &element));
  MovieValueRec copy = array;
  retain(copy.objectInterface, &copy, copy.payload.data);
  EXPECT_EQ(ui().LiveManagedValues(), 1u);
  drop(copy.objectInterface, &copy, copy.payload.data);
  drop(array.objectInterface, &array, array.payload.data);
  EXPECT_EQ(ui().LiveManagedValues(), 0u);
  EXPECT_TRUE(TakeViolations().empty());
  drop(array.objectInterface, &array, array.payload.data);
  const std::vector<std::string> violations = TakeViolations();
  ASSERT_EQ(violations.size(), 1u);
  EXPECT_NE(violations[0].find("dropped twice"), std::string::npos);
}

TEST_F(UiDoubleTest, ManagedValueStillReferencedWhenTheRunEndsIsALeak) {
  MenuObj menu{};
  auto attach = At<bool (*)(void*, MenuObj*, gd::MovieViewObj**, const char*, std::int32_t, float)>(
      world_, gd::Off().attachMovieToMenu.offset);
  ASSERT_TRUE(attach(ui().movieManager(), &menu, &menu.view, "DurabilityMenu", 0, 0.0f));
  auto createArray = reinterpret_cast<void (*)(gd::MovieViewObj*, MovieValueRec*)>(menu.view->vtbl[14]);
  MovieValueRec array{};
  createArray(menu.view, &array);
  world_.End();
  const std::vector<std::string> violations = TakeViolations();
  ASSERT_EQ(violations.size(), 1u);
  EXPECT_NE(violations[0].find("when the run ended"), std::string::npos);
}

TEST_F(UiDoubleTest, AttachMovieChecksItsTrailingArgumentsAndCanFail) {
  MenuObj menu{};
  auto attach = At<bool (*)(void*, MenuObj*, gd::MovieViewObj**, const char*, std::int32_t, float)>(
      world_, gd::Off().attachMovieToMenu.offset);
  EXPECT_TRUE(attach(ui().movieManager(), &menu, &menu.view, "DurabilityMenu", 1, 0.0f));
  EXPECT_EQ(TakeViolations().size(), 1u);
  ui().SetMovieLoads(false);
  MenuObj other{};
  EXPECT_FALSE(attach(ui().movieManager(), &other, &other.view, "DurabilityMenu", 0, 0.0f));
  EXPECT_EQ(other.view, nullptr);
}

TEST_F(UiDoubleTest, MovieHeapChecksArgumentsAndInjectsFailures) {
  gd::MovieHeapObj* heap = *world_.region().At<gd::MovieHeapObj*>(gd::Off().movieHeapPtr.offset);
  auto alloc = reinterpret_cast<void* (*)(gd::MovieHeapObj*, std::size_t, const void*)>(heap->vtbl[10]);
  auto release = reinterpret_cast<void (*)(gd::MovieHeapObj*, void*)>(heap->vtbl[12]);
  void* block = alloc(heap, 64, nullptr);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(ui().movieHeapModel().LiveBlocks(), 1u);
  release(heap, block);
  EXPECT_EQ(ui().movieHeapModel().LiveBlocks(), 0u);
  ui().movieHeapModel().FailAllocation(1);
  EXPECT_EQ(alloc(heap, 64, nullptr), nullptr);
  release(heap, block);  // a second time
  EXPECT_EQ(TakeViolations().size(), 1u);
}

}  // namespace
