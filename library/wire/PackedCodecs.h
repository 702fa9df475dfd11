// SPDX-License-Identifier: BSD-3-Clause
// Packed columns' element codecs, the varint kernels by element type, and
// the decoding of a packed varint payload held whole in memory, which both
// parsers use.
//
// A packed repeated scalar is written as one length-delimited record: tag,
// payload length (cached by ByteSize), then the elements back to back. It is
// written only when the column has elements. Readers take that form and the
// element form (one tag per element, wire type 0 for varints and 1 for
// fixed64) in any mix; both append.
#ifndef TARVESH_WIRE_PACKED_CODECS_H
#define TARVESH_WIRE_PACKED_CODECS_H

#include "kernels/VarintKernels.h"
#include "wire/ElementCounts.h"
#include "wire/Varint.h"

namespace Pb {
namespace wire {

// How a varint column's elements look on the wire.
struct SInt32Codec {
  using Type = int32_t;
  static uint32_t Encode(int32_t value) { return kernels::ToWire(value); }
  static int32_t Decode(uint32_t raw) { return kernels::FromWire<int32_t>(raw); }
};
struct UInt32Codec {
  using Type = uint32_t;
  static uint32_t Encode(uint32_t value) { return value; }
  static uint32_t Decode(uint32_t raw) { return raw; }
};

// The varint kernels by element type: the codecs above store sint32 as
// int32_t (ZigZag on the wire) and uint32 as uint32_t (plain).
inline const uint8_t* KernelDecode(const kernels::VarintKernel& kernel, const uint8_t* p,
                                   const uint8_t* end, uint32_t* out, size_t room,
                                   size_t* decoded) {
  return kernel.decode_plain(p, end, out, room, decoded);
}
inline const uint8_t* KernelDecode(const kernels::VarintKernel& kernel, const uint8_t* p,
                                   const uint8_t* end, int32_t* out, size_t room,
                                   size_t* decoded) {
  return kernel.decode_zigzag(p, end, out, room, decoded);
}
inline size_t KernelSize(const kernels::VarintKernel& kernel, const uint32_t* values, size_t n) {
  return kernel.size_plain(values, n);
}
inline size_t KernelSize(const kernels::VarintKernel& kernel, const int32_t* values, size_t n) {
  return kernel.size_zigzag(values, n);
}
inline uint8_t* KernelWrite(const kernels::VarintKernel& kernel, const uint32_t* values, size_t n,
                            uint8_t* out, uint8_t* out_end) {
  return kernel.write_plain(values, n, out, out_end);
}
inline uint8_t* KernelWrite(const kernels::VarintKernel& kernel, const int32_t* values, size_t n,
                            uint8_t* out, uint8_t* out_end) {
  return kernel.write_zigzag(values, n, out, out_end);
}

// Decodes a packed varint payload held whole in [ptr, end) whose last byte
// ends a varint, or an empty one. The varint kernel first fills the room
// the column already has (a reused message's column has room for a payload
// like its last one), so that most payloads need no count; what is left is
// counted by its last bytes, reserved once and decoded into the reserved
// room. Each element ends on one of the counted bytes, the last of which
// ends the payload, so no read goes past `end`. Null on a bad varint, which keeps the elements
// decoded before it, and on a run that would take the column past INT_MAX
// elements, which appends none.
template <class Codec>
inline const char* DecodeVarintRun(const char* ptr, const char* const end,
                                   gp::RepeatedField<typename Codec::Type>* column) {
  const kernels::VarintKernel& kernel = kernels::ActiveVarintKernel();
  const uint8_t* const p = reinterpret_cast<const uint8_t*>(ptr);
  const uint8_t* const stop = reinterpret_cast<const uint8_t*>(end);
  const int old_size = column->size();
  const uint8_t* rest = p;
  size_t decoded;
  if (const int room = column->Capacity() - old_size; room > 0) {
    rest = KernelDecode(kernel, p, stop, column->AddNAlreadyReserved(room),
                        static_cast<size_t>(room), &decoded);
    column->Truncate(old_size + static_cast<int>(decoded));
    if (rest == nullptr) {
      if (!CanGrowBy(old_size, kernel.count_ends(p, static_cast<size_t>(stop - p)))) {
        column->Truncate(old_size);
      }
      return nullptr;
    }
    if (rest == stop) return end;
  }
  const size_t count = kernel.count_ends(rest, static_cast<size_t>(stop - rest));
  const int size = column->size();
  if (!CanGrowBy(size, count)) {
    column->Truncate(old_size);
    return nullptr;
  }
  column->Reserve(size + static_cast<int>(count));
  if (KernelDecode(kernel, rest, stop, column->AddNAlreadyReserved(static_cast<int>(count)), count,
                   &decoded) == nullptr) {
    column->Truncate(size + static_cast<int>(decoded));
    return nullptr;
  }
  return end;
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_PACKED_CODECS_H
