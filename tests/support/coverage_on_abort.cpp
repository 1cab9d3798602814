// Linked into every test program: in a coverage build, a process that
// aborts (a death test, a child stopped by a fatal assertion) saves its
// coverage counters before it dies, and then dies of the same signal, so the
// tests still see an abort.
#include <csignal>

#include "coverage_counts.h"

namespace {

extern "C" void SaveCountsThenAbort(int) {
  qmtest::SaveCoverageCounts();
  std::signal(SIGABRT, SIG_DFL);
  std::raise(SIGABRT);
}

const bool kHandlerInstalled = [] {
  if (__gcov_dump != nullptr) std::signal(SIGABRT, SaveCountsThenAbort);
  return true;
}();

}  // namespace
