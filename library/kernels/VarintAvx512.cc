// SPDX-License-Identifier: BSD-3-Clause
// The AVX-512 kernel (F, BW, CD, VBMI, VBMI2).
//
// Not the block kernel over traits: opmasks make a different method
// cheaper. Decoding reads each varint from its FIRST byte: a byte compress
// lists where the block's varints start, in order, and for each 16 of them
// one vpermb gathers the four bytes from each start into a lane of its own;
// a carry across the lane clears the bytes past the varint's last, and two
// multiply-adds join the 7-bit groups. The work follows the number of
// values, not of bytes; there is no shuffle table and no step from value
// to value; masked loads and stores take the payload's ends, so no scalar
// head or tail. Writing spreads each value's 7-bit groups over its lane's bytes with
// vpmultishiftqb and packs the used bytes with vpcompressb; sizing counts
// bytes from each value's leading zeros.
//
// Compresses go to a register and are then stored, and merge their result
// into a register rather than zeroing it: on AMD's Zen 4 a compress to
// memory is microcoded and a zeroing compress waits on its destination.
#include "kernels/VarintPlatform.h"
#include "kernels/VarintRegistry.h"

#if defined(TARVESH_KERNELS_X86_64)
#include <immintrin.h>

#include <cstddef>
#include <type_traits>

#include "kernels/VarintScalar.h"

// GCC 12's AVX-512 intrinsics start the lanes they leave alone from an
// undefined register, which -W(maybe-)uninitialized takes for a read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

