// SPDX-License-Identifier: BSD-3-Clause
// The Recording file's classes where the schema-driven tests do not reach:
// list sizing on a fresh parse, the self-merge check, and registration
// called again.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ParseJudge.h"

namespace {

using namespace Pb::Tarvesh;
using namespace tarvesh_test;
using google::protobuf::Message;

// A fresh parse sizes each repeated message field from the records of its
// tag that follow back to back, so every list is allocated once. The count
// skips records by their lengths, one- and two-byte ones alike; chunked
// input hides records from it, which must change nothing read.
TEST(RecordingTest, FreshParseSizesListsFromTheInput) {
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
  // Five six-byte records, the last one ending the input: the stream
  // parser, which sees its whole buffer, counts them all.
  std::string five;
  for (int i = 0; i < 5; ++i) five += Bytes({0x12, 0x04, 0x10, 0x01, 0x18, 0x02});
  const tarvesh_test::Judgement k = tarvesh_test::JudgeParse<DataReference>(five, options);
  EXPECT_EQ(k.disagreement, "");
  for (const char* way : {"stream", "context"}) {
    const auto& parsed = static_cast<const DataReference&>(*j.Way(way).message);
    EXPECT_EQ(parsed.fragments().Capacity(), 40) << way;
    for (const RecordingFragmentEntry& entry : parsed.fragments()) {
      EXPECT_EQ(entry.tracks().Capacity(), entry.tracks_size()) << way;
    }
  }
  EXPECT_EQ(static_cast<const DataReference&>(*k.Way("stream").message).fragments().Capacity(),
            5);
  // The run's last record claims bytes the input does not have.
  ExpectRejected<DataReference>(fragments_only + Bytes({0x12, 0x7F, 0x22}));
  ExpectRejected<DataReference>(fragments_only + Bytes({0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
}

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

TEST(RecordingTest, SelfMergeIsACheckedError) {
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

// The descriptors themselves are pinned against the schema text (OracleTest),
// and each class's prototype against its bindings (SchemaDrivenTest).
TEST(RecordingTest, RepeatRegistrationChangesNothing) {
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

}  // namespace
