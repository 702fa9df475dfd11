// SPDX-License-Identifier: BSD-3-Clause
#include "TypeNames.h"

#include <algorithm>
#include <cctype>

#include <google/protobuf/unknown_field_set.h>

#include "Diagnostics.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"

namespace tarvesh {

namespace gp = google::protobuf;

namespace {

constexpr char kPackage[] = "Pb.Tarvesh.";

// Types of other schemas, when given.
Schemas* user_schemas = nullptr;

void AddWithNested(const gp::Descriptor* type, std::vector<const gp::Descriptor*>* types) {
  types->push_back(type);
  for (int i = 0; i < type->nested_type_count(); ++i) AddWithNested(type->nested_type(i), types);
}

bool BuiltIn(const gp::Descriptor* type) {
  return type->file()->pool() == gp::DescriptorPool::generated_pool();
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Every type TYPE may name: the library's, then those of loaded schemas.
std::vector<const gp::Descriptor*> KnownTypes() {
  std::vector<const gp::Descriptor*> types = AllTypes();
  if (user_schemas != nullptr) {
    for (const gp::Descriptor* type : user_schemas->Types()) types.push_back(type);
  }
  return types;
}

// A type's name within its package: Track, RecordingFragment.Tier, Shelf.Slot.
std::string PackageName(const gp::Descriptor* type) {
  const std::string& package = type->file()->package();
  return package.empty() ? type->full_name() : type->full_name().substr(package.size() + 1);
}

}  // namespace

Schemas* UserSchemas() { return user_schemas; }
void SetUserSchemas(Schemas* schemas) { user_schemas = schemas; }

// The library's schema files are reached through its own classes, so that
// the library is linked and registered.
std::vector<const gp::FileDescriptor*> SchemaFiles() {
  return {Pb::Tarvesh::PalletDesc::descriptor()->file(), Pb::Tarvesh::Track::descriptor()->file()};
}

std::vector<const gp::Descriptor*> AllTypes() {
  std::vector<const gp::Descriptor*> types;
  for (const gp::FileDescriptor* file : SchemaFiles()) {
    for (int i = 0; i < file->message_type_count(); ++i) AddWithNested(file->message_type(i), &types);
  }
  return types;
}

std::string SchemaName(const gp::Descriptor* type) {
  if (!BuiltIn(type) || type->full_name().compare(0, sizeof kPackage - 1, kPackage) != 0) {
    return type->full_name();
  }
  return type->full_name().substr(sizeof kPackage - 1);
}

// The one rule: a name is a type's full name or its name within its package
// (Track, Shelf.Slot); when no type has it exactly, the same ignoring case.
// Several types with the name is no match but a list of candidates.
std::vector<const gp::Descriptor*> Matches(const std::string& name) {
  const std::vector<const gp::Descriptor*> types = KnownTypes();
  for (const bool exact : {true, false}) {
    std::vector<const gp::Descriptor*> found;
    for (const gp::Descriptor* type : types) {
      const bool full = exact ? name == type->full_name() : SameIgnoringCase(name, type->full_name());
      if (full && exact) return {type};
      if (full || (exact ? name == PackageName(type) : SameIgnoringCase(name, PackageName(type)))) {
        found.push_back(type);
      }
    }
    if (!found.empty()) return found;
  }
  return {};
}

const gp::Descriptor* FindType(const std::string& name) {
  const std::vector<const gp::Descriptor*> found = Matches(name);
  return found.size() == 1 ? found[0] : nullptr;
}

int UnknownType(const std::string& name) {
  const std::vector<const gp::Descriptor*> found = Matches(name);
  if (found.size() > 1) {
    std::string candidates;
    for (const gp::Descriptor* type : found) candidates += (candidates.empty() ? "" : ", ") + type->full_name();
    return UsageError("type '" + name + "' is ambiguous: " + candidates + "; give the full name", "tarvesh types");
  }
  std::vector<std::string> names;
  for (const gp::Descriptor* type : KnownTypes()) {
    names.push_back(PackageName(type));
    names.push_back(type->full_name());
  }
  return UsageError("unknown type '" + name + "'" + DidYouMean(name, names), "tarvesh types");
}

// The library's types are its own classes; other schemas' are dynamic
// messages.
std::unique_ptr<gp::Message> NewMessage(const gp::Descriptor* type) {
  if (!BuiltIn(type)) return user_schemas->New(type);
  return std::unique_ptr<gp::Message>(
      gp::MessageFactory::generated_factory()->GetPrototype(type)->New());
}

void CountUnknown(const gp::Message& message, UnknownCounts* counts) {
  const gp::Reflection* reflection = message.GetReflection();
  const gp::UnknownFieldSet& unknown = reflection->GetUnknownFields(message);
  for (int i = 0; i < unknown.field_count(); ++i) {
    // A closed enum's value it does not name is kept under the field's
    // number, as a varint.
    const gp::FieldDescriptor* field = message.GetDescriptor()->FindFieldByNumber(unknown.field(i).number());
    const bool enum_value = field != nullptr && field->enum_type() != nullptr &&
                            unknown.field(i).type() == gp::UnknownField::TYPE_VARINT;
    ++(enum_value ? counts->enum_values : counts->fields);
  }
  std::vector<const gp::FieldDescriptor*> fields;
  reflection->ListFields(message, &fields);
  for (const gp::FieldDescriptor* field : fields) {
    if (field->cpp_type() == gp::FieldDescriptor::CPPTYPE_ENUM) {
      const int size = field->is_repeated() ? reflection->FieldSize(message, field) : 1;
      for (int i = 0; i < size; ++i) {
        const int value = field->is_repeated() ? reflection->GetRepeatedEnumValue(message, field, i)
                                               : reflection->GetEnumValue(message, field);
        if (field->enum_type()->FindValueByNumber(value) == nullptr) ++counts->open_enum_values;
      }
    }
    if (field->cpp_type() != gp::FieldDescriptor::CPPTYPE_MESSAGE) continue;
    if (!field->is_repeated()) {
      CountUnknown(reflection->GetMessage(message, field), counts);
      continue;
    }
    for (int i = 0; i < reflection->FieldSize(message, field); ++i) {
      CountUnknown(reflection->GetRepeatedMessage(message, field, i), counts);
    }
  }
}

std::string DescribeUnknown(const UnknownCounts& counts) {
  std::string text;
  if (counts.fields > 0) text = std::to_string(counts.fields) + " unknown fields";
  if (const uint64_t values = counts.enum_values + counts.open_enum_values) {
    text += (text.empty() ? "" : ", ") + std::to_string(values) + " enum values the enum does not name";
  }
  return text;
}

bool HasUnknownFields(const gp::Message& message) {
  const gp::Reflection* reflection = message.GetReflection();
  if (!reflection->GetUnknownFields(message).empty()) return true;
  std::vector<const gp::FieldDescriptor*> fields;
  reflection->ListFields(message, &fields);
  for (const gp::FieldDescriptor* field : fields) {
    if (field->cpp_type() != gp::FieldDescriptor::CPPTYPE_MESSAGE) continue;
    if (!field->is_repeated()) {
      if (HasUnknownFields(reflection->GetMessage(message, field))) return true;
      continue;
    }
    for (int i = 0; i < reflection->FieldSize(message, field); ++i) {
      if (HasUnknownFields(reflection->GetRepeatedMessage(message, field, i))) return true;
    }
  }
  return false;
}

}  // namespace tarvesh
