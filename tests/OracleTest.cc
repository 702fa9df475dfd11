// The library checked against an independent oracle: the schema text parsed
// by libprotoc's Importer, and DynamicMessages built from that parse, which
// share no code with the hand-written classes.
//
// TARVESH_DIFF_ITERATIONS sets the number of random messages per class (1000
// by default), TARVESH_DIFF_SEED the base seed; a failure names the seed.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <google/protobuf/arena.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/descriptor_database.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <gtest/gtest.h>

#include "ClassTable.h"
#include "SchemaOracle.h"
#include "TestSupport.h"
#include "WireBuilder.h"
#include "SeparateBuffersStream.h"

namespace {

namespace gp = google::protobuf;
using gp::FieldDescriptor;
using tarvesh_test::Fixed;
using tarvesh_test::Hex;
using tarvesh_test::Tag;
using tarvesh_test::Varint;

using tarvesh_test::kRecordingFile;
using tarvesh_test::kTrackFile;
using tarvesh_test::SchemaOracle;
using tarvesh_test::AllClasses;
using tarvesh_test::ClassOps;
using tarvesh_test::Random;

std::string Serialized(const gp::FileDescriptor* file) {
  gp::FileDescriptorProto proto;
  file->CopyTo(&proto);
  return proto.SerializeAsString();
}

// ---------------------------------------------------------------------------
// (a) The descriptors the library registers are the schema text's.

struct SchemaFile {
  const char* name;
  size_t length;  // 0: not fixed
};

void PrintTo(const SchemaFile& file, std::ostream* out) { *out << file.name; }

class EmbeddedDescriptorTest : public testing::TestWithParam<SchemaFile> {};

TEST_P(EmbeddedDescriptorTest, MatchesSchemaText) {
  const SchemaFile& schema = GetParam();
  const gp::FileDescriptor* parsed = SchemaOracle::Get().Import(schema.name);
  ASSERT_NE(parsed, nullptr) << SchemaOracle::Get().errors();
  const gp::FileDescriptor* registered =
      gp::DescriptorPool::generated_pool()->FindFileByName(schema.name);
  ASSERT_NE(registered, nullptr);

  const std::string expected = Serialized(parsed);
  if (schema.length != 0) {
    EXPECT_EQ(expected.size(), schema.length) << "the schema text itself changed";
  }
  EXPECT_EQ(Hex(Serialized(registered)), Hex(expected));

  // The bytes as handed to the runtime, before any descriptor was built.
  gp::FileDescriptorProto embedded;
  ASSERT_TRUE(gp::DescriptorPool::internal_generated_database()->FindFileByName(schema.name,
                                                                               &embedded));
  EXPECT_EQ(embedded.unknown_fields().field_count(), 0);
  EXPECT_EQ(Hex(embedded.SerializeAsString()), Hex(expected));
}

INSTANTIATE_TEST_SUITE_P(
    SchemaFiles, EmbeddedDescriptorTest,
    testing::Values(SchemaFile{kRecordingFile, 898}, SchemaFile{kTrackFile, 877},
                    SchemaFile{"ProtoBuf/Halvin/Halvin.Storage.proto", 0},
                    SchemaFile{"ProtoBuf/Velto/Velto.proto", 0}),
    [](const testing::TestParamInfo<SchemaFile>& info) {
      std::string name = info.param.name;
      name = name.substr(name.rfind('/') + 1);
      std::string out;
      for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return out;
    });

// ---------------------------------------------------------------------------
// Random messages and random damage.

// A field number: one the message knows (to arrive with a wrong wire type),
// just past the known ones, or far out.
std::uint32_t FieldNumber(Random& random) {
  switch (random.Below(4)) {
    case 0: case 1: return static_cast<std::uint32_t>(random.Below(12)) + 1;
    case 2: return static_cast<std::uint32_t>(random.Below(20)) + 12;
    default: return random.OneIn(2) ? (1u << 29) - 1 : static_cast<std::uint32_t>(random.Below(100000)) + 1;
  }
}

// Unknown fields of every wire type, groups nested up to `depth`.
void AddUnknownFields(Random& random, gp::UnknownFieldSet* set, int depth) {
  const int count = static_cast<int>(random.Below(3)) + 1;
  for (int i = 0; i < count; ++i) {
    const int number = static_cast<int>(FieldNumber(random));
    switch (random.Below(depth > 0 ? 5 : 4)) {
      case 0: set->AddVarint(number, random.Value()); break;
      case 1: set->AddFixed32(number, static_cast<std::uint32_t>(random.Value())); break;
      case 2: set->AddFixed64(number, random.Value()); break;
      case 3: set->AddLengthDelimited(number, random.Text(12)); break;
      default: AddUnknownFields(random, set->AddGroup(number), depth - 1); break;
    }
  }
}

// Fills every field kind through reflection, nested messages included.
void Fill(Random& random, gp::Message* message, int depth) {
  const gp::Descriptor* descriptor = message->GetDescriptor();
  const gp::Reflection* reflection = message->GetReflection();
  for (int i = 0; i < descriptor->field_count(); ++i) {
    const FieldDescriptor* field = descriptor->field(i);
    int count = 1;
    if (field->is_repeated()) {
      count = field->cpp_type() == FieldDescriptor::CPPTYPE_MESSAGE
                  ? static_cast<int>(random.Below(depth < 2 ? 4 : 2))
                  : static_cast<int>(random.Below(random.OneIn(8) ? 40 : 6));
    } else if (random.OneIn(3)) {
      continue;
    }
    for (int k = 0; k < count; ++k) {
      const std::uint64_t value = random.Value();
      const bool repeated = field->is_repeated();
      switch (field->cpp_type()) {
        case FieldDescriptor::CPPTYPE_UINT32:
          repeated ? reflection->AddUInt32(message, field, static_cast<std::uint32_t>(value))
                   : reflection->SetUInt32(message, field, static_cast<std::uint32_t>(value));
          break;
        case FieldDescriptor::CPPTYPE_INT32:
          repeated ? reflection->AddInt32(message, field, static_cast<std::int32_t>(value))
                   : reflection->SetInt32(message, field, static_cast<std::int32_t>(value));
          break;
        case FieldDescriptor::CPPTYPE_UINT64:
          repeated ? reflection->AddUInt64(message, field, value)
                   : reflection->SetUInt64(message, field, value);
          break;
        case FieldDescriptor::CPPTYPE_STRING: {
          const std::string text = random.Text(random.OneIn(6) ? 300 : 10);
          repeated ? reflection->AddString(message, field, text)
                   : reflection->SetString(message, field, text);
          break;
        }
        case FieldDescriptor::CPPTYPE_ENUM: {
          // Values the enum does not know go to the unknown fields.
          const gp::EnumDescriptor* type = field->enum_type();
          const int number = random.OneIn(2)
                                 ? type->value(static_cast<int>(random.Below(type->value_count())))->number()
                                 : static_cast<int>(value);
          repeated ? reflection->AddEnumValue(message, field, number)
                   : reflection->SetEnumValue(message, field, number);
          break;
        }
        case FieldDescriptor::CPPTYPE_MESSAGE:
          Fill(random, repeated ? reflection->AddMessage(message, field)
                                : reflection->MutableMessage(message, field),
               depth + 1);
          break;
        default:
          ADD_FAILURE() << "field kind not covered: " << field->full_name();
      }
    }
  }
  if (random.OneIn(4)) AddUnknownFields(random, reflection->MutableUnknownFields(message), 2);
}

// One raw field, well formed: what a newer writer might add, or a known
// field in the other encoding (unpacked elements of a packed field).
std::string RawField(Random& random) {
  const std::uint32_t number = FieldNumber(random);
  switch (random.Below(5)) {
    case 0: return Tag(number, 0) + Varint(random.Value());
    case 1: return Tag(number, 1) + Fixed(random.Value(), 8);
    case 2: return Tag(number, 5) + Fixed(random.Value(), 4);
    case 3: {
      const std::string payload = random.Text(8);
      return Tag(number, 2) + Varint(payload.size()) + payload;
    }
    default: {
      const std::uint32_t inner = number == (1u << 29) - 1 ? 1 : number + 1;
      return Tag(number, 3) + Tag(inner, 0) + Varint(random.Value()) + Tag(number, 4);
    }
  }
}

// A token no well-formed message holds at that place.
std::string BadToken(Random& random) {
  const std::uint32_t number = FieldNumber(random);
  switch (random.Below(9)) {
    case 0: return Tag(number, 4);                       // stray end-group
    case 1: return std::string(1, '\0');                 // tag 0
    case 2: return Tag(0, static_cast<int>(random.Below(6)));  // field number 0
    case 3: return Tag(number, 6 + static_cast<int>(random.Below(2)));  // no such wire type
    case 4: return Tag(number, 0) + std::string(10, '\x80') + "\x01";   // 11-byte varint
    case 5: return Tag(number, 0) + std::string(9, '\xFF') + "\x7F";    // 10 bytes, high bits set
    case 6: {                                             // length past anything
      static const std::uint64_t kLengths[] = {0x7FFFFFFFull, 0x80000000ull, 0xFFFFFFFFull,
                                               0xFFFFFFFFFFull, ~0ull, 1000};
      return Tag(number, 2) + Varint(kLengths[random.Below(6)]) + random.Text(4);
    }
    case 7: return Tag(number, 3) + Tag(number + 1, 4);  // mismatched end, maybe past 2^29
    default: return Tag(number, 3);                       // group never closed
  }
}

std::string Damage(Random& random, const std::string& bytes) {
  std::string out = bytes;
  switch (random.Below(4)) {
    case 0:  // truncate
      out.resize(random.Below(out.size() + 1));
      break;
    case 1: {  // change one to three bytes
      const int flips = static_cast<int>(random.Below(3)) + 1;
      for (int i = 0; i < flips && !out.empty(); ++i) {
        const size_t at = random.Below(out.size());
        out[at] = random.OneIn(2) ? static_cast<char>(random.Below(256))
                                  : static_cast<char>(out[at] ^ (1 << random.Below(8)));
      }
      break;
    }
    case 2:  // a bad token anywhere, often inside a nested element
      out.insert(random.Below(out.size() + 1), BadToken(random));
      break;
    default:  // a well-formed field at a random place, which may split another
      out.insert(random.Below(out.size() + 1), RawField(random));
      break;
  }
  return out;
}

// ---------------------------------------------------------------------------
// (b) The differential test.

struct Subject {
  const ClassOps* ops;
  const gp::Message* library;   // the generated factory's prototype
  const gp::Message* oracle;    // DynamicMessage of the schema text
  const gp::Message* reflected; // DynamicMessage of the library's own descriptor
};

class DifferentialTest : public testing::TestWithParam<ClassOps> {
 protected:
  void SetUp() override {
    const ClassOps& ops = GetParam();
    const gp::Descriptor* registered =
        gp::DescriptorPool::generated_pool()->FindMessageTypeByName(ops.name);
    ASSERT_NE(registered, nullptr);
    subject_.ops = &ops;
    subject_.library = gp::MessageFactory::generated_factory()->GetPrototype(registered);
    ASSERT_NE(subject_.library, nullptr);
    ASSERT_TRUE(ops.is_class(*subject_.library)) << "the factory's prototype is not the class";
    subject_.oracle = SchemaOracle::Get().Prototype(ops.name);
    subject_.reflected = reflected_factory_.GetPrototype(registered);

    const char* iterations = std::getenv("TARVESH_DIFF_ITERATIONS");
    iterations_ = iterations != nullptr ? std::atoi(iterations) : 1000;
    const char* seed = std::getenv("TARVESH_DIFF_SEED");
    base_seed_ = seed != nullptr ? std::strtoull(seed, nullptr, 0) : 0x5EEDF00Dull;
  }

