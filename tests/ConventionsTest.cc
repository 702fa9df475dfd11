// SPDX-License-Identifier: BSD-3-Clause
// What programs written against protobuf 3.21 expect of any message class:
// arenas, moves, the names generated code and the runtime's templates use,
// and two state rules (a value that cannot be read changes nothing; a
// reflection clear of coding_depend gives back the shared default).
#include <algorithm>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <google/protobuf/any.pb.h>
#include <google/protobuf/arena.h>
#include <google/protobuf/io/coded_stream.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ProtoBuf/Velto/Velto.pb.h"
#include "SeparateBuffersStream.h"
#include "TestSupport.h"
#include "AllocationCounter.h"

namespace {

namespace gp = ::google::protobuf;
using namespace Pb::Tarvesh;
using tarvesh_test::Bytes;

// The heap allocations `body` makes (the benchmarks' counter of the global
// operator new, linked into this test).
template <class Body>
std::uint64_t HeapAllocations(Body body) {
  const std::uint64_t before = tarvesh_bench::AllocationCount();
  body();
  return tarvesh_bench::AllocationCount() - before;
}

// A track with every kind of field; coding_depend holds `depend_size` bytes.
Track FullTrack(std::size_t depend_size) {
  Track track;
  track.set_track_id(1);
  track.set_start_time(2);
  track.set_duration(300);
  track.set_auth_type(Pb::Velto::AUTH_HMAC_SHA256_64);
  for (int t = 0; t < 3; ++t) {
    FrameTable* table = track.add_frame_tables();
    for (int i = 0; i < 4; ++i) {
      table->add_seq_numbers()->set_delta(-i);
      table->add_frame_sizes(1000 * i - 7);
      table->add_frame_to_pallet_offsets(i);
      table->add_frame_to_pallet_ids()->set_val(i);
      table->add_errors()->set_val(-i);
      table->add_auth_tags(0x1111111111111111ull * static_cast<unsigned>(i));
    }
    table->set_coding_depend(std::string(depend_size, 'd'));
  }
  return track;
}

DataReference FullReference() {
  DataReference reference;
  for (int i = 0; i < 3; ++i) {
    reference.add_tiers()->add_files()->set_file_index(i);
    RecordingFragmentEntry* fragment = reference.add_fragments();
    fragment->set_header_size(i);
    fragment->add_tracks()->set_end_tick(i);
    reference.add_files()->set_file_id(i);
  }
  return reference;
}

// ---------------------------------------------------------------------------
// Arenas

TEST(ConventionsTest, ArenaMessagesAndTheirPartsLiveOnTheArena) {
  gp::Arena arena;
  Track* track = gp::Arena::CreateMessage<Track>(&arena);
  EXPECT_EQ(track->GetArena(), &arena);
  EXPECT_EQ(track->New(&arena)->GetArena(), &arena);

  ASSERT_TRUE(track->ParseFromString(FullTrack(40).SerializeAsString()));
  EXPECT_EQ(track->SerializeAsString(), FullTrack(40).SerializeAsString());
  EXPECT_EQ(track->frame_tables(2).GetArena(), &arena);
  EXPECT_EQ(track->frame_tables(2).errors(3).GetArena(), &arena);

  RecordingFragment_Tier* tier = gp::Arena::CreateMessage<RecordingFragment_Tier>(&arena);
  EXPECT_EQ(tier->add_files()->GetArena(), &arena);
  EXPECT_EQ(tier->add_pallets()->GetArena(), &arena);
  // Unknown fields and a long string: freed with the arena (the leak checker
  // of the sanitizer build watches this).
  ASSERT_TRUE(tier->MergeFromString(Bytes({0x78, 0x05})));
  EXPECT_EQ(tier->unknown_fields().field_count(), 1);
  arena.Reset();
}

// Runs of records far longer than one call's worth of arena storage, broken
// up by other fields, read first into lists holding a few cleared elements
// and then into lists holding them all: the heap's content, every element on
// the arena.
TEST(ConventionsTest, ArenaLongRunsReadIntoClearedAndFreshElements) {
  DataReference large;
  for (int i = 0; i < 300; ++i) {
    RecordingFragmentEntry* fragment = large.add_fragments();
    fragment->set_header_size(i);
    for (int t = 0; t < i % 7; ++t) fragment->add_tracks()->set_start_tick(1000 * i + t);
    large.add_files()->set_file_index(i);
  }
  const std::string bytes = large.SerializeAsString() + FullReference().SerializeAsString() +
                            large.SerializeAsString();
  DataReference on_heap;
  ASSERT_TRUE(on_heap.ParseFromString(bytes));

  gp::Arena arena;
  DataReference* reference = gp::Arena::CreateMessage<DataReference>(&arena);
  ASSERT_TRUE(reference->ParseFromString(FullReference().SerializeAsString()));
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_TRUE(reference->ParseFromString(bytes));
    EXPECT_EQ(reference->SerializeAsString(), on_heap.SerializeAsString());
    for (const RecordingFragmentEntry& fragment : reference->fragments()) {
      ASSERT_EQ(fragment.GetArena(), &arena);
      for (const auto& track : fragment.tracks()) ASSERT_EQ(track.GetArena(), &arena);
    }
    for (const auto& file : reference->files()) ASSERT_EQ(file.GetArena(), &arena);
  }
}

