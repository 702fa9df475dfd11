// SPDX-License-Identifier: BSD-3-Clause
// Reading fields from a CodedInputStream. Tags and lengths are read as
// strictly as the runtime's ParseContext reads them: CodedInputStream alone
// takes either from up to ten bytes, the context refuses more than five.
// Being as strict keeps the two parsers of every class at the same verdict on
// every input.
#ifndef TARVESH_WIRE_STREAM_READING_H
#define TARVESH_WIRE_STREAM_READING_H

#include "wire/Varint.h"

namespace Pb {
namespace wire {

enum class Skip { kContinue, kEndOfMessage, kFailure };

// The guards of the fast paths below, each exact: a fast path runs whenever
// its bytes allow it, and never past them.

// True iff DecodeVarint at `p` stays within the `buffered` bytes there,
// whatever they hold: ten bytes are buffered, or the last one ends a varint.
TARVESH_ALWAYS_INLINE bool VarintDecodableIn(const uint8_t* p, int buffered) {
  return buffered >= 10 || (buffered > 0 && p[buffered - 1] < 0x80);
}

// True iff a byte is buffered at `data` and it is a whole varint.
TARVESH_ALWAYS_INLINE bool OneByteVarintAt(const void* data, int buffered) {
  return buffered > 0 && *static_cast<const uint8_t*>(data) < 0x80;
}

// True iff all `length` bytes of a record are among the `buffered` ones.
TARVESH_ALWAYS_INLINE bool HeldWhole(int length, int buffered) { return length <= buffered; }

// True iff a stream or context with `budget` levels of nesting left can
// take one more, as IncrementRecursionDepth() and ParseMessage() would.
TARVESH_ALWAYS_INLINE bool LevelLeft(int budget) { return budget > 0; }

// The last field in number order: true when the input sits exactly at its
// limit, in which case the stream is marked as ending legitimately.
inline bool AtCleanEnd(CodedInputStream* input) { return input->ExpectAtEnd(); }

// A varint decoded straight from the stream's buffer when that buffer, cut
// at the current limit, holds ten bytes or ends on a terminating byte, so the
// decode cannot run past it; otherwise the stream's own reader, which crosses
// buffers. The stream's inline reader takes only one-byte values and calls
// out of line for longer ones.
template <class T>
TARVESH_ALWAYS_INLINE bool ReadBufferedVarint(CodedInputStream* input, T* value) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const uint8_t* ptr = static_cast<const uint8_t*>(data);
  if (VarintDecodableIn(ptr, buffered)) {
    uint64_t raw;
    const uint8_t* end = DecodeVarint(ptr, &raw);
    if (end == nullptr) return false;
    *value = static_cast<T>(raw);
    return input->Skip(static_cast<int>(end - ptr));
  }
  // The stream's readers store a value even when they fail; the field must
  // keep what it held.
  T read;
  bool ok;
  if constexpr (sizeof(T) == 4) {
    ok = input->ReadVarint32(&read);
  } else {
    ok = input->ReadVarint64(&read);
  }
  if (ok) *value = read;
  return ok;
}

TARVESH_ALWAYS_INLINE bool ReadUInt32(CodedInputStream* input, uint32_t* value) {
  return ReadBufferedVarint(input, value);
}
TARVESH_ALWAYS_INLINE bool ReadUInt64(CodedInputStream* input, uint64_t* value) {
  return ReadBufferedVarint(input, value);
}
TARVESH_ALWAYS_INLINE bool ReadSInt32(CodedInputStream* input, int32_t* value) {
  uint32_t raw;
  if (!ReadBufferedVarint(input, &raw)) return false;
  *value = kernels::FromWire<int32_t>(raw);
  return true;
}
inline bool ReadFixed64(CodedInputStream* input, uint64_t* value) {
  return input->ReadLittleEndian64(value);
}

// A record length as the runtime's ParseContext (ParseFromString and the
// other entry points) reads it: at most five bytes, and not within kSlopBytes
// of INT_MAX. CodedInputStream alone takes up to ten bytes; refusing the rest
// keeps the stream parser's verdict the same as the context parser's.
inline bool ReadRecordLength(CodedInputStream* input, int* length) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  if (OneByteVarintAt(data, buffered)) {
    return input->ReadVarintSizeAsInt(length);
  }
  const int start = input->CurrentPosition();
  return input->ReadVarintSizeAsInt(length) && input->CurrentPosition() - start <= 5 &&
         *length <= INT_MAX - ParseContext::kSlopBytes;
}

