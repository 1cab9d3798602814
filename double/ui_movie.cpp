// The movie layer: recording movie views, their managed values (arrays, with
// a reference count the plug-in must keep balanced) and the movie heap.
#include "dispatch_traps.h"
#include "ui_world.h"

#include <cstring>
#include <iterator>

namespace gd {

namespace {

UiWorld& Ui() { return World::Active().Component<UiWorld>(); }

void ViewSetVisible(MovieViewObj* view, bool visible) { Ui().ViewSetVisible(view, visible); }
bool ViewGetVisible(const MovieViewObj* view) { return Ui().ViewGetVisible(view); }
void ViewCreateArray(MovieViewObj* view, MovieValueRec* out) { Ui().ViewCreateArray(view, out); }
bool ViewInvoke(MovieViewObj* view, const char* path, MovieValueRec* result, const MovieValueRec* args,
                std::uint32_t count) {
  return Ui().ViewInvoke(view, path, result, args, count);
}
void ViewDisplay(MovieViewObj* view) { Ui().ViewDisplay(view); }
std::uint32_t ViewHandleEvent(MovieViewObj* view, const void* event) { return Ui().ViewHandleEvent(view, event); }

void* HeapAlloc(MovieHeapObj* heap, std::size_t size, const void* allocInfo) {
  UiWorld& ui = Ui();
  if (heap != ui.movieHeap()) World::Active().Violation("movie heap slot 10 called on another object");
  if (allocInfo != nullptr) World::Active().Violation("movie heap slot 10 expects (size, 0)");
  return ui.movieHeapModel().Allocate(size);
}

void HeapFree(MovieHeapObj* heap, void* memory) {
  UiWorld& ui = Ui();
  if (heap != ui.movieHeap()) World::Active().Violation("movie heap slot 12 called on another object");
  if (memory == nullptr) return;
  if (!ui.movieHeapModel().Release(memory)) World::Active().Violation("movie heap freed memory it does not hold");
}

template <typename F>
void* Slot(F function) {
  return reinterpret_cast<void*>(function);
}

}  // namespace

void* const* UiWorld::MovieViewTable() {
  static const std::array<void*, kMovieViewSlots> table = [] {
    std::array<void*, kMovieViewSlots> t = SlotTraps<kMovieViewSlots>();
    t[8] = Slot(&gd::ViewSetVisible);
    t[9] = Slot(&gd::ViewGetVisible);
    t[14] = Slot(&gd::ViewCreateArray);
    t[23] = Slot(&gd::ViewInvoke);
    t[38] = Slot(&gd::ViewDisplay);
    t[45] = Slot(&gd::ViewHandleEvent);
    return t;
  }();
  return table.data();
}

void* const* UiWorld::MovieHeapTable() {
  static const std::array<void*, kMovieHeapSlots> table = [] {
    std::array<void*, kMovieHeapSlots> t = SlotTraps<kMovieHeapSlots>();
    t[10] = Slot(&HeapAlloc);
    t[12] = Slot(&HeapFree);
    return t;
  }();
  return table.data();
}

bool UiWorld::AttachMovie(MenuObj* menu, MovieViewObj** field, const char* name) {
  if (!options_.movieLoads) return false;
  auto state = std::make_unique<ViewState>();
  state->object.vtbl = MovieViewTable();
  state->menu = menu;
  ViewState* view = state.get();
  views_.emplace(&view->object, std::move(state));
  interfaces_.emplace(&view->objectInterface, view);
  (void)name;
  *field = &view->object;
  return true;
}

bool UiWorld::IsView(const void* view) const { return views_.count(view) != 0; }

UiWorld::ViewState* UiWorld::View(const void* view, const char* operation) {
  auto it = views_.find(view);
  if (it == views_.end()) {
    world_.Violation(std::string(operation) + " on an object that is not a movie view");
    return nullptr;
  }
  if (it->second->released) {
    world_.Violation(std::string(operation) + " on a movie view its menu has released");
    return nullptr;
  }
  return it->second.get();
}

bool UiWorld::Visible(const MovieViewObj* view) const {
  auto it = views_.find(view);
  return it != views_.end() && it->second->visible;
}

std::uint64_t UiWorld::LiveViews() const {
  std::uint64_t live = 0;
  for (const auto& [key, view] : views_) live += view->released ? 0 : 1;
  return live;
}

MovieViewObj* UiWorld::WidgetView() const {
  MenuObj* menu = OpenMenuObject(kWidgetMenuName);
  return menu != nullptr ? menu->view : nullptr;
}

void UiWorld::ReleaseView(MovieViewObj* view) {
  ViewState* state = View(view, "releasing the movie");
  if (state == nullptr) return;
  CheckNoLiveValues(view, "when its menu was destroyed");
  state->released = true;
}

void UiWorld::CheckNoLiveValues(const MovieViewObj* view, const char* when) {
  for (const auto& [payload, array] : arrays_) {
    if (&array->view->object == view && array->references != 0) {
      world_.Violation(std::string("a managed movie value was leaked (still referenced ") + when + ")");
      array->references = 0;  // reported once
    }
  }
}

void UiWorld::AtEnd() {
  for (const auto& [view, state] : views_) {
    if (!state->released) CheckNoLiveValues(&state->object, "when the run ended");
  }
}

std::uint64_t UiWorld::LiveManagedValues() const {
  std::uint64_t live = 0;
  for (const auto& [payload, array] : arrays_) live += array->references != 0 ? 1 : 0;
  return live;
}

void UiWorld::ForgetHistory() {
  invokes_.clear();
  invokes_.shrink_to_fit();
  answers_.clear();
  answers_.shrink_to_fit();
  for (auto it = arrays_.begin(); it != arrays_.end();) {
    it = it->second->references == 0 ? arrays_.erase(it) : std::next(it);
  }
}

void UiWorld::ViewSetVisible(MovieViewObj* view, bool visible) {
  if (ViewState* state = View(view, "movie view slot 8")) state->visible = visible;
}

bool UiWorld::ViewGetVisible(const MovieViewObj* view) {
  ViewState* state = View(view, "movie view slot 9");
  return state != nullptr && state->visible;
}

void UiWorld::ViewCreateArray(MovieViewObj* view, MovieValueRec* out) {
  ViewState* state = View(view, "movie view slot 14");
  if (state == nullptr) return;
  if (out == nullptr) {
    world_.Violation("movie view slot 14 needs a value to receive the array");
    return;
  }
  auto array = std::make_unique<ArrayState>();
  array->view = state;
  out->objectInterface = &state->objectInterface;
  out->type = kValueArray | kValueManaged;
  out->payload.data = array.get();
  arrays_.emplace(array.get(), std::move(array));
}

UiWorld::ArrayState* UiWorld::Array(void* objectInterface, void* payload, const char* operation) {
  auto iface = interfaces_.find(objectInterface);
  if (iface == interfaces_.end()) {
    world_.Violation(std::string(operation) + " with an object interface the movie does not know");
    return nullptr;
  }
  auto it = arrays_.find(payload);
  if (it == arrays_.end() || it->second->view != iface->second) {
    world_.Violation(std::string(operation) + " with a payload that is not a managed value of that movie");
    return nullptr;
  }
  return it->second.get();
}

void UiWorld::ValueRetain(void* objectInterface, MovieValueRec* value, void* payload) {
  ArrayState* array = Array(objectInterface, payload, "MovieValueRetain");
  if (array == nullptr) return;
  if (value == nullptr || value->payload.data != payload || (value->type & kValueManaged) == 0) {
    world_.Violation("MovieValueRetain expects the address of the copy that holds the payload");
  }
  if (array->references == 0) {
    world_.Violation("MovieValueRetain of a managed value already dropped");
    return;
  }
  ++array->references;
}

void UiWorld::ValueDrop(void* objectInterface, MovieValueRec* value, void* payload) {
  ArrayState* array = Array(objectInterface, payload, "MovieValueDrop");
  if (array == nullptr) return;
  if (value == nullptr || value->payload.data != payload || value->objectInterface != objectInterface) {
    world_.Violation("MovieValueDrop expects the address of the value that holds the payload");
  }
  if (array->references == 0) {
    world_.Violation("a managed movie value was dropped twice");
    return;
  }
  --array->references;
}

bool UiWorld::ArrayAppend(void* objectInterface, void* payload, const MovieValueRec* element) {
  ArrayState* array = Array(objectInterface, payload, "MovieArrayAppend");
  if (array == nullptr) return false;
  if (array->references == 0) {
    world_.Violation("MovieArrayAppend to an array already dropped");
    return false;
  }
  if (element == nullptr) {
    world_.Violation("MovieArrayAppend without an element");
    return false;
  }
  const std::uint32_t type = element->type;
  if (type != kValueUndefined && type != kValueNumber && type != kValueString) {
    world_.Violation("MovieArrayAppend of a value type the widget's movie does not take: " + std::to_string(type));
    return false;
  }
  array->elements.push_back({type, type == kValueNumber ? element->payload.number : 0.0,
                             type == kValueString ? element->payload.text : nullptr});
  return true;
}

RecordedValue UiWorld::Record(const MovieValueRec& value) const {
  RecordedValue recorded;
  recorded.type = value.type & ~kValueManaged;
  if (value.type == kValueNumber) recorded.number = value.payload.number;
  if (value.type == kValueString) recorded.text = value.payload.text != nullptr ? value.payload.text : "";
  if ((value.type & kValueManaged) != 0) {
    auto it = arrays_.find(value.payload.data);
    if (it == arrays_.end()) return recorded;
    for (const ArrayState::Element& element : it->second->elements) {
      RecordedValue item;
      item.type = element.type;
      item.number = element.number;
      if (element.type == kValueString) item.text = element.text != nullptr ? element.text : "";
      recorded.elements.push_back(std::move(item));
    }
  }
  return recorded;
}

bool UiWorld::ViewInvoke(MovieViewObj* view, const char* path, MovieValueRec* result, const MovieValueRec* args,
                         std::uint32_t count) {
  ViewState* state = View(view, "movie view slot 23");
  if (state == nullptr) return false;
  if (path == nullptr || (count != 0 && args == nullptr)) {
    world_.Violation("movie view slot 23 expects a path and the arguments");
    return false;
  }
  RecordedInvoke invoke;
  invoke.view = view;
  invoke.path = path;
  invoke.hadResult = result != nullptr;
  for (std::uint32_t i = 0; i < count; ++i) {
    const MovieValueRec& arg = args[i];
    if ((arg.type & kValueManaged) != 0) {
      auto it = arrays_.find(arg.payload.data);
      if (it == arrays_.end() || it->second->references == 0) {
        world_.Violation("an argument of movie view slot 23 is a managed value no longer held");
      }
    }
    invoke.args.push_back(Record(arg));
  }
  invokes_.push_back(std::move(invoke));
  if (result != nullptr) std::memset(result, 0, sizeof(MovieValueRec));
  return true;
}

void UiWorld::ViewDisplay(MovieViewObj* view) {
  if (View(view, "movie view slot 38") != nullptr) ++displayCalls_;
}

std::uint32_t UiWorld::ViewHandleEvent(MovieViewObj* view, const void* event) {
  if (View(view, "movie view slot 45") == nullptr) return 0;
  // The movie reads the event it is handed.
  if (event == nullptr) {
    world_.Violation("movie view slot 45 handed no event");
    return 0;
  }
  ++handledEvents_;
  return 1;
}

const RecordedInvoke* UiWorld::LastInvoke(const std::string& path) const {
  for (auto it = invokes_.rbegin(); it != invokes_.rend(); ++it) {
    if (it->path == path) return &*it;
  }
  return nullptr;
}

std::size_t UiWorld::InvokeCount(const std::string& path) const {
  std::size_t count = 0;
  for (const RecordedInvoke& invoke : invokes_) count += invoke.path == path ? 1 : 0;
  return count;
}

}  // namespace gd
