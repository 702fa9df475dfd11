// SPDX-License-Identifier: BSD-3-Clause
// Stand-in for the HalvinProtoBuf sibling library: the message class of
// "ProtoBuf/Halvin/Halvin.Storage.proto", written by hand in the same shape
// as the TarveshProtoBuf classes. It provides what the recording schema uses
// of the real library: DataFileRef and the file's registration.
#ifndef PROTOBUF_HALVIN_HALVIN_STORAGE_PB_H
#define PROTOBUF_HALVIN_HALVIN_STORAGE_PB_H

#include <cstdint>
#include <string>

#include <google/protobuf/arena.h>
#include <google/protobuf/generated_message_reflection.h>
#include <google/protobuf/generated_message_util.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>
#include <google/protobuf/unknown_field_set.h>

#include "ProtoBuf/Halvin/HalvinExport.h"

// The file's table under the name protoc's output uses: code generated for a
// schema importing this file lists it among its dependencies.
HALVIN_EXPORT extern const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto;

namespace Pb {
namespace wire {
// The parsers' way to a class's arena constructor, for elements they build
// in arena storage of their own (internal; befriended by every class).
struct ArenaConstruction;
}  // namespace wire
}  // namespace Pb

namespace Pb {
namespace Halvin {
namespace Stor {

HALVIN_EXPORT void protobuf_AddDesc_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto();

struct HalvinStorageFileTables;

// The objects that code generated for an importing schema reads as the
// classes' empty messages: constant-initialised, never destroyed.
class DataFileRef;
struct DataFileRefDefaultTypeInternal;
HALVIN_EXPORT extern DataFileRefDefaultTypeInternal _DataFileRef_default_instance_;

}  // namespace Stor
}  // namespace Halvin
}  // namespace Pb

// Arena::CreateMessage, and repeated fields of these classes, create
// elements through these: on the heap with the plain constructor.
namespace google {
namespace protobuf {
template <>
HALVIN_EXPORT ::Pb::Halvin::Stor::DataFileRef*
Arena::CreateMaybeMessage<::Pb::Halvin::Stor::DataFileRef>(Arena* arena);
}  // namespace protobuf
}  // namespace google

namespace Pb {
namespace Halvin {
namespace Stor {

class HALVIN_EXPORT DataFileRef : public ::google::protobuf::Message {
 public:
  DataFileRef();
  DataFileRef(const DataFileRef& from);
  ~DataFileRef() override;
  DataFileRef& operator=(const DataFileRef& from);
  DataFileRef(DataFileRef&& from) noexcept;
  DataFileRef& operator=(DataFileRef&& from) noexcept;
  friend void swap(DataFileRef& a, DataFileRef& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const DataFileRef& default_instance();
  static DataFileRef* default_instance_;
  static const DataFileRef* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 0;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Halvin.Stor.DataFileRef"; }

  void Swap(DataFileRef* other);
  void UnsafeArenaSwap(DataFileRef* other);

  DataFileRef* New() const;
  DataFileRef* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const DataFileRef& from);
  void MergeFrom(const DataFileRef& from);
  void Clear() override;
  bool IsInitialized() const override;

  int ByteSize() const;
  size_t ByteSizeLong() const override;
  bool MergePartialFromCodedStream(::google::protobuf::io::CodedInputStream* input);
  const char* _InternalParse(const char* ptr,
                             ::google::protobuf::internal::ParseContext* ctx) override;
  void SerializeWithCachedSizes(::google::protobuf::io::CodedOutputStream* output) const;
  std::uint8_t* SerializeWithCachedSizesToArray(std::uint8_t* target) const;
  // The runtime's members of these names, sized and written by the class's
  // own code without going through an output stream.
  bool SerializeToString(std::string* output) const;
  bool AppendToString(std::string* output) const;
  std::string SerializeAsString() const;
  bool SerializeToArray(void* data, int size) const;
  std::uint8_t* _InternalSerialize(
      std::uint8_t* target, ::google::protobuf::io::EpsCopyOutputStream* stream) const override;
  int GetCachedSize() const override { return _cached_size_.Get(); }

  ::google::protobuf::Metadata GetMetadata() const override;
  const ClassData* GetClassData() const override;

  // optional uint32 file_index = 1;
  bool has_file_index() const { return _has_bit(0); }
  void clear_file_index() { file_index_ = 0; _clear_bit(0); }
  static const int kFileIndexFieldNumber = 1;
  std::uint32_t file_index() const { return file_index_; }
  void set_file_index(std::uint32_t value) { _set_bit(0); file_index_ = value; }

  // optional uint64 file_size = 2;
  bool has_file_size() const { return _has_bit(1); }
  void clear_file_size() { file_size_ = 0; _clear_bit(1); }
  static const int kFileSizeFieldNumber = 2;
  std::uint64_t file_size() const { return file_size_; }
  void set_file_size(std::uint64_t value) { _set_bit(1); file_size_ = value; }

  // optional uint64 file_id = 3;
  bool has_file_id() const { return _has_bit(2); }
  void clear_file_id() { file_id_ = 0; _clear_bit(2); }
  static const int kFileIdFieldNumber = 3;
  std::uint64_t file_id() const { return file_id_; }
  void set_file_id(std::uint64_t value) { _set_bit(2); file_id_ = value; }


  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit DataFileRef(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct HalvinStorageFileTables;
  friend struct DataFileRefDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr DataFileRef(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(DataFileRef* other);
  template <class Output>
  std::uint8_t* WriteFields(const Output& out, std::uint8_t* target) const;
  void SharedCtor();
  void SharedDtor();
  void SetCachedSize(int size) const override { _cached_size_.Set(size); }
  void InitAsDefaultInstance() {}

  bool _has_bit(int index) const { return (_has_bits_[index / 32] & (1u << (index % 32))) != 0; }
  void _set_bit(int index) { _has_bits_[index / 32] |= (1u << (index % 32)); }
  void _clear_bit(int index) { _has_bits_[index / 32] &= ~(1u << (index % 32)); }

  mutable ::google::protobuf::internal::CachedSize _cached_size_;
  std::uint32_t file_index_;
  std::uint64_t file_size_;
  std::uint64_t file_id_;
  std::uint32_t _has_bits_[(3 + 31) / 32];

  static const ClassData _class_data_;
};

}  // namespace Stor
}  // namespace Halvin
}  // namespace Pb

#endif  // PROTOBUF_HALVIN_HALVIN_STORAGE_PB_H
