// SPDX-License-Identifier: BSD-3-Clause
// The body of every parse harness: one input judged every way the library
// reads it (ParseJudge.h: both parsers, flat and in buffers, heap and arena,
// every varint kernel, against the oracle); then, on success, the bytes read
// back to themselves, text format, unknown-field discard, merges within the
// class and across to reflection, copies, swaps and reuse; on failure, the
// partial objects still written and read back consistently. Any disagreement
// prints the input and aborts.
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

#include <google/protobuf/dynamic_message.h>

#include "KernelChoice.h"

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

// Writes `message` with each of the library's writers, checks that they
// agree with each other and with ByteSize(), and returns the bytes.
template <class M>
std::string WriteAll(const Harness& h, const M& message, std::string_view which) {
  const tarvesh_test::Written out = tarvesh_test::WriteAllWays(message);
  h.Expect(out.byte_size >= 0 && message.ByteSizeLong() == static_cast<std::size_t>(out.byte_size),
           "ByteSize and ByteSizeLong disagree", which);
  h.Expect(out.array_end_ok && out.guard_intact, "array writer ran off its cached size", which);
  h.Expect(out.stream == out.array, "stream writer differs from array writer", which);
  h.Expect(out.runtime == out.array, "SerializeToString differs from array writer", which);
  return out.runtime;
}

// Bytes the library wrote must be read back, by the library and the oracle,
// to exactly the same bytes. A partial object may be nested deeper than the
// recursion limit (a failed parse keeps what it read), so with `may_fail`
// both readers need only agree. `judged` lists the bytes already judged this
// way, the input first: the input's own judgement reads it in the same
// buffers and checks all this, so the same bytes are not judged twice.
template <class M>
void ExpectStable(const Harness& h, std::vector<std::string>& judged, const std::string& bytes,
                  const char* which, bool may_fail = false) {
  for (const std::string& seen : judged) {
    if (seen == bytes) return;
  }
  judged.push_back(bytes);
  tarvesh_test::JudgeOptions options;
  options.chunks = {h.chunk()};
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<M>(bytes, options);
  h.Expect(j.disagreement.empty(), "its output is judged: " + j.disagreement, which);
  h.Expect(j.oracle.ok() || may_fail, "library and oracle reject its output", which);
  h.Expect(!j.oracle.ok() || j.oracle.partial == bytes, "its output reads back otherwise", which);
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

template <class M>
void CheckInput(const std::uint8_t* data, std::size_t size) {
  // Looked up once per process: the class's type, the oracle's prototype and
  // a DynamicMessage prototype of the library's own descriptor.
  static const bool reaches_columns = ReachesVarintColumns(M::descriptor());
  static const std::string type = M::descriptor()->full_name();
  static const gp::Message* const oracle_prototype = tarvesh_test::SchemaOracle::Get().Prototype(type);
  static gp::DynamicMessageFactory reflected_factory;
  static const gp::Message* const reflected_prototype = reflected_factory.GetPrototype(M::descriptor());
  const Harness h(type.c_str(), data, size);
  const std::string& input = h.input();

  // Every parser, flat and in buffers, on the heap and on an arena, with
  // every kernel that can matter, against the oracle and each other.
  tarvesh_test::JudgeOptions options;
  options.chunks = {0, h.chunk()};
  options.arena = true;
  if (reaches_columns) options.kernels = &tarvesh_test::EveryKernel();
  options.failed = tarvesh_test::Failed::kStreams;
  const tarvesh_test::Judgement j = tarvesh_test::JudgeParse<M>(input, options);
  if (!j.disagreement.empty()) h.Fail(j.disagreement);
  M& stream_flat = *static_cast<M*>(j.ways[0].message);
  M& stream_chunked = *static_cast<M*>(j.ways[1].message);
  M& context_flat = *static_cast<M*>(j.ways[2].message);
  M& context_chunked = *static_cast<M*>(j.ways[3].message);
  std::vector<std::string> judged{input};

  if (!j.oracle.ok()) {
    // Content after a failed parse is unspecified, but it must still be a
    // message the writers handle consistently and whose bytes read back.
    ExpectStable<M>(h, judged, WriteAll(h, stream_flat, "partial stream"), "partial stream", true);
    ExpectStable<M>(h, judged, WriteAll(h, context_flat, "partial context"), "partial context",
                    true);
    return;
  }

  const std::string& expected = j.oracle.partial;
  const gp::Message& oracle = *j.oracle.message;
  ExpectStable<M>(h, judged, expected, "round trip");

  // Reflection reads the library's layout tables: its text must be the
  // oracle's, and the runtime's reflection-driven unknown-field discard must
  // give the oracle's result.
  std::string library_text, oracle_text;
  gp::TextFormat::PrintToString(stream_flat, &library_text);
  gp::TextFormat::PrintToString(oracle, &oracle_text);
  h.Expect(library_text == oracle_text, "text format differs from oracle:\n" + library_text +
                                            "-- oracle:\n" + oracle_text);
  {
    M discarded(stream_flat);
    discarded.DiscardUnknownFields();
    std::unique_ptr<gp::Message> oracle_discarded(oracle.New());
    oracle_discarded->CopyFrom(oracle);
    oracle_discarded->DiscardUnknownFields();
    h.Expect(WriteAll(h, discarded, "discarded") == oracle_discarded->SerializeAsString(),
             "DiscardUnknownFields differs from oracle");
    (void)stream_flat.SpaceUsedLong();
  }

  // Merging equals parsing the input twice over: within the class, from a
  // DynamicMessage of the library's own descriptor (the runtime's reflection
  // merge) and into one (reflection reading the library's layout).
  {
    std::unique_ptr<gp::Message> twice(oracle_prototype->New());
    h.Expect(twice->ParseFromString(input + input), "oracle rejects the input repeated");
    const std::string joined = twice->SerializeAsString();
    M merged;
    merged.MergeFrom(stream_flat);
    merged.MergeFrom(static_cast<const gp::Message&>(context_flat));
    h.Expect(WriteAll(h, merged, "merged") == joined, "MergeFrom differs from parsing twice");

    std::unique_ptr<gp::Message> reflected(reflected_prototype->New());
    h.Expect(reflected->ParseFromString(input), "reflected message rejects the input");
    M across(stream_flat);
    across.MergeFrom(*reflected);
    h.Expect(WriteAll(h, across, "merged from reflection") == joined,
             "MergeFrom(DynamicMessage) differs from parsing twice");
    reflected->MergeFrom(stream_flat);
    h.Expect(reflected->SerializeAsString() == joined,
             "DynamicMessage MergeFrom(library) differs from parsing twice");
    across.CopyFrom(static_cast<const gp::Message&>(*reflected));
    h.Expect(WriteAll(h, across, "copied from reflection") == joined,
             "CopyFrom(DynamicMessage) differs");
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
    gp::io::CodedInputStream again(reinterpret_cast<const std::uint8_t*>(input.data()),
                                   static_cast<int>(input.size()));
    h.Expect(stream_flat.M::MergePartialFromCodedStream(&again) && again.ConsumedEntireMessage(),
             "stream parse into a cleared object fails");
    h.Expect(WriteAll(h, stream_flat, "reused") == expected,
             "stream parse into a cleared object differs");
    h.Expect(context_flat.ParseFromString(input), "context parse into a used object fails");
    h.Expect(WriteAll(h, context_flat, "reused context") == expected,
             "context parse into a used object differs");
  }
}

}  // namespace tarvesh_fuzz

#endif  // TARVESH_FUZZ_PARSE_HARNESS_H
