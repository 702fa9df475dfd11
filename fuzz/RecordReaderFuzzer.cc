// SPDX-License-Identifier: BSD-3-Clause
// libFuzzer entry for the tarvesh command's record reader. The first byte
// picks the record type (low four bits, modulo the twelve types) and whole-
// input or delimited reading (top bit); the second the reader's block size
// (1 to 64 bytes, so records and length prefixes straddle buffer edges); the
// rest is the input. The input is also printed by the raw printer, which
// must take any bytes and, where the runtime's own raw decoding (the bytes as
// google.protobuf.Empty, printed as text) accepts them, show the same fields
// (indented at most 32 levels); its text must assemble back to the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <google/protobuf/empty.pb.h>
#include <google/protobuf/io/zero_copy_stream_impl_lite.h>
#include <google/protobuf/text_format.h>

#include "ProtoBuf/Tarvesh/Tarvesh.Recording.pb.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "RawAssembler.h"
#include "RawJson.h"
#include "RawPrinter.h"
#include "RecordReader.h"
#include "WireScan.h"

namespace {

namespace gp = google::protobuf;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "record reader harness: %s\n", what);
  std::abort();
}

void AddWithNested(const gp::Descriptor* type, std::vector<const gp::Descriptor*>* types) {
  types->push_back(type);
  for (int i = 0; i < type->nested_type_count(); ++i) AddWithNested(type->nested_type(i), types);
}

const std::vector<const gp::Descriptor*>& Types() {
  static const std::vector<const gp::Descriptor*> types = [] {
    std::vector<const gp::Descriptor*> all;
    for (const gp::FileDescriptor* file : {Pb::Tarvesh::PalletDesc::descriptor()->file(),
                                           Pb::Tarvesh::Track::descriptor()->file()}) {
      for (int i = 0; i < file->message_type_count(); ++i) AddWithNested(file->message_type(i), &all);
    }
    return all;
  }();
  return types;
}

// The raw printer's text with each line's offset and wire type columns cut
// (a long label pushes the text past its column).
std::string WithoutPrefixes(const std::string& text) {
  std::string fields;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    Require(end != std::string::npos && end - at >= tarvesh::kRawPrefixWidth, "a raw line without its columns");
    const size_t label_end = text[at + 11] == ' ' ? at : text.find(' ', at + 11);
    const size_t start = std::max(at + tarvesh::kRawPrefixWidth, label_end + 1);
    fields.append(text, start, end + 1 - start);
    at = end + 1;
  }
  return fields;
}

// The runtime's text with each line's indentation cut to 32 levels.
std::string IndentedAtMost32(const std::string& text) {
  std::string lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = std::min(text.find('\n', at), text.size() - 1);
    const size_t spaces = text.find_first_not_of(' ', at) - at;
    lines.append(std::min<size_t>(spaces, 64), ' ').append(text, at + spaces, end + 1 - at - spaces);
    at = end + 1;
  }
  return lines;
}

// The bytes raw text shows, assembled back.
std::string Assembled(const std::string& text) {
  tarvesh::RawAssembler assembler;
  std::string bytes, error;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    Require(assembler.AddLine(text.substr(at, end - at), &bytes, &error), "raw text does not assemble");
    at = end + 1;
  }
  Require(assembler.Finish(&error), "raw text ends inside a message or group");
  return bytes;
}

