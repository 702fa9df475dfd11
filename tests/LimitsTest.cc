// SPDX-License-Identifier: BSD-3-Clause
// Limits that real input reaches: nesting around the stream's recursion
// limit, lengths running past the input, packed fixed64 payloads cut
// mid-value, overlong varints, end-group tags at every depth, messages too
// large to serialise, a total-bytes limit and element counts past INT_MAX.
// Every parse is run through the class's own stream parser and the runtime's
// context parser, each over one flat buffer and over one-byte buffers, and
// compared with a DynamicMessage built from the schema text by libprotoc.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ClassTable.h"
#include "ParseJudge.h"
#include "WireBuilder.h"

namespace {

namespace gp = google::protobuf;
using namespace Pb::Tarvesh;
using tarvesh_test::Delimited;
using tarvesh_test::Fixed;
using tarvesh_test::Hex;
using tarvesh_test::Repeat;
using tarvesh_test::Tag;
using tarvesh_test::Varint;

// ---------------------------------------------------------------------------
// Wire building, beyond WireBuilder.h.

std::string VarintField(std::uint32_t number, std::uint64_t value) {
  return Tag(number, 0) + Varint(value);
}

// ---------------------------------------------------------------------------
// Every parser on one input, judged against the oracle.

// Every parser of the class reaches `ok` on `bytes`, as the oracle does; on
// success all of them read what the oracle read.
template <class M>
void ExpectVerdict(const std::string& bytes, bool ok) {
  SCOPED_TRACE(M::descriptor()->name() + " " + Hex(bytes));
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<M>(bytes);
  EXPECT_EQ(j.disagreement, "");
  EXPECT_EQ(j.oracle.ok(), ok) << "the oracle";
}

// ---------------------------------------------------------------------------
// (a) Unknown groups nested around the recursion limit, alone, inside the
// first and second nesting level of each message field, and twice in a row
// there (each level must be given back at its end); and each message field's
// element, alone and twice, at limits it reaches and passes. The library
// must count depth as the oracle does.

TEST(LimitsTest, NestingAroundTheRecursionLimit) {
  std::vector<std::string> nested;  // a field inside unknown groups of each depth
  for (int depth : {1, 31, 62, 63, 64, 65, 97, 98, 99, 100, 101, 102, 150}) {
    nested.push_back(Repeat(Tag(15, 3), depth) + VarintField(16, 1) + Repeat(Tag(15, 4), depth));
  }
  for (const tarvesh_test::ClassOps& ops : tarvesh_test::AllClasses()) {
    const auto judge = [&](const std::string& input, int limit = 100) {
      tarvesh_test::JudgeOptions options;
      options.arena = true;
      options.recursion_limit = limit;
      EXPECT_EQ(tarvesh_test::JudgeParse(ops.judged(), input, options).disagreement, "")
          << ops.name << " " << Hex(input) << " recursion limit " << limit;
    };
    for (const std::string& groups : nested) judge(groups);
    const gp::Descriptor* descriptor = tarvesh_test::SchemaOracle::Get().Type(ops.name);
    for (int i = 0; i < descriptor->field_count(); ++i) {
      const gp::FieldDescriptor* field = descriptor->field(i);
      if (field->type() != gp::FieldDescriptor::TYPE_MESSAGE) continue;
      for (const std::string& groups : nested) {
        const std::string once = Delimited(field->number(), groups);
        judge(once);
        judge(once + once);
        judge(Delimited(field->number(), once));
      }
      // An element with an unknown field, and one with only its field 1.
      for (std::uint32_t inner : {16u, 1u}) {
        const std::string element = Delimited(field->number(), VarintField(inner, 1));
        for (int limit : {0, 1}) {
          judge(element, limit);
          judge(element + element, limit);
          // A run held in one buffer, ending before the buffer's last 16 bytes.
          judge(Repeat(element, 8) + Delimited(15, std::string(16, 'x')), limit);
        }
      }
      // A 1024-byte element (length 80 08) whose first 127 bytes, after a
      // second length byte 08 taken for a field 1 tag, read as field 1 only.
      judge(Delimited(field->number(), "\x88\x80\x01" + std::string(1021, '\x08')));
    }
  }
}

// ---------------------------------------------------------------------------
// (b) A length past the end of the input, or past the enclosing element.

// Lengths that overshoot `available` remaining bytes, by one and by far.
std::vector<std::uint64_t> Overshoots(size_t available) {
  return {available + 1, 0x7FFFFFF0ull, 0x7FFFFFFFull, 0x80000000ull, 0xFFFFFFFFull,
          0x7FFFFFFFFull};
}

template <class M>
void ExpectLengthsRefused(const std::vector<std::uint32_t>& fields) {
  const std::string prefix = VarintField(14, 1);  // unknown to every class
  const std::string partial = Varint(1) + Varint(2) + Varint(3);
  for (std::uint32_t field : fields) {
    for (std::uint64_t length : Overshoots(partial.size())) {
      ExpectVerdict<M>(prefix + Tag(field, 2) + Varint(length) + partial, false);
    }
  }
}

TEST(LimitsTest, LengthPastInputInEveryLengthDelimitedKind) {
  ExpectLengthsRefused<DataReference>({1, 2, 3, 15});
  ExpectLengthsRefused<DataReference_Tier>({1});
  ExpectLengthsRefused<RecordingFragment>({2, 15});
  ExpectLengthsRefused<RecordingFragment_Tier>({1, 2});
  ExpectLengthsRefused<RecordingFragmentEntry>({4, 15});
  ExpectLengthsRefused<PalletDesc>({15});
  ExpectLengthsRefused<Track>({7, 15});
  // Run pairs, coding_depend, the four packed varint columns, auth_tags.
  ExpectLengthsRefused<FrameTable>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15});
}

