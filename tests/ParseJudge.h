// SPDX-License-Identifier: BSD-3-Clause
// The parse judge: one input read every way the library reads it, judged
// against the oracle (a DynamicMessage of the schema text parsed by
// libprotoc, which shares no code with the library) and against each other.
// Every test and fuzz harness that checks a parse asks here.
//
// The ways: the class's own MergePartialFromCodedStream ("stream") and the
// runtime's entry points, which run the class's _InternalParse ("context"),
// each over one flat buffer and over separate buffers of a few bytes; on the
// heap and, when asked, on an arena; with the kernel chosen at load and,
// when asked, with every varint kernel the machine runs (each way that
// called a kernel). Each buffer size cuts the input once, for every way.
//
// What must hold: every way reaches the oracle's verdict; on success every
// way reads what every writer of the library writes as the oracle's bytes;
// an arena parse reads what its heap twin reads, a kernel what the scalar
// kernel reads, whether or not the parse succeeds; after a failure, as much
// as `failed` asks for agrees.
#ifndef TARVESH_TESTS_PARSE_JUDGE_H
#define TARVESH_TESTS_PARSE_JUDGE_H

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <google/protobuf/arena.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>

#include "SchemaOracle.h"
#include "SeparateBuffersStream.h"
#include "TestSupport.h"

namespace tarvesh_test {

// A class as the judge drives it.
struct JudgedClass {
  std::string name;  // "Pb.Tarvesh.Track"
  const google::protobuf::Message* prototype;
  bool (*stream_merge)(google::protobuf::Message*, google::protobuf::io::CodedInputStream*);
  Written (*write_all)(const google::protobuf::Message&);
};

template <class M>
const JudgedClass& Judged() {
  static const JudgedClass judged{
      M::descriptor()->full_name(), &M::default_instance(),
      [](google::protobuf::Message* m, google::protobuf::io::CodedInputStream* input) {
        return static_cast<M*>(m)->M::MergePartialFromCodedStream(input);
      },
      [](const google::protobuf::Message& m) { return WriteAllWays(static_cast<const M&>(m)); }};
  return judged;
}

// How much of a failed parse must agree. The stream parser never reads past
// its input, so its partial message is the same however the input is cut
// into buffers. The context parser reads a value cut short by the end of the
// input from the bytes past it (as the runtime's own parsers do) and, for an
// unknown length-delimited field, adds the field before reading its length;
// so the two agree exactly only where the parse fails on a whole bad token,
// and on the known fields where a length fails.
enum class Failed { kUnchecked, kStreams, kKnownFields, kExact };

// The varint kernels to read with in turn. Forcing a kernel reaches the
// library's internals, which only a build linking the library's objects has
// (KernelChoice.h there); the judge itself links the shared library alone.
struct KernelChoice {
  int count = 0;                        // kernels this machine runs, the scalar one first
  int load_time = 0;                    // the one chosen at load
  const char* (*force)(int index) = nullptr;  // forces one, returns its name
  // Optional: `watch` forces a twin of the load-time kernel that notes every
  // call of its entry points; `noted` tells whether one ran since the last
  // watch or noted. A way that called no kernel runs the same code whichever
  // kernel is in force, so the judge reads again only the ways that did.
  void (*watch)() = nullptr;
  bool (*noted)() = nullptr;
};

struct JudgeOptions {
  std::vector<int> chunks{0, 1};  // 0: one flat buffer
  bool arena = false;
  const KernelChoice* kernels = nullptr;  // every kernel, each against the scalar one
  // Any other limit, or an end-group tag to watch for, reads the context
  // ways through the runtime's MergePartialFromCodedStream, whose stream
  // carries both; otherwise through ParseFromString (flat) and
  // ParseFromZeroCopyStream (in buffers).
  int recursion_limit = 100;
  std::uint32_t end_tag = 0;
  Failed failed = Failed::kUnchecked;
};

struct WayResult {
  std::string name;  // "stream/1", "context arena", "stream avx2", ...
  bool stream = false;  // the class's own parser, else the runtime's
  int chunk = 0;
  bool returned = false;
  bool clean_end = false;     // the stream ended where a message may end
  bool stopped_on_end = false;  // and its last tag was the options' end_tag
  bool stream_restored = true;  // the stream's depth and limits as they were, pass or fail
  // Whether it called a varint kernel, when the judge watched: none, only to
  // write `partial`, or to parse (or when not watched).
  enum class Kernels { kNone, kWriting, kParsing } kernels = Kernels::kParsing;
  std::string partial;        // SerializePartialAsString of what it read
  google::protobuf::Message* message = nullptr;  // owned by the judgement
  bool ok() const { return returned && clean_end; }
};

struct Judgement {
  WayResult oracle;
  std::vector<WayResult> ways;
  std::string disagreement;  // empty when everything held
  std::vector<std::unique_ptr<google::protobuf::Message>> owned;
  std::unique_ptr<google::protobuf::Arena> arena;

