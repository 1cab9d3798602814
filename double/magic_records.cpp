#include "magic_records.h"

#include "dispatch_traps.h"
#include "runtime_offsets.h"
#include "runtime_types.h"

#include <array>

namespace gd {
namespace {

const char* SpellName(const FullNameObj* self) { return self->text != nullptr ? self->text : ""; }

const FullNameVtbl& SpellNameTable() {
  static const FullNameVtbl table = [] {
    FullNameVtbl t{};
    const auto traps = SlotTraps<5>();
    for (std::size_t i = 0; i < 5; ++i) t.slots0to4[i] = traps[i];
    t.name = &SpellName;
    return t;
  }();
  return table;
}

const std::array<void*, 0x40>& SpellClassTable() {
  static const std::array<void*, 0x40> table = SlotTraps<0x40>();
  return table;
}

}  // namespace

MagicRecords::MagicRecords(World& world) : world_(world) {
  world.Component<Forms>();  // writes the form type descriptors
  auto& types = world.Component<RuntimeTypes>();
  types.Register(SpellClassTable().data(), types.Descriptor(Off().tdFormBase.offset), 0);
  types.Register(SpellClassTable().data(), types.Descriptor(Off().tdFullName.offset), offsetof(SpellForm, fullName));
}

SpellForm& MagicRecords::AddSpell(const std::string& name, std::uint32_t spellType,
                                  std::optional<std::uint32_t> school) {
  SpellForm& spell = *spells_.emplace_back(std::make_unique<SpellForm>());
  spell.form.vtbl = SpellClassTable().data();
  spell.form.formId = 0xFE000000u + static_cast<std::uint32_t>(spells_.size());
  spell.form.formType = 0x16;
  spell.fullName.vtbl = &SpellNameTable();
  spell.fullName.text = world_.strings().Intern(name.c_str());
  spell.spellType = spellType;
  if (school.has_value()) {
    MagicEffectRec& effect = *effects_.emplace_back(std::make_unique<MagicEffectRec>());
    effect.form.formType = 0x12;
    effect.school = *school;
    spell.effect = &effect;
  }
  return spell;
}

}  // namespace gd
