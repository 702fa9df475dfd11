// SPDX-License-Identifier: BSD-3-Clause
#include "TextRecords.h"

#include <vector>

#include <google/protobuf/stubs/strutil.h>
#include <google/protobuf/type.pb.h>

#include "TypeNames.h"

namespace tarvesh {
namespace {

// The runtime's JSON parser reports a syntax error as three lines, the
// message, up to 40 bytes around the fault and a caret under it; a bad value
// as "(field): invalid value X for type T" with no place. Gives one line,
// "line L column C: message", the place found by looking for those bytes or
// that value in `text` (whose first line is first_line), else its start.
std::string JsonError(const std::string& text, uint64_t first_line, const std::string& status) {
  std::string message = status.substr(0, status.find('\n'));
  size_t at = std::string::npos;
  const size_t segment_start = status.find('\n');
  const size_t caret_start = segment_start == std::string::npos ? std::string::npos
                                                                : status.find('\n', segment_start + 1);
  if (caret_start != std::string::npos) {
    const std::string segment = status.substr(segment_start + 1, caret_start - segment_start - 1);
    const size_t caret = status.find('^', caret_start + 1);
    const size_t found = segment.empty() ? std::string::npos : text.find(segment);
    if (found != std::string::npos && caret != std::string::npos) at = found + (caret - caret_start - 1);
  } else {
    const std::string kValue = "invalid value ", kFor = " for type ";
    const size_t value = message.find(kValue);
    const size_t value_end = value == std::string::npos ? value : message.find(kFor, value);
    if (value_end != std::string::npos) {
      at = text.find(message.substr(value + kValue.size(), value_end - value - kValue.size()));
    }
    // "name: what" names a field; its key is the place.
    const size_t colon = message.find(": ");
    if (at == std::string::npos && colon != std::string::npos && colon > 0 &&
        message.find_first_of(" ()") > colon) {
      at = text.find("\"" + message.substr(0, colon) + "\"");
    }
  }
  if (at == std::string::npos || at > text.size()) {
    at = std::min(text.size(), text.find_first_not_of(" \t\r\n"));
  }
  const size_t line_start = at == 0 ? 0 : text.rfind('\n', at - 1);
  const uint64_t line = first_line + static_cast<uint64_t>(std::count(text.begin(), text.begin() + at, '\n'));
  const uint64_t column = at - (line_start == std::string::npos || at == 0 ? 0 : line_start + 1) + 1;
  return "line " + std::to_string(line) + " column " + std::to_string(column) + ": " + message;
}

}  // namespace

bool ParseText(const std::string& text, bool json, uint64_t first_line, gp::Message* message,
               std::string* error) {
  message->Clear();
  if (json) {
    gp::util::JsonParseOptions options;
    const auto status = gp::util::JsonStringToMessage(text, message, options);
    if (status.ok()) return true;
    *error = JsonError(text, first_line, std::string(status.message()));
    return false;
  }
  FirstError errors;
  gp::TextFormat::Parser parser;
  parser.RecordErrorsTo(&errors);
  parser.SetFinder(AnyTypeFinder());
  if (parser.ParseFromString(text, message)) return true;
  *error = errors.Describe(first_line);
  return false;
}

// Prints bytes and strings as the runtime's default printer does, but
// escapes them a block at a time instead of building a copy of the whole
// value: a large field costs its own size, not four times it.
namespace {

class BlockEscapingPrinter : public gp::TextFormat::FastFieldValuePrinter {
 public:
  void PrintString(const std::string& value, gp::TextFormat::BaseTextGenerator* out) const override {
    constexpr size_t kBlock = 1 << 16;
    out->PrintLiteral("\"");
    for (size_t at = 0; at < value.size(); at += kBlock) {
      out->PrintString(gp::CEscape(value.substr(at, kBlock)));
    }
    out->PrintLiteral("\"");
  }
  void PrintBytes(const std::string& value, gp::TextFormat::BaseTextGenerator* out) const override {
    PrintString(value, out);
  }
};

class SchemaAnyFinder : public gp::TextFormat::Finder {
 public:
  const gp::Descriptor* FindAnyType(const gp::Message& message, const std::string& prefix,
                                    const std::string& name) const override {
    if (UserSchemas() != nullptr && (prefix == "type.googleapis.com/" || prefix == "type.googleprod.com/")) {
      if (const gp::Descriptor* type = UserSchemas()->pool()->FindMessageTypeByName(name)) return type;
    }
    return Finder::FindAnyType(message, prefix, name);
  }
};

class ExtensionTypeResolver : public gp::util::TypeResolver {
 public:
  ExtensionTypeResolver(const std::string& url_prefix, const gp::DescriptorPool* pool)
      : url_prefix_(url_prefix), pool_(pool),
        resolver_(gp::util::NewTypeResolverForDescriptorPool(url_prefix, pool)) {}

  gp::util::Status ResolveMessageType(const std::string& type_url, gp::Type* type) override {
    gp::util::Status status = resolver_->ResolveMessageType(type_url, type);
    const gp::Descriptor* descriptor = pool_->FindMessageTypeByName(type_url.substr(type_url.rfind('/') + 1));
    if (!status.ok() || descriptor == nullptr) return status;
    std::vector<const gp::FieldDescriptor*> extensions;
    pool_->FindAllExtensions(descriptor, &extensions);
    for (const gp::FieldDescriptor* extension : extensions) {
      gp::Field* field = type->add_fields();
      // The field's kinds and cardinalities are numbered as the descriptor's.
      field->set_kind(static_cast<gp::Field::Kind>(extension->type()));
      field->set_cardinality(static_cast<gp::Field::Cardinality>(extension->label()));
      field->set_number(extension->number());
      field->set_name("[" + extension->full_name() + "]");
      field->set_json_name(field->name());
      field->set_packed(extension->is_packed());
      if (extension->message_type() != nullptr) {
        field->set_type_url(url_prefix_ + "/" + extension->message_type()->full_name());
      } else if (extension->enum_type() != nullptr) {
        field->set_type_url(url_prefix_ + "/" + extension->enum_type()->full_name());
      }
    }
    return status;
  }

  gp::util::Status ResolveEnumType(const std::string& type_url, gp::Enum* enum_type) override {
    return resolver_->ResolveEnumType(type_url, enum_type);
  }

 private:
  std::string url_prefix_;
  const gp::DescriptorPool* pool_;
  std::unique_ptr<gp::util::TypeResolver> resolver_;
};

}  // namespace

gp::util::TypeResolver* NewJsonTypeResolver(const std::string& url_prefix, const gp::DescriptorPool* pool) {
  return new ExtensionTypeResolver(url_prefix, pool);
}

const gp::TextFormat::Finder* AnyTypeFinder() {
  static const SchemaAnyFinder finder;
  return &finder;
}

gp::TextFormat::FastFieldValuePrinter* NewBlockEscapingPrinter() { return new BlockEscapingPrinter; }

}  // namespace tarvesh
