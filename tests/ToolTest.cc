// SPDX-License-Identifier: BSD-3-Clause
// The tarvesh command, run as a program: round trips of every record type
// through text, JSON and binary, a long delimited stream in constant memory,
// its failures with their exit status and message, and -o leaving an
// existing file alone when a run fails.
#include <fcntl.h>
#include <spawn.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/util/delimited_message_util.h>
#include <gtest/gtest.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "ClassTable.h"
#include "WireBuilder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace gp = google::protobuf;

struct Result {
  int status = -1;
  std::string out, err;
  long peak_rss_kib = 0;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// How a started program's standard input is set up: `path` opened with
// `flags`, or closed; `environment` is added to the test's own.
struct Stdin {
  std::string path = "/dev/null";
  int flags = O_RDONLY;
  bool closed = false;
  std::vector<std::string> environment;
};

// A scratch directory per test, removed afterwards.
class ToolTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tarvesh-tool-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Path(const std::string& name) const { return dir_ / name; }
  std::string F(const std::string& name) const { return Path(name).string(); }
  Stdin From(const std::string& name) const { return Stdin{F(name), O_RDONLY, false, {}}; }

  // Runs `program` (tarvesh unless named) with standard output and error to
  // scratch files, and waits for it.
  Result Run(const std::vector<std::string>& arguments, const Stdin& in = {}, const char* program = TARVESH_TOOL) {
    return Wait(Start(program, arguments, in));
  }
  Result Sh(const std::string& script, const char* shell = "/bin/sh") { return Run({"-c", script}, {}, shell); }
  // `command` run on a pseudo-terminal by script(1), which copies what it shows.
  Result OnTerminal(const std::string& command) { return Run({"-qec", command, "/dev/null"}, {}, "/usr/bin/script"); }

