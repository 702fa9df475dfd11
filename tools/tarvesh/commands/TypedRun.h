// SPDX-License-Identifier: BSD-3-Clause
// What decode and encode share: TYPE [FILE]... read from the arguments, the type
// found, the input and the output opened.
#ifndef TARVESH_TOOLS_COMMANDS_TYPED_RUN_H
#define TARVESH_TOOLS_COMMANDS_TYPED_RUN_H

#include <google/protobuf/descriptor.h>

#include "Diagnostics.h"
#include "Session.h"
#include "TypeNames.h"

namespace tarvesh {

inline int OpenTypedRun(Session& session, const google::protobuf::Descriptor** type) {
  const Options& options = session.options();
  if (options.arguments.empty()) return UsageError(options.command + " needs a TYPE");
  *type = FindType(options.arguments[0]);
  if (*type == nullptr) return UnknownType(options.arguments[0]);
  if (int status = session.OpenInput({options.arguments.begin() + 1, options.arguments.end()})) return status;
  return session.OpenOutput();
}

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_COMMANDS_TYPED_RUN_H
