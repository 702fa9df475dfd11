// A ZeroCopyInputStream that hands out its bytes in buffers of `chunk` bytes
// (0: one buffer), each in a heap block of its own of exactly that size. A parser that reads
// past the end of the buffer it was given (or before its start) then reads
// memory that is not the next input: under AddressSanitizer a heap overflow,
// where one flat array cut into chunks (ArrayInputStream) would quietly hand
// it the neighbouring input bytes, often the very ones it expected. Used by
// the tests and the fuzz harnesses wherever input is cut into buffers.
#ifndef TARVESH_TESTS_SEPARATE_BUFFERS_STREAM_H
#define TARVESH_TESTS_SEPARATE_BUFFERS_STREAM_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/io/zero_copy_stream.h>

namespace tarvesh_test {

class SeparateBuffersStream : public google::protobuf::io::ZeroCopyInputStream {
 public:
  SeparateBuffersStream(const void* data, std::size_t size, int chunk) {
    const auto* bytes = static_cast<const char*>(data);
    const std::size_t step = chunk > 0 ? static_cast<std::size_t>(chunk) : size;
    for (std::size_t at = 0; at < size; at += step) {
      const std::size_t length = std::min(step, size - at);
      buffers_.emplace_back(new char[length]);
      std::memcpy(buffers_.back().get(), bytes + at, length);
      sizes_.push_back(static_cast<int>(length));
    }
  }
  SeparateBuffersStream(const std::string& bytes, int chunk)
      : SeparateBuffersStream(bytes.data(), bytes.size(), chunk) {}

  bool Next(const void** data, int* size) override {
    if (backed_up_ > 0) {
      // The tail of the last buffer handed out, given back by BackUp.
      *data = buffers_[next_ - 1].get() + sizes_[next_ - 1] - backed_up_;
      *size = backed_up_;
      backed_up_ = 0;
    } else {
      if (next_ == buffers_.size()) return false;
      *data = buffers_[next_].get();
      *size = sizes_[next_];
      ++next_;
    }
    byte_count_ += *size;
    return true;
  }
  void BackUp(int count) override {
    backed_up_ = count;
    byte_count_ -= count;
  }
  bool Skip(int count) override {
    const void* data;
    int size;
    while (count > 0) {
      if (!Next(&data, &size)) return false;
      if (size > count) {
        BackUp(size - count);
        return true;
      }
      count -= size;
    }
    return true;
  }
  std::int64_t ByteCount() const override { return byte_count_; }

 private:
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::vector<int> sizes_;
  std::size_t next_ = 0;  // the buffer Next hands out after any backed-up tail
  int backed_up_ = 0;
  std::int64_t byte_count_ = 0;
};

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_SEPARATE_BUFFERS_STREAM_H