  pid_t Start(const char* program, const std::vector<std::string>& arguments, const Stdin& in) {
    const std::string out = F("stdout"), err = F("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in.closed) {
      posix_spawn_file_actions_addclose(&actions, 0);
    } else {
      posix_spawn_file_actions_addopen(&actions, 0, in.path.c_str(), in.flags, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv{const_cast<char*>(program)}, env;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (char** variable = environ; *variable != nullptr; ++variable) env.push_back(*variable);
    for (const std::string& variable : in.environment) env.push_back(const_cast<char*>(variable.c_str()));
    env.push_back(nullptr);
    // Every signal at its default action, whatever the test's own parent
    // ignores (a background job ignores SIGINT and SIGQUIT), so that the
    // signal checks see the program's own handling.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigfillset(&signals);
    sigdelset(&signals, SIGKILL);
    sigdelset(&signals, SIGSTOP);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program, &actions, &attributes, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    EXPECT_EQ(spawned, 0);
    return spawned == 0 ? pid : -1;
  }

  Result Wait(pid_t pid) {
    Result result;
    if (pid < 0) return result;
    int wait_status;
    struct rusage usage;
    EXPECT_EQ(wait4(pid, &wait_status, 0, &usage), pid);
    result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    result.peak_rss_kib = usage.ru_maxrss;
    result.out = ReadFile(Path("stdout"));
    result.err = ReadFile(Path("stderr"));
    return result;
  }

  // The names in the scratch directory, sorted.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs and expects success, with nothing on standard error.
  Result RunOk(const std::vector<std::string>& arguments, const Stdin& in = {}) {
    Result result = Run(arguments, in);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    return result;
  }

  fs::path dir_;
};

// Fills every field of `message` (two elements per repeated field) with
// values derived from `seed`, nested messages to a depth of three; 32-bit
// fields take any 32 bits, negative ones included.
void Fill(gp::Message* message, int seed, int depth = 0) {
  const gp::Descriptor* type = message->GetDescriptor();
  const gp::Reflection* reflection = message->GetReflection();
  for (int i = 0; i < type->field_count(); ++i) {
    const gp::FieldDescriptor* field = type->field(i);
    for (int n = 0; n < (field->is_repeated() ? 2 : 1); ++n) {
      const uint64_t value = static_cast<uint64_t>(seed) * 131 + static_cast<uint64_t>(i * 7 + n);
      switch (field->cpp_type()) {
        case gp::FieldDescriptor::CPPTYPE_STRING:
          reflection->SetString(message, field, std::string("\0\x01\xff\n\"x", 6) + std::to_string(value));
          break;
        case gp::FieldDescriptor::CPPTYPE_MESSAGE:
          if (depth < 3) {
            Fill(field->is_repeated() ? reflection->AddMessage(message, field)
                                      : reflection->MutableMessage(message, field),
                 static_cast<int>(value), depth + 1);
          }
          break;
        case gp::FieldDescriptor::CPPTYPE_ENUM:
          tarvesh_test::SetReflected(message, field, value % 4);
          break;
        case gp::FieldDescriptor::CPPTYPE_UINT64:
          tarvesh_test::SetReflected(message, field, value << 40 | value);
          break;
        default:
          tarvesh_test::SetReflected(message, field, value * 2654435761u);
      }
    }
  }
}

std::vector<std::string> AllTypeNames() {
  std::vector<std::string> names;
  for (const gp::FileDescriptor* file :
       {Pb::Tarvesh::PalletDesc::descriptor()->file(), Pb::Tarvesh::Track::descriptor()->file()}) {
    for (int i = 0; i < file->message_type_count(); ++i) {
      names.push_back(file->message_type(i)->full_name());
      for (int j = 0; j < file->message_type(i)->nested_type_count(); ++j) {
        names.push_back(file->message_type(i)->nested_type(j)->full_name());
      }
    }
  }
  return names;
}

std::unique_ptr<gp::Message> NewMessage(const std::string& full_name) {
  const gp::Descriptor* type = gp::DescriptorPool::generated_pool()->FindMessageTypeByName(full_name);
  return std::unique_ptr<gp::Message>(gp::MessageFactory::generated_factory()->GetPrototype(type)->New());
}

// Every type through text and JSON: a whole file named by the type's schema
// name, encoded from standard input, and a delimited stream with an empty
// record named by its full name, back to the same bytes.
TEST_F(ToolTest, EveryTypeRoundTripsThroughTextAndJson) {
  for (const std::string& full_name : AllTypeNames()) {
    const std::string schema_name = full_name.substr(std::string("Pb.Tarvesh.").size());
    std::unique_ptr<gp::Message> first = NewMessage(full_name), second = NewMessage(full_name),
                                 empty = NewMessage(full_name);
    Fill(first.get(), 1);
    Fill(second.get(), 2);
    WriteFile(Path("one.bin"), first->SerializeAsString());
    std::string stream;
    for (const gp::Message* m : {first.get(), empty.get(), second.get()}) {
      stream += tarvesh_test::Varint(m->ByteSizeLong()) + m->SerializeAsString();
    }
    WriteFile(Path("stream.bin"), stream);
    for (const std::vector<std::string>& json : {std::vector<std::string>{}, std::vector<std::string>{"--json"}}) {
      SCOPED_TRACE(full_name + (json.empty() ? " text" : " json"));
      auto args = [&](std::vector<std::string> command) {
        command.insert(command.begin() + 1, json.begin(), json.end());
        return command;
      };
      RunOk(args({"decode", schema_name, F("one.bin"), "-o", F("one.txt")}));
      RunOk(args({"encode", schema_name, "-o", F("one.again")}), From("one.txt"));
      EXPECT_EQ(ReadFile(Path("one.again")), ReadFile(Path("one.bin")));
      RunOk(args({"decode", "-d", full_name, F("stream.bin"), "-o", F("stream.txt")}));
      RunOk(args({"encode", "--delimited", full_name, F("stream.txt"), "-o", F("stream.again")}));
      EXPECT_EQ(ReadFile(Path("stream.again")), ReadFile(Path("stream.bin")));
    }
  }
}

// A Track of 60 to 70 bytes, different for each n.
Pb::Tarvesh::Track StreamRecord(int n) {
  Pb::Tarvesh::Track track;
  track.set_track_id(static_cast<uint32_t>(n));
  track.set_num_frames(6);
  track.set_start_time(0x0123456789ull * static_cast<uint64_t>(n));
  Pb::Tarvesh::FrameTable* table = track.add_frame_tables();
  for (int i = 0; i < 6; ++i) {
    table->add_frame_sizes(1000 * (i % 5) - n % 2000);
    table->add_frame_to_pallet_offsets(static_cast<uint32_t>(n + i * 300));
  }
  table->add_auth_tags(static_cast<uint64_t>(n) * 0x9E3779B97F4A7C15ull);
  table->set_coding_depend(std::string(8, static_cast<char>(n)));
  return track;
}

void WriteStream(const fs::path& path, int records) {
  std::ofstream out(path, std::ios::binary);
  for (int n = 0; n < records; ++n) gp::util::SerializeDelimitedToOstream(StreamRecord(n), &out);
}

// Where record `n` (counting from 0), its length prefix first, starts in a
// stream of WriteStream's.
size_t RecordStart(int n) {
  size_t start = 0;
  for (int k = 0; k < n; ++k) {
    const size_t size = StreamRecord(k).ByteSizeLong();
    start += size + gp::io::CodedOutputStream::VarintSize64(size);
  }
  return start;
}

TEST_F(ToolTest, LongDelimitedStreamRoundTripsInConstantMemory) {
#ifdef TARVESH_SANITIZED
  // The same paths, at a tenth of the sanitizers' cost; memory is measured
  // in the plain build only.
  constexpr int kLargeRecords = 10000;
#else
  constexpr int kLargeRecords = 100000;
#endif
  WriteStream(Path("small.bin"), 1000);
  WriteStream(Path("large.bin"), kLargeRecords);
  ASSERT_GT(fs::file_size(Path("large.bin")), 60u * kLargeRecords);

  const auto run = [&](const char* command, const std::string& from, const std::string& to) {
    return RunOk({command, "-d", "Track", F(from), "-o", F(to)});
  };
  const Result small_decode = run("decode", "small.bin", "small.txt");
  const Result large_decode = run("decode", "large.bin", "large.txt");
  const Result small_encode = run("encode", "small.txt", "small.again");
  const Result large_encode = run("encode", "large.txt", "large.again");
  EXPECT_EQ(ReadFile(Path("small.again")), ReadFile(Path("small.bin")));
  EXPECT_TRUE(ReadFile(Path("large.again")) == ReadFile(Path("large.bin")))
      << "the " << kLargeRecords << "-record stream changed in its round trip";

  // Peak memory is compared in the plain build only: the sanitizers'
  // quarantine grows with use.
#ifndef TARVESH_SANITIZED
  // A hundred times the records, 6 MB of binary and 30 MB of text, within
  // 2 MiB of the small run's peak.
  constexpr long kSlackKib = 2048;
  EXPECT_LT(large_decode.peak_rss_kib, small_decode.peak_rss_kib + kSlackKib)
      << "decode: " << small_decode.peak_rss_kib << " KiB for 1,000 records, "
      << large_decode.peak_rss_kib << " KiB for 100,000";
  EXPECT_LT(large_encode.peak_rss_kib, small_encode.peak_rss_kib + kSlackKib)
      << "encode: " << small_encode.peak_rss_kib << " KiB for 1,000 records, "
      << large_encode.peak_rss_kib << " KiB for 100,000";
#endif
}

TEST_F(ToolTest, FailuresGiveStatusAndPlace) {
  // A Track missing the last byte of its frame table (whose tag is byte 13).
  const std::string track = StreamRecord(7).SerializeAsString();
  const size_t table_size = StreamRecord(7).frame_tables(0).ByteSizeLong();
  WriteFile(Path("cut.bin"), track.substr(0, track.size() - 1));
  WriteStream(Path("stream.bin"), 3);
  const std::string stream = ReadFile(Path("stream.bin"));
  // The third record's first tag (after its length) gets wire type 7.
  const size_t third = RecordStart(2) + gp::io::CodedOutputStream::VarintSize64(StreamRecord(2).ByteSizeLong());
  std::string bad_third = stream;
  bad_third[third] = static_cast<char>(0x0f);
  WriteFile(Path("bad-third.bin"), bad_third);
  WriteFile(Path("cut-prefix.bin"), stream + "\x80");
  WriteFile(Path("bad.txt"), "track_id: 1\nnum_frames: -3\n");
  WriteFile(Path("bad-second.txt"), "track_id: 1\n---\n\ntrack_id: 2\nframe_tables { nope: 1 }\n---\n");
  WriteFile(Path("bad.json"), "{\"trackId\": 1,\n \"numFrames\": \"many\"}\n");
  WriteFile(Path("bad-second.jsonl"), "{\"trackId\": 1}\n\n{\"trackId\": []}\n");

  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  const std::string dir = dir_.string();
  std::vector<Case> cases = {
      {{"decode", "Trak", dir + "/cut.bin"}, 2,
       "tarvesh: unknown type 'Trak'; did you mean 'Track'? (see 'tarvesh types')\n"},
      {{"decode", "RecordingFragmentTier", dir + "/cut.bin"}, 2,
       "tarvesh: unknown type 'RecordingFragmentTier'; did you mean 'RecordingFragment.Tier'? (see 'tarvesh types')\n"},
      {{"stast"}, 2, "tarvesh: unknown command 'stast'; did you mean 'stats'? (see 'tarvesh --help')\n"},
      {{"decode", "--frobnicate", "Track"}, 2, "tarvesh: unknown option '--frobnicate' (see 'tarvesh --help')\n"},
      {{"decode", "--delimited=yes", "Track"}, 2,
       "tarvesh: option '--delimited' takes no value (see 'tarvesh --help')\n"},
      {{"decode", "--skip=2", "Track"}, 2, "tarvesh: --skip, --count and --record need -d (see 'tarvesh --help')\n"},
      {{"decode", "-d", "--record=1", "--skip=1", "Track"}, 2,
       "tarvesh: --record is not used with --skip or --count (see 'tarvesh --help')\n"},
      {{"decode", "-d", "--count=many", "Track"}, 2,
       "tarvesh: option '--count' needs a number (see 'tarvesh --help')\n"},
      {{"decode", "--defaults", "Track"}, 2,
       "tarvesh: --proto-names, --defaults, --enums-as-ints, --int64-as-numbers and --deterministic apply to JSON "
       "(--json) (see 'tarvesh --help')\n"},
      {{"decode", "--jsno", "Track"}, 2,
       "tarvesh: unknown option '--jsno'; did you mean '--json'? (see 'tarvesh --help')\n"},
      {{"decode", "-d", "--record=4", "Track", dir + "/stream.bin"}, 1,
       "tarvesh: " + dir + "/stream.bin: no record 4: the stream holds 3\n"},
      {{"decode"}, 2, "tarvesh: decode needs a TYPE (see 'tarvesh --help')\n"},
      {{"frobnicate"}, 2, "tarvesh: unknown command 'frobnicate' (see 'tarvesh --help')\n"},
      {{"decode", "Track", dir + "/absent.bin"}, 2,
       "tarvesh: " + dir + "/absent.bin: No such file or directory (see 'tarvesh --help')\n"},
      {{"guess", dir + "/cut.bin", dir + "/absent.bin"}, 2,
       "tarvesh: " + dir + "/absent.bin: No such file or directory (see 'tarvesh --help')\n"},
      {{"decode", "Track", dir + "/cut.bin"}, 1,
       "tarvesh: " + dir + "/cut.bin: byte 13: field 'frame_tables' has length " +
           std::to_string(table_size) + " but only " + std::to_string(table_size - 1) +
           " bytes are left\n"},
      {{"decode", "-d", "Track", dir + "/bad-third.bin"}, 1,
       "tarvesh: " + dir + "/bad-third.bin: record 3: byte " + std::to_string(third) +
           ": invalid wire type 7 in field 1\n"},
      {{"decode", "-d", "Track", dir + "/cut-prefix.bin"}, 1,
       "tarvesh: " + dir + "/cut-prefix.bin: record 4: byte " + std::to_string(stream.size()) +
           ": bad length prefix (a truncated or overlong varint)\n"},
      {{"encode", "Track", dir + "/bad.txt", "-o", dir + "/out"}, 1,
       "tarvesh: " + dir + "/bad.txt: line 2 column 13: Expected integer, got: -\n"},
      {{"encode", "-d", "Track", dir + "/bad-second.txt", "-o", dir + "/out"}, 1,
       "tarvesh: " + dir + "/bad-second.txt: record 2: line 5 column 20: Message type "
       "\"Pb.Tarvesh.FrameTable\" has no field named \"nope\".\n"},
      {{"encode", "--json", "Track", dir + "/bad.json", "-o", dir + "/out"}, 1,
       "tarvesh: " + dir + "/bad.json: line 2 column 15: (num_frames): invalid value \"many\" for type TYPE_UINT32\n"},
      {{"encode", "-jd", "Track", dir + "/bad-second.jsonl", "-o", dir + "/out"}, 1,
       "tarvesh: " + dir + "/bad-second.jsonl: record 2: line 3 column 2: trackId: Proto field is not repeating, "
             "cannot start list.\n"},
      {{"decode", "Track", dir + "/cut.bin", "-o", dir + "/no/such/dir/out"}, 1,
       "tarvesh: " + dir + "/no/such/dir/out: cannot create a temporary file in " + dir +
           "/no/such/dir: No such file or directory\n"},
  };
  // --strict refuses what the output would lose: unknown fields, an enum
  // value the enum does not name (auth_type 9), a selection the stream
  // does not hold.
  WriteFile(Path("unknown.bin"), std::string("\x08\x07\x70\x05\x78\x06", 6));
  WriteFile(Path("auth9.bin"), std::string("\x40\x09", 2));
  cases.insert(cases.end(), {
      {{"decode", "--strict", "PalletDesc", dir + "/unknown.bin"}, 1,
       "tarvesh: " + dir + "/unknown.bin: holds 2 unknown fields (--strict)\n"},
      {{"decode", "--strict", "-j", "Track", dir + "/auth9.bin"}, 1,
       "tarvesh: " + dir + "/auth9.bin: holds 1 enum values the enum does not name (--strict)\n"},
      {{"raw", "--strict", "--type=PalletDesc", dir + "/unknown.bin"}, 1,
       "tarvesh: " + dir + "/unknown.bin: 2 fields or enum values PalletDesc does not name (--strict)\n"},
      {{"raw", "--strict", dir + "/unknown.bin"}, 2, "tarvesh: raw --strict needs --type (see 'tarvesh --help')\n"},
      {{"slice", "-d", "--strict", "--count=5", dir + "/stream.bin", "-o", dir + "/out"}, 1,
       "tarvesh: " + dir + "/stream.bin: the stream holds 3 records, fewer than selected (--strict)\n"},
  });

  // A record that runs past the end of a regular file, however it is
  // passed over.
  WriteFile(Path("short.bin"), "\x05\x08");
  const std::string cut_short =
      "tarvesh: " + dir + "/short.bin: record 1: byte 1: record of 5 bytes is cut short by the end of input\n";
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"count"}, {"decode", "-d", "--skip=1", "Track"}, {"decode", "-d", "--record=2", "Track"},
        {"stats", "-d", "--skip=1"}, {"raw", "-d", "--skip=1"}, {"index", "-d"}}) {
    std::vector<std::string> with_file = arguments;
    with_file.push_back(dir + "/short.bin");
    cases.push_back({with_file, 1, cut_short});
  }
  for (const Case& c : cases) {
    std::string command;
    for (const std::string& argument : c.arguments) command += argument + " ";
    SCOPED_TRACE(command);
    const Result result = Run(c.arguments);
    EXPECT_EQ(result.status, c.status);
    if (c.message.back() == '\n') {
      EXPECT_EQ(result.err, c.message);
    } else {
      EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    if (c.status == 2) {
      EXPECT_EQ(result.out, "");
    }
  }
  EXPECT_FALSE(fs::exists(Path("out"))) << "a failed encode left its output";
}

