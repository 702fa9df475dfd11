// SPDX-License-Identifier: BSD-3-Clause
// tarvesh assemble: the bytes that raw text shows, so that
// `tarvesh raw FILE | tarvesh assemble -o COPY` gives FILE's bytes.
#include <string>

#include "Command.h"
#include "Diagnostics.h"
#include "RawAssembler.h"
#include "Session.h"
#include "WriteAll.h"

namespace tarvesh {

int Assemble(Session& session) {
  const Options& options = session.options();
  if (int opened = session.OpenInput(options.arguments)) return opened;
  if (int opened = session.OpenOutput()) return opened;
  if (session.OutputIsTerminal()) {
    return UsageError("will not write binary records to a terminal; use -o FILE or redirect");
  }
  LineReader lines(&session.input());
  RawAssembler assembler;
  std::string line, bytes, error;
  while (lines.ReadLine(&line)) {
    bytes.clear();
    if (!assembler.AddLine(line, &bytes, &error)) {
      if (!session.input().ReadError().empty()) break;
      return Failure(session.input().name(), "line " + std::to_string(lines.line_number()) + ": " + error);
    }
    if (!WriteAll(session.output(), bytes)) return session.WriteFailed();
  }
  const std::string read_error = session.input().ReadError();
  if (!read_error.empty()) return Failure(session.input().name(), read_error);
  if (!assembler.Finish(&error)) return Failure(session.input().name(), error);
  return 0;
}

}  // namespace tarvesh
