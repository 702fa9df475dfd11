// SPDX-License-Identifier: BSD-3-Clause
#include "RecordReader.h"

#include <algorithm>
#include <climits>

#include <google/protobuf/io/coded_stream.h>

#include "WireScan.h"

namespace tarvesh {

namespace gp = google::protobuf;

RecordReader::RecordReader(gp::io::ZeroCopyInputStream* input, bool delimited,
                           const ReadFailures* failures)
    : input_(input), failures_(failures), delimited_(delimited) {}

bool RecordReader::ReadFailed() {
  uint64_t offset;
  std::string what;
  if (failures_ == nullptr || !failures_->ReadFailed(&offset, &what)) return false;
  Fail(offset, std::move(what));
  return true;
}

RecordReader::Status RecordReader::Next(gp::Message* message) {
  if (done_) return error_.what.empty() ? kEnd : kError;
  message->Clear();
  return delimited_ ? ReadDelimited(message) : ReadWhole(message);
}

RecordReader::Status RecordReader::ReadWhole(gp::Message* message) {
  if (!ReadAll()) return kError;
  return Parse(message, 0);
}

bool RecordReader::ReadAll() {
  done_ = true;
  buffer_.clear();
  // A file of known size is read into a buffer of its size, not one grown by
  // doubling.
  const uint64_t hint = failures_ != nullptr ? failures_->SizeHint() : 0;
  if (hint > 0 && hint <= static_cast<uint64_t>(INT_MAX)) buffer_.reserve(static_cast<size_t>(hint));
  const void* data;
  int size;
  while (input_->Next(&data, &size)) {
    if (buffer_.size() + static_cast<size_t>(size) > static_cast<size_t>(INT_MAX)) {
      Fail(INT_MAX, "input is over the 2 GiB limit of one record");
      return false;
    }
    buffer_.append(static_cast<const char*>(data), static_cast<size_t>(size));
  }
  if (ReadFailed()) return false;
  offset_ = buffer_.size();
  body_start_ = 0;
  return true;
}

RecordReader::Status RecordReader::NextBytes() {
  if (done_) return error_.what.empty() ? kEnd : kError;
  if (!delimited_) return ReadAll() ? kRecord : kError;
  uint64_t body_start;
  return ReadFrame(true, &body_start);
}

RecordReader::Status RecordReader::ReadDelimited(gp::Message* message) {
  uint64_t body_start;
  const Status status = ReadFrame(true, &body_start);
  return status == kRecord ? Parse(message, body_start) : status;
}

RecordReader::Status RecordReader::Skip() {
  if (done_) return error_.what.empty() ? kEnd : kError;
  if (!delimited_) {
    // The one record of a whole input is its every byte.
    done_ = true;
    const void* data;
    int size;
    while (input_->Next(&data, &size)) offset_ += static_cast<uint64_t>(size);
    if (ReadFailed()) return kError;
    records_ = 1;
    return kRecord;
  }
  uint64_t body_start;
  return ReadFrame(false, &body_start);
}

RecordReader::Status RecordReader::ReadFrame(bool keep, uint64_t* body_start) {
  const uint64_t record_start = offset_;
  ++records_;
  uint64_t length;
  int prefix_size;
  {
    // One coded stream per record keeps its int positions small however long
    // the stream; its destructor hands unread bytes back to input_.
    gp::io::CodedInputStream coded(input_);
    const void* data;
    int size;
    if (!coded.GetDirectBufferPointer(&data, &size)) {
      if (ReadFailed()) return kError;
      --records_;
      done_ = true;
      return kEnd;
    }
    // The prefix is read a byte at a time, as the runtime's ReadVarint64
    // takes it (at most ten bytes), and kept as it was written.
    prefix_.clear();
    buffer_.clear();
    length = 0;
    uint8_t byte = 0x80;
    while ((byte & 0x80) != 0) {
      if (prefix_.size() == 10 || !coded.ReadRaw(&byte, 1)) {
        if (ReadFailed()) return kError;
        return Fail(record_start, "bad length prefix (a truncated or overlong varint)");
      }
      length |= static_cast<uint64_t>(byte & 0x7f) << (7 * prefix_.size());
      prefix_.push_back(static_cast<char>(byte));
    }
    prefix_size = coded.CurrentPosition();
    if (length > static_cast<uint64_t>(INT_MAX)) {
      return Fail(record_start,
                  "length prefix " + std::to_string(length) + " is over the 2 GiB record limit");
    }
    buffer_.clear();
    const bool read = keep ? ReadBody(&coded, length) : coded.Skip(static_cast<int>(length));
    if (!read) {
      if (ReadFailed()) return kError;
      return Fail(record_start + prefix_size,
                  "record of " + std::to_string(length) + " bytes is cut short by the end of input");
    }
  }
  *body_start = record_start + static_cast<uint64_t>(prefix_size);
  body_start_ = *body_start;
  offset_ = *body_start + length;
  return kRecord;
}

// A record's bytes into buffer_, a buffer at a time: cut short, buffer_
// keeps what there was.
bool RecordReader::ReadBody(gp::io::CodedInputStream* coded, uint64_t length) {
  // Room for the whole record at once, but no more than a file of known
  // size holds; from a stream of unknown size, only what arrives, so that a
  // prefix claiming 2 GiB costs no more than the bytes behind it.
  const uint64_t hint = failures_ != nullptr ? failures_->SizeHint() : 0;
  if (hint > 0) buffer_.reserve(static_cast<size_t>(std::min(length, hint)));
  while (buffer_.size() < length) {
    const void* data;
    int size;
    if (!coded->GetDirectBufferPointer(&data, &size)) return false;
    const size_t now = std::min(static_cast<size_t>(size), static_cast<size_t>(length - buffer_.size()));
    buffer_.append(static_cast<const char*>(data), now);
    coded->Skip(static_cast<int>(now));
  }
  return true;
}

RecordReader::Status RecordReader::Parse(gp::Message* message, uint64_t record_start) {
  if (message->ParseFromString(buffer_)) return kRecord;
  const WireFault fault = ScanWire(message->GetDescriptor(), buffer_.data(), buffer_.size());
  if (fault.found) return Fail(record_start + fault.offset, fault.what);
  return Fail(record_start, "not a valid " + message->GetDescriptor()->full_name());
}

RecordReader::Status RecordReader::Fail(uint64_t offset, std::string what) {
  done_ = true;
  error_.record = delimited_ ? records_ : 0;
  error_.offset = offset;
  error_.what = std::move(what);
  return kError;
}

}  // namespace tarvesh
