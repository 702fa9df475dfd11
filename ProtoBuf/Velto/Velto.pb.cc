// SPDX-License-Identifier: BSD-3-Clause
// Stand-in for the VeltoProtoBuf sibling library: registration and the enum
// descriptor of "ProtoBuf/Velto/Velto.proto".
#include "ProtoBuf/Velto/Velto.pb.h"

#include "MessageHelpers.h"

#include <google/protobuf/port_def.inc>

namespace Pb {
namespace Velto {

namespace gp = ::google::protobuf;
namespace gpi = ::google::protobuf::internal;

namespace {

const char kFileName[] = "ProtoBuf/Velto/Velto.proto";

// Refresh with tools/embed_descriptor when the schema changes.
// 144 bytes: the serialized descriptor of "ProtoBuf/Velto/Velto.proto".
constexpr char kDescriptor[] =
    "\x0a\x1a\x50\x72\x6f\x74\x6f\x42\x75\x66\x2f\x56\x65\x6c\x74\x6f"
    "\x2f\x56\x65\x6c\x74\x6f\x2e\x70\x72\x6f\x74\x6f\x12\x08\x50\x62"
    "\x2e\x56\x65\x6c\x74\x6f\x2a\x64\x0a\x0e\x41\x75\x74\x68\x65\x6e"
    "\x74\x69\x63\x61\x74\x69\x6f\x6e\x12\x0d\x0a\x09\x41\x55\x54\x48"
    "\x5f\x4e\x4f\x4e\x45\x10\x00\x12\x17\x0a\x13\x41\x55\x54\x48\x5f"
    "\x48\x4d\x41\x43\x5f\x53\x48\x41\x32\x35\x36\x5f\x36\x34\x10\x01"
    "\x12\x14\x0a\x10\x41\x55\x54\x48\x5f\x53\x49\x50\x48\x41\x53\x48"
    "\x5f\x32\x5f\x34\x10\x02\x12\x14\x0a\x10\x41\x55\x54\x48\x5f\x50"
    "\x4f\x4c\x59\x31\x33\x30\x35\x5f\x36\x34\x10\x03\x42\x02\x48\x01";

const gp::EnumDescriptor* enum_descriptors[1];

PROTOBUF_CONSTINIT wire::FileRegistration<> registration(
    &descriptor_table_ProtoBuf_2fVelto_2fVelto_2eproto,
    &protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto);

}  // namespace
}  // namespace Velto
}  // namespace Pb

// Exported under the name protoc's output uses for this file.
PROTOBUF_CONSTINIT const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fVelto_2fVelto_2eproto = ::Pb::Velto::registration.Table(
        ::Pb::Velto::kDescriptor, ::Pb::Velto::kFileName, nullptr, nullptr,
        ::Pb::Velto::enum_descriptors);

namespace Pb {
namespace Velto {

void protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto() {
  registration.Register("ProtoBuf/Velto/Velto.pb.cc");
}

namespace {
wire::RegisterAtLoad register_at_load(&protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto);
}  // namespace

bool Authentication_IsValid(int value) {
  return value >= Authentication_MIN && value <= Authentication_MAX;
}

const gp::EnumDescriptor* Authentication_descriptor() {
  wire::AssignDescriptorsOnce<registration>();
  return enum_descriptors[0];
}

const std::string& Authentication_Name(Authentication value) {
  return gpi::NameOfEnum(Authentication_descriptor(), value);
}

const std::string& Authentication_Name(int value) {
  return gpi::NameOfEnum(Authentication_descriptor(), value);
}

bool Authentication_Parse(const std::string& name, Authentication* value) {
  return gpi::ParseNamedEnum<Authentication>(Authentication_descriptor(), name, value);
}

}  // namespace Velto
}  // namespace Pb

#include <google/protobuf/port_undef.inc>
