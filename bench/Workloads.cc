// SPDX-License-Identifier: BSD-3-Clause
#include "Workloads.h"

#include <algorithm>
#include <random>
#include <string>

namespace tarvesh_bench {
namespace {

// Draws from a std::mt19937_64 by plain modulo, so that the same seed gives
// the same messages whatever the standard library's distributions do.
class Draw {
 public:
  explicit Draw(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t Bits() { return engine_(); }
  // In [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(engine_() % static_cast<std::uint64_t>(high - low + 1));
  }
  bool OneIn(int n) { return engine_() % static_cast<std::uint64_t>(n) == 0; }

 private:
  std::mt19937_64 engine_;
};

constexpr int kGroupOfPictures = 32;
constexpr std::uint32_t kPalletBytes = 1u << 20;
constexpr std::uint32_t kTicksPerFrame = 3000;  // 90 kHz clock, 30 frames/s

// Cuts `total` frames into runs of [low, high] frames and hands each run's
// length to `add`.
template <class Add>
void Runs(Draw& draw, int total, int low, int high, Add add) {
  while (total > 0) {
    const int run = static_cast<int>(std::min<std::int64_t>(total, draw.Between(low, high)));
    add(static_cast<std::uint32_t>(run));
    total -= run;
  }
}

void MakeFrameTable(Draw& draw, std::uint32_t* pallet_id, Pb::Tarvesh::FrameTable* table) {
  // Sequence numbers count up by one, with the odd dropped frame.
  Runs(draw, kFramesPerTable, 256, 2048, [&](std::uint32_t run) {
    Pb::Tarvesh::CountDeltaS32* pair = table->add_seq_numbers();
    pair->set_count(run);
    pair->set_delta(draw.OneIn(4) ? 2 : 1);
  });
  // Timestamps advance by a frame's ticks, give or take the capture clock's jitter.
  Runs(draw, kFramesPerTable, 16, 512, [&](std::uint32_t run) {
    Pb::Tarvesh::CountDeltaS32* pair = table->add_timestamps();
    pair->set_count(run);
    pair->set_delta(static_cast<std::int32_t>(kTicksPerFrame + draw.Between(-3, 3)));
  });

  // Per frame: its reference distance in the group of pictures, its size,
  // where it starts in its pallet, and its authentication tag.
  std::string& depend = *table->mutable_coding_depend();
  std::uint32_t offset = 0;
  std::uint32_t frames_in_pallet = 0;
  for (int frame = 0; frame < kFramesPerTable; ++frame) {
    const int position = frame % kGroupOfPictures;
    const bool intra = position == 0;
    const bool predicted = position % 4 == 0;
    depend.push_back(static_cast<char>(intra ? 0 : predicted ? 4 : position % 4));
    const std::int32_t size = static_cast<std::int32_t>(
        intra ? draw.Between(30000, 60000) : predicted ? draw.Between(4000, 12000)
                                                       : draw.Between(1000, 4000));
    if (offset + static_cast<std::uint32_t>(size) > kPalletBytes) {
      Pb::Tarvesh::CountValU32* run = table->add_frame_to_pallet_ids();
      run->set_count(frames_in_pallet);
      run->set_val((*pallet_id)++);
      offset = 0;
      frames_in_pallet = 0;
    }
    table->add_frame_sizes(size);
    table->add_frame_to_pallet_offsets(offset);
    offset += static_cast<std::uint32_t>(size);
    ++frames_in_pallet;
    table->add_auth_tags(draw.Bits());
  }
  Pb::Tarvesh::CountValU32* last = table->add_frame_to_pallet_ids();
  last->set_count(frames_in_pallet);
  last->set_val(*pallet_id);

  // Mostly one access unit a frame, now and then a stretch of two to four.
  Runs(draw, kFramesPerTable, 32, 640, [&](std::uint32_t run) {
    Pb::Tarvesh::CountValU32* pair = table->add_access_units_per_frame();
    pair->set_count(run);
    const std::uint32_t units = draw.OneIn(5) ? static_cast<std::uint32_t>(draw.Between(2, 4)) : 1;
    pair->set_val(units);
    for (std::uint32_t i = 0; i < run * units; ++i) {
      table->add_access_unit_length_diffs(static_cast<std::int32_t>(draw.Between(-200, 200)));
      table->add_access_unit_offset_jumps(static_cast<std::uint32_t>(draw.Between(0, 15)));
    }
  });

  // A few stretches with decoder errors.
  const int error_runs = static_cast<int>(draw.Between(0, 3));
  for (int i = 0; i < error_runs; ++i) {
    Pb::Tarvesh::CountValS32* run = table->add_errors();
    run->set_count(static_cast<std::uint32_t>(draw.Between(1, 8)));
    run->set_val(static_cast<std::int32_t>(-draw.Between(1, 20)));
  }
}

void FillFileRef(Draw& draw, std::uint32_t index, Pb::Halvin::Stor::DataFileRef* file) {
  file->set_file_index(index);
  file->set_file_size(static_cast<std::uint64_t>(draw.Between(1ll << 30, 4ll << 30)));
  file->set_file_id(draw.Bits());
}

}  // namespace

void MakeTrack(Pb::Tarvesh::Track* track) { MakeTrackOfTables(track, kFrameTables); }

void MakeTrackOfTables(Pb::Tarvesh::Track* track, int tables) {
  Draw draw(kWorkloadSeed);
  const std::uint64_t frames = static_cast<std::uint64_t>(tables) * kFramesPerTable;
  track->set_track_id(3);
  track->set_num_frames(static_cast<std::uint32_t>(frames));
  track->set_start_seq(static_cast<std::uint32_t>(draw.Between(100000, 200000)));
  track->set_start_time(1700000000000000000ull +
                        static_cast<std::uint64_t>(draw.Between(0, 1ll << 40)));
  track->set_start_tick(static_cast<std::uint64_t>(draw.Between(1ll << 32, 1ll << 36)));
  track->set_duration(frames * kTicksPerFrame);
  std::uint32_t pallet_id = static_cast<std::uint32_t>(draw.Between(1000, 5000));
  for (int i = 0; i < tables; ++i) MakeFrameTable(draw, &pallet_id, track->add_frame_tables());
  track->set_auth_type(Pb::Velto::AUTH_HMAC_SHA256_64);
}

void MakeDataReference(Pb::Tarvesh::DataReference* reference) {
  Draw draw(kWorkloadSeed + 1);
  std::uint32_t file_index = 0;
  for (int tier = 0; tier < 4; ++tier) {
    Pb::Tarvesh::DataReference_Tier* entry = reference->add_tiers();
    for (int i = 0; i < 8; ++i) FillFileRef(draw, file_index++, entry->add_files());
  }
  std::uint64_t header_offset = static_cast<std::uint64_t>(draw.Between(1ll << 20, 1ll << 30));
  std::uint64_t tick = static_cast<std::uint64_t>(draw.Between(1ll << 32, 1ll << 36));
  for (int fragment = 0; fragment < kFragmentEntries; ++fragment) {
    Pb::Tarvesh::RecordingFragmentEntry* entry = reference->add_fragments();
    const std::uint32_t header_size = static_cast<std::uint32_t>(draw.Between(2000, 8000));
    entry->set_header_file_offset(header_offset);
    entry->set_header_file_index(static_cast<std::uint32_t>(draw.Between(0, 63)));
    entry->set_header_size(header_size);
    header_offset += header_size + static_cast<std::uint64_t>(draw.Between(1ll << 24, 1ll << 26));
    const std::uint64_t length = static_cast<std::uint64_t>(draw.Between(800000, 1000000));
    for (int t = 0; t < kTracksPerEntry; ++t) {
      Pb::Tarvesh::RecordingFragmentEntry_Track* track = entry->add_tracks();
      const std::uint64_t start = tick + static_cast<std::uint64_t>(draw.Between(0, 3000));
      const std::uint64_t duration = length - static_cast<std::uint64_t>(draw.Between(0, 6000));
      track->set_track_id(static_cast<std::uint32_t>(t + 1));
      track->set_start_tick(start);
      track->set_end_tick(start + duration);
      track->set_duration(duration);
    }
    tick += length;
  }
  for (int i = 0; i < 64; ++i) FillFileRef(draw, file_index++, reference->add_files());
}

void MakePalletDesc(Pb::Tarvesh::PalletDesc* pallet) {
  Draw draw(kWorkloadSeed + 2);
  pallet->set_id(static_cast<std::uint32_t>(draw.Between(1000, 100000)));
  pallet->set_size(static_cast<std::uint32_t>(draw.Between(kPalletBytes / 2, kPalletBytes)));
  pallet->set_offset(static_cast<std::uint64_t>(draw.Between(1ll << 30, 1ll << 36)));
  pallet->set_recording_id(draw.Bits());
  pallet->set_fragment_id(static_cast<std::uint32_t>(draw.Between(0, 1000)));
  pallet->set_track_id(static_cast<std::uint32_t>(draw.Between(1, 8)));
  pallet->set_tier_id(static_cast<std::uint32_t>(draw.Between(0, 3)));
  pallet->set_file_index(static_cast<std::uint32_t>(draw.Between(0, 95)));
}

}  // namespace tarvesh_bench
