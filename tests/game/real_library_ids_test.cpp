// The plug-in's Address Library ids against the two real library files: every
// id must lead, through the plug-in's own reader, to the offset the script
// extender's release for that runtime names (skse64 v2.0.20 for 1.5.97,
// v2.1.5 for 1.6.353; file:line of both beside each row, under skse64/). The
// expected offsets are written here from skse64, not from the ids' table, so
// a wrong id on either side fails.
#include "game/address_library.h"
#include "game/game_constants.h"
#include "game/game_ids.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace ids = qm::game::ids;
using qm::game::kExtraHealth;
using qm::game::kExtraInventoryChanges;
using qm::game::kExtraPoison;
using qm::game::kExtraReferenceMarker;
using qm::game::kExtraWorn;
using qm::game::kExtraWornLeft;

struct Named {
  const char* binding;
  ids::LibraryId id;
  std::uint64_t offset1597;   // skse64 v2.0.20
  std::uint64_t offset16353;  // skse64 v2.1.5
};

// skse64 file:line, v2.0.20 / v2.1.5.
const Named kNamed[] = {
    {"PostMenuMessage", ids::PostMenuMessage, 0x1652D0, 0x16EC10},            // GameMenus.h:843 / :844
    {"ScriptEventSources", ids::ScriptEventSources, 0x186790, 0x194100},      // GameEvents.cpp:4 / :4
    {"FindFormById", ids::FindFormById, 0x194230, 0x19F050},                  // GameForms.cpp:4 / :4
    {"EntryDisplayName", ids::EntryDisplayName, 0x1D73C0, 0x1E2B70},          // GameExtraData.h:70 / :70
    {"DetachSink", ids::DetachSink, 0x423B70, 0x43C400},                      // GameEvents.h:45 / :45
    {"AttachSink", ids::AttachSink, 0x56B600, 0x587E20},                      // GameEvents.h:43 / :43
    {"ActorLevel", ids::ActorLevel, 0x5D62E0, 0x5FB9B0},                      // GameReferences.h:557 / :558
    {"RefreshAfterRemoval", ids::RefreshAfterRemoval, 0x650DF0, 0x6787D0},    // GameFormComponents.h:1300 / :1300
    {"GameHeapAlloc", ids::GameHeapAlloc, 0xC02260, 0xC27D60},                // GameAPI.h:11 / :11
    {"GameHeapRelease", ids::GameHeapRelease, 0xC02560, 0xC281B0},            // GameAPI.h:12 / :12
    {"HashInternedKey", ids::HashInternedKey, 0xC06570, 0xC2C0F0},            // GameUtilities.cpp:3 / :3
    {"InternString", ids::InternString, 0xC28BF0, 0xC4F780},                  // GameTypes.h:130 / :130
    {"MenuOpenQuery", ids::MenuOpenQuery, 0xEBE150, 0xF05300},                // GameMenus.h:1100 / :1094
    {"RegisterMenuFactory", ids::RegisterMenuFactory, 0xEBF9C0, 0xF06FD0},    // GameMenus.h:1101 / :1095
    {"MovieValueRetain", ids::MovieValueRetain, 0xECB080, 0xF0E500},          // ScaleformValue.h:147 / :147
    {"MovieValueDrop", ids::MovieValueDrop, 0xECB0E0, 0xF0E560},              // ScaleformValue.h:148 / :148
    {"MovieArrayAppend", ids::MovieArrayAppend, 0xECB300, 0xF0E780},          // ScaleformValue.h:135 / :135
    {"MenuBaseDestroy", ids::MenuBaseDestroy, 0xECD7F0, 0xF10B10},            // GameMenus.h:104 / :104
    {"MenuBaseSlot5", ids::MenuBaseSlot5, 0xECD8A0, 0xF10BC0},                // GameMenus.h:102 / :102
    {"MenuBaseSlot8", ids::MenuBaseSlot8, 0xECD970, 0xF10E30},                // GameMenus.h:101 / :101
    {"AttachMovieToMenu", ids::AttachMovieToMenu, 0xECE790, 0xF11C60},        // ScaleformLoader.h:40 / :39
    {"CastRuntimeType", ids::CastRuntimeType, 0x134BDB0, 0x147854A},          // GameRTTI.cpp:5 / :6
    {"HealthExtraDispatch", ids::HealthExtraDispatch, 0x152C060, 0x1624A50},  // GameExtraData.cpp:9 / :9
    {"TypeFormBase", ids::TypeFormBase, 0x1E10E30, 0x1EA7B50},                // GameRTTI.inl:245 / :245
    {"TypeFullName", ids::TypeFullName, 0x1E10F00, 0x1EA7C20},                // GameRTTI.inl:8 / :8
    {"TypeExtraDataBase", ids::TypeExtraDataBase, 0x1E12060, 0x1EA8CE0},      // GameRTTI.inl:29 / :29
    {"TypeInputEvent", ids::TypeInputEvent, 0x1E43830, 0x1EDAE18},            // GameRTTI.inl:1149 / :1151
    {"TypeButtonEvent", ids::TypeButtonEvent, 0x1E43858, 0x1EDAE40},          // GameRTTI.inl:1150 / :1152
    {"GameHeap", ids::GameHeap, 0x1EBD280, 0x1F58C00},                        // GameAPI.cpp:4 / :4
    {"DataHandler", ids::DataHandler, 0x1EBE428, 0x1F59DA8},                  // GameData.cpp:7 / :7
    {"MenuManager", ids::MenuManager, 0x1EBEB20, 0x1F5A4A0},                  // GameMenus.h:1108 / :1102
    {"MenuMessageQueue", ids::MenuMessageQueue, 0x1EC0A70, 0x1F5C3F0},        // GameMenus.h:849 / :850
    {"InterfaceStrings", ids::InterfaceStrings, 0x1EC0A78, 0x1F5C3F8},        // GameMenus.h:946 / :947
    {"MovieManager", ids::MovieManager, 0x2F257A0, 0x2FC0DB8},                // ScaleformLoader.cpp:8 / :8
    {"InputEventSource", ids::InputEventSource, 0x2F257A8, 0x2FC0DC0},        // GameInput.cpp:11 / :11
    {"Player", ids::Player, 0x2F26EF8, 0x2FC2B68},                            // GameAPI.cpp:16 / :16
    {"MovieHeap", ids::MovieHeap, 0x3032C50, 0x30CD880},                      // ScaleformAPI.cpp:22 / :22
    {"ExtraContainerChanges", ids::ExtraTypeDescriptor(kExtraInventoryChanges), 0x1E13C70,
     0x1EAA8F0},                                                                        // GameRTTI.inl:171 / :171
    {"ExtraWorn", ids::ExtraTypeDescriptor(kExtraWorn), 0x1E12260, 0x1EA8EE0},          // GameRTTI.inl:41 / :41
    {"ExtraWornLeft", ids::ExtraTypeDescriptor(kExtraWornLeft), 0x1E12280, 0x1EA8F00},  // GameRTTI.inl:42 / :42
    {"ExtraHealth", ids::ExtraTypeDescriptor(kExtraHealth), 0x1E122F8, 0x1EA8F78},      // GameRTTI.inl:45 / :45
    {"ExtraPoison", ids::ExtraTypeDescriptor(kExtraPoison), 0x1E12588, 0x1EA9208},      // GameRTTI.inl:60 / :60
    {"ExtraLocationRefType", ids::ExtraTypeDescriptor(kExtraReferenceMarker), 0x1E12FE0,
     0x1EA9C60},  // GameRTTI.inl:119 / :119
};

