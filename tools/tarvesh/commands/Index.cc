// SPDX-License-Identifier: BSD-3-Clause
// tarvesh index: each record's number, the offset of its bytes (past its
// length prefix) and their length, read by the length prefixes only: memory
// stays constant whatever the stream.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "Command.h"
#include "Diagnostics.h"
#include "RecordReader.h"
#include "Session.h"
#include "WriteAll.h"

namespace tarvesh {

int Index(Session& session) {
  const Options& options = session.options();
  if (int opened = session.OpenInput(options.arguments)) return opened;
  if (int opened = session.OpenOutput()) return opened;
  RecordReader reader(&session.input(), options.delimited, &session.input());
  RecordReader::Status status;
  while ((status = reader.Skip()) == RecordReader::kRecord) {
    char line[96];
    std::snprintf(line, sizeof line,
                  options.json ? "{\"record\":%" PRIu64 ",\"offset\":%" PRIu64 ",\"length\":%" PRIu64 "}\n"
                               : "%" PRIu64 " %" PRIu64 " %" PRIu64 "\n",
                  reader.records(), reader.body_start(), reader.offset() - reader.body_start());
    if (!WriteAll(session.output(), line)) return session.WriteFailed();
  }
  if (status == RecordReader::kError) return session.RecordFailed(reader.error());
  return 0;
}

}  // namespace tarvesh
