// The Recording file's classes: their wire form byte for byte through every
// writer, both parsers on awkward input, the operations every class shares,
// and registration, descriptors and reflection as a running program sees them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>
#include <google/protobuf/text_format.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "TestSupport.h"

namespace {

using namespace Pb::Tarvesh;
using namespace tarvesh_test;
using Pb::Halvin::Stor::DataFileRef;
using google::protobuf::Message;
using google::protobuf::UnknownField;

constexpr std::uint32_t kMax32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kMax64 = std::numeric_limits<std::uint64_t>::max();
const std::string kVarint32Max = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x0F});
const std::string kVarint64Max = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01});

// The stream parser fails on `input` and leaves what it read in `message`.
template <class M>
void ExpectStreamFails(const std::string& input, M* message) {
  EXPECT_FALSE(StreamParse(input, message).ok()) << Hex(input);
  ExpectRejected<M>(input);
}

// ---------------------------------------------------------------------------
// PalletDesc

TEST(PalletDescTest, Encodings) {
  PalletDesc empty;
  ExpectWireForm(empty, "");
  EXPECT_FALSE(empty.has_id() || empty.has_size() || empty.has_offset() ||
               empty.has_recording_id() || empty.has_fragment_id() || empty.has_track_id() ||
               empty.has_tier_id() || empty.has_file_index());

  PalletDesc zero;
  zero.set_id(0);
  EXPECT_TRUE(zero.has_id());
  ExpectWireForm(zero, Bytes({0x08, 0x00}));

  PalletDesc offset;
  offset.set_offset(kMax64);
  ExpectWireForm(offset, "\x18" + kVarint64Max);

  PalletDesc ends;
  ends.set_file_index(2);
  ends.set_id(1);
  ExpectWireForm(ends, Bytes({0x08, 0x01, 0x40, 0x02}));

  // Set in scrambled order, written in number order: 58 bytes.
  PalletDesc full;
  full.set_tier_id(kMax32);
  full.set_id(kMax32);
  full.set_recording_id(kMax64);
  full.set_file_index(kMax32);
  full.set_size(kMax32);
  full.set_offset(kMax64);
  full.set_track_id(kMax32);
  full.set_fragment_id(kMax32);
  ExpectWireForm(full, "\x08" + kVarint32Max + "\x10" + kVarint32Max + "\x18" + kVarint64Max +
                           "\x20" + kVarint64Max + "\x28" + kVarint32Max + "\x30" + kVarint32Max +
                           "\x38" + kVarint32Max + "\x40" + kVarint32Max);
  full.clear_recording_id();
  EXPECT_EQ(full.ByteSize(), 47);
  full.Clear();
  EXPECT_EQ(full.ByteSize(), 0);
  EXPECT_EQ(full.offset(), 0u);
}

TEST(PalletDescTest, AwkwardInput) {
  ExpectReadsAs<PalletDesc>(Bytes({0x40, 0x02, 0x08, 0x01}), Bytes({0x08, 0x01, 0x40, 0x02}));
  const PalletDesc later = ExpectReadsAs<PalletDesc>(Bytes({0x08, 0x05, 0x08, 0x07}),
                                                     Bytes({0x08, 0x07}));
  EXPECT_EQ(later.id(), 7u);
  ExpectReadsAs<PalletDesc>(Bytes({0x48, 0x01}), Bytes({0x48, 0x01}));

  // Field 1 as fixed32 stays unknown and is written after field 2.
  const PalletDesc mistyped = ExpectReadsAs<PalletDesc>(
      Bytes({0x0D, 0x01, 0x02, 0x03, 0x04, 0x10, 0x05}),
      Bytes({0x10, 0x05, 0x0D, 0x01, 0x02, 0x03, 0x04}));
  EXPECT_FALSE(mistyped.has_id());
  ASSERT_EQ(mistyped.unknown_fields().field_count(), 1);
  EXPECT_EQ(mistyped.unknown_fields().field(0).number(), 1);
  ASSERT_EQ(mistyped.unknown_fields().field(0).type(), UnknownField::TYPE_FIXED32);
  EXPECT_EQ(mistyped.unknown_fields().field(0).fixed32(), 0x04030201u);

  // Parsing merges: empty input changes nothing, fields read overwrite.
  PalletDesc pallet;
  pallet.set_id(3);
  pallet.set_size(4);
  EXPECT_TRUE(StreamParse("", &pallet).ok());
  EXPECT_TRUE(StreamParse(Bytes({0x10, 0x09}), &pallet).ok());
  EXPECT_TRUE(pallet.MergeFromString(Bytes({0x18, 0x01})));
  ExpectWireForm(pallet, Bytes({0x08, 0x03, 0x10, 0x09, 0x18, 0x01}));
}

