#include "widget/game_list.h"

#include "plugin/debug_log.h"
#include "plugin/game_bindings.h"

namespace qm::widget {
namespace {

GameListNode* AllocateNode() {
  return static_cast<GameListNode*>(game::Bindings.GameHeapAlloc(game::Bindings.Heap, sizeof(GameListNode), 0, false));
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
    game::Bindings.GameHeapRelease(game::Bindings.Heap, following, false);
  }
  list->item = nullptr;
  list->next = nullptr;
  game::Bindings.GameHeapRelease(game::Bindings.Heap, list, false);
}

}  // namespace qm::widget
