// Start-up on the runtimes whose addresses come from the Address Library: the
// update handler driven from the script extender's tasks, once a frame.
#include "library_file.h"
#include "support/plugin_fixture.h"

#include <string>
#include <vector>

namespace qmtest {
namespace {

class LibraryRuntimeStart : public PluginFixture {
 protected:
  void UseRuntime(const gd::RuntimeOffsets& runtime) {
    world_.reset();
    world_ = std::make_unique<gd::World>(runtime);
    const std::vector<std::uint8_t> library = gd::LibraryFileFor(runtime);
    WriteGameFile("data/SKSE/Plugins/" + gd::LibraryFileName(runtime), std::string(library.begin(), library.end()));
  }
};

TEST_F(LibraryRuntimeStart, TheUpdateTaskRunsOnceAFrameEvenAfterASecondDataLoadedMessage) {
  UseRuntime(gd::Runtime1_5_97());
  host::HostSettings settings;
  settings.runtimeVersion = gd::Runtime1_5_97().runtimeVersion;
  StartPlugin(settings);
  host().SendMessage(8);  // a second start must not queue a second task
  for (int frame = 0; frame < 5; ++frame) host().RunFrameTasks();
  // Each frame: the update task, then the interface task that queues it again.
  EXPECT_EQ(host().tasksRun(), 10u);
  EXPECT_EQ(host().queuedTasks(), 1u);
  EXPECT_EQ(host().queuedUiTasks(), 0u);
  EXPECT_TRUE(host().violations().empty());
}

TEST_F(LibraryRuntimeStart, OnCompiledOffsetsNoTaskIsQueued) {
  StartPlugin();
  host().RunFrameTasks();
  EXPECT_EQ(host().tasksRun(), 0u);
}

// The host double stands in for the script extender, which empties a queue
// until it is empty: a task that queues itself there again never lets the
// frame end, and the double says so instead of hanging.
host::TaskInterface* keptTasks = nullptr;
void RunAndQueueAgain(host::TaskDelegate* self) { keptTasks->AddTask(self); }
void KeepIt(host::TaskDelegate*) {}
const host::TaskDelegateVtbl kSelfQueueingTable{&RunAndQueueAgain, &KeepIt};

TEST_F(LibraryRuntimeStart, ATaskThatQueuesItselfOnItsOwnQueueIsAViolation) {
  host::HostDouble extender;
  keptTasks = static_cast<host::TaskInterface*>(extender.QueryInterfaceForTest(4));
  ASSERT_NE(keptTasks, nullptr);
  host::TaskDelegate task{&kSelfQueueingTable};
  keptTasks->AddTask(&task);
  extender.RunFrameTasks();
  ASSERT_EQ(extender.violations().size(), 1u);
  EXPECT_NE(extender.violations()[0].find("never empties"), std::string::npos);
  EXPECT_EQ(extender.queuedTasks(), 0u);
}

}  // namespace
}  // namespace qmtest
