// The AVX2 kernel.
//
// Decoding follows the idea of Masked VByte (Plaisance, Kurz and Lemire,
// "Vectorized VByte Decoding"): the continuation bits of a stretch of input,
// gathered with a byte movemask, index a table of byte shuffles that move
// each varint's bytes into a lane of its own, where two multiply-adds join
// the 7-bit groups. Unlike Masked VByte, which steps from value to value (a
// chain of dependent table loads), this kernel steps over fixed 8-byte
// chunks of input: each chunk decodes the varints that END in it, whose
// bytes start at most four bytes earlier (values of one to four bytes, 28
// bits). The chunks of a 64-byte block are independent of one another;
// only the output position (a popcount per chunk) carries from one to the
// next. A block holding a varint of five or more bytes, and the first and
// last bytes of a payload, go through the scalar steps.
//
// Writing spreads eight values' 7-bit groups into the four bytes of their
// lanes, sets the continuation bits from three compares, and packs the used
// bytes of each half together with a shuffle from a table indexed by the
// four lengths. Sizing adds up the same compares.
#include "kernels/VarintScalar.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#include <type_traits>

#include "kernels/VarintTables.h"

#define TARVESH_TARGET_AVX2 __attribute__((target("avx2,bmi,popcnt")))

namespace Pb {
namespace kernels {
namespace {

TARVESH_TARGET_AVX2 inline std::uint64_t ContinuationBits(const std::uint8_t* p) {
  const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high))) << 32;
}

template <class Trace>
TARVESH_TARGET_AVX2 std::size_t CountEndsAvx2(const std::uint8_t* p, std::size_t size) {
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    count += static_cast<std::size_t>(__builtin_popcountll(~ContinuationBits(p + i)));
    Trace::VectorSteps(64);
  }
  return count + CountEnds(p + i, size - i);
}

// Decodes the varints ending in one 8-byte chunk into 8 lanes at out.
// `key`: continuation bits of the 4 bytes before the chunk and its 8.
template <class T>
TARVESH_TARGET_AVX2 inline void DecodeChunk(const std::uint8_t* chunk, unsigned key, T* out) {
  const __m256i window =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk - 8)));
  const __m256i shuffle =
      _mm256_load_si256(reinterpret_cast<const __m256i*>(varint_decode_shuffle[key]));
  const __m256i bytes =
      _mm256_and_si256(_mm256_shuffle_epi8(window, shuffle), _mm256_set1_epi8(0x7f));
  // Byte pairs to 14 bits, then pairs of those to 28.
  const __m256i pairs = _mm256_maddubs_epi16(_mm256_set1_epi16(0x8001), bytes);
  __m256i values = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x40000001));
  if constexpr (std::is_same_v<T, std::int32_t>) {
    values = _mm256_xor_si256(
        _mm256_srli_epi32(values, 1),
        _mm256_sub_epi32(_mm256_setzero_si256(), _mm256_and_si256(values, _mm256_set1_epi32(1))));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), values);
}

template <class T, class Trace>
TARVESH_TARGET_AVX2 const std::uint8_t* DecodeAvx2(const std::uint8_t* p, const std::uint8_t* end,
                                                   T* out, std::size_t room,
                                                   std::size_t* decoded) {
  const std::uint8_t* const begin = p;
  std::size_t n = 0;
  *decoded = 0;
  // A chunk's loads reach 8 bytes back.
  p = DecodeVarintsUntil(p, end - p < 8 ? end : p + 8, out, &n);
  if (p == nullptr) {
    *decoded = n;
    return nullptr;
  }
  // q is the next block; `previous` the continuation bits of the 64 bytes
  // before it, all clear where q starts a varint.
  const std::uint8_t* q = p;
  std::uint64_t previous = 0;
  while (end - q >= 64) {
    const std::uint64_t continued = ContinuationBits(q);
    const std::uint64_t ends = ~continued;
    const std::uint64_t long_varint = LongVarintBytes(continued, previous);
    const std::size_t in_block = static_cast<std::size_t>(__builtin_popcountll(ends));
    if (n + in_block + 8 > room) break;  // the last lanes would pass the room
    if (long_varint != 0) {
      // The scalar steps take the block, from its first unfinished varint
      // to the first varint boundary at or past its end.
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
#define TARVESH_DECODE_CHUNK(j)                                                          \
  DecodeChunk(q + 8 * (j), static_cast<unsigned>((continued >> (8 * (j) - 4)) & 0xfff), \
              base + at);                                                                \
  at += static_cast<std::size_t>(__builtin_popcountll((ends >> (8 * (j))) & 0xff));
    TARVESH_DECODE_CHUNK(1)
    TARVESH_DECODE_CHUNK(2)
    TARVESH_DECODE_CHUNK(3)
    TARVESH_DECODE_CHUNK(4)
    TARVESH_DECODE_CHUNK(5)
    TARVESH_DECODE_CHUNK(6)
    TARVESH_DECODE_CHUNK(7)
#undef TARVESH_DECODE_CHUNK
    n += at;
    Trace::VectorSteps(at);
    previous = continued;
    q += 64;
  }
  p = DecodeVarintsUntil(VarintStart(begin, q), end, out, &n);
  *decoded = n;
  return p;
}

// Lanes of eight wire values: their bytes with continuation bits, and the
// two shuffle keys (lengths minus one) of each half.
template <class T>
TARVESH_TARGET_AVX2 inline __m256i WireValues(const T* values) {
  __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values));
  if constexpr (std::is_same_v<T, std::int32_t>) {
    v = _mm256_xor_si256(_mm256_slli_epi32(v, 1), _mm256_srai_epi32(v, 31));
  }
  return v;
}

