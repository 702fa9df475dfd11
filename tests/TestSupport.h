// Helpers shared by the test suites: byte literals, hex dumps, the library's
// three writers and two parsers, and the checks built on them.
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

#include "SeparateBuffersStream.h"

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
  std::string runtime;         // SerializeToString
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
  message.SerializeToString(&out.runtime);
  return out;
}

// The class's own stream parser over one flat buffer: what it returned, and
// whether the stream ended where a message may legitimately end.
struct StreamVerdict {
  bool returned = false;
  bool clean_end = false;
  bool ok() const { return returned && clean_end; }
};

template <class M>
StreamVerdict StreamParse(const std::string& bytes, M* message) {
  google::protobuf::io::CodedInputStream input(
      reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  StreamVerdict verdict;
  verdict.returned = message->M::MergePartialFromCodedStream(&input);
  verdict.clean_end = input.ConsumedEntireMessage();
  return verdict;
}

// Both parsers over input cut into `chunk`-byte buffers (0: one flat buffer),
// so that fields straddle buffer boundaries; each with a whole-message verdict.
template <class M>
bool ChunkedStreamParse(const std::string& bytes, int chunk, M* message) {
  if (chunk == 0) return StreamParse(bytes, message).ok();
  tarvesh_test::SeparateBuffersStream raw(bytes, chunk);
  google::protobuf::io::CodedInputStream input(&raw);
  return message->M::MergePartialFromCodedStream(&input) && input.ConsumedEntireMessage();
}
template <class M>
bool ChunkedContextParse(const std::string& bytes, int chunk, M* message) {
  if (chunk == 0) return message->ParseFromString(bytes);
  tarvesh_test::SeparateBuffersStream raw(bytes, chunk);
  return message->ParseFromZeroCopyStream(&raw);
}

// `message` is written as exactly `expected` by all three writers, and
// `expected` read back by either parser is written as itself again.
template <class M>
void ExpectWireForm(const M& message, const std::string& expected) {
  const Written out = WriteAllWays(message);
  EXPECT_EQ(out.byte_size, static_cast<int>(expected.size()));
  EXPECT_EQ(Hex(out.array), Hex(expected)) << "SerializeWithCachedSizesToArray";
  EXPECT_TRUE(out.array_end_ok && out.guard_intact) << "array writer ran off its size";
  EXPECT_EQ(Hex(out.stream), Hex(expected)) << "SerializeWithCachedSizes";
  EXPECT_EQ(Hex(out.runtime), Hex(expected)) << "SerializeToString";
  M by_stream, by_runtime;
  EXPECT_TRUE(StreamParse(expected, &by_stream).ok());
  EXPECT_TRUE(by_runtime.ParseFromString(expected));
  EXPECT_EQ(Hex(by_stream.SerializeAsString()), Hex(expected));
  EXPECT_EQ(Hex(by_runtime.SerializeAsString()), Hex(expected));
}

// Both parsers, flat and chunked, accept `input` and read what is written as
// `written`. Returns what the flat stream parser read.
template <class M>
M ExpectReadsAs(const std::string& input, const std::string& written) {
  M first;
  for (int chunk : {0, 1, 3, 7}) {
    M stream, context;
    EXPECT_TRUE(ChunkedStreamParse(input, chunk, &stream)) << Hex(input) << " chunk " << chunk;
    EXPECT_TRUE(ChunkedContextParse(input, chunk, &context)) << Hex(input) << " chunk " << chunk;
    EXPECT_EQ(Hex(stream.SerializeAsString()), Hex(written)) << "stream, chunk " << chunk;
    EXPECT_EQ(Hex(context.SerializeAsString()), Hex(written)) << "context, chunk " << chunk;
    if (chunk == 0) first.CopyFrom(stream);
  }
  return first;
}

// Both parsers, flat and chunked, refuse `input`.
template <class M>
void ExpectRejected(const std::string& input) {
  for (int chunk : {0, 1, 5}) {
    M stream, context;
    EXPECT_FALSE(ChunkedStreamParse(input, chunk, &stream)) << Hex(input) << " chunk " << chunk;
    EXPECT_FALSE(ChunkedContextParse(input, chunk, &context)) << Hex(input) << " chunk " << chunk;
  }
}

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_TEST_SUPPORT_H
