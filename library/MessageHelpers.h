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

// New(Arena*): the classes have no arena constructor; on an arena they are
// created as ordinary objects whose destructor the arena runs.
template <class Message>
inline Message* NewMessage(gp::Arena* arena) {
  return arena == nullptr ? new Message() : gp::Arena::Create<Message>(arena);
}

// MergeFrom(const Message&): the class's own merge when `from` is of the
// class, else the runtime's reflection-driven merge.
template <class Message>
inline void MergeFromMessage(Message* to, const gp::Message& from,
                             const char* file, int line) {
  if (&from == to) CheckFailed(file, line, kSelfMergeText);
  if (const Message* source = dynamic_cast<const Message*>(&from)) {
    to->Message::MergeFrom(*source);
  } else {
    gpi::ReflectionOps::Merge(from, to);
  }
}

// The copy and merge entries of a class's ClassData: the runtime's generic
// CopyFrom and MergeFrom call these for two messages of the same class.
template <class Message>
void CopyToFrom(gp::Message& to, const gp::Message& from) {
  static_cast<Message&>(to).Message::CopyFrom(static_cast<const Message&>(from));
}
template <class Message>
void MergeToFrom(gp::Message& to, const gp::Message& from) {
  static_cast<Message&>(to).Message::MergeFrom(static_cast<const Message&>(from));
}

// ---------------------------------------------------------------------------
// Parsing from a CodedInputStream.

enum class Skip { kContinue, kEndOfMessage, kFailure };

// A tag this message does not know (or a known number with another wire
// type): an end-group tag ends the message and is left for the enclosing
// group's reader; anything else is kept in the unknown-field set.
inline Skip SkipUnknownField(CodedInputStream* input, uint32_t tag,
                             gp::UnknownFieldSet* unknown) {
  if (WireFormatLite::GetTagWireType(tag) ==
      WireFormatLite::WIRETYPE_END_GROUP) {
    return Skip::kEndOfMessage;
  }
  return WireFormat::SkipField(input, tag, unknown) ? Skip::kContinue
                                                    : Skip::kFailure;
}

// The last field in number order: true when the input sits exactly at its
// limit, in which case the stream is marked as ending legitimately.
inline bool AtCleanEnd(CodedInputStream* input) { return input->ExpectAtEnd(); }

// One length-delimited element, parsed by the element class's own parser
// (called directly, no virtual hop) under a pushed limit and one more level
// of recursion. The element must end exactly at the limit.
template <class Element>
inline bool ReadNestedElement(CodedInputStream* input, Element* element) {
  int length;
  if (!input->ReadVarintSizeAsInt(&length)) return false;
  // A length past the enclosing limit is cut short by PushLimit, so it is
  // refused here; past the end of an unlimited stream it is refused below.
  const int available = input->BytesUntilLimit();
  if (available >= 0 && length > available) return false;
  if (!input->IncrementRecursionDepth()) return false;
  const CodedInputStream::Limit limit = input->PushLimit(length);
  // A tag read at the end of the input also counts as a clean end, so a
  // length running past the input is caught by the bytes left to the limit.
  if (!element->Element::MergePartialFromCodedStream(input) ||
      !input->ConsumedEntireMessage() || input->BytesUntilLimit() != 0) {
    return false;
  }
  input->PopLimit(limit);
  input->DecrementRecursionDepth();
  return true;
}

inline bool ReadUInt32(CodedInputStream* input, uint32_t* value) {
  return input->ReadVarint32(value);
}
inline bool ReadUInt64(CodedInputStream* input, uint64_t* value) {
  return input->ReadVarint64(value);
}
inline bool ReadSInt32(CodedInputStream* input, int32_t* value) {
  uint32_t raw;
  if (!input->ReadVarint32(&raw)) return false;
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

template <class T>
inline const char* ParseVarint(const char* ptr, T* value) {
  return gpi::VarintParse(ptr, value);
}
inline const char* ParseSInt32(const char* ptr, int32_t* value) {
  uint32_t raw;
  ptr = gpi::VarintParse(ptr, &raw);
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
    const int size = element.Element::ByteSize();
    total += static_cast<size_t>(size) +
             CodedOutputStream::VarintSize32(static_cast<uint32_t>(size));
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

}  // namespace wire
}  // namespace Pb

// The members every message class defines the same way, whatever its fields:
// construction, copying, the default instance, descriptor and metadata, the
// runtime's entry points routed onto the class's own code. `metadata_of` is
// the file's `const Metadata& (int)` accessor, `index` the class's slot in it,
// `register_file` the file's registration function. What remains for each
// class is written out beside it: SharedCtor, SharedDtor, Clear, MergeFrom,
// Swap, ByteSize, WriteFields and the two parsers.
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
  size_t Class::ByteSizeLong() const { return static_cast<size_t>(ByteSize()); } \
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
