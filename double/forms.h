#pragma once
// The game's records that the engine reads: weapons, armour, keywords,
// containers and the plain forms it only compares (memberships, markers).
// Layouts of runtime 1.5.39, asserted on every field the plug-in relies on.
#include "world.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace gd {

namespace form_type {
constexpr std::uint8_t kKeyword = 0x04;
constexpr std::uint8_t kFaction = 0x0B;
constexpr std::uint8_t kSpell = 0x16;
constexpr std::uint8_t kArmor = 0x1A;
constexpr std::uint8_t kContainer = 0x1C;
constexpr std::uint8_t kWeapon = 0x29;
constexpr std::uint8_t kAlchemy = 0x2E;
constexpr std::uint8_t kNpc = 0x2B;
constexpr std::uint8_t kReference = 0x3D;
constexpr std::uint8_t kActor = 0x3E;
constexpr std::uint8_t kLocationRefType = 0x5F;
}  // namespace form_type

// The bytes of a record the double does not model hold this filler, not
// zeros: in the game they hold the record's other data, so code that reads a
// field of the wrong kind of record sees every flag set rather than a quiet
// zero, and a pointer read from there faults.
inline constexpr unsigned char kUnmodelledByte = 0xFF;

struct FormHeader {
  const void* vtbl;          // 0x00
  std::uint8_t pad08[0x0C];  // 0x08
  std::uint32_t formId;      // 0x14
  std::uint8_t pad18[2];     // 0x18
  std::uint8_t formType;     // 0x1A
  std::uint8_t pad1B[5];     // 0x1B
};
static_assert(offsetof(FormHeader, formId) == 0x14);
static_assert(offsetof(FormHeader, formType) == 0x1A);
static_assert(sizeof(FormHeader) == 0x20);

// A keyword list embedded in a record: slot 4 answers whether it holds a
// keyword form (one-byte bool).
struct KeywordListObj;
struct KeywordListVtbl {
  void* slots0to3[4];
  bool (*holdsKeyword)(const KeywordListObj* self, const FormHeader* keyword);  // slot 4
};
static_assert(offsetof(KeywordListVtbl, holdsKeyword) == 4 * 8);
struct KeywordListObj {
  const KeywordListVtbl* vtbl;  // 0x00
  FormHeader** keywords;        // 0x08
  std::uint32_t count;          // 0x10
  std::uint32_t pad14;          // 0x14
};
static_assert(offsetof(KeywordListObj, keywords) == 0x08 && sizeof(KeywordListObj) == 0x18);

// The full-name component of a record: slot 5 returns the name.
struct FullNameObj;
struct FullNameVtbl {
  void* slots0to4[5];
  const char* (*name)(const FullNameObj* self);  // slot 5
};
static_assert(offsetof(FullNameVtbl, name) == 5 * 8);
struct FullNameObj {
  const FullNameVtbl* vtbl;  // 0x00
  const char* text;          // 0x08: pooled string
};
static_assert(sizeof(FullNameObj) == 0x10);

struct WeaponForm {
  FormHeader form;            // 0x00
  std::uint8_t pad20[0x10];   // 0x20
  FullNameObj fullName;       // 0x30
  std::uint8_t pad40[0x100];  // 0x40
  KeywordListObj keywords;    // 0x140
  std::uint8_t pad158[0x40];  // 0x158
  std::uint16_t weaponFlags;  // 0x198: 0x2000 excluded from durability
  std::uint8_t pad19A[3];     // 0x19A
  std::uint8_t weaponType;    // 0x19D: 8 staff
  std::uint8_t pad19E[0x82];  // 0x19E
};
static_assert(offsetof(WeaponForm, fullName) == 0x30);
static_assert(offsetof(WeaponForm, keywords) == 0x140);
static_assert(offsetof(WeaponForm, weaponFlags) == 0x198);
static_assert(offsetof(WeaponForm, weaponType) == 0x19D);
static_assert(sizeof(WeaponForm) == 0x220);

struct ArmorForm {
  FormHeader form;            // 0x00
  std::uint8_t pad20[0x10];   // 0x20
  FullNameObj fullName;       // 0x30
  std::uint8_t pad40[0x178];  // 0x40
  std::uint32_t slotMask;     // 0x1B8: body slots
  std::uint32_t weightClass;  // 0x1BC: 0 light, 1 heavy, other neither
  std::uint8_t pad1C0[0x18];  // 0x1C0
  KeywordListObj keywords;    // 0x1D8
  std::uint8_t pad1F0[0x38];  // 0x1F0
};
static_assert(offsetof(ArmorForm, fullName) == 0x30);
static_assert(offsetof(ArmorForm, slotMask) == 0x1B8);
static_assert(offsetof(ArmorForm, weightClass) == 0x1BC);
static_assert(offsetof(ArmorForm, keywords) == 0x1D8);
static_assert(sizeof(ArmorForm) == 0x228);

// Every other record the engine only looks up and compares (keywords,
// factions, location markers, containers, potions, spells, actor bases).
struct PlainForm {
  FormHeader form;            // 0x00
  std::uint8_t pad20[0x10];   // 0x20
  FullNameObj fullName;       // 0x30
  std::uint8_t pad40[0x1F8];  // 0x40: as large as the largest record the plug-in reads
};
static_assert(offsetof(PlainForm, fullName) == 0x30);
static_assert(sizeof(PlainForm) >= sizeof(WeaponForm) && sizeof(PlainForm) >= sizeof(ArmorForm));

class Forms : public WorldComponent {
 public:
  explicit Forms(World& world);

  // Keyword forms named by id are made on demand (type 0x04).
  WeaponForm& AddWeapon(std::uint32_t id, const std::string& name, std::uint8_t weaponType, std::uint16_t flags = 0,
                        const std::vector<std::uint32_t>& keywords = {});
  ArmorForm& AddArmor(std::uint32_t id, const std::string& name, std::uint32_t slotMask, std::uint32_t weightClass,
                      const std::vector<std::uint32_t>& keywords = {});
  PlainForm& AddForm(std::uint32_t id, std::uint8_t formType, const std::string& name = "");
  FormHeader& Keyword(std::uint32_t id);

  // The game's look-up; null when no record has the id.
  FormHeader* Find(std::uint32_t id) const;
  std::string NameOf(const FormHeader* form) const;
  // Form ids are unique: a second record with one id is a broken world.
  bool Exists(std::uint32_t id) const { return Find(id) != nullptr; }
  // Whether a pointer is one of the world's records (no read through it).
  bool IsForm(const void* pointer) const { return pointers_.count(pointer) != 0; }

 private:
  void Register(FormHeader& form, std::uint32_t id, std::uint8_t type, FullNameObj& fullName, const std::string& name);
  void FillKeywords(KeywordListObj& list, const std::vector<std::uint32_t>& keywords);

  World& world_;
  std::deque<std::unique_ptr<WeaponForm>> weapons_;
  std::deque<std::unique_ptr<ArmorForm>> armor_;
  std::deque<std::unique_ptr<PlainForm>> plain_;
  std::deque<std::vector<FormHeader*>> keywordArrays_;
  std::unordered_map<std::uint32_t, FormHeader*> byId_;
  std::unordered_set<const void*> pointers_;
};

bool IsWeapon(const FormHeader* form);
bool IsArmor(const FormHeader* form);
inline WeaponForm* AsWeapon(FormHeader* form) { return IsWeapon(form) ? reinterpret_cast<WeaponForm*>(form) : nullptr; }
inline ArmorForm* AsArmor(FormHeader* form) { return IsArmor(form) ? reinterpret_cast<ArmorForm*>(form) : nullptr; }

}  // namespace gd
