// SPDX-License-Identifier: BSD-3-Clause
// Where the tarvesh command writes: standard output ("" or "-") or another
// of its open descriptors (/dev/stdout, /dev/fd/N), a device,
// FIFO or socket written directly, or a regular file (new, or reached through
// symlinks) replaced atomically: the output goes to an unnamed temporary file
// in the target's directory (O_TMPFILE; a named hidden file where the file
// system refuses it) that is synced, linked and renamed over the target only
// once everything is written; it keeps the replaced file's mode, owner and
// group where the run may give them. A failed run, or one ended by a signal a
// handler can catch, leaves nothing beside the target and an existing target
// as it was; only a SIGKILL while a named temporary exists leaves it behind.
#ifndef TARVESH_TOOLS_OUTPUT_FILE_H
#define TARVESH_TOOLS_OUTPUT_FILE_H

#include <memory>
#include <string>

#include <google/protobuf/io/zero_copy_stream_impl.h>

namespace tarvesh {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // removes the temporary file unless Commit() succeeded
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens standard output ("" or "-"), `path` itself when it is not a regular
  // file, or a temporary file beside the regular file it names. A target
  // nobody may write is refused unless `force`. On failure returns false with
  // *error set.
  bool Open(const std::string& path, bool force, std::string* error);

  google::protobuf::io::ZeroCopyOutputStream* stream() { return stream_.get(); }

  // Ends the output of a run, the one place that decides what becomes of it.
  // When the run `succeeded`: flushes; for a replaced file also syncs, names
  // it, renames it into place and syncs the directory. When it failed: a
  // replacement is discarded, the target left as it was; standard output, a
  // device or FIFO gets what was written (it cannot be taken back). On
  // failure returns false with *error set.
  bool Finish(bool succeeded, std::string* error);

  // Why the stream refused a write, as text.
  std::string WriteError() const;

  // True when the output is a terminal.
  bool IsTerminal() const;

  // The name to use in messages.
  const std::string& name() const { return name_; }

 private:
  bool Commit(std::string* error);
  bool OpenTemporary(std::string* error);
  bool CloseOwned(std::string* error);
  void Discard();

  std::string target_;     // the regular file to replace; empty otherwise
  std::string directory_;  // target_'s directory
  std::string temp_path_;  // a named temporary file, when O_TMPFILE is refused
  bool unnamed_ = false;   // fd_ is an O_TMPFILE file
  std::string name_ = "standard output";
  int fd_ = -1;
  bool owns_fd_ = false;
  std::unique_ptr<google::protobuf::io::FileOutputStream> stream_;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_OUTPUT_FILE_H
