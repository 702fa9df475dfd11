// SPDX-License-Identifier: BSD-3-Clause
#include "JsonInt64.h"

#include <vector>

namespace tarvesh {
namespace {

namespace gp = google::protobuf;

// What the schema says a JSON value is.
struct Shape {
  enum Kind { kOther, kInt64, kMessage, kAny, kRepeated, kMap } kind = kOther;
  const gp::Descriptor* type = nullptr;      // kMessage, kAny
  const gp::FieldDescriptor* field = nullptr;  // kRepeated, kMap: the field
};

bool Is64BitInteger(const gp::FieldDescriptor* field) {
  return field->cpp_type() == gp::FieldDescriptor::CPPTYPE_INT64 ||
         field->cpp_type() == gp::FieldDescriptor::CPPTYPE_UINT64;
}

// A message's value: the JSON mapping gives most well-known types a form of
// their own, which holds no 64-bit integer but Int64Value's and UInt64Value's.
Shape MessageShape(const gp::Descriptor* type) {
  Shape shape;
  switch (type->well_known_type()) {
    case gp::Descriptor::WELLKNOWNTYPE_UNSPECIFIED:
      shape.kind = Shape::kMessage;
      break;
    case gp::Descriptor::WELLKNOWNTYPE_INT64VALUE:
    case gp::Descriptor::WELLKNOWNTYPE_UINT64VALUE:
      shape.kind = Shape::kInt64;
      break;
    case gp::Descriptor::WELLKNOWNTYPE_ANY:
      shape.kind = Shape::kAny;
      break;
    default:
      break;
  }
  shape.type = type;
  return shape;
}

// One value of `field` (an element of a repeated one).
Shape ElementShape(const gp::FieldDescriptor* field) {
  if (field->message_type() != nullptr) return MessageShape(field->message_type());
  Shape shape;
  if (Is64BitInteger(field)) shape.kind = Shape::kInt64;
  return shape;
}

Shape FieldShape(const gp::FieldDescriptor* field) {
  Shape shape;
  shape.field = field;
  if (field->is_map()) {
    shape.kind = Shape::kMap;
  } else if (field->is_repeated()) {
    shape.kind = Shape::kRepeated;
  } else {
    shape = ElementShape(field);
  }
  return shape;
}

class Walker {
 public:
  Walker(const std::string& json, bool proto_names) : json_(json), proto_names_(proto_names) {}

  bool Run(const gp::Descriptor* type, std::vector<size_t>* quotes) {
    // The printed type's pool knows every type an Any may name: its schemas'
    // and those they import (an Any's own pool may be an underlying one).
    pool_ = type->file()->pool();
    if (!Value(MessageShape(type), 0)) return false;
    Space();
    *quotes = std::move(quotes_);
    return at_ == json_.size();
  }

 private:
  static constexpr int kMaxDepth = 1000;

  void Space() {
    while (at_ < json_.size() && (json_[at_] == ' ' || json_[at_] == '\n' || json_[at_] == '\r' || json_[at_] == '\t')) {
      ++at_;
    }
  }

  bool Take(char c) {
    Space();
    if (at_ >= json_.size() || json_[at_] != c) return false;
    ++at_;
    return true;
  }

  // A string's text as written, escapes and all, past its quotes.
  bool String(std::string* text) {
    if (!Take('"')) return false;
    const size_t start = at_;
    while (at_ < json_.size() && json_[at_] != '"') at_ += json_[at_] == '\\' ? 2 : 1;
    if (at_ >= json_.size()) return false;
    if (text != nullptr) text->assign(json_, start, at_ - start);
    ++at_;
    return true;
  }

  const gp::FieldDescriptor* FindField(const gp::Descriptor* type, const std::string& key) const {
    if (key.size() > 2 && key.front() == '[' && key.back() == ']') {
      const gp::FieldDescriptor* extension = pool_->FindExtensionByName(key.substr(1, key.size() - 2));
      return extension != nullptr && extension->containing_type() == type ? extension : nullptr;
    }
    for (int i = 0; i < type->field_count(); ++i) {
      const gp::FieldDescriptor* field = type->field(i);
      if ((proto_names_ ? field->name() : field->json_name()) == key) return field;
    }
    return nullptr;
  }

  bool Value(const Shape& shape, int depth) {
    if (depth > kMaxDepth) return false;
    Space();
    if (at_ >= json_.size()) return false;
    switch (json_[at_]) {
      case '{': return Object(shape, depth);
      case '[': {
        ++at_;
        const Shape element = shape.kind == Shape::kRepeated ? ElementShape(shape.field) : Shape();
        if (Take(']')) return true;
        do {
          if (!Value(element, depth + 1)) return false;
        } while (Take(','));
        return Take(']');
      }
      case '"': {
        if (shape.kind == Shape::kInt64) quotes_.push_back(at_);
        if (!String(nullptr)) return false;
        if (shape.kind == Shape::kInt64) quotes_.push_back(at_ - 1);
        return true;
      }
      default:
        // A number, true, false or null.
        while (at_ < json_.size() && std::string(",]} \n\r\t").find(json_[at_]) == std::string::npos) ++at_;
        return true;
    }
  }

  bool Object(const Shape& shape, int depth) {
    ++at_;
    if (Take('}')) return true;
    const gp::Descriptor* type = shape.kind == Shape::kMessage || shape.kind == Shape::kAny ? shape.type : nullptr;
    bool special = false;  // an Any holding a type of a form of its own, in "value"
    do {
      std::string key;
      if (!String(&key) || !Take(':')) return false;
      Shape value;
      if (shape.kind == Shape::kMap) {
        value = ElementShape(shape.field->message_type()->map_value());
      } else if (shape.kind == Shape::kAny && key == "@type") {
        std::string url;
        const size_t start = at_;
        if (!String(&url)) return false;
        at_ = start;
        type = pool_->FindMessageTypeByName(url.substr(url.rfind('/') + 1));
        special = type != nullptr && MessageShape(type).kind != Shape::kMessage;
      } else if (special && key == "value") {
        value = MessageShape(type);
      } else if (type != nullptr && !special) {
        if (const gp::FieldDescriptor* field = FindField(type, key)) value = FieldShape(field);
      }
      if (!Value(value, depth + 1)) return false;
    } while (Take(','));
    return Take('}');
  }

  const std::string& json_;
  bool proto_names_;
  const gp::DescriptorPool* pool_ = nullptr;
  size_t at_ = 0;
  std::vector<size_t> quotes_;
};

}  // namespace

bool Int64sAsNumbers(const gp::Descriptor* type, bool proto_names, std::string* json, std::string* error) {
  std::vector<size_t> quotes;
  if (!Walker(*json, proto_names).Run(type, &quotes)) {
    *error = "cannot read the printer's JSON back";
    return false;
  }
  if (quotes.empty()) return true;
  std::string unquoted;
  unquoted.reserve(json->size());
  size_t from = 0;
  for (const size_t quote : quotes) {
    unquoted.append(*json, from, quote - from);
    from = quote + 1;
  }
  unquoted.append(*json, from, std::string::npos);
  json->swap(unquoted);
  return true;
}

}  // namespace tarvesh
