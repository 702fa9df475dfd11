// SPDX-License-Identifier: BSD-3-Clause
// The AVX-512 kernel (F, BW, CD, VBMI, VBMI2, with BMI2's pdep).
//
// Not the block kernel over traits: opmasks make a different method
// cheaper. Decoding reads each varint from its FIRST byte: vpermt2b gathers,
// for 16 byte positions at a time, the four bytes from each position on
// into a lane of its own, zeroing every byte past the varint's last (the
// mask comes from runs of continuation bits, spread with pdep), and two
// multiply-adds join the 7-bit groups. A compress keeps the lanes where a
// varint starts, in order. No shuffle table, no step from value to value,
// and masked loads and stores take the payload's ends, so no scalar head or
// tail. Writing spreads each value's 7-bit groups over its lane's bytes with
// vpmultishiftqb and packs the used bytes with vpcompressb; sizing counts
// bytes from each value's leading zeros.
//
// Compresses go to a register and are then stored, and merge their result
// into a register rather than zeroing it: on AMD's Zen 4 a compress to
// memory is microcoded and a zeroing compress waits on its destination.
// pdep is fast on every processor with AVX-512.
#include "kernels/VarintPlatform.h"
#include "kernels/VarintRegistry.h"

#if defined(TARVESH_KERNELS_X86_64)
#include <immintrin.h>

#include <cstddef>
#include <type_traits>

#include "kernels/VarintScalar.h"

// GCC 12's AVX-512 intrinsics start the lanes they leave alone from an
// undefined register, which -Wmaybe-uninitialized takes for a read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

