// SPDX-License-Identifier: BSD-3-Clause
// Message classes of "ProtoBuf/Tarvesh/Tarvesh.Track.proto": run pairs, the
// per-track frame tables with their packed columns, and tracks. Written by
// hand, field by field.
#ifndef PROTOBUF_TARVESH_TARVESH_TRACK_PB_H
#define PROTOBUF_TARVESH_TARVESH_TRACK_PB_H

#include <cstddef>
#include <cstdint>
#include <string>

#include <google/protobuf/arenastring.h>
#include <google/protobuf/arena.h>
#include <google/protobuf/generated_message_reflection.h>
#include <google/protobuf/generated_message_util.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>
#include <google/protobuf/repeated_field.h>
#include <google/protobuf/unknown_field_set.h>

#include "ProtoBuf/Velto/Velto.pb.h"
#include "ProtoBuf/Tarvesh/TarveshExport.h"

// The file's table under the name protoc's output uses: code generated for a
// schema importing this file lists it among its dependencies.
TARVESH_EXPORT extern const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto;

namespace Pb {
namespace wire {
// The parsers' way to a class's arena constructor, for elements they build
// in arena storage of their own (internal; befriended by every class).
struct ArenaConstruction;
}  // namespace wire
}  // namespace Pb

namespace Pb {
namespace Tarvesh {

// Registers the file with the runtime; runs at load, later calls return at once.
TARVESH_EXPORT void protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto();

struct TrackFileTables;

// The objects that code generated for an importing schema reads as the
// classes' empty messages: constant-initialised, never destroyed.
class CountDeltaS32;
struct CountDeltaS32DefaultTypeInternal;
TARVESH_EXPORT extern CountDeltaS32DefaultTypeInternal _CountDeltaS32_default_instance_;
class CountValU32;
struct CountValU32DefaultTypeInternal;
TARVESH_EXPORT extern CountValU32DefaultTypeInternal _CountValU32_default_instance_;
class CountValS32;
struct CountValS32DefaultTypeInternal;
TARVESH_EXPORT extern CountValS32DefaultTypeInternal _CountValS32_default_instance_;
class FrameTable;
struct FrameTableDefaultTypeInternal;
TARVESH_EXPORT extern FrameTableDefaultTypeInternal _FrameTable_default_instance_;
class Track;
struct TrackDefaultTypeInternal;
TARVESH_EXPORT extern TrackDefaultTypeInternal _Track_default_instance_;

}  // namespace Tarvesh
}  // namespace Pb

// Arena::CreateMessage, and repeated fields of these classes, create
// elements through these: on the heap with the plain constructor.
namespace google {
namespace protobuf {
template <>
TARVESH_EXPORT ::Pb::Tarvesh::CountDeltaS32*
Arena::CreateMaybeMessage<::Pb::Tarvesh::CountDeltaS32>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::CountValU32*
Arena::CreateMaybeMessage<::Pb::Tarvesh::CountValU32>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::CountValS32*
Arena::CreateMaybeMessage<::Pb::Tarvesh::CountValS32>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::FrameTable*
Arena::CreateMaybeMessage<::Pb::Tarvesh::FrameTable>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::Track* Arena::CreateMaybeMessage<::Pb::Tarvesh::Track>(Arena* arena);
}  // namespace protobuf
}  // namespace google

namespace Pb {
namespace Tarvesh {

// A run of `count` frames whose value changes by `delta` from one to the next.
class TARVESH_EXPORT CountDeltaS32 : public ::google::protobuf::Message {
 public:
  CountDeltaS32();
  CountDeltaS32(const CountDeltaS32& from);
  ~CountDeltaS32() override;
  CountDeltaS32& operator=(const CountDeltaS32& from);
  CountDeltaS32(CountDeltaS32&& from) noexcept;
  CountDeltaS32& operator=(CountDeltaS32&& from) noexcept;
  friend void swap(CountDeltaS32& a, CountDeltaS32& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const CountDeltaS32& default_instance();
  static CountDeltaS32* default_instance_;
  static const CountDeltaS32* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 0;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.CountDeltaS32"; }

  void Swap(CountDeltaS32* other);
  void UnsafeArenaSwap(CountDeltaS32* other);

  CountDeltaS32* New() const;
  CountDeltaS32* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const CountDeltaS32& from);
  void MergeFrom(const CountDeltaS32& from);
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

