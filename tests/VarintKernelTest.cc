// SPDX-License-Identifier: BSD-3-Clause
// Every varint kernel this machine runs against the scalar kernel, and the
// scalar kernel against the runtime's own varint reader: random columns of
// every encoded length from 1 to 10 bytes, overlong and unterminated forms,
// values ending on and around the kernels' block edges, sizes and written
// bytes; then a broken column in a frame table through both parsers, flat
// and in buffers, with each kernel forced; and the stream parser's fast
// paths: each guard at its edges, and against the runtime's own limits
// where a guard stands for one.
#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/parse_context.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "KernelChoice.h"
#include "WireBuilder.h"
#include "kernels/VarintKernels.h"
#include "kernels/VarintTables.h"
#include "wire/PackedStreamReading.h"
#include "wire/RepeatedMessages.h"

namespace {

using Pb::kernels::VarintKernel;
using tarvesh_test::Hex;

const VarintKernel& Scalar() { return *Pb::kernels::FindVarintKernel("scalar"); }

// A varint of exactly `length` bytes with random bits: past five bytes an
// overlong form whose high bits fall away modulo 2^32, past ten an invalid one.
void AppendVarint(std::mt19937_64& rng, int length, std::string* out) {
  for (int i = 0; i + 1 < length; ++i) out->push_back(static_cast<char>(rng() | 0x80));
  out->push_back(static_cast<char>(rng() & 0x7f));
}

// The same with every continuation byte 0x80 (no bits of its own), which a
// test of "at least 0x80" tells from a last byte and one of "above" does not.
void AppendBareVarint(std::mt19937_64& rng, int length, std::string* out) {
  for (int i = 0; i + 1 < length; ++i) out->push_back('\x80');
  out->push_back(static_cast<char>(rng() & 0x7f));
}

struct Decoded {
  std::size_t ends = 0;
  bool ok = false;
  std::vector<std::uint32_t> plain;
  std::vector<std::int32_t> zigzag;
  // Decoding into less room than the payload's elements: by room, where it
  // stopped (-1: failed) and the elements written.
  std::map<std::size_t, std::pair<std::ptrdiff_t, std::vector<std::uint32_t>>> short_of_room;
};

// Rooms short of `ends` elements: none, half, all but one.
std::set<std::size_t> ShortRooms(std::size_t ends) {
  if (ends == 0) return {};
  return {0, ends / 2, ends - 1};
}

// The payload is read right after a byte with the continuation bit, which
// a kernel looking back for a varint's start must not take for one of its
// own.
Decoded Decode(const VarintKernel& kernel, const std::string& payload) {
  const std::string placed = "\xff" + payload;
  const auto* p = reinterpret_cast<const std::uint8_t*>(placed.data()) + 1;
  const auto* end = p + payload.size();
  Decoded d;
  d.ends = kernel.count_ends(p, payload.size());
  d.plain.resize(d.ends);
  d.zigzag.resize(d.ends);
  std::size_t plain_n = 0, zigzag_n = 0;
  const bool plain_ok = kernel.decode_plain(p, end, d.plain.data(), d.ends, &plain_n) == end;
  const bool zigzag_ok = kernel.decode_zigzag(p, end, d.zigzag.data(), d.ends, &zigzag_n) == end;
  EXPECT_EQ(plain_ok, zigzag_ok) << kernel.name;
  EXPECT_EQ(plain_n, zigzag_n) << kernel.name;
  d.ok = plain_ok;
  d.plain.resize(plain_n);
  d.zigzag.resize(zigzag_n);
  for (const std::size_t room : ShortRooms(d.ends)) {
    std::vector<std::uint32_t> plain(room);
    std::vector<std::int32_t> zigzag(room);
    const std::uint8_t* stop = kernel.decode_plain(p, end, plain.data(), room, &plain_n);
    EXPECT_EQ(kernel.decode_zigzag(p, end, zigzag.data(), room, &zigzag_n), stop) << kernel.name;
    EXPECT_EQ(plain_n, zigzag_n) << kernel.name;
    plain.resize(plain_n);
    d.short_of_room[room] = {stop == nullptr ? -1 : stop - p, plain};
  }
  return d;
}

// The runtime's reader, one varint at a time, as the reference's reference.
Decoded RuntimeDecode(const std::string& payload) {
  google::protobuf::io::CodedInputStream input(
      reinterpret_cast<const std::uint8_t*>(payload.data()), static_cast<int>(payload.size()));
  Decoded d;
  d.ok = true;
  while (input.BytesUntilLimit() != 0 && input.CurrentPosition() < static_cast<int>(payload.size())) {
    std::uint32_t raw;
    if (!input.ReadVarint32(&raw)) {
      d.ok = false;
      break;
    }
    d.plain.push_back(raw);
  }
  return d;
}

void ExpectSameDecoding(const std::string& payload, const std::string& what) {
  const Decoded reference = Decode(Scalar(), payload);
  const Decoded runtime = RuntimeDecode(payload);
  ASSERT_EQ(reference.ok, runtime.ok) << what << ": " << Hex(payload);
  ASSERT_EQ(reference.plain, runtime.plain) << what;
  for (std::size_t i = 0; i < reference.plain.size(); ++i) {
    ASSERT_EQ(reference.zigzag[i], google::protobuf::internal::WireFormatLite::ZigZagDecode32(reference.plain[i]));
  }
  // Short of room, decoding stops after the room's last varint, or fails on
  // a bad varint before it.
  for (const auto& [room, result] : reference.short_of_room) {
    if (room > runtime.plain.size()) {
      ASSERT_EQ(result.first, -1) << what << ", room " << room;
      continue;
    }
    std::ptrdiff_t after = 0;
    for (std::size_t ended = 0; ended < room; ++after) {
      ended += static_cast<unsigned char>(payload[after]) < 0x80;
    }
    ASSERT_EQ(result.first, after) << what << ", room " << room;
    ASSERT_EQ(result.second, std::vector<std::uint32_t>(runtime.plain.begin(), runtime.plain.begin() + room))
        << what << ", room " << room;
  }
  for (int k = 1; k < Pb::kernels::VarintKernelCount(); ++k) {
    const VarintKernel& kernel = Pb::kernels::VarintKernelAt(k);
    const Decoded d = Decode(kernel, payload);
    ASSERT_EQ(d.ends, reference.ends) << kernel.name << ", " << what;
    ASSERT_EQ(d.ok, reference.ok) << kernel.name << ", " << what << ": " << Hex(payload);
    ASSERT_EQ(d.plain, reference.plain) << kernel.name << ", " << what << ": " << Hex(payload);
    ASSERT_EQ(d.zigzag, reference.zigzag) << kernel.name << ", " << what;
    ASSERT_EQ(d.short_of_room, reference.short_of_room) << kernel.name << ", " << what;
  }
}

// The kernels listed are those the processor's flags allow, as the kernel
// reports them in /proc/cpuinfo (it lists AVX only where it saves the
// registers), the best of them chosen at load, each found by its name.
TEST(VarintKernelTest, MachineRunsTheKernelsItsProcessorOffers) {
  ASSERT_GE(Pb::kernels::VarintKernelCount(), 1);
  EXPECT_STREQ(Pb::kernels::VarintKernelAt(0).name, "scalar");
  const VarintKernel& chosen = Pb::kernels::LoadTimeVarintKernel();
  EXPECT_EQ(&chosen, &Pb::kernels::VarintKernelAt(Pb::kernels::VarintKernelCount() - 1));
  EXPECT_EQ(&chosen, &Pb::kernels::ActiveVarintKernel());
  for (int k = 0; k < Pb::kernels::VarintKernelCount(); ++k) {
    const VarintKernel& kernel = Pb::kernels::VarintKernelAt(k);
    EXPECT_EQ(Pb::kernels::FindVarintKernel(kernel.name), &kernel);
    std::printf("varint kernel available: %s\n", kernel.name);
  }
  EXPECT_EQ(Pb::kernels::FindVarintKernel("none"), nullptr);
#if defined(__x86_64__) && defined(__linux__)
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line) && line.rfind("flags", 0) != 0) {
  }
  ASSERT_FALSE(line.empty()) << "no flags line in /proc/cpuinfo";
  std::set<std::string> flags;
  std::istringstream words(line.substr(line.find(':') + 1));
  for (std::string flag; words >> flag;) flags.insert(flag);
  const bool sse41 = flags.count("ssse3") && flags.count("sse4_1") && flags.count("popcnt");
  const bool avx2 = sse41 && flags.count("avx") && flags.count("avx2") && flags.count("bmi1");
  bool avx512 = avx2;
  for (const char* flag : {"avx512f", "avx512bw", "avx512cd", "avx512vbmi", "avx512_vbmi2"}) {
    if (flags.count(flag) == 0) {
      if (avx2) std::printf("no avx512 kernel: the processor lacks %s\n", flag);
      avx512 = false;
    }
  }
