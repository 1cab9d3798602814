#pragma once
// Spells and their magic effects, as far as the widget reads them: the
// spell's type, its first effect and that effect's school. Layouts of
// runtime 1.5.39.
#include "forms.h"
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace gd {

struct MagicEffectRec {
  FormHeader form;           // 0x00
  std::uint8_t pad20[0x58];  // 0x20
  std::uint32_t school;      // 0x78: 18 alteration ... 22 restoration
  std::uint32_t pad7C;       // 0x7C
};
static_assert(offsetof(MagicEffectRec, school) == 0x78);

struct SpellForm {
  FormHeader form;           // 0x00: form type 0x16
  std::uint8_t pad20[0x10];  // 0x20
  FullNameObj fullName;      // 0x30
  std::uint8_t pad40[0x38];  // 0x40
  MagicEffectRec* effect;    // 0x78
  std::uint8_t pad80[0x48];  // 0x80
  std::uint32_t spellType;   // 0xC8: 2 and 3 powers
  std::uint32_t padCC;       // 0xCC
};
static_assert(offsetof(SpellForm, fullName) == 0x30);
static_assert(offsetof(SpellForm, effect) == 0x78);
static_assert(offsetof(SpellForm, spellType) == 0xC8);

class MagicRecords : public WorldComponent {
 public:
  explicit MagicRecords(World& world);

  // A spell whose first effect has the school, or no effect record at all.
  SpellForm& AddSpell(const std::string& name, std::uint32_t spellType, std::optional<std::uint32_t> school);

 private:
  World& world_;
  std::deque<std::unique_ptr<SpellForm>> spells_;
  std::deque<std::unique_ptr<MagicEffectRec>> effects_;
};

}  // namespace gd
