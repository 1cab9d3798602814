#pragma once
// Runs a piece of code in a child process and captures its standard output
// and how it ended: for code that stops the process on purpose.
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace qmtest {

struct ChildResult {
  bool exited = false;     // ended through exit()
  int exitCode = 0;
  bool signaled = false;   // stopped by a signal (abort)
  int signal = 0;
  std::string output;      // everything written to standard output
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

}  // namespace qmtest
