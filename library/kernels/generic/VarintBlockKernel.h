// SPDX-License-Identifier: BSD-3-Clause
// The vector kernel, written once over an instruction set's traits `Simd`.
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
// Writing spreads a register of values' 7-bit groups into the four bytes of
// their lanes, sets the continuation bits from three compares, and packs the
// used bytes together with a shuffle from a table indexed by the lengths.
// Sizing adds up the same compares.
//
// What `Simd` gives, as static members (all 32-bit lanes):
//   kName, kLanes          the kernel's name; lanes per register
//   Lanes                  the register type
//   ContinuationBits(p)    bit i set where byte p[i] (i < 64) is >= 0x80
//   DecodeChunk<T>(chunk, key, out)
//                          the varints ending in the 8 bytes at chunk into 8
//                          elements at out (ZigZag-decoded for int32_t); key
//                          as varint_decode_shuffle is indexed
//   Load(p), Set(x), Zero(), And, Or, Xor, Add, ShiftLeft(v, n),
//   ShiftRight(v, n), ShiftRightSigned(v, n), Positive(v) (all ones where
//   v > 0 as signed), Greater(a, b) (all ones where a > b as signed), Any(v),
//   AnyCommon(a, b) (a bit set in both), Sum(v) (of all lanes, modulo 2^32)
//   StorePacked(bytes, low, high, out)
//                          stores the first 1 to 4 bytes of each lane packed
//                          together at out (low and high are all ones or
//                          zero per lane: the length minus one of a lane is
//                          1 where low is set plus 2 where high is); returns
//                          the end. Writes kLanes * 4 bytes at most.
//
// Included by each instruction set's source inside its anonymous namespace
// and target region, so every instantiation is compiled for that set and
// stays private to its file.

template <class Simd, class Trace>
std::size_t CountEndsBlocks(const std::uint8_t* p, std::size_t size) {
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 64 <= size; i += 64) {
    count += static_cast<std::size_t>(__builtin_popcountll(~Simd::ContinuationBits(p + i)));
    Trace::VectorSteps(64);
  }
  return count + CountEnds(p + i, size - i);
}

