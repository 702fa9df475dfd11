// SPDX-License-Identifier: BSD-3-Clause
// tarvesh encode: text format or JSON to binary records.
#include <memory>
#include <string>

#include <google/protobuf/util/delimited_message_util.h>

#include "Command.h"
#include "Diagnostics.h"
#include "Session.h"
#include "TextRecords.h"
#include "TypeNames.h"
#include "TypedRun.h"

namespace tarvesh {

namespace gp = google::protobuf;

namespace {

bool WriteBinary(const gp::Message& message, bool delimited, gp::io::ZeroCopyOutputStream* output) {
  return delimited ? gp::util::SerializeDelimitedToZeroCopyStream(message, output)
                   : message.SerializeToZeroCopyStream(output);
}

}  // namespace

int Encode(Session& session) {
  const Options& options = session.options();
  const gp::Descriptor* type = nullptr;
  if (int status = OpenTypedRun(session, &type)) return status;
  if (session.OutputIsTerminal()) {
    return UsageError("will not write binary records to a terminal; use -o FILE or redirect");
  }
  std::unique_ptr<gp::Message> message = NewMessage(type);
  tarvesh::LineReader lines(&session.input());
  std::string line, text, error;
  uint64_t record = 0;
  uint64_t first_line = 1;
  // A failed read ends the input early; it is named before whatever the
  // shortened text did to the parse.
  auto read_failed = [&]() {
    const std::string read_error = session.input().ReadError();
    if (read_error.empty()) return 0;
    session.input().FinishProgress();
    return Failure(session.input().name(), read_error);
  };

  // --strict: a record holding what its type does not name is refused.
  auto refused_by_strict = [&](uint64_t number) {
    UnknownCounts unknown;
    if (options.strict) CountUnknown(*message, &unknown);
    if (!unknown.any()) return 0;
    session.input().FinishProgress();
    return Failure(session.input().name(),
                   RecordPrefix(options.delimited ? number : 0) + "holds " + DescribeUnknown(unknown) + " (--strict)");
  };

  // Parses and writes one record of text starting at first_line.
  auto encode_one = [&]() -> int {
    if (!ParseText(text, options.json, first_line, message.get(), &error)) {
      if (int status = read_failed()) return status;
      session.input().FinishProgress();
      return Failure(session.input().name(), RecordPrefix(options.delimited ? record : 0) + error);
    }
    if (int refused = refused_by_strict(record)) return refused;
    if (!WriteBinary(*message, options.delimited, session.output())) return session.WriteFailed();
    return 0;
  };

  if (!options.delimited && !options.json) {
    // Parsed straight from the input: memory is the record's, not its text's.
    FirstError errors;
    gp::TextFormat::Parser parser;
    parser.RecordErrorsTo(&errors);
    parser.SetFinder(AnyTypeFinder());
    const bool parsed = parser.Parse(&session.input(), message.get());
    if (int status = read_failed()) return status;
    if (!parsed) return Failure(session.input().name(), errors.Describe(1));
    if (int refused = refused_by_strict(0)) return refused;
    if (!WriteBinary(*message, false, session.output())) return session.WriteFailed();
  } else if (!options.delimited) {
    while (lines.ReadLine(&line)) text.append(line).push_back('\n');
    if (int status = encode_one()) return status;
  } else {
    while (lines.ReadLine(&line)) {
      if (options.json) {
        if (IsBlank(line)) continue;
        text = line;
        first_line = lines.line_number();
      } else if (!IsSeparator(line)) {
        text.append(line).push_back('\n');
        continue;
      }
      ++record;
      if (int status = encode_one()) return status;
      text.clear();
      first_line = lines.line_number() + 1;
    }
    // A last text record may lack its separator line.
    if (!options.json && !IsBlank(text)) {
      ++record;
      if (int status = encode_one()) return status;
    }
  }
  if (int status = read_failed()) return status;
  return 0;
}

}  // namespace tarvesh