#ifdef TARVESH_VALGRIND
  avx512 = false;  // memcheck's emulated processor offers no AVX-512, whatever cpuinfo says
#endif
  EXPECT_EQ(Pb::kernels::FindVarintKernel("sse41") != nullptr, sse41);
  EXPECT_EQ(Pb::kernels::FindVarintKernel("avx2") != nullptr, avx2);
  EXPECT_EQ(Pb::kernels::FindVarintKernel("avx512") != nullptr, avx512);
  EXPECT_EQ(Pb::kernels::VarintKernelCount(), 1 + sse41 + avx2 + avx512);
#endif
}

// The choice for processors other than this one: every bit it needs, one at
// a time taken away from a processor that has all of them, and given alone
// to a processor that has every other bit.
TEST(VarintKernelTest, ChoiceFollowsEachFeatureBit) {
  using Pb::kernels::CpuidWords;
  using Pb::kernels::VectorKernelChoice;
  struct Needed {
    const char* name;
    std::uint32_t CpuidWords::*word;
    int bit;
    int first;  // the first kernel that needs it: 0 sse41, 1 avx2, 2 avx512
  };
  const Needed needed[] = {
      {"SSSE3", &CpuidWords::leaf1_ecx, 9, 0}, {"SSE4.1", &CpuidWords::leaf1_ecx, 19, 0},
      {"POPCNT", &CpuidWords::leaf1_ecx, 23, 0}, {"OSXSAVE", &CpuidWords::leaf1_ecx, 27, 1},
      {"AVX", &CpuidWords::leaf1_ecx, 28, 1}, {"BMI1", &CpuidWords::leaf7_ebx, 3, 1},
      {"AVX2", &CpuidWords::leaf7_ebx, 5, 1}, {"XCR0 SSE state", &CpuidWords::xcr0, 1, 1},
      {"XCR0 AVX state", &CpuidWords::xcr0, 2, 1}, {"AVX512F", &CpuidWords::leaf7_ebx, 16, 2},
      {"AVX512CD", &CpuidWords::leaf7_ebx, 28, 2}, {"AVX512BW", &CpuidWords::leaf7_ebx, 30, 2},
      {"AVX512_VBMI", &CpuidWords::leaf7_ecx, 1, 2}, {"AVX512_VBMI2", &CpuidWords::leaf7_ecx, 6, 2},
      {"XCR0 opmask state", &CpuidWords::xcr0, 5, 2}, {"XCR0 ZMM_Hi256 state", &CpuidWords::xcr0, 6, 2},
      {"XCR0 Hi16_ZMM state", &CpuidWords::xcr0, 7, 2},
  };
  auto flip = [](CpuidWords words, const Needed& n) {
    words.*n.word ^= std::uint32_t{1} << n.bit;
    return words;
  };
  auto chosen = [](const VectorKernelChoice& c) { return c.sse41 + c.avx2 + c.avx512; };
  CpuidWords all;
  for (const Needed& n : needed) all = flip(all, n);
  EXPECT_EQ(chosen(Pb::kernels::ChooseVectorKernels(all)), 3);
  EXPECT_EQ(chosen(Pb::kernels::ChooseVectorKernels(CpuidWords{})), 0);
  CpuidWords others;
  others.leaf1_ecx = ~all.leaf1_ecx;
  others.leaf7_ebx = ~all.leaf7_ebx;
  others.leaf7_ecx = ~all.leaf7_ecx;
  others.xcr0 = ~all.xcr0;
  EXPECT_EQ(chosen(Pb::kernels::ChooseVectorKernels(others)), 0);
  for (const Needed& n : needed) {
    const VectorKernelChoice without = Pb::kernels::ChooseVectorKernels(flip(all, n));
    EXPECT_EQ(without.sse41, n.first > 0) << "without " << n.name;
    EXPECT_EQ(without.avx2, n.first > 1) << "without " << n.name;
    EXPECT_FALSE(without.avx512) << "without " << n.name;
    EXPECT_EQ(chosen(Pb::kernels::ChooseVectorKernels(flip(others, n))), 0) << "only " << n.name;
  }
}

