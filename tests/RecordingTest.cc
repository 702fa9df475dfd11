// The Recording file's classes where the schema-driven tests do not reach:
// element reuse and list sizing, the self-merge check, Swap without copies,
// and registration, descriptors and reflection as a running program sees them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ParseJudge.h"

namespace {

using namespace Pb::Tarvesh;
using namespace tarvesh_test;
using Pb::Halvin::Stor::DataFileRef;
using google::protobuf::Message;

// ---------------------------------------------------------------------------
// Repeated message fields

// Cleared elements stay allocated and are handed out again, emptied, by the
// next add; nested ones too.
TEST(RepeatedMessageTest, ClearedElementsAreReused) {
  RecordingFragment fragment;
  RecordingFragment_Tier* tier = fragment.add_tiers();
  PalletDesc* pallet = tier->add_pallets();
  pallet->set_id(1);
  tier->add_files();
  fragment.clear_tiers();
  ASSERT_EQ(fragment.add_tiers(), tier);
  EXPECT_EQ(tier->files_size() + tier->pallets_size(), 0);
  ASSERT_EQ(tier->add_pallets(), pallet);
  EXPECT_FALSE(pallet->has_id());
  fragment.Clear();  // left cleared and uncounted; freed with the fragment

  RecordingFragmentEntry entry;
  RecordingFragmentEntry_Track* kept = entry.add_tracks();
  kept->set_duration(5);
  entry.clear_tracks();
  EXPECT_EQ(entry.add_tracks(), kept);
  EXPECT_EQ(kept->ByteSize(), 0);

  DataReference reference;
  DataReference_Tier* reference_tier = reference.add_tiers();
  DataFileRef* file = reference_tier->add_files();
  file->set_file_size(8);
  reference.clear_tiers();
  ASSERT_EQ(reference.add_tiers(), reference_tier);
  ASSERT_EQ(reference_tier->add_files(), file);
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

  tarvesh_test::JudgeOptions options;
  options.chunks = {0, 7};
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<DataReference>(bytes, options);
  EXPECT_EQ(j.disagreement, "");
  EXPECT_EQ(j.oracle.partial, bytes);
  for (const char* way : {"stream", "context"}) {
    const auto& parsed = static_cast<const DataReference&>(*j.Way(way).message);
    EXPECT_EQ(parsed.fragments().Capacity(), 40) << way;
    for (const RecordingFragmentEntry& entry : parsed.fragments()) {
      EXPECT_EQ(entry.tracks().Capacity(), entry.tracks_size()) << way;
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

// Swap exchanges the element containers; nothing is copied.
TEST(MessageFrameTest, SwapMovesElements) {
  RecordingFragment first = SampleFragment();
  RecordingFragment second;
  second.add_tiers()->add_pallets()->set_id(1);
  const RecordingFragment_Tier* first_tier = &first.tiers(0);
  const RecordingFragment_Tier* second_tier = &second.tiers(0);
  first.Swap(&second);
  EXPECT_EQ(&first.tiers(0), second_tier);
  EXPECT_EQ(&second.tiers(0), first_tier);
}

// ---------------------------------------------------------------------------
// Registration, default instances, descriptors and reflection

// The descriptors themselves are pinned against the schema text (OracleTest).
TEST(RegistrationTest, RepeatCallsChangeNothing) {
  const google::protobuf::DescriptorPool* pool = google::protobuf::DescriptorPool::generated_pool();
  const PalletDesc* pallet = PalletDesc::default_instance_;
  const Pb::Tarvesh::Track* track = Pb::Tarvesh::Track::default_instance_;
  const auto* recording_file = pool->FindFileByName("ProtoBuf/Tarvesh/Tarvesh.Recording.proto");
  const auto* track_file = pool->FindFileByName("ProtoBuf/Tarvesh/Tarvesh.Track.proto");
  for (int i = 0; i < 2; ++i) {
    protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eRecording_2eproto();
    protobuf_AddDesc_ProtoBuf_2fTarvesh_2fTarvesh_2eTrack_2eproto();
  }
  EXPECT_EQ(PalletDesc::default_instance_, pallet);
  EXPECT_EQ(Pb::Tarvesh::Track::default_instance_, track);
  EXPECT_EQ(pool->FindFileByName("ProtoBuf/Tarvesh/Tarvesh.Recording.proto"), recording_file);
  EXPECT_EQ(pool->FindFileByName("ProtoBuf/Tarvesh/Tarvesh.Track.proto"), track_file);
  EXPECT_EQ(google::protobuf::MessageFactory::generated_factory()->GetPrototype(
                Pb::Tarvesh::Track::descriptor()), track);
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

}  // namespace
