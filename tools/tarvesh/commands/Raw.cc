// SPDX-License-Identifier: BSD-3-Clause
// tarvesh raw: the fields of any bytes, with no schema or with --type.
#include <string>

#include "Command.h"
#include "Diagnostics.h"
#include "RawJson.h"
#include "RawPrinter.h"
#include "RecordReader.h"
#include "Session.h"
#include "TypeNames.h"

namespace tarvesh {

namespace gp = google::protobuf;

namespace {

bool PrintStreamRest(Session& session, const RecordReader& reader, gp::io::ZeroCopyOutputStream* output) {
  const bool hex = session.options().hex;
  const RecordError& error = reader.error();
  if (!PrintRawNote(error.offset, hex, "error", "(" + error.what + ")", output)) return false;
  const std::string failed = reader.prefix() + reader.record_bytes();
  if (!PrintRawRest(reader.offset(), hex, failed.data(), failed.size(), output)) return false;
  uint64_t at = reader.offset() + failed.size();
  const void* data;
  int size;
  while (session.input().Next(&data, &size)) {
    if (!PrintRawRest(at, hex, static_cast<const char*>(data), static_cast<size_t>(size), output)) {
      return false;
    }
    at += static_cast<uint64_t>(size);
  }
  return true;
}

// Prints the selected records' fields to `output`: the run's status.
int PrintRecords(Session& session, const gp::Descriptor* type, gp::io::ZeroCopyOutputStream* output) {
  const Options& options = session.options();
  RecordReader reader(&session.input(), options.delimited, &session.input());
  RecordReader::Status status = SkipRecords(options, &reader);
  uint64_t done = 0, faults = 0, unknown_to_type = 0;
  std::string first_fault;
  while (status == RecordReader::kRecord && done < options.count &&
         (status = reader.NextBytes()) == RecordReader::kRecord) {
    ++done;
    const std::string& bytes = reader.record_bytes();
    // A record's line keeps its length prefix's bytes where they are not the
    // shortest.
    if (options.delimited &&
        !PrintRawNote(reader.body_start(), options.hex, "record" + PrefixNote(reader.prefix(), bytes.size()),
                      std::to_string(reader.records()) + ": " + std::to_string(bytes.size()) + " bytes",
                      output)) {
      return session.WriteFailed();
    }
    const RawResult result =
        PrintRaw(bytes.data(), bytes.size(), reader.body_start(), options.hex, output, type);
    if (result.write_failed) return session.WriteFailed();
    unknown_to_type += result.unknown_to_type;
    // A record's bad bytes end its walk, not the stream's: the next record
    // starts where its length says.
    if (result.fault.found && faults++ == 0) {
      first_fault = RecordPrefix(options.delimited ? reader.records() : 0) + "byte " +
                    std::to_string(result.fault.offset) + ": " + result.fault.what;
    }
  }
  // Bad bytes fail the run; what made sense is on standard output or a
  // device, not in a replaced file.
  if (status == RecordReader::kError) {
    // A stream that cannot be framed further: its error line, then every
    // byte from the failed record on, so that the text still holds them all.
    if (session.input().ReadError().empty() && !PrintStreamRest(session, reader, output)) return session.WriteFailed();
    return session.RecordFailed(reader.error());
  }
  if (int missing = MissingRecord(options, status, reader, session.input().name())) return missing;
  if (options.strict && unknown_to_type > 0) {
    return Failure(session.input().name(), std::to_string(unknown_to_type) + " fields or enum values " +
                                               options.type + " does not name (--strict)");
  }
  if (faults == 0) return 0;
  Failure(session.input().name(), first_fault);
  if (faults > 1) Failure(session.input().name(), std::to_string(faults) + " records hold bad bytes");
  return kBadInput;
}

}  // namespace

int Raw(Session& session) {
  const Options& options = session.options();
  if (options.strict && options.type.empty()) return UsageError("raw --strict needs --type");
  const gp::Descriptor* type = nullptr;
  if (!options.type.empty() && (type = FindType(options.type)) == nullptr) return UnknownType(options.type);
  if (int opened = session.OpenInput(options.arguments)) return opened;
  if (int opened = session.OpenOutput()) return opened;
  if (!options.json) return PrintRecords(session, type, session.output());
  // JSON: the same lines, each turned into its object as it is written.
  RawJsonOutput json(session.output());
  const int status = PrintRecords(session, type, &json);
  if (json.failed()) return status;
  return json.Flush() ? status : session.WriteFailed();
}

}  // namespace tarvesh
