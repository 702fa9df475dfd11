// SPDX-License-Identifier: BSD-3-Clause
#include "RawPrinter.h"
#include "WriteAll.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/stubs/strutil.h>
#include <google/protobuf/unknown_field_set.h>
#include <google/protobuf/wire_format.h>
#include <google/protobuf/wire_format_lite.h>

namespace tarvesh {
namespace {

namespace gp = google::protobuf;
using gp::internal::WireFormatLite;

// How deep the runtime's printer looks for messages inside length-delimited
// fields, and how deep its parser lets groups nest.
constexpr int kNestedBudget = 10;
constexpr int kMaxGroupDepth = 100;
// How deep message fields of a type are walked as that type, as deep as the
// runtime's parser reads them; deeper ones are shown as bytes. Lines nested
// deeper than kMaxIndent levels are indented as that level, so that the
// output grows with the input, not with the square of its depth.
constexpr int kMaxTypedDepth = 100;
constexpr int kMaxIndent = 32;


std::string Prefix(uint64_t offset, bool hex, const std::string& label) {
  char text[32];
  std::snprintf(text, sizeof text, hex ? "0x%08llx " : "%10llu ", static_cast<unsigned long long>(offset));
  std::string prefix = text + label;
  prefix.resize(std::max(prefix.size() + 1, kRawPrefixWidth), ' ');
  return prefix;
}

// True when `value` parses as a message by the runtime's own test.
bool ParsesAsMessage(const char* data, int size, int budget) {
  if (size == 0 || budget <= 0) return false;
  gp::io::CodedInputStream input(reinterpret_cast<const uint8_t*>(data), size);
  input.SetRecursionLimit(budget);
  gp::UnknownFieldSet fields;
  return fields.ParseFromCodedStream(&input);
}

std::string Indent(int depth) { return std::string(static_cast<size_t>(std::min(depth, kMaxIndent)) * 2, ' '); }

class Walker {
 public:
  Walker(const char* data, int size, uint64_t base, bool hex, gp::io::ZeroCopyOutputStream* output)
      : input_(reinterpret_cast<const uint8_t*>(data), size), data_(data), size_(size), base_(base), hex_(hex),
        output_(output) {
    input_.SetRecursionLimit(INT_MAX);
  }

  RawResult Run(const gp::Descriptor* type) {
    Fields(type, 0, kNestedBudget, 0, -1, true);
    return result_;
  }

 private:
  bool Line(int at, const std::string& label, int indent, const std::string& text) {
    const std::string line =
        (at < 0 ? std::string(kRawPrefixWidth, ' ') : Prefix(base_ + static_cast<uint64_t>(at), hex_, label)) +
        Indent(indent) + text + "\n";
    if (WriteAll(output_, line)) return true;
    result_.write_failed = true;
    return false;
  }

  // A string field's line, escaped a block at a time: a large value costs
  // no copy of itself.
  bool StringLine(int at, const std::string& label, int indent, const std::string& name, const char* value,
                  uint32_t length) {
    constexpr uint32_t kBlock = 1 << 16;
    bool written = WriteAll(output_, Prefix(base_ + static_cast<uint64_t>(at), hex_, label) +
                                      Indent(indent) + (name.empty() ? "\"" : name + ": \""));
    for (uint32_t done = 0; written && done < length; done += kBlock) {
      written = WriteAll(output_, gp::CEscape(std::string(value + done, std::min(kBlock, length - done))));
    }
    if (written && WriteAll(output_, "\"\n")) return true;
    result_.write_failed = true;
    return false;
  }

  // The error line, then the bytes from the fault to the end as a "rest"
  // line, so that the text still holds every byte.
  bool Fault(int at, const std::string& what) {
    result_.fault.found = true;
    result_.fault.offset = base_ + static_cast<uint64_t>(at);
    result_.fault.what = what;
    if (Line(at, "error", 0, "(" + what + ")") && at < size_) {
      StringLine(at, "rest", 0, "", data_ + at, static_cast<uint32_t>(size_ - at));
    }
    return false;
  }

  // The label of a field whose head (tag, and a varint's value or a length)
  // spans [start, CurrentPosition()): `base`, with ":" and the head's bytes
  // in hex when they are not the shortest encoding of what they hold.
  std::string Label(const std::string& base, int start, uint32_t tag, bool with_value, uint64_t value) {
    return base + HeadNote(start, input_.CurrentPosition(), tag, with_value, value);
  }

