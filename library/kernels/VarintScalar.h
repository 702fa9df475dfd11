// SPDX-License-Identifier: BSD-3-Clause
// The scalar steps all kernels share, inline: one varint decoded, sized or
// written, and the loops the scalar kernel is made of. A vector kernel hands
// the parts it does not take (the ends of a payload, long values) to these.
#ifndef TARVESH_KERNELS_VARINT_SCALAR_H
#define TARVESH_KERNELS_VARINT_SCALAR_H

#include "kernels/VarintKernels.h"
#include "kernels/VarintPlatform.h"

namespace Pb {
namespace kernels {

// Wire form of an element and back; the ZigZag form maps 0, -1, 1, -2, ...
// to 0, 1, 2, 3, ...
inline std::uint32_t ToWire(std::uint32_t value) { return value; }
inline std::uint32_t ToWire(std::int32_t value) {
  return (static_cast<std::uint32_t>(value) << 1) ^ static_cast<std::uint32_t>(value >> 31);
}
template <class T>
inline T FromWire(std::uint32_t raw);
template <>
inline std::uint32_t FromWire<std::uint32_t>(std::uint32_t raw) { return raw; }
template <>
inline std::int32_t FromWire<std::int32_t>(std::uint32_t raw) {
  return static_cast<std::int32_t>((raw >> 1) ^ (0u - (raw & 1)));
}

// One varint, the library's one decoder: at most ten bytes, the value modulo
// 2^64 (what the runtime's readers take); null when all ten carry the
// continuation bit. Reads only up to the terminating byte, so the caller
// makes sure those bytes, or ten, can be read.
//
// Each byte is added whole, continuation bit included, and the next byte
// adds its value less one at that bit's position, which cancels it: a
// subtraction instead of a mask per byte. Unrolled, so every shift is a
// constant.
inline const std::uint8_t* DecodeVarint64(const std::uint8_t* p, std::uint64_t* value) {
  std::uint64_t result = p[0];
  if (result < 0x80) {
    *value = result;
    return p + 1;
  }
#pragma GCC unroll 9
  for (int i = 1; i < 10; ++i) {
    const std::uint64_t byte = p[i];
    result += (byte - 1) << (7 * i);
    if (byte < 0x80) {
      *value = result;
      return p + i + 1;
    }
  }
  return nullptr;
}

// The same for a 32-bit element: the value modulo 2^32.
inline const std::uint8_t* DecodeOneVarint(const std::uint8_t* p, std::uint32_t* value) {
  std::uint64_t wide;
  p = DecodeVarint64(p, &wide);
  if (p != nullptr) *value = static_cast<std::uint32_t>(wide);
  return p;
}

// Without branches, which mispredict on columns of mixed lengths; a loop of
// these compiles to plain SSE2 compares.
inline std::size_t VarintSize(std::uint32_t value) {
  return 1 + (value >= (1u << 7)) + (value >= (1u << 14)) + (value >= (1u << 21)) +
         (value >= (1u << 28));
}

// One varint, seven bits a byte, low bits first, at `out` (room for its
// size is the caller's); returns the end. The library's one varint writer.
template <class Unsigned>
TARVESH_KERNELS_ALWAYS_INLINE std::uint8_t* WriteVarint(Unsigned value, std::uint8_t* out) {
  while (value >= 0x80) {
    *out++ = static_cast<std::uint8_t>(value | 0x80);
    value >>= 7;
  }
  *out++ = static_cast<std::uint8_t>(value);
  return out;
}

// Decodes the varints from p up to end, or up to the first that ends at or
// past stop (stop <= end), appending at out[*n] while *n < room. Returns
// where it stopped; null on a bad varint.
template <class T>
inline const std::uint8_t* DecodeVarintsUntil(const std::uint8_t* p, const std::uint8_t* stop,
                                              T* out, std::size_t* n, std::size_t room) {
  while (p < stop && *n < room) {
    std::uint32_t raw;
    p = DecodeOneVarint(p, &raw);
    if (p == nullptr) return nullptr;
    out[(*n)++] = FromWire<T>(raw);
  }
  return p;
}

template <class T>
inline std::size_t VarintsSize(const T* values, std::size_t n) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < n; ++i) total += VarintSize(ToWire(values[i]));
  return total;
}

template <class T>
inline std::uint8_t* WriteVarints(const T* values, std::size_t n, std::uint8_t* out) {
  for (std::size_t i = 0; i < n; ++i) out = WriteVarint(ToWire(values[i]), out);
  return out;
}

// Where the varint holding the byte before q starts: q itself when that byte
// ends a varint (or q is the payload's start).
inline const std::uint8_t* VarintStart(const std::uint8_t* begin, const std::uint8_t* q) {
  while (q > begin && q[-1] >= 0x80) --q;
  return q;
}

// The bytes of a 64-byte block (bit i: byte i) that carry a continuation bit
// after three more that do: set where a varint of five bytes or more runs.
// `previous` is the continuation bits of the 64 bytes before the block.
inline std::uint64_t LongVarintBytes(std::uint64_t continued, std::uint64_t previous) {
  return continued & ((continued << 1) | (previous >> 63)) &
         ((continued << 2) | (previous >> 62)) & ((continued << 3) | (previous >> 61));
}

inline std::size_t CountEnds(const std::uint8_t* p, std::size_t size) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < size; ++i) count += p[i] < 0x80;
  return count;
}

// Where a vector kernel reports the elements its vector steps take (for
// count_ends: the bytes). The kernels the library runs report to Untraced,
// which compiles to nothing; their counting twins, which only the tests run,
// add the steps up in counted_vector_steps.
struct Untraced {
  static void VectorSteps(std::size_t) {}
};
extern std::size_t counted_vector_steps;
struct CountVectorSteps {
  static void VectorSteps(std::size_t n) { counted_vector_steps += n; }
};

}  // namespace kernels
}  // namespace Pb

#endif  // TARVESH_KERNELS_VARINT_SCALAR_H
