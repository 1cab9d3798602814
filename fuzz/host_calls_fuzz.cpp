// libFuzzer target: the host's and the game's calls into the plug-in in any
// order. Each input gets a fresh plug-in (forked_input.h): the host's record
// (runtime, editor, messaging interface and its version, handle) comes from
// the first bytes, then a sequence of calls: Query and Load as often and in
// whatever order, every message type the host sends and others, saves
// loading, menus opening and closing, menu messages with no menu behind
// them, key presses, weapons drawn and sheathed, frames, hits and updates.
// The script extender calls Query, then Load, then sends its messages; a
// plug-in must still not crash when another host or a game in another state
// calls it otherwise. Besides the sanitizers, the run checks that a Load
// after a refused Query registers no listener.
#include "engine_events.h"
#include "forked_input.h"
#include "forms.h"
#include "host_double.h"
#include "items.h"
#include "process_facts.h"
#include "references.h"
#include "ui_world.h"
#include "world.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace qmfuzz {
namespace {

constexpr std::size_t kMostCalls = 64;
constexpr std::array<std::uint32_t, 5> kRuntimes{0x01050270, 0x01050610, 0x01060280, 0x01060470, 0};
constexpr std::array<const char*, 6> kMenus{"Loading Menu",    "Main Menu", "InventoryMenu",
                                            "Durability Menu", "Console",   "MapMenu"};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "host calls fuzzer: %s\n", what);
  std::abort();
}

// The game of every input: a player with a process, a sword in the right
// hand and a cuirass worn, the settings on, the interface made. Built once,
// before the module is loaded, since the module forms its bindings from the
// game's image when it loads; each input's child changes its own copy.
struct Game {
  std::unique_ptr<gd::World> world;
  gd::ActorRec* player = nullptr;
  std::string modulePath = QM_FUZZ_PLUGIN_PATH;
  std::unique_ptr<ForkedInput> forked;
};