// The length fits the input but not the element that holds it.
TEST(LimitsTest, LengthPastTheEnclosingElement) {
  const std::string tail = std::string(12, '\x01');  // more varint bytes after the element
  for (std::uint32_t field : {1u, 3u, 4u, 5u, 8u, 9u, 11u, 15u}) {
    const std::string inner = Tag(field, 2) + Varint(8) + Varint(1) + Varint(2);
    ExpectVerdict<Track>(Delimited(7, inner) + VarintField(2, 1) + tail, false);
    ExpectVerdict<Track>(Delimited(7, inner) + tail, false);
  }
  ExpectVerdict<DataReference>(Delimited(1, Tag(1, 2) + Varint(6) + VarintField(1, 1)) + tail, false);
  ExpectVerdict<DataReference>(Delimited(3, Tag(15, 2) + Varint(5) + "ab") + tail, false);
  ExpectVerdict<DataReference>(Delimited(2, Tag(4, 2) + Varint(9) + VarintField(1, 1)) + tail, false);
}

// ---------------------------------------------------------------------------
// (c) Packed auth_tags: whole 8-byte values only.

TEST(LimitsTest, PackedFixed64PayloadMustHoldWholeValues) {
  // 240: thirty values, followed in the flat buffer by fewer bytes than
  // values, more than one value's: the copied run must stop at the record.
  for (int length : {0, 8, 16, 24, 240, 1, 7, 9, 15, 17, 23}) {
    const bool whole = length % 8 == 0;
    const std::string payload(static_cast<size_t>(length), '\x5A');
    const std::string record = Tag(11, 2) + Varint(static_cast<std::uint64_t>(length)) + payload;
    ExpectVerdict<FrameTable>(record, whole);
    ExpectVerdict<FrameTable>(record + Delimited(3, "dependency"), whole);
    ExpectVerdict<FrameTable>(Tag(11, 1) + std::string(8, '\x01') + record, whole);
    ExpectVerdict<Track>(Delimited(7, record) + VarintField(1, 2), whole);
  }
}

// ---------------------------------------------------------------------------
// (d) Overlong varints as values, and a padded tag. Padded tags and lengths
// of every field are in the schema-driven parse table; a five-byte tag whose
// last byte carries bits past 32 is left to the oracle to decide.

