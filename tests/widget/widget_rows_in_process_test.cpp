// The widget's rows from the player's record on a world of each layout
// family: the hands come from the player's process and the last row from its
// selected power, both where that family keeps them.
#include "support/in_process_game.h"

#include "widget/widget_rows.h"

namespace {

class WidgetRowsOnEachFamily : public qmtest::InProcessGameOfEachFamily {};

TEST_P(WidgetRowsOnEachFamily, HandsAndPowerAreThePlayersOwn) {
  gd::ArmorForm& helmet = forms().AddArmor(0x100, "Iron Helmet", 0x1, 1);
  gd::ArmorForm& shield = forms().AddArmor(0x101, "Iron Shield", 0x200, 1);
  gd::WeaponForm& sword = forms().AddWeapon(0x102, "Iron Sword", 1);
  gd::FormHeader& shout = forms().AddForm(0x13E07, 0x77, "Unrelenting Force").form;
  gd::ActorRec& player = refs().AddActor("player", 0x14);
  refs().GiveProcess(player);
  refs().SetPlayer(&player);
  items().GiveOne(player.ref, &helmet.form, Spec("helmet", gd::Worn::Right));
  items().GiveOne(player.ref, &shield.form, Spec("shield", gd::Worn::Left));
  items().GiveOne(player.ref, &sword.form, Spec("sword", gd::Worn::Right));
  player.process()->leftHand = &shield.form;  // the game equips a shield in the left hand
  player.selectedPower() = &shout;

  qm::widget::WidgetRows rows;
  qm::widget::CollectWidgetRows(true, rows);
  EXPECT_EQ(rows[0].extraList, List(items().Find("helmet")->list));
  EXPECT_EQ(rows[4].extraList, List(items().Find("shield")->list));
  EXPECT_EQ(rows[5].extraList, List(items().Find("sword")->list));
  EXPECT_EQ(rows[6].form, Form(shout));
  EXPECT_EQ(rows[6].extraList, nullptr);
}

QM_ON_EACH_LAYOUT_FAMILY(WidgetRowsOnEachFamily);

}  // namespace