TEST_F(ToolTest, GuessAndStatsReadTheRecords) {
  Pb::Tarvesh::Track track = StreamRecord(3);
  *track.add_frame_tables() = track.frame_tables(0);
  WriteFile(Path("track.bin"), track.SerializeAsString());
  const Result guess = RunOk({"guess", F("track.bin")});
  EXPECT_EQ(guess.out, "Track\n");

  Pb::Tarvesh::PalletDesc pallet;
  pallet.set_id(1);
  WriteFile(Path("pallet.bin"), pallet.SerializeAsString());
  EXPECT_EQ(RunOk({"guess", F("pallet.bin")}).out,
            "PalletDesc\nRecordingFragment\nRecordingFragmentEntry\nCountDeltaS32\nCountValU32\n"
            "CountValS32\nTrack\n");

  // A stream is judged by its first records: 1 MiB of them, or --count;
  // what follows is not read.
  const std::string framed = tarvesh_test::Varint(track.ByteSizeLong()) + track.SerializeAsString();
  std::string long_stream;
  while (long_stream.size() <= (size_t{1} << 20)) long_stream += framed;
  WriteFile(Path("long.bin"), long_stream + "\xff");
  EXPECT_EQ(RunOk({"guess", "-d", F("long.bin")}).out, "Track\n");
  WriteFile(Path("two.bin"), framed + framed + "\xff");
  EXPECT_EQ(RunOk({"guess", "-d", "--count=2", F("two.bin")}).out, "Track\n");

  // Through a pipe, /dev/stdin or standard input, the input is read once
  // and every type tried on it.
  for (const std::string& command : {"cat " + F("track.bin") + " | " + TARVESH_TOOL + " guess /dev/stdin",
                                     "cat " + F("track.bin") + " | " + TARVESH_TOOL + " guess",
                                     std::string(TARVESH_TOOL) + " guess - < " + F("track.bin")}) {
    const Result piped = Sh(command);
    EXPECT_EQ(piped.status, 0) << command << ": " << piped.err;
    EXPECT_EQ(piped.out, "Track\n") << command;
  }

  // stats reads Track unless told otherwise, and says so when the bytes
  // are not one.
  pallet.set_recording_id(5);  // field 4 as a varint: fixed64 in Track
  WriteFile(Path("pallet.bin"), pallet.SerializeAsString());
  const Result not_track = Run({"stats", F("pallet.bin")});
  EXPECT_EQ(not_track.status, 1);
  EXPECT_NE(not_track.err.find("read as Track only with unknown fields"), std::string::npos) << not_track.err;
  const Result pallet_stats = RunOk({"stats", "PalletDesc", F("pallet.bin")});
  EXPECT_EQ(pallet_stats.out.substr(0, pallet_stats.out.find('\n')).find("records"), 0u) << pallet_stats.out;

  WriteStream(Path("stream.bin"), 10);
  EXPECT_EQ(RunOk({"count", F("stream.bin")}).out, "10\n");
  // Record selection: the records decoded are those named.
  const std::string eighth = RunOk({"decode", "-d", "--record=8", "Track", F("stream.bin")}).out;
  EXPECT_EQ(eighth, RunOk({"decode", "-d", "--skip=7", "--count=1", "Track", F("stream.bin")}).out);
  EXPECT_NE(eighth.find("track_id: 7\n"), std::string::npos);
  EXPECT_EQ(eighth.find("---\n"), eighth.size() - 4) << eighth;
  const Result selected = RunOk({"stats", "-d", "--skip=4", F("stream.bin")});
  EXPECT_EQ(selected.out.substr(0, selected.out.find('\n')).substr(selected.out.find_last_of(' ', selected.out.find('\n')) + 1), "6");

  const Result stats = RunOk({"stats", "--delimited", F("stream.bin")});
  auto row = [&](const std::string& label) {
    const size_t at = stats.out.find("\n" + label + " ");
    if (at == std::string::npos) return std::string("(no row " + label + ")");
    const size_t end = stats.out.find('\n', at + 1);
    std::istringstream words(stats.out.substr(at + 1 + label.size(), end - at - 1 - label.size()));
    std::string word, values;
    while (words >> word) values += (values.empty() ? "" : " ") + word;
    return values;
  };
  EXPECT_EQ(row("frame tables"), "10");
  EXPECT_EQ(row("frames (num_frames)"), "60");
  EXPECT_EQ(row("frame_tables.frame_sizes"), "60");
  EXPECT_EQ(row("frame_tables.auth_tags"), "10");
  EXPECT_EQ(row("total"), std::to_string(fs::file_size(Path("stream.bin"))) + " 100.0%")
      << "the bytes per field do not add up to the stream\n" << stats.out;
}

TEST_F(ToolTest, ProgressLineOnATerminalOnceARunLastsTwoSeconds) {
  // script(1) runs the command on a pseudo-terminal and copies what it
  // shows; the input comes in two parts, the second after 2.5 seconds.
  WriteFile(Path("track.bin"), StreamRecord(1).SerializeAsString());
  const std::string file = F("track.bin");
  const std::string slow = "(head -c 10 " + file + "; sleep 2.5; tail -c +11 " + file + ") | " + TARVESH_TOOL + " stats";
  const Result shown = OnTerminal(slow);
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("\rtarvesh: standard input: 0 MiB\r\033[K"), std::string::npos) << shown.out;
  const Result quick = OnTerminal(TARVESH_TOOL " stats " + file);
  EXPECT_EQ(quick.status, 0) << quick.err;
  EXPECT_EQ(quick.out.find("MiB"), std::string::npos) << quick.out;
  // Binary records go to no terminal, by whatever name.
  for (const std::string output : {"", " -o -", " -o /dev/stdout", " -o /dev/tty"}) {
    const Result refused = OnTerminal(TARVESH_TOOL " encode Track /dev/null" + output);
    EXPECT_NE(refused.out.find("will not write binary records to a terminal"), std::string::npos)
        << output << ": " << refused.out;
  }
  // Not on a terminal, a slow run shows nothing.
  const Result piped = Sh(slow);
  EXPECT_EQ(piped.err, "");
}

