// SPDX-License-Identifier: BSD-3-Clause
// SerializeToString, AppendToString, SerializeAsString and SerializeToArray of
// every TarveshProtoBuf class (see PB_DEFINE_MESSAGE_OUTPUT).
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "wire/MessageFrame.h"

namespace Pb {
namespace Tarvesh {

PB_DEFINE_MESSAGE_OUTPUT(PalletDesc)
PB_DEFINE_MESSAGE_OUTPUT(RecordingFragment_Tier)
PB_DEFINE_MESSAGE_OUTPUT(RecordingFragment)
PB_DEFINE_MESSAGE_OUTPUT(RecordingFragmentEntry_Track)
PB_DEFINE_MESSAGE_OUTPUT(RecordingFragmentEntry)
PB_DEFINE_MESSAGE_OUTPUT(DataReference_Tier)
PB_DEFINE_MESSAGE_OUTPUT(DataReference)
PB_DEFINE_MESSAGE_OUTPUT(CountDeltaS32)
PB_DEFINE_MESSAGE_OUTPUT(CountValU32)
PB_DEFINE_MESSAGE_OUTPUT(CountValS32)
PB_DEFINE_MESSAGE_OUTPUT(FrameTable)
PB_DEFINE_MESSAGE_OUTPUT(Track)

}  // namespace Tarvesh
}  // namespace Pb