// On an arena, the fresh elements of a run of records are built back to
// back, in storage taken in one call, though each element's own list is
// allocated as it is read: into an empty list, into one with room reserved,
// and after the cleared elements an earlier parse left.
TEST(ConventionsTest, ArenaRunsBuildFreshElementsBackToBack) {
  DataReference six;
  for (int i = 0; i < 6; ++i) six.add_fragments()->add_tracks()->set_end_tick(i);
  // The run is counted as far as the input's last 16 bytes: a field after it.
  const std::string bytes = six.SerializeAsString() + "\x7a\x10" + std::string(16, 'x');
  const auto back_to_back_from = [](const DataReference& reference, int first) {
    for (int i = first + 1; i < reference.fragments_size(); ++i) {
      if (&reference.fragments(i) != &reference.fragments(i - 1) + 1) return false;
    }
    return reference.fragments_size() == 6;
  };
  gp::Arena arena;
  DataReference* fresh = gp::Arena::CreateMessage<DataReference>(&arena);
  ASSERT_TRUE(fresh->ParseFromString(bytes));
  EXPECT_TRUE(back_to_back_from(*fresh, 0));
  DataReference* reserved = gp::Arena::CreateMessage<DataReference>(&arena);
  reserved->mutable_fragments()->Reserve(10);
  ASSERT_TRUE(reserved->ParseFromString(bytes));
  EXPECT_TRUE(back_to_back_from(*reserved, 0));
  DataReference* reused = gp::Arena::CreateMessage<DataReference>(&arena);
  ASSERT_TRUE(reused->ParseFromString(Bytes({0x12, 0x00, 0x12, 0x00})));
  ASSERT_TRUE(reused->ParseFromString(bytes));
  EXPECT_TRUE(back_to_back_from(*reused, 2));
}

TEST(ConventionsTest, ArenaParsingTakesNothingFromTheHeapOnceTheArenaHasItsBlock) {
#ifdef TARVESH_VALGRIND
  GTEST_SKIP() << "memcheck replaces operator new, so its calls cannot be counted here";
#endif
  static char block[1 << 20];
  gp::ArenaOptions options;
  options.initial_block = block;
  options.initial_block_size = sizeof(block);
  const std::string track_bytes = FullTrack(15).SerializeAsString();  // short strings
  const std::string reference_bytes = FullReference().SerializeAsString();
  gp::Arena arena(options);
  std::string written;
  EXPECT_EQ(HeapAllocations([&] {
              Track* track = gp::Arena::CreateMessage<Track>(&arena);
              DataReference* reference = gp::Arena::CreateMessage<DataReference>(&arena);
              if (!track->ParseFromString(track_bytes)) std::abort();
              if (!reference->ParseFromString(reference_bytes)) std::abort();
            }),
            0u);
  // A long coding_depend costs its std::string buffer, and nothing else.
  const std::string long_bytes = FullTrack(40).SerializeAsString();
  EXPECT_EQ(HeapAllocations([&] {
              Track* track = gp::Arena::CreateMessage<Track>(&arena);
              if (!track->ParseFromString(long_bytes)) std::abort();
            }),
            3u);
}

