// SPDX-License-Identifier: BSD-3-Clause
// Prints a schema file's serialized FileDescriptorProto as a C++ string
// literal, for embedding in the hand-written .pb.cc that registers the file.
//
//   embed_descriptor <source root> <file path relative to the root>
//
// The schema is parsed with libprotoc's Importer; imports are resolved under
// the same root. The tests compare the embedded bytes with the same parse, so
// a schema edit without a refreshed literal fails the suite.
#include <cstdio>
#include <string>

#include <google/protobuf/compiler/importer.h>
#include <google/protobuf/descriptor.pb.h>

namespace {

class PrintErrors : public google::protobuf::compiler::MultiFileErrorCollector {
 public:
  void AddError(const std::string& file, int line, int column,
                const std::string& message) override {
    std::fprintf(stderr, "%s:%d:%d: %s\n", file.c_str(), line + 1, column + 1,
                 message.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <source root> <schema file>\n", argv[0]);
    return 2;
  }
  google::protobuf::compiler::DiskSourceTree tree;
  tree.MapPath("", argv[1]);
  PrintErrors errors;
  google::protobuf::compiler::Importer importer(&tree, &errors);
  const google::protobuf::FileDescriptor* file = importer.Import(argv[2]);
  if (file == nullptr) return 1;

  google::protobuf::FileDescriptorProto proto;
  file->CopyTo(&proto);
  std::string bytes;
  proto.SerializeToString(&bytes);

  std::printf("// %zu bytes: the serialized descriptor of \"%s\".\n",
              bytes.size(), argv[2]);
  std::printf("constexpr char kDescriptor[] =\n");
  const size_t kPerLine = 16;
  for (size_t i = 0; i < bytes.size(); i += kPerLine) {
    std::printf("    \"");
    for (size_t j = i; j < bytes.size() && j < i + kPerLine; ++j) {
      std::printf("\\x%02x", static_cast<unsigned char>(bytes[j]));
    }
    std::printf("\"%s\n", i + kPerLine >= bytes.size() ? ";" : "");
  }
  return 0;
}
