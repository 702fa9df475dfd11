// Stand-in for the VeltoProtoBuf sibling library: the enum of
// "ProtoBuf/Velto/Velto.proto", its validity test and the file's registration,
// which is what the track schema uses of the real library.
#ifndef PROTOBUF_VELTO_VELTO_PB_H
#define PROTOBUF_VELTO_VELTO_PB_H

#include <string>

#include <google/protobuf/descriptor.h>

#include "ProtoBuf/Velto/VeltoExport.h"

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

VELTO_EXPORT const ::google::protobuf::EnumDescriptor* Authentication_descriptor();
VELTO_EXPORT const std::string& Authentication_Name(Authentication value);

}  // namespace Velto
}  // namespace Pb

#endif  // PROTOBUF_VELTO_VELTO_PB_H
