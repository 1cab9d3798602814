#pragma once
// Runs a piece of code in a child process and captures its standard output
// and how it ended: for code that stops the process on purpose.
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "coverage_counts.h"

namespace qmtest {

struct ChildResult {
  bool exited = false;  // ended through exit()
  int exitCode = 0;
  bool signaled = false;  // stopped by a signal (abort)
  int signal = 0;
  std::string output;  // everything written to standard output
};

inline ChildResult RunInChild(const std::function<void()>& body) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) std::abort();
  std::fflush(stdout);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    ::dup2(pipeFds[1], STDOUT_FILENO);
    body();
    std::fflush(stdout);
    SaveCoverageCounts();
    std::_Exit(0);
  }
  ::close(pipeFds[1]);
  ChildResult result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) result.output.append(buffer, n);
  ::close(pipeFds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exited = WIFEXITED(status);
  result.exitCode = result.exited ? WEXITSTATUS(status) : 0;
  result.signaled = WIFSIGNALED(status);
  result.signal = result.signaled ? WTERMSIG(status) : 0;
  return result;
}

// A child process that sets something up (opens and holds files, say), tells
// whether that worked, and then keeps it until the object goes away and
// kills it: for what only another process can hold against this one.
class HoldingChild {
 public:
  explicit HoldingChild(const std::function<bool()>& setUp) {
    int ready[2];
    if (::pipe(ready) != 0) std::abort();
    std::fflush(stdout);
    pid_ = ::fork();
    if (pid_ == 0) {
      const char state = setUp() ? 'y' : 'n';
      SaveCoverageCounts();
      (void)!::write(ready[1], &state, 1);
      ::pause();
      std::_Exit(0);
    }
    char state = 0;
    (void)!::read(ready[0], &state, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    holding_ = state == 'y';
  }
  ~HoldingChild() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  HoldingChild(const HoldingChild&) = delete;
  HoldingChild& operator=(const HoldingChild&) = delete;

  bool holding() const { return holding_; }

 private:
  pid_t pid_ = 0;
  bool holding_ = false;
};

}  // namespace qmtest