// On the heap, a fresh stream parse allocates each list's array once, sized
// from the run of records it counts ahead, and then each element. A context
// parse counts a run as far as it sees it, and again once it has moved on to
// the input's last 16 bytes within a record: a record read across that
// point and seven more after it take two arrays, not one for every doubling.
TEST(ConventionsTest, FreshParsesAllocateEachListOncePerCountedRun) {
#ifdef TARVESH_VALGRIND
  GTEST_SKIP() << "memcheck replaces operator new, so its calls cannot be counted here";
#endif
  std::string bytes;
  for (int i = 0; i < 9; ++i) bytes += Bytes({0x12, 0x02, 0x18, i});  // nine fragments
  bytes += Bytes({0x1A, 0x02, 0x08, 0x01});                           // one file
  DataReference reference;
  EXPECT_EQ(HeapAllocations([&] {
              gp::io::CodedInputStream input(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             static_cast<int>(bytes.size()));
              if (!reference.MergePartialFromCodedStream(&input)) std::abort();
            }),
            12u);  // two arrays, ten elements
  std::string across = Bytes({0x12, 0x02, 0x18, 0x05});
  for (int i = 0; i < 7; ++i) across += Bytes({0x12, 0x00});
  DataReference context_read;
  EXPECT_EQ(HeapAllocations([&] {
              if (!context_read.ParseFromString(across)) std::abort();
            }),
            10u);  // two arrays, eight elements
}

TEST(ConventionsTest, ArenaSwapAcrossOwnersCopiesAndOnOneArenaExchanges) {
  gp::Arena arena, other_arena;
  Track* on_arena = gp::Arena::CreateMessage<Track>(&arena);
  *on_arena->add_frame_tables() = FullTrack(40).frame_tables(0);
  Track on_heap = FullTrack(3);
  const std::string arena_bytes = on_arena->SerializeAsString();
  const std::string heap_bytes = on_heap.SerializeAsString();

  on_arena->Swap(&on_heap);
  EXPECT_EQ(on_arena->SerializeAsString(), heap_bytes);
  EXPECT_EQ(on_heap.SerializeAsString(), arena_bytes);
  EXPECT_EQ(on_arena->frame_tables(0).GetArena(), &arena);
  EXPECT_EQ(on_heap.frame_tables(0).GetArena(), nullptr);

  Track* elsewhere = gp::Arena::CreateMessage<Track>(&other_arena);
  elsewhere->Swap(on_arena);
  EXPECT_EQ(elsewhere->SerializeAsString(), heap_bytes);
  EXPECT_EQ(elsewhere->frame_tables(0).GetArena(), &other_arena);

  Track* neighbour = gp::Arena::CreateMessage<Track>(&other_arena);
  const FrameTable* table = &elsewhere->frame_tables(0);
  neighbour->UnsafeArenaSwap(elsewhere);
  EXPECT_EQ(&neighbour->frame_tables(0), table);
  EXPECT_EQ(elsewhere->frame_tables_size(), 0);
}

TEST(ConventionsTest, ArenaCodingDependReleaseAndSetAllocated) {
  for (gp::Arena* arena : {static_cast<gp::Arena*>(nullptr), new gp::Arena}) {
    FrameTable* table = gp::Arena::CreateMessage<FrameTable>(arena);
    EXPECT_EQ(table->release_coding_depend(), nullptr);
    table->set_coding_depend(std::string(30, 'x'));
    std::string* released = table->release_coding_depend();
    ASSERT_NE(released, nullptr);
    EXPECT_EQ(*released, std::string(30, 'x'));
    EXPECT_FALSE(table->has_coding_depend());
    EXPECT_EQ(&table->coding_depend(), &FrameTable::_default_coding_depend_);
    table->set_allocated_coding_depend(released);  // owned by the table (or its arena) again
    EXPECT_TRUE(table->has_coding_depend());
    EXPECT_EQ(table->coding_depend(), std::string(30, 'x'));
    table->set_allocated_coding_depend(nullptr);
    EXPECT_FALSE(table->has_coding_depend());
    EXPECT_EQ(table->SerializeAsString(), "");
    if (arena == nullptr) delete table;
    delete arena;
  }
}

