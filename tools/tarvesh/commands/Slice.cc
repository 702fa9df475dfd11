// SPDX-License-Identifier: BSD-3-Clause
// tarvesh slice: the selected records as a delimited binary stream, each
// record's bytes (and, from a stream, its length prefix) as they are in the
// input: nothing is decoded, so nothing is lost.
#include <string>

#include <google/protobuf/io/coded_stream.h>

#include "Command.h"
#include "Diagnostics.h"
#include "RecordReader.h"
#include "Session.h"
#include "WriteAll.h"

namespace tarvesh {

namespace gp = google::protobuf;

int Slice(Session& session) {
  const Options& options = session.options();
  if (int opened = session.OpenInput(options.arguments)) return opened;
  if (int opened = session.OpenOutput()) return opened;
  if (session.OutputIsTerminal()) {
    return UsageError("will not write binary records to a terminal; use -o FILE or redirect");
  }
  RecordReader reader(&session.input(), options.delimited, &session.input());
  RecordReader::Status status = SkipRecords(options, &reader);
  uint64_t done = 0;
  while (status == RecordReader::kRecord && done < options.count &&
         (status = reader.NextBytes()) == RecordReader::kRecord) {
    ++done;
    const std::string& bytes = reader.record_bytes();
    // A whole input gets the shortest prefix of its length.
    std::string prefix = reader.prefix();
    if (!options.delimited) {
      uint8_t varint[10];
      const uint8_t* end = gp::io::CodedOutputStream::WriteVarint64ToArray(bytes.size(), varint);
      prefix.assign(reinterpret_cast<const char*>(varint), static_cast<size_t>(end - varint));
    }
    if (!WriteAll(session.output(), prefix) || !WriteAll(session.output(), bytes)) return session.WriteFailed();
  }
  if (status == RecordReader::kError) return session.RecordFailed(reader.error());
  if (int missing = MissingRecord(options, status, reader, session.input().name())) return missing;
  // --strict: a stream that ends before the selection does is refused.
  if (options.strict && status == RecordReader::kEnd &&
      (reader.records() < options.skip || (options.count != UINT64_MAX && done < options.count))) {
    return Failure(session.input().name(), "the stream holds " + std::to_string(reader.records()) +
                                               " records, fewer than selected (--strict)");
  }
  return 0;
}

}  // namespace tarvesh