template <class Simd, class T, class Trace>
const std::uint8_t* DecodeBlocks(const std::uint8_t* p, const std::uint8_t* end, T* out,
                                 std::size_t room, std::size_t* decoded) {
  const std::uint8_t* const begin = p;
  std::size_t n = 0;
  *decoded = 0;
  // A chunk's loads reach 8 bytes back.
  p = DecodeVarintsUntil(p, p + std::min<std::ptrdiff_t>(end - p, 8), out, &n, room);
  if (p == nullptr) {
    *decoded = n;
    return nullptr;
  }
  // q is the next block; `previous` the continuation bits of the 64 bytes
  // before it, all clear where q starts a varint.
  const std::uint8_t* q = p;
  std::uint64_t previous = 0;
  while (end - q >= 64) {
    const std::uint64_t continued = Simd::ContinuationBits(q);
    const std::uint64_t ends = ~continued;
    const std::uint64_t long_varint = LongVarintBytes(continued, previous);
    const std::size_t in_block = static_cast<std::size_t>(__builtin_popcountll(ends));
    if (n + in_block + 8 > room) break;  // the last lanes would pass the room
    if (long_varint != 0) {
      // The scalar steps take the block, from its first unfinished varint
      // to the first varint boundary at or past its end.
      p = DecodeVarintsUntil(VarintStart(begin, q), q + 64, out, &n, room);
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
    Simd::DecodeChunk(q, static_cast<unsigned>(((continued & 0xff) << 4) | (previous >> 60)),
                      base);
    at += static_cast<std::size_t>(__builtin_popcountll(ends & 0xff));
#pragma GCC unroll 7
    for (int j = 1; j < 8; ++j) {
      Simd::DecodeChunk(q + 8 * j, static_cast<unsigned>((continued >> (8 * j - 4)) & 0xfff),
                        base + at);
      at += static_cast<std::size_t>(__builtin_popcountll((ends >> (8 * j)) & 0xff));
    }
    n += at;
    Trace::VectorSteps(at);
    previous = continued;
    q += 64;
  }
  p = DecodeVarintsUntil(VarintStart(begin, q), end, out, &n, room);
  *decoded = n;
  return p;
}

// A register of elements in wire form.
template <class Simd, class T>
typename Simd::Lanes WireLanes(const T* values) {
  const typename Simd::Lanes v = Simd::Load(values);
  if constexpr (std::is_same_v<T, std::int32_t>) {
    return Simd::Xor(Simd::ShiftLeft(v, 1), Simd::ShiftRightSigned(v, 31));
  } else {
    return v;
  }
}

template <class Simd>
typename Simd::Lanes AtLeast(typename Simd::Lanes v, int bits) {
  return Simd::Positive(Simd::ShiftRight(v, bits));
}

// Bytes past the first of each value, each lane counting down by one per
// byte (a compare gives -1).
template <class Simd, class T, class Trace>
std::size_t SizeBlocks(const T* values, std::size_t n) {
  constexpr std::size_t kLanes = Simd::kLanes;
  std::size_t total = 0;
  std::size_t i = 0;
  while (i + kLanes <= n) {
    // A lane falls by at most 4 per step: sum before it could wrap.
    const std::size_t stop = n - i > (std::size_t{1} << 28) ? i + (std::size_t{1} << 28) : n;
    typename Simd::Lanes extra = Simd::Zero();
    for (; i + kLanes <= stop; i += kLanes) {
      const typename Simd::Lanes v = WireLanes<Simd>(values + i);
      extra = Simd::Add(extra,
                        Simd::Add(Simd::Add(AtLeast<Simd>(v, 7), AtLeast<Simd>(v, 14)),
                                  Simd::Add(AtLeast<Simd>(v, 21), AtLeast<Simd>(v, 28))));
      Trace::VectorSteps(kLanes);
    }
    total += 0u - Simd::Sum(extra);
  }
  return total + i + VarintsSize(values + i, n - i);
}

template <class Simd, class T, class Trace>
std::uint8_t* WriteBlocks(const T* values, std::size_t n, std::uint8_t* out,
                          std::uint8_t* out_end) {
  using Lanes = typename Simd::Lanes;
  constexpr std::size_t kLanes = Simd::kLanes;
  // A block of values below 2^28 advances and stores kLanes * 4 bytes at
  // most: the blocks that fit in the room left are counted at once rather
  // than tested one by one. A block holding a five-byte value goes through
  // the scalar steps, and the count starts again after it.
  std::size_t i = 0;
  while (n - i >= kLanes) {
    std::size_t blocks = std::min((n - i) / kLanes,
                                  static_cast<std::size_t>(out_end - out) / (kLanes * 4));
    if (blocks == 0) break;
    for (; blocks != 0; --blocks, i += kLanes) {
      const Lanes v = WireLanes<Simd>(values + i);
      if (Simd::AnyCommon(v, Simd::Set(0xf0000000u))) break;
      // Below 2^28 the lanes compare as signed numbers.
      const Lanes ge7 = Simd::Greater(v, Simd::Set(0x7f));
      const Lanes ge14 = Simd::Greater(v, Simd::Set(0x3fff));
      const Lanes ge21 = Simd::Greater(v, Simd::Set(0x1fffff));
      // Groups 2 and 3 move up two bits, then groups 1 and 3 one bit.
      Lanes bytes = Simd::Add(Simd::And(v, Simd::Set(0x3fff)),
                              Simd::ShiftLeft(Simd::And(v, Simd::Set(0xfffc000)), 2));
      bytes = Simd::Add(bytes, Simd::And(bytes, Simd::Set(0x3f803f80)));
      // Continuation bits: the compares' all-ones lanes, shifted down to
      // cover the bytes before the last.
      const Lanes continued =
          Simd::Or(Simd::ShiftRight(ge7, 24),
                   Simd::Or(Simd::ShiftRight(ge14, 16), Simd::ShiftRight(ge21, 8)));
      bytes = Simd::Or(bytes, Simd::And(continued, Simd::Set(0x808080)));
      // Length minus one, 0 to 3: bit 0 in `low`, bit 1 in ge14.
      const Lanes low = Simd::Xor(Simd::Xor(ge7, ge14), ge21);
      out = Simd::StorePacked(bytes, low, ge14, out);
      Trace::VectorSteps(kLanes);
    }
    if (blocks != 0) {
      out = WriteVarints(values + i, kLanes, out);
      i += kLanes;
    }
  }
  return WriteVarints(values + i, n - i, out);
}

template <class Simd, class Trace>
constexpr VarintKernel MakeBlockKernel() {
  return {
      Simd::kName,
      &CountEndsBlocks<Simd, Trace>,
      &DecodeBlocks<Simd, std::uint32_t, Trace>,
      &DecodeBlocks<Simd, std::int32_t, Trace>,
      &SizeBlocks<Simd, std::uint32_t, Trace>,
      &SizeBlocks<Simd, std::int32_t, Trace>,
      &WriteBlocks<Simd, std::uint32_t, Trace>,
      &WriteBlocks<Simd, std::int32_t, Trace>,
  };
}
