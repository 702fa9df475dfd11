// SPDX-License-Identifier: BSD-3-Clause
// tarvesh: looks into and writes the recording store's record files through
// the library's message classes. See `tarvesh --help` and the README.
#include <fcntl.h>
#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/tokenizer.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/message.h>
#include <google/protobuf/stubs/strutil.h>
#include <google/protobuf/text_format.h>
#include <google/protobuf/util/delimited_message_util.h>
#include <google/protobuf/util/json_util.h>
#include <google/protobuf/util/type_resolver.h>
#include <google/protobuf/util/type_resolver_util.h>

#include "Input.h"
#include "OutputFile.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "RawPrinter.h"
#include "Schemas.h"
#include "RecordReader.h"
#include "WireScan.h"
#include "WriteAll.h"

namespace {

namespace gp = google::protobuf;
using tarvesh::Input;
using tarvesh::OutputFile;
using tarvesh::WriteAll;
using tarvesh::RecordReader;

constexpr int kBadInput = 1;
constexpr int kUsage = 2;
constexpr char kPackage[] = "Pb.Tarvesh.";
// Ends each record of a delimited text stream; text format never prints it.
constexpr char kTextSeparator[] = "---";

// Each option's code (its letter; 's', 'c', 'r', 'D', 'F', 'P', 'E', 'C'
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
    {'F', "      --format=FORMAT text (the default), json or csv\n"},
    {'o', "  -o, --output=FILE   write FILE instead of standard output (\"-\"); a\n"
          "                      regular file is replaced only when the whole run\n"
          "                      succeeds, a device or FIFO is written\n"},
    {'f', "  -f, --force         replace a read-only FILE of -o\n"},
    {'x', "  -x, --hex           byte offsets in hex\n"},
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
    "\n"
    "TYPE is a schema name (Track, RecordingFragment.Tier) or a full name\n"
    "(Pb.Tarvesh.Track), in any case where that names one type. Without FILE,\n"
    "or with \"-\", standard input is read.\n"
    "Exit status: 0 done, 1 bad input or failed output, 2 usage error.\n";

// Options past the single-letter ones.
enum LongOnly { kSkip = 256, kCount, kRecord, kDescriptorSet, kFormat, kProtoNames, kDefaults, kCompact };

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
  bool help = false;
  std::string format = "text";
  std::string type;  // --type
  std::string output;
  bool output_given = false;
  uint64_t skip = 0;
  uint64_t count = UINT64_MAX;
  bool selects = false;  // --skip, --count or --record given
  std::vector<std::string> proto_paths;
  std::vector<std::string> descriptor_sets;
  // Each option given, by its code and as it was written.
  std::vector<std::pair<int, std::string>> given;
};

int UsageError(const std::string& message, const std::string& hint = "tarvesh --help") {
  std::fprintf(stderr, "tarvesh: %s (see '%s')\n", message.c_str(), hint.c_str());
  return kUsage;
}

int Failure(const std::string& where, const std::string& message) {
  std::fprintf(stderr, "tarvesh: %s: %s\n", where.c_str(), message.c_str());
  return kBadInput;
}

// Edits (insertions, deletions, substitutions, swaps of neighbours) between
// two names, ignoring case.
size_t Distance(const std::string& a, const std::string& b) {
  auto same = [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  };
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (same(a[i - 1], b[j - 1]) ? 0 : 1)});
      if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// "; did you mean 'X'?" for the closest of `names` within a third of the
// name's length (at least one edit), else "".
std::string DidYouMean(const std::string& name, const std::vector<std::string>& names) {
  const size_t allowed = std::max<size_t>(1, name.size() / 3);
  std::string best;
  size_t best_distance = allowed + 1;
  for (const std::string& candidate : names) {
    const size_t distance = Distance(name, candidate);
    if (distance < best_distance) {
      best = candidate;
      best_distance = distance;
    }
  }
  return best.empty() ? "" : "; did you mean '" + best + "'?";
}

// Standard output written with stdio: a failed write (a full disk, a closed
// pipe) fails the run.
int FinishStdout() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    return Failure("standard output", std::string("write failed: ") + std::strerror(errno));
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Record types

// The library's two schema files, reached through its own classes so that the
// library is linked and registered.
std::vector<const gp::FileDescriptor*> SchemaFiles() {
  return {Pb::Tarvesh::PalletDesc::descriptor()->file(), Pb::Tarvesh::Track::descriptor()->file()};
}

void AddWithNested(const gp::Descriptor* type, std::vector<const gp::Descriptor*>* types) {
  types->push_back(type);
  for (int i = 0; i < type->nested_type_count(); ++i) AddWithNested(type->nested_type(i), types);
}

std::vector<const gp::Descriptor*> AllTypes() {
  std::vector<const gp::Descriptor*> types;
  for (const gp::FileDescriptor* file : SchemaFiles()) {
    for (int i = 0; i < file->message_type_count(); ++i) AddWithNested(file->message_type(i), &types);
  }
  return types;
}

