// SPDX-License-Identifier: BSD-3-Clause
// Prints wire bytes with no schema, for `tarvesh raw`: each field with its
// byte offset, wire type and length, in the runtime's raw text form
// (`protoc --decode_raw`): a length-delimited field is shown as a nested
// message when its bytes parse as one (the runtime's own test, to the same
// depth), else as an escaped string. Malformed bytes end the walk with a
// line naming the fault; everything before it is printed. Given a message
// type, the fields it knows are named too.
#ifndef TARVESH_TOOLS_RAW_PRINTER_H
#define TARVESH_TOOLS_RAW_PRINTER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/zero_copy_stream.h>

#include "WireScan.h"

namespace tarvesh {

// Each line starts with this many columns: the offset, the wire type and
// length, a space; then the raw text form, indented by nesting.
constexpr size_t kRawPrefixWidth = 27;

struct RawResult {
  bool write_failed = false;
  WireFault fault;  // offset counted from the start of the stream
  // With a type: fields it does not know, and enum values their enum does
  // not name, where the walk follows the type.
  uint64_t unknown_to_type = 0;
};

// Prints `size` bytes found at stream offset `base` to *output; offsets in
// hex when `hex`. With a `type`, the fields it knows are named after their
// number and its message fields walked as their types, not guessed at.
RawResult PrintRaw(const char* data, size_t size, uint64_t base, bool hex,
                   google::protobuf::io::ZeroCopyOutputStream* output,
                   const google::protobuf::Descriptor* type = nullptr);

// ":" and `prefix` in hex when it is not the shortest varint of `length`,
// else "": what a record line's label adds so that the text keeps the
// prefix's bytes.
std::string PrefixNote(const std::string& prefix, uint64_t length);

// Bytes the walk does not read, as "rest" lines of at most 64 KiB each,
// the first at `offset`.
bool PrintRawRest(uint64_t offset, bool hex, const char* data, size_t size,
                  google::protobuf::io::ZeroCopyOutputStream* output);

// A line in the same layout with no field: `label` in the type column.
bool PrintRawNote(uint64_t offset, bool hex, const std::string& label, const std::string& text,
                  google::protobuf::io::ZeroCopyOutputStream* output);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_RAW_PRINTER_H
