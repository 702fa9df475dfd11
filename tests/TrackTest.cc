// The Track file's classes where the schema-driven tests do not reach:
// cached sizes, large frame tables across buffer seams, long element runs,
// what a failed stream parse keeps, coding_depend ownership, element reuse,
// reflection and text format.
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

// Swap takes the cached size along; the serialisers trust it.
TEST(RunPairTest, SwapTakesTheCachedSize) {
  CountValS32 sized, other;
  sized.set_val(-300);
  const int size = sized.ByteSize();
  sized.Swap(&other);
  EXPECT_EQ(other.GetCachedSize(), size);
  EXPECT_EQ(sized.GetCachedSize(), 0);
}

// ---------------------------------------------------------------------------
// FrameTable wire form

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

// Large enough that every writer crosses its buffer seams.
TEST(FrameTableWireTest, LargeTableThroughEveryWriter) {
  const FrameTable full = FullTable(3000);
  ExpectWireForm(full, full.SerializeAsString());
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

// Cleared elements stay allocated and are handed out again by the next add.
TEST(FrameTableMemoryTest, ClearedElementsAreReused) {
  FrameTable table;
  CountDeltaS32* kept = table.add_seq_numbers();
  kept->set_count(4);
  table.clear_seq_numbers();
  EXPECT_EQ(table.add_seq_numbers(), kept);
  EXPECT_FALSE(kept->has_count());

  Track track;
  const FrameTable* first = track.add_frame_tables();
  track.mutable_frame_tables(0)->add_frame_sizes(1);
  track.Clear();
  EXPECT_EQ(track.add_frame_tables(), first);
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
