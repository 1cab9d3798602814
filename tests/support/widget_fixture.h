#pragma once
// The plug-in loaded into a game double with a user interface and a player,
// with helpers that drive the widget the way the game does: a save loads
// (the trigger menu closes), frames pass, menus open and close, buttons are
// pressed.
#include "items.h"
#include "references.h"
#include "support/plugin_fixture.h"
#include "ui_world.h"

#include <string>
#include <vector>

namespace qmtest {

class WidgetFixture : public PluginFixture {
 protected:
  // Widget settings as lines of the [Widget] section; the rest stays default.
  void StartWidget(const std::vector<std::string>& widgetSettings = {}, gd::UiOptions options = {}) {
    if (!widgetSettings.empty()) Settings("Widget", widgetSettings);
    if (!ini_.empty()) WriteGameFile("data/SKSE/Plugins/Quellmark/Quellmark.ini", ini_);
    ui().Create(options);
    // Keywords of the game's master file, there from the start.
    for (std::uint32_t keyword : {0x8F95Au, 0x8F95Bu, 0x6D930u}) forms().Keyword(keyword);
    player_ = &refs().AddActor("player", 0x14);
    refs().GiveProcess(*player_);
    refs().SetPlayer(player_);
    LoadPlugin();
    host().SetEventDispatcher(3, &ui().ActionSource());
    ASSERT_TRUE(host().Query());
    ASSERT_TRUE(host().Load());
    host().SendMessage(8);
  }

  // Lines of another settings section, written before the plug-in starts.
  void Settings(const std::string& section, const std::vector<std::string>& lines) {
    ini_ += "[" + section + "]\r\n";
    for (const std::string& line : lines) ini_ += line + "\r\n";
  }

  // A save has loaded: the trigger menu opens and closes, and the next frame
  // handles what the plug-in posted.
  void LoadSave() {
    ui().OpenMenu(ui().options().triggerMenu, 0);
    ui().CloseMenu(ui().options().triggerMenu);
    ui().Frames(1);
  }

  bool MovieVisible() { return ui().Visible(ui().WidgetView()); }
  bool WidgetOpen() { return ui().IsOpen(std::string(gd::kWidgetMenuName)); }
  gd::MenuObj* Widget() { return ui().OpenMenuObject(gd::kWidgetMenuName); }

  std::size_t UpdateCount() { return ui().InvokeCount("_root.widget.UpdateMenu"); }
  const gd::RecordedInvoke* LastUpdate() { return ui().LastInvoke("_root.widget.UpdateMenu"); }
  // Frames until the next content update has been sent (at most 11).
  const gd::RecordedInvoke* NextUpdate() {
    const std::size_t before = UpdateCount();
    for (int i = 0; i < 11 && UpdateCount() == before; ++i) ui().Frames(1);
    return UpdateCount() > before ? LastUpdate() : nullptr;
  }
  // Whether the rows of the next update carry items (the first row is worn
  // by the player in these tests).
  bool RowsShown() {
    const gd::RecordedInvoke* update = NextUpdate();
    return update != nullptr && update->args.at(0).elements.at(0).text != "none";
  }

  void Press(std::uint32_t device, std::uint32_t keyCode, float value = 1.0f, float held = 0.0f) {
    gd::InputSpec spec;
    spec.device = device;
    spec.keyCode = keyCode;
    spec.value = value;
    spec.heldSeconds = held;
    ui().DeliverInput({spec});
  }

  // A helmet the player wears, so that shown rows differ from blank ones.
  void WearHelmet(float health = 1.25f) {
    gd::ArmorForm& helmet = forms().AddArmor(0x12E4D, "Iron Helmet", 0x1, 1);
    gd::InstanceSpec spec;
    spec.id = "helmet";
    spec.worn = gd::Worn::Right;
    spec.health = health;
    items().GiveOne(player_->ref, &helmet.form, spec);
  }

  gd::UiWorld& ui() { return world().Component<gd::UiWorld>(); }
  gd::References& refs() { return world().Component<gd::References>(); }
  gd::Forms& forms() { return world().Component<gd::Forms>(); }
  gd::Items& items() { return world().Component<gd::Items>(); }
  gd::ActorRec& player() { return *player_; }

  gd::ActorRec* player_ = nullptr;
  std::string ini_;
};

}  // namespace qmtest
