// SPDX-License-Identifier: BSD-3-Clause
// Helpers shared by the test suites: byte literals, hex dumps and the
// library's three writers. Parses are judged in ParseJudge.h.
#ifndef TARVESH_TESTS_TEST_SUPPORT_H
#define TARVESH_TESTS_TEST_SUPPORT_H

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <gtest/gtest.h>


namespace tarvesh_test {

// Bytes({0x08, 0x01}) is the two-byte string 08 01.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int value : values) out.push_back(static_cast<char>(value));
  return out;
}

inline std::string Hex(const std::string& bytes) {
  std::string out;
  char digits[4];
  for (unsigned char byte : bytes) {
    std::snprintf(digits, sizeof(digits), "%02X ", byte);
    out += digits;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

// The bytes of one message as each of the library's writers produced them.
struct Written {
  int byte_size = -1;          // ByteSize()
  std::string array;           // SerializeWithCachedSizesToArray
  bool array_end_ok = false;   // it returned buffer + byte_size
  bool guard_intact = false;   // and wrote nothing past byte_size
  std::string stream;          // SerializeWithCachedSizes on a CodedOutputStream
  std::string runtime;         // the runtime's SerializeToString, through Message
  std::string own;             // the class's SerializeToString, SerializeAsString,
                               // AppendToString and SerializeToArray, when all agree
  bool short_array_refused = false;  // SerializeToArray, one byte short
};

template <class M>
Written WriteAllWays(const M& message) {
  constexpr std::uint8_t kGuard = 0xA5;
  constexpr size_t kGuardBytes = 32;
  Written out;
  out.byte_size = message.ByteSize();
  const size_t size = static_cast<size_t>(out.byte_size);
  std::vector<std::uint8_t> buffer(size + kGuardBytes, kGuard);
  std::uint8_t* end = message.SerializeWithCachedSizesToArray(buffer.data());
  out.array_end_ok = end == buffer.data() + size;
  out.array.assign(reinterpret_cast<const char*>(buffer.data()), size);
  out.guard_intact = true;
  for (size_t i = size; i < buffer.size(); ++i) out.guard_intact &= buffer[i] == kGuard;

  message.ByteSize();
  {
    google::protobuf::io::StringOutputStream raw(&out.stream);
    google::protobuf::io::CodedOutputStream coded(&raw);
    message.SerializeWithCachedSizes(&coded);
  }
  // Again in blocks of 7 bytes: messages and their elements start at every
  // offset of a block, and many do not fit in what is left of it.
  std::vector<std::uint8_t> blocks(size + 1);
  {
    google::protobuf::io::ArrayOutputStream raw(blocks.data(), out.byte_size, 7);
    google::protobuf::io::CodedOutputStream coded(&raw);
    message.SerializeWithCachedSizes(&coded);
  }
  if (out.stream != std::string(reinterpret_cast<const char*>(blocks.data()), size)) {
    out.stream = "(in blocks of 7 bytes, the stream writes other bytes)";
  }
  static_cast<const google::protobuf::Message&>(message).SerializeToString(&out.runtime);

  std::string appended = "x";
  std::vector<char> exact(size + 1);
  if (message.SerializeToString(&out.own) && message.AppendToString(&appended) &&
      message.SerializeToArray(exact.data(), out.byte_size) &&
      appended == "x" + out.own && message.SerializeAsString() == out.own &&
      std::string(exact.data(), size) == out.own) {
    out.short_array_refused = !message.SerializeToArray(exact.data(), out.byte_size - 1);
  } else {
    out.own = "(the class's whole-message writers disagree)";
  }
  return out;
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_TEST_SUPPORT_H
