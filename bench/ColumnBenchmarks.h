// SPDX-License-Identifier: BSD-3-Clause
// The packed-column benchmarks of each varint kernel (ColumnBenchmarks.cc).
#ifndef TARVESH_BENCH_COLUMN_BENCHMARKS_H
#define TARVESH_BENCH_COLUMN_BENCHMARKS_H

namespace tarvesh_bench {

void RegisterColumnBenchmarks();

}  // namespace tarvesh_bench

#endif  // TARVESH_BENCH_COLUMN_BENCHMARKS_H
