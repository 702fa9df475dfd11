// SPDX-License-Identifier: BSD-3-Clause
// A ZeroCopyInputStream that hands out its bytes in buffers of `chunk` bytes
// (0: one buffer), none of which borders another. A parser that reads past
// the end of the buffer it was given (or before its start) then reads memory
// that is not the next input, where one flat array cut into chunks
// (ArrayInputStream) would quietly hand it the neighbouring input bytes,
// often the very ones it expected. Under AddressSanitizer the buffers share
// one heap block, each 8-byte aligned behind a poisoned gap and poisoned
// right after its last byte: a stray read is reported like a heap overflow,
// without the cost of an allocation per buffer (the fuzz harnesses cut every
// input this way several times). Elsewhere (valgrind, plain builds) each
// buffer is a heap block of its own, of exactly its size. Used by the tests
// and the fuzz harnesses wherever input is cut into buffers.
#ifndef TARVESH_TESTS_SEPARATE_BUFFERS_STREAM_H
#define TARVESH_TESTS_SEPARATE_BUFFERS_STREAM_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/io/zero_copy_stream.h>

#if defined(__SANITIZE_ADDRESS__)
#define TARVESH_TEST_POISONED_GAPS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVESH_TEST_POISONED_GAPS 1
#endif
#endif
#ifdef TARVESH_TEST_POISONED_GAPS
#include <sanitizer/asan_interface.h>
#endif

namespace tarvesh_test {

class SeparateBuffersStream : public google::protobuf::io::ZeroCopyInputStream {
 public:
  SeparateBuffersStream(const void* data, std::size_t size, int chunk) {
    const auto* bytes = static_cast<const char*>(data);
    const std::size_t step = chunk > 0 ? static_cast<std::size_t>(chunk) : size;
    const std::size_t count = step == 0 ? 0 : (size + step - 1) / step;
    starts_.reserve(count);
    sizes_.reserve(count);
#ifdef TARVESH_TEST_POISONED_GAPS
    // Each buffer starts on a granule of its own after one whole poisoned
    // granule, so both its edges can be poisoned exactly.
    constexpr std::size_t kGranule = 8;
    const std::size_t slot = (step + kGranule - 1) / kGranule * kGranule + kGranule;
    block_size_ = kGranule + count * slot;
    block_.reset(new char[block_size_]);
    ASAN_POISON_MEMORY_REGION(block_.get(), block_size_);
#else
    owned_.reserve(count);
#endif
    for (std::size_t at = 0; at < size; at += step) {
      const std::size_t length = std::min(step, size - at);
#ifdef TARVESH_TEST_POISONED_GAPS
      char* buffer = block_.get() + kGranule + starts_.size() * slot;
      ASAN_UNPOISON_MEMORY_REGION(buffer, length);
#else
      owned_.emplace_back(new char[length]);
      char* buffer = owned_.back().get();
#endif
      std::memcpy(buffer, bytes + at, length);
      starts_.push_back(buffer);
      sizes_.push_back(static_cast<int>(length));
    }
  }
  SeparateBuffersStream(const std::string& bytes, int chunk)
      : SeparateBuffersStream(bytes.data(), bytes.size(), chunk) {}
  SeparateBuffersStream(const SeparateBuffersStream&) = delete;
  SeparateBuffersStream& operator=(const SeparateBuffersStream&) = delete;
  ~SeparateBuffersStream() override {
#ifdef TARVESH_TEST_POISONED_GAPS
    if (block_) ASAN_UNPOISON_MEMORY_REGION(block_.get(), block_size_);
#endif
  }

  // Hands out the same buffers again from the first, as a new stream over
  // the same bytes would, without cutting them again.
  void Rewind() {
    next_ = 0;
    backed_up_ = 0;
    byte_count_ = 0;
  }

  bool Next(const void** data, int* size) override {
    if (backed_up_ > 0) {
      // The tail of the last buffer handed out, given back by BackUp.
      *data = starts_[next_ - 1] + sizes_[next_ - 1] - backed_up_;
      *size = backed_up_;
      backed_up_ = 0;
    } else {
      if (next_ == starts_.size()) return false;
      *data = starts_[next_];
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
#ifdef TARVESH_TEST_POISONED_GAPS
  std::unique_ptr<char[]> block_;
  std::size_t block_size_ = 0;
#else
  std::vector<std::unique_ptr<char[]>> owned_;
#endif
  std::vector<const char*> starts_;
  std::vector<int> sizes_;
  std::size_t next_ = 0;  // the buffer Next hands out after any backed-up tail
  int backed_up_ = 0;
  std::int64_t byte_count_ = 0;
};

}  // namespace tarvesh_test

#endif  // TARVESH_TESTS_SEPARATE_BUFFERS_STREAM_H
