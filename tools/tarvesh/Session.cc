// SPDX-License-Identifier: BSD-3-Clause
#include "Session.h"

#include "Diagnostics.h"

namespace tarvesh {

int Session::OpenInput(const std::vector<std::string>& paths) {
  std::string error;
  return input_.Open(paths, &error) ? 0 : UsageError(error);
}

int Session::OpenOutput() {
  std::string error;
  if (!output_.Open(options_.output, options_.force, &error)) return Failure(options_.output, error);
  output_open_ = true;
  return 0;
}

int Session::WriteFailed() {
  input_.FinishProgress();
  return Failure(output_.name(), output_.WriteError());
}

int Session::RecordFailed(const RecordError& error) {
  input_.FinishProgress();
  return Failure(input_.name(),
                 RecordPrefix(error.record) + "byte " + std::to_string(error.offset) + ": " + error.what);
}

int Session::End(int status) {
  input_.FinishProgress();
  std::string error;
  if (output_open_ && !output_.Finish(status == 0, &error) && status == 0) {
    status = Failure(output_.name(), error);
  }
  if (status == 0) status = FinishStdout();
  return status;
}

}  // namespace tarvesh
