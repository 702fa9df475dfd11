// SPDX-License-Identifier: BSD-3-Clause
// The varint kernels alone, on one packed column: decode, size and write of
// 16,384 values whose encoded widths (1 to 4 bytes) are drawn evenly, so no
// run of one width lets a branch settle. PlainColumn holds uint32 values,
// ZigZagColumn sint32 values of both signs; each runs with every kernel this
// machine has as <column>/Tarvesh-<kernel>/{Decode,Size,Write}, bytes
// processed being the encoded column's.
#include <cstdint>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include <benchmark/benchmark.h>

#include "ColumnBenchmarks.h"
#include "kernels/VarintKernels.h"

namespace tarvesh_bench {
namespace {

using Pb::kernels::VarintKernel;

template <class T>
struct Column {
  std::vector<T> values;
  std::vector<std::uint8_t> encoded;

  explicit Column(std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    values.resize(16384);
    for (T& value : values) {
      const int width = 1 + static_cast<int>(rng() % 4);
      const std::uint32_t low = width == 1 ? 0 : 1u << (7 * (width - 1));
      const std::uint32_t wire = low + static_cast<std::uint32_t>(rng() % ((1u << (7 * width)) - low));
      if constexpr (std::is_same_v<T, std::int32_t>) {
        value = static_cast<std::int32_t>((wire >> 1) ^ (0u - (wire & 1)));  // back from ZigZag
      } else {
        value = wire;
      }
    }
    const VarintKernel& scalar = *Pb::kernels::FindVarintKernel("scalar");
    encoded.resize(Size(scalar));
    Write(scalar, encoded.data());
  }

  std::size_t Size(const VarintKernel& k) const {
    if constexpr (std::is_same_v<T, std::int32_t>) return k.size_zigzag(values.data(), values.size());
    else return k.size_plain(values.data(), values.size());
  }
  std::uint8_t* Write(const VarintKernel& k, std::uint8_t* out) const {
    std::uint8_t* end = out + encoded.size();
    if constexpr (std::is_same_v<T, std::int32_t>) {
      return k.write_zigzag(values.data(), values.size(), out, end);
    } else {
      return k.write_plain(values.data(), values.size(), out, end);
    }
  }
  bool Decode(const VarintKernel& k, T* out) const {
    const std::uint8_t* p = encoded.data();
    const std::uint8_t* end = p + encoded.size();
    std::size_t decoded = 0;
    if constexpr (std::is_same_v<T, std::int32_t>) {
      return k.decode_zigzag(p, end, out, values.size(), &decoded) == end;
    } else {
      return k.decode_plain(p, end, out, values.size(), &decoded) == end;
    }
  }
};

template <class T>
void RegisterColumn(const std::string& name, const Column<T>* column) {
  for (int i = 0; i < Pb::kernels::VarintKernelCount(); ++i) {
    const VarintKernel* kernel = &Pb::kernels::VarintKernelAt(i);
    const std::string prefix = name + "/Tarvesh-" + kernel->name + "/";
    const auto bytes = static_cast<std::int64_t>(column->encoded.size());
    benchmark::RegisterBenchmark((prefix + "Decode").c_str(), [=](benchmark::State& state) {
      std::vector<T> out(column->values.size());
      for (auto _ : state) {
        if (!column->Decode(*kernel, out.data())) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
      }
      if (out != column->values) state.SkipWithError("decoded values differ");
      state.SetBytesProcessed(state.iterations() * bytes);
    });
    benchmark::RegisterBenchmark((prefix + "Size").c_str(), [=](benchmark::State& state) {
      std::size_t size = 0;
      for (auto _ : state) {
        benchmark::DoNotOptimize(column->values.data());
        size = column->Size(*kernel);
        benchmark::DoNotOptimize(size);
      }
      if (size != column->encoded.size()) state.SkipWithError("size differs");
      state.SetBytesProcessed(state.iterations() * bytes);
    });
    benchmark::RegisterBenchmark((prefix + "Write").c_str(), [=](benchmark::State& state) {
      std::vector<std::uint8_t> out(column->encoded.size());
      for (auto _ : state) {
        benchmark::DoNotOptimize(column->Write(*kernel, out.data()));
        benchmark::ClobberMemory();
      }
      if (out != column->encoded) state.SkipWithError("written bytes differ");
      state.SetBytesProcessed(state.iterations() * bytes);
    });
  }
}

}  // namespace

void RegisterColumnBenchmarks() {
  static const Column<std::uint32_t> plain(32);
  static const Column<std::int32_t> zigzag(33);
  RegisterColumn("PlainColumn", &plain);
  RegisterColumn("ZigZagColumn", &zigzag);
}

}  // namespace tarvesh_bench
