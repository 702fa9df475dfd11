#include "OutputFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace tarvesh {
namespace {

// The temporary file to remove if a signal ends the program; a fixed buffer,
// so the handler calls only async-signal-safe functions.
char pending_temp_path[PATH_MAX];
volatile sig_atomic_t have_pending_temp = 0;

void RemoveTempAndDie(int signal_number) {
  if (have_pending_temp) unlink(pending_temp_path);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

void WatchSignals(const std::string& temp_path) {
  if (temp_path.size() >= sizeof pending_temp_path) return;
  std::memcpy(pending_temp_path, temp_path.c_str(), temp_path.size() + 1);
  have_pending_temp = 1;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(signal_number, RemoveTempAndDie);
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ErrnoText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path, std::string* error) {
  if (path.empty()) {
    stream_ = std::make_unique<google::protobuf::io::FileOutputStream>(STDOUT_FILENO);
    return true;
  }
  path_ = path;
  name_ = path;
  const size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  temp_path_ = DirectoryOf(path) + "/." + base + ".tarvesh-XXXXXX";
  fd_ = mkstemp(&temp_path_[0]);
  if (fd_ < 0) {
    *error = ErrnoText("cannot create a temporary file in " + DirectoryOf(path), errno);
    temp_path_.clear();
    return false;
  }
  WatchSignals(temp_path_);
  // An existing file keeps its permissions; a new one gets the usual 0666
  // less the umask, not mkstemp's 0600.
  struct stat existing;
  mode_t mode;
  if (stat(path.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  fchmod(fd_, mode);
  stream_ = std::make_unique<google::protobuf::io::FileOutputStream>(fd_);
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (!stream_->Flush()) {
    *error = ErrnoText("write failed", stream_->GetErrno());
    return false;
  }
  if (path_.empty()) return true;
  if (fsync(fd_) != 0) {
    *error = ErrnoText("fsync failed", errno);
    return false;
  }
  stream_.reset();
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0) {
    *error = ErrnoText("close failed", errno);
    return false;
  }
  if (rename(temp_path_.c_str(), path_.c_str()) != 0) {
    *error = ErrnoText("cannot rename the temporary file into place", errno);
    return false;
  }
  temp_path_.clear();
  have_pending_temp = 0;
  // The rename itself reaches the disk with the directory.
  const int directory = open(DirectoryOf(path_).c_str(), O_RDONLY | O_DIRECTORY);
  if (directory >= 0) {
    fsync(directory);
    close(directory);
  }
  return true;
}

std::string OutputFile::WriteError() const {
  const int error = stream_ != nullptr ? stream_->GetErrno() : 0;
  return error != 0 ? ErrnoText("write failed", error) : "write failed";
}

void OutputFile::Discard() {
  stream_.reset();
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_path_.empty()) {
    have_pending_temp = 0;
    unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace tarvesh
