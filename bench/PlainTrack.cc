// SPDX-License-Identifier: BSD-3-Clause
#include "PlainTrack.h"

#include <algorithm>
#include <type_traits>

#include <protozero/exception.hpp>
#include <protozero/pbf_reader.hpp>
#include <protozero/pbf_writer.hpp>

namespace tarvesh_bench {
namespace {

// A run pair: count = 1, value = 2 (zigzag when Value is signed).
template <class Value>
PlainRun<Value> DecodeRun(protozero::pbf_reader message) {
  PlainRun<Value> run;
  while (message.next()) {
    switch (message.tag_and_type()) {
      case protozero::tag_and_type(1, protozero::pbf_wire_type::varint):
        run.count = message.get_uint32();
        break;
      case protozero::tag_and_type(2, protozero::pbf_wire_type::varint):
        if constexpr (std::is_signed_v<Value>) {
          run.value = message.get_sint32();
        } else {
          run.value = message.get_uint32();
        }
        break;
      default:
        message.skip();
    }
  }
  return run;
}

template <class Range, class Value>
void Append(const Range& range, std::vector<Value>* column) {
  column->insert(column->end(), range.begin(), range.end());
}

void DecodeFrameTable(protozero::pbf_reader message, PlainFrameTable* table) {
  using protozero::pbf_wire_type;
  using protozero::tag_and_type;
  while (message.next()) {
    switch (message.tag_and_type()) {
      case tag_and_type(1, pbf_wire_type::length_delimited):
        table->seq_numbers.push_back(DecodeRun<std::int32_t>(message.get_message()));
        break;
      case tag_and_type(2, pbf_wire_type::length_delimited):
        table->timestamps.push_back(DecodeRun<std::int32_t>(message.get_message()));
        break;
      case tag_and_type(3, pbf_wire_type::length_delimited): {
        const protozero::data_view bytes = message.get_view();
        table->coding_depend.assign(bytes.data(), bytes.size());
        break;
      }
      case tag_and_type(4, pbf_wire_type::length_delimited):
        Append(message.get_packed_sint32(), &table->frame_sizes);
        break;
      case tag_and_type(5, pbf_wire_type::length_delimited):
        Append(message.get_packed_uint32(), &table->frame_to_pallet_offsets);
        break;
      case tag_and_type(6, pbf_wire_type::length_delimited):
        table->frame_to_pallet_ids.push_back(DecodeRun<std::uint32_t>(message.get_message()));
        break;
      case tag_and_type(7, pbf_wire_type::length_delimited):
        table->access_units_per_frame.push_back(DecodeRun<std::uint32_t>(message.get_message()));
        break;
      case tag_and_type(8, pbf_wire_type::length_delimited):
        Append(message.get_packed_sint32(), &table->access_unit_length_diffs);
        break;
      case tag_and_type(9, pbf_wire_type::length_delimited):
        Append(message.get_packed_uint32(), &table->access_unit_offset_jumps);
        break;
      case tag_and_type(10, pbf_wire_type::length_delimited):
        table->errors.push_back(DecodeRun<std::int32_t>(message.get_message()));
        break;
      case tag_and_type(11, pbf_wire_type::length_delimited):
        Append(message.get_packed_fixed64(), &table->auth_tags);
        break;
      default:
        message.skip();
    }
  }
}

template <class Value, class Field>
bool SameColumn(const std::vector<Value>& plain, const Field& field) {
  return plain.size() == static_cast<std::size_t>(field.size()) &&
         std::equal(plain.begin(), plain.end(), field.begin());
}

bool SameDeltas(const std::vector<PlainRun<std::int32_t>>& plain,
                const google::protobuf::RepeatedPtrField<Pb::Tarvesh::CountDeltaS32>& pairs) {
  if (plain.size() != static_cast<std::size_t>(pairs.size())) return false;
  for (int i = 0; i < pairs.size(); ++i) {
    if (plain[i].count != pairs.Get(i).count() || plain[i].value != pairs.Get(i).delta()) return false;
  }
  return true;
}

template <class Value, class Pair>
bool SameVals(const std::vector<PlainRun<Value>>& plain,
              const google::protobuf::RepeatedPtrField<Pair>& pairs) {
  if (plain.size() != static_cast<std::size_t>(pairs.size())) return false;
  for (int i = 0; i < pairs.size(); ++i) {
    if (plain[i].count != pairs.Get(i).count() || plain[i].value != pairs.Get(i).val()) return false;
  }
  return true;
}

bool SameTable(const PlainFrameTable& plain, const Pb::Tarvesh::FrameTable& table) {
  return SameDeltas(plain.seq_numbers, table.seq_numbers()) &&
         SameDeltas(plain.timestamps, table.timestamps()) &&
         plain.coding_depend == table.coding_depend() &&
         SameColumn(plain.frame_sizes, table.frame_sizes()) &&
         SameColumn(plain.frame_to_pallet_offsets, table.frame_to_pallet_offsets()) &&
         SameVals(plain.frame_to_pallet_ids, table.frame_to_pallet_ids()) &&
         SameVals(plain.access_units_per_frame, table.access_units_per_frame()) &&
         SameColumn(plain.access_unit_length_diffs, table.access_unit_length_diffs()) &&
         SameColumn(plain.access_unit_offset_jumps, table.access_unit_offset_jumps()) &&
         SameVals(plain.errors, table.errors()) && SameColumn(plain.auth_tags, table.auth_tags());
}

}  // namespace

void PlainFrameTable::Clear() {
  seq_numbers.clear();
  timestamps.clear();
  coding_depend.clear();
  frame_sizes.clear();
  frame_to_pallet_offsets.clear();
  frame_to_pallet_ids.clear();
  access_units_per_frame.clear();
  access_unit_length_diffs.clear();
  access_unit_offset_jumps.clear();
  errors.clear();
  auth_tags.clear();
}

void PlainTrack::Clear() {
  track_id = num_frames = start_seq = 0;
  start_time = start_tick = duration = 0;
  auth_type = 0;
  table_count = 0;
}

bool PlainTrack::Decode(const char* data, std::size_t size) {
  using protozero::pbf_wire_type;
  using protozero::tag_and_type;
  try {
    protozero::pbf_reader message(data, size);
    while (message.next()) {
      switch (message.tag_and_type()) {
        case tag_and_type(1, pbf_wire_type::varint): track_id = message.get_uint32(); break;
        case tag_and_type(2, pbf_wire_type::varint): num_frames = message.get_uint32(); break;
        case tag_and_type(3, pbf_wire_type::varint): start_seq = message.get_uint32(); break;
        case tag_and_type(4, pbf_wire_type::fixed64): start_time = message.get_fixed64(); break;
        case tag_and_type(5, pbf_wire_type::varint): start_tick = message.get_uint64(); break;
        case tag_and_type(6, pbf_wire_type::varint): duration = message.get_uint64(); break;
        case tag_and_type(7, pbf_wire_type::length_delimited): {
          if (table_count == tables.size()) tables.emplace_back();
          PlainFrameTable& table = tables[table_count++];
          table.Clear();
          DecodeFrameTable(message.get_message(), &table);
          break;
        }
        case tag_and_type(8, pbf_wire_type::varint): auth_type = message.get_enum(); break;
        default: message.skip();
      }
    }
  } catch (const protozero::exception&) {
    return false;
  }
  return true;
}

namespace {

template <class Value>
void EncodeRuns(protozero::pbf_writer* table, protozero::pbf_tag_type tag,
                const std::vector<PlainRun<Value>>& runs) {
  for (const PlainRun<Value>& run : runs) {
    protozero::pbf_writer pair(*table, tag);
    pair.add_uint32(1, run.count);
    if constexpr (std::is_signed_v<Value>) {
      pair.add_sint32(2, run.value);
    } else {
      pair.add_uint32(2, run.value);
    }
  }
}

void EncodeFrameTable(protozero::pbf_writer* track, const PlainFrameTable& table) {
  protozero::pbf_writer out(*track, 7);
  EncodeRuns(&out, 1, table.seq_numbers);
  EncodeRuns(&out, 2, table.timestamps);
  out.add_bytes(3, table.coding_depend);
  out.add_packed_sint32(4, table.frame_sizes.begin(), table.frame_sizes.end());
  out.add_packed_uint32(5, table.frame_to_pallet_offsets.begin(),
                        table.frame_to_pallet_offsets.end());
  EncodeRuns(&out, 6, table.frame_to_pallet_ids);
  EncodeRuns(&out, 7, table.access_units_per_frame);
  out.add_packed_sint32(8, table.access_unit_length_diffs.begin(),
                        table.access_unit_length_diffs.end());
  out.add_packed_uint32(9, table.access_unit_offset_jumps.begin(),
                        table.access_unit_offset_jumps.end());
  EncodeRuns(&out, 10, table.errors);
  out.add_packed_fixed64(11, table.auth_tags.begin(), table.auth_tags.end());
}

}  // namespace

void PlainTrack::Encode(std::string* out) const {
  out->clear();
  protozero::pbf_writer track(*out);
  track.add_uint32(1, track_id);
  track.add_uint32(2, num_frames);
  track.add_uint32(3, start_seq);
  track.add_fixed64(4, start_time);
  track.add_uint64(5, start_tick);
  track.add_uint64(6, duration);
  for (std::size_t i = 0; i < table_count; ++i) EncodeFrameTable(&track, tables[i]);
  track.add_enum(8, auth_type);
}

bool SameContent(const PlainTrack& plain, const Pb::Tarvesh::Track& track) {
  if (plain.track_id != track.track_id() || plain.num_frames != track.num_frames() ||
      plain.start_seq != track.start_seq() || plain.start_time != track.start_time() ||
      plain.start_tick != track.start_tick() || plain.duration != track.duration() ||
      plain.auth_type != track.auth_type() ||
      plain.table_count != static_cast<std::size_t>(track.frame_tables_size())) {
    return false;
  }
  for (std::size_t i = 0; i < plain.table_count; ++i) {
    if (!SameTable(plain.tables[i], track.frame_tables(static_cast<int>(i)))) return false;
  }
  return true;
}

}  // namespace tarvesh_bench
