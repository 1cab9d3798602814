#include "tune_progress.h"

#include "tune_platform.h"

#include <cstdio>
#include <string>

namespace qm::tune {

Progress::Progress(std::size_t total, bool enabled)
    : total_(total),
      enabled_(enabled && total > 1),
      terminal_(IsTerminal(stderr)),
      begin_(std::chrono::steady_clock::now()) {}

void Progress::Update(std::size_t done) {
  if (!enabled_ || total_ == 0) return;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin_).count();
  const double left = done == 0 ? 0 : seconds / static_cast<double>(done) * static_cast<double>(total_ - done);
  const int percent = static_cast<int>(100 * done / total_);
  if (terminal_) {
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(kWidth * done / total_);
    std::fprintf(stderr, "\r[%s%s] %3d%%  %zu/%zu jobs  %.0f s, about %.0f s left ",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent, done, total_, seconds,
                 left);
    drawn_ = true;
  } else {
    const std::size_t tenth = 10 * done / total_;
    if (tenth == lastTenth_) return;
    lastTenth_ = tenth;
    std::fprintf(stderr, "tune: %d%% (%zu of %zu jobs) after %.1f s, about %.0f s left\n", percent, done, total_,
                 seconds, left);
  }
  std::fflush(stderr);
}

void Progress::Finish() {
  if (drawn_) std::fprintf(stderr, "\r%90s\r", "");
  drawn_ = false;
  std::fflush(stderr);
}

}  // namespace qm::tune
