// SPDX-License-Identifier: BSD-3-Clause
// Message classes of "ProtoBuf/Tarvesh/Tarvesh.Recording.proto": pallets,
// recording fragments with their tiers, fragment entries with their tracks'
// tick ranges, and data references. Written by hand, field by field.
#ifndef PROTOBUF_TARVESH_TARVESH_RECORDING_PB_H
#define PROTOBUF_TARVESH_TARVESH_RECORDING_PB_H

#include <cstdint>
#include <string>

#include <google/protobuf/arena.h>
#include <google/protobuf/generated_message_reflection.h>
#include <google/protobuf/generated_message_util.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>
#include <google/protobuf/repeated_field.h>
#include <google/protobuf/unknown_field_set.h>

#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"
#include "ProtoBuf/Tarvesh/TarveshExport.h"

// The file's table under the name protoc's output uses: code generated for a
// schema importing this file lists it among its dependencies.
TARVESH_EXPORT extern const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto;

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
TARVESH_EXPORT void protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto();

struct RecordingFileTables;

// The objects that code generated for an importing schema reads as the
// classes' empty messages: constant-initialised, never destroyed.
class PalletDesc;
struct PalletDescDefaultTypeInternal;
TARVESH_EXPORT extern PalletDescDefaultTypeInternal _PalletDesc_default_instance_;
class RecordingFragment_Tier;
struct RecordingFragment_TierDefaultTypeInternal;
TARVESH_EXPORT extern RecordingFragment_TierDefaultTypeInternal
    _RecordingFragment_Tier_default_instance_;
class RecordingFragment;
struct RecordingFragmentDefaultTypeInternal;
TARVESH_EXPORT extern RecordingFragmentDefaultTypeInternal _RecordingFragment_default_instance_;
class RecordingFragmentEntry_Track;
struct RecordingFragmentEntry_TrackDefaultTypeInternal;
TARVESH_EXPORT extern RecordingFragmentEntry_TrackDefaultTypeInternal
    _RecordingFragmentEntry_Track_default_instance_;
class RecordingFragmentEntry;
struct RecordingFragmentEntryDefaultTypeInternal;
TARVESH_EXPORT extern RecordingFragmentEntryDefaultTypeInternal
    _RecordingFragmentEntry_default_instance_;
class DataReference_Tier;
struct DataReference_TierDefaultTypeInternal;
TARVESH_EXPORT extern DataReference_TierDefaultTypeInternal _DataReference_Tier_default_instance_;
class DataReference;
struct DataReferenceDefaultTypeInternal;
TARVESH_EXPORT extern DataReferenceDefaultTypeInternal _DataReference_default_instance_;

}  // namespace Tarvesh
}  // namespace Pb

// Arena::CreateMessage, and repeated fields of these classes, create
// elements through these: on the heap with the plain constructor.
namespace google {
namespace protobuf {
template <>
TARVESH_EXPORT ::Pb::Tarvesh::PalletDesc*
Arena::CreateMaybeMessage<::Pb::Tarvesh::PalletDesc>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::RecordingFragment_Tier*
Arena::CreateMaybeMessage<::Pb::Tarvesh::RecordingFragment_Tier>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::RecordingFragment*
Arena::CreateMaybeMessage<::Pb::Tarvesh::RecordingFragment>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::RecordingFragmentEntry_Track*
Arena::CreateMaybeMessage<::Pb::Tarvesh::RecordingFragmentEntry_Track>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::RecordingFragmentEntry*
Arena::CreateMaybeMessage<::Pb::Tarvesh::RecordingFragmentEntry>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::DataReference_Tier*
Arena::CreateMaybeMessage<::Pb::Tarvesh::DataReference_Tier>(Arena* arena);
template <>
TARVESH_EXPORT ::Pb::Tarvesh::DataReference*
Arena::CreateMaybeMessage<::Pb::Tarvesh::DataReference>(Arena* arena);
}  // namespace protobuf
}  // namespace google

