// SPDX-License-Identifier: BSD-3-Clause
// JSON with its 64-bit integers as numbers: the runtime's JSON printer
// quotes every int64, uint64, sint64, fixed64 and sfixed64 value (and those
// of Int64Value and UInt64Value); this walks its output along the schema and
// takes the quotes off exactly those values. Strings, map keys and every
// other value stay as printed, spacing included.
#ifndef TARVESH_TOOLS_JSON_INT64_H
#define TARVESH_TOOLS_JSON_INT64_H

#include <string>

#include <google/protobuf/descriptor.h>

namespace tarvesh {

// *json, printed for a message of `type` (with proto field names when
// `proto_names`), with its 64-bit integers unquoted. False with *error set
// when the text is not such JSON.
bool Int64sAsNumbers(const google::protobuf::Descriptor* type, bool proto_names, std::string* json,
                     std::string* error);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_JSON_INT64_H
