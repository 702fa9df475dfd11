// SPDX-License-Identifier: BSD-3-Clause
// Packed columns read from a CodedInputStream, in either form.
#ifndef TARVESH_WIRE_PACKED_STREAM_READING_H
#define TARVESH_WIRE_PACKED_STREAM_READING_H

#include <algorithm>

#include "wire/PackedCodecs.h"
#include "wire/StreamReading.h"

namespace Pb {
namespace wire {

// The whole 8-byte values among `buffered` bytes, at most `most`.
inline int WholeFixed64s(int buffered, int most) { return std::min(buffered / 8, most); }

// The whole elements (a one-byte tag and 8 bytes) among `buffered` bytes,
// at most `most`.
inline int WholeTaggedFixed64s(int buffered, int most) { return std::min(buffered / 9, most); }

// The varints of a packed record up to the stream's limit (its end), buffer
// by buffer: the varints up to the last one ending in the buffer in one run
// (none, in a buffer of continuation bytes only), then the one across the
// seam (or cut by the limit) by the stream's own reader. Elements read
// before a failure stay appended.
template <class Codec>
inline bool ReadVarintsToLimit(CodedInputStream* input,
                               gp::RepeatedField<typename Codec::Type>* column) {
  for (;;) {
    // The buffer stops at the limit.
    const void* data;
    int buffered;
    input->GetDirectBufferPointerInline(&data, &buffered);
    const char* ptr = static_cast<const char*>(data);
    const char* whole_end = ptr + buffered;  // after the last varint ending in the buffer
    while (whole_end != ptr && static_cast<uint8_t>(whole_end[-1]) >= 0x80) --whole_end;
    if (DecodeVarintRun<Codec>(ptr, whole_end, column) == nullptr) return false;
    input->Skip(static_cast<int>(whole_end - ptr));
    if (input->BytesUntilLimit() <= 0) return true;
    uint32_t raw;
    if (!input->ReadVarint32(&raw) || !CanGrowBy(column->size(), 1)) return false;
    column->Add(Codec::Decode(raw));
  }
}

// A packed varint record. When the whole payload sits in the stream's
// buffer and its last byte ends a varint, it is decoded in one run straight
// from the buffer. Otherwise it is read under a limit, popped again whatever
// the verdict. A payload running past the enclosing limit fails once the
// elements up to that limit are read (PushLimit alone would cut it short
// silently).
template <class Codec>
inline bool ReadPackedVarints(CodedInputStream* input,
                              gp::RepeatedField<typename Codec::Type>* column) {
  int length;
  if (!ReadRecordLength(input, &length)) return false;
  if (length == 0) return true;
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const char* ptr = static_cast<const char*>(data);
  if (HeldWhole(length, buffered) && static_cast<uint8_t>(ptr[length - 1]) < 0x80) {
    return DecodeVarintRun<Codec>(ptr, ptr + length, column) != nullptr &&
           input->Skip(length);
  }
  const int available = input->BytesUntilLimit();
  const bool past_limit = available >= 0 && length > available;
  const CodedInputStream::Limit limit = input->PushLimit(length);
  const bool read = ReadVarintsToLimit<Codec>(input, column);
  input->PopLimit(limit);
  return read && !past_limit;
}

// One element in element form (its tag already read), then further elements
// of the same tag while the column has spare room, so the loop never grows it.
template <class Codec>
inline bool ReadVarintElements(CodedInputStream* input, uint32_t tag,
                               gp::RepeatedField<typename Codec::Type>* column) {
  uint32_t raw;
  if (!input->ReadVarint32(&raw) || !CanGrowBy(column->size(), 1)) return false;
  column->Add(Codec::Decode(raw));
  // Capacity is at most INT_MAX, so the elements below cannot pass it.
  while (column->size() < column->Capacity() && input->ExpectTag(tag)) {
    if (!input->ReadVarint32(&raw)) return false;
    column->AddAlreadyReserved(Codec::Decode(raw));
  }
  return true;
}

// A packed fixed64 record: whole runs of 8-byte values are copied from the
// stream's buffer as they come, so nothing is reserved beyond the bytes
// actually present. A length that is not a multiple of 8 fails after the
// whole values, its last value being cut short; a record whose whole values
// would take the column past INT_MAX elements fails before reading any.
inline bool ReadPackedFixed64s(CodedInputStream* input, gp::RepeatedField<uint64_t>* column) {
  int length;
  if (!ReadRecordLength(input, &length)) return false;
  int remaining = length / 8;
  if (!CanGrowBy(column->size(), static_cast<size_t>(remaining))) return false;
  while (remaining > 0) {
    const void* data;
    int buffered;
    input->GetDirectBufferPointerInline(&data, &buffered);
    const int run = WholeFixed64s(buffered, remaining);
    if (run == 0) {
      // A value split across buffers, or the input ends here.
      uint64_t value;
      if (!input->ReadLittleEndian64(&value)) return false;
      column->Add(value);
      --remaining;
      continue;
    }
    column->Reserve(column->size() + run);
    uint64_t* dest = column->AddNAlreadyReserved(run);
    const uint8_t* src = static_cast<const uint8_t*>(data);
    // On a little-endian host the bytes are the values; the other byte
    // order's loop is compiled (and tested, by the s390x build) only there.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(dest, src, static_cast<size_t>(run) * 8);
#else
    for (int i = 0; i < run; ++i) {
      src = CodedInputStream::ReadLittleEndian64FromArray(src, &dest[i]);
    }
#endif
    input->Skip(run * 8);
    remaining -= run;
  }
  return length % 8 == 0;
}

// One fixed64 element in element form, then further elements of the same
// tag read straight from the buffer: as many as both the column's spare
// room and the buffered whole (tag + 8 bytes) elements allow.
inline bool ReadFixed64Elements(CodedInputStream* input, uint8_t tag,
                                gp::RepeatedField<uint64_t>* column) {
  uint64_t value;
  if (!input->ReadLittleEndian64(&value) || !CanGrowBy(column->size(), 1)) return false;
  column->Add(value);
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const int spare = column->Capacity() - column->size();
  const int limit = WholeTaggedFixed64s(buffered, spare);
  const uint8_t* ptr = static_cast<const uint8_t*>(data);
  int read = 0;
  while (read < limit) {
    const uint8_t* after_tag = CodedInputStream::ExpectTagFromArray(ptr, tag);
    if (after_tag == nullptr) break;
    ptr = CodedInputStream::ReadLittleEndian64FromArray(after_tag, &value);
    column->AddAlreadyReserved(value);
    ++read;
  }
  return read == 0 || input->Skip(read * 9);
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_PACKED_STREAM_READING_H
