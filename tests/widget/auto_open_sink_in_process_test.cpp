// The widget's auto-open sink, armed at every closing of the widget, takes
// itself off the menu open/close source and frees itself when it fires.
#include "support/in_process_game.h"

#include "runtime_offsets.h"
#include "support/memory_in_use.h"
#include "ui_world.h"
#include "widget/auto_open_sink.h"

namespace {

class AutoOpenSink : public qmtest::InProcessGame {};

TEST_F(AutoOpenSink, OneThatFiredLeavesNoMemoryBehind) {
  gd::UiWorld& ui = world().Component<gd::UiWorld>();
  ui.Create(gd::UiOptions{});
  // No message queue: the firing sink posts no opening and only leaves.
  *world().region().At<void*>(gd::Off().uiMessageQueuePtr.offset) = nullptr;
  gd::BSTEventSource& source = ui.manager()->openCloseSource;
  gd::MenuOpenCloseEventRec closing{};
  closing.menuName.text = world().strings().Intern(ui.options().triggerMenu.c_str());
  const auto armAndFire = [&] {
    qm::widget::ArmAutoOpen();
    gd::EventSinkObj* sink = source.sinks[source.size - 1];
    sink->vtbl->receive(sink, &closing, &source);
  };
  armAndFire();  // the source's array is grown once
  const std::uint32_t sinks = source.size;
  const long long before = qmtest::MeasureMemory().allocatedBytes;
  constexpr int kArmings = 20000;
  for (int i = 0; i < kArmings; ++i) armAndFire();
  EXPECT_EQ(source.size, sinks);
  // A sink kept would hold at least 16 bytes of the allocator's each time.
  EXPECT_LT(qmtest::MeasureMemory().allocatedBytes - before, kArmings * 4);
}

}  // namespace