// Each vector kernel's steps take all they can, leaving the scalar steps
// only what the method gives them: the first 8 bytes of a payload and the
// part of its last 64-byte block (decoding, with 8 spare lanes), the bytes
// past the last whole block (counting), fewer values than one register holds
// (sizing), and fewer values than a register or fewer bytes than one store
// (writing, into exactly the bytes needed); for the kernel that reads each
// varint from its first byte, the varints starting in the last 63 bytes at
// most (its masked steps for the ends are not counted). The results cannot
// show this: a kernel that left everything to its scalar steps would match
// the scalar kernel everywhere.
TEST(VarintKernelTest, VectorStepsTakeAllTheyCan) {
  struct Width {
    const char* name;
    std::size_t lanes;  // values per register when writing or sizing
    std::size_t store;  // bytes a write step may store
    bool by_first_byte;  // decodes blocks of varints by their first bytes
  };
  std::mt19937_64 rng(64);
  for (const Width& width : {Width{"sse41", 4, 16, false}, Width{"avx2", 8, 32, false},
                             Width{"avx512", 16, 64, true}}) {
    const VarintKernel* kernel = Pb::kernels::FindCountingVarintKernel(width.name);
    if (kernel == nullptr) {
      std::printf("%s kernel skipped: not on this machine\n", width.name);
      continue;
    }
    ASSERT_STREQ(kernel->name, width.name);
    Pb::kernels::TakeVectorStepCount();
    for (std::size_t n = 0; n <= 300; ++n) {
      SCOPED_TRACE(std::string(width.name) + ", " + std::to_string(n) + " values");
      // Values of 1, 3 or 4 bytes, or of 1 to 4 bytes mixed (so that varints
      // of every length cross the block edges).
      for (std::size_t length : {1, 3, 4, 0}) {
        std::vector<std::uint32_t> values(n);
        std::string payload;
        std::vector<std::size_t> ends;  // the last byte of each varint
        for (auto& v : values) {
          const std::size_t bytes_of_value = length != 0 ? length : 1 + rng() % 4;
          const std::uint32_t low = bytes_of_value == 1 ? 0 : 1u << (7 * (bytes_of_value - 1));
          v = low + static_cast<std::uint32_t>(rng() % (bytes_of_value == 1 ? 128 : 127 * low));
          payload += tarvesh_test::Varint(v);
          ends.push_back(payload.size() - 1);
        }
        const auto* p = reinterpret_cast<const std::uint8_t*>(payload.data());
        const std::size_t bytes = payload.size();

        EXPECT_EQ(kernel->count_ends(p, bytes), n);
        EXPECT_EQ(Pb::kernels::TakeVectorStepCount(), bytes / 64 * 64);

        // Room for the spare lanes a block kernel's step stores, or for the
        // four registers of a whole block of the other.
        const std::size_t room = n + (width.by_first_byte ? 64 : 8);
        std::vector<std::uint32_t> out(room);
        std::size_t decoded = 0;
        EXPECT_EQ(kernel->decode_plain(p, p + bytes, out.data(), room, &decoded), p + bytes);
        out.resize(n);
        EXPECT_EQ(out, values);
        // The first varint boundary at or past byte 8, then whole blocks.
        const auto first_past_8 = std::lower_bound(ends.begin(), ends.end(), 7);
        const std::size_t head = first_past_8 == ends.end() ? bytes : *first_past_8 + 1;
        const std::size_t blocks_end = head + (bytes - head) / 64 * 64;
        const auto ending_in = [&](std::size_t from, std::size_t to) {
          return static_cast<std::size_t>(std::count_if(
              ends.begin(), ends.end(), [&](std::size_t e) { return e >= from && e < to; }));
        };
        if (width.by_first_byte) {
          // The varints that start in the last 63 bytes: those that end
          // there, less one that starts before them.
          const std::size_t last = bytes > 63 ? bytes - 63 : 0;
          const bool straddles = last > 0 && static_cast<std::uint8_t>(payload[last - 1]) >= 0x80;
          EXPECT_LE(n - Pb::kernels::TakeVectorStepCount(), ending_in(last, bytes) - straddles);
        } else {
          EXPECT_EQ(Pb::kernels::TakeVectorStepCount(), ending_in(head, blocks_end));
        }
        if (width.by_first_byte && length == 1) {
          // Room for exactly the elements: one-byte values still go in
          // whole blocks up to the last 64.
          kernel->decode_plain(p, p + bytes, out.data(), n, &decoded);
          EXPECT_EQ(Pb::kernels::TakeVectorStepCount(), n / 64 * 64);
        }

        EXPECT_EQ(kernel->size_plain(values.data(), n), bytes);
        EXPECT_EQ(Pb::kernels::TakeVectorStepCount(), n / width.lanes * width.lanes);

        std::string written(bytes, '\0');
        auto* w = reinterpret_cast<std::uint8_t*>(&written[0]);
        EXPECT_EQ(kernel->write_plain(values.data(), n, w, w + bytes), w + bytes);
        EXPECT_EQ(written, payload);
        const std::size_t vector = Pb::kernels::TakeVectorStepCount();
        const std::size_t left = n - vector;
        const std::size_t left_bytes = bytes - (vector == 0 ? 0 : ends[vector - 1] + 1);
        EXPECT_EQ(vector % width.lanes, 0u);
        EXPECT_TRUE(left < width.lanes || left_bytes < width.store) << left << " left";
      }
    }
  }
}