// A tag; false for one longer than five bytes. 0 means what it means for
// CodedInputStream::ReadTag (end of input or limit, or no tag readable).
// The stream does not count its total-bytes limit as a place a message may
// end; the runtime's own parser of the stream sees the input end there and
// accepts it between fields. Marking that end as legitimate keeps the two at
// one verdict; inside a nested element the element's own limit still fails.
inline bool ReadStrictTag(CodedInputStream* input, std::uint32_t* tag) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  if (OneByteVarintAt(data, buffered)) {
    *tag = input->ReadTag();
    return true;
  }
  const int start = input->CurrentPosition();
  *tag = input->ReadTag();
  const int read = input->CurrentPosition() - start;
  if (*tag == 0 && read == 0 && input->BytesUntilTotalBytesLimit() == 0) input->SetConsumed();
  return read <= 5;
}

// The element class's two parsers, called, not inlined: the readers that
// call them are instantiated for every element class, and a copy of each
// parser in each would use up the file's inlining budget, leaving the
// stream's small members called out of line in every parser of the file.
template <class Element>
__attribute__((noinline)) const char* ParseElementFields(Element* element, const char* ptr,
                                                         ParseContext* ctx) {
  return element->Element::_InternalParse(ptr, ctx);
}
template <class Element>
__attribute__((noinline)) bool ReadElementFields(Element* element, CodedInputStream* input) {
  return element->Element::MergePartialFromCodedStream(input);
}

// An element the context parser refused, read again, emptied, by the
// stream parser over a stream of its own `length` bytes at `data` with
// `depth` levels of nesting left, so that what the failure leaves is the
// stream parser's. False: the two parsers reach one verdict.
template <class Element>
inline bool ReadRefusedElement(Element* element, const char* data, int length, int depth) {
  element->Element::Clear();
  CodedInputStream own(reinterpret_cast<const uint8_t*>(data), length);
  own.SetRecursionLimit(depth);
  ReadElementFields(element, &own);
  return false;
}

// An element of `length` bytes at the start of the `buffered` bytes at
// `data`, read by its class's context parser with `depth` levels of nesting
// left; true when it read to the element's end. The context spans the whole
// buffer, with the element's end as a limit: an element that ends before the
// last kSlopBytes of the buffer ends on that limit without the context
// moving its bytes into a buffer of its own.
template <class Element>
inline bool ParseElementSpan(Element* element, const char* data, int length, int buffered,
                             int depth) {
  const char* ptr;
  ParseContext ctx(depth, false, &ptr, gp::StringPiece(data, static_cast<size_t>(buffered)));
  const int outer = ctx.PushLimit(ptr, length);
  return ParseElementFields(element, ptr, &ctx) != nullptr && ctx.PopLimit(outer);
}

