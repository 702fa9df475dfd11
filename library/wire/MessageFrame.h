// SPDX-License-Identifier: BSD-3-Clause
// The class frame: the members every message class defines the same way,
// whatever its fields, written by one macro.
#ifndef TARVESH_WIRE_MESSAGE_FRAME_H
#define TARVESH_WIRE_MESSAGE_FRAME_H

#include "wire/Merging.h"
#include "wire/StreamRoom.h"
#include "wire/Writing.h"

#include <utility>

#include <google/protobuf/generated_message_util.h>
#include <google/protobuf/stubs/stl_util.h>

namespace Pb {
namespace wire {

// New(Arena*): on the heap the plain constructor, as New(); on an arena the
// runtime's arena protocol, which passes the arena to the class.
template <class Class>
inline Class* NewMessage(gp::Arena* arena) {
  return arena == nullptr ? new Class() : gp::Arena::CreateMessage<Class>(arena);
}

// Cached sizes are relaxed atomics, so that several threads may size and
// write one const message at once; a swap exchanges their values.
inline void SwapCachedSizes(gpi::CachedSize* a, gpi::CachedSize* b) {
  const int size = a->Get();
  a->Set(b->Get());
  b->Set(size);
}

// Swap between messages of different owners (heap and arena, or two
// arenas): each gets a copy of the other's content, on its own owner.
template <class Class>
inline void SwapByCopy(Class* a, Class* b) {
  Class a_content;
  a_content.Class::MergeFrom(*a);
  a->Class::CopyFrom(*b);
  b->Class::CopyFrom(a_content);
}

// The runtime's refusal of a message past 2 GB, with its log line.
TARVESH_HIDDEN __attribute__((noinline, cold)) inline bool RefuseOversized(
    const gp::MessageLite& message, size_t size) {
  GOOGLE_LOG(ERROR) << message.GetTypeName() << " exceeded maximum protobuf size of 2GB: "
                    << size;
  return false;
}

// The whole message after what `output` holds, as the runtime's
// AppendToString writes it, but sized and written by the class's own code
// directly: no virtual calls, no output stream, no test per field for room.
template <class Class>
inline bool AppendMessage(const Class& message, std::string* output) {
  const size_t size = message.Class::ByteSizeLong();
  if (size > INT_MAX) return RefuseOversized(message, size);
  const size_t old_size = output->size();
  gp::STLStringResizeUninitializedAmortized(output, old_size + size);
  message.Class::SerializeWithCachedSizesToArray(
      reinterpret_cast<uint8_t*>(&(*output)[0]) + old_size);
  return true;
}

// As the runtime's SerializeToArray: false when `size` bytes cannot hold it.
template <class Class>
inline bool WriteMessageToArray(const Class& message, void* data, int size) {
  const size_t byte_size = message.Class::ByteSizeLong();
  if (byte_size > INT_MAX) return RefuseOversized(message, byte_size);
  if (size < 0 || static_cast<size_t>(size) < byte_size) return false;
  message.Class::SerializeWithCachedSizesToArray(static_cast<uint8_t*>(data));
  return true;
}

// SerializeWithCachedSizes of a message that does not fit in the room the
// stream offers, or that holds unknown fields, out of line: the caller's own
// path, the array writer of the known fields, then keeps nothing across a
// call and needs no stack frame.
template <class Class>
__attribute__((noinline)) void SerializeThroughStream(const Class& message,
                                                      CodedOutputStream* output) {
  output->SetCur(message.Class::_InternalSerialize(output->Cur(), output->EpsCopy()));
}

}  // namespace wire
}  // namespace Pb

