#pragma once
// Sinks of another plug-in on the menu open/close source, built as MSVC
// builds them: the complete object locator in the slot before the class's
// dispatch table, the type information inside the image (so that 32-bit
// image-relative offsets reach it) and the table in a read-only page. Some
// carry no valid locator at all (a plain table, noise, a broken locator), as
// sinks of modules built without type information do. Each sink records the
// events it receives and answers with a result the test chooses.
#include "double_layouts.h"
#include "world.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gd {

// What lies in the slot before a sink class's table.
enum class LocatorKind {
  kValid,          // MSVC's complete object locator and hierarchy
  kNone,           // null: a table without type information
  kUnmapped,       // an address nothing is mapped at
  kNoise,          // readable bytes that are no locator
  kSignatureZero,  // a locator whose signature is not 1
  kMismatched,     // a locator whose hierarchy names another type
  kSelfTooLarge,   // a locator whose own offset exceeds its address
};

struct FreezeSinkSpec {
  std::string decoratedName = ".?AVFreezeEventHandler@hdt@@";
  LocatorKind locator = LocatorKind::kValid;
  // The table lives in a page whose protection cannot be raised, so that
  // VirtualProtect fails on it.
  bool protectFails = false;
  std::uint32_t result = 0;
};

struct FreezeSinkEvent {
  std::string menuName;
  bool opening = false;
  const void* source = nullptr;
  bool noRecord = false;  // the receive function was given a null event
};

class FreezeSinks : public WorldComponent {
 public:
  explicit FreezeSinks(World& world);
  ~FreezeSinks() override;

  // A new sink; sinks of one class (same name, locator and page) share one
  // class table, as instances of one class do. Returns its index.
  std::size_t Add(const FreezeSinkSpec& spec);
  EventSinkObj* Sink(std::size_t index) const;
  const std::vector<FreezeSinkEvent>& Received(std::size_t index) const;
  std::size_t count() const { return sinks_.size(); }

  // The receive slot of the sink's class table: the class's own function
  // until something replaces it.
  bool ReceiveSlotReplaced(std::size_t index) const;
  // Whether the page of the sink's class table can be written now: a
  // patched table's page must be read-only again.
  bool TablePageWritable(std::size_t index) const;
  // The class's own receive function, to call the way a filter forwards.
  std::uint32_t CallOwnReceive(std::size_t index, const void* event, void* source);

  // Entry of every sink's own receive function.
  std::uint32_t Receive(EventSinkObj* sink, const void* event, void* source);

 private:
  struct ClassTable;
  struct SinkObject;
  ClassTable& TableFor(const FreezeSinkSpec& spec);
  std::uintptr_t WriteTypeInformation(const FreezeSinkSpec& spec);

  World& world_;
  std::uintptr_t tableArea_;  // image offset: the read-only page of class tables
  std::uintptr_t nextInfo_;   // image offset: type information, written freely
  std::uintptr_t nextTable_;  // image offset: class tables, read-only page
  std::map<std::string, std::unique_ptr<ClassTable>> classes_;
  std::vector<std::unique_ptr<SinkObject>> sinks_;
  std::vector<std::uint8_t> noise_;
};

// A copy of bytes in memory whose protection cannot be raised to writable
// (a read-only view of a shared mapping); released with the world's process.
void* MakeLockedCopy(const void* bytes, std::size_t size);

}  // namespace gd
