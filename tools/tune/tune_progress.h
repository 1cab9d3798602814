#pragma once
// Progress of a long run on standard error: a bar with the time left on a
// terminal, a plain line every tenth of the work otherwise.
#include <chrono>
#include <cstddef>

namespace qm::tune {

class Progress {
 public:
  Progress(std::size_t total, bool enabled);
  void Update(std::size_t done);
  void Finish();

 private:
  std::size_t total_;
  bool enabled_;
  bool terminal_;
  std::size_t lastTenth_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point begin_;
};

}  // namespace qm::tune
