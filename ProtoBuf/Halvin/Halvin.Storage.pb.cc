// SPDX-License-Identifier: BSD-3-Clause
// Stand-in for the HalvinProtoBuf sibling library: DataFileRef, its
// registration with the runtime's generated pool and factory, its reflection.
#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"

#include <utility>

#include "MessageHelpers.h"

#include <google/protobuf/port_def.inc>

namespace Pb {
namespace Halvin {
namespace Stor {

namespace gp = ::google::protobuf;
namespace gpi = ::google::protobuf::internal;
using namespace ::Pb::wire;

namespace {

const char kFileName[] = "ProtoBuf/Halvin/Halvin.Storage.proto";

// Refresh with tools/embed_descriptor when the schema changes.
// 129 bytes: the serialized descriptor of "ProtoBuf/Halvin/Halvin.Storage.proto".
constexpr char kDescriptor[] =
    "\x0a\x24\x50\x72\x6f\x74\x6f\x42\x75\x66\x2f\x48\x61\x6c\x76\x69"
    "\x6e\x2f\x48\x61\x6c\x76\x69\x6e\x2e\x53\x74\x6f\x72\x61\x67\x65"
    "\x2e\x70\x72\x6f\x74\x6f\x12\x0e\x50\x62\x2e\x48\x61\x6c\x76\x69"
    "\x6e\x2e\x53\x74\x6f\x72\x22\x45\x0a\x0b\x44\x61\x74\x61\x46\x69"
    "\x6c\x65\x52\x65\x66\x12\x12\x0a\x0a\x66\x69\x6c\x65\x5f\x69\x6e"
    "\x64\x65\x78\x18\x01\x20\x01\x28\x0d\x12\x11\x0a\x09\x66\x69\x6c"
    "\x65\x5f\x73\x69\x7a\x65\x18\x02\x20\x01\x28\x04\x12\x0f\x0a\x07"
    "\x66\x69\x6c\x65\x5f\x69\x64\x18\x03\x20\x01\x28\x04\x42\x02\x48"
    "\x01";

// The file's classes, in file order.
PROTOBUF_CONSTINIT FileRegistration<DataFileRef> registration(
    &descriptor_table_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto,
    &protobuf_AddDesc_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto);

}  // namespace

// Layout of every class of the file, as the runtime's reflection reads it.
struct HalvinStorageFileTables {
  static constexpr std::uint32_t offsets[] = {
      PROTOBUF_FIELD_OFFSET(DataFileRef, _has_bits_),
      PROTOBUF_FIELD_OFFSET(DataFileRef, _internal_metadata_),
      kNoOffset, kNoOffset, kNoOffset, kNoOffset,
      PROTOBUF_FIELD_OFFSET(DataFileRef, file_index_),
      PROTOBUF_FIELD_OFFSET(DataFileRef, file_size_),
      PROTOBUF_FIELD_OFFSET(DataFileRef, file_id_),
      0, 1, 2,
  };
  static constexpr gpi::MigrationSchema schemas[] = {
      SchemaAt(0, 3, sizeof(DataFileRef)),
  };
};

}  // namespace Stor
}  // namespace Halvin
}  // namespace Pb

// Exported under the name protoc's output uses for this file.
namespace this_file = ::Pb::Halvin::Stor;
PROTOBUF_CONSTINIT const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto =
        this_file::registration.Table(this_file::kDescriptor, this_file::kFileName,
        this_file::HalvinStorageFileTables::schemas, this_file::HalvinStorageFileTables::offsets);

