// The body of every parse harness: one input, read by the class's own stream
// parser, by the runtime's ParseContext parser (through ParseFromString) and
// by the DynamicMessage oracle, each over a flat buffer and over a stream cut
// into small chunks, and by both parsers into messages on an arena. All
// verdicts must agree, and each varint kernel the machine runs must read and
// write what the scalar kernel does. On success every writer of the library
// must give the oracle's bytes, and those bytes must read back to
// themselves. On failure the partial objects must still be sized, written and
// read back consistently. Any disagreement prints the input and aborts.
#ifndef TARVESH_FUZZ_PARSE_HARNESS_H
#define TARVESH_FUZZ_PARSE_HARNESS_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <google/protobuf/arena.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <google/protobuf/text_format.h>

#include "SchemaOracle.h"
#include "SeparateBuffersStream.h"
#include "kernels/VarintKernels.h"

namespace tarvesh_fuzz {

namespace gp = google::protobuf;

class Harness {
 public:
  Harness(const char* type, const std::uint8_t* data, std::size_t size)
      : type_(type), input_(reinterpret_cast<const char*>(data), size) {
    // A chunk size taken from the input, so buffer edges fall everywhere.
    std::uint32_t hash = 2166136261u;
    for (unsigned char byte : input_) hash = (hash ^ byte) * 16777619u;
    chunk_ = 1 + static_cast<int>(hash % 7);
  }

  const std::string& input() const { return input_; }
  int chunk() const { return chunk_; }

  [[noreturn]] void Fail(const std::string& what) const {
    std::fprintf(stderr, "\n%s: %s\ninput (%zu bytes, chunk %d):", type_, what.c_str(),
                 input_.size(), chunk_);
    for (std::size_t i = 0; i < input_.size() && i < 256; ++i) {
      std::fprintf(stderr, " %02X", static_cast<unsigned char>(input_[i]));
    }
    std::fprintf(stderr, "%s\n", input_.size() > 256 ? " ..." : "");
    std::abort();
  }
  // The message is put together only on failure: the checks run hundreds of
  // times per input, and building each message up front costs an allocation.
  void Expect(bool ok, std::string_view what, std::string_view which = {}) const {
    if (ok) return;
    std::string message(what);
    if (!which.empty()) message.append(" (").append(which).append(")");
    Fail(message);
  }

 private:
  const char* type_;
  std::string input_;
  int chunk_;
};

// The class's own MergePartialFromCodedStream, called on the class (not the
// runtime's base member), over a flat buffer (chunk 0) or a chunked stream.
template <class M>
bool StreamParse(const std::string& bytes, int chunk, M* message) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  if (chunk == 0) {
    gp::io::CodedInputStream input(data, size);
    return message->M::MergePartialFromCodedStream(&input) && input.ConsumedEntireMessage();
  }
  tarvesh_test::SeparateBuffersStream raw(data, static_cast<std::size_t>(size), chunk);
  gp::io::CodedInputStream input(&raw);
  return message->M::MergePartialFromCodedStream(&input) && input.ConsumedEntireMessage();
}

// The runtime's entry points, which run the class's _InternalParse.
template <class M>
bool ContextParse(const std::string& bytes, int chunk, M* message) {
  if (chunk == 0) return message->ParseFromString(bytes);
  tarvesh_test::SeparateBuffersStream raw(bytes, chunk);
  return message->ParseFromZeroCopyStream(&raw);
}

