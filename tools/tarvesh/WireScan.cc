// SPDX-License-Identifier: BSD-3-Clause
#include "WireScan.h"

#include <climits>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/wire_format.h>
#include <google/protobuf/wire_format_lite.h>

namespace tarvesh {
namespace {

namespace gp = google::protobuf;
using gp::internal::WireFormatLite;

// The runtime's parser refuses deeper nesting than this.
constexpr int kMaxDepth = 100;

class Scanner {
 public:
  Scanner(const char* data, int size, FieldBytes* bytes)
      : input_(reinterpret_cast<const uint8_t*>(data), size), bytes_(bytes) {
    input_.SetRecursionLimit(kMaxDepth);
  }

  WireFault Run(const gp::Descriptor* type) {
    ScanMessage(type, "", 0);
    return fault_;
  }

 private:
  bool Fail(int offset, std::string what) {
    fault_.found = true;
    fault_.offset = static_cast<uint64_t>(offset);
    fault_.what = std::move(what);
    return false;
  }

  void Charge(const std::string& path, int from) {
    if (bytes_ != nullptr) (*bytes_)[path] += static_cast<uint64_t>(input_.CurrentPosition() - from);
  }

  static std::string Join(const std::string& prefix, const std::string& name) {
    return prefix.empty() ? name : prefix + "." + name;
  }

  // Reads fields up to the current limit.
  bool ScanMessage(const gp::Descriptor* type, const std::string& prefix, int depth) {
    if (depth > kMaxDepth) return Fail(input_.CurrentPosition(), "records nested deeper than 100");
    while (input_.BytesUntilLimit() > 0) {
      const int start = input_.CurrentPosition();
      const uint32_t tag = input_.ReadTagNoLastTag();
      if (tag == 0 || WireFormatLite::GetTagFieldNumber(tag) == 0) {
        return Fail(start, "bad field tag (a truncated varint or field number 0)");
      }
      if (!ScanField(type, prefix, depth, tag, start)) return false;
    }
    return true;
  }

  bool ScanField(const gp::Descriptor* type, const std::string& prefix, int depth, uint32_t tag,
                 int start) {
    const int number = WireFormatLite::GetTagFieldNumber(tag);
    const WireFormatLite::WireType wire_type = WireFormatLite::GetTagWireType(tag);
    const gp::FieldDescriptor* field = type->FindFieldByNumber(number);
    // A known field arriving with another wire type is kept as an unknown one.
    const bool packed = field != nullptr && field->is_packable() &&
                        wire_type == WireFormatLite::WIRETYPE_LENGTH_DELIMITED;
    if (field != nullptr && !packed &&
        gp::internal::WireFormat::WireTypeForField(field) != wire_type) {
      field = nullptr;
    }
    const std::string path =
        field != nullptr ? Join(prefix, field->name()) : Join(prefix, "(unknown fields)");
    const std::string named =
        field != nullptr ? "field '" + path + "'" : "unknown field " + std::to_string(number);

    switch (wire_type) {
      case WireFormatLite::WIRETYPE_VARINT: {
        uint64_t value;
        if (!input_.ReadVarint64(&value)) return Fail(start, "bad varint in " + named);
        break;
      }
      case WireFormatLite::WIRETYPE_FIXED64: {
        uint64_t value;
        if (!input_.ReadLittleEndian64(&value)) return Fail(start, "input ends inside " + named);
        break;
      }
      case WireFormatLite::WIRETYPE_FIXED32: {
        uint32_t value;
        if (!input_.ReadLittleEndian32(&value)) return Fail(start, "input ends inside " + named);
        break;
      }
      case WireFormatLite::WIRETYPE_LENGTH_DELIMITED: {
        uint32_t length;
        if (!input_.ReadVarint32(&length)) return Fail(start, "bad length of " + named);
        const int left = input_.BytesUntilLimit();
        if (length > static_cast<uint32_t>(left)) {
          return Fail(start, named + " has length " + std::to_string(length) + " but only " +
                                 std::to_string(left) + " bytes are left");
        }
        if (field != nullptr && field->type() == gp::FieldDescriptor::TYPE_MESSAGE) {
          Charge(path, start);
          const auto limit = input_.PushLimit(static_cast<int>(length));
          if (!ScanMessage(field->message_type(), path, depth + 1)) return false;
          input_.PopLimit(limit);
          return true;
        }
        if (packed) return ScanPacked(field, static_cast<int>(length), start, path, named);
        input_.Skip(static_cast<int>(length));
        break;
      }
      case WireFormatLite::WIRETYPE_START_GROUP:
        if (!gp::internal::WireFormat::SkipField(&input_, tag, nullptr)) {
          return Fail(start, "unterminated or too deeply nested group " + std::to_string(number));
        }
        break;
      case WireFormatLite::WIRETYPE_END_GROUP:
        return Fail(start, "end-group tag " + std::to_string(number) + " with no group open");
      default:
        return Fail(start, "invalid wire type " + std::to_string(wire_type) + " in field " +
                               std::to_string(number));
    }
    Charge(path, start);
    return true;
  }

  bool ScanPacked(const gp::FieldDescriptor* field, int length, int start, const std::string& path,
                  const std::string& named) {
    const WireFormatLite::WireType element_type = WireFormatLite::WireTypeForFieldType(
        static_cast<WireFormatLite::FieldType>(field->type()));
    const int fixed = element_type == WireFormatLite::WIRETYPE_FIXED64   ? 8
                      : element_type == WireFormatLite::WIRETYPE_FIXED32 ? 4
                                                                          : 0;
    if (fixed != 0) {
      if (length % fixed != 0) {
        return Fail(start, named + " has " + std::to_string(length) +
                               " bytes, not a whole number of " + std::to_string(fixed) +
                               "-byte values");
      }
      input_.Skip(length);
    } else {
      const auto limit = input_.PushLimit(length);
      while (input_.BytesUntilLimit() > 0) {
        const int element = input_.CurrentPosition();
        uint64_t value;
        if (!input_.ReadVarint64(&value)) return Fail(element, "bad varint in " + named);
      }
      input_.PopLimit(limit);
    }
    Charge(path, start);
    return true;
  }

  gp::io::CodedInputStream input_;
  FieldBytes* bytes_;
  WireFault fault_;
};

}  // namespace

WireFault ScanWire(const google::protobuf::Descriptor* type, const char* data, size_t size,
                   FieldBytes* bytes) {
  if (size > static_cast<size_t>(INT_MAX)) {
    WireFault fault;
    fault.found = true;
    fault.what = "record of " + std::to_string(size) + " bytes is over the 2 GiB limit";
    return fault;
  }
  return Scanner(data, static_cast<int>(size), bytes).Run(type);
}

}  // namespace tarvesh