TARVESH_TARGET_REGION("avx512f,avx512bw,avx512cd,avx512vbmi,avx512vbmi2,bmi,popcnt")
namespace Pb {
namespace kernels {
namespace {

// The low `n` bits set, n <= 64.
std::uint64_t LowBits(std::size_t n) { return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1; }

// A block's varints start in its first 61 bytes: one of up to four bytes
// then ends within the 64 bytes loaded, which one vpermb reaches.
constexpr std::size_t kBlock = 61;

// Permute indexes: the positions 0 to 63; for output register c, lane k's
// four bytes taking the position of start 16c + k; and each lane's bytes
// numbered 0 to 3.
struct Indexes {
  alignas(64) std::uint8_t positions[64];
  alignas(64) std::uint8_t start_of_lane[4][64];
  alignas(64) std::uint8_t byte_in_lane[64];
  constexpr Indexes() : positions(), start_of_lane(), byte_in_lane() {
    for (int i = 0; i < 64; ++i) {
      positions[i] = static_cast<std::uint8_t>(i);
      byte_in_lane[i] = static_cast<std::uint8_t>(i % 4);
      for (int c = 0; c < 4; ++c) start_of_lane[c][i] = static_cast<std::uint8_t>(16 * c + i / 4);
    }
  }
};
constexpr Indexes kIndexes;

// Elements from their wire form: ZigZag-decoded for int32_t.
template <class T>
__m512i FromWireLanes(__m512i raw) {
  if constexpr (std::is_same_v<T, std::int32_t>) {
    // raw >> 1, inverted in the lanes whose bit 0 is set.
    const __m512i half = _mm512_srli_epi32(raw, 1);
    return _mm512_mask_ternarylogic_epi32(half, _mm512_test_epi32_mask(raw, _mm512_set1_epi32(1)),
                                          half, half, 0x55);
  } else {
    return raw;
  }
}

// Up to 16 varints of the block `data`: lane k decodes the varint starting
// at byte starts[16c + k]. Each lane first takes the four bytes from its
// start on. Or-ing 0x7f into every byte makes a continuation byte 0xff and a
// last byte 0x7f, so adding 1 to the lane carries through the varint's
// continuation bytes, clears them and stops at its last byte, which becomes
// 0x80; the bytes past the varint keep their value, so and-ing the data
// with the complement of the sum and with 0x7f leaves the varint's 7-bit
// groups alone. Two multiply-adds join them.
template <class T>
__m512i DecodeLanes(__m512i data, __m512i starts, int c) {
  const __m512i low7 = _mm512_set1_epi8(0x7f);
  const __m512i at = _mm512_add_epi8(
      _mm512_permutexvar_epi8(_mm512_load_si512(kIndexes.start_of_lane[c]), starts),
      _mm512_load_si512(kIndexes.byte_in_lane));
  const __m512i window = _mm512_permutexvar_epi8(at, data);
  const __m512i carried = _mm512_add_epi32(_mm512_or_si512(window, low7), _mm512_set1_epi32(1));
  // window & ~carried & low7
  const __m512i bytes = _mm512_ternarylogic_epi32(window, carried, low7, 0x20);
  const __m512i pairs = _mm512_maddubs_epi16(_mm512_set1_epi16(static_cast<short>(0x8001)), bytes);
  return FromWireLanes<T>(_mm512_madd_epi16(pairs, _mm512_set1_epi32(0x40000001)));
}

// Bit i of the result: bytes i to i + 3 all continue, so a varint of five
// bytes or more runs there.
inline std::uint64_t LongVarintRuns(std::uint64_t continued) {
  const std::uint64_t pairs = continued & (continued >> 1);
  return pairs & (pairs >> 2);
}

// The scalar steps take the varints that start from `at` up to `stop`,
// appending at out[*n]; returns where the next varint starts, or null on a
// bad varint. The varint holding the byte before `at`, if it continues past
// it, was taken with the block before.
template <class T>
const std::uint8_t* DecodeScalarSpan(const std::uint8_t* p, std::size_t at, std::size_t stop,
                                     std::size_t size, T* out, std::size_t* n) {
  std::size_t first = at;
  while (first > 0 && first < size && p[first - 1] >= 0x80) ++first;
  return DecodeVarintsUntil(p + first, p + stop, out, n);
}

template <class T, class Trace>
const std::uint8_t* Decode(const std::uint8_t* p, const std::uint8_t* end, T* out,
                           std::size_t room, std::size_t* decoded) {
  const std::size_t size = static_cast<std::size_t>(end - p);
  const __m512i positions = _mm512_load_si512(kIndexes.positions);
  constexpr std::uint64_t kInBlock = (std::uint64_t{1} << kBlock) - 1;
  std::size_t n = 0;
  std::size_t at = 0;          // the block's offset in the payload
  std::uint64_t carried = 0;   // bit 0: the byte before the block continues
  // Whole 64-byte loads, and room for four whole registers of elements.
  while (size - at >= 64 && room - n >= 64) {
    const __m512i data = _mm512_loadu_si512(p + at);
    const std::uint64_t continued = _cvtmask64_u64(_mm512_movepi8_mask(data));
    if ((continued | carried) == 0) {
      // 64 one-byte values, widened as they stand (a column of small
      // values is mostly such blocks).
      for (int i = 0; i < 4; ++i) {
        const __m512i values = _mm512_cvtepu8_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + 16 * i)));
        _mm512_storeu_si512(out + n + 16 * i, FromWireLanes<T>(values));
      }
      n += 64;
      Trace::VectorSteps(64);
      at += 64;
      continue;
    }
    if ((LongVarintRuns(continued) & kInBlock) != 0) {
      const std::uint8_t* q = DecodeScalarSpan(p, at, at + kBlock, size, out, &n);
      if (q == nullptr) {
        *decoded = n;
        return nullptr;
      }
      at = static_cast<std::size_t>(q - p);
      carried = 0;
      continue;
    }
    const std::uint64_t starts = ~((continued << 1) | carried) & kInBlock;
    // The starts' positions, in order; merged into a register, not zeroed.
    const __m512i start_at =
        _mm512_mask_compress_epi8(positions, _cvtu64_mask64(starts), positions);
    const std::size_t count = static_cast<std::size_t>(__builtin_popcountll(starts));
    T* const base = out + n;
    _mm512_storeu_si512(base, DecodeLanes<T>(data, start_at, 0));
    if (count > 16) {
      _mm512_storeu_si512(base + 16, DecodeLanes<T>(data, start_at, 1));
      if (count > 32) {
        _mm512_storeu_si512(base + 32, DecodeLanes<T>(data, start_at, 2));
        if (count > 48) _mm512_storeu_si512(base + 48, DecodeLanes<T>(data, start_at, 3));
      }
    }
    n += count;
    Trace::VectorSteps(count);
    carried = (continued >> (kBlock - 1)) & 1;
    at += kBlock;
  }
  // The rest, with masked loads and stores.
  while (at < size) {
    const std::size_t left = size - at;
    const std::size_t in_block = left < kBlock ? left : kBlock;
    // Masked-off bytes are not read and load as zero: no varint's bytes.
    const __m512i data = left >= 64 ? _mm512_loadu_si512(p + at)
                                    : _mm512_maskz_loadu_epi8(_cvtu64_mask64(LowBits(left)), p + at);
    const std::uint64_t continued = _cvtmask64_u64(_mm512_movepi8_mask(data));
    if ((LongVarintRuns(continued) & LowBits(in_block)) != 0) {
      const std::uint8_t* q = DecodeScalarSpan(p, at, at + in_block, size, out, &n);
      if (q == nullptr) {
        *decoded = n;
        return nullptr;
      }
      at = static_cast<std::size_t>(q - p);
      carried = 0;
      continue;
    }
    const std::uint64_t starts = ~((continued << 1) | carried) & LowBits(in_block);
    const __m512i start_at =
        _mm512_mask_compress_epi8(positions, _cvtu64_mask64(starts), positions);
    const std::size_t count = static_cast<std::size_t>(__builtin_popcountll(starts));
    for (std::size_t c = 0; c < count; c += 16) {
      const std::size_t taken = count - c < 16 ? count - c : 16;
      _mm512_mask_storeu_epi32(out + n, _cvtu32_mask16((1u << taken) - 1),
                               DecodeLanes<T>(data, start_at, static_cast<int>(c / 16)));
      n += taken;
    }
    Trace::VectorSteps(count);
    carried = (continued >> (in_block - 1)) & 1;
    at += in_block;
  }
  *decoded = n;
  return end;
}

