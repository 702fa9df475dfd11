// SPDX-License-Identifier: BSD-3-Clause
// Records as text: text format or JSON parsed into a message, with the place
// of the first error; a message printed as either straight to an output
// stream.
#ifndef TARVESH_TOOLS_TEXT_RECORDS_H
#define TARVESH_TOOLS_TEXT_RECORDS_H

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <string>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/tokenizer.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <google/protobuf/text_format.h>
#include <google/protobuf/util/json_util.h>
#include <google/protobuf/util/type_resolver.h>
#include <google/protobuf/util/type_resolver_util.h>

#include "JsonInt64.h"
#include "WriteAll.h"

namespace tarvesh {

namespace gp = google::protobuf;

// Ends each record of a delimited text stream; text format never prints it.
constexpr char kTextSeparator[] = "---";

// Keeps the first error of a text-format parse, with its line and column.
class FirstError : public gp::io::ErrorCollector {
 public:
  void AddError(int line, gp::io::ColumnNumber column, const std::string& message) override {
    if (!message_.empty()) return;
    line_ = line;
    column_ = column;
    message_ = message;
  }
  // "line L column C: what", lines counted from first_line.
  std::string Describe(uint64_t first_line) const {
    return "line " + std::to_string(first_line + static_cast<uint64_t>(line_)) + " column " +
           std::to_string(column_ + 1) + ": " + (message_.empty() ? "not valid text format" : message_);
  }

 private:
  int line_ = 0;
  int column_ = 0;
  std::string message_;
};

// Parses one record of text (JSON when json) into *message; on failure
// returns false with *error set, naming lines from first_line.
bool ParseText(const std::string& text, bool json, uint64_t first_line, gp::Message* message,
               std::string* error);

// Finds the type of a text Any's value among the loaded schemas' types as
// well as the library's, as JSON does through its type resolver.
const gp::TextFormat::Finder* AnyTypeFinder();

// The type resolver JSON is printed through: the pool's own, with each
// message type's extensions added as fields named "[pkg.ext]", as the JSON
// mapping names them.
gp::util::TypeResolver* NewJsonTypeResolver(const std::string& url_prefix, const gp::DescriptorPool* pool);

// A printer of bytes and strings that escapes them a block at a time.
gp::TextFormat::FastFieldValuePrinter* NewBlockEscapingPrinter();

// Writes records as text format or JSON straight to the output stream.
class RecordPrinter {
 public:
  RecordPrinter(bool json, bool one_line, bool proto_names, bool defaults, bool enums_as_ints = false,
                bool deterministic = false, bool int64_as_numbers = false)
      : json_(json), one_line_(one_line), deterministic_(deterministic), int64_as_numbers_(int64_as_numbers) {
    json_options_.always_print_enums_as_ints = enums_as_ints;
    printer_.SetDefaultFieldValuePrinter(NewBlockEscapingPrinter());
    printer_.SetFinder(AnyTypeFinder());
    printer_.SetSingleLineMode(one_line && !json);
    json_options_.add_whitespace = !one_line;
    json_options_.preserve_proto_field_names = proto_names;
    json_options_.always_print_primitive_fields = defaults;
  }

  // Writes *message; `bytes` is a scratch buffer (JSON is printed from the
  // message's serialized form). False when the output failed.
  // When `release` is given (it holds `message`), the message is replaced by
  // an empty one once its bytes are made, before its JSON is.
  bool Print(std::unique_ptr<gp::Message>* release, const gp::Message& message,
             gp::io::ZeroCopyOutputStream* output, std::string* bytes, std::string* error) {
    const gp::Descriptor* type = message.GetDescriptor();
    if (!json_) {
      // One-line text ends with a space, not a newline.
      if (printer_.Print(message, output) && (!one_line_ || WriteAll(output, "\n", 1))) return true;
      *error = "write failed";
      return false;
    }
    if (resolver_ == nullptr) {
      resolver_.reset(NewJsonTypeResolver(kTypeUrlPrefix, type->file()->pool()));
    }
    bytes->clear();
    bool serialized;
    {
      // Deterministic bytes have map entries in key order, which JSON keeps.
      gp::io::StringOutputStream out(bytes);
      gp::io::CodedOutputStream coded(&out);
      coded.SetSerializationDeterministic(deterministic_);
      serialized = message.SerializeToCodedStream(&coded);
    }
    if (!serialized) {
      *error = "cannot serialize the record for JSON";
      return false;
    }
    if (release != nullptr) release->reset(message.New());
    gp::io::ArrayInputStream binary(bytes->data(), static_cast<int>(bytes->size()));
    // With 64-bit integers as numbers, the record's JSON is held and its
    // quotes taken off them before it is written.
    std::string held;
    gp::io::StringOutputStream holder(&held);
    const auto status = gp::util::BinaryToJsonStream(
        resolver_.get(), std::string(kTypeUrlPrefix) + "/" + type->full_name(), &binary,
        int64_as_numbers_ ? &holder : output, json_options_);
    if (!status.ok()) {
      *error = "cannot print as JSON: " + std::string(status.message());
      return false;
    }
    if (int64_as_numbers_) {
      if (!Int64sAsNumbers(type, json_options_.preserve_proto_field_names, &held, error)) return false;
      if (!WriteAll(output, held)) {
        *error = "write failed";
        return false;
      }
    }
    // Pretty JSON ends with a newline of its own; one-line JSON does not.
    return !one_line_ || WriteAll(output, "\n", 1);
  }

 private:
  static constexpr char kTypeUrlPrefix[] = "type.googleapis.com";
  bool json_;
  bool one_line_;
  bool deterministic_;
  bool int64_as_numbers_;
  gp::TextFormat::Printer printer_;
  gp::util::JsonPrintOptions json_options_;
  std::unique_ptr<gp::util::TypeResolver> resolver_;
};

// The line that ends a record of a delimited text stream, also with a
// carriage return or spaces after it.
inline bool IsSeparator(const std::string& line) {
  const size_t end = line.find_last_not_of(" \t\r");
  return end != std::string::npos && line.compare(0, end + 1, kTextSeparator) == 0;
}

inline bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_TEXT_RECORDS_H