  // optional uint32 count = 1;
  bool has_count() const { return _has_bit(0); }
  void clear_count() { count_ = 0; _clear_bit(0); }
  static const int kCountFieldNumber = 1;
  std::uint32_t count() const { return count_; }
  void set_count(std::uint32_t value) { _set_bit(0); count_ = value; }

  // optional sint32 delta = 2;
  bool has_delta() const { return _has_bit(1); }
  void clear_delta() { delta_ = 0; _clear_bit(1); }
  static const int kDeltaFieldNumber = 2;
  std::int32_t delta() const { return delta_; }
  void set_delta(std::int32_t value) { _set_bit(1); delta_ = value; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit CountDeltaS32(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct TrackFileTables;
  friend struct CountDeltaS32DefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr CountDeltaS32(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(CountDeltaS32* other);
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
  std::uint32_t count_;
  std::int32_t delta_;
  std::uint32_t _has_bits_[(2 + 31) / 32];

  static const ClassData _class_data_;
};

// A run of `count` frames sharing the unsigned value `val`.
class TARVESH_EXPORT CountValU32 : public ::google::protobuf::Message {
 public:
  CountValU32();
  CountValU32(const CountValU32& from);
  ~CountValU32() override;
  CountValU32& operator=(const CountValU32& from);
  CountValU32(CountValU32&& from) noexcept;
  CountValU32& operator=(CountValU32&& from) noexcept;
  friend void swap(CountValU32& a, CountValU32& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const CountValU32& default_instance();
  static CountValU32* default_instance_;
  static const CountValU32* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 1;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.CountValU32"; }

  void Swap(CountValU32* other);
  void UnsafeArenaSwap(CountValU32* other);

  CountValU32* New() const;
  CountValU32* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const CountValU32& from);
  void MergeFrom(const CountValU32& from);
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

  // optional uint32 count = 1;
  bool has_count() const { return _has_bit(0); }
  void clear_count() { count_ = 0; _clear_bit(0); }
  static const int kCountFieldNumber = 1;
  std::uint32_t count() const { return count_; }
  void set_count(std::uint32_t value) { _set_bit(0); count_ = value; }

  // optional uint32 val = 2;
  bool has_val() const { return _has_bit(1); }
  void clear_val() { val_ = 0; _clear_bit(1); }
  static const int kValFieldNumber = 2;
  std::uint32_t val() const { return val_; }
  void set_val(std::uint32_t value) { _set_bit(1); val_ = value; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit CountValU32(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct TrackFileTables;
  friend struct CountValU32DefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr CountValU32(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(CountValU32* other);
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
  std::uint32_t count_;
  std::uint32_t val_;
  std::uint32_t _has_bits_[(2 + 31) / 32];

  static const ClassData _class_data_;
};

// A run of `count` frames sharing the signed value `val`.
class TARVESH_EXPORT CountValS32 : public ::google::protobuf::Message {
 public:
  CountValS32();
  CountValS32(const CountValS32& from);
  ~CountValS32() override;
  CountValS32& operator=(const CountValS32& from);
  CountValS32(CountValS32&& from) noexcept;
  CountValS32& operator=(CountValS32&& from) noexcept;
  friend void swap(CountValS32& a, CountValS32& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const CountValS32& default_instance();
  static CountValS32* default_instance_;
  static const CountValS32* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 2;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.CountValS32"; }

  void Swap(CountValS32* other);
  void UnsafeArenaSwap(CountValS32* other);

  CountValS32* New() const;
  CountValS32* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const CountValS32& from);
  void MergeFrom(const CountValS32& from);
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

  // optional uint32 count = 1;
  bool has_count() const { return _has_bit(0); }
  void clear_count() { count_ = 0; _clear_bit(0); }
  static const int kCountFieldNumber = 1;
  std::uint32_t count() const { return count_; }
  void set_count(std::uint32_t value) { _set_bit(0); count_ = value; }

  // optional sint32 val = 2;
  bool has_val() const { return _has_bit(1); }
  void clear_val() { val_ = 0; _clear_bit(1); }
  static const int kValFieldNumber = 2;
  std::int32_t val() const { return val_; }
  void set_val(std::int32_t value) { _set_bit(1); val_ = value; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit CountValS32(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct TrackFileTables;
  friend struct CountValS32DefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr CountValS32(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(CountValS32* other);
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
  std::uint32_t count_;
  std::int32_t val_;
  std::uint32_t _has_bits_[(2 + 31) / 32];

  static const ClassData _class_data_;
};

// The frames of one stretch of a track, column by column: run pairs, packed
// integer columns, opaque coding-dependency bytes and 64-bit tags.
class TARVESH_EXPORT FrameTable : public ::google::protobuf::Message {
 public:
  FrameTable();
  FrameTable(const FrameTable& from);
  ~FrameTable() override;
  FrameTable& operator=(const FrameTable& from);
  FrameTable(FrameTable&& from) noexcept;
  FrameTable& operator=(FrameTable&& from) noexcept;
  friend void swap(FrameTable& a, FrameTable& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const FrameTable& default_instance();
  static FrameTable* default_instance_;
  static const FrameTable* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 3;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.FrameTable"; }

  void Swap(FrameTable* other);
  void UnsafeArenaSwap(FrameTable* other);

  FrameTable* New() const;
  FrameTable* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const FrameTable& from);
  void MergeFrom(const FrameTable& from);
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

  // repeated CountDeltaS32 seq_numbers = 1;
  int seq_numbers_size() const { return seq_numbers_.size(); }
  void clear_seq_numbers() { seq_numbers_.Clear(); }
  static const int kSeqNumbersFieldNumber = 1;
  const CountDeltaS32& seq_numbers(int index) const { return seq_numbers_.Get(index); }
  CountDeltaS32* mutable_seq_numbers(int index) { return seq_numbers_.Mutable(index); }
  CountDeltaS32* add_seq_numbers() { return seq_numbers_.Add(); }
  const ::google::protobuf::RepeatedPtrField<CountDeltaS32>& seq_numbers() const { return seq_numbers_; }
  ::google::protobuf::RepeatedPtrField<CountDeltaS32>* mutable_seq_numbers() { return &seq_numbers_; }

  // repeated CountDeltaS32 timestamps = 2;
  int timestamps_size() const { return timestamps_.size(); }
  void clear_timestamps() { timestamps_.Clear(); }
  static const int kTimestampsFieldNumber = 2;
  const CountDeltaS32& timestamps(int index) const { return timestamps_.Get(index); }
  CountDeltaS32* mutable_timestamps(int index) { return timestamps_.Mutable(index); }
  CountDeltaS32* add_timestamps() { return timestamps_.Add(); }
  const ::google::protobuf::RepeatedPtrField<CountDeltaS32>& timestamps() const { return timestamps_; }
  ::google::protobuf::RepeatedPtrField<CountDeltaS32>* mutable_timestamps() { return &timestamps_; }

  // optional bytes coding_depend = 3;
  // Unset, the field points at the shared empty _default_coding_depend_; the
  // first write gives the object its own string (on the object's arena, if it
  // has one), which then stays (empty after a clear) until the object is
  // destroyed. The pointer carries the runtime's string-field tag, so
  // reflection reads and writes the same storage with the same ownership.
  // Any default-tagged pointer (the runtime's own empty string, after a
  // reflection clear or in the constant default object) reads as the shared
  // default.
  bool has_coding_depend() const { return _has_bit(2); }
  void clear_coding_depend() {
    if (!coding_depend_.IsDefault()) coding_depend_.UnsafeMutablePointer()->clear();
    _clear_bit(2);
  }
  static const int kCodingDependFieldNumber = 3;
  const std::string& coding_depend() const {
    return coding_depend_.IsDefault() ? _default_coding_depend_ : coding_depend_.Get();
  }
  void set_coding_depend(const std::string& value) { mutable_coding_depend()->assign(value); }
  void set_coding_depend(const char* value) { mutable_coding_depend()->assign(value); }
  void set_coding_depend(const void* value, size_t size) {
    mutable_coding_depend()->assign(static_cast<const char*>(value), size);
  }
  std::string* mutable_coding_depend() {
    _set_bit(2);
    return coding_depend_.MutableNoCopy(GetArenaForAllocation());
  }
  // Hands the string to the caller (a heap copy when it lives on an arena);
  // null when the field is absent. The field then reads as the shared default.
  std::string* release_coding_depend() {
    if (!has_coding_depend()) return nullptr;
    _clear_bit(2);
    return coding_depend_.Release();
  }
  // Takes ownership of `value` (the arena's, on an arena); null clears.
  void set_allocated_coding_depend(std::string* value) {
    if (value != nullptr) {
      _set_bit(2);
    } else {
      _clear_bit(2);
    }
    coding_depend_.SetAllocated(value, GetArenaForAllocation());
  }
  static const std::string _default_coding_depend_;

  // repeated sint32 frame_sizes = 4 [packed = true];
  int frame_sizes_size() const { return frame_sizes_.size(); }
  void clear_frame_sizes() { frame_sizes_.Clear(); }
  static const int kFrameSizesFieldNumber = 4;
  std::int32_t frame_sizes(int index) const { return frame_sizes_.Get(index); }
  void set_frame_sizes(int index, std::int32_t value) { frame_sizes_.Set(index, value); }
  void add_frame_sizes(std::int32_t value) { frame_sizes_.Add(value); }
  const ::google::protobuf::RepeatedField<std::int32_t>& frame_sizes() const { return frame_sizes_; }
  ::google::protobuf::RepeatedField<std::int32_t>* mutable_frame_sizes() { return &frame_sizes_; }

  // repeated uint32 frame_to_pallet_offsets = 5 [packed = true];
  int frame_to_pallet_offsets_size() const { return frame_to_pallet_offsets_.size(); }
  void clear_frame_to_pallet_offsets() { frame_to_pallet_offsets_.Clear(); }
  static const int kFrameToPalletOffsetsFieldNumber = 5;
  std::uint32_t frame_to_pallet_offsets(int index) const { return frame_to_pallet_offsets_.Get(index); }
  void set_frame_to_pallet_offsets(int index, std::uint32_t value) { frame_to_pallet_offsets_.Set(index, value); }
  void add_frame_to_pallet_offsets(std::uint32_t value) { frame_to_pallet_offsets_.Add(value); }
  const ::google::protobuf::RepeatedField<std::uint32_t>& frame_to_pallet_offsets() const { return frame_to_pallet_offsets_; }
  ::google::protobuf::RepeatedField<std::uint32_t>* mutable_frame_to_pallet_offsets() { return &frame_to_pallet_offsets_; }

  // repeated CountValU32 frame_to_pallet_ids = 6;
  int frame_to_pallet_ids_size() const { return frame_to_pallet_ids_.size(); }
  void clear_frame_to_pallet_ids() { frame_to_pallet_ids_.Clear(); }
  static const int kFrameToPalletIdsFieldNumber = 6;
  const CountValU32& frame_to_pallet_ids(int index) const { return frame_to_pallet_ids_.Get(index); }
  CountValU32* mutable_frame_to_pallet_ids(int index) { return frame_to_pallet_ids_.Mutable(index); }
  CountValU32* add_frame_to_pallet_ids() { return frame_to_pallet_ids_.Add(); }
  const ::google::protobuf::RepeatedPtrField<CountValU32>& frame_to_pallet_ids() const { return frame_to_pallet_ids_; }
  ::google::protobuf::RepeatedPtrField<CountValU32>* mutable_frame_to_pallet_ids() { return &frame_to_pallet_ids_; }

  // repeated CountValU32 access_units_per_frame = 7;
  int access_units_per_frame_size() const { return access_units_per_frame_.size(); }
  void clear_access_units_per_frame() { access_units_per_frame_.Clear(); }
  static const int kAccessUnitsPerFrameFieldNumber = 7;
  const CountValU32& access_units_per_frame(int index) const { return access_units_per_frame_.Get(index); }
  CountValU32* mutable_access_units_per_frame(int index) { return access_units_per_frame_.Mutable(index); }
  CountValU32* add_access_units_per_frame() { return access_units_per_frame_.Add(); }
  const ::google::protobuf::RepeatedPtrField<CountValU32>& access_units_per_frame() const { return access_units_per_frame_; }
  ::google::protobuf::RepeatedPtrField<CountValU32>* mutable_access_units_per_frame() { return &access_units_per_frame_; }

  // repeated sint32 access_unit_length_diffs = 8 [packed = true];
  int access_unit_length_diffs_size() const { return access_unit_length_diffs_.size(); }
  void clear_access_unit_length_diffs() { access_unit_length_diffs_.Clear(); }
  static const int kAccessUnitLengthDiffsFieldNumber = 8;
  std::int32_t access_unit_length_diffs(int index) const { return access_unit_length_diffs_.Get(index); }
  void set_access_unit_length_diffs(int index, std::int32_t value) { access_unit_length_diffs_.Set(index, value); }
  void add_access_unit_length_diffs(std::int32_t value) { access_unit_length_diffs_.Add(value); }
  const ::google::protobuf::RepeatedField<std::int32_t>& access_unit_length_diffs() const { return access_unit_length_diffs_; }
  ::google::protobuf::RepeatedField<std::int32_t>* mutable_access_unit_length_diffs() { return &access_unit_length_diffs_; }

  // repeated uint32 access_unit_offset_jumps = 9 [packed = true];
  int access_unit_offset_jumps_size() const { return access_unit_offset_jumps_.size(); }
  void clear_access_unit_offset_jumps() { access_unit_offset_jumps_.Clear(); }
  static const int kAccessUnitOffsetJumpsFieldNumber = 9;
  std::uint32_t access_unit_offset_jumps(int index) const { return access_unit_offset_jumps_.Get(index); }
  void set_access_unit_offset_jumps(int index, std::uint32_t value) { access_unit_offset_jumps_.Set(index, value); }
  void add_access_unit_offset_jumps(std::uint32_t value) { access_unit_offset_jumps_.Add(value); }
  const ::google::protobuf::RepeatedField<std::uint32_t>& access_unit_offset_jumps() const { return access_unit_offset_jumps_; }
  ::google::protobuf::RepeatedField<std::uint32_t>* mutable_access_unit_offset_jumps() { return &access_unit_offset_jumps_; }

  // repeated CountValS32 errors = 10;
  int errors_size() const { return errors_.size(); }
  void clear_errors() { errors_.Clear(); }
  static const int kErrorsFieldNumber = 10;
  const CountValS32& errors(int index) const { return errors_.Get(index); }
  CountValS32* mutable_errors(int index) { return errors_.Mutable(index); }
  CountValS32* add_errors() { return errors_.Add(); }
  const ::google::protobuf::RepeatedPtrField<CountValS32>& errors() const { return errors_; }
  ::google::protobuf::RepeatedPtrField<CountValS32>* mutable_errors() { return &errors_; }

  // repeated fixed64 auth_tags = 11 [packed = true];
  int auth_tags_size() const { return auth_tags_.size(); }
  void clear_auth_tags() { auth_tags_.Clear(); }
  static const int kAuthTagsFieldNumber = 11;
  std::uint64_t auth_tags(int index) const { return auth_tags_.Get(index); }
  void set_auth_tags(int index, std::uint64_t value) { auth_tags_.Set(index, value); }
  void add_auth_tags(std::uint64_t value) { auth_tags_.Add(value); }
  const ::google::protobuf::RepeatedField<std::uint64_t>& auth_tags() const { return auth_tags_; }
  ::google::protobuf::RepeatedField<std::uint64_t>* mutable_auth_tags() { return &auth_tags_; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit FrameTable(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct TrackFileTables;
  friend struct FrameTableDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr FrameTable(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(FrameTable* other);
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
  ::google::protobuf::RepeatedPtrField<CountDeltaS32> seq_numbers_;
  ::google::protobuf::RepeatedPtrField<CountDeltaS32> timestamps_;
  ::google::protobuf::internal::ArenaStringPtr coding_depend_;
  ::google::protobuf::RepeatedField<std::int32_t> frame_sizes_;
  mutable ::google::protobuf::internal::CachedSize _frame_sizes_cached_byte_size_;
  ::google::protobuf::RepeatedField<std::uint32_t> frame_to_pallet_offsets_;
  mutable ::google::protobuf::internal::CachedSize _frame_to_pallet_offsets_cached_byte_size_;
  ::google::protobuf::RepeatedPtrField<CountValU32> frame_to_pallet_ids_;
  ::google::protobuf::RepeatedPtrField<CountValU32> access_units_per_frame_;
  ::google::protobuf::RepeatedField<std::int32_t> access_unit_length_diffs_;
  mutable ::google::protobuf::internal::CachedSize _access_unit_length_diffs_cached_byte_size_;
  ::google::protobuf::RepeatedField<std::uint32_t> access_unit_offset_jumps_;
  mutable ::google::protobuf::internal::CachedSize _access_unit_offset_jumps_cached_byte_size_;
  ::google::protobuf::RepeatedPtrField<CountValS32> errors_;
  ::google::protobuf::RepeatedField<std::uint64_t> auth_tags_;
  mutable ::google::protobuf::internal::CachedSize _auth_tags_cached_byte_size_;
  std::uint32_t _has_bits_[(11 + 31) / 32];

  static const ClassData _class_data_;
};

// One track of a recording: its identity, start and length, frame tables and
// authentication type.
class TARVESH_EXPORT Track : public ::google::protobuf::Message {
 public:
  Track();
  Track(const Track& from);
  ~Track() override;
  Track& operator=(const Track& from);
  Track(Track&& from) noexcept;
  Track& operator=(Track&& from) noexcept;
  friend void swap(Track& a, Track& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const Track& default_instance();
  static Track* default_instance_;
  static const Track* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 4;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.Track"; }

  void Swap(Track* other);
  void UnsafeArenaSwap(Track* other);

  Track* New() const;
  Track* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const Track& from);
  void MergeFrom(const Track& from);
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

  // optional uint32 track_id = 1;
  bool has_track_id() const { return _has_bit(0); }
  void clear_track_id() { track_id_ = 0; _clear_bit(0); }
  static const int kTrackIdFieldNumber = 1;
  std::uint32_t track_id() const { return track_id_; }
  void set_track_id(std::uint32_t value) { _set_bit(0); track_id_ = value; }

  // optional uint32 num_frames = 2;
  bool has_num_frames() const { return _has_bit(1); }
  void clear_num_frames() { num_frames_ = 0; _clear_bit(1); }
  static const int kNumFramesFieldNumber = 2;
  std::uint32_t num_frames() const { return num_frames_; }
  void set_num_frames(std::uint32_t value) { _set_bit(1); num_frames_ = value; }

  // optional uint32 start_seq = 3;
  bool has_start_seq() const { return _has_bit(2); }
  void clear_start_seq() { start_seq_ = 0; _clear_bit(2); }
  static const int kStartSeqFieldNumber = 3;
  std::uint32_t start_seq() const { return start_seq_; }
  void set_start_seq(std::uint32_t value) { _set_bit(2); start_seq_ = value; }

  // optional fixed64 start_time = 4;
  bool has_start_time() const { return _has_bit(3); }
  void clear_start_time() { start_time_ = 0; _clear_bit(3); }
  static const int kStartTimeFieldNumber = 4;
  std::uint64_t start_time() const { return start_time_; }
  void set_start_time(std::uint64_t value) { _set_bit(3); start_time_ = value; }

  // optional uint64 start_tick = 5;
  bool has_start_tick() const { return _has_bit(4); }
  void clear_start_tick() { start_tick_ = 0; _clear_bit(4); }
  static const int kStartTickFieldNumber = 5;
  std::uint64_t start_tick() const { return start_tick_; }
  void set_start_tick(std::uint64_t value) { _set_bit(4); start_tick_ = value; }

  // optional uint64 duration = 6;
  bool has_duration() const { return _has_bit(5); }
  void clear_duration() { duration_ = 0; _clear_bit(5); }
  static const int kDurationFieldNumber = 6;
  std::uint64_t duration() const { return duration_; }
  void set_duration(std::uint64_t value) { _set_bit(5); duration_ = value; }

  // repeated FrameTable frame_tables = 7;
  int frame_tables_size() const { return frame_tables_.size(); }
  void clear_frame_tables() { frame_tables_.Clear(); }
  static const int kFrameTablesFieldNumber = 7;
  const FrameTable& frame_tables(int index) const { return frame_tables_.Get(index); }
  FrameTable* mutable_frame_tables(int index) { return frame_tables_.Mutable(index); }
  FrameTable* add_frame_tables() { return frame_tables_.Add(); }
  const ::google::protobuf::RepeatedPtrField<FrameTable>& frame_tables() const { return frame_tables_; }
  ::google::protobuf::RepeatedPtrField<FrameTable>* mutable_frame_tables() { return &frame_tables_; }

  // optional .Pb.Velto.Authentication auth_type = 8;
  // Stored as given; the parser keeps values Authentication_IsValid rejects
  // among the unknown fields instead.
  bool has_auth_type() const { return _has_bit(7); }
  void clear_auth_type() { auth_type_ = 0; _clear_bit(7); }
  static const int kAuthTypeFieldNumber = 8;
  ::Pb::Velto::Authentication auth_type() const {
    return static_cast<::Pb::Velto::Authentication>(auth_type_);
  }
  void set_auth_type(::Pb::Velto::Authentication value) { _set_bit(7); auth_type_ = value; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit Track(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct TrackFileTables;
  friend struct TrackDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr Track(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(Track* other);
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
  std::uint32_t track_id_;
  std::uint32_t num_frames_;
  std::uint32_t start_seq_;
  std::uint64_t start_time_;
  std::uint64_t start_tick_;
  std::uint64_t duration_;
  ::google::protobuf::RepeatedPtrField<FrameTable> frame_tables_;
  int auth_type_;
  std::uint32_t _has_bits_[(8 + 31) / 32];

  static const ClassData _class_data_;
};

}  // namespace Tarvesh
}  // namespace Pb

#endif  // PROTOBUF_TARVESH_TARVESH_TRACK_PB_H