namespace Pb {
namespace Halvin {
namespace Stor {
namespace {

const gp::Metadata& MetadataOf(int index) { return FileMetadata<registration>(index); }

}  // namespace

void protobuf_AddDesc_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto() {
  registration.Register("ProtoBuf/Halvin/Halvin.Storage.pb.cc");
}

namespace {
RegisterAtLoad register_at_load(&protobuf_AddDesc_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto);
}  // namespace

// ===========================================================================
// DataFileRef

PB_DEFINE_MESSAGE_FRAME(DataFileRef, MetadataOf, 0,
                        protobuf_AddDesc_ProtoBuf_2fHalvin_2fHalvin_2eStorage_2eproto)

DataFileRef::DataFileRef(gp::Arena* arena, bool is_message_owned)
    : gp::Message(arena, is_message_owned) {
  SharedCtor();
}
constexpr DataFileRef::DataFileRef(gpi::ConstantInitialized)
    : _cached_size_(),
      file_index_(0),
      file_size_(0),
      file_id_(0),
      _has_bits_() {}
PB_DEFINE_CONSTANT_DEFAULT(DataFileRef)

const int DataFileRef::kFileIndexFieldNumber;
const int DataFileRef::kFileSizeFieldNumber;
const int DataFileRef::kFileIdFieldNumber;

void DataFileRef::SharedCtor() {
  _cached_size_.Set(0);
  file_index_ = 0;
  file_size_ = 0;
  file_id_ = 0;
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
}

void DataFileRef::SharedDtor() {}

void DataFileRef::Clear() {
  if (_has_bits_[0] & 0xffu) {
    file_index_ = 0;
    file_size_ = 0;
    file_id_ = 0;
  }
  std::memset(_has_bits_, 0, sizeof(_has_bits_));
  _internal_metadata_.Clear<gp::UnknownFieldSet>();
}

void DataFileRef::MergeFrom(const DataFileRef& from) {
  if (&from == this) CheckFailed(__FILE__, __LINE__, kSelfMergeText);
  const std::uint32_t bits = from._has_bits_[0] & 0x07u;
  ByPresence(bits, 0x07u, [&](auto present) {
    if (present(0)) file_index_ = from.file_index_;
    if (present(1)) file_size_ = from.file_size_;
    if (present(2)) file_id_ = from.file_id_;
  });
  _has_bits_[0] |= bits;
  _internal_metadata_.MergeFrom<gp::UnknownFieldSet>(from._internal_metadata_);
}

void DataFileRef::InternalSwap(DataFileRef* other) {
  if (other == this) return;
  std::swap(file_index_, other->file_index_);
  std::swap(file_size_, other->file_size_);
  std::swap(file_id_, other->file_id_);
  std::swap(_has_bits_[0], other->_has_bits_[0]);
  _internal_metadata_.InternalSwap(&other->_internal_metadata_);
  SwapCachedSizes(&_cached_size_, &other->_cached_size_);
}

size_t DataFileRef::ByteSizeLong() const {
  size_t total = ByPresence(_has_bits_[0], 0x07u, [this](auto present) {
    size_t size = 0;
    if (present(0)) size += TaggedVarintSize32(file_index_);
    if (present(1)) size += TaggedVarintSize64(file_size_);
    if (present(2)) size += TaggedVarintSize64(file_id_);
    return size;
  });
  return CacheSize(total, _internal_metadata_, &_cached_size_);
}

template <class Output>
TARVESH_ALWAYS_INLINE std::uint8_t* DataFileRef::WriteFields(const Output& out, std::uint8_t* target) const {
  target = ByPresence(_has_bits_[0], 0x07u, [this, out](auto present, std::uint8_t* target) {
    if (present(0)) target = WriteUInt32Field(out, 0x08, file_index_, target);
    if (present(1)) target = WriteUInt64Field(out, 0x10, file_size_, target);
    if (present(2)) target = WriteUInt64Field(out, 0x18, file_id_, target);
    return target;
  }, target);
  return WriteUnknownFields(out, _internal_metadata_, target);
}

TARVESH_STREAM_PARSER bool DataFileRef::MergePartialFromCodedStream(gp::io::CodedInputStream* input) {
  for (;;) {
    std::uint32_t tag;
    if (!ReadStrictTag(input, &tag)) return false;
    if (tag == 0) return true;
    switch (tag) {
      case 0x08:
        if (!ReadUInt32(input, &file_index_)) return false;
        _set_bit(0);
        if (input->ExpectTag(0x10)) goto parse_file_size;
        continue;
      case 0x10:
      parse_file_size:
        if (!ReadUInt64(input, &file_size_)) return false;
        _set_bit(1);
        if (input->ExpectTag(0x18)) goto parse_file_id;
        continue;
      case 0x18:
      parse_file_id:
        if (!ReadUInt64(input, &file_id_)) return false;
        _set_bit(2);
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

const char* DataFileRef::_InternalParse(const char* ptr, gpi::ParseContext* ctx) {
  while (!ctx->Done(&ptr)) {
    std::uint32_t tag;
    ptr = gpi::ReadTag(ptr, &tag);
    if (ptr == nullptr) return nullptr;
    switch (tag) {
      case 0x08:
        ptr = ParseVarintField(ctx, ptr, &file_index_, _has_bits_, 0);
        if (!NextTagIs(ctx, &ptr, 0x10)) {
          if (ptr == nullptr) return nullptr;
          continue;
        }
        [[fallthrough]];
      case 0x10:
        ptr = ParseVarintField(ctx, ptr, &file_size_, _has_bits_, 1);
        if (!NextTagIs(ctx, &ptr, 0x18)) {
          if (ptr == nullptr) return nullptr;
          continue;
        }
        [[fallthrough]];
      case 0x18:
        ptr = ParseVarintField(ctx, ptr, &file_id_, _has_bits_, 2);
        if (ptr == nullptr) return nullptr;
        continue;
      default:
        break;
    }
    bool ended = false;
    ptr = ParseUnknownField(tag, [this] { return mutable_unknown_fields(); }, ptr, ctx, &ended);
    if (ended || ptr == nullptr) return ptr;
  }
  return ptr;
}

}  // namespace Stor
}  // namespace Halvin
}  // namespace Pb

namespace google {
namespace protobuf {
PB_DEFINE_CREATE_MAYBE_MESSAGE(::Pb::Halvin::Stor::DataFileRef)
}  // namespace protobuf
}  // namespace google

#include <google/protobuf/port_undef.inc>
