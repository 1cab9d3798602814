// The user interface's life: creation, the menu loop (queued messages,
// opening, closing, frames) and the open/close events it raises.
#include "ui_world.h"

#include "dispatch_traps.h"
#include "runtime_offsets.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace gd {
namespace {

// In the game the process ends with sinks still attached to the interface's
// sources. The double's sources go before the process does; the sinks they
// still hold are kept here, so that a leak checker sees only sinks that were
// detached and never deleted.
void KeepSinksAttachedAtTheEnd(const BSTEventSource& source) {
  static auto* kept = new std::vector<EventSinkObj*>();
  kept->insert(kept->end(), source.sinks, source.sinks + source.size);
}

constexpr std::uint32_t kMessageShow = 1;
constexpr std::uint32_t kMessageHide = 3;
constexpr std::uint32_t kFreeFlag = 1;
constexpr std::uint32_t kMessageNotHandled = 2;
constexpr std::uint32_t kNoInputContext = 0x12;
constexpr std::uint32_t kPausesGameFlag = 0x1;   // counted at manager +0x160
constexpr std::uint32_t kItemMenuFlag = 0x4000;  // counted at manager +0x170

// Fixed markers the game passes to slots 5 and 8, so that forwarding to the
// base bodies can be checked argument by argument.
constexpr float kFrameInterval = 0.0625f;
int slot8Marker2, slot8Marker3, slot8Marker4;

// The game's own menus (loading screen, main menu, inventories): plain
// objects that answer every slot and hold no movie.
void* OwnDestroy(MenuObj* menu, std::uint32_t freeFlag) {
  if ((freeFlag & kFreeFlag) != 0) delete menu;
  return menu;
}
void OwnNothing(MenuObj*) {}
void OwnNothingWith(MenuObj*, void*) {}
std::uint32_t OwnMessage(MenuObj*, UiMessage*) { return 0; }
void OwnSlot5(MenuObj*, float, std::uint32_t) {}
void OwnSlot8(MenuObj*, void*, void*, void*) {}
const MenuVtbl kOwnMenuVtbl = {&OwnDestroy, &OwnNothingWith, &OwnNothing, &OwnNothingWith, &OwnMessage,
                               &OwnSlot5,   &OwnNothing,     &OwnNothing, &OwnSlot8};

const std::array<void*, 16>& ManagerTable() {
  static const std::array<void*, 16> table = SlotTraps<16>();
  return table;
}

}  // namespace

UiWorld::UiWorld(World& world) : world_(world) {
  inputSource_ = std::make_unique<BSTEventSource>();
  actionSource_ = std::make_unique<BSTEventSource>();
  std::memset(inputSource_.get(), 0, sizeof(BSTEventSource));
  std::memset(actionSource_.get(), 0, sizeof(BSTEventSource));
  world.NameSource(*inputSource_, "input event source (+0x2F4C7A8)");
  world.NameSource(*actionSource_, "action event source (dispatcher 3)");
  otherActor_.assign(0x300, 0);
}

UiWorld::~UiWorld() {
  for (std::uintptr_t offset :
       {Off().menuManagerPtr.offset, Off().uiMessageQueuePtr.offset, Off().interfaceStringsPtr.offset,
        Off().movieManagerPtr.offset, Off().inputEventSourcePtr.offset, Off().movieHeapPtr.offset}) {
    *world_.region().At<void*>(offset) = nullptr;
  }
  for (const OpenEntry& menu : open_) {
    if (!menu.fromFactory) delete menu.menu;  // the plug-in's menus go with the movie heap
  }
  world_.ForgetSource(*inputSource_);
  world_.ForgetSource(*actionSource_);
  KeepSinksAttachedAtTheEnd(*inputSource_);
  KeepSinksAttachedAtTheEnd(*actionSource_);
  if (manager_ != nullptr) {
    world_.ForgetSource(manager_->openCloseSource);
    KeepSinksAttachedAtTheEnd(manager_->openCloseSource);
    std::free(manager_->openCloseSource.sinks);
    std::free(manager_);
  }
  std::free(inputSource_->sinks);
  std::free(actionSource_->sinks);
  std::free(queue_);
  std::free(movieManager_);
}

