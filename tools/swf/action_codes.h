#pragma once
// The AVM1 action codes the compiler writes; the structure checker accepts
// exactly these. Codes from 0x80 up carry a 16-bit length and data.
#include <cstdint>

namespace qm::swf::op {

inline constexpr std::uint8_t kEnd = 0x00;
inline constexpr std::uint8_t kSubtract = 0x0B;
inline constexpr std::uint8_t kMultiply = 0x0C;
inline constexpr std::uint8_t kDivide = 0x0D;
inline constexpr std::uint8_t kNot = 0x12;
inline constexpr std::uint8_t kPop = 0x17;
inline constexpr std::uint8_t kGetVariable = 0x1C;
inline constexpr std::uint8_t kSetVariable = 0x1D;
inline constexpr std::uint8_t kTrace = 0x26;
inline constexpr std::uint8_t kCallFunction = 0x3D;
inline constexpr std::uint8_t kReturn = 0x3E;
inline constexpr std::uint8_t kModulo = 0x3F;
inline constexpr std::uint8_t kNewObject = 0x40;
inline constexpr std::uint8_t kInitArray = 0x42;
inline constexpr std::uint8_t kInitObject = 0x43;
inline constexpr std::uint8_t kTypeOf = 0x44;
inline constexpr std::uint8_t kAdd2 = 0x47;
inline constexpr std::uint8_t kLess2 = 0x48;
inline constexpr std::uint8_t kEquals2 = 0x49;
inline constexpr std::uint8_t kPushDuplicate = 0x4C;
inline constexpr std::uint8_t kGetMember = 0x4E;
inline constexpr std::uint8_t kSetMember = 0x4F;
inline constexpr std::uint8_t kIncrement = 0x50;
inline constexpr std::uint8_t kDecrement = 0x51;
inline constexpr std::uint8_t kCallMethod = 0x52;
inline constexpr std::uint8_t kNewMethod = 0x53;
inline constexpr std::uint8_t kInstanceOf = 0x54;
inline constexpr std::uint8_t kBitAnd = 0x60;
inline constexpr std::uint8_t kBitOr = 0x61;
inline constexpr std::uint8_t kBitXor = 0x62;
inline constexpr std::uint8_t kBitLShift = 0x63;
inline constexpr std::uint8_t kBitRShift = 0x64;
inline constexpr std::uint8_t kStrictEquals = 0x66;
inline constexpr std::uint8_t kGreater = 0x67;
inline constexpr std::uint8_t kStoreRegister = 0x87;
inline constexpr std::uint8_t kConstantPool = 0x88;
inline constexpr std::uint8_t kDefineFunction2 = 0x8E;
inline constexpr std::uint8_t kPush = 0x96;
inline constexpr std::uint8_t kJump = 0x99;
// GetURL2 with flags 0 loads a movie into the level its target names (loadMovieNum).
inline constexpr std::uint8_t kGetUrl2 = 0x9A;
inline constexpr std::uint8_t kIf = 0x9D;

}  // namespace qm::swf::op