// ---------------------------------------------------------------------------
// Moves

static_assert(std::is_nothrow_move_constructible<Track>::value, "");
static_assert(std::is_nothrow_move_assignable<DataReference>::value, "");

TEST(ConventionsTest, MoveStealsOnTheHeapAndCopiesFromAnArena) {
  Track source = FullTrack(40);
  const std::string bytes = source.SerializeAsString();
  const FrameTable* table = &source.frame_tables(0);
  Track moved(std::move(source));
  EXPECT_EQ(&moved.frame_tables(0), table);
  EXPECT_EQ(moved.SerializeAsString(), bytes);
  Track assigned;
  assigned = std::move(moved);
  EXPECT_EQ(&assigned.frame_tables(0), table);

  using std::swap;
  Track other;
  swap(assigned, other);
  EXPECT_EQ(&other.frame_tables(0), table);

  gp::Arena arena;
  Track* on_arena = gp::Arena::CreateMessage<Track>(&arena);
  on_arena->CopyFrom(other);
  Track copied(std::move(*on_arena));
  EXPECT_EQ(copied.SerializeAsString(), bytes);
  EXPECT_EQ(copied.frame_tables(0).GetArena(), nullptr);
  EXPECT_EQ(on_arena->SerializeAsString(), bytes);  // copied, not emptied
}

// ---------------------------------------------------------------------------
// Names

static_assert(std::is_same<RecordingFragment::Tier, RecordingFragment_Tier>::value, "");
static_assert(std::is_same<RecordingFragmentEntry::Track, RecordingFragmentEntry_Track>::value, "");
static_assert(std::is_same<DataReference::Tier, DataReference_Tier>::value, "");
static_assert(gp::is_proto_enum<Pb::Velto::Authentication>::value, "");

TEST(ConventionsTest, StaticDescriptorReflectionAndDefaultInstance) {
  EXPECT_EQ(Track::GetDescriptor(), Track::descriptor());
  EXPECT_EQ(Track::GetReflection(), Track::default_instance().GetMetadata().reflection);
  EXPECT_EQ(DataReference::Tier::GetDescriptor()->full_name(), "Pb.Tarvesh.DataReference.Tier");
  EXPECT_EQ(RecordingFragment::Tier::FullMessageName(),
            RecordingFragment::Tier::descriptor()->full_name());
  EXPECT_EQ(Pb::Halvin::Stor::DataFileRef::FullMessageName(),
            Pb::Halvin::Stor::DataFileRef::descriptor()->full_name());
  EXPECT_EQ(PalletDesc::internal_default_instance(), &PalletDesc::default_instance());
  EXPECT_EQ(gp::MessageFactory::generated_factory()->GetPrototype(FrameTable::descriptor()),
            FrameTable::internal_default_instance());
}

TEST(ConventionsTest, FieldNumbersAreDefinedAndAnyKnowsTheClasses) {
  EXPECT_EQ(std::max(Track::kTrackIdFieldNumber, 0), 1);
  EXPECT_EQ(FrameTable::kAuthTagsFieldNumber, 11);
  EXPECT_EQ(Pb::Halvin::Stor::DataFileRef::kFileIdFieldNumber, 3);

  gp::Any any;
  any.PackFrom(FullTrack(5));
  EXPECT_TRUE(any.Is<Track>());
  EXPECT_FALSE(any.Is<FrameTable>());
  Track unpacked;
  ASSERT_TRUE(any.UnpackTo(&unpacked));
  EXPECT_EQ(unpacked.SerializeAsString(), FullTrack(5).SerializeAsString());
}