void UiWorld::Create(const UiOptions& options) {
  options_ = options;
  ImageRegion& image = world_.region();
  StringPool& strings = world_.strings();
  if (options.menuManager) {
    manager_ = static_cast<MenuManagerObj*>(std::calloc(1, sizeof(MenuManagerObj)));
    manager_->vtbl = const_cast<void**>(ManagerTable().data());
    // Only the marker's address ends a chain; what it holds is never an
    // entry, so a reader that steps onto it reads garbage.
    std::memset(&sentinel_, kFreshByte, sizeof sentinel_);
    manager_->sentinel = &sentinel_;
    std::uint32_t capacity = 1;
    while (capacity < options.menuTableCapacity) capacity <<= 1;
    table_.assign(capacity, MenuTableEntry{});
    manager_->entries = table_.data();
    manager_->tableCapacity = capacity;
    manager_->tableFree = capacity;
    *image.At<MenuManagerObj*>(Off().menuManagerPtr.offset) = manager_;
    world_.NameSource(manager_->openCloseSource, "menu open/close source (menu manager +0x8)");
    // The game knows its own menus from the start.
    InsertEntry(strings.Intern(options.triggerMenu.c_str()));
    InsertEntry(strings.Intern(options.blockingMenu.c_str()));
  }
  queue_ = std::calloc(1, 0x100);
  *image.At<void*>(Off().uiMessageQueuePtr.offset) = queue_;
  movieManager_ = std::calloc(1, 0x100);
  *image.At<void*>(Off().movieManagerPtr.offset) = movieManager_;

  interfaceStrings_ = std::make_unique<InterfaceStringsObj>();
  interfaceStrings_->names[kTriggerMenuEntry / 8].text = strings.Intern(options.triggerMenu.c_str());
  interfaceStrings_->names[kBlockingMenuEntry / 8].text = strings.Intern(options.blockingMenu.c_str());
  *image.At<InterfaceStringsObj*>(Off().interfaceStringsPtr.offset) = interfaceStrings_.get();

  heapObject_ = std::make_unique<MovieHeapObj>();
  heapObject_->vtbl = MovieHeapTable();
  *image.At<MovieHeapObj*>(Off().movieHeapPtr.offset) = heapObject_.get();

  *image.At<BSTEventSource*>(Off().inputEventSourcePtr.offset) = options.inputSource ? inputSource_.get() : nullptr;
  RegisterInputTypes();
  std::vector<std::function<void()>> actions;
  actions.swap(whenCreated_);
  for (auto& action : actions) action();
}

void UiWorld::WhenCreated(std::function<void()> action) {
  if (created()) {
    action();
    return;
  }
  whenCreated_.push_back(std::move(action));
}

// ---- menus ------------------------------------------------------------------

void UiWorld::Post(const char* internedName, std::uint32_t type) { queued_.emplace_back(internedName, type); }

void UiWorld::OpenMenu(const std::string& name, std::uint32_t flags) {
  const char* interned = world_.strings().Intern(name.c_str());
  ownFlags_[interned] = flags;
  Show(interned);
}

void UiWorld::CloseMenu(const std::string& name) { Hide(world_.strings().Intern(name.c_str())); }

void UiWorld::Frames(std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    ++frames_;
    ProcessQueue();
    const std::vector<OpenEntry> menus = open_;
    for (const OpenEntry& open : menus) {
      MenuObj* menu = open.menu;
      expectingSlot5_ = menu;
      slotForwarded_ = false;
      menu->vtbl->slot5(menu, kFrameInterval, static_cast<std::uint32_t>(frames_));
      if (open.fromFactory && !slotForwarded_) world_.Violation("menu slot 5 did not reach MenuBaseSlot5");
      expectingSlot5_ = nullptr;
      const std::uint64_t displayedBefore = displayCalls_;
      menu->vtbl->frame(menu);
      // The base's slot 6 draws the movie; a menu of the plug-in that skips
      // it leaves its movie undrawn on screen.
      if (open.fromFactory && menu->view != nullptr && displayCalls_ != displayedBefore + 1) {
        world_.Violation("menu slot 6 did not display the movie once");
      }
      // The plug-in keeps no movie value from one frame to the next.
      if (menu->view != nullptr) CheckNoLiveValues(menu->view, "after the frame slot returned");
    }
  }
}

