#include "forms.h"

#include "dispatch_traps.h"
#include "runtime_offsets.h"
#include "runtime_types.h"
#include "stub_registry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gd {

void ReportUnmodelledSlot(std::size_t slot) {
  World::Active().Violation("the plug-in called dispatch slot " + std::to_string(slot) +
                            " of a game object, which the double does not model");
}

namespace {

bool HoldsKeyword(const KeywordListObj* self, const FormHeader* keyword) {
  if (keyword == nullptr) return false;
  for (std::uint32_t i = 0; i < self->count; ++i) {
    if (self->keywords[i] == keyword) return true;
  }
  return false;
}

const char* FullName(const FullNameObj* self) { return self->text != nullptr ? self->text : ""; }

const KeywordListVtbl& KeywordListTable() {
  static const KeywordListVtbl table = [] {
    KeywordListVtbl t{};
    const auto traps = SlotTraps<4>();
    for (std::size_t i = 0; i < 4; ++i) t.slots0to3[i] = traps[i];
    t.holdsKeyword = &HoldsKeyword;
    return t;
  }();
  return table;
}

const FullNameVtbl& FullNameTable() {
  static const FullNameVtbl table = [] {
    FullNameVtbl t{};
    const auto traps = SlotTraps<5>();
    for (std::size_t i = 0; i < 5; ++i) t.slots0to4[i] = traps[i];
    t.name = &FullName;
    return t;
  }();
  return table;
}

// One class table serves every record: the plug-in never calls a record's
// own slots, it only casts records to their full-name component.
const std::array<void*, 0x40>& FormClassTable() {
  static const std::array<void*, 0x40> table = SlotTraps<0x40>();
  return table;
}

}  // namespace

bool IsWeapon(const FormHeader* form) { return form != nullptr && form->formType == form_type::kWeapon; }
bool IsArmor(const FormHeader* form) { return form != nullptr && form->formType == form_type::kArmor; }

Forms::Forms(World& world) : world_(world) {
  WriteTypeDescriptor(world, Off().tdFormBase.offset, ".?AVTESForm@@");
  WriteTypeDescriptor(world, Off().tdFullName.offset, ".?AVTESFullName@@");
  auto& types = world.Component<RuntimeTypes>();
  types.Register(FormClassTable().data(), types.Descriptor(Off().tdFormBase.offset), 0);
  types.Register(FormClassTable().data(), types.Descriptor(Off().tdFullName.offset), offsetof(PlainForm, fullName));
}

void Forms::Register(FormHeader& form, std::uint32_t id, std::uint8_t type, FullNameObj& fullName,
                     const std::string& name) {
  if (byId_.count(id) != 0) world_.Violation("the world holds two records with form id " + std::to_string(id));
  form.vtbl = FormClassTable().data();
  form.formId = id;
  form.formType = type;
  fullName.vtbl = &FullNameTable();
  fullName.text = world_.strings().Intern(name.c_str());
  byId_[id] = &form;
  pointers_.insert(&form);
}

void Forms::FillKeywords(KeywordListObj& list, const std::vector<std::uint32_t>& keywords) {
  std::vector<FormHeader*>& array = keywordArrays_.emplace_back();
  for (std::uint32_t id : keywords) array.push_back(&Keyword(id));
  list.vtbl = &KeywordListTable();
  list.keywords = array.empty() ? nullptr : array.data();
  list.count = static_cast<std::uint32_t>(array.size());
}

WeaponForm& Forms::AddWeapon(std::uint32_t id, const std::string& name, std::uint8_t weaponType, std::uint16_t flags,
                             const std::vector<std::uint32_t>& keywords) {
  auto& weapon = *weapons_.emplace_back(std::make_unique<WeaponForm>());
  std::memset(&weapon, kUnmodelledByte, sizeof weapon);
  Register(weapon.form, id, form_type::kWeapon, weapon.fullName, name);
  weapon.weaponType = weaponType;
  weapon.weaponFlags = flags;
  FillKeywords(weapon.keywords, keywords);
  return weapon;
}

ArmorForm& Forms::AddArmor(std::uint32_t id, const std::string& name, std::uint32_t slotMask, std::uint32_t weightClass,
                           const std::vector<std::uint32_t>& keywords) {
  auto& armor = *armor_.emplace_back(std::make_unique<ArmorForm>());
  std::memset(&armor, kUnmodelledByte, sizeof armor);
  Register(armor.form, id, form_type::kArmor, armor.fullName, name);
  armor.slotMask = slotMask;
  armor.weightClass = weightClass;
  FillKeywords(armor.keywords, keywords);
  return armor;
}

PlainForm& Forms::AddForm(std::uint32_t id, std::uint8_t formType, const std::string& name) {
  auto& form = *plain_.emplace_back(std::make_unique<PlainForm>());
  std::memset(&form, kUnmodelledByte, sizeof form);
  Register(form.form, id, formType, form.fullName, name);
  return form;
}

FormHeader& Forms::Keyword(std::uint32_t id) {
  if (FormHeader* existing = Find(id)) {
    if (existing->formType != form_type::kKeyword) world_.Violation("form " + std::to_string(id) + " is not a keyword");
    return *existing;
  }
  return AddForm(id, form_type::kKeyword).form;
}

FormHeader* Forms::Find(std::uint32_t id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

std::string Forms::NameOf(const FormHeader* form) const {
  char id[16];
  if (form == nullptr) return "(none)";
  std::snprintf(id, sizeof id, "%08X", form->formId);
  const auto* named = reinterpret_cast<const PlainForm*>(form);
  const std::string name = named->fullName.text != nullptr ? named->fullName.text : "";
  return name.empty() ? std::string(id) : name + " [" + id + "]";
}

namespace {

FormHeader* FindFormById(std::uint32_t id) { return World::Active().Component<Forms>().Find(id); }
GD_REGISTER_STUB(&::gd::RuntimeOffsets::findFormById, FindFormById);

}  // namespace
}  // namespace gd