TEST_F(ToolTest, HelpNamesAndOutputOptions) {
  // Each command's help lists the options it takes and no other.
  const Result help = RunOk({"raw", "--help"});
  EXPECT_EQ(help.out.find("Usage: tarvesh raw [SCHEMA.proto]... [FILE]..."), 0u) << help.out;
  EXPECT_NE(help.out.find("--hex"), std::string::npos);
  EXPECT_EQ(help.out.find("--compact"), std::string::npos);
  EXPECT_NE(RunOk({"--help"}).out.find("  count [FILE]...\n"), std::string::npos);
  EXPECT_EQ(RunOk({"count", "--help"}).out.find("TYPE"), std::string::npos);
  EXPECT_EQ(RunOk({"types", "--help"}).out.find("TYPE is"), std::string::npos);

  // The completion works with or without the bash-completion package (not
  // loaded by bash --norc).
  const std::string complete = "source " TARVESH_SOURCE_DIR "/tools/tarvesh/tarvesh.bash-completion; "
                               "COMP_WORDS=(tarvesh de); COMP_CWORD=1; _tarvesh; echo \"${COMPREPLY[*]}\"";
  EXPECT_EQ(Run({"--norc", "-c", complete}, {}, "/bin/bash").out, "decode\n");

  // A record separator line may end with a carriage return or spaces.
  WriteFile(Path("crlf.txt"), "track_id: 1\r\n---\r\ntrack_id: 2\n---  \n");
  RunOk({"encode", "-d", "Track", F("crlf.txt"), "-o", F("crlf.bin")});
  EXPECT_EQ(ReadFile(Path("crlf.bin")), std::string("\x02\x08\x01\x02\x08\x02", 6));

  // Type names in any case where one type has the name.
  Pb::Tarvesh::PalletDesc pallet;
  pallet.set_id(7);
  WriteFile(Path("pallet.bin"), pallet.SerializeAsString());
  EXPECT_EQ(RunOk({"decode", "palletdesc", F("pallet.bin")}).out, "id: 7\n");

  // JSON: schema names, defaults, one line; text on one line.
  EXPECT_EQ(RunOk({"decode", "--json", "--compact", "--proto-names", "--defaults", "PalletDesc", F("pallet.bin")}).out,
            "{\"id\":7,\"size\":0,\"offset\":\"0\",\"recording_id\":\"0\",\"fragment_id\":0,\"track_id\":0,"
            "\"tier_id\":0,\"file_index\":0}\n");
  EXPECT_EQ(RunOk({"decode", "--compact", "Track", F("pallet.bin")}).out, "track_id: 7 \n");

  // Unknown fields decode with a warning that counts them.
  WriteFile(Path("unknown.bin"), pallet.SerializeAsString() + std::string("\x70\x05\x78\x06", 4));
  const Result unknown = Run({"decode", "PalletDesc", F("unknown.bin")});
  EXPECT_EQ(unknown.status, 0);
  EXPECT_EQ(unknown.out, "id: 7\n14: 5\n15: 6\n");
  EXPECT_EQ(unknown.err, "tarvesh: " + F("unknown.bin") +
                             ": warning: 2 unknown fields in 1 of 1 records (shown by number; they do not "
                             "encode back)\n");

  // stats for machines: JSON and CSV carry the same figures as the table.
  WriteStream(Path("stream.bin"), 3);
  const std::string size = std::to_string(fs::file_size(Path("stream.bin")));
  const Result json = RunOk({"stats", "-d", "--json", F("stream.bin")});
  EXPECT_EQ(json.out.find("{\"type\":\"Pb.Tarvesh.Track\",\"tracks\":3,\"frame_tables\":3,\"frames\":18,"
                          "\"elements\":{"), 0u) << json.out;
  EXPECT_NE(json.out.find("\"frame_tables.frame_sizes\":18,"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("},\"total_bytes\":" + size + "}\n"), std::string::npos) << json.out;
  const Result csv = RunOk({"stats", "-d", "--format=csv", F("stream.bin")});
  EXPECT_EQ(csv.out.find("section,name,value\ncount,tracks,3\n"), 0u) << csv.out;
  EXPECT_NE(csv.out.find("\nelements,frame_tables.auth_tags,3\n"), std::string::npos) << csv.out;
  EXPECT_NE(csv.out.find("\nbytes,total," + size + "\n"), std::string::npos) << csv.out;
}

TEST_F(ToolTest, OutputGoesWhereThePathLeads) {
  WriteStream(Path("stream.bin"), 3);
  const std::string stream = F("stream.bin");
  const std::string text = RunOk({"decode", "-d", "Track", stream}).out;
  ASSERT_NE(text.find("track_id: 2"), std::string::npos);
  WriteFile(Path("stream.txt"), text);

  // A FIFO is written, not replaced, and its reader gets the records.
  ASSERT_EQ(mkfifo(F("fifo").c_str(), 0600), 0);
  std::string through_fifo;
  std::thread reader([&] { through_fifo = ReadFile(Path("fifo")); });
  const Result to_fifo = Run({"decode", "-d", "Track", stream, "-o", F("fifo")});
  reader.join();
  EXPECT_EQ(to_fifo.status, 0) << to_fifo.err;
  EXPECT_EQ(through_fifo, text);
  EXPECT_TRUE(fs::is_fifo(Path("fifo")));

  // A symlink stays a link; its target is replaced and keeps its mode.
  fs::create_directory(Path("real"));
  WriteFile(Path("real/target.txt"), "old\n");
  chmod(F("real/target.txt").c_str(), 0604);
  fs::create_symlink("real/target.txt", Path("link"));
  RunOk({"decode", "-d", "Track", stream, "-o", F("link")});
  EXPECT_TRUE(fs::is_symlink(Path("link")));
  EXPECT_EQ(ReadFile(Path("real/target.txt")), text);
  struct stat status;
  ASSERT_EQ(stat(F("real/target.txt").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0604u);
  EXPECT_EQ(fs::directory_iterator(Path("real"))->path().filename(), "target.txt");

  // "-o -" and /dev/stdout are standard output, whatever it is.
  EXPECT_EQ(RunOk({"decode", "-d", "Track", stream, "-o", "-"}).out, text);
  const std::string piped = std::string(TARVESH_TOOL) + " decode -d Track " + stream + " -o /dev/stdout | cat";
  EXPECT_EQ(Sh(piped).out, text);
  EXPECT_FALSE(fs::exists(Path("-")));

  // A read-only file is replaced only with --force.
  WriteFile(Path("ro.txt"), "keep\n");
  chmod(F("ro.txt").c_str(), 0444);
  const Result refused = Run({"decode", "-d", "Track", stream, "-o", F("ro.txt")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "tarvesh: " + F("ro.txt") + ": is read-only; --force replaces it\n");
  EXPECT_EQ(ReadFile(Path("ro.txt")), "keep\n");
  RunOk({"decode", "--force", "-d", "Track", stream, "-o", F("ro.txt")});
  EXPECT_EQ(ReadFile(Path("ro.txt")), text);

  // A failed write fails the run, by -o or on standard output.
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"decode", "-d", "Track", stream, "-o", "/dev/full"},
        std::vector<std::string>{"encode", "-d", "Track", "-o", "/dev/full"}}) {
    const Result full = Run(arguments, From("stream.txt"));
    EXPECT_EQ(full.status, 1) << arguments[0];
    EXPECT_NE(full.err.find("/dev/full: write failed: No space left on device"), std::string::npos) << full.err;
  }
  // ... and on a closed standard output.
  for (const std::string& command : std::vector<std::string>{"types > /dev/full", "--help > /dev/full", "types >&-",
                                    "decode -d Track " + stream + " >&-"}) {
    const Result full = Sh(TARVESH_TOOL " " + command);
    EXPECT_EQ(full.status, 1) << command;
    EXPECT_EQ(full.err, command.find("full") != std::string::npos
                            ? "tarvesh: standard output: write failed: No space left on device\n"
                            : "tarvesh: standard output: write failed: Bad file descriptor\n") << command;
  }

  // Closed standard descriptors: standard input reads as empty, and no file
  // the program opens takes its place. Under an emulator started by the
  // kernel, the program's own binary is handed over on the lowest free
  // descriptor, which is then 0 before the program runs at all.
  if (const char* emulator = std::getenv("TARVESH_EMULATOR")) {
    std::printf("(closed standard input is not checked under %s)\n", emulator);
  } else {
    const Result no_stdin = Run({"decode", "-d", "Track", "-o", F("c.txt")}, Stdin{"", O_RDONLY, true, {}});
    EXPECT_EQ(no_stdin.status, 0) << no_stdin.err;
    EXPECT_EQ(ReadFile(Path("c.txt")), "");
  }

  // A device node is written, not replaced; a replaced file keeps its owner
  // and group (both need root).
  if (geteuid() != 0 || mknod(F("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    std::printf("(the device node and owner checks need root; skipped)\n");
    return;
  }
  WriteFile(Path("owned.txt"), "old\n");
  ASSERT_EQ(chown(F("owned.txt").c_str(), 65534, 65534), 0);
  RunOk({"decode", "-d", "Track", stream, "-o", F("owned.txt")});
  ASSERT_EQ(stat(F("owned.txt").c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 65534u);
  EXPECT_EQ(status.st_gid, 65534u);
  RunOk({"decode", "-d", "Track", stream, "-o", F("null")});
  ASSERT_EQ(stat(F("null").c_str(), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode)) << "the device node was replaced";
}

TEST_F(ToolTest, KilledRunLeavesNothingAndIgnoredSignalsStayIgnored) {
  WriteStream(Path("stream.bin"), 20);
  const std::string stream = ReadFile(Path("stream.bin"));
  ASSERT_EQ(mkfifo(F("in").c_str(), 0600), 0);
  WriteFile(Path("out.txt"), "precious\n");
  // The program reads half the stream from a FIFO and waits for more when
  // the signal comes: mid-run, its output partly written.
  auto start_half_fed = [&](int signal_number, bool ignored, bool named_temporary = false) {
    const std::string command = std::string(ignored ? "trap '' HUP; " : "") + "exec " + TARVESH_TOOL +
                                " decode -d Track " + F("in") + " -o " + F("out.txt");
    Stdin in;
    if (named_temporary) in.environment.push_back("TARVESH_NO_TMPFILE=1");
    const pid_t pid = Start("/bin/sh", {"-c", command}, in);
    const int fifo = open(F("in").c_str(), O_WRONLY);
    EXPECT_EQ(write(fifo, stream.data(), stream.size() / 2), static_cast<ssize_t>(stream.size() / 2));
    usleep(200000);
    kill(pid, signal_number);
    if (ignored) {
      usleep(100000);
      EXPECT_EQ(write(fifo, stream.data() + stream.size() / 2, stream.size() - stream.size() / 2),
                static_cast<ssize_t>(stream.size() - stream.size() / 2));
    }
    close(fifo);
    return Wait(pid);
  };
  const Result killed = start_half_fed(SIGKILL, false);
  EXPECT_EQ(killed.status, 128 + SIGKILL);
  EXPECT_EQ(ReadFile(Path("out.txt")), "precious\n");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"in", "out.txt", "stderr", "stdout", "stream.bin"}))
      << "a killed run left a file behind";

  // Where the file system refuses unnamed files, the named temporary goes
  // on every signal a handler can catch.
  for (int signal_number : {SIGTERM, SIGQUIT, SIGUSR1, SIGALRM, SIGXFSZ}) {
    const Result ended = start_half_fed(signal_number, false, true);
    EXPECT_EQ(ended.status, 128 + signal_number);
    EXPECT_EQ(ReadFile(Path("out.txt")), "precious\n");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"in", "out.txt", "stderr", "stdout", "stream.bin"}))
        << "signal " << signal_number << " left a file behind";
  }

  const Result hung_up = start_half_fed(SIGHUP, true);
  EXPECT_EQ(hung_up.status, 0) << "an ignored SIGHUP ended the run: " << hung_up.err;
  EXPECT_NE(ReadFile(Path("out.txt")).find("track_id: 19"), std::string::npos);
}

