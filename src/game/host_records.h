#pragma once
// The script extender's records, in its 64-bit layout, and the messaging
// interface kept from the query on.
#include <cstddef>
#include <cstdint>

namespace qm::game {

struct PluginInfoRecord {
  std::uint32_t infoVersion;  // 0x00
  std::uint32_t pad04;        // 0x04
  const char* name;           // 0x08
  std::uint32_t version;      // 0x10
};
static_assert(offsetof(PluginInfoRecord, infoVersion) == 0);
static_assert(offsetof(PluginInfoRecord, name) == 8);
static_assert(offsetof(PluginInfoRecord, version) == 16);

struct HostInterfaceRecord {
  std::uint32_t hostVersion;                  // 0x00
  std::uint32_t runtimeVersion;               // 0x04: major << 24 | minor << 16 | build << 4
  std::uint32_t editorVersion;                // 0x08
  std::uint32_t isEditor;                     // 0x0C
  void* (*QueryInterface)(std::uint32_t id);  // 0x10
  std::uint32_t (*GetPluginHandle)();         // 0x18
};
static_assert(offsetof(HostInterfaceRecord, runtimeVersion) == 4);
static_assert(offsetof(HostInterfaceRecord, isEditor) == 12);
static_assert(offsetof(HostInterfaceRecord, QueryInterface) == 16);
static_assert(offsetof(HostInterfaceRecord, GetPluginHandle) == 24);

struct HostMessage {
  const char* sender;        // 0x00
  std::uint32_t type;        // 0x08
  std::uint32_t dataLength;  // 0x0C
  void* data;                // 0x10
};
static_assert(offsetof(HostMessage, type) == 8);

using HostMessageCallback = void (*)(HostMessage* message);

struct MessagingInterfaceRecord {
  std::uint32_t interfaceVersion;                                                                          // 0x00
  std::uint32_t pad04;                                                                                     // 0x04
  bool (*RegisterListener)(std::uint32_t pluginHandle, const char* sender, HostMessageCallback callback);  // 0x08
  void* dispatch;                                                                                          // 0x10
  void* (*GetEventDispatcher)(std::uint32_t dispatcherId);                                                 // 0x18
};
static_assert(offsetof(MessagingInterfaceRecord, interfaceVersion) == 0);
static_assert(offsetof(MessagingInterfaceRecord, RegisterListener) == 8);
static_assert(offsetof(MessagingInterfaceRecord, GetEventDispatcher) == 24);

// The script extender's task interface: tasks run on the game's main thread.
// AddTask queues on the game's task pool, which the extender empties (running
// and disposing each task) when the game processes its tasks; AddUITask on
// the user interface's queue, emptied when the interface processes its
// messages. Each is emptied until empty: a task that queues itself on its own
// queue again would run forever.
struct TaskDelegate;
struct TaskDelegateDispatch {
  void (*Run)(TaskDelegate* self);      // slot 0
  void (*Dispose)(TaskDelegate* self);  // slot 1
};
static_assert(offsetof(TaskDelegateDispatch, Dispose) == 8);
struct TaskDelegate {
  const TaskDelegateDispatch* dispatch;  // 0x00
};

struct TaskInterfaceRecord {
  std::uint32_t interfaceVersion;           // 0x00
  std::uint32_t pad04;                      // 0x04
  void (*AddTask)(TaskDelegate* task);      // 0x08
  void (*AddUITask)(TaskDelegate* uiTask);  // 0x10: a UIDelegate_v1, the same two slots
};
static_assert(offsetof(TaskInterfaceRecord, AddTask) == 8);
static_assert(offsetof(TaskInterfaceRecord, AddUITask) == 16);

inline constexpr std::uint32_t kTaskInterfaceId = 4;
inline constexpr std::uint32_t kMessagingInterfaceId = 5;
inline constexpr std::uint32_t kMessageDataLoaded = 8;
inline constexpr std::uint32_t kActionEventDispatcherId = 3;

// Null until the query has found an interface of a version we accept.
MessagingInterfaceRecord* HostMessaging();
void KeepHostMessaging(MessagingInterfaceRecord* messaging);

// Null on 1.5.39, which has no use for it, and until a query on another
// runtime has found it.
TaskInterfaceRecord* HostTasks();
void KeepHostTasks(TaskInterfaceRecord* tasks);

}  // namespace qm::game