TARVESH_TARGET_AVX2 inline __m256i AtLeast(__m256i v, int bits) {
  return _mm256_cmpgt_epi32(_mm256_srli_epi32(v, bits), _mm256_setzero_si256());
}

// Bytes past the first of eight values, each lane counting down.
template <class T, class Trace>
TARVESH_TARGET_AVX2 std::size_t SizeAvx2(const T* values, std::size_t n) {
  std::size_t total = 0;
  std::size_t i = 0;
  while (i + 8 <= n) {
    // A lane falls by at most 4 per step: sum before it could wrap.
    const std::size_t stop = n - i > (std::size_t{1} << 28) ? i + (std::size_t{1} << 28) : n;
    __m256i extra = _mm256_setzero_si256();
    for (; i + 8 <= stop; i += 8) {
      const __m256i v = WireValues(values + i);
      extra = _mm256_add_epi32(
          extra, _mm256_add_epi32(_mm256_add_epi32(AtLeast(v, 7), AtLeast(v, 14)),
                                  _mm256_add_epi32(AtLeast(v, 21), AtLeast(v, 28))));
      Trace::VectorSteps(8);
    }
    __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(extra), _mm256_extracti128_si256(extra, 1));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0x4e));
    sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xb1));
    total += static_cast<std::uint32_t>(-_mm_cvtsi128_si32(sum));
  }
  return total + i + VarintsSize(values + i, n - i);
}

template <class T, class Trace>
TARVESH_TARGET_AVX2 std::uint8_t* WriteAvx2(const T* values, std::size_t n, std::uint8_t* out,
                                            std::uint8_t* out_end) {
  std::size_t i = 0;
  // Each group stores 2 x 16 bytes, at most 32 bytes from out.
  for (; i + 8 <= n && out_end - out >= 32; i += 8) {
    const __m256i v = WireValues(values + i);
    const __m256i ge7 = AtLeast(v, 7), ge14 = AtLeast(v, 14), ge21 = AtLeast(v, 21);
    if (!_mm256_testz_si256(AtLeast(v, 28), AtLeast(v, 28))) {
      out = WriteVarints(values + i, 8, out);  // a five-byte value among them
      continue;
    }
    const __m256i low7 = _mm256_set1_epi32(0x7f);
    __m256i bytes = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(v, low7),
                        _mm256_and_si256(_mm256_slli_epi32(v, 1), _mm256_slli_epi32(low7, 8))),
        _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi32(v, 2), _mm256_slli_epi32(low7, 16)),
                        _mm256_and_si256(_mm256_slli_epi32(v, 3), _mm256_slli_epi32(low7, 24))));
    bytes = _mm256_or_si256(
        bytes, _mm256_or_si256(_mm256_and_si256(ge7, _mm256_set1_epi32(0x80)),
                               _mm256_or_si256(_mm256_and_si256(ge14, _mm256_set1_epi32(0x8000)),
                                               _mm256_and_si256(ge21, _mm256_set1_epi32(0x800000)))));
    const unsigned low_bit = static_cast<unsigned>(
        _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_xor_si256(_mm256_xor_si256(ge7, ge14), ge21))));
    const unsigned high_bit =
        static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(ge14)));
    const unsigned key_low = (low_bit & 0xf) | ((high_bit & 0xf) << 4);
    const unsigned key_high = (low_bit >> 4) | (high_bit & 0xf0);
    const __m256i shuffle = _mm256_inserti128_si256(
        _mm256_castsi128_si256(
            _mm_load_si128(reinterpret_cast<const __m128i*>(varint_write_shuffle[key_low]))),
        _mm_load_si128(reinterpret_cast<const __m128i*>(varint_write_shuffle[key_high])), 1);
    const __m256i packed = _mm256_shuffle_epi8(bytes, shuffle);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    out += varint_write_length[key_low];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(packed, 1));
    out += varint_write_length[key_high];
    Trace::VectorSteps(8);
  }
  return WriteVarints(values + i, n - i, out);
}

template <class Trace>
constexpr VarintKernel MakeAvx2Kernel() {
  return {
      "avx2",
      &CountEndsAvx2<Trace>,
      &DecodeAvx2<std::uint32_t, Trace>,
      &DecodeAvx2<std::int32_t, Trace>,
      &SizeAvx2<std::uint32_t, Trace>,
      &SizeAvx2<std::int32_t, Trace>,
      &WriteAvx2<std::uint32_t, Trace>,
      &WriteAvx2<std::int32_t, Trace>,
  };
}
const VarintKernel kAvx2VarintKernel = MakeAvx2Kernel<Untraced>();
const VarintKernel kCountingAvx2VarintKernel = MakeAvx2Kernel<CountVectorSteps>();

}  // namespace

VectorKernel PrepareAvx2VarintKernel() {
  BuildVarintTables();
  return {&kAvx2VarintKernel, &kCountingAvx2VarintKernel};
}

}  // namespace kernels
}  // namespace Pb

#else  // not x86-64 with GCC or clang

namespace Pb {
namespace kernels {
VectorKernel PrepareAvx2VarintKernel() { return {nullptr, nullptr}; }
}  // namespace kernels
}  // namespace Pb

#endif