// Writes `message` with each of the library's writers, checks that they
// agree with each other and with ByteSize(), and returns the bytes.
template <class M>
std::string WriteAll(const Harness& h, const M& message, std::string_view which) {
  const int size = message.ByteSize();
  h.Expect(size >= 0 && message.ByteSizeLong() == static_cast<std::size_t>(size),
           "ByteSize and ByteSizeLong disagree", which);
  constexpr std::uint8_t kGuard = 0xA5;
  constexpr int kGuardBytes = 16;
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size) + kGuardBytes, kGuard);
  std::uint8_t* end = message.SerializeWithCachedSizesToArray(buffer.data());
  h.Expect(end == buffer.data() + size, "array writer ended off its cached size", which);
  for (int i = 0; i < kGuardBytes; ++i) {
    h.Expect(buffer[static_cast<std::size_t>(size + i)] == kGuard,
             "array writer wrote past its cached size", which);
  }
  const std::string array(reinterpret_cast<const char*>(buffer.data()),
                          static_cast<std::size_t>(size));

  std::string stream;
  {
    gp::io::StringOutputStream raw(&stream);
    gp::io::CodedOutputStream coded(&raw);
    message.SerializeWithCachedSizes(&coded);
    h.Expect(!coded.HadError(), "stream writer failed", which);
  }
  std::string runtime;
  h.Expect(message.SerializeToString(&runtime), "SerializeToString failed", which);
  h.Expect(stream == array, "stream writer differs from array writer", which);
  h.Expect(runtime == array, "SerializeToString differs from array writer", which);
  return runtime;
}

// Bytes the library wrote must be read back, by the library and the oracle,
// to exactly the same bytes. A partial object may be nested deeper than the
// recursion limit (a failed parse keeps what it read), so with `may_fail`
// both readers need only agree, and give the same bytes when they accept.
template <class M>
void ExpectStable(const Harness& h, const std::string& bytes, const std::string& type,
                  const char* which, bool may_fail = false) {
  M again;
  const bool library_ok = StreamParse(bytes, h.chunk(), &again);
  std::unique_ptr<gp::Message> oracle = tarvesh_test::SchemaOracle::Get().New(type);
  const bool oracle_ok = oracle->ParseFromString(bytes);
  h.Expect(library_ok == oracle_ok, "library and oracle disagree on its output", which);
  h.Expect(library_ok || may_fail, "library and oracle reject its output", which);
  if (!library_ok) return;
  h.Expect(WriteAll(h, again, which) == bytes, "re-parsed output differs", which);
  h.Expect(oracle->SerializeAsString() == bytes, "oracle re-writes the library's output", which);
}

// What both parsers, flat and chunked, made of the input with one varint
// kernel, and the bytes the library writes for each with that kernel.
struct KernelRun {
  bool verdicts[4];
  std::string written[4];
};

// Parses the input four ways into `messages` with the kernel in force and
// writes each; `which` names the run in any failure.
template <class M>
KernelRun ParseFourWays(const Harness& h, M (&messages)[4], const char* which) {
  static const char* const kParsers[4] = {" stream", " stream chunked", " context",
                                          " context chunked"};
  KernelRun run;
  run.verdicts[0] = StreamParse(h.input(), 0, &messages[0]);
  run.verdicts[1] = StreamParse(h.input(), h.chunk(), &messages[1]);
  run.verdicts[2] = ContextParse(h.input(), 0, &messages[2]);
  run.verdicts[3] = ContextParse(h.input(), h.chunk(), &messages[3]);
  for (int i = 0; i < 4; ++i) {
    run.written[i] = WriteAll(h, messages[i], std::string(which) + kParsers[i]);
  }
  return run;
}

template <class M>
KernelRun RunWithKernel(const Harness& h, const Pb::kernels::VarintKernel& kernel) {
  Pb::kernels::ForceVarintKernel(kernel);
  M messages[4];
  KernelRun run = ParseFourWays(h, messages, kernel.name);
  Pb::kernels::ForceVarintKernel(Pb::kernels::LoadTimeVarintKernel());
  return run;
}

