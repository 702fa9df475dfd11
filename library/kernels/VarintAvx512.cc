// SPDX-License-Identifier: BSD-3-Clause
// The AVX-512 kernel (F, BW, CD, VBMI, VBMI2).
//
// Not the block kernel over traits: opmasks make a different method
// cheaper. Decoding reads each varint from its FIRST byte: a byte compress
// lists where the block's varints start, in order, and for each 16 of them
// one vpermb gathers the four bytes from each start into a lane of its own;
// a carry across the lane clears the bytes past the varint's last, and two
// multiply-adds join the 7-bit groups. A block whose varints have at most
// two bytes takes 32 of them a register, in 16-bit lanes. The work follows
// the number of values, not of bytes; there is no shuffle table and no step
// from value to value; masked loads and stores take the payload's ends, so
// no scalar head or tail. Writing spreads each value's 7-bit groups over
// its lane's bytes with vpmultishiftqb and packs the used bytes with
// vpcompressb; sizing counts bytes from each value's leading zeros.
//
// Compresses go to a register and are then stored, and merge their result
// into a register rather than zeroing it: on AMD's Zen 4 a compress to
// memory is microcoded and a zeroing compress waits on its destination.
#include "kernels/VarintPlatform.h"
#include "kernels/VarintRegistry.h"

#if defined(TARVESH_KERNELS_X86_64)
#include <immintrin.h>

#include <algorithm>
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
// then ends within the 64 bytes loaded, which one vpermb reaches. (A block
// of one-byte values takes all 64.)
constexpr std::size_t kBlock = 61;

// Permute indexes: the positions 0 to 63; for output register c, lane k's
// four bytes taking the position of start 16c + k, and each lane's bytes
// numbered 0 to 3; the same for 16-bit lanes: register h, lane k, start
// 32h + k, bytes 0 and 1.
struct Indexes {
  alignas(64) std::uint8_t positions[64];
  alignas(64) std::uint8_t start_of_lane[4][64];
  alignas(64) std::uint8_t byte_in_lane[64];
  alignas(64) std::uint8_t start_of_short_lane[2][64];
  alignas(64) std::uint8_t byte_in_short_lane[64];
  constexpr Indexes()
      : positions(), start_of_lane(), byte_in_lane(), start_of_short_lane(), byte_in_short_lane() {
    for (int i = 0; i < 64; ++i) {
      positions[i] = static_cast<std::uint8_t>(i);
      byte_in_lane[i] = static_cast<std::uint8_t>(i % 4);
      for (int c = 0; c < 4; ++c) start_of_lane[c][i] = static_cast<std::uint8_t>(16 * c + i / 4);
      byte_in_short_lane[i] = static_cast<std::uint8_t>(i % 2);
      for (int h = 0; h < 2; ++h) start_of_short_lane[h][i] = static_cast<std::uint8_t>(32 * h + i / 2);
    }
  }
};
constexpr Indexes kIndexes;

// Elements from their wire form: ZigZag-decoded for int32_t.
template <class T>
__m512i FromWireLanes(__m512i raw, __m512i one) {
  if constexpr (std::is_same_v<T, std::int32_t>) {
    // raw >> 1, inverted in the lanes whose bit 0 is set.
    const __m512i half = _mm512_srli_epi32(raw, 1);
    return _mm512_mask_ternarylogic_epi32(half, _mm512_test_epi32_mask(raw, one),
                                          half, half, 0x55);
  } else {
    return raw;
  }
}

