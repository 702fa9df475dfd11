// SPDX-License-Identifier: BSD-3-Clause
// Reads binary records for the tarvesh command: one record filling the whole
// input, or a stream of records each preceded by its length as a varint (the
// runtime's SerializeDelimitedTo... form). A delimited stream is read one
// record at a time; memory is bounded by the largest record, whatever the
// stream's length. Records are parsed by the message classes themselves; on
// refusal the reader names the byte where reading fails.
#ifndef TARVESH_TOOLS_RECORD_READER_H
#define TARVESH_TOOLS_RECORD_READER_H

#include <cstdint>
#include <string>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream.h>
#include <google/protobuf/message.h>

namespace tarvesh {

struct RecordError {
  uint64_t record = 0;  // 1-based; 0 when the input is one whole record
  uint64_t offset = 0;  // byte offset in the input where reading failed
  std::string what;
};

// What a stream knows beyond the ZeroCopyInputStream interface: whether the
// end of its data was a failed read, and its size when known.
class ReadFailures {
 public:
  virtual ~ReadFailures() = default;
  // True after a read failed, with the byte where it failed and why.
  virtual bool ReadFailed(uint64_t* offset, std::string* what) const = 0;
  // The input's size when known in advance, else 0.
  virtual uint64_t SizeHint() const { return 0; }
};

class RecordReader {
 public:
  enum Status { kRecord, kEnd, kError };

  // A read failure `failures` reports ends the records with kError; without
  // it, the end of the stream's data is the end of input.
  RecordReader(google::protobuf::io::ZeroCopyInputStream* input, bool delimited,
               const ReadFailures* failures = nullptr);

  // Parses the next record into *message (cleared first). A whole-input
  // reader gives exactly one record, even an empty one, then kEnd.
  Status Next(google::protobuf::Message* message);
  // Reads the next record's bytes (record_bytes()) without parsing them.
  Status NextBytes();
  // Where the bytes of the record last read begin in the input.
  uint64_t body_start() const { return body_start_; }
  // The length prefix of the record last read or passed over, as it was
  // written; empty for a whole input. After a failed frame, the prefix's
  // bytes read and, in record_bytes(), those of the body there were.
  const std::string& prefix() const { return prefix_; }
  // Passes over the next record of a delimited stream without parsing it:
  // kRecord when there was one to pass over.
  Status Skip();

  const RecordError& error() const { return error_; }
  // The bytes of the record Next() last returned.
  const std::string& record_bytes() const { return buffer_; }
  // Frees the bytes of the record Next() last returned.
  void ReleaseBytes() { std::string().swap(buffer_); }
  // Bytes of the input consumed so far, length prefixes included.
  uint64_t offset() const { return offset_; }
  uint64_t records() const { return records_; }

 private:
  Status ReadWhole(google::protobuf::Message* message);
  bool ReadAll();  // the whole input into buffer_; false (error set) on failure
  Status ReadDelimited(google::protobuf::Message* message);
  // Reads a record's length prefix; then its bytes into buffer_ when `keep`,
  // else past them. *body_start is where its bytes begin.
  Status ReadFrame(bool keep, uint64_t* body_start);
  bool ReadBody(google::protobuf::io::CodedInputStream* coded, uint64_t length);
  Status Parse(google::protobuf::Message* message, uint64_t record_start);
  Status Fail(uint64_t offset, std::string what);
  // True (with the error set) when the input's data ended on a failed read.
  bool ReadFailed();

  google::protobuf::io::ZeroCopyInputStream* input_;
  const ReadFailures* failures_;
  bool delimited_;
  bool done_ = false;
  uint64_t offset_ = 0;
  uint64_t body_start_ = 0;
  uint64_t records_ = 0;
  std::string buffer_;
  std::string prefix_;
  RecordError error_;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_RECORD_READER_H