namespace Pb {
namespace Tarvesh {

// One pallet: its identity, extent, owners and the data file holding it.
class TARVESH_EXPORT PalletDesc : public ::google::protobuf::Message {
 public:
  PalletDesc();
  PalletDesc(const PalletDesc& from);
  ~PalletDesc() override;
  PalletDesc& operator=(const PalletDesc& from);
  PalletDesc(PalletDesc&& from) noexcept;
  PalletDesc& operator=(PalletDesc&& from) noexcept;
  friend void swap(PalletDesc& a, PalletDesc& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const PalletDesc& default_instance();
  static PalletDesc* default_instance_;
  static const PalletDesc* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 0;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.PalletDesc"; }

  void Swap(PalletDesc* other);
  void UnsafeArenaSwap(PalletDesc* other);

  PalletDesc* New() const;
  PalletDesc* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const PalletDesc& from);
  void MergeFrom(const PalletDesc& from);
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

  // optional uint32 id = 1;
  bool has_id() const { return _has_bit(0); }
  void clear_id() { id_ = 0; _clear_bit(0); }
  static const int kIdFieldNumber = 1;
  std::uint32_t id() const { return id_; }
  void set_id(std::uint32_t value) { _set_bit(0); id_ = value; }

  // optional uint32 size = 2;
  bool has_size() const { return _has_bit(1); }
  void clear_size() { size_ = 0; _clear_bit(1); }
  static const int kSizeFieldNumber = 2;
  std::uint32_t size() const { return size_; }
  void set_size(std::uint32_t value) { _set_bit(1); size_ = value; }

  // optional uint64 offset = 3;
  bool has_offset() const { return _has_bit(2); }
  void clear_offset() { offset_ = 0; _clear_bit(2); }
  static const int kOffsetFieldNumber = 3;
  std::uint64_t offset() const { return offset_; }
  void set_offset(std::uint64_t value) { _set_bit(2); offset_ = value; }

  // optional uint64 recording_id = 4;
  bool has_recording_id() const { return _has_bit(3); }
  void clear_recording_id() { recording_id_ = 0; _clear_bit(3); }
  static const int kRecordingIdFieldNumber = 4;
  std::uint64_t recording_id() const { return recording_id_; }
  void set_recording_id(std::uint64_t value) { _set_bit(3); recording_id_ = value; }

  // optional uint32 fragment_id = 5;
  bool has_fragment_id() const { return _has_bit(4); }
  void clear_fragment_id() { fragment_id_ = 0; _clear_bit(4); }
  static const int kFragmentIdFieldNumber = 5;
  std::uint32_t fragment_id() const { return fragment_id_; }
  void set_fragment_id(std::uint32_t value) { _set_bit(4); fragment_id_ = value; }

  // optional uint32 track_id = 6;
  bool has_track_id() const { return _has_bit(5); }
  void clear_track_id() { track_id_ = 0; _clear_bit(5); }
  static const int kTrackIdFieldNumber = 6;
  std::uint32_t track_id() const { return track_id_; }
  void set_track_id(std::uint32_t value) { _set_bit(5); track_id_ = value; }

  // optional uint32 tier_id = 7;
  bool has_tier_id() const { return _has_bit(6); }
  void clear_tier_id() { tier_id_ = 0; _clear_bit(6); }
  static const int kTierIdFieldNumber = 7;
  std::uint32_t tier_id() const { return tier_id_; }
  void set_tier_id(std::uint32_t value) { _set_bit(6); tier_id_ = value; }