// The constants of the decode, loaded once per column.
struct DecodeConstants {
  __m512i positions, start_of_lane[4], byte_in_lane, start_of_short_lane[2], byte_in_short_lane;
  __m512i low7, one, one16, pair_weights, quad_weights;
  DecodeConstants()
      : positions(_mm512_load_si512(kIndexes.positions)),
        start_of_lane{_mm512_load_si512(kIndexes.start_of_lane[0]),
                      _mm512_load_si512(kIndexes.start_of_lane[1]),
                      _mm512_load_si512(kIndexes.start_of_lane[2]),
                      _mm512_load_si512(kIndexes.start_of_lane[3])},
        byte_in_lane(_mm512_load_si512(kIndexes.byte_in_lane)),
        start_of_short_lane{_mm512_load_si512(kIndexes.start_of_short_lane[0]),
                            _mm512_load_si512(kIndexes.start_of_short_lane[1])},
        byte_in_short_lane(_mm512_load_si512(kIndexes.byte_in_short_lane)),
        low7(_mm512_set1_epi8(0x7f)),
        one(_mm512_set1_epi32(1)),
        one16(_mm512_set1_epi16(1)),
        pair_weights(_mm512_set1_epi16(static_cast<short>(0x8001))),
        quad_weights(_mm512_set1_epi32(0x40000001)) {
    // Hidden from the compiler, which would otherwise build some of them
    // again for every register rather than keep them in registers.
    asm("" : "+v"(low7), "+v"(one), "+v"(pair_weights), "+v"(quad_weights), "+v"(byte_in_lane),
        "+v"(one16), "+v"(byte_in_short_lane));
  }
};

// Up to 16 varints of the block `data`: lane k decodes the varint starting
// at byte starts[16c + k]. Each lane first takes the four bytes from its
// start on. Or-ing 0x7f into every byte makes a continuation byte 0xff and a
// last byte 0x7f, so adding 1 to the lane carries through the varint's
// continuation bytes, clears them and stops at its last byte, which becomes
// 0x80; the bytes past the varint keep their value, so and-ing the data
// with the complement of the sum and with 0x7f leaves the varint's 7-bit
// groups alone. Two multiply-adds join them.
template <class T>
__m512i DecodeLanes(const DecodeConstants& k, __m512i data, __m512i starts, int c) {
  const __m512i at =
      _mm512_add_epi8(_mm512_permutexvar_epi8(k.start_of_lane[c], starts), k.byte_in_lane);
  const __m512i window = _mm512_permutexvar_epi8(at, data);
  const __m512i carried = _mm512_add_epi32(_mm512_or_si512(window, k.low7), k.one);
  // window & ~carried & low7
  const __m512i bytes = _mm512_ternarylogic_epi32(window, carried, k.low7, 0x20);
  const __m512i pairs = _mm512_maddubs_epi16(k.pair_weights, bytes);
  return FromWireLanes<T>(_mm512_madd_epi16(pairs, k.quad_weights), k.one);
}

// Up to 32 varints of one or two bytes, as DecodeLanes but in 16-bit lanes:
// lane k of register h decodes the varint starting at byte starts[32h + k].
// A lane's carry clears its second byte when the first ends the varint;
// one multiply-add joins the two 7-bit groups. Elements, ZigZag-decoded
// for int32_t, in 16 bits.
template <class T>
__m512i DecodeShortLanes(const DecodeConstants& k, __m512i data, __m512i starts, int h) {
  const __m512i at = _mm512_add_epi8(_mm512_permutexvar_epi8(k.start_of_short_lane[h], starts),
                                     k.byte_in_short_lane);
  const __m512i window = _mm512_permutexvar_epi8(at, data);
  const __m512i carried = _mm512_add_epi16(_mm512_or_si512(window, k.low7), k.one16);
  const __m512i bytes = _mm512_ternarylogic_epi32(window, carried, k.low7, 0x20);
  const __m512i raw = _mm512_maddubs_epi16(k.pair_weights, bytes);
  if constexpr (std::is_same_v<T, std::int32_t>) {
    // raw >> 1, less one and negated (~) in the lanes whose bit 0 is set.
    const __m512i half = _mm512_srli_epi16(raw, 1);
    return _mm512_mask_sub_epi16(half, _mm512_test_epi16_mask(raw, k.one16),
                                 _mm512_set1_epi16(-1), half);
  } else {
    return raw;
  }
}

// 16 elements widened from the 16-bit lanes of half H of `values`.
template <class T, int H>
__m512i WidenShortLanes(__m512i values) {
  const __m256i half = _mm512_extracti64x4_epi64(values, H);
  if constexpr (std::is_same_v<T, std::int32_t>) {
    return _mm512_cvtepi16_epi32(half);
  } else {
    return _mm512_cvtepu16_epi32(half);
  }
}