TEST(PalletDescTest, MalformedInput) {
  for (const std::string& input :
       {Bytes({0x08, 0x80}), Bytes({0x08, 0x01, 0x10}), Bytes({0x0D, 0x01, 0x02}),
        Bytes({0x4A, 0x05, 0x01}), Bytes({0x08, 0x01, 0x80}), Bytes({0x0F, 0x01})}) {
    ExpectRejected<PalletDesc>(input);
  }
  // An end-group tag ends the message with true, but not at a clean end.
  PalletDesc pallet;
  const StreamVerdict verdict = StreamParse(Bytes({0x08, 0x01, 0x0C, 0x10, 0x02}), &pallet);
  EXPECT_TRUE(verdict.returned);
  EXPECT_FALSE(verdict.clean_end);
  EXPECT_EQ(pallet.id(), 1u);
  EXPECT_FALSE(pallet.has_size());
  EXPECT_FALSE(PalletDesc().ParseFromString(Bytes({0x08, 0x01, 0x0C, 0x10, 0x02})));
}

// ---------------------------------------------------------------------------
// RecordingFragment and RecordingFragment_Tier

TEST(RecordingFragmentTest, Encodings) {
  ExpectWireForm(RecordingFragment(), "");
  ExpectWireForm(RecordingFragment_Tier(), "");
  RecordingFragment fragment;
  fragment.set_fragment_id(5);
  fragment.add_tiers()->add_pallets()->set_id(1);
  ExpectWireForm(fragment, Bytes({0x08, 0x05, 0x12, 0x04, 0x12, 0x02, 0x08, 0x01}));
  RecordingFragment_Tier tier;
  tier.add_pallets()->set_id(1);
  tier.add_files();
  ExpectWireForm(tier, Bytes({0x0A, 0x00, 0x12, 0x02, 0x08, 0x01}));
  RecordingFragment zero;
  zero.set_fragment_id(0);
  ExpectWireForm(zero, Bytes({0x08, 0x00}));
}

TEST(RecordingFragmentTest, AwkwardInput) {
  EXPECT_FALSE(ExpectReadsAs<RecordingFragment>(Bytes({0x0A, 0x00}), Bytes({0x0A, 0x00}))
                   .has_fragment_id());
  EXPECT_EQ(ExpectReadsAs<RecordingFragment>(Bytes({0x10, 0x01}), Bytes({0x10, 0x01}))
                .tiers_size(), 0);
  ExpectReadsAs<RecordingFragment>(Bytes({0x08, 0x05, 0x08, 0x07}), Bytes({0x08, 0x07}));
  // A tier read file, pallet, file is written file, file, pallet.
  ExpectReadsAs<RecordingFragment_Tier>(
      Bytes({0x0A, 0x02, 0x08, 0x01, 0x12, 0x02, 0x08, 0x03, 0x0A, 0x02, 0x08, 0x02}),
      Bytes({0x0A, 0x02, 0x08, 0x01, 0x0A, 0x02, 0x08, 0x02, 0x12, 0x02, 0x08, 0x03}));
  // Unknown fields at each level follow that level's known fields, inside
  // the length of the enclosing element.
  ExpectReadsAs<RecordingFragment>(
      Bytes({0x18, 0x01, 0x12, 0x06, 0x18, 0x07, 0x12, 0x02, 0x48, 0x01, 0x08, 0x02}),
      Bytes({0x08, 0x02, 0x12, 0x06, 0x12, 0x02, 0x48, 0x01, 0x18, 0x07, 0x18, 0x01}));
}