// Types of other schemas (-I with .proto files, --descriptor-set), when given.
tarvesh::Schemas* user_schemas = nullptr;

bool BuiltIn(const gp::Descriptor* type) {
  return type->file()->pool() == gp::DescriptorPool::generated_pool();
}

// A library type's name within its package; another schema's full name.
std::string SchemaName(const gp::Descriptor* type) {
  if (!BuiltIn(type) || type->full_name().compare(0, sizeof kPackage - 1, kPackage) != 0) {
    return type->full_name();
  }
  return type->full_name().substr(sizeof kPackage - 1);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// Every type TYPE may name: the library's, then those of loaded schemas.
std::vector<const gp::Descriptor*> KnownTypes() {
  std::vector<const gp::Descriptor*> types = AllTypes();
  if (user_schemas != nullptr) {
    for (const gp::Descriptor* type : user_schemas->Types()) types.push_back(type);
  }
  return types;
}

// A type by its full or schema name; failing that, the one type whose name
// differs only in case.
const gp::Descriptor* FindType(const std::string& name) {
  for (const gp::Descriptor* type : AllTypes()) {
    if (name == type->full_name() || name == SchemaName(type)) return type;
  }
  if (user_schemas != nullptr) {
    if (const gp::Descriptor* type = user_schemas->Find(name)) return type;
  }
  const gp::Descriptor* match = nullptr;
  for (const gp::Descriptor* type : KnownTypes()) {
    if (!SameIgnoringCase(name, type->full_name()) && !SameIgnoringCase(name, SchemaName(type))) continue;
    if (match != nullptr && match != type) return nullptr;
    match = type;
  }
  return match;
}

int UnknownType(const std::string& name) {
  std::vector<std::string> names;
  for (const gp::Descriptor* type : KnownTypes()) names.push_back(SchemaName(type));
  return UsageError("unknown type '" + name + "'" + DidYouMean(name, names), "tarvesh types");
}

// The library's types are its own classes; other schemas' are dynamic
// messages.
std::unique_ptr<gp::Message> NewMessage(const gp::Descriptor* type) {
  if (!BuiltIn(type)) return user_schemas->New(type);
  return std::unique_ptr<gp::Message>(
      gp::MessageFactory::generated_factory()->GetPrototype(type)->New());
}

// The unknown fields of `message` and of the messages in it.
uint64_t CountUnknownFields(const gp::Message& message) {
  const gp::Reflection* reflection = message.GetReflection();
  uint64_t count = static_cast<uint64_t>(reflection->GetUnknownFields(message).field_count());
  std::vector<const gp::FieldDescriptor*> fields;
  reflection->ListFields(message, &fields);
  for (const gp::FieldDescriptor* field : fields) {
    if (field->cpp_type() != gp::FieldDescriptor::CPPTYPE_MESSAGE) continue;
    if (!field->is_repeated()) {
      count += CountUnknownFields(reflection->GetMessage(message, field));
      continue;
    }
    for (int i = 0; i < reflection->FieldSize(message, field); ++i) {
      count += CountUnknownFields(reflection->GetRepeatedMessage(message, field, i));
    }
  }
  return count;
}

bool HasUnknownFields(const gp::Message& message) {
  const gp::Reflection* reflection = message.GetReflection();
  if (!reflection->GetUnknownFields(message).empty()) return true;
  std::vector<const gp::FieldDescriptor*> fields;
  reflection->ListFields(message, &fields);
  for (const gp::FieldDescriptor* field : fields) {
    if (field->cpp_type() != gp::FieldDescriptor::CPPTYPE_MESSAGE) continue;
    if (!field->is_repeated()) {
      if (HasUnknownFields(reflection->GetMessage(message, field))) return true;
      continue;
    }
    for (int i = 0; i < reflection->FieldSize(message, field); ++i) {
      if (HasUnknownFields(reflection->GetRepeatedMessage(message, field, i))) return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// Reading and writing

std::string RecordPrefix(uint64_t record) {
  return record == 0 ? "" : "record " + std::to_string(record) + ": ";
}

// Keeps the first error of a text-format parse, with its line and column.
class FirstError : public gp::io::ErrorCollector {
 public:
  void AddError(int line, gp::io::ColumnNumber column, const std::string& message) override {
    if (!message_.empty()) return;
    line_ = line;
    column_ = column;
    message_ = message;
  }
  // "line L column C: what", lines counted from first_line.
  std::string Describe(uint64_t first_line) const {
    return "line " + std::to_string(first_line + static_cast<uint64_t>(line_)) + " column " +
           std::to_string(column_ + 1) + ": " + (message_.empty() ? "not valid text format" : message_);
  }

 private:
  int line_ = 0;
  int column_ = 0;
  std::string message_;
};

// The runtime's JSON parser reports a syntax error as three lines, the
// message, up to 40 bytes around the fault and a caret under it; a bad value
// as "(field): invalid value X for type T" with no place. Gives one line,
// "line L column C: message", the place found by looking for those bytes or
// that value in `text` (whose first line is first_line), else its start.
std::string JsonError(const std::string& text, uint64_t first_line, const std::string& status) {
  std::string message = status.substr(0, status.find('\n'));
  size_t at = std::string::npos;
  const size_t segment_start = status.find('\n');
  const size_t caret_start = segment_start == std::string::npos ? std::string::npos
                                                                : status.find('\n', segment_start + 1);
  if (caret_start != std::string::npos) {
    const std::string segment = status.substr(segment_start + 1, caret_start - segment_start - 1);
    const size_t caret = status.find('^', caret_start + 1);
    const size_t found = segment.empty() ? std::string::npos : text.find(segment);
    if (found != std::string::npos && caret != std::string::npos) at = found + (caret - caret_start - 1);
  } else {
    const std::string kValue = "invalid value ", kFor = " for type ";
    const size_t value = message.find(kValue);
    const size_t value_end = value == std::string::npos ? value : message.find(kFor, value);
    if (value_end != std::string::npos) {
      at = text.find(message.substr(value + kValue.size(), value_end - value - kValue.size()));
    }
    // "name: what" names a field; its key is the place.
    const size_t colon = message.find(": ");
    if (at == std::string::npos && colon != std::string::npos && colon > 0 &&
        message.find_first_of(" ()") > colon) {
      at = text.find("\"" + message.substr(0, colon) + "\"");
    }
  }
  if (at == std::string::npos || at > text.size()) {
    at = std::min(text.size(), text.find_first_not_of(" \t\r\n"));
  }
  const size_t line_start = at == 0 ? 0 : text.rfind('\n', at - 1);
  const uint64_t line = first_line + static_cast<uint64_t>(std::count(text.begin(), text.begin() + at, '\n'));
  const uint64_t column = at - (line_start == std::string::npos || at == 0 ? 0 : line_start + 1) + 1;
  return "line " + std::to_string(line) + " column " + std::to_string(column) + ": " + message;
}

// Parses one record of text (JSON when json) into *message; on failure
// returns false with *error set, naming lines from first_line.
bool ParseText(const std::string& text, bool json, uint64_t first_line, gp::Message* message,
               std::string* error) {
  message->Clear();
  if (json) {
    gp::util::JsonParseOptions options;
    const auto status = gp::util::JsonStringToMessage(text, message, options);
    if (status.ok()) return true;
    *error = JsonError(text, first_line, std::string(status.message()));
    return false;
  }
  FirstError errors;
  gp::TextFormat::Parser parser;
  parser.RecordErrorsTo(&errors);
  if (parser.ParseFromString(text, message)) return true;
  *error = errors.Describe(first_line);
  return false;
}

// Prints bytes and strings as the runtime's default printer does, but
// escapes them a block at a time instead of building a copy of the whole
// value: a large field costs its own size, not four times it.
class BlockEscapingPrinter : public gp::TextFormat::FastFieldValuePrinter {
 public:
  void PrintString(const std::string& value, gp::TextFormat::BaseTextGenerator* out) const override {
    constexpr size_t kBlock = 1 << 16;
    out->PrintLiteral("\"");
    for (size_t at = 0; at < value.size(); at += kBlock) {
      out->PrintString(gp::CEscape(value.substr(at, kBlock)));
    }
    out->PrintLiteral("\"");
  }
  void PrintBytes(const std::string& value, gp::TextFormat::BaseTextGenerator* out) const override {
    PrintString(value, out);
  }
};

// Writes records as text format or JSON straight to the output stream.
class RecordPrinter {
 public:
  RecordPrinter(bool json, bool one_line, bool proto_names, bool defaults)
      : json_(json), one_line_(one_line) {
    printer_.SetDefaultFieldValuePrinter(new BlockEscapingPrinter);
    printer_.SetSingleLineMode(one_line && !json);
    json_options_.add_whitespace = !one_line;
    json_options_.preserve_proto_field_names = proto_names;
    json_options_.always_print_primitive_fields = defaults;
  }

  // Writes *message; `bytes` is a scratch buffer (JSON is printed from the
  // message's serialized form). False when the output failed.
  // When `release` is given (it holds `message`), the message is replaced by
  // an empty one once its bytes are made, before its JSON is.
  bool Print(std::unique_ptr<gp::Message>* release, const gp::Message& message,
             gp::io::ZeroCopyOutputStream* output, std::string* bytes, std::string* error) {
    const gp::Descriptor* type = message.GetDescriptor();
    if (!json_) {
      // One-line text ends with a space, not a newline.
      if (printer_.Print(message, output) && (!one_line_ || WriteAll(output, "\n", 1))) return true;
      *error = "write failed";
      return false;
    }
    if (resolver_ == nullptr) {
      resolver_.reset(gp::util::NewTypeResolverForDescriptorPool(kTypeUrlPrefix, type->file()->pool()));
    }
    bytes->clear();
    if (!message.SerializeToString(bytes)) {
      *error = "cannot serialize the record for JSON";
      return false;
    }
    if (release != nullptr) release->reset(message.New());
    gp::io::ArrayInputStream binary(bytes->data(), static_cast<int>(bytes->size()));
    const auto status = gp::util::BinaryToJsonStream(
        resolver_.get(), std::string(kTypeUrlPrefix) + "/" + type->full_name(), &binary, output,
        json_options_);
    if (!status.ok()) {
      *error = "cannot print as JSON: " + std::string(status.message());
      return false;
    }
    // Pretty JSON ends with a newline of its own; one-line JSON does not.
    return !one_line_ || WriteAll(output, "\n", 1);
  }

 private:
  static constexpr char kTypeUrlPrefix[] = "type.googleapis.com";
  bool json_;
  bool one_line_;
  gp::TextFormat::Printer printer_;
  gp::util::JsonPrintOptions json_options_;
  std::unique_ptr<gp::util::TypeResolver> resolver_;
};

bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); });
}

