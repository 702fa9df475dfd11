// SPDX-License-Identifier: BSD-3-Clause
// Packed columns' payload sizes and writers.
#ifndef TARVESH_WIRE_PACKED_WRITING_H
#define TARVESH_WIRE_PACKED_WRITING_H

#include <type_traits>

#include "wire/PackedCodecs.h"
#include "wire/Writing.h"

namespace Pb {
namespace wire {

// Payload bytes of a packed record.
template <class Codec>
inline size_t PackedVarintPayload(const gp::RepeatedField<typename Codec::Type>& column) {
  if (column.empty()) return 0;
  return KernelSize(kernels::ActiveVarintKernel(), column.data(),
                    static_cast<size_t>(column.size()));
}
inline size_t PackedFixed64Payload(const gp::RepeatedField<uint64_t>& column) {
  return 8 * static_cast<size_t>(column.size());
}

// The whole record: nothing at all for an empty column.
inline size_t PackedRecordSize(size_t payload) {
  return payload == 0 ? 0
                      : 1 + CodedOutputStream::VarintSize32(static_cast<uint32_t>(payload)) +
                            payload;
}

// Into a flat array the kernel writes the payload in place, bounded by its
// cached size; into a stream it writes batches into a local buffer, each
// handed over whole.
template <class Codec, class Output>
inline uint8_t* WritePackedVarints(const Output& out, uint8_t tag,
                                   const gp::RepeatedField<typename Codec::Type>& column,
                                   int payload, uint8_t* target) {
  if (column.empty()) return target;
  target = out.Ensure(target);
  *target++ = tag;
  target = PutVarint32(static_cast<uint32_t>(payload), target);
  const kernels::VarintKernel& kernel = kernels::ActiveVarintKernel();
  const typename Codec::Type* values = column.data();
  size_t left = static_cast<size_t>(column.size());
  if constexpr (std::is_same_v<Output, ArrayOutput>) {
    return KernelWrite(kernel, values, left, target, target + payload);
  } else {
    constexpr size_t kBatch = 1024;
    uint8_t buffer[kBatch * 5];
    while (left > 0) {
      const size_t batch = left < kBatch ? left : kBatch;
      const uint8_t* end = KernelWrite(kernel, values, batch, buffer, buffer + sizeof(buffer));
      target = out.Raw(buffer, static_cast<size_t>(end - buffer), target);
      values += batch;
      left -= batch;
    }
    return target;
  }
}

// On a little-endian host the column's memory is its payload.
template <class Output>
inline uint8_t* WritePackedFixed64s(const Output& out, uint8_t tag,
                                    const gp::RepeatedField<uint64_t>& column, int payload,
                                    uint8_t* target) {
  if (column.empty()) return target;
  target = out.Ensure(target);
  *target++ = tag;
  target = PutVarint32(static_cast<uint32_t>(payload), target);
  if (kLittleEndianHost) {
    return out.Raw(column.data(), PackedFixed64Payload(column), target);
  }
  for (const uint64_t value : column) {
    target = out.Ensure(target);
    target = CodedOutputStream::WriteLittleEndian64ToArray(value, target);
  }
  return target;
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_PACKED_WRITING_H