TEST(LimitsTest, OverlongVarintsAgreeWithTheOracle) {
  const std::string eleven = std::string(10, '\x80') + "\x01";
  const std::string ten_high_bits = std::string(9, '\xFF') + "\x7F";
  const std::string ten_bit_64 = std::string(9, '\x80') + "\x02";
  const std::string ten_max = std::string(9, '\xFF') + "\x01";  // 2^64 - 1
  for (const std::string& value : {eleven, ten_high_bits, ten_bit_64, ten_max}) {
    const bool expected = value != eleven;
    ExpectVerdict<PalletDesc>(Tag(1, 0) + value + VarintField(2, 1), expected);
    ExpectVerdict<PalletDesc>(Tag(3, 0) + value, expected);
    ExpectVerdict<PalletDesc>(Tag(12, 0) + value, expected);  // unknown field
    ExpectVerdict<CountDeltaS32>(Tag(2, 0) + value, expected);
    ExpectVerdict<Track>(Tag(8, 0) + value, expected);  // enum
    ExpectVerdict<Track>(Tag(5, 0) + value + VarintField(6, 2), expected);
    ExpectVerdict<FrameTable>(Tag(4, 0) + value + Tag(4, 0) + value, expected);
    ExpectVerdict<FrameTable>(Tag(5, 2) + Varint(value.size() + 1) + value + "\x05", expected);
    ExpectVerdict<Track>(Delimited(7, Delimited(1, Tag(2, 0) + value)), expected);
  }
  // A tag of five bytes is read; one of six, even with no value bits in its
  // first byte, is refused.
  const std::string five_byte_tag = std::string("\x88\x80\x80\x80\x70", 5) + Varint(3);
  const std::string six_byte_tag = std::string("\x80\x81\x80\x80\x80\x00", 6) + Varint(3);
  for (const std::string& input : {five_byte_tag, six_byte_tag}) {
    EXPECT_EQ(tarvesh_test::JudgeParse<PalletDesc>(input).disagreement, "") << Hex(input);
  }
}

// ---------------------------------------------------------------------------
// (e) End-group tags. At the top level a stream parse stops on one and
// returns true, the tag left for the caller as the last one read, and the
// message is not whole; ParseFromString refuses. Inside an element any
// end-group tag fails the parse.

template <class M>
void ExpectEndsAtTopLevel(const std::string& before, std::uint32_t number, const std::string& after) {
  const std::string bytes = before + Tag(number, 4) + after;
  SCOPED_TRACE(M::descriptor()->name() + " " + Hex(bytes));
  tarvesh_test::JudgeOptions options;
  options.end_tag = (number << 3) | 4;
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<M>(bytes, options);
  EXPECT_EQ(j.disagreement, "");
  for (const tarvesh_test::WayResult& way : j.ways) {
    EXPECT_TRUE(way.returned && !way.clean_end && way.stopped_on_end) << way.name;
    EXPECT_EQ(Hex(way.partial), Hex(j.oracle.partial)) << way.name;
  }
  EXPECT_TRUE(j.oracle.returned && j.oracle.stopped_on_end);
  EXPECT_EQ(tarvesh_test::JudgeParse<M>(bytes).disagreement, "");  // ParseFromString refuses
}

TEST(LimitsTest, EndGroupAtTopLevelEndsTheStreamParse) {
  for (std::uint32_t number : {1u, 2u, 7u, 15u, 1000u, (1u << 29) - 1}) {
    SCOPED_TRACE(number);
    ExpectEndsAtTopLevel<PalletDesc>("", number, VarintField(1, 1));
    ExpectEndsAtTopLevel<PalletDesc>(VarintField(1, 1) + VarintField(2, 2), number,
                                     VarintField(3, 3));
    ExpectEndsAtTopLevel<DataReference>(Delimited(2, VarintField(1, 4)), number, Delimited(3, ""));
    ExpectEndsAtTopLevel<RecordingFragment>(VarintField(1, 4), number, Delimited(2, ""));
    ExpectEndsAtTopLevel<Track>(Delimited(7, Delimited(3, "ab")), number, VarintField(1, 9));
    ExpectEndsAtTopLevel<FrameTable>(Tag(4, 2) + Varint(1) + Varint(4), number,
                                     Tag(11, 2) + Varint(8) + std::string(8, 'a'));
    ExpectEndsAtTopLevel<CountValU32>(VarintField(2, 2), number, "");
  }
}

// Stray end-group tags inside elements are in the schema-driven failure
// checks; here one ends an unknown group it does not match.
TEST(LimitsTest, MismatchedEndGroupInsideAnUnknownGroupFails) {
  for (std::uint32_t number : {1u, 4u, 7u, 1000u}) {
    ExpectVerdict<Track>(Delimited(7, Delimited(2, Tag(15, 3) + Tag(number, 4) + Tag(15, 4))), false);
  }
}

