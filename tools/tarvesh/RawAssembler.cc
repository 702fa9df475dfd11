// SPDX-License-Identifier: BSD-3-Clause
#include "RawAssembler.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/stubs/strutil.h>

#include "RawJson.h"
#include "RawPrinter.h"

namespace tarvesh {
namespace {

namespace gp = google::protobuf;

std::string Varint(uint64_t value) {
  uint8_t bytes[10];
  const uint8_t* end = gp::io::CodedOutputStream::WriteVarint64ToArray(value, bytes);
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(end - bytes));
}

std::string Tag(uint32_t number, int wire_type) { return Varint((uint64_t{number} << 3) | static_cast<uint64_t>(wire_type)); }

bool ParseHex(const std::string& hex, std::string* bytes) {
  if (hex.size() % 2 != 0) return false;
  for (size_t at = 0; at < hex.size(); at += 2) {
    if (!std::isxdigit(static_cast<unsigned char>(hex[at])) || !std::isxdigit(static_cast<unsigned char>(hex[at + 1]))) {
      return false;
    }
    bytes->push_back(static_cast<char>(std::strtoul(hex.substr(at, 2).c_str(), nullptr, 16)));
  }
  return true;
}

// A whole unsigned decimal (or, with base 16, "0x" and hex digits).
bool ParseNumber(const std::string& text, int base, uint64_t* value) {
  std::string digits = text;
  if (base == 16) {
    if (text.compare(0, 2, "0x") != 0) return false;
    digits = text.substr(2);
  }
  if (digits.empty() || !std::isxdigit(static_cast<unsigned char>(digits[0]))) return false;
  char* end;
  errno = 0;
  *value = std::strtoull(digits.c_str(), &end, base);
  return errno == 0 && *end == '\0';
}

// A field line's text past its indentation: "N[ name]: value" or "N[ name] {".
struct FieldText {
  uint32_t number = 0;
  bool opens = false;
  std::string value;
};

bool ParseField(const std::string& text, FieldText* field) {
  const size_t digits = text.find_first_not_of("0123456789");
  uint64_t number;
  if (digits == 0 || !ParseNumber(text.substr(0, digits), 10, &number) || number == 0 || number > (1u << 29)) {
    return false;
  }
  field->number = static_cast<uint32_t>(number);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, " {") == 0 && text.find(": ") == std::string::npos) {
    field->opens = true;
    return true;
  }
  const size_t colon = text.find(": ", digits);
  if (colon == std::string::npos) return false;
  field->value = text.substr(colon + 2);
  return true;
}

bool Unquote(const std::string& quoted, std::string* bytes) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
  *bytes = gp::UnescapeCEscapeString(quoted.substr(1, quoted.size() - 2));
  return true;
}

}  // namespace

