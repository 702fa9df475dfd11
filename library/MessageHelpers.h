// Inline mechanics shared by the hand-written message classes.
//
// Every message writes its own fields out one by one; what every message
// repeats lives here: reading a nested element under a pushed limit, the
// unknown-field tail, packed columns, the two output paths (a caller's flat
// array and the runtime's EpsCopyOutputStream), and the per-file reflection
// tables. Included only by the .pb.cc sources, never by public headers.
//
// What this header does not check: tag numbers (every field number of these
// schemas is below 16, so every known tag is one byte), and output space on
// the array path (the caller sized the buffer with ByteSize()).
#ifndef TARVESH_MESSAGE_HELPERS_H
#define TARVESH_MESSAGE_HELPERS_H

#include <cstdint>
#include <cstring>

#include <google/protobuf/arena.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/generated_message_reflection.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/parse_context.h>
#include <google/protobuf/reflection_ops.h>
#include <google/protobuf/repeated_field.h>
#include <google/protobuf/stubs/logging.h>
#include <google/protobuf/stubs/once.h>
#include <google/protobuf/unknown_field_set.h>
#include <google/protobuf/wire_format.h>
#include <google/protobuf/wire_format_lite.h>

// For the few small readers that every field calls: the compiler otherwise
// stops inlining them once a parser has many fields.
#if defined(__GNUC__)
#define TARVESH_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define TARVESH_ALWAYS_INLINE inline
#endif

