// Linked into the programs whose tests run the plug-in's code on a game
// double: the plug-in keeps process-wide state (the settings it read, the
// game records it looked up once, the event sinks it added), as it does in
// the game, where it is loaded once. A second test in the same process would
// meet the first one's state, so such a program refuses to run more than one
// test, and says why, rather than report failures that are not faults.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

class OneTestPerProcess : public ::testing::Environment {
 public:
  void SetUp() override {
    const int tests = ::testing::UnitTest::GetInstance()->test_to_run_count();
    const int repeat = GTEST_FLAG_GET(repeat);
    if (tests <= 1 && repeat == 1) return;
    std::fprintf(stderr,
                 "%d tests selected, %d rounds: these tests share the plug-in's process-wide state, so each runs "
                 "in a process of its own. Run them through ctest, or choose one with --gtest_filter and no "
                 "--gtest_repeat.\n",
                 tests, repeat);
    std::fflush(stderr);
    std::_Exit(2);
  }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new OneTestPerProcess);

}  // namespace