  std::string HeadNote(int start, int end, uint32_t tag, bool with_value, uint64_t value) const {
    uint8_t shortest[20];
    uint8_t* at = gp::io::CodedOutputStream::WriteVarint32ToArray(tag, shortest);
    if (with_value) at = gp::io::CodedOutputStream::WriteVarint64ToArray(value, at);
    const size_t size = static_cast<size_t>(at - shortest);
    if (size == static_cast<size_t>(end - start) && std::memcmp(shortest, data_ + start, size) == 0) return "";
    std::string note = ":";
    for (int i = start; i < end; ++i) {
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02x", static_cast<uint8_t>(data_[i]));
      note += pair;
    }
    return note;
  }

  // The runtime's message parser takes tags and lengths of at most five
  // bytes (a length's fifth below 8); the stream parser that tests nested
  // bytes takes up to ten, keeping the low 32 bits. `strict` picks the
  // first, for the bytes the message parser reads.
  bool ReadVarint32(bool strict, bool length, uint32_t* value) {
    if (strict) {
      const int at = input_.CurrentPosition();
      const int left = input_.BytesUntilLimit();
      int size = 0;
      while (size < left && size < 5 && (static_cast<uint8_t>(data_[at + size]) & 0x80) != 0) ++size;
      if (size == 5 || size == left) return false;
      if (length && size == 4 && static_cast<uint8_t>(data_[at + 4]) >= 8) return false;
    }
    return input_.ReadVarint32(value);
  }

  // Prints fields up to the current limit, or to the end-group tag of
  // `group` (a field number) when it is not -1. Fields that `type` (when
  // given) knows, with their wire type, are named, and its message fields
  // walked as that type; others are guessed at.
  bool Fields(const gp::Descriptor* type, int indent, int budget, int group_depth, int group, bool strict) {
    while (input_.BytesUntilLimit() > 0) {
      const int start = input_.CurrentPosition();
      uint32_t tag = 0;
      if (!ReadVarint32(strict, false, &tag)) tag = 0;
      const int tag_end = input_.CurrentPosition();
      const int number = static_cast<int>(WireFormatLite::GetTagFieldNumber(tag));
      if (tag == 0 || number == 0) return Fault(start, "bad field tag (a truncated varint or field number 0)");
      const WireFormatLite::WireType wire_type = WireFormatLite::GetTagWireType(tag);
      const gp::FieldDescriptor* field = type != nullptr ? type->FindFieldByNumber(number) : nullptr;
      if (field != nullptr && gp::internal::WireFormat::WireTypeForField(field) != wire_type &&
          !(field->is_packable() && wire_type == WireFormatLite::WIRETYPE_LENGTH_DELIMITED)) {
        field = nullptr;
      }
      const gp::Descriptor* field_type =
          field != nullptr && (field->type() == gp::FieldDescriptor::TYPE_MESSAGE ||
                               field->type() == gp::FieldDescriptor::TYPE_GROUP)
              ? field->message_type()
              : nullptr;
      if (type != nullptr && field == nullptr && type->file()->pool()->FindExtensionByNumber(type, number) == nullptr) {
        ++result_.unknown_to_type;
      }
      const std::string name = std::to_string(number) + (field != nullptr ? " " + field->name() : "");
      switch (wire_type) {
        case WireFormatLite::WIRETYPE_VARINT: {
          uint64_t value;
          if (!input_.ReadVarint64(&value)) return Fault(start, "bad varint in field " + name);
          if (field != nullptr && field->enum_type() != nullptr &&
              field->enum_type()->FindValueByNumber(static_cast<int>(value)) == nullptr) {
            ++result_.unknown_to_type;
          }
          if (!Line(start, Label("varint", start, tag, true, value), indent, name + ": " + std::to_string(value))) {
            return false;
          }
          break;
        }
        case WireFormatLite::WIRETYPE_FIXED64: {
          uint64_t value;
          if (!input_.ReadLittleEndian64(&value)) return Fault(start, "input ends inside field " + name);
          char text[32];
          std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
          if (!Line(start, "fixed64" + HeadNote(start, tag_end, tag, false, 0), indent, name + ": " + text)) return false;
          break;
        }
        case WireFormatLite::WIRETYPE_FIXED32: {
          uint32_t value;
          if (!input_.ReadLittleEndian32(&value)) return Fault(start, "input ends inside field " + name);
          char text[32];
          std::snprintf(text, sizeof text, "0x%08x", value);
          if (!Line(start, "fixed32" + HeadNote(start, tag_end, tag, false, 0), indent, name + ": " + text)) return false;
          break;
        }
        case WireFormatLite::WIRETYPE_LENGTH_DELIMITED: {
          uint32_t length;
          if (!ReadVarint32(strict, true, &length)) return Fault(start, "bad length of field " + name);
          const int left = input_.BytesUntilLimit();
          if (length > static_cast<uint32_t>(left)) {
            return Fault(start, "field " + name + " has length " + std::to_string(length) + " but only " +
                                    std::to_string(left) + " bytes are left");
          }
          const std::string label = Label("len=" + std::to_string(length), start, tag, true, length);
          const char* value = data_ + input_.CurrentPosition();
          if (indent >= kMaxTypedDepth) field_type = nullptr;
          if (field_type != nullptr ||
              (field == nullptr && ParsesAsMessage(value, static_cast<int>(length), budget))) {
            if (!Line(start, label, indent, name + " {")) return false;
            const auto limit = input_.PushLimit(static_cast<int>(length));
            // Bytes the runtime parsed as a message walk cleanly; a message
            // field of the type is read by the message parser's rules.
            if (field_type != nullptr ? !Fields(field_type, indent + 1, budget, group_depth, -1, strict)
                                      : !Fields(nullptr, indent + 1, budget - 1, group_depth, -1, false)) {
              return false;
            }
            input_.PopLimit(limit);
            if (!Line(-1, "", indent, "}")) return false;
          } else {
            input_.Skip(static_cast<int>(length));
            if (!StringLine(start, label, indent, name, value, length)) return false;
          }
          break;
        }
        case WireFormatLite::WIRETYPE_START_GROUP:
          if (group_depth >= kMaxGroupDepth) return Fault(start, "groups nested deeper than 100");
          if (!Line(start, Label("group", start, tag, false, 0), indent, name + " {")) return false;
          if (!Fields(field_type, indent + 1, budget - 1, group_depth + 1, number, strict)) return false;
          // The end-group tag has a place of its own only when it is not the
          // shortest.
          if (const std::string note = HeadNote(end_tag_start_, input_.CurrentPosition(),
                                                WireFormatLite::MakeTag(number, WireFormatLite::WIRETYPE_END_GROUP),
                                                false, 0);
              !Line(note.empty() ? -1 : end_tag_start_, note.empty() ? "" : "end" + note, indent, "}")) {
            return false;
          }
          break;
        case WireFormatLite::WIRETYPE_END_GROUP:
          if (number != group) return Fault(start, "end-group tag " + name + " with no such group open");
          end_tag_start_ = start;
          return true;
        default:
          return Fault(start, "invalid wire type " + std::to_string(wire_type) +
                                  " in field " + name);
      }
    }
    if (group != -1) return Fault(input_.CurrentPosition(), "group " + std::to_string(group) + " is not closed");
    return true;
  }