TEST_F(ToolTest, FailedRunsLeaveTheOutput) {
  WriteStream(Path("stream.bin"), 50);
  const std::string stream = ReadFile(Path("stream.bin"));
  // The 10th record's length prefix is a record boundary; byte 1000 is
  // inside a record.
  const size_t boundary = RecordStart(9);
  Pb::Tarvesh::Track track = StreamRecord(1);
  for (int i = 0; i < 3; ++i) *track.add_frame_tables() = StreamRecord(i).frame_tables(0);
  WriteFile(Path("track.bin"), track.SerializeAsString());
  const size_t inside_track = track.ByteSizeLong() - track.frame_tables(3).ByteSizeLong() - 2;
  WriteFile(Path("track.txt"), RunOk({"decode", "Track", F("track.bin")}).out);
  const std::string dir = dir_.string();

  struct Case {
    std::vector<std::string> arguments;
    size_t fail_at;
    std::string where;  // what the message names before `what`
    std::string what = "read failed: Input/output error\n";
  };
  // Bytes that fail a run with no read error: a record cut short, and a
  // record whose first tag has wire type 7.
  WriteFile(Path("short.bin"), "\x0a\x05" "abc");
  WriteFile(Path("bad.bin"), std::string("\x02\x0f\x00", 3));
  const size_t no_read_error = size_t{1} << 40;
  const std::vector<Case> cases = {
      {{"decode", "-d", "Track", dir + "/stream.bin"}, boundary, "stream.bin: record 10: byte " + std::to_string(boundary)},
      {{"decode", "-d", "Track", dir + "/stream.bin"}, 1000, "stream.bin: record "},
      {{"decode", "-d", "Track", dir + "/stream.bin"}, 0, "stream.bin: record 1: byte 0"},
      {{"decode", "Track", dir + "/track.bin"}, inside_track, "track.bin: byte " + std::to_string(inside_track)},
      {{"encode", "Track", dir + "/track.txt"}, 100, "track.txt: byte 100"},
      {{"encode", "-d", "Track", dir + "/track.txt"}, 100, "track.txt: byte 100"},
      {{"stats", "-d", dir + "/stream.bin"}, boundary, "stream.bin: record 10: byte " + std::to_string(boundary)},
      {{"count", dir + "/stream.bin"}, 1000, "stream.bin: record "},
      {{"guess", "-d", dir + "/stream.bin"}, boundary, "stream.bin: record 10: byte " + std::to_string(boundary)},
      {{"raw", "-d", dir + "/stream.bin"}, boundary, "stream.bin: record 10: byte " + std::to_string(boundary)},
      {{"raw", "-d", dir + "/short.bin"}, no_read_error, "short.bin: record 1: byte 1",
       "record of 10 bytes is cut short by the end of input\n"},
      {{"raw", "-d", dir + "/bad.bin"}, no_read_error, "bad.bin: record 1: byte 1", "invalid wire type 7 in field 1\n"},
  };
  WriteFile(Path("out"), "precious\n");
  const std::vector<std::string> files = Listing();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1] + " failing at " + std::to_string(c.fail_at));
    std::vector<std::string> arguments = c.arguments;
    const bool writes = arguments[0] == "decode" || arguments[0] == "encode" || arguments[0] == "raw";
    if (writes) arguments.insert(arguments.end(), {"-o", dir + "/out"});
    const Result result =
        Run(arguments, Stdin{"/dev/null", O_RDONLY, false, {"TARVESH_FAIL_READ_AT=" + std::to_string(c.fail_at)}});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("tarvesh: " + dir + "/" + c.where), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(c.what), std::string::npos) << result.err;
    EXPECT_EQ(ReadFile(Path("out")), "precious\n");
    EXPECT_EQ(Listing(), files) << "a temporary file was left behind";
  }

  // Standard input open for writing only: every read fails with EBADF.
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"decode", "Track"}, std::vector<std::string>{"stats"}}) {
    const Result result = Run(arguments, Stdin{F("track.bin"), O_WRONLY, false, {}});
    EXPECT_EQ(result.status, 1) << arguments[0];
    EXPECT_EQ(result.err, "tarvesh: standard input: byte 0: read failed: Bad file descriptor\n");
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(ToolTest, OptionsACommandDoesNotTakeAreUsageErrors) {
  struct Option {
    std::vector<std::string> written;
    std::string named;
  };
  const std::vector<Option> options = {
      {{"-d"}, "-d"}, {{"--json"}, "--json"}, {{"-o", "x"}, "-o"}, {{"--force"}, "--force"}, {{"--skip=1"}, "--skip"},
      {{"--count", "1"}, "--count"}, {{"--record=2"}, "--record"}, {{"-x"}, "-x"}, {{"-I", "x"}, "-I"},
      {{"--format=csv"}, "--format"}, {{"--compact"}, "--compact"}, {{"--defaults"}, "--defaults"}};
  // Each command and the options it takes.
  const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
      {"decode", {"-d", "--json", "-o", "--force", "--skip", "--count", "--record", "-I", "--compact", "--defaults"}},
      {"encode", {"-d", "--json", "-o", "--force", "-I"}},
      {"guess", {"-d", "--count", "-I"}},
      {"stats", {"-d", "--json", "--skip", "--count", "--record", "--format", "-I"}},
      {"raw", {"-d", "--json", "-o", "--force", "--skip", "--count", "--record", "-x", "-I"}},
      {"count", {}}, {"types", {}}};
  for (const auto& command : commands) {
    for (const Option& option : options) {
      if (std::count(command.second.begin(), command.second.end(), option.named) != 0) continue;
      std::vector<std::string> arguments{command.first};
      arguments.insert(arguments.end(), option.written.begin(), option.written.end());
      SCOPED_TRACE(command.first + " " + option.named);
      const Result result = Run(arguments);
      EXPECT_EQ(result.status, 2);
      EXPECT_EQ(result.err,
                "tarvesh: " + command.first + " does not take " + option.named + " (see 'tarvesh --help')\n");
    }
  }
  // A directory on standard input is named as standard input.
  EXPECT_EQ(Run({"decode", "Track"}, Stdin{dir_.string(), O_RDONLY | O_DIRECTORY, false, {}}).err,
            "tarvesh: standard input: Is a directory (see 'tarvesh --help')\n");
}

