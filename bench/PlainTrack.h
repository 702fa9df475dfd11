// SPDX-License-Identifier: BSD-3-Clause
// A reference decoder and encoder for Track bytes: protozero reads the wire
// format into plain structs of std::vectors, and writes them back. It keeps no unknown fields and checks
// nothing beyond what protozero checks, so it marks how fast decoding the
// same bytes can go, not a replacement for the message classes.
#ifndef TARVESH_BENCH_PLAIN_TRACK_H
#define TARVESH_BENCH_PLAIN_TRACK_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"

namespace tarvesh_bench {

template <class Value>
struct PlainRun {
  std::uint32_t count = 0;
  Value value = 0;
};

struct PlainFrameTable {
  std::vector<PlainRun<std::int32_t>> seq_numbers;
  std::vector<PlainRun<std::int32_t>> timestamps;
  std::string coding_depend;
  std::vector<std::int32_t> frame_sizes;
  std::vector<std::uint32_t> frame_to_pallet_offsets;
  std::vector<PlainRun<std::uint32_t>> frame_to_pallet_ids;
  std::vector<PlainRun<std::uint32_t>> access_units_per_frame;
  std::vector<std::int32_t> access_unit_length_diffs;
  std::vector<std::uint32_t> access_unit_offset_jumps;
  std::vector<PlainRun<std::int32_t>> errors;
  std::vector<std::uint64_t> auth_tags;

  // Empties every column and keeps its storage.
  void Clear();
};

struct PlainTrack {
  std::uint32_t track_id = 0;
  std::uint32_t num_frames = 0;
  std::uint32_t start_seq = 0;
  std::uint64_t start_time = 0;
  std::uint64_t start_tick = 0;
  std::uint64_t duration = 0;
  std::int32_t auth_type = 0;
  // Tables past table_count are spares kept from earlier decodes, as a
  // cleared RepeatedPtrField keeps its elements.
  std::vector<PlainFrameTable> tables;
  std::size_t table_count = 0;

  void Clear();
  // Appends what `data` holds; false on malformed input.
  bool Decode(const char* data, std::size_t size);
  // Replaces `out` with the track's bytes, written by protozero in field
  // order with every run pair's two fields, as the library writes a track
  // whose fields are all set. Keeps the string's storage.
  void Encode(std::string* out) const;
};

// True when `plain` holds the same field values as `track`.
bool SameContent(const PlainTrack& plain, const Pb::Tarvesh::Track& track);

}  // namespace tarvesh_bench

#endif  // TARVESH_BENCH_PLAIN_TRACK_H
