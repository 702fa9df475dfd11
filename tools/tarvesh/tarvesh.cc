// tarvesh: looks into and writes the recording store's record files through
// the library's message classes. See `tarvesh --help` and the README.
#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/tokenizer.h>
#include <google/protobuf/message.h>
#include <google/protobuf/text_format.h>
#include <google/protobuf/util/delimited_message_util.h>
#include <google/protobuf/util/json_util.h>

#include "Input.h"
#include "OutputFile.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "RecordReader.h"
#include "WireScan.h"

namespace {

namespace gp = google::protobuf;
using tarvesh::Input;
using tarvesh::OutputFile;
using tarvesh::RecordReader;

constexpr int kBadInput = 1;
constexpr int kUsage = 2;
constexpr char kPackage[] = "Pb.Tarvesh.";
// Ends each record of a delimited text stream; text format never prints it.
constexpr char kTextSeparator[] = "---";

const char kHelp[] =
    "Usage: tarvesh COMMAND [OPTION]... [ARGUMENT]...\n"
    "Reads and writes the recording store's index records.\n"
    "\n"
    "Commands:\n"
    "  decode TYPE [FILE]  binary records to text format (JSON with --json)\n"
    "  encode TYPE [FILE]  text format (JSON with --json) to binary records\n"
    "  guess FILE          the top-level types that read FILE completely,\n"
    "                      with no unknown fields\n"
    "  stats [FILE]        frame tables, frames, column sizes and bytes per\n"
    "                      field of Track records\n"
    "  types               the record types TYPE may name\n"
    "\n"
    "Options:\n"
    "  -d, --delimited     a stream of records, each preceded by its length as a\n"
    "                      varint; as text, each record ends with a line \"---\",\n"
    "                      as JSON, one record per line\n"
    "  -j, --json          JSON instead of text format\n"
    "  -o, --output=FILE   write FILE instead of standard output; it is replaced\n"
    "                      only when the whole run succeeds\n"
    "  -h, --help          this help\n"
    "  -V, --version       the version\n"
    "\n"
    "TYPE is a schema name (Track, RecordingFragment.Tier) or a full name\n"
    "(Pb.Tarvesh.Track). Without FILE, or with \"-\", standard input is read.\n"
    "Exit status: 0 done, 1 bad input or failed output, 2 usage error.\n";

struct Options {
  std::string command;
  std::vector<std::string> arguments;
  bool delimited = false;
  bool json = false;
  std::string output;
  bool output_given = false;
};

int UsageError(const std::string& message, const std::string& hint = "tarvesh --help") {
  std::fprintf(stderr, "tarvesh: %s (see '%s')\n", message.c_str(), hint.c_str());
  return kUsage;
}

int Failure(const std::string& where, const std::string& message) {
  std::fprintf(stderr, "tarvesh: %s: %s\n", where.c_str(), message.c_str());
  return kBadInput;
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

std::string SchemaName(const gp::Descriptor* type) {
  return type->full_name().substr(sizeof kPackage - 1);
}

const gp::Descriptor* FindType(const std::string& name) {
  for (const gp::Descriptor* type : AllTypes()) {
    if (name == type->full_name() || name == SchemaName(type)) return type;
  }
  return nullptr;
}

std::unique_ptr<gp::Message> NewMessage(const gp::Descriptor* type) {
  return std::unique_ptr<gp::Message>(
      gp::MessageFactory::generated_factory()->GetPrototype(type)->New());
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

bool WriteAll(gp::io::ZeroCopyOutputStream* output, const char* data, size_t size) {
  while (size > 0) {
    void* buffer;
    int room;
    if (!output->Next(&buffer, &room)) return false;
    const size_t now = std::min(size, static_cast<size_t>(room));
    std::memcpy(buffer, data, now);
    if (now < static_cast<size_t>(room)) output->BackUp(room - static_cast<int>(now));
    data += now;
    size -= now;
  }
  return true;
}

bool WriteAll(gp::io::ZeroCopyOutputStream* output, const std::string& text) {
  return WriteAll(output, text.data(), text.size());
}

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

// Parses one record of text (JSON when json) into *message; on failure
// returns false with *error set, naming lines from first_line (for JSON,
// which reports no position of its own, 0 names none).
bool ParseText(const std::string& text, bool json, uint64_t first_line, gp::Message* message,
               std::string* error) {
  message->Clear();
  if (json) {
    gp::util::JsonParseOptions options;
    const auto status = gp::util::JsonStringToMessage(text, message, options);
    if (status.ok()) return true;
    *error = std::string(status.message());
    if (first_line != 0) *error = "line " + std::to_string(first_line) + ": " + *error;
    return false;
  }
  FirstError errors;
  gp::TextFormat::Parser parser;
  parser.RecordErrorsTo(&errors);
  if (parser.ParseFromString(text, message)) return true;
  *error = errors.Describe(first_line);
  return false;
}

bool PrintText(const gp::Message& message, bool json, bool one_line, std::string* text) {
  text->clear();
  if (json) {
    gp::util::JsonPrintOptions options;
    options.add_whitespace = !one_line;
    if (!gp::util::MessageToJsonString(message, text, options).ok()) return false;
    if (text->empty() || text->back() != '\n') text->push_back('\n');
    return true;
  }
  return gp::TextFormat::PrintToString(message, text);
}

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
    return UsageError("unknown type '" + options.arguments[0] + "'", "tarvesh types");
  }
  std::string error;
  if (!run->input.Open(options.arguments.size() == 2 ? options.arguments[1] : "", &error)) {
    return UsageError(error);
  }
  if (!run->output.Open(options.output, &error)) return Failure(options.output, error);
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

int Decode(const Options& options) {
  Run run;
  if (int status = OpenRun(options, &run)) return status;
  std::unique_ptr<gp::Message> message = NewMessage(run.type);
  RecordReader reader(&run.input, options.delimited);
  std::string text;
  RecordReader::Status status;
  while ((status = reader.Next(message.get())) == RecordReader::kRecord) {
    if (!PrintText(*message, options.json, options.delimited, &text)) {
      return Failure(run.input.name(), RecordPrefix(options.delimited ? reader.records() : 0) +
                                          "cannot print as JSON");
    }
    if (options.delimited && !options.json) text.append(kTextSeparator).push_back('\n');
    if (!WriteAll(run.output.stream(), text)) return WriteFailed(&run);
  }
  if (status == RecordReader::kError) {
    run.input.FinishProgress();
    const std::string read_error = run.input.ReadError();
    if (!read_error.empty()) return Failure(run.input.name(), read_error);
    const tarvesh::RecordError& error = reader.error();
    return Failure(run.input.name(), RecordPrefix(error.record) + "byte " +
                                         std::to_string(error.offset) + ": " + error.what);
  }
  return Finish(&run);
}

bool WriteBinary(const gp::Message& message, bool delimited, gp::io::ZeroCopyOutputStream* output) {
  return delimited ? gp::util::SerializeDelimitedToZeroCopyStream(message, output)
                   : message.SerializeToZeroCopyStream(output);
}

int Encode(const Options& options) {
  if (options.output.empty() && isatty(STDOUT_FILENO)) {
    return UsageError("will not write binary records to a terminal; use -o FILE or redirect");
  }
  Run run;
  if (int status = OpenRun(options, &run)) return status;
  std::unique_ptr<gp::Message> message = NewMessage(run.type);
  tarvesh::LineReader lines(&run.input);
  std::string line, text, error;
  uint64_t record = 0;
  uint64_t first_line = 1;

  // Parses and writes one record of text starting at first_line.
  auto encode_one = [&]() -> int {
    if (!ParseText(text, options.json, first_line, message.get(), &error)) {
      run.input.FinishProgress();
      return Failure(run.input.name(), RecordPrefix(options.delimited ? record : 0) + error);
    }
    if (!WriteBinary(*message, options.delimited, run.output.stream())) return WriteFailed(&run);
    return 0;
  };

  if (!options.delimited) {
    while (lines.ReadLine(&line)) text.append(line).push_back('\n');
    if (options.json) first_line = 0;
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
  const std::string read_error = run.input.ReadError();
  if (!read_error.empty()) return Failure(run.input.name(), read_error);
  return Finish(&run);
}

// True when every record of the file reads as `type` with no unknown fields;
// *usage_error is set when the file cannot be opened.
bool ReadsCompletely(const std::string& path, const gp::Descriptor* type, bool delimited,
                     std::string* usage_error) {
  Input input;
  if (!input.Open(path, usage_error)) return false;
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
  if (options.arguments.size() != 1) return UsageError("guess needs one FILE");
  const std::string& path = options.arguments[0];
  if (path == "-") return UsageError("guess reads FILE once per type; give a file, not -");
  bool any = false;
  for (const gp::FileDescriptor* file : SchemaFiles()) {
    for (int i = 0; i < file->message_type_count(); ++i) {
      std::string error;
      const bool fits = ReadsCompletely(path, file->message_type(i), options.delimited, &error);
      if (!error.empty()) return UsageError(error);
      if (!fits) continue;
      std::printf("%s\n", SchemaName(file->message_type(i)).c_str());
      any = true;
    }
  }
  if (!any) return Failure(path, "no top-level type reads it completely");
  return std::fflush(stdout) == 0 ? 0 : Failure("(standard output)", "write failed");
}

std::string Percent(uint64_t part, uint64_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%5.1f%%", whole == 0 ? 0.0 : 100.0 * part / whole);
  return text;
}

int Stats(const Options& options) {
  if (options.arguments.size() > 1) return UsageError("too many arguments");
  Input input;
  std::string error;
  if (!input.Open(options.arguments.empty() ? "" : options.arguments[0], &error)) {
    return UsageError(error);
  }
  Pb::Tarvesh::Track track;
  const gp::Descriptor* table_type = Pb::Tarvesh::FrameTable::descriptor();
  RecordReader reader(&input, options.delimited);
  uint64_t tracks = 0, tables = 0, frames = 0, previous_offset = 0;
  std::vector<uint64_t> elements(static_cast<size_t>(table_type->field_count()));
  tarvesh::FieldBytes bytes;
  RecordReader::Status status;
  while ((status = reader.Next(&track)) == RecordReader::kRecord) {
    ++tracks;
    frames += track.num_frames();
    for (const Pb::Tarvesh::FrameTable& table : track.frame_tables()) {
      ++tables;
      for (int i = 0; i < table_type->field_count(); ++i) {
        const gp::FieldDescriptor* field = table_type->field(i);
        if (field->is_repeated()) elements[i] += table.GetReflection()->FieldSize(table, field);
      }
    }
    const std::string& record = reader.record_bytes();
    tarvesh::ScanWire(track.GetDescriptor(), record.data(), record.size(), &bytes);
    if (options.delimited) {
      bytes["(length prefixes)"] += reader.offset() - previous_offset - record.size();
    }
    previous_offset = reader.offset();
  }
  input.FinishProgress();
  if (status == RecordReader::kError) {
    const tarvesh::RecordError& failure = reader.error();
    return Failure(input.name(), RecordPrefix(failure.record) + "byte " +
                                     std::to_string(failure.offset) + ": " + failure.what);
  }

  std::printf("%-28s %14llu\n", "tracks", static_cast<unsigned long long>(tracks));
  std::printf("%-28s %14llu\n", "frame tables", static_cast<unsigned long long>(tables));
  std::printf("%-28s %14llu\n", "frames (num_frames)", static_cast<unsigned long long>(frames));
  std::printf("\n%-28s %14s\n", "frame table column", "elements");
  for (int i = 0; i < table_type->field_count(); ++i) {
    if (!table_type->field(i)->is_repeated()) continue;
    std::printf("%-28s %14llu\n", table_type->field(i)->name().c_str(),
                static_cast<unsigned long long>(elements[i]));
  }
  std::vector<std::pair<std::string, uint64_t>> by_size(bytes.begin(), bytes.end());
  std::stable_sort(by_size.begin(), by_size.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  uint64_t total = 0;
  for (const auto& entry : by_size) total += entry.second;
  std::printf("\n%-40s %14s %7s\n", "field", "bytes", "share");
  for (const auto& entry : by_size) {
    std::printf("%-40s %14llu %7s\n", entry.first.c_str(),
                static_cast<unsigned long long>(entry.second), Percent(entry.second, total).c_str());
  }
  std::printf("%-40s %14llu %7s\n", "total", static_cast<unsigned long long>(total),
              Percent(total, total).c_str());
  return std::fflush(stdout) == 0 ? 0 : Failure("(standard output)", "write failed");
}

int Types(const Options& options) {
  if (!options.arguments.empty()) return UsageError("types takes no arguments");
  for (const gp::Descriptor* type : AllTypes()) {
    std::printf("%-30s %s\n", SchemaName(type).c_str(), type->full_name().c_str());
  }
  return 0;
}

// ---------------------------------------------------------------------------

int ParseOptions(int argc, char** argv, Options* options) {
  static const option kLongOptions[] = {
      {"delimited", no_argument, nullptr, 'd'}, {"json", no_argument, nullptr, 'j'},
      {"output", required_argument, nullptr, 'o'}, {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'V'}, {nullptr, 0, nullptr, 0}};
  opterr = 0;
  int option_char;
  while ((option_char = getopt_long(argc, argv, ":djo:hV", kLongOptions, nullptr)) != -1) {
    switch (option_char) {
      case 'd': options->delimited = true; break;
      case 'j': options->json = true; break;
      case 'o':
        options->output = optarg;
        options->output_given = true;
        break;
      case 'h': std::fputs(kHelp, stdout); return -1;
      case 'V': std::printf("tarvesh (TarveshProtoBuf) %s\n", TARVESH_VERSION); return -1;
      case ':': return UsageError(std::string("option '") + argv[optind - 1] + "' needs an argument");
      default: {
        const std::string name = optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                             : std::string(argv[optind - 1]);
        return UsageError("unknown option '" + name + "'");
      }
    }
  }
  if (optind >= argc) return UsageError("no command given");
  options->command = argv[optind];
  options->arguments.assign(argv + optind + 1, argv + argc);
  if (options->output_given && options->output.empty()) return UsageError("-o needs a file name");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (int status = ParseOptions(argc, argv, &options)) return status < 0 ? 0 : status;
  const std::string& command = options.command;
  const bool writes = command == "decode" || command == "encode";
  if (options.output_given && !writes) return UsageError("-o applies to decode and encode only");
  int status;
  if (command == "decode") {
    status = Decode(options);
  } else if (command == "encode") {
    status = Encode(options);
  } else if (command == "guess") {
    status = Guess(options);
  } else if (command == "stats") {
    status = Stats(options);
  } else if (command == "types") {
    status = Types(options);
  } else {
    status = UsageError("unknown command '" + command + "'");
  }
  gp::ShutdownProtobufLibrary();
  return status;
}