  // Every parser on `input`: the runtime's and the class's own, over one flat
  // buffer and over small buffers (so that fields straddle refills), and the
  // oracle. On agreement returns true, the verdict, and on success the bytes
  // all of them write back.
  bool Agree(const std::string& input, bool* parsed, std::string* written) {
    const int chunk = 1 + static_cast<int>(input.size() % 7);
    std::unique_ptr<gp::Message> objects[4];
    bool verdicts[4];
    for (int i = 0; i < 4; ++i) {
      objects[i].reset(subject_.library->New());
      tarvesh_test::SeparateBuffersStream raw(input, i % 2 == 0 ? 0 : chunk);
      if (i < 2) {
        verdicts[i] = objects[i]->ParseFromZeroCopyStream(&raw);
      } else {
        gp::io::CodedInputStream stream(&raw);
        verdicts[i] = subject_.ops->stream_merge(objects[i].get(), &stream) &&
                      stream.ConsumedEntireMessage();
      }
    }
    std::unique_ptr<gp::Message> oracle(subject_.oracle->New());
    *parsed = oracle->ParseFromString(input);

    static const char* const kNames[] = {"ParseFromString", "ParseFromString in pieces",
                                         "MergePartialFromCodedStream",
                                         "MergePartialFromCodedStream in pieces"};
    bool agree = true;
    for (int i = 0; i < 4; ++i) {
      if (verdicts[i] != *parsed) {
        Report(input, std::string(kNames[i]) + (verdicts[i] ? " accepts" : " refuses") +
                          ", the oracle " + (*parsed ? "accepts" : "refuses"));
        agree = false;
      }
    }
    // The first parse again, into a message on an arena: the same verdict and
    // the same content as on the heap, whether or not it succeeds.
    {
      gp::Arena arena;
      gp::Message* on_arena = subject_.library->New(&arena);
      tarvesh_test::SeparateBuffersStream raw(input, 0);
      const bool verdict = on_arena->ParseFromZeroCopyStream(&raw);
      const std::string bytes = on_arena->SerializeAsString();
      const std::string heap_bytes = objects[0]->SerializeAsString();
      if (on_arena->GetArena() != &arena || verdict != verdicts[0] || bytes != heap_bytes) {
        Report(input, std::string("ParseFromString on an arena ") +
                          (verdict ? "accepts" : "refuses") + " and reads " + Hex(bytes) +
                          "\n  on the heap " + Hex(heap_bytes));
        agree = false;
      }
    }
    if (!agree || !*parsed) return agree;
    *written = oracle->SerializeAsString();
    for (int i = 0; i < 4; ++i) {
      const std::string bytes = objects[i]->SerializeAsString();
      if (bytes != *written) {
        Report(input, std::string(kNames[i]) + " read what writes as " + Hex(bytes) +
                          "\n  the oracle " + Hex(*written));
        agree = false;
      }
    }
    const std::string array = subject_.ops->write_all(*objects[2]).array;
    if (array != *written) {
      Report(input, "SerializeWithCachedSizesToArray wrote " + Hex(array) + "\n  the oracle " +
                        Hex(*written));
      agree = false;
    }
    return agree;
  }

