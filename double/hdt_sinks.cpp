#include "hdt_sinks.h"

#include "page_protection.h"
#include "runtime_offsets.h"
#include "ui_layouts.h"

#include <cstring>

namespace gd {
namespace {

// The area of the image these sinks use: type information first, then one
// page of class tables that is read-only except while a table is written.
constexpr std::uintptr_t kInfoAreaInScratch = 0x20000;
constexpr std::uintptr_t kTableAreaInScratch = kInfoAreaInScratch + 0x4000;
constexpr std::uintptr_t kTableAreaSize = 0x1000;
constexpr std::uintptr_t kUnmappedAddress = 0x10;
constexpr std::uint32_t kWrongSelfShift = 0x1000;

// MSVC's x64 records, as the double writes them.
struct TypeDescriptorHead {
  const void* typeInfoTable;  // 0x00
  std::uint64_t spare;        // 0x08
};                            // name at 0x10
struct BaseClassDescriptorRec {
  std::uint32_t typeDescriptor;   // 0x00
  std::uint32_t containedBases;   // 0x04
  std::int32_t mdisp;             // 0x08
  std::int32_t pdisp;             // 0x0C
  std::int32_t vdisp;             // 0x10
  std::uint32_t attributes;       // 0x14
  std::uint32_t classDescriptor;  // 0x18
};
static_assert(sizeof(BaseClassDescriptorRec) == 0x1C);
struct ClassHierarchyRec {
  std::uint32_t signature;       // 0x00
  std::uint32_t attributes;      // 0x04
  std::uint32_t baseClassCount;  // 0x08
  std::uint32_t baseClassArray;  // 0x0C
};
static_assert(offsetof(ClassHierarchyRec, baseClassArray) == 0x0C);
struct LocatorRec {
  std::uint32_t signature;        // 0x00
  std::int32_t offset;            // 0x04
  std::uint32_t cdOffset;         // 0x08
  std::uint32_t typeDescriptor;   // 0x0C
  std::uint32_t classDescriptor;  // 0x10
  std::uint32_t self;             // 0x14
};
static_assert(offsetof(LocatorRec, self) == 0x14 && sizeof(LocatorRec) == 0x18);

// A class table as MSVC lays it out: the locator's address, then the slots.
struct TableWithLocator {
  const void* locator;  // table[-1]
  EventSinkVtbl slots;  // slot 0 destructor, slot 1 receive
};
static_assert(offsetof(TableWithLocator, slots) == 8);

const int typeInfoTable = 0;

void* OwnDestroy(EventSinkObj* sink, std::uint32_t) { return sink; }
std::uint32_t OwnReceive(EventSinkObj* sink, const void* event, void* source) {
  return World::Active().Component<FreezeSinks>().Receive(sink, event, source);
}

std::uintptr_t Align8(std::uintptr_t value) { return (value + 7) & ~std::uintptr_t{7}; }

}  // namespace

struct FreezeSinks::ClassTable {
  const EventSinkVtbl* table = nullptr;
};

struct FreezeSinks::SinkObject {
  EventSinkObj object;  // first: the source holds a pointer to this
  std::size_t index = 0;
  std::uint32_t result = 0;
  std::vector<FreezeSinkEvent> received;
};

FreezeSinks::FreezeSinks(World& world)
    : world_(world),
      tableArea_(world.runtime().doubleScratch + kTableAreaInScratch),
      nextInfo_(world.runtime().doubleScratch + kInfoAreaInScratch),
      nextTable_(tableArea_) {
  noise_.assign(64, 0xAB);
  world_.region().SetReadOnly(tableArea_, kTableAreaSize, true);
}

FreezeSinks::~FreezeSinks() { world_.region().SetReadOnly(tableArea_, kTableAreaSize, false); }

std::uintptr_t FreezeSinks::WriteTypeInformation(const FreezeSinkSpec& spec) {
  ImageRegion& image = world_.region();
  auto place = [&](std::size_t size) {
    const std::uintptr_t at = nextInfo_;
    nextInfo_ = Align8(nextInfo_ + size);
    return at;
  };
  auto writeDescriptor = [&](const std::string& name) {
    const std::uintptr_t at = place(sizeof(TypeDescriptorHead) + name.size() + 1);
    *image.At<TypeDescriptorHead>(at) = TypeDescriptorHead{&typeInfoTable, 0};
    std::memcpy(image.At<char>(at + sizeof(TypeDescriptorHead)), name.c_str(), name.size() + 1);
    return at;
  };
  const std::uintptr_t descriptor = writeDescriptor(spec.decoratedName);
  const std::uintptr_t baseDescriptor =
      spec.locator == LocatorKind::kMismatched ? writeDescriptor(".?AVSomethingElse@@") : descriptor;
  const std::uintptr_t hierarchy = place(sizeof(ClassHierarchyRec));
  const std::uintptr_t baseClass = place(sizeof(BaseClassDescriptorRec));
  const std::uintptr_t baseArray = place(2 * sizeof(std::uint32_t));
  const std::uintptr_t locator = place(sizeof(LocatorRec));
  *image.At<BaseClassDescriptorRec>(baseClass) = BaseClassDescriptorRec{
      static_cast<std::uint32_t>(baseDescriptor), 0, 0, -1, 0, 0x40, static_cast<std::uint32_t>(hierarchy)};
  image.At<std::uint32_t>(baseArray)[0] = static_cast<std::uint32_t>(baseClass);
  image.At<std::uint32_t>(baseArray)[1] = 0;
  *image.At<ClassHierarchyRec>(hierarchy) = ClassHierarchyRec{0, 0, 1, static_cast<std::uint32_t>(baseArray)};
  LocatorRec rec{1,
                 0,
                 0,
                 static_cast<std::uint32_t>(descriptor),
                 static_cast<std::uint32_t>(hierarchy),
                 static_cast<std::uint32_t>(locator)};
  if (spec.locator == LocatorKind::kSignatureZero) rec.signature = 0;
  if (spec.locator == LocatorKind::kSelfTooLarge) rec.self += kWrongSelfShift;
  *image.At<LocatorRec>(locator) = rec;
  return locator;
}

FreezeSinks::ClassTable& FreezeSinks::TableFor(const FreezeSinkSpec& spec) {
  const std::string key = spec.decoratedName + "/" + std::to_string(static_cast<int>(spec.locator)) + "/" +
                          (spec.protectFails ? "locked" : "image");
  auto found = classes_.find(key);
  if (found != classes_.end()) return *found->second;

  TableWithLocator contents{};
  contents.slots = EventSinkVtbl{&OwnDestroy, &OwnReceive};
  switch (spec.locator) {
    case LocatorKind::kNone: contents.locator = nullptr; break;
    case LocatorKind::kUnmapped: contents.locator = reinterpret_cast<const void*>(kUnmappedAddress); break;
    case LocatorKind::kNoise: contents.locator = noise_.data(); break;
    default: contents.locator = world_.region().At<const void>(WriteTypeInformation(spec)); break;
  }
  auto table = std::make_unique<ClassTable>();
  if (spec.protectFails) {
    auto* copy = static_cast<TableWithLocator*>(MakeLockedCopy(&contents, sizeof contents));
    table->table = &copy->slots;
  } else {
    if (nextTable_ + sizeof contents > tableArea_ + kTableAreaSize) {
      world_.Violation("the double has no room for another sink class table");
      nextTable_ = tableArea_;
    }
    world_.region().SetReadOnly(tableArea_, kTableAreaSize, false);
    auto* placed = world_.region().At<TableWithLocator>(nextTable_);
    *placed = contents;
    world_.region().SetReadOnly(tableArea_, kTableAreaSize, true);
    nextTable_ += sizeof contents;
    table->table = &placed->slots;
  }
  return *classes_.emplace(key, std::move(table)).first->second;
}

std::size_t FreezeSinks::Add(const FreezeSinkSpec& spec) {
  auto sink = std::make_unique<SinkObject>();
  sink->object.vtbl = TableFor(spec).table;
  sink->index = sinks_.size();
  sink->result = spec.result;
  world_.MarkOthersSink(&sink->object);
  sinks_.push_back(std::move(sink));
  return sinks_.size() - 1;
}

EventSinkObj* FreezeSinks::Sink(std::size_t index) const { return &sinks_.at(index)->object; }

const std::vector<FreezeSinkEvent>& FreezeSinks::Received(std::size_t index) const {
  return sinks_.at(index)->received;
}

bool FreezeSinks::ReceiveSlotReplaced(std::size_t index) const {
  return sinks_.at(index)->object.vtbl->receive != &OwnReceive;
}

bool FreezeSinks::TablePageWritable(std::size_t index) const { return PageIsWritable(sinks_.at(index)->object.vtbl); }

std::uint32_t FreezeSinks::CallOwnReceive(std::size_t index, const void* event, void* source) {
  return OwnReceive(Sink(index), event, source);
}

std::uint32_t FreezeSinks::Receive(EventSinkObj* sink, const void* event, void* source) {
  for (const auto& own : sinks_) {
    if (&own->object != sink) continue;
    const auto* record = static_cast<const MenuOpenCloseEventRec*>(event);
    if (record == nullptr) {
      own->received.push_back({"", false, source, true});
    } else {
      own->received.push_back(
          {record->menuName.text != nullptr ? record->menuName.text : "", record->opening != 0, source});
    }
    return own->result;
  }
  world_.Violation("a freeze sink's receive function was called with another object");
  return 0;
}

}  // namespace gd