// Whether messages of `type` hold, at any depth, a packed varint column: the
// only fields the varint kernels ever read or write.
inline bool ReachesVarintColumns(const gp::Descriptor* type, int depth = 0) {
  if (depth > 16) return false;
  for (int i = 0; i < type->field_count(); ++i) {
    const gp::FieldDescriptor* field = type->field(i);
    if (field->is_packed() && (field->type() == gp::FieldDescriptor::TYPE_SINT32 ||
                               field->type() == gp::FieldDescriptor::TYPE_UINT32)) {
      return true;
    }
    if (field->message_type() != nullptr &&
        ReachesVarintColumns(field->message_type(), depth + 1)) {
      return true;
    }
  }
  return false;
}

// Every varint kernel the machine runs gives the scalar kernel's verdicts,
// content and written bytes. `load_time` is what the four parses of the
// input made with the kernel chosen at load, which every other check runs
// with, so that kernel is not run twice. Classes without packed varint
// columns never call a kernel, so they skip the repeated runs.
template <class M>
void CheckKernelsAgree(const Harness& h, const KernelRun& load_time) {
  static const bool reaches_columns = ReachesVarintColumns(M::descriptor());
  const int count = Pb::kernels::VarintKernelCount();
  if (count < 2 || !reaches_columns) return;
  const Pb::kernels::VarintKernel& chosen = Pb::kernels::LoadTimeVarintKernel();
  const KernelRun reference = RunWithKernel<M>(h, Pb::kernels::VarintKernelAt(0));
  auto expect_as_scalar = [&](const KernelRun& run, const char* name) {
    for (int i = 0; i < 4; ++i) {
      h.Expect(run.verdicts[i] == reference.verdicts[i],
               "verdict differs from the scalar kernel's", name);
      h.Expect(run.written[i] == reference.written[i],
               "content differs from the scalar kernel's", name);
    }
  };
  for (int k = 1; k < count; ++k) {
    const Pb::kernels::VarintKernel& kernel = Pb::kernels::VarintKernelAt(k);
    if (&kernel == &chosen) {
      expect_as_scalar(load_time, kernel.name);
    } else {
      expect_as_scalar(RunWithKernel<M>(h, kernel), kernel.name);
    }
  }
}

