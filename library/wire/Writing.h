// SPDX-License-Identifier: BSD-3-Clause
// Serialising. A message writes its fields once, as a template over one of
// two outputs: a caller's flat array or the runtime's EpsCopyOutputStream.
//
// What this does not check: output space on the array path (the caller
// sized the buffer with ByteSize()).
#ifndef TARVESH_WIRE_WRITING_H
#define TARVESH_WIRE_WRITING_H

#include "wire/Varint.h"

namespace Pb {
namespace wire {

// The runtime's array writer of unknown fields sets up a stream object on
// the stack: out of line, so that the array writers of messages need no
// stack frame.
TARVESH_HIDDEN __attribute__((noinline, cold)) inline uint8_t* WriteUnknownFieldsToArray(
    const gp::UnknownFieldSet& unknown, uint8_t* target) {
  return WireFormat::SerializeUnknownFieldsToArray(unknown, target);
}

// A caller's flat buffer of at least the cached size: nothing to check.
struct ArrayOutput {
  static constexpr bool kKnownFieldsOnly = false;
  TARVESH_ALWAYS_INLINE uint8_t* Ensure(uint8_t* target) const { return target; }
  template <class Element>
  uint8_t* Nested(const Element& element, uint8_t* target) const {
    return element.Element::SerializeWithCachedSizesToArray(target);
  }
  uint8_t* Raw(const void* data, size_t size, uint8_t* target) const {
    if (size != 0) std::memcpy(target, data, size);
    return target + size;
  }
  uint8_t* Unknown(const gp::UnknownFieldSet& unknown, uint8_t* target) const {
    return WriteUnknownFieldsToArray(unknown, target);
  }
};

// The same, for a message its caller has seen to hold no unknown fields:
// the tail's test is left out.
struct KnownFieldsArrayOutput : ArrayOutput {
  static constexpr bool kKnownFieldsOnly = true;
};

// The runtime's stream, for a message that does not fit in the room the
// stream offers (its _InternalSerialize writes one that fits with its array
// writer, wire/StreamRoom.h): room for one field (at most 16 bytes) is
// ensured before each field; longer runs go through WriteRaw.
struct StreamOutput {
  static constexpr bool kKnownFieldsOnly = false;
  EpsCopyOutputStream* stream;
  TARVESH_ALWAYS_INLINE uint8_t* Ensure(uint8_t* target) const {
    return stream->EnsureSpace(target);
  }
  template <class Element>
  uint8_t* Nested(const Element& element, uint8_t* target) const {
    return element.Element::_InternalSerialize(target, stream);
  }
  uint8_t* Raw(const void* data, size_t size, uint8_t* target) const {
    return stream->WriteRaw(data, static_cast<int>(size), target);
  }
  uint8_t* Unknown(const gp::UnknownFieldSet& unknown, uint8_t* target) const {
    return WireFormat::InternalSerializeUnknownFieldsToArray(unknown, target,
                                                             stream);
  }
};

template <class Output>
TARVESH_ALWAYS_INLINE uint8_t* WriteUInt32Field(const Output& out, uint8_t tag, uint32_t value,
                                 uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  return PutVarint32(value, target);
}
template <class Output>
TARVESH_ALWAYS_INLINE uint8_t* WriteUInt64Field(const Output& out, uint8_t tag, uint64_t value,
                                 uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  return PutVarint64(value, target);
}
template <class Output>
TARVESH_ALWAYS_INLINE uint8_t* WriteSInt32Field(const Output& out, uint8_t tag, int32_t value,
                                 uint8_t* target) {
  return WriteUInt32Field(out, tag, kernels::ToWire(value), target);
}
template <class Output>
TARVESH_ALWAYS_INLINE uint8_t* WriteFixed64Field(const Output& out, uint8_t tag,
                                  uint64_t value, uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  return CodedOutputStream::WriteLittleEndian64ToArray(value, target);
}

// Each element as tag, cached size, then the element's own bytes.
// Flattened, as NestedElementsSize: the elements' writers are inlined.
template <class Output, class Element>
TARVESH_FLATTEN uint8_t* WriteNestedElements(const Output& out, uint8_t tag,
                                    const gp::RepeatedPtrField<Element>& list,
                                    uint8_t* target) {
  for (const Element& element : list) {
    target = out.Ensure(target);
    *target++ = tag;
    target = PutVarint32(static_cast<uint32_t>(element.GetCachedSize()), target);
    target = out.Nested(element, target);
  }
  return target;
}

// An optional bytes field: tag, length, the bytes.
template <class Output>
inline uint8_t* WriteBytesField(const Output& out, uint8_t tag, const std::string& value,
                                uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  target = PutVarint32(static_cast<uint32_t>(value.size()), target);
  return out.Raw(value.data(), value.size(), target);
}

// The unknown-field tail; see UnknownFieldsSize for the test.
template <class Output>
inline uint8_t* WriteUnknownFields(const Output& out,
                                   const gpi::InternalMetadata& metadata,
                                   uint8_t* target) {
  if (Output::kKnownFieldsOnly || TARVESH_LIKELY(!metadata.have_unknown_fields())) return target;
  const gp::UnknownFieldSet& unknown = metadata.unknown_fields<gp::UnknownFieldSet>(
      gp::UnknownFieldSet::default_instance);
  return unknown.empty() ? target : out.Unknown(unknown, target);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_WRITING_H