// The bytes below 0x80, as the size less the continuation bits; these are
// added up in the vector registers by vpsadbw (each one 0x80 there), so no
// mask goes through a general register.
template <class Trace>
std::size_t CountEndsBlocks(const std::uint8_t* p, std::size_t size) {
  const __m512i top = _mm512_set1_epi8(static_cast<char>(0x80));
  const __m512i zero = _mm512_setzero_si512();
  __m512i sums = zero;
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    const __m512i block = _mm512_loadu_si512(p + i);
    sums = _mm512_add_epi64(sums, _mm512_sad_epu8(_mm512_and_si512(block, top), zero));
  }
  if (i < size) {
    const __m512i block = _mm512_maskz_loadu_epi8(_cvtu64_mask64(LowBits(size - i)), p + i);
    sums = _mm512_add_epi64(sums, _mm512_sad_epu8(_mm512_and_si512(block, top), zero));
  }
  Trace::VectorSteps(size);
  return size - (static_cast<std::size_t>(_mm512_reduce_add_epi64(sums)) >> 7);
}

// Up to 16 elements in wire form; lanes past `lanes` are zero.
template <class T>
__m512i WireLanes(const T* values, __mmask16 lanes) {
  const __m512i v = _mm512_maskz_loadu_epi32(lanes, values);
  if constexpr (std::is_same_v<T, std::int32_t>) {
    return _mm512_xor_si512(_mm512_slli_epi32(v, 1), _mm512_srai_epi32(v, 31));
  } else {
    return v;
  }
}

__mmask16 FirstLanes(std::size_t n) {
  return _cvtu32_mask16(n >= 16 ? 0xffffu : (1u << n) - 1);
}

// Bytes per value, by its leading zeros (of the value with bit 0 set, so 0
// to 31): 5 up to 3, then one fewer per seven.
__m512i EncodedBytes(__m512i wire) {
  const __m512i zeros = _mm512_lzcnt_epi32(_mm512_or_si512(wire, _mm512_set1_epi32(1)));
  const __m512i low = _mm512_setr_epi32(5, 5, 5, 5, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3);
  const __m512i high = _mm512_setr_epi32(3, 3, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1);
  return _mm512_permutex2var_epi32(low, zeros, high);
}