// ---------------------------------------------------------------------------
// Commands

struct Run {
  const gp::Descriptor* type = nullptr;
  Input input;
  OutputFile output;
};

// Opens the type, input and output that decode and encode share.
int OpenRun(const Options& options, Run* run) {
  if (options.arguments.empty()) return UsageError(options.command + " needs a TYPE");
  if (options.arguments.size() > 2) return UsageError("too many arguments");
  run->type = FindType(options.arguments[0]);
  if (run->type == nullptr) {
    return UnknownType(options.arguments[0]);
  }
  std::string error;
  if (!run->input.Open(options.arguments.size() == 2 ? options.arguments[1] : "", &error)) {
    return UsageError(error);
  }
  if (!run->output.Open(options.output, options.force, &error)) return Failure(options.output, error);
  return 0;
}

int Finish(Run* run) {
  run->input.FinishProgress();
  std::string error;
  if (!run->output.Commit(&error)) return Failure(run->output.name(), error);
  return 0;
}

int WriteFailed(Run* run) {
  run->input.FinishProgress();
  return Failure(run->output.name(), run->output.WriteError());
}

int RecordFailure(Input* input, const tarvesh::RecordError& error) {
  input->FinishProgress();
  return Failure(input->name(),
                 RecordPrefix(error.record) + "byte " + std::to_string(error.offset) + ": " + error.what);
}