  gp::io::CodedInputStream input_;
  const char* data_;
  int size_;
  int end_tag_start_ = 0;  // where the end-group tag last read begins
  uint64_t base_;
  bool hex_;
  gp::io::ZeroCopyOutputStream* output_;
  RawResult result_;
};

}  // namespace

RawResult PrintRaw(const char* data, size_t size, uint64_t base, bool hex,
                   gp::io::ZeroCopyOutputStream* output, const gp::Descriptor* type) {
  if (size > static_cast<size_t>(INT_MAX)) {
    RawResult result;
    result.fault.found = true;
    result.fault.offset = base;
    result.fault.what = "record of " + std::to_string(size) + " bytes is over the 2 GiB limit";
    return result;
  }
  return Walker(data, static_cast<int>(size), base, hex, output).Run(type);
}

std::string PrefixNote(const std::string& prefix, uint64_t length) {
  uint8_t shortest[10];
  const uint8_t* end = gp::io::CodedOutputStream::WriteVarint64ToArray(length, shortest);
  if (prefix == std::string(reinterpret_cast<const char*>(shortest), static_cast<size_t>(end - shortest))) return "";
  std::string note = ":";
  for (const char byte : prefix) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<uint8_t>(byte));
    note += pair;
  }
  return note;
}

bool PrintRawRest(uint64_t offset, bool hex, const char* data, size_t size,
                  gp::io::ZeroCopyOutputStream* output) {
  constexpr size_t kBlock = 1 << 16;
  for (size_t done = 0; done < size; done += kBlock) {
    const size_t now = std::min(kBlock, size - done);
    if (!WriteAll(output, Prefix(offset + done, hex, "rest") + "\"" + gp::CEscape(std::string(data + done, now)) +
                              "\"\n")) {
      return false;
    }
  }
  return true;
}

bool PrintRawNote(uint64_t offset, bool hex, const std::string& label, const std::string& text,
                  gp::io::ZeroCopyOutputStream* output) {
  return WriteAll(output, Prefix(offset, hex, label) + text + "\n");
}

}  // namespace tarvesh
