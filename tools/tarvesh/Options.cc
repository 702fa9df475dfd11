// SPDX-License-Identifier: BSD-3-Clause
#include "Options.h"

#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Command.h"
#include "Diagnostics.h"

namespace tarvesh {
namespace {

// Each option's code (its letter; 's', 'c', 'r', 'D', 'F', 'P', 'E', 'C', 'S', 'N', 'M', 'L'
// for long-only ones) and its help lines.
struct OptionHelp {
  char code;
  const char* text;
};

const OptionHelp kOptionHelp[] = {
    {'d', "  -d, --delimited     a stream of records, each preceded by its length as a\n"
          "                      varint; as text, each record ends with a line \"---\",\n"
          "                      as JSON, one record per line\n"},
    {'j', "  -j, --json          JSON instead of text format (stats: --format=json)\n"},
    {'P', "      --proto-names   JSON field names as in the schema, not lowerCamelCase\n"},
    {'E', "      --defaults      JSON shows fields at their default values too\n"},
    {'C', "      --compact       JSON and text format on one line per record\n"},
    {'N', "      --enums-as-ints JSON gives enum values as numbers\n"},
    {'M', "      --deterministic JSON gives map entries in key order\n"},
    {'L', "      --int64-as-numbers  JSON gives 64-bit integers as numbers, not strings\n"},
    {'S', "      --strict        fail (exit 1) on unknown fields, enum values the enum\n"
          "                      does not name, or anything else the output would\n"
          "                      lose (slice: fewer records than selected)\n"},
    {'F', "      --format=FORMAT text (the default), json or csv\n"},
    {'o', "  -o, --output=FILE   write FILE instead of standard output (\"-\"); a\n"
          "                      regular file is replaced only when the whole run\n"
          "                      succeeds, a device or FIFO is written\n"},
    {'f', "  -f, --force         replace a read-only FILE of -o\n"},
    {'x', "  -x, --hex           byte offsets in hex (JSON: numbers)\n"},
    {'t', "  -t, --type=TYPE     name the fields TYPE knows; walk its message fields\n"
          "                      as their types\n"},
    {'I', "  -I, --proto_path=DIR  where SCHEMA.proto and its imports are found (its\n"
          "                      own directory by default); TYPE may then name its\n"
          "                      types\n"},
    {'D', "      --descriptor-set=FILE  the types of a FileDescriptorSet\n"},
    {'s', "      --skip=N        pass over the first N records of a -d stream\n"},
    {'c', "      --count=N       read at most N records of a -d stream\n"},
    {'r', "      --record=N      read only record N (from 1) of a -d stream\n"},
};

const char kHelpEnd[] =
    "  -h, --help          this help (tarvesh COMMAND --help: the command's)\n"
    "  -V, --version       the version\n"
    "\n";
const char kTypeHelp[] =
    "TYPE is a schema name (Track, RecordingFragment.Tier) or a full name\n"
    "(Pb.Tarvesh.Track), exactly or else in any case; a name several types\n"
    "have is refused with their full names.\n";
const char kFileHelp[] =
    "Without FILE, or with \"-\", standard input is read; several FILEs are\n"
    "read in turn as one stream.\n";
const char kStatusHelp[] = "Exit status: 0 done, 1 bad input or failed output, 2 usage error.\n";

// Options past the single-letter ones.
enum LongOnly { kSkip = 256, kCount, kRecord, kDescriptorSet, kFormat, kProtoNames, kDefaults, kCompact, kStrict, kEnumsAsInts, kDeterministic, kInt64AsNumbers };

bool ParseCount(const char* text, uint64_t* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end;
  errno = 0;
  *value = std::strtoull(text, &end, 10);
  return errno == 0 && *end == '\0';
}

}  // namespace

bool TakesOption(const Command& command, char code) { return std::strchr(command.options, code) != nullptr; }

void PrintHelp(const Command* only) {
  std::string text;
  if (only == nullptr) {
    text = "Usage: tarvesh COMMAND [OPTION]... [ARGUMENT]...\n"
           "Reads and writes the recording store's index records.\n\nCommands:\n";
    for (const Command& command : Commands()) {
      std::string summary = command.summary;
      for (size_t at = 0; (at = summary.find('\n', at)) != std::string::npos; at += 7) {
        summary.insert(at + 1, "      ");
      }
      text += "  " + std::string(command.synopsis) + "\n      " + summary + "\n";
    }
    text += "\nOptions (see 'tarvesh COMMAND --help' for those a command takes):\n";
  } else {
    text = "Usage: tarvesh " + std::string(only->synopsis) + " [OPTION]...\n" + only->summary +
           ".\n\nOptions:\n";
  }
  for (const OptionHelp& option : kOptionHelp) {
    if (only == nullptr || std::strchr(only->options, option.code) != nullptr) text += option.text;
  }
  text += kHelpEnd;
  // The paragraphs on TYPE and FILE, where the synopsis has them.
  if (only == nullptr || std::strstr(only->synopsis, "TYPE") != nullptr) text += kTypeHelp;
  if (only == nullptr || std::strstr(only->synopsis, "FILE") != nullptr) text += kFileHelp;
  text += kStatusHelp;
  std::fputs(text.c_str(), stdout);
}

int ParseOptions(int argc, char** argv, Options* options) {
  static const option kLongOptions[] = {
      {"delimited", no_argument, nullptr, 'd'}, {"json", no_argument, nullptr, 'j'},
      {"output", required_argument, nullptr, 'o'}, {"force", no_argument, nullptr, 'f'},
      {"hex", no_argument, nullptr, 'x'},
      {"skip", required_argument, nullptr, kSkip}, {"count", required_argument, nullptr, kCount},
      {"record", required_argument, nullptr, kRecord}, {"help", no_argument, nullptr, 'h'},
      {"proto_path", required_argument, nullptr, 'I'},
      {"descriptor-set", required_argument, nullptr, kDescriptorSet},
      {"format", required_argument, nullptr, kFormat},
      {"proto-names", no_argument, nullptr, kProtoNames},
      {"defaults", no_argument, nullptr, kDefaults},
      {"compact", no_argument, nullptr, kCompact},
      {"strict", no_argument, nullptr, kStrict},
      {"enums-as-ints", no_argument, nullptr, kEnumsAsInts},
      {"deterministic", no_argument, nullptr, kDeterministic},
      {"int64-as-numbers", no_argument, nullptr, kInt64AsNumbers},
      {"type", required_argument, nullptr, 't'},
      {"version", no_argument, nullptr, 'V'}, {nullptr, 0, nullptr, 0}};
  opterr = 0;
  int option_char;
  uint64_t record = 0;
  while ((option_char = getopt_long(argc, argv, ":djo:fxI:t:hV", kLongOptions, nullptr)) != -1) {
    // The option as written: the word before its value when that is a word
    // of its own.
    const int word = optarg != nullptr && optarg == argv[optind - 1] && optind >= 2 &&
                             std::strncmp(argv[optind - 2], "--", 2) == 0 &&
                             std::strchr(argv[optind - 2], '=') == nullptr
                         ? optind - 2
                         : optind - 1;
    const std::string written = argv[word] != nullptr ? argv[word] : "";
    uint64_t number = 0;
    switch (option_char) {
      case 'd': options->delimited = true; break;
      case 'j': options->json = true; break;
      case 'f': options->force = true; break;
      case 'x': options->hex = true; break;
      case 't': options->type = optarg; break;
      case 'I': options->proto_paths.push_back(optarg); break;
      case kDescriptorSet: options->descriptor_sets.push_back(optarg); break;
      case kFormat:
        options->format = optarg;
        if (options->format != "text" && options->format != "json" && options->format != "csv") {
          return UsageError("--format is text, json or csv");
        }
        break;
      case kProtoNames: options->proto_names = true; break;
      case kDefaults: options->defaults = true; break;
      case kCompact: options->compact = true; break;
      case kStrict: options->strict = true; break;
      case kEnumsAsInts: options->enums_as_ints = true; break;
      case kDeterministic: options->deterministic = true; break;
      case kInt64AsNumbers: options->int64_as_numbers = true; break;
      case 'o':
        options->output = optarg;
        options->output_given = true;
        break;
      case kSkip:
      case kCount:
      case kRecord:
        if (!ParseCount(optarg, &number)) {
          return UsageError("option '" + written.substr(0, written.find('=')) + "' needs a number");
        }
        options->selects = true;
        if (option_char == kSkip) options->skip = number;
        if (option_char == kCount) options->count = number;
        if (option_char == kRecord) {
          if (number == 0) return UsageError("records are numbered from 1");
          record = number;
        }
        break;
      case 'h': options->help = true; break;
      case 'V': std::printf("tarvesh (TarveshProtoBuf) %s\n", TARVESH_VERSION); return -1;
      case ':': return UsageError("option '" + written + "' needs an argument");
      default: {
        // A known long option given a value it does not take, or an unknown one.
        if (written.compare(0, 2, "--") == 0) {
          const std::string name = written.substr(0, written.find('='));
          for (const option* known = kLongOptions; known->name != nullptr; ++known) {
            if (name == std::string("--") + known->name && written.find('=') != std::string::npos) {
              return UsageError("option '" + name + "' takes no value");
            }
          }
          std::vector<std::string> names;
          for (const option* known = kLongOptions; known->name != nullptr; ++known) {
            names.push_back(std::string("--") + known->name);
          }
          return UsageError("unknown option '" + name + "'" + DidYouMean(name, names));
        }
        return UsageError(std::string("unknown option '-") + static_cast<char>(optopt) + "'");
      }
    }
    const char code = option_char == kSkip ? 's' : option_char == kCount ? 'c'
                      : option_char == kRecord ? 'r' : option_char == kDescriptorSet ? 'D'
                      : option_char == kFormat ? 'F' : option_char == kProtoNames ? 'P'
                      : option_char == kDefaults ? 'E' : option_char == kCompact ? 'C' : option_char == kStrict ? 'S' : option_char == kEnumsAsInts ? 'N' : option_char == kDeterministic ? 'M'
                      : option_char == kInt64AsNumbers ? 'L'
                      : static_cast<char>(option_char);
    if (code == 'h') continue;
    options->given.emplace_back(code, written.compare(0, 2, "--") == 0
                                          ? written.substr(0, written.find('='))
                                          : std::string("-") + code);
  }
  if (optind >= argc) {
    if (!options->help) return UsageError("no command given");
    PrintHelp(nullptr);
    return -1;
  }
  options->command = argv[optind];
  options->arguments.assign(argv + optind + 1, argv + argc);
  if (options->output_given && options->output.empty()) return UsageError("-o needs a file name");
  if (record != 0) {
    if (options->skip != 0 || options->count != UINT64_MAX) {
      return UsageError("--record is not used with --skip or --count");
    }
    options->record = record;
    options->skip = record - 1;
    options->count = 1;
  }
  return 0;
}

}  // namespace tarvesh
