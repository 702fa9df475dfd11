// SPDX-License-Identifier: BSD-3-Clause
// One run of a tarvesh command: its options, its input and its output. Every
// command writes through the Session's output and returns its status to
// End(), the one place that decides what happens to the output: it is handed
// over (a replaced file renamed into place) only when the command succeeded;
// a failed run leaves an existing -o target as it was.
#ifndef TARVESH_TOOLS_SESSION_H
#define TARVESH_TOOLS_SESSION_H

#include <string>
#include <vector>

#include <google/protobuf/io/zero_copy_stream.h>

#include "Diagnostics.h"
#include "Input.h"
#include "Options.h"
#include "OutputFile.h"
#include "RecordReader.h"

namespace tarvesh {

class Session {
 public:
  explicit Session(const Options& options) : options_(options) {}

  const Options& options() const { return options_; }

  // Opens `paths`, read in turn as one stream (standard input when there
  // are none, or for "-"): 0, else a usage error's status.
  int OpenInput(const std::vector<std::string>& paths);
  Input& input() { return input_; }

  // Opens -o's target, or standard output: 0, else a failure's status.
  int OpenOutput();
  google::protobuf::io::ZeroCopyOutputStream* output() { return output_.stream(); }
  const std::string& output_name() const { return output_.name(); }
  // True when the output is a terminal (standard output, /dev/tty, ...).
  bool OutputIsTerminal() const { return output_open_ && output_.IsTerminal(); }

  // The failure's status after the output refused a write.
  int WriteFailed();
  // The failure's status after the input's records failed.
  int RecordFailed(const RecordError& error);

  // Ends the run with the command's status: hands the output over when it is
  // 0 (a failure to do so fails the run), discards a replacement otherwise.
  int End(int status);

 private:
  const Options& options_;
  Input input_;
  OutputFile output_;
  bool output_open_ = false;
};

// The failure of a --record the stream does not reach, once its records
// ended with `status`; else 0.
inline int MissingRecord(const Options& options, RecordReader::Status status, const RecordReader& reader,
                         const std::string& input_name) {
  if (options.record == 0 || status != RecordReader::kEnd || reader.records() >= options.record) return 0;
  return Failure(input_name, "no record " + std::to_string(options.record) + ": the stream holds " +
                                 std::to_string(reader.records()));
}

// Passes over the records --skip names; kRecord when the stream goes on.
inline RecordReader::Status SkipRecords(const Options& options, RecordReader* reader) {
  for (uint64_t i = 0; i < options.skip; ++i) {
    const RecordReader::Status status = reader->Skip();
    if (status != RecordReader::kRecord) return status;
  }
  return RecordReader::kRecord;
}

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_SESSION_H