template <class T, class Trace>
std::size_t Size(const T* values, std::size_t n) {
  std::size_t total = 0;
  std::size_t i = 0;
  while (i < n) {
    // Add up before the lanes' sum could pass 2^31: at most 5 bytes a value.
    const std::size_t stop = n - i > (std::size_t{1} << 28) ? i + (std::size_t{1} << 28) : n;
    __m512i bytes = _mm512_setzero_si512();
    for (; i + 16 <= stop; i += 16) {
      bytes = _mm512_add_epi32(bytes, EncodedBytes(WireLanes(values + i, FirstLanes(16))));
    }
    if (i < stop) {
      const __mmask16 lanes = FirstLanes(stop - i);
      bytes = _mm512_mask_add_epi32(bytes, lanes, bytes, EncodedBytes(WireLanes(values + i, lanes)));
      i = stop;
    }
    total += static_cast<std::uint32_t>(_mm512_reduce_add_epi32(bytes));
  }
  Trace::VectorSteps(n);
  return total;
}

template <class T, class Trace>
std::uint8_t* Write(const T* values, std::size_t n, std::uint8_t* out, std::uint8_t* out_end) {
  // Bytes 0 to 3 of each 32-bit lane take bits 0, 7, 14 and 21 on.
  const __m512i groups_at = _mm512_set1_epi64(0x352e2720150e0700);
  const __m512i low7 = _mm512_set1_epi8(0x7f);
  const __m512i top = _mm512_set1_epi8(static_cast<char>(0x80));
  std::size_t i = 0;
  while (i < n) {
    const std::size_t count = n - i < 16 ? n - i : 16;
    const __mmask16 lanes = FirstLanes(count);
    const __m512i wire = WireLanes(values + i, lanes);
    if (_mm512_cmpge_epu32_mask(wire, _mm512_set1_epi32(1 << 28)) != 0) {
      out = WriteVarints(values + i, count, out);  // a five-byte value among them
      i += count;
      continue;
    }
    const __m512i groups = _mm512_and_si512(_mm512_multishift_epi64_epi8(groups_at, wire), low7);
    // A byte is written when it or a later one of its lane holds bits, and
    // the first of each lane always; it continues when the next is written.
    std::uint64_t used = _cvtmask64_u64(_mm512_test_epi8_mask(groups, groups));
    used |= (used >> 1) & 0x7777777777777777u;
    used |= (used >> 2) & 0x3333333333333333u;
    used = (used | 0x1111111111111111u) & LowBits(4 * count);
    const std::uint64_t continues = (used >> 1) & 0x7777777777777777u;
    const __m512i marked = _mm512_mask_add_epi8(groups, _cvtu64_mask64(continues), groups, top);
    const __m512i packed = _mm512_mask_compress_epi8(marked, _cvtu64_mask64(used), marked);
    const std::size_t length = static_cast<std::size_t>(__builtin_popcountll(used));
    if (out_end - out >= 64) {
      _mm512_storeu_si512(out, packed);
    } else {
      _mm512_mask_storeu_epi8(out, _cvtu64_mask64(LowBits(length)), packed);
    }
    out += length;
    Trace::VectorSteps(count);
    i += count;
  }
  return out;
}

template <class Trace>
constexpr VarintKernel MakeKernel() {
  return {
      "avx512",
      &CountEndsBlocks<Trace>,
      &Decode<std::uint32_t, Trace>,
      &Decode<std::int32_t, Trace>,
      &Size<std::uint32_t, Trace>,
      &Size<std::int32_t, Trace>,
      &Write<std::uint32_t, Trace>,
      &Write<std::int32_t, Trace>,
  };
}

const VarintKernel kAvx512VarintKernel = MakeKernel<Untraced>();
const VarintKernel kCountingAvx512VarintKernel = MakeKernel<CountVectorSteps>();

}  // namespace

VectorKernel PrepareAvx512VarintKernel() {
  return {&kAvx512VarintKernel, &kCountingAvx512VarintKernel};
}

}  // namespace kernels
}  // namespace Pb
TARVESH_UNTARGET_REGION

#else

namespace Pb {
namespace kernels {
VectorKernel PrepareAvx512VarintKernel() { return {nullptr, nullptr}; }
}  // namespace kernels
}  // namespace Pb

#endif