TEST(RecordingFragmentTest, BrokenTiers) {
  // The input ends inside the tier's pallet: tier and pallet stay appended.
  RecordingFragment fragment;
  ExpectStreamFails(Bytes({0x08, 0x05, 0x12, 0x03, 0x12, 0x01, 0x08}), &fragment);
  EXPECT_EQ(fragment.fragment_id(), 5u);
  ASSERT_EQ(fragment.tiers_size(), 1);
  EXPECT_EQ(fragment.tiers(0).pallets_size(), 1);
  // A tier longer than the input is appended before its length is read.
  RecordingFragment longer;
  ExpectStreamFails(Bytes({0x12, 0x04, 0x12, 0x02, 0x08}), &longer);
  EXPECT_EQ(longer.tiers_size(), 1);

  ExpectRejected<RecordingFragment>(Bytes({0x12, 0x05, 0x12, 0x02, 0x08, 0x01}));
  ExpectRejected<RecordingFragment>(Bytes({0x12, 0x01, 0x0C}));  // tier ends on end-group
  ExpectRejected<RecordingFragment>(Bytes({0x12, 0x03, 0x12, 0x02, 0x08, 0x01}));
  ExpectRejected<RecordingFragment>(Bytes({0x12, 0x03, 0x12, 0x01, 0x0C}));
}

TEST(RecordingFragmentTest, MergeAndReuse) {
  RecordingFragment target;
  target.set_fragment_id(9);
  target.add_tiers()->add_pallets()->set_id(1);
  RecordingFragment source;
  source.add_tiers()->add_pallets()->set_id(2);
  source.add_tiers()->add_files()->set_file_index(3);
  const std::string source_bytes = source.SerializeAsString();
  target.MergeFrom(source);
  ASSERT_EQ(target.tiers_size(), 3);
  EXPECT_EQ(target.fragment_id(), 9u);
  EXPECT_EQ(target.tiers(1).SerializeAsString(), source.tiers(0).SerializeAsString());
  EXPECT_EQ(target.tiers(2).SerializeAsString(), source.tiers(1).SerializeAsString());
  EXPECT_NE(&target.tiers(2), &source.tiers(1));
  EXPECT_EQ(source.SerializeAsString(), source_bytes);
  source.set_fragment_id(0);
  target.MergeFrom(source);
  EXPECT_TRUE(target.has_fragment_id());
  EXPECT_EQ(target.fragment_id(), 0u);

  RecordingFragment_Tier* tier = target.mutable_tiers(0);
  PalletDesc* pallet = tier->mutable_pallets(0);
  tier->add_files();
  target.clear_tiers();
  ASSERT_EQ(target.add_tiers(), tier);
  EXPECT_EQ(tier->files_size() + tier->pallets_size(), 0);
  ASSERT_EQ(tier->add_pallets(), pallet);
  EXPECT_FALSE(pallet->has_id());
  // Left cleared and uncounted; the sanitizer run reports it if it leaks.
  target.Clear();
}

// ---------------------------------------------------------------------------
// RecordingFragmentEntry and RecordingFragmentEntry_Track

RecordingFragmentEntry SampleEntry() {
  RecordingFragmentEntry entry;
  entry.set_header_file_offset(300);
  entry.set_header_file_index(1);
  entry.set_header_size(64);
  RecordingFragmentEntry_Track* track = entry.add_tracks();
  track->set_track_id(2);
  track->set_start_tick(1000);
  track->set_end_tick(2000);
  track->set_duration(1000);
  return entry;
}
const std::string kSampleEntryBytes = Bytes({0x08, 0xAC, 0x02, 0x10, 0x01, 0x18, 0x40, 0x22, 0x0B, 0x08,
                                        0x02, 0x10, 0xE8, 0x07, 0x18, 0xD0, 0x0F, 0x20, 0xE8, 0x07});

TEST(RecordingFragmentEntryTest, Encodings) {
  ExpectWireForm(RecordingFragmentEntry(), "");
  ExpectWireForm(RecordingFragmentEntry_Track(), "");
  const RecordingFragmentEntry entry = SampleEntry();
  ExpectWireForm(entry, kSampleEntryBytes);
  ExpectWireForm(entry.tracks(0), kSampleEntryBytes.substr(9));
  RecordingFragmentEntry_Track track;
  track.set_start_tick(std::uint64_t{1} << 32);
  ExpectWireForm(track, Bytes({0x10, 0x80, 0x80, 0x80, 0x80, 0x10}));
  track.Clear();
  track.set_duration(kMax64);
  ExpectWireForm(track, "\x20" + kVarint64Max);
  RecordingFragmentEntry zero;
  zero.set_header_file_offset(0);
  ExpectWireForm(zero, Bytes({0x08, 0x00}));
}

