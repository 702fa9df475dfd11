// SPDX-License-Identifier: BSD-3-Clause
#include "Schemas.h"

#include <algorithm>
#include <fstream>

namespace tarvesh {
namespace {

namespace gp = google::protobuf;

// Keeps the first error of reading .proto text, with its place.
class FirstFileError : public gp::compiler::MultiFileErrorCollector {
 public:
  void AddError(const std::string& file, int line, int column, const std::string& message) override {
    if (!first_.empty()) return;
    first_ = file + (line >= 0 ? ":" + std::to_string(line + 1) + ":" + std::to_string(column + 1) : "") +
             ": " + message;
  }
  const std::string& first() const { return first_; }

 private:
  std::string first_;
};

// Keeps the first error of building a file's descriptors.
class FirstBuildError : public gp::DescriptorPool::ErrorCollector {
 public:
  void AddError(const std::string& file, const std::string& element, const gp::Message*, ErrorLocation,
                const std::string& message) override {
    if (first_.empty()) first_ = file + ": " + (element.empty() ? "" : element + ": ") + message;
  }
  const std::string& first() const { return first_; }

 private:
  std::string first_;
};

void AddWithNested(const gp::Descriptor* type, std::vector<const gp::Descriptor*>* types) {
  types->push_back(type);
  for (int i = 0; i < type->nested_type_count(); ++i) AddWithNested(type->nested_type(i), types);
}

}  // namespace

Schemas::Schemas()
    : database_(&tree_), pool_(gp::DescriptorPool::generated_pool()), factory_(&pool_) {
  factory_.SetDelegateToGeneratedFactory(true);
}

void Schemas::AddProtoPath(const std::string& directory) {
  tree_.MapPath("", directory);
  have_proto_path_ = true;
}

bool Schemas::LoadProtoFile(const std::string& path, std::string* error) {
  if (!have_proto_path_) {
    const size_t slash = path.rfind('/');
    AddProtoPath(slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash));
  }
  std::string virtual_file, shadowing;
  switch (tree_.DiskFileToVirtualFile(path, &virtual_file, &shadowing)) {
    case gp::compiler::DiskSourceTree::SUCCESS: break;
    case gp::compiler::DiskSourceTree::SHADOWED:
      *error = path + ": shadowed by " + shadowing + " in an earlier --proto_path";
      return false;
    case gp::compiler::DiskSourceTree::CANNOT_OPEN:
      *error = path + ": cannot be read";
      return false;
    case gp::compiler::DiskSourceTree::NO_MAPPING:
      *error = path + ": not inside any --proto_path";
      return false;
  }
  std::vector<std::string> loading;
  const gp::FileDescriptor* file = Load(virtual_file, &loading, error);
  if (file == nullptr) return false;
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
  return true;
}

bool Schemas::LoadDescriptorSet(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  gp::FileDescriptorSet set;
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  if (!set.ParseFromIstream(&in)) {
    *error = path + ": not a FileDescriptorSet";
    return false;
  }
  for (const gp::FileDescriptorProto& file : set.file()) from_sets_[file.name()] = file;
  for (const gp::FileDescriptorProto& proto : set.file()) {
    std::vector<std::string> loading;
    const gp::FileDescriptor* file = Load(proto.name(), &loading, error);
    if (file == nullptr) {
      *error = path + ": " + *error;
      return false;
    }
    // Files the library holds are not the set's own types.
    if (file->pool() == &pool_ && std::find(files_.begin(), files_.end(), file) == files_.end()) {
      files_.push_back(file);
    }
  }
  return true;
}

const gp::FileDescriptor* Schemas::Load(const std::string& name, std::vector<std::string>* loading,
                                        std::string* error) {
  // Built already, here or in the library (the generated pool beneath).
  if (const gp::FileDescriptor* file = pool_.FindFileByName(name)) return file;
  if (std::find(loading->begin(), loading->end(), name) != loading->end()) {
    *error = name + ": imports itself through its imports";
    return nullptr;
  }
  gp::FileDescriptorProto proto;
  const auto in_set = from_sets_.find(name);
  if (in_set != from_sets_.end()) {
    proto = in_set->second;
  } else {
    FirstFileError errors;
    database_.RecordErrorsTo(&errors);
    const bool found = database_.FindFileByName(name, &proto);
    database_.RecordErrorsTo(nullptr);
    if (!found) {
      *error = errors.first().empty() ? name + ": not found in any --proto_path" : errors.first();
      return nullptr;
    }
  }
  loading->push_back(name);
  for (const std::string& dependency : proto.dependency()) {
    if (Load(dependency, loading, error) == nullptr) return nullptr;
  }
  loading->pop_back();
  FirstBuildError errors;
  const gp::FileDescriptor* file = pool_.BuildFileCollectingErrors(proto, &errors);
  if (file == nullptr) *error = errors.first();
  return file;
}

std::vector<const gp::Descriptor*> Schemas::Types() const {
  std::vector<const gp::Descriptor*> types;
  for (const gp::FileDescriptor* file : files_) {
    for (int i = 0; i < file->message_type_count(); ++i) AddWithNested(file->message_type(i), &types);
  }
  return types;
}

std::vector<const gp::Descriptor*> Schemas::TopLevelTypes() const {
  std::vector<const gp::Descriptor*> types;
  for (const gp::FileDescriptor* file : files_) {
    for (int i = 0; i < file->message_type_count(); ++i) types.push_back(file->message_type(i));
  }
  return types;
}

std::unique_ptr<gp::Message> Schemas::New(const gp::Descriptor* type) {
  return std::unique_ptr<gp::Message>(factory_.GetPrototype(type)->New());
}

}  // namespace tarvesh
