#pragma once
// The game's user interface: the menu manager with its menu table and
// open/close source, the menu message queue, the interface strings, the movie
// manager and movie heap, recording movie views with their managed values,
// the input source and the script extender's action-event source. Absent
// (every pointer in the image null) until Create() runs.
#include "game_heap.h"
#include "ui_layouts.h"
#include "world.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gd {

// One value as the movie received it: arrays are flattened to their elements.
struct RecordedValue {
  std::uint32_t type = kValueUndefined;  // without the managed bit
  double number = 0.0;
  std::string text;
  std::vector<RecordedValue> elements;  // arrays
};

struct RecordedInvoke {
  const MovieViewObj* view = nullptr;
  std::string path;
  bool hadResult = false;
  std::vector<RecordedValue> args;
};

struct UiOptions {
  bool menuManager = true;
  bool movieLoads = true;
  std::string triggerMenu = "Loading Menu";  // interface string at 0xE8
  std::string blockingMenu = "Main Menu";    // interface string at 0xA8
  std::uint32_t menuTableCapacity = 8;       // a power of two; grows when full
  bool inputSource = true;                   // false: the input source's pointer is null
};

// What a button press of the input source looks like.
struct InputSpec {
  std::uint32_t device = 0;     // 0 keyboard, 1 mouse, 2 gamepad, others as given
  std::uint32_t eventType = 0;  // 0 button
  std::uint32_t keyCode = 0;
  float value = 1.0f;
  float heldSeconds = 0.0f;
};

// A menu's answer (slot 4) to one message the game gave it.
struct MessageAnswer {
  std::string menu;
  std::uint32_t type = 0;    // 1 show, 3 hide, 6 movie event, ...
  std::uint32_t answer = 0;  // 0 handled, 1 ignored, 2 not handled
};

inline constexpr const char* kWidgetMenuName = "Durability Menu";
inline constexpr const char* kWidgetMovieName = "DurabilityMenu";

class UiWorld : public WorldComponent {
 public:
  explicit UiWorld(World& world);
  ~UiWorld() override;
  // No managed movie value may still be referenced when the run ends.
  void AtEnd() override;

  // Builds the user interface and publishes its pointers in the image.
  void Create(const UiOptions& options);
  bool created() const { return queue_ != nullptr; }
  // Runs now when the interface exists, otherwise right after Create().
  void WhenCreated(std::function<void()> action);
  MenuManagerObj* manager() const { return manager_; }
  void* messageQueue() const { return queue_; }
  void* movieManager() const { return movieManager_; }
  MovieHeapObj* movieHeap() const { return heapObject_.get(); }
  GameHeapModel& movieHeapModel() { return movieHeapModel_; }
  void SetMovieLoads(bool loads) { options_.movieLoads = loads; }
  const UiOptions& options() const { return options_; }

  // ---- menus ----
  // The game's registration of a menu name with its creation function.
  void RegisterFactory(const char* name, MenuFactoryFn create);
  // A message to the queue, handled at the next frame (1 open, 3 close).
  void Post(const char* internedName, std::uint32_t type);
  // Opens or closes a menu now, as the queue would. A name without a
  // registered factory opens one of the game's own menus with these flags.
  void OpenMenu(const std::string& name, std::uint32_t flags);
  void CloseMenu(const std::string& name);
  // One frame: the queued messages, then slots 5 and 6 of every open menu.
  void Frames(std::uint32_t count);
  bool IsOpen(const char* internedName) const;
  bool IsOpen(const std::string& name) const;
  MenuObj* OpenMenuObject(const std::string& name) const;
  std::vector<std::string> OpenMenuNames() const;
  std::uint64_t frameCount() const { return frames_; }
  // Hands an open menu a message now, as the queue would, and returns its
  // answer; a menu that is not open answers nothing (nullopt).
  std::optional<std::uint32_t> MessageMenu(const std::string& name, std::uint32_t type, void* data = nullptr);
  // Every answer of the plug-in's menus, in order.
  const std::vector<MessageAnswer>& messageAnswers() const { return answers_; }

  // The menu table, as the game keeps it in the manager.
  MenuTableEntry* FindEntry(const char* internedName) const;
  static std::uint32_t HashName(const char* text);

  // Calls the plug-in's base bodies made, for the checks of the menu loop.
  void NoteBaseDestroy(MenuObj* menu);
  void NoteBaseSlot5(MenuObj* menu, float interval, std::uint32_t time);
  void NoteBaseSlot8(MenuObj* menu, void* view, void* a3, void* a4);
  std::uint64_t baseDestroyCalls() const { return baseDestroyCalls_; }

  // ---- movie layer ----
  bool AttachMovie(MenuObj* menu, MovieViewObj** field, const char* name);
  bool IsView(const void* view) const;
  bool Visible(const MovieViewObj* view) const;
  const std::vector<RecordedInvoke>& invokes() const { return invokes_; }
  const RecordedInvoke* LastInvoke(const std::string& path) const;
  std::size_t InvokeCount(const std::string& path) const;
  std::uint64_t LiveManagedValues() const;
  // Long runs: forgets the recorded invokes and the arrays already dropped,
  // so that the record does not grow without bound.
  void ForgetHistory();
  std::uint64_t viewsCreated() const { return views_.size(); }
  std::uint64_t LiveViews() const;
  // The movie view of the open widget, or null.
  MovieViewObj* WidgetView() const;