// The members every message class defines the same way, whatever its fields:
// construction (plain, copy, move, on an arena), destruction, swapping, the
// default instance, descriptor and metadata, the runtime's entry points routed
// onto the class's own code. `metadata_of` is the file's
// `const Metadata& (int)` accessor, `index` the class's slot in it,
// `register_file` the file's registration function. What remains for each
// class is written out beside it: the arena and constant constructors,
// SharedCtor, SharedDtor, Clear, MergeFrom, InternalSwap, ByteSizeLong,
// WriteFields and the two parsers. ByteSizeLong returns the full size, which
// the runtime's writers refuse past INT_MAX; ByteSize is its int form, as the
// runtime's own.
//
// Moves steal (swap with an empty object) when both sides share an owner and
// copy otherwise; the destructor of a message on an arena leaves everything
// to the arena.
#define PB_DEFINE_MESSAGE_FRAME(Class, metadata_of, index, register_file)        \
  static_assert(Class::kIndexInFileMessages == (index), "metadata slot");       \
  Class* Class::default_instance_ = nullptr;                                    \
  const ::google::protobuf::Message::ClassData Class::_class_data_ = {          \
      &::Pb::wire::CopyToFrom<Class>, &::Pb::wire::MergeToFrom<Class>};         \
  Class::Class() : Class(nullptr, false) {}                                     \
  Class::Class(const Class& from) : Class(nullptr, false) { MergeFrom(from); }  \
  Class::Class(Class&& from) noexcept : Class(nullptr, false) {                 \
    *this = ::std::move(from);                                                  \
  }                                                                             \
  Class::~Class() {                                                             \
    if (_internal_metadata_.DeleteReturnArena<::google::protobuf::UnknownFieldSet>() != \
        nullptr) {                                                              \
      return;                                                                   \
    }                                                                           \
    SharedDtor();                                                               \
  }                                                                             \
  Class& Class::operator=(const Class& from) {                                  \
    CopyFrom(from);                                                             \
    return *this;                                                               \
  }                                                                             \
  Class& Class::operator=(Class&& from) noexcept {                              \
    if (&from == this) return *this;                                            \
    if (GetOwningArena() == from.GetOwningArena()) {                            \
      InternalSwap(&from);                                                      \
    } else {                                                                    \
      CopyFrom(from);                                                           \
    }                                                                           \
    return *this;                                                               \
  }                                                                             \
  void Class::Swap(Class* other) {                                              \
    if (other == this) return;                                                  \
    if (GetOwningArena() == other->GetOwningArena()) {                          \
      InternalSwap(other);                                                      \
    } else {                                                                    \
      ::Pb::wire::SwapByCopy(this, other);                                      \
    }                                                                           \
  }                                                                             \
  void Class::UnsafeArenaSwap(Class* other) {                                   \
    if (other == this) return;                                                  \
    InternalSwap(other);                                                        \
  }                                                                             \
  const ::google::protobuf::Descriptor* Class::descriptor() {                   \
    return metadata_of(index).descriptor;                                       \
  }                                                                             \
  const ::google::protobuf::Reflection* Class::GetReflection() {                \
    return metadata_of(index).reflection;                                       \
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
    Class::Clear();                                                             \
    Class::MergeFrom(from);                                                     \
  }                                                                             \
  int Class::ByteSize() const {                                                 \
    return ::google::protobuf::internal::ToIntSize(Class::ByteSizeLong());      \
  }                                                                             \
  std::uint8_t* Class::SerializeWithCachedSizesToArray(std::uint8_t* target)    \
      const {                                                                   \
    return WriteFields(::Pb::wire::ArrayOutput{}, target);                      \
  }                                                                             \
  std::uint8_t* Class::_InternalSerialize(                                      \
      std::uint8_t* target, ::google::protobuf::io::EpsCopyOutputStream* stream) \
      const {                                                                   \
    if (TARVESH_LIKELY(                                                         \
            ::Pb::wire::StreamHasRoom(stream, target, _cached_size_.Get()))) {  \
      return WriteFields(::Pb::wire::ArrayOutput{}, target);                    \
    }                                                                           \
    return [this](std::uint8_t* target, ::Pb::wire::EpsCopyOutputStream* stream) \
               __attribute__((noinline)) {                                      \
      return WriteFields(::Pb::wire::StreamOutput{stream}, target);             \
    }(target, stream);                                                          \
  }                                                                             \
  void Class::SerializeWithCachedSizes(                                         \
      ::google::protobuf::io::CodedOutputStream* output) const {                \
    std::uint8_t* target = output->Cur();                                       \
    if (TARVESH_LIKELY(::Pb::wire::StreamHasRoom(output->EpsCopy(), target,     \
                                                 _cached_size_.Get()) &&        \
                       !_internal_metadata_.have_unknown_fields())) {           \
      output->SetCur(WriteFields(::Pb::wire::KnownFieldsArrayOutput{}, target)); \
      return;                                                                   \
    }                                                                           \
    ::Pb::wire::SerializeThroughStream(*this, output);                          \
  }

// The object that code generated for an importing schema reads, through a
// cast, as the class's empty message (`_<Class>_default_instance_`): built at
// compile time by the class's constant constructor, never destroyed, apart
// from default_instance(), which registration creates and shutdown deletes.
#define PB_DEFINE_CONSTANT_DEFAULT(Class)                                       \
  struct Class##DefaultTypeInternal {                                           \
    constexpr Class##DefaultTypeInternal()                                      \
        : instance(::google::protobuf::internal::ConstantInitialized{}) {}      \
    ~Class##DefaultTypeInternal() {}                                            \
    union {                                                                     \
      Class instance;                                                           \
    };                                                                          \
  };                                                                            \
  PROTOBUF_ATTRIBUTE_NO_DESTROY PROTOBUF_CONSTINIT                              \
  Class##DefaultTypeInternal _##Class##_default_instance_;

// The runtime's factory for arena-constructable classes, specialised so that
// heap elements come from the plain constructor. Used in namespace
// google::protobuf.
#define PB_DEFINE_CREATE_MAYBE_MESSAGE(Class)                                   \
  template <>                                                                   \
  Class* Arena::CreateMaybeMessage<Class>(Arena * arena) {                      \
    return arena == nullptr ? new Class() : Arena::CreateMessageInternal<Class>(arena); \
  }

// The runtime's whole-message writers of the same names, sized and written by
// the class's own code: no virtual calls, no output stream. Expanded in a
// file of their own (library/*Output.cc), apart from the class's fields:
// each holds a copy of the class's sizing and writing, which in the class's
// file would use up the compiler's inlining budget for that file and leave
// the parsers' small readers out of line.
#define PB_DEFINE_MESSAGE_OUTPUT(Class)                                         \
  bool Class::SerializeToString(std::string* output) const {                    \
    output->clear();                                                            \
    return ::Pb::wire::AppendMessage(*this, output);                            \
  }                                                                             \
  bool Class::AppendToString(std::string* output) const {                       \
    return ::Pb::wire::AppendMessage(*this, output);                            \
  }                                                                             \
  std::string Class::SerializeAsString() const {                                \
    std::string output;                                                         \
    if (!::Pb::wire::AppendMessage(*this, &output)) output.clear();             \
    return output;                                                              \
  }                                                                             \
  bool Class::SerializeToArray(void* data, int size) const {                    \
    return ::Pb::wire::WriteMessageToArray(*this, data, size);                  \
  }

#endif  // TARVESH_WIRE_MESSAGE_FRAME_H
