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
// As the runtime's VarintParse, a failed read stores 0.
template <class T>
inline const char* ParseVarint(const char* ptr, T* value) {
  uint64_t raw = 0;
  const uint8_t* end = DecodeVarint(reinterpret_cast<const uint8_t*>(ptr), &raw);
  *value = end == nullptr ? 0 : static_cast<T>(raw);
  return reinterpret_cast<const char*>(end);
}
inline const char* ParseSInt32(const char* ptr, int32_t* value) {
  uint32_t raw;
  ptr = ParseVarint(ptr, &raw);
  *value = WireFormatLite::ZigZagDecode32(raw);
  return ptr;
}
// A fixed64 needs 8 bytes; the context guarantees kSlopBytes past ptr, and
// Done() rejects a read that ran past the real end.
inline const char* ParseFixed64(const char* ptr, uint64_t* value) {
  return reinterpret_cast<const char*>(CodedInputStream::ReadLittleEndian64FromArray(
      reinterpret_cast<const uint8_t*>(ptr), value));
}

// Lets the context's limit check use an address the record only names.
inline const char* AddressAt(const char* ptr, int offset) {
  return reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(ptr) +
                                       static_cast<std::uintptr_t>(offset));
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_CONTEXT_PARSING_H