void UiWorld::ProcessQueue() {
  std::vector<std::pair<const char*, std::uint32_t>> messages;
  messages.swap(queued_);
  for (const auto& [name, type] : messages) {
    if (type == kMessageShow) Show(name);
    if (type == kMessageHide) Hide(name);
  }
}

bool UiWorld::IsOpen(const char* internedName) const {
  return std::any_of(open_.begin(), open_.end(), [&](const OpenEntry& m) { return m.name == internedName; });
}

bool UiWorld::IsOpen(const std::string& name) const {
  return std::any_of(open_.begin(), open_.end(), [&](const OpenEntry& m) { return name == m.name; });
}

MenuObj* UiWorld::OpenMenuObject(const std::string& name) const {
  for (const OpenEntry& m : open_) {
    if (name == m.name) return m.menu;
  }
  return nullptr;
}

std::vector<std::string> UiWorld::OpenMenuNames() const {
  std::vector<std::string> names;
  for (const OpenEntry& m : open_) names.emplace_back(m.name);
  return names;
}

MenuObj* UiWorld::MakeOwnMenu(std::uint32_t flags) {
  auto* menu = new MenuObj{};
  menu->vtbl = &kOwnMenuVtbl;
  menu->refCount = 1;
  menu->depth = 3;
  menu->flags = flags;
  return menu;
}

// The game reads a menu's answer to learn whether the message was handled:
// 0 handled, 1 ignored, 2 not handled; it knows no other.
std::uint32_t UiWorld::Deliver(MenuObj* menu, bool fromFactory, const char* name, std::uint32_t type, void* data) {
  UiMessage message{{name}, type, 0, data, 0, {}};
  const std::uint32_t answer = menu->vtbl->processMessage(menu, &message);
  if (!fromFactory) return answer;
  answers_.push_back({name, type, answer});
  if (answer > kMessageNotHandled) {
    world_.Violation("menu slot 4 of \"" + std::string(name) + "\" answered " + std::to_string(answer) +
                     " to message type " + std::to_string(type) + " (0 handled, 1 ignored, 2 not handled)");
  }
  return answer;
}

std::optional<std::uint32_t> UiWorld::MessageMenu(const std::string& name, std::uint32_t type, void* data) {
  for (const OpenEntry& open : open_) {
    if (name == open.name) return Deliver(open.menu, open.fromFactory, open.name, type, data);
  }
  return std::nullopt;
}

// What the game reads of a menu its factory made, before it shows it.
void UiWorld::CheckNewMenu(const MenuObj* menu) {
  if (menu->refCount != 1) {
    world_.Violation("a new menu's reference count (+0x08) is " + std::to_string(menu->refCount) + ", not 1");
  }
  if (menu->view != nullptr && !IsView(menu->view)) {
    world_.Violation("a new menu's movie view (+0x10) is not a view the movie manager made");
  }
  if (menu->context > kNoInputContext) {
    world_.Violation("a new menu's input context (+0x20) is " + std::to_string(menu->context) +
                     ": the game indexes its input contexts with it, 0x12 meaning none");
  }
  if (menu->field28 != 0) world_.Violation("a new menu's field +0x28 is not 0");
}

void UiWorld::Show(const char* name) {
  for (const OpenEntry& open : open_) {
    if (open.name != name) continue;
    Deliver(open.menu, open.fromFactory, name, kMessageShow, nullptr);
    return;
  }
  if (manager_ == nullptr) return;
  MenuTableEntry* entry = FindEntry(name);
  MenuObj* menu = nullptr;
  bool fromFactory = false;
  if (entry != nullptr && entry->create != nullptr) {
    menu = entry->create();
    if (menu == nullptr) return;  // the game shows nothing
    fromFactory = true;
    if (!movieHeapModel_.IsLive(menu)) world_.Violation("a menu made by its factory does not live on the movie heap");
    CheckNewMenu(menu);
  } else {
    auto flags = ownFlags_.find(name);
    menu = MakeOwnMenu(flags != ownFlags_.end() ? flags->second : 0);
    if (entry == nullptr) InsertEntry(name);
  }
  FindEntry(name)->menu = menu;

  Deliver(menu, fromFactory, name, kMessageShow, nullptr);
  open_.push_back({name, menu, fromFactory});
  CountMenu(menu->flags, +1);

  expectingSlot8_ = menu;
  slotForwarded_ = false;
  menu->vtbl->slot8(menu, &slot8Marker2, &slot8Marker3, &slot8Marker4);
  if (fromFactory && !slotForwarded_) world_.Violation("menu slot 8 did not reach MenuBaseSlot8");
  expectingSlot8_ = nullptr;

  RaiseOpenClose(name, true);
}

