// The Track file's classes where the schema-driven tests do not reach:
// cached payload lengths, long element runs, what a failed stream parse
// keeps, coding_depend ownership and reflection.
#include <cstdint>
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
#include "ParseJudge.h"

namespace {

using namespace Pb::Tarvesh;
using google::protobuf::FieldDescriptor;
using google::protobuf::Message;
using google::protobuf::Reflection;
using google::protobuf::UnknownField;
using tarvesh_test::Bytes;
using tarvesh_test::ExpectReadsAs;
using tarvesh_test::Hex;

std::string Fixed64(std::uint64_t value) {
  std::string out;
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  return out;
}

// ---------------------------------------------------------------------------
// FrameTable wire form

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

// Long runs of single elements, in every column, cross buffer seams and
// the spare-capacity loops.
TEST(FrameTableParseTest, LongElementRuns) {
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

// What the stream parser keeps of a failed parse, the same in any buffers.
template <class M>
M StreamKeeps(const std::string& input) {
  tarvesh_test::JudgeOptions options;
  options.chunks = {0, 1, 4};
  options.failed = tarvesh_test::Failed::kStreams;
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<M>(input, options);
  EXPECT_EQ(j.disagreement, "");
  EXPECT_FALSE(j.oracle.ok());
  M kept;
  kept.CopyFrom(*j.ways[0].message);
  return kept;
}

TEST(FrameTableParseTest, FailureKeepsWhatWasRead) {
  const FrameTable sizes = StreamKeeps<FrameTable>(Bytes({0x22, 0x03, 0x02, 0x04, 0x80}));
  EXPECT_EQ(std::vector<std::int32_t>(sizes.frame_sizes().begin(), sizes.frame_sizes().end()),
            (std::vector<std::int32_t>{1, 2}));
  const FrameTable tags = StreamKeeps<FrameTable>("\x5A\x0C" + Fixed64(5) + "\x01\x02\x03\x04");
  ASSERT_EQ(tags.auth_tags_size(), 1);
  EXPECT_EQ(tags.auth_tags(0), 5u);
  EXPECT_TRUE(StreamKeeps<FrameTable>(Bytes({0x1A, 0x05, 0x41})).has_coding_depend());
  // A frame table running past the end of its track stays, read as far as it goes.
  const Track track = StreamKeeps<Track>(Bytes({0x08, 0x01, 0x3A, 0x09, 0x22, 0x01, 0x02}));
  EXPECT_EQ(track.track_id(), 1u);
  ASSERT_EQ(track.frame_tables_size(), 1);
  EXPECT_EQ(track.frame_tables(0).frame_sizes_size(), 1);
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

// ---------------------------------------------------------------------------
// Registration, descriptors and reflection

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

}  // namespace
