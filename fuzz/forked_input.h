#pragma once
// Runs each fuzz input in a child process, so that every input meets a
// plug-in fresh from loading: the module keeps its state for the life of the
// process and cannot be unloaded under the fuzzer, but a child forked from a
// process that loaded it and never called it starts from that state. The
// module's coverage counters, which the child's run fills, are copied back
// into the parent's, so that the fuzzer still learns from what the plug-in
// did. A child that crashes, breaks a sanitizer's check or fails a check of
// its own makes the parent abort, and libFuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace qmfuzz {

class ForkedInput {
 public:
  // `modulePath` is the loaded module whose counters travel back.
  explicit ForkedInput(const std::string& modulePath);
  // Runs `body` in a child; returns once the child ended well.
  void Run(const std::function<void()>& body);

 private:
  std::uint8_t* counters_ = nullptr;  // the module's own, in this process
  std::size_t size_ = 0;
  std::uint8_t* shared_ = nullptr;  // the child's counters, after its run
};

}  // namespace qmfuzz
