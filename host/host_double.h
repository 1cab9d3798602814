#pragma once
// The host double: loads the plug-in the way the script extender does, hands
// it the extender's records and delivers its messages.
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace host {

// The script extender's records, in its 64-bit layout (the host's own
// declarations).
struct PluginInfo {
  std::uint32_t infoVersion;
  std::uint32_t pad04;
  const char* name;
  std::uint32_t version;
};
struct HostInterface {
  std::uint32_t skseVersion;
  std::uint32_t runtimeVersion;
  std::uint32_t editorVersion;
  std::uint32_t isEditor;
  void* (*QueryInterface)(std::uint32_t id);
  std::uint32_t (*GetPluginHandle)();
};
struct Message {
  const char* sender;
  std::uint32_t type;
  std::uint32_t dataLen;
  void* data;
};
using MessageCallback = void (*)(Message*);
struct MessagingInterface {
  std::uint32_t interfaceVersion;
  std::uint32_t pad04;
  bool (*RegisterListener)(std::uint32_t handle, const char* sender, MessageCallback callback);
  bool (*Dispatch)(std::uint32_t handle, std::uint32_t type, void* data, std::uint32_t length, const char* receiver);
  void* (*GetEventDispatcher)(std::uint32_t id);
};

// The task interface (id 4) and the two-slot delegates it queues, in MSVC
// slot order: 0 Run, 1 Dispose.
struct TaskDelegate;
struct TaskDelegateVtbl {
  void (*Run)(TaskDelegate* self);
  void (*Dispose)(TaskDelegate* self);
};
struct TaskDelegate {
  const TaskDelegateVtbl* vtbl;
};
struct TaskInterface {
  std::uint32_t interfaceVersion;
  std::uint32_t pad04;
  void (*AddTask)(TaskDelegate* task);
  void (*AddUITask)(TaskDelegate* uiTask);
};

// SKSEPluginVersionData, the datum the Anniversary Edition's extender reads
// (the host's own declaration).
struct PluginVersionData {
  std::uint32_t dataVersion;
  std::uint32_t pluginVersion;
  char name[256];
  char author[256];
  char supportEmail[252];
  std::uint32_t versionIndependenceEx;
  std::uint32_t versionIndependence;
  std::uint32_t compatibleVersions[16];
  std::uint32_t seVersionRequired;
};

// How the extender loads plug-ins: 2.0.x (1.5.x) asks SKSEPlugin_Query, then
// calls SKSEPlugin_Load; 2.2.x (1.6.629 and later) reads SKSEPlugin_Version,
// decides from it, and calls SKSEPlugin_Load alone.
enum class LoaderKind : std::uint8_t { kQueryThenLoad, kVersionData };

struct HostSettings {
  std::uint32_t runtimeVersion = 0x01050270;
  LoaderKind loader = LoaderKind::kQueryThenLoad;
  // Where the 2.2.x loader looks for the Address Library file.
  std::string gameFolder;
  std::uint32_t isEditor = 0;
  bool messagingAvailable = true;
  std::uint32_t messagingVersion = 2;
  bool tasksAvailable = true;
  std::uint32_t pluginHandle = 7;
};

class HostDouble {
 public:
  explicit HostDouble(HostSettings settings = {});
  ~HostDouble();
  HostDouble(const HostDouble&) = delete;
  HostDouble& operator=(const HostDouble&) = delete;

  // Loads the module; the plug-in's static initialisation runs here. The
  // 2.2.x loader refuses a module without version data.
  bool LoadModule(const std::string& path, std::string* error);
  // 2.0.x: calls SKSEPlugin_Query. 2.2.x: the loader's own decision from the
  // version data, as its log would give it (lastRefusal()).
  bool Query();
  const std::string& lastRefusal() const { return refusal_; }
  LoaderKind loader() const { return settings_.loader; }
  bool Load();
  // Sends a message from sender "SKSE" to every registered listener.
  void SendMessage(std::uint32_t type);

  const PluginInfo& info() const { return info_; }
  int listenerCount() const { return static_cast<int>(listeners_.size()); }
  std::uint32_t queryInterfaceCalls() const { return queryInterfaceCalls_; }
  std::uint32_t handleCalls() const { return handleCalls_; }
  const std::string& lastListenerSender() const { return lastSender_; }
  std::uint32_t lastListenerHandle() const { return lastHandle_; }

  // One frame of the game as the extender sees it: the game's task pool is
  // processed, then the interface's queue. Each queue is emptied until it is
  // empty, running and disposing every task, as the extender does; a queue
  // that never empties would hang the game, and is a violation.
  void RunFrameTasks();
  std::size_t queuedTasks() const { return tasks_.size(); }
  std::size_t queuedUiTasks() const { return uiTasks_.size(); }
  std::uint64_t tasksRun() const { return tasksRun_; }
  // Contracts of the extender the plug-in broke.
  const std::vector<std::string>& violations() const { return violations_; }

  // The extender's event dispatchers by id (3: action events).
  void SetEventDispatcher(std::uint32_t id, void* source) { dispatchers_[id] = source; }

 private:
  static HostDouble* self_;
  static void* QueryInterfaceThunk(std::uint32_t id);
  static std::uint32_t GetPluginHandleThunk();
  static bool RegisterListenerThunk(std::uint32_t handle, const char* sender, MessageCallback callback);
  static bool DispatchThunk(std::uint32_t, std::uint32_t, void*, std::uint32_t, const char*);
  static void* GetEventDispatcherThunk(std::uint32_t id);
  static void AddTaskThunk(TaskDelegate* task);
  static void AddUITaskThunk(TaskDelegate* task);
  void EmptyQueue(std::deque<TaskDelegate*>& queue, const char* name);

  HostSettings settings_;
  HostInterface interface_{};
  MessagingInterface messaging_{};
  TaskInterface taskInterface_{};
  std::deque<TaskDelegate*> tasks_;
  std::deque<TaskDelegate*> uiTasks_;
  std::uint64_t tasksRun_ = 0;
  std::vector<std::string> violations_;
  PluginInfo info_{};
  void* module_ = nullptr;
  bool (*query_)(const HostInterface*, PluginInfo*) = nullptr;
  bool (*load_)(const HostInterface*) = nullptr;
  const PluginVersionData* versionData_ = nullptr;
  std::string refusal_;
  const char* CheckVersionData() const;
  std::multimap<std::string, MessageCallback> listeners_;
  std::map<std::uint32_t, void*> dispatchers_;
  std::uint32_t queryInterfaceCalls_ = 0;
  std::uint32_t handleCalls_ = 0;
  std::string lastSender_;
  std::uint32_t lastHandle_ = 0;
};

// Opens a module and looks up a symbol; the platform's loader.
void* OpenModule(const std::string& path, std::string* error);
void* ModuleSymbol(void* module, const char* name);

}  // namespace host
