// SPDX-License-Identifier: BSD-3-Clause
// Counts calls of the global operator new made by this thread, so that a
// benchmark can report how many allocations one iteration costs.
#ifndef TARVESH_BENCH_ALLOCATION_COUNTER_H
#define TARVESH_BENCH_ALLOCATION_COUNTER_H

#include <cstdint>

namespace tarvesh_bench {

// Allocations made by the calling thread since it started.
std::uint64_t AllocationCount();

}  // namespace tarvesh_bench

#endif  // TARVESH_BENCH_ALLOCATION_COUNTER_H
