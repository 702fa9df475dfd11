// SPDX-License-Identifier: BSD-3-Clause
// tarvesh: looks into and writes the recording store's record files through
// the library's message classes. See `tarvesh --help` and the README.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <google/protobuf/stubs/common.h>

#include "Command.h"
#include "Diagnostics.h"
#include "Options.h"
#include "Schemas.h"
#include "Session.h"
#include "TypeNames.h"

namespace {

using namespace tarvesh;

// Opens /dev/null on any of descriptors 0 to 2 that is closed, so that no
// file the program opens takes their place: read-only, so that standard
// input reads as empty and a write to a closed standard output fails.
bool OpenStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", O_RDONLY);
    if (opened != fd) return false;
  }
  return true;
}

// A schema that does not load is a usage error, named as the schema's.
int SchemaError(const std::string& error) {
  Failure("schema", error);
  return kUsage;
}

// Runs `command`; its output is handed over only when it succeeds.
int RunCommand(const Options& options, const Command& command) {
  Session session(options);
  return session.End(command.run(session));
}

// Loads the schemas that -I with leading .proto arguments and
// --descriptor-set name, then runs the command on the other arguments.
int RunWithSchemas(Options options, const Command& command) {
  auto is_proto = [](const std::string& argument) {
    return argument.size() > 6 && argument.compare(argument.size() - 6, 6, ".proto") == 0;
  };
  std::vector<std::string> proto_files;
  while (!options.arguments.empty() && is_proto(options.arguments.front())) {
    proto_files.push_back(options.arguments.front());
    options.arguments.erase(options.arguments.begin());
  }
  if (proto_files.empty() && options.descriptor_sets.empty()) {
    if (!options.proto_paths.empty()) return UsageError("-I needs a .proto file to read");
    return RunCommand(options, command);
  }
  Schemas schemas;
  for (const std::string& directory : options.proto_paths) schemas.AddProtoPath(directory);
  std::string error;
  for (const std::string& set : options.descriptor_sets) {
    if (access(set.c_str(), R_OK) != 0) return UsageError(set + ": " + std::strerror(errno));
    if (!schemas.LoadDescriptorSet(set, &error)) return SchemaError(error);
  }
  for (const std::string& file : proto_files) {
    if (access(file.c_str(), R_OK) != 0) return UsageError(file + ": " + std::strerror(errno));
    if (!schemas.LoadProtoFile(file, &error)) return SchemaError(error);
  }
  SetUserSchemas(&schemas);
  const int status = RunCommand(options, command);
  SetUserSchemas(nullptr);
  return status;
}

int Main(int argc, char** argv) {
  Options options;
  if (int status = ParseOptions(argc, argv, &options)) return status < 0 ? FinishStdout() : status;
  for (const Command& command : Commands()) {
    if (options.command != command.name) continue;
    if (options.help) {
      PrintHelp(&command);
      return FinishStdout();
    }
    for (const auto& given : options.given) {
      if (!TakesOption(command, static_cast<char>(given.first))) {
        return UsageError(options.command + " does not take " + given.second);
      }
    }
    if (options.selects && !options.delimited) return UsageError("--skip, --count and --record need -d");
    if ((options.proto_names || options.defaults || options.enums_as_ints || options.int64_as_numbers ||
         options.deterministic) &&
        !options.json) {
      return UsageError(
          "--proto-names, --defaults, --enums-as-ints, --int64-as-numbers and --deterministic apply to JSON (--json)");
    }
    if (!TakesOption(command, 'I')) return RunCommand(options, command);
    return RunWithSchemas(options, command);
  }
  std::vector<std::string> names;
  for (const Command& command : Commands()) names.push_back(command.name);
  return UsageError("unknown command '" + options.command + "'" + DidYouMean(options.command, names));
}

}  // namespace

int main(int argc, char** argv) {
  if (!OpenStandardDescriptors()) return kBadInput;
  int status;
  try {
    status = Main(argc, argv);
  } catch (const std::bad_alloc&) {
    // Everything the run opened is closed and its temporary file removed
    // on the way here.
    std::fputs("tarvesh: out of memory\n", stderr);
    status = kBadInput;
  }
  google::protobuf::ShutdownProtobufLibrary();
  return status;
}
