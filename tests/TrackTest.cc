// The Track file's classes: run pairs, frame tables and tracks byte for byte
// through every writer; both parsers on packed, element-form and damaged
// input; coding_depend ownership; reflection and text format. The oracle
// test checks them against DynamicMessage on random input.
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <google/protobuf/text_format.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "TestSupport.h"

namespace {

using namespace Pb::Tarvesh;
using google::protobuf::FieldDescriptor;
using google::protobuf::Message;
using google::protobuf::Reflection;
using google::protobuf::UnknownField;
using tarvesh_test::Bytes;
using tarvesh_test::Hex;
using tarvesh_test::StreamParse;
using tarvesh_test::WriteAllWays;

constexpr std::int32_t kMinS32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxS32 = std::numeric_limits<std::int32_t>::max();

using tarvesh_test::ChunkedContextParse;
using tarvesh_test::ChunkedStreamParse;
using tarvesh_test::ExpectReadsAs;
using tarvesh_test::ExpectRejected;
using tarvesh_test::ExpectWireForm;

std::string Fixed64(std::uint64_t value) {
  std::string out;
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

// ---------------------------------------------------------------------------
// Run pairs

TEST(RunPairTest, WorkedExamples) {
  ExpectWireForm(CountDeltaS32(), "");
  CountDeltaS32 zero;
  zero.set_count(0);
  EXPECT_TRUE(zero.has_count());
  EXPECT_FALSE(zero.has_delta());
  ExpectWireForm(zero, Bytes({0x08, 0x00}));

  CountDeltaS32 pair;
  pair.set_count(5);
  pair.set_delta(-2);
  ExpectWireForm(pair, Bytes({0x08, 0x05, 0x10, 0x03}));
  CountDeltaS32 reversed = ExpectReadsAs<CountDeltaS32>(Bytes({0x10, 0x03, 0x08, 0x05}),
                                                        Bytes({0x08, 0x05, 0x10, 0x03}));
  EXPECT_EQ(reversed.delta(), -2);

  const struct { std::int32_t value; std::string bytes; } zigzag[] = {
      {-1, Bytes({0x10, 0x01})},
      {1, Bytes({0x10, 0x02})},
      {kMinS32, Bytes({0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F})},
      {kMaxS32, Bytes({0x10, 0xFE, 0xFF, 0xFF, 0xFF, 0x0F})},
  };
  for (const auto& example : zigzag) {
    CountDeltaS32 delta;
    delta.set_delta(example.value);
    ExpectWireForm(delta, example.bytes);
    CountValS32 val;
    val.set_val(example.value);
    ExpectWireForm(val, example.bytes);
  }

  CountValU32 unsigned_val;
  unsigned_val.set_val(std::numeric_limits<std::uint32_t>::max());
  const std::string max_bytes = Bytes({0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F});
  ExpectWireForm(unsigned_val, max_bytes);
  CountValS32 as_signed;
  ASSERT_TRUE(as_signed.ParseFromString(max_bytes));
  EXPECT_EQ(as_signed.val(), kMinS32);
}

TEST(RunPairTest, AwkwardInput) {
  EXPECT_EQ(ExpectReadsAs<CountValU32>(Bytes({0x08, 0x01, 0x08, 0x02}), Bytes({0x08, 0x02}))
                .count(), 2u);
  // Field 2 length-delimited: kept as unknown field 2, written after the known fields.
  CountDeltaS32 mistyped = ExpectReadsAs<CountDeltaS32>(
      Bytes({0x12, 0x01, 0x03, 0x08, 0x01}), Bytes({0x08, 0x01, 0x12, 0x01, 0x03}));
  EXPECT_FALSE(mistyped.has_delta());
  ASSERT_EQ(mistyped.unknown_fields().field_count(), 1);
  EXPECT_EQ(mistyped.unknown_fields().field(0).number(), 2);
  EXPECT_EQ(mistyped.unknown_fields().field(0).type(), UnknownField::TYPE_LENGTH_DELIMITED);
  CountValS32 unknown = ExpectReadsAs<CountValS32>(Bytes({0x18, 0x07, 0x10, 0x01}),
                                                   Bytes({0x10, 0x01, 0x18, 0x07}));
  EXPECT_EQ(unknown.ByteSize(), 4);

  CountDeltaS32 ended;
  const tarvesh_test::StreamVerdict verdict = StreamParse(Bytes({0x0C, 0x08, 0x01}), &ended);
  EXPECT_TRUE(verdict.returned);
  EXPECT_FALSE(verdict.clean_end);
  EXPECT_FALSE(ended.has_count());
  ExpectRejected<CountDeltaS32>(Bytes({0x08, 0x05, 0x10, 0x80}));
}

TEST(RunPairTest, MergeAndSwap) {
  CountDeltaS32 target, source;
  target.set_count(3);
  target.set_delta(4);
  source.set_delta(-9);
  target.MergeFrom(source);
  EXPECT_EQ(target.count(), 3u);
  EXPECT_EQ(target.delta(), -9);

  CountValS32 sized, other;
  sized.set_val(-300);
  const int size = sized.ByteSize();
  sized.Swap(&other);
  EXPECT_EQ(other.GetCachedSize(), size);
  EXPECT_EQ(sized.GetCachedSize(), 0);
  EXPECT_EQ(other.val(), -300);
  EXPECT_FALSE(sized.has_val());
}

// ---------------------------------------------------------------------------
// FrameTable wire form

TEST(FrameTableWireTest, WorkedExamples) {
  ExpectWireForm(FrameTable(), "");
  {
    FrameTable table;
    for (int value : {1, -1, 300}) table.add_frame_sizes(value);
    ExpectWireForm(table, Bytes({0x22, 0x04, 0x02, 0x01, 0xD8, 0x04}));
    table.add_auth_tags(1);
    ExpectWireForm(table, Bytes({0x22, 0x04, 0x02, 0x01, 0xD8, 0x04, 0x5A, 0x08, 0x01, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
  }
  {
    FrameTable table;
    table.add_frame_to_pallet_offsets(0);
    table.add_frame_to_pallet_offsets(128);
    ExpectWireForm(table, Bytes({0x2A, 0x03, 0x00, 0x80, 0x01}));
  }
  {
    FrameTable table;
    table.add_auth_tags(258);
    ExpectWireForm(table, "\x5A\x08" + Fixed64(258));
  }
  {
    FrameTable table;
    table.add_access_unit_length_diffs(kMinS32);
    ExpectWireForm(table, Bytes({0x42, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
  }
  {
    FrameTable table;
    table.set_coding_depend("");
    ExpectWireForm(table, Bytes({0x1A, 0x00}));
    table.set_coding_depend(std::string(200, '\x7F'));
    const std::string bytes = table.SerializeAsString();
    EXPECT_EQ(Hex(bytes.substr(0, 3)), "1A C8 01");
    ExpectWireForm(table, bytes);
  }
  {
    FrameTable table;
    CountDeltaS32* seq = table.add_seq_numbers();
    seq->set_count(5);
    seq->set_delta(-2);
    ExpectWireForm(table, Bytes({0x0A, 0x04, 0x08, 0x05, 0x10, 0x03}));
  }
}

// One of every field, so every writer and parser path is crossed.
FrameTable FullTable(int frames) {
  FrameTable table;
  for (int i = 0; i < frames; ++i) {
    table.add_frame_sizes(1000 - 7 * i);
    table.add_frame_to_pallet_offsets(static_cast<std::uint32_t>(i) * 4099u);
    table.add_access_unit_length_diffs(i % 2 == 0 ? -i : i * 1000);
    table.add_access_unit_offset_jumps(static_cast<std::uint32_t>(i % 300));
    table.add_auth_tags(0x0123456789ABCDEFull * static_cast<std::uint64_t>(i + 1));
  }
  CountDeltaS32* seq = table.add_seq_numbers();
  seq->set_count(static_cast<std::uint32_t>(frames));
  seq->set_delta(1);
  table.add_timestamps()->set_delta(-40);
  table.set_coding_depend(std::string("\x00\x01\xFF", 3));
  CountValU32* ids = table.add_frame_to_pallet_ids();
  ids->set_count(2);
  ids->set_val(77);
  table.add_access_units_per_frame()->set_val(3);
  table.add_errors()->set_val(-5);
  table.mutable_unknown_fields()->AddVarint(15, 1);
  return table;
}

TEST(FrameTableWireTest, FieldsLeaveInNumberOrderWithUnknownsLast) {
  const std::string input = "\x59" + Fixed64(9) + Bytes({0x20, 0x02, 0x08, 0x05, 0x0A, 0x00});
  FrameTable table = ExpectReadsAs<FrameTable>(
      input, Bytes({0x0A, 0x00, 0x22, 0x01, 0x02, 0x5A, 0x08}) + Fixed64(9) + Bytes({0x08, 0x05}));
  ASSERT_EQ(table.unknown_fields().field_count(), 1);
  EXPECT_EQ(table.unknown_fields().field(0).type(), UnknownField::TYPE_VARINT);

  const FrameTable full = FullTable(3000);
  const std::string bytes = full.SerializeAsString();
  ExpectWireForm(full, bytes);
}

TEST(FrameTableWireTest, SerialisersWriteTheCachedPayloadLength) {
  FrameTable table;
  table.add_frame_sizes(1);
  ASSERT_EQ(table.ByteSize(), 3);
  table.add_frame_sizes(2);  // after ByteSize: the cache is stale on purpose
  std::uint8_t buffer[8] = {};
  const std::uint8_t* end = table.SerializeWithCachedSizesToArray(buffer);
  EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(buffer), end - buffer)), "22 01 02 04");
}

// ---------------------------------------------------------------------------
// FrameTable parsing

TEST(FrameTableParseTest, PackedAndElementFormsMix) {
  EXPECT_EQ(ExpectReadsAs<FrameTable>(Bytes({0x20, 0x02, 0x20, 0x01}), Bytes({0x22, 0x02, 0x02, 0x01}))
                .frame_sizes(1), -1);
  ExpectReadsAs<FrameTable>(Bytes({0x22, 0x01, 0x02, 0x22, 0x01, 0x04}), Bytes({0x22, 0x02, 0x02, 0x04}));
  ExpectReadsAs<FrameTable>(Bytes({0x20, 0x02, 0x22, 0x01, 0x04}), Bytes({0x22, 0x02, 0x02, 0x04}));
  ExpectReadsAs<FrameTable>(Bytes({0x22, 0x00}), "");
  ExpectReadsAs<FrameTable>(Bytes({0x48, 0x80, 0x01, 0x4A, 0x01, 0x05, 0x48, 0x06}),
                            Bytes({0x4A, 0x04, 0x80, 0x01, 0x05, 0x06}));
  ExpectReadsAs<FrameTable>("\x59" + Fixed64(7) + "\x5A\x08" + Fixed64(8) + "\x59" + Fixed64(9),
                            "\x5A\x18" + Fixed64(7) + Fixed64(8) + Fixed64(9));
  // A varint element of ten bytes keeps its low 32 bits.
  ExpectReadsAs<FrameTable>(Bytes({0x28, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}),
                            Bytes({0x2A, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));

  // Long runs of single elements, in every column, cross buffer seams and
  // the spare-capacity loops.
  std::string singles, packed_sizes, packed_tags;
  for (int i = 0; i < 700; ++i) {
    singles += Bytes({0x20, 0x80 | (i & 0x7F), 0x01});
    packed_sizes += Bytes({0x80 | (i & 0x7F), 0x01});
  }
  for (int i = 0; i < 700; ++i) {
    singles += "\x59" + Fixed64(static_cast<std::uint64_t>(i) << 40);
    packed_tags += Fixed64(static_cast<std::uint64_t>(i) << 40);
  }
  const FrameTable table = ExpectReadsAs<FrameTable>(
      singles, Bytes({0x22, 0xF8, 0x0A}) + packed_sizes + Bytes({0x5A, 0xE0, 0x2B}) + packed_tags);
  EXPECT_EQ(table.frame_sizes_size(), 700);
  EXPECT_EQ(table.auth_tags(699), 699ull << 40);
}

TEST(FrameTableParseTest, BytesAndUnknownFields) {
  EXPECT_EQ(ExpectReadsAs<FrameTable>(Bytes({0x1A, 0x01, 0x41, 0x1A, 0x01, 0x42}),
                                      Bytes({0x1A, 0x01, 0x42}))
                .coding_depend(), "B");
  FrameTable varint = ExpectReadsAs<FrameTable>(Bytes({0x08, 0x05, 0x22, 0x01, 0x02}),
                                                Bytes({0x22, 0x01, 0x02, 0x08, 0x05}));
  EXPECT_EQ(varint.seq_numbers_size(), 0);
  // Field 4 as fixed32 and field 11 as a varint are unknown fields.
  FrameTable mistyped = ExpectReadsAs<FrameTable>(Bytes({0x25, 1, 2, 3, 4, 0x58, 0x01}),
                                                  Bytes({0x25, 1, 2, 3, 4, 0x58, 0x01}));
  EXPECT_EQ(mistyped.frame_sizes_size() + mistyped.auth_tags_size(), 0);

  FrameTable ended;
  const tarvesh_test::StreamVerdict verdict = StreamParse(Bytes({0x5C, 0x20, 0x01}), &ended);
  EXPECT_TRUE(verdict.returned);
  EXPECT_FALSE(verdict.clean_end);
  EXPECT_EQ(ended.ByteSize(), 0);
  EXPECT_FALSE(FrameTable().ParseFromString(Bytes({0x5C})));
}

TEST(FrameTableParseTest, MalformedInputFails) {
  for (const std::string& input : {
           "\x5A\x07" + Fixed64(1).substr(0, 7),     // payload not a multiple of 8
           "\x5A\x10" + Fixed64(1),                  // payload past the input
           "\x59" + Fixed64(1).substr(0, 5),         // element cut short
           Bytes({0x22, 0x02, 0x02}),                // payload past the input
           Bytes({0x22, 0x01, 0x80, 0x01}),          // element runs past its record
           Bytes({0x2A, 0x0B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}),
           Bytes({0x1A, 0x05, 0x41}),                // bytes past the input
           Bytes({0x0A, 0x02, 0x08}),                // run pair cut short
           Bytes({0x52, 0x01, 0x0C}),                // run pair ends on an end-group tag
       }) {
    ExpectRejected<FrameTable>(input);
  }
  // A packed record longer than the frame table holding it.
  ExpectRejected<Track>(Bytes({0x3A, 0x03, 0x22, 0x05, 0x02, 0x08, 0x01, 0x08, 0x01}));
  ExpectRejected<Track>("\x3A\x03\x5A\x08\x01" + Fixed64(2));
  ExpectRejected<Track>(Bytes({0x3A, 0x02, 0x1A, 0x05, 0x08, 0x01, 0x08, 0x01, 0x08}));
}

TEST(FrameTableParseTest, FailureKeepsWhatWasRead) {
  for (int chunk : {0, 1, 4}) {
    SCOPED_TRACE(chunk);
    FrameTable sizes;
    EXPECT_FALSE(ChunkedStreamParse(Bytes({0x22, 0x03, 0x02, 0x04, 0x80}), chunk, &sizes));
    EXPECT_EQ(std::vector<std::int32_t>(sizes.frame_sizes().begin(), sizes.frame_sizes().end()),
              (std::vector<std::int32_t>{1, 2}));
    FrameTable tags;
    EXPECT_FALSE(ChunkedStreamParse("\x5A\x0C" + Fixed64(5) + "\x01\x02\x03\x04", chunk, &tags));
    ASSERT_EQ(tags.auth_tags_size(), 1);
    EXPECT_EQ(tags.auth_tags(0), 5u);
    FrameTable bytes;
    EXPECT_FALSE(ChunkedStreamParse(Bytes({0x1A, 0x05, 0x41}), chunk, &bytes));
    EXPECT_TRUE(bytes.has_coding_depend());
    // A frame table running past the end of its track stays, read as far as it goes.
    Track track;
    EXPECT_FALSE(ChunkedStreamParse(Bytes({0x08, 0x01, 0x3A, 0x09, 0x22, 0x01, 0x02}), chunk, &track));
    EXPECT_EQ(track.track_id(), 1u);
    ASSERT_EQ(track.frame_tables_size(), 1);
    EXPECT_EQ(track.frame_tables(0).frame_sizes_size(), 1);
  }
}

// ---------------------------------------------------------------------------
// FrameTable in memory

TEST(FrameTableMemoryTest, CodingDependOwnership) {
  FrameTable first, second;
  EXPECT_EQ(&first.coding_depend(), &FrameTable::_default_coding_depend_);
  EXPECT_EQ(&second.coding_depend(), &FrameTable::_default_coding_depend_);
  EXPECT_EQ(&FrameTable::default_instance().coding_depend(), &FrameTable::_default_coding_depend_);
  EXPECT_FALSE(first.has_coding_depend());

  const char kBytes[] = {0x41, 0x00, 0x42};
  first.set_coding_depend(kBytes, 3);
  EXPECT_EQ(first.coding_depend(), std::string(kBytes, 3));
  second.set_coding_depend(kBytes);
  EXPECT_EQ(second.coding_depend(), "A");
  second.set_coding_depend(second.coding_depend());
  EXPECT_EQ(second.coding_depend(), "A");

  first.clear_coding_depend();
  EXPECT_FALSE(first.has_coding_depend());
  EXPECT_EQ(first.coding_depend(), "");
  EXPECT_NE(&first.coding_depend(), &FrameTable::_default_coding_depend_);
  second.Clear();
  EXPECT_FALSE(second.has_coding_depend());
  EXPECT_EQ(second.coding_depend(), "");
  EXPECT_TRUE(FrameTable::_default_coding_depend_.empty());

  // Swap moves an own string; the shared default stays shared.
  FrameTable owner, plain;
  owner.set_coding_depend("xyz");
  const std::string* own = &owner.coding_depend();
  owner.Swap(&plain);
  EXPECT_EQ(&plain.coding_depend(), own);
  EXPECT_EQ(&owner.coding_depend(), &FrameTable::_default_coding_depend_);
  EXPECT_TRUE(plain.has_coding_depend());
  EXPECT_FALSE(owner.has_coding_depend());

  // Copies get strings of their own, freed with them.
  FrameTable copy(plain);
  EXPECT_NE(&copy.coding_depend(), own);
  FrameTable assigned;
  assigned = copy;
  assigned.MergeFrom(copy);
  EXPECT_EQ(assigned.coding_depend(), "xyz");
}

TEST(FrameTableMemoryTest, MergeAppendsAndReplaces) {
  FrameTable target, source;
  target.add_frame_sizes(3);
  source.add_frame_sizes(1);
  source.add_frame_sizes(2);
  target.add_auth_tags(1ull << 63);
  source.add_auth_tags(5);
  target.set_coding_depend(Bytes({3, 4, 5}));
  target.add_errors()->set_val(1);
  source.add_errors()->set_val(2);
  source.add_errors()->set_count(3);
  target.MergeFrom(source);
  ASSERT_EQ(target.frame_sizes_size(), 3);
  EXPECT_EQ(std::vector<std::int32_t>(target.frame_sizes().begin(), target.frame_sizes().end()),
            (std::vector<std::int32_t>{3, 1, 2}));
  ASSERT_EQ(target.auth_tags_size(), 2);
  EXPECT_EQ(target.auth_tags(0), 1ull << 63);
  EXPECT_EQ(target.coding_depend(), Bytes({3, 4, 5})) << "a source without it changes nothing";
  ASSERT_EQ(target.errors_size(), 3);
  source.mutable_errors(0)->set_val(9);
  EXPECT_EQ(target.errors(1).val(), 2);

  source.set_coding_depend(Bytes({1, 2}));
  target.MergeFrom(source);
  EXPECT_EQ(target.coding_depend(), Bytes({1, 2}));

  const std::string before = target.SerializeAsString();
  target.CopyFrom(target);
  EXPECT_EQ(target.SerializeAsString(), before);
  EXPECT_TRUE(target.IsInitialized());

  CountDeltaS32* kept = target.add_seq_numbers();
  kept->set_count(4);
  target.clear_seq_numbers();
  EXPECT_EQ(target.add_seq_numbers(), kept);
  EXPECT_FALSE(kept->has_count());
}

// ---------------------------------------------------------------------------
// Track

TEST(TrackTest, WorkedExamples) {
  Track empty;
  ExpectWireForm(empty, "");
  EXPECT_EQ(empty.auth_type(), Pb::Velto::AUTH_NONE);
  EXPECT_FALSE(empty.has_auth_type());
  {
    Track track;
    track.set_start_time(1);
    ExpectWireForm(track, "\x21" + Fixed64(1));
    track.set_start_time(0);
    EXPECT_EQ(track.ByteSize(), 9);
  }
  {
    Track track;
    track.set_track_id(1);
    track.set_duration(300);
    ExpectWireForm(track, Bytes({0x08, 0x01, 0x30, 0xAC, 0x02}));
  }
  {
    Track track;
    track.add_frame_tables();
    ExpectWireForm(track, Bytes({0x3A, 0x00}));
    track.add_frame_tables();
    ExpectWireForm(track, Bytes({0x3A, 0x00, 0x3A, 0x00}));
    track.set_auth_type(Pb::Velto::AUTH_SIPHASH_2_4);
    ExpectWireForm(track, Bytes({0x3A, 0x00, 0x3A, 0x00, 0x40, 0x02}));
  }
  // auth_type read before the frame tables leaves after them.
  ExpectReadsAs<Track>(Bytes({0x40, 0x01, 0x3A, 0x02, 0x22, 0x00, 0x08, 0x09}),
                       Bytes({0x08, 0x09, 0x3A, 0x00, 0x40, 0x01}));
  Track varint = ExpectReadsAs<Track>(Bytes({0x20, 0x05}), Bytes({0x20, 0x05}));
  EXPECT_FALSE(varint.has_start_time());
  ASSERT_EQ(varint.unknown_fields().field_count(), 1);
  EXPECT_EQ(varint.unknown_fields().field(0).number(), 4);
}

TEST(TrackTest, InvalidAuthTypeBecomesUnknownField8) {
  Track seven = ExpectReadsAs<Track>(Bytes({0x40, 0x07, 0x08, 0x01}), Bytes({0x08, 0x01, 0x40, 0x07}));
  EXPECT_FALSE(seven.has_auth_type());
  EXPECT_EQ(seven.auth_type(), 0);
  ASSERT_EQ(seven.unknown_fields().field_count(), 1);
  EXPECT_EQ(seven.unknown_fields().field(0).number(), 8);
  EXPECT_EQ(seven.unknown_fields().field(0).varint(), 7u);

  // A 32-bit value with its top bit set is sign-extended: a 10-byte varint.
  const std::string negative = Bytes({0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01});
  Track sign = ExpectReadsAs<Track>(Bytes({0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}), negative);
  ASSERT_EQ(sign.unknown_fields().field_count(), 1);
  EXPECT_EQ(sign.unknown_fields().field(0).varint(), ~0ull);

  // A valid value read after an invalid one is stored; the invalid stays unknown.
  Track mixed = ExpectReadsAs<Track>(Bytes({0x40, 0x09, 0x40, 0x03}), Bytes({0x40, 0x03, 0x40, 0x09}));
  EXPECT_EQ(mixed.auth_type(), Pb::Velto::AUTH_POLY1305_64);
}

TEST(TrackTest, MergeClearAndReuse) {
  Track target, source;
  target.add_frame_tables()->add_frame_sizes(1);
  target.add_frame_tables();
  target.set_auth_type(Pb::Velto::AUTH_HMAC_SHA256_64);
  source.add_frame_tables()->set_coding_depend("s");
  source.set_start_time(44);
  target.MergeFrom(source);
  ASSERT_EQ(target.frame_tables_size(), 3);
  EXPECT_EQ(target.frame_tables(2).coding_depend(), "s");
  EXPECT_EQ(target.auth_type(), Pb::Velto::AUTH_HMAC_SHA256_64);
  EXPECT_EQ(target.start_time(), 44u);

  const FrameTable* first = &target.frame_tables(0);
  target.Clear();
  EXPECT_EQ(target.ByteSize(), 0);
  EXPECT_FALSE(target.has_start_time() || target.has_auth_type());
  EXPECT_EQ(target.add_frame_tables(), first);
  EXPECT_EQ(first->frame_sizes_size(), 0);
}

// ---------------------------------------------------------------------------
// Registration, descriptors and reflection

TEST(TrackReflectionTest, RegisteredFile) {
  const google::protobuf::FileDescriptor* file =
      google::protobuf::DescriptorPool::generated_pool()->FindFileByName(
          "ProtoBuf/Tarvesh/Tarvesh.Track.proto");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->message_type_count(), 5);
  ASSERT_EQ(file->dependency_count(), 1);
  EXPECT_EQ(file->dependency(0)->name(), "ProtoBuf/Velto/Velto.proto");
  google::protobuf::FileDescriptorProto proto;
  file->CopyTo(&proto);
  EXPECT_EQ(proto.SerializeAsString().size(), 877u);

  std::set<std::string> packed;
  for (int m = 0; m < file->message_type_count(); ++m) {
    for (int f = 0; f < file->message_type(m)->field_count(); ++f) {
      if (file->message_type(m)->field(f)->is_packed()) {
        packed.insert(file->message_type(m)->field(f)->name());
      }
    }
  }
  EXPECT_EQ(packed, (std::set<std::string>{"frame_sizes", "frame_to_pallet_offsets",
                                           "access_unit_length_diffs",
                                           "access_unit_offset_jumps", "auth_tags"}));
  EXPECT_EQ(FrameTable::descriptor(), file->message_type(3));
  EXPECT_EQ(Track::descriptor()->FindFieldByName("auth_type")->enum_type()->full_name(),
            "Pb.Velto.Authentication");

  const Track* prototype = &Track::default_instance();
  protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto();
  EXPECT_EQ(&Track::default_instance(), prototype);
  EXPECT_EQ(google::protobuf::MessageFactory::generated_factory()->GetPrototype(
                Track::descriptor()), prototype);
  EXPECT_EQ(prototype->ByteSize(), 0);
}

TEST(TrackReflectionTest, BytesFieldThroughReflection) {
  const FieldDescriptor* field = FrameTable::descriptor()->FindFieldByName("coding_depend");
  ASSERT_NE(field, nullptr);
  FrameTable table;
  const Reflection* reflection = table.GetReflection();
  EXPECT_FALSE(reflection->HasField(table, field));
  EXPECT_EQ(reflection->GetString(table, field), "");

  reflection->SetString(&table, field, std::string("\x00\x7F", 2));
  EXPECT_TRUE(table.has_coding_depend());
  EXPECT_EQ(table.coding_depend(), std::string("\x00\x7F", 2));
  table.set_coding_depend("own");
  EXPECT_EQ(reflection->GetString(table, field), "own");
  reflection->SetString(&table, field, "again");
  EXPECT_EQ(table.coding_depend(), "again");

  reflection->ClearField(&table, field);
  EXPECT_FALSE(table.has_coding_depend());
  EXPECT_EQ(table.coding_depend(), "");
  table.set_coding_depend("after");
  EXPECT_EQ(reflection->GetString(table, field), "after");
  EXPECT_GT(table.SpaceUsedLong(), sizeof(FrameTable));

  // The runtime's field-wise swap exchanges the tagged pointers.
  FrameTable other;
  reflection->Swap(&table, &other);
  EXPECT_EQ(other.coding_depend(), "after");
  EXPECT_FALSE(table.has_coding_depend());
  EXPECT_EQ(table.coding_depend(), "");
}

TEST(TrackReflectionTest, EnumThroughReflection) {
  Track track;
  const Reflection* reflection = track.GetReflection();
  const FieldDescriptor* auth = Track::descriptor()->FindFieldByName("auth_type");
  reflection->SetEnumValue(&track, auth, 2);
  EXPECT_EQ(track.auth_type(), Pb::Velto::AUTH_SIPHASH_2_4);
  EXPECT_EQ(reflection->GetEnum(track, auth)->name(), "AUTH_SIPHASH_2_4");
  reflection->SetEnumValue(&track, auth, 40);  // closed enum: kept as unknown
  EXPECT_EQ(track.auth_type(), Pb::Velto::AUTH_SIPHASH_2_4);
  ASSERT_EQ(track.unknown_fields().field_count(), 1);
  EXPECT_EQ(track.unknown_fields().field(0).varint(), 40u);
}

TEST(TrackReflectionTest, TextFormatRoundTrip) {
  Track track;
  track.set_track_id(3);
  track.set_start_time(~0ull);
  track.set_auth_type(Pb::Velto::AUTH_POLY1305_64);
  *track.add_frame_tables() = FullTable(20);
  track.mutable_frame_tables(0)->mutable_unknown_fields()->Clear();  // text cannot carry them
  track.add_frame_tables()->set_coding_depend(std::string("\xFF\x00\"\\", 4));
  std::string text;
  ASSERT_TRUE(google::protobuf::TextFormat::PrintToString(track, &text));
  EXPECT_NE(text.find("auth_type: AUTH_POLY1305_64"), std::string::npos) << text;
  EXPECT_NE(text.find("coding_depend: \"\\377\\000\\\"\\\\\""), std::string::npos) << text;

  Track parsed;
  parsed.add_frame_tables()->set_coding_depend("to be replaced");
  ASSERT_TRUE(google::protobuf::TextFormat::ParseFromString(text, &parsed));
  EXPECT_EQ(Hex(parsed.SerializeAsString()), Hex(track.SerializeAsString()));
  EXPECT_EQ(parsed.frame_tables(1).coding_depend(), std::string("\xFF\x00\"\\", 4));
}

}  // namespace