// One Track of about 100 MB: a 90 MB payload of frame dependencies and
// columns of a million frames.
Pb::Tarvesh::Track LargeTrack(size_t payload) {
  Pb::Tarvesh::Track track;
  track.set_track_id(9);
  Pb::Tarvesh::FrameTable* table = track.add_frame_tables();
  std::string depend(payload, 'd');
  for (size_t i = 0; i < depend.size(); i += 4099) depend[i] = static_cast<char>(i % 7);
  table->set_coding_depend(std::move(depend));
  const int frames = static_cast<int>(payload / 90);
  track.set_num_frames(static_cast<uint32_t>(frames));
  for (int i = 0; i < frames; ++i) {
    table->add_frame_sizes(i % 5000 - 2500);
    table->add_frame_to_pallet_offsets(static_cast<uint32_t>(i) * 4096u);
    table->add_auth_tags(static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull);
  }
  return track;
}

TEST_F(ToolTest, LargeRecordTakesAtMostThreeTimesItsSize) {
#ifdef TARVESH_SANITIZED
  // The same paths at a tenth of the size; memory is measured in the plain
  // build only, and the sanitizers do not run under a memory limit.
  const size_t payload = 9 << 20;
#else
  const size_t payload = 90 << 20;
#endif
  WriteFile(Path("large.bin"), LargeTrack(payload).SerializeAsString());
  const long record_kib = static_cast<long>(fs::file_size(Path("large.bin")) / 1024);
  const Result decode = RunOk({"decode", "Track", F("large.bin"), "-o", F("large.txt")});
  const Result encode = RunOk({"encode", "Track", F("large.txt"), "-o", F("large.again")});
  EXPECT_TRUE(ReadFile(Path("large.again")) == ReadFile(Path("large.bin"))) << "the round trip changed the record";
  std::printf("record %ld KiB: decode peak %ld KiB, encode peak %ld KiB\n", record_kib,
              decode.peak_rss_kib, encode.peak_rss_kib);
#ifndef TARVESH_SANITIZED
  // An emulator's own memory (its translation buffers) counts in the peak
  // and in the limit: the figures are the program's only when it runs natively.
  if (const char* emulator = std::getenv("TARVESH_EMULATOR")) {
    std::printf("(memory is not checked under %s)\n", emulator);
    return;
  }
  EXPECT_LE(decode.peak_rss_kib, 3 * record_kib);
  EXPECT_LE(encode.peak_rss_kib, 3 * record_kib);

  // Out of memory: one line, exit 1, nothing left beside the target.
  fs::remove(Path("large.again"));
  const std::string script = "ulimit -v 150000; exec " + std::string(TARVESH_TOOL) + " decode Track " +
                             F("large.bin") + " -o " + F("out.txt");
  const Result starved = Sh(script);
  EXPECT_EQ(starved.status, 1);
  EXPECT_EQ(starved.err, "tarvesh: out of memory\n");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"large.bin", "large.txt", "stderr", "stdout"}));
#endif
}

TEST_F(ToolTest, RawShowsEachFieldWithItsPlace) {
  // Offsets, wire types and lengths in the prefix; the raw text after it.
  // The last field's length runs past the end.
  static const char kFields[] = "\x08\x96\x01\x12\x04\x08\x02\x10\x03\x1a\x03" "abc"
                                "\x25\x01\x02\x03\x04\x33\x08\x01\x34\x2a\x05\x08\x80\x80\x80";
  WriteFile(Path("fields.bin"), std::string(kFields, sizeof kFields - 1));
  const Result fields = Run({"raw", F("fields.bin")});
  EXPECT_EQ(fields.status, 1);
  EXPECT_EQ(fields.out,
            "         0 varint          1: 150\n"
            "         3 len=4           2 {\n"
            "         5 varint            1: 2\n"
            "         7 varint            2: 3\n"
            "                           }\n"
            "         9 len=3           3: \"abc\"\n"
            "        14 fixed32         4: 0x04030201\n"
            "        19 group           6 {\n"
            "        20 varint            1: 1\n"
            "                           }\n"
            "        23 error           (field 5 has length 5 but only 4 bytes are left)\n"
            "        23 rest            \"*\\005\\010\\200\\200\\200\"\n");
  EXPECT_EQ(fields.err, "tarvesh: " + F("fields.bin") + ": byte 23: field 5 has length 5 but only 4 bytes are left\n");
  EXPECT_EQ(Run({"raw", "-x", F("fields.bin")}).out.substr(0, 34), "0x00000000 varint          1: 150\n");

  // A head (tag, and a varint or length) that is not the shortest encoding
  // is noted in hex in the label, so that the text keeps every byte.
  WriteFile(Path("long.bin"), std::string("\x88\x00\x96\x81\x00\x1b\x9c\x00\x12\x81\x00x", 12));
  EXPECT_EQ(RunOk({"raw", F("long.bin")}).out,
            "         0 varint:8800968100 1: 150\n"
            "         5 group           3 {\n"
            "         6 end:9c00        }\n"
            "         8 len=1:128100    2: \"x\"\n");

  // With a type, its fields are named and its bytes fields not guessed at.
  Pb::Tarvesh::Track track;
  track.set_track_id(4);
  track.add_frame_tables()->set_coding_depend(std::string("\x08\x01", 2));
  WriteFile(Path("track.bin"), track.SerializeAsString());
  EXPECT_EQ(RunOk({"raw", "--type=Track", F("track.bin")}).out,
            "         0 varint          1 track_id: 4\n"
            "         2 len=4           7 frame_tables {\n"
            "         4 len=2             3 coding_depend: \"\\010\\001\"\n"
            "                           }\n");
  // The same as JSON lines, which assemble reads as it reads the text: in
  // any key order and spacing, a text line beside them.
  EXPECT_EQ(RunOk({"raw", "--json", "--type=Track", F("track.bin")}).out,
            "{\"offset\":0,\"kind\":\"varint\",\"depth\":0,\"field\":1,\"name\":\"track_id\",\"value\":\"4\"}\n"
            "{\"offset\":2,\"kind\":\"message\",\"depth\":0,\"field\":7,\"name\":\"frame_tables\",\"length\":4}\n"
            "{\"offset\":4,\"kind\":\"bytes\",\"depth\":1,\"field\":3,\"name\":\"coding_depend\",\"length\":2,"
            "\"bytes\":\"CAE=\"}\n"
            "{\"kind\":\"end\",\"depth\":0}\n");
  EXPECT_EQ(RunOk({"raw", "-j", F("long.bin")}).out.substr(0, 83),
            "{\"offset\":0,\"kind\":\"varint\",\"depth\":0,\"field\":1,\"value\":\"150\",\"head\":\"8800968100\"}\n");
  WriteFile(Path("raw.json"), " { \"value\" : \"150\", \"field\":1,\"kind\":\"varint\"}\n"
                              "{\"kind\":\"rest\",\"bytes\":\"\\u0041g==\"}\n"
                              "         9 len=3           3: \"abc\"\n");
  EXPECT_EQ(RunOk({"assemble", F("raw.json"), "-o", "-"}).out, std::string("\x08\x96\x01\x02\x1a\x03" "abc", 9));
  WriteFile(Path("raw.json"), "{\"kind\":\"varint\",\"field\":1,\"value\":150}\n");
  EXPECT_EQ(Run({"assemble", F("raw.json"), "-o", "-"}).err,
            "tarvesh: " + F("raw.json") + ": line 1: \"value\" is a string in raw's JSON\n");

  // A delimited stream: each record under its own label, read on past a bad
  // one. The runtime's raw decoding of arbitrary bytes is the record reader
  // harness's part (CorpusReplay.RecordReader).
  const std::string first = track.SerializeAsString(), bad("\x08\x96\x01\x2a\x05\x08", 6);
  WriteFile(Path("stream.bin"), tarvesh_test::Varint(first.size()) + first + tarvesh_test::Varint(bad.size()) +
                                    bad + tarvesh_test::Varint(2) + "\x10\x03");
  const Result stream = Run({"raw", "-d", F("stream.bin")});
  EXPECT_EQ(stream.status, 1);
  EXPECT_EQ(stream.out,
            "         1 record          1: 8 bytes\n"
            "         1 varint          1: 4\n"
            "         3 len=4           7 {\n"
            "         5 len=2             3 {\n"
            "         7 varint              1: 1\n"
            "                             }\n"
            "                           }\n"
            "        10 record          2: 6 bytes\n"
            "        10 varint          1: 150\n"
            "        13 error           (field 5 has length 5 but only 1 bytes are left)\n"
            "        13 rest            \"*\\005\\010\"\n"
            "        17 record          3: 2 bytes\n"
            "        17 varint          2: 3\n");
}

