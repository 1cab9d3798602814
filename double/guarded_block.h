#pragma once
// Memory that ends where a page the process cannot touch begins: a read one
// byte past the block faults, as a read past a table at the edge of one of
// the game's mapped regions does.
#include <cstddef>

namespace gd {

class GuardedBlock {
 public:
  explicit GuardedBlock(std::size_t size);
  ~GuardedBlock();
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;

  // Zero-filled, readable and writable; its last byte lies just before the guard.
  void* data() const { return data_; }

 private:
  void* mapping_ = nullptr;
  std::size_t mappingSize_ = 0;
  void* data_ = nullptr;
};

}  // namespace gd
