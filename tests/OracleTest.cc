// SPDX-License-Identifier: BSD-3-Clause
// The descriptors the library registers, checked against an independent
// oracle: the schema text parsed by libprotoc's Importer, which shares no
// code with the hand-written classes.
#include <string>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/descriptor_database.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Halvin/Halvin.Storage.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ProtoBuf/Velto/Velto.pb.h"
#include "SchemaFiles.h"
#include "SchemaOracle.h"
#include "TestSupport.h"

namespace {

namespace gp = google::protobuf;
using tarvesh_test::Hex;
using tarvesh_test::kRecordingFile;
using tarvesh_test::kTrackFile;
using tarvesh_test::SchemaOracle;

std::string Serialized(const gp::FileDescriptor* file) {
  gp::FileDescriptorProto proto;
  file->CopyTo(&proto);
  return proto.SerializeAsString();
}

// The descriptors the library registers are the schema text's: as built in
// the pool, and as the bytes handed to the runtime before any was built.
TEST(OracleTest, EmbeddedDescriptorsMatchTheSchemaText) {
  const struct {
    const char* name;
    size_t length;  // 0: not fixed
    const gp::FileDescriptor* (*registered)();  // through a class of the file
  } kFiles[] = {
      {kRecordingFile, 898, [] { return Pb::Tarvesh::PalletDesc::descriptor()->file(); }},
      {kTrackFile, 877, [] { return Pb::Tarvesh::Track::descriptor()->file(); }},
      {"ProtoBuf/Halvin/Halvin.Storage.proto", 0, [] { return Pb::Halvin::Stor::DataFileRef::descriptor()->file(); }},
      {"ProtoBuf/Velto/Velto.proto", 0, [] { return Pb::Velto::Authentication_descriptor()->file(); }}};
  for (const auto& schema : kFiles) {
    SCOPED_TRACE(schema.name);
    const gp::FileDescriptor* parsed = SchemaOracle::Get().Import(schema.name);
    ASSERT_NE(parsed, nullptr) << SchemaOracle::Get().errors();
    const gp::FileDescriptor* registered = schema.registered();
    ASSERT_EQ(registered, gp::DescriptorPool::generated_pool()->FindFileByName(schema.name));

    const std::string expected = Serialized(parsed);
    if (schema.length != 0) {
      EXPECT_EQ(expected.size(), schema.length) << "the schema text itself changed";
    }
    EXPECT_EQ(Hex(Serialized(registered)), Hex(expected));

    gp::FileDescriptorProto embedded;
    ASSERT_TRUE(gp::DescriptorPool::internal_generated_database()->FindFileByName(schema.name,
                                                                                 &embedded));
    EXPECT_EQ(embedded.unknown_fields().field_count(), 0);
    EXPECT_EQ(Hex(embedded.SerializeAsString()), Hex(expected));
  }
}

}  // namespace
