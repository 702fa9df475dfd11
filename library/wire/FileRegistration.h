// SPDX-License-Identifier: BSD-3-Clause
// A schema file's registration with the runtime: the state the file keeps,
// the table the runtime builds its descriptors and reflection from, the
// registration steps, the one-time descriptor assignment and the deletion of
// the default instances at shutdown.
#ifndef TARVESH_WIRE_FILE_REGISTRATION_H
#define TARVESH_WIRE_FILE_REGISTRATION_H

#include <algorithm>
#include <cstddef>

#include "wire/CallerErrors.h"

namespace Pb {
namespace wire {

// One object per schema file, at namespace scope in its .pb.cc, made from
// the file's exported table and registration function. `Classes` are the
// file's message classes in the order of the file: the order their default
// instances are made, and deleted at shutdown; each class's slot in the
// runtime's arrays is its kIndexInFileMessages. The object and the table are
// constant-initialised (PROTOBUF_CONSTINIT), so a registration called from
// another file's static initialiser finds them ready.
template <class... Classes>
class FileRegistration {
 public:
  static constexpr int kMessageCount = sizeof...(Classes);
  static_assert(((1u << Classes::kIndexInFileMessages) | ... | 0u) ==
                    (1u << kMessageCount) - 1,
                "each class needs its own slot below the file's class count");

  constexpr FileRegistration(const gpi::DescriptorTable* table, void (*register_file)())
      : table_(table), register_file_(register_file) {}

  // The file's table, for the exported object the constructor was given: the
  // serialized descriptor and the file's name, the classes' schema entries
  // and offsets (none for a file without messages), and the array the
  // runtime fills with the file's own enum descriptors, if it has any.
  // Imports are registered by Register, so the table lists none. The
  // runtime reads the slot arrays only as far as the class count.
  template <std::size_t kDescriptorSize>
  constexpr gpi::DescriptorTable Table(const char (&descriptor)[kDescriptorSize],
                                       const char* filename,
                                       const gpi::MigrationSchema* schemas,
                                       const std::uint32_t* offsets,
                                       const gp::EnumDescriptor** enums = nullptr) {
    constexpr int kSize = static_cast<int>(kDescriptorSize - 1);  // less the literal's NUL
    return gpi::DescriptorTable{
        false, false, kSize, descriptor, filename, &runtime_once_, nullptr, 0, kMessageCount,
        schemas, default_instances_, offsets, metadata_, enums, nullptr,
    };
  }

  // Registers the file once: checks the runtime's version (`source` names the
  // .pb.cc in its message), registers the files it imports, adds its
  // descriptor to the generated pool and its table to the factory, makes the
  // default instances and has the runtime's shutdown delete them. A table
  // already initialised was added by the runtime itself (its AddDescriptors,
  // run by protoc's output of a schema importing this one, in the same
  // program and earlier at start-up); it is not added twice.
  template <class... Imports>
  void Register(const char* source, Imports... imports) {
    if (registered_) return;
    registered_ = true;  // first, so that a call coming back in returns at once
    gpi::VerifyVersion(3021000, 3021000, source);
    (imports(), ...);
    if (!table_->is_initialized) {
      table_->is_initialized = true;  // the runtime must not add it again
      gp::DescriptorPool::InternalAddGeneratedFile(table_->descriptor, table_->size);
      gp::MessageFactory::InternalRegisterGeneratedFile(table_);
    }
    if constexpr (kMessageCount > 0) {
      (MakeDefaultInstance<Classes>(), ...);
      gpi::OnShutdown(&DeleteDefaultInstances);
    }
  }

  // Registers the file (if it is not yet), reports a file missing from the
  // generated pool with this library's check text, then lets the runtime
  // build the descriptors and reflection objects from the table. Runs once,
  // through AssignDescriptorsOnce.
  void AssignDescriptors() {
    register_file_();
    if (gp::DescriptorPool::generated_pool()->FindFileByName(table_->filename) == nullptr) {
      CheckFailed(__FILE__, __LINE__, kMissingFileText);
      return;
    }
    gpi::AssignDescriptors(table_);
  }

  gpi::once_flag& descriptors_once() { return descriptors_once_; }
  const gp::Metadata& metadata(int index) const { return metadata_[index]; }

 private:
  static constexpr int kSlots = std::max(kMessageCount, 1);  // no empty arrays in C++

  template <class Class>
  void MakeDefaultInstance() {
    Class::default_instance_ = new Class();
    default_instances_[Class::kIndexInFileMessages] = Class::default_instance_;
  }

  // Reflection objects belong to the runtime, which frees them in its own
  // shutdown step.
  static void DeleteDefaultInstances() { (delete Classes::default_instance_, ...); }

  const gpi::DescriptorTable* table_;
  void (*register_file_)();
  bool registered_ = false;
  gpi::once_flag descriptors_once_;  // the file's one-time descriptor assignment
  gpi::once_flag runtime_once_;      // the runtime's own flag in the file's table
  gp::Metadata metadata_[kSlots] = {};
  const gp::Message* default_instances_[kSlots] = {};
};

// The assignment of the descriptors of the file registered by `file`, as a
// plain function, so that std::call_once is instantiated for a function
// pointer only: an instantiation for a lambda would add a weak symbol to the
// libraries' dynamic symbol tables.
template <auto& file>
void AssignFileDescriptors() {
  file.AssignDescriptors();
}

// Assigns the descriptors of the file registered by `file` if they are not
// yet.
template <auto& file>
void AssignDescriptorsOnce() {
  gpi::call_once(file.descriptors_once(), &AssignFileDescriptors<file>);
}

// The descriptor and reflection object of the class in slot `index` of the
// file registered by `file`.
template <auto& file>
const gp::Metadata& FileMetadata(int index) {
  AssignDescriptorsOnce<file>();
  return file.metadata(index);
}

// Registers a file while the library loads: one object per .pb.cc.
struct RegisterAtLoad {
  explicit RegisterAtLoad(void (*register_file)()) { register_file(); }
};

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_FILE_REGISTRATION_H