// Passes over the records --skip names; kRecord when the stream goes on.
RecordReader::Status SkipRecords(const Options& options, RecordReader* reader) {
  for (uint64_t i = 0; i < options.skip; ++i) {
    const RecordReader::Status status = reader->Skip();
    if (status != RecordReader::kRecord) return status;
  }
  return RecordReader::kRecord;
}

int Decode(const Options& options) {
  Run run;
  if (int status = OpenRun(options, &run)) return status;
  std::unique_ptr<gp::Message> message = NewMessage(run.type);
  RecordReader reader(&run.input, options.delimited, &run.input);
  // Text of a stream keeps its lines (records end with "---"); JSON of a
  // stream is one record per line.
  RecordPrinter printer(options.json, options.compact || (options.json && options.delimited),
                        options.proto_names, options.defaults);
  std::string scratch, error;
  RecordReader::Status status = SkipRecords(options, &reader);
  uint64_t done = 0, unknown = 0, records_with_unknown = 0;
  while (status == RecordReader::kRecord && done < options.count &&
         (status = reader.Next(message.get())) == RecordReader::kRecord) {
    ++done;
    if (const uint64_t here = CountUnknownFields(*message)) {
      unknown += here;
      ++records_with_unknown;
    }
    // JSON is printed from the message's own bytes: a large record's input
    // bytes go first, and its message once those bytes are made.
    const bool large = reader.record_bytes().size() > (size_t{1} << 20);
    if (options.json && large) reader.ReleaseBytes();
    if (!printer.Print(options.json && large ? &message : nullptr, *message, run.output.stream(), &scratch,
                       &error)) {
      if (error == "write failed") return WriteFailed(&run);
      return Failure(run.input.name(), RecordPrefix(options.delimited ? reader.records() : 0) + error);
    }
    if (options.delimited && !options.json &&
        !WriteAll(run.output.stream(), std::string(kTextSeparator) + "\n")) {
      return WriteFailed(&run);
    }
  }
  if (status == RecordReader::kError) return RecordFailure(&run.input, reader.error());
  if (int failed = Finish(&run)) return failed;
  if (unknown > 0) {
    std::fprintf(stderr, "tarvesh: %s: warning: %llu unknown fields in %llu of %llu records (%s)\n",
                 run.input.name().c_str(), static_cast<unsigned long long>(unknown),
                 static_cast<unsigned long long>(records_with_unknown), static_cast<unsigned long long>(done),
                 options.json ? "JSON leaves them out" : "shown by number; they do not encode back");
  }
  return 0;
}

bool WriteBinary(const gp::Message& message, bool delimited, gp::io::ZeroCopyOutputStream* output) {
  return delimited ? gp::util::SerializeDelimitedToZeroCopyStream(message, output)
                   : message.SerializeToZeroCopyStream(output);
}

