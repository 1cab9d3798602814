#pragma once
// The game's singly linked list: the list is its head node; an empty list is
// a head whose item and next are both null. Every node lives on the game heap,
// so the game can take over or free a list built here.
#include "game/game_forms.h"

namespace qm::game {

using GameListNode = ListNode<void>;

// A new empty list. A failed allocation stops the process.
GameListNode* CreateGameList();
// Adds an item at the end. A failed allocation stops the process.
void AppendToGameList(GameListNode* list, void* item);
// Returns every node, the head included, to the game heap.
void DestroyGameList(GameListNode* list);

template <typename T>
ListNode<T>* AsTypedList(GameListNode* list) {
  return reinterpret_cast<ListNode<T>*>(list);
}

}  // namespace qm::game
