// SPDX-License-Identifier: BSD-3-Clause
#include "OutputFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace tarvesh {
namespace {

// A named temporary file to remove if a signal ends the program; a fixed
// buffer, so the handler calls only async-signal-safe functions.
char pending_temp_path[PATH_MAX];
volatile sig_atomic_t have_pending_temp = 0;

void RemoveTempAndDie(int signal_number) {
  if (have_pending_temp) unlink(pending_temp_path);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

// Every signal whose default action ends the program and that a handler
// can catch.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,
                                  SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE,   SIGALRM, SIGTERM,
                                  SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGSYS};

// Holds the ending signals back while a named temporary file is made and
// recorded for RemoveTempAndDie, so that none comes between the two.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigemptyset(&all);
    for (int signal_number : kEndingSignals) sigaddset(&all, signal_number);
    sigprocmask(SIG_BLOCK, &all, &previous_);
  }
  ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// Records the named temporary file and watches the ending signals, except
// those the caller ignores (as nohup does): those stay ignored.
void WatchSignals(const std::string& temp_path) {
  if (temp_path.size() >= sizeof pending_temp_path) return;
  std::memcpy(pending_temp_path, temp_path.c_str(), temp_path.size() + 1);
  have_pending_temp = 1;
  for (int signal_number : kEndingSignals) {
    struct sigaction current;
    if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    ::signal(signal_number, RemoveTempAndDie);
  }
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ErrnoText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

// Follows `path` while it is a symlink, to the file a write through it
// reaches (which need not exist yet).
bool ResolveLinks(std::string* path, std::string* error) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status;
    if (lstat(path->c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink(path->c_str(), &target[0], target.size());
    if (length < 0) {
      *error = ErrnoText("cannot read the symlink", errno);
      return false;
    }
    target.resize(static_cast<size_t>(length));
    *path = target[0] == '/' ? target : DirectoryOf(*path) + "/" + target;
  }
  *error = ErrnoText("cannot follow the symlink", ELOOP);
  return false;
}

// The descriptor a path names that reaches one of the program's own open
// files (/dev/stdout, /dev/fd/N, /proc/self/fd/N), or -1: such a file is
// written through that descriptor, as with "-", never replaced.
int OwnDescriptor(const std::string& path) {
  if (path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const size_t length = std::strlen(prefix);
    if (path.compare(0, length, prefix) != 0 || path.size() == length ||
        path.find_first_not_of("0123456789", length) != std::string::npos || path.size() - length > 6) {
      continue;
    }
    return std::atoi(path.c_str() + length);
  }
  return -1;
}

std::string RandomSuffix() {
  static std::mt19937_64 generator(std::random_device{}() ^ static_cast<uint64_t>(getpid()));
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix;
  for (int i = 0; i < 6; ++i) suffix.push_back(kChars[generator() % (sizeof kChars - 1)]);
  return suffix;
}

}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path, bool force, std::string* error) {
  if (path.empty() || path == "-") {
    fd_ = STDOUT_FILENO;
    stream_ = std::make_unique<google::protobuf::io::FileOutputStream>(fd_);
    return true;
  }
  name_ = path;
  const int own = OwnDescriptor(path);
  if (own >= 0) {
    fd_ = own;
    stream_ = std::make_unique<google::protobuf::io::FileOutputStream>(fd_);
    return true;
  }
  std::string target = path;
  if (!ResolveLinks(&target, error)) return false;
  struct stat status;
  const bool exists = stat(target.c_str(), &status) == 0;
  if (exists && S_ISDIR(status.st_mode)) {
    *error = std::strerror(EISDIR);
    return false;
  }
  if (exists && !S_ISREG(status.st_mode)) {
    // A device, FIFO or socket: written in place, never replaced.
    fd_ = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
      *error = ErrnoText("cannot open", errno);
      return false;
    }
    owns_fd_ = true;
    stream_ = std::make_unique<google::protobuf::io::FileOutputStream>(fd_);
    return true;
  }
  // A file without write permission is replaced only when asked, as a
  // shell's > refuses it.
  if (exists && !force && ((status.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) {
    *error = "is read-only; --force replaces it";
    return false;
  }
  target_ = target;
  directory_ = DirectoryOf(target);
  if (!OpenTemporary(error)) return false;
  // An existing file keeps its permissions; a new one gets 0666 less the
  // umask.
  mode_t mode;
  if (exists) {
    mode = status.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  // A replaced file also keeps its owner and group where the run may give
  // them (as root, or a group of the user's own), as sed -i does; before the
  // mode, which a change of owner may clear bits of.
  if (exists && fchown(fd_, status.st_uid, status.st_gid) != 0 &&
      fchown(fd_, static_cast<uid_t>(-1), status.st_gid) != 0) {
    // Neither may be given: the file becomes the user's, as a new one would.
  }
  fchmod(fd_, mode);
  stream_ = std::make_unique<google::protobuf::io::FileOutputStream>(fd_);
  return true;
}

bool OutputFile::OpenTemporary(std::string* error) {
  // TARVESH_NO_TMPFILE=1 makes the tests take the named file's path, as on a
  // file system that refuses O_TMPFILE.
  static const bool named_only = std::getenv("TARVESH_NO_TMPFILE") != nullptr;
  fd_ = named_only ? -1 : open(directory_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (named_only) errno = EOPNOTSUPP;
  if (fd_ >= 0) {
    unnamed_ = true;
    owns_fd_ = true;
    return true;
  }
  if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    *error = ErrnoText("cannot create a temporary file in " + directory_, errno);
    return false;
  }
  temp_path_ = directory_ + "/." + BaseOf(target_) + ".tarvesh-XXXXXX";
  SignalsHeld held;
  fd_ = mkstemp(&temp_path_[0]);
  if (fd_ < 0) {
    *error = ErrnoText("cannot create a temporary file in " + directory_, errno);
    temp_path_.clear();
    return false;
  }
  owns_fd_ = true;
  WatchSignals(temp_path_);
  return true;
}

bool OutputFile::Finish(bool succeeded, std::string* error) {
  if (stream_ == nullptr) return true;
  if (succeeded) return Commit(error);
  if (target_.empty()) stream_->Flush();
  Discard();
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (!stream_->Flush()) {
    *error = ErrnoText("write failed", stream_->GetErrno());
    return false;
  }
  if (target_.empty()) {
    // Standard output or a device: the data is handed over once written.
    return !owns_fd_ || CloseOwned(error);
  }
  if (fsync(fd_) != 0) {
    *error = ErrnoText("fsync failed", errno);
    return false;
  }
  if (unnamed_) {
    // The unnamed file gets a temporary name, which is then renamed over the
    // target: a rename replaces a file in one step, a link does not.
    const std::string fd_path = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100 && temp_path_.empty(); ++attempt) {
      const std::string candidate = directory_ + "/." + BaseOf(target_) + ".tarvesh-" + RandomSuffix();
      SignalsHeld held;
      if (linkat(AT_FDCWD, fd_path.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temp_path_ = candidate;
        WatchSignals(temp_path_);
      } else if (errno != EEXIST) {
        *error = ErrnoText("cannot name the temporary file", errno);
        return false;
      }
    }
    if (temp_path_.empty()) {
      *error = ErrnoText("cannot name the temporary file", EEXIST);
      return false;
    }
  }
  if (!CloseOwned(error)) return false;
  {
    // Renamed, the temporary's name is the target's: no signal may come
    // before it is forgotten.
    SignalsHeld held;
    if (rename(temp_path_.c_str(), target_.c_str()) != 0) {
      *error = ErrnoText("cannot rename the temporary file into place", errno);
      return false;
    }
    temp_path_.clear();
    have_pending_temp = 0;
  }
  // The rename itself reaches the disk with the directory.
  const int directory = open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    fsync(directory);
    close(directory);
  }
  return true;
}

// The stream released and the descriptor this object opened closed; a
// close can report a failed write-back, so its failure fails the run.
bool OutputFile::CloseOwned(std::string* error) {
  stream_.reset();
  const int fd = fd_;
  fd_ = -1;
  owns_fd_ = false;
  if (close(fd) != 0) {
    *error = ErrnoText("close failed", errno);
    return false;
  }
  return true;
}

bool OutputFile::IsTerminal() const { return fd_ >= 0 && isatty(fd_) != 0; }

std::string OutputFile::WriteError() const {
  const int error = stream_ != nullptr ? stream_->GetErrno() : 0;
  return error != 0 ? ErrnoText("write failed", error) : "write failed";
}

void OutputFile::Discard() {
  stream_.reset();
  if (owns_fd_ && fd_ >= 0) close(fd_);
  fd_ = -1;
  owns_fd_ = false;
  if (!temp_path_.empty()) {
    have_pending_temp = 0;
    unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace tarvesh
