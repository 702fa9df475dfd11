#include "RecordReader.h"

#include <climits>

#include <google/protobuf/io/coded_stream.h>

#include "WireScan.h"

namespace tarvesh {

namespace gp = google::protobuf;

RecordReader::RecordReader(gp::io::ZeroCopyInputStream* input, bool delimited)
    : input_(input), delimited_(delimited) {}

RecordReader::Status RecordReader::Next(gp::Message* message) {
  if (done_) return error_.what.empty() ? kEnd : kError;
  message->Clear();
  return delimited_ ? ReadDelimited(message) : ReadWhole(message);
}

RecordReader::Status RecordReader::ReadWhole(gp::Message* message) {
  done_ = true;
  buffer_.clear();
  const void* data;
  int size;
  while (input_->Next(&data, &size)) {
    if (buffer_.size() + static_cast<size_t>(size) > static_cast<size_t>(INT_MAX)) {
      return Fail(INT_MAX, "input is over the 2 GiB limit of one record");
    }
    buffer_.append(static_cast<const char*>(data), static_cast<size_t>(size));
  }
  offset_ = buffer_.size();
  return Parse(message, 0);
}

RecordReader::Status RecordReader::ReadDelimited(gp::Message* message) {
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
      --records_;
      done_ = true;
      return kEnd;
    }
    if (!coded.ReadVarint64(&length)) {
      return Fail(record_start, "bad length prefix (a truncated or overlong varint)");
    }
    prefix_size = coded.CurrentPosition();
    if (length > static_cast<uint64_t>(INT_MAX)) {
      return Fail(record_start,
                  "length prefix " + std::to_string(length) + " is over the 2 GiB record limit");
    }
    buffer_.clear();
    if (!coded.ReadString(&buffer_, static_cast<int>(length))) {
      return Fail(record_start + prefix_size,
                  "record of " + std::to_string(length) + " bytes is cut short by the end of input");
    }
  }
  offset_ = record_start + static_cast<uint64_t>(prefix_size) + length;
  return Parse(message, record_start + static_cast<uint64_t>(prefix_size));
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
