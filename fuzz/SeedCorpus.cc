// Writes the seed corpus of every harness: valid serializations built with the
// library, and edge cases of the wire format (truncations, lengths past the
// input, overlong varints and tags, field number 0, stray end-group tags,
// deep group nesting, wrong wire types). Usage: seed_corpus <corpus dir>;
// files land in <corpus dir>/<class>/<case name>.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "WireBuilder.h"

namespace {

using namespace Pb::Tarvesh;
using Cases = std::map<std::string, std::string>;
using tarvesh_test::Delimited;
using tarvesh_test::Repeat;
using tarvesh_test::Tag;
using tarvesh_test::Varint;

// Unknown fields of every wire type, under numbers no class knows.
std::string UnknownOfEveryKind() {
  return Tag(15, 0) + Varint(300) + Tag(14, 1) + std::string(8, '\x11') +
         Delimited(13, "abc") + Tag(12, 3) + Tag(1, 0) + Varint(7) + Tag(12, 4) +
         Tag(11, 5) + std::string(4, '\x22') + Tag(536870911, 0) + Varint(1);
}

// Cases that hold for every class, `valid` itself among them. `valid` is a
// full serialization of the class, `nested` the field number of one of its
// message fields (0: none).
void AddCommonCases(Cases* cases, const std::string& valid, int nested) {
  Cases& c = *cases;
  c["valid-empty"] = "";
  c["valid-full"] = valid;
  c["valid-unknown-every-kind"] = valid + UnknownOfEveryKind();
  c["valid-twice"] = valid + valid;
  c["valid-group-depth-50"] = Repeat(Tag(15, 3), 50) + Repeat(Tag(15, 4), 50);
  c["bad-group-depth-101"] = Repeat(Tag(15, 3), 101) + Repeat(Tag(15, 4), 101);
  c["bad-truncated-last-byte"] = valid.substr(0, valid.size() - 1);
  c["bad-truncated-half"] = valid.substr(0, valid.size() / 2);
  c["bad-length-past-input"] = Tag(13, 2) + Varint(100) + "ab";
  c["bad-length-10-byte"] = Tag(13, 2) + std::string(9, '\xFF') + "\x01";
  c["bad-fixed64-short"] = Tag(14, 1) + "\x01\x02\x03";
  c["bad-fixed32-short"] = Tag(11, 5) + "\x01\x02";
  c["bad-wire-type-6"] = Tag(1, 6);
  c["bad-wire-type-7"] = Tag(1, 7);
  c["valid-varint-10-byte"] = Tag(1, 0) + std::string(9, '\xFF') + "\x01";
  c["bad-varint-11-byte"] = Tag(1, 0) + std::string(10, '\xFF') + "\x01";
  c["valid-varint-padded-zero"] = Tag(1, 0) + "\x80\x80\x00";
  c["valid-tag-5-byte"] = std::string("\x88\x80\x80\x80\x00", 5) + Varint(1);
  c["bad-tag-6-byte"] = std::string("\x88\x80\x80\x80\x80\x00", 6) + Varint(1);
  c["bad-field-0-varint"] = std::string(1, '\0') + Varint(1);
  c["bad-field-0-delimited"] = Tag(0, 2) + Varint(0);
  c["bad-field-0-end-group"] = Tag(0, 4);
  c["bad-end-group-top"] = valid + Tag(1, 4);
  c["bad-end-group-unmatched"] = Tag(15, 3) + Tag(14, 4);
  c["bad-group-unterminated"] = Tag(15, 3) + Tag(1, 0) + Varint(1);
  if (nested != 0) {
    c["valid-nested-empty"] = Delimited(nested, "");
    c["valid-nested-unknown"] = Delimited(nested, UnknownOfEveryKind());
    c["bad-nested-truncated"] = Tag(nested, 2) + Varint(5) + Tag(15, 0);
    c["bad-nested-past-parent"] =
        Delimited(nested, Tag(13, 2) + Varint(10) + "abc") + std::string(8, '\x08');
    c["bad-nested-end-group"] = Delimited(nested, Tag(1, 4));
    c["bad-nested-field-0"] = Delimited(nested, std::string(1, '\0'));
    c["bad-nested-group-depth-100"] =
        Delimited(nested, Repeat(Tag(15, 3), 100) + Repeat(Tag(15, 4), 100));
    c["valid-nested-group-depth-99"] =
        Delimited(nested, Repeat(Tag(15, 3), 99) + Repeat(Tag(15, 4), 99));
    c["valid-nested-wrong-wire-type"] = Tag(nested, 0) + Varint(5);
  }
}

void FillPallet(PalletDesc* pallet, std::uint32_t seed) {
  pallet->set_id(seed);
  pallet->set_size(4096 * seed);
  pallet->set_offset(0x100000000ull * seed);
  pallet->set_recording_id(0xFFFFFFFFFFFFFFFFull - seed);
  pallet->set_fragment_id(seed + 1);
  pallet->set_track_id(seed + 2);
  pallet->set_tier_id(seed % 3);
  pallet->set_file_index(0xFFFFFFFFu - seed);
}

void FillEntry(RecordingFragmentEntry* entry, std::uint32_t seed) {
  entry->set_header_file_offset(1000 * seed);
  entry->set_header_file_index(seed);
  entry->set_header_size(64);
  for (std::uint32_t i = 0; i < 3; ++i) {
    RecordingFragmentEntry_Track* track = entry->add_tracks();
    track->set_track_id(i);
    track->set_start_tick(1000 * i);
    track->set_end_tick(1000 * i + 999);
    track->set_duration(999);
  }
  entry->add_tracks();  // an empty track
}

Cases PalletDescCases() {
  Cases c;
  PalletDesc pallet;
  FillPallet(&pallet, 7);
  const std::string valid = pallet.SerializeAsString();
  AddCommonCases(&c, valid, 0);
  PalletDesc zeros;
  FillPallet(&zeros, 0);
  c["valid-zeros"] = zeros.SerializeAsString();
  c["valid-reversed-order"] = Tag(8, 0) + Varint(1) + Tag(3, 0) + Varint(2) + Tag(1, 0) + Varint(3);
  c["valid-wrong-wire-types"] = Tag(1, 2) + Varint(1) + "x" + Tag(3, 1) + std::string(8, '\1') +
                                Tag(5, 5) + std::string(4, '\2') + Tag(8, 3) + Tag(8, 4);
  return c;
}

Cases RecordingFragmentCases() {
  Cases c;
  RecordingFragment fragment;
  fragment.set_fragment_id(5);
  for (std::uint32_t t = 0; t < 2; ++t) {
    RecordingFragment_Tier* tier = fragment.add_tiers();
    Pb::Halvin::Stor::DataFileRef* file = tier->add_files();
    file->set_file_index(t);
    file->set_file_size(1ull << 40);
    file->set_file_id(0xABCDEFull);
    for (std::uint32_t p = 0; p < 2; ++p) FillPallet(tier->add_pallets(), 10 * t + p);
  }
  fragment.add_tiers();
  const std::string valid = fragment.SerializeAsString();
  AddCommonCases(&c, valid, 2);
  c["valid-tiers-before-id"] = Delimited(2, Delimited(2, Tag(1, 0) + Varint(1))) + Tag(1, 0) + Varint(9);
  c["bad-tier-pallet-truncated"] = Delimited(2, Tag(2, 2) + Varint(4) + Tag(1, 0));
  c["bad-tier-file-end-group"] = Delimited(2, Delimited(1, Tag(3, 4)));
  return c;
}

Cases RecordingFragmentEntryCases() {
  Cases c;
  RecordingFragmentEntry entry;
  FillEntry(&entry, 3);
  const std::string valid = entry.SerializeAsString();
  AddCommonCases(&c, valid, 4);
  c["valid-offset-as-fixed64"] = Tag(1, 1) + std::string(8, '\x05') + Tag(2, 0) + Varint(1);
  c["bad-track-truncated-tick"] = Delimited(4, Tag(2, 0) + "\xFF\xFF");
  return c;
}

Cases DataReferenceCases() {
  Cases c;
  DataReference reference;
  DataReference_Tier* tier = reference.add_tiers();
  tier->add_files()->set_file_index(2);
  tier->add_files()->set_file_id(77);
  reference.add_tiers();
  FillEntry(reference.add_fragments(), 1);
  FillEntry(reference.add_fragments(), 2);
  reference.add_files()->set_file_size(123456789);
  const std::string valid = reference.SerializeAsString();
  AddCommonCases(&c, valid, 2);
  c["valid-lists-interleaved"] = Delimited(3, "") + Delimited(1, "") + Delimited(2, "") + Delimited(1, "");
  c["bad-depth-3-end-group"] = Delimited(2, Delimited(4, Tag(1, 0) + Varint(1) + Tag(2, 4)));
  c["bad-depth-3-past-limit"] = Delimited(2, Tag(4, 2) + Varint(3) + Tag(1, 0)) + Varint(1);
  return c;
}

void FillFrameTable(FrameTable* table, std::uint32_t seed) {
  for (int i = 0; i < 3; ++i) {
    CountDeltaS32* seq = table->add_seq_numbers();
    seq->set_count(10 + i);
    seq->set_delta(i - 1);
    CountDeltaS32* stamp = table->add_timestamps();
    stamp->set_count(5);
    stamp->set_delta(-3000 * i);
    CountValU32* ids = table->add_frame_to_pallet_ids();
    ids->set_count(4);
    ids->set_val(seed + i);
    CountValU32* units = table->add_access_units_per_frame();
    units->set_count(1);
    units->set_val(2);
    CountValS32* error = table->add_errors();
    error->set_count(1);
    error->set_val(-i);
  }
  table->set_coding_depend(std::string("\x00\x01\x02\xFF", 4));
  for (int i = 0; i < 5; ++i) {
    table->add_frame_sizes(i % 2 == 0 ? 1000 * i : -2147483647 - 1);
    table->add_frame_to_pallet_offsets(0xFFFFFFFFu - static_cast<std::uint32_t>(i));
    table->add_access_unit_length_diffs(-i);
    table->add_access_unit_offset_jumps(static_cast<std::uint32_t>(i) << 28);
    table->add_auth_tags(0x0123456789ABCDEFull * (seed + static_cast<std::uint32_t>(i)));
  }
}

Cases FrameTableCases() {
  Cases c;
  FrameTable table;
  FillFrameTable(&table, 1);
  const std::string valid = table.SerializeAsString();
  AddCommonCases(&c, valid, 1);
  FrameTable coding_only;
  coding_only.set_coding_depend("");
  c["valid-empty-coding-depend"] = coding_only.SerializeAsString();
  c["valid-unpacked-columns"] = Tag(4, 0) + Varint(3) + Tag(4, 0) + Varint(4) + Tag(5, 0) +
                                Varint(7) + Tag(11, 1) + std::string(8, '\x01') + Tag(11, 1) +
                                std::string(8, '\x02') + Tag(9, 0) + Varint(1);
  c["valid-packed-and-unpacked-mixed"] =
      Delimited(4, Varint(1) + Varint(300)) + Tag(4, 0) + Varint(5) + Delimited(4, Varint(2));
  c["valid-packed-empty"] = Delimited(4, "") + Delimited(11, "");
  c["valid-packed-overlong-element"] = Delimited(5, std::string(9, '\xFF') + "\x01");
  c["bad-auth-tags-not-multiple-of-8"] = Delimited(11, std::string(12, '\x07'));
  c["bad-auth-tags-one-short"] = Delimited(11, std::string(7, '\x07'));
  c["bad-auth-tags-past-input"] = Tag(11, 2) + Varint(16) + std::string(8, '\x07');
  c["bad-packed-truncated-element"] = Delimited(8, Varint(1) + "\x80");
  c["bad-packed-past-input"] = Tag(9, 2) + Varint(50) + Varint(1);
  c["bad-packed-length-6-byte"] = Tag(4, 2) + std::string("\x81\x80\x80\x80\x80\x00", 6) + Varint(1);
  c["bad-coding-depend-past-input"] = Tag(3, 2) + Varint(9) + "abc";
  c["valid-coding-depend-twice"] = Delimited(3, "first") + Delimited(3, "second");
  c["valid-coding-depend-wrong-wire-type"] = Tag(3, 0) + Varint(5);
  c["valid-pair-wrong-wire-types"] = Delimited(1, Tag(1, 1) + std::string(8, '\x00') + Tag(2, 2) + Varint(0));
  c["bad-pair-truncated"] = Delimited(6, Tag(1, 0) + Varint(1) + Tag(2, 0)) ;
  c["valid-pair-zigzag-extremes"] =
      Delimited(2, Tag(2, 0) + Varint(0xFFFFFFFFu)) + Delimited(10, Tag(2, 0) + Varint(0xFFFFFFFEu));
  return c;
}

Cases TrackCases() {
  Cases c;
  Track track;
  track.set_track_id(3);
  track.set_num_frames(15);
  track.set_start_seq(100);
  track.set_start_time(0xFEDCBA9876543210ull);
  track.set_start_tick(90000);
  track.set_duration(1ull << 40);
  FillFrameTable(track.add_frame_tables(), 1);
  FillFrameTable(track.add_frame_tables(), 2);
  track.add_frame_tables();
  track.set_auth_type(Pb::Velto::AUTH_SIPHASH_2_4);
  const std::string valid = track.SerializeAsString();
  AddCommonCases(&c, valid, 7);
  c["valid-auth-type-invalid"] = Tag(8, 0) + Varint(4) + Tag(8, 0) + Varint(1);
  c["valid-auth-type-negative"] = Tag(8, 0) + std::string(9, '\xFF') + "\x01";
  c["valid-start-time-as-varint"] = Tag(4, 0) + Varint(5) + Tag(1, 0) + Varint(1);
  c["bad-start-time-short"] = Tag(4, 1) + "\x01\x02\x03\x04";
  c["bad-frame-table-auth-tags-odd"] = Delimited(7, Delimited(11, std::string(9, '\x05')));
  c["bad-frame-table-pair-past-table"] = Delimited(7, Tag(1, 2) + Varint(4) + Tag(1, 0)) + Varint(3);
  c["bad-depth-3-end-group"] = Delimited(7, Delimited(2, Tag(1, 0) + Varint(1) + Tag(1, 4)));
  return c;
}

void WriteCases(const std::filesystem::path& root, const std::string& name, const Cases& cases) {
  const std::filesystem::path dir = root / name;
  std::filesystem::create_directories(dir);
  for (const auto& [case_name, bytes] : cases) {
    std::ofstream out(dir / case_name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::printf("%s: %zu files\n", name.c_str(), cases.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus dir>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path root(argv[1]);
  WriteCases(root, "PalletDesc", PalletDescCases());
  WriteCases(root, "RecordingFragment", RecordingFragmentCases());
  WriteCases(root, "RecordingFragmentEntry", RecordingFragmentEntryCases());
  WriteCases(root, "DataReference", DataReferenceCases());
  WriteCases(root, "FrameTable", FrameTableCases());
  WriteCases(root, "Track", TrackCases());
  return 0;
}
