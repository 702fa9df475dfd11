// SPDX-License-Identifier: BSD-3-Clause
#include "RawJson.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include <google/protobuf/stubs/strutil.h>

#include "FlatJson.h"
#include "RawPrinter.h"
#include "WriteAll.h"

namespace tarvesh {
namespace {

namespace gp = google::protobuf;

constexpr size_t kOffsetWidth = 10;

bool ParseUnsigned(const std::string& text, int base, uint64_t* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
  char* end;
  errno = 0;
  *value = std::strtoull(text.c_str(), &end, base);
  return errno == 0 && *end == '\0';
}

bool Unquote(const std::string& quoted, std::string* bytes) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return false;
  *bytes = gp::UnescapeCEscapeString(quoted.substr(1, quoted.size() - 2));
  return true;
}

std::string Base64(const std::string& bytes) {
  std::string text;
  gp::Base64Escape(bytes, &text);
  return text;
}

// A field line's text past its indentation: "N[ name]: value" or "N[ name] {".
struct FieldText {
  uint64_t number = 0;
  std::string name;
  bool opens = false;
  std::string value;
};

bool ParseField(const std::string& text, FieldText* field) {
  const size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
  if (digits == 0 || !ParseUnsigned(text.substr(0, digits), 10, &field->number)) return false;
  std::string rest = text.substr(digits);
  if (rest.size() > 1 && rest[0] == ' ' && rest[1] != '{') {
    const size_t name_end = std::min(rest.find_first_of(": ", 1), rest.size());
    field->name = rest.substr(1, name_end - 1);
    rest.erase(0, name_end);
  }
  if (rest == " {") {
    field->opens = true;
    return true;
  }
  if (rest.compare(0, 2, ": ") != 0) return false;
  field->value = rest.substr(2);
  return true;
}

}  // namespace

bool RawJsonLines::Convert(const std::string& line, std::string* json) {
  if (line.size() < kRawPrefixWidth || line[kOffsetWidth] != ' ') return false;
  // The columns as the printer lays them out: the offset, a label that a
  // long one lets run past its column, then the indented text.
  std::string offset = line.substr(0, kOffsetWidth), label, text;
  offset.erase(0, offset.find_first_not_of(' '));
  if (line[kOffsetWidth + 1] != ' ') {
    const size_t label_end = line.find(' ', kOffsetWidth + 1);
    if (label_end == std::string::npos) return false;
    label = line.substr(kOffsetWidth + 1, label_end - kOffsetWidth - 1);
    text = line.substr(std::max(kRawPrefixWidth, label_end + 1));
  } else {
    text = line.substr(kRawPrefixWidth);
  }
  text.erase(0, text.find_first_not_of(' '));
  const size_t colon = label.find(':');
  const std::string base = label.substr(0, colon), head = colon == std::string::npos ? "" : label.substr(colon + 1);

  FlatJsonWriter out;
  uint64_t number;
  if (!offset.empty()) {
    if (!ParseUnsigned(offset, 0, &number)) return false;
    out.Number("offset", number);
  }
  if (base.empty() || base == "end") {
    if (text != "}" || depth_ == 0) return false;
    out.String("kind", "end");
    out.Number("depth", static_cast<uint64_t>(--depth_));
  } else if (base == "error") {
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
    depth_ = 0;
    out.String("kind", "error");
    out.Number("depth", 0);
    out.String("error", text.substr(1, text.size() - 2));
  } else if (base == "rest") {
    std::string bytes;
    if (!Unquote(text, &bytes)) return false;
    out.String("kind", "rest");
    out.Number("depth", 0);
    out.String("bytes", Base64(bytes));
  } else if (base == "record") {
    uint64_t length;
    const size_t colon_at = text.find(": "), space_at = text.find(' ', colon_at + 2);
    if (colon_at == std::string::npos || space_at == std::string::npos || text.substr(space_at) != " bytes" ||
        !ParseUnsigned(text.substr(0, colon_at), 10, &number) ||
        !ParseUnsigned(text.substr(colon_at + 2, space_at - colon_at - 2), 10, &length)) {
      return false;
    }
    depth_ = 0;
    out.String("kind", "record");
    out.Number("depth", 0);
    out.Number("record", number);
    out.Number("length", length);
  } else {
    FieldText field;
    if (!ParseField(text, &field)) return false;
    const bool length_delimited = base.compare(0, 4, "len=") == 0;
    uint64_t length = 0;
    if (length_delimited && !ParseUnsigned(base.substr(4), 10, &length)) return false;
    const char* kind = length_delimited ? (field.opens ? "message" : "bytes") : base.c_str();
    if (!length_delimited && base != "varint" && base != "fixed64" && base != "fixed32" && base != "group") return false;
    if (base == "group" ? !field.opens : field.opens && !length_delimited) return false;
    out.String("kind", kind);
    out.Number("depth", static_cast<uint64_t>(depth_));
    out.Number("field", field.number);
    if (!field.name.empty()) out.String("name", field.name);
    if (length_delimited) out.Number("length", length);
    if (field.opens) {
      ++depth_;
    } else if (length_delimited) {
      std::string bytes;
      if (!Unquote(field.value, &bytes)) return false;
      out.String("bytes", Base64(bytes));
    } else {
      out.String("value", field.value);
    }
  }
  if (!head.empty()) out.String("head", head);
  *json = out.Finish();
  return true;
}

