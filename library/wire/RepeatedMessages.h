// SPDX-License-Identifier: BSD-3-Clause
// Repeated message fields: room reserved for runs of records, one element
// read by the stream parser and a run of them by the context parser.
#ifndef TARVESH_WIRE_REPEATED_MESSAGES_H
#define TARVESH_WIRE_REPEATED_MESSAGES_H

#include "wire/ArenaSlots.h"
#include "wire/ContextParsing.h"
#include "wire/ElementCounts.h"
#include "wire/StreamReading.h"

namespace Pb {
namespace wire {

// A repeated message field grown one element at a time reallocates its
// pointer array at 1, 3, 7, ... elements; a fresh message with many short
// lists (four tracks to a fragment) pays for that on every list. So when the
// field is full (or, on an arena, about to take new elements), the records
// of its tag that follow back to back are counted and room is reserved for
// them all. The count is a hint: it stops at
// anything it cannot see or read, and a wrong one costs only memory already
// bounded by the input. `p` is at the current record's length, whose five
// bytes can be read; readable(q) says that q and the five bytes after it can.
template <class Readable>
inline int CountRecordRun(const char* p, uint8_t tag, Readable readable) {
  int count = 0;
  for (;;) {
    // At most five bytes, the value within int32: null otherwise.
    const int length = static_cast<int>(gpi::ReadSize(&p));
    if (p == nullptr) return count;
    ++count;
    const char* next = AddressAt(p, length);
    if (!readable(next) || static_cast<uint8_t>(*next) != tag) return count;
    p = next + 1;
  }
}

// A new element, room reserved first for the run of records starting at
// `start` (the current record's length) when the field is full; the records
// are counted as far as `end`, the end of what is readable.
template <class Element>
inline Element* AddElementAt(const char* start, const char* end, uint8_t tag,
                             gp::RepeatedPtrField<Element>* list) {
  if (list->size() == list->Capacity() && end - start >= 5) {
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(end);
    auto readable = [last](const char* q) {
      return reinterpret_cast<std::uintptr_t>(q) + 6 <= last;
    };
    const int counted = CountRecordRun(start, tag, readable);
    if (CanGrowBy(list->size(), static_cast<size_t>(counted))) {
      list->Reserve(list->size() + counted);
    }
  }
  return list->Add();
}

template <class Element>
inline Element* AddElement(CodedInputStream* input, uint8_t tag,
                           gp::RepeatedPtrField<Element>* list) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  const char* start = static_cast<const char*>(data);
  return AddElementAt(start, start + buffered, tag, list);
}

// True iff a context over `buffered` bytes reads them in place; it copies
// shorter input into a buffer of its own.
inline bool ContextReadsInPlace(int buffered) { return buffered > ParseContext::kSlopBytes; }

// True iff a record of `length` bytes at `body`, read by a context that
// reads the buffer ending at `end` in place, is read in place to its end:
// it ends at or before the buffer's last kSlopBytes, past which the context
// moves on to a buffer of its own.
inline bool RecordReadInPlace(const char* body, int length, const char* end) {
  return length <= (end - body) - ParseContext::kSlopBytes;
}

// The run of records of one repeated message field that follow back to back
// in the stream's buffer, the first one's tag already read, each record
// read in place: read by the element class's context parser, one context
// over the buffer and each record's end a limit in it, so the context never
// moves bytes into a buffer of its own and its positions are the buffer's.
// Returns the bytes taken (whole records and the tags between them), 0 if
// none. A record the context refuses ends the run and the parse
// (`*refused`), read again by the stream parser for what the failure leaves.
template <class Element>
inline int ParseBufferedRun(const char* start, int buffered, int depth, uint8_t tag,
                            gp::RepeatedPtrField<Element>* list, bool* refused) {
  const char* const end = start + buffered;
  const char* ptr;
  ParseContext ctx(depth, false, &ptr, gp::StringPiece(start, static_cast<size_t>(buffered)));
  const char* next = start;  // the next record's length
  const char* taken = start;
  while (CanGrowBy(list->size(), 1)) {
    const char* body = next;
    const int length = static_cast<int>(gpi::ReadSize(&body));
    if (body == nullptr || !RecordReadInPlace(body, length, end)) break;
    Element* element = AddElementAt(next, end, tag, list);
    const int outer = ctx.PushLimit(body, length);
    if (ParseElementFields(element, body, &ctx) == nullptr || !ctx.PopLimit(outer)) {
      ReadRefusedElement(element, body, length, depth);
      *refused = true;
      return static_cast<int>(next - start);
    }
    // Before the buffer's last kSlopBytes: a tag, and a length after it,
    // can be read there.
    taken = body + length;
    if (static_cast<uint8_t>(*taken) != tag) break;
    next = taken + 1;
  }
  return static_cast<int>(taken - start);
}

// Elements of a repeated message field, the first one's tag (one byte)
// already read: a run of them held in the buffer, else one. The stream is
// left after the last one read.
template <class Element>
inline bool ReadElement(CodedInputStream* input, uint8_t tag,
                        gp::RepeatedPtrField<Element>* list) {
  const void* data;
  int buffered;
  input->GetDirectBufferPointerInline(&data, &buffered);
  // Past the slop bytes there is room for a record's length (five bytes).
  if (ContextReadsInPlace(buffered) && LevelLeft(input->RecursionBudget())) {
    bool refused = false;
    const int taken = ParseBufferedRun(static_cast<const char*>(data), buffered,
                                       input->RecursionBudget() - 1, tag, list, &refused);
    if (refused) return false;
    if (taken > 0) return input->Skip(taken);
  }
  return CanGrowBy(list->size(), 1) && ReadElement(input, AddElement(input, tag, list));
}

// For element classes with no reader of held records: every record goes to
// the class's parser.
struct NoHeldReader {};

// One record of a repeated message field, `ptr` at its length. A record of
// one length byte held whole before the limit (and so before the buffer's
// end, with the slop bytes past it) is first offered to read_held(element,
// begin, end), which reads small records of plain fields without the
// limit and depth a nested parse pushes; the depth it would take is
// checked. A record it refuses is read again by the class's parser, which
// sets again, to the same values, every field read before the refusal, so
// verdicts and what a failure leaves stay the parser's.
template <class Element, class ReadHeld>
TARVESH_ALWAYS_INLINE const char* ParseElement(ParseContext* ctx, Element* element,
                                               const char* ptr, ReadHeld read_held) {
  if constexpr (!std::is_same_v<ReadHeld, NoHeldReader>) {
    const uint8_t length = static_cast<uint8_t>(*ptr);
    if (length < 0x80 && LevelLeft(ctx->depth()) && ctx->DataAvailable(ptr + length)) {
      const char* const end = ptr + 1 + length;
      if (read_held(element, ptr + 1, end)) return end;
    }
  }
  return ParseNestedElement(ctx, element, ptr);
}

// A run of records of one repeated message field, the first one's tag (one
// byte) already read: each record read into a new element, the next one
// taken at once while it is readable and starts with the same tag; anything
// else goes back to the message's loop, which judges ends and other fields.
// The room reserved for a run is counted as by AddElement. On an arena, the
// elements counted ahead get their storage in few calls (ArenaSlots);
// elements cleared earlier are reused first, as Add() does.
template <class Element, class ReadHeld = NoHeldReader>
inline const char* ParseElementRun(ParseContext* ctx, const char* ptr, uint8_t tag,
                                   gp::RepeatedPtrField<Element>* list,
                                   ReadHeld read_held = {}) {
  gp::Arena* const arena = list->GetArena();
  ArenaSlots<Element> slots;
  int counted = 0;  // records of the run counted ahead, not yet given an element
  for (;;) {
    if (!CanGrowBy(list->size(), 1)) return nullptr;
    if (counted == 0 && (list->size() == list->Capacity() ||
                         (arena != nullptr && list->ClearedCount() == 0))) {
      // The context keeps kSlopBytes readable past any point before its limit.
      counted = CountRecordRun(ptr, tag, [ctx](const char* q) { return ctx->DataAvailable(q); });
      if (!CanGrowBy(list->size(), static_cast<size_t>(counted))) {
        counted = INT_MAX - list->size();
      }
      list->Reserve(list->size() + counted);  // allocates only when the room is short
    }
    Element* element;
    if (counted > 0 && arena != nullptr && list->ClearedCount() == 0) {
      if (slots.empty()) slots.Take(arena, counted);
      element = slots.Build(arena);
      list->UnsafeArenaAddAllocated(element);  // room reserved above
    } else {
      element = list->Add();
    }
    if (counted > 0) --counted;
    ptr = ParseElement(ctx, element, ptr, read_held);
    if (!NextTagIs(ctx, &ptr, tag)) return ptr;
  }
}

}  // namespace wire
}  // namespace Pb

#endif  // TARVESH_WIRE_REPEATED_MESSAGES_H
