#include "game/host_records.h"

namespace qm::game {
namespace {

MessagingInterfaceRecord* keptMessaging = nullptr;

}  // namespace

MessagingInterfaceRecord* HostMessaging() { return keptMessaging; }

void KeepHostMessaging(MessagingInterfaceRecord* messaging) { keptMessaging = messaging; }

}  // namespace qm::game
