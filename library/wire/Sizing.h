// SPDX-License-Identifier: BSD-3-Clause
// Sizes of fields: varint fields with their one-byte tags, nested elements
// and the unknown-field tail.
#ifndef TARVESH_WIRE_SIZING_H
#define TARVESH_WIRE_SIZING_H

#include <google/protobuf/generated_message_util.h>

#include "wire/Runtime.h"
#include "wire/Varint.h"

namespace Pb {
namespace wire {

// A one-byte tag and the varint of `value`, by the index of the value's
// highest set bit: a varint holds seven bits a byte. A table of 64-bit
// entries, so that a field's size is a load, an or, a bit scan and an add
// from memory.
inline constexpr struct TaggedVarintSizes {
  uint64_t by_log2[64];
  constexpr TaggedVarintSizes() : by_log2() { for (int i = 0; i < 64; ++i) by_log2[i] = 2 + i / 7; }
} kTaggedVarintSizes;

// The index of the highest set bit of a value that is not zero. On x86-64
// the scan's 64-bit result indexes the table as it is; from the builtin the
// compiler extends it again before every load.
TARVESH_ALWAYS_INLINE uint64_t HighestBit(uint64_t value) {
#if defined(__x86_64__) && defined(__GNUC__)
  uint64_t index;
  __asm__("bsrq %1, %0" : "=r"(index) : "rm"(value) : "cc");
  return index;
#else
  return static_cast<uint64_t>(63 ^ __builtin_clzll(value));
#endif
}

TARVESH_ALWAYS_INLINE size_t TaggedVarintSize64(uint64_t value) {
  return kTaggedVarintSizes.by_log2[HighestBit(value | 1u)];
}
TARVESH_ALWAYS_INLINE size_t TaggedVarintSize32(uint32_t value) {
  return TaggedVarintSize64(value);
}
// An sint32 field: the zigzag form's varint.
TARVESH_ALWAYS_INLINE size_t TaggedSInt32Size(int32_t value) {
  return TaggedVarintSize32(kernels::ToWire(value));
}

// Each element as tag, length and the element's own size. Flattened: the
// elements' ByteSizeLong (and theirs in turn) are inlined into the loop
// where the compiler sees them, which for lists of small messages is most
// of the cost of a call each.
template <class Element>
TARVESH_FLATTEN size_t NestedElementsSize(const gp::RepeatedPtrField<Element>& list) {
  size_t total = static_cast<size_t>(list.size());  // one tag byte each
  for (const Element& element : list) {
    const size_t size = element.Element::ByteSizeLong();
    total += size + TaggedVarintSize64(size) - 1;  // the tag is counted above
  }
  return total;
}

// The unknown-field tail. Without unknown fields (the common case) the
// metadata's tag bit says so in one load and test; the set itself, or the
// runtime's empty one, is reached only when there are some.
inline size_t UnknownFieldsSize(const gpi::InternalMetadata& metadata) {
  if (TARVESH_LIKELY(!metadata.have_unknown_fields())) return 0;
  return WireFormat::ComputeUnknownFieldsSize(
      metadata.unknown_fields<gp::UnknownFieldSet>(gp::UnknownFieldSet::default_instance));
}

// CacheSize's path for a message with unknown fields, out of line.
TARVESH_HIDDEN __attribute__((noinline)) inline size_t CacheSizeWithUnknownFields(
    size_t fields, const gpi::InternalMetadata& metadata, gpi::CachedSize* cached) {
  const size_t total = fields + UnknownFieldsSize(metadata);
  cached->Set(gpi::ToCachedSize(total));
  return total;
}

// The end of every ByteSizeLong: the fields' size plus the unknown-field
// tail, kept in the message's cached size for the writers and returned.
// The tail's path is a tail call, so a message without unknown fields
// sizes without a stack frame of its own.
TARVESH_ALWAYS_INLINE size_t CacheSize(size_t fields, const gpi::InternalMetadata& metadata,
                                       gpi::CachedSize* cached) {
  cached->Set(gpi::ToCachedSize(fields));
  if (TARVESH_LIKELY(!metadata.have_unknown_fields())) return fields;
  return CacheSizeWithUnknownFields(fields, metadata, cached);
}

// CacheSizeOf's path for a message with unknown fields, out of line; `fields`
// is the caller's lambda over its message, passed in a register.
template <class Fields>
TARVESH_HIDDEN __attribute__((noinline)) size_t CacheSizeWithUnknownFieldsOf(
    Fields fields, const gpi::InternalMetadata& metadata, gpi::CachedSize* cached) {
  return CacheSizeWithUnknownFields(fields(), metadata, cached);
}

// CacheSize of what `fields()` computes, tested for unknown fields first:
// the common path then sets up nothing for the tail's call and sizes the
// fields with the message's address where it came in.
template <class Fields>
TARVESH_ALWAYS_INLINE size_t CacheSizeOf(Fields fields, const gpi::InternalMetadata& metadata,
                                         gpi::CachedSize* cached) {
  if (TARVESH_LIKELY(!metadata.have_unknown_fields())) {
    const size_t size = fields();
    cached->Set(gpi::ToCachedSize(size));
    return size;
  }
  return CacheSizeWithUnknownFieldsOf(fields, metadata, cached);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_SIZING_H