int Encode(const Options& options) {
  if ((options.output.empty() || options.output == "-") && isatty(STDOUT_FILENO)) {
    return UsageError("will not write binary records to a terminal; use -o FILE or redirect");
  }
  Run run;
  if (int status = OpenRun(options, &run)) return status;
  std::unique_ptr<gp::Message> message = NewMessage(run.type);
  tarvesh::LineReader lines(&run.input);
  std::string line, text, error;
  uint64_t record = 0;
  uint64_t first_line = 1;
  // A failed read ends the input early; it is named before whatever the
  // shortened text did to the parse.
  auto read_failed = [&]() {
    const std::string read_error = run.input.ReadError();
    if (read_error.empty()) return 0;
    run.input.FinishProgress();
    return Failure(run.input.name(), read_error);
  };

  // Parses and writes one record of text starting at first_line.
  auto encode_one = [&]() -> int {
    if (!ParseText(text, options.json, first_line, message.get(), &error)) {
      if (int status = read_failed()) return status;
      run.input.FinishProgress();
      return Failure(run.input.name(), RecordPrefix(options.delimited ? record : 0) + error);
    }
    if (!WriteBinary(*message, options.delimited, run.output.stream())) return WriteFailed(&run);
    return 0;
  };

  if (!options.delimited && !options.json) {
    // Parsed straight from the input: memory is the record's, not its text's.
    FirstError errors;
    gp::TextFormat::Parser parser;
    parser.RecordErrorsTo(&errors);
    const bool parsed = parser.Parse(&run.input, message.get());
    if (int status = read_failed()) return status;
    if (!parsed) return Failure(run.input.name(), errors.Describe(1));
    if (!WriteBinary(*message, false, run.output.stream())) return WriteFailed(&run);
  } else if (!options.delimited) {
    while (lines.ReadLine(&line)) text.append(line).push_back('\n');
    if (int status = encode_one()) return status;
  } else {
    while (lines.ReadLine(&line)) {
      if (options.json) {
        if (IsBlank(line)) continue;
        text = line;
        first_line = lines.line_number();
      } else if (line != kTextSeparator) {
        text.append(line).push_back('\n');
        continue;
      }
      ++record;
      if (int status = encode_one()) return status;
      text.clear();
      first_line = lines.line_number() + 1;
    }
    // A last text record may lack its separator line.
    if (!options.json && !IsBlank(text)) {
      ++record;
      if (int status = encode_one()) return status;
    }
  }
  if (int status = read_failed()) return status;
  return Finish(&run);
}

// Reads all of an input into *bytes, up to the 2 GiB record limit.
int ReadWholeInput(Input* input, std::string* bytes) {
  if (input->SizeHint() > 0 && input->SizeHint() <= static_cast<uint64_t>(INT_MAX)) {
    bytes->reserve(static_cast<size_t>(input->SizeHint()));
  }
  const void* data;
  int size;
  while (input->Next(&data, &size)) {
    if (bytes->size() + static_cast<size_t>(size) > static_cast<size_t>(INT_MAX)) {
      return Failure(input->name(), "input is over the 2 GiB limit of one record");
    }
    bytes->append(static_cast<const char*>(data), static_cast<size_t>(size));
  }
  input->FinishProgress();
  const std::string read_error = input->ReadError();
  return read_error.empty() ? 0 : Failure(input->name(), read_error);
}

// True when every record of `bytes` reads as `type` with no unknown fields.
bool ReadsCompletely(const std::string& bytes, const gp::Descriptor* type, bool delimited) {
  gp::io::ArrayInputStream input(bytes.data(), static_cast<int>(bytes.size()));
  std::unique_ptr<gp::Message> message = NewMessage(type);
  RecordReader reader(&input, delimited);
  RecordReader::Status status;
  uint64_t records = 0;
  while ((status = reader.Next(message.get())) == RecordReader::kRecord) {
    if (HasUnknownFields(*message)) return false;
    ++records;
  }
  return status == RecordReader::kEnd && records > 0;
}

int Guess(const Options& options) {
  if (options.arguments.size() > 1) return UsageError("guess takes one FILE");
  // Read once, so that a pipe or FIFO serves every type.
  Input input;
  std::string error, bytes;
  if (!input.Open(options.arguments.empty() ? "" : options.arguments[0], &error)) {
    return UsageError(error);
  }
  if (int status = ReadWholeInput(&input, &bytes)) return status;
  std::vector<const gp::Descriptor*> candidates;
  for (const gp::FileDescriptor* file : SchemaFiles()) {
    for (int i = 0; i < file->message_type_count(); ++i) candidates.push_back(file->message_type(i));
  }
  if (user_schemas != nullptr) {
    for (const gp::Descriptor* type : user_schemas->TopLevelTypes()) candidates.push_back(type);
  }
  bool any = false;
  for (const gp::Descriptor* type : candidates) {
    if (!ReadsCompletely(bytes, type, options.delimited)) continue;
    std::printf("%s\n", SchemaName(type).c_str());
    any = true;
  }
  if (!any) return Failure(input.name(), "no top-level type reads it completely");
  return FinishStdout();
}

