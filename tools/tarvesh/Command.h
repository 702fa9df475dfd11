// SPDX-License-Identifier: BSD-3-Clause
// The tarvesh commands: each is a function of commands/ that reads its
// arguments from a Session and returns the exit status; the table
// (commands/CommandTable.cc) names them with the options they take and their
// help. A new command is one file and one line of the table.
#ifndef TARVESH_TOOLS_COMMAND_H
#define TARVESH_TOOLS_COMMAND_H

#include <vector>

namespace tarvesh {

class Session;

struct Command {
  const char* name;
  int (*run)(Session&);
  const char* options;  // the codes of the options it takes (Options.cc)
  const char* synopsis;
  const char* summary;
};

const std::vector<Command>& Commands();

int Decode(Session& session);
int Encode(Session& session);
int Guess(Session& session);
int Stats(Session& session);
int Raw(Session& session);
int Count(Session& session);
int Slice(Session& session);
int Index(Session& session);
int Assemble(Session& session);
int Types(Session& session);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_COMMAND_H
