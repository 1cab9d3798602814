// The menu manager's table of menus, kept as the game keeps it: one array of
// 32-byte slots, chains linked through the slots themselves, a free slot
// marked by a null next and every chain ended by the sentinel. A slot taken
// by an entry of another chain is moved away, so that every chain starts at
// its own bucket.
#include "ui_world.h"

namespace gd {

std::uint32_t UiWorld::HashName(const char* text) {
  // FNV-1a over the name's text: stable from run to run, so that which menus
  // share a bucket does not depend on where the pool put their strings.
  std::uint32_t hash = 2166136261u;
  for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
    hash ^= static_cast<unsigned char>(*p);
    hash *= 16777619u;
  }
  return hash;
}

MenuTableEntry* UiWorld::FindEntry(const char* internedName) const {
  if (manager_ == nullptr || internedName == nullptr) return nullptr;
  MenuTableEntry* bucket = &manager_->entries[HashName(internedName) & (manager_->tableCapacity - 1)];
  if (bucket->next == nullptr) return nullptr;
  for (MenuTableEntry* entry = bucket; entry != manager_->sentinel; entry = entry->next) {
    if (entry->name.text == internedName) return entry;
  }
  return nullptr;
}

void UiWorld::RegisterFactory(const char* name, MenuFactoryFn create) {
  const char* interned = world_.strings().Intern(name);
  if (MenuTableEntry* existing = FindEntry(interned)) {
    // The game keeps the first registration of a name.
    if (existing->create == nullptr) existing->create = create;
    return;
  }
  InsertEntry(interned).create = create;
}

MenuTableEntry& UiWorld::InsertEntry(const char* name) {
  if (manager_->tableFree == 0) GrowTable();
  const std::uint32_t mask = manager_->tableCapacity - 1;
  MenuTableEntry* entries = manager_->entries;
  MenuTableEntry* home = &entries[HashName(name) & mask];
  manager_->tableFree -= 1;
  if (home->next == nullptr) {
    *home = MenuTableEntry{{name}, nullptr, nullptr, manager_->sentinel};
    return *home;
  }
  MenuTableEntry* freeSlot = nullptr;
  for (std::uint32_t i = manager_->tableCapacity; i-- > 0;) {
    if (entries[i].next == nullptr) {
      freeSlot = &entries[i];
      break;
    }
  }
  MenuTableEntry* occupantHome = &entries[HashName(home->name.text) & mask];
  if (occupantHome != home) {
    // The slot holds an entry of another chain: move it out of the way.
    MenuTableEntry* previous = occupantHome;
    while (previous->next != home) previous = previous->next;
    *freeSlot = *home;
    previous->next = freeSlot;
    *home = MenuTableEntry{{name}, nullptr, nullptr, manager_->sentinel};
    return *home;
  }
  *freeSlot = MenuTableEntry{{name}, nullptr, nullptr, home->next};
  home->next = freeSlot;
  return *freeSlot;
}

void UiWorld::GrowTable() {
  std::vector<MenuTableEntry> old = table_;
  table_.assign(old.size() * 2, MenuTableEntry{});
  manager_->entries = table_.data();
  manager_->tableCapacity = static_cast<std::uint32_t>(table_.size());
  manager_->tableFree = manager_->tableCapacity;
  for (const MenuTableEntry& entry : old) {
    if (entry.next == nullptr) continue;
    MenuTableEntry& moved = InsertEntry(entry.name.text);
    moved.menu = entry.menu;
    moved.create = entry.create;
  }
}

}  // namespace gd