std::string Percent(uint64_t part, uint64_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%5.1f%%", whole == 0 ? 0.0 : 100.0 * part / whole);
  return text;
}

// Adds the elements of every repeated field of `message`, nested ones under
// their paths ("frame_tables.frame_sizes"), to *counts.
void CountElements(const gp::Message& message, const std::string& prefix,
                   std::map<std::string, uint64_t>* counts) {
  const gp::Reflection* reflection = message.GetReflection();
  std::vector<const gp::FieldDescriptor*> fields;
  reflection->ListFields(message, &fields);
  for (const gp::FieldDescriptor* field : fields) {
    const std::string path = prefix.empty() ? field->name() : prefix + "." + field->name();
    const bool is_message = field->cpp_type() == gp::FieldDescriptor::CPPTYPE_MESSAGE;
    if (!field->is_repeated()) {
      if (is_message) CountElements(reflection->GetMessage(message, field), path, counts);
      continue;
    }
    const int size = reflection->FieldSize(message, field);
    (*counts)[path] += static_cast<uint64_t>(size);
    if (!is_message) continue;
    for (int i = 0; i < size; ++i) {
      CountElements(reflection->GetRepeatedMessage(message, field, i), path, counts);
    }
  }
}

// Every repeated field path of `type`, so that those with no elements show
// too; recursion stops at a type already on the path.
void RepeatedPaths(const gp::Descriptor* type, const std::string& prefix,
                   std::vector<const gp::Descriptor*>* open, std::map<std::string, uint64_t>* counts) {
  if (std::find(open->begin(), open->end(), type) != open->end()) return;
  open->push_back(type);
  for (int i = 0; i < type->field_count(); ++i) {
    const gp::FieldDescriptor* field = type->field(i);
    const std::string path = prefix.empty() ? field->name() : prefix + "." + field->name();
    if (field->is_repeated()) (*counts)[path] += 0;
    if (field->cpp_type() == gp::FieldDescriptor::CPPTYPE_MESSAGE) {
      RepeatedPaths(field->message_type(), path, open, counts);
    }
  }
  open->pop_back();
}

