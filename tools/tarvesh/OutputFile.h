// Where the tarvesh command writes: standard output, or a named file written
// through a temporary file in the same directory that is synced and renamed
// over the name only once everything is written. A failed or interrupted run
// removes the temporary file and leaves an existing file of that name as it
// was.
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

  // Opens standard output (an empty path) or a temporary file beside `path`.
  // On failure returns false with *error set.
  bool Open(const std::string& path, std::string* error);

  google::protobuf::io::ZeroCopyOutputStream* stream() { return stream_.get(); }

  // Flushes; for a named file also syncs, renames into place and syncs the
  // directory. On failure returns false with *error set.
  bool Commit(std::string* error);

  // Why the stream refused a write, as text.
  std::string WriteError() const;

  // The name to use in messages.
  const std::string& name() const { return name_; }

 private:
  void Discard();

  std::string path_;
  std::string temp_path_;
  std::string name_ = "(standard output)";
  int fd_ = -1;
  std::unique_ptr<google::protobuf::io::FileOutputStream> stream_;
};

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_OUTPUT_FILE_H
