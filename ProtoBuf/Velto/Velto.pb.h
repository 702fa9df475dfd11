// SPDX-License-Identifier: BSD-3-Clause
// Stand-in for the VeltoProtoBuf sibling library: the enum of
// "ProtoBuf/Velto/Velto.proto", its validity test and the file's registration,
// which is what the track schema uses of the real library.
#ifndef PROTOBUF_VELTO_VELTO_PB_H
#define PROTOBUF_VELTO_VELTO_PB_H

#include <string>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/generated_enum_reflection.h>
#include <google/protobuf/generated_message_reflection.h>

#include "ProtoBuf/Velto/VeltoExport.h"

// The file's table under the name protoc's output uses: code generated for a
// schema importing this file lists it among its dependencies.
VELTO_EXPORT extern const ::google::protobuf::internal::DescriptorTable
    descriptor_table_ProtoBuf_2fVelto_2fVelto_2eproto;

namespace Pb {
namespace Velto {

VELTO_EXPORT void protobuf_AddDesc_ProtoBuf_2fVelto_2fVelto_2eproto();

enum Authentication {
  AUTH_NONE = 0,
  AUTH_HMAC_SHA256_64 = 1,
  AUTH_SIPHASH_2_4 = 2,
  AUTH_POLY1305_64 = 3,
};
VELTO_EXPORT bool Authentication_IsValid(int value);
constexpr Authentication Authentication_MIN = AUTH_NONE;
constexpr Authentication Authentication_MAX = AUTH_POLY1305_64;
constexpr int Authentication_ARRAYSIZE = Authentication_MAX + 1;

VELTO_EXPORT const ::google::protobuf::EnumDescriptor* Authentication_descriptor();
// The value's name; the empty string for a number the enum does not have.
VELTO_EXPORT const std::string& Authentication_Name(Authentication value);
VELTO_EXPORT const std::string& Authentication_Name(int value);
// The value named `name`; false, leaving *value alone, for an unknown name.
VELTO_EXPORT bool Authentication_Parse(const std::string& name, Authentication* value);

}  // namespace Velto
}  // namespace Pb

// What the runtime's templates ask of a generated enum.
namespace google {
namespace protobuf {
template <>
struct is_proto_enum<::Pb::Velto::Authentication> : std::true_type {};
template <>
inline const EnumDescriptor* GetEnumDescriptor<::Pb::Velto::Authentication>() {
  return ::Pb::Velto::Authentication_descriptor();
}
}  // namespace protobuf
}  // namespace google

#endif  // PROTOBUF_VELTO_VELTO_PB_H