int Stats(const Options& options) {
  if (options.arguments.size() > 2) return UsageError("too many arguments");
  // stats [TYPE] [FILE]: one argument is a TYPE only when no file has its name.
  const gp::Descriptor* type = Pb::Tarvesh::Track::descriptor();
  bool type_named = false;
  std::string path;
  if (options.arguments.size() == 2 ||
      (options.arguments.size() == 1 && FindType(options.arguments[0]) != nullptr &&
       access(options.arguments[0].c_str(), F_OK) != 0)) {
    type = FindType(options.arguments[0]);
    if (type == nullptr) return UnknownType(options.arguments[0]);
    type_named = true;
    if (options.arguments.size() == 2) path = options.arguments[1];
  } else if (options.arguments.size() == 1) {
    path = options.arguments[0];
  }
  Input input;
  std::string error;
  if (!input.Open(path, &error)) return UsageError(error);
  std::unique_ptr<gp::Message> message = NewMessage(type);
  const bool track = type == Pb::Tarvesh::Track::descriptor();
  RecordReader reader(&input, options.delimited, &input);
  uint64_t records = 0, tables = 0, frames = 0, previous_offset = 0, unknown = 0;
  std::map<std::string, uint64_t> elements;
  std::vector<const gp::Descriptor*> open;
  RepeatedPaths(type, "", &open, &elements);
  tarvesh::FieldBytes bytes;
  RecordReader::Status status = SkipRecords(options, &reader);
  previous_offset = reader.offset();
  while (status == RecordReader::kRecord && records < options.count &&
         (status = reader.Next(message.get())) == RecordReader::kRecord) {
    ++records;
    if (HasUnknownFields(*message)) ++unknown;
    CountElements(*message, "", &elements);
    if (track) {
      const auto& one = static_cast<const Pb::Tarvesh::Track&>(*message);
      tables += static_cast<uint64_t>(one.frame_tables_size());
      frames += one.num_frames();
    }
    const std::string& record = reader.record_bytes();
    tarvesh::ScanWire(type, record.data(), record.size(), &bytes);
    if (options.delimited) {
      bytes["(length prefixes)"] += reader.offset() - previous_offset - record.size();
    }
    previous_offset = reader.offset();
  }
  input.FinishProgress();
  if (status == RecordReader::kError) return RecordFailure(&input, reader.error());
  if (unknown > 0 && !type_named) {
    return Failure(input.name(), std::to_string(unknown) + " of " + std::to_string(records) +
                                     " records read as Track only with unknown fields; name the "
                                     "type: tarvesh stats TYPE FILE");
  }

  std::vector<std::pair<std::string, uint64_t>> by_size(bytes.begin(), bytes.end());
  std::stable_sort(by_size.begin(), by_size.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  uint64_t total = 0;
  for (const auto& entry : by_size) total += entry.second;
  std::vector<std::pair<std::string, uint64_t>> counts = {{track ? "tracks" : "records", records}};
  if (track) {
    counts.emplace_back("frame tables", tables);
    counts.emplace_back("frames (num_frames)", frames);
  }
  const std::string format = options.json ? "json" : options.format;
  auto number = [](uint64_t value) { return std::to_string(value); };
  if (format == "json") {
    // One object: the counts, then elements and bytes by field path.
    auto quoted = [](const std::string& text) { return "\"" + gp::CEscape(text) + "\""; };
    std::string json = "{\"type\":" + quoted(type->full_name());
    for (const auto& count : counts) json += "," + quoted(count.first) + ":" + number(count.second);
    json += ",\"elements\":{";
    bool first = true;
    for (const auto& entry : elements) {
      json += (first ? "" : ",") + quoted(entry.first) + ":" + number(entry.second);
      first = false;
    }
    json += "},\"bytes\":{";
    first = true;
    for (const auto& entry : by_size) {
      json += (first ? "" : ",") + quoted(entry.first) + ":" + number(entry.second);
      first = false;
    }
    json += "},\"total_bytes\":" + number(total) + "}\n";
    std::fputs(json.c_str(), stdout);
  } else if (format == "csv") {
    std::string csv = "section,name,value\n";
    for (const auto& count : counts) csv += "count," + count.first + "," + number(count.second) + "\n";
    for (const auto& entry : elements) csv += "elements," + entry.first + "," + number(entry.second) + "\n";
    for (const auto& entry : by_size) csv += "bytes," + entry.first + "," + number(entry.second) + "\n";
    csv += "bytes,total," + number(total) + "\n";
    std::fputs(csv.c_str(), stdout);
  } else {
    for (const auto& count : counts) {
      std::printf("%-40s %14llu\n", count.first.c_str(), static_cast<unsigned long long>(count.second));
    }
    if (!elements.empty()) {
      std::printf("\n%-40s %14s\n", "repeated field", "elements");
      for (const auto& entry : elements) {
        std::printf("%-40s %14llu\n", entry.first.c_str(), static_cast<unsigned long long>(entry.second));
      }
    }
    std::printf("\n%-40s %14s %7s\n", "field", "bytes", "share");
    for (const auto& entry : by_size) {
      std::printf("%-40s %14llu %7s\n", entry.first.c_str(),
                  static_cast<unsigned long long>(entry.second), Percent(entry.second, total).c_str());
    }
    std::printf("%-40s %14llu %7s\n", "total", static_cast<unsigned long long>(total),
                Percent(total, total).c_str());
  }
  return FinishStdout();
}

int Raw(const Options& options) {
  if (options.arguments.size() > 1) return UsageError("raw takes one FILE");
  Run run;
  if (!options.type.empty() && (run.type = FindType(options.type)) == nullptr) return UnknownType(options.type);
  std::string error;
  if (!run.input.Open(options.arguments.empty() ? "" : options.arguments[0], &error)) {
    return UsageError(error);
  }
  if (!run.output.Open(options.output, options.force, &error)) return Failure(options.output, error);
  RecordReader reader(&run.input, options.delimited, &run.input);
  RecordReader::Status status = SkipRecords(options, &reader);
  uint64_t done = 0, faults = 0;
  std::string first_fault;
  while (status == RecordReader::kRecord && done < options.count &&
         (status = reader.NextBytes()) == RecordReader::kRecord) {
    ++done;
    const std::string& bytes = reader.record_bytes();
    if (options.delimited &&
        !tarvesh::PrintRawNote(reader.body_start(), options.hex, "record",
                               std::to_string(reader.records()) + ": " + std::to_string(bytes.size()) +
                                   " bytes",
                               run.output.stream())) {
      return WriteFailed(&run);
    }
    const tarvesh::RawResult result =
        tarvesh::PrintRaw(bytes.data(), bytes.size(), reader.body_start(), options.hex, run.output.stream(),
                          run.type);
    if (result.write_failed) return WriteFailed(&run);
    // A record's bad bytes end its walk, not the stream's: the next record
    // starts where its length says.
    if (result.fault.found && faults++ == 0) {
      first_fault = RecordPrefix(options.delimited ? reader.records() : 0) + "byte " +
                    std::to_string(result.fault.offset) + ": " + result.fault.what;
    }
  }
  // What made sense is printed and kept; bad bytes still fail the run.
  if (int commit = Finish(&run)) return commit;
  if (status == RecordReader::kError) return RecordFailure(&run.input, reader.error());
  if (faults == 0) return 0;
  Failure(run.input.name(), first_fault);
  if (faults > 1) Failure(run.input.name(), std::to_string(faults) + " records hold bad bytes");
  return kBadInput;
}

int Count(const Options& options) {
  if (options.arguments.size() > 1) return UsageError("count takes one FILE");
  Input input;
  std::string error;
  if (!input.Open(options.arguments.empty() ? "" : options.arguments[0], &error)) {
    return UsageError(error);
  }
  RecordReader reader(&input, true, &input);
  RecordReader::Status status;
  while ((status = reader.Skip()) == RecordReader::kRecord) {
  }
  if (status == RecordReader::kError) return RecordFailure(&input, reader.error());
  input.FinishProgress();
  std::printf("%llu\n", static_cast<unsigned long long>(reader.records()));
  return FinishStdout();
}

int Types(const Options& options) {
  if (!options.arguments.empty()) return UsageError("types takes no arguments");
  for (const gp::Descriptor* type : AllTypes()) {
    std::printf("%-30s %s\n", SchemaName(type).c_str(), type->full_name().c_str());
  }
  return FinishStdout();
}

// ---------------------------------------------------------------------------

struct Command {
  const char* name;
  int (*run)(const Options&);
  const char* options;  // the codes of the options it takes (kOptionHelp)
  const char* synopsis;
  const char* summary;
};

const Command kCommands[] = {
    {"decode", Decode, "djPECofscrID", "decode [SCHEMA.proto]... TYPE [FILE]",
     "binary records to text format (JSON with --json)"},
    {"encode", Encode, "djofID", "encode [SCHEMA.proto]... TYPE [FILE]",
     "text format (JSON with --json) to binary records"},
    {"guess", Guess, "dID", "guess [SCHEMA.proto]... [FILE]",
     "the top-level types that read FILE completely, with no unknown fields"},
    {"stats", Stats, "djFscr", "stats [TYPE] [FILE]",
     "records, element counts of repeated fields and bytes per field (TYPE\n"
     "Track by default, with its frame figures)"},
    {"raw", Raw, "dxtofscrID", "raw [SCHEMA.proto]... [FILE]",
     "the fields of any bytes with no schema: offset, wire type, length and\n"
     "value, nested messages where bytes parse as one; with --type, the\n"
     "fields that type knows named"},
    {"count", Count, "", "count [FILE]", "the number of records of a delimited stream"},
    {"types", Types, "", "types", "the record types TYPE may name"},
};

void PrintHelp(const Command* only) {
  std::string text;
  if (only == nullptr) {
    text = "Usage: tarvesh COMMAND [OPTION]... [ARGUMENT]...\n"
           "Reads and writes the recording store's index records.\n\nCommands:\n";
    for (const Command& command : kCommands) {
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
  std::fputs(text.c_str(), stdout);
}

bool ParseCount(const char* text, uint64_t* value) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end;
  errno = 0;
  *value = std::strtoull(text, &end, 10);
  return errno == 0 && *end == '\0';
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
          return UsageError("unknown option '" + name + "'");
        }
        return UsageError(std::string("unknown option '-") + static_cast<char>(optopt) + "'");
      }
    }
    const char code = option_char == kSkip ? 's' : option_char == kCount ? 'c'
                      : option_char == kRecord ? 'r' : option_char == kDescriptorSet ? 'D'
                      : option_char == kFormat ? 'F' : option_char == kProtoNames ? 'P'
                      : option_char == kDefaults ? 'E' : option_char == kCompact ? 'C'
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
    options->skip = record - 1;
    options->count = 1;
  }
  return 0;
}

