// SPDX-License-Identifier: BSD-3-Clause
// Stand-in for the VeltoProtoBuf sibling library: registration and the enum
// descriptor of "ProtoBuf/Velto/Velto.proto".
#include "ProtoBuf/Velto/Velto.pb.h"

#include "MessageHelpers.h"

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

bool file_registered = false;
gpi::once_flag descriptors_once;
gpi::once_flag runtime_once;
const gp::EnumDescriptor* enum_descriptors[1];

}  // namespace
}  // namespace Velto
}  // namespace Pb

// Exported under the name protoc's output uses for this file.
namespace this_file = ::Pb::Velto;
const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fVelto_2fVelto_2eproto = {
        false, false, sizeof(this_file::kDescriptor) - 1, this_file::kDescriptor,
        this_file::kFileName, &this_file::runtime_once, nullptr, 0, 0, nullptr, nullptr,
        nullptr, nullptr, this_file::enum_descriptors, nullptr,
};

namespace Pb {
namespace Velto {
namespace {

const gpi::DescriptorTable& file_table =
    descriptor_table_ProtoBuf_2fVelto_2fVelto_2eproto;

void AssignDescriptorsOnce() {
  wire::AssignFileDescriptors(&file_table, &protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto);
}

}  // namespace

void protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto() {
  if (file_registered) return;
  file_registered = true;
  gpi::VerifyVersion(3021000, 3021000, "ProtoBuf/Velto/Velto.pb.cc");
  gp::DescriptorPool::InternalAddGeneratedFile(kDescriptor, sizeof(kDescriptor) - 1);
  file_table.is_initialized = true;  // added above; the runtime must not add it again
  gp::MessageFactory::InternalRegisterGeneratedFile(&file_table);
}

namespace {
struct RegisterAtLoad {
  RegisterAtLoad() { protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto(); }
} register_at_load;
}  // namespace

bool Authentication_IsValid(int value) {
  return value >= Authentication_MIN && value <= Authentication_MAX;
}

const gp::EnumDescriptor* Authentication_descriptor() {
  gpi::call_once(descriptors_once, &AssignDescriptorsOnce);
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