  // Merging parsed messages, within the class and across to the reflected
  // DynamicMessage, gives what parsing the concatenation gives.
  void CheckMerges(const std::string& a, const std::string& b, const std::string& joined) {
    std::unique_ptr<gp::Message> left(subject_.library->New());
    std::unique_ptr<gp::Message> right(subject_.library->New());
    std::unique_ptr<gp::Message> right_reflected(subject_.reflected->New());
    ASSERT_TRUE(left->ParseFromString(a));
    ASSERT_TRUE(right->ParseFromString(b));
    ASSERT_TRUE(right_reflected->ParseFromString(b));

    std::unique_ptr<gp::Message> merged(left->New());
    subject_.ops->copy_from_any(merged.get(), *left);
    subject_.ops->merge_from_any(merged.get(), *right);
    ExpectWritten(*merged, joined, a + b, "own MergeFrom");

    // The runtime's CopyFrom (through the class data), then a merge from
    // another class, which goes through reflection.
    merged.reset(left->New());
    merged->CopyFrom(*left);
    subject_.ops->merge_from_any(merged.get(), *right_reflected);
    ExpectWritten(*merged, joined, a + b, "own MergeFrom(DynamicMessage)");

    std::unique_ptr<gp::Message> back(subject_.reflected->New());
    back->ParseFromString(a);
    back->MergeFrom(*right);
    ExpectWritten(*back, joined, a + b, "DynamicMessage MergeFrom(library)");

    subject_.ops->copy_from_any(merged.get(), *right_reflected);
    ExpectWritten(*merged, right->SerializeAsString(), b, "own CopyFrom(DynamicMessage)");
  }