template <class M>
void CheckInput(const char* type, const std::uint8_t* data, std::size_t size) {
  const Harness h(type, data, size);
  const std::string& input = h.input();

  M messages[4];
  M& stream_flat = messages[0];
  M& stream_chunked = messages[1];
  M& context_flat = messages[2];
  M& context_chunked = messages[3];
  const KernelRun load_time = ParseFourWays(h, messages, "heap");
  CheckKernelsAgree<M>(h, load_time);
  const bool v_stream_flat = load_time.verdicts[0];
  const bool v_stream_chunked = load_time.verdicts[1];
  const bool v_context_flat = load_time.verdicts[2];
  const bool v_context_chunked = load_time.verdicts[3];
  std::unique_ptr<gp::Message> oracle = tarvesh_test::SchemaOracle::Get().New(type);
  const bool v_oracle = oracle->ParseFromString(input);

  if (v_stream_flat != v_oracle || v_stream_chunked != v_oracle ||
      v_context_flat != v_oracle || v_context_chunked != v_oracle) {
    char verdicts[160];
    std::snprintf(verdicts, sizeof(verdicts),
                  "verdicts differ: stream %d, stream chunked %d, context %d, "
                  "context chunked %d, oracle %d",
                  v_stream_flat, v_stream_chunked, v_context_flat, v_context_chunked, v_oracle);
    h.Fail(verdicts);
  }

  // The same parses into messages on an arena reach the same verdict and the
  // same content as on the heap, whether or not they succeed.
  {
    gp::Arena arena;
    M* context_arena = gp::Arena::CreateMessage<M>(&arena);
    M* stream_arena = gp::Arena::CreateMessage<M>(&arena);
    h.Expect(ContextParse(input, h.chunk(), context_arena) == v_oracle,
             "context parse on an arena reaches another verdict");
    h.Expect(StreamParse(input, h.chunk(), stream_arena) == v_oracle,
             "stream parse on an arena reaches another verdict");
    h.Expect(WriteAll(h, *context_arena, "context arena") == load_time.written[3],
             "context parse on an arena differs from the heap");
    h.Expect(WriteAll(h, *stream_arena, "stream arena") == load_time.written[1],
             "stream parse on an arena differs from the heap");
  }

  if (!v_oracle) {
    // Content after a failed parse is unspecified, but it must still be a
    // message the writers handle consistently and whose bytes read back.
    ExpectStable<M>(h, load_time.written[0], type, "partial stream", true);
    ExpectStable<M>(h, load_time.written[2], type, "partial context", true);
    return;
  }

  const std::string expected = oracle->SerializeAsString();
  h.Expect(load_time.written[0] == expected, "stream parse differs from oracle");
  h.Expect(load_time.written[1] == expected, "chunked stream parse differs from oracle");
  h.Expect(load_time.written[2] == expected, "context parse differs from oracle");
  h.Expect(load_time.written[3] == expected, "chunked context parse differs from oracle");
  ExpectStable<M>(h, expected, type, "round trip");

  // Reflection reads the library's layout tables: its text must be the
  // oracle's, and the runtime's reflection-driven unknown-field discard must
  // give the oracle's result.
  std::string library_text, oracle_text;
  gp::TextFormat::PrintToString(stream_flat, &library_text);
  gp::TextFormat::PrintToString(*oracle, &oracle_text);
  h.Expect(library_text == oracle_text, "text format differs from oracle:\n" + library_text +
                                            "-- oracle:\n" + oracle_text);
  {
    M discarded(stream_flat);
    discarded.DiscardUnknownFields();
    std::unique_ptr<gp::Message> oracle_discarded(oracle->New());
    oracle_discarded->CopyFrom(*oracle);
    oracle_discarded->DiscardUnknownFields();
    h.Expect(WriteAll(h, discarded, "discarded") == oracle_discarded->SerializeAsString(),
             "DiscardUnknownFields differs from oracle");
    (void)stream_flat.SpaceUsedLong();
  }

  // Merging two parses equals parsing the input twice over.
  {
    M merged;
    merged.MergeFrom(stream_flat);
    merged.MergeFrom(static_cast<const gp::Message&>(context_flat));
    std::unique_ptr<gp::Message> twice = tarvesh_test::SchemaOracle::Get().New(type);
    h.Expect(twice->ParseFromString(input + input), "oracle rejects the input repeated");
    h.Expect(WriteAll(h, merged, "merged") == twice->SerializeAsString(),
             "MergeFrom differs from parsing the input twice");
  }

  // The runtime's generic CopyFrom, Swap, and parsing again into cleared
  // objects whose elements are kept for reuse.
  {
    std::unique_ptr<gp::Message> copy(context_chunked.New());
    copy->CopyFrom(static_cast<const gp::Message&>(stream_chunked));
    h.Expect(copy->SerializeAsString() == expected, "CopyFrom(Message&) differs");

    M swapped;
    swapped.Swap(&stream_chunked);
    h.Expect(WriteAll(h, swapped, "swapped") == expected, "Swap lost content");
    h.Expect(WriteAll(h, stream_chunked, "swapped out").empty(), "Swap left content behind");

    stream_flat.Clear();
    h.Expect(WriteAll(h, stream_flat, "cleared").empty(), "Clear left content behind");
    h.Expect(StreamParse(input, 0, &stream_flat), "stream parse into a cleared object fails");
    h.Expect(WriteAll(h, stream_flat, "reused") == expected,
             "stream parse into a cleared object differs");
    h.Expect(context_flat.ParseFromString(input), "context parse into a used object fails");
    h.Expect(WriteAll(h, context_flat, "reused context") == expected,
             "context parse into a used object differs");
  }
}

}  // namespace tarvesh_fuzz

#endif  // TARVESH_FUZZ_PARSE_HARNESS_H
