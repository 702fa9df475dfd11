// SPDX-License-Identifier: BSD-3-Clause
// The messages the benchmarks work on, built from a fixed seed so that every
// run measures the same bytes: a long track, a large data reference and a
// single pallet description.
#ifndef TARVESH_BENCH_WORKLOADS_H
#define TARVESH_BENCH_WORKLOADS_H

#include <cstdint>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"

namespace tarvesh_bench {

inline constexpr std::uint64_t kWorkloadSeed = 0x5441525645534831ull;
inline constexpr int kFrameTables = 8;
inline constexpr int kFramesPerTable = 4096;
inline constexpr int kFragmentEntries = 1000;
inline constexpr int kTracksPerEntry = 4;

// A track of kFrameTables tables of kFramesPerTable frames of a video stream
// with a 32-frame group of pictures, one 64-bit tag per frame.
void MakeTrack(Pb::Tarvesh::Track* track);
// The same with `tables` frame tables: the first tables are MakeTrack's.
void MakeTrackOfTables(Pb::Tarvesh::Track* track, int tables);

// kFragmentEntries fragment entries of kTracksPerEntry tracks each, a few
// storage tiers with their files, and the recording's own files.
void MakeDataReference(Pb::Tarvesh::DataReference* reference);

// One pallet with every field set.
void MakePalletDesc(Pb::Tarvesh::PalletDesc* pallet);

}  // namespace tarvesh_bench

#endif  // TARVESH_BENCH_WORKLOADS_H