void CheckRaw(const char* data, size_t size, bool hex) {
  std::string text;
  tarvesh::RawResult result;
  {
    gp::io::StringOutputStream output(&text);
    result = tarvesh::PrintRaw(data, size, 0, hex, &output);
  }
  Require(!result.write_failed, "raw printing to a string failed");
  Require(!result.fault.found || result.fault.offset <= size, "raw fault past the end of input");
  gp::Empty empty;
  std::string expected;
  const bool parses = empty.ParsePartialFromArray(data, static_cast<int>(size)) &&
                      gp::TextFormat::PrintToString(empty, &expected);
  Require(parses == !result.fault.found, "raw and the runtime disagree on whether the bytes parse");
  if (parses) Require(WithoutPrefixes(text) == IndentedAtMost32(expected), "raw shows other fields than the runtime");
  Require(Assembled(text) == std::string(data, size), "raw text does not assemble to its bytes");
  // The same lines as raw's JSON assemble to the same bytes.
  std::string json;
  {
    gp::io::StringOutputStream output(&json);
    tarvesh::RawJsonOutput lines(&output);
    Require(!tarvesh::PrintRaw(data, size, 0, hex, &lines).write_failed && lines.Flush(), "raw JSON lines fail");
  }
  Require(Assembled(json) == std::string(data, size), "raw JSON does not assemble to its bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const gp::Descriptor* type = Types()[(data[0] & 0x0f) % Types().size()];
  const bool delimited = (data[0] & 0x80) != 0;
  const int block_size = 1 + data[1] % 64;
  const uint64_t input_size = size - 2;
  gp::io::ArrayInputStream input(data + 2, static_cast<int>(input_size), block_size);

  const gp::Message* prototype = gp::MessageFactory::generated_factory()->GetPrototype(type);
  std::unique_ptr<gp::Message> message(prototype->New());
  std::unique_ptr<gp::Message> again(prototype->New());
  tarvesh::RecordReader reader(&input, delimited);
  tarvesh::RecordReader::Status status;
  uint64_t records = 0;
  uint64_t previous_offset = 0;
  while ((status = reader.Next(message.get())) == tarvesh::RecordReader::kRecord) {
    ++records;
    Require(records <= input_size + 1, "more records than input bytes");
    Require(reader.offset() <= input_size, "offset past the end of input");
    Require(!delimited || reader.offset() > previous_offset, "a delimited record consumed nothing");
    previous_offset = reader.offset();
    // What was read writes bytes that read back to the same bytes, and the
    // wire scan agrees that the record's bytes are well formed.
    const std::string bytes = message->SerializeAsString();
    Require(again->ParseFromString(bytes), "re-serialized record does not parse");
    Require(again->SerializeAsString() == bytes, "re-serialized record changes");
    const std::string& record = reader.record_bytes();
    tarvesh::FieldBytes field_bytes;
    const tarvesh::WireFault fault = tarvesh::ScanWire(type, record.data(), record.size(), &field_bytes);
    Require(!fault.found, "wire scan faults a record the classes accept");
    uint64_t counted = 0;
    for (const auto& entry : field_bytes) counted += entry.second;
    Require(counted == record.size(), "wire scan's field bytes do not add up to the record");
  }
  Require(delimited || records == 1 || status == tarvesh::RecordReader::kError,
          "whole-input reading gave no record and no error");
  CheckRaw(reinterpret_cast<const char*>(data + 2), input_size, (data[1] & 0x40) != 0);
  if (delimited) {
    // A stream's records, read as bytes, keep every byte: each length prefix
    // as written, and of a frame that fails, what was read of it; the rest
    // follows in the stream (raw -d prints all of them).
    gp::io::ArrayInputStream again_input(data + 2, static_cast<int>(input_size), block_size);
    tarvesh::RecordReader frames(&again_input, true);
    std::string kept;
    tarvesh::RecordReader::Status framed;
    while ((framed = frames.NextBytes()) == tarvesh::RecordReader::kRecord) {
      kept += frames.prefix() + frames.record_bytes();
    }
    if (framed == tarvesh::RecordReader::kError) {
      Require(frames.offset() == kept.size(), "a failed frame starts elsewhere than the last one ended");
      kept += frames.prefix() + frames.record_bytes();
      const void* rest;
      int rest_size;
      while (again_input.Next(&rest, &rest_size)) kept.append(static_cast<const char*>(rest), rest_size);
    }
    Require(kept == std::string(reinterpret_cast<const char*>(data + 2), input_size), "framing loses bytes");
  }
  if (status == tarvesh::RecordReader::kError) {
    Require(!reader.error().what.empty(), "an error without a message");
    Require(reader.error().offset <= input_size, "error offset past the end of input");
    Require(reader.error().record == (delimited ? records + 1 : 0), "error names the wrong record");
  }
  return 0;
}
