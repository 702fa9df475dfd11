// SPDX-License-Identifier: BSD-3-Clause
// Races the lazy first uses of the library from several threads: the first
// descriptor(), GetMetadata() and factory request must each build the schema
// files once and hand every thread the same objects. Each round runs in a
// freshly executed child (threadsafe death-test style), so every race is a
// true first use; built under ThreadSanitizer, any data race fails the child.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ProtoBuf/Velto/Velto.pb.h"
#include "SchemaFiles.h"

namespace {

using namespace Pb::Tarvesh;
namespace gp = google::protobuf;

constexpr int kThreads = 8;
constexpr int kRounds = 6;

// One first use: what it returns, compared across threads and with the
// answer the main thread gets once the race is over.
using FirstUse = std::function<const void*()>;

const gp::Message* FactoryPrototype(const char* full_name) {
  const gp::Descriptor* type =
      gp::DescriptorPool::generated_pool()->FindMessageTypeByName(full_name);
  return type == nullptr ? nullptr : gp::MessageFactory::generated_factory()->GetPrototype(type);
}

// Reflection on a message of the thread's own, right after the first use.
const void* ReflectedTrackId() {
  Track track;
  const gp::Reflection* reflection = track.GetReflection();
  const gp::FieldDescriptor* field = track.GetDescriptor()->FindFieldByName("track_id");
  if (field == nullptr) return nullptr;
  reflection->SetUInt32(&track, field, 77);
  return reflection->GetUInt32(track, field) == 77 && track.track_id() == 77
             ? track.GetDescriptor()
             : nullptr;
}

// Releases kThreads threads together, each running uses[i % uses.size()],
// and exits 0 when every thread saw the same non-null result per use as the
// main thread sees afterwards.
[[noreturn]] void RaceFirstUses(const std::vector<FirstUse>& uses) {
  int failures = 0;
  for (const char* file : {tarvesh_test::kRecordingFile, tarvesh_test::kTrackFile}) {
    if (tarvesh_test::SchemaFileBuilt(file)) {
      std::fprintf(stderr, "%s built before the race\n", file);
      ++failures;
    }
  }

  std::atomic<int> waiting{0};
  std::atomic<bool> go{false};
  std::vector<const void*> seen(kThreads, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      waiting.fetch_add(1);
      while (!go.load(std::memory_order_acquire)) std::this_thread::yield();
      seen[i] = uses[i % uses.size()]();
    });
  }
  while (waiting.load() != kThreads) std::this_thread::yield();
  go.store(true, std::memory_order_release);
  for (std::thread& thread : threads) thread.join();

  for (int i = 0; i < kThreads; ++i) {
    const void* expected = uses[i % uses.size()]();
    if (expected == nullptr || seen[i] != expected) {
      std::fprintf(stderr, "thread %d saw %p, main thread %p\n", i, seen[i], expected);
      ++failures;
    }
  }
  std::exit(failures == 0 ? 0 : 1);
}

void RunRounds(const std::vector<FirstUse>& uses) {
  for (int round = 0; round < kRounds; ++round) {
    EXPECT_EXIT(RaceFirstUses(uses), testing::ExitedWithCode(0), "") << "round " << round;
  }
}

// Every thread making the same first use: descriptor(), GetMetadata() and
// the factory's prototype, each in rounds of its own.
TEST(ConcurrencyTest, SameFirstUseFromEveryThread) {
  RunRounds({[] { return static_cast<const void*>(Track::descriptor()); }});
  RunRounds({[] { return static_cast<const void*>(PalletDesc().GetMetadata().reflection); }});
  RunRounds({[] {
    const gp::Message* prototype = FactoryPrototype("Pb.Tarvesh.DataReference");
    return prototype == &DataReference::default_instance() ? prototype : nullptr;
  }});
}

// Different first uses of both files and the sibling files they import,
// meeting in the same once-only initialisations.
TEST(ConcurrencyTest, MixedFirstUsesAcrossFiles) {
  RunRounds({
      [] { return static_cast<const void*>(Track::descriptor()); },
      [] { return static_cast<const void*>(DataReference_Tier().GetMetadata().descriptor); },
      [] { return static_cast<const void*>(FactoryPrototype("Pb.Tarvesh.FrameTable")); },
      [] { return static_cast<const void*>(RecordingFragmentEntry::descriptor()); },
      [] { return static_cast<const void*>(Pb::Velto::Authentication_descriptor()); },
      [] { return static_cast<const void*>(Pb::Halvin::Stor::DataFileRef::descriptor()); },
      [] { return ReflectedTrackId(); },
      [] { return static_cast<const void*>(FactoryPrototype("Pb.Tarvesh.PalletDesc")); },
  });
}

// Sizing and serialising one const message from several threads at once:
// the cached sizes (whole messages and packed columns) are written by every
// thread, with the same values, and must not race.
TEST(ConcurrencyTest, ConstSerialisationFromEveryThread) {
  Track track;
  track.set_track_id(7);
  for (int t = 0; t < 4; ++t) {
    FrameTable* table = track.add_frame_tables();
    for (int i = 0; i < 50; ++i) {
      table->add_frame_sizes(i * 300 - 9000);
      table->add_frame_to_pallet_offsets(i * 1000);
      table->add_access_unit_length_diffs(-i);
      table->add_access_unit_offset_jumps(i);
      table->add_auth_tags(0x0123456789ABCDEFull * i);
      table->add_errors()->set_val(-i);
    }
  }
  const Track& shared = track;
  const std::string expected = shared.SerializeAsString();
  std::vector<std::string> written(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&shared, &written, i] {
      for (int round = 0; round < 20; ++round) {
        const int size = shared.ByteSize();
        std::string array(static_cast<std::size_t>(size), '\0');
        shared.SerializeWithCachedSizesToArray(reinterpret_cast<std::uint8_t*>(&array[0]));
        std::string runtime;
        shared.SerializeToString(&runtime);
        written[i] = runtime == array && shared.ByteSizeLong() == array.size() ? array : "";
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& bytes : written) EXPECT_EQ(bytes, expected);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Re-execute the program for each child, so each starts from a fresh load.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
