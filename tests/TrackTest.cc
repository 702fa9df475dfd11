// SPDX-License-Identifier: BSD-3-Clause
// The Track file's classes where the schema-driven tests do not reach:
// cached payload lengths, long element runs and coding_depend ownership.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ParseJudge.h"
#include "WireBuilder.h"

namespace {

using namespace Pb::Tarvesh;
using tarvesh_test::Bytes;
using tarvesh_test::ExpectReadsAs;
using tarvesh_test::Fixed;
using tarvesh_test::Hex;

// A packed column's writers take its payload length from the cached size.
TEST(TrackTest, SerialisersWriteTheCachedPayloadLength) {
  FrameTable table;
  table.add_frame_sizes(1);
  ASSERT_EQ(table.ByteSize(), 3);
  table.add_frame_sizes(2);  // after ByteSize: the cache is stale on purpose
  std::uint8_t buffer[8] = {};
  const std::uint8_t* end = table.SerializeWithCachedSizesToArray(buffer);
  EXPECT_EQ(Hex(std::string(reinterpret_cast<char*>(buffer), end - buffer)), "22 01 02 04");
}

// Long runs of single elements, in every column, cross buffer seams and
// the spare-capacity loops.
TEST(TrackTest, LongElementRuns) {
  std::string singles, packed_sizes, packed_tags;
  for (int i = 0; i < 700; ++i) {
    singles += Bytes({0x20, 0x80 | (i & 0x7F), 0x01});
    packed_sizes += Bytes({0x80 | (i & 0x7F), 0x01});
  }
  for (int i = 0; i < 700; ++i) {
    singles += "\x59" + Fixed(static_cast<std::uint64_t>(i) << 40, 8);
    packed_tags += Fixed(static_cast<std::uint64_t>(i) << 40, 8);
  }
  const FrameTable table = ExpectReadsAs<FrameTable>(
      singles, Bytes({0x22, 0xF8, 0x0A}) + packed_sizes + Bytes({0x5A, 0xE0, 0x2B}) + packed_tags);
  EXPECT_EQ(table.frame_sizes_size(), 700);
  EXPECT_EQ(table.auth_tags(699), 699ull << 40);
}

// coding_depend shares one empty default until set, then keeps a string of
// its own.
TEST(TrackTest, CodingDependOwnership) {
  FrameTable first, second;
  EXPECT_EQ(&first.coding_depend(), &FrameTable::_default_coding_depend_);
  EXPECT_EQ(&FrameTable::default_instance().coding_depend(), &FrameTable::_default_coding_depend_);

  // The pointer-and-length and C-string setters, and a value set to itself.
  const char kBytes[] = {0x41, 0x00, 0x42};
  first.set_coding_depend(kBytes, 3);
  EXPECT_EQ(first.coding_depend(), std::string(kBytes, 3));
  second.set_coding_depend(kBytes);
  EXPECT_EQ(second.coding_depend(), "A");
  second.set_coding_depend(second.coding_depend());
  EXPECT_EQ(second.coding_depend(), "A");

  // A clear keeps the string of its own for the next value; the shared
  // default is never written.
  first.clear_coding_depend();
  EXPECT_NE(&first.coding_depend(), &FrameTable::_default_coding_depend_);
  second.Clear();
  EXPECT_TRUE(FrameTable::_default_coding_depend_.empty());

  // Swap moves an own string; the shared default stays shared.
  FrameTable owner, plain;
  owner.set_coding_depend("xyz");
  const std::string* own = &owner.coding_depend();
  owner.Swap(&plain);
  EXPECT_EQ(&plain.coding_depend(), own);
  EXPECT_EQ(&owner.coding_depend(), &FrameTable::_default_coding_depend_);

  // Copies get strings of their own.
  FrameTable copy(plain);
  EXPECT_NE(&copy.coding_depend(), own);
}

}  // namespace