// The 16 values of quarter Q of a block of one-byte varints, as they stand,
// stored at out[16 * Q]: whole, or where `in_load` (the block's loaded
// bytes) has them.
template <bool kWhole, class T, int Q>
void StoreOneByteValues(__m512i data, __m512i one, std::uint64_t in_load, T* out) {
  const __m512i values =
      FromWireLanes<T>(_mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(data, Q)), one);
  if constexpr (kWhole) {
    _mm512_storeu_si512(out + 16 * Q, values);
  } else {
    _mm512_mask_storeu_epi32(out + 16 * Q,
                             _cvtu32_mask16(static_cast<std::uint32_t>(in_load >> (16 * Q))), values);
  }
}

// The position in the payload, the elements decoded, and bit 0: whether
// the byte before the position continues a varint already decoded.
struct DecodeState {
  std::size_t at = 0;
  std::size_t n = 0;
  std::uint64_t carried = 0;
};

// What a block leaves: the next block to decode, a full room (the position
// is then the first varint not decoded), or a bad varint.
enum class Step { kNext, kFull, kBad };

// One block of up to 64 loaded bytes, from a varint's start or from where
// the block before stopped: whole (64 bytes to load, room for 64 elements;
// these steps are reported to Trace), or masked to what is left, so the
// payload's ends need no scalar steps. A masked block with more varints
// than room left goes to the scalar steps, which fill the room.
template <bool kWhole, class T, class Trace>
__attribute__((always_inline)) inline Step DecodeBlock(const DecodeConstants& k,
                                                       const std::uint8_t* p, std::size_t size,
                                                       T* out, std::size_t room,
                                                       DecodeState* state) {
  const std::size_t at = state->at;
  const std::size_t loaded = kWhole ? 64 : std::min<std::size_t>(size - at, 64);
  const std::uint64_t in_load = LowBits(loaded);
  // Masked-off bytes are not read and load as zero: no varint's bytes.
  const __m512i data = kWhole ? _mm512_loadu_si512(p + at)
                              : _mm512_maskz_loadu_epi8(_cvtu64_mask64(in_load), p + at);
  const std::uint64_t continued = _cvtmask64_u64(_mm512_movepi8_mask(data));
  T* const base = out + state->n;
  // The scalar steps count in a local, so the state's address is never
  // taken and it stays in registers.
  const auto scalar_steps = [&](std::size_t from, std::size_t to) {
    std::size_t n = state->n;
    const std::uint8_t* q = DecodeVarintsUntil(p + from, p + to, out, &n, room);
    state->n = n;
    return q;
  };
  const auto fill_room = [&](std::size_t from) {
    const std::uint8_t* q = scalar_steps(from, size);
    if (q == nullptr) return Step::kBad;
    state->at = static_cast<std::size_t>(q - p);
    return Step::kFull;
  };
  if ((continued | state->carried) == 0) {
    if (!kWhole && loaded > room - state->n) return fill_room(at);
    // One-byte values only, widened as they stand: a column of small values
    // is mostly such blocks.
    StoreOneByteValues<kWhole, T, 0>(data, k.one, in_load, base);
    StoreOneByteValues<kWhole, T, 1>(data, k.one, in_load, base);
    StoreOneByteValues<kWhole, T, 2>(data, k.one, in_load, base);
    StoreOneByteValues<kWhole, T, 3>(data, k.one, in_load, base);
    if (kWhole) Trace::VectorSteps(loaded);
    state->n += loaded;
    state->at += loaded;
    return Step::kNext;
  }
  const std::size_t in_block = std::min(loaded, kBlock);
  const std::uint64_t block = LowBits(in_block);
  const std::uint64_t starts = ~((continued << 1) | state->carried) & block;
  // A run of four continuation bytes starting in the block (a varint of
  // five bytes or more) has its fourth byte in the block or the three bytes
  // after it, all loaded. The scalar steps then take the varints starting
  // in the block (one does: the long one), and the next block starts at the
  // first varint past them.
  // (Bit i of `pairs`: bytes i - 1 and i continue; of its and with itself
  // shifted by two, bytes i - 3 to i do.)
  const std::uint64_t pairs = continued & (continued << 1);
  if ((pairs & (pairs << 2) & LowBits(in_block + 3)) != 0) {
    const std::size_t first = at + static_cast<std::size_t>(__builtin_ctzll(starts));
    const std::uint8_t* q = scalar_steps(first, at + in_block);
    if (q == nullptr) return Step::kBad;
    state->at = static_cast<std::size_t>(q - p);
    state->carried = 0;
    return state->n == room ? Step::kFull : Step::kNext;
  }
  // The starts' positions, in order; merged into a register, not zeroed.
  const __m512i start_at =
      _mm512_mask_compress_epi8(k.positions, _cvtu64_mask64(starts), k.positions);
  const std::size_t count = static_cast<std::size_t>(__builtin_popcountll(starts));
  if (!kWhole && count > room - state->n) {
    return fill_room(at + static_cast<std::size_t>(__builtin_ctzll(starts)));
  }
  // Stores elements 16c to 16c + 15: whole, the lanes past the last element
  // written over by the next block or falling in the room left; or masked
  // to the elements.
  const std::uint64_t elements = LowBits(count);
  const auto put = [&](int c, __m512i values) {
    if constexpr (kWhole) {
      _mm512_storeu_si512(base + 16 * c, values);
    } else {
      _mm512_mask_storeu_epi32(base + 16 * c,
                               _cvtu32_mask16(static_cast<std::uint32_t>(elements >> (16 * c))),
                               values);
    }
  };
  // A whole block has a varint starting in it (else it is all continuation
  // bytes, which the scalar steps took above), so the first register always
  // holds an element; a masked block's stores hold only its elements.
  if ((pairs & LowBits(in_block + 1)) == 0) {
    // No varint starting in the block has a third byte (its second would
    // continue too): 32 elements a register in 16-bit lanes, widened as
    // they are stored.
    const __m512i low = DecodeShortLanes<T>(k, data, start_at, 0);
    put(0, WidenShortLanes<T, 0>(low));
    if (count > 16) put(1, WidenShortLanes<T, 1>(low));
    if (count > 32) {
      const __m512i high = DecodeShortLanes<T>(k, data, start_at, 1);
      put(2, WidenShortLanes<T, 0>(high));
      if (count > 48) put(3, WidenShortLanes<T, 1>(high));
    }
  } else {
    put(0, DecodeLanes<T>(k, data, start_at, 0));
    if (count > 16) put(1, DecodeLanes<T>(k, data, start_at, 1));
    if (count > 32) put(2, DecodeLanes<T>(k, data, start_at, 2));
    if (count > 48) put(3, DecodeLanes<T>(k, data, start_at, 3));
  }
  if (kWhole) Trace::VectorSteps(count);
  state->n += count;
  state->carried = (continued >> (in_block - 1)) & 1;
  state->at += in_block;
  return Step::kNext;
}

