// SPDX-License-Identifier: BSD-3-Clause
// JSON objects of one level whose values are strings or whole non-negative
// numbers, on one line: the shape of raw's JSON lines. The writer escapes
// what JSON requires; the reader takes any whitespace and escape JSON allows.
#ifndef TARVESH_TOOLS_FLAT_JSON_H
#define TARVESH_TOOLS_FLAT_JSON_H

#include <cstdint>
#include <map>
#include <string>

namespace tarvesh {

class FlatJsonWriter {
 public:
  void String(const char* key, const std::string& value);
  void Number(const char* key, uint64_t value);
  // The object, closed, with no newline.
  std::string Finish() const { return text_ + "}"; }

 private:
  void Key(const char* key);
  std::string text_ = "{";
};

struct FlatJsonValue {
  bool is_string = false;
  std::string text;  // a string's characters (UTF-8), or a number's digits
};

// The members of the object `text` holds; false with *error set when it is
// not such an object (nested values, negative or fractional numbers, true,
// false and null included) or names a key twice.
bool ParseFlatJson(const std::string& text, std::map<std::string, FlatJsonValue>* members, std::string* error);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_FLAT_JSON_H