  // Entry points of the view's table and the value functions (stubs).
  void ViewSetVisible(MovieViewObj* view, bool visible);
  bool ViewGetVisible(const MovieViewObj* view);
  void ViewCreateArray(MovieViewObj* view, MovieValueRec* out);
  bool ViewInvoke(MovieViewObj* view, const char* path, MovieValueRec* result, const MovieValueRec* args,
                  std::uint32_t count);
  void ViewDisplay(MovieViewObj* view);
  std::uint32_t ViewHandleEvent(MovieViewObj* view, const void* event);
  void ValueRetain(void* objectInterface, MovieValueRec* value, void* payload);
  void ValueDrop(void* objectInterface, MovieValueRec* value, void* payload);
  bool ArrayAppend(void* objectInterface, void* payload, const MovieValueRec* element);
  std::uint64_t displayCalls() const { return displayCalls_; }
  std::uint64_t handledEvents() const { return handledEvents_; }

  // ---- input and action events ----
  BSTEventSource& InputSource() { return *inputSource_; }
  BSTEventSource& ActionSource() { return *actionSource_; }
  void DeliverInput(const std::vector<InputSpec>& chain);
  // Weapon drawn (8) or sheathed (10) by the player or by another actor; the
  // player's weapon state follows before the event goes out.
  void DeliverAction(std::uint32_t type, bool byPlayer);
  void* OtherActor() { return otherActor_.data(); }

 private:
  struct ViewState {
    MovieViewObj object;  // first: the plug-in holds a pointer to this
    MenuObj* menu = nullptr;
    bool visible = true;
    bool released = false;
    std::uint64_t objectInterface = 0;  // its address is the view's object interface
  };

  struct ArrayState {
    struct Element {
      std::uint32_t type;
      double number;
      const char* text;
    };
    ViewState* view = nullptr;
    std::uint32_t references = 1;
    std::vector<Element> elements;
  };
  struct OpenEntry {
    const char* name;
    MenuObj* menu;
    bool fromFactory;
  };

  static void* const* MovieHeapTable();
  static void* const* MovieViewTable();
  void RegisterInputTypes();
  void ProcessQueue();
  std::uint32_t Deliver(MenuObj* menu, bool fromFactory, const char* name, std::uint32_t type, void* data);
  void CheckNewMenu(const MenuObj* menu);
  void Show(const char* name);
  void Hide(const char* name);
  void RaiseOpenClose(const char* name, bool opening);
  void CountMenu(std::uint32_t flags, int delta);
  MenuTableEntry& InsertEntry(const char* name);
  void GrowTable();
  MenuObj* MakeOwnMenu(std::uint32_t flags);
  void ReleaseView(MovieViewObj* view);
  void CheckNoLiveValues(const MovieViewObj* view, const char* when);
  ViewState* View(const void* view, const char* operation);
  ArrayState* Array(void* objectInterface, void* payload, const char* operation);
  RecordedValue Record(const MovieValueRec& value) const;

  World& world_;
  UiOptions options_;
  MenuManagerObj* manager_ = nullptr;
  MenuTableEntry sentinel_{};
  std::vector<MenuTableEntry> table_;
  void* queue_ = nullptr;
  void* movieManager_ = nullptr;
  std::unique_ptr<InterfaceStringsObj> interfaceStrings_;
  std::unique_ptr<MovieHeapObj> heapObject_;
  GameHeapModel movieHeapModel_;
  std::vector<std::pair<const char*, std::uint32_t>> queued_;
  std::vector<OpenEntry> open_;
  std::vector<std::function<void()>> whenCreated_;
  std::map<const char*, std::uint32_t> ownFlags_;  // flags of the game's own menus by name
  std::uint64_t frames_ = 0;
  std::vector<MessageAnswer> answers_;
  std::uint64_t baseDestroyCalls_ = 0;
  MenuObj* destroying_ = nullptr;
  bool destroyNoted_ = false;
  MenuObj* expectingSlot5_ = nullptr;
  MenuObj* expectingSlot8_ = nullptr;
  bool slotForwarded_ = false;

  std::map<const void*, std::unique_ptr<ViewState>> views_;
  std::map<const void*, ViewState*> interfaces_;
  std::map<const void*, std::unique_ptr<ArrayState>> arrays_;
  std::vector<RecordedInvoke> invokes_;
  std::uint64_t displayCalls_ = 0;
  std::uint64_t handledEvents_ = 0;

  std::unique_ptr<BSTEventSource> inputSource_;
  std::unique_ptr<BSTEventSource> actionSource_;
  std::vector<std::uint8_t> otherActor_;
};

}  // namespace gd
