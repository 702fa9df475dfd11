// The peer the message classes are measured against: the schema files parsed
// by libprotoc into a pool of their own, with DynamicMessage instances built
// from it. It shares no code with the hand-written classes.
#ifndef TARVESH_BENCH_DYNAMIC_SCHEMA_H
#define TARVESH_BENCH_DYNAMIC_SCHEMA_H

#include <string>

#include <google/protobuf/compiler/importer.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>

namespace tarvesh_bench {

class DynamicSchema {
 public:
  // Imports the schema files under `source_dir`; exits on failure.
  explicit DynamicSchema(const std::string& source_dir);

  // The empty message of the schema type `full_name`; exits if unknown.
  const google::protobuf::Message& Prototype(const std::string& full_name);

 private:
  struct Errors : google::protobuf::compiler::MultiFileErrorCollector {
    void AddError(const std::string& file, int line, int column,
                  const std::string& message) override;
  };

  google::protobuf::compiler::DiskSourceTree tree_;
  Errors errors_;
  google::protobuf::compiler::Importer importer_;
  google::protobuf::DynamicMessageFactory factory_;
};

}  // namespace tarvesh_bench

#endif  // TARVESH_BENCH_DYNAMIC_SCHEMA_H