  // optional uint32 file_index = 8;
  bool has_file_index() const { return _has_bit(7); }
  void clear_file_index() { file_index_ = 0; _clear_bit(7); }
  static const int kFileIndexFieldNumber = 8;
  std::uint32_t file_index() const { return file_index_; }
  void set_file_index(std::uint32_t value) { _set_bit(7); file_index_ = value; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit PalletDesc(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct PalletDescDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr PalletDesc(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(PalletDesc* other);
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
  std::uint32_t id_;
  std::uint32_t size_;
  std::uint64_t offset_;
  std::uint64_t recording_id_;
  std::uint32_t fragment_id_;
  std::uint32_t track_id_;
  std::uint32_t tier_id_;
  std::uint32_t file_index_;
  std::uint32_t _has_bits_[(8 + 31) / 32];

  static const ClassData _class_data_;
};

// One tier of a fragment: its data files and pallets.
class TARVESH_EXPORT RecordingFragment_Tier : public ::google::protobuf::Message {
 public:
  RecordingFragment_Tier();
  RecordingFragment_Tier(const RecordingFragment_Tier& from);
  ~RecordingFragment_Tier() override;
  RecordingFragment_Tier& operator=(const RecordingFragment_Tier& from);
  RecordingFragment_Tier(RecordingFragment_Tier&& from) noexcept;
  RecordingFragment_Tier& operator=(RecordingFragment_Tier&& from) noexcept;
  friend void swap(RecordingFragment_Tier& a, RecordingFragment_Tier& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const RecordingFragment_Tier& default_instance();
  static RecordingFragment_Tier* default_instance_;
  static const RecordingFragment_Tier* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 1;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.RecordingFragment.Tier"; }

  void Swap(RecordingFragment_Tier* other);
  void UnsafeArenaSwap(RecordingFragment_Tier* other);

  RecordingFragment_Tier* New() const;
  RecordingFragment_Tier* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const RecordingFragment_Tier& from);
  void MergeFrom(const RecordingFragment_Tier& from);
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

  // repeated ::Pb::Halvin::Stor::DataFileRef files = 1;
  int files_size() const { return files_.size(); }
  void clear_files() { files_.Clear(); }
  static const int kFilesFieldNumber = 1;
  const ::Pb::Halvin::Stor::DataFileRef& files(int index) const { return files_.Get(index); }
  ::Pb::Halvin::Stor::DataFileRef* mutable_files(int index) { return files_.Mutable(index); }
  ::Pb::Halvin::Stor::DataFileRef* add_files() { return files_.Add(); }
  const ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef>& files() const { return files_; }
  ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef>* mutable_files() { return &files_; }

  // repeated PalletDesc pallets = 2;
  int pallets_size() const { return pallets_.size(); }
  void clear_pallets() { pallets_.Clear(); }
  static const int kPalletsFieldNumber = 2;
  const PalletDesc& pallets(int index) const { return pallets_.Get(index); }
  PalletDesc* mutable_pallets(int index) { return pallets_.Mutable(index); }
  PalletDesc* add_pallets() { return pallets_.Add(); }
  const ::google::protobuf::RepeatedPtrField<PalletDesc>& pallets() const { return pallets_; }
  ::google::protobuf::RepeatedPtrField<PalletDesc>* mutable_pallets() { return &pallets_; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit RecordingFragment_Tier(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct RecordingFragment_TierDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr RecordingFragment_Tier(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(RecordingFragment_Tier* other);
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
  ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef> files_;
  ::google::protobuf::RepeatedPtrField<PalletDesc> pallets_;
  std::uint32_t _has_bits_[(2 + 31) / 32];

  static const ClassData _class_data_;
};

// One fragment of a recording, cut into tiers.
class TARVESH_EXPORT RecordingFragment : public ::google::protobuf::Message {
 public:
  RecordingFragment();
  RecordingFragment(const RecordingFragment& from);
  ~RecordingFragment() override;
  RecordingFragment& operator=(const RecordingFragment& from);
  RecordingFragment(RecordingFragment&& from) noexcept;
  RecordingFragment& operator=(RecordingFragment&& from) noexcept;
  friend void swap(RecordingFragment& a, RecordingFragment& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const RecordingFragment& default_instance();
  static RecordingFragment* default_instance_;
  static const RecordingFragment* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 2;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.RecordingFragment"; }
  typedef RecordingFragment_Tier Tier;

  void Swap(RecordingFragment* other);
  void UnsafeArenaSwap(RecordingFragment* other);

  RecordingFragment* New() const;
  RecordingFragment* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const RecordingFragment& from);
  void MergeFrom(const RecordingFragment& from);
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

  // optional uint32 fragment_id = 1;
  bool has_fragment_id() const { return _has_bit(0); }
  void clear_fragment_id() { fragment_id_ = 0; _clear_bit(0); }
  static const int kFragmentIdFieldNumber = 1;
  std::uint32_t fragment_id() const { return fragment_id_; }
  void set_fragment_id(std::uint32_t value) { _set_bit(0); fragment_id_ = value; }

  // repeated RecordingFragment_Tier tiers = 2;
  int tiers_size() const { return tiers_.size(); }
  void clear_tiers() { tiers_.Clear(); }
  static const int kTiersFieldNumber = 2;
  const RecordingFragment_Tier& tiers(int index) const { return tiers_.Get(index); }
  RecordingFragment_Tier* mutable_tiers(int index) { return tiers_.Mutable(index); }
  RecordingFragment_Tier* add_tiers() { return tiers_.Add(); }
  const ::google::protobuf::RepeatedPtrField<RecordingFragment_Tier>& tiers() const { return tiers_; }
  ::google::protobuf::RepeatedPtrField<RecordingFragment_Tier>* mutable_tiers() { return &tiers_; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit RecordingFragment(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct RecordingFragmentDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr RecordingFragment(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(RecordingFragment* other);
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
  std::uint32_t fragment_id_;
  ::google::protobuf::RepeatedPtrField<RecordingFragment_Tier> tiers_;
  std::uint32_t _has_bits_[(2 + 31) / 32];

  static const ClassData _class_data_;
};

// The tick range of one track within a fragment.
class TARVESH_EXPORT RecordingFragmentEntry_Track : public ::google::protobuf::Message {
 public:
  RecordingFragmentEntry_Track();
  RecordingFragmentEntry_Track(const RecordingFragmentEntry_Track& from);
  ~RecordingFragmentEntry_Track() override;
  RecordingFragmentEntry_Track& operator=(const RecordingFragmentEntry_Track& from);
  RecordingFragmentEntry_Track(RecordingFragmentEntry_Track&& from) noexcept;
  RecordingFragmentEntry_Track& operator=(RecordingFragmentEntry_Track&& from) noexcept;
  friend void swap(RecordingFragmentEntry_Track& a, RecordingFragmentEntry_Track& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const RecordingFragmentEntry_Track& default_instance();
  static RecordingFragmentEntry_Track* default_instance_;
  static const RecordingFragmentEntry_Track* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 3;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.RecordingFragmentEntry.Track"; }

  void Swap(RecordingFragmentEntry_Track* other);
  void UnsafeArenaSwap(RecordingFragmentEntry_Track* other);

  RecordingFragmentEntry_Track* New() const;
  RecordingFragmentEntry_Track* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const RecordingFragmentEntry_Track& from);
  void MergeFrom(const RecordingFragmentEntry_Track& from);
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

  // optional uint64 start_tick = 2;
  bool has_start_tick() const { return _has_bit(1); }
  void clear_start_tick() { start_tick_ = 0; _clear_bit(1); }
  static const int kStartTickFieldNumber = 2;
  std::uint64_t start_tick() const { return start_tick_; }
  void set_start_tick(std::uint64_t value) { _set_bit(1); start_tick_ = value; }

  // optional uint64 end_tick = 3;
  bool has_end_tick() const { return _has_bit(2); }
  void clear_end_tick() { end_tick_ = 0; _clear_bit(2); }
  static const int kEndTickFieldNumber = 3;
  std::uint64_t end_tick() const { return end_tick_; }
  void set_end_tick(std::uint64_t value) { _set_bit(2); end_tick_ = value; }

  // optional uint64 duration = 4;
  bool has_duration() const { return _has_bit(3); }
  void clear_duration() { duration_ = 0; _clear_bit(3); }
  static const int kDurationFieldNumber = 4;
  std::uint64_t duration() const { return duration_; }
  void set_duration(std::uint64_t value) { _set_bit(3); duration_ = value; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit RecordingFragmentEntry_Track(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct RecordingFragmentEntry_TrackDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr RecordingFragmentEntry_Track(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(RecordingFragmentEntry_Track* other);
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
  std::uint64_t start_tick_;
  std::uint64_t end_tick_;
  std::uint64_t duration_;
  std::uint32_t _has_bits_[(4 + 31) / 32];

  static const ClassData _class_data_;
};

// Where a fragment's header lies, and its tracks' tick ranges.
class TARVESH_EXPORT RecordingFragmentEntry : public ::google::protobuf::Message {
 public:
  RecordingFragmentEntry();
  RecordingFragmentEntry(const RecordingFragmentEntry& from);
  ~RecordingFragmentEntry() override;
  RecordingFragmentEntry& operator=(const RecordingFragmentEntry& from);
  RecordingFragmentEntry(RecordingFragmentEntry&& from) noexcept;
  RecordingFragmentEntry& operator=(RecordingFragmentEntry&& from) noexcept;
  friend void swap(RecordingFragmentEntry& a, RecordingFragmentEntry& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const RecordingFragmentEntry& default_instance();
  static RecordingFragmentEntry* default_instance_;
  static const RecordingFragmentEntry* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 4;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.RecordingFragmentEntry"; }
  typedef RecordingFragmentEntry_Track Track;

  void Swap(RecordingFragmentEntry* other);
  void UnsafeArenaSwap(RecordingFragmentEntry* other);

  RecordingFragmentEntry* New() const;
  RecordingFragmentEntry* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const RecordingFragmentEntry& from);
  void MergeFrom(const RecordingFragmentEntry& from);
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

  // optional uint64 header_file_offset = 1;
  bool has_header_file_offset() const { return _has_bit(0); }
  void clear_header_file_offset() { header_file_offset_ = 0; _clear_bit(0); }
  static const int kHeaderFileOffsetFieldNumber = 1;
  std::uint64_t header_file_offset() const { return header_file_offset_; }
  void set_header_file_offset(std::uint64_t value) { _set_bit(0); header_file_offset_ = value; }

  // optional uint32 header_file_index = 2;
  bool has_header_file_index() const { return _has_bit(1); }
  void clear_header_file_index() { header_file_index_ = 0; _clear_bit(1); }
  static const int kHeaderFileIndexFieldNumber = 2;
  std::uint32_t header_file_index() const { return header_file_index_; }
  void set_header_file_index(std::uint32_t value) { _set_bit(1); header_file_index_ = value; }

  // optional uint32 header_size = 3;
  bool has_header_size() const { return _has_bit(2); }
  void clear_header_size() { header_size_ = 0; _clear_bit(2); }
  static const int kHeaderSizeFieldNumber = 3;
  std::uint32_t header_size() const { return header_size_; }
  void set_header_size(std::uint32_t value) { _set_bit(2); header_size_ = value; }

  // repeated RecordingFragmentEntry_Track tracks = 4;
  int tracks_size() const { return tracks_.size(); }
  void clear_tracks() { tracks_.Clear(); }
  static const int kTracksFieldNumber = 4;
  const RecordingFragmentEntry_Track& tracks(int index) const { return tracks_.Get(index); }
  RecordingFragmentEntry_Track* mutable_tracks(int index) { return tracks_.Mutable(index); }
  RecordingFragmentEntry_Track* add_tracks() { return tracks_.Add(); }
  const ::google::protobuf::RepeatedPtrField<RecordingFragmentEntry_Track>& tracks() const { return tracks_; }
  ::google::protobuf::RepeatedPtrField<RecordingFragmentEntry_Track>* mutable_tracks() { return &tracks_; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit RecordingFragmentEntry(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct RecordingFragmentEntryDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr RecordingFragmentEntry(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(RecordingFragmentEntry* other);
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
  std::uint64_t header_file_offset_;
  std::uint32_t header_file_index_;
  std::uint32_t header_size_;
  ::google::protobuf::RepeatedPtrField<RecordingFragmentEntry_Track> tracks_;
  std::uint32_t _has_bits_[(4 + 31) / 32];

  static const ClassData _class_data_;
};

// The data files of one tier.
class TARVESH_EXPORT DataReference_Tier : public ::google::protobuf::Message {
 public:
  DataReference_Tier();
  DataReference_Tier(const DataReference_Tier& from);
  ~DataReference_Tier() override;
  DataReference_Tier& operator=(const DataReference_Tier& from);
  DataReference_Tier(DataReference_Tier&& from) noexcept;
  DataReference_Tier& operator=(DataReference_Tier&& from) noexcept;
  friend void swap(DataReference_Tier& a, DataReference_Tier& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const DataReference_Tier& default_instance();
  static DataReference_Tier* default_instance_;
  static const DataReference_Tier* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 5;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.DataReference.Tier"; }

  void Swap(DataReference_Tier* other);
  void UnsafeArenaSwap(DataReference_Tier* other);

  DataReference_Tier* New() const;
  DataReference_Tier* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const DataReference_Tier& from);
  void MergeFrom(const DataReference_Tier& from);
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

  // repeated ::Pb::Halvin::Stor::DataFileRef files = 1;
  int files_size() const { return files_.size(); }
  void clear_files() { files_.Clear(); }
  static const int kFilesFieldNumber = 1;
  const ::Pb::Halvin::Stor::DataFileRef& files(int index) const { return files_.Get(index); }
  ::Pb::Halvin::Stor::DataFileRef* mutable_files(int index) { return files_.Mutable(index); }
  ::Pb::Halvin::Stor::DataFileRef* add_files() { return files_.Add(); }
  const ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef>& files() const { return files_; }
  ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef>* mutable_files() { return &files_; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit DataReference_Tier(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct DataReference_TierDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr DataReference_Tier(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(DataReference_Tier* other);
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
  ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef> files_;
  std::uint32_t _has_bits_[(1 + 31) / 32];

  static const ClassData _class_data_;
};

// A recording's references to its fragments and data files.
class TARVESH_EXPORT DataReference : public ::google::protobuf::Message {
 public:
  DataReference();
  DataReference(const DataReference& from);
  ~DataReference() override;
  DataReference& operator=(const DataReference& from);
  DataReference(DataReference&& from) noexcept;
  DataReference& operator=(DataReference&& from) noexcept;
  friend void swap(DataReference& a, DataReference& b) { a.Swap(&b); }

  const ::google::protobuf::UnknownFieldSet& unknown_fields() const {
    return _internal_metadata_.unknown_fields<::google::protobuf::UnknownFieldSet>(
        ::google::protobuf::UnknownFieldSet::default_instance);
  }
  ::google::protobuf::UnknownFieldSet* mutable_unknown_fields() {
    return _internal_metadata_.mutable_unknown_fields<::google::protobuf::UnknownFieldSet>();
  }

  static const ::google::protobuf::Descriptor* descriptor();
  static const DataReference& default_instance();
  static DataReference* default_instance_;
  static const DataReference* internal_default_instance() { return &default_instance(); }
  static constexpr int kIndexInFileMessages = 6;
  static const ::google::protobuf::Descriptor* GetDescriptor() { return descriptor(); }
  static const ::google::protobuf::Reflection* GetReflection();
  static ::google::protobuf::StringPiece FullMessageName() { return "Pb.Tarvesh.DataReference"; }
  typedef DataReference_Tier Tier;

  void Swap(DataReference* other);
  void UnsafeArenaSwap(DataReference* other);

  DataReference* New() const;
  DataReference* New(::google::protobuf::Arena* arena) const override;
  void CopyFrom(const ::google::protobuf::Message& from);
  void MergeFrom(const ::google::protobuf::Message& from) override;
  void CopyFrom(const DataReference& from);
  void MergeFrom(const DataReference& from);
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

  // repeated DataReference_Tier tiers = 1;
  int tiers_size() const { return tiers_.size(); }
  void clear_tiers() { tiers_.Clear(); }
  static const int kTiersFieldNumber = 1;
  const DataReference_Tier& tiers(int index) const { return tiers_.Get(index); }
  DataReference_Tier* mutable_tiers(int index) { return tiers_.Mutable(index); }
  DataReference_Tier* add_tiers() { return tiers_.Add(); }
  const ::google::protobuf::RepeatedPtrField<DataReference_Tier>& tiers() const { return tiers_; }
  ::google::protobuf::RepeatedPtrField<DataReference_Tier>* mutable_tiers() { return &tiers_; }

  // repeated RecordingFragmentEntry fragments = 2;
  int fragments_size() const { return fragments_.size(); }
  void clear_fragments() { fragments_.Clear(); }
  static const int kFragmentsFieldNumber = 2;
  const RecordingFragmentEntry& fragments(int index) const { return fragments_.Get(index); }
  RecordingFragmentEntry* mutable_fragments(int index) { return fragments_.Mutable(index); }
  RecordingFragmentEntry* add_fragments() { return fragments_.Add(); }
  const ::google::protobuf::RepeatedPtrField<RecordingFragmentEntry>& fragments() const { return fragments_; }
  ::google::protobuf::RepeatedPtrField<RecordingFragmentEntry>* mutable_fragments() { return &fragments_; }

  // repeated ::Pb::Halvin::Stor::DataFileRef files = 3;
  int files_size() const { return files_.size(); }
  void clear_files() { files_.Clear(); }
  static const int kFilesFieldNumber = 3;
  const ::Pb::Halvin::Stor::DataFileRef& files(int index) const { return files_.Get(index); }
  ::Pb::Halvin::Stor::DataFileRef* mutable_files(int index) { return files_.Mutable(index); }
  ::Pb::Halvin::Stor::DataFileRef* add_files() { return files_.Add(); }
  const ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef>& files() const { return files_; }
  ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef>* mutable_files() { return &files_; }

  // The runtime's arena protocol: Arena::CreateMessage builds the class with
  // the arena constructor below and never runs the destructor.
  typedef void InternalArenaConstructable_;
  typedef void DestructorSkippable_;

 protected:
  explicit DataReference(::google::protobuf::Arena* arena, bool is_message_owned = false);

 private:
  friend struct RecordingFileTables;
  friend struct DataReferenceDefaultTypeInternal;
  template <typename T>
  friend class ::google::protobuf::Arena::InternalHelper;
  friend struct ::Pb::wire::ArenaConstruction;
  explicit constexpr DataReference(::google::protobuf::internal::ConstantInitialized);
  void InternalSwap(DataReference* other);
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
  ::google::protobuf::RepeatedPtrField<DataReference_Tier> tiers_;
  ::google::protobuf::RepeatedPtrField<RecordingFragmentEntry> fragments_;
  ::google::protobuf::RepeatedPtrField<::Pb::Halvin::Stor::DataFileRef> files_;
  std::uint32_t _has_bits_[(3 + 31) / 32];

  static const ClassData _class_data_;
};

}  // namespace Tarvesh
}  // namespace Pb

#endif  // PROTOBUF_TARVESH_TARVESH_RECORDING_PB_H
