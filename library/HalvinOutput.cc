// SPDX-License-Identifier: BSD-3-Clause
// SerializeToString, AppendToString, SerializeAsString and SerializeToArray of
// the HalvinProtoBuf stand-in's class (see PB_DEFINE_MESSAGE_OUTPUT).
#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"
#include "wire/MessageFrame.h"

namespace Pb {
namespace Halvin {
namespace Stor {

PB_DEFINE_MESSAGE_OUTPUT(DataFileRef)

}  // namespace Stor
}  // namespace Halvin
}  // namespace Pb