// A block masked to what is left of the payload or the room: out of line,
// so that the loop of whole blocks keeps its state in registers.
template <class T, class Trace>
[[gnu::noinline]] Step DecodeMaskedBlock(const std::uint8_t* p, std::size_t size, T* out,
                                         std::size_t room, DecodeState* state) {
  const DecodeConstants k;
  return DecodeBlock<false, T, Trace>(k, p, size, out, room, state);
}

template <class T, class Trace>
const std::uint8_t* Decode(const std::uint8_t* p, const std::uint8_t* end, T* out,
                           std::size_t room, std::size_t* decoded) {
  const std::size_t size = static_cast<std::size_t>(end - p);
  const DecodeConstants k;
  DecodeState state;
  Step step = Step::kNext;
  // A whole block needs 64 bytes and room for 64 elements left.
  const std::size_t whole_below = size < 64 ? 0 : size - 63;
  const std::size_t whole_room_below = room < 64 ? 0 : room - 63;
  while (step == Step::kNext && state.at != size) {
    // Whole blocks in a loop of their own, with no call, so that the
    // constants stay in registers.
    while (step == Step::kNext && state.at < whole_below && state.n < whole_room_below) {
      step = DecodeBlock<true, T, Trace>(k, p, size, out, room, &state);
    }
    if (step != Step::kNext || state.at == size) break;
    DecodeState masked = state;
    step = DecodeMaskedBlock<T, Trace>(p, size, out, room, &masked);
    state = masked;
  }
  *decoded = state.n;
  return step == Step::kBad ? nullptr : p + state.at;
}

