// The game's user-interface functions the plug-in calls, each checking the
// arguments it receives the way MSVC-compiled callers pass them.
#include "runtime_offsets.h"
#include "stub_registry.h"
#include "ui_world.h"

#include <cstring>

namespace gd {
namespace {

UiWorld& Ui() { return World::Active().Component<UiWorld>(); }

// A name passed "by reference" arrives as the address of the handle: the
// address itself is not a pooled string, the handle it holds is.
bool IsNameAddress(World& world, const BSFixedString* name, const char* function) {
  if (name == nullptr || world.strings().Owns(reinterpret_cast<const char*>(name))) {
    world.Violation(std::string(function) + " expects the address of the menu's InternedString");
    return false;
  }
  if (name->text != nullptr && !world.strings().Owns(name->text)) {
    world.Violation(std::string(function) + " received a name that is not an InternedString");
    return false;
  }
  return true;
}

bool IsManager(World& world, const void* manager, const char* function) {
  if (manager != nullptr && manager == Ui().manager()) return true;
  world.Violation(std::string(function) + " called on an object that is not the menu manager");
  return false;
}

void RegisterMenuFactory(MenuManagerObj* manager, const char* name, MenuFactoryFn create) {
  World& world = World::Active();
  if (!IsManager(world, manager, "RegisterMenuFactory")) return;
  if (name == nullptr || create == nullptr) {
    world.Violation("RegisterMenuFactory expects a name text and a creation function");
    return;
  }
  Ui().RegisterFactory(name, create);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::registerMenuFactory, RegisterMenuFactory);

// (out hash, key): the key is the InternedString's value, the text pointer.
void HashInternedKey(std::uint32_t* out, const char* key) {
  World& world = World::Active();
  if (out == nullptr) {
    world.Violation("HashInternedKey needs a place for the hash");
    return;
  }
  if (!world.strings().Owns(key)) {
    world.Violation("HashInternedKey expects the InternedString's value, not its address or plain text");
    *out = 0;
    return;
  }
  *out = UiWorld::HashName(key);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::hashInternedKey, HashInternedKey);

bool MenuOpenQuery(MenuManagerObj* manager, const BSFixedString* name) {
  World& world = World::Active();
  if (!IsManager(world, manager, "MenuOpenQuery") || !IsNameAddress(world, name, "MenuOpenQuery")) return false;
  return name->text != nullptr && Ui().IsOpen(name->text);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::menuOpenQuery, MenuOpenQuery);

void PostMenuMessage(void* queue, const BSFixedString* name, std::uint32_t type, void* data) {
  World& world = World::Active();
  UiWorld& ui = Ui();
  if (queue == nullptr || queue != ui.messageQueue()) {
    world.Violation("PostMenuMessage called on an object that is not the menu message queue");
    return;
  }
  if (!IsNameAddress(world, name, "PostMenuMessage") || name->text == nullptr) return;
  if (type != 1 && type != 3) {
    world.Violation("PostMenuMessage of a message type the game's queue does not model: " + std::to_string(type));
    return;
  }
  if (data != nullptr) world.Violation("PostMenuMessage: an open or close request carries no data");
  ui.Post(name->text, type);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::postMenuMessage, PostMenuMessage);

bool AttachMovieToMenu(void* movieManager, MenuObj* menu, MovieViewObj** field, const char* name, std::int32_t mode,
                       float scale) {
  World& world = World::Active();
  UiWorld& ui = Ui();
  if (movieManager == nullptr || movieManager != ui.movieManager()) {
    world.Violation("AttachMovieToMenu called on an object that is not the movie manager");
    return false;
  }
  if (menu == nullptr || field != &menu->view) {
    world.Violation("AttachMovieToMenu expects the address of the menu's movie view field");
    return false;
  }
  if (mode != 0 || scale != 0.0f) world.Violation("AttachMovieToMenu expects 0 and 0.0 as its last arguments");
  if (name == nullptr || std::strcmp(name, kWidgetMovieName) != 0) {
    world.Violation(std::string("AttachMovieToMenu: the Interface folder holds no movie \"") +
                    (name != nullptr ? name : "(null)") + "\"");
    return false;
  }
  return ui.AttachMovie(menu, field, name);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::attachMovieToMenu, AttachMovieToMenu);

void MovieValueRetain(void* objectInterface, MovieValueRec* value, void* payload) {
  Ui().ValueRetain(objectInterface, value, payload);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::movieValueRetain, MovieValueRetain);

void MovieValueDrop(void* objectInterface, MovieValueRec* value, void* payload) {
  Ui().ValueDrop(objectInterface, value, payload);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::movieValueDrop, MovieValueDrop);

bool MovieArrayAppend(void* objectInterface, void* payload, const MovieValueRec* element) {
  return Ui().ArrayAppend(objectInterface, payload, element);
}
GD_REGISTER_STUB(&::gd::RuntimeOffsets::movieArrayAppend, MovieArrayAppend);

void MenuBaseDestroy(MenuObj* menu) { Ui().NoteBaseDestroy(menu); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::menuBaseDestroy, MenuBaseDestroy);

void MenuBaseSlot5(MenuObj* menu, float interval, std::uint32_t time) { Ui().NoteBaseSlot5(menu, interval, time); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::menuBaseSlot5, MenuBaseSlot5);

void MenuBaseSlot8(MenuObj* menu, void* view, void* a3, void* a4) { Ui().NoteBaseSlot8(menu, view, a3, a4); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::menuBaseSlot8, MenuBaseSlot8);

}  // namespace
}  // namespace gd