// Opens /dev/null on any of descriptors 0 to 2 that is closed, so that no
// file the program opens takes their place.
bool OpenStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened != fd) return false;
  }
  return true;
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
    return command.run(options);
  }
  tarvesh::Schemas schemas;
  for (const std::string& directory : options.proto_paths) schemas.AddProtoPath(directory);
  std::string error;
  for (const std::string& set : options.descriptor_sets) {
    if (access(set.c_str(), R_OK) != 0) return UsageError(set + ": " + std::strerror(errno));
    if (!schemas.LoadDescriptorSet(set, &error)) return Failure("schema", error);
  }
  for (const std::string& file : proto_files) {
    if (access(file.c_str(), R_OK) != 0) return UsageError(file + ": " + std::strerror(errno));
    if (!schemas.LoadProtoFile(file, &error)) return Failure("schema", error);
  }
  user_schemas = &schemas;
  const int status = command.run(options);
  user_schemas = nullptr;
  return status;
}

int Main(int argc, char** argv) {
  Options options;
  if (int status = ParseOptions(argc, argv, &options)) return status < 0 ? FinishStdout() : status;
  for (const Command& command : kCommands) {
    if (options.command != command.name) continue;
    if (options.help) {
      PrintHelp(&command);
      return FinishStdout();
    }
    for (const auto& given : options.given) {
      if (std::strchr(command.options, given.first) == nullptr) {
        return UsageError(options.command + " does not take " + given.second);
      }
    }
    if (options.selects && !options.delimited) return UsageError("--skip, --count and --record need -d");
    if ((options.proto_names || options.defaults) && !options.json) {
      return UsageError("--proto-names and --defaults apply to JSON (--json)");
    }
    if (std::strchr(command.options, 'I') == nullptr) return command.run(options);
    return RunWithSchemas(options, command);
  }
  std::vector<std::string> names;
  for (const Command& command : kCommands) names.push_back(command.name);
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
  gp::ShutdownProtobufLibrary();
  return status;
}