// A value of five bytes or more sends the block holding its fourth
// continuation byte to the scalar steps, up to the first varint boundary at
// or past the block's end, where whole blocks start again; every other
// block stays with the vector steps. For the kernel that reads each varint
// from its first byte, the scalar steps take the long value and at most the
// other varints starting in its block of 61 bytes, and its masked steps at
// most the 63 one-byte values at the end. One long value among 1-byte
// values, at every place in and around the blocks.
TEST(VarintKernelTest, LongValueTakesOnlyItsBlockFromTheVectorSteps) {
  for (const char* name : {"sse41", "avx2", "avx512"}) {
    const VarintKernel* kernel = Pb::kernels::FindCountingVarintKernel(name);
    if (kernel == nullptr) {
      std::printf("%s kernel skipped: not on this machine\n", name);
      continue;
    }
    const bool by_first_byte = std::string(name) == "avx512";
    Pb::kernels::TakeVectorStepCount();
    for (std::size_t n = 136; n < 200; ++n) {  // so that every tail length occurs
      for (std::size_t at = 0; at < n; ++at) {
        for (int length : {5, 10}) {
          std::string payload;
          std::vector<std::size_t> ends;  // the last byte of each varint
          for (std::size_t i = 0; i < n; ++i) {
            if (i == at) payload.append(static_cast<std::size_t>(length - 1), '\x81');
            payload.push_back(static_cast<char>(i % 128));
            ends.push_back(payload.size() - 1);
          }
          const auto* p = reinterpret_cast<const std::uint8_t*>(payload.data());
          const std::size_t room = n + (by_first_byte ? 64 : 8);
          std::vector<std::uint32_t> out(room);
          std::size_t decoded = 0;
          ASSERT_EQ(kernel->decode_plain(p, p + payload.size(), out.data(), room, &decoded), p + payload.size());
          const std::size_t vector = Pb::kernels::TakeVectorStepCount();
          const std::string what = std::string(name) + ", " + std::to_string(length) +
                                   "-byte value " + std::to_string(at) + " of " +
                                   std::to_string(n);
          if (by_first_byte) {
            EXPECT_LE(vector, n - 1) << what;
            EXPECT_GE(vector + 62 + 63, n) << what;
            continue;
          }
          const std::size_t fourth = ends[at] - static_cast<std::size_t>(length) + 4;
          std::size_t q = 0, expected = 0;
          while (q < 8 && q < payload.size()) {
            q = *std::lower_bound(ends.begin(), ends.end(), q) + 1;
          }
          while (payload.size() - q >= 64) {
            if (fourth >= q && fourth < q + 64) {
              q = *std::lower_bound(ends.begin(), ends.end(), q + 63) + 1;
              continue;
            }
            expected += static_cast<std::size_t>(std::count_if(
                ends.begin(), ends.end(), [&](std::size_t e) { return e >= q && e < q + 64; }));
            q += 64;
          }
          EXPECT_EQ(vector, expected) << what;
        }
      }
    }
  }
}