// The bytes below 0x80, as the size less the continuation bits; these are
// added up in the vector registers by vpsadbw (each one 0x80 there), so no
// mask goes through a general register. Whole 64-byte loads are reported to
// Trace, the masked load of the rest is not.
template <class Trace>
std::size_t CountEndsBlocks(const std::uint8_t* p, std::size_t size) {
  const __m512i top = _mm512_set1_epi8(static_cast<char>(0x80));
  const __m512i zero = _mm512_setzero_si512();
  __m512i sums = zero;
  std::size_t i = 0;
  for (; size - i >= 64; i += 64) {
    const __m512i block = _mm512_loadu_si512(p + i);
    sums = _mm512_add_epi64(sums, _mm512_sad_epu8(_mm512_and_si512(block, top), zero));
  }
  Trace::VectorSteps(i);
  const __m512i rest = _mm512_maskz_loadu_epi8(_cvtu64_mask64(LowBits(size - i)), p + i);
  sums = _mm512_add_epi64(sums, _mm512_sad_epu8(_mm512_and_si512(rest, top), zero));
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

// Bytes per value, by its leading zeros (of the value with bit 0 set, so 0
// to 31): 5 up to 3, then one fewer per seven.
__m512i EncodedBytes(__m512i wire) {
  const __m512i zeros = _mm512_lzcnt_epi32(_mm512_or_si512(wire, _mm512_set1_epi32(1)));
  const __m512i low = _mm512_setr_epi32(5, 5, 5, 5, 4, 4, 4, 4, 4, 4, 4, 3, 3, 3, 3, 3);
  const __m512i high = _mm512_setr_epi32(3, 3, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1);
  return _mm512_permutex2var_epi32(low, zeros, high);
}

// The byte counts, one per 32-bit lane (each below 256), are added up by
// vpsadbw into 64-bit lanes, which no column can make wrap. Whole registers
// are reported to Trace, the masked rest is not.
template <class T, class Trace>
std::size_t Size(const T* values, std::size_t n) {
  const __m512i zero = _mm512_setzero_si512();
  __m512i total = zero;
  std::size_t i = 0;
  for (; n - i >= 16; i += 16) {
    total = _mm512_add_epi64(total, _mm512_sad_epu8(EncodedBytes(WireLanes(values + i, 0xffff)), zero));
  }
  Trace::VectorSteps(i);
  const __mmask16 lanes = _cvtu32_mask16(static_cast<std::uint32_t>(LowBits(n - i)));
  const __m512i rest = _mm512_maskz_mov_epi32(lanes, EncodedBytes(WireLanes(values + i, lanes)));
  total = _mm512_add_epi64(total, _mm512_sad_epu8(rest, zero));
  return static_cast<std::size_t>(_mm512_reduce_add_epi64(total));
}

// Registers of 16 values; the last, of fewer, loaded masked. A register's
// bytes are stored whole while 64 bytes of room are left, else masked to
// the bytes written; whole registers stored whole are reported to Trace.
template <class T, class Trace>
std::uint8_t* Write(const T* values, std::size_t n, std::uint8_t* out, std::uint8_t* out_end) {
  // Bytes 0 to 3 of each 32-bit lane take bits 0, 7, 14 and 21 on.
  const __m512i groups_at = _mm512_set1_epi64(0x352e2720150e0700);
  const __m512i low7 = _mm512_set1_epi8(0x7f);
  const __m512i top = _mm512_set1_epi8(static_cast<char>(0x80));
  for (std::size_t i = 0; i != n;) {
    const std::size_t count = std::min<std::size_t>(n - i, 16);
    const __mmask16 lanes = _cvtu32_mask16(static_cast<std::uint32_t>(LowBits(count)));
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
    if (std::min<std::ptrdiff_t>(out_end - out, 4 * static_cast<std::ptrdiff_t>(count)) >= 64) {
      _mm512_storeu_si512(out, packed);
      Trace::VectorSteps(count);
    } else {
      _mm512_mask_storeu_epi8(out, _cvtu64_mask64(LowBits(length)), packed);
    }
    out += length;
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
