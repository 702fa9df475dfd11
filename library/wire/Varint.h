// Varints decoded and written inline.
#ifndef TARVESH_WIRE_VARINT_H
#define TARVESH_WIRE_VARINT_H

#include "wire/Runtime.h"

namespace Pb {
namespace wire {

// Decodes the varint at `p` inline, taking what the runtime's out-of-line
// readers take: at most ten bytes, the value modulo 2^64 (modulo 2^32 for a
// 32-bit field); null when all ten bytes carry the continuation bit. The
// caller makes sure the bytes up to the first terminating one, or ten
// bytes, can be read.
//
// Each byte is added whole, continuation bit included, and the next byte
// adds its value less one at the position of that bit, which cancels it:
// one subtraction, shift and add a byte instead of a mask as well. Unrolled,
// so that every shift is a constant.
TARVESH_ALWAYS_INLINE const uint8_t* DecodeVarint(const uint8_t* p, uint64_t* value) {
  uint64_t result = p[0];
  if (result < 0x80) {
    *value = result;
    return p + 1;
  }
#pragma GCC unroll 9
  for (int i = 1; i < 10; ++i) {
    const uint64_t byte = p[i];
    result += (byte - 1) << (7 * i);
    if (byte < 0x80) {
      *value = result;
      return p + i + 1;
    }
  }
  return nullptr;
}

// Writes `value` as a varint at `target` (room for ten bytes is the
// caller's), seven bits a byte, low bits first; returns the end. Forced
// inline: out of line, every field would pay a call and reload its
// message's members after it.
template <class Unsigned>
TARVESH_ALWAYS_INLINE uint8_t* PutVarint(Unsigned value, uint8_t* target) {
  while (value >= 0x80) {
    *target++ = static_cast<uint8_t>(value | 0x80);
    value >>= 7;
  }
  *target++ = static_cast<uint8_t>(value);
  return target;
}
TARVESH_ALWAYS_INLINE uint8_t* PutVarint32(uint32_t value, uint8_t* target) {
  return PutVarint(value, target);
}
TARVESH_ALWAYS_INLINE uint8_t* PutVarint64(uint64_t value, uint8_t* target) {
  return PutVarint(value, target);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_VARINT_H