// ---------------------------------------------------------------------------
// (f) Past 2 GiB. The runtime refuses to serialise a message whose
// ByteSizeLong() exceeds INT_MAX, so ByteSizeLong() must report the real
// size, however large. One frame table holds ~1.1 GiB of coding_depend and
// stands as several elements of a Track: the size is computed for each
// element in turn, at the memory cost of one.

constexpr size_t kDependBytes = (size_t{11} << 30) / 10;

// Lends `table` to `track` as `count` elements, and takes it back.
class AliasedFrameTables {
 public:
  AliasedFrameTables(Track* track, FrameTable* table, int count) : track_(track), count_(count) {
    for (int i = 0; i < count; ++i) track->mutable_frame_tables()->AddAllocated(table);
  }
  ~AliasedFrameTables() {
    for (int i = 0; i < count_; ++i) static_cast<void>(track_->mutable_frame_tables()->ReleaseLast());
  }

 private:
  Track* track_;
  int count_;
};

TEST(LimitsTest, TwoGiBMessageIsRefused) {
#ifdef TARVESH_SANITIZED
  GTEST_SKIP() << "a 1.1 GiB allocation and its shadow memory make this slow under sanitizers";
#endif
  const auto table = std::make_unique<FrameTable>();
  table->mutable_coding_depend()->assign(kDependBytes, 'd');
  const size_t table_size = 1 + gp::io::CodedOutputStream::VarintSize64(kDependBytes) + kDependBytes;
  const size_t element_size = 1 + gp::io::CodedOutputStream::VarintSize64(table_size) + table_size;
  EXPECT_EQ(table->ByteSizeLong(), table_size);

  Track track;
  track.set_track_id(1);
  // Two elements pass INT_MAX; four pass UINT32_MAX as well.
  for (int count : {2, 4}) {
    SCOPED_TRACE(count);
    AliasedFrameTables aliases(&track, table.get(), count);
    const size_t expected = 2 + static_cast<size_t>(count) * element_size;
    EXPECT_EQ(track.ByteSizeLong(), expected);
    EXPECT_EQ(table->GetCachedSize(), static_cast<int>(table_size));  // what its prefix says
    std::string out = "untouched";
    EXPECT_FALSE(track.SerializeToString(&out));
    std::string appended = "kept";
    EXPECT_FALSE(track.AppendToString(&appended));
    EXPECT_EQ(appended, "kept");
    std::vector<char> buffer(64);
    EXPECT_FALSE(track.SerializeToArray(buffer.data(), static_cast<int>(buffer.size())));
  }
}

// ---------------------------------------------------------------------------
// (g) A total-bytes limit on the stream. The runtime's own parser sees the
// input end at the limit, so a limit between two fields is a clean end and
// one inside a field or a nested element fails; the class's parser must say
// the same at every cut, over one buffer and over one-byte buffers.

TEST(LimitsTest, TotalBytesLimitAgreesWithTheRuntimeAtEveryCut) {
  const std::string table = Tag(4, 2) + Varint(2) + Varint(4) + Varint(6) + VarintField(5, 7);
  const std::string bytes = VarintField(1, 5) + VarintField(1, 6) + Delimited(7, table) +
                            VarintField(8, 1) + Delimited(7, "");
  const auto outcome = [&](gp::Message* message, bool own, int chunk, int limit) {
    tarvesh_test::SeparateBuffersStream raw(bytes, chunk);
    gp::io::CodedInputStream input(&raw);
    input.SetTotalBytesLimit(limit);
    const bool returned = own ? static_cast<Track*>(message)->Track::MergePartialFromCodedStream(&input)
                              : static_cast<gp::MessageLite*>(message)->MergePartialFromCodedStream(&input);
    // What a failed parse leaves is unspecified.
    const bool ok = returned && input.ConsumedEntireMessage();
    return ok ? Hex(message->SerializePartialAsString()) : std::string("failed");
  };
  const gp::Message& prototype = *tarvesh_test::SchemaOracle::Get().Prototype("Pb.Tarvesh.Track");
  gp::LogSilencer quiet;  // the stream logs each limit it meets
  for (int limit = 0; limit <= static_cast<int>(bytes.size()); ++limit) {
    SCOPED_TRACE(limit);
    std::unique_ptr<gp::Message> oracle(prototype.New());
    const std::string expected = outcome(oracle.get(), false, 0, limit);
    for (int chunk : {0, 1}) {
      Track own, runtime;
      EXPECT_EQ(outcome(&own, true, chunk, limit), expected) << "chunk " << chunk;
      EXPECT_EQ(outcome(&runtime, false, chunk, limit), expected) << "chunk " << chunk;
    }
  }
}

