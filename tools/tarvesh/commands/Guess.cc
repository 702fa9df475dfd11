// SPDX-License-Identifier: BSD-3-Clause
// tarvesh guess: the top-level types that read an input completely.
#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>

#include "Command.h"
#include "Diagnostics.h"
#include "RecordReader.h"
#include "Session.h"
#include "TypeNames.h"

namespace tarvesh {

namespace gp = google::protobuf;


namespace {

// Reads all of an input into *bytes, up to the 2 GiB record limit.
int ReadWholeInput(Input* input, std::string* bytes) {
  if (input->SizeHint() > 0 && input->SizeHint() <= static_cast<uint64_t>(INT_MAX)) {
    bytes->reserve(static_cast<size_t>(input->SizeHint()));
  }
  const void* data;
  int size;
  while (input->Next(&data, &size)) {
    if (bytes->size() + static_cast<size_t>(size) > static_cast<size_t>(INT_MAX)) {
      return Failure(input->name(), "input is over the 2 GiB limit of one record");
    }
    bytes->append(static_cast<const char*>(data), static_cast<size_t>(size));
  }
  input->FinishProgress();
  const std::string read_error = input->ReadError();
  return read_error.empty() ? 0 : Failure(input->name(), read_error);
}

// True when every record of `bytes` reads as `type` with no unknown fields.
bool ReadsCompletely(const std::string& bytes, const gp::Descriptor* type, bool delimited) {
  gp::io::ArrayInputStream input(bytes.data(), static_cast<int>(bytes.size()));
  std::unique_ptr<gp::Message> message = NewMessage(type);
  RecordReader reader(&input, delimited);
  RecordReader::Status status;
  uint64_t records = 0;
  while ((status = reader.Next(message.get())) == RecordReader::kRecord) {
    if (HasUnknownFields(*message)) return false;
    ++records;
  }
  return status == RecordReader::kEnd && records > 0;
}

// Reads the first records of a delimited stream into *sample, framed again:
// `count` of them, or by default as many as fit in 1 MiB (at least one).
int ReadSample(Session& session, uint64_t count, std::string* sample) {
  constexpr size_t kSampleBytes = size_t{1} << 20;
  RecordReader reader(&session.input(), true, &session.input());
  RecordReader::Status status = RecordReader::kRecord;
  for (uint64_t records = 0; records < count; ++records) {
    if (count == UINT64_MAX && records > 0 && sample->size() >= kSampleBytes) break;
    if ((status = reader.NextBytes()) != RecordReader::kRecord) break;
    const std::string& bytes = reader.record_bytes();
    uint8_t prefix[10];  // a varint64 at most
    const uint8_t* prefix_end = gp::io::CodedOutputStream::WriteVarint64ToArray(bytes.size(), prefix);
    sample->append(reinterpret_cast<const char*>(prefix), static_cast<size_t>(prefix_end - prefix));
    sample->append(bytes);
  }
  if (status == RecordReader::kError) return session.RecordFailed(reader.error());
  return 0;
}

}  // namespace

int Guess(Session& session) {
  const Options& options = session.options();
  // Read once, so that a pipe or FIFO serves every type.
  if (int opened = session.OpenInput(options.arguments)) return opened;
  Input& input = session.input();
  // A stream is judged by its first records.
  std::string bytes;
  if (int status = options.delimited ? ReadSample(session, options.count, &bytes) : ReadWholeInput(&input, &bytes)) {
    return status;
  }
  std::vector<const gp::Descriptor*> candidates;
  for (const gp::FileDescriptor* file : SchemaFiles()) {
    for (int i = 0; i < file->message_type_count(); ++i) candidates.push_back(file->message_type(i));
  }
  if (UserSchemas() != nullptr) {
    for (const gp::Descriptor* type : UserSchemas()->TopLevelTypes()) candidates.push_back(type);
  }
  bool any = false;
  for (const gp::Descriptor* type : candidates) {
    if (!ReadsCompletely(bytes, type, options.delimited)) continue;
    std::printf("%s\n", SchemaName(type).c_str());
    any = true;
  }
  if (!any) return Failure(input.name(), "no top-level type reads it completely");
  return 0;
}

}  // namespace tarvesh
