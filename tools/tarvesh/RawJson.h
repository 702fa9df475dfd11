// SPDX-License-Identifier: BSD-3-Clause
// raw's text as JSON lines, one object for each line of text and holding
// what it holds, so that either form assembles to the same bytes:
//   {"offset":N, "kind":K, "depth":D, ...}
// kind is varint, fixed64, fixed32, bytes, message, group, end (a message's
// or group's end), record, error or rest. A field's object adds "field" (its
// number), "name" (with --type), "value" (a varint's decimal, a fixed
// field's 0x hex, as strings), "length" (bytes and message) and "bytes"
// (bytes and rest: base64); a record's adds "record" and "length"; an
// error's "error". "head" holds a field's head, or a record's length prefix,
// in hex where its bytes are not the shortest encoding. An end with no head
// has no offset.
#ifndef TARVESH_TOOLS_RAW_JSON_H
#define TARVESH_TOOLS_RAW_JSON_H

#include <cstdint>
#include <string>

#include <google/protobuf/io/zero_copy_stream.h>

namespace tarvesh {

// Turns raw text into JSON a line at a time, keeping the nesting depth.
class RawJsonLines {
 public:
  // The JSON object (no newline) of `line`, a line of raw text without its
  // newline; false when it is not one.
  bool Convert(const std::string& line, std::string* json);

 private:
  int depth_ = 0;
};

// The raw text line (no newline) that the JSON object `json` stands for;
// false with *error set when it is not one of raw's JSON objects.
bool RawJsonToLine(const std::string& json, std::string* line, std::string* error);

// An output stream that takes raw text and writes its JSON lines to
// `target`. Flush() writes what is buffered; text must end with a newline.
class RawJsonOutput : public google::protobuf::io::ZeroCopyOutputStream {
 public:
  explicit RawJsonOutput(google::protobuf::io::ZeroCopyOutputStream* target) : target_(target) {}

  bool Next(void** data, int* size) override;
  void BackUp(int count) override;
  int64_t ByteCount() const override { return byte_count_; }
  // Writes the JSON of every whole line taken so far.
  bool Flush();
  // True once a write to the target failed.
  bool failed() const { return failed_; }

 private:
  google::protobuf::io::ZeroCopyOutputStream* target_;
  RawJsonLines lines_;
  std::string pending_;
  size_t used_ = 0;  // bytes of pending_ written by the caller
  size_t scanned_ = 0;  // bytes of pending_ searched for a newline
  int64_t byte_count_ = 0;
  bool failed_ = false;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_RAW_JSON_H
