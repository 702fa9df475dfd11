// The independent reader the harnesses and the limits test compare the
// library against: libprotoc parses the schema text into a pool of its own,
// and DynamicMessage builds messages from it that share no code with the
// library's hand-written classes.
#ifndef TARVESH_FUZZ_ORACLE_H
#define TARVESH_FUZZ_ORACLE_H

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <google/protobuf/compiler/importer.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>

#ifndef TARVESH_SOURCE_DIR
#error "TARVESH_SOURCE_DIR must name the source tree holding ProtoBuf/"
#endif

namespace tarvesh_fuzz {

class Oracle {
 public:
  // One oracle per process: the schema files are parsed once.
  static Oracle& Get() {
    static Oracle* oracle = new Oracle();
    return *oracle;
  }

  // A new, empty dynamic message of the schema type `full_name`.
  std::unique_ptr<google::protobuf::Message> New(const std::string& full_name) {
    const google::protobuf::Descriptor* type =
        importer_.pool()->FindMessageTypeByName(full_name);
    if (type == nullptr) Die("schema type not found: " + full_name);
    return std::unique_ptr<google::protobuf::Message>(factory_.GetPrototype(type)->New());
  }

 private:
  struct Errors : google::protobuf::compiler::MultiFileErrorCollector {
    void AddError(const std::string& file, int line, int column,
                  const std::string& message) override {
      std::fprintf(stderr, "%s:%d:%d: %s\n", file.c_str(), line, column, message.c_str());
    }
  };

  Oracle() : importer_(&tree_, &errors_) {
    tree_.MapPath("", TARVESH_SOURCE_DIR);
    for (const char* file : {"ProtoBuf/Tarvesh/Tarvesh.Recording.proto",
                             "ProtoBuf/Tarvesh/Tarvesh.Track.proto"}) {
      if (importer_.Import(file) == nullptr) Die(std::string("cannot import ") + file);
    }
  }

  [[noreturn]] static void Die(const std::string& why) {
    std::fprintf(stderr, "oracle: %s\n", why.c_str());
    std::abort();
  }

  google::protobuf::compiler::DiskSourceTree tree_;
  Errors errors_;
  google::protobuf::compiler::Importer importer_;
  google::protobuf::DynamicMessageFactory factory_;
};

}  // namespace tarvesh_fuzz

#endif  // TARVESH_FUZZ_ORACLE_H
