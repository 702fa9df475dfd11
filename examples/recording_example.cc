// SPDX-License-Identifier: BSD-3-Clause
// Builds a sample DataReference and RecordingFragment, writes both in the
// wire format, reads them back and prints what was read in text format; then
// does the same for a Track with frame tables of a few thousand frames each,
// printing a summary of what was read instead of every frame.
#include <cstdint>
#include <cstdio>
#include <string>

#include <google/protobuf/text_format.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"

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

// One frame table of `frames` frames of a 30 fps stream: frame sizes as
// differences, each frame's offset in its pallet, runs of sequence numbers,
// timestamps and pallet ids, one access unit per frame, a few errors and one
// authentication tag per frame.
void FillFrameTable(int frames, std::uint32_t seed, Pb::Tarvesh::FrameTable* table) {
  std::uint32_t state = seed;
  auto next = [&state] { return state = state * 1664525u + 1013904223u; };
  int previous_size = 12000;
  std::uint32_t offset = 0;
  for (int i = 0; i < frames; ++i) {
    const int size = i % 30 == 0 ? 60000 + static_cast<int>(next() % 20000)
                                 : 8000 + static_cast<int>(next() % 8000);
    table->add_frame_sizes(size - previous_size);
    previous_size = size;
    if (offset + static_cast<std::uint32_t>(size) > (1u << 22)) offset = 0;  // next pallet
    table->add_frame_to_pallet_offsets(offset);
    offset += static_cast<std::uint32_t>(size);
    table->add_access_unit_length_diffs(static_cast<int>(next() % 64) - 32);
    table->add_access_unit_offset_jumps(next() % 16);
    table->add_auth_tags((static_cast<std::uint64_t>(next()) << 32) | next());
  }
  Pb::Tarvesh::CountDeltaS32* seq = table->add_seq_numbers();
  seq->set_count(static_cast<std::uint32_t>(frames));
  seq->set_delta(1);
  Pb::Tarvesh::CountDeltaS32* time = table->add_timestamps();
  time->set_count(static_cast<std::uint32_t>(frames));
  time->set_delta(3000);  // 90 kHz ticks per frame
  Pb::Tarvesh::CountValU32* pallet = table->add_frame_to_pallet_ids();
  pallet->set_count(static_cast<std::uint32_t>(frames));
  pallet->set_val(seed);
  Pb::Tarvesh::CountValU32* units = table->add_access_units_per_frame();
  units->set_count(static_cast<std::uint32_t>(frames));
  units->set_val(1);
  Pb::Tarvesh::CountValS32* error = table->add_errors();
  error->set_count(2);
  error->set_val(-1);
  table->set_coding_depend(std::string("\x01\x00\x02", 3));
}

bool TrackRoundTrip() {
  Pb::Tarvesh::Track track;
  track.set_track_id(2);
  track.set_num_frames(3 * 4000);
  track.set_start_seq(100);
  track.set_start_time(1700000000000000ull);
  track.set_start_tick(90000);
  track.set_duration(3 * 4000 * 3000ull);
  track.set_auth_type(Pb::Velto::AUTH_HMAC_SHA256_64);
  for (std::uint32_t t = 0; t < 3; ++t) FillFrameTable(4000, t + 1, track.add_frame_tables());

  const std::string bytes = track.SerializeAsString();
  Pb::Tarvesh::Track read_back;
  if (!read_back.ParseFromString(bytes)) {
    std::fprintf(stderr, "Track: the written bytes did not parse\n");
    return false;
  }
  std::printf("== Track (%zu bytes)\ntrack_id %u, %u frames from seq %u, auth %s\n",
              bytes.size(), read_back.track_id(), read_back.num_frames(),
              read_back.start_seq(),
              Pb::Velto::Authentication_Name(read_back.auth_type()).c_str());
  for (const Pb::Tarvesh::FrameTable& table : read_back.frame_tables()) {
    std::printf("  frame table: %d frame sizes, %d offsets, %d auth tags, first tag %016llx\n",
                table.frame_sizes_size(), table.frame_to_pallet_offsets_size(),
                table.auth_tags_size(), static_cast<unsigned long long>(table.auth_tags(0)));
  }
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
                  RoundTrip("DataReference", reference) && TrackRoundTrip();
  google::protobuf::ShutdownProtobufLibrary();
  return ok ? 0 : 1;
}
