#include "game/game_list.h"

#include "game/game_bindings.h"
#include "log/debug_log.h"

namespace qm::game {
namespace {

GameListNode* AllocateNode() {
  return static_cast<GameListNode*>(Bindings.GameHeapAlloc(Bindings.Heap, sizeof(GameListNode), 0, false));
}

}  // namespace

GameListNode* CreateGameList() {
  GameListNode* p = AllocateNode();
  if (p == nullptr) log::FatalAssertion("GameTypes", 558, "p");
  p->item = nullptr;
  p->next = nullptr;
  return p;
}

void AppendToGameList(GameListNode* list, void* item) {
  GameListNode* last = list;
  while (last->next != nullptr) last = last->next;
  if (last->item == nullptr) {  // the head of an empty list takes the item
    last->item = item;
    return;
  }
  GameListNode* node = AllocateNode();
  if (node == nullptr) log::FatalAssertion("GameTypes", 617, "node");
  node->item = item;
  node->next = nullptr;
  last->next = node;
}

void DestroyGameList(GameListNode* list) {
  // Pull each following node into the head, so the head is freed last.
  while (list->next != nullptr) {
    GameListNode* following = list->next;
    list->item = following->item;
    list->next = following->next;
    Bindings.GameHeapRelease(Bindings.Heap, following, false);
  }
  list->item = nullptr;
  list->next = nullptr;
  Bindings.GameHeapRelease(Bindings.Heap, list, false);
}

}  // namespace qm::game
