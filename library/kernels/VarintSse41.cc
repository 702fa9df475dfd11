// SPDX-License-Identifier: BSD-3-Clause
// The SSE4.1 kernel, for x86-64 processors without AVX2: the block kernel
// (generic/VarintBlockKernel.h) over 128-bit registers of four lanes. Each
// 8-byte chunk decodes into two registers; writing packs four values at a
// time.
#include "kernels/VarintPlatform.h"
#include "kernels/VarintRegistry.h"

#if defined(TARVESH_KERNELS_X86_64)
#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "kernels/VarintScalar.h"
#include "kernels/VarintTables.h"

TARVESH_TARGET_REGION("ssse3,sse4.1,popcnt")
namespace Pb {
namespace kernels {
namespace {

struct Sse41 {
  static constexpr const char* kName = "sse41";
  static constexpr std::size_t kLanes = 4;
  using Lanes = __m128i;

  static std::uint64_t ContinuationBits(const std::uint8_t* p) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
      bits |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(bytes)))
              << (16 * i);
    }
    return bits;
  }

  // Four of a chunk's lanes from the 16 bytes loaded 8 before it: a shuffle
  // puts each varint in its lane, then byte pairs join to 14 bits and pairs
  // of those to 28.
  template <class T>
  static __m128i JoinGroups(__m128i window, const std::uint8_t* shuffle) {
    const __m128i bytes = _mm_and_si128(
        _mm_shuffle_epi8(window, _mm_load_si128(reinterpret_cast<const __m128i*>(shuffle))),
        _mm_set1_epi8(0x7f));
    __m128i values = _mm_madd_epi16(_mm_maddubs_epi16(_mm_set1_epi16(0x8001), bytes),
                                    _mm_set1_epi32(0x40000001));
    if constexpr (std::is_same_v<T, std::int32_t>) {
      values = _mm_xor_si128(_mm_srli_epi32(values, 1),
                             _mm_sub_epi32(_mm_setzero_si128(),
                                           _mm_and_si128(values, _mm_set1_epi32(1))));
    }
    return values;
  }
  template <class T>
  static void DecodeChunk(const std::uint8_t* chunk, unsigned key, T* out) {
    const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk - 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     JoinGroups<T>(window, varint_decode_shuffle[key]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4),
                     JoinGroups<T>(window, varint_decode_shuffle[key] + 16));
  }

  static Lanes Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
  static Lanes Set(std::uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
  static Lanes Zero() { return _mm_setzero_si128(); }
  static Lanes And(Lanes a, Lanes b) { return _mm_and_si128(a, b); }
  static Lanes Or(Lanes a, Lanes b) { return _mm_or_si128(a, b); }
  static Lanes Xor(Lanes a, Lanes b) { return _mm_xor_si128(a, b); }
  static Lanes Add(Lanes a, Lanes b) { return _mm_add_epi32(a, b); }
  static Lanes ShiftLeft(Lanes v, int n) { return _mm_slli_epi32(v, n); }
  static Lanes ShiftRight(Lanes v, int n) { return _mm_srli_epi32(v, n); }
  static Lanes ShiftRightSigned(Lanes v, int n) { return _mm_srai_epi32(v, n); }
  static Lanes Positive(Lanes v) { return _mm_cmpgt_epi32(v, _mm_setzero_si128()); }
  static bool Any(Lanes v) { return !_mm_testz_si128(v, v); }
  static bool AnyCommon(Lanes a, Lanes b) { return !_mm_testz_si128(a, b); }
  static std::uint32_t Sum(Lanes v) {
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4e));
    v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xb1));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(v));
  }
  static Lanes Greater(Lanes a, Lanes b) { return _mm_cmpgt_epi32(a, b); }
  // Two saturating packs turn the low and high lanes into bytes in the order
  // of the table's keys: the byte mask's low eight bits.
  static std::uint8_t* StorePacked(Lanes bytes, Lanes low, Lanes high, std::uint8_t* out) {
    const __m128i words = _mm_packs_epi32(low, high);
    const unsigned key =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(words, words))) & 0xff;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_shuffle_epi8(bytes, _mm_load_si128(reinterpret_cast<const __m128i*>(
                                                 varint_write_shuffle[key]))));
    return out + varint_write_length[key];
  }
};

#include "kernels/generic/VarintBlockKernel.h"

const VarintKernel kSse41VarintKernel = MakeBlockKernel<Sse41, Untraced>();
const VarintKernel kCountingSse41VarintKernel = MakeBlockKernel<Sse41, CountVectorSteps>();

}  // namespace

VectorKernel PrepareSse41VarintKernel() {
  BuildVarintTables();
  return {&kSse41VarintKernel, &kCountingSse41VarintKernel};
}

}  // namespace kernels
}  // namespace Pb
TARVESH_UNTARGET_REGION

#else

namespace Pb {
namespace kernels {
VectorKernel PrepareSse41VarintKernel() { return {nullptr, nullptr}; }
}  // namespace kernels
}  // namespace Pb

#endif
