// SPDX-License-Identifier: BSD-3-Clause
// Reading fields from the runtime's ParseContext (what ParseFromString and
// friends call). A null result is a failed parse.
#ifndef TARVESH_WIRE_CONTEXT_PARSING_H
#define TARVESH_WIRE_CONTEXT_PARSING_H

#include "wire/Varint.h"

namespace Pb {
namespace wire {

// Lets ParseContext::ParseMessage<T> (limit, depth, clean-end check) call
// the element class's parser directly instead of through the virtual table.
template <class Element>
struct DirectParser {
  Element* element;
  const char* _InternalParse(const char* ptr, ParseContext* ctx) {
    return element->Element::_InternalParse(ptr, ctx);
  }
};

template <class Element>
inline const char* ParseNestedElement(ParseContext* ctx, Element* element,
                                      const char* ptr) {
  DirectParser<Element> parser{element};
  return ctx->ParseMessage(&parser, ptr);
}

// Tag 0 or an end-group tag ends the message (recorded for the caller to
// judge); any other tag goes to the unknown-field set. *ended tells which.
template <class UnknownFields>
inline const char* ParseUnknownField(uint32_t tag, UnknownFields unknown,
                                     const char* ptr, ParseContext* ctx,
                                     bool* ended) {
  if (tag == 0 || WireFormatLite::GetTagWireType(tag) ==
                      WireFormatLite::WIRETYPE_END_GROUP) {
    ctx->SetLastTag(tag);
    *ended = true;
    return ptr;
  }
  return gpi::UnknownFieldParse(tag, unknown(), ptr, ctx);
}

// The context guarantees kSlopBytes past ptr, more than a varint's ten.
// A failed read (ten bytes, all with the continuation bit) stores nothing.
template <class T>
inline const char* ParseVarint(const char* ptr, T* value) {
  uint64_t raw;
  const uint8_t* end = DecodeVarint(reinterpret_cast<const uint8_t*>(ptr), &raw);
  if (end != nullptr) *value = static_cast<T>(raw);
  return reinterpret_cast<const char*>(end);
}
inline const char* ParseSInt32(const char* ptr, int32_t* value) {
  uint32_t raw;
  ptr = ParseVarint(ptr, &raw);
  if (ptr != nullptr) *value = kernels::FromWire<int32_t>(raw);
  return ptr;
}
// A sint32 from a varint read whole, as ParseSInt32 takes it.
inline int32_t SInt32FromVarint(uint64_t raw) {
  return kernels::FromWire<int32_t>(static_cast<uint32_t>(raw));
}
// A fixed64 needs 8 bytes; the context guarantees kSlopBytes past ptr.
inline const char* ParseFixed64(const char* ptr, uint64_t* value) {
  return reinterpret_cast<const char*>(CodedInputStream::ReadLittleEndian64FromArray(
      reinterpret_cast<const uint8_t*>(ptr), value));
}

// Whether a value that ends at `end` was read whole from the input: the
// decode succeeded and did not run into the slop bytes past the current
// limit (which Done() would reject afterwards). Inside the buffer's limit the
// first test answers; only a value at the very end needs the second.
TARVESH_ALWAYS_INLINE bool ReadInsideLimit(ParseContext* ctx, const char* end) {
  return end != nullptr && (ctx->DataAvailable(end) || ctx->BytesUntilLimit(end) >= 0);
}

// An optional scalar field: its value and presence bit change only when the
// value was read whole, as with the stream parser; otherwise null.
template <class T, class Decode>
TARVESH_ALWAYS_INLINE const char* ParseOptionalScalar(ParseContext* ctx, const char* ptr,
                                                      T* field, uint32_t* has_bits, int index,
                                                      Decode decode) {
  T value{};
  const char* end = decode(ptr, &value);
  if (!ReadInsideLimit(ctx, end)) return nullptr;
  *field = value;
  has_bits[index / 32] |= 1u << (index % 32);
  return end;
}
template <class T>
TARVESH_ALWAYS_INLINE const char* ParseVarintField(ParseContext* ctx, const char* ptr, T* field,
                                                   uint32_t* has_bits, int index) {
  return ParseOptionalScalar(ctx, ptr, field, has_bits, index,
                             [](const char* p, T* value) { return ParseVarint(p, value); });
}
TARVESH_ALWAYS_INLINE const char* ParseSInt32Field(ParseContext* ctx, const char* ptr,
                                                   int32_t* field, uint32_t* has_bits, int index) {
  return ParseOptionalScalar(ctx, ptr, field, has_bits, index, &ParseSInt32);
}
TARVESH_ALWAYS_INLINE const char* ParseFixed64Field(ParseContext* ctx, const char* ptr,
                                                    uint64_t* field, uint32_t* has_bits, int index) {
  return ParseOptionalScalar(ctx, ptr, field, has_bits, index, &ParseFixed64);
}

// The fields of a small record held whole in [p, end), for a class whose
// fields are all varints: each is a one-byte tag and a varint that ends
// inside the record, handed as read to field(tag, value), which stores it
// (true) or refuses the record (false) for anything not its own field.
// False also when a varint runs past the record. The varints are read as
// the class's parser reads them, so a record taken here reads the same.
// The caller makes sure ten bytes can be read past every byte of the record.
template <class Field>
inline bool ReadHeldVarintFields(const char* p, const char* end, Field field) {
  while (p != end) {  // no varint taken ends past `end`
    const uint8_t tag = static_cast<uint8_t>(*p);
    uint64_t value;
    const char* next = reinterpret_cast<const char*>(
        DecodeVarint(reinterpret_cast<const uint8_t*>(p + 1), &value));
    if (next == nullptr || next > end || !field(tag, value)) return false;
    p = next;
  }
  return true;
}

// After a field, whether the next one can be read at once and starts with
// `tag` (one byte); if so *ptr moves past the tag, and the parser reads that
// field straight on instead of going round its loop, whose jump on the tag
// mispredicts often. Otherwise (a failure, the end of the buffer or of the
// message, another field) the loop takes over. Its Done() and ReadTag find
// the same: before the limit Done() returns at once, and a one-byte tag is
// its own value.
TARVESH_ALWAYS_INLINE bool NextTagIs(ParseContext* ctx, const char** ptr, uint8_t tag) {
  if (*ptr == nullptr || !ctx->DataAvailable(*ptr) || static_cast<uint8_t>(**ptr) != tag) {
    return false;
  }
  ++*ptr;
  return true;
}

// Lets the context's limit check use an address the record only names.
inline const char* AddressAt(const char* ptr, int offset) {
  return reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(ptr) +
                                       static_cast<std::uintptr_t>(offset));
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_CONTEXT_PARSING_H
