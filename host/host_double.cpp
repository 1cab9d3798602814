#include "host_double.h"

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace host {

static_assert(offsetof(PluginInfo, name) == 8 && offsetof(PluginInfo, version) == 16);
static_assert(offsetof(HostInterface, runtimeVersion) == 4 && offsetof(HostInterface, isEditor) == 12);
static_assert(offsetof(HostInterface, QueryInterface) == 16 && offsetof(HostInterface, GetPluginHandle) == 24);
static_assert(offsetof(Message, type) == 8);
static_assert(offsetof(MessagingInterface, RegisterListener) == 8);
static_assert(offsetof(MessagingInterface, GetEventDispatcher) == 24);
static_assert(offsetof(TaskInterface, AddTask) == 8 && offsetof(TaskInterface, AddUITask) == 16);
static_assert(offsetof(TaskDelegateVtbl, Dispose) == 8);
static_assert(offsetof(PluginVersionData, name) == 8 && offsetof(PluginVersionData, versionIndependenceEx) == 0x304);
static_assert(offsetof(PluginVersionData, compatibleVersions) == 0x30C && sizeof(PluginVersionData) == 0x350);

namespace {

constexpr std::uint32_t kIndependentAddressLibraryPostAE = 1u << 0;
constexpr std::uint32_t kIndependentSignatures = 1u << 1;
constexpr std::uint32_t kIndependentStructsPost629 = 1u << 2;
constexpr std::uint32_t kIndependentExNoStructUse = 1u << 0;
constexpr std::uint32_t kRuntime1_6_629 = 0x01062750;
constexpr std::uint32_t kExtender2_2_6 = 0x02020060;

// Far more tasks than one frame of any plug-in queues: a queue still not
// empty after this many is one that refills itself.
constexpr std::uint64_t kTasksPerPassLimit = 100000;

}  // namespace

HostDouble* HostDouble::self_ = nullptr;

HostDouble::HostDouble(HostSettings settings) : settings_(settings) {
  if (self_ != nullptr) throw std::logic_error("host double: one host per process");
  self_ = this;
  interface_.skseVersion = settings_.loader == LoaderKind::kVersionData ? kExtender2_2_6 : 0x02000110;
  interface_.runtimeVersion = settings_.runtimeVersion;
  interface_.isEditor = settings_.isEditor;
  interface_.QueryInterface = &QueryInterfaceThunk;
  interface_.GetPluginHandle = &GetPluginHandleThunk;
  messaging_.interfaceVersion = settings_.messagingVersion;
  messaging_.RegisterListener = &RegisterListenerThunk;
  messaging_.Dispatch = &DispatchThunk;
  messaging_.GetEventDispatcher = &GetEventDispatcherThunk;
  taskInterface_.interfaceVersion = 2;
  taskInterface_.AddTask = &AddTaskThunk;
  taskInterface_.AddUITask = &AddUITaskThunk;
}

// The module stays loaded: the plug-in lives until the process ends.
HostDouble::~HostDouble() { self_ = nullptr; }

bool HostDouble::LoadModule(const std::string& path, std::string* error) {
  module_ = OpenModule(path, error);
  if (module_ == nullptr) return false;
  if (settings_.loader == LoaderKind::kVersionData) {
    versionData_ = static_cast<const PluginVersionData*>(ModuleSymbol(module_, "SKSEPlugin_Version"));
    load_ = reinterpret_cast<decltype(load_)>(ModuleSymbol(module_, "SKSEPlugin_Load"));
    if (versionData_ == nullptr) {
      if (error != nullptr) *error = "no version data: the module does not export SKSEPlugin_Version";
      return false;
    }
    if (load_ == nullptr) {
      if (error != nullptr) *error = "the module does not export SKSEPlugin_Load";
      return false;
    }
    return true;
  }
  query_ = reinterpret_cast<decltype(query_)>(ModuleSymbol(module_, "SKSEPlugin_Query"));
  load_ = reinterpret_cast<decltype(load_)>(ModuleSymbol(module_, "SKSEPlugin_Load"));
  if (query_ == nullptr || load_ == nullptr) {
    if (error != nullptr) *error = "the module does not export SKSEPlugin_Query and SKSEPlugin_Load";
    return false;
  }
  return true;
}

bool HostDouble::Query() {
  if (settings_.loader == LoaderKind::kQueryThenLoad) return query_(&interface_, &info_);
  const char* refusal = CheckVersionData();
  refusal_ = refusal != nullptr ? refusal : "";
  return refusal == nullptr;
}

// PluginManager::CheckPluginCompatibility of skse64 2.2.x, in its order.
const char* HostDouble::CheckVersionData() const {
  const PluginVersionData& v = *versionData_;
  if (v.dataVersion == 0) return "disabled, bad version data";
  if (v.name[0] == '\0') return "disabled, no name specified";
  constexpr std::uint32_t kKnown = kIndependentAddressLibraryPostAE | kIndependentSignatures |
                                   kIndependentStructsPost629;
  if ((v.versionIndependence & ~kKnown) != 0) return "disabled, unsupported version independence method";
  const bool independent = (v.versionIndependence & (kIndependentAddressLibraryPostAE | kIndependentSignatures)) != 0;
  if ((v.versionIndependence & kIndependentAddressLibraryPostAE) != 0) {
    const std::uint32_t r = settings_.runtimeVersion;
    char name[64];
    std::snprintf(name, sizeof name, "versionlib-%u-%u-%u-0.bin", r >> 24 & 0xFF, r >> 16 & 0xFF, r >> 4 & 0xFFF);
    std::error_code ignored;
    if (!std::filesystem::exists(std::filesystem::path(settings_.gameFolder) / "data/SKSE/Plugins" / name, ignored)) {
      return "disabled, address library needs to be updated";
    }
  }
  if (independent && settings_.runtimeVersion >= kRuntime1_6_629 &&
      (v.versionIndependence & kIndependentStructsPost629) == 0 &&
      (v.versionIndependenceEx & kIndependentExNoStructUse) == 0) {
    return "disabled, only compatible with versions earlier than 1.6.629";
  }
  if (!independent) {
    bool found = false;
    for (std::uint32_t compatible : v.compatibleVersions) {
      if (compatible == settings_.runtimeVersion) found = true;
      if (compatible == 0 || found) break;
    }
    if (!found) return "disabled, incompatible with current version of the game";
  }
  if (v.seVersionRequired > interface_.skseVersion) return "disabled, requires newer script extender";
  return nullptr;
}
bool HostDouble::Load() { return load_(&interface_); }

void HostDouble::SendMessage(std::uint32_t type) {
  Message message{"SKSE", type, 0, nullptr};
  auto range = listeners_.equal_range("SKSE");
  for (auto it = range.first; it != range.second; ++it) it->second(&message);
}

void* HostDouble::QueryInterfaceThunk(std::uint32_t id) {
  ++self_->queryInterfaceCalls_;
  if (id == 5 && self_->settings_.messagingAvailable) return &self_->messaging_;
  if (id == 4 && self_->settings_.tasksAvailable) return &self_->taskInterface_;
  return nullptr;
}

std::uint32_t HostDouble::GetPluginHandleThunk() {
  ++self_->handleCalls_;
  return self_->settings_.pluginHandle;
}

bool HostDouble::RegisterListenerThunk(std::uint32_t handle, const char* sender, MessageCallback callback) {
  self_->lastHandle_ = handle;
  self_->lastSender_ = sender != nullptr ? sender : "";
  self_->listeners_.emplace(self_->lastSender_, callback);
  return true;
}

bool HostDouble::DispatchThunk(std::uint32_t, std::uint32_t, void*, std::uint32_t, const char*) { return false; }

void HostDouble::AddTaskThunk(TaskDelegate* task) {
  if (task == nullptr || task->vtbl == nullptr) {
    self_->violations_.push_back("AddTask with no task or one without its table");
    return;
  }
  self_->tasks_.push_back(task);
}

void HostDouble::AddUITaskThunk(TaskDelegate* task) {
  if (task == nullptr || task->vtbl == nullptr) {
    self_->violations_.push_back("AddUITask with no task or one without its table");
    return;
  }
  self_->uiTasks_.push_back(task);
}

void HostDouble::EmptyQueue(std::deque<TaskDelegate*>& queue, const char* name) {
  std::uint64_t run = 0;
  while (!queue.empty()) {
    if (++run > kTasksPerPassLimit) {
      violations_.push_back(std::string("the ") + name + " never empties: a task queues itself there again, and " +
                            "the game would never finish the frame");
      queue.clear();
      return;
    }
    TaskDelegate* task = queue.front();
    queue.pop_front();
    ++tasksRun_;
    task->vtbl->Run(task);
    task->vtbl->Dispose(task);
  }
}

void HostDouble::RunFrameTasks() {
  EmptyQueue(tasks_, "task pool");
  EmptyQueue(uiTasks_, "interface's task queue");
}

void* HostDouble::GetEventDispatcherThunk(std::uint32_t id) {
  auto it = self_->dispatchers_.find(id);
  return it != self_->dispatchers_.end() ? it->second : nullptr;
}

}  // namespace host
