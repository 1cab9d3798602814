// One content update of the widget with seven equipped items: the frame
// slot's 11th call, timed alone, against the game double. Prints the median
// and fails when it exceeds the budget of 20 microseconds.
#include "forms.h"
#include "host_double.h"
#include "items.h"
#include "process_facts.h"
#include "references.h"
#include "ui_world.h"
#include "world.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double kBudgetMicroseconds = 20.0;
constexpr int kSamples = 2000;

gd::InstanceSpec Worn(gd::Worn hand, float health) {
  gd::InstanceSpec spec;
  spec.worn = hand;
  spec.health = health;
  return spec;
}

// Head, body, hands and feet armour, a shield in the left hand, a poisoned
// sword in the right and a shout.
void EquipSevenItems(gd::World& world, gd::ActorRec& player) {
  gd::Forms& forms = world.Component<gd::Forms>();
  gd::Items& items = world.Component<gd::Items>();
  const struct {
    std::uint32_t id;
    const char* name;
    std::uint32_t slots;
    std::uint32_t weight;
  } armor[] = {{0x12E4D, "Iron Helmet", 0x1, 1},
               {0x12E49, "Iron Armor", 0x4, 1},
               {0x12E46, "Leather Bracers", 0x8, 0},
               {0x12E4B, "Iron Boots", 0x80, 1}};
  for (const auto& piece : armor) {
    gd::ArmorForm& form = forms.AddArmor(piece.id, piece.name, piece.slots, piece.weight);
    items.GiveOne(player.ref, &form.form, Worn(gd::Worn::Right, 1.0625f));
  }
  gd::ArmorForm& shield = forms.AddArmor(0x12EB6, "Iron Shield", 0x200, 1);
  items.GiveOne(player.ref, &shield.form, Worn(gd::Worn::Left, 1.2f));
  player.process()->leftHand = &shield.form;

  gd::WeaponForm& sword = forms.AddWeapon(0x12EB7, "Iron Sword", 1);
  gd::PlainForm& poison = forms.AddForm(0x3A5A4, 0x2E, "Weak Poison");
  gd::InstanceSpec poisoned = Worn(gd::Worn::Right, 1.5f);
  poisoned.poison = &poison.form;
  poisoned.poisonCount = 3;
  items.GiveOne(player.ref, &sword.form, poisoned);

  gd::PlainForm& shout = forms.AddForm(0x13E07, 0x77, "Unrelenting Force");
  player.selectedPower() = &shout.form;
}

}  // namespace

int main() {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "qm-widget-bench";
  std::filesystem::create_directories(root / "game");
  std::filesystem::create_directories(root / "documents");

  gd::World world;
  gd::UiWorld& ui = world.Component<gd::UiWorld>();
  ui.Create({});
  gd::References& refs = world.Component<gd::References>();
  gd::ActorRec& player = refs.AddActor("player", 0x14);
  refs.GiveProcess(player);
  refs.SetPlayer(&player);
  EquipSevenItems(world, player);

  host::SetProcessFacts(world.base(), (root / "game" / "SkyrimSE.exe").string(), (root / "documents").string(), false);
  host::HostDouble hostDouble;
  std::string error;
  if (!hostDouble.LoadModule(QM_PLUGIN_PATH, &error)) {
    std::fprintf(stderr, "cannot load the plug-in: %s\n", error.c_str());
    return 2;
  }
  hostDouble.SetEventDispatcher(3, &ui.ActionSource());
  if (!hostDouble.Query() || !hostDouble.Load()) return 2;
  hostDouble.SendMessage(8);

  ui.OpenMenu(ui.options().triggerMenu, 0);
  ui.CloseMenu(ui.options().triggerMenu);
  ui.Frames(1);
  gd::MenuObj* menu = ui.OpenMenuObject(gd::kWidgetMenuName);
  if (menu == nullptr) {
    std::fprintf(stderr, "the widget did not open\n");
    return 2;
  }

  // Bring the frame counter to an update boundary, then time every 11th call.
  while (ui.InvokeCount("_root.widget.UpdateMenu") == 0) menu->vtbl->frame(menu);
  std::vector<double> samples;
  samples.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    for (int j = 0; j < 10; ++j) menu->vtbl->frame(menu);
    const auto start = std::chrono::steady_clock::now();
    menu->vtbl->frame(menu);
    const auto stop = std::chrono::steady_clock::now();
    samples.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
  }
  const std::size_t updates = ui.InvokeCount("_root.widget.UpdateMenu");
  const gd::RecordedInvoke* last = ui.LastInvoke("_root.widget.UpdateMenu");
  bool sevenItems = last != nullptr && last->args.size() == 4 && last->args[0].elements.size() == 7;
  for (std::size_t row = 0; sevenItems && row < 7; ++row) sevenItems = last->args[0].elements[row].text != "none";

  std::sort(samples.begin(), samples.end());
  const double median = samples[samples.size() / 2];
  const double p90 = samples[samples.size() * 9 / 10];
  std::printf("widget content update, seven items: median %.2f us, p90 %.2f us, %d samples\n", median, p90, kSamples);

  ui.CloseMenu(gd::kWidgetMenuName);
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);

  if (updates != static_cast<std::size_t>(kSamples) + 1 || !sevenItems) {
    std::fprintf(stderr, "the timed calls did not send seven item rows each (%zu updates)\n", updates);
    return 1;
  }
  if (!world.Violations().empty()) return 1;
  return median <= kBudgetMicroseconds ? 0 : 1;
}
