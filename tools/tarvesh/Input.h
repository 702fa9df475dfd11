// SPDX-License-Identifier: BSD-3-Clause
// The tarvesh command's input: files (read in turn) or standard input as one
// zero-copy stream that counts the bytes read, keeps a read failure apart
// from the end of input, and shows a progress line on a terminal once a run
// has lasted two seconds; and a line reader over it for text records.
//
// For the tests, TARVESH_FAIL_READ_AT=N in the environment makes the read
// that reaches byte N fail with EIO, as a failing disk would.
#ifndef TARVESH_TOOLS_INPUT_H
#define TARVESH_TOOLS_INPUT_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/io/zero_copy_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl.h>

#include "RecordReader.h"

namespace tarvesh {

class Input : public google::protobuf::io::ZeroCopyInputStream, public ReadFailures {
 public:
  Input() = default;
  ~Input() override;

  // Opens every one of `paths` (standard input when there are none, or for
  // "" and "-"), to be read in turn as one stream; byte offsets count from
  // the first one's start. On failure returns false with *error set.
  bool Open(const std::vector<std::string>& paths, std::string* error);
  // The file being read.
  const std::string& name() const { return name_; }
  // ReadFailures: a failed read, as text with the byte where it failed.
  bool ReadFailed(uint64_t* offset, std::string* what) const override;
  uint64_t SizeHint() const override { return total_size_; }
  // The failure as "byte N: read failed: why"; empty when reads succeeded.
  std::string ReadError() const;
  // Ends the progress line, if one was shown.
  void FinishProgress();

  bool Next(const void** data, int* size) override;
  void BackUp(int count) override;
  bool Skip(int count) override;
  int64_t ByteCount() const override;

 private:
  void ShowProgress();
  bool NextFile();  // false when the last file is read

  struct File {
    std::string name;
    int fd = -1;
    bool owned = false;
    bool regular = false;  // a regular file, which skips by seeking
  };

  std::string name_;
  std::vector<File> files_;
  size_t current_ = 0;
  int64_t base_ = 0;         // the bytes of the files before the current one
  uint64_t total_size_ = 0;  // the regular files' sizes; 0 when unknown
  bool terminal_ = false;
  bool progress_shown_ = false;
  int64_t start_ms_ = 0;
  int64_t last_progress_ms_ = 0;
  int64_t fail_at_ = -1;      // TARVESH_FAIL_READ_AT, or -1
  int failed_errno_ = 0;      // a failure the stream met (or was made to meet)
  int64_t failed_at_ = 0;
  int hidden_ = 0;            // bytes of the last block held back by fail_at_
  std::unique_ptr<google::protobuf::io::FileInputStream> file_;
};

// Splits a stream into lines without their ending "\n"; a last line without
// one counts too. Memory is bounded by the longest line.
class LineReader {
 public:
  explicit LineReader(google::protobuf::io::ZeroCopyInputStream* input) : input_(input) {}
  bool ReadLine(std::string* line);
  uint64_t line_number() const { return line_number_; }

 private:
  google::protobuf::io::ZeroCopyInputStream* input_;
  const char* data_ = nullptr;
  int size_ = 0;
  uint64_t line_number_ = 0;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_INPUT_H
