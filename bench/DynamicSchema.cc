#include "DynamicSchema.h"

#include <cstdio>
#include <cstdlib>

namespace tarvesh_bench {

void DynamicSchema::Errors::AddError(const std::string& file, int line, int column,
                                     const std::string& message) {
  std::fprintf(stderr, "%s:%d:%d: %s\n", file.c_str(), line, column, message.c_str());
}

DynamicSchema::DynamicSchema(const std::string& source_dir) : importer_(&tree_, &errors_) {
  tree_.MapPath("", source_dir);
  for (const char* file :
       {"ProtoBuf/Tarvesh/Tarvesh.Recording.proto", "ProtoBuf/Tarvesh/Tarvesh.Track.proto"}) {
    if (importer_.Import(file) == nullptr) {
      std::fprintf(stderr, "cannot import %s from %s\n", file, source_dir.c_str());
      std::exit(2);
    }
  }
}

const google::protobuf::Message& DynamicSchema::Prototype(const std::string& full_name) {
  const google::protobuf::Descriptor* type = importer_.pool()->FindMessageTypeByName(full_name);
  if (type == nullptr) {
    std::fprintf(stderr, "schema type not found: %s\n", full_name.c_str());
    std::exit(2);
  }
  return *factory_.GetPrototype(type);
}

}  // namespace tarvesh_bench
