// SPDX-License-Identifier: BSD-3-Clause
// tarvesh count: the records of a delimited stream.
#include <cstdio>

#include "Command.h"
#include "Diagnostics.h"
#include "RecordReader.h"
#include "Session.h"

namespace tarvesh {

namespace gp = google::protobuf;

int Count(Session& session) {
  const Options& options = session.options();
  if (int opened = session.OpenInput(options.arguments)) return opened;
  RecordReader reader(&session.input(), true, &session.input());
  RecordReader::Status status;
  while ((status = reader.Skip()) == RecordReader::kRecord) {
  }
  if (status == RecordReader::kError) return session.RecordFailed(reader.error());
  session.input().FinishProgress();
  std::printf("%llu\n", static_cast<unsigned long long>(reader.records()));
  return 0;
}

}  // namespace tarvesh
