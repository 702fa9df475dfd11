// SPDX-License-Identifier: BSD-3-Clause
// The benchmark suite: every workload through the library's classes, through
// DynamicMessage of the same schema, and (for the track) through a protozero
// decoder into plain vectors and a protozero encoder back, all on the same
// bytes; a memcpy of those bytes marks the physical bound. Names are
// <workload>/<implementation>/<operation>; Tarvesh-<kernel> is the library
// with that varint kernel forced, Sweep/Track<n>/... a track of n tables.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <malloc.h>

#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>
#include <google/protobuf/arena.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>

#include "AllocationCounter.h"
#include "ColumnBenchmarks.h"
#include "kernels/VarintKernels.h"
#include "PeerGen/Tarvesh/Tarvesh.Recording.pb.h"
#include "PeerGen/Tarvesh/Tarvesh.Track.pb.h"
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

// The generated peer class of each workload's class: protoc's code for the
// same schema under the package PeerGen (bench/peer/).
template <class T>
struct Peer {};
template <>
struct Peer<Pb::Tarvesh::Track> { using type = PeerGen::Tarvesh::Track; };
template <>
struct Peer<Pb::Tarvesh::DataReference> { using type = PeerGen::Tarvesh::DataReference; };
template <>
struct Peer<Pb::Tarvesh::PalletDesc> { using type = PeerGen::Tarvesh::PalletDesc; };

// Whether T is one of the library's classes (they have a peer).
template <class T, class = void>
inline constexpr bool kIsOurs = false;
template <class T>
inline constexpr bool kIsOurs<T, std::void_t<typename Peer<T>::type>> = true;

