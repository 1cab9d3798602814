#include "game/host_records.h"

namespace qm::game {
namespace {

MessagingInterfaceRecord* keptMessaging = nullptr;
TaskInterfaceRecord* keptTasks = nullptr;

}  // namespace

MessagingInterfaceRecord* HostMessaging() { return keptMessaging; }

void KeepHostMessaging(MessagingInterfaceRecord* messaging) { keptMessaging = messaging; }

TaskInterfaceRecord* HostTasks() { return keptTasks; }

void KeepHostTasks(TaskInterfaceRecord* tasks) { keptTasks = tasks; }

}  // namespace qm::game
