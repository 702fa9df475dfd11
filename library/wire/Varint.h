// SPDX-License-Identifier: BSD-3-Clause
// Varints decoded and written inline.
#ifndef TARVESH_WIRE_VARINT_H
#define TARVESH_WIRE_VARINT_H

#include "kernels/VarintScalar.h"
#include "wire/Runtime.h"

namespace Pb {
namespace wire {

// Decodes the varint at `p` inline: at most ten bytes, the value modulo 2^64
// (modulo 2^32 for a 32-bit field); null when all ten bytes carry the
// continuation bit. The caller makes sure the bytes up to the first
// terminating one, or ten bytes, can be read.
inline const uint8_t* DecodeVarint(const uint8_t* p, uint64_t* value) {
  return kernels::DecodeVarint64(p, value);
}

inline uint8_t* PutVarint32(uint32_t value, uint8_t* target) {
  return CodedOutputStream::WriteVarint32ToArray(value, target);
}
inline uint8_t* PutVarint64(uint64_t value, uint8_t* target) {
  return CodedOutputStream::WriteVarint64ToArray(value, target);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_VARINT_H