// Runs `body` twice to warm up (buffers reach their steady size), then as the
// timed loop. Reports the serialized size as bytes processed per iteration,
// and the allocations per timed iteration as the counter "allocs".
template <class Body>
void Run(benchmark::State& state, std::size_t bytes, Body&& body) {
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

// Sizes the message and caches the sizes for the array writer: the library
// class's own ByteSize(), or ByteSizeLong() where the runtime's ByteSize() is
// deprecated (DynamicMessage and the generated peer).
template <class T>
std::size_t SizeAndCache(const T& message) {
  if constexpr (kIsOurs<T>) {
    return static_cast<std::size_t>(message.ByteSize());
  } else {
    return message.ByteSizeLong();
  }
}

// Each operation is a function that makes its loop body: a callable that
// runs the operation once and says whether it succeeded. The body owns what
// the operation reuses from one iteration to the next.

template <class T>
auto ByteSizeLongBody(const Subject<T>& s) {
  return [s] {
    benchmark::DoNotOptimize(s.source->ByteSizeLong());
    return true;
  };
}

template <class T>
auto SerializeToArrayBody(const Subject<T>& s) {
  return [s, buffer = std::vector<std::uint8_t>(s.bytes->size())]() mutable {
    const std::size_t size = SizeAndCache(*s.source);
    std::uint8_t* end = s.source->SerializeWithCachedSizesToArray(buffer.data());
    benchmark::DoNotOptimize(end);
    benchmark::ClobberMemory();
    return static_cast<std::size_t>(end - buffer.data()) == size;
  };
}

template <class T>
auto SerializeToStringBody(const Subject<T>& s) {
  return [s, out = std::string()]() mutable {
    const bool ok = s.source->SerializeToString(&out);
    benchmark::DoNotOptimize(out.data());
    return ok && out.size() == s.bytes->size();
  };
}

template <class T>
auto ParseCodedStreamBody(const Subject<T>& s) {
  return [s] {
    std::unique_ptr<T> message = s.make();
    return ParseCoded(message.get(), *s.bytes);
  };
}

template <class T>
auto ParseStringBody(const Subject<T>& s) {
  return [s] {
    std::unique_ptr<T> message = s.make();
    return message->ParseFromString(*s.bytes);
  };
}

template <class T>
auto ReusedParseCodedStreamBody(const Subject<T>& s) {
  return [s, message = std::shared_ptr<T>(s.make())] {
    message->Clear();
    return ParseCoded(message.get(), *s.bytes);
  };
}

template <class T>
auto ReusedParseStringBody(const Subject<T>& s) {
  return [s, message = std::shared_ptr<T>(s.make())] {
    message->Clear();
    return message->ParseFromString(*s.bytes);
  };
}

// Into the same message every time: CopyFrom clears it first.
template <class T>
auto CopyFromBody(const Subject<T>& s) {
  return [s, message = std::shared_ptr<T>(s.make())] {
    message->CopyFrom(*s.source);
    return true;
  };
}

// Into the same message every time, cleared first.
template <class T>
auto MergeFromBody(const Subject<T>& s) {
  return [s, message = std::shared_ptr<T>(s.make())] {
    message->Clear();
    message->MergeFrom(*s.source);
    benchmark::DoNotOptimize(message.get());
    return true;
  };
}

// The class's MergePartialFromCodedStream (for the generated peer, the
// runtime's) into a reused message, from a stream of 8 KiB buffers as a
// record reader over a file or socket sees it.
constexpr int kStreamBuffer = 8192;

template <class T>
auto StreamParseBody(const Subject<T>& s) {
  return [s, message = std::shared_ptr<T>(s.make())] {
    message->Clear();
    gp::io::ArrayInputStream buffers(s.bytes->data(), static_cast<int>(s.bytes->size()),
                                     kStreamBuffer);
    gp::io::CodedInputStream input(&buffers);
    return message->T::MergePartialFromCodedStream(&input) && input.ConsumedEntireMessage();
  };
}

// The same over one flat array.
template <class T>
auto FlatStreamParseBody(const Subject<T>& s) {
  return [s, message = std::shared_ptr<T>(s.make())] {
    message->Clear();
    gp::io::CodedInputStream input(reinterpret_cast<const std::uint8_t*>(s.bytes->data()),
                                   static_cast<int>(s.bytes->size()));
    return message->T::MergePartialFromCodedStream(&input) && input.ConsumedEntireMessage();
  };
}

// Sized, then written by SerializeWithCachedSizes to a CodedOutputStream of
// 8 KiB buffers, as a record writer to a file or socket has them.
template <class T>
auto StreamWriteBody(const Subject<T>& s) {
  return [s, buffer = std::vector<std::uint8_t>(s.bytes->size() + kStreamBuffer)]() mutable {
    const std::size_t size = SizeAndCache(*s.source);
    gp::io::ArrayOutputStream buffers(buffer.data(), static_cast<int>(buffer.size()),
                                      kStreamBuffer);
    {
      gp::io::CodedOutputStream output(&buffers);
      s.source->T::SerializeWithCachedSizes(&output);
      if (output.HadError()) return false;
    }
    benchmark::ClobberMemory();
    return static_cast<std::size_t>(buffers.ByteCount()) == size;
  };
}

// SerializeToString through google::protobuf::Message&, as code written for
// any message calls it: the runtime's writer, reaching the class's
// ByteSizeLong and _InternalSerialize.
template <class T>
auto BaseSerializeBody(const Subject<T>& s) {
  return [s, out = std::string()]() mutable {
    const gp::Message& base = *s.source;
    const bool ok = base.SerializeToString(&out);
    benchmark::DoNotOptimize(out.data());
    return ok && out.size() == s.bytes->size();
  };
}

// ---------------------------------------------------------------------------
// Instruction counts: with --count, the binary runs each counted operation a
// fixed number of times with callgrind's collection switched on around the
// loop only, and dumps the counts under the benchmark's name
// (scripts/dev/run-bench.sh --count runs it under valgrind --tool=callgrind
// --collect-atstart=no and reads the dumps).

struct Counted {
  std::string name;
  std::function<void(const std::string&)> run;  // runs and dumps under that name
};

std::vector<Counted>& CountedOperations() {
  static std::vector<Counted> operations;
  return operations;
}

// Enough iterations of an operation on `bytes` bytes that the loop's own
// instructions do not matter, few enough that callgrind is quick.
int CountIterations(std::size_t bytes) {
  return static_cast<int>(std::clamp<std::size_t>(1000000 / (bytes + 1), 1, 10000));
}

template <class Body>
bool CountBody(const std::string& name, int iterations, Body& body) {
  // Twice first, as the timed runs warm up: buffers reach their steady size.
  if (!body() || !body()) return false;
  bool ok = true;
  CALLGRIND_TOGGLE_COLLECT;
  for (int i = 0; i < iterations; ++i) ok &= body();
  CALLGRIND_TOGGLE_COLLECT;
  CALLGRIND_DUMP_STATS_AT(name.c_str());
  std::printf("counted %s %d\n", name.c_str(), iterations);
  return ok;
}

// The library's benchmarks run with a varint kernel forced for their
// duration: the load-time choice under <workload>/Tarvesh, each kernel in
// turn under <workload>/Tarvesh-<kernel>. `counted`: also one of the
// operations --count runs.
template <class MakeBody>
void RegisterOperation(const std::string& name, std::size_t bytes, MakeBody make_body,
                       const Pb::kernels::VarintKernel* kernel, bool counted,
                       std::map<std::string, double> counters = {}) {
  benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
    if (kernel != nullptr) Pb::kernels::ForceVarintKernel(*kernel);
    auto body = make_body();
    Run(state, bytes, body);
    for (const auto& [counter, value] : counters) state.counters[counter] = value;
    Pb::kernels::ForceVarintKernel(Pb::kernels::LoadTimeVarintKernel());
  });
  if (!counted) return;
  CountedOperations().push_back({name, [=](const std::string& dump_name) {
    if (kernel != nullptr) Pb::kernels::ForceVarintKernel(*kernel);
    auto body = make_body();
    if (!CountBody(dump_name, CountIterations(bytes), body)) {
      std::fprintf(stderr, "%s: operation failed\n", dump_name.c_str());
      std::exit(2);
    }
    Pb::kernels::ForceVarintKernel(Pb::kernels::LoadTimeVarintKernel());
  }});
}