bool RawAssembler::AddLine(const std::string& line, std::string* bytes, std::string* error) {
  constexpr size_t kOffsetWidth = 11;  // the offset column and its space
  if (line.empty()) return true;
  // A line of raw's JSON stands for the text line it holds; a text line
  // begins with its offset column, never with '{'.
  const size_t first = line.find_first_not_of(" \t");
  if (first != std::string::npos && line[first] == '{') {
    std::string text_line;
    return RawJsonToLine(line, &text_line, error) && AddLine(text_line, bytes, error);
  }
  if (line.size() < kRawPrefixWidth) {
    *error = "not a line of raw text";
    return false;
  }
  // The label runs from the offset column to a space; a long one pushes the
  // text to the right.
  std::string label, text;
  if (line[kOffsetWidth] != ' ') {
    const size_t label_end = line.find(' ', kOffsetWidth);
    if (label_end == std::string::npos) {
      *error = "not a line of raw text";
      return false;
    }
    label = line.substr(kOffsetWidth, label_end - kOffsetWidth);
    text = line.substr(std::max(kRawPrefixWidth, label_end + 1));
  } else {
    text = line.substr(kRawPrefixWidth);
  }
  text.erase(0, text.find_first_not_of(' '));
  const size_t colon = label.find(':');
  const std::string base = label.substr(0, colon);
  std::string head;  // the head's bytes as noted, when they were
  if (colon != std::string::npos && !ParseHex(label.substr(colon + 1), &head)) {
    *error = "bad bytes in the label '" + label + "'";
    return false;
  }
  const size_t before = bytes->size();
  auto done = [&]() {
    written_ += bytes->size() - before;
    return true;
  };
  auto bad = [&](const std::string& what) {
    *error = what;
    return false;
  };

  if (base.empty() || base == "end") {
    if (text != "}") return bad("a line with no label that is not '}'");
    return Close(head, bytes, error) && done();
  }
  if (base == "error") {
    // What the walk could not read follows on a "rest" line.
    open_.clear();
    return true;
  }
  if (base == "rest") {
    std::string rest;
    if (!Unquote(text, &rest)) return bad("a rest line without its quoted bytes");
    bytes->append(rest);
    return done();
  }
  if (base == "record") {
    uint64_t number, length;
    const size_t colon_at = text.find(": "), space_at = text.find(' ', colon_at + 2);
    if (!open_.empty()) return bad("a record begins inside an open message or group");
    if (colon_at == std::string::npos || space_at == std::string::npos ||
        !ParseNumber(text.substr(0, colon_at), 10, &number) ||
        !ParseNumber(text.substr(colon_at + 2, space_at - colon_at - 2), 10, &length)) {
      return bad("a record line without its length");
    }
    bytes->append(head.empty() ? Varint(length) : head);
    return done();
  }

  FieldText field;
  if (!ParseField(text, &field)) return bad("not a field: '" + text + "'");
  if (base == "varint") {
    uint64_t value;
    if (field.opens || !ParseNumber(field.value, 10, &value)) return bad("a varint without its value");
    bytes->append(head.empty() ? Tag(field.number, 0) + Varint(value) : head);
  } else if (base == "fixed64" || base == "fixed32") {
    uint64_t value;
    if (field.opens || !ParseNumber(field.value, 16, &value)) return bad("a " + base + " without its value");
    bytes->append(head.empty() ? Tag(field.number, base == "fixed64" ? 1 : 5) : head);
    for (int i = 0; i < (base == "fixed64" ? 8 : 4); ++i) bytes->push_back(static_cast<char>(value >> (8 * i)));
  } else if (base.compare(0, 4, "len=") == 0) {
    uint64_t length;
    if (!ParseNumber(base.substr(4), 10, &length)) return bad("a bad length in '" + label + "'");
    bytes->append(head.empty() ? Tag(field.number, 2) + Varint(length) : head);
    if (field.opens) {
      open_.push_back({false, field.number, length, written_ + (bytes->size() - before)});
    } else {
      std::string value;
      if (!Unquote(field.value, &value)) return bad("a string without its quotes");
      if (value.size() != length) return bad("a string of " + std::to_string(value.size()) + " bytes labelled " + base);
      bytes->append(value);
    }
  } else if (base == "group") {
    if (!field.opens) return bad("a group that does not open");
    bytes->append(head.empty() ? Tag(field.number, 3) : head);
    open_.push_back({true, field.number, 0, 0});
  } else {
    return bad("unknown label '" + label + "'");
  }
  return done();
}

bool RawAssembler::Close(const std::string& note, std::string* bytes, std::string* error) {
  if (open_.empty()) {
    *error = "'}' with no message or group open";
    return false;
  }
  const Open open = open_.back();
  open_.pop_back();
  if (open.group) {
    bytes->append(note.empty() ? Tag(open.number, 4) : note);
    return true;
  }
  if (written_ - open.start != open.length) {
    *error = "the fields of a message of length " + std::to_string(open.length) + " come to " +
             std::to_string(written_ - open.start) + " bytes";
    return false;
  }
  return true;
}

bool RawAssembler::Finish(std::string* error) const {
  if (open_.empty()) return true;
  *error = "the input ends inside a message or group";
  return false;
}

}  // namespace tarvesh
