// SPDX-License-Identifier: BSD-3-Clause
// tarvesh decode: binary records to text format or JSON.
#include <memory>
#include <string>
#include "Command.h"
#include "Diagnostics.h"
#include "RecordReader.h"
#include "Session.h"
#include "TextRecords.h"
#include "TypeNames.h"
#include "TypedRun.h"
#include "WriteAll.h"

namespace tarvesh {

namespace gp = google::protobuf;

int Decode(Session& session) {
  const Options& options = session.options();
  const gp::Descriptor* type = nullptr;
  if (int status = OpenTypedRun(session, &type)) return status;
  std::unique_ptr<gp::Message> message = NewMessage(type);
  RecordReader reader(&session.input(), options.delimited, &session.input());
  // Text of a stream keeps its lines (records end with "---"); JSON of a
  // stream is one record per line.
  RecordPrinter printer(options.json, options.compact || (options.json && options.delimited),
                        options.proto_names, options.defaults, options.enums_as_ints, options.deterministic,
                        options.int64_as_numbers);
  std::string scratch, error;
  RecordReader::Status status = SkipRecords(options, &reader);
  uint64_t done = 0;
  UnknownCounts unknown, records_with;
  while (status == RecordReader::kRecord && done < options.count &&
         (status = reader.Next(message.get())) == RecordReader::kRecord) {
    ++done;
    UnknownCounts here;
    CountUnknown(*message, &here);
    if (options.strict && here.any()) {
      return Failure(session.input().name(), RecordPrefix(options.delimited ? reader.records() : 0) + "holds " +
                                                 DescribeUnknown(here) + " (--strict)");
    }
    unknown.fields += here.fields;
    unknown.enum_values += here.enum_values;
    records_with.fields += here.fields > 0 ? 1 : 0;
    records_with.enum_values += here.enum_values > 0 ? 1 : 0;
    // JSON is printed from the message's own bytes: a large record's input
    // bytes go first, and its message once those bytes are made.
    const bool large = reader.record_bytes().size() > (size_t{1} << 20);
    if (options.json && large) reader.ReleaseBytes();
    if (!printer.Print(options.json && large ? &message : nullptr, *message, session.output(), &scratch,
                       &error)) {
      if (error == "write failed") return session.WriteFailed();
      return Failure(session.input().name(), RecordPrefix(options.delimited ? reader.records() : 0) + error);
    }
    if (options.delimited && !options.json &&
        !WriteAll(session.output(), std::string(kTextSeparator) + "\n")) {
      return session.WriteFailed();
    }
  }
  if (status == RecordReader::kError) return session.RecordFailed(reader.error());
  if (int missing = MissingRecord(options, status, reader, session.input().name())) return missing;
  auto warn = [&](uint64_t count, const char* what, uint64_t records, const char* how) {
    if (count == 0) return;
    std::fprintf(stderr, "tarvesh: %s: warning: %llu %s in %llu of %llu records (%s)\n",
                 session.input().name().c_str(), static_cast<unsigned long long>(count), what,
                 static_cast<unsigned long long>(records), static_cast<unsigned long long>(done), how);
  };
  warn(unknown.fields, "unknown fields", records_with.fields,
       options.json ? "JSON leaves them out" : "shown by number; they do not encode back");
  warn(unknown.enum_values, "enum values the enum does not name", records_with.enum_values,
       options.json ? "shown as numbers" : "shown by field number; they do not encode back");
  return 0;
}

}  // namespace tarvesh
