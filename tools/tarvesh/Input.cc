// SPDX-License-Identifier: BSD-3-Clause
#include "Input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarvesh {
namespace {

constexpr int64_t kProgressAfterMs = 2000;
constexpr int64_t kProgressEveryMs = 250;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

Input::~Input() {
  FinishProgress();
  file_.reset();
  for (const File& file : files_) {
    if (file.owned) close(file.fd);
  }
}

bool Input::Open(const std::vector<std::string>& paths, std::string* error) {
  for (const std::string& path : paths.empty() ? std::vector<std::string>{""} : paths) {
    File file;
    if (path.empty() || path == "-") {
      file.name = "standard input";
      file.fd = STDIN_FILENO;
    } else {
      file.name = path;
      file.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (file.fd < 0) {
        *error = path + ": " + std::strerror(errno);
        return false;
      }
      file.owned = true;
    }
    files_.push_back(file);
    struct stat status;
    if (fstat(file.fd, &status) == 0) {
      if (S_ISDIR(status.st_mode)) {
        *error = file.name + ": " + std::strerror(EISDIR);
        return false;
      }
      files_.back().regular = S_ISREG(status.st_mode);
      if (files_.back().regular) total_size_ += static_cast<uint64_t>(status.st_size);
    }
  }
  name_ = files_[0].name;
  terminal_ = isatty(STDERR_FILENO) != 0;
  start_ms_ = NowMs();
  file_ = std::make_unique<google::protobuf::io::FileInputStream>(files_[0].fd, 1 << 16);
  if (const char* fail_at = std::getenv("TARVESH_FAIL_READ_AT")) fail_at_ = std::atoll(fail_at);
  return true;
}

bool Input::NextFile() {
  if (current_ + 1 >= files_.size()) return false;
  base_ += file_->ByteCount();
  ++current_;
  name_ = files_[current_].name;
  file_ = std::make_unique<google::protobuf::io::FileInputStream>(files_[current_].fd, 1 << 16);
  return true;
}

bool Input::ReadFailed(uint64_t* offset, std::string* what) const {
  if (failed_errno_ == 0) return false;
  *offset = static_cast<uint64_t>(failed_at_);
  *what = std::string("read failed: ") + std::strerror(failed_errno_);
  return true;
}

std::string Input::ReadError() const {
  uint64_t offset;
  std::string what;
  if (!ReadFailed(&offset, &what)) return "";
  return "byte " + std::to_string(offset) + ": " + what;
}

bool Input::Next(const void** data, int* size) {
  if (failed_errno_ != 0) return false;
  if (hidden_ > 0) {
    failed_errno_ = EIO;
    failed_at_ = ByteCount();
    return false;
  }
  // The files are read in turn, as one stream.
  while (!file_->Next(data, size)) {
    if (file_->GetErrno() != 0) {
      failed_errno_ = file_->GetErrno();
      failed_at_ = base_ + file_->ByteCount();
      return false;
    }
    if (!NextFile()) return false;
  }
  const int64_t read = base_ + file_->ByteCount();
  if (fail_at_ >= 0 && read > fail_at_) {
    // Hands out the bytes before the failing one, hiding the rest; the read
    // after them fails.
    const int64_t keep = *size - (read - fail_at_);
    if (keep <= 0) {
      file_->BackUp(*size);
      failed_errno_ = EIO;
      failed_at_ = ByteCount();
      return false;
    }
    hidden_ = static_cast<int>(*size - keep);
    *size = static_cast<int>(keep);
  }
  // A run that lasts shows where it is, whatever the input's size.
  if (terminal_ && NowMs() - start_ms_ >= kProgressAfterMs) ShowProgress();
  return true;
}

void Input::BackUp(int count) {
  file_->BackUp(count + hidden_);
  hidden_ = 0;
}

bool Input::Skip(int count) {
  if (hidden_ > 0) BackUp(0);
  const bool fails = fail_at_ >= 0 && ByteCount() + count > fail_at_;
  int64_t left = fails ? fail_at_ - ByteCount() : count;
  while (left > 0) {
    // A regular file skips by seeking, which passes its end without
    // complaint: a skip stops at the file's end and goes on in the next
    // file; past the last one it fails, as a read there would.
    int64_t now = left;
    if (files_[current_].regular) {
      struct stat status;
      const int64_t size = fstat(files_[current_].fd, &status) == 0 ? status.st_size : 0;
      now = std::min(left, std::max<int64_t>(0, size - file_->ByteCount()));
    }
    const int64_t before = file_->ByteCount();
    if (now > 0 && !file_->Skip(static_cast<int>(now)) && file_->GetErrno() != 0) {
      if (failed_errno_ == 0) {
        failed_errno_ = file_->GetErrno();
        failed_at_ = ByteCount();
      }
      return false;
    }
    left -= file_->ByteCount() - before;
    if (left > 0 && !NextFile()) return false;
  }
  if (fails) {
    failed_errno_ = EIO;
    failed_at_ = ByteCount();
    return false;
  }
  return true;
}

int64_t Input::ByteCount() const { return base_ + file_->ByteCount() - hidden_; }

void Input::ShowProgress() {
  const int64_t now = NowMs();
  if (progress_shown_ && now - last_progress_ms_ < kProgressEveryMs) return;
  last_progress_ms_ = now;
  progress_shown_ = true;
  const double mib = static_cast<double>(ByteCount()) / (1 << 20);
  if (total_size_ > 0) {
    std::fprintf(stderr, "\rtarvesh: %s: %.0f of %.0f MiB (%.0f%%)", name_.c_str(), mib,
                 static_cast<double>(total_size_) / (1 << 20),
                 100.0 * static_cast<double>(ByteCount()) / static_cast<double>(total_size_));
  } else {
    std::fprintf(stderr, "\rtarvesh: %s: %.0f MiB", name_.c_str(), mib);
  }
  std::fflush(stderr);
}

void Input::FinishProgress() {
  if (!progress_shown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progress_shown_ = false;
}

bool LineReader::ReadLine(std::string* line) {
  line->clear();
  bool any = false;
  while (true) {
    if (size_ == 0) {
      const void* data;
      if (!input_->Next(&data, &size_)) {
        size_ = 0;
        if (any) ++line_number_;
        return any;
      }
      data_ = static_cast<const char*>(data);
      continue;
    }
    any = true;
    const void* newline = std::memchr(data_, '\n', static_cast<size_t>(size_));
    if (newline == nullptr) {
      line->append(data_, static_cast<size_t>(size_));
      size_ = 0;
      continue;
    }
    const int length = static_cast<int>(static_cast<const char*>(newline) - data_);
    line->append(data_, static_cast<size_t>(length));
    data_ += length + 1;
    size_ -= length + 1;
    ++line_number_;
    return true;
  }
}

}  // namespace tarvesh
