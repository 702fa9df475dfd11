// SPDX-License-Identifier: BSD-3-Clause
// Message types of other schemas for the tarvesh command: .proto files found
// through proto_path directories, or a FileDescriptorSet, built on top of the
// runtime's generated pool. A file the library already holds (an import of
// "ProtoBuf/Tarvesh/Tarvesh.Track.proto", say) is not loaded again: its
// types are the library's own, and their messages its own classes; the
// types of the loaded files are dynamic messages.
#ifndef TARVESH_TOOLS_SCHEMAS_H
#define TARVESH_TOOLS_SCHEMAS_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/compiler/importer.h>
#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/message.h>

namespace tarvesh {

class Schemas {
 public:
  Schemas();

  void AddProtoPath(const std::string& directory);
  // Loads a .proto file named by its path on disk, through the proto_path
  // directories (its own directory when none was given). On failure returns
  // false with *error set ("file:line:column: what" where the text is bad).
  bool LoadProtoFile(const std::string& path, std::string* error);
  // Loads every file of a serialized FileDescriptorSet.
  bool LoadDescriptorSet(const std::string& path, std::string* error);

  bool empty() const { return files_.empty(); }
  // The message types of the loaded files, nested ones after their parent.
  std::vector<const google::protobuf::Descriptor*> Types() const;
  // The pool of the loaded files, over the runtime's generated pool.
  const google::protobuf::DescriptorPool* pool() const { return &pool_; }
  // The top-level message types of the loaded files.
  std::vector<const google::protobuf::Descriptor*> TopLevelTypes() const;
  // A new message of a loaded type; its fields of the library's types are
  // the library's classes.
  std::unique_ptr<google::protobuf::Message> New(const google::protobuf::Descriptor* type);

 private:
  const google::protobuf::FileDescriptor* Load(const std::string& name, std::vector<std::string>* loading,
                                               std::string* error);

  google::protobuf::compiler::DiskSourceTree tree_;
  google::protobuf::compiler::SourceTreeDescriptorDatabase database_;
  bool have_proto_path_ = false;
  std::map<std::string, google::protobuf::FileDescriptorProto> from_sets_;
  google::protobuf::DescriptorPool pool_;
  google::protobuf::DynamicMessageFactory factory_;
  std::vector<const google::protobuf::FileDescriptor*> files_;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_SCHEMAS_H
