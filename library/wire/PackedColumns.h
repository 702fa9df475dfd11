// Packed columns: codecs, payload sizes, writers and both parsers' readers.
//
// A packed repeated scalar is written as one length-delimited record: tag,
// payload length (cached by ByteSize), then the elements back to back. It is
// written only when the column has elements. Readers take that form and the
// element form (one tag per element, wire type 0 for varints and 1 for
// fixed64) in any mix; both append.
#ifndef TARVESH_WIRE_PACKED_COLUMNS_H
#define TARVESH_WIRE_PACKED_COLUMNS_H

#include <type_traits>

#include "kernels/VarintKernels.h"
#include "wire/ContextParsing.h"
#include "wire/ElementCounts.h"
#include "wire/StreamReading.h"
#include "wire/Writing.h"

namespace Pb {
namespace wire {

// How a varint column's elements look on the wire.
struct SInt32Codec {
  using Type = int32_t;
  static uint32_t Encode(int32_t value) { return kernels::ToWire(value); }
  static int32_t Decode(uint32_t raw) { return kernels::FromWire<int32_t>(raw); }
};
struct UInt32Codec {
  using Type = uint32_t;
  static uint32_t Encode(uint32_t value) { return value; }
  static uint32_t Decode(uint32_t raw) { return raw; }
};

// The varint kernels by element type: the codecs above store sint32 as
// int32_t (ZigZag on the wire) and uint32 as uint32_t (plain).
inline const uint8_t* KernelDecode(const kernels::VarintKernel& kernel, const uint8_t* p,
                                   const uint8_t* end, uint32_t* out, size_t room,
                                   size_t* decoded) {
  return kernel.decode_plain(p, end, out, room, decoded);
}
inline const uint8_t* KernelDecode(const kernels::VarintKernel& kernel, const uint8_t* p,
                                   const uint8_t* end, int32_t* out, size_t room,
                                   size_t* decoded) {
  return kernel.decode_zigzag(p, end, out, room, decoded);
}
inline size_t KernelSize(const kernels::VarintKernel& kernel, const uint32_t* values, size_t n) {
  return kernel.size_plain(values, n);
}
inline size_t KernelSize(const kernels::VarintKernel& kernel, const int32_t* values, size_t n) {
  return kernel.size_zigzag(values, n);
}
inline uint8_t* KernelWrite(const kernels::VarintKernel& kernel, const uint32_t* values, size_t n,
                            uint8_t* out, uint8_t* out_end) {
  return kernel.write_plain(values, n, out, out_end);
}
inline uint8_t* KernelWrite(const kernels::VarintKernel& kernel, const int32_t* values, size_t n,
                            uint8_t* out, uint8_t* out_end) {
  return kernel.write_zigzag(values, n, out, out_end);
}

// Payload bytes of a packed record.
template <class Codec>
inline size_t PackedVarintPayload(const gp::RepeatedField<typename Codec::Type>& column) {
  if (column.empty()) return 0;
  return KernelSize(kernels::ActiveVarintKernel(), column.data(),
                    static_cast<size_t>(column.size()));
}
inline size_t PackedFixed64Payload(const gp::RepeatedField<uint64_t>& column) {
  return 8 * static_cast<size_t>(column.size());
}

// The whole record: nothing at all for an empty column.
inline size_t PackedRecordSize(size_t payload) {
  return payload == 0 ? 0
                      : 1 + CodedOutputStream::VarintSize32(static_cast<uint32_t>(payload)) +
                            payload;
}

// Into a flat array the kernel writes the payload in place, bounded by its
// cached size; into a stream it writes batches into a local buffer, each
// handed over whole.
template <class Codec, class Output>
inline uint8_t* WritePackedVarints(const Output& out, uint8_t tag,
                                   const gp::RepeatedField<typename Codec::Type>& column,
                                   int payload, uint8_t* target) {
  if (column.empty()) return target;
  target = out.Ensure(target);
  *target++ = tag;
  target = PutVarint32(static_cast<uint32_t>(payload), target);
  const kernels::VarintKernel& kernel = kernels::ActiveVarintKernel();
  const typename Codec::Type* values = column.data();
  size_t left = static_cast<size_t>(column.size());
  if constexpr (std::is_same_v<Output, ArrayOutput>) {
    return KernelWrite(kernel, values, left, target, target + payload);
  } else {
    constexpr size_t kBatch = 1024;
    uint8_t buffer[kBatch * 5];
    while (left > 0) {
      const size_t batch = left < kBatch ? left : kBatch;
      const uint8_t* end = KernelWrite(kernel, values, batch, buffer, buffer + sizeof(buffer));
      target = out.Raw(buffer, static_cast<size_t>(end - buffer), target);
      values += batch;
      left -= batch;
    }
    return target;
  }
}

// On a little-endian host the column's memory is its payload.
template <class Output>
inline uint8_t* WritePackedFixed64s(const Output& out, uint8_t tag,
                                    const gp::RepeatedField<uint64_t>& column, int payload,
                                    uint8_t* target) {
  if (column.empty()) return target;
  target = out.Ensure(target);
  *target++ = tag;
  target = PutVarint32(static_cast<uint32_t>(payload), target);
  if (kLittleEndianHost) {
    return out.Raw(column.data(), PackedFixed64Payload(column), target);
  }
  for (const uint64_t value : column) {
    target = out.Ensure(target);
    target = CodedOutputStream::WriteLittleEndian64ToArray(value, target);
  }
  return target;
}

// --- Decoding a packed varint payload held whole in memory (both parsers).

// Decodes a packed varint payload held whole in [ptr, end) whose last byte
// ends a varint: the elements are counted by their last bytes, reserved once
// and decoded by the varint kernel into the reserved room, the column's size
// set once. Each element ends on one of the counted bytes, the last of which
// ends the payload, so no read goes past `end`. Null on a bad varint, which
// keeps the elements decoded before it, and on a run that would take the
// column past INT_MAX elements, which appends none.
template <class Codec>
inline const char* DecodeVarintRun(const char* ptr, const char* const end,
                                   gp::RepeatedField<typename Codec::Type>* column) {
  const kernels::VarintKernel& kernel = kernels::ActiveVarintKernel();
  const uint8_t* const p = reinterpret_cast<const uint8_t*>(ptr);
  const uint8_t* const stop = reinterpret_cast<const uint8_t*>(end);
  const size_t count = kernel.count_ends(p, static_cast<size_t>(stop - p));
  const int old_size = column->size();
  if (!CanGrowBy(old_size, count)) return nullptr;
  column->Reserve(old_size + static_cast<int>(count));
  typename Codec::Type* const out = column->AddNAlreadyReserved(static_cast<int>(count));
  size_t decoded;
  if (KernelDecode(kernel, p, stop, out, count, &decoded) == nullptr) {
    column->Truncate(old_size + static_cast<int>(decoded));
    return nullptr;
  }
  return end;
}

// --- From a CodedInputStream.

// A packed varint record. When the whole payload sits in the stream's
// buffer and its last byte ends a varint, it is decoded in one run straight
// from the buffer. Otherwise it is read under a limit buffer by buffer: the
// varints up to the last one ending in the buffer in one run, then the one
// across the seam (or cut by the limit) by the stream's own reader. Elements
// read before a failure stay appended. A payload running past the enclosing
// limit fails once the elements up to that limit are read (PushLimit alone
// would cut it short silently).
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
  if (length <= buffered && static_cast<uint8_t>(ptr[length - 1]) < 0x80) {
    return DecodeVarintRun<Codec>(ptr, ptr + length, column) != nullptr &&
           input->Skip(length);
  }
  const int available = input->BytesUntilLimit();
  const bool past_limit = available >= 0 && length > available;
  const CodedInputStream::Limit limit = input->PushLimit(length);
  while (input->BytesUntilLimit() > 0) {
    // The buffer stops at the limit.
    input->GetDirectBufferPointerInline(&data, &buffered);
    ptr = static_cast<const char*>(data);
    int whole = buffered;
    while (whole > 0 && static_cast<uint8_t>(ptr[whole - 1]) >= 0x80) --whole;
    if (whole > 0) {
      if (DecodeVarintRun<Codec>(ptr, ptr + whole, column) == nullptr) return false;
      input->Skip(whole);
      if (input->BytesUntilLimit() <= 0) break;
    }
    uint32_t raw;
    if (!input->ReadVarint32(&raw) || !CanGrowBy(column->size(), 1)) return false;
    column->Add(Codec::Decode(raw));
  }
  input->PopLimit(limit);
  return !past_limit;
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
    const int run = buffered / 8 < remaining ? buffered / 8 : remaining;
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
    if (kLittleEndianHost) {
      std::memcpy(dest, src, static_cast<size_t>(run) * 8);
    } else {
      for (int i = 0; i < run; ++i) {
        src = CodedInputStream::ReadLittleEndian64FromArray(src, &dest[i]);
      }
    }
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
  const int limit = buffered / 9 < spare ? buffered / 9 : spare;
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

// --- From a ParseContext.

// A packed varint record. A payload inside the current buffer and limit that
// ends on a varint's last byte is counted, reserved once and decoded in
// place, as from a CodedInputStream; any other goes through the context's
// own packed reader, which crosses buffer seams.
template <class Codec>
inline const char* ParsePackedVarints(ParseContext* ctx, const char* ptr,
                                      gp::RepeatedField<typename Codec::Type>* column) {
  const char* record = ptr;
  const int length = static_cast<int>(gpi::ReadSize(&ptr));
  if (ptr == nullptr) return nullptr;
  if (length > 0 && length <= ctx->BytesUntilLimit(ptr) &&
      ctx->DataAvailable(AddressAt(ptr, length - 1)) &&
      static_cast<uint8_t>(ptr[length - 1]) < 0x80) {
    return DecodeVarintRun<Codec>(ptr, ptr + length, column);
  }
  bool full = false;
  ptr = ctx->ReadPackedVarint(record, [column, &full](uint64_t raw) {
    if (CanGrowBy(column->size(), 1)) {
      column->Add(Codec::Decode(static_cast<uint32_t>(raw)));
    } else {
      full = true;
    }
  });
  return full ? nullptr : ptr;
}

// One element in element form, then further elements while the next byte,
// still inside the limit, is the same tag.
template <class Codec>
inline const char* ParseVarintElements(ParseContext* ctx, const char* ptr, uint8_t tag,
                                       gp::RepeatedField<typename Codec::Type>* column) {
  for (;;) {
    uint32_t raw;
    ptr = gpi::VarintParse(ptr, &raw);
    if (ptr == nullptr || !CanGrowBy(column->size(), 1)) return nullptr;
    column->Add(Codec::Decode(raw));
    if (!ctx->DataAvailable(ptr) || static_cast<uint8_t>(*ptr) != tag) return ptr;
    ++ptr;
  }
}

inline const char* ParsePackedFixed64s(ParseContext* ctx, const char* ptr,
                                       gp::RepeatedField<uint64_t>* column) {
  const int length = static_cast<int>(gpi::ReadSize(&ptr));
  if (ptr == nullptr || !CanGrowBy(column->size(), static_cast<size_t>(length / 8))) {
    return nullptr;
  }
  if (length == 0) return ptr;
  // The context's reader copies each run into the column's array, also a run
  // of no elements; an empty column has no array to name yet.
  if (column->Capacity() == 0) column->Reserve(1);
  return ctx->ReadPackedFixed(ptr, length, column);
}

// One element in element form, then further elements while the next byte,
// still inside the limit, is the same tag. (The context's own reader of this
// form adds elements with no check of the count.)
inline const char* ParseFixed64Elements(ParseContext* ctx, const char* ptr, uint8_t tag,
                                        gp::RepeatedField<uint64_t>* column) {
  for (;;) {
    if (!CanGrowBy(column->size(), 1)) return nullptr;
    uint64_t value;
    ptr = ParseFixed64(ptr, &value);
    column->Add(value);
    if (!ctx->DataAvailable(ptr) || static_cast<uint8_t>(*ptr) != tag) return ptr;
    ++ptr;
  }
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_PACKED_COLUMNS_H
