#include "host_double.h"

#include <cstddef>
#include <stdexcept>

namespace host {

static_assert(offsetof(PluginInfo, name) == 8 && offsetof(PluginInfo, version) == 16);
static_assert(offsetof(HostInterface, runtimeVersion) == 4 && offsetof(HostInterface, isEditor) == 12);
static_assert(offsetof(HostInterface, QueryInterface) == 16 && offsetof(HostInterface, GetPluginHandle) == 24);
static_assert(offsetof(Message, type) == 8);
static_assert(offsetof(MessagingInterface, RegisterListener) == 8);
static_assert(offsetof(MessagingInterface, GetEventDispatcher) == 24);

HostDouble* HostDouble::self_ = nullptr;

HostDouble::HostDouble(HostSettings settings) : settings_(settings) {
  if (self_ != nullptr) throw std::logic_error("host double: one host per process");
  self_ = this;
  interface_.skseVersion = 0x02000110;
  interface_.runtimeVersion = settings_.runtimeVersion;
  interface_.isEditor = settings_.isEditor;
  interface_.QueryInterface = &QueryInterfaceThunk;
  interface_.GetPluginHandle = &GetPluginHandleThunk;
  messaging_.interfaceVersion = settings_.messagingVersion;
  messaging_.RegisterListener = &RegisterListenerThunk;
  messaging_.Dispatch = &DispatchThunk;
  messaging_.GetEventDispatcher = &GetEventDispatcherThunk;
}

// The module stays loaded: the plug-in lives until the process ends.
HostDouble::~HostDouble() { self_ = nullptr; }

bool HostDouble::LoadModule(const std::string& path, std::string* error) {
  module_ = OpenModule(path, error);
  if (module_ == nullptr) return false;
  query_ = reinterpret_cast<decltype(query_)>(ModuleSymbol(module_, "SKSEPlugin_Query"));
  load_ = reinterpret_cast<decltype(load_)>(ModuleSymbol(module_, "SKSEPlugin_Load"));
  if (query_ == nullptr || load_ == nullptr) {
    if (error != nullptr) *error = "the module does not export SKSEPlugin_Query and SKSEPlugin_Load";
    return false;
  }
  return true;
}

bool HostDouble::Query() { return query_(&interface_, &info_); }
bool HostDouble::Load() { return load_(&interface_); }

void HostDouble::SendMessage(std::uint32_t type) {
  Message message{"SKSE", type, 0, nullptr};
  auto range = listeners_.equal_range("SKSE");
  for (auto it = range.first; it != range.second; ++it) it->second(&message);
}

void* HostDouble::QueryInterfaceThunk(std::uint32_t id) {
  ++self_->queryInterfaceCalls_;
  if (id == 5 && self_->settings_.messagingAvailable) return &self_->messaging_;
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

void* HostDouble::GetEventDispatcherThunk(std::uint32_t id) {
  auto it = self_->dispatchers_.find(id);
  return it != self_->dispatchers_.end() ? it->second : nullptr;
}

}  // namespace host
