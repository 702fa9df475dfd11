// SPDX-License-Identifier: BSD-3-Clause
// tarvesh types: the record types TYPE may name.
#include <cstdio>

#include "Command.h"
#include "Diagnostics.h"
#include "Session.h"
#include "TypeNames.h"

namespace tarvesh {

namespace gp = google::protobuf;

int Types(Session& session) {
  const Options& options = session.options();
  if (!options.arguments.empty()) return UsageError("types takes no arguments");
  for (const gp::Descriptor* type : AllTypes()) {
    std::printf("%-30s %s\n", SchemaName(type).c_str(), type->full_name().c_str());
  }
  return 0;
}

}  // namespace tarvesh
