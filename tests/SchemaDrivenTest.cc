// SPDX-License-Identifier: BSD-3-Clause
// Checks driven by the schema rather than written per field, so they grow
// with the classes: random sequences of operations applied to each class
// through its own accessors and, step for step, to a DynamicMessage of the
// schema text through reflection; a table of every field in every wire type,
// tag and length width, after every other field, through both parsers and
// the oracle; what both parsers keep when a parse fails; and that destroying
// a filled message frees everything it allocated.
//
// The only per-field code is the binding table below, one line per field,
// which a test holds to the registered descriptors.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <google/protobuf/arena.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <google/protobuf/unknown_field_set.h>
#include <gtest/gtest.h>

#include "ClassTable.h"
#include "ParseJudge.h"
#include "WireBuilder.h"

// ---------------------------------------------------------------------------
// Counting allocations (plain builds; the sanitized build checks leaks with
// LeakSanitizer and keeps its own operator new).

#if !defined(TARVESH_SANITIZED)
namespace {
std::atomic<long> live_allocations{0};
}  // namespace
void* operator new(std::size_t size) {
  void* pointer = std::malloc(size == 0 ? 1 : size);
  if (pointer == nullptr) throw std::bad_alloc();
  live_allocations.fetch_add(1, std::memory_order_relaxed);
  return pointer;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* pointer) noexcept {
  if (pointer == nullptr) return;
  live_allocations.fetch_sub(1, std::memory_order_relaxed);
  std::free(pointer);
}
void operator delete[](void* pointer) noexcept { operator delete(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { operator delete(pointer); }
#endif

namespace {

namespace gp = google::protobuf;
using gp::FieldDescriptor;
using gp::Message;
using namespace tarvesh_test;
using tarvesh_test::Hex;
using tarvesh_test::SchemaOracle;
using tarvesh_test::Tag;
using tarvesh_test::Varint;

// The library's prototype and the oracle's of one class.
const Message& LibraryPrototype(const ClassOps& ops) {
  return *gp::MessageFactory::generated_factory()->GetPrototype(
      gp::DescriptorPool::generated_pool()->FindMessageTypeByName(ops.name));
}
std::unique_ptr<Message> NewOracle(const ClassOps& ops) { return SchemaOracle::Get().New(ops.name); }

// The class's own stream parser merging `input` into `lib`: its verdict, and
// whether it read the input to its end.
bool StreamMerge(const ClassOps& ops, Message* lib, const std::string& input, bool* consumed_all = nullptr) {
  gp::io::CodedInputStream coded(reinterpret_cast<const std::uint8_t*>(input.data()), static_cast<int>(input.size()));
  const bool ok = ops.stream_merge(lib, &coded);
  if (consumed_all != nullptr) *consumed_all = coded.ConsumedEntireMessage();
  return ok;
}

// ---------------------------------------------------------------------------
// Comparison: every field's presence and value through the accessors and
// through the library's reflection, against the oracle's reflection, nested
// elements included; then the sizes and the bytes of every writer.

std::string Shown(std::uint64_t value) { return std::to_string(value); }
std::string Shown(const std::string& bytes) { return Hex(bytes); }

// "" when the accessor's and reflection's values are the oracle's, else what differs.
template <class T>
std::string Compared(const std::string& where, const T& own, const T& reflected, const T& oracle) {
  if (own == oracle && reflected == oracle) return "";
  return where + ": " + Shown(own) + ", by reflection " + Shown(reflected) + ", oracle " + Shown(oracle);
}

std::string Diff(const Message& lib, const Message& oracle, const std::string& path) {
  const ClassOps& ops = OpsOf(lib);
  const gp::Descriptor* lib_type = lib.GetDescriptor();
  const gp::Descriptor* oracle_type = oracle.GetDescriptor();
  const gp::Reflection* lr = lib.GetReflection();
  const gp::Reflection* orr = oracle.GetReflection();
  for (size_t i = 0; i < ops.fields.size(); ++i) {
    const FieldOps& field = ops.fields[i];
    const FieldDescriptor* lf = lib_type->field(static_cast<int>(i));
    const FieldDescriptor* of = oracle_type->field(static_cast<int>(i));
    const std::string where = path + "." + field.name;
    switch (field.kind) {
      case Kind::kOptional:
      case Kind::kBytes: {
        std::string differs = Compared<std::uint64_t>(where + " has", field.has(lib), lr->HasField(lib, lf),
                                                      orr->HasField(oracle, of));
        if (differs.empty()) {
          differs = field.kind == Kind::kBytes
                        ? Compared(where, field.get_text(lib), lr->GetString(lib, lf), orr->GetString(oracle, of))
                        : Compared(where, field.get(lib), Reflected(lib, lf), Reflected(oracle, of));
        }
        if (!differs.empty()) return differs;
        break;
      }
      case Kind::kRepeated:
      case Kind::kMessages: {
        const int size = orr->FieldSize(oracle, of);
        const std::string differs =
            Compared<std::uint64_t>(where + " size", field.size(lib), lr->FieldSize(lib, lf), size);
        if (!differs.empty()) return differs;
        for (int k = 0; k < size; ++k) {
          const std::string at = where + "[" + std::to_string(k) + "]";
          if (field.kind == Kind::kRepeated) {
            const std::string element =
                Compared(at, field.get_at(lib, k), Reflected(lib, lf, k), Reflected(oracle, of, k));
            if (!element.empty()) return element;
          } else {
            if (&field.element(lib, k) != &lr->GetRepeatedMessage(lib, lf, k)) {
              return at + ": accessor and reflection see different elements";
            }
            const std::string inner = Diff(field.element(lib, k), orr->GetRepeatedMessage(oracle, of, k), at);
            if (!inner.empty()) return inner;
          }
        }
        break;
      }
    }
  }
  const std::string bytes = oracle.SerializeAsString();
  if (lib.ByteSizeLong() != bytes.size()) {
    return path + ": ByteSizeLong " + std::to_string(lib.ByteSizeLong()) + ", oracle " + std::to_string(bytes.size());
  }
  const tarvesh_test::Written out = ops.write_all(lib);
  if (out.runtime != bytes || out.array != bytes || out.stream != bytes) {
    return path + ": writes " + Hex(out.runtime) + " (array " + Hex(out.array) + ", stream " +
           Hex(out.stream) + "), oracle " + Hex(bytes);
  }
  if (!out.array_end_ok || !out.guard_intact) return path + ": the array writer ran off its size";
  return "";
}

// ---------------------------------------------------------------------------
// (a) Operation sequences.

class Sequence {
 public:
  Sequence(const ClassOps& ops, std::uint64_t seed) : ops_(ops), random_(seed) {
    for (int k = 0; k < 2; ++k) {
      lib_[k].reset(ops.make());
      oracle_[k] = NewOracle(ops);
    }
  }

  // Runs `steps` random operations, comparing both objects after each.
  // Returns the operations so far and the first disagreement, or "".
  std::string Run(int steps) {
    for (int step = 0; step < steps; ++step) {
      Step();
      if (!failure_.empty()) return log_ + "=> " + failure_;
      for (int k = 0; k < 2; ++k) {
        const std::string diff = Diff(*lib_[k], *oracle_[k], std::string(ops_.name) + "#" + std::to_string(k));
        if (!diff.empty()) return log_ + "=> " + diff;
      }
    }
    return "";
  }

  const Message& oracle(int k) const { return *oracle_[k]; }

 private:
  void Note(const std::string& what) { log_ += what + "\n"; }

  void SetOptional(Message* lib, Message* oracle, int i, const std::string& where) {
    const FieldDescriptor* of = oracle->GetDescriptor()->field(i);
    const std::uint64_t v = random_.ValueFor(of);
    Note(where + " set " + std::to_string(v));
    OpsOf(*lib).fields[i].set(lib, v);
    SetReflected(oracle, of, v);
  }

  // Every optional scalar of `lib` set: with the field changes that follow,
  // messages with all their presence bits but one, which take the other
  // path of the word-at-a-time size, write and merge.
  void SetEveryOptional(Message* lib, Message* oracle, const std::string& path) {
    const ClassOps& ops = OpsOf(*lib);
    for (int i = 0; i < static_cast<int>(ops.fields.size()); ++i) {
      if (ops.fields[i].kind == Kind::kOptional) {
        SetOptional(lib, oracle, i, path + "." + ops.fields[i].name);
      }
    }
  }

  // One change to one field of `lib` (whose oracle twin is `oracle`),
  // descending into nested elements.
  void ChangeField(Message* lib, Message* oracle, int depth, const std::string& path) {
    const ClassOps& ops = OpsOf(*lib);
    const int i = static_cast<int>(random_.Below(ops.fields.size()));
    const FieldOps& field = ops.fields[i];
    const FieldDescriptor* of = oracle->GetDescriptor()->field(i);
    const gp::Reflection* r = oracle->GetReflection();
    const std::string where = path + "." + field.name;
    if (random_.OneIn(5)) {
      Note(where + " clear");
      field.clear(lib);
      r->ClearField(oracle, of);
      return;
    }
    switch (field.kind) {
      case Kind::kOptional:
        SetOptional(lib, oracle, i, where);
        break;
      case Kind::kBytes: {
        const std::string text = random_.Text(random_.OneIn(5) ? 40 : 6);
        if (random_.OneIn(2)) {
          Note(where + " append " + Hex(text));
          field.mutable_text(lib)->append(text);
          r->SetString(oracle, of, r->GetString(*oracle, of) + text);
        } else {
          Note(where + " set " + Hex(text));
          field.set_text(lib, text);
          r->SetString(oracle, of, text);
        }
        break;
      }
      case Kind::kRepeated: {
        const std::uint64_t v = random_.ValueFor(of);
        const int size = field.size(*lib);
        if (size > 0 && random_.OneIn(3)) {
          const int at = static_cast<int>(random_.Below(size));
          Note(where + "[" + std::to_string(at) + "] set " + std::to_string(v));
          field.set_at(lib, at, v);
          SetReflected(oracle, of, v, at);
        } else {
          Note(where + " add " + std::to_string(v));
          field.add(lib, v);
          SetReflected(oracle, of, v);
        }
        break;
      }
      case Kind::kMessages: {
        const int size = field.size(*lib);
        if (size > 0 && random_.OneIn(2)) {
          const int at = static_cast<int>(random_.Below(size));
          const std::string inner = where + "[" + std::to_string(at) + "]";
          Message* element = field.mutable_element(lib, at);
          Message* twin = r->MutableRepeatedMessage(oracle, of, at);
          if (random_.OneIn(4)) {
            Note(inner + " Clear()");
            OpsOf(*element).clear(element);
            twin->Clear();
          } else if (depth < 3) {
            ChangeField(element, twin, depth + 1, inner);
          }
        } else {
          Note(where + " add");
          Message* element = field.add_element(lib);
          Message* twin = r->AddMessage(oracle, of);
          if (depth < 3 && !random_.OneIn(4)) ChangeField(element, twin, depth + 1, where + "[new]");
        }
        break;
      }
    }
  }

  void Step() {
    const int a = static_cast<int>(random_.Below(2));
    const int b = random_.OneIn(6) ? a : 1 - a;
    const std::string ab = "#" + std::to_string(a) + " from #" + std::to_string(b);
    switch (random_.Below(16)) {
      case 0:
        Note("Clear #" + std::to_string(a));
        ops_.clear(lib_[a].get());
        oracle_[a]->Clear();
        break;
      case 1: {
        // The cached sizes go with the contents.
        Note("Swap " + ab);
        const int size_a = static_cast<int>(lib_[a]->ByteSizeLong());
        const int size_b = static_cast<int>(lib_[b]->ByteSizeLong());
        ops_.swap(lib_[a].get(), lib_[b].get());
        if (lib_[a]->GetCachedSize() != size_b || lib_[b]->GetCachedSize() != size_a) {
          failure_ = "Swap left the cached sizes behind";
        }
        if (a != b) oracle_[a]->GetReflection()->Swap(oracle_[a].get(), oracle_[b].get());
        break;
      }
      case 2:
        Note("CopyFrom " + ab);
        ops_.copy_from(lib_[a].get(), *lib_[b]);
        if (a != b) oracle_[a]->CopyFrom(*oracle_[b]);
        break;
      case 3:
        if (a == b) break;  // a checked error, tested elsewhere
        Note("MergeFrom " + ab);
        ops_.merge_from(lib_[a].get(), *lib_[b]);
        oracle_[a]->MergeFrom(*oracle_[b]);
        break;
      case 4:
        Note("copy-construct " + ab);
        lib_[a].reset(ops_.copy_construct(*lib_[b]));
        if (a != b) oracle_[a]->CopyFrom(*oracle_[b]);
        break;
      case 5:
        Note("assign " + ab);
        ops_.assign(lib_[a].get(), *lib_[b]);
        if (a != b) oracle_[a]->CopyFrom(*oracle_[b]);
        break;
      case 6: {
        // Parsing merges into what is there, by either parser.
        const std::string bytes = oracle_[b]->SerializeAsString();
        const bool stream = random_.OneIn(2);
        Note(std::string(stream ? "stream" : "context") + " merge-parse " + ab);
        bool consumed_all = true;
        const bool ok =
            stream ? StreamMerge(ops_, lib_[a].get(), bytes, &consumed_all) : lib_[a]->MergeFromString(bytes);
        if (!ok || !consumed_all) Note("  (the parse failed)");
        oracle_[a]->MergeFromString(bytes);
        break;
      }
      case 7: {
        const int number = 20 + static_cast<int>(random_.Below(5));
        const std::uint64_t v = random_.Value();
        Note("#" + std::to_string(a) + " unknown varint " + std::to_string(number));
        ops_.mutable_unknown(lib_[a].get())->AddVarint(number, v);
        oracle_[a]->GetReflection()->MutableUnknownFields(oracle_[a].get())->AddVarint(number, v);
        break;
      }
      case 8:
        SetEveryOptional(lib_[a].get(), oracle_[a].get(), "#" + std::to_string(a));
        break;
      default:
        ChangeField(lib_[a].get(), oracle_[a].get(), 0, "#" + std::to_string(a));
    }
  }

  const ClassOps& ops_;
  Random random_;
  std::unique_ptr<Message> lib_[2];
  std::unique_ptr<Message> oracle_[2];
  std::string log_;
  std::string failure_;
};

std::uint64_t SeedOf(const ClassOps& ops, int run) {
  return std::hash<std::string>()(ops.name) * 31 + static_cast<std::uint64_t>(run);
}

class SchemaDrivenTest : public testing::TestWithParam<ClassOps> {};

// The generated factory's prototype of each name is the class's default
// instance, empty, and makes objects of the class. The binding table names
// every field of the registered descriptor, in order and of the right kind:
// a field added to the schema must be bound.
TEST_P(SchemaDrivenTest, BindingsCoverTheSchema) {
  const ClassOps& ops = GetParam();
  const Message& prototype = LibraryPrototype(ops);
  EXPECT_EQ(&prototype, &ops.default_instance());
  EXPECT_EQ(prototype.ByteSizeLong(), 0u);
  EXPECT_TRUE(ops.is_class(*std::unique_ptr<Message>(prototype.New())));
  const gp::Descriptor* type = prototype.GetDescriptor();
  EXPECT_EQ(type->full_name(), ops.name);
  ASSERT_EQ(static_cast<int>(ops.fields.size()), type->field_count());
  for (int i = 0; i < type->field_count(); ++i) {
    const FieldDescriptor* f = type->field(i);
    const Kind kind = f->is_repeated()
                          ? (f->cpp_type() == FieldDescriptor::CPPTYPE_MESSAGE ? Kind::kMessages : Kind::kRepeated)
                          : (f->cpp_type() == FieldDescriptor::CPPTYPE_STRING ? Kind::kBytes : Kind::kOptional);
    EXPECT_EQ(f->name(), ops.fields[i].name);
    EXPECT_TRUE(kind == ops.fields[i].kind) << f->name();
  }
}

TEST_P(SchemaDrivenTest, OperationSequencesMatchTheOracle) {
  const ClassOps& ops = GetParam();
  for (int run = 0; run < 150; ++run) {
    const std::string failure = Sequence(ops, SeedOf(ops, run)).Run(40);
    if (!failure.empty()) {
      ADD_FAILURE() << "sequence " << run << ":\n" << failure;
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// (b) The parse table.

// `value` as a varint padded with continuation bytes to `width` bytes.
std::string Padded(std::uint64_t value, int width) {
  std::string out;
  for (int i = 0; i < width; ++i) {
    const std::uint8_t low = static_cast<std::uint8_t>((value >> (7 * i)) & 0x7F);
    out.push_back(static_cast<char>(i + 1 < width ? low | 0x80 : low));
  }
  return out;
}

std::string PaddedTag(int number, int wire_type, int width) {
  const std::uint64_t tag = (static_cast<std::uint64_t>(number) << 3) | static_cast<std::uint64_t>(wire_type);
  return Padded(tag, std::max(width, static_cast<int>(Varint(tag).size())));
}

// A length-delimited payload a field of its kind carries.
std::string PayloadFor(const FieldDescriptor* f) {
  if (f->cpp_type() == FieldDescriptor::CPPTYPE_MESSAGE) return Tag(1, 0) + Varint(1);
  if (f->cpp_type() == FieldDescriptor::CPPTYPE_STRING) return "AB";
  if (f->is_packed()) {
    return f->type() == FieldDescriptor::TYPE_FIXED64 ? tarvesh_test::Fixed(0x0102030405060708ull, 8)
                                                      : Varint(1) + Varint(300);
  }
  return "\x01\x02";
}

// Field `f` in wire type `wire_type`, its tag `tag_width` bytes long and a
// length, if any, `length_width` bytes long.
std::string Encode(const FieldDescriptor* f, int wire_type, int tag_width, int length_width) {
  const int n = f->number();
  std::string out = PaddedTag(n, wire_type, tag_width);
  switch (wire_type) {
    case 0: return out + Varint(f->cpp_type() == FieldDescriptor::CPPTYPE_ENUM ? 1 : 300);
    case 1: return out + tarvesh_test::Fixed(0x8877665544332211ull, 8);
    case 5: return out + tarvesh_test::Fixed(0x44332211u, 4);
    case 2: {
      const std::string payload = PayloadFor(f);
      return out + Padded(payload.size(), length_width) + payload;
    }
    default: return out + Tag(1, 0) + Varint(7) + Tag(n, 4);  // a group
  }
}

// Each field in the form a writer gives it (both forms for packed ones).
std::vector<std::string> WrittenForms(const gp::Descriptor* type) {
  std::vector<std::string> out;
  for (int i = 0; i < type->field_count(); ++i) {
    const FieldDescriptor* f = type->field(i);
    switch (f->type()) {
      case FieldDescriptor::TYPE_MESSAGE:
      case FieldDescriptor::TYPE_BYTES:
        out.push_back(Encode(f, 2, 1, 1));
        break;
      case FieldDescriptor::TYPE_FIXED64:
        out.push_back(Encode(f, 1, 1, 1));
        if (f->is_packed()) out.push_back(Encode(f, 2, 1, 1));
        break;
      default:
        out.push_back(Encode(f, 0, 1, 1));
        if (f->is_packed()) out.push_back(Encode(f, 2, 1, 1));
    }
  }
  return out;
}

// Every parser of the class on `input`, flat and over 1- and 3-byte
// buffers, judged against the oracle; `failed` says how much of a failed
// parse must agree. Returns "" or what disagreed.
std::string Judge(const ClassOps& ops, const std::string& input, Failed failed) {
  JudgeOptions options;
  options.chunks = {0, 1, 3};
  options.failed = failed;
  return JudgeParse(ops.judged(), input, options).disagreement;
}

// A class that holds `ops`'s class as an element, and that field's number;
// null when none does.
const ClassOps* ParentOf(const ClassOps& ops, int* number) {
  for (const ClassOps& parent : AllClasses()) {
    const gp::Descriptor* type = LibraryPrototype(parent).GetDescriptor();
    for (int i = 0; i < type->field_count(); ++i) {
      const gp::Descriptor* element = type->field(i)->message_type();
      if (element != nullptr && element->full_name() == ops.name) {
        *number = type->field(i)->number();
        return &parent;
      }
    }
  }
  return nullptr;
}

TEST_P(SchemaDrivenTest, ParseTableMatchesTheOracle) {
  const ClassOps& ops = GetParam();
  const gp::Descriptor* type = LibraryPrototype(ops).GetDescriptor();
  int parent_field = 0;
  const ClassOps* parent = ParentOf(ops, &parent_field);
  std::vector<std::string> before = WrittenForms(type);
  before.insert(before.begin(), "");
  int failures = 0;
  for (int i = 0; i < type->field_count() && failures < 5; ++i) {
    for (int wire_type : {0, 1, 2, 3, 5}) {
      for (int tag_width = 1; tag_width <= 6; ++tag_width) {
        // Length widths 1 to 6, then an empty payload, whose padded length
        // starts with the byte 80, in widths 1 to 6.
        for (int length_width = 1; length_width <= (wire_type == 2 ? 12 : 1); ++length_width) {
          const std::string field =
              length_width <= 6 ? Encode(type->field(i), wire_type, tag_width, length_width)
                                : PaddedTag(type->field(i)->number(), 2, tag_width) + Padded(0, length_width - 6);
          for (const std::string& first : before) {
            const std::string input = first + field;
            std::string failure = Judge(ops, input, Failed::kKnownFields);
            if (failure.empty() && tag_width == 6) {
              // A tag too long to read fails the stream parser itself.
              std::unique_ptr<Message> lib(ops.make());
              if (StreamMerge(ops, lib.get(), input)) failure = "the stream parser returned true";
            }
            if (failure.empty() && parent != nullptr) {
              failure = Judge(*parent, tarvesh_test::Delimited(parent_field, input), Failed::kKnownFields);
              if (!failure.empty()) failure = "inside " + std::string(parent->name) + ": " + failure;
            }
            if (!failure.empty() && ++failures <= 5) {
              ADD_FAILURE() << ops.name << " input " << Hex(input) << "\n  " << failure;
            }
          }
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// (c) Failed parses: both parsers keep what they merged before the failure.

// A field in its written form with a random value; elements hold fields of
// their own down to depth 2.
std::string WrittenField(const FieldDescriptor* f, Random& random, int depth);

std::string WrittenFields(const gp::Descriptor* type, Random& random, int depth) {
  std::string out;
  for (int k = static_cast<int>(random.Below(4)); k > 0; --k) {
    out += WrittenField(type->field(static_cast<int>(random.Below(type->field_count()))), random, depth);
  }
  return out;
}

std::string WrittenField(const FieldDescriptor* f, Random& random, int depth) {
  const int n = f->number();
  switch (f->type()) {
    case FieldDescriptor::TYPE_MESSAGE:
      return tarvesh_test::Delimited(n, depth < 2 ? WrittenFields(f->message_type(), random, depth + 1) : "");
    case FieldDescriptor::TYPE_BYTES:
      return tarvesh_test::Delimited(n, random.Text(random.OneIn(5) ? 40 : 6));
    case FieldDescriptor::TYPE_FIXED64:
      return Tag(n, 1) + tarvesh_test::Fixed(random.Value(), 8);
    default:
      if (f->is_packed() && random.OneIn(2)) {
        return tarvesh_test::Delimited(n, Varint(random.Value() & 0xFFFFFFFF) + Varint(random.Value() & 0xFFFFFFFF));
      }
      return Tag(n, 0) + Varint(random.Value());
  }
}

// Written fields with one whole bad token among them, placed at this level
// or inside an element, or a packed run broken by a bad value; more fields
// follow it, so that nothing ends for lack of input.
std::string BrokenFields(const gp::Descriptor* type, Random& random, int depth) {
  const FieldDescriptor* f = type->field(static_cast<int>(random.Below(type->field_count())));
  const int n = f->number();
  std::string broken;
  if (f->type() == FieldDescriptor::TYPE_MESSAGE && depth < 2 && random.OneIn(2)) {
    broken = tarvesh_test::Delimited(n, BrokenFields(f->message_type(), random, depth + 1));
  } else if (f->is_packed() && f->type() != FieldDescriptor::TYPE_FIXED64 && random.OneIn(2)) {
    broken = tarvesh_test::Delimited(n, Varint(1) + Varint(2) + std::string(10, '\xFF') + "\x01" + Varint(3));
  } else {
    switch (random.Below(6)) {
      case 0: broken = PaddedTag(n, 0, 6) + Varint(1); break;                       // six-byte tag
      case 1: broken = Tag(n, 6 + static_cast<int>(random.Below(2))); break;         // no such wire type
      case 2: broken = Tag(0, static_cast<int>(random.Below(6))) + Varint(1); break;  // field number 0
      case 3: broken = Tag(n, 4); break;                                              // stray end-group
      case 4: broken = Tag(n, 3); break;  // a group never closed: the input ends inside it
      default:  // a six-byte length for a length-delimited field of the schema
        broken = f->is_packed() || f->type() == FieldDescriptor::TYPE_MESSAGE ||
                         f->type() == FieldDescriptor::TYPE_BYTES
                     ? Tag(n, 2) + Padded(1, 6) + "\x01"
                     : Tag(n, 3);
    }
  }
  return WrittenFields(type, random, depth) + broken + WrittenFields(type, random, depth) +
         WrittenField(f, random, depth);
}

TEST_P(SchemaDrivenTest, FailedParsesKeepTheSameState) {
  const ClassOps& ops = GetParam();
  const gp::Descriptor* type = LibraryPrototype(ops).GetDescriptor();
  Random random(SeedOf(ops, 3000));
  int failures = 0;
  for (int run = 0; run < 400 && failures < 5; ++run) {
    const std::string input = BrokenFields(type, random, 0);
    const std::string failure = Judge(ops, input, Failed::kExact);
    if (!failure.empty() && ++failures <= 5) {
      ADD_FAILURE() << ops.name << " input " << Hex(input) << "\n  " << failure;
    }
  }
  // Filled messages cut short at every byte: the same verdicts, and the
  // same partial message from the stream parser in any buffer sizes. Cut
  // inside a field, the stream parser itself returns false (only a tag that
  // cannot be read ends it with true).
  for (int run = 0; run < 6 && failures < 5; ++run) {
    // Every field, and packed ones in both forms.
    std::string bytes;
    std::vector<size_t> ends = {0};
    for (int i = 0; i < type->field_count(); ++i) {
      const FieldDescriptor* f = type->field(i);
      bytes += WrittenField(f, random, 0);
      ends.push_back(bytes.size());
      if (f->is_packed()) {
        bytes += f->type() == FieldDescriptor::TYPE_FIXED64
                     ? tarvesh_test::Delimited(f->number(), tarvesh_test::Fixed(random.Value(), 8))
                     : Tag(f->number(), 0) + Varint(random.Value() & 0xFFFFFFFF);
        ends.push_back(bytes.size());
      }
    }
    for (size_t cut = 0; cut < bytes.size() && failures < 5; ++cut) {
      const std::string input = bytes.substr(0, cut);
      std::string failure = Judge(ops, input, Failed::kStreams);
      std::unique_ptr<Message> lib(ops.make());
      if (failure.empty() && std::find(ends.begin(), ends.end(), cut) == ends.end() &&
          StreamMerge(ops, lib.get(), input)) {
        failure = "the stream parser returned true inside a field";
      }
      if (!failure.empty() && ++failures <= 5) {
        ADD_FAILURE() << ops.name << " input " << Hex(input) << "\n  " << failure;
      }
    }
  }
  // A packed run broken by an eleven-byte varint keeps the two elements
  // before it, in both parsers.
  for (int i = 0; i < type->field_count(); ++i) {
    const FieldDescriptor* f = type->field(i);
    if (!f->is_packed() || f->type() == FieldDescriptor::TYPE_FIXED64) continue;
    const std::string input =
        tarvesh_test::Delimited(f->number(), Varint(2) + Varint(4) + std::string(10, '\xFF') + "\x01");
    for (int stream = 0; stream < 2; ++stream) {
      std::unique_ptr<Message> lib(ops.make());
      EXPECT_FALSE(stream ? StreamMerge(ops, lib.get(), input) : lib->ParseFromString(input));
      const gp::Reflection* r = lib->GetReflection();
      ASSERT_EQ(r->FieldSize(*lib, f), 2) << f->name() << (stream ? " stream" : " context");
      EXPECT_EQ(Reflected(*lib, f, 0) + Reflected(*lib, f, 1), f->type() == FieldDescriptor::TYPE_SINT32 ? 3u : 6u);
    }
  }
}

// ---------------------------------------------------------------------------
// (d) Destroying a filled message frees everything it allocated.

#if !defined(TARVESH_SANITIZED)
TEST_P(SchemaDrivenTest, DestroyingFreesEverything) {
  const ClassOps& ops = GetParam();
  for (int run = 0; run < 20; ++run) {
    // The first pass takes the one-time allocations (descriptors, reflection).
    long leaked = 0;
    for (int pass = 0; pass < 2; ++pass) {
      const long before = live_allocations.load();
      {
        Sequence sequence(ops, SeedOf(ops, 2000 + run));
        const std::string failure = sequence.Run(30);
        ASSERT_EQ(failure, "");
      }
      leaked = live_allocations.load() - before;
    }
    EXPECT_EQ(leaked, 0) << "sequence " << 2000 + run << " left allocations behind";
  }
  // A message made on an arena goes with the arena. The first arena of a
  // thread leaves the runtime's per-thread cache behind.
  long leaked = 0;
  for (int pass = 0; pass < 2; ++pass) {
    const long before = live_allocations.load();
    {
      gp::Arena arena;
      LibraryPrototype(ops).New(&arena);
    }
    leaked = live_allocations.load() - before;
  }
  EXPECT_EQ(leaked, 0) << "New(arena)";
}
#endif

INSTANTIATE_TEST_SUITE_P(Classes, SchemaDrivenTest, testing::ValuesIn(AllClasses()), TestName);

}  // namespace