// The body of an element of `length` bytes, the stream at its first byte
// and its level of depth already taken. An element whose length runs past
// the enclosing limit is still read up to that limit, then refused: the
// element stays filled as far as its bytes went. The stream's limits are as
// they were on return, whatever the verdict.
template <class Element>
inline bool ReadElementBytes(CodedInputStream* input, Element* element, int length) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  if (HeldWhole(length, buffered)) {
    // The whole element lies in the buffer, before every limit, and the
    // outer stream skips it. It is read by the class's context parser over
    // its bytes, with what is left of the recursion budget: the two parsers
    // reach the same verdict and, on success, read the same. A refused
    // element is read again, emptied, by the stream parser over a stream of
    // the element's own bytes, so that what a failure leaves is the stream
    // parser's.
    if (ParseElementSpan(element, static_cast<const char*>(data), length, buffered,
                         input->RecursionBudget())) {
      return input->Skip(length);
    }
    return ReadRefusedElement(element, static_cast<const char*>(data), length,
                              input->RecursionBudget());
  }
  // The element must end exactly `length` bytes on. One that runs past the
  // enclosing limit stops there (PushLimit keeps the nearer limit), short of
  // that; positions come from the inline CurrentPosition(), not from calls
  // out of line to BytesUntilLimit().
  const int start = input->CurrentPosition();
  const CodedInputStream::Limit limit = input->PushLimit(length);
  const bool read = ReadElementFields(element, input) &&
                    input->ConsumedEntireMessage() &&
                    static_cast<int64_t>(input->CurrentPosition()) - start == length;
  input->PopLimit(limit);
  return read;
}

// ReadNestedElement with a strict length, into a new, empty element (every
// message field of the schemas is repeated): a failure read again by the
// stream parser empties it first. Pass or fail, the stream's depth and
// limits are left as they were, as the runtime's own parser leaves them, so
// that a caller reading records can skip a bad one and go on.
template <class Element>
inline bool ReadElement(CodedInputStream* input, Element* element) {
  int length;
  if (!ReadRecordLength(input, &length)) return false;
  // IncrementRecursionDepth takes the level even when it refuses it.
  const bool read =
      input->IncrementRecursionDepth() && ReadElementBytes(input, element, length);
  input->DecrementRecursionDepth();
  return read;
}

inline bool ReadBytesField(CodedInputStream* input, std::string* value) {
  int length;
  return ReadRecordLength(input, &length) && input->ReadString(value, length);
}

inline Skip SkipStrictUnknownField(CodedInputStream* input, std::uint32_t tag,
                                   gp::UnknownFieldSet* unknown);

// The fields of an unknown group up to its end-group tag, which must be the
// group's own.
inline bool SkipGroupFields(CodedInputStream* input, int number, gp::UnknownFieldSet* group) {
  for (;;) {
    std::uint32_t inner;
    if (!ReadStrictTag(input, &inner)) return false;
    if (inner == 0) break;
    const Skip step = SkipStrictUnknownField(input, inner, group);
    if (step == Skip::kFailure) return false;
    if (step == Skip::kEndOfMessage) break;
  }
  return input->LastTagWas(WireFormatLite::MakeTag(number, WireFormatLite::WIRETYPE_END_GROUP));
}

// The runtime's unknown-field skipping with strict lengths, and strict tags
// inside groups; the other wire types go to WireFormat::SkipField.
inline Skip SkipStrictUnknownField(CodedInputStream* input, std::uint32_t tag,
                            gp::UnknownFieldSet* unknown) {
  const int number = WireFormatLite::GetTagFieldNumber(tag);
  switch (WireFormatLite::GetTagWireType(tag)) {
    case WireFormatLite::WIRETYPE_END_GROUP:
      return Skip::kEndOfMessage;
    case WireFormatLite::WIRETYPE_LENGTH_DELIMITED: {
      int length;
      if (number == 0 || !ReadRecordLength(input, &length) ||
          !input->ReadString(unknown->AddLengthDelimited(number), length)) {
        return Skip::kFailure;
      }
      return Skip::kContinue;
    }
    case WireFormatLite::WIRETYPE_START_GROUP: {
      if (number == 0) return Skip::kFailure;
      // IncrementRecursionDepth takes the level even when it refuses it;
      // pass or fail, the level is given back.
      const bool skipped = input->IncrementRecursionDepth() &&
                           SkipGroupFields(input, number, unknown->AddGroup(number));
      input->DecrementRecursionDepth();
      return skipped ? Skip::kContinue : Skip::kFailure;
    }
    default:
      return WireFormat::SkipField(input, tag, unknown) ? Skip::kContinue : Skip::kFailure;
  }
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_STREAM_READING_H
