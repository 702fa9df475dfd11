// Builds a sample DataReference and RecordingFragment, writes both in the
// wire format, reads them back and prints what was read in text format.
#include <cstdio>
#include <string>

#include <google/protobuf/text_format.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof(digits), "%02x ", byte);
    out += digits;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// Writes `message`, reads the bytes into a fresh object of the same class and
// prints both the bytes and the object read back.
template <class Message>
bool RoundTrip(const char* title, const Message& message) {
  const std::string bytes = message.SerializeAsString();
  Message read_back;
  if (!read_back.ParseFromString(bytes)) {
    std::fprintf(stderr, "%s: the written bytes did not parse\n", title);
    return false;
  }
  std::string text;
  google::protobuf::TextFormat::PrintToString(read_back, &text);
  std::printf("== %s (%zu bytes)\n%s\n%s", title, bytes.size(), Hex(bytes).c_str(),
              text.c_str());
  return read_back.SerializeAsString() == bytes;
}

}  // namespace

int main() {
  using namespace Pb::Tarvesh;

  RecordingFragment fragment;
  fragment.set_fragment_id(5);
  RecordingFragment_Tier* tier = fragment.add_tiers();
  Pb::Halvin::Stor::DataFileRef* file = tier->add_files();
  file->set_file_index(2);
  file->set_file_size(1u << 20);
  PalletDesc* pallet = tier->add_pallets();
  pallet->set_id(1);
  pallet->set_size(4096);
  pallet->set_offset(65536);
  pallet->set_recording_id(0x1234567890ull);
  pallet->set_fragment_id(5);
  pallet->set_track_id(1);
  pallet->set_tier_id(0);
  pallet->set_file_index(2);

  DataReference reference;
  reference.add_tiers()->add_files()->set_file_index(2);
  RecordingFragmentEntry* entry = reference.add_fragments();
  entry->set_header_file_offset(300);
  entry->set_header_file_index(1);
  entry->set_header_size(64);
  RecordingFragmentEntry_Track* track = entry->add_tracks();
  track->set_track_id(2);
  track->set_start_tick(1000);
  track->set_end_tick(2000);
  track->set_duration(1000);
  reference.add_files()->set_file_index(2);

  const bool ok = RoundTrip("RecordingFragment", fragment) &&
                  RoundTrip("DataReference", reference);
  google::protobuf::ShutdownProtobufLibrary();
  return ok ? 0 : 1;
}
