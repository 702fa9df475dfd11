// SPDX-License-Identifier: BSD-3-Clause
// libFuzzer entry for the tarvesh command's record reader. The first byte
// picks the record type (low four bits, modulo the twelve types), the records
// slice skips (the next three) and whole-input or delimited reading (top
// bit); the second the reader's block size (1 to 64 bytes, so records and
// length prefixes straddle buffer edges); the rest is the input. The reader's
// offsets must be those index and slice give; slice, from the first record or
// past the skipped ones, must keep every byte. The input is also printed by
// the raw printer, which must take any bytes and, where the runtime's own raw
// decoding (the bytes as google.protobuf.Empty, printed as text) accepts
// them, show the same fields (indented at most 32 levels); its text must
// assemble back to the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
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
#include "Session.h"
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

// One record as `tarvesh index` lists it: its number, where its bytes begin
// (past its length prefix) and their length.
struct IndexEntry {
  uint64_t record, offset, length;
  bool operator==(const IndexEntry& o) const {
    return record == o.record && offset == o.offset && length == o.length;
  }
};

// The records a run of the reader over the input listed, and how it ended.
struct Framing {
  std::vector<IndexEntry> index;
  tarvesh::RecordReader::Status status;
  tarvesh::RecordError error;
  bool EndsAs(const Framing& o) const {
    return std::tie(status, error.record, error.offset, error.what) ==
           std::tie(o.status, o.error.record, o.error.offset, o.error.what);
  }
};

// `tarvesh index`: every record passed over by its length prefix alone.
Framing Indexed(const std::string& input, int block_size, bool delimited) {
  gp::io::ArrayInputStream stream(input.data(), static_cast<int>(input.size()), block_size);
  tarvesh::RecordReader reader(&stream, delimited);
  Framing framing;
  while ((framing.status = reader.Skip()) == tarvesh::RecordReader::kRecord) {
    framing.index.push_back({reader.records(), reader.body_start(), reader.offset() - reader.body_start()});
  }
  framing.error = reader.error();
  return framing;
}

// `tarvesh slice --skip=N`, put back together: the input up to the end of the
// records skipped, then each record's length prefix and bytes as read, then,
// after a frame that fails, what was read of it and the rest of the input
// (raw -d prints all of it). Must give the input, unless a skipped record's
// frame fails (its bytes were passed over, not read).
Framing SlicedBack(const std::string& input, int block_size, bool delimited, uint64_t skip) {
  gp::io::ArrayInputStream stream(input.data(), static_cast<int>(input.size()), block_size);
  tarvesh::RecordReader reader(&stream, delimited);
  tarvesh::Options options;
  options.skip = skip;
  Framing framing;
  framing.status = tarvesh::SkipRecords(options, &reader);
  std::string kept = input.substr(0, reader.offset());
  while (framing.status == tarvesh::RecordReader::kRecord &&
         (framing.status = reader.NextBytes()) == tarvesh::RecordReader::kRecord) {
    const std::string& record = reader.record_bytes();
    kept += reader.prefix();
    Require(reader.body_start() == kept.size(), "a record's bytes start elsewhere than its prefix ends");
    kept += record;
    framing.index.push_back({skip + framing.index.size() + 1, reader.body_start(), record.size()});
    Require(!delimited || reader.records() == framing.index.back().record,
            "a record's number is not its place");
  }
  framing.error = reader.error();
  if (framing.status == tarvesh::RecordReader::kError && framing.error.record <= skip) return framing;
  if (framing.status == tarvesh::RecordReader::kError) {
    Require(reader.offset() == kept.size(), "a failed frame starts elsewhere than the last one ended");
    kept += reader.prefix() + reader.record_bytes();
    const void* rest;
    int rest_size;
    while (stream.Next(&rest, &rest_size)) kept.append(static_cast<const char*>(rest), rest_size);
  }
  Require(kept == input, "slice loses bytes");
  return framing;
}

// The records' places as index lists them and as slice reads them, from the
// first record and past `skip` of them.
Framing CheckSliceAndIndex(const std::string& input, int block_size, bool delimited, uint64_t skip) {
  const Framing whole = SlicedBack(input, block_size, delimited, 0);
  const Framing indexed = Indexed(input, block_size, delimited);
  Require(indexed.index == whole.index && indexed.EndsAs(whole), "index and slice see other records");
  const Framing rest = skip == 0 ? whole : SlicedBack(input, block_size, delimited, skip);
  Require(rest.EndsAs(whole), "slice --skip ends otherwise than slice");
  const size_t skipped = std::min<size_t>(skip, whole.index.size());
  Require(std::equal(rest.index.begin(), rest.index.end(), whole.index.begin() + skipped, whole.index.end()),
          "slice --skip reads other records than slice past them");
  return whole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const gp::Descriptor* type = Types()[(data[0] & 0x0f) % Types().size()];
  const bool delimited = (data[0] & 0x80) != 0;
  const int block_size = 1 + data[1] % 64;
  const std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  const Framing framing = CheckSliceAndIndex(bytes, block_size, delimited, (data[0] >> 4) & 7);

  const gp::Message* prototype = gp::MessageFactory::generated_factory()->GetPrototype(type);
  std::unique_ptr<gp::Message> message(prototype->New());
  std::unique_ptr<gp::Message> again(prototype->New());
  gp::io::ArrayInputStream input(bytes.data(), static_cast<int>(bytes.size()), block_size);
  tarvesh::RecordReader reader(&input, delimited);
  tarvesh::RecordReader::Status status;
  uint64_t records = 0;
  while ((status = reader.Next(message.get())) == tarvesh::RecordReader::kRecord) {
    // Each record parsed is the one index lists at its place.
    const std::string& record = reader.record_bytes();
    Require(++records <= framing.index.size(), "more records parsed than index lists");
    const IndexEntry& listed = framing.index[records - 1];
    Require(reader.offset() == listed.offset + listed.length && record.size() == listed.length &&
                bytes.compare(listed.offset, listed.length, record) == 0,
            "a record parsed is not where index lists it");
    // What was read writes bytes that read back to the same bytes, and the
    // wire scan agrees that the record's bytes are well formed.
    const std::string written = message->SerializeAsString();
    Require(again->ParseFromString(written), "re-serialized record does not parse");
    Require(again->SerializeAsString() == written, "re-serialized record changes");
    tarvesh::FieldBytes field_bytes;
    const tarvesh::WireFault fault = tarvesh::ScanWire(type, record.data(), record.size(), &field_bytes);
    Require(!fault.found, "wire scan faults a record the classes accept");
    uint64_t counted = 0;
    for (const auto& entry : field_bytes) counted += entry.second;
    Require(counted == record.size(), "wire scan's field bytes do not add up to the record");
  }
  Require(delimited || records == 1 || status == tarvesh::RecordReader::kError,
          "whole-input reading gave no record and no error");
  CheckRaw(bytes.data(), bytes.size(), (data[1] & 0x40) != 0);
  if (status == tarvesh::RecordReader::kError) {
    Require(!reader.error().what.empty(), "an error without a message");
    Require(reader.error().offset <= bytes.size(), "error offset past the end of input");
    Require(reader.error().record == (delimited ? records + 1 : 0), "error names the wrong record");
  }
  return 0;
}
