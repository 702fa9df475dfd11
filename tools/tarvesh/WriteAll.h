// SPDX-License-Identifier: BSD-3-Clause
// Hands bytes to a ZeroCopyOutputStream a buffer at a time; false once the
// stream refuses a buffer (its error is the stream's to report).
#ifndef TARVESH_TOOL_WRITE_ALL_H
#define TARVESH_TOOL_WRITE_ALL_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include <google/protobuf/io/zero_copy_stream.h>

namespace tarvesh {

inline bool WriteAll(google::protobuf::io::ZeroCopyOutputStream* output, const char* data,
                     std::size_t size) {
  while (size > 0) {
    void* buffer;
    int room;
    if (!output->Next(&buffer, &room)) return false;
    const std::size_t now = std::min(size, static_cast<std::size_t>(room));
    std::memcpy(buffer, data, now);
    if (now < static_cast<std::size_t>(room)) output->BackUp(room - static_cast<int>(now));
    data += now;
    size -= now;
  }
  return true;
}

inline bool WriteAll(google::protobuf::io::ZeroCopyOutputStream* output, const std::string& text) {
  return WriteAll(output, text.data(), text.size());
}

}  // namespace tarvesh

#endif  // TARVESH_TOOL_WRITE_ALL_H
