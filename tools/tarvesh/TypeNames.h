// SPDX-License-Identifier: BSD-3-Clause
// The record types a tarvesh command may name: the library's own, and those
// of schemas loaded for the run (-I with .proto files, --descriptor-set);
// finding one by name, and a new message of it.
#ifndef TARVESH_TOOLS_TYPE_NAMES_H
#define TARVESH_TOOLS_TYPE_NAMES_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>

#include "Schemas.h"

namespace tarvesh {

// The library's two schema files.
std::vector<const google::protobuf::FileDescriptor*> SchemaFiles();
// The library's types, nested ones after their parent.
std::vector<const google::protobuf::Descriptor*> AllTypes();

// The schemas loaded for this run, or nullptr.
Schemas* UserSchemas();
void SetUserSchemas(Schemas* schemas);

// A library type's name within its package; another schema's full name.
std::string SchemaName(const google::protobuf::Descriptor* type);

// The one type a name names: its full name or its name within its package;
// failing both, the same ignoring case. nullptr when no type or several
// have the name.
const google::protobuf::Descriptor* FindType(const std::string& name);
// The usage error for a name FindType refuses: the candidates of an
// ambiguous one, a suggestion for an unknown one.
int UnknownType(const std::string& name);

// A new, empty message of `type`: the library's class for its own types, a
// dynamic message for the others.
std::unique_ptr<google::protobuf::Message> NewMessage(const google::protobuf::Descriptor* type);

// What `message` and the messages in it hold that their types do not name:
// unknown fields, and values of closed enums that the enum does not name.
struct UnknownCounts {
  uint64_t fields = 0;
  uint64_t enum_values = 0;       // of closed enums, kept as unknown fields
  uint64_t open_enum_values = 0;  // of open enums, kept in their fields
  bool any() const { return fields + enum_values + open_enum_values > 0; }
};
// "N unknown fields, M enum values the enum does not name" for what counts.
std::string DescribeUnknown(const UnknownCounts& counts);
void CountUnknown(const google::protobuf::Message& message, UnknownCounts* counts);
bool HasUnknownFields(const google::protobuf::Message& message);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_TYPE_NAMES_H