  void ExpectWritten(const gp::Message& message, const std::string& expected,
                     const std::string& input, const char* how) {
    const std::string written = message.SerializeAsString();
    if (written != expected) {
      Report(input, std::string(how) + " gave " + Hex(written) + "\n  expected " + Hex(expected));
    }
  }

  void Report(const std::string& input, const std::string& what) {
    ++failures_;
    ADD_FAILURE() << GetParam().name << ", seed " << seed_ << " (TARVESH_DIFF_SEED=" << base_seed_
                  << ", iteration " << iteration_ << ")\n  input " << Hex(input) << "\n  "
                  << what;
  }

  Subject subject_;
  gp::DynamicMessageFactory reflected_factory_;
  int iterations_ = 0;
  std::uint64_t base_seed_ = 0;
  std::uint64_t seed_ = 0;
  int iteration_ = 0;
  int failures_ = 0;
};

TEST_P(DifferentialTest, ParsersAgreeWithTheOracle) {
  std::hash<std::string> hash;
  for (iteration_ = 0; iteration_ < iterations_ && failures_ < 10; ++iteration_) {
    seed_ = base_seed_ ^ (hash(GetParam().name) + 0x9E3779B97F4A7C15ull * (iteration_ + 1));
    Random random(seed_);
    std::unique_ptr<gp::Message> first(subject_.oracle->New());
    std::unique_ptr<gp::Message> second(subject_.oracle->New());
    Fill(random, first.get(), 0);
    Fill(random, second.get(), 0);
    std::string a = first->SerializeAsString();
    std::string b = second->SerializeAsString();
    if (random.OneIn(2)) a += RawField(random);
    if (random.OneIn(3)) b = RawField(random) + b;

    bool a_parsed = false, b_parsed = false, parsed = false;
    std::string written_a, written_b, written_joined;
    if (!Agree(a, &a_parsed, &written_a) || !Agree(b, &b_parsed, &written_b) ||
        !Agree(a + b, &parsed, &written_joined)) {
      continue;
    }
    if (a_parsed && b_parsed) CheckMerges(a, b, written_joined);

    std::string damaged = Damage(random, a + b);
    for (int round = 0; round < 6; ++round) {
      Agree(damaged, &parsed, &written_a);
      Agree(damaged + b, &parsed, &written_a);
      damaged = random.OneIn(3) ? Damage(random, a) : Damage(random, damaged);
    }
  }
}

// Unknown groups nested around the recursion limit, alone and inside nested
// elements; both sides must count depth the same way.
TEST_P(DifferentialTest, DeepNestingAgrees) {
  for (int depth : {1, 31, 62, 63, 64, 65, 97, 98, 99, 100, 101, 102, 150}) {
    std::string groups;
    for (int i = 0; i < depth; ++i) groups += Tag(15, 3);
    groups += Tag(16, 0) + Varint(1);
    for (int i = 0; i < depth; ++i) groups += Tag(15, 4);
    bool parsed = false;
    std::string written;
    Agree(groups, &parsed, &written);
    // The same inside the first and second nesting level of each message field.
    const gp::Descriptor* descriptor = subject_.oracle->GetDescriptor();
    for (int i = 0; i < descriptor->field_count(); ++i) {
      const FieldDescriptor* field = descriptor->field(i);
      if (field->type() != FieldDescriptor::TYPE_MESSAGE) continue;
      const std::string once = Tag(field->number(), 2) + Varint(groups.size()) + groups;
      Agree(once, &parsed, &written);
      Agree(Tag(field->number(), 2) + Varint(once.size()) + once, &parsed, &written);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Classes, DifferentialTest, testing::ValuesIn(AllClasses()),
                         tarvesh_test::TestName);

}  // namespace
