// The physics-freeze filter in front of the physics plug-in's freeze
// handler: an event that comes while the filter is being put in place, and
// an event given without a record.
#include "hdt_sinks.h"
#include "support/widget_fixture.h"
#include "ui_layouts.h"

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstdint>
#include <functional>

// ThreadSanitizer keeps mprotect for itself; taking it from the sanitizer
// would leave its shadow memory unaware of protection changes.
#if defined(__SANITIZE_THREAD__)
#define QM_TEST_TAKES_MPROTECT 0
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QM_TEST_TAKES_MPROTECT 0
#endif
#endif
#ifndef QM_TEST_TAKES_MPROTECT
#define QM_TEST_TAKES_MPROTECT 1
#endif

namespace {

// Runs before every change of a page's protection in this process while set.
std::function<void(void* address, std::size_t length, int protection)> gBeforeProtect;

}  // namespace

#if QM_TEST_TAKES_MPROTECT
// This program exports its symbols, so the plug-in's calls reach this
// mprotect first: a test can act at the moment the plug-in changes the
// protection of a class table.
extern "C" int mprotect(void* address, std::size_t length, int protection) {
  using Real = int (*)(void*, std::size_t, int);
  static const Real real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "mprotect"));
  if (gBeforeProtect) gBeforeProtect(address, length, protection);
  return real(address, length, protection);
}
#endif

namespace qmtest {
namespace {

constexpr std::uint32_t kHandlerResult = 7;

class FreezeFilter : public WidgetFixture {
 protected:
  void TearDown() override {
    gBeforeProtect = nullptr;
    WidgetFixture::TearDown();
  }

  gd::FreezeSinks& sinks() { return world().Component<gd::FreezeSinks>(); }
  gd::BSTEventSource& openCloseSource() { return ui().manager()->openCloseSource; }

  // The plug-in up to its data-loaded message, with one freeze handler on
  // the menu open/close source.
  void LoadWithHandler() {
    ui().Create(gd::UiOptions{});
    LoadPlugin();
    host().SetEventDispatcher(3, &ui().ActionSource());
    ASSERT_TRUE(host().Query());
    ASSERT_TRUE(host().Load());
    gd::FreezeSinkSpec spec;
    spec.result = kHandlerResult;
    handler_ = sinks().Add(spec);
    world().AttachSink(openCloseSource(), sinks().Sink(handler_));
  }

  // Calls slot 1 of the handler's class table as the game's dispatch does.
  std::uint32_t Deliver(const gd::MenuOpenCloseEventRec* event) {
    gd::EventSinkObj* sink = sinks().Sink(handler_);
    return sink->vtbl->receive(sink, event, &openCloseSource());
  }
  gd::MenuOpenCloseEventRec Event(const char* menu) {
    gd::MenuOpenCloseEventRec event{};
    event.menuName.text = world().strings().Intern(menu);
    event.opening = 1;
    return event;
  }

  std::size_t handler_ = 0;
};

TEST_F(FreezeFilter, AnEventWhileTheSlotIsBeingPatchedReachesTheHandler) {
  if (!QM_TEST_TAKES_MPROTECT) GTEST_SKIP() << "runs in the plain and the address-sanitizer builds";
  LoadWithHandler();
  const auto table = reinterpret_cast<std::uintptr_t>(sinks().Sink(handler_)->vtbl);
  const gd::MenuOpenCloseEventRec inventory = Event("InventoryMenu");
  int delivered = 0;
  std::uint32_t result = 0;
  // When the plug-in makes the table's page read-only again, the slot
  // already holds the filter: an event of another menu dispatched right
  // then must reach the handler.
  gBeforeProtect = [&](void* address, std::size_t length, int protection) {
    const auto start = reinterpret_cast<std::uintptr_t>(address);
    if (protection != PROT_READ || table < start || table >= start + length) return;
    if (!sinks().ReceiveSlotReplaced(handler_)) return;
    ++delivered;
    result = Deliver(&inventory);
  };
  host().SendMessage(8);
  gBeforeProtect = nullptr;

  ASSERT_TRUE(sinks().ReceiveSlotReplaced(handler_));
  ASSERT_EQ(delivered, 1);
  EXPECT_EQ(result, kHandlerResult);
  ASSERT_EQ(sinks().Received(handler_).size(), 1u);
  EXPECT_EQ(sinks().Received(handler_)[0].menuName, "InventoryMenu");
}

TEST_F(FreezeFilter, ANullEventIsPassedOnUnchanged) {
  LoadWithHandler();
  host().SendMessage(8);
  ASSERT_TRUE(sinks().ReceiveSlotReplaced(handler_));

  EXPECT_EQ(Deliver(nullptr), kHandlerResult);
  const gd::MenuOpenCloseEventRec widget = Event("Durability Menu");
  EXPECT_EQ(Deliver(&widget), 0u);  // still filtered
  ASSERT_EQ(sinks().Received(handler_).size(), 1u);
  EXPECT_TRUE(sinks().Received(handler_)[0].noRecord);
  EXPECT_EQ(sinks().Received(handler_)[0].source, &openCloseSource());
}

TEST_F(FreezeFilter, AHandlerMovedToACopiedTableGoesOnReceivingEvents) {
  LoadWithHandler();
  host().SendMessage(8);
  ASSERT_TRUE(sinks().ReceiveSlotReplaced(handler_));
  // Another plug-in copies the patched table, filter included, and points
  // the handler at its copy: the filter knows no target for it and lets the
  // game deliver on.
  gd::EventSinkObj* sink = sinks().Sink(handler_);
  const gd::EventSinkVtbl* patched = sink->vtbl;
  const gd::EventSinkVtbl copy = *patched;
  sink->vtbl = &copy;
  const gd::MenuOpenCloseEventRec inventory = Event("InventoryMenu");
  const std::uint32_t answer = Deliver(&inventory);
  sink->vtbl = patched;
  EXPECT_EQ(answer, 0u);
}

}  // namespace
}  // namespace qmtest