TEST(RecordingFragmentEntryTest, AwkwardInput) {
  // The track first, then fields 3, 2 and 1.
  ExpectReadsAs<RecordingFragmentEntry>(
      kSampleEntryBytes.substr(7) + Bytes({0x18, 0x40, 0x10, 0x01, 0x08, 0xAC, 0x02}), kSampleEntryBytes);
  // A varint wider than 32 bits keeps its low 32 bits.
  ExpectReadsAs<RecordingFragmentEntry>(Bytes({0x10, 0x85, 0x80, 0x80, 0x80, 0x10}),
                                        Bytes({0x10, 0x05}));
  // header_file_offset as fixed64, unknown numbers at both levels.
  const std::string fixed = Bytes({0x09, 1, 2, 3, 4, 5, 6, 7, 8});
  ExpectReadsAs<RecordingFragmentEntry>(
      fixed + Bytes({0x2A, 0x00, 0x22, 0x04, 0x30, 0x01, 0x08, 0x02}),
      Bytes({0x22, 0x04, 0x08, 0x02, 0x30, 0x01}) + fixed + Bytes({0x2A, 0x00}));

  RecordingFragmentEntry entry;
  ExpectStreamFails(Bytes({0x22, 0x03, 0x08, 0x02, 0x10}), &entry);
  ASSERT_EQ(entry.tracks_size(), 1);
  EXPECT_EQ(entry.tracks(0).track_id(), 2u);
  ExpectRejected<RecordingFragmentEntry>(Bytes({0x22, 0x0B, 0x08, 0x02, 0x10}));
}

TEST(RecordingFragmentEntryTest, MergeAndReuse) {
  RecordingFragmentEntry target;
  target.set_header_size(7);
  target.add_tracks()->set_track_id(1);
  RecordingFragmentEntry source = SampleEntry();
  source.clear_header_size();
  source.add_tracks()->set_duration(5);
  target.MergeFrom(source);
  ASSERT_EQ(target.tracks_size(), 3);
  EXPECT_EQ(target.header_size(), 7u);
  EXPECT_EQ(target.header_file_offset(), 300u);
  EXPECT_EQ(target.tracks(2).SerializeAsString(), source.tracks(1).SerializeAsString());

  RecordingFragmentEntry_Track* kept = target.mutable_tracks(1);
  target.clear_tracks();
  target.add_tracks();
  EXPECT_EQ(target.add_tracks(), kept);
  EXPECT_EQ(kept->ByteSize(), 0);
}

// ---------------------------------------------------------------------------
// DataReference and DataReference_Tier

TEST(DataReferenceTest, Encodings) {
  ExpectWireForm(DataReference(), "");
  ExpectWireForm(DataReference_Tier(), "");
  DataReference empty_tier;
  empty_tier.add_tiers();
  ExpectWireForm(empty_tier, Bytes({0x0A, 0x00}));
  DataReference tier_with_file;
  tier_with_file.add_tiers()->add_files();
  ExpectWireForm(tier_with_file, Bytes({0x0A, 0x02, 0x0A, 0x00}));
  DataReference both;
  both.add_files();
  both.add_fragments();
  ExpectWireForm(both, Bytes({0x12, 0x00, 0x1A, 0x00}));
  DataReference nested;
  nested.add_tiers()->add_files()->set_file_index(1);
  *nested.add_fragments() = SampleEntry();
  nested.add_files()->set_file_size(2);
  ExpectWireForm(nested, Bytes({0x0A, 0x04, 0x0A, 0x02, 0x08, 0x01, 0x12, 0x14}) + kSampleEntryBytes +
                             Bytes({0x1A, 0x02, 0x10, 0x02}));
}

TEST(DataReferenceTest, AwkwardInput) {
  const DataReference swapped =
      ExpectReadsAs<DataReference>(Bytes({0x1A, 0x00, 0x12, 0x00}), Bytes({0x12, 0x00, 0x1A, 0x00}));
  EXPECT_EQ(swapped.fragments_size() + swapped.files_size(), 2);
  EXPECT_EQ(ExpectReadsAs<DataReference>(Bytes({0x08, 0x01, 0x1A, 0x00}),
                                         Bytes({0x1A, 0x00, 0x08, 0x01})).tiers_size(), 0);
  DataReference cut;
  ExpectStreamFails(Bytes({0x0A}), &cut);
  EXPECT_EQ(cut.tiers_size(), 1);
}

