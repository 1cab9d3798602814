// Which instances may break, and what breaking does to the holder.
#include "support/in_process_game.h"

#include "hud.h"

namespace {

using qm::engine::ItemEntry;

class Breaking : public qmtest::InProcessGame {
 protected:
  void SetNoEnchantRule(std::uint32_t value) {
    qm::config::Store().degradation.SetExisting("nobreakmagicdisallowenchanting", value);
  }
};

TEST_F(Breaking, TheRulesAreAskedInOrderAndTheFirstThatAppliesAnswers) {
  forms().Keyword(0xC27BD);
  gd::WeaponForm& daedric = forms().AddWeapon(0x100, "Daedric Sword", 1, 0, {0xC27BD});
  gd::ArmorForm& crown = forms().AddArmor(0x101, "Crown", 0x1, 0, {0xC27BD});
  gd::WeaponForm& special = forms().AddWeapon(0x1F4, "Unique Blade", 1);
  gd::WeaponForm& listed = forms().AddWeapon(0x102, "Listed Sword", 1);
  gd::WeaponForm& iron = forms().AddWeapon(0x103, "Iron Sword", 1);
  gd::ExtraList& list = extra().NewList();
  gd::ExtraList& guarded = extra().NewList();
  extra().SetUnbreakable(guarded, true);
  qm::config::Store().NoBreakFormList.Add(0x102);
  auto breakable = [&](gd::FormHeader& form, gd::ExtraList* instance) {
    return qm::engine::IsBreakable(ItemEntry{Form(form), List(instance), {}});
  };

  EXPECT_TRUE(breakable(iron.form, &list));
  EXPECT_FALSE(breakable(iron.form, nullptr));
  EXPECT_FALSE(qm::engine::IsBreakable(ItemEntry{nullptr, List(&list), {}}));
  EXPECT_FALSE(breakable(daedric.form, &list));  // the default rule is 1
  EXPECT_FALSE(breakable(crown.form, &list));
  EXPECT_FALSE(breakable(special.form, &list));
  EXPECT_FALSE(breakable(listed.form, &list));
  EXPECT_FALSE(breakable(iron.form, &guarded));
  // Only weapons and armour carry keywords the rule reads; anything else is
  // not held back by it.
  EXPECT_TRUE(breakable(forms().AddForm(0x300, gd::form_type::kAlchemy, "Poison").form, &list));
  SetNoEnchantRule(2);
  EXPECT_TRUE(breakable(daedric.form, &list));
  EXPECT_TRUE(breakable(crown.form, &list));
}

// Breaking reads the holder's process and its instances' lists, whose
// places depend on the layout family.
class BreakingOnEachFamily : public qmtest::InProcessGameOfEachFamily {};

TEST_P(BreakingOnEachFamily, AStackLosesExactlyTheInstanceThatBroke) {
  gd::WeaponForm& sword = forms().AddWeapon(0x100, "Iron Sword", 1);
  gd::ActorRec& bandit = refs().AddActor("bandit", 0x800);
  refs().GiveProcess(bandit);
  items().Give(bandit.ref, &sword.form, 4, {Spec("spare"), Spec("held", gd::Worn::Right), Spec("other")});

  qm::engine::BreakItem(Entry("held"), Actor(bandit));
  EXPECT_FALSE(items().Present(*items().Find("held")));
  EXPECT_TRUE(items().Present(*items().Find("spare")));
  EXPECT_TRUE(items().Present(*items().Find("other")));
  EXPECT_EQ(inventories().CountOf(*refs().FindInventory(bandit.ref), &sword.form), 3);
  EXPECT_EQ(refs().RefreshCalls(&bandit), 1u);
  EXPECT_EQ(bandit.process()->rightHand, nullptr);
  // Another actor's item goes silently.
  EXPECT_TRUE(world().Component<gd::Hud>().Notifications().empty());
  // Without a holder nothing is removed.
  qm::engine::BreakItem(Entry("spare"), nullptr);
  EXPECT_TRUE(items().Present(*items().Find("spare")));
}

TEST_P(BreakingOnEachFamily, AnActorWithoutProcessLosesTheItemWithoutARefresh) {
  gd::ArmorForm& helmet = forms().AddArmor(0x100, "Iron Helmet", 0x1, 1);
  gd::ActorRec& statue = refs().AddActor("statue", 0x800);
  items().GiveOne(statue.ref, &helmet.form, Spec("helmet", gd::Worn::Right));

  qm::engine::BreakItem(Entry("helmet"), Actor(statue));
  EXPECT_FALSE(items().Present(*items().Find("helmet")));
  EXPECT_EQ(refs().RefreshCalls(&statue), 0u);
  ASSERT_EQ(refs().Removals().size(), 1u);
  EXPECT_EQ(refs().Removals()[0].list, items().Find("helmet")->list);
}

QM_ON_EACH_LAYOUT_FAMILY(BreakingOnEachFamily);

}  // namespace

namespace {

class PlayerBreaking : public qmtest::InProcessGameOfEachFamily {};

TEST_P(PlayerBreaking, ThePlayerIsToldTheItemsDisplayNameAndNothingElse) {
  gd::WeaponForm& sword = forms().AddWeapon(0x100, "Iron Sword", 1);
  gd::ArmorForm& shield = forms().AddArmor(0x101, "Iron Shield", 0x200, 1);
  gd::FormHeader& poison = forms().AddForm(0x300, gd::form_type::kAlchemy, "Deadly Poison").form;
  gd::ActorRec& player = refs().AddActor("player", 0x14);
  refs().GiveProcess(player);
  refs().SetPlayer(&player);
  gd::InstanceSpec poisoned = Spec("sword", gd::Worn::Right);
  poisoned.poison = &poison;
  poisoned.poisonCount = 3;
  items().GiveOne(player.ref, &sword.form, poisoned);
  items().GiveOne(player.ref, &shield.form, Spec("shield", gd::Worn::Left));

  qm::engine::BreakItem(Entry("shield"), Actor(player));
  qm::engine::BreakItem(Entry("sword"), Actor(player));
  EXPECT_EQ(world().Component<gd::Hud>().Notifications(),
            (std::vector<std::string>{"Iron Shield", "Iron Sword Deadly Poison (3)"}));
  EXPECT_FALSE(items().Present(*items().Find("sword")));
  EXPECT_FALSE(items().Present(*items().Find("shield")));
  EXPECT_EQ(refs().RefreshCalls(&player), 2u);
  EXPECT_EQ(player.process()->rightHand, nullptr);
}

QM_ON_EACH_LAYOUT_FAMILY(PlayerBreaking);

}  // namespace
