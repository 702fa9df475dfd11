// SPDX-License-Identifier: BSD-3-Clause
// Packed columns read from a ParseContext, in either form.
#ifndef TARVESH_WIRE_PACKED_CONTEXT_PARSING_H
#define TARVESH_WIRE_PACKED_CONTEXT_PARSING_H

#include "wire/ContextParsing.h"
#include "wire/PackedCodecs.h"

namespace Pb {
namespace wire {

// A packed varint record. A payload inside the current buffer and limit that
// ends on a varint's last byte is counted, reserved once and decoded in
// place, as from a CodedInputStream; any other goes through the context's
// own packed reader, which crosses buffer seams.
template <class Codec>
inline const char* ParsePackedVarints(ParseContext* ctx, const char* ptr,
                                      gp::RepeatedField<typename Codec::Type>* column) {
  const char* record = ptr;
  const int length = static_cast<int>(gpi::ReadSize(&ptr));
  if (ptr == nullptr) return nullptr;
  if (length > 0 && length <= ctx->BytesUntilLimit(ptr) &&
      ctx->DataAvailable(AddressAt(ptr, length - 1)) &&
      static_cast<uint8_t>(ptr[length - 1]) < 0x80) {
    return DecodeVarintRun<Codec>(ptr, ptr + length, column);
  }
  bool full = false;
  ptr = ctx->ReadPackedVarint(record, [column, &full](uint64_t raw) {
    if (CanGrowBy(column->size(), 1)) {
      column->Add(Codec::Decode(static_cast<uint32_t>(raw)));
    } else {
      full = true;
    }
  });
  return full ? nullptr : ptr;
}

// One element in element form, then further elements while the next byte,
// still inside the limit, is the same tag.
template <class Codec>
inline const char* ParseVarintElements(ParseContext* ctx, const char* ptr, uint8_t tag,
                                       gp::RepeatedField<typename Codec::Type>* column) {
  for (;;) {
    uint32_t raw;
    ptr = gpi::VarintParse(ptr, &raw);
    if (ptr == nullptr || !CanGrowBy(column->size(), 1)) return nullptr;
    column->Add(Codec::Decode(raw));
    if (!ctx->DataAvailable(ptr) || static_cast<uint8_t>(*ptr) != tag) return ptr;
    ++ptr;
  }
}

inline const char* ParsePackedFixed64s(ParseContext* ctx, const char* ptr,
                                       gp::RepeatedField<uint64_t>* column) {
  const int length = static_cast<int>(gpi::ReadSize(&ptr));
  if (ptr == nullptr || !CanGrowBy(column->size(), static_cast<size_t>(length / 8))) {
    return nullptr;
  }
  if (length == 0) return ptr;
  // The context's reader copies each run into the column's array, also a run
  // of no elements; an empty column has no array to name yet.
  if (column->Capacity() == 0) column->Reserve(1);
  return ctx->ReadPackedFixed(ptr, length, column);
}

// One element in element form, then further elements while the next byte,
// still inside the limit, is the same tag. (The context's own reader of this
// form adds elements with no check of the count.)
inline const char* ParseFixed64Elements(ParseContext* ctx, const char* ptr, uint8_t tag,
                                        gp::RepeatedField<uint64_t>* column) {
  for (;;) {
    if (!CanGrowBy(column->size(), 1)) return nullptr;
    uint64_t value;
    ptr = ParseFixed64(ptr, &value);
    column->Add(value);
    if (!ctx->DataAvailable(ptr) || static_cast<uint8_t>(*ptr) != tag) return ptr;
    ++ptr;
  }
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_PACKED_CONTEXT_PARSING_H