TEST(DataReferenceTest, MergeAndReuse) {
  DataReference target;
  target.add_files()->set_file_id(1);
  DataReference source;
  source.add_files()->set_file_id(2);
  source.add_files()->set_file_index(3);
  target.MergeFrom(source);
  ASSERT_EQ(target.files_size(), 3);
  EXPECT_EQ(target.files(1).file_id(), 2u);
  EXPECT_EQ(target.files(2).file_index(), 3u);

  DataReference_Tier* tier = target.add_tiers();
  DataFileRef* file = tier->add_files();
  file->set_file_size(8);
  target.clear_tiers();
  ASSERT_EQ(target.add_tiers(), tier);
  EXPECT_EQ(tier->files_size(), 0);
  ASSERT_EQ(tier->add_files(), file);
  EXPECT_FALSE(file->has_file_size());
}

// A fresh parse sizes each repeated message field from the records of its
// tag that follow back to back, so every list is allocated once. The count
// skips records by their lengths, one- and two-byte ones alike; chunked
// input hides records from it, which must change nothing read.
TEST(DataReferenceTest, FreshParseSizesListsFromTheInput) {
  DataReference source;
  for (int i = 0; i < 40; ++i) {
    RecordingFragmentEntry* entry = source.add_fragments();
    entry->set_header_file_offset(1000000007ull * i);
    const int tracks = i == 17 ? 20 : 4;  // entry 17 takes a two-byte length
    for (int t = 0; t < tracks; ++t) {
      RecordingFragmentEntry_Track* track = entry->add_tracks();
      track->set_track_id(t);
      track->set_start_tick(1ull << 40 | t);
      track->set_duration(900000);
    }
  }
  const std::string fragments_only = source.SerializeAsString();
  ASSERT_GT(source.fragments(17).ByteSizeLong(), 127u);
  source.add_files()->set_file_id(0x7FFFFFFF);  // keeps the last tracks off the very end
  const std::string bytes = source.SerializeAsString();

  for (int chunk : {0, 7}) {
    for (bool context : {false, true}) {
      SCOPED_TRACE(testing::Message() << "chunk " << chunk << (context ? " context" : " stream"));
      DataReference parsed;
      ASSERT_TRUE(context ? ChunkedContextParse(bytes, chunk, &parsed)
                          : ChunkedStreamParse(bytes, chunk, &parsed));
      EXPECT_EQ(parsed.SerializeAsString(), bytes);
      if (chunk != 0) continue;
      EXPECT_EQ(parsed.fragments().Capacity(), 40);
      for (const RecordingFragmentEntry& entry : parsed.fragments()) {
        EXPECT_EQ(entry.tracks().Capacity(), entry.tracks_size());
      }
    }
  }
  // The run's last record claims bytes the input does not have.
  ExpectRejected<DataReference>(fragments_only + Bytes({0x12, 0x7F, 0x22}));
  ExpectRejected<DataReference>(fragments_only + Bytes({0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
}

// ---------------------------------------------------------------------------
// Operations every class shares

// Fields at three levels, unknown fields at two.
RecordingFragment SampleFragment() {
  RecordingFragment fragment;
  fragment.set_fragment_id(11);
  RecordingFragment_Tier* tier = fragment.add_tiers();
  tier->add_files()->set_file_id(12);
  PalletDesc* pallet = tier->add_pallets();
  pallet->set_offset(13);
  pallet->mutable_unknown_fields()->AddFixed64(20, 14);
  fragment.mutable_unknown_fields()->AddLengthDelimited(3, "xy");
  return fragment;
}

TEST(MessageFrameTest, SelfMergeIsACheckedError) {
  // The runtime's fatal check aborts or throws; a throw prints its text and aborts.
  const char* kText = "CHECK failed: \\(&from\\) != \\(this\\): ";
  auto die = [](auto&& merge) {
    try {
      merge();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
    }
    std::abort();
  };
  RecordingFragment fragment = SampleFragment();
  PalletDesc pallet;
  Message& base = fragment;
  EXPECT_DEATH(die([&] { fragment.MergeFrom(fragment); }), kText);
  EXPECT_DEATH(die([&] { pallet.MergeFrom(static_cast<const Message&>(pallet)); }), kText);
  EXPECT_DEATH(die([&] { base.CheckTypeAndMergeFrom(base); }), kText);
}

TEST(MessageFrameTest, SwapCopyAndClear) {
  RecordingFragment first = SampleFragment();
  const std::string first_bytes = first.SerializeAsString();
  first.Swap(&first);
  first.CopyFrom(first);
  first.CopyFrom(static_cast<const Message&>(first));
  RecordingFragment& alias = first;
  first = alias;
  EXPECT_EQ(Hex(first.SerializeAsString()), Hex(first_bytes)) << "self swap or copy changed it";

  RecordingFragment second;
  second.add_tiers()->add_pallets()->set_id(1);
  const std::string second_bytes = second.SerializeAsString();
  const RecordingFragment_Tier* second_tier = &second.tiers(0);
  first.Swap(&second);
  EXPECT_EQ(Hex(first.SerializeAsString()), Hex(second_bytes));
  EXPECT_EQ(Hex(second.SerializeAsString()), Hex(first_bytes));
  EXPECT_EQ(&first.tiers(0), second_tier) << "Swap copied the tiers";

  RecordingFragment copy(second);
  EXPECT_EQ(Hex(copy.SerializeAsString()), Hex(first_bytes));
  copy = first;
  EXPECT_EQ(Hex(copy.SerializeAsString()), Hex(second_bytes));
  copy.Clear();
  ExpectWireForm(copy, "");
}

TEST(MessageFrameTest, MergeFromAnotherClassGoesThroughReflection) {
  const RecordingFragment sample = SampleFragment();
  const std::string bytes = sample.SerializeAsString();
  google::protobuf::DynamicMessageFactory factory;
  std::unique_ptr<Message> dynamic(factory.GetPrototype(RecordingFragment::descriptor())->New());
  ASSERT_TRUE(dynamic->ParseFromString(bytes));

  RecordingFragment target;
  target.set_fragment_id(1);
  target.add_tiers();
  target.MergeFrom(*dynamic);
  ASSERT_EQ(target.tiers_size(), 2);
  EXPECT_EQ(target.fragment_id(), 11u);
  EXPECT_EQ(Hex(target.tiers(1).SerializeAsString()), Hex(sample.tiers(0).SerializeAsString()));
  target.CopyFrom(*dynamic);
  EXPECT_EQ(Hex(target.SerializeAsString()), Hex(bytes));
  std::unique_ptr<Message> back(dynamic->New());
  back->CopyFrom(sample);
  EXPECT_EQ(Hex(back->SerializeAsString()), Hex(bytes));
}

// ---------------------------------------------------------------------------
// Registration, default instances, descriptors and reflection

TEST(RegistrationTest, RepeatCallsChangeNothing) {
  const char* kFile = "ProtoBuf/Tarvesh/Tarvesh.Recording.proto";
  const PalletDesc* pallet = PalletDesc::default_instance_;
  const google::protobuf::DescriptorPool* pool = google::protobuf::DescriptorPool::generated_pool();
  const google::protobuf::FileDescriptor* file = pool->FindFileByName(kFile);
  ASSERT_NE(file, nullptr);
  protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto();
  protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto();
  EXPECT_EQ(PalletDesc::default_instance_, pallet);
  EXPECT_EQ(pool->FindFileByName(kFile), file);
  ASSERT_EQ(file->message_type_count(), 4);
  int nested = 0;
  for (int i = 0; i < 4; ++i) nested += file->message_type(i)->nested_type_count();
  EXPECT_EQ(nested, 3);
  ASSERT_EQ(file->dependency_count(), 1);
  EXPECT_EQ(file->dependency(0)->name(), "ProtoBuf/Halvin/Halvin.Storage.proto");
}

// Default instance, descriptor() and the generated factory of one class agree.
template <class M>
void ExpectClassRegistered(const char* full_name) {
  SCOPED_TRACE(full_name);
  const M& instance = M::default_instance();
  EXPECT_EQ(&instance, M::default_instance_);
  EXPECT_EQ(&M::default_instance(), &instance);
  EXPECT_EQ(instance.ByteSize(), 0);
  std::vector<const google::protobuf::FieldDescriptor*> fields;
  instance.GetReflection()->ListFields(instance, &fields);
  EXPECT_TRUE(fields.empty());
  const google::protobuf::Descriptor* descriptor = M::descriptor();
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(descriptor->full_name(), full_name);
  EXPECT_EQ(descriptor,
            google::protobuf::DescriptorPool::generated_pool()->FindMessageTypeByName(full_name));
  EXPECT_EQ(instance.GetMetadata().descriptor, descriptor);
  EXPECT_EQ(google::protobuf::MessageFactory::generated_factory()->GetPrototype(descriptor),
            &instance);
  std::unique_ptr<M> made(instance.New());
  EXPECT_NE(made.get(), &instance);
}

TEST(RegistrationTest, DefaultInstancesDescriptorsAndPrototypes) {
  ExpectClassRegistered<PalletDesc>("Pb.Tarvesh.PalletDesc");
  ExpectClassRegistered<RecordingFragment>("Pb.Tarvesh.RecordingFragment");
  ExpectClassRegistered<RecordingFragment_Tier>("Pb.Tarvesh.RecordingFragment.Tier");
  ExpectClassRegistered<RecordingFragmentEntry>("Pb.Tarvesh.RecordingFragmentEntry");
  ExpectClassRegistered<RecordingFragmentEntry_Track>("Pb.Tarvesh.RecordingFragmentEntry.Track");
  ExpectClassRegistered<DataReference>("Pb.Tarvesh.DataReference");
  ExpectClassRegistered<DataReference_Tier>("Pb.Tarvesh.DataReference.Tier");
  EXPECT_EQ(PalletDesc::descriptor()->field_count(), 8);
  EXPECT_EQ(RecordingFragment_Tier::descriptor(), RecordingFragment::descriptor()->nested_type(0));
  EXPECT_EQ(RecordingFragmentEntry_Track::descriptor(),
            RecordingFragmentEntry::descriptor()->nested_type(0));
  EXPECT_EQ(DataReference_Tier::descriptor(), DataReference::descriptor()->nested_type(0));
}

TEST(ReflectionTest, SharesStorageWithTheAccessors) {
  PalletDesc pallet;
  const google::protobuf::Reflection* reflection = pallet.GetReflection();
  const google::protobuf::FieldDescriptor* field = PalletDesc::descriptor()->field(3);
  ASSERT_EQ(field->name(), "recording_id");
  reflection->SetUInt64(&pallet, field, 0x123456789ull);
  EXPECT_TRUE(pallet.has_recording_id());
  EXPECT_EQ(pallet.recording_id(), 0x123456789ull);
  EXPECT_EQ(Hex(pallet.SerializeAsString()), Hex(Bytes({0x20, 0x89, 0xCF, 0x95, 0x9A, 0x12})));
  pallet.set_recording_id(42);
  EXPECT_EQ(reflection->GetUInt64(pallet, field), 42u);
  pallet.clear_recording_id();
  EXPECT_FALSE(reflection->HasField(pallet, field));

  // Every field through reflection lands where the accessors look.
  for (int i = 0; i < 8; ++i) {
    const google::protobuf::FieldDescriptor* each = PalletDesc::descriptor()->field(i);
    if (each->cpp_type() == google::protobuf::FieldDescriptor::CPPTYPE_UINT32) {
      reflection->SetUInt32(&pallet, each, 100 + i);
    } else {
      reflection->SetUInt64(&pallet, each, 100 + i);
    }
  }
  EXPECT_EQ(Hex(pallet.SerializeAsString()),
            Hex(Bytes({0x08, 100, 0x10, 101, 0x18, 102, 0x20, 103, 0x28, 104, 0x30, 105, 0x38, 106,
                       0x40, 107})));

  RecordingFragment fragment;
  Message* added = fragment.GetReflection()->AddMessage(
      &fragment, RecordingFragment::descriptor()->FindFieldByName("tiers"));
  ASSERT_EQ(fragment.tiers_size(), 1);
  EXPECT_EQ(added, &fragment.tiers(0));
  Message* pallet_added = added->GetReflection()->AddMessage(
      added, RecordingFragment_Tier::descriptor()->FindFieldByName("pallets"));
  EXPECT_EQ(pallet_added, &fragment.tiers(0).pallets(0));
}

TEST(TextFormatTest, RoundTrip) {
  DataReference reference;
  reference.add_tiers()->add_files()->set_file_index(3);
  *reference.add_fragments() = SampleEntry();
  reference.add_files()->set_file_id(kMax64);
  std::string text;
  ASSERT_TRUE(google::protobuf::TextFormat::PrintToString(reference, &text));
  EXPECT_NE(text.find("header_file_offset: 300"), std::string::npos) << text;
  EXPECT_NE(text.find("file_id: 18446744073709551615"), std::string::npos) << text;
  DataReference read_back;
  ASSERT_TRUE(google::protobuf::TextFormat::ParseFromString(text, &read_back));
  EXPECT_EQ(Hex(read_back.SerializeAsString()), Hex(reference.SerializeAsString()));
}

}  // namespace
