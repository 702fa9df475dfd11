// SPDX-License-Identifier: BSD-3-Clause
// The AVX2 kernel: the block kernel (generic/VarintBlockKernel.h) over
// 256-bit registers of eight lanes. Each 8-byte chunk decodes into one
// register; writing packs each 128-bit half of four values with its own
// shuffle.
#include "kernels/VarintPlatform.h"
#include "kernels/VarintRegistry.h"

#if defined(TARVESH_KERNELS_X86_64)
#include <immintrin.h>

#include <algorithm>
#include <cstddef>
#include <type_traits>

#include "kernels/VarintScalar.h"
#include "kernels/VarintTables.h"

TARVESH_TARGET_REGION("avx2,bmi,popcnt")
namespace Pb {
namespace kernels {
namespace {

struct Avx2 {
  static constexpr const char* kName = "avx2";
  static constexpr std::size_t kLanes = 8;
  using Lanes = __m256i;

  static std::uint64_t ContinuationBits(const std::uint8_t* p) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
           static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high)))
               << 32;
  }

  // The 16 bytes from 8 before the chunk, in both halves; one shuffle puts
  // each varint in its lane, then byte pairs join to 14 bits and pairs of
  // those to 28.
  template <class T>
  static void DecodeChunk(const std::uint8_t* chunk, unsigned key, T* out) {
    const __m256i window =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk - 8)));
    const __m256i shuffle =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(varint_decode_shuffle[key]));
    const __m256i bytes =
        _mm256_and_si256(_mm256_shuffle_epi8(window, shuffle), _mm256_set1_epi8(0x7f));
    const __m256i pairs = _mm256_maddubs_epi16(_mm256_set1_epi16(0x8001), bytes);
    __m256i values = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x40000001));
    if constexpr (std::is_same_v<T, std::int32_t>) {
      values = _mm256_xor_si256(_mm256_srli_epi32(values, 1),
                                _mm256_sub_epi32(_mm256_setzero_si256(),
                                                 _mm256_and_si256(values, _mm256_set1_epi32(1))));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), values);
  }

  static Lanes Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
  static Lanes Set(std::uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
  static Lanes Zero() { return _mm256_setzero_si256(); }
  static Lanes And(Lanes a, Lanes b) { return _mm256_and_si256(a, b); }
  static Lanes Or(Lanes a, Lanes b) { return _mm256_or_si256(a, b); }
  static Lanes Xor(Lanes a, Lanes b) { return _mm256_xor_si256(a, b); }
  static Lanes Add(Lanes a, Lanes b) { return _mm256_add_epi32(a, b); }
  static Lanes ShiftLeft(Lanes v, int n) { return _mm256_slli_epi32(v, n); }
  static Lanes ShiftRight(Lanes v, int n) { return _mm256_srli_epi32(v, n); }
  static Lanes ShiftRightSigned(Lanes v, int n) { return _mm256_srai_epi32(v, n); }
  static Lanes Positive(Lanes v) { return _mm256_cmpgt_epi32(v, _mm256_setzero_si256()); }
  static bool Any(Lanes v) { return !_mm256_testz_si256(v, v); }
  static bool AnyCommon(Lanes a, Lanes b) { return !_mm256_testz_si256(a, b); }
  static std::uint32_t Sum(Lanes v) {
    __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4e));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xb1));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum));
  }
  static Lanes Greater(Lanes a, Lanes b) { return _mm256_cmpgt_epi32(a, b); }
  // Two saturating packs turn each half's low and high lanes into bytes in
  // the order of the table's keys: the byte mask's bits 0-7 are the first
  // half's key, bits 16-23 the second's.
  static std::uint8_t* StorePacked(Lanes bytes, Lanes low, Lanes high, std::uint8_t* out) {
    const __m256i words = _mm256_packs_epi32(low, high);
    const unsigned keys =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_packs_epi16(words, words)));
    const unsigned key_low = keys & 0xff;
    const unsigned key_high = (keys >> 16) & 0xff;
    const __m256i shuffle = _mm256_inserti128_si256(
        _mm256_castsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(varint_write_shuffle[key_low]))),
        _mm_load_si128(reinterpret_cast<const __m128i*>(varint_write_shuffle[key_high])), 1);
    const __m256i packed = _mm256_shuffle_epi8(bytes, shuffle);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    out += varint_write_length[key_low];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(packed, 1));
    return out + varint_write_length[key_high];
  }
};

#include "kernels/generic/VarintBlockKernel.h"

const VarintKernel kAvx2VarintKernel = MakeBlockKernel<Avx2, Untraced>();
const VarintKernel kCountingAvx2VarintKernel = MakeBlockKernel<Avx2, CountVectorSteps>();

}  // namespace

VectorKernel PrepareAvx2VarintKernel() {
  BuildVarintTables();
  return {&kAvx2VarintKernel, &kCountingAvx2VarintKernel};
}

}  // namespace kernels
}  // namespace Pb
TARVESH_UNTARGET_REGION

#else

namespace Pb {
namespace kernels {
VectorKernel PrepareAvx2VarintKernel() { return {nullptr, nullptr}; }
}  // namespace kernels
}  // namespace Pb

#endif