// ---------------------------------------------------------------------------
// (g') A record reader that goes on after a bad record: a length, PushLimit,
// the parse, on failure a skip to the limit, PopLimit, the next record. A
// failure inside a nested element must leave the stream's depth and limits
// as the runtime's own parser leaves them, or the skip stops short and the
// depth runs out; over one buffer and over 4-byte buffers, every record must
// read as it does through the oracle.

TEST(LimitsTest, RecordReaderGoesOnAfterABadRecordAsTheRuntimeDoes) {
  using tarvesh_test::Bytes;
  const std::string bad_table = Bytes({0x3a, 0x06, 0x08, 0x80, 0x80, 0x80, 0x80, 0x80,
                                       0x08, 0x01, 0x08, 0x01});
  const std::string cut_table = Bytes({0x3a, 0x01, 0x08});
  const std::string records[] = {
      Varint(bad_table.size()) + bad_table + Varint(2) + Delimited(7, ""),
      Repeat(Varint(cut_table.size()) + cut_table, 5) + Bytes({0x02, 0x08, 0x07}),
      // Failing two levels down, in a packed column cut by its limit, and
      // inside an unknown group, then a good record.
      Repeat(Varint(6) + Delimited(7, Delimited(1, Bytes({0x08, 0x80}))) + Varint(6) +
                 Delimited(7, Bytes({0x22, 0x02, 0x80, 0x80})) + Varint(2) + Bytes({0x7b, 0x08}),
             2) +
          Varint(4) + Delimited(7, Delimited(1, "")),
  };
  const auto read_all = [](const std::string& bytes, int chunk, gp::Message* message, bool own) {
    tarvesh_test::SeparateBuffersStream raw(bytes, chunk);
    gp::io::CodedInputStream input(&raw);
    std::string log;
    std::uint32_t length;
    while (input.ReadVarint32(&length)) {
      message->Clear();
      const gp::io::CodedInputStream::Limit limit = input.PushLimit(static_cast<int>(length));
      const bool ok = (own ? static_cast<Track*>(message)->Track::MergePartialFromCodedStream(&input)
                           : static_cast<gp::MessageLite*>(message)->MergePartialFromCodedStream(&input)) &&
                      input.ConsumedEntireMessage();
      log += (ok ? Hex(message->SerializePartialAsString()) : "failed") + " budget " +
             std::to_string(input.RecursionBudget());
      if (!ok) input.Skip(input.BytesUntilLimit());
      input.PopLimit(limit);
      log += " after " + std::to_string(input.BytesUntilLimit()) + "; ";
    }
    return log;
  };
  const gp::Message& prototype = *tarvesh_test::SchemaOracle::Get().Prototype("Pb.Tarvesh.Track");
  for (const std::string& bytes : records) {
    std::unique_ptr<gp::Message> oracle(prototype.New());
    const std::string expected = read_all(bytes, 0, oracle.get(), false);
    for (int chunk : {0, 4}) {
      Track own;
      EXPECT_EQ(read_all(bytes, chunk, &own, true), expected) << Hex(bytes) << " chunk " << chunk;
    }
  }
}

// ---------------------------------------------------------------------------
// (h) Element counts past INT_MAX. The runtime's containers count in int and
// do not check a growth, and the flat parse takes inputs over 2 GiB, so every
// reader must refuse elements past INT_MAX itself. A column is made to hold
// INT_MAX - kRoom elements without its array being written (reserved whole,
// its size set), which costs address space but almost no memory. The
// elements' bytes read as whole unknown fields (08 01), so that a reader
// which refused them yet carried on would end with a clean parse.

constexpr int kRoom = 4;
constexpr std::uint64_t kFieldBytes = 0x0108010801080108ull;

template <class T>
bool MakeNearlyFull(gp::RepeatedField<T>* column) {
  column->Clear();
#ifdef TARVESH_VALGRIND
  return false;  // memcheck would back the 8-16 GiB array with more memory than the machine has
#endif
  try {
    column->Reserve(INT_MAX);
  } catch (const std::bad_alloc&) {
    return false;
  }
  column->AddNAlreadyReserved(INT_MAX - kRoom);
  return true;
}

