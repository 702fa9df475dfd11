// SPDX-License-Identifier: BSD-3-Clause
// The classes as the schema-driven and oracle tests see them: each field's
// accessors and each class's own operations, type-erased, one line per
// field; and the random values both tests draw.
#ifndef TARVESH_TESTS_CLASS_TABLE_H
#define TARVESH_TESTS_CLASS_TABLE_H

#include <cstdint>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>
#include <google/protobuf/unknown_field_set.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ParseJudge.h"

namespace tarvesh_test {

using google::protobuf::FieldDescriptor;
using google::protobuf::Message;
namespace gp = google::protobuf;

// ---------------------------------------------------------------------------
// The binding table: each field's accessors, type-erased. Integer values
// travel as uint64 (signed and enum values sign-extended).

enum class Kind { kOptional, kBytes, kRepeated, kMessages };

struct FieldOps {
  const char* name;
  Kind kind;
  void (*clear)(Message*) = nullptr;
  // kOptional and kBytes
  bool (*has)(const Message&) = nullptr;
  std::uint64_t (*get)(const Message&) = nullptr;
  void (*set)(Message*, std::uint64_t) = nullptr;
  std::string (*get_text)(const Message&) = nullptr;
  void (*set_text)(Message*, const std::string&) = nullptr;
  std::string* (*mutable_text)(Message*) = nullptr;
  // kRepeated and kMessages
  int (*size)(const Message&) = nullptr;
  std::uint64_t (*get_at)(const Message&, int) = nullptr;
  void (*set_at)(Message*, int, std::uint64_t) = nullptr;
  void (*add)(Message*, std::uint64_t) = nullptr;
  const Message& (*element)(const Message&, int) = nullptr;
  Message* (*mutable_element)(Message*, int) = nullptr;
  Message* (*add_element)(Message*) = nullptr;
};

template <class T>
std::uint64_t Widen(T value) {
  if constexpr (std::is_enum_v<T> || std::is_signed_v<T>) {
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
  } else {
    return static_cast<std::uint64_t>(value);
  }
}

template <class C> const C& Of(const Message& m) { return static_cast<const C&>(m); }
template <class C> C* Of(Message* m) { return static_cast<C*>(m); }

#define OPTIONAL_FIELD(C, f)                                                              \
  [] {                                                                                    \
    FieldOps o{#f, Kind::kOptional};                                                      \
    o.clear = [](Message* m) { Of<C>(m)->clear_##f(); };                                  \
    o.has = [](const Message& m) { return Of<C>(m).has_##f(); };                          \
    o.get = [](const Message& m) { return Widen(Of<C>(m).f()); };                         \
    o.set = [](Message* m, std::uint64_t v) {                                             \
      Of<C>(m)->set_##f(static_cast<std::decay_t<decltype(Of<C>(m)->f())>>(v));          \
    };                                                                                    \
    return o;                                                                             \
  }()
#define BYTES_FIELD(C, f)                                                                 \
  [] {                                                                                    \
    FieldOps o{#f, Kind::kBytes};                                                         \
    o.clear = [](Message* m) { Of<C>(m)->clear_##f(); };                                  \
    o.has = [](const Message& m) { return Of<C>(m).has_##f(); };                          \
    o.get_text = [](const Message& m) { return std::string(Of<C>(m).f()); };              \
    o.set_text = [](Message* m, const std::string& v) { Of<C>(m)->set_##f(v); };          \
    o.mutable_text = [](Message* m) { return Of<C>(m)->mutable_##f(); };                  \
    return o;                                                                             \
  }()
#define REPEATED_FIELD(C, f)                                                              \
  [] {                                                                                    \
    FieldOps o{#f, Kind::kRepeated};                                                      \
    o.clear = [](Message* m) { Of<C>(m)->clear_##f(); };                                  \
    o.size = [](const Message& m) { return Of<C>(m).f##_size(); };                        \
    o.get_at = [](const Message& m, int i) { return Widen(Of<C>(m).f(i)); };              \
    o.set_at = [](Message* m, int i, std::uint64_t v) {                                   \
      Of<C>(m)->set_##f(i, static_cast<std::decay_t<decltype(Of<C>(m)->f(0))>>(v));      \
    };                                                                                    \
    o.add = [](Message* m, std::uint64_t v) {                                             \
      Of<C>(m)->add_##f(static_cast<std::decay_t<decltype(Of<C>(m)->f(0))>>(v));         \
    };                                                                                    \
    return o;                                                                             \
  }()
#define MESSAGE_FIELD(C, f)                                                               \
  [] {                                                                                    \
    FieldOps o{#f, Kind::kMessages};                                                      \
    o.clear = [](Message* m) { Of<C>(m)->clear_##f(); };                                  \
    o.size = [](const Message& m) { return Of<C>(m).f##_size(); };                        \
    o.element = [](const Message& m, int i) -> const Message& { return Of<C>(m).f(i); };  \
    o.mutable_element = [](Message* m, int i) -> Message* { return Of<C>(m)->mutable_##f(i); }; \
    o.add_element = [](Message* m) -> Message* { return Of<C>(m)->add_##f(); };           \
    return o;                                                                             \
  }()

// The class-wide operations, each the class's own (not the runtime's).
struct ClassOps {
  const char* name;
  std::vector<FieldOps> fields;
  Message* (*make)() = nullptr;
  const Message& (*default_instance)() = nullptr;
  Message* (*copy_construct)(const Message&) = nullptr;
  void (*assign)(Message*, const Message&) = nullptr;
  void (*swap)(Message*, Message*) = nullptr;
  void (*copy_from)(Message*, const Message&) = nullptr;
  void (*merge_from)(Message*, const Message&) = nullptr;
  void (*clear)(Message*) = nullptr;
  gp::UnknownFieldSet* (*mutable_unknown)(Message*) = nullptr;
  bool (*stream_merge)(Message*, gp::io::CodedInputStream*) = nullptr;
  tarvesh_test::Written (*write_all)(const Message&) = nullptr;
  // CopyFrom and MergeFrom(const Message&): the class's own, given any message.
  void (*copy_from_any)(Message*, const Message&) = nullptr;
  void (*merge_from_any)(Message*, const Message&) = nullptr;
  bool (*is_class)(const Message&) = nullptr;
  const JudgedClass& (*judged)() = nullptr;
};

template <class C>
ClassOps Bind(const char* name, std::vector<FieldOps> fields) {
  ClassOps o;
  o.name = name;
  o.fields = std::move(fields);
  o.make = []() -> Message* { return new C(); };
  o.default_instance = []() -> const Message& { return C::default_instance(); };
  o.copy_construct = [](const Message& from) -> Message* { return new C(Of<C>(from)); };
  o.assign = [](Message* to, const Message& from) { *Of<C>(to) = Of<C>(from); };
  o.swap = [](Message* a, Message* b) { Of<C>(a)->C::Swap(Of<C>(b)); };
  o.copy_from = [](Message* to, const Message& from) { Of<C>(to)->C::CopyFrom(Of<C>(from)); };
  o.merge_from = [](Message* to, const Message& from) { Of<C>(to)->C::MergeFrom(Of<C>(from)); };
  o.clear = [](Message* m) { Of<C>(m)->C::Clear(); };
  o.mutable_unknown = [](Message* m) { return Of<C>(m)->mutable_unknown_fields(); };
  o.stream_merge = [](Message* m, gp::io::CodedInputStream* input) {
    return Of<C>(m)->C::MergePartialFromCodedStream(input);
  };
  o.write_all = [](const Message& m) { return tarvesh_test::WriteAllWays(Of<C>(m)); };
  o.copy_from_any = [](Message* to, const Message& from) { Of<C>(to)->C::CopyFrom(from); };
  o.merge_from_any = [](Message* to, const Message& from) { Of<C>(to)->C::MergeFrom(from); };
  o.is_class = [](const Message& m) { return dynamic_cast<const C*>(&m) != nullptr; };
  o.judged = &Judged<C>;
  return o;
}

inline const std::vector<ClassOps>& AllClasses() {
  using namespace Pb::Tarvesh;
  using Pb::Halvin::Stor::DataFileRef;
  static const std::vector<ClassOps> classes = {
      Bind<DataFileRef>("Pb.Halvin.Stor.DataFileRef",
                        {OPTIONAL_FIELD(DataFileRef, file_index), OPTIONAL_FIELD(DataFileRef, file_size),
                         OPTIONAL_FIELD(DataFileRef, file_id)}),
      Bind<PalletDesc>("Pb.Tarvesh.PalletDesc",
                       {OPTIONAL_FIELD(PalletDesc, id), OPTIONAL_FIELD(PalletDesc, size),
                        OPTIONAL_FIELD(PalletDesc, offset), OPTIONAL_FIELD(PalletDesc, recording_id),
                        OPTIONAL_FIELD(PalletDesc, fragment_id), OPTIONAL_FIELD(PalletDesc, track_id),
                        OPTIONAL_FIELD(PalletDesc, tier_id), OPTIONAL_FIELD(PalletDesc, file_index)}),
      Bind<RecordingFragment_Tier>("Pb.Tarvesh.RecordingFragment.Tier",
                                   {MESSAGE_FIELD(RecordingFragment_Tier, files),
                                    MESSAGE_FIELD(RecordingFragment_Tier, pallets)}),
      Bind<RecordingFragment>("Pb.Tarvesh.RecordingFragment",
                              {OPTIONAL_FIELD(RecordingFragment, fragment_id),
                               MESSAGE_FIELD(RecordingFragment, tiers)}),
      Bind<RecordingFragmentEntry_Track>(
          "Pb.Tarvesh.RecordingFragmentEntry.Track",
          {OPTIONAL_FIELD(RecordingFragmentEntry_Track, track_id),
           OPTIONAL_FIELD(RecordingFragmentEntry_Track, start_tick),
           OPTIONAL_FIELD(RecordingFragmentEntry_Track, end_tick),
           OPTIONAL_FIELD(RecordingFragmentEntry_Track, duration)}),
      Bind<RecordingFragmentEntry>("Pb.Tarvesh.RecordingFragmentEntry",
                                   {OPTIONAL_FIELD(RecordingFragmentEntry, header_file_offset),
                                    OPTIONAL_FIELD(RecordingFragmentEntry, header_file_index),
                                    OPTIONAL_FIELD(RecordingFragmentEntry, header_size),
                                    MESSAGE_FIELD(RecordingFragmentEntry, tracks)}),
      Bind<DataReference_Tier>("Pb.Tarvesh.DataReference.Tier",
                               {MESSAGE_FIELD(DataReference_Tier, files)}),
      Bind<DataReference>("Pb.Tarvesh.DataReference",
                          {MESSAGE_FIELD(DataReference, tiers), MESSAGE_FIELD(DataReference, fragments),
                           MESSAGE_FIELD(DataReference, files)}),
      Bind<CountDeltaS32>("Pb.Tarvesh.CountDeltaS32",
                          {OPTIONAL_FIELD(CountDeltaS32, count), OPTIONAL_FIELD(CountDeltaS32, delta)}),
      Bind<CountValU32>("Pb.Tarvesh.CountValU32",
                        {OPTIONAL_FIELD(CountValU32, count), OPTIONAL_FIELD(CountValU32, val)}),
      Bind<CountValS32>("Pb.Tarvesh.CountValS32",
                        {OPTIONAL_FIELD(CountValS32, count), OPTIONAL_FIELD(CountValS32, val)}),
      Bind<FrameTable>("Pb.Tarvesh.FrameTable",
                       {MESSAGE_FIELD(FrameTable, seq_numbers), MESSAGE_FIELD(FrameTable, timestamps),
                        BYTES_FIELD(FrameTable, coding_depend), REPEATED_FIELD(FrameTable, frame_sizes),
                        REPEATED_FIELD(FrameTable, frame_to_pallet_offsets),
                        MESSAGE_FIELD(FrameTable, frame_to_pallet_ids),
                        MESSAGE_FIELD(FrameTable, access_units_per_frame),
                        REPEATED_FIELD(FrameTable, access_unit_length_diffs),
                        REPEATED_FIELD(FrameTable, access_unit_offset_jumps),
                        MESSAGE_FIELD(FrameTable, errors), REPEATED_FIELD(FrameTable, auth_tags)}),
      Bind<Track>("Pb.Tarvesh.Track",
                  {OPTIONAL_FIELD(Track, track_id), OPTIONAL_FIELD(Track, num_frames),
                   OPTIONAL_FIELD(Track, start_seq), OPTIONAL_FIELD(Track, start_time),
                   OPTIONAL_FIELD(Track, start_tick), OPTIONAL_FIELD(Track, duration),
                   MESSAGE_FIELD(Track, frame_tables), OPTIONAL_FIELD(Track, auth_type)}),
  };
  return classes;
}

inline const ClassOps& OpsOf(const Message& message) {
  static const std::map<std::string, const ClassOps*> by_name = [] {
    std::map<std::string, const ClassOps*> out;
    for (const ClassOps& ops : AllClasses()) out[ops.name] = &ops;
    return out;
  }();
  return *by_name.at(message.GetDescriptor()->full_name());
}

inline void PrintTo(const ClassOps& ops, std::ostream* out) { *out << ops.name; }
inline std::string TestName(const testing::TestParamInfo<ClassOps>& info) {
  std::string out;
  for (const char* c = info.param.name; *c != '\0'; ++c) {
    if (*c != '.') out += *c;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Reading and writing any message through reflection, values as uint64.

inline std::uint64_t Reflected(const Message& m, const FieldDescriptor* f, int index = -1) {
  const gp::Reflection* r = m.GetReflection();
  const bool at = index >= 0;
  switch (f->cpp_type()) {
    case FieldDescriptor::CPPTYPE_UINT32:
      return at ? r->GetRepeatedUInt32(m, f, index) : r->GetUInt32(m, f);
    case FieldDescriptor::CPPTYPE_INT32:
      return Widen(at ? r->GetRepeatedInt32(m, f, index) : r->GetInt32(m, f));
    case FieldDescriptor::CPPTYPE_UINT64:
      return at ? r->GetRepeatedUInt64(m, f, index) : r->GetUInt64(m, f);
    case FieldDescriptor::CPPTYPE_ENUM:
      return Widen(at ? r->GetRepeatedEnumValue(m, f, index) : r->GetEnumValue(m, f));
    default:
      ADD_FAILURE() << "field kind not covered: " << f->full_name();
      return 0;
  }
}

inline void SetReflected(Message* m, const FieldDescriptor* f, std::uint64_t v, int index = -1) {
  const gp::Reflection* r = m->GetReflection();
  const bool add = f->is_repeated() && index < 0;
  switch (f->cpp_type()) {
    case FieldDescriptor::CPPTYPE_UINT32: {
      const auto x = static_cast<std::uint32_t>(v);
      add ? r->AddUInt32(m, f, x) : f->is_repeated() ? r->SetRepeatedUInt32(m, f, index, x) : r->SetUInt32(m, f, x);
      break;
    }
    case FieldDescriptor::CPPTYPE_INT32: {
      const auto x = static_cast<std::int32_t>(v);
      add ? r->AddInt32(m, f, x) : f->is_repeated() ? r->SetRepeatedInt32(m, f, index, x) : r->SetInt32(m, f, x);
      break;
    }
    case FieldDescriptor::CPPTYPE_UINT64:
      add ? r->AddUInt64(m, f, v) : f->is_repeated() ? r->SetRepeatedUInt64(m, f, index, v) : r->SetUInt64(m, f, v);
      break;
    case FieldDescriptor::CPPTYPE_ENUM:
      r->SetEnumValue(m, f, static_cast<int>(v));
      break;
    default:
      ADD_FAILURE() << "field kind not covered: " << f->full_name();
  }
}

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t Below(std::uint64_t n) { return n == 0 ? 0 : engine_() % n; }
  bool OneIn(int n) { return Below(static_cast<std::uint64_t>(n)) == 0; }
  // Values around the varint length boundaries, or of a random bit width.
  std::uint64_t Value() {
    static const std::uint64_t kEdges[] = {
        0, 1, 127, 128, 16383, 16384, 0x7FFFFFFFull, 0x80000000ull, 0xFFFFFFFFull,
        0x100000000ull, 0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, ~0ull};
    if (OneIn(3)) return kEdges[Below(sizeof(kEdges) / sizeof(kEdges[0]))];
    const int bits = static_cast<int>(Below(64)) + 1;
    return bits == 64 ? engine_() : engine_() & ((std::uint64_t{1} << bits) - 1);
  }
  // A value of the field's own type, widened as the bindings widen it.
  std::uint64_t ValueFor(const FieldDescriptor* f) {
    const std::uint64_t v = Value();
    switch (f->cpp_type()) {
      case FieldDescriptor::CPPTYPE_UINT32: return static_cast<std::uint32_t>(v);
      case FieldDescriptor::CPPTYPE_INT32: return Widen(static_cast<std::int32_t>(v));
      case FieldDescriptor::CPPTYPE_ENUM:
        return Widen(f->enum_type()->value(static_cast<int>(Below(f->enum_type()->value_count())))->number());
      default: return v;
    }
  }
  std::string Text(size_t max_length) {
    std::string out(Below(max_length + 1), '\0');
    for (char& c : out) c = static_cast<char>(Below(256));
    return out;
  }

 private:
  std::mt19937_64 engine_;
};

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_CLASS_TABLE_H
