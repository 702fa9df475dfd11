// The class frame: the members every message class defines the same way,
// whatever its fields, written by one macro.
#ifndef TARVESH_WIRE_MESSAGE_FRAME_H
#define TARVESH_WIRE_MESSAGE_FRAME_H

#include "wire/Merging.h"
#include "wire/Writing.h"

namespace Pb {
namespace wire {

// New(Arena*): the classes have no arena constructor; on an arena they are
// created as ordinary objects whose destructor the arena runs.
template <class Class>
inline Class* NewMessage(gp::Arena* arena) {
  return arena == nullptr ? new Class() : gp::Arena::Create<Class>(arena);
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

#endif  // TARVESH_WIRE_MESSAGE_FRAME_H