bool RawJsonToLine(const std::string& json, std::string* line, std::string* error) {
  std::map<std::string, FlatJsonValue> members;
  if (!ParseFlatJson(json, &members, error)) return false;
  auto bad = [&](const std::string& what) {
    *error = what;
    return false;
  };
  // A member's text when it is there with its kind of value; "" when absent.
  auto member = [&](const char* key, bool is_string, bool required, std::string* text) {
    const auto found = members.find(key);
    if (found == members.end()) return !required || bad(std::string("no \"") + key + "\"");
    if (found->second.is_string != is_string) {
      return bad(std::string("\"") + key + "\" is " + (is_string ? "a string" : "a number") + " in raw's JSON");
    }
    *text = found->second.text;
    return true;
  };
  std::string offset, kind, head, field, name, value, length, bytes, record, what;
  if (!member("offset", false, false, &offset) || !member("kind", true, true, &kind) ||
      !member("head", true, false, &head)) {
    return false;
  }
  std::string label, text;
  auto field_text = [&]() {
    if (!member("field", false, true, &field) || !member("name", true, false, &name)) return false;
    if (name.find_first_of(": {") != std::string::npos) return bad("a field name with ' ', ':' or '{'");
    text = field + (name.empty() ? "" : " " + name);
    return true;
  };
  if (kind == "end") {
    label = head.empty() ? "" : "end";
    text = "}";
  } else if (kind == "error") {
    if (!member("error", true, true, &what)) return false;
    label = kind;
    text = "(" + what + ")";
  } else if (kind == "rest" || kind == "bytes") {
    std::string decoded;
    if (!member("bytes", true, true, &bytes)) return false;
    if (!gp::Base64Unescape(bytes, &decoded)) return bad("\"bytes\" is not base64");
    const std::string quoted = "\"" + gp::CEscape(decoded) + "\"";
    if (kind == "rest") {
      label = kind;
      text = quoted;
    } else {
      if (!member("length", false, true, &length) || !field_text()) return false;
      label = "len=" + length;
      text += ": " + quoted;
    }
  } else if (kind == "record") {
    if (!member("record", false, true, &record) || !member("length", false, true, &length)) return false;
    label = kind;
    text = record + ": " + length + " bytes";
  } else if (kind == "message") {
    if (!member("length", false, true, &length) || !field_text()) return false;
    label = "len=" + length;
    text += " {";
  } else if (kind == "group") {
    if (!field_text()) return false;
    label = kind;
    text += " {";
  } else if (kind == "varint" || kind == "fixed64" || kind == "fixed32") {
    if (!field_text() || !member("value", true, true, &value)) return false;
    label = kind;
    text += ": " + value;
  } else {
    return bad("unknown kind \"" + kind + "\"");
  }
  if (!head.empty()) label += ":" + head;
  // An offset too wide for its column is left out: the assembler reads none.
  std::string prefix = offset.size() <= kOffsetWidth ? std::string(kOffsetWidth - offset.size(), ' ') + offset
                                                     : std::string(kOffsetWidth, ' ');
  prefix += " " + label;
  prefix.resize(std::max(prefix.size() + 1, kRawPrefixWidth), ' ');
  *line = prefix + text;
  return true;
}

bool RawJsonOutput::Next(void** data, int* size) {
  constexpr size_t kBlock = 8192;
  if (!Flush()) return false;
  pending_.resize(used_ + kBlock);
  *data = &pending_[used_];
  *size = static_cast<int>(kBlock);
  used_ += kBlock;
  byte_count_ += static_cast<int64_t>(kBlock);
  return true;
}

void RawJsonOutput::BackUp(int count) {
  used_ -= static_cast<size_t>(count);
  byte_count_ -= count;
}

bool RawJsonOutput::Flush() {
  if (failed_) return false;
  std::string json, lines;
  size_t start = 0;
  // Bytes scanned before hold no newline: a long line costs one pass.
  while (const void* found = std::memchr(pending_.data() + scanned_, '\n', used_ - scanned_)) {
    const size_t end = static_cast<size_t>(static_cast<const char*>(found) - pending_.data());
    scanned_ = end + 1;
    if (!lines_.Convert(pending_.substr(start, end - start), &json)) {
      failed_ = true;
      return false;
    }
    lines += json + "\n";
    start = end + 1;
  }
  pending_.erase(0, start);
  used_ -= start;
  scanned_ = used_;
  pending_.resize(used_);
  if (!lines.empty() && !WriteAll(target_, lines)) failed_ = true;
  return !failed_;
}

}  // namespace tarvesh
