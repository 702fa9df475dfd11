// SPDX-License-Identifier: BSD-3-Clause
// The benchmark suite: every workload through the library's classes, through
// DynamicMessage of the same schema, and (for the track) through a protozero
// decoder into plain vectors and a protozero encoder back, all on the same
// bytes; a memcpy of those bytes marks the physical bound. Names are
// <workload>/<implementation>/<operation>; Tarvesh-<kernel> is the library
// with that varint kernel forced, Sweep/Track<n>/... a track of n tables.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <malloc.h>

#include <benchmark/benchmark.h>
#include <google/protobuf/arena.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>

#include "AllocationCounter.h"
#include "kernels/VarintKernels.h"
#include "PlainTrack.h"
#include "SchemaOracle.h"
#include "Workloads.h"

namespace tarvesh_bench {
namespace {

namespace gp = google::protobuf;

// One implementation of a workload. T is the static type the operations are
// called through: a library class, so that its own non-virtual members are
// the ones used, or gp::Message for DynamicMessage.
template <class T>
struct Subject {
  std::function<std::unique_ptr<T>()> make;  // a new, empty message
  const T* source;                           // the filled message
  const std::string* bytes;                  // its serialized form
};

// Runs `body` twice to warm up (buffers reach their steady size), then as the
// timed loop. Reports the serialized size as bytes processed per iteration,
// and the allocations per timed iteration as the counter "allocs".
template <class Body>
void Run(benchmark::State& state, std::size_t bytes, Body body) {
  for (int i = 0; i < 2; ++i) {
    if (!body()) {
      state.SkipWithError("operation failed");
      return;
    }
  }
  const std::uint64_t before = AllocationCount();
  for (auto _ : state) {
    if (!body()) {
      state.SkipWithError("operation failed");
      break;
    }
  }
  const std::uint64_t allocations = AllocationCount() - before;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

template <class T>
bool ParseCoded(T* message, const std::string& bytes) {
  gp::io::CodedInputStream input(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                 static_cast<int>(bytes.size()));
  return message->T::MergePartialFromCodedStream(&input);
}

// Sizes the message and caches the sizes for the array writer: the class's
// own ByteSize(), or ByteSizeLong() where the runtime's is deprecated.
template <class T>
std::size_t SizeAndCache(const T& message) {
  if constexpr (std::is_same_v<T, gp::Message>) {
    return message.ByteSizeLong();
  } else {
    return static_cast<std::size_t>(message.ByteSize());
  }
}

template <class T>
void ByteSizeLong(benchmark::State& state, const Subject<T>& s) {
  Run(state, s.bytes->size(), [&] {
    benchmark::DoNotOptimize(s.source->ByteSizeLong());
    return true;
  });
}

template <class T>
void SerializeToArray(benchmark::State& state, const Subject<T>& s) {
  std::vector<std::uint8_t> buffer(s.bytes->size());
  Run(state, s.bytes->size(), [&] {
    const std::size_t size = SizeAndCache(*s.source);
    std::uint8_t* end = s.source->SerializeWithCachedSizesToArray(buffer.data());
    benchmark::DoNotOptimize(end);
    benchmark::ClobberMemory();
    return static_cast<std::size_t>(end - buffer.data()) == size;
  });
}

template <class T>
void SerializeToString(benchmark::State& state, const Subject<T>& s) {
  std::string out;
  Run(state, s.bytes->size(), [&] {
    const bool ok = s.source->SerializeToString(&out);
    benchmark::DoNotOptimize(out.data());
    return ok && out.size() == s.bytes->size();
  });
}

template <class T>
void ParseCodedStream(benchmark::State& state, const Subject<T>& s) {
  Run(state, s.bytes->size(), [&] {
    std::unique_ptr<T> message = s.make();
    return ParseCoded(message.get(), *s.bytes);
  });
}

template <class T>
void ParseString(benchmark::State& state, const Subject<T>& s) {
  Run(state, s.bytes->size(), [&] {
    std::unique_ptr<T> message = s.make();
    return message->ParseFromString(*s.bytes);
  });
}

template <class T>
void ReusedParseCodedStream(benchmark::State& state, const Subject<T>& s) {
  std::unique_ptr<T> message = s.make();
  Run(state, s.bytes->size(), [&] {
    message->Clear();
    return ParseCoded(message.get(), *s.bytes);
  });
}

template <class T>
void ReusedParseString(benchmark::State& state, const Subject<T>& s) {
  std::unique_ptr<T> message = s.make();
  Run(state, s.bytes->size(), [&] {
    message->Clear();
    return message->ParseFromString(*s.bytes);
  });
}

// Into the same message every time: CopyFrom clears it first.
template <class T>
void CopyFrom(benchmark::State& state, const Subject<T>& s) {
  std::unique_ptr<T> message = s.make();
  Run(state, s.bytes->size(), [&] {
    message->CopyFrom(*s.source);
    return true;
  });
}

// Into a new message every time, which is then destroyed.
template <class T>
void MergeFrom(benchmark::State& state, const Subject<T>& s) {
  Run(state, s.bytes->size(), [&] {
    std::unique_ptr<T> message = s.make();
    message->MergeFrom(*s.source);
    benchmark::DoNotOptimize(message.get());
    return true;
  });
}

// The library's benchmarks run with a varint kernel forced for their
// duration: the load-time choice under <workload>/Tarvesh, each kernel in
// turn under <workload>/Tarvesh-<kernel>.
template <class Function, class T>
void RegisterWithKernel(const std::string& name, Function function, const Subject<T>& subject,
                        const Pb::kernels::VarintKernel* kernel) {
  benchmark::RegisterBenchmark(name.c_str(), [function, subject, kernel](benchmark::State& state) {
    if (kernel != nullptr) Pb::kernels::ForceVarintKernel(*kernel);
    function(state, subject);
    Pb::kernels::ForceVarintKernel(Pb::kernels::LoadTimeVarintKernel());
  });
}

// `varint_only`: just the operations that size, write or read varints.
template <class T>
void RegisterSubject(const std::string& prefix, const Subject<T>& subject,
                     const Pb::kernels::VarintKernel* kernel = nullptr, bool varint_only = false) {
  using Function = void (*)(benchmark::State&, const Subject<T>&);
  const std::pair<const char*, Function> operations[] = {
      {"ByteSizeLong", &ByteSizeLong<T>},
      {"SerializeToArray", &SerializeToArray<T>},
      {"SerializeToString", &SerializeToString<T>},
      {"ParseCodedStream", &ParseCodedStream<T>},
      {"ParseString", &ParseString<T>},
      {"ReusedParseCodedStream", &ReusedParseCodedStream<T>},
      {"ReusedParseString", &ReusedParseString<T>},
      {"CopyFrom", &CopyFrom<T>},
      {"MergeFrom", &MergeFrom<T>},
  };
  for (const auto& [name, function] : operations) {
    if (varint_only && (std::strcmp(name, "CopyFrom") == 0 || std::strcmp(name, "MergeFrom") == 0)) {
      continue;
    }
    RegisterWithKernel(prefix + "/" + name, function, subject, kernel);
  }
}

void Memcpy(benchmark::State& state, const std::string* bytes) {
  std::vector<char> copy(bytes->size());
  Run(state, bytes->size(), [&] {
    std::memcpy(copy.data(), bytes->data(), bytes->size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    return true;
  });
}

void ProtozeroReusedDecode(benchmark::State& state, const std::string* bytes) {
  PlainTrack plain;
  Run(state, bytes->size(), [&] {
    plain.Clear();
    return plain.Decode(bytes->data(), bytes->size());
  });
}

// ---------------------------------------------------------------------------
// ArenaParseString: a fresh arena, a message created on it, ParseFromString.
// The arena's first block is a buffer of the benchmark's own, sized from a
// trial parse, so setting up the arena takes nothing from the heap and every
// allocation counted is one the parse made outside the arena: a std::string
// longer than its inline capacity allocates its characters itself. The
// counter "long_strings" says how many such strings one parse creates.

template <class NewOnArena>
void ArenaParseString(benchmark::State& state, const std::string* bytes,
                      NewOnArena new_on_arena, int long_strings) {
  std::size_t block_size;
  {
    gp::Arena trial;
    if (!new_on_arena(&trial)->ParseFromString(*bytes)) {
      state.SkipWithError("trial parse failed");
      return;
    }
    block_size = 2 * static_cast<std::size_t>(trial.SpaceAllocated()) + 4096;
  }
  std::vector<char> block(block_size);
  gp::ArenaOptions options;
  options.initial_block = block.data();
  options.initial_block_size = block.size();
  Run(state, bytes->size(), [&] {
    gp::Arena arena(options);
    return new_on_arena(&arena)->ParseFromString(*bytes);
  });
  state.counters["long_strings"] = long_strings;
}

int LongStrings(const Pb::Tarvesh::Track& track) {
  int count = 0;
  for (const Pb::Tarvesh::FrameTable& table : track.frame_tables()) {
    count += table.coding_depend().size() > std::string().capacity();
  }
  return count;
}
int LongStrings(const gp::Message&) { return 0; }  // the other workloads hold none

template <class Message>
void RegisterArenaParse(const std::string& name, const Message& message,
                        const std::string* bytes, const gp::Message* dynamic_prototype) {
  const int long_strings = LongStrings(message);
  benchmark::RegisterBenchmark(
      (name + "/Tarvesh/ArenaParseString").c_str(), [=](benchmark::State& state) {
        ArenaParseString(
            state, bytes,
            [](gp::Arena* arena) { return gp::Arena::CreateMessage<Message>(arena); },
            long_strings);
      });
  benchmark::RegisterBenchmark(
      (name + "/Dynamic/ArenaParseString").c_str(), [=](benchmark::State& state) {
        ArenaParseString(
            state, bytes, [dynamic_prototype](gp::Arena* arena) {
              return dynamic_prototype->New(arena);
            },
            long_strings);
      });
}

// ---------------------------------------------------------------------------

// protozero writing the same track from plain vectors into a reused string.
void ProtozeroEncode(benchmark::State& state, const PlainTrack* plain) {
  std::string out;
  plain->Encode(&out);
  const std::size_t size = out.size();
  Run(state, size, [&] {
    plain->Encode(&out);
    benchmark::DoNotOptimize(out.data());
    return out.size() == size;
  });
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "benchmark setup: %s\n", why.c_str());
  std::exit(2);
}

// A workload: the library's message, its bytes, and the same bytes parsed
// into a DynamicMessage. Setup checks that all agree on those bytes.
template <class Message>
struct Workload {
  std::string name;
  Message message;
  std::string bytes;
  std::unique_ptr<gp::Message> dynamic;

  Workload(std::string workload_name, void (*make)(Message*))
      : name(std::move(workload_name)) {
    make(&message);
    bytes = message.SerializeAsString();
    Message reparsed;
    if (!reparsed.ParseFromString(bytes) || reparsed.SerializeAsString() != bytes) {
      Fail(name + ": the library does not read back its own bytes");
    }
    dynamic = tarvesh_test::SchemaOracle::Get().New(Message::descriptor()->full_name());
    if (!dynamic->ParseFromString(bytes) || dynamic->SerializeAsString() != bytes) {
      Fail(name + ": DynamicMessage does not write the library's bytes back");
    }
    benchmark::AddCustomContext(name + ".bytes", std::to_string(bytes.size()));
  }

  void Register() const {
    const Subject<Message> ours{[] { return std::make_unique<Message>(); }, &message, &bytes};
    RegisterSubject<Message>(name + "/Tarvesh", ours, &Pb::kernels::LoadTimeVarintKernel());
    const gp::Message* prototype = dynamic.get();  // New() gives an empty one of its type
    RegisterSubject<gp::Message>(
        name + "/Dynamic",
        Subject<gp::Message>{[prototype] { return std::unique_ptr<gp::Message>(prototype->New()); },
                             dynamic.get(), &bytes});
    benchmark::RegisterBenchmark((name + "/Memcpy/Copy").c_str(), &Memcpy, &bytes);
    RegisterArenaParse(name, message, &bytes, prototype);
  }

  void RegisterEachKernel() const {
    const Subject<Message> ours{[] { return std::make_unique<Message>(); }, &message, &bytes};
    for (int k = 0; k < Pb::kernels::VarintKernelCount(); ++k) {
      const Pb::kernels::VarintKernel& kernel = Pb::kernels::VarintKernelAt(k);
      RegisterSubject<Message>(name + "/Tarvesh-" + kernel.name, ours, &kernel, true);
    }
  }
};

// A track of 1 to 64 frame tables, to show how the cost grows with size:
// the library's reused parse and array write, protozero's decode and encode.
struct SweepPoint {
  int tables;
  Pb::Tarvesh::Track message;
  std::string bytes;
  PlainTrack plain;

  explicit SweepPoint(int table_count) : tables(table_count) {
    MakeTrackOfTables(&message, tables);
    bytes = message.SerializeAsString();
    std::string again;
    if (!plain.Decode(bytes.data(), bytes.size()) || !SameContent(plain, message)) {
      Fail("sweep: the protozero decoder does not read what the library wrote");
    }
    plain.Encode(&again);
    if (again != bytes) Fail("sweep: the protozero encoder does not write the library's bytes");
    benchmark::AddCustomContext("Sweep/Track" + std::to_string(tables) + ".bytes",
                                std::to_string(bytes.size()));
  }

  void Register() const {
    const std::string prefix = "Sweep/Track" + std::to_string(tables) + "/";
    const Subject<Pb::Tarvesh::Track> ours{
        [] { return std::make_unique<Pb::Tarvesh::Track>(); }, &message, &bytes};
    RegisterWithKernel(prefix + "Tarvesh/ReusedParseString", &ReusedParseString<Pb::Tarvesh::Track>,
                       ours, &Pb::kernels::LoadTimeVarintKernel());
    RegisterWithKernel(prefix + "Tarvesh/SerializeToArray", &SerializeToArray<Pb::Tarvesh::Track>,
                       ours, &Pb::kernels::LoadTimeVarintKernel());
    benchmark::RegisterBenchmark((prefix + "Protozero/ReusedDecode").c_str(),
                                 &ProtozeroReusedDecode, &bytes);
    benchmark::RegisterBenchmark((prefix + "Protozero/Encode").c_str(), &ProtozeroEncode, &plain);
  }
};

}  // namespace
}  // namespace tarvesh_bench

int main(int argc, char** argv) {
  using namespace tarvesh_bench;
  // glibc moves its mmap threshold up and down as large blocks come and go,
  // so whether a large column lands in fresh, faulting pages depends on what
  // ran before; with random interleaving that made fresh-message figures
  // bimodal. Fixed thresholds keep freed memory in the heap for every
  // implementation alike, as in a long-running reader.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  // The dynamic messages come from the schema oracle, which is never
  // destroyed, so they may live as long as the workloads.
  static Workload<Pb::Tarvesh::Track> track("Track", &MakeTrack);
  static Workload<Pb::Tarvesh::DataReference> reference("DataReference", &MakeDataReference);
  static Workload<Pb::Tarvesh::PalletDesc> pallet("PalletDesc", &MakePalletDesc);

  PlainTrack plain;
  if (!plain.Decode(track.bytes.data(), track.bytes.size()) || !SameContent(plain, track.message)) {
    Fail("Track: the protozero decoder does not read what the library wrote");
  }

  std::string encoded;
  plain.Encode(&encoded);
  if (encoded != track.bytes) Fail("Track: the protozero encoder does not write the library's bytes");

  track.Register();
  benchmark::RegisterBenchmark("Track/Protozero/ReusedDecode", &ProtozeroReusedDecode,
                               &track.bytes);
  reference.Register();
  pallet.Register();

  // Each varint kernel this machine runs, forced in turn.
  benchmark::AddCustomContext("varint_kernel", Pb::kernels::LoadTimeVarintKernel().name);
  track.RegisterEachKernel();
  benchmark::RegisterBenchmark("Track/Protozero/Encode", &ProtozeroEncode, &plain);

  // The size sweep.
  static std::vector<std::unique_ptr<SweepPoint>> sweep;
  for (int tables : {1, 2, 4, 8, 16, 32, 64}) {
    sweep.push_back(std::make_unique<SweepPoint>(tables));
    sweep.back()->Register();
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