namespace Pb {
namespace wire {

namespace gp = ::google::protobuf;
namespace gpi = ::google::protobuf::internal;
using gp::io::CodedInputStream;
using gp::io::CodedOutputStream;
using gp::io::EpsCopyOutputStream;
using gpi::ParseContext;
using gpi::WireFormat;
using gpi::WireFormatLite;

// ---------------------------------------------------------------------------
// Caller errors and allocation.

// Reports a caller error through the runtime's fatal check, as the runtime's
// own CHECK macros would (the runtime decides whether it aborts or throws).
inline void CheckFailed(const char* file, int line, const char* text) {
  gpi::LogMessage message(gp::LOGLEVEL_FATAL, file, line);
  gpi::LogFinisher() = message << text;
}

inline constexpr const char kSelfMergeText[] = "CHECK failed: (&from) != (this): ";
inline constexpr const char kMissingFileText[] = "CHECK failed: file != NULL: ";

// The template parameters below are named Class, not Message: in
// `to->Message::MergeFrom` clang finds the injected name of the base class
// google::protobuf::Message first, whose MergeFrom calls back here forever.

// New(Arena*): the classes have no arena constructor; on an arena they are
// created as ordinary objects whose destructor the arena runs.
template <class Class>
inline Class* NewMessage(gp::Arena* arena) {
  return arena == nullptr ? new Class() : gp::Arena::Create<Class>(arena);
}

// MergeFrom(const Message&): the class's own merge when `from` is of the
// class, else the runtime's reflection-driven merge.
template <class Class>
inline void MergeFromMessage(Class* to, const gp::Message& from,
                             const char* file, int line) {
  if (&from == to) CheckFailed(file, line, kSelfMergeText);
  if (const Class* source = dynamic_cast<const Class*>(&from)) {
    to->Class::MergeFrom(*source);
  } else {
    gpi::ReflectionOps::Merge(from, to);
  }
}

// The copy and merge entries of a class's ClassData: the runtime's generic
// CopyFrom and MergeFrom call these for two messages of the same class.
template <class Class>
void CopyToFrom(gp::Message& to, const gp::Message& from) {
  static_cast<Class&>(to).Class::CopyFrom(static_cast<const Class&>(from));
}
template <class Class>
void MergeToFrom(gp::Message& to, const gp::Message& from) {
  static_cast<Class&>(to).Class::MergeFrom(static_cast<const Class&>(from));
}

// ---------------------------------------------------------------------------
// Varints.

// Decodes the varint at `p` inline, taking what the runtime's out-of-line
// readers take: at most ten bytes, the value modulo 2^64 (modulo 2^32 for a
// 32-bit field); null when all ten bytes carry the continuation bit. The
// caller makes sure the bytes up to the first terminating one, or ten
// bytes, can be read.
inline const uint8_t* DecodeVarint(const uint8_t* p, uint64_t* value) {
  uint64_t result = 0;
  for (int i = 0; i < 10; ++i) {
    const uint64_t byte = p[i];
    result |= (byte & 0x7f) << (7 * i);
    if (byte < 0x80) {
      *value = result;
      return p + i + 1;
    }
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Parsing from a CodedInputStream.

enum class Skip { kContinue, kEndOfMessage, kFailure };

// The last field in number order: true when the input sits exactly at its
// limit, in which case the stream is marked as ending legitimately.
inline bool AtCleanEnd(CodedInputStream* input) { return input->ExpectAtEnd(); }

// A varint decoded straight from the stream's buffer when that buffer, cut
// at the current limit, holds ten bytes or ends on a terminating byte, so the
// decode cannot run past it; otherwise the stream's own reader, which crosses
// buffers. The stream's inline reader takes only one-byte values and calls
// out of line for longer ones.
template <class T>
TARVESH_ALWAYS_INLINE bool ReadBufferedVarint(CodedInputStream* input, T* value) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const uint8_t* ptr = static_cast<const uint8_t*>(data);
  if (buffered >= 10 || (buffered > 0 && ptr[buffered - 1] < 0x80)) {
    uint64_t raw;
    const uint8_t* end = DecodeVarint(ptr, &raw);
    if (end == nullptr) return false;
    *value = static_cast<T>(raw);
    return input->Skip(static_cast<int>(end - ptr));
  }
  if constexpr (sizeof(T) == 4) {
    return input->ReadVarint32(value);
  } else {
    return input->ReadVarint64(value);
  }
}

inline bool ReadUInt32(CodedInputStream* input, uint32_t* value) {
  return ReadBufferedVarint(input, value);
}
inline bool ReadUInt64(CodedInputStream* input, uint64_t* value) {
  return ReadBufferedVarint(input, value);
}
inline bool ReadSInt32(CodedInputStream* input, int32_t* value) {
  uint32_t raw;
  if (!ReadBufferedVarint(input, &raw)) return false;
  *value = WireFormatLite::ZigZagDecode32(raw);
  return true;
}
inline bool ReadFixed64(CodedInputStream* input, uint64_t* value) {
  return input->ReadLittleEndian64(value);
}

// ---------------------------------------------------------------------------
// Parsing from the runtime's ParseContext (what ParseFromString and friends
// call). A null result is a failed parse.

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

// ---------------------------------------------------------------------------
// Sizing.

template <class Element>
inline size_t NestedElementsSize(const gp::RepeatedPtrField<Element>& list) {
  size_t total = static_cast<size_t>(list.size());  // one tag byte each
  for (const Element& element : list) {
    const size_t size = element.Element::ByteSizeLong();
    total += size + CodedOutputStream::VarintSize64(size);
  }
  return total;
}

inline size_t UnknownFieldsSize(const gp::UnknownFieldSet& unknown) {
  return unknown.empty() ? 0 : WireFormat::ComputeUnknownFieldsSize(unknown);
}

// ---------------------------------------------------------------------------
// Serialising. A message writes its fields once, as a template over one of
// these two outputs.

// A caller's flat buffer of at least the cached size: nothing to check.
struct ArrayOutput {
  uint8_t* Ensure(uint8_t* target) const { return target; }
  template <class Element>
  uint8_t* Nested(const Element& element, uint8_t* target) const {
    return element.Element::SerializeWithCachedSizesToArray(target);
  }
  uint8_t* Raw(const void* data, size_t size, uint8_t* target) const {
    if (size != 0) std::memcpy(target, data, size);
    return target + size;
  }
  uint8_t* Unknown(const gp::UnknownFieldSet& unknown, uint8_t* target) const {
    return WireFormat::SerializeUnknownFieldsToArray(unknown, target);
  }
};

// The runtime's stream: room for one field (at most 16 bytes) is ensured
// before each field; longer runs go through WriteRaw.
struct StreamOutput {
  EpsCopyOutputStream* stream;
  uint8_t* Ensure(uint8_t* target) const { return stream->EnsureSpace(target); }
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

inline uint8_t* PutVarint32(uint32_t value, uint8_t* target) {
  return CodedOutputStream::WriteVarint32ToArray(value, target);
}
inline uint8_t* PutVarint64(uint64_t value, uint8_t* target) {
  return CodedOutputStream::WriteVarint64ToArray(value, target);
}

template <class Output>
inline uint8_t* WriteUInt32Field(const Output& out, uint8_t tag, uint32_t value,
                                 uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  return PutVarint32(value, target);
}
template <class Output>
inline uint8_t* WriteUInt64Field(const Output& out, uint8_t tag, uint64_t value,
                                 uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  return PutVarint64(value, target);
}
template <class Output>
inline uint8_t* WriteSInt32Field(const Output& out, uint8_t tag, int32_t value,
                                 uint8_t* target) {
  return WriteUInt32Field(out, tag, WireFormatLite::ZigZagEncode32(value),
                          target);
}
template <class Output>
inline uint8_t* WriteFixed64Field(const Output& out, uint8_t tag,
                                  uint64_t value, uint8_t* target) {
  target = out.Ensure(target);
  *target++ = tag;
  return CodedOutputStream::WriteLittleEndian64ToArray(value, target);
}

// Each element as tag, cached size, then the element's own bytes.
template <class Output, class Element>
inline uint8_t* WriteNestedElements(const Output& out, uint8_t tag,
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

template <class Output>
inline uint8_t* WriteUnknownFields(const Output& out,
                                   const gp::UnknownFieldSet& unknown,
                                   uint8_t* target) {
  return unknown.empty() ? target : out.Unknown(unknown, target);
}

// ---------------------------------------------------------------------------
// Merging.

template <class Element>
inline void MergeElements(gp::RepeatedPtrField<Element>* to,
                          const gp::RepeatedPtrField<Element>& from) {
  to->Reserve(to->size() + from.size());
  for (const Element& element : from) to->Add()->Element::MergeFrom(element);
}

// ---------------------------------------------------------------------------
// Reflection tables.
//
// The runtime's reflection reads one block of the file's offsets array per
// class: presence words, _internal_metadata_, four unused slots (extensions,
// oneof cases, weak fields, inlined strings), one offset per field, then one
// presence-bit index per field. kBlockHeader is the number of leading slots.
inline constexpr uint32_t kNoOffset = ~0u;
inline constexpr int kBlockHeader = 6;

// The schema entry of a class whose block starts at `block_start` and which
// has `field_count` fields.
inline constexpr gpi::MigrationSchema SchemaAt(int block_start, int field_count,
                                               int object_size) {
  return gpi::MigrationSchema{block_start,
                              block_start + kBlockHeader + field_count, -1,
                              object_size};
}

// Registers the file (if it is not yet), reports a file missing from the
// generated pool with this library's check text, then lets the runtime build
// the descriptors and reflection objects from the table. Runs under the
// file's once-object.
inline void AssignFileDescriptors(const gpi::DescriptorTable* table,
                                  void (*register_file)()) {
  register_file();
  if (gp::DescriptorPool::generated_pool()->FindFileByName(table->filename) ==
      nullptr) {
    CheckFailed(__FILE__, __LINE__, kMissingFileText);
    return;
  }
  gpi::AssignDescriptors(table);
}

// ---------------------------------------------------------------------------
// Packed columns.
//
// A packed repeated scalar is written as one length-delimited record: tag,
// payload length (cached by ByteSize), then the elements back to back. It is
// written only when the column has elements. Readers take that form and the
// element form (one tag per element, wire type 0 for varints and 1 for
// fixed64) in any mix; both append.

// How a varint column's elements look on the wire.
struct SInt32Codec {
  using Type = int32_t;
  static uint32_t Encode(int32_t value) { return WireFormatLite::ZigZagEncode32(value); }
  static int32_t Decode(uint32_t raw) { return WireFormatLite::ZigZagDecode32(raw); }
};
struct UInt32Codec {
  using Type = uint32_t;
  static uint32_t Encode(uint32_t value) { return value; }
  static uint32_t Decode(uint32_t raw) { return raw; }
};

#if defined(__BYTE_ORDER__) && defined(__ORDER_LITTLE_ENDIAN__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
inline constexpr bool kLittleEndianHost = true;
#else
inline constexpr bool kLittleEndianHost = false;
#endif

// Payload bytes of a packed record.
template <class Codec>
inline size_t PackedVarintPayload(const gp::RepeatedField<typename Codec::Type>& column) {
  size_t total = 0;
  for (const typename Codec::Type value : column) {
    total += CodedOutputStream::VarintSize32(Codec::Encode(value));
  }
  return total;
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

template <class Codec, class Output>
inline uint8_t* WritePackedVarints(const Output& out, uint8_t tag,
                                   const gp::RepeatedField<typename Codec::Type>& column,
                                   int payload, uint8_t* target) {
  if (column.empty()) return target;
  target = out.Ensure(target);
  *target++ = tag;
  target = PutVarint32(static_cast<uint32_t>(payload), target);
  for (const typename Codec::Type value : column) {
    target = out.Ensure(target);
    target = PutVarint32(Codec::Encode(value), target);
  }
  return target;
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

// --- From a CodedInputStream.

// A record length as the runtime's ParseContext (ParseFromString and the
// other entry points) reads it: at most five bytes, and not within kSlopBytes
// of INT_MAX. CodedInputStream alone takes up to ten bytes; refusing the rest
// keeps the stream parser's verdict the same as the context parser's.
inline bool ReadRecordLength(CodedInputStream* input, int* length) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  if (buffered > 0 && *static_cast<const uint8_t*>(data) < 0x80) {
    return input->ReadVarintSizeAsInt(length);
  }
  const int start = input->CurrentPosition();
  return input->ReadVarintSizeAsInt(length) && input->CurrentPosition() - start <= 5 &&
         *length <= INT_MAX - ParseContext::kSlopBytes;
}

// Decodes a packed varint payload held whole in [ptr, end) whose last byte
// ends a varint: the elements are counted by their last bytes, reserved once
// and appended. Each element ends on one of the counted bytes, the last of
// which ends the payload, so no read goes past `end`. Null on a bad varint.
// The elements are decoded into the reserved room through a plain pointer,
// the column's size set once; a failure keeps those decoded before it.
template <class Codec>
inline const char* DecodeVarintRun(const char* ptr, const char* const end,
                                   gp::RepeatedField<typename Codec::Type>* column) {
  int count = 0;
  for (const char* p = ptr; p != end; ++p) count += static_cast<uint8_t>(*p) < 0x80;
  const int old_size = column->size();
  column->Reserve(old_size + count);
  typename Codec::Type* const out = column->AddNAlreadyReserved(count);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(ptr);
  const uint8_t* const stop = reinterpret_cast<const uint8_t*>(end);
  int decoded = 0;
  while (p != stop) {
    uint64_t raw;
    p = DecodeVarint(p, &raw);
    if (p == nullptr) {
      column->Truncate(old_size + decoded);
      return nullptr;
    }
    out[decoded++] = Codec::Decode(static_cast<uint32_t>(raw));
  }
  return end;
}

// A packed varint record. When the whole payload sits in the stream's
// buffer and its last byte ends a varint, the elements are counted (one
// terminating byte each), room is reserved once and they are decoded
// straight from the buffer; otherwise they are read one by one under a
// limit. Elements read before a failure stay appended. A payload running
// past the enclosing limit fails once the elements up to that limit are
// read (PushLimit alone would cut it short silently).
template <class Codec>
inline bool ReadPackedVarints(CodedInputStream* input,
                              gp::RepeatedField<typename Codec::Type>* column) {
  int length;
  if (!ReadRecordLength(input, &length)) return false;
  if (length == 0) return true;
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const char* ptr = static_cast<const char*>(data);
  if (length <= buffered && static_cast<uint8_t>(ptr[length - 1]) < 0x80) {
    return DecodeVarintRun<Codec>(ptr, ptr + length, column) != nullptr &&
           input->Skip(length);
  }
  const int available = input->BytesUntilLimit();
  const bool past_limit = available >= 0 && length > available;
  const CodedInputStream::Limit limit = input->PushLimit(length);
  while (input->BytesUntilLimit() > 0) {
    uint32_t raw;
    if (!input->ReadVarint32(&raw)) return false;
    column->Add(Codec::Decode(raw));
  }
  input->PopLimit(limit);
  return !past_limit;
}

// One element in element form (its tag already read), then further elements
// of the same tag while the column has spare room, so the loop never grows it.
template <class Codec>
inline bool ReadVarintElements(CodedInputStream* input, uint32_t tag,
                               gp::RepeatedField<typename Codec::Type>* column) {
  uint32_t raw;
  if (!input->ReadVarint32(&raw)) return false;
  column->Add(Codec::Decode(raw));
  while (column->size() < column->Capacity() && input->ExpectTag(tag)) {
    if (!input->ReadVarint32(&raw)) return false;
    column->AddAlreadyReserved(Codec::Decode(raw));
  }
  return true;
}

// A packed fixed64 record: whole runs of 8-byte values are copied from the
// stream's buffer as they come, so nothing is reserved beyond the bytes
// actually present. A length that is not a multiple of 8 fails after the
// whole values, its last value being cut short.
inline bool ReadPackedFixed64s(CodedInputStream* input, gp::RepeatedField<uint64_t>* column) {
  int length;
  if (!ReadRecordLength(input, &length)) return false;
  int remaining = length / 8;
  while (remaining > 0) {
    const void* data;
    int buffered;
    input->GetDirectBufferPointerInline(&data, &buffered);
    const int run = buffered / 8 < remaining ? buffered / 8 : remaining;
    if (run == 0) {
      // A value split across buffers, or the input ends here.
      uint64_t value;
      if (!input->ReadLittleEndian64(&value)) return false;
      column->Add(value);
      --remaining;
      continue;
    }
    column->Reserve(column->size() + run);
    uint64_t* dest = column->AddNAlreadyReserved(run);
    const uint8_t* src = static_cast<const uint8_t*>(data);
    if (kLittleEndianHost) {
      std::memcpy(dest, src, static_cast<size_t>(run) * 8);
    } else {
      for (int i = 0; i < run; ++i) {
        src = CodedInputStream::ReadLittleEndian64FromArray(src, &dest[i]);
      }
    }
    input->Skip(run * 8);
    remaining -= run;
  }
  return length % 8 == 0;
}

// One fixed64 element in element form, then further elements of the same
// tag read straight from the buffer: as many as both the column's spare
// room and the buffered whole (tag + 8 bytes) elements allow.
inline bool ReadFixed64Elements(CodedInputStream* input, uint8_t tag,
                                gp::RepeatedField<uint64_t>* column) {
  uint64_t value;
  if (!input->ReadLittleEndian64(&value)) return false;
  column->Add(value);
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const int spare = column->Capacity() - column->size();
  const int limit = buffered / 9 < spare ? buffered / 9 : spare;
  const uint8_t* ptr = static_cast<const uint8_t*>(data);
  int read = 0;
  while (read < limit) {
    const uint8_t* after_tag = CodedInputStream::ExpectTagFromArray(ptr, tag);
    if (after_tag == nullptr) break;
    ptr = CodedInputStream::ReadLittleEndian64FromArray(after_tag, &value);
    column->AddAlreadyReserved(value);
    ++read;
  }
  return read == 0 || input->Skip(read * 9);
}

// --- From a ParseContext.

// Lets the context's limit check use an address the record only names.
inline const char* AddressAt(const char* ptr, int offset) {
  return reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(ptr) +
                                       static_cast<std::uintptr_t>(offset));
}

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
  return ctx->ReadPackedVarint(record, [column](uint64_t raw) {
    column->Add(Codec::Decode(static_cast<uint32_t>(raw)));
  });
}

// One element in element form, then further elements while the next byte,
// still inside the limit, is the same tag.
template <class Codec>
inline const char* ParseVarintElements(ParseContext* ctx, const char* ptr, uint8_t tag,
                                       gp::RepeatedField<typename Codec::Type>* column) {
  for (;;) {
    uint32_t raw;
    ptr = gpi::VarintParse(ptr, &raw);
    if (ptr == nullptr) return nullptr;
    column->Add(Codec::Decode(raw));
    if (!ctx->DataAvailable(ptr) || static_cast<uint8_t>(*ptr) != tag) return ptr;
    ++ptr;
  }
}

inline const char* ParsePackedFixed64s(ParseContext* ctx, const char* ptr,
                                       gp::RepeatedField<uint64_t>* column) {
  const int length = static_cast<int>(gpi::ReadSize(&ptr));
  if (ptr == nullptr) return nullptr;
  if (length == 0) return ptr;
  // The context's reader copies each run into the column's array, also a run
  // of no elements; an empty column has no array to name yet.
  if (column->Capacity() == 0) column->Reserve(1);
  return ctx->ReadPackedFixed(ptr, length, column);
}

inline const char* ParseFixed64Elements(ParseContext* ctx, const char* ptr, uint8_t tag,
                                        gp::RepeatedField<uint64_t>* column) {
  return ctx->ReadRepeatedFixed(ptr, tag, column);
}

// ---------------------------------------------------------------------------
// Strict reads for the CodedInputStream parsers.

// The stream parsers read tags and lengths as strictly as the
// runtime's ParseContext: CodedInputStream alone takes either from up to ten
// bytes, the context refuses more than five. Being as strict keeps the two
// parsers of every class at the same verdict on every input.

// A tag; false for one longer than five bytes. 0 means what it means for
// CodedInputStream::ReadTag (end of input or limit, or no tag readable).
inline bool ReadStrictTag(CodedInputStream* input, std::uint32_t* tag) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  if (buffered > 0 && *static_cast<const std::uint8_t*>(data) < 0x80) {
    *tag = input->ReadTag();
    return true;
  }
  const int start = input->CurrentPosition();
  *tag = input->ReadTag();
  return input->CurrentPosition() - start <= 5;
}

// ReadNestedElement with a strict length. An element whose length runs past
// the enclosing limit is still read up to that limit, then refused: the
// element stays filled as far as its bytes went.
template <class Element>
inline bool ReadElement(CodedInputStream* input, Element* element) {
  int length;
  if (!ReadRecordLength(input, &length)) return false;
  const int available = input->BytesUntilLimit();
  const bool past_limit = available >= 0 && length > available;
  if (!input->IncrementRecursionDepth()) return false;
  const CodedInputStream::Limit limit = input->PushLimit(length);
  if (!element->Element::MergePartialFromCodedStream(input) ||
      !input->ConsumedEntireMessage() || input->BytesUntilLimit() != 0 || past_limit) {
    return false;
  }
  input->PopLimit(limit);
  input->DecrementRecursionDepth();
  return true;
}

// --- Repeated message fields.

// A repeated message field grown one element at a time reallocates its
// pointer array at 1, 3, 7, ... elements; a fresh message with many short
// lists (four tracks to a fragment) pays for that on every list. So when the
// field is full, the records of its tag that follow back to back are counted
// and room is reserved for them all. The count is a hint: it stops at
// anything it cannot see or read, and a wrong one costs only memory already
// bounded by the input. `p` is at the current record's length, whose five
// bytes can be read; readable(q) says that q and the five bytes after it can.
template <class Readable>
inline int CountRecordRun(const char* p, uint8_t tag, Readable readable) {
  int count = 0;
  for (;;) {
    // At most five bytes, the value within int32: null otherwise.
    const int length = static_cast<int>(gpi::ReadSize(&p));
    if (p == nullptr) return count;
    ++count;
    const char* next = AddressAt(p, length);
    if (!readable(next) || static_cast<uint8_t>(*next) != tag) return count;
    p = next + 1;
  }
}

template <class Element>
inline Element* AddElement(CodedInputStream* input, uint8_t tag,
                           gp::RepeatedPtrField<Element>* list) {
  if (list->size() == list->Capacity()) {
    const void* data;
    int buffered;
    input->GetDirectBufferPointerInline(&data, &buffered);
    const char* start = static_cast<const char*>(data);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(start) + buffered;
    auto readable = [end](const char* q) {
      return reinterpret_cast<std::uintptr_t>(q) + 6 <= end;
    };
    if (buffered >= 5) {
      list->Reserve(list->size() + CountRecordRun(start, tag, readable));
    }
  }
  return list->Add();
}

template <class Element>
inline Element* AddElement(ParseContext* ctx, const char* ptr, uint8_t tag,
                           gp::RepeatedPtrField<Element>* list) {
  if (list->size() == list->Capacity()) {
    // The context keeps kSlopBytes readable past any point before its limit.
    list->Reserve(list->size() +
                  CountRecordRun(ptr, tag, [ctx](const char* q) { return ctx->DataAvailable(q); }));
  }
  return list->Add();
}

// One element of a repeated message field, its tag (one byte) already read.
template <class Element>
inline bool ReadElement(CodedInputStream* input, uint8_t tag,
                        gp::RepeatedPtrField<Element>* list) {
  return ReadElement(input, AddElement(input, tag, list));
}
template <class Element>
inline const char* ParseElement(ParseContext* ctx, const char* ptr, uint8_t tag,
                                gp::RepeatedPtrField<Element>* list) {
  return ParseNestedElement(ctx, AddElement(ctx, ptr, tag, list), ptr);
}

inline bool ReadBytesField(CodedInputStream* input, std::string* value) {
  int length;
  return ReadRecordLength(input, &length) && input->ReadString(value, length);
}

// SkipUnknownField with strict lengths, and strict tags inside groups; the
// other wire types go to WireFormat::SkipField as before.
inline Skip SkipStrictUnknownField(CodedInputStream* input, std::uint32_t tag,
                            gp::UnknownFieldSet* unknown) {
  const int number = WireFormatLite::GetTagFieldNumber(tag);
  switch (WireFormatLite::GetTagWireType(tag)) {
    case WireFormatLite::WIRETYPE_END_GROUP:
      return Skip::kEndOfMessage;
    case WireFormatLite::WIRETYPE_LENGTH_DELIMITED: {
      int length;
      if (number == 0 || !ReadRecordLength(input, &length) ||
          !input->ReadString(unknown->AddLengthDelimited(number), length)) {
        return Skip::kFailure;
      }
      return Skip::kContinue;
    }
    case WireFormatLite::WIRETYPE_START_GROUP: {
      if (number == 0 || !input->IncrementRecursionDepth()) return Skip::kFailure;
      gp::UnknownFieldSet* group = unknown->AddGroup(number);
      for (;;) {
        std::uint32_t inner;
        if (!ReadStrictTag(input, &inner)) return Skip::kFailure;
        if (inner == 0) break;
        const Skip step = SkipStrictUnknownField(input, inner, group);
        if (step == Skip::kFailure) return Skip::kFailure;
        if (step == Skip::kEndOfMessage) break;
      }
      input->DecrementRecursionDepth();
      return input->LastTagWas(WireFormatLite::MakeTag(number, WireFormatLite::WIRETYPE_END_GROUP))
                 ? Skip::kContinue
                 : Skip::kFailure;
    }
    default:
      return WireFormat::SkipField(input, tag, unknown) ? Skip::kContinue : Skip::kFailure;
  }
}


}  // namespace wire
}  // namespace Pb

// The members every message class defines the same way, whatever its fields:
// construction, copying, the default instance, descriptor and metadata, the
// runtime's entry points routed onto the class's own code. `metadata_of` is
// the file's `const Metadata& (int)` accessor, `index` the class's slot in it,
// `register_file` the file's registration function. What remains for each
// class is written out beside it: SharedCtor, SharedDtor, Clear, MergeFrom,
// Swap, ByteSizeLong, WriteFields and the two parsers. ByteSizeLong returns
// the full size, which the runtime's writers refuse past INT_MAX; ByteSize is
// its int form, as the runtime's own.
#define PB_DEFINE_MESSAGE_FRAME(Class, metadata_of, index, register_file)        \
  Class* Class::default_instance_ = nullptr;                                    \
  const ::google::protobuf::Message::ClassData Class::_class_data_ = {          \
      &::Pb::wire::CopyToFrom<Class>, &::Pb::wire::MergeToFrom<Class>};         \
  Class::Class() { SharedCtor(); }                                              \
  Class::Class(const Class& from) : ::google::protobuf::Message() {            \
    SharedCtor();                                                               \
    MergeFrom(from);                                                            \
  }                                                                             \
  Class::~Class() {                                                             \
    SharedDtor();                                                               \
    _internal_metadata_.Delete<::google::protobuf::UnknownFieldSet>();          \
  }                                                                             \
  Class& Class::operator=(const Class& from) {                                  \
    CopyFrom(from);                                                             \
    return *this;                                                               \
  }                                                                             \
  const ::google::protobuf::Descriptor* Class::descriptor() {                   \
    return metadata_of(index).descriptor;                                       \
  }                                                                             \
  ::google::protobuf::Metadata Class::GetMetadata() const {                     \
    return metadata_of(index);                                                  \
  }                                                                             \
  const ::google::protobuf::Message::ClassData* Class::GetClassData() const {   \
    return &_class_data_;                                                       \
  }                                                                             \
  const Class& Class::default_instance() {                                      \
    if (default_instance_ == nullptr) register_file();                          \
    return *default_instance_;                                                  \
  }                                                                             \
  Class* Class::New() const { return new Class(); }                             \
  Class* Class::New(::google::protobuf::Arena* arena) const {                   \
    return ::Pb::wire::NewMessage<Class>(arena);                                \
  }                                                                             \
  bool Class::IsInitialized() const { return true; }                            \
  void Class::MergeFrom(const ::google::protobuf::Message& from) {              \
    ::Pb::wire::MergeFromMessage(this, from, __FILE__, __LINE__);               \
  }                                                                             \
  void Class::CopyFrom(const ::google::protobuf::Message& from) {               \
    if (&from == this) return;                                                  \
    Clear();                                                                    \
    MergeFrom(from);                                                            \
  }                                                                             \
  void Class::CopyFrom(const Class& from) {                                     \
    if (&from == this) return;                                                  \
    Clear();                                                                    \
    MergeFrom(from);                                                            \
  }                                                                             \
  int Class::ByteSize() const {                                                 \
    return ::google::protobuf::internal::ToIntSize(ByteSizeLong());             \
  }                                                                             \
  std::uint8_t* Class::SerializeWithCachedSizesToArray(std::uint8_t* target)    \
      const {                                                                   \
    return WriteFields(::Pb::wire::ArrayOutput{}, target);                      \
  }                                                                             \
  std::uint8_t* Class::_InternalSerialize(                                      \
      std::uint8_t* target, ::google::protobuf::io::EpsCopyOutputStream* stream) \
      const {                                                                   \
    return WriteFields(::Pb::wire::StreamOutput{stream}, target);               \
  }                                                                             \
  void Class::SerializeWithCachedSizes(                                         \
      ::google::protobuf::io::CodedOutputStream* output) const {                \
    output->SetCur(_InternalSerialize(output->Cur(), output->EpsCopy()));       \
  }

#endif  // TARVESH_MESSAGE_HELPERS_H