Game& TheGame() {
  static Game* game = [] {
    auto* made = new Game();
    std::string pattern = (std::filesystem::temp_directory_path() / "qm-calls-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) Fail("no temporary folder");
    const std::string folder = pattern;
    std::filesystem::create_directories(folder + "/game/data/SKSE/Plugins/Quellmark");
    std::filesystem::create_directories(folder + "/documents");
    std::ofstream(folder + "/game/data/SKSE/Plugins/Quellmark/Quellmark.ini", std::ios::binary)
        << "[Degradation]\r\nOnlyPlayer=false\r\nEquipmentHealthThreshold=100\r\n"
           "[BreakChance]\r\nWeaponSword=50\r\nHeavyArmor=50\r\n[Widget]\r\nToggleKeyCode=42\r\n";
    ::setenv("QUELLMARK_SEED", "5489", 1);
    made->world = std::make_unique<gd::World>();
    gd::World& world = *made->world;
    gd::Forms& forms = world.Component<gd::Forms>();
    for (std::uint32_t keyword : {0x8F95Au, 0x8F95Bu, 0x6D930u, 0xC27BDu}) forms.Keyword(keyword);
    gd::References& refs = world.Component<gd::References>();
    gd::FormHeader& base = forms.AddForm(0x7, gd::form_type::kNpc, "Prisoner").form;
    made->player = &refs.AddActor("player", 0x14, &base);
    refs.GiveProcess(*made->player);
    refs.SetPlayer(made->player);
    gd::Items& items = world.Component<gd::Items>();
    gd::InstanceSpec worn;
    worn.worn = gd::Worn::Right;
    worn.health = 1.05f;
    items.GiveOne(made->player->ref, &forms.AddWeapon(0x1A000, "Sword", 1).form, worn);
    items.GiveOne(made->player->ref, &forms.AddArmor(0x1B000, "Cuirass", 0x4, 1).form, worn);
    world.Component<gd::UiWorld>().Create(gd::UiOptions{});
    host::SetProcessFacts(world.base(), folder + "/game/SkyrimSE.exe", folder + "/documents", false);
    std::string error;
    if (host::OpenModule(made->modulePath, &error) == nullptr) Fail(error.c_str());
    made->forked = std::make_unique<ForkedInput>(made->modulePath);
    return made;
  }();
  return *game;
}

host::HostSettings ReadHost(FuzzedDataProvider& in) {
  host::HostSettings settings;
  const std::uint8_t bits = in.ConsumeIntegral<std::uint8_t>();
  settings.runtimeVersion = (bits & 0x80) != 0 ? in.ConsumeIntegral<std::uint32_t>()
                                               : kRuntimes[(bits & 0x07) % kRuntimes.size()];
  settings.isEditor = (bits & 0x08) != 0 ? 1 : 0;
  settings.messagingAvailable = (bits & 0x10) == 0;
  settings.messagingVersion = (bits & 0x20) != 0 ? 0 : 2;
  settings.pluginHandle = in.ConsumeIntegral<std::uint8_t>();
  return settings;
}

// One call; keeps what the checks need to know.
struct Calls {
  host::HostDouble& host;
  gd::World& world;
  gd::ActorRec& player;
  // The last Query's answer; none before the first. A Load with no Query
  // before it judges the game itself, as the Anniversary Edition's extender
  // expects, and may register.
  std::optional<bool> queryAnswer;

  gd::UiWorld& ui() { return world.Component<gd::UiWorld>(); }

  void One(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 12)) {
      case 0: queryAnswer = host.Query(); break;
      case 1: {
        const int listeners = host.listenerCount();
        host.Load();
        if (queryAnswer == false && host.listenerCount() != listeners) {
          Fail("Load after a refused Query registered a listener");
        }
        break;
      }
      case 2:
      case 3:
        // The extender's messages (0 to 8, data loaded being 8), and others.
        host.SendMessage(in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 8)
                                          : in.ConsumeIntegral<std::uint32_t>());
        break;
      case 4:  // a save loads
        ui().OpenMenu(ui().options().triggerMenu, 0);
        ui().CloseMenu(ui().options().triggerMenu);
        ui().Frames(1);
        break;
      case 5: ui().OpenMenu(kMenus[in.ConsumeIntegralInRange<std::size_t>(0, kMenus.size() - 1)], 0x1); break;
      case 6: ui().CloseMenu(kMenus[in.ConsumeIntegralInRange<std::size_t>(0, kMenus.size() - 1)]); break;
      case 7: {
        // A message to a menu, open or not, or to one that was never made.
        const char* name = kMenus[in.ConsumeIntegralInRange<std::size_t>(0, kMenus.size() - 1)];
        ui().Post(world.strings().Intern(name), in.ConsumeIntegralInRange<std::uint32_t>(0, 8));
        ui().Frames(1);
        break;
      }
      case 8: {
        gd::InputSpec key;
        key.device = in.ConsumeIntegralInRange<std::uint32_t>(0, 3);
        key.keyCode = in.ConsumeBool() ? 42 : in.ConsumeIntegral<std::uint8_t>();
        key.value = in.ConsumeBool() ? 1.0f : 0.0f;
        ui().DeliverInput({key});
        break;
      }
      case 9: ui().DeliverAction(in.ConsumeBool() ? 8 : 10, in.ConsumeBool()); break;
      case 10: ui().Frames(in.ConsumeIntegralInRange<std::uint32_t>(1, 8)); break;
      case 11:
        gd::DispatchHit(world, &player.ref, in.ConsumeBool() ? &player.ref : nullptr, 0x1A000,
                        in.ConsumeIntegral<std::uint8_t>());
        break;
      default: gd::DispatchUpdate(world); break;
    }
  }
};

}  // namespace
}  // namespace qmfuzz

// The game and the module come first, so that the module's counters are
// there before the first input.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  qmfuzz::TheGame();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qmfuzz;
  Game& game = TheGame();
  game.forked->Run([&] {
    FuzzedDataProvider in(data, size);
    host::HostDouble host(ReadHost(in));
    std::string error;
    if (!host.LoadModule(game.modulePath, &error)) Fail(error.c_str());
    if (in.ConsumeBool()) host.SetEventDispatcher(3, &game.world->Component<gd::UiWorld>().ActionSource());
    Calls calls{host, *game.world, *game.player, std::nullopt};
    for (std::size_t n = 0; n < kMostCalls && in.remaining_bytes() > 0; ++n) calls.One(in);
  });
  return 0;
}