TEST(ConventionsTest, AuthenticationEnumHelpers) {
  using namespace Pb::Velto;
  EXPECT_EQ(Authentication_ARRAYSIZE, 4);
  Authentication value = AUTH_NONE;
  EXPECT_TRUE(Authentication_Parse("AUTH_SIPHASH_2_4", &value));
  EXPECT_EQ(value, AUTH_SIPHASH_2_4);
  EXPECT_FALSE(Authentication_Parse("AUTH_ROT13", &value));
  EXPECT_EQ(value, AUTH_SIPHASH_2_4);
  EXPECT_EQ(Authentication_Name(3), "AUTH_POLY1305_64");
  EXPECT_EQ(Authentication_Name(AUTH_NONE), "AUTH_NONE");
  EXPECT_EQ(Authentication_Name(17), "");
  EXPECT_EQ(gp::GetEnumDescriptor<Authentication>(), Authentication_descriptor());
}

// ---------------------------------------------------------------------------
// State rules

// Both parsers leave a scalar field as it was when its value cannot be read,
// whether it is cut short in the buffer, at the end of the stream, or too long.
template <class M, class Field>
void ExpectUnreadableValueKeeps(M filled, const std::string& bytes, Field field) {
  const auto expected = (filled.*field)();
  for (int way = 0; way < 3; ++way) {
    M m(filled);
    if (way == 0) {
      EXPECT_FALSE(m.MergeFromString(bytes));
    } else {
      tarvesh_test::SeparateBuffersStream raw(bytes, way == 1 ? 0 : 1);
      gp::io::CodedInputStream input(&raw);
      EXPECT_FALSE(m.M::MergePartialFromCodedStream(&input) && input.ConsumedEntireMessage());
    }
    EXPECT_EQ((m.*field)(), expected) << tarvesh_test::Hex(bytes) << " way " << way;
  }
}

TEST(ConventionsTest, UnreadableValueChangesNothing) {
  const std::string overlong = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01});
  CountDeltaS32 pair;
  pair.set_delta(9);
  Track track;
  track.set_track_id(7);
  track.set_start_tick(8);
  PalletDesc pallet;
  pallet.set_offset(9);
  for (const std::string& value : {overlong, Bytes({0xFF})}) {
    ExpectUnreadableValueKeeps(pair, Bytes({0x10}) + value, &CountDeltaS32::delta);
    ExpectUnreadableValueKeeps(track, Bytes({0x08}) + value, &Track::track_id);
    ExpectUnreadableValueKeeps(track, Bytes({0x28}) + value, &Track::start_tick);
    ExpectUnreadableValueKeeps(pallet, Bytes({0x18}) + value, &PalletDesc::offset);
  }
  Track cut;
  EXPECT_FALSE(cut.MergeFromString(Bytes({0x21, 0x01, 0x02, 0x03})));  // fixed64 cut short
  EXPECT_FALSE(cut.has_start_time());
  EXPECT_FALSE(cut.MergeFromString(Bytes({0x08, 0x05, 0x40, 0x81})));  // enum cut short
  EXPECT_FALSE(cut.has_auth_type());
  EXPECT_EQ(cut.track_id(), 5u);
}

TEST(ConventionsTest, ReflectionClearGivesBackTheSharedDefault) {
  gp::Arena arena;
  for (FrameTable* table : {new FrameTable, gp::Arena::CreateMessage<FrameTable>(&arena)}) {
    table->set_coding_depend("abc");
    const gp::FieldDescriptor* field = FrameTable::descriptor()->FindFieldByName("coding_depend");
    table->GetReflection()->ClearField(table, field);
    EXPECT_FALSE(table->has_coding_depend());
    EXPECT_EQ(&table->coding_depend(), &FrameTable::_default_coding_depend_);
    table->set_coding_depend("de");
    EXPECT_EQ(table->coding_depend(), "de");
    EXPECT_EQ(table->SerializeAsString(), Bytes({0x1A, 0x02, 'd', 'e'}));
    if (table->GetArena() == nullptr) delete table;
  }
}

}  // namespace
