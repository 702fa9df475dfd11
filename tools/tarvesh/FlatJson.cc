// SPDX-License-Identifier: BSD-3-Clause
#include "FlatJson.h"

#include <cstdio>
#include <cstdlib>

namespace tarvesh {
namespace {

std::string Quoted(const std::string& value) {
  std::string quoted = "\"";
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

void AppendUtf8(uint32_t code, std::string* text) {
  if (code < 0x80) {
    text->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text->push_back(static_cast<char>(0xc0 | (code >> 6)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3f)));
  } else if (code < 0x10000) {
    text->push_back(static_cast<char>(0xe0 | (code >> 12)));
    text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3f)));
  } else {
    text->push_back(static_cast<char>(0xf0 | (code >> 18)));
    text->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3f)));
    text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3f)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3f)));
  }
}

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool Object(std::map<std::string, FlatJsonValue>* members, std::string* error) {
    if (!Take('{')) return Fail("a JSON object begins with '{'", error);
    if (!Take('}')) {
      do {
        FlatJsonValue key, value;
        if (!String(&key.text)) return Fail("a JSON object's key is a string", error);
        if (!Take(':')) return Fail("':' after the key \"" + key.text + "\"", error);
        if (!Value(&value)) return Fail("the value of \"" + key.text + "\" is not a string or a whole number", error);
        if (!members->emplace(key.text, value).second) return Fail("the key \"" + key.text + "\" twice", error);
      } while (Take(','));
      if (!Take('}')) return Fail("',' or '}' expected at column " + std::to_string(at_ + 1), error);
    }
    Space();
    if (at_ != text_.size()) return Fail("text after the JSON object", error);
    return true;
  }

 private:
  static bool Fail(const std::string& what, std::string* error) {
    *error = what;
    return false;
  }

  void Space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
      ++at_;
    }
  }

  bool Take(char c) {
    Space();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  bool Value(FlatJsonValue* value) {
    Space();
    if (at_ < text_.size() && text_[at_] == '"') {
      value->is_string = true;
      return String(&value->text);
    }
    // A whole number: "0", or digits with no leading zero.
    const size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    value->text = text_.substr(start, at_ - start);
    return !value->text.empty() && (value->text == "0" || value->text[0] != '0');
  }

  bool Hex4(uint32_t* code) {
    if (at_ + 4 > text_.size()) return false;
    *code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return false;
      *code = *code * 16 + static_cast<uint32_t>(digit);
    }
    return true;
  }

  bool String(std::string* value) {
    if (!Take('"')) return false;
    value->clear();
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        value->push_back(c);
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char escape = text_[at_++];
      switch (escape) {
        case '"': case '\\': case '/': value->push_back(escape); break;
        case 'b': value->push_back('\b'); break;
        case 'f': value->push_back('\f'); break;
        case 'n': value->push_back('\n'); break;
        case 'r': value->push_back('\r'); break;
        case 't': value->push_back('\t'); break;
        case 'u': {
          uint32_t code, low;
          if (!Hex4(&code)) return false;
          // A surrogate pair stands for one code point past the first plane.
          if (code >= 0xd800 && code < 0xdc00) {
            if (at_ + 2 > text_.size() || text_[at_] != '\\' || text_[at_ + 1] != 'u') return false;
            at_ += 2;
            if (!Hex4(&low) || low < 0xdc00 || low >= 0xe000) return false;
            code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
          } else if (code >= 0xdc00 && code < 0xe000) {
            return false;
          }
          AppendUtf8(code, value);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

void FlatJsonWriter::Key(const char* key) {
  if (text_.size() > 1) text_ += ',';
  text_ += Quoted(key) + ":";
}

void FlatJsonWriter::String(const char* key, const std::string& value) {
  Key(key);
  text_ += Quoted(value);
}

void FlatJsonWriter::Number(const char* key, uint64_t value) {
  Key(key);
  text_ += std::to_string(value);
}

bool ParseFlatJson(const std::string& text, std::map<std::string, FlatJsonValue>* members, std::string* error) {
  members->clear();
  return Reader(text).Object(members, error);
}

}  // namespace tarvesh