TEST_F(ToolTest, SliceIndexAndAssembleKeepEveryByte) {
  // A stream's records keep their length prefixes as written, an overlong
  // one included; a whole input gets the shortest.
  WriteFile(Path("three.bin"), std::string("\x02\x08\x01\x82\x00\x08\x02\x00", 8));
  const std::string three = F("three.bin");
  EXPECT_EQ(RunOk({"slice", "-d", "--record=2", three, "-o", "-"}).out, std::string("\x82\x00\x08\x02", 4));
  EXPECT_EQ(RunOk({"slice", three, "-o", "-"}).out, "\x08" + ReadFile(three));
  EXPECT_EQ(RunOk({"index", "-d", three}).out, "1 1 2\n2 5 2\n3 8 0\n");
  EXPECT_EQ(RunOk({"index", "-dj", three}).out.substr(0, 35), "{\"record\":1,\"offset\":1,\"length\":2}\n");
  // Several files are read in turn as one stream; a record may span two.
  WriteFile(Path("a.bin"), "\x02\x08");
  WriteFile(Path("b.bin"), "\x01\x02\x08\x02");
  const std::string a = F("a.bin"), b = F("b.bin");
  EXPECT_EQ(RunOk({"index", "-d", a, b}).out, "1 1 2\n2 4 2\n");
  EXPECT_EQ(RunOk({"decode", "-d", "Track", a, b}).out, "track_id: 1\n---\ntrack_id: 2\n---\n");
  EXPECT_EQ(RunOk({"count", a, b, three}).out, "5\n");

  // Over the record reader's corpus (every 32nd input; its harness takes
  // every input through the printer, the assembler, slice and index): raw
  // text or JSON assembles to the input's bytes, whole or as a stream (one
  // that cannot be framed to its end included); a stream slices to itself.
  std::vector<fs::path> corpus;
  for (const auto& entry : fs::directory_iterator(TARVESH_SOURCE_DIR "/fuzz/corpus/RecordReader")) {
    corpus.push_back(entry.path());
  }
  std::sort(corpus.begin(), corpus.end());
  const std::string tool = TARVESH_TOOL, in = F("in.bin"), out = F("out.bin");
  for (size_t i = 0; i < corpus.size(); i += 32) {
    SCOPED_TRACE(corpus[i].filename().string());
    const std::string bytes = ReadFile(corpus[i]).substr(2);  // past the harness's two bytes
    WriteFile(in, bytes);
    if (Run({"slice", "-d", in, "-o", out}).status == 0) {
      EXPECT_TRUE(ReadFile(out) == bytes);
    }
    for (const std::string raw : {"raw", "raw -d", "raw --json", "raw -dj"}) {
      const Result assembled = Sh(tool + " " + raw + " " + in + " 2>/dev/null | " + tool + " assemble -o " + out);
      EXPECT_EQ(assembled.status, 0) << raw << ": " << assembled.err;
      EXPECT_TRUE(ReadFile(out) == bytes) << raw;
    }
  }
}