TARVESH_TARGET_REGION("avx512f,avx512bw,avx512cd,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt")
namespace Pb {
namespace kernels {
namespace {

// The low `n` bits set, n <= 64.
std::uint64_t LowBits(std::size_t n) { return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1; }

// Index vectors of vpermt2b: lane k of group g takes bytes 16g + k to
// 16g + k + 3 of the 128 bytes from the block's start.
struct WindowIndexes {
  alignas(64) std::uint8_t group[4][64];
  constexpr WindowIndexes() : group() {
    for (int g = 0; g < 4; ++g) {
      for (int i = 0; i < 64; ++i) group[g][i] = static_cast<std::uint8_t>(16 * g + i / 4 + i % 4);
    }
  }
};
constexpr WindowIndexes kWindows;

// The varints starting in 16 positions of the 128 bytes at a7/b7 (each byte
// less its continuation bit), `starts` bit k set where position 16g + k
// starts one; appended at out[*n]. `runs[j]` bit i: bytes i to i + j all
// continue, so byte j + 1 of a window at i belongs to its varint.
template <class T>
void DecodeGroup(int g, __m512i a7, __m512i b7, const std::uint64_t runs[3], std::uint64_t starts,
                 T* out, std::size_t* n) {
  const int shift = 16 * g;
  const std::uint64_t own = 0x1111111111111111u |
                            _pdep_u64(runs[0] >> shift, 0x2222222222222222u) |
                            _pdep_u64(runs[1] >> shift, 0x4444444444444444u) |
                            _pdep_u64(runs[2] >> shift, 0x8888888888888888u);
  const __m512i index = _mm512_load_si512(kWindows.group[g]);
  const __m512i bytes = _mm512_maskz_permutex2var_epi8(_cvtu64_mask64(own), a7, index, b7);
  const __m512i pairs = _mm512_maddubs_epi16(_mm512_set1_epi16(static_cast<short>(0x8001)), bytes);
  __m512i values = _mm512_madd_epi16(pairs, _mm512_set1_epi32(0x40000001));
  if constexpr (std::is_same_v<T, std::int32_t>) {
    values = _mm512_xor_si512(_mm512_srli_epi32(values, 1),
                              _mm512_srai_epi32(_mm512_slli_epi32(values, 31), 31));
  }
  const __mmask16 keep = _cvtu32_mask16(static_cast<std::uint32_t>(starts >> shift) & 0xffff);
  const __m512i packed = _mm512_mask_compress_epi32(values, keep, values);
  const unsigned count = static_cast<unsigned>(__builtin_popcount(_cvtmask16_u32(keep)));
  _mm512_mask_storeu_epi32(out + *n, _cvtu32_mask16((1u << count) - 1), packed);
  *n += count;
}

template <class T, class Trace>
const std::uint8_t* Decode(const std::uint8_t* p, const std::uint8_t* end, T* out,
                           std::size_t /*room*/, std::size_t* decoded) {
  const std::size_t size = static_cast<std::size_t>(end - p);
  const __m512i low7 = _mm512_set1_epi8(0x7f);
  std::size_t n = 0;
  std::size_t at = 0;          // the block's offset in the payload
  std::uint64_t carried = 0;   // bit 0: the byte before the block continues
  while (at < size) {
    const std::size_t left = size - at;
    __m512i a, b = _mm512_setzero_si512();
    if (left >= 128) {
      a = _mm512_loadu_si512(p + at);
      b = _mm512_loadu_si512(p + at + 64);
    } else {
      // Masked-off bytes are not read and load as zero: ends of no varint
      // that counts, as the starts past the payload are dropped below.
      a = _mm512_maskz_loadu_epi8(_cvtu64_mask64(LowBits(left)), p + at);
      if (left > 64) b = _mm512_maskz_loadu_epi8(_cvtu64_mask64(LowBits(left - 64)), p + at + 64);
    }
    const std::uint64_t continued = _cvtmask64_u64(_mm512_movepi8_mask(a));
    const std::uint64_t next = _cvtmask64_u64(_mm512_movepi8_mask(b));
    const std::uint64_t starts = ~((continued << 1) | carried) & LowBits(left);
    std::uint64_t runs[3];
    runs[0] = continued;
    runs[1] = runs[0] & ((continued >> 1) | (next << 63));
    runs[2] = runs[1] & ((continued >> 2) | (next << 62));
    const std::uint64_t long_varint = runs[2] & ((continued >> 3) | (next << 61));
    if (long_varint != 0) {
      // A varint of five bytes or more starts in the block: the scalar
      // steps take the varints starting in it, and the next block starts
      // at the first varint past it.
      std::size_t first = at;
      while (first < size && first > 0 && p[first - 1] >= 0x80) ++first;
      const std::uint8_t* stop = left > 64 ? p + at + 64 : end;
      const std::uint8_t* q = DecodeVarintsUntil(p + first, stop, out, &n);
      if (q == nullptr) {
        *decoded = n;
        return nullptr;
      }
      at = static_cast<std::size_t>(q - p);
      carried = 0;
      continue;
    }
    const __m512i a7 = _mm512_and_si512(a, low7);
    const __m512i b7 = _mm512_and_si512(b, low7);
    const std::size_t before = n;
    DecodeGroup(0, a7, b7, runs, starts, out, &n);
    DecodeGroup(1, a7, b7, runs, starts, out, &n);
    DecodeGroup(2, a7, b7, runs, starts, out, &n);
    DecodeGroup(3, a7, b7, runs, starts, out, &n);
    Trace::VectorSteps(n - before);
    carried = continued >> 63;
    at += left < 64 ? left : 64;
  }
  *decoded = n;
  return end;
}

template <class Trace>
std::size_t CountEndsBlocks(const std::uint8_t* p, std::size_t size) {
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    const __m512i block = _mm512_loadu_si512(p + i);
    count += static_cast<std::size_t>(__builtin_popcountll(~_cvtmask64_u64(_mm512_movepi8_mask(block))));
  }
  if (i < size) {
    const std::uint64_t in_payload = LowBits(size - i);
    const __m512i block = _mm512_maskz_loadu_epi8(_cvtu64_mask64(in_payload), p + i);
    count += static_cast<std::size_t>(
        __builtin_popcountll(~_cvtmask64_u64(_mm512_movepi8_mask(block)) & in_payload));
  }
  Trace::VectorSteps(size);
  return count;
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