void UiWorld::Hide(const char* name) {
  auto it = std::find_if(open_.begin(), open_.end(), [&](const OpenEntry& m) { return m.name == name; });
  if (it == open_.end()) return;
  const OpenEntry open = *it;
  Deliver(open.menu, open.fromFactory, name, kMessageHide, nullptr);
  open_.erase(std::find_if(open_.begin(), open_.end(), [&](const OpenEntry& m) { return m.name == name; }));
  CountMenu(open.menu->flags, -1);
  RaiseOpenClose(name, false);

  if (MenuTableEntry* entry = FindEntry(name)) entry->menu = nullptr;
  const auto* begin = reinterpret_cast<const std::uint8_t*>(open.menu);
  const std::size_t size = open.fromFactory ? movieHeapModel_.SizeOf(open.menu) : 0;
  destroying_ = open.menu;
  destroyNoted_ = false;
  open.menu->vtbl->destroy(open.menu, kFreeFlag);
  destroying_ = nullptr;
  if (open.fromFactory) {
    if (!destroyNoted_) world_.Violation("destroying a menu did not run MenuBaseDestroy");
    if (movieHeapModel_.IsLive(open.menu)) world_.Violation("a destroyed menu's memory stayed on the movie heap");
    // The game would call into freed memory at the source's next event.
    for (const std::string& source : world_.SinksInside(begin, begin + size)) {
      world_.Violation("a sink inside the destroyed menu is still registered on the " + source);
    }
  }
}

void UiWorld::CountMenu(std::uint32_t flags, int delta) {
  if (manager_ == nullptr) return;
  if ((flags & kPausesGameFlag) != 0) manager_->pausingMenus += static_cast<std::uint32_t>(delta);
  if ((flags & kItemMenuFlag) != 0) manager_->itemMenus += static_cast<std::uint32_t>(delta);
}

void UiWorld::RaiseOpenClose(const char* name, bool opening) {
  if (manager_ == nullptr) return;
  MenuOpenCloseEventRec event;
  std::memset(&event, kEventFillByte, sizeof event);
  event.menuName.text = name;
  event.opening = opening ? 1 : 0;
  world_.Dispatch(manager_->openCloseSource, &event);
}

void UiWorld::NoteBaseDestroy(MenuObj* menu) {
  ++baseDestroyCalls_;
  if (menu != destroying_) {
    world_.Violation("MenuBaseDestroy called for a menu the game is not destroying");
    return;
  }
  if (destroyNoted_) world_.Violation("MenuBaseDestroy ran twice for one menu");
  destroyNoted_ = true;
  if (menu->view != nullptr) ReleaseView(menu->view);
}

void UiWorld::NoteBaseSlot5(MenuObj* menu, float interval, std::uint32_t time) {
  if (menu != expectingSlot5_ || interval != kFrameInterval || time != static_cast<std::uint32_t>(frames_)) {
    world_.Violation("MenuBaseSlot5 did not receive the slot's own arguments");
    return;
  }
  slotForwarded_ = true;
}

void UiWorld::NoteBaseSlot8(MenuObj* menu, void* view, void* a3, void* a4) {
  if (menu != expectingSlot8_ || view != menu->view || a3 != &slot8Marker3 || a4 != &slot8Marker4) {
    world_.Violation("MenuBaseSlot8 expects (menu, its movie view, the slot's third and fourth arguments)");
    return;
  }
  slotForwarded_ = true;
}

}  // namespace gd
