// SPDX-License-Identifier: BSD-3-Clause
// The independent reader the library is checked against: libprotoc parses
// the schema text into a pool of its own, and DynamicMessage builds messages
// from it that share no code with the hand-written classes. One per process,
// both schema files imported on first use. Needs libprotoc and
// TARVESH_SOURCE_DIR, the source tree holding ProtoBuf/.
#ifndef TARVESH_TESTS_SCHEMA_ORACLE_H
#define TARVESH_TESTS_SCHEMA_ORACLE_H

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <google/protobuf/compiler/importer.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>

#include "SchemaFiles.h"

#ifndef TARVESH_SOURCE_DIR
#error "TARVESH_SOURCE_DIR must name the source tree holding ProtoBuf/"
#endif

namespace tarvesh_test {

class SchemaOracle {
 public:
  // Never destroyed: messages made from it may outlive static destruction.
  static SchemaOracle& Get() {
    static SchemaOracle* oracle = new SchemaOracle();
    return *oracle;
  }

  // The schema file as libprotoc parses it; null with errors() on failure.
  const google::protobuf::FileDescriptor* Import(const std::string& file) {
    return importer_.Import(file);
  }
  const std::string& errors() const { return errors_.text; }

  // The oracle's type `full_name`; aborts when the schema lacks it.
  const google::protobuf::Descriptor* Type(const std::string& full_name) const {
    const google::protobuf::Descriptor* type =
        importer_.pool()->FindMessageTypeByName(full_name);
    if (type == nullptr) Die("schema type not found: " + full_name);
    return type;
  }
  const google::protobuf::Message* Prototype(const std::string& full_name) {
    return factory_.GetPrototype(Type(full_name));
  }
  // A new, empty dynamic message of type `full_name`.
  std::unique_ptr<google::protobuf::Message> New(const std::string& full_name) {
    return std::unique_ptr<google::protobuf::Message>(Prototype(full_name)->New());
  }

 private:
  struct Errors : google::protobuf::compiler::MultiFileErrorCollector {
    void AddError(const std::string& file, int line, int column,
                  const std::string& message) override {
      text += file + ":" + std::to_string(line + 1) + ":" + std::to_string(column + 1) +
              ": " + message + "\n";
    }
    std::string text;
  };

  SchemaOracle() : importer_(&tree_, &errors_) {
    tree_.MapPath("", TARVESH_SOURCE_DIR);
    for (const char* file : {kRecordingFile, kTrackFile}) {
      if (importer_.Import(file) == nullptr) Die(std::string("cannot import ") + file);
    }
  }

  [[noreturn]] void Die(const std::string& why) const {
    std::fprintf(stderr, "schema oracle: %s\n%s", why.c_str(), errors_.text.c_str());
    std::abort();
  }

  google::protobuf::compiler::DiskSourceTree tree_;
  Errors errors_;
  google::protobuf::compiler::Importer importer_;
  google::protobuf::DynamicMessageFactory factory_;
};

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_SCHEMA_ORACLE_H
