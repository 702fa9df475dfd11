// SPDX-License-Identifier: BSD-3-Clause
// Message classes of "ProtoBuf/Tarvesh/Tarvesh.Track.proto", the file's
// registration with the runtime, and its reflection tables.
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"

#include <utility>

#include "MessageHelpers.h"

#include <google/protobuf/port_def.inc>

namespace Pb {
namespace Tarvesh {

namespace gp = ::google::protobuf;
namespace gpi = ::google::protobuf::internal;
using namespace ::Pb::wire;

namespace {

const char kFileName[] = "ProtoBuf/Tarvesh/Tarvesh.Track.proto";

// Refresh with tools/embed_descriptor when the schema changes.
// 877 bytes: the serialized descriptor of "ProtoBuf/Tarvesh/Tarvesh.Track.proto".
constexpr char kDescriptor[] =
    "\x0a\x24\x50\x72\x6f\x74\x6f\x42\x75\x66\x2f\x54\x61\x72\x76\x65"
    "\x73\x68\x2f\x54\x61\x72\x76\x65\x73\x68\x2e\x54\x72\x61\x63\x6b"
    "\x2e\x70\x72\x6f\x74\x6f\x12\x0a\x50\x62\x2e\x54\x61\x72\x76\x65"
    "\x73\x68\x1a\x1a\x50\x72\x6f\x74\x6f\x42\x75\x66\x2f\x56\x65\x6c"
    "\x74\x6f\x2f\x56\x65\x6c\x74\x6f\x2e\x70\x72\x6f\x74\x6f\x22\x2d"
    "\x0a\x0d\x43\x6f\x75\x6e\x74\x44\x65\x6c\x74\x61\x53\x33\x32\x12"
    "\x0d\x0a\x05\x63\x6f\x75\x6e\x74\x18\x01\x20\x01\x28\x0d\x12\x0d"
    "\x0a\x05\x64\x65\x6c\x74\x61\x18\x02\x20\x01\x28\x11\x22\x29\x0a"
    "\x0b\x43\x6f\x75\x6e\x74\x56\x61\x6c\x55\x33\x32\x12\x0d\x0a\x05"
    "\x63\x6f\x75\x6e\x74\x18\x01\x20\x01\x28\x0d\x12\x0b\x0a\x03\x76"
    "\x61\x6c\x18\x02\x20\x01\x28\x0d\x22\x29\x0a\x0b\x43\x6f\x75\x6e"
    "\x74\x56\x61\x6c\x53\x33\x32\x12\x0d\x0a\x05\x63\x6f\x75\x6e\x74"
    "\x18\x01\x20\x01\x28\x0d\x12\x0b\x0a\x03\x76\x61\x6c\x18\x02\x20"
    "\x01\x28\x11\x22\xbb\x03\x0a\x0a\x46\x72\x61\x6d\x65\x54\x61\x62"
    "\x6c\x65\x12\x2e\x0a\x0b\x73\x65\x71\x5f\x6e\x75\x6d\x62\x65\x72"
    "\x73\x18\x01\x20\x03\x28\x0b\x32\x19\x2e\x50\x62\x2e\x54\x61\x72"
    "\x76\x65\x73\x68\x2e\x43\x6f\x75\x6e\x74\x44\x65\x6c\x74\x61\x53"
    "\x33\x32\x12\x2d\x0a\x0a\x74\x69\x6d\x65\x73\x74\x61\x6d\x70\x73"
    "\x18\x02\x20\x03\x28\x0b\x32\x19\x2e\x50\x62\x2e\x54\x61\x72\x76"
    "\x65\x73\x68\x2e\x43\x6f\x75\x6e\x74\x44\x65\x6c\x74\x61\x53\x33"
    "\x32\x12\x15\x0a\x0d\x63\x6f\x64\x69\x6e\x67\x5f\x64\x65\x70\x65"
    "\x6e\x64\x18\x03\x20\x01\x28\x0c\x12\x17\x0a\x0b\x66\x72\x61\x6d"
    "\x65\x5f\x73\x69\x7a\x65\x73\x18\x04\x20\x03\x28\x11\x42\x02\x10"
    "\x01\x12\x23\x0a\x17\x66\x72\x61\x6d\x65\x5f\x74\x6f\x5f\x70\x61"
    "\x6c\x6c\x65\x74\x5f\x6f\x66\x66\x73\x65\x74\x73\x18\x05\x20\x03"
    "\x28\x0d\x42\x02\x10\x01\x12\x34\x0a\x13\x66\x72\x61\x6d\x65\x5f"
    "\x74\x6f\x5f\x70\x61\x6c\x6c\x65\x74\x5f\x69\x64\x73\x18\x06\x20"
    "\x03\x28\x0b\x32\x17\x2e\x50\x62\x2e\x54\x61\x72\x76\x65\x73\x68"
    "\x2e\x43\x6f\x75\x6e\x74\x56\x61\x6c\x55\x33\x32\x12\x37\x0a\x16"
    "\x61\x63\x63\x65\x73\x73\x5f\x75\x6e\x69\x74\x73\x5f\x70\x65\x72"
    "\x5f\x66\x72\x61\x6d\x65\x18\x07\x20\x03\x28\x0b\x32\x17\x2e\x50"
    "\x62\x2e\x54\x61\x72\x76\x65\x73\x68\x2e\x43\x6f\x75\x6e\x74\x56"
    "\x61\x6c\x55\x33\x32\x12\x24\x0a\x18\x61\x63\x63\x65\x73\x73\x5f"
    "\x75\x6e\x69\x74\x5f\x6c\x65\x6e\x67\x74\x68\x5f\x64\x69\x66\x66"
    "\x73\x18\x08\x20\x03\x28\x11\x42\x02\x10\x01\x12\x24\x0a\x18\x61"
    "\x63\x63\x65\x73\x73\x5f\x75\x6e\x69\x74\x5f\x6f\x66\x66\x73\x65"
    "\x74\x5f\x6a\x75\x6d\x70\x73\x18\x09\x20\x03\x28\x0d\x42\x02\x10"
    "\x01\x12\x27\x0a\x06\x65\x72\x72\x6f\x72\x73\x18\x0a\x20\x03\x28"
    "\x0b\x32\x17\x2e\x50\x62\x2e\x54\x61\x72\x76\x65\x73\x68\x2e\x43"
    "\x6f\x75\x6e\x74\x56\x61\x6c\x53\x33\x32\x12\x15\x0a\x09\x61\x75"
    "\x74\x68\x5f\x74\x61\x67\x73\x18\x0b\x20\x03\x28\x06\x42\x02\x10"
    "\x01\x22\xd5\x01\x0a\x05\x54\x72\x61\x63\x6b\x12\x10\x0a\x08\x74"
    "\x72\x61\x63\x6b\x5f\x69\x64\x18\x01\x20\x01\x28\x0d\x12\x12\x0a"
    "\x0a\x6e\x75\x6d\x5f\x66\x72\x61\x6d\x65\x73\x18\x02\x20\x01\x28"
    "\x0d\x12\x11\x0a\x09\x73\x74\x61\x72\x74\x5f\x73\x65\x71\x18\x03"
    "\x20\x01\x28\x0d\x12\x12\x0a\x0a\x73\x74\x61\x72\x74\x5f\x74\x69"
    "\x6d\x65\x18\x04\x20\x01\x28\x06\x12\x12\x0a\x0a\x73\x74\x61\x72"
    "\x74\x5f\x74\x69\x63\x6b\x18\x05\x20\x01\x28\x04\x12\x10\x0a\x08"
    "\x64\x75\x72\x61\x74\x69\x6f\x6e\x18\x06\x20\x01\x28\x04\x12\x2c"
    "\x0a\x0c\x66\x72\x61\x6d\x65\x5f\x74\x61\x62\x6c\x65\x73\x18\x07"
    "\x20\x03\x28\x0b\x32\x16\x2e\x50\x62\x2e\x54\x61\x72\x76\x65\x73"
    "\x68\x2e\x46\x72\x61\x6d\x65\x54\x61\x62\x6c\x65\x12\x2b\x0a\x09"
    "\x61\x75\x74\x68\x5f\x74\x79\x70\x65\x18\x08\x20\x01\x28\x0e\x32"
    "\x18\x2e\x50\x62\x2e\x56\x65\x6c\x74\x6f\x2e\x41\x75\x74\x68\x65"
    "\x6e\x74\x69\x63\x61\x74\x69\x6f\x6e\x42\x02\x48\x01";

// Classes in the order the runtime assigns descriptors (file order: the file
// has no nested types).
enum : int {
  kCountDeltaS32Index,
  kCountValU32Index,
  kCountValS32Index,
  kFrameTableIndex,
  kTrackIndex,
};

// The file's classes in file order: the order their default instances are
// made and deleted.
PROTOBUF_CONSTINIT FileRegistration<CountDeltaS32, CountValU32, CountValS32, FrameTable, Track>
    registration(&descriptor_table_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto,
                 &protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto);

}  // namespace

// Layout of every class of the file, as the runtime's reflection reads it.
struct TrackFileTables {
  static constexpr std::uint32_t offsets[] = {
      // CountDeltaS32, block at 0
      PROTOBUF_FIELD_OFFSET(CountDeltaS32, _has_bits_),
      PROTOBUF_FIELD_OFFSET(CountDeltaS32, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(CountDeltaS32, count_),
      PROTOBUF_FIELD_OFFSET(CountDeltaS32, delta_),
      0, 1,
      // CountValU32, block at 10
      PROTOBUF_FIELD_OFFSET(CountValU32, _has_bits_),
      PROTOBUF_FIELD_OFFSET(CountValU32, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(CountValU32, count_),
      PROTOBUF_FIELD_OFFSET(CountValU32, val_),
      0, 1,
      // CountValS32, block at 20
      PROTOBUF_FIELD_OFFSET(CountValS32, _has_bits_),
      PROTOBUF_FIELD_OFFSET(CountValS32, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(CountValS32, count_),
      PROTOBUF_FIELD_OFFSET(CountValS32, val_),
      0, 1,
      // FrameTable, block at 30. coding_depend_ is an ArenaStringPtr, the
      // runtime's non-inlined string storage (its offset's low bit is clear).
      PROTOBUF_FIELD_OFFSET(FrameTable, _has_bits_),
      PROTOBUF_FIELD_OFFSET(FrameTable, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(FrameTable, seq_numbers_),
      PROTOBUF_FIELD_OFFSET(FrameTable, timestamps_),
      PROTOBUF_FIELD_OFFSET(FrameTable, coding_depend_),
      PROTOBUF_FIELD_OFFSET(FrameTable, frame_sizes_),
      PROTOBUF_FIELD_OFFSET(FrameTable, frame_to_pallet_offsets_),
      PROTOBUF_FIELD_OFFSET(FrameTable, frame_to_pallet_ids_),
      PROTOBUF_FIELD_OFFSET(FrameTable, access_units_per_frame_),
      PROTOBUF_FIELD_OFFSET(FrameTable, access_unit_length_diffs_),
      PROTOBUF_FIELD_OFFSET(FrameTable, access_unit_offset_jumps_),
      PROTOBUF_FIELD_OFFSET(FrameTable, errors_),
      PROTOBUF_FIELD_OFFSET(FrameTable, auth_tags_),
      kNoOffset, kNoOffset, 2, kNoOffset, kNoOffset, kNoOffset,
      kNoOffset, kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      // Track, block at 58
      PROTOBUF_FIELD_OFFSET(Track, _has_bits_),
      PROTOBUF_FIELD_OFFSET(Track, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(Track, track_id_),
      PROTOBUF_FIELD_OFFSET(Track, num_frames_),
      PROTOBUF_FIELD_OFFSET(Track, start_seq_),
      PROTOBUF_FIELD_OFFSET(Track, start_time_),
      PROTOBUF_FIELD_OFFSET(Track, start_tick_),
      PROTOBUF_FIELD_OFFSET(Track, duration_),
      PROTOBUF_FIELD_OFFSET(Track, frame_tables_),
      PROTOBUF_FIELD_OFFSET(Track, auth_type_),
      0, 1, 2, 3, 4, 5, kNoOffset, 7,
  };
  static constexpr gpi::MigrationSchema schemas[] = {
      SchemaAt(0, 2, sizeof(CountDeltaS32)),
      SchemaAt(10, 2, sizeof(CountValU32)),
      SchemaAt(20, 2, sizeof(CountValS32)),
      SchemaAt(30, 11, sizeof(FrameTable)),
      SchemaAt(58, 8, sizeof(Track)),
  };
  static_assert(sizeof(offsets) / sizeof(offsets[0]) == 80, "offsets table out of step");
  static_assert(alignof(std::string) >= 4,
                "string-field tags live in the two low bits of the pointer");
};

}  // namespace Tarvesh
}  // namespace Pb

// Exported under the name protoc's output uses for this file.
namespace this_file = ::Pb::Tarvesh;
PROTOBUF_CONSTINIT const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto =
        this_file::registration.Table(this_file::kDescriptor, this_file::kFileName,
                                      this_file::TrackFileTables::schemas,
                                      this_file::TrackFileTables::offsets);

namespace Pb {
namespace Tarvesh {
namespace {

const gp::Metadata& MetadataOf(int index) { return FileMetadata<registration>(index); }

}  // namespace

void protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto() {
  registration.Register("ProtoBuf/Tarvesh/Tarvesh.Track.pb.cc",
                        &Velto::protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto);
}

namespace {
RegisterAtLoad register_at_load(&protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto);
}  // namespace

// Defined after the registration: the default instances only take its
// address, and its destruction at unload comes first.
const std::string FrameTable::_default_coding_depend_;

namespace {

// An enum travels as a varint of the sign-extended value.
inline std::uint64_t EnumWireValue(int value) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
}

}  // namespace

// ===========================================================================
// CountDeltaS32

PB_DEFINE_MESSAGE_FRAME(CountDeltaS32, MetadataOf, kCountDeltaS32Index,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto)

CountDeltaS32::CountDeltaS32(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned) {
  SharedCtor();
}
constexpr CountDeltaS32::CountDeltaS32(gpi::ConstantInitialized)
    : _cached_size_(),
      count_(0),
      delta_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(CountDeltaS32)

const int CountDeltaS32::kCountFieldNumber;
const int CountDeltaS32::kDeltaFieldNumber;

void CountDeltaS32::SharedCtor() {
  _cached_size_.Set(0);
  count_ = 0;
  delta_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void CountDeltaS32::SharedDtor() {}

void CountDeltaS32::Clear() {
  if (_has_bits_[0] & 0xffu) {
    count_ = 0;
    delta_ = 0;
  }
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void CountDeltaS32::MergeFrom(const CountDeltaS32& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  const std::uint32_t bits = from._has_bits_[0] & 0x03u;
  ByPresence(bits, 0x03u, [&](auto present) {
    if (present(0)) count_ = from.count_;
    if (present(1)) delta_ = from.delta_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void CountDeltaS32::InternalSwap(CountDeltaS32* other) {
  if (other == this) return;
  std::swap(count_, other->count_);
  std::swap(delta_, other->delta_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t CountDeltaS32::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0x03u, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize32(count_);
    if (present(1)) size += TaggedSInt32Size(delta_);
    return size;
  });
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* CountDeltaS32::WriteFields(const Output& out, std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0x03u, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, count_, target);
    if (present(1)) target = WriteSInt32Field(out, 0x10, delta_, target);
    return target;
  }, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool CountDeltaS32::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &count_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_delta;
        continue;
      case 0x10:
      parse_delta:
        if (!ReadSInt32(input, &delta_)) return false;
        _set_bit(1);
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

const char* CountDeltaS32::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08: ptr = ParseVarintField(ctx, ptr, &count_, _has_bits_, 0); break;
      case 0x10: ptr = ParseSInt32Field(ctx, ptr, &delta_, _has_bits_, 1); break;
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
// CountValU32

PB_DEFINE_MESSAGE_FRAME(CountValU32, MetadataOf, kCountValU32Index,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto)

CountValU32::CountValU32(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned) {
  SharedCtor();
}
constexpr CountValU32::CountValU32(gpi::ConstantInitialized)
    : _cached_size_(),
      count_(0),
      val_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(CountValU32)

const int CountValU32::kCountFieldNumber;
const int CountValU32::kValFieldNumber;

void CountValU32::SharedCtor() {
  _cached_size_.Set(0);
  count_ = 0;
  val_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void CountValU32::SharedDtor() {}

void CountValU32::Clear() {
  if (_has_bits_[0] & 0xffu) {
    count_ = 0;
    val_ = 0;
  }
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void CountValU32::MergeFrom(const CountValU32& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  const std::uint32_t bits = from._has_bits_[0] & 0x03u;
  ByPresence(bits, 0x03u, [&](auto present) {
    if (present(0)) count_ = from.count_;
    if (present(1)) val_ = from.val_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void CountValU32::InternalSwap(CountValU32* other) {
  if (other == this) return;
  std::swap(count_, other->count_);
  std::swap(val_, other->val_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t CountValU32::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0x03u, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize32(count_);
    if (present(1)) size += TaggedVarintSize32(val_);
    return size;
  });
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* CountValU32::WriteFields(const Output& out, std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0x03u, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, count_, target);
    if (present(1)) target = WriteUInt32Field(out, 0x10, val_, target);
    return target;
  }, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool CountValU32::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &count_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_val;
        continue;
      case 0x10:
      parse_val:
        if (!ReadUInt32(input, &val_)) return false;
        _set_bit(1);
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

const char* CountValU32::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08: ptr = ParseVarintField(ctx, ptr, &count_, _has_bits_, 0); break;
      case 0x10: ptr = ParseVarintField(ctx, ptr, &val_, _has_bits_, 1); break;
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
// CountValS32

PB_DEFINE_MESSAGE_FRAME(CountValS32, MetadataOf, kCountValS32Index,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto)

CountValS32::CountValS32(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned) {
  SharedCtor();
}
constexpr CountValS32::CountValS32(gpi::ConstantInitialized)
    : _cached_size_(),
      count_(0),
      val_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(CountValS32)

const int CountValS32::kCountFieldNumber;
const int CountValS32::kValFieldNumber;

void CountValS32::SharedCtor() {
  _cached_size_.Set(0);
  count_ = 0;
  val_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void CountValS32::SharedDtor() {}

void CountValS32::Clear() {
  if (_has_bits_[0] & 0xffu) {
    count_ = 0;
    val_ = 0;
  }
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void CountValS32::MergeFrom(const CountValS32& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  const std::uint32_t bits = from._has_bits_[0] & 0x03u;
  ByPresence(bits, 0x03u, [&](auto present) {
    if (present(0)) count_ = from.count_;
    if (present(1)) val_ = from.val_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void CountValS32::InternalSwap(CountValS32* other) {
  if (other == this) return;
  std::swap(count_, other->count_);
  std::swap(val_, other->val_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t CountValS32::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0x03u, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize32(count_);
    if (present(1)) size += TaggedSInt32Size(val_);
    return size;
  });
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* CountValS32::WriteFields(const Output& out, std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0x03u, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, count_, target);
    if (present(1)) target = WriteSInt32Field(out, 0x10, val_, target);
    return target;
  }, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool CountValS32::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &count_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_val;
        continue;
      case 0x10:
      parse_val:
        if (!ReadSInt32(input, &val_)) return false;
        _set_bit(1);
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

const char* CountValS32::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08: ptr = ParseVarintField(ctx, ptr, &count_, _has_bits_, 0); break;
      case 0x10: ptr = ParseSInt32Field(ctx, ptr, &val_, _has_bits_, 1); break;
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
// FrameTable

namespace {

// A run-length pair's count (field 1) and, handed to `set_second`, the
// varint of its field 2, from a record held whole in the buffer.
template <class Pair, class SetSecond>
bool ReadHeldCountPair(Pair* pair, const char* p, const char* end, SetSecond set_second) {
  return ReadHeldVarintFields(p, end, [pair, set_second](uint8_t tag, std::uint64_t value) {
    switch (tag) {
      case 0x08: pair->set_count(static_cast<std::uint32_t>(value)); return true;
      case 0x10: set_second(value); return true;
      default: return false;
    }
  });
}

// The run-length pairs from records held whole in the buffer (a frame
// table holds dozens of these small records); see ParseElement.
struct ReadHeldPair {
  bool operator()(CountDeltaS32* pair, const char* p, const char* end) const {
    return ReadHeldCountPair(pair, p, end,
                             [pair](std::uint64_t v) { pair->set_delta(SInt32FromVarint(v)); });
  }
  bool operator()(CountValU32* pair, const char* p, const char* end) const {
    return ReadHeldCountPair(
        pair, p, end, [pair](std::uint64_t v) { pair->set_val(static_cast<std::uint32_t>(v)); });
  }
  bool operator()(CountValS32* pair, const char* p, const char* end) const {
    return ReadHeldCountPair(pair, p, end,
                             [pair](std::uint64_t v) { pair->set_val(SInt32FromVarint(v)); });
  }
};

}  // namespace

PB_DEFINE_MESSAGE_FRAME(FrameTable, MetadataOf, kFrameTableIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto)

FrameTable::FrameTable(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      seq_numbers_(arena),
      timestamps_(arena),
      frame_sizes_(arena),
      frame_to_pallet_offsets_(arena),
      frame_to_pallet_ids_(arena),
      access_units_per_frame_(arena),
      access_unit_length_diffs_(arena),
      access_unit_offset_jumps_(arena),
      errors_(arena),
      auth_tags_(arena) {
  SharedCtor();
}
constexpr FrameTable::FrameTable(gpi::ConstantInitialized)
    : _cached_size_(),
      seq_numbers_(),
      timestamps_(),
      coding_depend_(&gpi::fixed_address_empty_string, gpi::ConstantInitialized{}),
      frame_sizes_(),
      _frame_sizes_cached_byte_size_(),
      frame_to_pallet_offsets_(),
      _frame_to_pallet_offsets_cached_byte_size_(),
      frame_to_pallet_ids_(),
      access_units_per_frame_(),
      access_unit_length_diffs_(),
      _access_unit_length_diffs_cached_byte_size_(),
      access_unit_offset_jumps_(),
      _access_unit_offset_jumps_cached_byte_size_(),
      errors_(),
      auth_tags_(),
      _auth_tags_cached_byte_size_(),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(FrameTable)

const int FrameTable::kSeqNumbersFieldNumber;
const int FrameTable::kTimestampsFieldNumber;
const int FrameTable::kCodingDependFieldNumber;
const int FrameTable::kFrameSizesFieldNumber;
const int FrameTable::kFrameToPalletOffsetsFieldNumber;
const int FrameTable::kFrameToPalletIdsFieldNumber;
const int FrameTable::kAccessUnitsPerFrameFieldNumber;
const int FrameTable::kAccessUnitLengthDiffsFieldNumber;
const int FrameTable::kAccessUnitOffsetJumpsFieldNumber;
const int FrameTable::kErrorsFieldNumber;
const int FrameTable::kAuthTagsFieldNumber;

void FrameTable::SharedCtor() {
  _cached_size_.Set(0);
  coding_depend_.InitExternal(&_default_coding_depend_);
  _frame_sizes_cached_byte_size_.Set(0);
  _frame_to_pallet_offsets_cached_byte_size_.Set(0);
  _access_unit_length_diffs_cached_byte_size_.Set(0);
  _access_unit_offset_jumps_cached_byte_size_.Set(0);
  _auth_tags_cached_byte_size_.Set(0);
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}

// Frees the own string, if any; the shared default (or the runtime's empty
// string, after a reflection clear) is never owned.
void FrameTable::SharedDtor() { coding_depend_.Destroy(); }

void FrameTable::Clear() {
  if (_has_bits_[0] & 0x3fcu) {
    if (has_coding_depend() && !coding_depend_.IsDefault()) {
      coding_depend_.ClearNonDefaultToEmpty();
    }
  }
  seq_numbers_.Clear();
  timestamps_.Clear();
  frame_sizes_.Clear();
  frame_to_pallet_offsets_.Clear();
  frame_to_pallet_ids_.Clear();
  access_units_per_frame_.Clear();
  access_unit_length_diffs_.Clear();
  access_unit_offset_jumps_.Clear();
  errors_.Clear();
  auth_tags_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void FrameTable::MergeFrom(const FrameTable& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&seq_numbers_, from.seq_numbers_);
  MergeElements(&timestamps_, from.timestamps_);
  MergeColumn(&frame_sizes_, from.frame_sizes_);
  MergeColumn(&frame_to_pallet_offsets_, from.frame_to_pallet_offsets_);
  MergeElements(&frame_to_pallet_ids_, from.frame_to_pallet_ids_);
  MergeElements(&access_units_per_frame_, from.access_units_per_frame_);
  MergeColumn(&access_unit_length_diffs_, from.access_unit_length_diffs_);
  MergeColumn(&access_unit_offset_jumps_, from.access_unit_offset_jumps_);
  MergeElements(&errors_, from.errors_);
  MergeColumn(&auth_tags_, from.auth_tags_);
  if (from._has_bits_[0] & 0x3fcu) {
    if (from.has_coding_depend()) set_coding_depend(from.coding_depend());
  }
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

// The packed byte-size caches stay with their objects.
void FrameTable::InternalSwap(FrameTable* other) {
  if (other == this) return;
  seq_numbers_.Swap(&other->seq_numbers_);
  timestamps_.Swap(&other->timestamps_);
  gpi::ArenaStringPtr::InternalSwap(&coding_depend_, nullptr, &other->coding_depend_, nullptr);
  frame_sizes_.Swap(&other->frame_sizes_);
  frame_to_pallet_offsets_.Swap(&other->frame_to_pallet_offsets_);
  frame_to_pallet_ids_.Swap(&other->frame_to_pallet_ids_);
  access_units_per_frame_.Swap(&other->access_units_per_frame_);
  access_unit_length_diffs_.Swap(&other->access_unit_length_diffs_);
  access_unit_offset_jumps_.Swap(&other->access_unit_offset_jumps_);
  errors_.Swap(&other->errors_);
  auth_tags_.Swap(&other->auth_tags_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t FrameTable::ByteSizeLong() const {
  size_t total = 0;
  if (_has_bits_[0] & 0x3fcu) {
    if (has_coding_depend()) total += 1 + WireFormatLite::BytesSize(coding_depend());
  }
  total += NestedElementsSize(seq_numbers_);
  total += NestedElementsSize(timestamps_);

  size_t payload = PackedVarintPayload<SInt32Codec>(frame_sizes_);
  _frame_sizes_cached_byte_size_.Set(gpi::ToCachedSize(payload));
  total += PackedRecordSize(payload);

  payload = PackedVarintPayload<UInt32Codec>(frame_to_pallet_offsets_);
  _frame_to_pallet_offsets_cached_byte_size_.Set(gpi::ToCachedSize(payload));
  total += PackedRecordSize(payload);

  total += NestedElementsSize(frame_to_pallet_ids_);
  total += NestedElementsSize(access_units_per_frame_);

  payload = PackedVarintPayload<SInt32Codec>(access_unit_length_diffs_);
  _access_unit_length_diffs_cached_byte_size_.Set(gpi::ToCachedSize(payload));
  total += PackedRecordSize(payload);

  payload = PackedVarintPayload<UInt32Codec>(access_unit_offset_jumps_);
  _access_unit_offset_jumps_cached_byte_size_.Set(gpi::ToCachedSize(payload));
  total += PackedRecordSize(payload);

  total += NestedElementsSize(errors_);

  payload = PackedFixed64Payload(auth_tags_);
  _auth_tags_cached_byte_size_.Set(gpi::ToCachedSize(payload));
  total += PackedRecordSize(payload);

  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* FrameTable::WriteFields(const Output& out, std::uint8_t* target) const {
  target = WriteNestedElements(out, 0x0A, seq_numbers_, target);
  target = WriteNestedElements(out, 0x12, timestamps_, target);
  if (has_coding_depend()) target = WriteBytesField(out, 0x1A, coding_depend(), target);
  target = WritePackedVarints<SInt32Codec>(out, 0x22, frame_sizes_,
                                           _frame_sizes_cached_byte_size_.Get(), target);
  target = WritePackedVarints<UInt32Codec>(out, 0x2A, frame_to_pallet_offsets_,
                                           _frame_to_pallet_offsets_cached_byte_size_.Get(),
                                           target);
  target = WriteNestedElements(out, 0x32, frame_to_pallet_ids_, target);
  target = WriteNestedElements(out, 0x3A, access_units_per_frame_, target);
  target = WritePackedVarints<SInt32Codec>(out, 0x42, access_unit_length_diffs_,
                                           _access_unit_length_diffs_cached_byte_size_.Get(),
                                           target);
  target = WritePackedVarints<UInt32Codec>(out, 0x4A, access_unit_offset_jumps_,
                                           _access_unit_offset_jumps_cached_byte_size_.Get(),
                                           target);
  target = WriteNestedElements(out, 0x52, errors_, target);
  target = WritePackedFixed64s(out, 0x5A, auth_tags_, _auth_tags_cached_byte_size_.Get(), target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

// Each packed column is read in either form; after either, the parser tries
// the tag of the next field in its packed (written) form.
TARVESH_STREAM_PARSER bool FrameTable::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x0A:
      parse_seq_numbers:
        if (!ReadElement(input, 0x0A, &seq_numbers_)) return false;
        if (input->ExpectTag(0x0A)) goto parse_seq_numbers;
        if (input->ExpectTag(0x12)) goto parse_timestamps;
        continue;
      case 0x12:
      parse_timestamps:
        if (!ReadElement(input, 0x12, &timestamps_)) return false;
        if (input->ExpectTag(0x12)) goto parse_timestamps;
        if (input->ExpectTag(0x1A)) goto parse_coding_depend;
        continue;
      case 0x1A:
      parse_coding_depend:
        if (!ReadBytesField(input, mutable_coding_depend())) return false;
        if (input->ExpectTag(0x22)) goto parse_frame_sizes;
        continue;

      case 0x22:
      parse_frame_sizes:
        if (!ReadPackedVarints<SInt32Codec>(input, &frame_sizes_)) return false;
        goto after_frame_sizes;
      case 0x20:
        if (!ReadVarintElements<SInt32Codec>(input, 0x20, &frame_sizes_)) return false;
      after_frame_sizes:
        if (input->ExpectTag(0x2A)) goto parse_frame_to_pallet_offsets;
        continue;

      case 0x2A:
      parse_frame_to_pallet_offsets:
        if (!ReadPackedVarints<UInt32Codec>(input, &frame_to_pallet_offsets_)) return false;
        goto after_frame_to_pallet_offsets;
      case 0x28:
        if (!ReadVarintElements<UInt32Codec>(input, 0x28, &frame_to_pallet_offsets_)) {
          return false;
        }
      after_frame_to_pallet_offsets:
        if (input->ExpectTag(0x32)) goto parse_frame_to_pallet_ids;
        continue;

      case 0x32:
      parse_frame_to_pallet_ids:
        if (!ReadElement(input, 0x32, &frame_to_pallet_ids_)) return false;
        if (input->ExpectTag(0x32)) goto parse_frame_to_pallet_ids;
        if (input->ExpectTag(0x3A)) goto parse_access_units_per_frame;
        continue;
      case 0x3A:
      parse_access_units_per_frame:
        if (!ReadElement(input, 0x3A, &access_units_per_frame_)) return false;
        if (input->ExpectTag(0x3A)) goto parse_access_units_per_frame;
        if (input->ExpectTag(0x42)) goto parse_access_unit_length_diffs;
        continue;

      case 0x42:
      parse_access_unit_length_diffs:
        if (!ReadPackedVarints<SInt32Codec>(input, &access_unit_length_diffs_)) return false;
        goto after_access_unit_length_diffs;
      case 0x40:
        if (!ReadVarintElements<SInt32Codec>(input, 0x40, &access_unit_length_diffs_)) {
          return false;
        }
      after_access_unit_length_diffs:
        if (input->ExpectTag(0x4A)) goto parse_access_unit_offset_jumps;
        continue;

      case 0x4A:
      parse_access_unit_offset_jumps:
        if (!ReadPackedVarints<UInt32Codec>(input, &access_unit_offset_jumps_)) return false;
        goto after_access_unit_offset_jumps;
      case 0x48:
        if (!ReadVarintElements<UInt32Codec>(input, 0x48, &access_unit_offset_jumps_)) {
          return false;
        }
      after_access_unit_offset_jumps:
        if (input->ExpectTag(0x52)) goto parse_errors;
        continue;

      case 0x52:
      parse_errors:
        if (!ReadElement(input, 0x52, &errors_)) return false;
        if (input->ExpectTag(0x52)) goto parse_errors;
        if (input->ExpectTag(0x5A)) goto parse_auth_tags;
        continue;

      case 0x5A:
      parse_auth_tags:
        if (!ReadPackedFixed64s(input, &auth_tags_)) return false;
        goto after_auth_tags;
      case 0x59:
        if (!ReadFixed64Elements(input, 0x59, &auth_tags_)) return false;
      after_auth_tags:
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

const char* FrameTable::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x0A: ptr = ParseElementRun(ctx, ptr, 0x0A, &seq_numbers_, ReadHeldPair{}); break;
      case 0x12: ptr = ParseElementRun(ctx, ptr, 0x12, &timestamps_, ReadHeldPair{}); break;
      case 0x1A: ptr = gpi::InlineGreedyStringParser(mutable_coding_depend(), ptr, ctx); break;
      case 0x22: ptr = ParsePackedVarints<SInt32Codec>(ctx, ptr, &frame_sizes_); break;
      case 0x20: ptr = ParseVarintElements<SInt32Codec>(ctx, ptr, 0x20, &frame_sizes_); break;
      case 0x2A:
        ptr = ParsePackedVarints<UInt32Codec>(ctx, ptr, &frame_to_pallet_offsets_);
        break;
      case 0x28:
        ptr = ParseVarintElements<UInt32Codec>(ctx, ptr, 0x28, &frame_to_pallet_offsets_);
        break;
      case 0x32:
        ptr = ParseElementRun(ctx, ptr, 0x32, &frame_to_pallet_ids_, ReadHeldPair{});
        break;
      case 0x3A:
        ptr = ParseElementRun(ctx, ptr, 0x3A, &access_units_per_frame_, ReadHeldPair{});
        break;
      case 0x42:
        ptr = ParsePackedVarints<SInt32Codec>(ctx, ptr, &access_unit_length_diffs_);
        break;
      case 0x40:
        ptr = ParseVarintElements<SInt32Codec>(ctx, ptr, 0x40, &access_unit_length_diffs_);
        break;
      case 0x4A:
        ptr = ParsePackedVarints<UInt32Codec>(ctx, ptr, &access_unit_offset_jumps_);
        break;
      case 0x48:
        ptr = ParseVarintElements<UInt32Codec>(ctx, ptr, 0x48, &access_unit_offset_jumps_);
        break;
      case 0x52: ptr = ParseElementRun(ctx, ptr, 0x52, &errors_, ReadHeldPair{}); break;
      case 0x5A: ptr = ParsePackedFixed64s(ctx, ptr, &auth_tags_); break;
      case 0x59: ptr = ParseFixed64Elements(ctx, ptr, 0x59, &auth_tags_); break;
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
// Track

PB_DEFINE_MESSAGE_FRAME(Track, MetadataOf, kTrackIndex,
                        protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto)

Track::Track(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned),
      frame_tables_(arena) {
  SharedCtor();
}
constexpr Track::Track(gpi::ConstantInitialized)
    : _cached_size_(),
      track_id_(0),
      num_frames_(0),
      start_seq_(0),
      start_time_(0),
      start_tick_(0),
      duration_(0),
      frame_tables_(),
      auth_type_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(Track)

const int Track::kTrackIdFieldNumber;
const int Track::kNumFramesFieldNumber;
const int Track::kStartSeqFieldNumber;
const int Track::kStartTimeFieldNumber;
const int Track::kStartTickFieldNumber;
const int Track::kDurationFieldNumber;
const int Track::kFrameTablesFieldNumber;
const int Track::kAuthTypeFieldNumber;

void Track::SharedCtor() {
  _cached_size_.Set(0);
  track_id_ = 0;
  num_frames_ = 0;
  start_seq_ = 0;
  start_time_ = 0;
  start_tick_ = 0;
  duration_ = 0;
  auth_type_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}
void Track::SharedDtor() {}

void Track::Clear() {
  if (_has_bits_[0] & 0xffu) {
    track_id_ = 0;
    num_frames_ = 0;
    start_seq_ = 0;
    start_time_ = 0;
    start_tick_ = 0;
    duration_ = 0;
    auth_type_ = 0;
  }
  frame_tables_.Clear();
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void Track::MergeFrom(const Track& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  MergeElements(&frame_tables_, from.frame_tables_);
  const std::uint32_t bits = from._has_bits_[0] & 0xbfu;
  ByPresence(bits, 0xbfu, [&](auto present) {
    if (present(0)) track_id_ = from.track_id_;
    if (present(1)) num_frames_ = from.num_frames_;
    if (present(2)) start_seq_ = from.start_seq_;
    if (present(3)) start_time_ = from.start_time_;
    if (present(4)) start_tick_ = from.start_tick_;
    if (present(5)) duration_ = from.duration_;
    if (present(7)) auth_type_ = from.auth_type_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void Track::InternalSwap(Track* other) {
  if (other == this) return;
  std::swap(track_id_, other->track_id_);
  std::swap(num_frames_, other->num_frames_);
  std::swap(start_seq_, other->start_seq_);
  std::swap(start_time_, other->start_time_);
  std::swap(start_tick_, other->start_tick_);
  std::swap(duration_, other->duration_);
  frame_tables_.Swap(&other->frame_tables_);
  std::swap(auth_type_, other->auth_type_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t Track::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0xbfu, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize32(track_id_);
    if (present(1)) size += TaggedVarintSize32(num_frames_);
    if (present(2)) size += TaggedVarintSize32(start_seq_);
    if (present(3)) size += 9;
    if (present(4)) size += TaggedVarintSize64(start_tick_);
    if (present(5)) size += TaggedVarintSize64(duration_);
    if (present(7)) size += 1 + WireFormatLite::EnumSize(auth_type_);
    return size;
  });
  total += NestedElementsSize(frame_tables_);
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* Track::WriteFields(const Output& out, std::uint8_t* target) const {
  // The frame tables sit between fields 6 and 8: written once, outside the
  // presence lambda, which is instantiated twice.
  target = ByPresence(_has_bits_[0], 0x3fu, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, track_id_, target);
    if (present(1)) target = WriteUInt32Field(out, 0x10, num_frames_, target);
    if (present(2)) target = WriteUInt32Field(out, 0x18, start_seq_, target);
    if (present(3)) target = WriteFixed64Field(out, 0x21, start_time_, target);
    if (present(4)) target = WriteUInt64Field(out, 0x28, start_tick_, target);
    if (present(5)) target = WriteUInt64Field(out, 0x30, duration_, target);
    return target;
  }, target);
  target = WriteNestedElements(out, 0x3A, frame_tables_, target);
  if (has_auth_type()) target = WriteUInt64Field(out, 0x40, EnumWireValue(auth_type_), target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

// An auth_type the sibling library does not know is kept as unknown varint
// field 8, sign-extended, and the typed field is left as it was.
TARVESH_STREAM_PARSER bool Track::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &track_id_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_num_frames;
        continue;
      case 0x10:
      parse_num_frames:
        if (!ReadUInt32(input, &num_frames_)) return false;
        _set_bit(1);
        if (input->ExpectTag(0x18)) goto parse_start_seq;
        continue;
      case 0x18:
      parse_start_seq:
        if (!ReadUInt32(input, &start_seq_)) return false;
        _set_bit(2);
        if (input->ExpectTag(0x21)) goto parse_start_time;
        continue;
      case 0x21:
      parse_start_time:
        if (!ReadFixed64(input, &start_time_)) return false;
        _set_bit(3);
        if (input->ExpectTag(0x28)) goto parse_start_tick;
        continue;
      case 0x28:
      parse_start_tick:
        if (!ReadUInt64(input, &start_tick_)) return false;
        _set_bit(4);
        if (input->ExpectTag(0x30)) goto parse_duration;
        continue;
      case 0x30:
      parse_duration:
        if (!ReadUInt64(input, &duration_)) return false;
        _set_bit(5);
        if (input->ExpectTag(0x3A)) goto parse_frame_tables;
        continue;
      case 0x3A:
      parse_frame_tables:
        if (!ReadElement(input, 0x3A, &frame_tables_)) return false;
        if (input->ExpectTag(0x3A)) goto parse_frame_tables;
        if (input->ExpectTag(0x40)) goto parse_auth_type;
        continue;
      case 0x40:
      parse_auth_type: {
        std::uint32_t raw;
        if (!ReadUInt32(input, &raw)) return false;
        const int value = static_cast<int>(raw);
        if (::Pb::Velto::Authentication_IsValid(value)) {
          auth_type_ = value;
          _set_bit(7);
        } else {
          mutable_unknown_fields()->AddVarint(8, EnumWireValue(value));
        }
        if (AtCleanEnd(input)) return true;
        continue;
      }
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

const char* Track::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08: ptr = ParseVarintField(ctx, ptr, &track_id_, _has_bits_, 0); break;
      case 0x10: ptr = ParseVarintField(ctx, ptr, &num_frames_, _has_bits_, 1); break;
      case 0x18: ptr = ParseVarintField(ctx, ptr, &start_seq_, _has_bits_, 2); break;
      case 0x21: ptr = ParseFixed64Field(ctx, ptr, &start_time_, _has_bits_, 3); break;
      case 0x28: ptr = ParseVarintField(ctx, ptr, &start_tick_, _has_bits_, 4); break;
      case 0x30: ptr = ParseVarintField(ctx, ptr, &duration_, _has_bits_, 5); break;
      case 0x3A: ptr = ParseElementRun(ctx, ptr, 0x3A, &frame_tables_); break;
      case 0x40: {
        std::uint32_t raw;
        ptr = ParseVarint(ptr, &raw);
        if (!ReadInsideLimit(ctx, ptr)) return nullptr;
        const int value = static_cast<int>(raw);
        if (::Pb::Velto::Authentication_IsValid(value)) {
          auth_type_ = value;
          _set_bit(7);
        } else {
          mutable_unknown_fields()->AddVarint(8, EnumWireValue(value));
        }
        break;
      }
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
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::CountDeltaS32)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::CountValU32)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::CountValS32)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::FrameTable)
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Tarvesh::Track)
}  // namespace protobuf
}  // namespace google

#include <google/protobuf/port_undef.inc>
