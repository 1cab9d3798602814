#include "captured_stdout.h"

#include <cstdio>
#include <unistd.h>

namespace qm::check {

std::optional<std::string> RunCapturingStdout(const std::function<void()>& work) {
  std::FILE* sink = std::tmpfile();
  if (sink == nullptr) return std::nullopt;
  std::fflush(stdout);
  const int saved = dup(fileno(stdout));
  if (saved < 0 || dup2(fileno(sink), fileno(stdout)) < 0) {
    if (saved >= 0) close(saved);
    std::fclose(sink);
    return std::nullopt;
  }
  work();
  std::fflush(stdout);
  dup2(saved, fileno(stdout));
  close(saved);
  std::string text;
  std::rewind(sink);
  char chunk[4096];
  for (std::size_t got = 0; (got = std::fread(chunk, 1, sizeof chunk, sink)) > 0;) text.append(chunk, got);
  std::fclose(sink);
  return text;
}

}  // namespace qm::check