struct ColumnInput {
  const char* name;
  std::string (*pairs)(int count);  // 2 * count elements: 4, -1 or kFieldBytes
};

const ColumnInput kColumnInputs[] = {
    {"packed frame_sizes", [](int n) { return Delimited(4, Repeat("\x08\x01", n)); }},
    {"single frame_sizes", [](int n) { return Repeat(Tag(4, 0) + "\x08" + Tag(4, 0) + "\x01", n); }},
    {"packed auth_tags", [](int n) { return Delimited(11, Repeat(Fixed(kFieldBytes, 8), 2 * n)); }},
    {"single auth_tags", [](int n) { return Repeat(Tag(11, 1) + Fixed(kFieldBytes, 8), 2 * n); }},
};

// Every parser that merges into an existing message: the class's own over one
// buffer and over one-byte buffers, the runtime's over one-byte buffers, and
// the flat MergeFromString.
bool MergeWith(int parser, const std::string& bytes, FrameTable* table) {
  if (parser == 3) return table->MergeFromString(bytes);
  tarvesh_test::SeparateBuffersStream raw(bytes, parser == 0 ? 0 : 1);
  gp::io::CodedInputStream input(&raw);
  const bool returned = parser == 2 ? static_cast<gp::MessageLite*>(table)->MergePartialFromCodedStream(&input)
                                    : table->FrameTable::MergePartialFromCodedStream(&input);
  return returned && input.ConsumedEntireMessage();
}

TEST(LimitsTest, ElementCountParsersStopAtIntMax) {
  FrameTable table;
  for (const ColumnInput& input : kColumnInputs) {
    const bool fixed = std::string(input.name).find("auth") != std::string::npos;
    const auto size = [&] { return fixed ? table.auth_tags_size() : table.frame_sizes_size(); };
    const auto truncate = [&] {
      if (fixed) {
        table.mutable_auth_tags()->Truncate(INT_MAX - kRoom);
      } else {
        table.mutable_frame_sizes()->Truncate(INT_MAX - kRoom);
      }
    };
    const bool made = fixed ? MakeNearlyFull(table.mutable_auth_tags())
                            : MakeNearlyFull(table.mutable_frame_sizes());
    if (!made) GTEST_SKIP() << "no room for a column of INT_MAX elements";
    for (int parser = 0; parser < 4; ++parser) {
      SCOPED_TRACE(std::string(input.name) + ", parser " + std::to_string(parser));
      // A failed run may keep the elements up to INT_MAX, never more.
      EXPECT_FALSE(MergeWith(parser, input.pairs(kRoom / 2 + 1), &table));
      EXPECT_GE(size(), INT_MAX - kRoom);
      truncate();
      ASSERT_TRUE(MergeWith(parser, input.pairs(kRoom / 2), &table));
      ASSERT_EQ(size(), INT_MAX);
      if (fixed) {
        EXPECT_EQ(table.auth_tags(INT_MAX - 1), kFieldBytes);
      } else {
        EXPECT_EQ(table.frame_sizes(INT_MAX - 1), -1);
      }
      EXPECT_FALSE(MergeWith(parser, input.pairs(1), &table));
      EXPECT_EQ(size(), INT_MAX);
      truncate();
    }
    if (fixed) {  // 16 GiB of tags: the writers refuse before they allocate
      std::string out = "kept";
      EXPECT_FALSE(table.AppendToString(&out));
      EXPECT_EQ(out, "kept");
    }
    table.Clear();
  }
}

TEST(LimitsTest, ElementCountMergePastIntMaxIsACheckedError) {
  const char* kText = "CHECK failed: the merged element count fits in an int: ";
  FrameTable full, more;
  if (!MakeNearlyFull(full.mutable_frame_sizes())) {
    GTEST_SKIP() << "no room for a column of INT_MAX elements";
  }
  for (int i = 0; i <= kRoom; ++i) more.add_frame_sizes(i);
  EXPECT_DEATH(
      {
        try {
          full.MergeFrom(more);
        } catch (const std::exception& error) {
          std::fprintf(stderr, "%s\n", error.what());
        }
        std::abort();
      },
      kText);
  more.mutable_frame_sizes()->RemoveLast();
  full.MergeFrom(more);
  EXPECT_EQ(full.frame_sizes_size(), INT_MAX);
  EXPECT_EQ(full.frame_sizes(INT_MAX - 1), kRoom - 1);
}

}  // namespace
