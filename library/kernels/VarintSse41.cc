// The SSE4.1 kernel: the AVX2 kernel's method (see VarintAvx2.cc) on 16-byte
// registers, for x86-64 processors without AVX2. Each 8-byte chunk decodes
// into two registers of four lanes; writing packs four values at a time.
#include "kernels/VarintScalar.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#include <type_traits>

#include "kernels/VarintTables.h"

#define TARVESH_TARGET_SSE41 __attribute__((target("ssse3,sse4.1,popcnt")))

namespace Pb {
namespace kernels {
namespace {

TARVESH_TARGET_SSE41 inline std::uint64_t ContinuationBits(const std::uint8_t* p) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    bits |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(bytes)))
            << (16 * i);
  }
  return bits;
}

template <class Trace>
TARVESH_TARGET_SSE41 std::size_t CountEndsSse41(const std::uint8_t* p, std::size_t size) {
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    count += static_cast<std::size_t>(__builtin_popcountll(~ContinuationBits(p + i)));
    Trace::VectorSteps(64);
  }
  return count + CountEnds(p + i, size - i);
}

template <class T>
TARVESH_TARGET_SSE41 inline __m128i JoinGroups(__m128i window, const std::uint8_t* shuffle) {
  const __m128i bytes =
      _mm_and_si128(_mm_shuffle_epi8(window, _mm_load_si128(reinterpret_cast<const __m128i*>(shuffle))),
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
TARVESH_TARGET_SSE41 inline void DecodeChunk(const std::uint8_t* chunk, unsigned key, T* out) {
  const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk - 8));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                   JoinGroups<T>(window, varint_decode_shuffle[key]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4),
                   JoinGroups<T>(window, varint_decode_shuffle[key] + 16));
}

// The AVX2 kernel's block loop, chunk for chunk.
template <class T, class Trace>
TARVESH_TARGET_SSE41 const std::uint8_t* DecodeSse41(const std::uint8_t* p,
                                                     const std::uint8_t* end, T* out,
                                                     std::size_t room, std::size_t* decoded) {
  const std::uint8_t* const begin = p;
  std::size_t n = 0;
  *decoded = 0;
  p = DecodeVarintsUntil(p, end - p < 8 ? end : p + 8, out, &n);
  if (p == nullptr) {
    *decoded = n;
    return nullptr;
  }
  const std::uint8_t* q = p;
  std::uint64_t previous = 0;
  while (end - q >= 64) {
    const std::uint64_t continued = ContinuationBits(q);
    const std::uint64_t ends = ~continued;
    const std::uint64_t long_varint = LongVarintBytes(continued, previous);
    const std::size_t in_block = static_cast<std::size_t>(__builtin_popcountll(ends));
    if (n + in_block + 8 > room) break;
    if (long_varint != 0) {
      p = DecodeVarintsUntil(VarintStart(begin, q), q + 64, out, &n);
      if (p == nullptr) {
        *decoded = n;
        return nullptr;
      }
      q = p;
      previous = 0;
      continue;
    }
    T* const base = out + n;
    std::size_t at = 0;
    DecodeChunk(q, static_cast<unsigned>(((continued & 0xff) << 4) | (previous >> 60)), base);
    at += static_cast<std::size_t>(__builtin_popcountll(ends & 0xff));
    for (int j = 1; j < 8; ++j) {
      DecodeChunk(q + 8 * j, static_cast<unsigned>((continued >> (8 * j - 4)) & 0xfff), base + at);
      at += static_cast<std::size_t>(__builtin_popcountll((ends >> (8 * j)) & 0xff));
    }
    n += at;
    Trace::VectorSteps(at);
    previous = continued;
    q += 64;
  }
  p = DecodeVarintsUntil(VarintStart(begin, q), end, out, &n);
  *decoded = n;
  return p;
}

template <class T>
TARVESH_TARGET_SSE41 inline __m128i WireValues(const T* values) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values));
  if constexpr (std::is_same_v<T, std::int32_t>) {
    v = _mm_xor_si128(_mm_slli_epi32(v, 1), _mm_srai_epi32(v, 31));
  }
  return v;
}

TARVESH_TARGET_SSE41 inline __m128i AtLeast(__m128i v, int bits) {
  return _mm_cmpgt_epi32(_mm_srli_epi32(v, bits), _mm_setzero_si128());
}

