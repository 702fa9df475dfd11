// libFuzzer entry for one message class, chosen at build time:
// TARVESH_FUZZ_CLASS names the class in Pb::Tarvesh (PalletDesc, Track, ...).
#include <cstddef>
#include <cstdint>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ParseHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tarvesh_fuzz::CheckInput<Pb::Tarvesh::TARVESH_FUZZ_CLASS>(data, size);
  return 0;
}