template <class T, class MakeBody>
void RegisterWithKernel(const std::string& name, MakeBody make_body, const Subject<T>& subject,
                        const Pb::kernels::VarintKernel* kernel, bool counted = false) {
  RegisterOperation(name, subject.bytes->size(), [make_body, subject] {
    return make_body(subject);
  }, kernel, counted);
}

// `varint_only`: just the operations that size, write or read varints.
template <class T>
void RegisterSubject(const std::string& prefix, const Subject<T>& subject,
                     const Pb::kernels::VarintKernel* kernel = nullptr, bool varint_only = false,
                     bool counted = false) {
  const auto add = [&](const char* name, auto make_body) {
    RegisterWithKernel(prefix + "/" + name, make_body, subject, kernel, counted);
  };
  add("ByteSizeLong", [](const Subject<T>& s) { return ByteSizeLongBody(s); });
  add("SerializeToArray", [](const Subject<T>& s) { return SerializeToArrayBody(s); });
  add("SerializeToString", [](const Subject<T>& s) { return SerializeToStringBody(s); });
  add("ParseCodedStream", [](const Subject<T>& s) { return ParseCodedStreamBody(s); });
  add("ParseString", [](const Subject<T>& s) { return ParseStringBody(s); });
  add("ReusedParseCodedStream", [](const Subject<T>& s) { return ReusedParseCodedStreamBody(s); });
  add("ReusedParseString", [](const Subject<T>& s) { return ReusedParseStringBody(s); });
  if (varint_only) return;
  add("StreamParse", [](const Subject<T>& s) { return StreamParseBody(s); });
  add("FlatStreamParse", [](const Subject<T>& s) { return FlatStreamParseBody(s); });
  add("StreamWrite", [](const Subject<T>& s) { return StreamWriteBody(s); });
  add("BaseSerialize", [](const Subject<T>& s) { return BaseSerializeBody(s); });
  add("CopyFrom", [](const Subject<T>& s) { return CopyFromBody(s); });
  add("MergeFrom", [](const Subject<T>& s) { return MergeFromBody(s); });
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

// The body of an arena parse; fails when the trial parse fails.
template <class NewOnArena>
auto ArenaParseStringBody(const std::string* bytes, NewOnArena new_on_arena) {
  std::size_t block_size = 0;
  {
    gp::Arena trial;
    if (new_on_arena(&trial)->ParseFromString(*bytes)) {
      block_size = 2 * static_cast<std::size_t>(trial.SpaceAllocated()) + 4096;
    }
  }
  auto block = std::make_shared<std::vector<char>>(block_size);
  return [bytes, new_on_arena, block] {
    if (block->empty()) return false;
    gp::ArenaOptions options;
    options.initial_block = block->data();
    options.initial_block_size = block->size();
    gp::Arena arena(options);
    return new_on_arena(&arena)->ParseFromString(*bytes);
  };
}

int LongStrings(const Pb::Tarvesh::Track& track) {
  int count = 0;
  for (const Pb::Tarvesh::FrameTable& table : track.frame_tables()) {
    count += table.coding_depend().size() > std::string().capacity();
  }
  return count;
}
int LongStrings(const gp::Message&) { return 0; }  // the other workloads hold none

template <class NewOnArena>
void RegisterArenaParse(const std::string& name, const std::string* bytes, int long_strings,
                        NewOnArena new_on_arena, const Pb::kernels::VarintKernel* kernel,
                        bool counted) {
  RegisterOperation(name, bytes->size(), [bytes, new_on_arena] {
    return ArenaParseStringBody(bytes, new_on_arena);
  }, kernel, counted, {{"long_strings", long_strings}});
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
// into a DynamicMessage and into protoc's generated peer class. Setup checks
// that all agree on those bytes.
template <class Message>
struct Workload {
  using PeerMessage = typename Peer<Message>::type;
  std::string name;
  Message message;
  std::string bytes;
  std::unique_ptr<gp::Message> dynamic;
  PeerMessage generated;

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
    if (!generated.ParseFromString(bytes) || generated.SerializeAsString() != bytes) {
      Fail(name + ": the generated peer does not write the library's bytes back");
    }
    benchmark::AddCustomContext(name + ".bytes", std::to_string(bytes.size()));
  }

  void Register() const {
    const Pb::kernels::VarintKernel* kernel = &Pb::kernels::LoadTimeVarintKernel();
    const Subject<Message> ours{[] { return std::make_unique<Message>(); }, &message, &bytes};
    RegisterSubject<Message>(name + "/Tarvesh", ours, kernel, false, true);
    const Subject<PeerMessage> peer{[] { return std::make_unique<PeerMessage>(); }, &generated,
                                    &bytes};
    RegisterSubject<PeerMessage>(name + "/Generated", peer, nullptr, false, true);
    const gp::Message* prototype = dynamic.get();  // New() gives an empty one of its type
    RegisterSubject<gp::Message>(
        name + "/Dynamic",
        Subject<gp::Message>{[prototype] { return std::unique_ptr<gp::Message>(prototype->New()); },
                             dynamic.get(), &bytes});
    benchmark::RegisterBenchmark((name + "/Memcpy/Copy").c_str(), &Memcpy, &bytes);

    const int long_strings = LongStrings(message);
    RegisterArenaParse(name + "/Tarvesh/ArenaParseString", &bytes, long_strings,
                       [](gp::Arena* arena) { return gp::Arena::CreateMessage<Message>(arena); },
                       kernel, true);
    RegisterArenaParse(name + "/Generated/ArenaParseString", &bytes, long_strings,
                       [](gp::Arena* arena) { return gp::Arena::CreateMessage<PeerMessage>(arena); },
                       nullptr, true);
    RegisterArenaParse(name + "/Dynamic/ArenaParseString", &bytes, long_strings,
                       [prototype](gp::Arena* arena) { return prototype->New(arena); }, nullptr,
                       false);
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
    using Subject = Subject<Pb::Tarvesh::Track>;
    RegisterWithKernel(prefix + "Tarvesh/ReusedParseString",
                       [](const Subject& s) { return ReusedParseStringBody(s); }, ours,
                       &Pb::kernels::LoadTimeVarintKernel());
    RegisterWithKernel(prefix + "Tarvesh/SerializeToArray",
                       [](const Subject& s) { return SerializeToArrayBody(s); }, ours,
                       &Pb::kernels::LoadTimeVarintKernel());
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
  RegisterColumnBenchmarks();
  benchmark::RegisterBenchmark("Track/Protozero/Encode", &ProtozeroEncode, &plain);

  // The size sweep.
  static std::vector<std::unique_ptr<SweepPoint>> sweep;
  for (int tables : {1, 2, 4, 8, 16, 32, 64}) {
    sweep.push_back(std::make_unique<SweepPoint>(tables));
    sweep.back()->Register();
  }

  // --count[=<substring>]: the counted operations whose names hold the
  // substring, under callgrind, instead of the timed runs.
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument != "--count" && argument.rfind("--count=", 0) != 0) continue;
    const std::string filter = argument.size() > 8 ? argument.substr(8) : std::string();
    if (!RUNNING_ON_VALGRIND) std::printf("not under callgrind: nothing is collected\n");
    for (const Counted& operation : CountedOperations()) {
      if (operation.name.find(filter) != std::string::npos) operation.run(operation.name);
    }
    return 0;
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
