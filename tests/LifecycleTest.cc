// SPDX-License-Identifier: BSD-3-Clause
// Checks that need a process of their own: what loading the library did and
// did not do, which schema files a first descriptor() builds, and what the
// runtime's shutdown frees. Every check runs in a freshly executed child
// (threadsafe death-test style), which exits 0 when all its checks hold.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "SchemaFiles.h"

namespace {

// ---------------------------------------------------------------------------
// Counting deletions: the program's operator delete counts the watched
// addresses while armed and hands every pointer on to the next definition
// (the sanitizer's or the C++ library's). Under AddressSanitizer the program
// defines operator new too, over malloc and free: clang links the
// sanitizer's operator new into the program itself, where dlsym(RTLD_NEXT)
// cannot reach its matching delete.

#if defined(__SANITIZE_ADDRESS__)
#define TARVESH_OWN_OPERATOR_NEW 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVESH_OWN_OPERATOR_NEW 1
#endif
#endif

constexpr int kMaxWatched = 16;
const void* watched[kMaxWatched];
int deletions[kMaxWatched];
int watched_count = 0;
std::atomic<bool> armed{false};

void NoteDelete(const void* pointer) {
  if (!armed.load(std::memory_order_relaxed)) return;
  for (int i = 0; i < watched_count; ++i) {
    if (watched[i] == pointer) ++deletions[i];
  }
}

void ForwardDelete(void* pointer) {
#if TARVESH_OWN_OPERATOR_NEW
  std::free(pointer);
#else
  using Delete = void (*)(void*);
  static const Delete next = reinterpret_cast<Delete>(dlsym(RTLD_NEXT, "_ZdlPv"));
  next(pointer);
#endif
}

}  // namespace

#if TARVESH_OWN_OPERATOR_NEW
void* operator new(std::size_t size) {
  void* pointer = std::malloc(size == 0 ? 1 : size);
  if (pointer == nullptr) throw std::bad_alloc();
  return pointer;
}
#endif
void operator delete(void* pointer) noexcept {
  NoteDelete(pointer);
  ForwardDelete(pointer);
}
// The sized form goes to the unsized one, so each deletion counts once
// whether or not the next definition forwards the same way.
void operator delete(void* pointer, std::size_t) noexcept {
  NoteDelete(pointer);
  ForwardDelete(pointer);
}

namespace {

using namespace Pb::Tarvesh;
namespace gp = google::protobuf;

using tarvesh_test::kRecordingFile;
using tarvesh_test::kTrackFile;
using tarvesh_test::SchemaFileBuilt;

// Runs `checks` and exits the child: 0 when nothing was reported.
class Child {
 public:
  void Check(bool condition, const char* what) {
    if (!condition) {
      std::fprintf(stderr, "check failed: %s\n", what);
      failed_ = true;
    }
  }
  [[noreturn]] void Exit() { std::exit(failed_ ? 1 : 0); }

 private:
  bool failed_ = false;
};

#define IN_FRESH_PROCESS(body) \
  EXPECT_EXIT({ Child child; body; child.Exit(); }, testing::ExitedWithCode(0), "")

// Watches every default instance of the library's files.
void WatchDefaultInstances() {
  const gp::Message* instances[] = {
      &PalletDesc::default_instance(), &RecordingFragment::default_instance(),
      &RecordingFragment_Tier::default_instance(), &RecordingFragmentEntry::default_instance(),
      &RecordingFragmentEntry_Track::default_instance(), &DataReference::default_instance(),
      &DataReference_Tier::default_instance(), &CountDeltaS32::default_instance(),
      &CountValU32::default_instance(), &CountValS32::default_instance(),
      &FrameTable::default_instance(), &Track::default_instance(),
  };
  watched_count = 0;
  for (const gp::Message* instance : instances) {
    deletions[watched_count] = 0;
    watched[watched_count++] = instance;
  }
}

void ShutdownAndCheck(Child& child) {
  armed = true;
  gp::ShutdownProtobufLibrary();
  armed = false;
  for (int i = 0; i < watched_count; ++i) {
    if (deletions[i] != 1) {
      std::fprintf(stderr, "default instance %d deleted %d times\n", i, deletions[i]);
      child.Check(false, "each default instance deleted exactly once");
    }
  }
}

TEST(LifecycleTest, LoadRegistersWithoutBuildingDescriptors) {
  IN_FRESH_PROCESS({
    child.Check(PalletDesc::default_instance_ != nullptr, "PalletDesc instance made at load");
    child.Check(DataReference_Tier::default_instance_ != nullptr,
                "DataReference_Tier instance made at load");
    child.Check(Track::default_instance_ != nullptr, "Track instance made at load");
    child.Check(!SchemaFileBuilt(kRecordingFile), "Recording file not built before its first use");
    child.Check(!SchemaFileBuilt(kTrackFile), "Track file not built before its first use");
  });
}

// The first descriptor() of a file builds that file alone, and GetMetadata()
// of another of its classes then gives the same file's descriptors.
TEST(LifecycleTest, FirstUseBuildsItsFileAlone) {
  struct FirstUse {
    const char* file;
    const char* other_file;
    const gp::Descriptor* (*descriptor)();
    const gp::Descriptor* (*sibling)();  // another class's GetMetadata()
    const char* sibling_name;
  };
  const FirstUse uses[] = {
      {kRecordingFile, kTrackFile, &PalletDesc::descriptor,
       [] { return DataReference_Tier().GetMetadata().descriptor; }, "Pb.Tarvesh.DataReference.Tier"},
      {kTrackFile, kRecordingFile, &Track::descriptor, [] { return FrameTable().GetMetadata().descriptor; },
       "Pb.Tarvesh.FrameTable"},
  };
  for (const FirstUse& use : uses) {
    SCOPED_TRACE(use.file);
    IN_FRESH_PROCESS({
      const gp::Descriptor* first = use.descriptor();
      child.Check(first != nullptr && SchemaFileBuilt(use.file), "the file built by descriptor()");
      const gp::Descriptor* sibling = use.sibling();
      child.Check(sibling->file() == first->file() && sibling->full_name() == use.sibling_name,
                  "GetMetadata() of another class gives the same file's descriptors");
      child.Check(!SchemaFileBuilt(use.other_file), "the other file left unbuilt");
    });
  }
}

// With the descriptors and reflection of both files built and used, and
// with none built.
TEST(LifecycleTest, ShutdownDeletesEachDefaultInstanceOnce) {
  for (const bool used : {true, false}) {
    SCOPED_TRACE(used ? "descriptors used" : "no descriptors");
    IN_FRESH_PROCESS({
      WatchDefaultInstances();
      for (int i = 0; used && i < watched_count; ++i) {
        const gp::Message* instance = static_cast<const gp::Message*>(watched[i]);
        child.Check(instance->GetDescriptor() != nullptr, "descriptor assigned");
        std::vector<const gp::FieldDescriptor*> fields;
        instance->GetReflection()->ListFields(*instance, &fields);
        child.Check(fields.empty(), "default instance is empty");
      }
      child.Check(used || !SchemaFileBuilt(kRecordingFile), "no descriptors built before the shutdown");
      ShutdownAndCheck(child);
    });
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Re-execute the program for each child, so each starts from a fresh load.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  return RUN_ALL_TESTS();
}