  const WayResult& Way(const std::string& name) const {
    for (const WayResult& way : ways) {
      if (way.name == name) return way;
    }
    return oracle;
  }
};

namespace judge_detail {

namespace gp = google::protobuf;

// The input cut into buffers once for each buffer size, rewound for each
// way that reads it so.
class Cuts {
 public:
  explicit Cuts(const std::string& input) : input_(input) {}
  SeparateBuffersStream& Of(int buffer) {
    for (auto& cut : cuts_) {
      if (cut.first == buffer) {
        cut.second->Rewind();
        return *cut.second;
      }
    }
    cuts_.emplace_back(buffer, std::make_unique<SeparateBuffersStream>(input_, buffer));
    return *cuts_.back().second;
  }

 private:
  const std::string& input_;
  std::vector<std::pair<int, std::unique_ptr<SeparateBuffersStream>>> cuts_;
};

// One parse of `input` into `message` by `parser`, over `chunk`-byte buffers;
// with `watched`, noting whether the parse and the writing called a kernel.
inline WayResult ReadOnce(const JudgedClass& judged, bool stream, int chunk,
                          const std::string& input, const JudgeOptions& options,
                          Cuts& cuts, gp::Message* message, bool oracle = false,
                          const KernelChoice* watched = nullptr) {
  WayResult result;
  result.stream = stream;
  result.chunk = chunk;
  result.message = message;
  const bool plain_context = !stream && options.recursion_limit == 100 && options.end_tag == 0;
  if (plain_context && !oracle && chunk == 0) {
    result.returned = result.clean_end = message->ParseFromString(input);
  } else if (plain_context && !oracle) {
    SeparateBuffersStream& raw = cuts.Of(chunk);
    result.returned = result.clean_end = message->ParseFromZeroCopyStream(&raw);
  } else {
    SeparateBuffersStream& raw = cuts.Of(chunk == 0 ? static_cast<int>(input.size()) + 1 : chunk);
    gp::io::CodedInputStream coded(&raw);
    coded.SetRecursionLimit(options.recursion_limit);
    result.returned = stream ? judged.stream_merge(message, &coded)
                             : static_cast<gp::MessageLite*>(message)->MergePartialFromCodedStream(&coded);
    result.clean_end = coded.ConsumedEntireMessage();
    result.stopped_on_end = options.end_tag != 0 && coded.LastTagWas(options.end_tag);
    result.stream_restored =
        coded.RecursionBudget() == options.recursion_limit && coded.BytesUntilLimit() == -1;
  }
  const bool parsing = watched != nullptr && watched->noted();
  result.partial = message->SerializePartialAsString();
  if (watched != nullptr) {
    result.kernels = parsing ? WayResult::Kernels::kParsing
                     : watched->noted() ? WayResult::Kernels::kWriting
                                        : WayResult::Kernels::kNone;
  }
  return result;
}

inline std::string Discarded(const gp::Message& message) {
  std::unique_ptr<gp::Message> known(message.New());
  known->CopyFrom(message);
  known->DiscardUnknownFields();
  return known->SerializePartialAsString();
}

}  // namespace judge_detail

inline Judgement JudgeParse(const JudgedClass& judged, const std::string& input,
                            const JudgeOptions& options = {}) {
  namespace gp = google::protobuf;
  using judge_detail::ReadOnce;
  Judgement j;
  const auto fail = [&j](const std::string& what) {
    if (j.disagreement.empty()) j.disagreement = what;
  };
  const auto fresh = [&j, &judged]() {
    j.owned.emplace_back(judged.prototype->New());
    return j.owned.back().get();
  };

  judge_detail::Cuts cuts(input);
  j.owned.push_back(SchemaOracle::Get().New(judged.name));
  j.oracle = ReadOnce(judged, false, 0, input, options, cuts, j.owned.back().get(), true);
  j.oracle.name = "oracle";

  // Every way with the kernel in force; then, when asked, on an arena and
  // with every other kernel, each against its twin.
  const bool watch = options.kernels != nullptr && options.kernels->watch != nullptr;
  if (watch) options.kernels->watch();
  for (bool stream : {true, false}) {
    for (int chunk : options.chunks) {
      WayResult way = ReadOnce(judged, stream, chunk, input, options, cuts, fresh(), false,
                               watch ? options.kernels : nullptr);
      way.name = std::string(stream ? "stream" : "context") +
                 (chunk == 0 ? "" : "/" + std::to_string(chunk));
      j.ways.push_back(std::move(way));
    }
  }
  const size_t heap_ways = j.ways.size();
  if (options.arena) {
    j.arena = std::make_unique<gp::Arena>();
    for (size_t i = 0; i < heap_ways; ++i) {
      const WayResult& twin = j.ways[i];
      WayResult way = ReadOnce(judged, twin.stream, twin.chunk, input, options, cuts,
                               judged.prototype->New(j.arena.get()));
      way.name = twin.name + " arena";
      if (way.ok() != twin.ok() || way.partial != twin.partial) {
        fail(way.name + " reads " + Hex(way.partial) + ", on the heap " + Hex(twin.partial));
      }
      j.ways.push_back(std::move(way));
    }
  }
  if (options.kernels != nullptr) {
    const KernelChoice& kernels = *options.kernels;
    std::vector<WayResult> reference;
    for (int k = 0; k < kernels.count; ++k) {
      const char* name = kernels.force(k);
      for (size_t i = 0; i < heap_ways; ++i) {
        const WayResult& twin = j.ways[i];
        // The heap ways ran with the kernel chosen at load. A way whose parse
        // called no kernel parses the same under every kernel: only what it
        // read is written again.
        const bool again = k != kernels.load_time;
        WayResult way = again && twin.kernels == WayResult::Kernels::kParsing
                            ? ReadOnce(judged, twin.stream, twin.chunk, input, options, cuts,
                                       fresh())
                            : twin;
        if (again && twin.kernels == WayResult::Kernels::kWriting) {
          way.partial = twin.message->SerializePartialAsString();
        }
        way.name = twin.name + " " + name;
        if (k == 0) {
          reference.push_back(way);
        } else if (way.ok() != reference[i].ok() || way.partial != reference[i].partial) {
          fail(way.name + " reads " + Hex(way.partial) + ", the scalar kernel " +
               Hex(reference[i].partial));
        }
        j.ways.push_back(std::move(way));
      }
    }
    kernels.force(kernels.load_time);
  }

  const std::string expected = j.oracle.ok() ? j.oracle.partial : std::string();
  const WayResult* first_stream = nullptr;
  for (size_t i = 0; i < heap_ways; ++i) {
    const WayResult& way = j.ways[i];
    if (way.ok() != j.oracle.ok()) {
      fail(way.name + (way.ok() ? " accepts" : " refuses") + ", the oracle " +
           (j.oracle.ok() ? "accepts" : "refuses"));
    }
    if (!way.stream_restored) fail(way.name + " leaves the stream's depth or limits changed");
    if (options.end_tag != 0 && way.stopped_on_end != j.oracle.stopped_on_end) {
      fail(way.name + " stopped on another tag than the oracle");
    }
    if (j.oracle.ok()) {
      const Written written = judged.write_all(*way.message);
      if (written.array != expected || written.stream != expected || written.runtime != expected ||
          written.own != expected || written.byte_size != static_cast<int>(expected.size())) {
        fail(way.name + " read what writes as " + Hex(written.runtime) + " (array " +
             Hex(written.array) + ", stream " + Hex(written.stream) + ", the class's own " +
             Hex(written.own) + "), the oracle " + Hex(expected));
      }
      if (!written.array_end_ok || !written.guard_intact) fail("the array writer ran off its size");
      if (!written.short_array_refused) fail("SerializeToArray wrote into too small an array");
    } else if (options.failed != Failed::kUnchecked && way.stream) {
      if (first_stream == nullptr) {
        first_stream = &way;
      } else if (way.partial != first_stream->partial) {
        fail("after the failure " + way.name + " holds " + Hex(way.partial) + ", " +
             first_stream->name + " " + Hex(first_stream->partial));
      }
    }
  }
  if (!j.oracle.ok() && first_stream != nullptr && options.failed >= Failed::kKnownFields) {
    const bool exact = options.failed == Failed::kExact;
    const std::string held =
        exact ? first_stream->partial : judge_detail::Discarded(*first_stream->message);
    for (size_t i = 0; i < heap_ways; ++i) {
      const WayResult& way = j.ways[i];
      if (way.stream) continue;
      const std::string state = exact ? way.partial : judge_detail::Discarded(*way.message);
      if (state != held) {
        fail("after the failure " + way.name + " holds " + Hex(state) + ", stream " + Hex(held));
      }
    }
  }
  return j;
}

template <class M>
Judgement JudgeParse(const std::string& input, const JudgeOptions& options = {}) {
  return JudgeParse(Judged<M>(), input, options);
}

// Every way accepts `input` as the oracle does and reads what is written as
// `written`. Returns what the flat stream parse read.
template <class M>
M ExpectReadsAs(const std::string& input, const std::string& written) {
  JudgeOptions options;
  options.chunks = {0, 1, 3, 7};
  const Judgement j = JudgeParse<M>(input, options);
  EXPECT_EQ(j.disagreement, "") << Hex(input);
  EXPECT_TRUE(j.oracle.ok()) << Hex(input);
  EXPECT_EQ(Hex(j.oracle.partial), Hex(written));
  M read;
  read.CopyFrom(*j.ways[0].message);
  return read;
}

// Every way refuses `input`, as the oracle does.
template <class M>
void ExpectRejected(const std::string& input) {
  JudgeOptions options;
  options.chunks = {0, 1, 5};
  const Judgement j = JudgeParse<M>(input, options);
  EXPECT_EQ(j.disagreement, "") << Hex(input);
  EXPECT_FALSE(j.oracle.ok()) << Hex(input);
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_PARSE_JUDGE_H
