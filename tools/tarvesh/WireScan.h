// SPDX-License-Identifier: BSD-3-Clause
// A descriptor-guided walk over a message's wire bytes, for the tarvesh
// command. It explains and measures; it never decides: whether bytes are a
// valid record is the message classes' verdict, and the walk is asked only
// where they refused (to name the byte where reading fails) or, for stats,
// how the bytes of an accepted record divide among its fields.
#ifndef TARVESH_TOOLS_WIRE_SCAN_H
#define TARVESH_TOOLS_WIRE_SCAN_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include <google/protobuf/descriptor.h>

namespace tarvesh {

// The first place where the walk found the bytes malformed.
struct WireFault {
  bool found = false;
  uint64_t offset = 0;  // from the start of the walked bytes
  std::string what;
};

// Bytes per field path ("frame_tables.frame_sizes"). A message field is
// charged its tag and length only; its own fields are charged under their
// paths, so the counts add up to the bytes walked. Fields the schema does not
// know count as "(unknown fields)" under their parent's path.
using FieldBytes = std::map<std::string, uint64_t>;

// Walks `size` bytes as one `type` message. Returns the first fault found;
// adds each field's bytes to *bytes when it is given, up to the fault.
WireFault ScanWire(const google::protobuf::Descriptor* type, const char* data, size_t size,
                   FieldBytes* bytes = nullptr);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_WIRE_SCAN_H