TEST_F(ToolTest, OtherSchemasThroughProtoPathAndDescriptorSet) {
  // A schema of the test's own: a nested type, an enum, a map, and the
  // library's Track, imported by its installed name though no proto_path
  // holds it (the library's own types serve).
  WriteFile(Path("shop.proto"),
            "syntax = \"proto3\";\npackage shop;\nimport \"ProtoBuf/Tarvesh/Tarvesh.Track.proto\";\n"
            "message Shelf {\n  enum Kind { KIND_UNSET = 0; COLD = 1; DRY = 2; }\n"
            "  message Slot { uint32 row = 1; string label = 2; }\n  string name = 1;\n  Kind kind = 2;\n"
            "  repeated Slot slots = 3;\n  map<string, int64> counts = 4;\n  Pb.Tarvesh.Track track = 5;\n}\n");
  const std::string text =
      "name: \"north\"\nkind: COLD\nslots {\n  row: 1\n  label: \"a\"\n}\nslots {\n  row: 2\n  label: \"b\"\n}\n"
      "counts {\n  key: \"x\"\n  value: -3\n}\ntrack {\n  track_id: 4\n  frame_tables {\n    frame_sizes: 1\n"
      "    frame_sizes: -2\n    auth_tags: 9\n  }\n}\n";
  WriteFile(Path("shelf.txt"), text);
  const std::string schema = F("shop.proto"), dir = dir_.string();
  RunOk({"encode", "-I", dir, schema, "shop.Shelf", F("shelf.txt"), "-o", F("shelf.bin")});
  // The runtime's own encoder gives the same bytes.
  const Result reference =
      Run({"-I", dir, "-I", TARVESH_SOURCE_DIR, "--encode=shop.Shelf", schema}, From("shelf.txt"), PROTOC_EXECUTABLE);
  ASSERT_EQ(reference.status, 0) << reference.err;
  EXPECT_TRUE(reference.out == ReadFile(Path("shelf.bin"))) << "encode differs from protoc --encode";

  // Text and JSON back to the same bytes; the type by its name in its package.
  EXPECT_EQ(RunOk({"decode", "--proto_path=" + dir, schema, "Shelf", F("shelf.bin")}).out, text);
  RunOk({"decode", "--json", schema, "Shelf", F("shelf.bin"), "-o", F("shelf.json")});
  RunOk({"encode", "--json", schema, "Shelf", F("shelf.json"), "-o", F("again.bin")});
  EXPECT_TRUE(ReadFile(Path("again.bin")) == ReadFile(Path("shelf.bin")));

  // JSON with enums as numbers and map entries in key order (written here in
  // the other order); stats reads the schema's types too.
  WriteFile(Path("map.bin"), std::string("\x10\x01\x22\x05\x0a\x01y\x10\x01\x22\x05\x0a\x01x\x10\x02", 16));
  EXPECT_EQ(RunOk({"decode", "-j", "--compact", "--enums-as-ints", "--deterministic", schema, "Shelf",
                   F("map.bin")}).out,
            "{\"kind\":1,\"counts\":{\"x\":\"2\",\"y\":\"1\"}}\n");
  EXPECT_EQ(RunOk({"stats", "-j", schema, "Shelf", F("map.bin")}).out.find("{\"type\":\"shop.Shelf\",\"records\":1,"),
            0u);

  // --strict: an open enum's number the enum does not name is refused too.
  WriteFile(Path("kind.txt"), "kind: 7\n");
  const Result unnamed = Run({"encode", "--strict", schema, "Shelf", F("kind.txt"), "-o", F("k.bin")});
  EXPECT_EQ(unnamed.status, 1);
  EXPECT_EQ(unnamed.err, "tarvesh: " + F("kind.txt") + ": holds 1 enum values the enum does not name (--strict)\n");

  // One rule for every type's name: full, or within its package, in any
  // case where one type has it; several are listed, a near miss suggested.
  WriteFile(Path("c.proto"), "syntax = \"proto3\";\npackage c;\nmessage Track { int32 x = 1; }\n");
  EXPECT_EQ(RunOk({"decode", schema, "shelf", F("shelf.bin")}).out, text);
  const std::string c_proto = F("c.proto");
  const std::vector<std::pair<std::vector<std::string>, std::string>> names = {
      {{"decode", c_proto, "Track"}, "type 'Track' is ambiguous: Pb.Tarvesh.Track, c.Track; give the full name"},
      {{"decode", schema, "Shelff"}, "unknown type 'Shelff'; did you mean 'Shelf'?"},
      {{"decode", schema, "shop.Shelff"}, "unknown type 'shop.Shelff'; did you mean 'shop.Shelf'?"},
  };
  for (const auto& name : names) {
    const Result refused = Run(name.first);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "tarvesh: " + name.second + " (see 'tarvesh types')\n");
  }
  EXPECT_EQ(RunOk({"decode", c_proto, "c.Track", "/dev/null"}).out, "");

  // JSON names extensions as "[pkg.ext]"; a closed enum's unnamed value is
  // warned of as what it is.
  WriteFile(Path("e.proto"), "syntax = \"proto2\";\npackage e;\nenum K { Z = 0; }\n"
                             "message M { optional K k = 2; extensions 100 to 200; }\n"
                             "extend M { optional int32 ext = 100; optional sint64 big = 101; }\n");
  WriteFile(Path("m.bin"), std::string("\xa0\x06\x07\x10\x05", 5));
  const Result extended = Run({"decode", "--json", "--compact", F("e.proto"), "M", F("m.bin")});
  EXPECT_EQ(extended.status, 0);
  EXPECT_EQ(extended.out, "{\"[e.ext]\":7,\"k\":5}\n");
  EXPECT_EQ(extended.err, "tarvesh: " + F("m.bin") + ": warning: 1 enum values the enum does not "
                          "name in 1 of 1 records (shown as numbers)\n");
  WriteFile(Path("big.bin"), "\xa8\x06\x03");
  EXPECT_EQ(RunOk({"decode", "-j", "--compact", "--int64-as-numbers", F("e.proto"), "M", F("big.bin")}).out,
            "{\"[e.big]\":-2}\n");

  // A text Any of a schema's type is read as JSON's is.
  WriteFile(Path("w.proto"), "syntax = \"proto3\";\npackage w;\nimport \"google/protobuf/any.proto\";\n"
                             "import \"google/protobuf/wrappers.proto\";\n"
                             "message P { int32 x = 1; }\nmessage H { google.protobuf.Any any = 1; }\n"
                             "message N { int64 a = 1; uint64 b = 2; sint64 c = 3; fixed64 d = 4; sfixed64 e = 5;\n"
                             "  repeated int64 f = 6; map<int64, sint64> g = 7; string h = 8; int32 i = 9; N next = 10;\n"
                             "  google.protobuf.Int64Value j = 11; repeated google.protobuf.Any k = 12;\n"
                             "  map<string, N> m = 13; int64 long_one = 14; }\n");
  WriteFile(Path("h.txt"), "any { [type.googleapis.com/w.P] { x: 3 } }\n");
  RunOk({"encode", F("w.proto"), "H", F("h.txt"), "-o", F("h.bin")});
  EXPECT_EQ(RunOk({"decode", "--json", "--compact", F("w.proto"), "H", F("h.bin")}).out,
            "{\"any\":{\"@type\":\"type.googleapis.com/w.P\",\"x\":3}}\n");

  // --int64-as-numbers: every 64-bit integer the schema has, and only those,
  // unquoted; strings and map keys that read as numbers stay strings.
  WriteFile(Path("n.txt"), "a: -1 b: 18446744073709551615 c: -3 d: 4 e: -5 f: 6 f: 7 g { key: -8 value: 9 } h: \"10\"\n"
                           "i: 11 next { a: 12 h: \"13\" } j { value: 14 } k { [type.googleapis.com/w.N] { a: 15 h: \"16\" } }\n"
                           "k { [type.googleapis.com/google.protobuf.Int64Value] { value: 17 } }\n"
                           "m { key: \"18\" value { b: 19 } } long_one: 20\n");
  RunOk({"encode", F("w.proto"), "N", F("n.txt"), "-o", F("n.bin")});
  const std::string numbers =
      "{\"a\":-1,\"b\":18446744073709551615,\"c\":-3,\"d\":4,\"e\":-5,\"f\":[6,7],\"g\":{\"-8\":9},\"h\":\"10\","
      "\"i\":11,\"next\":{\"a\":12,\"h\":\"13\"},\"j\":14,\"k\":[{\"@type\":\"type.googleapis.com/w.N\",\"a\":15,"
      "\"h\":\"16\"},{\"@type\":\"type.googleapis.com/google.protobuf.Int64Value\",\"value\":17}],"
      "\"m\":{\"18\":{\"b\":19}},\"longOne\":20}\n";
  for (const bool proto_names : {false, true}) {
    std::vector<std::string> arguments{"decode", "-j", "--compact", "--int64-as-numbers", F("w.proto"), "N",
                                       F("n.bin")};
    if (proto_names) arguments.push_back("--proto-names");
    std::string expected = numbers;
    if (proto_names) expected.replace(expected.find("longOne"), 7, "long_one");
    EXPECT_EQ(RunOk(arguments).out, expected);
  }
  EXPECT_EQ(RunOk({"decode", "-j", "--int64-as-numbers", F("w.proto"), "N", F("n.bin")}).out.find(
                "{\n \"a\": -1,\n \"b\": 18446744073709551615,\n"),
            0u);

  // raw names the fields of the schema's type and of the library's within.
  const std::string raw = RunOk({"raw", schema, "--type=Shelf", F("shelf.bin")}).out;
  EXPECT_NE(raw.find(" 1 name: \"north\"\n"), std::string::npos) << raw;
  EXPECT_NE(raw.find(" 7 frame_tables {\n"), std::string::npos) << raw;

  // A FileDescriptorSet serves as well, and guess tries its types.
  const Result set = Run({"-I", dir, "-I", TARVESH_SOURCE_DIR, "--include_imports",
                          "--descriptor_set_out=" + F("shop.pb"), schema}, {}, PROTOC_EXECUTABLE);
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(RunOk({"decode", "--descriptor-set", F("shop.pb"), "shop.Shelf", F("shelf.bin")}).out, text);
  EXPECT_EQ(RunOk({"guess", schema, F("shelf.bin")}).out, "shop.Shelf\n");

  // A recursive type nested 20,000 deep: walked as the type as deep as the
  // runtime parses it, the rest shown as bytes, each line indented at most
  // 32 levels.
  WriteFile(Path("tree.proto"), "syntax = \"proto3\";\npackage tree;\nmessage Node { Node child = 1; }\n");
  std::vector<size_t> inner_sizes{0};
  for (int depth = 1; depth < 20000; ++depth) {
    inner_sizes.push_back(1 + tarvesh_test::Varint(inner_sizes.back()).size() + inner_sizes.back());
  }
  std::string nested;
  for (auto size = inner_sizes.rbegin(); size != inner_sizes.rend(); ++size) {
    nested += "\x0a" + tarvesh_test::Varint(*size);
  }
  WriteFile(Path("deep.bin"), nested);
  const std::string deep = RunOk({"raw", F("tree.proto"), "--type=Node", F("deep.bin")}).out;
  size_t walked = 0;
  for (size_t at = 0; (at = deep.find("1 child {\n", at)) != std::string::npos; ++at) ++walked;
  EXPECT_EQ(walked, 100u);
  EXPECT_NE(deep.find(std::string(65, ' ') + "1 child: \"\\n"), std::string::npos);
  EXPECT_EQ(deep.find(std::string(27 + 66, ' ')), std::string::npos) << "indented past 32 levels";

  // A bad schema is one line with its place.
  WriteFile(Path("bad.proto"), "syntax = \"proto3\";\nmessage A {\n  int32 x = ;\n}\n");
  const Result bad = Run({"decode", F("bad.proto"), "A"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "tarvesh: schema: bad.proto:3:13: Expected field number.\n");
}

}  // namespace
