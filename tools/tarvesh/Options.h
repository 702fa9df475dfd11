// SPDX-License-Identifier: BSD-3-Clause
// The tarvesh command's options: what a command line asks for, parsed with
// getopt_long, and the help text each command shows of them.
#ifndef TARVESH_TOOLS_OPTIONS_H
#define TARVESH_TOOLS_OPTIONS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarvesh {

struct Command;

struct Options {
  std::string command;
  std::vector<std::string> arguments;
  bool delimited = false;
  bool json = false;
  bool force = false;
  bool hex = false;
  bool proto_names = false;
  bool defaults = false;
  bool compact = false;
  bool strict = false;
  bool enums_as_ints = false;  // JSON
  bool deterministic = false;  // JSON map order
  bool int64_as_numbers = false;  // JSON
  bool help = false;
  std::string format = "text";
  std::string type;  // --type
  std::string output;
  bool output_given = false;
  uint64_t skip = 0;
  uint64_t count = UINT64_MAX;
  uint64_t record = 0;   // --record, from 1; 0 when not given
  bool selects = false;  // --skip, --count or --record given
  std::vector<std::string> proto_paths;
  std::vector<std::string> descriptor_sets;
  // Each option given, by its code and as it was written.
  std::vector<std::pair<int, std::string>> given;
};

// Parses the command line into *options: 0 to go on, -1 when it was
// answered already (--version, --help with no command), else the usage
// error's status.
int ParseOptions(int argc, char** argv, Options* options);

// The general help, or one command's when `only` is given.
void PrintHelp(const Command* only);

// True when `command` takes the option of `code` (its letter; see Options.cc).
bool TakesOption(const Command& command, char code);

}  // namespace tarvesh

#endif  // TARVESH_TOOLS_OPTIONS_H