// The decode shuffles of the block kernels, for every key (the continuation
// bits of the 4 bytes before a chunk and its 8): lane k takes the chunk's
// k-th varint end, the bytes of that varint as consecutive indexes into the
// 16 bytes loaded from 8 before the chunk, when it has four bytes at most and
// an earlier end among the 12 shows where it starts; every other byte is
// 0x80, which the shuffle turns into zero.
TEST(VarintKernelTest, DecodeShufflesHoldEachShortVarintAlone) {
  Pb::kernels::BuildVarintTables();
  for (int key = 0; key < 4096; ++key) {
    std::uint8_t expected[32];
    std::fill(std::begin(expected), std::end(expected), 0x80);
    int lane = 0, previous_end = -1;
    for (int i = 0; i < 12; ++i) {
      if ((key >> i) & 1) continue;
      const int length = i - previous_end;
      if (i >= 4 && previous_end >= 0 && length <= 4) {
        for (int b = 0; b < length; ++b) expected[4 * lane + b] = static_cast<std::uint8_t>(previous_end + 5 + b);
      }
      lane += i >= 4;
      previous_end = i;
    }
    ASSERT_TRUE(std::equal(std::begin(expected), std::end(expected), Pb::kernels::varint_decode_shuffle[key]))
        << "key " << key;
  }
}

