// SPDX-License-Identifier: BSD-3-Clause
// Varints decoded and written inline.
#ifndef TARVESH_WIRE_VARINT_H
#define TARVESH_WIRE_VARINT_H

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "kernels/VarintScalar.h"
#include "wire/Runtime.h"

namespace Pb {
namespace wire {

// Decodes the varint at `p` inline: at most ten bytes, the value modulo 2^64
// (modulo 2^32 for a 32-bit field); null when all ten bytes carry the
// continuation bit. The caller makes sure the bytes up to the first
// terminating one, or ten bytes, can be read.
TARVESH_ALWAYS_INLINE const uint8_t* DecodeVarint(const uint8_t* p, uint64_t* value) {
  return kernels::DecodeVarint64(p, value);
}

// A varint at `target` (room for ten bytes is the caller's); returns the
// end. Forced inline: out of line, every field would pay a call and reload
// its message's members after it.
TARVESH_ALWAYS_INLINE uint8_t* PutVarint32(uint32_t value, uint8_t* target) {
  return kernels::WriteVarint(value, target);
}
// The low 28 bits of `value` as four varint bytes, each with its
// continuation bit: groups 2 and 3 move up two bits, then groups 1 and 3 one
// bit, each move an add of the masked groups to the value.
TARVESH_ALWAYS_INLINE uint32_t ContinuedVarintBytes28(uint64_t value) {
  const uint32_t low = static_cast<uint32_t>(value);
  uint32_t spread = (low & 0x3fffu) + ((low & 0xfffc000u) << 2);
  spread += spread & 0x3f803f80u;
  return spread | 0x80808080u;
}
// The low 56 bits as eight such bytes: groups 4 to 7 move up four bits
// first, then each half as above.
TARVESH_ALWAYS_INLINE uint64_t ContinuedVarintBytes56(uint64_t value) {
#if defined(__SSE2__) && defined(__x86_64__)
  // The same steps in a vector register, whose operations take the wide
  // masks from memory, where the general registers would load each first.
  const __m128i whole = _mm_cvtsi64_si128(static_cast<long long>(value));
  __m128i spread = _mm_or_si128(
      _mm_and_si128(whole, _mm_set1_epi64x(0xfffffff)),
      _mm_and_si128(_mm_slli_epi64(whole, 4), _mm_set1_epi64x(0x0fffffff00000000)));
  spread = _mm_or_si128(
      _mm_and_si128(spread, _mm_set1_epi64x(0x00003fff00003fff)),
      _mm_and_si128(_mm_slli_epi64(spread, 2), _mm_set1_epi64x(0x3fff00003fff0000)));
  spread = _mm_add_epi64(spread, _mm_and_si128(spread, _mm_set1_epi64x(0x3f803f803f803f80)));
  return static_cast<uint64_t>(_mm_cvtsi128_si64(
      _mm_or_si128(spread, _mm_set1_epi64x(static_cast<long long>(0x8080808080808080u)))));
#else
  uint64_t spread = (value & 0xfffffffu) + ((value & 0xfffffff0000000u) << 4);
  spread = (spread & 0x00003fff00003fffu) + ((spread & 0x0fffc0000fffc000u) << 2);
  spread += spread & 0x3f803f803f803f80u;
  return spread | 0x8080808080808080u;
#endif
}
// A 64-bit varint of five bytes or more (offsets, ticks, identifiers) is
// written eight or four bytes at a time, the rest (four at most) byte by
// byte: no store reaches past the varint's own bytes.
TARVESH_ALWAYS_INLINE uint8_t* PutVarint64(uint64_t value, uint8_t* target) {
  if (value >= (uint64_t{1} << 56)) {
    target = CodedOutputStream::WriteLittleEndian64ToArray(ContinuedVarintBytes56(value), target);
    value >>= 56;
  } else if (value >= (uint64_t{1} << 28)) {
    target = CodedOutputStream::WriteLittleEndian32ToArray(ContinuedVarintBytes28(value), target);
    value >>= 28;
  }
  return kernels::WriteVarint(value, target);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_VARINT_H
