// The library checked against an independent oracle: the schema text parsed
// by libprotoc's Importer, and DynamicMessages built from that parse, which
// share no code with the hand-written classes. The descriptors the library
// registers, and nesting around the recursion limit; arbitrary input is the
// fuzz harnesses' (and the corpus replay's) part.
#include <cctype>
#include <ostream>
#include <string>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/descriptor_database.h>
#include <gtest/gtest.h>

#include "ClassTable.h"
#include "WireBuilder.h"

namespace {

namespace gp = google::protobuf;
using gp::FieldDescriptor;
using tarvesh_test::Hex;
using tarvesh_test::Tag;
using tarvesh_test::Varint;

using tarvesh_test::kRecordingFile;
using tarvesh_test::kTrackFile;
using tarvesh_test::SchemaOracle;
using tarvesh_test::AllClasses;
using tarvesh_test::ClassOps;

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
// (b) Unknown groups nested around the recursion limit, alone and inside
// nested elements; the library must count depth as the oracle does.

class DeepNestingTest : public testing::TestWithParam<ClassOps> {};

TEST_P(DeepNestingTest, AgreesWithTheOracle) {
  const ClassOps& ops = GetParam();
  tarvesh_test::JudgeOptions options;
  options.arena = true;
  const auto judge = [&](const std::string& input) {
    EXPECT_EQ(tarvesh_test::JudgeParse(ops.judged(), input, options).disagreement, "")
        << ops.name << " " << Hex(input);
  };
  const gp::Descriptor* descriptor = SchemaOracle::Get().Type(ops.name);
  for (int depth : {1, 31, 62, 63, 64, 65, 97, 98, 99, 100, 101, 102, 150}) {
    std::string groups;
    for (int i = 0; i < depth; ++i) groups += Tag(15, 3);
    groups += Tag(16, 0) + Varint(1);
    for (int i = 0; i < depth; ++i) groups += Tag(15, 4);
    judge(groups);
    // The same inside the first and second nesting level of each message field.
    for (int i = 0; i < descriptor->field_count(); ++i) {
      const FieldDescriptor* field = descriptor->field(i);
      if (field->type() != FieldDescriptor::TYPE_MESSAGE) continue;
      const std::string once = Tag(field->number(), 2) + Varint(groups.size()) + groups;
      judge(once);
      judge(Tag(field->number(), 2) + Varint(once.size()) + once);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Classes, DeepNestingTest, testing::ValuesIn(AllClasses()),
                         tarvesh_test::TestName);

}  // namespace