TEST(VarintKernelTest, RandomColumnsOfEveryLength) {
  std::mt19937_64 rng(16);
  for (int round = 0; round < 400; ++round) {
    // Lengths drawn from 1..max_length, mostly short when `short_bias`.
    const int max_length = 1 + round % 10;
    const bool short_bias = round % 3 == 0;
    const int count = static_cast<int>(rng() % 301);
    std::string payload;
    for (int i = 0; i < count; ++i) {
      const int length = short_bias && rng() % 8 != 0 ? 1 + static_cast<int>(rng() % 3)
                                                       : 1 + static_cast<int>(rng() % max_length);
      AppendVarint(rng, length, &payload);
    }
    ExpectSameDecoding(payload, "round " + std::to_string(round));
  }
}

TEST(VarintKernelTest, UnterminatedAndInvalidForms) {
  std::mt19937_64 rng(17);
  // An 11-byte varint (ten continuation bytes) anywhere in a column fails
  // after the elements before it; so does a longer run.
  for (int round = 0; round < 200; ++round) {
    std::string payload;
    const int before = static_cast<int>(rng() % 120);
    for (int i = 0; i < before; ++i) AppendVarint(rng, 1 + static_cast<int>(rng() % 4), &payload);
    AppendVarint(rng, 11 + static_cast<int>(rng() % 60), &payload);
    const int after = static_cast<int>(rng() % 120);
    for (int i = 0; i < after; ++i) AppendVarint(rng, 1 + static_cast<int>(rng() % 4), &payload);
    ExpectSameDecoding(payload, "invalid, round " + std::to_string(round));
  }
  // Overlong but valid: zero and small values written in up to ten bytes.
  std::string overlong;
  for (int length = 1; length <= 10; ++length) {
    for (int i = 0; i + 1 < length; ++i) overlong.push_back(static_cast<char>(i == 0 ? 0x81 : 0x80));
    overlong.push_back(0);
  }
  ExpectSameDecoding(overlong + overlong + overlong + overlong + overlong + overlong, "overlong");
  EXPECT_EQ(Decode(Scalar(), overlong).plain, std::vector<std::uint32_t>({0, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

// One varint of each length at every offset, so that it ends on, before and
// after each chunk and block edge, in columns of 0 to 300 one-byte values.
TEST(VarintKernelTest, ValuesAroundBlockEdges) {
  std::mt19937_64 rng(18);
  for (int length = 1; length <= 11; ++length) {
    for (int offset = 0; offset <= 150; ++offset) {
      for (const bool bare : {false, true}) {
        const auto append = bare ? AppendBareVarint : AppendVarint;
        std::string payload;
        for (int i = 0; i < offset; ++i) append(rng, 1 + (i % 7 == 3), &payload);
        append(rng, length, &payload);
        const int tail = static_cast<int>(rng() % 150);
        for (int i = 0; i < tail; ++i) append(rng, 1 + (bare && i % 5 == 0), &payload);
        ExpectSameDecoding(payload, "length " + std::to_string(length) + " at " +
                                        std::to_string(offset) + (bare ? ", bare" : ""));
      }
    }
  }
  for (int count = 0; count <= 300; ++count) {
    ExpectSameDecoding(std::string(static_cast<std::size_t>(count), '\x01'),
                       std::to_string(count) + " one-byte values");
  }
}

// Values of every bit length, both mappings: each kernel's size and bytes
// are the scalar kernel's, and its writer stays inside the exact size.
TEST(VarintKernelTest, SizesAndWrittenBytes) {
  std::mt19937_64 rng(19);
  for (int round = 0; round < 600; ++round) {
    const int count = static_cast<int>(rng() % 301);
    const int max_bits = 1 + round % 32;
    std::vector<std::uint32_t> plain(static_cast<std::size_t>(count));
    for (std::uint32_t& value : plain) {
      const int bits = 1 + static_cast<int>(rng() % static_cast<std::uint64_t>(max_bits));
      value = static_cast<std::uint32_t>(rng()) >> (32 - bits);
    }
    std::vector<std::int32_t> signs(plain.begin(), plain.end());
    for (std::int32_t& value : signs) {
      if (rng() & 1) value = -value;
    }
    // A kernel's size and bytes of `values` by one mapping's functions, the
    // bytes followed by the guard bytes it must leave alone.
    const auto written = [](auto size, auto write, const auto& values) {
      constexpr std::uint8_t kGuard = 0xA5;
      const std::size_t bytes = size(values.data(), values.size());
      std::vector<std::uint8_t> out(bytes + 32, kGuard);
      const bool exact_end = write(values.data(), values.size(), out.data(), out.data() + bytes) == out.data() + bytes;
      const bool guard_intact = std::count(out.begin() + bytes, out.end(), kGuard) == 32;
      return std::make_tuple(bytes, out, exact_end && guard_intact);
    };
    const auto plain_bytes = written(Scalar().size_plain, Scalar().write_plain, plain);
    const auto zigzag_bytes = written(Scalar().size_zigzag, Scalar().write_zigzag, signs);
    ASSERT_TRUE(std::get<2>(plain_bytes) && std::get<2>(zigzag_bytes)) << "the scalar writer, round " << round;
    for (int k = 1; k < Pb::kernels::VarintKernelCount(); ++k) {
      const VarintKernel& kernel = Pb::kernels::VarintKernelAt(k);
      ASSERT_EQ(written(kernel.size_plain, kernel.write_plain, plain), plain_bytes) << kernel.name << ", " << round;
      ASSERT_EQ(written(kernel.size_zigzag, kernel.write_zigzag, signs), zigzag_bytes) << kernel.name << ", " << round;
    }
  }
}

// A ten-byte run of continuation bits inside a packed column, read with
// every kernel in buffers big enough to hold it whole: every way of reading
// keeps the forty values before it and fails there, as the whole-buffer read
// does. Its first values read as a coding_depend field, should a reader lose
// its place and take the column's bytes for fields.
TEST(VarintKernelTest, BrokenColumnKeepsTheValuesBeforeIt) {
  std::string invalid_column = "\x1a\x01x";
  for (int i = 3; i < 40; ++i) invalid_column.push_back(static_cast<char>(2 * i));
  invalid_column.append(10, '\xff');
  invalid_column.push_back('\x01');
  for (int i = 0; i < 20; ++i) invalid_column.push_back('\x02');
  const std::string invalid = std::string("\x22") + static_cast<char>(invalid_column.size()) +
                              invalid_column + "\x1a\x01x";
  tarvesh_test::JudgeOptions options;
  options.chunks = {0, 12, 16, 33, 64};
  options.kernels = &tarvesh_test::EveryKernel();
  options.failed = tarvesh_test::Failed::kStreams;
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<Pb::Tarvesh::FrameTable>(invalid, options);
  EXPECT_EQ(j.disagreement, "");
  EXPECT_FALSE(j.oracle.ok());
  for (const tarvesh_test::WayResult& way : j.ways) {
    const auto& table = static_cast<const Pb::Tarvesh::FrameTable&>(*way.message);
    ASSERT_EQ(table.frame_sizes_size(), 40) << way.name;
    EXPECT_EQ(table.frame_sizes(39), 39) << way.name;
    EXPECT_FALSE(table.has_coding_depend()) << way.name;
  }
}

// The fast paths' guards at their edges: each must take every case its
// bytes allow. The bytes sit between two one-byte varints, which a guard
// reading one byte too far would take for its own.
TEST(VarintKernelTest, FastPathGuardsAtTheirEdges) {
  using namespace Pb::wire;
  const std::string ten(10, '\x80');
  struct Row {
    std::string bytes;
    bool decodable;  // VarintDecodableIn: ten bytes, or the last ends a varint
    bool one_byte;   // OneByteVarintAt: the first is a whole varint
  };
  for (const Row& row : std::vector<Row>{{"", false, false},
                                         {"\x01", true, true},
                                         {"\x80", false, false},
                                         {"\x80\x01", true, false},
                                         {"\x01\x80", false, true},
                                         {ten.substr(1), false, false},
                                         {ten, true, false}}) {
    const std::string held = "\x01" + row.bytes + "\x01";
    const auto* p = reinterpret_cast<const std::uint8_t*>(held.data()) + 1;
    const int buffered = static_cast<int>(row.bytes.size());
    EXPECT_EQ(VarintDecodableIn(p, buffered), row.decodable) << Hex(row.bytes);
    EXPECT_EQ(OneByteVarintAt(p, buffered), row.one_byte) << Hex(row.bytes);
  }
  EXPECT_TRUE(HeldWhole(5, 5));
  EXPECT_FALSE(HeldWhole(6, 5));
  // Whole values (8 bytes) and elements (a tag and 8 bytes), at most `most`.
  for (const auto& [buffered, most, values, elements] :
       std::vector<std::array<int, 4>>{{15, 9, 1, 1}, {16, 9, 2, 1}, {18, 9, 2, 2}, {18, 1, 1, 1}}) {
    EXPECT_EQ(WholeFixed64s(buffered, most), values) << buffered << " " << most;
    EXPECT_EQ(WholeTaggedFixed64s(buffered, most), elements) << buffered << " " << most;
  }
}

// The guards that stand for one of the runtime's limits, against the
// runtime: where a context over a flat buffer reads in place, where a
// record read by it ends in place (one-byte fields up to its limit), and
// whether a stream or context can take one more level of nesting.
TEST(VarintKernelTest, ContextAndDepthGuardsMatchTheRuntime) {
  using namespace Pb::wire;
  const std::string zeros(64, '\0');
  const char* const data = zeros.data();
  for (int buffered = 1; buffered <= 40; ++buffered) {
    const char* ptr;
    ParseContext ctx(10, false, &ptr, gp::StringPiece(data, static_cast<size_t>(buffered)));
    EXPECT_EQ(ContextReadsInPlace(buffered), ptr == data) << buffered;
  }
  const int buffered = 40;
  for (int length = 0; length <= buffered; ++length) {
    const char* ptr;
    ParseContext ctx(10, false, &ptr, gp::StringPiece(data, static_cast<size_t>(buffered)));
    const int outer = ctx.PushLimit(ptr, length);
    while (!ctx.Done(&ptr)) ++ptr;
    EXPECT_EQ(RecordReadInPlace(data, length, data + buffered), ptr == data + length) << length;
    EXPECT_TRUE(ctx.PopLimit(outer));
  }
  for (int levels = 0; levels < 3; ++levels) {
    gp::io::CodedInputStream input(reinterpret_cast<const std::uint8_t*>(data), 1);
    input.SetRecursionLimit(levels);
    const bool left = LevelLeft(input.RecursionBudget());
    EXPECT_EQ(left, input.IncrementRecursionDepth()) << levels;
    const char* ptr;
    ParseContext ctx(levels, false, &ptr, gp::StringPiece(data, 1));  // an empty record
    Pb::Tarvesh::FrameTable element;
    const bool context_left = LevelLeft(ctx.depth());
    EXPECT_EQ(context_left, ctx.ParseMessage(&element, ptr) != nullptr) << levels;
  }
}

}  // namespace