// Above every offset either file holds (the highest are 0x35F3830 and
// 0x3680830).
constexpr std::uint64_t kImageBound = 0x4000000;

std::vector<std::uint8_t> ReadFixture(const char* name) {
  std::ifstream in(std::string(QM_ADDRESS_LIBRARY_FIXTURES) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Resolved {
  qm::game::LibraryOutcome outcome;
  std::vector<std::uint64_t> offsets;
};

Resolved Resolve(const std::vector<std::uint8_t>& file, std::uint32_t format, std::uint32_t minor, std::uint32_t build,
                 const std::vector<std::uint64_t>& wanted) {
  Resolved r{{}, std::vector<std::uint64_t>(wanted.size(), 0)};
  const qm::game::LibraryRequest request{format,        {1, minor, build, 0}, kImageBound,
                                         wanted.data(), wanted.size(),        r.offsets.data()};
  r.outcome = qm::game::ResolveAddressLibraryIds(file.data(), file.size(), request);
  return r;
}

TEST(RealLibraryIds, SpecialEditionIdsLeadToTheOffsetsSkse64NamesFor1_5_97) {
  const std::vector<std::uint8_t> file = ReadFixture("version-1-5-97-0.bin");
  ASSERT_FALSE(file.empty());
  std::vector<std::uint64_t> wanted;
  for (const Named& n : kNamed) wanted.push_back(n.id.se);
  const Resolved r = Resolve(file, 1, 5, 97, wanted);
  ASSERT_EQ(r.outcome.fault, qm::game::LibraryFault::kNone) << "id " << r.outcome.id;
  for (std::size_t i = 0; i < std::size(kNamed); ++i) {
    EXPECT_EQ(r.offsets[i], kNamed[i].offset1597) << kNamed[i].binding << " (id " << kNamed[i].id.se << ")";
  }
}

TEST(RealLibraryIds, AnniversaryIdsLeadToTheOffsetsSkse64NamesFor1_6_353) {
  const std::vector<std::uint8_t> file = ReadFixture("versionlib-1-6-353-0.bin");
  ASSERT_FALSE(file.empty());
  std::vector<std::uint64_t> wanted;
  for (const Named& n : kNamed) wanted.push_back(n.id.ae);
  const Resolved r = Resolve(file, 2, 6, 353, wanted);
  ASSERT_EQ(r.outcome.fault, qm::game::LibraryFault::kNone) << "id " << r.outcome.id;
  for (std::size_t i = 0; i < std::size(kNamed); ++i) {
    EXPECT_EQ(r.offsets[i], kNamed[i].offset16353) << kNamed[i].binding << " (id " << kNamed[i].id.ae << ")";
  }
}

// The functions and the datum skse64 does not name: on 1.5.97 each lies where
// its 1.5.39 offset lands once the shift of its named neighbours between the
// two releases is taken off (skse64 2.0.7 against v2.0.20), and Papyrus's
// notification where public naming tables put it; the Anniversary ids, named
// by CommonLibSSE-NG, must at least be in the 1.6.353 file.
TEST(RealLibraryIds, IdsSkse64DoesNotNameAreTheShiftedFunctionsAndExist) {
  struct Unnamed {
    const char* binding;
    ids::LibraryId id;
    std::uint64_t offset1597;
  };
  const Unnamed unnamed[] = {
      {"StackCountOf", ids::StackCountOf, 0x113930 - 0x180},
      {"ExtraListUnbreakable", ids::ExtraListUnbreakable, 0x1267D0 - 0x180},
      {"ReferenceOwner", ids::ReferenceOwner, 0x2A68D0 - 0x260},
      {"World", ids::World, 0x2F4DB20 - 0x27000},
      {"DebugNotification", ids::DebugNotification, 0x8DA3D0},
  };
  std::vector<std::uint64_t> se;
  std::vector<std::uint64_t> ae;
  for (const Unnamed& u : unnamed) {
    se.push_back(u.id.se);
    ae.push_back(u.id.ae);
  }
  const Resolved special = Resolve(ReadFixture("version-1-5-97-0.bin"), 1, 5, 97, se);
  ASSERT_EQ(special.outcome.fault, qm::game::LibraryFault::kNone) << "id " << special.outcome.id;
  for (std::size_t i = 0; i < std::size(unnamed); ++i) {
    EXPECT_EQ(special.offsets[i], unnamed[i].offset1597) << unnamed[i].binding;
  }
  const Resolved anniversary = Resolve(ReadFixture("versionlib-1-6-353-0.bin"), 2, 6, 353, ae);
  EXPECT_EQ(anniversary.outcome.fault, qm::game::LibraryFault::kNone) << "id " << anniversary.outcome.id;
}

}  // namespace