template <class T, class Trace>
TARVESH_TARGET_SSE41 std::size_t SizeSse41(const T* values, std::size_t n) {
  std::size_t total = 0;
  std::size_t i = 0;
  while (i + 4 <= n) {
    const std::size_t stop = n - i > (std::size_t{1} << 28) ? i + (std::size_t{1} << 28) : n;
    __m128i extra = _mm_setzero_si128();
    for (; i + 4 <= stop; i += 4) {
      const __m128i v = WireValues(values + i);
      extra = _mm_add_epi32(extra, _mm_add_epi32(_mm_add_epi32(AtLeast(v, 7), AtLeast(v, 14)),
                                                 _mm_add_epi32(AtLeast(v, 21), AtLeast(v, 28))));
      Trace::VectorSteps(4);
    }
    extra = _mm_add_epi32(extra, _mm_shuffle_epi32(extra, 0x4e));
    extra = _mm_add_epi32(extra, _mm_shuffle_epi32(extra, 0xb1));
    total += static_cast<std::uint32_t>(-_mm_cvtsi128_si32(extra));
  }
  return total + i + VarintsSize(values + i, n - i);
}

template <class T, class Trace>
TARVESH_TARGET_SSE41 std::uint8_t* WriteSse41(const T* values, std::size_t n, std::uint8_t* out,
                                             std::uint8_t* out_end) {
  std::size_t i = 0;
  for (; i + 4 <= n && out_end - out >= 16; i += 4) {
    const __m128i v = WireValues(values + i);
    const __m128i ge7 = AtLeast(v, 7), ge14 = AtLeast(v, 14), ge21 = AtLeast(v, 21);
    const __m128i ge28 = AtLeast(v, 28);
    if (!_mm_testz_si128(ge28, ge28)) {
      out = WriteVarints(values + i, 4, out);
      continue;
    }
    const __m128i low7 = _mm_set1_epi32(0x7f);
    __m128i bytes = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(v, low7),
                     _mm_and_si128(_mm_slli_epi32(v, 1), _mm_slli_epi32(low7, 8))),
        _mm_or_si128(_mm_and_si128(_mm_slli_epi32(v, 2), _mm_slli_epi32(low7, 16)),
                     _mm_and_si128(_mm_slli_epi32(v, 3), _mm_slli_epi32(low7, 24))));
    bytes = _mm_or_si128(
        bytes, _mm_or_si128(_mm_and_si128(ge7, _mm_set1_epi32(0x80)),
                            _mm_or_si128(_mm_and_si128(ge14, _mm_set1_epi32(0x8000)),
                                         _mm_and_si128(ge21, _mm_set1_epi32(0x800000)))));
    const unsigned low_bit = static_cast<unsigned>(
        _mm_movemask_ps(_mm_castsi128_ps(_mm_xor_si128(_mm_xor_si128(ge7, ge14), ge21))));
    const unsigned high_bit = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(ge14)));
    const unsigned key = low_bit | (high_bit << 4);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_shuffle_epi8(bytes, _mm_load_si128(reinterpret_cast<const __m128i*>(
                                                 varint_write_shuffle[key]))));
    out += varint_write_length[key];
    Trace::VectorSteps(4);
  }
  return WriteVarints(values + i, n - i, out);
}

template <class Trace>
constexpr VarintKernel MakeSse41Kernel() {
  return {
      "sse41",
      &CountEndsSse41<Trace>,
      &DecodeSse41<std::uint32_t, Trace>,
      &DecodeSse41<std::int32_t, Trace>,
      &SizeSse41<std::uint32_t, Trace>,
      &SizeSse41<std::int32_t, Trace>,
      &WriteSse41<std::uint32_t, Trace>,
      &WriteSse41<std::int32_t, Trace>,
  };
}
const VarintKernel kSse41VarintKernel = MakeSse41Kernel<Untraced>();
const VarintKernel kCountingSse41VarintKernel = MakeSse41Kernel<CountVectorSteps>();

}  // namespace

VectorKernel PrepareSse41VarintKernel() {
  BuildVarintTables();
  return {&kSse41VarintKernel, &kCountingSse41VarintKernel};
}

}  // namespace kernels
}  // namespace Pb

#else  // not x86-64 with GCC or clang

namespace Pb {
namespace kernels {
VectorKernel PrepareSse41VarintKernel() { return {nullptr, nullptr}; }
}  // namespace kernels
}  // namespace Pb

#endif
