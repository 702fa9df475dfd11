// SPDX-License-Identifier: BSD-3-Clause
// tarvesh stats: records, element counts and bytes per field.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <google/protobuf/stubs/strutil.h>

#include "Command.h"
#include "Diagnostics.h"
#include "ProtoBuf/Tarvesh/Tarvesh.Track.pb.h"
#include "RecordReader.h"
#include "Session.h"
#include "TypeNames.h"
#include "WireScan.h"

namespace tarvesh {

namespace gp = google::protobuf;

namespace {

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

}  // namespace

int Stats(Session& session) {
  const Options& options = session.options();
  // stats [TYPE] [FILE]...: the first argument is a TYPE when no file has its
  // name and it names a type, or when more follow it.
  const gp::Descriptor* type = Pb::Tarvesh::Track::descriptor();
  bool type_named = false;
  std::vector<std::string> paths = options.arguments;
  if (!paths.empty() && access(paths[0].c_str(), F_OK) != 0 &&
      (paths.size() > 1 || FindType(paths[0]) != nullptr)) {
    type = FindType(paths[0]);
    if (type == nullptr) return UnknownType(paths[0]);
    type_named = true;
    paths.erase(paths.begin());
  }
  if (int opened = session.OpenInput(paths)) return opened;
  Input& input = session.input();
  std::unique_ptr<gp::Message> message = NewMessage(type);
  const bool track = type == Pb::Tarvesh::Track::descriptor();
  RecordReader reader(&input, options.delimited, &input);
  uint64_t records = 0, tables = 0, frames = 0, previous_offset = 0, unknown = 0;
  std::map<std::string, uint64_t> elements;
  std::vector<const gp::Descriptor*> open;
  RepeatedPaths(type, "", &open, &elements);
  FieldBytes bytes;
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
    ScanWire(type, record.data(), record.size(), &bytes);
    if (options.delimited) {
      bytes["(length prefixes)"] += reader.offset() - previous_offset - record.size();
    }
    previous_offset = reader.offset();
  }
  input.FinishProgress();
  if (status == RecordReader::kError) return session.RecordFailed(reader.error());
  if (int missing = MissingRecord(options, status, reader, session.input().name())) return missing;
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
    // Keys are names: "frame tables" is "frame_tables", "frames (num_frames)"
    // is "frames".
    auto key = [](std::string label) {
      label = label.substr(0, label.find(" ("));
      std::replace(label.begin(), label.end(), ' ', '_');
      return label;
    };
    for (const auto& count : counts) json += "," + quoted(key(count.first)) + ":" + number(count.second);
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
  return 0;
}

}  // namespace tarvesh
