#pragma once
// The host double: loads the plug-in the way the script extender does, hands
// it the extender's records and delivers its messages.
#include <cstdint>
#include <map>
#include <string>

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

struct HostSettings {
  std::uint32_t runtimeVersion = 0x01050270;
  std::uint32_t isEditor = 0;
  bool messagingAvailable = true;
  std::uint32_t messagingVersion = 2;
  std::uint32_t pluginHandle = 7;
};

class HostDouble {
 public:
  explicit HostDouble(HostSettings settings = {});
  ~HostDouble();
  HostDouble(const HostDouble&) = delete;
  HostDouble& operator=(const HostDouble&) = delete;

  // Loads the module; the plug-in's static initialisation runs here.
  bool LoadModule(const std::string& path, std::string* error);
  bool Query();
  bool Load();
  // Sends a message from sender "SKSE" to every registered listener.
  void SendMessage(std::uint32_t type);

  const PluginInfo& info() const { return info_; }
  int listenerCount() const { return static_cast<int>(listeners_.size()); }
  std::uint32_t queryInterfaceCalls() const { return queryInterfaceCalls_; }
  std::uint32_t handleCalls() const { return handleCalls_; }
  const std::string& lastListenerSender() const { return lastSender_; }
  std::uint32_t lastListenerHandle() const { return lastHandle_; }

  // The extender's event dispatchers by id (3: action events).
  void SetEventDispatcher(std::uint32_t id, void* source) { dispatchers_[id] = source; }

 private:
  static HostDouble* self_;
  static void* QueryInterfaceThunk(std::uint32_t id);
  static std::uint32_t GetPluginHandleThunk();
  static bool RegisterListenerThunk(std::uint32_t handle, const char* sender, MessageCallback callback);
  static bool DispatchThunk(std::uint32_t, std::uint32_t, void*, std::uint32_t, const char*);
  static void* GetEventDispatcherThunk(std::uint32_t id);

  HostSettings settings_;
  HostInterface interface_{};
  MessagingInterface messaging_{};
  PluginInfo info_{};
  void* module_ = nullptr;
  bool (*query_)(const HostInterface*, PluginInfo*) = nullptr;
  bool (*load_)(const HostInterface*) = nullptr;
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
