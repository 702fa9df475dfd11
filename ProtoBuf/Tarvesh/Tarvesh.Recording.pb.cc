// SPDX-License-Identifier: BSD-3-Clause
// Message classes of "ProtoBuf/Tarvesh/Tarvesh.Recording.proto", the file's
// registration with the runtime, and its reflection tables.
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"

#include <utility>

#include "MessageHelpers.h"

#include <google/protobuf/port_def.inc>

namespace Pb {
namespace Tarvesh {

namespace gp = ::google::protobuf;
namespace gpi = ::google::protobuf::internal;
using namespace ::Pb::wire;
using ::Pb::Halvin::Stor::DataFileRef;

namespace {

const char kFileName[] = "ProtoBuf/Tarvesh/Tarvesh.Recording.proto";

// Refresh with tools/embed_descriptor when the schema changes.
// 898 bytes: the serialized descriptor of "ProtoBuf/Tarvesh/Tarvesh.Recording.proto".
constexpr char kDescriptor[] =
    "\x0a\x28\x50\x72\x6f\x74\x6f\x42\x75\x66\x2f\x54\x61\x72\x76\x65"
    "\x73\x68\x2f\x54\x61\x72\x76\x65\x73\x68\x2e\x52\x65\x63\x6f\x72"
    "\x64\x69\x6e\x67\x2e\x70\x72\x6f\x74\x6f\x12\x0a\x50\x62\x2e\x54"
    "\x61\x72\x76\x65\x73\x68\x1a\x24\x50\x72\x6f\x74\x6f\x42\x75\x66"
    "\x2f\x48\x61\x6c\x76\x69\x6e\x2f\x48\x61\x6c\x76\x69\x6e\x2e\x53"
    "\x74\x6f\x72\x61\x67\x65\x2e\x70\x72\x6f\x74\x6f\x22\x98\x01\x0a"
    "\x0a\x50\x61\x6c\x6c\x65\x74\x44\x65\x73\x63\x12\x0a\x0a\x02\x69"
    "\x64\x18\x01\x20\x01\x28\x0d\x12\x0c\x0a\x04\x73\x69\x7a\x65\x18"
    "\x02\x20\x01\x28\x0d\x12\x0e\x0a\x06\x6f\x66\x66\x73\x65\x74\x18"
    "\x03\x20\x01\x28\x04\x12\x14\x0a\x0c\x72\x65\x63\x6f\x72\x64\x69"
    "\x6e\x67\x5f\x69\x64\x18\x04\x20\x01\x28\x04\x12\x13\x0a\x0b\x66"
    "\x72\x61\x67\x6d\x65\x6e\x74\x5f\x69\x64\x18\x05\x20\x01\x28\x0d"
    "\x12\x10\x0a\x08\x74\x72\x61\x63\x6b\x5f\x69\x64\x18\x06\x20\x01"
    "\x28\x0d\x12\x0f\x0a\x07\x74\x69\x65\x72\x5f\x69\x64\x18\x07\x20"
    "\x01\x28\x0d\x12\x12\x0a\x0a\x66\x69\x6c\x65\x5f\x69\x6e\x64\x65"
    "\x78\x18\x08\x20\x01\x28\x0d\x22\xb8\x01\x0a\x11\x52\x65\x63\x6f"
    "\x72\x64\x69\x6e\x67\x46\x72\x61\x67\x6d\x65\x6e\x74\x12\x13\x0a"
    "\x0b\x66\x72\x61\x67\x6d\x65\x6e\x74\x5f\x69\x64\x18\x01\x20\x01"
    "\x28\x0d\x12\x31\x0a\x05\x74\x69\x65\x72\x73\x18\x02\x20\x03\x28"
    "\x0b\x32\x22\x2e\x50\x62\x2e\x54\x61\x72\x76\x65\x73\x68\x2e\x52"
    "\x65\x63\x6f\x72\x64\x69\x6e\x67\x46\x72\x61\x67\x6d\x65\x6e\x74"
    "\x2e\x54\x69\x65\x72\x1a\x5b\x0a\x04\x54\x69\x65\x72\x12\x2a\x0a"
    "\x05\x66\x69\x6c\x65\x73\x18\x01\x20\x03\x28\x0b\x32\x1b\x2e\x50"
    "\x62\x2e\x48\x61\x6c\x76\x69\x6e\x2e\x53\x74\x6f\x72\x2e\x44\x61"
    "\x74\x61\x46\x69\x6c\x65\x52\x65\x66\x12\x27\x0a\x07\x70\x61\x6c"
    "\x6c\x65\x74\x73\x18\x02\x20\x03\x28\x0b\x32\x16\x2e\x50\x62\x2e"
    "\x54\x61\x72\x76\x65\x73\x68\x2e\x50\x61\x6c\x6c\x65\x74\x44\x65"
    "\x73\x63\x22\xf1\x01\x0a\x16\x52\x65\x63\x6f\x72\x64\x69\x6e\x67"
    "\x46\x72\x61\x67\x6d\x65\x6e\x74\x45\x6e\x74\x72\x79\x12\x1a\x0a"
    "\x12\x68\x65\x61\x64\x65\x72\x5f\x66\x69\x6c\x65\x5f\x6f\x66\x66"
    "\x73\x65\x74\x18\x01\x20\x01\x28\x04\x12\x19\x0a\x11\x68\x65\x61"
    "\x64\x65\x72\x5f\x66\x69\x6c\x65\x5f\x69\x6e\x64\x65\x78\x18\x02"
    "\x20\x01\x28\x0d\x12\x13\x0a\x0b\x68\x65\x61\x64\x65\x72\x5f\x73"
    "\x69\x7a\x65\x18\x03\x20\x01\x28\x0d\x12\x38\x0a\x06\x74\x72\x61"
    "\x63\x6b\x73\x18\x04\x20\x03\x28\x0b\x32\x28\x2e\x50\x62\x2e\x54"
    "\x61\x72\x76\x65\x73\x68\x2e\x52\x65\x63\x6f\x72\x64\x69\x6e\x67"
    "\x46\x72\x61\x67\x6d\x65\x6e\x74\x45\x6e\x74\x72\x79\x2e\x54\x72"
    "\x61\x63\x6b\x1a\x51\x0a\x05\x54\x72\x61\x63\x6b\x12\x10\x0a\x08"
    "\x74\x72\x61\x63\x6b\x5f\x69\x64\x18\x01\x20\x01\x28\x0d\x12\x12"
    "\x0a\x0a\x73\x74\x61\x72\x74\x5f\x74\x69\x63\x6b\x18\x02\x20\x01"
    "\x28\x04\x12\x10\x0a\x08\x65\x6e\x64\x5f\x74\x69\x63\x6b\x18\x03"
    "\x20\x01\x28\x04\x12\x10\x0a\x08\x64\x75\x72\x61\x74\x69\x6f\x6e"
    "\x18\x04\x20\x01\x28\x04\x22\xd5\x01\x0a\x0d\x44\x61\x74\x61\x52"
    "\x65\x66\x65\x72\x65\x6e\x63\x65\x12\x2d\x0a\x05\x74\x69\x65\x72"
    "\x73\x18\x01\x20\x03\x28\x0b\x32\x1e\x2e\x50\x62\x2e\x54\x61\x72"
    "\x76\x65\x73\x68\x2e\x44\x61\x74\x61\x52\x65\x66\x65\x72\x65\x6e"
    "\x63\x65\x2e\x54\x69\x65\x72\x12\x35\x0a\x09\x66\x72\x61\x67\x6d"
    "\x65\x6e\x74\x73\x18\x02\x20\x03\x28\x0b\x32\x22\x2e\x50\x62\x2e"
    "\x54\x61\x72\x76\x65\x73\x68\x2e\x52\x65\x63\x6f\x72\x64\x69\x6e"
    "\x67\x46\x72\x61\x67\x6d\x65\x6e\x74\x45\x6e\x74\x72\x79\x12\x2a"
    "\x0a\x05\x66\x69\x6c\x65\x73\x18\x03\x20\x03\x28\x0b\x32\x1b\x2e"
    "\x50\x62\x2e\x48\x61\x6c\x76\x69\x6e\x2e\x53\x74\x6f\x72\x2e\x44"
    "\x61\x74\x61\x46\x69\x6c\x65\x52\x65\x66\x1a\x32\x0a\x04\x54\x69"
    "\x65\x72\x12\x2a\x0a\x05\x66\x69\x6c\x65\x73\x18\x01\x20\x03\x28"
    "\x0b\x32\x1b\x2e\x50\x62\x2e\x48\x61\x6c\x76\x69\x6e\x2e\x53\x74"
    "\x6f\x72\x2e\x44\x61\x74\x61\x46\x69\x6c\x65\x52\x65\x66\x42\x02"
    "\x48\x01";

// Classes in the order the runtime assigns descriptors: nested types before
// the message that holds them.
enum : int {
  kPalletDescIndex,
  kRecordingFragmentTierIndex,
  kRecordingFragmentIndex,
  kRecordingFragmentEntryTrackIndex,
  kRecordingFragmentEntryIndex,
  kDataReferenceTierIndex,
  kDataReferenceIndex,
};

// The file's classes in file order: the order their default instances are
// made and deleted.
PROTOBUF_CONSTINIT FileRegistration<PalletDesc,
                 RecordingFragment,
                 RecordingFragment_Tier,
                 RecordingFragmentEntry,
                 RecordingFragmentEntry_Track,
                 DataReference,
                 DataReference_Tier>
    registration(&descriptor_table_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto,
                 &protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto);

}  // namespace

// Layout of every class of the file, as the runtime's reflection reads it.
struct RecordingFileTables {
  static constexpr std::uint32_t offsets[] = {
      // PalletDesc, block at 0
      PROTOBUF_FIELD_OFFSET(PalletDesc, _has_bits_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(PalletDesc, id_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, size_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, offset_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, recording_id_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, fragment_id_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, track_id_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, tier_id_),
      PROTOBUF_FIELD_OFFSET(PalletDesc, file_index_),
      0, 1, 2, 3, 4, 5, 6, 7,
      // RecordingFragment_Tier, block at 22
      PROTOBUF_FIELD_OFFSET(RecordingFragment_Tier, _has_bits_),
      PROTOBUF_FIELD_OFFSET(RecordingFragment_Tier, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(RecordingFragment_Tier, files_),
      PROTOBUF_FIELD_OFFSET(RecordingFragment_Tier, pallets_),
      kNoOffset, kNoOffset,
      // RecordingFragment, block at 32
      PROTOBUF_FIELD_OFFSET(RecordingFragment, _has_bits_),
      PROTOBUF_FIELD_OFFSET(RecordingFragment, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(RecordingFragment, fragment_id_),
      PROTOBUF_FIELD_OFFSET(RecordingFragment, tiers_),
      0, kNoOffset,
      // RecordingFragmentEntry_Track, block at 42
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry_Track, _has_bits_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry_Track, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry_Track, track_id_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry_Track, start_tick_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry_Track, end_tick_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry_Track, duration_),
      0, 1, 2, 3,
      // RecordingFragmentEntry, block at 56
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry, _has_bits_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry, header_file_offset_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry, header_file_index_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry, header_size_),
      PROTOBUF_FIELD_OFFSET(RecordingFragmentEntry, tracks_),
      0, 1, 2, kNoOffset,
      // DataReference_Tier, block at 70
      PROTOBUF_FIELD_OFFSET(DataReference_Tier, _has_bits_),
      PROTOBUF_FIELD_OFFSET(DataReference_Tier, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(DataReference_Tier, files_),
      kNoOffset,
      // DataReference, block at 78
      PROTOBUF_FIELD_OFFSET(DataReference, _has_bits_),
      PROTOBUF_FIELD_OFFSET(DataReference, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(DataReference, tiers_),
      PROTOBUF_FIELD_OFFSET(DataReference, fragments_),
      PROTOBUF_FIELD_OFFSET(DataReference, files_),
      kNoOffset, kNoOffset, kNoOffset,
  };
  static constexpr gpi::MigrationSchema schemas[] = {
      SchemaAt(0, 8, sizeof(PalletDesc)),
      SchemaAt(22, 2, sizeof(RecordingFragment_Tier)),
      SchemaAt(32, 2, sizeof(RecordingFragment)),
      SchemaAt(42, 4, sizeof(RecordingFragmentEntry_Track)),
      SchemaAt(56, 4, sizeof(RecordingFragmentEntry)),
      SchemaAt(70, 1, sizeof(DataReference_Tier)),
      SchemaAt(78, 3, sizeof(DataReference)),
  };
  static_assert(sizeof(offsets) / sizeof(offsets[0]) == 90, "offsets table out of step");
};

}  // namespace Tarvesh
}  // namespace Pb

// Exported under the name protoc's output uses for this file.
namespace this_file = ::Pb::Tarvesh;
PROTOBUF_CONSTINIT const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto =
        this_file::registration.Table(this_file::kDescriptor, this_file::kFileName,
                                      this_file::RecordingFileTables::schemas,
                                      this_file::RecordingFileTables::offsets);

namespace Pb {
namespace Tarvesh {
namespace {

const gp::Metadata& MetadataOf(int index) { return FileMetadata<registration>(index); }

}  // namespace

void protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto() {
  registration.Register("ProtoBuf/Tarvesh/Tarvesh.Recording.pb.cc",
                        &Halvin::Stor::protobuf_AddDesc_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto);
}

namespace {
RegisterAtLoad register_at_load(&protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto);
}  // namespace

// ===========================================================================
// PalletDesc

PB_DEFINE_MESSAGE_FRAME(PalletDesc, MetadataOf, kPalletDescIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

PalletDesc::PalletDesc(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned) {
  SharedCtor();
}
constexpr PalletDesc::PalletDesc(gpi::ConstantInitialized)
    : _cached_size_(),
      id_(0),
      size_(0),
      offset_(0),
      recording_id_(0),
      fragment_id_(0),
      track_id_(0),
      tier_id_(0),
      file_index_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(PalletDesc)

const int PalletDesc::kIdFieldNumber;
const int PalletDesc::kSizeFieldNumber;
const int PalletDesc::kOffsetFieldNumber;
const int PalletDesc::kRecordingIdFieldNumber;
const int PalletDesc::kFragmentIdFieldNumber;
const int PalletDesc::kTrackIdFieldNumber;
const int PalletDesc::kTierIdFieldNumber;
const int PalletDesc::kFileIndexFieldNumber;

void PalletDesc::SharedCtor() {
  _cached_size_.Set(0);
  id_ = 0;
  size_ = 0;
  offset_ = 0;
  recording_id_ = 0;
  fragment_id_ = 0;
  track_id_ = 0;
  tier_id_ = 0;
  file_index_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void PalletDesc::SharedDtor() {}

void PalletDesc::Clear() {
  if (_has_bits_[0] & 0xffu) {
    id_ = 0;
    size_ = 0;
    offset_ = 0;
    recording_id_ = 0;
    fragment_id_ = 0;
    track_id_ = 0;
    tier_id_ = 0;
    file_index_ = 0;
  }
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void PalletDesc::MergeFrom(const PalletDesc& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  const std::uint32_t bits = from._has_bits_[0] & 0xffu;
  if (TARVESH_LIKELY(bits == 0xffu)) {
    // Every field: their members in one copy, and every bit of the word set
    // (it holds no others).
    CopyMemberRun(this, from, &PalletDesc::id_, &PalletDesc::file_index_);
    _has_bits_[0] = 0xffu;
  } else {
    const PresentBits present{bits};
    if (present(0)) id_ = from.id_;
    if (present(1)) size_ = from.size_;
    if (present(2)) offset_ = from.offset_;
    if (present(3)) recording_id_ = from.recording_id_;
    if (present(4)) fragment_id_ = from.fragment_id_;
    if (present(5)) track_id_ = from.track_id_;
    if (present(6)) tier_id_ = from.tier_id_;
    if (present(7)) file_index_ = from.file_index_;
    _has_bits_[0] |= bits;
  }
  MergeUnknownFields(&_internal_metadata_, from._internal_metadata_);
}

void PalletDesc::InternalSwap(PalletDesc* other) {
  if (other == this) return;
  std::swap(id_, other->id_);
  std::swap(size_, other->size_);
  std::swap(offset_, other->offset_);
  std::swap(recording_id_, other->recording_id_);
  std::swap(fragment_id_, other->fragment_id_);
  std::swap(track_id_, other->track_id_);
  std::swap(tier_id_, other->tier_id_);
  std::swap(file_index_, other->file_index_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t PalletDesc::ByteSizeLong() const {
  return CacheSizeOf([this] {
    return ByPresence(_has_bits_[0], 0xffu, [this](auto present) {
      size_t size = 0;
      if (present(0)) size += TaggedVarintSize32(id_);
      if (present(1)) size += TaggedVarintSize32(size_);
      if (present(2)) size += TaggedVarintSize64(offset_);
      if (present(3)) size += TaggedVarintSize64(recording_id_);
      if (present(4)) size += TaggedVarintSize32(fragment_id_);
      if (present(5)) size += TaggedVarintSize32(track_id_);
      if (present(6)) size += TaggedVarintSize32(tier_id_);
      if (present(7)) size += TaggedVarintSize32(file_index_);
      return size;
    });
  }, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* PalletDesc::WriteFields(const Output& out, std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0xffu, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, id_, target);
    if (present(1)) target = WriteUInt32Field(out, 0x10, size_, target);
    if (present(2)) target = WriteUInt64Field(out, 0x18, offset_, target);
    if (present(3)) target = WriteUInt64Field(out, 0x20, recording_id_, target);
    if (present(4)) target = WriteUInt32Field(out, 0x28, fragment_id_, target);
    if (present(5)) target = WriteUInt32Field(out, 0x30, track_id_, target);
    if (present(6)) target = WriteUInt32Field(out, 0x38, tier_id_, target);
    if (present(7)) target = WriteUInt32Field(out, 0x40, file_index_, target);
    return target;
  }, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool PalletDesc::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &id_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_size;
        continue;
      case 0x10:
      parse_size:
        if (!ReadUInt32(input, &size_)) return false;
        _set_bit(1);
        if (input->ExpectTag(0x18)) goto parse_offset;
        continue;
      case 0x18:
      parse_offset:
        if (!ReadUInt64(input, &offset_)) return false;
        _set_bit(2);
        if (input->ExpectTag(0x20)) goto parse_recording_id;
        continue;
      case 0x20:
      parse_recording_id:
        if (!ReadUInt64(input, &recording_id_)) return false;
        _set_bit(3);
        if (input->ExpectTag(0x28)) goto parse_fragment_id;
        continue;
      case 0x28:
      parse_fragment_id:
        if (!ReadUInt32(input, &fragment_id_)) return false;
        _set_bit(4);
        if (input->ExpectTag(0x30)) goto parse_track_id;
        continue;
      case 0x30:
      parse_track_id:
        if (!ReadUInt32(input, &track_id_)) return false;
        _set_bit(5);
        if (input->ExpectTag(0x38)) goto parse_tier_id;
        continue;
      case 0x38:
      parse_tier_id:
        if (!ReadUInt32(input, &tier_id_)) return false;
        _set_bit(6);
        if (input->ExpectTag(0x40)) goto parse_file_index;
        continue;
      case 0x40:
      parse_file_index:
        if (!ReadUInt32(input, &file_index_)) return false;
        _set_bit(7);
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* PalletDesc::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08:
        ptr = ParseVarintField(ctx, ptr, &id_, _has_bits_, 0);
        if (!NextTagIs(ctx, &ptr, 0x10)) break;
        [[fallthrough]];
      case 0x10:
        ptr = ParseVarintField(ctx, ptr, &size_, _has_bits_, 1);
        if (!NextTagIs(ctx, &ptr, 0x18)) break;
        [[fallthrough]];
      case 0x18:
        ptr = ParseVarintField(ctx, ptr, &offset_, _has_bits_, 2);
        if (!NextTagIs(ctx, &ptr, 0x20)) break;
        [[fallthrough]];
      case 0x20:
        ptr = ParseVarintField(ctx, ptr, &recording_id_, _has_bits_, 3);
        if (!NextTagIs(ctx, &ptr, 0x28)) break;
        [[fallthrough]];
      case 0x28:
        ptr = ParseVarintField(ctx, ptr, &fragment_id_, _has_bits_, 4);
        if (!NextTagIs(ctx, &ptr, 0x30)) break;
        [[fallthrough]];
      case 0x30:
        ptr = ParseVarintField(ctx, ptr, &track_id_, _has_bits_, 5);
        if (!NextTagIs(ctx, &ptr, 0x38)) break;
        [[fallthrough]];
      case 0x38:
        ptr = ParseVarintField(ctx, ptr, &tier_id_, _has_bits_, 6);
        if (!NextTagIs(ctx, &ptr, 0x40)) break;
        [[fallthrough]];
      case 0x40: ptr = ParseVarintField(ctx, ptr, &file_index_, _has_bits_, 7); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

// ===========================================================================
// RecordingFragment_Tier

PB_DEFINE_MESSAGE_FRAME(RecordingFragment_Tier, MetadataOf, kRecordingFragmentTierIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

RecordingFragment_Tier::RecordingFragment_Tier(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      files_(arena),
      pallets_(arena) {
  SharedCtor();
}
constexpr RecordingFragment_Tier::RecordingFragment_Tier(gpi::ConstantInitialized)
    : _cached_size_(),
      files_(),
      pallets_(),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(RecordingFragment_Tier)

const int RecordingFragment_Tier::kFilesFieldNumber;
const int RecordingFragment_Tier::kPalletsFieldNumber;

void RecordingFragment_Tier::SharedCtor() {
  _cached_size_.Set(0);
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void RecordingFragment_Tier::SharedDtor() {}

void RecordingFragment_Tier::Clear() {
  files_.Clear();
  pallets_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void RecordingFragment_Tier::MergeFrom(const RecordingFragment_Tier& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&files_, from.files_);
  MergeElements(&pallets_, from.pallets_);
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void RecordingFragment_Tier::InternalSwap(RecordingFragment_Tier* other) {
  if (other == this) return;
  files_.Swap(&other->files_);
  pallets_.Swap(&other->pallets_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t RecordingFragment_Tier::ByteSizeLong() const {
  size_t total = NestedElementsSize(files_);
  total += NestedElementsSize(pallets_);
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* RecordingFragment_Tier::WriteFields(const Output& out, std::uint8_t* target) const {
  target = WriteNestedElements(out, 0x0A, files_, target);
  target = WriteNestedElements(out, 0x12, pallets_, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool RecordingFragment_Tier::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x0A:
      parse_files:
        if (!ReadElement(input, 0x0A, &files_)) return false;
        if (input->ExpectTag(0x0A)) goto parse_files;
        if (input->ExpectTag(0x12)) goto parse_pallets;
        continue;
      case 0x12:
      parse_pallets:
        if (!ReadElement(input, 0x12, &pallets_)) return false;
        if (input->ExpectTag(0x12)) goto parse_pallets;
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* RecordingFragment_Tier::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x0A:
        ptr = ParseElementRun(ctx, ptr, 0x0A, &files_);
        if (!NextTagIs(ctx, &ptr, 0x12)) break;
        [[fallthrough]];
      case 0x12: ptr = ParseElementRun(ctx, ptr, 0x12, &pallets_); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

// ===========================================================================
// RecordingFragment

PB_DEFINE_MESSAGE_FRAME(RecordingFragment, MetadataOf, kRecordingFragmentIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

RecordingFragment::RecordingFragment(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      tiers_(arena) {
  SharedCtor();
}
constexpr RecordingFragment::RecordingFragment(gpi::ConstantInitialized)
    : _cached_size_(),
      fragment_id_(0),
      tiers_(),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(RecordingFragment)

const int RecordingFragment::kFragmentIdFieldNumber;
const int RecordingFragment::kTiersFieldNumber;

void RecordingFragment::SharedCtor() {
  _cached_size_.Set(0);
  fragment_id_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void RecordingFragment::SharedDtor() {}

void RecordingFragment::Clear() {
  if (_has_bits_[0] & 0xffu) fragment_id_ = 0;
  tiers_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void RecordingFragment::MergeFrom(const RecordingFragment& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&tiers_, from.tiers_);
  if (from._has_bits_[0] & 0xffu) {
    if (from.has_fragment_id()) set_fragment_id(from.fragment_id());
  }
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void RecordingFragment::InternalSwap(RecordingFragment* other) {
  if (other == this) return;
  std::swap(fragment_id_, other->fragment_id_);
  tiers_.Swap(&other->tiers_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t RecordingFragment::ByteSizeLong() const {
  size_t total = 0;
  if (_has_bits_[0] & 0xffu) {
    if (has_fragment_id()) total += 1 + WireFormatLite::UInt32Size(fragment_id_);
  }
  total += NestedElementsSize(tiers_);
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* RecordingFragment::WriteFields(const Output& out, std::uint8_t* target) const {
  if (has_fragment_id()) target = WriteUInt32Field(out, 0x08, fragment_id_, target);
  target = WriteNestedElements(out, 0x12, tiers_, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool RecordingFragment::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &fragment_id_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x12)) goto parse_tiers;
        continue;
      case 0x12:
      parse_tiers:
        if (!ReadElement(input, 0x12, &tiers_)) return false;
        if (input->ExpectTag(0x12)) goto parse_tiers;
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* RecordingFragment::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08:
        ptr = ParseVarintField(ctx, ptr, &fragment_id_, _has_bits_, 0);
        if (!NextTagIs(ctx, &ptr, 0x12)) break;
        [[fallthrough]];
      case 0x12: ptr = ParseElementRun(ctx, ptr, 0x12, &tiers_); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

// ===========================================================================
// RecordingFragmentEntry_Track

PB_DEFINE_MESSAGE_FRAME(RecordingFragmentEntry_Track, MetadataOf, kRecordingFragmentEntryTrackIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

RecordingFragmentEntry_Track::RecordingFragmentEntry_Track(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned) {
  SharedCtor();
}
constexpr RecordingFragmentEntry_Track::RecordingFragmentEntry_Track(gpi::ConstantInitialized)
    : _cached_size_(),
      track_id_(0),
      start_tick_(0),
      end_tick_(0),
      duration_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(RecordingFragmentEntry_Track)

const int RecordingFragmentEntry_Track::kTrackIdFieldNumber;
const int RecordingFragmentEntry_Track::kStartTickFieldNumber;
const int RecordingFragmentEntry_Track::kEndTickFieldNumber;
const int RecordingFragmentEntry_Track::kDurationFieldNumber;

void RecordingFragmentEntry_Track::SharedCtor() {
  _cached_size_.Set(0);
  track_id_ = 0;
  start_tick_ = 0;
  end_tick_ = 0;
  duration_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void RecordingFragmentEntry_Track::SharedDtor() {}

void RecordingFragmentEntry_Track::Clear() {
  if (_has_bits_[0] & 0xffu) {
    track_id_ = 0;
    start_tick_ = 0;
    end_tick_ = 0;
    duration_ = 0;
  }
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void RecordingFragmentEntry_Track::MergeFrom(const RecordingFragmentEntry_Track& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  const std::uint32_t bits = from._has_bits_[0] & 0x0fu;
  ByPresence(bits, 0x0fu, [&](auto present) {
    if (present(0)) track_id_ = from.track_id_;
    if (present(1)) start_tick_ = from.start_tick_;
    if (present(2)) end_tick_ = from.end_tick_;
    if (present(3)) duration_ = from.duration_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void RecordingFragmentEntry_Track::InternalSwap(RecordingFragmentEntry_Track* other) {
  if (other == this) return;
  std::swap(track_id_, other->track_id_);
  std::swap(start_tick_, other->start_tick_);
  std::swap(end_tick_, other->end_tick_);
  std::swap(duration_, other->duration_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t RecordingFragmentEntry_Track::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0x0fu, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize32(track_id_);
    if (present(1)) size += TaggedVarintSize64(start_tick_);
    if (present(2)) size += TaggedVarintSize64(end_tick_);
    if (present(3)) size += TaggedVarintSize64(duration_);
    return size;
  });
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* RecordingFragmentEntry_Track::WriteFields(const Output& out,
                                                        std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0x0fu, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, track_id_, target);
    if (present(1)) target = WriteUInt64Field(out, 0x10, start_tick_, target);
    if (present(2)) target = WriteUInt64Field(out, 0x18, end_tick_, target);
    if (present(3)) target = WriteUInt64Field(out, 0x20, duration_, target);
    return target;
  }, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool RecordingFragmentEntry_Track::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &track_id_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_start_tick;
        continue;
      case 0x10:
      parse_start_tick:
        if (!ReadUInt64(input, &start_tick_)) return false;
        _set_bit(1);
        if (input->ExpectTag(0x18)) goto parse_end_tick;
        continue;
      case 0x18:
      parse_end_tick:
        if (!ReadUInt64(input, &end_tick_)) return false;
        _set_bit(2);
        if (input->ExpectTag(0x20)) goto parse_duration;
        continue;
      case 0x20:
      parse_duration:
        if (!ReadUInt64(input, &duration_)) return false;
        _set_bit(3);
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* RecordingFragmentEntry_Track::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08:
        ptr = ParseVarintField(ctx, ptr, &track_id_, _has_bits_, 0);
        if (!NextTagIs(ctx, &ptr, 0x10)) break;
        [[fallthrough]];
      case 0x10:
        ptr = ParseVarintField(ctx, ptr, &start_tick_, _has_bits_, 1);
        if (!NextTagIs(ctx, &ptr, 0x18)) break;
        [[fallthrough]];
      case 0x18:
        ptr = ParseVarintField(ctx, ptr, &end_tick_, _has_bits_, 2);
        if (!NextTagIs(ctx, &ptr, 0x20)) break;
        [[fallthrough]];
      case 0x20: ptr = ParseVarintField(ctx, ptr, &duration_, _has_bits_, 3); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

// ===========================================================================
// RecordingFragmentEntry

PB_DEFINE_MESSAGE_FRAME(RecordingFragmentEntry, MetadataOf, kRecordingFragmentEntryIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

RecordingFragmentEntry::RecordingFragmentEntry(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      tracks_(arena) {
  SharedCtor();
}
constexpr RecordingFragmentEntry::RecordingFragmentEntry(gpi::ConstantInitialized)
    : _cached_size_(),
      header_file_offset_(0),
      header_file_index_(0),
      header_size_(0),
      tracks_(),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(RecordingFragmentEntry)

const int RecordingFragmentEntry::kHeaderFileOffsetFieldNumber;
const int RecordingFragmentEntry::kHeaderFileIndexFieldNumber;
const int RecordingFragmentEntry::kHeaderSizeFieldNumber;
const int RecordingFragmentEntry::kTracksFieldNumber;

void RecordingFragmentEntry::SharedCtor() {
  _cached_size_.Set(0);
  header_file_offset_ = 0;
  header_file_index_ = 0;
  header_size_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void RecordingFragmentEntry::SharedDtor() {}

void RecordingFragmentEntry::Clear() {
  if (_has_bits_[0] & 0xffu) {
    header_file_offset_ = 0;
    header_file_index_ = 0;
    header_size_ = 0;
  }
  tracks_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void RecordingFragmentEntry::MergeFrom(const RecordingFragmentEntry& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&tracks_, from.tracks_);
  const std::uint32_t bits = from._has_bits_[0] & 0x07u;
  ByPresence(bits, 0x07u, [&](auto present) {
    if (present(0)) header_file_offset_ = from.header_file_offset_;
    if (present(1)) header_file_index_ = from.header_file_index_;
    if (present(2)) header_size_ = from.header_size_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void RecordingFragmentEntry::InternalSwap(RecordingFragmentEntry* other) {
  if (other == this) return;
  std::swap(header_file_offset_, other->header_file_offset_);
  std::swap(header_file_index_, other->header_file_index_);
  std::swap(header_size_, other->header_size_);
  tracks_.Swap(&other->tracks_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t RecordingFragmentEntry::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0x07u, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize64(header_file_offset_);
    if (present(1)) size += TaggedVarintSize32(header_file_index_);
    if (present(2)) size += TaggedVarintSize32(header_size_);
    return size;
  });
  total += NestedElementsSize(tracks_);
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* RecordingFragmentEntry::WriteFields(const Output& out, std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0x07u, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt64Field(out, 0x08, header_file_offset_, target);
    if (present(1)) target = WriteUInt32Field(out, 0x10, header_file_index_, target);
    if (present(2)) target = WriteUInt32Field(out, 0x18, header_size_, target);
    return target;
  }, target);
  target = WriteNestedElements(out, 0x22, tracks_, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool RecordingFragmentEntry::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt64(input, &header_file_offset_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_header_file_index;
        continue;
      case 0x10:
      parse_header_file_index:
        if (!ReadUInt32(input, &header_file_index_)) return false;
        _set_bit(1);
        if (input->ExpectTag(0x18)) goto parse_header_size;
        continue;
      case 0x18:
      parse_header_size:
        if (!ReadUInt32(input, &header_size_)) return false;
        _set_bit(2);
        if (input->ExpectTag(0x22)) goto parse_tracks;
        continue;
      case 0x22:
      parse_tracks:
        if (!ReadElement(input, 0x22, &tracks_)) return false;
        if (input->ExpectTag(0x22)) goto parse_tracks;
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* RecordingFragmentEntry::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08:
        ptr = ParseVarintField(ctx, ptr, &header_file_offset_, _has_bits_, 0);
        if (!NextTagIs(ctx, &ptr, 0x10)) break;
        [[fallthrough]];
      case 0x10:
        ptr = ParseVarintField(ctx, ptr, &header_file_index_, _has_bits_, 1);
        if (!NextTagIs(ctx, &ptr, 0x18)) break;
        [[fallthrough]];
      case 0x18:
        ptr = ParseVarintField(ctx, ptr, &header_size_, _has_bits_, 2);
        if (!NextTagIs(ctx, &ptr, 0x22)) break;
        [[fallthrough]];
      case 0x22: ptr = ParseElementRun(ctx, ptr, 0x22, &tracks_); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

// ===========================================================================
// DataReference_Tier

PB_DEFINE_MESSAGE_FRAME(DataReference_Tier, MetadataOf, kDataReferenceTierIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

DataReference_Tier::DataReference_Tier(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      files_(arena) {
  SharedCtor();
}
constexpr DataReference_Tier::DataReference_Tier(gpi::ConstantInitialized)
    : _cached_size_(),
      files_(),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(DataReference_Tier)

const int DataReference_Tier::kFilesFieldNumber;

void DataReference_Tier::SharedCtor() {
  _cached_size_.Set(0);
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void DataReference_Tier::SharedDtor() {}

void DataReference_Tier::Clear() {
  files_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void DataReference_Tier::MergeFrom(const DataReference_Tier& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&files_, from.files_);
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void DataReference_Tier::InternalSwap(DataReference_Tier* other) {
  if (other == this) return;
  files_.Swap(&other->files_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t DataReference_Tier::ByteSizeLong() const {
  size_t total = NestedElementsSize(files_);
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* DataReference_Tier::WriteFields(const Output& out, std::uint8_t* target) const {
  target = WriteNestedElements(out, 0x0A, files_, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool DataReference_Tier::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x0A:
      parse_files:
        if (!ReadElement(input, 0x0A, &files_)) return false;
        if (input->ExpectTag(0x0A)) goto parse_files;
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* DataReference_Tier::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x0A: ptr = ParseElementRun(ctx, ptr, 0x0A, &files_); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

// ===========================================================================
// DataReference

PB_DEFINE_MESSAGE_FRAME(DataReference, MetadataOf, kDataReferenceIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto)

DataReference::DataReference(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      tiers_(arena),
      fragments_(arena),
      files_(arena) {
  SharedCtor();
}
constexpr DataReference::DataReference(gpi::ConstantInitialized)
    : _cached_size_(),
      tiers_(),
      fragments_(),
      files_(),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(DataReference)

const int DataReference::kTiersFieldNumber;
const int DataReference::kFragmentsFieldNumber;
const int DataReference::kFilesFieldNumber;

void DataReference::SharedCtor() {
  _cached_size_.Set(0);
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void DataReference::SharedDtor() {}

void DataReference::Clear() {
  tiers_.Clear();
  fragments_.Clear();
  files_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void DataReference::MergeFrom(const DataReference& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&tiers_, from.tiers_);
  MergeElements(&fragments_, from.fragments_);
  MergeElements(&files_, from.files_);
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void DataReference::InternalSwap(DataReference* other) {
  if (other == this) return;
  tiers_.Swap(&other->tiers_);
  fragments_.Swap(&other->fragments_);
  files_.Swap(&other->files_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t DataReference::ByteSizeLong() const {
  size_t total = NestedElementsSize(tiers_);
  total += NestedElementsSize(fragments_);
  total += NestedElementsSize(files_);
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* DataReference::WriteFields(const Output& out, std::uint8_t* target) const {
  target = WriteNestedElements(out, 0x0A, tiers_, target);
  target = WriteNestedElements(out, 0x12, fragments_, target);
  target = WriteNestedElements(out, 0x1A, files_, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool DataReference::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x0A:
      parse_tiers:
        if (!ReadElement(input, 0x0A, &tiers_)) return false;
        if (input->ExpectTag(0x0A)) goto parse_tiers;
        if (input->ExpectTag(0x12)) goto parse_fragments;
        continue;
      case 0x12:
      parse_fragments:
        if (!ReadElement(input, 0x12, &fragments_)) return false;
        if (input->ExpectTag(0x12)) goto parse_fragments;
        if (input->ExpectTag(0x1A)) goto parse_files;
        continue;
      case 0x1A:
      parse_files:
        if (!ReadElement(input, 0x1A, &files_)) return false;
        if (input->ExpectTag(0x1A)) goto parse_files;
        if (AtCleanEnd(input)) return true;
        continue;
      default:
        break;
    }
    switch (SkipStrictUnknownField(input, tag, mutable_unknown_fields())) {
      case Skip::kContinue: break;
      case Skip::kEndOfMessage: return true;
      case Skip::kFailure: return false;
    }
  }
}

const char* DataReference::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x0A:
        ptr = ParseElementRun(ctx, ptr, 0x0A, &tiers_);
        if (!NextTagIs(ctx, &ptr, 0x12)) break;
        [[fallthrough]];
      case 0x12:
        ptr = ParseElementRun(ctx, ptr, 0x12, &fragments_);
        if (!NextTagIs(ctx, &ptr, 0x1A)) break;
        [[fallthrough]];
      case 0x1A: ptr = ParseElementRun(ctx, ptr, 0x1A, &files_); break;
      default: {
        bool ended = false;
        ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
        if (ended) return ptr;
      }
    }
    if (ptr == nullptr) return nullptr;
  }
  return ptr;
}

}  // namespace Tarvesh
}  // namespace Pb

namespace google {
namespace protobuf {
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::PalletDesc)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::RecordingFragment_Tier)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::RecordingFragment)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::RecordingFragmentEntry_Track)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::RecordingFragmentEntry)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::DataReference_Tier)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::DataReference)
}  // namespace protobuf
}  // namespace google

#include <google/protobuf/port_undef.inc>
